#pragma once
// The command line of the unattended extraction: "/chm=" names the CHM file,
// "/path=" the output folder and "/type=" the extract type as a number.
//
// The argument text is the program's arguments joined by single blanks.
// Paths on Linux are full of "/", so a value does not end at the next "/":
// it ends where the next option key ("/chm=", "/path=" or "/type=", in any
// letter case) begins, or at the end of the text. Blanks around it are
// trimmed and a double quote at its start and one at its end are removed,
// so "/chm=\"/doc/a b.chm\" /type=4" reads /doc/a b.chm and 4.
//
// Texts are UTF-8; keys are found ignoring the case of ASCII letters.

#include <cstdint>
#include <optional>
#include <string>

namespace velmora::app {

inline constexpr const char* kChmKey = "/chm=";
inline constexpr const char* kPathKey = "/path=";
inline constexpr const char* kTypeKey = "/type=";

// The value that follows the first strKey in strCommands. strValue keeps
// what it held when the key is absent or its value is empty (after the
// blanks are trimmed).
void ParseCommandValue(const std::string& strCommands, const std::string& strKey, std::string& strValue);

struct CommandLineExtraction {
  std::string strCHMFile;           // as given (may name no file: the caller checks)
  std::string strOutputPath;        // "/path=", else strCHMFile + "_文件内容"
  bool blnMadeUpFolder = false;     // no "/path=": the program named the folder
  std::int32_t lngExtractType = 1;  // "/type=" by the number rule of ExtractType.h
};

// Whether the argument text holds any option key. Without one, the
// arguments are files to open (as a file manager's "Open with" passes them).
bool HoldsOptionKey(const std::string& strCommands);

// Nothing for an empty argument text; otherwise the three values, each
// read on its own.
std::optional<CommandLineExtraction> ReadCommandLine(const std::string& strCommands);

}  // namespace velmora::app
