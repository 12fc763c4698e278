#include "ui/reader/ReaderCommandLine.h"

namespace velmora::ui {

QStringList ReaderFilesArgument(const QStringList& strArguments) {
  if (strArguments.value(0) != QLatin1String(kReadOption)) return {};
  return strArguments.mid(1);
}

}  // namespace velmora::ui
