#include "ui/common/cComponentError.h"

#include <QCoreApplication>
#include <QFileInfo>

QString cComponentError::SourceFor(const char* className) {
  const QString program = QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
  return program + QLatin1Char('.') + QLatin1String(className);
}
