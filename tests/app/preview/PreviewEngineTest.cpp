// The engine's flag text: the user's switches kept, the preview's after
// them, so that a user switch for the same setting cannot reopen the network.

#include <QTest>

#include "app/preview/PreviewEngine.h"

using namespace velmora::app;

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
  QTest::addColumn<QByteArray>("userPart");
  QTest::newRow("nothing from the user") << QByteArray() << false << QList<QByteArray>{"velmora"} << QByteArray();
  QTest::newRow("variable kept, arguments ignored as the engine does")
      << QByteArray(" --disable-gpu --proxy-server=http://proxy:8080 ") << true
      << QList<QByteArray>{"velmora", "--lang=ja"} << QByteArray("--disable-gpu --proxy-server=http://proxy:8080 ");
  QTest::newRow("empty variable") << QByteArray("") << true << QList<QByteArray>{"velmora", "--lang=ja"}
                                  << QByteArray();
  QTest::newRow("switches among the program's arguments")
      << QByteArray() << false
      << QList<QByteArray>{"velmora", "/chm=a b.chm", "--lang=ja", "/type=1", "--user-agent=x y", "-v"}
      << QByteArray("--lang=ja \"--user-agent=x y\" ");
}

void PreviewEngineTest::flags() {
  QFETCH(QByteArray, variable);
  QFETCH(bool, variableSet);
  QFETCH(QList<QByteArray>, arguments);
  QFETCH(QByteArray, userPart);
  std::vector<char*> argv;
  for (QByteArray& argument : arguments) argv.push_back(argument.data());
  const QByteArray flags = PreviewEngineFlags(variable, variableSet, int(argv.size()), argv.data());
  QCOMPARE(flags, userPart + PreviewEngineSwitches().join(' '));
}

int RunPreviewEngineTest(int argc, char** argv) {
  PreviewEngineTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "PreviewEngineTest.moc"
