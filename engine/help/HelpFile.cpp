#include "engine/help/HelpFile.h"

#include <algorithm>
#include <filesystem>

#include "engine/HelpProject.h"
#include "engine/help/AsciiCase.h"
#include "engine/help/TextEncoding.h"

namespace velmora::help {

namespace {

// What a record's text (a file, a topic) names, looked up from the top
// folder as a contents entry's target is: decoded by the rules of names,
// else converted from the code page, since a short name in a legacy code
// page can be valid UTF-8 by chance (GBK D2 B3 "页" reads as U+04B3).
Target RecordedTarget(const platform::ChmArchive& archive, const std::string& recorded, const std::string& codePage) {
  Target target;
  for (const std::string& text : {DecodeText(recorded, codePage), ToUtf8(recorded, codePage)}) {
    target = ResolveTarget(archive, "/", text, {}, codePage);
    if (target.kind == Target::Kind::Page && target.file.empty() && !target.missing) break;
  }
  return target;
}

// The stored path of a file a record names; empty when it is not stored.
std::string StoredPathOf(const platform::ChmArchive& archive, const std::string& recorded,
                         const std::string& codePage) {
  if (recorded.empty()) return {};
  const Target target = RecordedTarget(archive, recorded, codePage);
  if (target.kind != Target::Kind::Page || target.missing || !target.file.empty()) return {};
  return target.path;
}

// The first stored file with the extension, one at the top before one in
// a folder; "::" bookkeeping and compiler streams are not candidates.
std::string FirstStoredWith(const platform::ChmArchive& archive, std::string_view extension) {
  for (bool blnTopOnly : {true, false}) {
    for (const auto& entry : archive.entries()) {
      if (entry.name.empty() || entry.name[0] == ':' || entry.name[0] == '#' || entry.name[0] == '$') continue;
      if (!EndsWithIgnoringCase(entry.name, extension)) continue;
      if (blnTopOnly && entry.name.find('/') != std::string::npos) continue;
      return "/" + entry.name;
    }
  }
  return {};
}

// Fills file and foundBy by the first rule that names a stored file.
void Choose(const platform::ChmArchive& archive, const std::string& codePage,
            const std::optional<std::string>& fromSystem, const std::string& fromWindow,
            std::string_view extension, std::string& file, FoundBy& foundBy) {
  if (fromSystem && !(file = StoredPathOf(archive, *fromSystem, codePage)).empty()) {
    foundBy = FoundBy::System;
  } else if (!(file = StoredPathOf(archive, fromWindow, codePage)).empty()) {
    foundBy = FoundBy::DefaultWindow;
  } else if (!(file = FirstStoredWith(archive, extension)).empty()) {
    foundBy = FoundBy::OnlyStored;
  }
}

}  // namespace

HelpFacts ReadHelpFacts(platform::ChmArchive& archive) {
  HelpFacts facts;
  engine::SystemRecords system;
  if (auto bytes = engine::ReadRecordStream(archive, "#SYSTEM")) system = engine::ParseSystemStream(*bytes);
  facts.lcid = system.lcid.value_or(archive.languageId());
  facts.codePage = CodePageForLanguage(facts.lcid);
  facts.title = DecodeText(system.title.value_or(""), facts.codePage);

  // The default window: the one #SYSTEM names, else the first defined.
  engine::WindowDefinition window;
  if (auto windows = engine::ReadRecordStream(archive, "#WINDOWS")) {
    const auto strings = engine::ReadRecordStream(archive, "#STRINGS");
    const auto definitions = engine::ParseWindowsStream(*windows, strings.value_or(""));
    const auto named = std::find_if(definitions.begin(), definitions.end(), [&](const auto& w) {
      return system.defaultWindow && w.name == *system.defaultWindow;
    });
    if (named != definitions.end()) {
      window = *named;
    } else if (!definitions.empty()) {
      window = definitions.front();
    }
  }
  Choose(archive, facts.codePage, system.contentsFile, window.contentsFile, ".hhc", facts.contentsFile,
         facts.contentsFoundBy);
  Choose(archive, facts.codePage, system.indexFile, window.indexFile, ".hhk", facts.indexFile, facts.indexFoundBy);
  std::string topic = system.defaultTopic.value_or("");
  if (topic.empty()) topic = !window.defaultFile.empty() ? window.defaultFile : window.homeFile;
  const Target defaultTarget = RecordedTarget(archive, topic, facts.codePage);
  facts.defaultTopic = defaultTarget.kind == Target::Kind::Page && !defaultTarget.missing
                           ? defaultTarget.Text()
                           : DecodeText(topic, facts.codePage);
  facts.compiledFile = DecodeText(system.compiledFile.value_or(""), facts.codePage);
  return facts;
}

std::unique_ptr<HelpFile> HelpFile::Open(const std::string& path, platform::ChmArchive::OpenResult& result) {
  auto archive = platform::ChmArchive::Open(path, result);
  if (!archive) return nullptr;
  return std::unique_ptr<HelpFile>(new HelpFile(std::move(archive)));
}

HelpFile::HelpFile(std::unique_ptr<platform::ChmArchive> archive)
    : m_archive(std::move(archive)), m_facts(ReadHelpFacts(*m_archive)) {
  if (auto bytes = engine::ReadRecordStream(*m_archive, "#SYSTEM")) {
    m_storedTitle = engine::ParseSystemStream(*bytes).title.value_or("");
  }
}

void HelpFile::setCharset(const std::string& charset) {
  m_charset = charset;
  m_facts.title = charset.empty() ? DecodeText(m_storedTitle, m_facts.codePage) : ToUtf8(m_storedTitle, charset);
}

std::string HelpFile::fileName() const { return std::filesystem::path(path()).filename().string(); }

std::optional<Sitemap> HelpFile::ReadContents() { return ReadSitemap(m_facts.contentsFile); }

std::optional<Sitemap> HelpFile::ReadIndex() { return ReadSitemap(m_facts.indexFile); }

std::optional<Sitemap> HelpFile::ReadSitemap(const std::string& storedPath) {
  if (storedPath.empty()) return std::nullopt;
  const platform::ChmArchive::Entry* entry = m_archive->find(storedPath);
  if (!entry || entry->length > kMaxSitemapBytes) return std::nullopt;
  std::string bytes;
  const bool ok = m_archive->extract(*entry, [&bytes](const char* data, std::size_t size) {
    bytes.append(data, size);
    return bytes.size() <= kMaxSitemapBytes;
  });
  if (!ok) return std::nullopt;
  return m_charset.empty() ? ParseSitemap(bytes, m_facts.codePage) : ParseSitemapAs(bytes, m_charset);
}

Target HelpFile::Resolve(std::string_view local, std::string_view folder) const {
  const std::string& codePage = m_charset.empty() ? m_facts.codePage : m_charset;
  Target target = ResolveTarget(*m_archive, folder, local, fileName(), codePage);
  if (target.kind == Target::Kind::Page && !target.file.empty() && !m_facts.compiledFile.empty() &&
      LowerAscii(std::filesystem::path(target.file).stem().string()) ==
          LowerAscii(std::filesystem::path(m_facts.compiledFile).stem().string())) {
    target = ResolveTarget(*m_archive, folder, local, target.file, codePage);
  }
  return target;
}

}  // namespace velmora::help
