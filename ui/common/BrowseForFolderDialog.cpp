#include "ui/common/BrowseForFolderDialog.h"

#include <QDir>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QTreeView>
#include <QVBoxLayout>

#include "ui/common/FolderTreeFilter.h"
#include "ui/common/UiServices.h"

namespace {

QString DisplayNameOf(const QString& strPath) {
  const QString name = QFileInfo(strPath).fileName();
  return name.isEmpty() ? strPath : name;
}

}  // namespace

BrowseForFolderDialog::BrowseForFolderDialog(QWidget* owner, const BrowseForFolderOptions& options)
    : QDialog(owner), m_options(options) {
  setObjectName(QStringLiteral("dlgBrowseForFolder"));
  setWindowTitle(QStringLiteral("浏览文件夹"));
  if (!QFileInfo(m_options.rootDir).isDir()) m_options.rootDir.clear();

  m_model = new QFileSystemModel(this);
  m_model->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Drives);
  m_model->setRootPath(m_options.rootDir.isEmpty() ? QDir::rootPath() : m_options.rootDir);
  m_filter = new FolderTreeFilter(m_options.rootDir, this);
  m_filter->setSourceModel(m_model);

  lblTitle = new QLabel(m_options.title, this);
  lblTitle->setObjectName(QStringLiteral("lblTitle"));
  lblTitle->setWordWrap(true);

  tvwFolders = new QTreeView(this);
  tvwFolders->setObjectName(QStringLiteral("tvwFolders"));
  tvwFolders->setModel(m_filter);
  tvwFolders->setHeaderHidden(true);
  for (int column = 1; column < m_model->columnCount(); ++column) tvwFolders->hideColumn(column);
  // The tree starts at the root folder itself, shown as its only top item.
  if (!m_options.rootDir.isEmpty() && m_options.rootDir != QDir::rootPath()) {
    const QString parentPath = QFileInfo(m_options.rootDir).absolutePath();
    tvwFolders->setRootIndex(m_filter->mapFromSource(m_model->index(parentPath)));
  }
  connect(tvwFolders->selectionModel(), &QItemSelectionModel::currentChanged, this,
          [this](const QModelIndex& current) { OnCurrentChanged(current); });

  txtFolder = new QLineEdit(this);
  txtFolder->setObjectName(QStringLiteral("txtFolder"));
  txtFolder->setVisible(m_options.editBox);

  // The new style's path box shows the selection's full path; a folder
  // typed or pasted there is selected at once.
  txtPath = new QLineEdit(this);
  txtPath->setObjectName(QStringLiteral("txtPath"));
  txtPath->setPlaceholderText(QStringLiteral("输入或粘贴文件夹路径"));
  txtPath->setVisible(m_options.useNewUI);
  connect(txtPath, &QLineEdit::textEdited, this, &BrowseForFolderDialog::OnPathEdited);

  lblStatus = new QLabel(this);
  lblStatus->setObjectName(QStringLiteral("lblStatus"));
  lblStatus->setVisible(m_options.statusText);

  cmdOK = new QPushButton(QStringLiteral("确定"), this);
  cmdOK->setObjectName(QStringLiteral("cmdOK"));
  cmdOK->setDefault(true);
  connect(cmdOK, &QPushButton::clicked, this, &BrowseForFolderDialog::OnOk);
  cmdCancel = new QPushButton(QStringLiteral("取消"), this);
  cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
  connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);

  cmdNewFolder = new QPushButton(QStringLiteral("新建文件夹"), this);
  cmdNewFolder->setObjectName(QStringLiteral("cmdNewFolder"));
  cmdNewFolder->setAutoDefault(false);
  cmdNewFolder->setVisible(m_options.useNewUI);
  connect(cmdNewFolder, &QPushButton::clicked, this, &BrowseForFolderDialog::OnNewFolder);

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(cmdNewFolder);
  buttons->addStretch();
  buttons->addWidget(cmdOK);
  buttons->addWidget(cmdCancel);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(lblTitle);
  layout->addWidget(lblStatus);
  layout->addWidget(txtPath);
  layout->addWidget(tvwFolders, 1);
  layout->addWidget(txtFolder);
  layout->addLayout(buttons);

  // The new-style dialog is larger and resizable; the classic one is fixed.
  if (m_options.useNewUI) {
    resize(420, 480);
    setSizeGripEnabled(true);
    // Without watching, no listing taken before a new folder was made can
    // arrive afterwards and take it out of the tree again.
    m_model->setOption(QFileSystemModel::DontWatchForChanges);
  } else {
    setFixedSize(320, 380);
  }
}

void BrowseForFolderDialog::SelectFolder(const QString& strPath) {
  if (!QFileInfo(strPath).isDir()) return;
  if (!m_options.rootDir.isEmpty() && !FolderTreeFilter::IsWithin(strPath, m_options.rootDir)) {
    return;
  }
  const QModelIndex index = m_filter->mapFromSource(m_model->index(strPath));
  if (!index.isValid()) return;
  tvwFolders->setCurrentIndex(index);
  if (m_options.useNewUI) tvwFolders->expand(index);
  tvwFolders->scrollTo(index);
}

void BrowseForFolderDialog::SetStatusText(const QString& strText) { lblStatus->setText(strText); }

void BrowseForFolderDialog::EnableOk(bool blnEnable) { cmdOK->setEnabled(blnEnable); }

void BrowseForFolderDialog::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (m_blnInitialised) return;
  m_blnInitialised = true;
  // Reported once the dialog runs, so its owner may already drive it.
  QTimer::singleShot(0, this, &BrowseForFolderDialog::OnInitialised);
}

void BrowseForFolderDialog::OnInitialised() {
  m_blnReporting = true;
  emit initialised();
  // Without a start folder the top item is selected; a current item the tree
  // chose on its own before is reported now.
  if (!m_blnSelectionReported) {
    const QModelIndex current = tvwFolders->currentIndex();
    if (current.isValid()) {
      OnCurrentChanged(current);
    } else {
      SelectFolder(m_options.rootDir.isEmpty() ? QDir::rootPath() : m_options.rootDir);
    }
  }
  tvwFolders->setFocus();
}

// Selection changes are reported only from initialisation on.
void BrowseForFolderDialog::OnCurrentChanged(const QModelIndex& current) {
  const QString strPath = current.isValid() ? m_model->filePath(m_filter->mapToSource(current))
                                            : QString();
  txtFolder->setText(strPath.isEmpty() ? QString() : DisplayNameOf(strPath));
  if (!m_blnTypingPath) txtPath->setText(QDir::toNativeSeparators(strPath));
  cmdNewFolder->setEnabled(current.isValid());
  EnableOk(current.isValid());
  if (!m_blnReporting) return;
  m_blnSelectionReported = true;
  emit selectionChanged(strPath);
}

// A typed path that names a folder (inside the root) selects it; while it
// names none, OK is off.
void BrowseForFolderDialog::OnPathEdited(const QString& strText) {
  QString strPath = QDir::fromNativeSeparators(strText.trimmed());
  if (strPath == QLatin1String("~") || strPath.startsWith(QLatin1String("~/"))) {
    strPath.replace(0, 1, QDir::homePath());
  }
  const QString strFolder = QDir::cleanPath(strPath);
  const bool blnFolder = QDir::isAbsolutePath(strFolder) && QFileInfo(strFolder).isDir() &&
                         (m_options.rootDir.isEmpty() || FolderTreeFilter::IsWithin(strFolder, m_options.rootDir));
  if (!blnFolder) {
    EnableOk(false);
    return;
  }
  m_blnTypingPath = true;
  if (SelectedFolder() == strFolder) {
    OnCurrentChanged(tvwFolders->currentIndex());
  } else {
    SelectFolder(strFolder);
  }
  m_blnTypingPath = false;
}

// Makes "新建文件夹" (or "新建文件夹 (2)" and so on) in the selected folder
// and selects it.
void BrowseForFolderDialog::OnNewFolder() {
  const QModelIndex current = tvwFolders->currentIndex();
  if (!current.isValid()) return;
  const QModelIndex parent = m_filter->mapToSource(current);
  const QDir folder(m_model->filePath(parent));
  const QString strBase = QStringLiteral("新建文件夹");
  QString strName = strBase;
  for (int n = 2; folder.exists(strName); ++n) strName = strBase + QStringLiteral(" (%1)").arg(n);
  const QModelIndex created = m_model->mkdir(parent, strName);
  if (!created.isValid()) {
    velmora::ui::MessageRequest request;
    request.owner = this;
    request.text = QStringLiteral("无法新建文件夹：") + folder.filePath(strName);
    request.icon = velmora::ui::MsgIcon::Information;
    velmora::ui::Services().ShowMessage(request);
    return;
  }
  const QModelIndex index = m_filter->mapFromSource(created);
  tvwFolders->expand(current);
  tvwFolders->setCurrentIndex(index);
  tvwFolders->scrollTo(index);
}

QString BrowseForFolderDialog::SelectedFolder() const {
  const QModelIndex current = tvwFolders->currentIndex();
  return current.isValid() ? m_model->filePath(m_filter->mapToSource(current)) : QString();
}

// Typed text names a folder relative to the selection (or absolutely); when
// it names none, a validating dialog reports it and closes unless its owner
// keeps it open, and a plain one takes the selection.
void BrowseForFolderDialog::OnOk() {
  QString strChosen = SelectedFolder();
  const QString strTyped = txtFolder->text().trimmed();
  if (m_options.editBox && !strTyped.isEmpty() &&
      (strChosen.isEmpty() || strTyped != DisplayNameOf(strChosen))) {
    const QDir base(strChosen.isEmpty() ? QDir::currentPath() : strChosen);
    const QString strTarget = QDir::cleanPath(base.absoluteFilePath(strTyped));
    const bool blnInside =
        m_options.rootDir.isEmpty() || FolderTreeFilter::IsWithin(strTarget, m_options.rootDir);
    if (QFileInfo(strTarget).isDir() && blnInside) {
      strChosen = strTarget;
    } else if (m_options.validateEditBox) {
      bool keepOpen = false;
      emit validationFailed(strTyped, keepOpen);
      if (!keepOpen) reject();
      return;
    }
  }
  if (strChosen.isEmpty()) return;
  m_strChosen = strChosen;
  accept();
}
