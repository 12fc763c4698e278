#pragma once
// The help project (.hhp) a CHM file was compiled from, rebuilt from the
// file's own records: #SYSTEM gives the options, #WINDOWS with #STRINGS the
// window definitions. Every record is untrusted: truncated records, offsets
// past the data and absurd counts are cut off or ignored, never read past.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/OutputPath.h"
#include "engine/cCHMItemInfo.h"

namespace velmora::platform {
class ChmArchive;
}

namespace velmora::engine {

// The #SYSTEM records a project file needs. Texts are the stored bytes (the
// help file's code page) up to their terminating zero.
struct SystemRecords {
  std::optional<std::string> contentsFile;   // record 0
  std::optional<std::string> indexFile;      // record 1
  std::optional<std::string> defaultTopic;   // record 2
  std::optional<std::string> title;          // record 3
  std::optional<std::uint32_t> lcid;         // record 4, first field
  bool fullTextSearch = false;               // record 4, third field
  std::optional<std::string> defaultWindow;  // record 5
  std::optional<std::string> compiledFile;   // record 6
  std::optional<std::string> defaultFont;    // record 16
};

SystemRecords ParseSystemStream(std::string_view bytes);

// A record stream of the open file (#SYSTEM, #WINDOWS, #STRINGS) whole;
// nothing when it is absent, unreadable or larger than records ever are.
std::optional<std::string> ReadRecordStream(platform::ChmArchive& archive, const char* name);

// One entry of #WINDOWS with its texts looked up in #STRINGS. Numbers the
// entry marks as not set (validMembers) are left out of the project line.
struct WindowDefinition {
  std::string name;
  std::string caption;
  std::string contentsFile;
  std::string indexFile;
  std::string defaultFile;
  std::string homeFile;
  std::string jump1Url;
  std::string jump1Text;
  std::string jump2Url;
  std::string jump2Text;
  std::uint32_t validMembers = 0;
  std::uint32_t properties = 0;
  std::uint32_t styles = 0;
  std::uint32_t exStyles = 0;
  std::int32_t rect[4] = {0, 0, 0, 0};
  std::uint32_t showState = 0;
  std::uint32_t navWidth = 0;
  std::uint32_t toolbarFlags = 0;
  std::uint32_t notExpanded = 0;
  std::uint32_t curNavType = 0;
  std::uint32_t tabPos = 0;
  std::uint32_t notifyId = 0;
};

// Entries without a name are dropped; at most as many entries as the stream
// holds are read, whatever count it declares.
std::vector<WindowDefinition> ParseWindowsStream(std::string_view windows, std::string_view strings);

// The Language value: "0x804 中文(简体，中国)" in the help file's code page,
// just "0x804" for a language without a known name.
std::string LanguageValue(std::uint32_t lcid);

// Everything a project file lists. Texts from the CHM's records are in its
// code page; file names (compiledFile, contentsFile, indexFile, files) are
// the names on disk, as the compiler opens them.
struct HelpProject {
  std::string compiledFile;
  std::string contentsFile;  // empty: no contents file
  std::string indexFile;     // empty: no index file
  SystemRecords system;
  std::uint32_t lcid = 0;
  bool fullTextSearch = false;
  std::vector<WindowDefinition> windows;
  std::vector<std::string> files;  // "/"-separated, relative to the project
};

// The project file's bytes: [OPTIONS], [WINDOWS] when there are windows,
// [FILES]; CR LF line ends. Line breaks inside a value are replaced, so no
// stored text can add lines or sections.
std::string HelpProjectText(const HelpProject& project);

// A stream the compiler writes itself: everything below a root name that
// starts with '#' or '$' (#SYSTEM, #TOPICS, $FIftiMain, $WWKeywordLinks/...)
// and chmcmd's _#_README_#_.
bool IsCompilerStream(const cCHMItemInfo& item);

// The name the walker gives the item's file below the output folder.
std::string ItemDiskName(const cCHMItemInfo& item);

// Reads #SYSTEM, #WINDOWS and #STRINGS of the open file and fills the
// project's options. files: the content files written, as on disk; the
// contents and index files are taken from them (the ones #SYSTEM names,
// else the first .hhc / .hhk) and left out of project.files, because the
// compiler stores them itself.
HelpProject ReadHelpProject(platform::ChmArchive& archive, const std::string& compiledFile,
                            const std::vector<std::string>& files);

// The record keys ("\\a.htm", "html\\a.htm") of the content streams among a
// walk's items: what a walk of type 2 writes for the project.
std::vector<std::string> ContentKeys(const cCHMItemCollection& items);

// After a walk wrote the content streams of items below strOutputPath:
// writes the project file "<CHM name without extension>.hhp" there, making
// the folder when the walk wrote nothing (staged, then renamed into place,
// so a link of that name is replaced, not followed; see DiskFileWriter).
// It lists the content files found on disk (empty ones too; a name stored
// twice is one file; a stored file of the project file's name is replaced
// by it). False when the CHM file cannot be opened or the project file
// cannot be written.
bool WriteHelpProjectFile(const std::string& strCHMFile, const OutputPath& strOutputPath,
                          const cCHMItemCollection& items);

}  // namespace velmora::engine
