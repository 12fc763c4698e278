// A page must not make the web engine look up host names: the queries
// leave the machine with whatever the page wrote into them. The probe
// program (HostNameProbe.cpp) shows such a page in the preview pane under
// strace, which records every socket the engine's processes connect or
// send to; no packet may go to a DNS or mDNS port, nor a request to the
// local resolver daemons that would send them on. The same page with the
// resolver rules taken out has to show lookups in the log, or the observer
// would be proving nothing on this machine.

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

namespace {

// What strace (with -yy, which names a connected socket's peer) writes for
// a lookup: a datagram sent to a DNS or mDNS port, named in the call or as
// the peer the socket was connected to; a TCP connection to such a port
// (its first packet leaves at connect); or a connection to a resolver
// daemon (systemd-resolved, Avahi) that would ask on the program's behalf.
// Connecting a UDP socket sends nothing: the engine does that to 8.8.8.8:53
// to learn its own address.
const QRegularExpression kLookups[] = {
    QRegularExpression(QStringLiteral("^\\d+\\s+(sendto|sendmsg|sendmmsg|write)\\(\\d+<[^ ,]*->[^ ,]*:(53|5353)\\]>")),
    QRegularExpression(QStringLiteral("^\\d+\\s+(sendto|sendmsg|sendmmsg)\\(.*sin6?_port=htons\\((53|5353)\\)")),
    QRegularExpression(QStringLiteral("^\\d+\\s+connect\\(\\d+<TCP.*sin6?_port=htons\\((53|5353)\\)")),
    QRegularExpression(QStringLiteral("^\\d+\\s+connect\\(.*\"(/var)?/run/(systemd/resolve/|avahi-daemon/)")),
};

struct ProbeRun {
  bool blnRan = false;
  QStringList lookups;  // lines of the log that show a lookup
  QString strReport;    // what the page and the probe said
};

}  // namespace

class PreviewHostNameTest : public QObject {
  Q_OBJECT

 private slots:
  void pageCannotMakeTheEngineResolveNames();

 private:
  ProbeRun RunProbe(bool blnWithoutResolverRules);
};

ProbeRun PreviewHostNameTest::RunProbe(bool blnWithoutResolverRules) {
  ProbeRun run;
  QTemporaryDir dir;
  const QString strLog = dir.filePath(QStringLiteral("strace.log"));
  QStringList arguments = {QStringLiteral("-f"), QStringLiteral("-qq"), QStringLiteral("-yy"), QStringLiteral("-s64"),
                           QStringLiteral("-e"), QStringLiteral("trace=connect,sendto,sendmsg,sendmmsg,write"),
                           QStringLiteral("-o"), strLog, QStringLiteral(VELMORA_HOST_NAME_PROBE)};
  if (blnWithoutResolverRules) arguments << QStringLiteral("--without-resolver-rules");
  arguments << dir.path();
  QProcess probe;
  probe.setProcessChannelMode(QProcess::MergedChannels);
  // This process's variable already holds the preview's switches.
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert(QStringLiteral("QTWEBENGINE_CHROMIUM_FLAGS"), QStringLiteral("--disable-gpu"));
  probe.setProcessEnvironment(environment);
  probe.start(QStandardPaths::findExecutable(QStringLiteral("strace")), arguments);
  if (!probe.waitForFinished(90000)) probe.kill();
  run.strReport = QString::fromLocal8Bit(probe.readAll()).trimmed();
  run.blnRan = probe.exitStatus() == QProcess::NormalExit && probe.exitCode() == 0;
  QFile log(strLog);
  if (!log.open(QIODevice::ReadOnly)) {
    run.blnRan = false;
    return run;
  }
  while (!log.atEnd()) {
    const QString strLine = QString::fromUtf8(log.readLine()).trimmed();
    for (const QRegularExpression& lookup : kLookups) {
      if (lookup.match(strLine).hasMatch()) {
        run.lookups << strLine.left(300);
        break;
      }
    }
  }
  return run;
}

void PreviewHostNameTest::pageCannotMakeTheEngineResolveNames() {
  QVERIFY2(!QStandardPaths::findExecutable(QStringLiteral("strace")).isEmpty(),
           "strace is needed (scripts/install-deps.sh installs it)");
  const ProbeRun unguarded = RunProbe(true);
  QVERIFY2(unguarded.blnRan, qPrintable(unguarded.strReport));
  if (unguarded.lookups.isEmpty()) {
    QSKIP("Without the resolver rules the page makes no lookup here either (no resolver, no network?); "
          "there is nothing to observe.");
  }
  // Each name the page asks for carries "probe"; strace shows the start
  // of every packet.
  const QStringList seen = unguarded.lookups.filter(QStringLiteral("-probe"));
  qInfo("Without the rules: %lld lookups, %lld naming the page's hosts", qlonglong(unguarded.lookups.size()),
        qlonglong(seen.size()));
  const ProbeRun guarded = RunProbe(false);
  QVERIFY2(guarded.blnRan, qPrintable(guarded.strReport));
  QVERIFY2(guarded.lookups.isEmpty(), qPrintable(guarded.lookups.join(QLatin1Char('\n'))));
}

int RunPreviewHostNameTest(int argc, char** argv) {
  PreviewHostNameTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "PreviewHostNameTest.moc"
