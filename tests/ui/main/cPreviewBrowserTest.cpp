// The preview pane's one operation, Navigate, with each kind of address.

#include <QTemporaryDir>
#include <QWebEnginePage>
#include <QtTest>

#include "tests/ui/main/MainTests.h"
#include "ui/main/cPreviewBrowser.h"

using velmora::ui::cPreviewBrowser;

namespace {

// The HTML the pane shows, once loading has settled.
QString PageHtml(cPreviewBrowser& browser) {
  QString html;
  bool done = false;
  browser.page()->toHtml([&](const QString& text) {
    html = text;
    done = true;
  });
  QTest::qWaitFor([&] { return done; }, 10000);
  return html;
}

bool WaitForLoad(cPreviewBrowser& browser, const std::function<void()>& navigate) {
  QSignalSpy loaded(&browser, &QWebEngineView::loadFinished);
  navigate();
  return loaded.wait(20000);
}

}  // namespace

class cPreviewBrowserTest : public QObject {
  Q_OBJECT

 private slots:
  void aboutAddressShowsItsTextAsHtml() {
    cPreviewBrowser browser;
    const QString strAddress = QStringLiteral("about:欢迎使用Velmora<BR><BR><font color=red>(危险文件)</font>");
    QVERIFY(WaitForLoad(browser, [&] { browser.Navigate(strAddress); }));
    QCOMPARE(browser.LastAddress(), strAddress);
    const QString html = PageHtml(browser);
    QVERIFY2(html.contains(QStringLiteral("欢迎使用Velmora")), qPrintable(html));
    QVERIFY2(html.contains(QStringLiteral("<font color=\"red\">(危险文件)</font>")), qPrintable(html));
    QVERIFY(!html.contains(QStringLiteral("about:")));
  }

  void localPathLoadsThatFile() {
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    const QString strFile = folder.filePath(QStringLiteral("~preview.htm"));
    QFile file(strFile);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("<html><body>stored page</body></html>");
    file.close();

    cPreviewBrowser browser;
    QVERIFY(WaitForLoad(browser, [&] { browser.Navigate(strFile); }));
    QCOMPARE(browser.LastAddress(), strFile);
    QCOMPARE(browser.url(), QUrl::fromLocalFile(strFile));
    QVERIFY(PageHtml(browser).contains(QStringLiteral("stored page")));
  }

  void storedFileAddressGoesThroughTheResolver() {
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    const QString strServed = folder.filePath(QStringLiteral("served.htm"));
    QFile file(strServed);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("<html><body>served in place</body></html>");
    file.close();

    cPreviewBrowser browser;
    QStringList asked;
    browser.SetStoredFileResolver([&](const QString& strAddress) {
      asked.append(strAddress);
      return QUrl::fromLocalFile(strServed);
    });
    const QString strAddress = QStringLiteral("mk:@MSITStore:C:\\x\\y.chm::/index.htm");
    QVERIFY(WaitForLoad(browser, [&] { browser.Navigate(strAddress); }));
    QCOMPARE(asked, QStringList{strAddress});
    QCOMPARE(browser.LastAddress(), strAddress);
    QCOMPARE(browser.url(), QUrl::fromLocalFile(strServed));
  }

  void storedFileWithoutResolverShowsANoticeNotTheRawAddress_data() {
    QTest::addColumn<bool>("withResolver");
    QTest::addRow("no resolver") << false;
    QTest::addRow("resolver cannot serve it") << true;
  }

  void storedFileWithoutResolverShowsANoticeNotTheRawAddress() {
    QFETCH(bool, withResolver);
    cPreviewBrowser browser;
    if (withResolver) browser.SetStoredFileResolver([](const QString&) { return QUrl(); });
    const QString strAddress = QStringLiteral("mk:@MSITStore:/doc/a<b>.chm::/a/b/c.htm");
    QVERIFY(WaitForLoad(browser, [&] { browser.Navigate(strAddress); }));
    QCOMPARE(browser.LastAddress(), strAddress);
    QVERIFY(browser.url().scheme() != QStringLiteral("mk"));
    const QString html = PageHtml(browser);
    QVERIFY2(html.contains(QStringLiteral("无法实时预览")), qPrintable(html));
    QVERIFY2(html.contains(QStringLiteral("a&lt;b&gt;.chm")), qPrintable(html));
  }
};

VELMORA_REGISTER_TEST(cPreviewBrowserTest)
#include "cPreviewBrowserTest.moc"
