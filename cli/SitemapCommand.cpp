#include "cli/SitemapCommand.h"

#include <filesystem>

#include "cli/CliArguments.h"
#include "cli/CliMessages.h"
#include "engine/help/Sitemap.h"

namespace velmora::cli {

int SitemapCommand::execute(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  const bool blnContents = m_kind == help::SitemapKind::Contents;
  CliArguments arguments(args, {});
  if (!arguments.error().empty()) return UsageError(err, arguments.error());
  if (arguments.positional().size() != 1) {
    return UsageError(err, std::string(blnContents ? "toc" : "index") + " 需要一个CHM文件");
  }
  const std::string& strCHMFile = arguments.positional()[0];
  std::error_code ec;
  if (!std::filesystem::exists(strCHMFile, ec)) {
    err << kMissingFileMessage << strCHMFile << '\n';
    return kExitFailure;
  }
  platform::ChmArchive::OpenResult result;
  auto file = help::HelpFile::Open(strCHMFile, result);
  if (!file) {
    err << kNotChmMessage << '\n';
    return kExitFailure;
  }
  help::HelpFolder folder(std::filesystem::path(strCHMFile).parent_path().string());
  const auto listing = help::ListSitemap(*file, folder, m_kind);
  if (!listing) {
    // Named or stored, but it cannot be read (damaged, or larger than any
    // real one): say which.
    const std::string& stored = blnContents ? file->facts().contentsFile : file->facts().indexFile;
    if (stored.empty()) {
      err << (blnContents ? kNoContentsMessage : kNoIndexMessage) << strCHMFile << '\n';
    } else {
      err << kReadFailedMessage << stored << '\n';
    }
    return kExitFailure;
  }
  std::string line;
  for (const auto& entry : listing->entries) {
    line.assign(2 * entry.level, ' ');
    line += help::EscapeControlCharacters(entry.name);
    bool blnAnyTarget = false;
    for (const auto& topic : entry.topics) {
      const std::string text = topic.target.Text();
      if (text.empty()) continue;
      blnAnyTarget = true;
      line += '\t' + help::EscapeControlCharacters(text);
      if (topic.target.missing) line += std::string("\t") + kMissingTargetMark;
    }
    if (!blnAnyTarget) line += '\t';
    line += '\n';
    out << line;
  }
  out.flush();
  if (listing->truncated) err << kSitemapTruncatedMessage << help::kMaxSitemapEntries << '\n';
  return kExitSuccess;
}

}  // namespace velmora::cli
