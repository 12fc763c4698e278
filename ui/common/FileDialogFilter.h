#pragma once
// Turns a filter written "description|pattern|description|pattern…" into the
// name filters of a file dialog. Each pair becomes the description followed by
// its patterns in parentheses, separated by blanks; a description that already
// ends in its own pattern list in parentheses is kept as it is (with ";"
// turned into blanks there). A description without a pattern is dropped.

#include <QString>
#include <QStringList>

QStringList NameFiltersFromFilter(const QString& strFilter);
