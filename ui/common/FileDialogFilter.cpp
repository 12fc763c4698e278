#include "ui/common/FileDialogFilter.h"

QStringList NameFiltersFromFilter(const QString& strFilter) {
  QStringList nameFilters;
  if (strFilter.isEmpty()) return nameFilters;
  const QStringList parts = strFilter.split(QLatin1Char('|'));
  for (int i = 0; i + 1 < parts.size(); i += 2) {
    const QString& description = parts.at(i);
    const QString& pattern = parts.at(i + 1);
    // File dialogs read the patterns from the last parentheses, split at blanks.
    const QString patterns =
        QLatin1Char('(') + QString(pattern).replace(QLatin1Char(';'), QLatin1Char(' ')).simplified() +
        QLatin1Char(')');
    const QString ownList = QLatin1Char('(') + pattern + QLatin1Char(')');
    if (description.endsWith(ownList)) {
      nameFilters << description.left(description.size() - ownList.size()) + patterns;
    } else if (description.isEmpty()) {
      nameFilters << patterns;
    } else {
      nameFilters << description + QLatin1Char(' ') + patterns;
    }
  }
  return nameFilters;
}
