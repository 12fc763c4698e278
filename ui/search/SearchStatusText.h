#pragma once
// The words a search window shows on its status line while it indexes and
// once it is done.

#include <QString>

#include "ui/search/FullTextSearch.h"

namespace velmora::ui {

QString IndexingText(int lngFile, int lngFiles, const QString& strChmFile, int lngPagesRead, int lngPageCount);
QString ResultText(const FullTextResult& result);

}  // namespace velmora::ui
