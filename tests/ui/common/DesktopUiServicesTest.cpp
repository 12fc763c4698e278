// The real desktop services: what the message box and file dialog are given
// and what their answers turn into, Qt's own texts in them in Chinese under
// the C locale, and a desktop opener that cannot open a file. Each dialog is
// inspected and answered from a timer while it runs.

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QtTest>
#include <functional>

#include "ui/common/DesktopUiServices.h"
#include "ui/common/QtTranslations.h"

using velmora::ui::DesktopUiServices;
using velmora::ui::FileDialogRequest;
using velmora::ui::MessageRequest;
using velmora::ui::MsgAnswer;
using velmora::ui::MsgButtons;
using velmora::ui::MsgIcon;

Q_DECLARE_METATYPE(MsgIcon)
Q_DECLARE_METATYPE(MsgButtons)
Q_DECLARE_METATYPE(MsgAnswer)

namespace {

// Calls `answer` with the modal dialog of type T once it is up.
template <typename T>
void WhenShown(std::function<void(T*)> answer) {
  QTimer::singleShot(0, [answer] {
    QTRY_VERIFY(qobject_cast<T*>(QApplication::activeModalWidget()));
    answer(qobject_cast<T*>(QApplication::activeModalWidget()));
  });
}

}  // namespace

class DesktopUiServicesTest : public QObject {
  Q_OBJECT

 private slots:
  void messageBox_data();
  void messageBox();
  void closingMessageBoxGivesEscapeAnswer_data();
  void closingMessageBoxGivesEscapeAnswer();
  void saveDialogIsSetUpFromTheRequest();
  void openDialogForSeveralExistingFiles();
  void cancelledFileDialogIsNotAccepted();
  void qtTextsAreChineseWhateverTheLocale();
  void openTellsWhenTheDesktopCannot_data();
  void openTellsWhenTheDesktopCannot();
};

void DesktopUiServicesTest::messageBox_data() {
  QTest::addColumn<MsgIcon>("icon");
  QTest::addColumn<MsgButtons>("buttons");
  QTest::addColumn<MsgAnswer>("defaultButton");
  QTest::addColumn<QMessageBox::Icon>("qtIcon");
  QTest::addColumn<QMessageBox::StandardButtons>("qtButtons");
  QTest::addColumn<QMessageBox::StandardButton>("qtDefault");
  QTest::addColumn<QMessageBox::StandardButton>("clicked");
  QTest::addColumn<MsgAnswer>("answer");
  QTest::newRow("notice")
      << MsgIcon::Information << MsgButtons::Ok << MsgAnswer::Ok << QMessageBox::Information
      << QMessageBox::StandardButtons(QMessageBox::Ok) << QMessageBox::Ok << QMessageBox::Ok
      << MsgAnswer::Ok;
  QTest::newRow("question answered yes")
      << MsgIcon::Question << MsgButtons::YesNo << MsgAnswer::Yes << QMessageBox::Question
      << (QMessageBox::Yes | QMessageBox::No) << QMessageBox::Yes << QMessageBox::Yes
      << MsgAnswer::Yes;
  QTest::newRow("warning with no as default answered no")
      << MsgIcon::Warning << MsgButtons::YesNo << MsgAnswer::No << QMessageBox::Warning
      << (QMessageBox::Yes | QMessageBox::No) << QMessageBox::No << QMessageBox::No
      << MsgAnswer::No;
  QTest::newRow("three buttons answered cancel")
      << MsgIcon::Question << MsgButtons::YesNoCancel << MsgAnswer::Yes << QMessageBox::Question
      << (QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel) << QMessageBox::Yes
      << QMessageBox::Cancel << MsgAnswer::Cancel;
  QTest::newRow("critical ok cancel")
      << MsgIcon::Critical << MsgButtons::OkCancel << MsgAnswer::Cancel << QMessageBox::Critical
      << (QMessageBox::Ok | QMessageBox::Cancel) << QMessageBox::Cancel << QMessageBox::Ok
      << MsgAnswer::Ok;
}

void DesktopUiServicesTest::messageBox() {
  QFETCH(MsgIcon, icon);
  QFETCH(MsgButtons, buttons);
  QFETCH(MsgAnswer, defaultButton);
  QFETCH(QMessageBox::Icon, qtIcon);
  QFETCH(QMessageBox::StandardButtons, qtButtons);
  QFETCH(QMessageBox::StandardButton, qtDefault);
  QFETCH(QMessageBox::StandardButton, clicked);
  QFETCH(MsgAnswer, answer);
  MessageRequest request;
  request.text = QStringLiteral("确定要继续吗？");
  request.caption = QStringLiteral("Velmora");
  request.icon = icon;
  request.buttons = buttons;
  request.defaultButton = defaultButton;
  QMessageBox::Icon seenIcon = QMessageBox::NoIcon;
  QMessageBox::StandardButtons seenButtons;
  QAbstractButton* seenDefault = nullptr;
  QAbstractButton* expectedDefault = nullptr;
  QString seenText;
  QString seenCaption;
  WhenShown<QMessageBox>([&](QMessageBox* box) {
    seenIcon = box->icon();
    seenButtons = box->standardButtons();
    seenDefault = box->defaultButton();
    expectedDefault = box->button(qtDefault);
    seenText = box->text();
    seenCaption = box->windowTitle();
    box->button(clicked)->click();
  });
  DesktopUiServices services;
  QCOMPARE(services.ShowMessage(request), answer);
  QCOMPARE(seenIcon, qtIcon);
  QCOMPARE(seenButtons, qtButtons);
  QVERIFY(seenDefault);
  QCOMPARE(seenDefault, expectedDefault);
  QCOMPARE(seenText, request.text);
  QCOMPARE(seenCaption, request.caption);
}

void DesktopUiServicesTest::closingMessageBoxGivesEscapeAnswer_data() {
  QTest::addColumn<MsgButtons>("buttons");
  QTest::addColumn<MsgAnswer>("answer");
  QTest::newRow("ok") << MsgButtons::Ok << MsgAnswer::Ok;
  QTest::newRow("yes no") << MsgButtons::YesNo << MsgAnswer::No;
  QTest::newRow("yes no cancel") << MsgButtons::YesNoCancel << MsgAnswer::Cancel;
  QTest::newRow("ok cancel") << MsgButtons::OkCancel << MsgAnswer::Cancel;
}

void DesktopUiServicesTest::closingMessageBoxGivesEscapeAnswer() {
  QFETCH(MsgButtons, buttons);
  QFETCH(MsgAnswer, answer);
  MessageRequest request;
  request.buttons = buttons;
  request.defaultButton = MsgAnswer::Yes;
  WhenShown<QMessageBox>([](QMessageBox* box) { QTest::keyClick(box, Qt::Key_Escape); });
  QCOMPARE(DesktopUiServices().ShowMessage(request), answer);
}

void DesktopUiServicesTest::saveDialogIsSetUpFromTheRequest() {
  QTemporaryDir dir;
  QVERIFY(dir.isValid());
  FileDialogRequest request;
  request.kind = FileDialogRequest::Kind::Save;
  request.title = QStringLiteral("请选择要保存到的文件");
  request.initialFolder = dir.path();
  request.fileName = QStringLiteral("列表.txt");
  request.nameFilters = {QStringLiteral("所有文本文件(*.txt)"), QStringLiteral("所有文件(*.*)")};
  request.filterIndex = 1;
  request.overwritePrompt = false;
  request.defaultSuffix = QStringLiteral("txt");
  QFileDialog::AcceptMode mode = QFileDialog::AcceptOpen;
  bool confirms = true;
  QString title;
  QString filter;
  QString suffix;
  WhenShown<QFileDialog>([&](QFileDialog* dialog) {
    mode = dialog->acceptMode();
    confirms = !dialog->testOption(QFileDialog::DontConfirmOverwrite);
    title = dialog->windowTitle();
    filter = dialog->selectedNameFilter();
    suffix = dialog->defaultSuffix();
    static_cast<QDialog*>(dialog)->accept();  // runs the file dialog's own accept
  });
  const auto result = DesktopUiServices().ShowFileDialog(request);
  QCOMPARE(mode, QFileDialog::AcceptSave);
  QVERIFY(!confirms);
  QCOMPARE(title, request.title);
  QCOMPARE(filter, request.nameFilters.at(1));
  QCOMPARE(suffix, QStringLiteral("txt"));
  QVERIFY(result.accepted);
  QCOMPARE(result.files, QStringList{dir.filePath(QStringLiteral("列表.txt"))});
  QCOMPARE(result.filterIndex, 1);
}

void DesktopUiServicesTest::openDialogForSeveralExistingFiles() {
  QTemporaryDir dir;
  QVERIFY(dir.isValid());
  for (const char* name : {"a.chm", "b.chm"}) {
    QFile file(dir.filePath(QString::fromLatin1(name)));
    QVERIFY(file.open(QIODevice::WriteOnly));
  }
  FileDialogRequest request;
  request.initialFolder = dir.path();
  request.multiple = true;
  request.fileMustExist = true;
  QFileDialog::FileMode fileMode = QFileDialog::AnyFile;
  WhenShown<QFileDialog>([&](QFileDialog* dialog) {
    fileMode = dialog->fileMode();
    dialog->selectFile(QStringLiteral("\"a.chm\" \"b.chm\""));
    static_cast<QDialog*>(dialog)->accept();  // runs the file dialog's own accept
  });
  const auto result = DesktopUiServices().ShowFileDialog(request);
  QCOMPARE(fileMode, QFileDialog::ExistingFiles);
  QVERIFY(result.accepted);
  QCOMPARE(result.files, (QStringList{dir.filePath(QStringLiteral("a.chm")),
                                      dir.filePath(QStringLiteral("b.chm"))}));
}

void DesktopUiServicesTest::cancelledFileDialogIsNotAccepted() {
  FileDialogRequest request;
  request.fileMustExist = true;
  QFileDialog::FileMode fileMode = QFileDialog::AnyFile;
  WhenShown<QFileDialog>([&](QFileDialog* dialog) {
    fileMode = dialog->fileMode();
    dialog->reject();
  });
  const auto result = DesktopUiServices().ShowFileDialog(request);
  QCOMPARE(fileMode, QFileDialog::ExistingFile);
  QVERIFY(!result.accepted);
  QVERIFY(result.files.isEmpty());
}

void DesktopUiServicesTest::qtTextsAreChineseWhateverTheLocale() {
  QCOMPARE(QLocale::system().name(), QStringLiteral("C"));
  // The buttons Qt gives a message box.
  QStringList buttonTexts;
  for (MsgButtons buttons : {MsgButtons::YesNo, MsgButtons::OkCancel}) {
    MessageRequest request;
    request.text = QStringLiteral("反编译完成，是否需要马上查看？");
    request.buttons = buttons;
    WhenShown<QMessageBox>([&](QMessageBox* box) {
      for (QAbstractButton* button : box->buttons()) buttonTexts << button->text();
      box->reject();
    });
    DesktopUiServices().ShowMessage(request);
  }
  buttonTexts.sort();
  QCOMPARE(buttonTexts, (QStringList{"取消", "否(&N)", "是(&Y)", "确定"}));

  // The open and save dialogs: their titles, labels, buttons and the filter
  // for all files.
  for (FileDialogRequest::Kind kind : {FileDialogRequest::Kind::Open, FileDialogRequest::Kind::Save}) {
    const bool open = kind == FileDialogRequest::Kind::Open;
    FileDialogRequest request;
    request.kind = kind;
    QStringList texts;
    WhenShown<QFileDialog>([&](QFileDialog* dialog) {
      texts << dialog->windowTitle();
      for (const char* name : {"lookInLabel", "fileNameLabel", "fileTypeLabel"}) {
        texts << dialog->findChild<QLabel*>(QLatin1String(name))->text();
      }
      const auto* box = dialog->findChild<QDialogButtonBox*>(QStringLiteral("buttonBox"));
      for (QAbstractButton* button : box->buttons()) texts << button->text();
      texts << dialog->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"))->currentText();
      const auto* files = dialog->findChild<QFileSystemModel*>();
      texts << files->type(files->index(QDir::homePath()));
      dialog->reject();
    });
    DesktopUiServices().ShowFileDialog(request);
    QCOMPARE(texts, (QStringList{open ? "打开" : "另存为", "查找范围：", "文件名称(&N)：", "文件类型：",
                                 open ? "打开(&O)" : "保存(&S)", "取消", "所有文件 (*)", "文件夹"}));
  }
}

void DesktopUiServicesTest::openTellsWhenTheDesktopCannot_data() {
  QTest::addColumn<int>("exitCode");
  QTest::addColumn<bool>("failed");
  QTest::addColumn<QString>("address");  // empty: a file
  QTest::newRow("an application took the file") << 0 << false << QString();
  QTest::newRow("no application for the file type") << 3 << true << QString();
  QTest::newRow("the application failed") << 4 << true << QString();
  QTest::newRow("a browser took the address") << 0 << false << QStringLiteral("https://velmora.org/");
  QTest::newRow("no browser") << 3 << true << QStringLiteral("https://velmora.org/donate.htm");
}

// xdg-open is a script of the test's own, first on the PATH: it notes the
// file it was given and ends with the row's status.
void DesktopUiServicesTest::openTellsWhenTheDesktopCannot() {
  QFETCH(int, exitCode);
  QFETCH(bool, failed);
  QFETCH(QString, address);
  QTemporaryDir bin;
  QVERIFY(bin.isValid());
  const QString note = bin.filePath(QStringLiteral("given"));
  QFile script(bin.filePath(QStringLiteral("xdg-open")));
  QVERIFY(script.open(QIODevice::WriteOnly));
  script.write(QStringLiteral("#!/bin/sh\nprintf '%s' \"$1\" > '%1.tmp' && mv '%1.tmp' '%1'\nexit %2\n")
                   .arg(note)
                   .arg(exitCode)
                   .toUtf8());
  script.close();
  QVERIFY(script.setPermissions(script.permissions() | QFileDevice::ExeOwner));
  const QByteArray path = qgetenv("PATH");
  qputenv("PATH", bin.path().toLocal8Bit() + ':' + path);
  const auto restore = qScopeGuard([path] { qputenv("PATH", path); });

  const QString target = address.isEmpty() ? bin.filePath(QStringLiteral("Velmora(Velmora)用户手册.chm")) : address;
  int failures = 0;
  DesktopUiServices().OpenWithDesktop(target, [&failures] { ++failures; });
  QTRY_VERIFY(QFileInfo::exists(note));
  QFile given(note);
  QVERIFY(given.open(QIODevice::ReadOnly));
  QCOMPARE(QString::fromUtf8(given.readAll()), target);
  // The answer comes when the opener has ended.
  if (failed) QTRY_COMPARE(failures, 1);
  QTest::qWait(300);
  QCOMPARE(failures, failed ? 1 : 0);
}

// File dialogs remember their history in the user's settings: point HOME and
// the configuration folder at a temporary folder before anything reads them.
int main(int argc, char** argv) {
  QTemporaryDir home;
  qputenv("HOME", home.path().toLocal8Bit());
  qputenv("XDG_CONFIG_HOME", (home.path() + QStringLiteral("/.config")).toLocal8Bit());
  // Qt's texts must come out Chinese even in the plain C locale.
  qputenv("LC_ALL", "C");
  qputenv("LANG", "C");
  QApplication app(argc, argv);
  // As the program starts.
  velmora::ui::InstallQtChineseTranslations(app);
  DesktopUiServicesTest test;
  return QTest::qExec(&test, argc, argv);
}
#include "DesktopUiServicesTest.moc"
