// Where the help commands send the user, through the scripted desktop.

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

#include "tests/support/ui/ScriptedUiServices.h"
#include "tests/ui/main/MainTests.h"
#include "ui/common/DesktopOpen.h"
#include "ui/main/HelpLinks.h"

class HelpLinksTest : public QObject {
  Q_OBJECT

 private slots:
  void manualOrWebsite_data() {
    QTest::addColumn<QString>("present");  // "file", "folder" or "" (nothing)
    QTest::addColumn<bool>("opensManual");
    QTest::addRow("manual beside the program") << QStringLiteral("file") << true;
    QTest::addRow("manual missing: web site") << QString() << false;
    QTest::addRow("folder with the manual's name: web site") << QStringLiteral("folder") << false;
  }

  void manualOrWebsite() {
    QFETCH(QString, present);
    QFETCH(bool, opensManual);
    QTemporaryDir appFolder;
    QVERIFY(appFolder.isValid());
    const QString strManual = appFolder.path() + QStringLiteral("/Velmora(Velmora)用户手册.chm");
    QCOMPARE(velmora::ui::ManualFilePath(appFolder.path()), strManual);
    if (present == QLatin1String("file")) {
      QFile file(strManual);
      QVERIFY(file.open(QIODevice::WriteOnly));
    } else if (present == QLatin1String("folder")) {
      QVERIFY(QDir().mkpath(strManual));
    }

    velmora::test::ScriptedUiServices desktop;
    velmora::ui::OpenManualOrWebsite(nullptr, appFolder.path());
    QCOMPARE(desktop.Opened(), QStringList{opensManual ? strManual : velmora::ui::WebsiteAddress()});
  }

  // An installation keeps the manual in share/velmora beside bin; the
  // build folder keeps it beside the program, which wins when both exist.
  void manualBesideTheProgramOrInstalled_data() {
    QTest::addColumn<bool>("beside");
    QTest::addColumn<bool>("installed");
    QTest::addColumn<QString>("expected");  // relative to the prefix
    const QString strName = QStringLiteral("/Velmora(Velmora)用户手册.chm");
    QTest::addRow("installed only") << false << true << QStringLiteral("share/velmora") + strName;
    QTest::addRow("beside only") << true << false << QStringLiteral("bin") + strName;
    QTest::addRow("both: beside") << true << true << QStringLiteral("bin") + strName;
    QTest::addRow("neither: beside") << false << false << QStringLiteral("bin") + strName;
  }

  void manualBesideTheProgramOrInstalled() {
    QFETCH(bool, beside);
    QFETCH(bool, installed);
    QFETCH(QString, expected);
    QTemporaryDir prefix;
    const QDir root(prefix.path());
    QVERIFY(root.mkpath(QStringLiteral("bin")) && root.mkpath(QStringLiteral("share/velmora")));
    const QString strName = QStringLiteral("/Velmora(Velmora)用户手册.chm");
    for (const auto& [present, folder] : {std::pair{beside, "bin"}, std::pair{installed, "share/velmora"}}) {
      QFile file(root.filePath(QLatin1String(folder)) + strName);
      if (present) QVERIFY(file.open(QIODevice::WriteOnly));
    }
    QCOMPARE(velmora::ui::ManualFilePath(root.filePath(QStringLiteral("bin"))), root.filePath(expected));
  }

  void siteAddresses() {
    const QString strSite = velmora::ui::WebsiteAddress();
    QVERIFY(strSite.startsWith(QStringLiteral("https://")));
    QVERIFY(strSite.endsWith(QLatin1Char('/')));
    QCOMPARE(velmora::ui::DonatePageAddress(), strSite + QStringLiteral("donate.htm"));

    velmora::test::ScriptedUiServices desktop;
    velmora::ui::OpenWebsite(nullptr);
    velmora::ui::OpenDonatePage(nullptr);
    QCOMPARE(desktop.Opened(), (QStringList{strSite, strSite + QStringLiteral("donate.htm")}));
  }

  // What the user is told when the desktop cannot open something, by kind.
  void cannotOpenTexts() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString strFile = dir.filePath(QStringLiteral("列表.txt"));
    QFile file(strFile);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(velmora::ui::CannotOpenText(QStringLiteral("https://velmora.org/donate.htm")),
             QStringLiteral("无法打开网页，请在浏览器中访问：https://velmora.org/donate.htm"));
    QCOMPARE(velmora::ui::CannotOpenText(dir.path()), QStringLiteral("无法打开文件夹：") + dir.path());
    QCOMPARE(velmora::ui::CannotOpenText(strFile), QStringLiteral("无法打开文件：") + strFile);
  }
};

VELMORA_REGISTER_TEST(HelpLinksTest)
#include "HelpLinksTest.moc"
