// The about: pages and the error page: exact texts, and a hostile item
// name that is shown as written in a real page and runs nothing.

#include <QSignalSpy>
#include <QTest>
#include <QWebEngineView>

#include "WebTestSupport.h"
#include "app/preview/AboutPages.h"
#include "app/preview/ChmPreviewService.h"
#include "app/preview/PreviewSandbox.h"

using namespace velmora::app;
using namespace velmora::testsupport;

class AboutPagesTest : public QObject {
  Q_OBJECT

 private slots:
  void texts_data();
  void texts();
  void hostileNameShowsLiterally();
};

void AboutPagesTest::texts_data() {
  QTest::addColumn<QString>("name");
  QTest::addColumn<QString>("address");
  QTest::newRow("plain name") << "a.EXE" << QStringLiteral("about:<font color=red>(危险文件，已经忽略：a.EXE)</font>");
  QTest::newRow("markup in the name")
      << "<img src=x onerror=alert(1)>.exe"
      << QStringLiteral("about:<font color=red>(危险文件，已经忽略：&lt;img src=x onerror=alert(1)&gt;.exe)</font>");
  QTest::newRow("ampersand and quotes") << "a&b\"c'.js"
                                        << QStringLiteral("about:<font color=red>(危险文件，已经忽略：a&amp;b&quot;c'.js)</font>");
}

void AboutPagesTest::texts() {
  QFETCH(QString, name);
  QFETCH(QString, address);
  QCOMPARE(RefusedPageAddress(name), address);
  QCOMPARE(FolderPageAddress(), QStringLiteral("about:(这是目录)"));
}

// The refusal page as the preview pane shows about: pages, and the error
// page of a stored file that cannot be served.
void AboutPagesTest::hostileNameShowsLiterally() {
  const QString strName = QStringLiteral("<img src=x onerror=\"document.title='ran'\">.exe");
  QWebEngineView view;
  ChmPreviewService service;
  HardenPreview(&view, service);
  const std::pair<QString, QString> pages[] = {
      {RefusedPageAddress(strName).mid(int(strlen("about:"))), QStringLiteral("(危险文件，已经忽略：") + strName + ")"},
      {QString::fromUtf8(PreviewErrorPage(strName, PreviewFailure::NotFound)),
       QStringLiteral("(无法预览：") + strName + QStringLiteral(")\n\n找不到该文件。")}};
  for (const auto& [html, text] : pages) {
    QSignalSpy finished(&view, &QWebEngineView::loadFinished);
    view.setHtml(html);
    QVERIFY(finished.wait(15000));
    QCOMPARE(EvalJs(view, QStringLiteral("document.body.innerText")).toString(), text);
    QCOMPARE(EvalJs(view, QStringLiteral("document.images.length")).toInt(), 0);
    QTest::qWait(200);
    QVERIFY(EvalJs(view, QStringLiteral("document.title")).toString() != QStringLiteral("ran"));
  }
}

int RunAboutPagesTest(int argc, char** argv) {
  AboutPagesTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "AboutPagesTest.moc"
