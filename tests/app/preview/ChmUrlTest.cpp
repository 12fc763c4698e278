// Stored-file addresses to chm URLs and back: special characters in the
// CHM file's path and in the stored path, moniker links as the engine hands
// them over, and "../" that must stay inside the CHM file.

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "app/preview/ChmUrl.h"

using velmora::app::ChmLocation;
using velmora::app::ChmUrl;

class ChmUrlTest : public QObject {
  Q_OBJECT

 private slots:
  void addressRoundTrip_data();
  void addressRoundTrip();
  void invalidAddress_data();
  void invalidAddress();
  void separatorInsideExistingFileName();
  void relativeReferencesStayInside_data();
  void relativeReferencesStayInside();
  void foreignUrls_data();
  void foreignUrls();
  void lonePercentFromEngine();
  void monikerLinks_data();
  void monikerLinks();
  void keyedUrls_data();
  void keyedUrls();
};

void ChmUrlTest::addressRoundTrip_data() {
  QTest::addColumn<QString>("address");
  QTest::addColumn<QString>("chmFile");
  QTest::addColumn<QString>("storedPath");
  QTest::newRow("top-level page") << "mk:@MSITStore:/x/y.chm::/index.htm"
                                  << "/x/y.chm" << "/index.htm";
  QTest::newRow("page in nested folders") << "mk:@MSITStore:/x/y.chm::/a/b/c.htm"
                                          << "/x/y.chm" << "/a/b/c.htm";
  QTest::newRow("blanks in both parts") << "mk:@MSITStore:/my docs/a b.chm::/my folder/a b.htm"
                                        << "/my docs/a b.chm" << "/my folder/a b.htm";
  QTest::newRow("hash in both parts") << "mk:@MSITStore:/x/#1.chm::/c#/a#b.htm"
                                      << "/x/#1.chm" << "/c#/a#b.htm";
  QTest::newRow("question mark in both parts") << "mk:@MSITStore:/x/why?.chm::/q?/a?b=c.htm"
                                               << "/x/why?.chm" << "/q?/a?b=c.htm";
  QTest::newRow("percent in both parts") << "mk:@MSITStore:/x/100%.chm::/50%/a%20b%zz.htm"
                                         << "/x/100%.chm" << "/50%/a%20b%zz.htm";
  QTest::newRow("Chinese in both parts") << "mk:@MSITStore:/文档/帮助.chm::/中文目录/无声明.htm"
                                         << "/文档/帮助.chm" << "/中文目录/无声明.htm";
  QTest::newRow("prefix in any letter case") << "MK:@msitstore:/x/y.chm::/index.htm"
                                             << "/x/y.chm" << "/index.htm";
  QTest::newRow("ms-its prefix") << "ms-its:/x/y.chm::/index.htm" << "/x/y.chm" << "/index.htm";
  QTest::newRow("no slash after the separator") << "mk:@MSITStore:/x/y.chm::index.htm"
                                                << "/x/y.chm" << "/index.htm";
  QTest::newRow("backslashes in the stored path") << "mk:@MSITStore:/x/y.chm::\\a\\b.htm"
                                                  << "/x/y.chm" << "/a/b.htm";
  QTest::newRow("dot segments of the file path cleaned") << "mk:@MSITStore:/x/./z/../y.chm::/a.htm"
                                                         << "/x/y.chm" << "/a.htm";
  QTest::newRow("dot-dot beyond the stored root clamped") << "mk:@MSITStore:/x/y.chm::/../../etc/passwd"
                                                          << "/x/y.chm" << "/etc/passwd";
  QTest::newRow("stored system stream") << "mk:@MSITStore:/x/y.chm::/::DataSpace/NameList"
                                        << "/x/y.chm" << "/::DataSpace/NameList";
  QTest::newRow("very long file path")
      << "mk:@MSITStore:/" + QString(300, QChar(0x6587)) + ".chm::/a.htm"
      << "/" + QString(300, QChar(0x6587)) + ".chm" << "/a.htm";
}

void ChmUrlTest::addressRoundTrip() {
  QFETCH(QString, address);
  QFETCH(QString, chmFile);
  QFETCH(QString, storedPath);
  const std::optional<ChmLocation> location = ChmUrl::FromAddress(address);
  QVERIFY(location);
  QCOMPARE(location->strChmFile, chmFile);
  QCOMPARE(location->strStoredPath, storedPath);

  const QUrl url = ChmUrl::ToUrl(*location);
  QVERIFY2(url.isValid(), qPrintable(url.errorString()));
  QCOMPARE(url.scheme(), QStringLiteral("chm"));
  QVERIFY(!url.hasQuery());
  QVERIFY(!url.hasFragment());
  const QByteArray encoded = url.toEncoded();
  QVERIFY(!encoded.contains(' '));
  // The engine gets the URL as text: it must read back the same.
  const std::optional<ChmLocation> back = ChmUrl::FromUrl(QUrl(QString::fromLatin1(encoded)));
  QVERIFY(back);
  QCOMPARE(back->strChmFile, chmFile);
  QCOMPARE(back->strStoredPath, storedPath);
}

void ChmUrlTest::invalidAddress_data() {
  QTest::addColumn<QString>("address");
  QTest::newRow("no separator") << "mk:@MSITStore:/x/y.chm";
  QTest::newRow("empty stored path") << "mk:@MSITStore:/x/y.chm::";
  QTest::newRow("only a slash stored") << "mk:@MSITStore:/x/y.chm::/";
  QTest::newRow("empty file") << "mk:@MSITStore:::/a.htm";
  QTest::newRow("a local file path") << "/x/y.htm";
  QTest::newRow("an about page") << "about:(这是目录)";
  QTest::newRow("mk without the store name") << "mk:/x/y.chm::/a.htm";
}

void ChmUrlTest::invalidAddress() {
  QFETCH(QString, address);
  QVERIFY(!ChmUrl::FromAddress(address));
}

// "::" inside the file name: the split falls after the existing file.
void ChmUrlTest::separatorInsideExistingFileName() {
  QTemporaryDir dir;
  const QString strFile = dir.filePath(QStringLiteral("a::b.chm"));
  QFile file(strFile);
  QVERIFY(file.open(QIODevice::WriteOnly));
  file.close();
  const auto location = ChmUrl::FromAddress("mk:@MSITStore:" + strFile + "::/x::y.htm");
  QVERIFY(location);
  QCOMPARE(location->strChmFile, strFile);
  QCOMPARE(location->strStoredPath, QStringLiteral("/x::y.htm"));
}

void ChmUrlTest::relativeReferencesStayInside_data() {
  QTest::addColumn<QString>("reference");
  QTest::addColumn<QString>("storedPath");
  QTest::newRow("sibling") << "b.htm" << "/dir/b.htm";
  QTest::newRow("subfolder") << "sub/c.htm" << "/dir/sub/c.htm";
  QTest::newRow("parent") << "../images/pic.png" << "/images/pic.png";
  QTest::newRow("above the root") << "../../../../etc/passwd" << "/etc/passwd";
  QTest::newRow("absolute path") << "/top.htm" << "/top.htm";
  QTest::newRow("encoded blank") << "a%20b.htm" << "/dir/a b.htm";
  QTest::newRow("fragment dropped") << "b.htm#part" << "/dir/b.htm";
}

// Resolution as the engine does it, from a page in a folder with awkward
// characters of a CHM file with awkward characters.
void ChmUrlTest::relativeReferencesStayInside() {
  QFETCH(QString, reference);
  QFETCH(QString, storedPath);
  const ChmLocation page{QStringLiteral("/文档 #1/a%b?.chm"), QStringLiteral("/dir/page.htm")};
  const QUrl resolved = ChmUrl::ToUrl(page).resolved(QUrl(reference));
  const auto location = ChmUrl::FromUrl(resolved);
  QVERIFY(location);
  QCOMPARE(location->strChmFile, page.strChmFile);
  QCOMPARE(location->strStoredPath, storedPath);
}

void ChmUrlTest::foreignUrls_data() {
  QTest::addColumn<QUrl>("url");
  QTest::newRow("another scheme") << QUrl(QStringLiteral("http://x2f61/a.htm"));
  QTest::newRow("host without the label mark") << QUrl(QStringLiteral("chm://2f61/a.htm"));
  QTest::newRow("odd number of hex digits") << QUrl(QStringLiteral("chm://x2f6/a.htm"));
  QTest::newRow("not hex") << QUrl(QStringLiteral("chm://x2g61/a.htm"));
  QTest::newRow("empty host") << QUrl(QStringLiteral("chm:///a.htm"));
  QTest::newRow("empty label") << QUrl(QStringLiteral("chm://x2f61..x62/a.htm"));
  QTest::newRow("NUL byte in the path") << QUrl(QStringLiteral("chm://x2f0061/a.htm"));
}

void ChmUrlTest::foreignUrls() {
  QFETCH(QUrl, url);
  QVERIFY(!ChmUrl::FromUrl(url));
}

// The engine keeps a "%" that starts no escape as it is; it stays a "%".
void ChmUrlTest::lonePercentFromEngine() {
  const QUrl base = ChmUrl::ToUrl(ChmLocation{QStringLiteral("/x/y.chm"), QStringLiteral("/a.htm")});
  const QUrl fromEngine(base.toString(QUrl::RemovePath) + QStringLiteral("/100%.htm"));
  const auto location = ChmUrl::FromUrl(fromEngine);
  QVERIFY(location);
  QCOMPARE(location->strStoredPath, QStringLiteral("/100%.htm"));
}

void ChmUrlTest::monikerLinks_data() {
  QTest::addColumn<QString>("url");
  QTest::addColumn<bool>("valid");
  QTest::addColumn<QString>("file");
  QTest::addColumn<QString>("storedPath");
  QTest::newRow("ms-its with a file name") << "ms-its:other.chm::/x.htm" << true << "other.chm" << "/x.htm";
  QTest::newRow("mk with a Windows path") << "mk:@MSITStore:C:%5Cdir%5Co%20x.chm::/y.png" << true
                                          << "C:\\dir\\o x.chm" << "/y.png";
  QTest::newRow("its without a slash") << "its:o.chm::z.htm" << true << "o.chm" << "/z.htm";
  QTest::newRow("Chinese, encoded") << "ms-its:%E5%B8%AE%E5%8A%A9.chm::/%E4%B8%AD.htm" << true
                                    << "帮助.chm" << "/中.htm";
  QTest::newRow("dot-dot in the stored path") << "ms-its:o.chm::/../../x.htm" << true << "o.chm" << "/x.htm";
  QTest::newRow("no separator") << "ms-its:other.chm" << false << "" << "";
  QTest::newRow("no file") << "ms-its:::/x.htm" << false << "" << "";
  QTest::newRow("no stored path") << "ms-its:o.chm::/" << false << "" << "";
  QTest::newRow("not a moniker") << "chm://x2f61/x.htm" << false << "" << "";
}

void ChmUrlTest::monikerLinks() {
  QFETCH(QString, url);
  QFETCH(bool, valid);
  QFETCH(QString, file);
  QFETCH(QString, storedPath);
  const auto moniker = ChmUrl::FromMonikerUrl(QUrl(url));
  QCOMPARE(moniker.has_value(), valid);
  if (!valid) return;
  QCOMPARE(moniker->strFile, file);
  QCOMPARE(moniker->strStoredPath, storedPath);
}

// A keyed URL names its file only with the key of that file; references
// relative to it, "/" and "../" included, stay in the file.
void ChmUrlTest::keyedUrls_data() {
  QTest::addColumn<QString>("reference");
  QTest::addColumn<QString>("file");  // empty: no keyed URL
  QTest::addColumn<QString>("storedPath");
  QTest::newRow("the page itself") << "" << "/x/y.chm" << "/d/p.htm";
  QTest::newRow("relative") << "q.htm" << "/x/y.chm" << "/d/q.htm";
  QTest::newRow("from the root") << "/q.htm" << "/x/y.chm" << "/q.htm";
  QTest::newRow("dot-dot above the root") << "../../../../q.htm" << "/x/y.chm" << "/q.htm";
  QTest::newRow("cut at the separator") << "KEYED_ADDRESS::/q.htm" << "/x/y.chm" << "/q.htm";
  QTest::newRow("this key with another file") << "mk://KEY.OTHER_HOST/q.htm" << "" << "";
  QTest::newRow("key alone") << "mk://KEY/q.htm" << "" << "";
  QTest::newRow("another file without a key") << "mk://OTHER_HOST/q.htm" << "" << "";
}

void ChmUrlTest::keyedUrls() {
  QFETCH(QString, reference);
  QFETCH(QString, file);
  QFETCH(QString, storedPath);
  const QUrl page = ChmUrl::ToKeyedUrl(ChmLocation{QStringLiteral("/x/y.chm"), QStringLiteral("/d/p.htm")});
  QCOMPARE(page.scheme(), QStringLiteral("mk"));
  const QString strOtherHost = ChmUrl::ToUrl(ChmLocation{QStringLiteral("/x/z.chm"), QStringLiteral("/")}).host();
  const QString strPage = page.toString(QUrl::FullyEncoded);
  reference.replace("KEYED_ADDRESS", strPage.left(strPage.lastIndexOf("::")));
  reference.replace("KEY", page.host().section('.', 0, 0)).replace("OTHER_HOST", strOtherHost);
  const QUrl url = page.resolved(QUrl(reference));
  QCOMPARE(ChmUrl::IsKeyedUrl(url), !file.isEmpty());
  QVERIFY(!ChmUrl::FromMonikerUrl(url));
  const auto location = ChmUrl::FromUrl(url);
  QCOMPARE(location.has_value(), !file.isEmpty());
  if (!location) return;
  QCOMPARE(location->strChmFile, file);
  QCOMPARE(location->strStoredPath, storedPath);
}

int RunChmUrlTest(int argc, char** argv) {
  ChmUrlTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "ChmUrlTest.moc"
