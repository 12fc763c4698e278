// The engine's flag text: the user's switches kept, the preview's after
// them, so that a user switch for the same setting cannot reopen the network,
// and nothing in the user's text (an unclosed quote, a bare "--" that ends
// the switches) can turn the preview's into something else. The text is read
// back as the engine reads QTWEBENGINE_CHROMIUM_FLAGS.

#include <QTest>

#include "app/preview/PreviewEngine.h"

using namespace velmora::app;

namespace {

// The engine's reading of the variable (Qt WebEngine's parseEnvCommandLine):
// blanks split outside double quotes, quotes are dropped.
QStringList ReadAsTheEngine(const QByteArray& text) {
  QStringList arguments;
  QString argument;
  enum { Parse, Quoted, Unquoted } state = Parse;
  for (const char c : text) {
    switch (state) {
      case Parse:
        if (c == '"') {
          state = Quoted;
        } else if (c != ' ') {
          argument += QLatin1Char(c);
          state = Unquoted;
        }
        break;
      case Quoted:
        if (c == '"') {
          state = Unquoted;
        } else {
          argument += QLatin1Char(c);
        }
        break;
      case Unquoted:
        if (c == '"') {
          state = Quoted;
        } else if (c == ' ') {
          arguments << argument;
          argument.clear();
          state = Parse;
        } else {
          argument += QLatin1Char(c);
        }
        break;
    }
  }
  if (!argument.isEmpty()) arguments << argument;
  return arguments;
}

}  // namespace

class PreviewEngineTest : public QObject {
  Q_OBJECT

 private slots:
  void flags_data();
  void flags();
};

void PreviewEngineTest::flags_data() {
  QTest::addColumn<QByteArray>("variable");
  QTest::addColumn<bool>("variableSet");
  QTest::addColumn<QList<QByteArray>>("arguments");
  QTest::addColumn<QStringList>("userPart");  // as the engine reads it
  QTest::newRow("nothing from the user") << QByteArray() << false << QList<QByteArray>{"velmora"} << QStringList();
  QTest::newRow("variable kept, arguments ignored as the engine does")
      << QByteArray(" --disable-gpu --proxy-server=http://proxy:8080 ") << true
      << QList<QByteArray>{"velmora", "--lang=ja"}
      << QStringList{"--disable-gpu", "--proxy-server=http://proxy:8080"};
  QTest::newRow("empty variable") << QByteArray("") << true << QList<QByteArray>{"velmora", "--lang=ja"}
                                  << QStringList();
  QTest::newRow("switches among the program's arguments")
      << QByteArray() << false
      << QList<QByteArray>{"velmora", "/chm=a b.chm", "--lang=ja", "/type=1", "--user-agent=x y", "-v"}
      << QStringList{"--lang=ja", "--user-agent=x y"};
  QTest::newRow("unclosed quote in the variable")
      << QByteArray("--disable-gpu --user-agent=\"x y") << true << QList<QByteArray>{"velmora"}
      << QStringList{"--disable-gpu", "--user-agent=x y"};
  QTest::newRow("end of switches in the variable")
      << QByteArray("--disable-gpu -- --lang=ja") << true << QList<QByteArray>{"velmora"}
      << QStringList{"--disable-gpu", "--lang=ja"};
  QTest::newRow("end of switches and a quote among the arguments")
      << QByteArray() << false << QList<QByteArray>{"velmora", "--", "/chm=x.chm", "--user-agent=a\"b", "--lang=ja"}
      << QStringList{"--lang=ja"};
}

void PreviewEngineTest::flags() {
  QFETCH(QByteArray, variable);
  QFETCH(bool, variableSet);
  QFETCH(QList<QByteArray>, arguments);
  QFETCH(QStringList, userPart);
  std::vector<char*> argv;
  for (QByteArray& argument : arguments) argv.push_back(argument.data());
  const QStringList flags =
      ReadAsTheEngine(PreviewEngineFlags(variable, variableSet, int(argv.size()), argv.data()));
  const QStringList preview = ReadAsTheEngine(PreviewEngineSwitches().join(' '));
  QCOMPARE(flags, userPart + preview);
  // The resolver rule reaches the engine whole, blanks and all.
  QVERIFY(preview.contains(QStringLiteral("--host-resolver-rules=MAP * ~NOTFOUND")));
}

int RunPreviewEngineTest(int argc, char** argv) {
  PreviewEngineTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "PreviewEngineTest.moc"
