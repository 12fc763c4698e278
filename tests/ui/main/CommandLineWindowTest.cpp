// The unattended extraction at start-up: the window reads "/chm=",
// "/path=" and "/type=" from its argument text, extracts before it is
// shown, and lists the contents with a summary ending in "，成功导出。";
// a missing file or a file that is not a CHM file is reported instead.

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include "tests/ui/main/MainTests.h"
#include "tests/ui/main/OpenWindowHarness.h"
#include "ui/common/ucFirefoxWait.h"

using velmora::test::FixtureChm;
using velmora::test::OpenWindowHarness;
using velmora::ui::MsgButtons;
using velmora::ui::MsgIcon;

Q_DECLARE_METATYPE(velmora::ui::MsgIcon)

namespace {

// Every file below the folder, relative to it, sorted.
QStringList FilesBelow(const QString& strFolder) {
  QStringList files;
  const QDir root(strFolder);
  QDirIterator it(strFolder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
  while (it.hasNext()) files << root.relativeFilePath(it.next());
  files.sort();
  return files;
}

// #ITBITS is empty: it gives an empty file like any other.
const QStringList kEverything{"#IDXHDR", "#ITBITS", "#STRINGS", "#SYSTEM", "$OBJINST", "_#_README_#_",
                              "guide.css", "images/logo.gif", "index.htm"};
// The text with %1 and %2 replaced (either may be absent).
QString Filled(QString strText, const QString& strFirst, const QString& strSecond) {
  return strText.replace(QStringLiteral("%1"), strFirst).replace(QStringLiteral("%2"), strSecond);
}

const QString kAllSummary = QStringLiteral("    解释完成，共10个内容，网页(0)，图片(0)，多媒体(0)，成功导出。");

}  // namespace

class CommandLineWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    // A fresh copy per case, in a folder whose name has a blank and
    // Chinese characters.
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    QVERIFY(QDir(m_dir->path()).mkpath(QStringLiteral("帮助 文件")));
    m_strCHM = m_dir->filePath(QStringLiteral("帮助 文件/guide.chm"));
    QVERIFY(QFile::copy(FixtureChm(QStringLiteral("guide")), m_strCHM));
  }

  void extractsAtStartUp_data() {
    QTest::addColumn<QString>("commands");  // %1 the CHM file, %2 a folder of the test's own
    QTest::addColumn<bool>("ownFolder");
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QString>("status");
    const QStringList pictures{"images/logo.gif"};
    const QStringList pagesAndPictures{"guide.css", "images/logo.gif", "index.htm"};
    QTest::addRow("the verb: quoted path only") << "/chm=\"%1\"" << false << kEverything << kAllSummary;
    QTest::addRow("type 4 directly before chm")
        << "/type=4/chm=\"%1\"" << false << pictures
        << "    解释完成，共10个内容，网页(0)，图片(1)，多媒体(0)，成功导出。";
    QTest::addRow("type 12 after a blank")
        << "/chm=\"%1\" /type=12" << false << pagesAndPictures
        << "    解释完成，共10个内容，网页(2)，图片(1)，多媒体(0)，成功导出。";
    QTest::addRow("type 0 is everything") << "/chm=%1 /type=0" << false << kEverything << kAllSummary;
    QTest::addRow("type 17 is everything") << "/chm=%1 /type=17" << false << kEverything << kAllSummary;
    QTest::addRow("type abc is everything") << "/chm=%1 /type=abc" << false << kEverything << kAllSummary;
    QTest::addRow("key in capitals") << "/CHM=%1" << false << kEverything << kAllSummary;
    QTest::addRow("output folder given") << "/chm=\"%1\" /path=\"%2\" /type=4" << true << pictures
                                         << "    解释完成，共10个内容，网页(0)，图片(1)，多媒体(0)，成功导出。";
  }

  void extractsAtStartUp() {
    QFETCH(QString, commands);
    QFETCH(bool, ownFolder);
    QFETCH(QStringList, files);
    QFETCH(QString, status);
    const QString strOut = ownFolder ? m_dir->filePath(QStringLiteral("输出 folder")) : m_strCHM + "_文件内容";
    OpenWindowHarness w(Filled(commands, m_strCHM, strOut));
    QVERIFY(w.services.Messages().isEmpty());
    QCOMPARE(FilesBelow(strOut), files);
    QCOMPARE(w.Status(), status);
    QCOMPARE(w.Items()->count(), 10);
    QVERIFY(!w.Find<ucFirefoxWait>(QStringLiteral("fwProgress"))->IsPlaying());
    // The extracted file is not the window's open file: its rows preview
    // nothing.
    QVERIFY(w.window.CHMFile().isEmpty());
    QVERIFY(!w.window.IsLoaded());
    const QString strWelcome = w.Address();
    w.Items()->setCurrentRow(w.RowOf(QStringLiteral("\\index.htm")));
    QCOMPARE(w.Address(), strWelcome);
  }

  void reportsInsteadOfExtracting_data() {
    QTest::addColumn<QString>("commands");  // %1 the CHM file, %2 a text file
    QTest::addColumn<QString>("message");   // %1 the CHM file
    QTest::addColumn<MsgIcon>("icon");
    QTest::addRow("missing file") << "/chm=\"%1.gone\"" << "文件不存在：%1.gone" << MsgIcon::None;
    QTest::addRow("a folder is no file") << "/chm=%1_folder" << "文件不存在：%1_folder" << MsgIcon::None;
    QTest::addRow("not a CHM file") << "/chm=%2" << "解释文件失败，可能该文件不是chm文件。" << MsgIcon::Information;
  }

  void reportsInsteadOfExtracting() {
    QFETCH(QString, commands);
    QFETCH(QString, message);
    QFETCH(MsgIcon, icon);
    QVERIFY(QDir().mkpath(m_strCHM + "_folder"));
    const QString strText = m_dir->filePath(QStringLiteral("notes.chm"));
    QVERIFY(velmora::test::WriteBytes(strText, "plain text"));
    OpenWindowHarness w(Filled(commands, m_strCHM, strText));
    QCOMPARE(w.MessageTexts(), QStringList{Filled(message, m_strCHM, QString())});
    QCOMPARE(w.services.Messages().first().icon, icon);
    QCOMPARE(w.services.Messages().first().buttons, MsgButtons::Ok);
    QCOMPARE(w.Status(), QStringLiteral("    请打开CHM文件。"));
    QCOMPARE(w.Items()->count(), 0);
    QVERIFY(!QFileInfo::exists(m_strCHM + "_文件内容"));
    QVERIFY(!QFileInfo::exists(strText + "_文件内容"));
  }

  // A symbolic link at the default folder's name, as an unpacked archive
  // leaves one beside the help file, is never followed: the window says so
  // and writes nothing. A folder given with "/path=" may be a link.
  void linkAtTheDefaultFolderIsNotFollowed_data() {
    QTest::addColumn<QString>("commands");  // %1 the CHM file, %2 the link
    QTest::addColumn<QString>("linkTarget");
    QTest::addColumn<bool>("written");
    QTest::addRow("link to a folder") << "/chm=\"%1\"" << "../target" << false;
    QTest::addRow("dangling link") << "/chm=\"%1\"" << "../target/gone" << false;
    QTest::addRow("the link given with /path=") << "/chm=\"%1\" /path=\"%2\"" << "../target" << true;
  }

  void linkAtTheDefaultFolderIsNotFollowed() {
    QFETCH(QString, commands);
    QFETCH(QString, linkTarget);
    QFETCH(bool, written);
    const QString strTarget = m_dir->filePath(QStringLiteral("target"));
    QVERIFY(QDir().mkpath(strTarget));
    const QString strLink = m_strCHM + "_文件内容";
    QVERIFY(QFile::link(linkTarget, strLink));
    OpenWindowHarness w(Filled(commands, m_strCHM, strLink));
    if (written) {
      QVERIFY(w.services.Messages().isEmpty());
      QCOMPARE(FilesBelow(strTarget), kEverything);
      QCOMPARE(w.Status(), kAllSummary);
    } else {
      QCOMPARE(w.MessageTexts(),
               QStringList{QStringLiteral("默认的输出文件夹是符号链接，为安全起见不写入：") + strLink});
      QCOMPARE(w.services.Messages().first().icon, MsgIcon::Information);
      QVERIFY(FilesBelow(strTarget).isEmpty());
      QVERIFY(!QFileInfo::exists(strTarget + "/gone"));
      QCOMPARE(w.Status(), QStringLiteral("    请打开CHM文件。"));
      QCOMPARE(w.Items()->count(), 0);
    }
    QVERIFY(QFileInfo(strLink).isSymLink());
  }

  // Without an option key the arguments are files to open, as a file
  // manager's "Open with" passes them.
  void plainPathsOpen_data() {
    QTest::addColumn<QStringList>("arguments");  // %1 the CHM file, %2 a second one, %3 a text file
    QTest::addColumn<int>("mode");
    QTest::addColumn<QStringList>("batchRows");
    QTest::addColumn<QStringList>("messages");
    QTest::addRow("one file, blank and Chinese in its path") << QStringList{"%1"} << 0 << QStringList{"%1"}
                                                            << QStringList{};
    QTest::addRow("several files: batch mode, the first opened")
        << QStringList{"%1", "%2", "%1"} << 1 << QStringList{"%1", "%2"} << QStringList{};
    QTest::addRow("a missing file is reported, the others open")
        << QStringList{"%1.gone", "%1"} << 0 << QStringList{"%1"} << QStringList{"文件不存在：%1.gone"};
    QTest::addRow("a file that is not a CHM file")
        << QStringList{"%3"} << 0 << QStringList{} << QStringList{"解释文件失败，可能该文件不是chm文件。"};
  }

  void plainPathsOpen() {
    QFETCH(QStringList, arguments);
    QFETCH(int, mode);
    QFETCH(QStringList, batchRows);
    QFETCH(QStringList, messages);
    const QString strSecond = m_dir->filePath(QStringLiteral("帮助 文件/第二.chm"));
    QVERIFY(QFile::copy(m_strCHM, strSecond));
    const QString strText = m_dir->filePath(QStringLiteral("notes.chm"));
    QVERIFY(velmora::test::WriteBytes(strText, "plain text"));
    const auto fill = [&](QStringList texts) {
      for (QString& text : texts) text = Filled(text, m_strCHM, strSecond).replace(QStringLiteral("%3"), strText);
      return texts;
    };
    OpenWindowHarness w(fill(arguments));
    QCOMPARE(w.MessageTexts(), fill(messages));
    QCOMPARE(w.window.CurrentMode(), mode);
    QCOMPARE(velmora::test::RowTexts(w.Files()), fill(batchRows));
    QCOMPARE(w.window.IsLoaded(), !batchRows.isEmpty());
    if (w.window.IsLoaded()) QVERIFY(w.Status().endsWith(QStringLiteral("，请导出文件。")));
    // Opening extracts nothing.
    QVERIFY(!QFileInfo::exists(m_strCHM + "_文件内容"));
  }

  void anOptionKeyAmongTheArgumentsStillExtracts() {
    OpenWindowHarness w(QStringList{QStringLiteral("/chm=") + m_strCHM});
    QCOMPARE(w.Status(), kAllSummary);
    QCOMPARE(FilesBelow(m_strCHM + "_文件内容"), kEverything);
  }

  // A folder link planted in the output folder: the streams below it are
  // not written, the summary does not claim success, one message names them.
  void streamsThatCannotBeWrittenAreReported() {
    const QString strOut = m_dir->filePath(QStringLiteral("out"));
    QVERIFY(QDir().mkpath(strOut) && QDir().mkpath(m_dir->filePath(QStringLiteral("elsewhere"))));
    QVERIFY(QFile::link(m_dir->filePath(QStringLiteral("elsewhere")), strOut + QStringLiteral("/images")));
    OpenWindowHarness w(QStringLiteral("/chm=\"%1\" /path=\"%2\"").arg(m_strCHM, strOut));
    QCOMPARE(w.MessageTexts(), QStringList{QStringLiteral("以下内容未能导出：\nimages\\logo.gif\n共1个内容未能导出。")});
    QVERIFY2(w.Status().endsWith(QStringLiteral("，1个内容未能导出。")), qPrintable(w.Status()));
    QVERIFY(QDir(m_dir->filePath(QStringLiteral("elsewhere"))).isEmpty());
    QVERIFY(QFileInfo::exists(strOut + QStringLiteral("/index.htm")));
  }

  void emptyArgumentTextDoesNothing() {
    OpenWindowHarness w;
    QVERIFY(w.services.Messages().isEmpty());
    QCOMPARE(w.Status(), QStringLiteral("    请打开CHM文件。"));
    QVERIFY(!w.ExportsEnabled());
  }

  void parseCommandValueOfTheWindow_data() {
    QTest::addColumn<QString>("commands");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value");
    QTest::addRow("value up to the next key") << "/chm=\"/d/a b.chm\" /type=4" << "/chm=" << "/d/a b.chm";
    QTest::addRow("key absent keeps the value") << "/type=4" << "/path=" << "kept";
    QTest::addRow("empty value keeps the value") << "/path=/type=4" << "/path=" << "kept";
    QTest::addRow("key in any case") << "/TYPE=8" << "/type=" << "8";
  }

  void parseCommandValueOfTheWindow() {
    QFETCH(QString, commands);
    QFETCH(QString, key);
    QFETCH(QString, value);
    OpenWindowHarness w;
    QString strValue = QStringLiteral("kept");
    w.window.ParseCommandValue(commands, key, strValue);
    QCOMPARE(strValue, value);
  }

 private:
  std::unique_ptr<QTemporaryDir> m_dir;
  QString m_strCHM;
};

VELMORA_REGISTER_TEST(CommandLineWindowTest)
#include "CommandLineWindowTest.moc"
