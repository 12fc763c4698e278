#include "engine/HelpProject.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <set>

#include "engine/DiskFileWriter.h"
#include "engine/SafeRelativePath.h"
#include "engine/help/TextEncoding.h"
#include "platform/storage/ChmArchive.h"

namespace velmora::engine {

namespace {

// Stream sizes read for the records; real files stay far below them.
constexpr std::size_t kMaxRecordStream = 4u << 20;
// #WINDOWS entries are 0x188 (or 0x196) bytes; jump texts end at 0xAC.
constexpr std::size_t kMinWindowEntry = 0xAC;
constexpr std::size_t kMaxWindows = 256;

std::uint32_t Get32(std::string_view bytes, std::size_t offset) {
  if (offset > bytes.size() || bytes.size() - offset < 4) return 0;
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data() + offset);
  return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 | std::uint32_t(p[3]) << 24;
}

std::uint16_t Get16(std::string_view bytes, std::size_t offset) {
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data() + offset);
  return std::uint16_t(p[0] | p[1] << 8);
}

// The text up to the first zero byte (or the end of the data).
std::string ZeroTerminated(std::string_view bytes) { return std::string(bytes.substr(0, bytes.find('\0'))); }

std::string StringAt(std::string_view strings, std::uint32_t offset) {
  if (offset == 0 || offset >= strings.size()) return {};
  return ZeroTerminated(strings.substr(offset));
}

// A value on one line: control characters (line breaks above all) become
// blanks, and inside quotes a quote becomes an apostrophe.
std::string OneLine(std::string text, bool blnQuoted = false) {
  for (char& c : text) {
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = ' ';
    if (blnQuoted && c == '"') c = '\'';
  }
  return text;
}

std::string Hex(std::uint32_t value) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%x", value);
  return text;
}

std::string LowerAscii(std::string text) {
  for (char& c : text) {
    if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
  }
  return text;
}

bool EndsWith(const std::string& text, const std::string& end) {
  return text.size() >= end.size() && LowerAscii(text.substr(text.size() - end.size())) == end;
}

// The disk file a stored reference names (stored in the code page, or
// already UTF-8 as chmcmd keeps it), found among files with ASCII case
// ignored and a leading "/" dropped; empty when no such file was written.
std::string FindFile(const std::optional<std::string>& reference, const std::string& codePage,
                     const std::vector<std::string>& files) {
  if (!reference || reference->empty()) return {};
  std::vector<std::string> candidates{*reference};
  if (auto utf8 = help::ConvertText(*reference, codePage, "UTF-8")) candidates.push_back(*utf8);
  for (std::string candidate : candidates) {
    std::replace(candidate.begin(), candidate.end(), '\\', '/');
    while (!candidate.empty() && candidate[0] == '/') candidate.erase(0, 1);
    candidate = LowerAscii(candidate);
    for (const auto& file : files) {
      if (LowerAscii(file) == candidate) return file;
    }
  }
  return {};
}

std::string FirstWithExtension(const std::vector<std::string>& files, const std::string& extension) {
  // A file at the top comes before one in a folder.
  for (bool blnTopOnly : {true, false}) {
    for (const auto& file : files) {
      if (EndsWith(file, extension) && (!blnTopOnly || file.find('/') == std::string::npos)) return file;
    }
  }
  return {};
}

struct LanguageName {
  std::uint32_t lcid;
  const char* name;  // UTF-8
};

// The names Windows shows for the languages help files are most often
// written in; others get the number alone, which every compiler reads.
constexpr LanguageName kLanguageNames[] = {
    {0x0404, "中文(繁體，台灣)"},
    {0x0407, "Deutsch (Deutschland)"},
    {0x0409, "English (United States)"},
    {0x040A, "Español (España)"},
    {0x040C, "Français (France)"},
    {0x0410, "Italiano (Italia)"},
    {0x0411, "日本語 (日本)"},
    {0x0412, "한국어 (대한민국)"},
    {0x0413, "Nederlands (Nederland)"},
    {0x0415, "Polski (Polska)"},
    {0x0416, "Português (Brasil)"},
    {0x0419, "Русский (Россия)"},
    {0x0804, "中文(简体，中国)"},
    {0x0809, "English (United Kingdom)"},
    {0x0C04, "中文(香港特別行政區)"},
};

}  // namespace

std::optional<std::string> ReadRecordStream(platform::ChmArchive& archive, const char* name) {
  const platform::ChmArchive::Entry* entry = archive.find(name);
  if (!entry || entry->length > kMaxRecordStream) return std::nullopt;
  std::string bytes;
  bool ok = archive.extract(*entry, [&bytes](const char* data, std::size_t size) {
    bytes.append(data, size);
    return bytes.size() <= kMaxRecordStream;
  });
  if (!ok) return std::nullopt;
  return bytes;
}

SystemRecords ParseSystemStream(std::string_view bytes) {
  SystemRecords records;
  std::size_t offset = 4;  // after the version
  while (offset <= bytes.size() && bytes.size() - offset >= 4) {
    const std::uint16_t code = Get16(bytes, offset);
    const std::uint16_t length = Get16(bytes, offset + 2);
    offset += 4;
    if (bytes.size() - offset < length) break;  // a truncated record ends the stream
    const std::string_view data = bytes.substr(offset, length);
    offset += length;
    switch (code) {
      case 0: records.contentsFile = ZeroTerminated(data); break;
      case 1: records.indexFile = ZeroTerminated(data); break;
      case 2: records.defaultTopic = ZeroTerminated(data); break;
      case 3: records.title = ZeroTerminated(data); break;
      case 4:
        if (data.size() >= 4) records.lcid = Get32(data, 0);
        if (data.size() >= 12) records.fullTextSearch = Get32(data, 8) != 0;
        break;
      case 5: records.defaultWindow = ZeroTerminated(data); break;
      case 6: records.compiledFile = ZeroTerminated(data); break;
      case 16: records.defaultFont = ZeroTerminated(data); break;
      default: break;
    }
  }
  return records;
}

std::vector<WindowDefinition> ParseWindowsStream(std::string_view windows, std::string_view strings) {
  std::vector<WindowDefinition> result;
  const std::uint32_t count = Get32(windows, 0);
  const std::uint32_t entrySize = Get32(windows, 4);
  if (windows.size() < 8 || entrySize < kMinWindowEntry) return result;
  const std::size_t available = (windows.size() - 8) / entrySize;
  const std::size_t n = std::min<std::size_t>({count, available, kMaxWindows});
  for (std::size_t i = 0; i < n; ++i) {
    const std::string_view e = windows.substr(8 + i * entrySize, entrySize);
    WindowDefinition w;
    w.name = StringAt(strings, Get32(e, 0x08));
    if (w.name.empty()) continue;
    w.validMembers = Get32(e, 0x0C);
    w.properties = Get32(e, 0x10);
    w.caption = StringAt(strings, Get32(e, 0x14));
    w.styles = Get32(e, 0x18);
    w.exStyles = Get32(e, 0x1C);
    for (int k = 0; k < 4; ++k) w.rect[k] = static_cast<std::int32_t>(Get32(e, 0x20 + 4 * k));
    w.showState = Get32(e, 0x30);
    w.navWidth = Get32(e, 0x4C);
    w.contentsFile = StringAt(strings, Get32(e, 0x60));
    w.indexFile = StringAt(strings, Get32(e, 0x64));
    w.defaultFile = StringAt(strings, Get32(e, 0x68));
    w.homeFile = StringAt(strings, Get32(e, 0x6C));
    w.toolbarFlags = Get32(e, 0x70);
    w.notExpanded = Get32(e, 0x74);
    w.curNavType = Get32(e, 0x78);
    w.tabPos = Get32(e, 0x7C);
    w.notifyId = Get32(e, 0x80);
    w.jump1Text = StringAt(strings, Get32(e, 0x9C));
    w.jump2Text = StringAt(strings, Get32(e, 0xA0));
    w.jump1Url = StringAt(strings, Get32(e, 0xA4));
    w.jump2Url = StringAt(strings, Get32(e, 0xA8));
    result.push_back(std::move(w));
  }
  return result;
}

std::string LanguageValue(std::uint32_t lcid) {
  std::string value = Hex(lcid);
  for (const auto& language : kLanguageNames) {
    if (language.lcid != lcid) continue;
    if (auto name = help::ConvertText(language.name, "UTF-8", help::CodePageForLanguage(lcid))) value += " " + *name;
  }
  return value;
}

std::string HelpProjectText(const HelpProject& project) {
  const char* kEnd = "\r\n";
  const SystemRecords& s = project.system;
  std::string text = std::string("[OPTIONS]") + kEnd;
  auto option = [&](const char* key, const std::string& value) {
    if (!value.empty()) text += std::string(key) + "=" + OneLine(value) + kEnd;
  };
  option("Compiled file", project.compiledFile);
  option("Contents file", project.contentsFile);
  option("Index file", project.indexFile);
  option("Default topic", s.defaultTopic.value_or(""));
  option("Default Window", s.defaultWindow.value_or(""));
  option("Default Font", s.defaultFont.value_or(""));
  if (project.fullTextSearch) option("Full-text search", "Yes");
  option("Language", LanguageValue(project.lcid));
  option("Title", s.title.value_or(""));

  if (!project.windows.empty()) {
    text += std::string(kEnd) + "[WINDOWS]" + kEnd;
    for (const auto& w : project.windows) {
      std::string name = OneLine(w.name);
      std::replace(name.begin(), name.end(), '=', '_');
      auto quoted = [](const std::string& value) { return "\"" + OneLine(value, true) + "\""; };
      auto number = [&w](std::uint32_t bit, std::uint32_t value, bool blnHex) {
        if (!(w.validMembers & bit)) return std::string();
        return blnHex ? Hex(value) : std::to_string(value);
      };
      std::string line = name + "=" + quoted(w.caption) + "," + quoted(w.contentsFile) + "," + quoted(w.indexFile) +
                         "," + quoted(w.defaultFile) + "," + quoted(w.homeFile) + "," + quoted(w.jump1Url) + "," +
                         quoted(w.jump1Text) + "," + quoted(w.jump2Url) + "," + quoted(w.jump2Text) + ",";
      line += number(0x2, w.properties, true) + "," + number(0x20, w.navWidth, false) + "," +
              number(0x100, w.toolbarFlags, true) + ",";
      if (w.validMembers & 0x10) {
        line += "[" + std::to_string(w.rect[0]) + "," + std::to_string(w.rect[1]) + "," + std::to_string(w.rect[2]) +
                "," + std::to_string(w.rect[3]) + "]";
      }
      line += "," + number(0x4, w.styles, true) + "," + number(0x8, w.exStyles, true) + "," +
              number(0x40, w.showState, false) + "," + number(0x200, w.notExpanded, false) + "," +
              number(0x2000, w.curNavType, false) + "," + number(0x400, w.tabPos, false) + "," +
              std::to_string(w.notifyId);
      text += line + kEnd;
    }
  }

  text += std::string(kEnd) + "[FILES]" + kEnd;
  for (const auto& file : project.files) text += OneLine(file) + kEnd;
  return text;
}

bool IsCompilerStream(const cCHMItemInfo& item) {
  const std::string top = item.Path.empty() ? item.Name : item.Path.substr(0, item.Path.find('\\'));
  return (!top.empty() && (top[0] == '#' || top[0] == '$')) || (item.Path.empty() && item.Name == "_#_README_#_");
}

std::string ItemDiskName(const cCHMItemInfo& item) {
  std::string name;
  std::size_t start = 0;
  while (!item.Path.empty() && start <= item.Path.size()) {
    const std::size_t end = std::min(item.Path.find('\\', start), item.Path.size());
    name += SafeRelativePath::Component(std::string_view(item.Path).substr(start, end - start)) + "/";
    start = end + 1;
  }
  return name + SafeRelativePath::Component(item.Name);
}

HelpProject ReadHelpProject(platform::ChmArchive& archive, const std::string& compiledFile,
                            const std::vector<std::string>& files) {
  HelpProject project;
  project.compiledFile = compiledFile;
  project.lcid = archive.languageId();
  const std::string codePage = help::CodePageForLanguage(project.lcid);
  if (auto system = ReadRecordStream(archive, "#SYSTEM")) project.system = ParseSystemStream(*system);
  auto windows = ReadRecordStream(archive, "#WINDOWS");
  auto strings = ReadRecordStream(archive, "#STRINGS");
  if (windows) project.windows = ParseWindowsStream(*windows, strings.value_or(""));

  project.contentsFile = FindFile(project.system.contentsFile, codePage, files);
  if (project.contentsFile.empty()) project.contentsFile = FirstWithExtension(files, ".hhc");
  project.indexFile = FindFile(project.system.indexFile, codePage, files);
  if (project.indexFile.empty()) project.indexFile = FirstWithExtension(files, ".hhk");
  project.fullTextSearch = project.system.fullTextSearch || archive.find("$FIftiMain") != nullptr;
  // A default window the project does not define would stop the compiler.
  if (project.system.defaultWindow &&
      std::none_of(project.windows.begin(), project.windows.end(),
                   [&](const WindowDefinition& w) { return w.name == *project.system.defaultWindow; })) {
    project.system.defaultWindow.reset();
  }
  for (const auto& file : files) {
    if (file != project.contentsFile && file != project.indexFile) project.files.push_back(file);
  }
  return project;
}

std::vector<std::string> ContentKeys(const cCHMItemCollection& items) {
  std::vector<std::string> keys;
  for (const auto& item : items) {
    if (!item.IsStorage && !IsCompilerStream(item)) keys.push_back(item.Path + "\\" + item.Name);
  }
  return keys;
}

bool WriteHelpProjectFile(const std::string& strCHMFile, const OutputPath& strOutputPath,
                          const cCHMItemCollection& items) {
  namespace fs = std::filesystem;
  std::error_code ec;
  const fs::path chmName = fs::path(strCHMFile).filename();
  const std::string strProjectName = chmName.stem().string() + ".hhp";
  std::vector<std::string> files;
  // A stored file of the project file's name is replaced by it, not listed.
  std::set<std::string> seen{strProjectName};
  for (const auto& item : items) {
    if (item.IsStorage || IsCompilerStream(item)) continue;
    const std::string name = ItemDiskName(item);
    if (fs::is_regular_file(fs::symlink_status(fs::path(strOutputPath.strPath) / name, ec)) &&
        seen.insert(name).second)
      files.push_back(name);
  }

  platform::ChmArchive::OpenResult result;
  auto archive = platform::ChmArchive::Open(strCHMFile, result);
  if (!archive) return false;
  const std::string text = HelpProjectText(ReadHelpProject(*archive, chmName.string(), files));

  DiskFileWriter disk(strOutputPath);
  return disk.Begin(strProjectName) && disk.Write(text.data(), text.size()) && disk.End(true);
}

}  // namespace velmora::engine
