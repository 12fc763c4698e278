// The export entries through the real window over the shared real-world
// CHM files, against the counts their manifest records: every file of the
// batch gets its folder (when it holds something of the kind), the listing
// holds every item, and selected contents and the current file work on
// nested items with Chinese names. Runs in the program's corpus run.

#include <QFile>
#include <QFileInfo>
#include <limits>
#include <QRegularExpression>
#include <QtTest>

#include "tests/ui/main/MainTests.h"
#include "tests/ui/main/WindowHarness.h"

using velmora::test::FilesBelow;
using velmora::test::ReadAll;
using velmora::test::WindowHarness;
using velmora::ui::MsgAnswer;

namespace {

const QString kCorpus = QStringLiteral(VELMORA_CORPUS_DIR "/real");

struct CorpusFile {
  QString path;
  QString name;
  int items = 0;
  int pages = 0;
  int pictures = 0;
  int multimedia = 0;
};

QList<CorpusFile> ReadManifest() {
  QList<CorpusFile> files;
  const QStringList lines = QString::fromUtf8(ReadAll(kCorpus + "/MANIFEST.tsv")).split('\n', Qt::SkipEmptyParts);
  for (const QString& line : lines.mid(1)) {
    const QStringList fields = line.split('\t');
    if (fields.size() < 12) continue;
    files.append({kCorpus + '/' + fields[0], fields[0], fields[8].toInt(), fields[9].toInt(), fields[10].toInt(),
                  fields[11].toInt()});
  }
  return files;
}

}  // namespace

class CorpusExportTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() {
    m_files = ReadManifest();
    QVERIFY(!m_files.isEmpty());
  }

  // The entries that write thousands of files take the smaller files only.
  void batchEntriesGiveEveryFileItsFolder_data() {
    QTest::addColumn<int>("index");
    QTest::addColumn<qint64>("maxBytes");
    QTest::addRow("all contents, small files") << 0 << qint64(600000);
    QTest::addRow("pictures") << 2 << std::numeric_limits<qint64>::max();
    QTest::addRow("pages, small files") << 3 << qint64(600000);
    QTest::addRow("multimedia") << 4 << std::numeric_limits<qint64>::max();
  }

  void batchEntriesGiveEveryFileItsFolder() {
    QFETCH(int, index);
    QFETCH(qint64, maxBytes);
    QTemporaryDir tmp;
    WindowHarness w;
    QList<CorpusFile> files;
    QStringList paths;
    for (const CorpusFile& file : m_files) {
      if (QFileInfo(file.path).size() > maxBytes) continue;
      files << file;
      paths << file.path;
    }
    QVERIFY(files.size() > 1);
    w.AddBatch(paths);
    QCOMPARE(w.Files()->count(), files.size());
    w.services.QueueFolder(tmp.path());
    w.services.QueueMessageAnswer(MsgAnswer::No);
    w.ExportEntry(index)->trigger();

    QCOMPARE(w.MessageTexts(), QStringList{QStringLiteral("反编译完成，是否需要马上查看？")});
    for (const CorpusFile& file : files) {
      const int expected = index == 0 ? file.items : index == 2 ? file.pictures : index == 3 ? file.pages
                                                                                             : file.multimedia;
      const QStringList written = FilesBelow(tmp.path() + '/' + file.name + "_文件内容");
      QVERIFY2(written.isEmpty() == (expected == 0), qPrintable(file.name));
      // Fewer when a name is stored twice (19-nvidia-widgets.chm).
      if (index != 0) QVERIFY2(written.size() <= expected, qPrintable(file.name));
    }
    const CorpusFile& last = files.last();
    QCOMPARE(w.Status(), QStringLiteral("    反编译完成，共%1个内容，网页(%2)，图片(%3)，多媒体(%4)。")
                             .arg(last.items)
                             .arg(index == 3 ? last.pages : 0)
                             .arg(index == 2 ? last.pictures : 0)
                             .arg(index == 4 ? last.multimedia : 0));
  }

  void batchListingHoldsEveryItem() {
    QTemporaryDir tmp;
    WindowHarness w;
    QStringList paths;
    int items = 0;
    for (const CorpusFile& file : m_files) {
      paths << file.path;
      items += file.items;
    }
    w.AddBatch(paths);
    w.services.QueueFiles({tmp.path() + "/list.txt"});
    w.services.QueueMessageAnswer(MsgAnswer::No);
    w.ExportEntry(7)->trigger();
    const QStringList lines = QString::fromUtf8(ReadAll(tmp.path() + "/list.txt")).split(QStringLiteral("\r\n"));
    QCOMPARE(lines.filter(QRegularExpression(QStringLiteral("^CHM文件："))).size(), m_files.size());
    QCOMPARE(lines.filter(QRegularExpression(QStringLiteral("^文件："))).size(), items);
  }

  void nestedChineseItemsBySelectionAndAsCurrentFile() {
    QTemporaryDir tmp;
    WindowHarness w;
    const CorpusFile* manual = nullptr;
    for (const CorpusFile& file : m_files) {
      if (file.name.contains(QStringLiteral("用户手册"))) manual = &file;
    }
    QVERIFY(manual);
    w.OpenSingle(manual->path);
    // The first folder with a Chinese name and the first page inside it.
    const auto& items = w.window.Items();
    int folder = -1;
    for (std::size_t row = 0; row < items.size() && folder < 0; ++row) {
      const QString name = QString::fromStdString(items[row].Name);
      if (items[row].IsStorage && name.toUtf8().size() != name.size()) folder = int(row);
    }
    QVERIFY(folder >= 0);
    const QString folderName = QString::fromStdString(items[std::size_t(folder)].Name);
    // The first page below it (rows below a folder follow it directly).
    int page = folder + 1;
    while (page < int(items.size()) &&
           (items[std::size_t(page)].IsStorage || !QString::fromStdString(items[std::size_t(page)].Name).contains(".htm"))) {
      ++page;
    }
    QVERIFY(page < int(items.size()) && items[std::size_t(page)].Level > items[std::size_t(folder)].Level);
    const QString pagePath = QString::fromStdString(items[std::size_t(page)].Path).replace('\\', '/') + '/' +
                             QString::fromStdString(items[std::size_t(page)].Name);

    w.Items()->item(folder)->setSelected(true);
    w.services.QueueFolder(tmp.path() + "/selected");
    w.services.QueueMessageAnswer(MsgAnswer::No);
    w.ExportEntry(1)->trigger();
    const QStringList selected = FilesBelow(tmp.path() + "/selected");
    QVERIFY(!selected.isEmpty());
    for (const QString& file : selected) QVERIFY2(file.startsWith(folderName + '/'), qPrintable(file));
    QVERIFY2(selected.contains(pagePath), qPrintable(pagePath));

    w.Action("mnuAutoViewHTML")->setChecked(false);
    w.Items()->setCurrentRow(page);
    w.services.QueueFiles({tmp.path() + "/page.htm"});
    w.services.QueueMessageAnswer(MsgAnswer::No);
    w.ExportEntry(5)->trigger();
    QCOMPARE(ReadAll(tmp.path() + "/page.htm"), ReadAll(tmp.path() + "/selected/" + pagePath));
  }

 private:
  QList<CorpusFile> m_files;
};

VELMORA_REGISTER_CORPUS_TEST(CorpusExportTest)
#include "CorpusExportTest.moc"
