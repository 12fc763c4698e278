#include "app/preview/PreviewEngine.h"

#include <QtGlobal>

#include "app/preview/ChmUrlSchemes.h"

namespace velmora::app {
namespace {

constexpr char kFlagsVariable[] = "QTWEBENGINE_CHROMIUM_FLAGS";

}  // namespace

QList<QByteArray> PreviewEngineSwitches() {
  return {"--force-webrtc-ip-handling-policy=disable_non_proxied_udp", "--proxy-server=http://127.0.0.1:9",
          "--proxy-bypass-list=<-loopback>"};
}

QByteArray PreviewEngineFlags(const QByteArray& userFlags, bool blnUserFlagsSet, int argc, char** argv) {
  QList<QByteArray> flags;
  if (blnUserFlagsSet) {
    if (!userFlags.trimmed().isEmpty()) flags << userFlags.trimmed();
  } else {
    // The program's own arguments start with "/" ("/chm=..."); Chromium's
    // with "--".
    for (int i = 1; i < argc; ++i) {
      const QByteArray argument(argv[i]);
      if (!argument.startsWith("--")) continue;
      // The engine splits the variable at blanks outside double quotes.
      flags << (argument.contains(' ') ? '"' + argument + '"' : argument);
    }
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
