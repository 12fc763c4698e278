#pragma once
// What the reader shows of one help file besides its pages: the title,
// the default topic, the contents tree and the index, with every name in
// UTF-8 and every target resolved to a stored page.

#include <QString>
#include <memory>
#include <vector>

#include "ui/reader/ReaderEntry.h"
#include "ui/reader/ReaderTarget.h"

namespace velmora::ui {

struct ReaderDocument {
  QString strChmFile;  // absolute and cleaned
  QString strTitle;    // empty when the file names none
  ReaderTarget home;   // the default topic; empty when the file names none
  std::vector<ReaderEntry> contents;  // in tree order (each entry's level gives the tree)
  std::vector<ReaderEntry> index;
};

// The document of a CHM file; null when the file cannot be opened as one.
// strEncoding, when not empty, is the charset the user chose for the file
// (a name iconv knows): the names are converted from it whatever their
// bytes look like.
std::unique_ptr<ReaderDocument> LoadReaderDocument(const QString& strChmFile, const QString& strEncoding);

}  // namespace velmora::ui
