// Content types of stored files: MIME type by extension, the language's
// charset for pages that declare none, and what counts as a declaration.

#include <QTest>

#include "app/preview/ChmContentType.h"

using namespace velmora::app;

namespace {

const QByteArray kGbkText = QByteArray::fromHex("c4e3bac3");  // 你好 in GBK
const QByteArray kUtf8Text = QStringLiteral("你好").toUtf8();

}  // namespace

class ChmContentTypeTest : public QObject {
  Q_OBJECT

 private slots:
  void charsetForLanguage_data();
  void charsetForLanguage();
  void contentType_data();
  void contentType();
};

void ChmContentTypeTest::charsetForLanguage_data() {
  QTest::addColumn<uint>("lcid");
  QTest::addColumn<QByteArray>("charset");
  QTest::newRow("Chinese (PRC)") << 0x804u << QByteArray("GBK");
  QTest::newRow("Chinese (Singapore)") << 0x1004u << QByteArray("GBK");
  QTest::newRow("Chinese (Taiwan)") << 0x404u << QByteArray("Big5");
  QTest::newRow("Chinese (Hong Kong)") << 0xC04u << QByteArray("Big5");
  QTest::newRow("Japanese") << 0x411u << QByteArray("Shift_JIS");
  QTest::newRow("Korean") << 0x412u << QByteArray("EUC-KR");
  QTest::newRow("Russian") << 0x419u << QByteArray("windows-1251");
  QTest::newRow("Ukrainian") << 0x422u << QByteArray("windows-1251");
  QTest::newRow("Serbian (Cyrillic)") << 0xC1Au << QByteArray("windows-1251");
  QTest::newRow("Croatian") << 0x41Au << QByteArray("windows-1250");
  QTest::newRow("Polish") << 0x415u << QByteArray("windows-1250");
  QTest::newRow("Greek") << 0x408u << QByteArray("windows-1253");
  QTest::newRow("English (US)") << 0x409u << QByteArray("windows-1252");
  QTest::newRow("English (UK)") << 0x809u << QByteArray("windows-1252");
  QTest::newRow("German") << 0x407u << QByteArray("windows-1252");
  QTest::newRow("no language") << 0u << QByteArray("windows-1252");
  QTest::newRow("sort order bits above the language") << 0x20804u << QByteArray("GBK");
}

void ChmContentTypeTest::charsetForLanguage() {
  QFETCH(uint, lcid);
  QFETCH(QByteArray, charset);
  QCOMPARE(CharsetForLanguage(lcid), charset);
}

void ChmContentTypeTest::contentType_data() {
  QTest::addColumn<QString>("name");
  QTest::addColumn<QByteArray>("head");
  QTest::addColumn<uint>("lcid");
  QTest::addColumn<QByteArray>("contentType");
  const QByteArray page = "<html><head><title>t</title></head><body>" + kGbkText + "</body></html>";
  QTest::newRow("GBK page without a declaration")
      << "/a/无声明.htm" << page << 0x804u << QByteArray("text/html; charset=GBK");
  QTest::newRow("Big5 language, upper-case extension")
      << "/A.HTML" << page << 0x404u << QByteArray("text/html; charset=Big5");
  QTest::newRow("ASCII page of a Western help file")
      << "/a.htm" << QByteArray("<p>plain</p>") << 0x409u << QByteArray("text/html; charset=windows-1252");
  QTest::newRow("meta charset")
      << "/a.htm" << "<meta charset=\"gb2312\">" + kGbkText << 0x409u << QByteArray("text/html");
  QTest::newRow("http-equiv in capitals")
      << "/a.htm" << "<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; CHARSET=big5\">" + kGbkText << 0x804u
      << QByteArray("text/html");
  QTest::newRow("charset only in the text, not in a meta tag")
      << "/a.htm" << "<p>charset</p><meta name=x>" + kGbkText << 0x804u << QByteArray("text/html; charset=GBK");
  QTest::newRow("meta charset beyond the sniffed bytes")
      << "/a.htm" << QByteArray(kCharsetSniffBytes, ' ') + "<meta charset=utf-8>" + kGbkText << 0x804u
      << QByteArray("text/html; charset=GBK");
  QTest::newRow("declared charset that UTF-8 bytes contradict")
      << "/a.htm" << "<meta charset=\"windows-1251\"><p>" + kUtf8Text << 0x419u << QByteArray("text/html; charset=UTF-8");
  QTest::newRow("XML declaration with an encoding")
      << "/a.xml" << QByteArray("<?xml version=\"1.0\" encoding=\"gb2312\"?><a/>") << 0x804u << QByteArray("text/xml");
  QTest::newRow("byte order mark")
      << "/a.htm" << "\xEF\xBB\xBF<p>" + kUtf8Text << 0x804u << QByteArray("text/html");
  QTest::newRow("undeclared UTF-8 page in a Chinese help file")
      << "/a.htm" << "<p>" + kUtf8Text + "</p>" << 0x804u << QByteArray("text/html; charset=UTF-8");
  QTest::newRow("UTF-8 cut inside a character at the sniff limit")
      << "/a.htm" << QByteArray(kCharsetSniffBytes - 4, 'a') + kUtf8Text << 0x804u
      << QByteArray("text/html; charset=UTF-8");
  QTest::newRow("only non-ASCII byte cut off at the sniff limit")
      << "/a.htm" << QByteArray(kCharsetSniffBytes - 1, 'a') + kUtf8Text << 0x804u
      << QByteArray("text/html; charset=GBK");
  QTest::newRow("text file")
      << "/readme.txt" << kGbkText << 0x804u << QByteArray("text/plain; charset=GBK");
  QTest::newRow("table of contents") << "/toc.hhc" << kGbkText << 0x804u << QByteArray("text/html; charset=GBK");
  QTest::newRow("style sheet keeps its own rules") << "/a.css" << kGbkText << 0x804u << QByteArray("text/css");
  QTest::newRow("script keeps its own rules") << "/a.js" << kGbkText << 0x804u << QByteArray("text/javascript");
  QTest::newRow("picture, upper-case extension") << "/p.PNG" << QByteArray("\x89PNG") << 0x804u
                                                 << QByteArray("image/png");
  QTest::newRow("jpeg") << "/p.jpeg" << QByteArray() << 0x409u << QByteArray("image/jpeg");
  QTest::newRow("svg") << "/p.svg" << QByteArray("<svg/>") << 0x409u << QByteArray("image/svg+xml");
  QTest::newRow("executable") << "/tools/setup.exe" << QByteArray("MZ") << 0x409u
                              << QByteArray("application/octet-stream");
  QTest::newRow("no extension") << "/README" << QByteArray("x") << 0x409u << QByteArray("application/octet-stream");
  QTest::newRow("dot only in a folder name") << "/a.htm/README" << QByteArray("x") << 0x409u
                                             << QByteArray("application/octet-stream");
}

void ChmContentTypeTest::contentType() {
  QFETCH(QString, name);
  QFETCH(QByteArray, head);
  QFETCH(uint, lcid);
  QFETCH(QByteArray, contentType);
  QCOMPARE(ChmContentType(name, head, lcid), contentType);
}

int RunChmContentTypeTest(int argc, char** argv) {
  ChmContentTypeTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "ChmContentTypeTest.moc"
