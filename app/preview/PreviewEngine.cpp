#include "app/preview/PreviewEngine.h"

#include <QtGlobal>

#include "app/preview/ChmUrlSchemes.h"

namespace velmora::app {
namespace {

constexpr char kFlagsVariable[] = "QTWEBENGINE_CHROMIUM_FLAGS";

// The arguments the engine reads out of the variable: split at blanks
// outside double quotes, the quotes dropped. An unclosed quote runs to the
// end, so the user's text is split here and joined again, closed, before
// the preview's switches are put after it.
QList<QByteArray> SplitLikeTheEngine(const QByteArray& text) {
  QList<QByteArray> arguments;
  QByteArray argument;
  bool blnQuoted = false;
  for (const char c : text) {
    if (c == '"') {
      blnQuoted = !blnQuoted;
    } else if (c == ' ' && !blnQuoted) {
      if (!argument.isEmpty()) arguments << argument;
      argument.clear();
    } else {
      argument += c;
    }
  }
  if (!argument.isEmpty()) arguments << argument;
  return arguments;
}

}  // namespace

QList<QByteArray> PreviewEngineSwitches() {
  // The engine reads the variable with blanks inside double quotes kept
  // and the quotes themselves dropped.
  return {"--force-webrtc-ip-handling-policy=disable_non_proxied_udp", "--proxy-server=http://127.0.0.1:9",
          "--proxy-bypass-list=<-loopback>", "--host-resolver-rules=\"MAP * ~NOTFOUND\""};
}

QByteArray PreviewEngineFlags(const QByteArray& userFlags, bool blnUserFlagsSet, int argc, char** argv) {
  QList<QByteArray> user;
  if (blnUserFlagsSet) {
    user = SplitLikeTheEngine(userFlags);
  } else {
    // The program's own arguments start with "/" ("/chm=..."); Chromium's
    // with "--". The variable cannot carry a double quote.
    for (int i = 1; i < argc; ++i) {
      const QByteArray argument(argv[i]);
      if (argument.startsWith("--") && !argument.contains('"')) user << argument;
    }
  }
  QList<QByteArray> flags;
  for (const QByteArray& argument : user) {
    // A bare "--" would end the switches, and the preview's after it would
    // be taken for plain arguments.
    if (argument == "--") continue;
    flags << (argument.contains(' ') ? '"' + argument + '"' : argument);
  }
  flags << PreviewEngineSwitches();
  return flags.join(' ');
}

void PreparePreviewEngine(int argc, char** argv) {
  RegisterChmUrlSchemes();
  const bool blnSet = qEnvironmentVariableIsSet(kFlagsVariable);
  qputenv(kFlagsVariable, PreviewEngineFlags(qgetenv(kFlagsVariable), blnSet, argc, argv));
}

}  // namespace velmora::app
