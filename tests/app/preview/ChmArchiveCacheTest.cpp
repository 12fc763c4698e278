// The open CHM files of the preview: one directory read per file while it
// is kept, pinned files kept beyond the capacity, least recently used
// others dropped, files changed, replaced or removed on disk noticed, and
// no file taken by a name that stands for whatever file is there later.

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>

#include "WebTestSupport.h"
#include "app/preview/ChmArchiveCache.h"
#include "platform/storage/ChmArchive.h"

using velmora::app::ChmArchiveCache;
using namespace velmora::testsupport;

class ChmArchiveCacheTest : public QObject {
  Q_OBJECT

 private slots:
  void init();
  void oneUserAtATime();
  void leastRecentlyUsedDropped();
  void pinnedKeptBeyondCapacity();
  void changedFileOpenedAgain();
  void replacedFileOpenedAgain();
  void namesStandingForAnotherFile_data();
  void namesStandingForAnotherFile();
  void unusableFiles_data();
  void unusableFiles();

 private:
  QString Chm(const QString& strName, const std::string& strPage = "<p>x</p>");
  std::unique_ptr<QTemporaryDir> m_dir;
};

void ChmArchiveCacheTest::init() { m_dir = std::make_unique<QTemporaryDir>(); }

QString ChmArchiveCacheTest::Chm(const QString& strName, const std::string& strPage) {
  const QString strPath = m_dir->filePath(strName);
  if (!WriteChm(strPath, {{"/index.htm", strPage}})) return {};
  return strPath;
}

// A kept archive goes to one user at a time; a second user meanwhile gets
// another, which is kept as a spare for the next time two are needed.
void ChmArchiveCacheTest::oneUserAtATime() {
  ChmArchiveCache cache;
  const QString a = Chm("a.chm");
  auto first = cache.Acquire(a);
  QVERIFY(first);
  const velmora::platform::ChmArchive* kept = first.get();
  auto second = cache.Acquire(a);
  QVERIFY(second);
  QVERIFY(second.get() != kept);
  QVERIFY(second->find("/index.htm"));
  const velmora::platform::ChmArchive* spare = second.get();
  second.reset();
  QCOMPARE(cache.Acquire(a).get(), spare);  // the first is still in use
  first.reset();
  QCOMPARE(cache.Acquire(a).get(), kept);
  QVERIFY(cache.IsCached(a));
}

void ChmArchiveCacheTest::leastRecentlyUsedDropped() {
  ChmArchiveCache cache(2);
  const QString a = Chm("a.chm"), b = Chm("b.chm"), c = Chm("c.chm");
  QVERIFY(cache.Acquire(a));
  QVERIFY(cache.Acquire(b));
  QVERIFY(cache.Acquire(a));  // a is now more recent than b
  QVERIFY(cache.Acquire(c));
  QVERIFY(cache.IsCached(a));
  QVERIFY(!cache.IsCached(b));
  QVERIFY(cache.IsCached(c));
}

void ChmArchiveCacheTest::pinnedKeptBeyondCapacity() {
  ChmArchiveCache cache(1);
  const QString pinned = Chm("pinned.chm"), b = Chm("b.chm"), c = Chm("c.chm");
  cache.Pin(pinned);
  QVERIFY(!cache.IsCached(pinned));  // read on first use only
  const velmora::platform::ChmArchive* archive = cache.Acquire(pinned).get();
  QVERIFY(archive);
  QVERIFY(cache.Acquire(b));
  QVERIFY(cache.Acquire(c));
  QVERIFY(cache.IsCached(pinned));
  QCOMPARE(cache.Acquire(pinned).get(), archive);
  cache.Unpin(pinned);
  QVERIFY(cache.Acquire(b));
  QVERIFY(!cache.IsCached(pinned));
}

void ChmArchiveCacheTest::changedFileOpenedAgain() {
  ChmArchiveCache cache;
  const QString a = Chm("a.chm", "<p>old</p>");
  const auto old = cache.Acquire(a);
  QVERIFY(old);
  QVERIFY(old->find("/index.htm"));
  QVERIFY(WriteChm(a, {{"/other.htm", "<p>a longer new page</p>"}}));
  const auto fresh = cache.Acquire(a);
  QVERIFY(fresh);
  QVERIFY(fresh.get() != old.get());
  QVERIFY(fresh->find("/other.htm"));
  QVERIFY(!fresh->find("/index.htm"));
}

// Another file moved into the place, of the same size and time to the
// nanosecond: only the device and inode tell them apart.
void ChmArchiveCacheTest::replacedFileOpenedAgain() {
  ChmArchiveCache cache;
  const QString a = Chm("a.chm", "<p>one</p>");
  const QString b = m_dir->filePath("b.chm");
  QVERIFY(WriteChm(b, {{"/other.htm", "<p>two</p>"}}));
  struct stat original {};
  QVERIFY(::stat(QFile::encodeName(a).constData(), &original) == 0);
  QCOMPARE(QFileInfo(b).size(), qint64(original.st_size));
  const struct timespec times[2] = {original.st_atim, original.st_mtim};
  QVERIFY(::utimensat(AT_FDCWD, QFile::encodeName(b).constData(), times, 0) == 0);
  const auto old = cache.Acquire(a);
  QVERIFY(old && old->find("/index.htm"));
  QVERIFY(::rename(QFile::encodeName(b).constData(), QFile::encodeName(a).constData()) == 0);
  const auto fresh = cache.Acquire(a);
  QVERIFY(fresh);
  QVERIFY(fresh->find("/other.htm"));
}

void ChmArchiveCacheTest::namesStandingForAnotherFile_data() {
  QTest::addColumn<QString>("name");  // %1: a descriptor of the file, %2: the test folder
  QTest::newRow("descriptor in /proc") << "/proc/self/fd/%1";
  QTest::newRow("descriptor in /dev") << "/dev/fd/%1";
  QTest::newRow("root folder in /proc") << "/proc/self/root%2/a.chm";
  QTest::newRow("symbolic link") << "%2/link.chm";
  QTest::newRow("path through ..") << "%2/sub/../a.chm";
}

// A CHM file open at a descriptor, reached by names other than its own.
void ChmArchiveCacheTest::namesStandingForAnotherFile() {
  QFETCH(QString, name);
  const QString a = Chm("a.chm");
  QVERIFY(QDir(m_dir->path()).mkpath("sub"));
  QVERIFY(QFile::link(a, m_dir->filePath("link.chm")));
  QFile held(a);
  QVERIFY(held.open(QIODevice::ReadOnly));
  const QString strName =
      QString(name).replace(QLatin1String("%1"), QString::number(held.handle())).replace(QLatin1String("%2"),
                                                                                          m_dir->path());
  QVERIFY2(QFileInfo(strName).canonicalFilePath() == a, qPrintable(strName));
  ChmArchiveCache cache;
  QVERIFY(!cache.Acquire(strName));
  QVERIFY(cache.Acquire(a));
}

void ChmArchiveCacheTest::unusableFiles_data() {
  QTest::addColumn<QByteArray>("content");
  QTest::addColumn<bool>("create");
  QTest::newRow("missing file") << QByteArray() << false;
  QTest::newRow("empty file") << QByteArray() << true;
  QTest::newRow("not a CHM file") << QByteArray("<html>not a help file</html>") << true;
  QTest::newRow("signature only") << QByteArray("ITSF") << true;
}

void ChmArchiveCacheTest::unusableFiles() {
  QFETCH(QByteArray, content);
  QFETCH(bool, create);
  const QString strPath = m_dir->filePath("bad.chm");
  if (create) QVERIFY(WriteFile(strPath, content));
  ChmArchiveCache cache;
  QVERIFY(!cache.Acquire(strPath));
  QVERIFY(!cache.IsCached(strPath));
}

int RunChmArchiveCacheTest(int argc, char** argv) {
  ChmArchiveCacheTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "ChmArchiveCacheTest.moc"
