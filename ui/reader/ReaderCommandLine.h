#pragma once
// The reader's part of the program's command line: "--read FILE..." opens
// each file in a reader window instead of the main window. Without a file
// (a launcher that had none to pass) the main window starts as usual.

#include <QStringList>

namespace velmora::ui {

inline constexpr char kReadOption[] = "--read";

// The files after "--read" (the option first among the arguments); empty
// when the option is absent or names no file.
QStringList ReaderFilesArgument(const QStringList& strArguments);

}  // namespace velmora::ui
