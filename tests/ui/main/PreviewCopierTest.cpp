// Preview copies made off the window's thread: what each kind of stored
// file comes to (written, refused as too long or for want of disk space,
// damaged, gone), that a stopped copy leaves no file behind, and that only
// the copy started last reports.

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>
#include <atomic>
#include <limits>
#include <optional>
#include <string>

#include "tests/support/chm/ChmBuilder.h"
#include "tests/ui/main/MainTests.h"
#include "ui/main/PreviewCopier.h"

using velmora::testsupport::ChmBuilder;
using velmora::ui::PreviewCopier;
using Outcome = PreviewCopier::Outcome;

Q_DECLARE_METATYPE(velmora::ui::PreviewCopier::Outcome)

namespace {

constexpr quint64 kMiB = quint64(1) << 20;
constexpr quint64 kLimit = 256 * kMiB;
// Longer than one step of the walker's progress reports (4 MiB), so that a
// copy is checked while it is written.
const std::string kLong(9 * kMiB, 'x');

}  // namespace

class PreviewCopierTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() {
    QVERIFY(m_dir.isValid());
    m_strChm = m_dir.filePath(QStringLiteral("copies.chm"));
    ChmBuilder builder;
    builder.add("/page.htm", "<p>page</p>");
    builder.add("/long.txt", kLong);
    builder.add("/empty.css", "");
    // Declared far longer than the file: its listed size is a bomb's.
    builder.add(ChmBuilder::Entry{"/toc.hhc", "<ul>", std::nullopt, std::uint64_t(3) << 30, 0});
    // Its declared place runs past the end of the file.
    builder.add(ChmBuilder::Entry{"/index.hhk", "<ul>", std::uint64_t(1) << 40, std::nullopt, 0});
    QVERIFY(builder.writeTo(QFile::encodeName(m_strChm).toStdString()));
  }

  void init() { QDir(Folder()).removeRecursively(); }

  void outcomes_data() {
    QTest::addColumn<QString>("key");
    QTest::addColumn<quint64>("listed");  // the size the listing showed
    QTest::addColumn<quint64>("limit");
    QTest::addColumn<bool>("cancelled");
    QTest::addColumn<Outcome>("outcome");
    const quint64 lngLong = kLong.size();
    const quint64 lngNoLimit = std::numeric_limits<quint64>::max();
    QTest::addRow("page") << "\\page.htm" << quint64(11) << kLimit << false << Outcome::Written;
    QTest::addRow("long file") << "\\long.txt" << lngLong << kLimit << false << Outcome::Written;
    // An empty stored file gives an empty copy, as an export writes it.
    QTest::addRow("empty file") << "\\empty.css" << quint64(0) << kLimit << false << Outcome::Written;
    QTest::addRow("bomb") << "\\toc.hhc" << (quint64(3) << 30) << kLimit << false << Outcome::TooLarge;
    QTest::addRow("longer than the disk holds") << "\\toc.hhc" << (quint64(1) << 60) << lngNoLimit << false
                                                << Outcome::NoSpace;
    // The file grew after it was listed: stopped while it is written.
    QTest::addRow("grown since listed") << "\\long.txt" << quint64(10) << 5 * kMiB << false << Outcome::TooLarge;
    QTest::addRow("stopped") << "\\long.txt" << lngLong << kLimit << true << Outcome::NotWritten;
    QTest::addRow("place past the end") << "\\index.hhk" << quint64(4) << kLimit << false << Outcome::Damaged;
    QTest::addRow("no such file") << "\\gone.htm" << quint64(4) << kLimit << false << Outcome::NotFound;
  }

  void outcomes() {
    QFETCH(QString, key);
    QFETCH(quint64, listed);
    QFETCH(quint64, limit);
    QFETCH(bool, cancelled);
    QFETCH(Outcome, outcome);
    const PreviewCopier::Request request{m_strChm, Target(), key.toStdString(), listed, limit};
    const std::atomic<bool> blnCancelled(cancelled);
    QCOMPARE(PreviewCopier::Copy(request, blnCancelled), outcome);
    // A copy is there whole or not at all, and nothing else is left.
    const QStringList entries = QDir(Folder()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    if (outcome == Outcome::Written) {
      QCOMPARE(entries, QStringList{QStringLiteral("~preview.htm")});
      QCOMPARE(QFileInfo(Target()).size(), qint64(listed));
    } else {
      QCOMPARE(entries, QStringList());
    }
  }

  void gone_data() {
    QTest::addColumn<QByteArray>("bytes");  // of the file at the CHM file's place; null: none
    QTest::addColumn<Outcome>("outcome");
    QTest::addRow("moved away") << QByteArray() << Outcome::MissingFile;
    QTest::addRow("replaced by another file") << QByteArray("not a help file") << Outcome::NotChm;
  }

  void gone() {
    QFETCH(QByteArray, bytes);
    QFETCH(Outcome, outcome);
    const QString strChm = m_dir.filePath(QStringLiteral("gone.chm"));
    QFile::remove(strChm);
    if (!bytes.isNull()) {
      QFile file(strChm);
      QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
    }
    const PreviewCopier::Request request{strChm, Target(), "\\page.htm", 11, kLimit};
    QCOMPARE(PreviewCopier::Copy(request, std::atomic<bool>(false)), outcome);
  }

  // Each copy started stops the one before; only the last reports, and
  // its file is the one in place.
  void onlyTheLastCopyReports() {
    PreviewCopier copier;
    QList<Outcome> reported;
    const PreviewCopier::Request longCopy{m_strChm, Target(), "\\long.txt", kLong.size(), kLimit};
    const PreviewCopier::Request pageCopy{m_strChm, Target(), "\\page.htm", 11, kLimit};
    copier.Start(longCopy, [&reported](Outcome outcome) { reported << outcome; });
    QVERIFY(copier.IsBusy());
    copier.Start(pageCopy, [&reported](Outcome outcome) { reported << outcome; });
    QTRY_VERIFY(!copier.IsBusy());
    QCOMPARE(reported, QList<Outcome>{Outcome::Written});
    QFile copy(Target());
    QVERIFY(copy.open(QIODevice::ReadOnly));
    QCOMPARE(copy.readAll(), QByteArray("<p>page</p>"));
    // A cancelled copy never reports.
    copier.Start(longCopy, [&reported](Outcome outcome) { reported << outcome; });
    QVERIFY(copier.Cancel());
    QVERIFY(!copier.IsBusy());
    QVERIFY(!copier.Cancel());
  }

 private:
  QString Folder() const { return m_dir.filePath(QStringLiteral("预览")); }
  QString Target() const { return Folder() + QStringLiteral("/~preview.htm"); }

  QTemporaryDir m_dir;
  QString m_strChm;
};

VELMORA_REGISTER_TEST(PreviewCopierTest)
#include "PreviewCopierTest.moc"
