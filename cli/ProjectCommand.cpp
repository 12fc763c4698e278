#include "cli/ProjectCommand.h"

#include <filesystem>
#include <fstream>
#include <set>

#include "cli/ChmWalk.h"
#include "cli/CliArguments.h"
#include "cli/CliMessages.h"
#include "engine/HelpProject.h"
#include "engine/ReportText.h"
#include "engine/basVelmora.h"
#include "engine/cCHMParser.h"
#include "platform/storage/ChmArchive.h"

namespace velmora::cli {

namespace fs = std::filesystem;

namespace {

// Writes the project file beside the content files under a temporary name
// and renames it into place, so a link of that name is replaced, not followed.
bool WriteProjectFile(const fs::path& path, const std::string& text) {
  const fs::path temporary = path.string() + ".velmora-tmp";
  {
    std::ofstream file(temporary, std::ios::binary | std::ios::trunc);
    if (!file.write(text.data(), static_cast<std::streamsize>(text.size())) || !file.flush()) return false;
  }
  std::error_code ec;
  fs::rename(temporary, path, ec);
  if (ec) fs::remove(temporary, ec);
  return !ec;
}

}  // namespace

int ProjectCommand::execute(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  CliArguments arguments(args, {"-o"});
  if (!arguments.error().empty()) return UsageError(err, arguments.error());
  if (arguments.positional().size() != 1) return UsageError(err, "project 需要一个CHM文件");
  if (arguments.value("-o") && arguments.value("-o")->empty()) return UsageError(err, "-o 的文件夹为空");

  const std::string& strCHMFile = arguments.positional()[0];
  const std::string strOutputPath = arguments.value("-o").value_or(strCHMFile + "_工程");
  if (engine::basVelmora::FileExists(strOutputPath)) {
    err << kWriteFailedMessage << strOutputPath << '\n';
    return kExitFailure;
  }

  // First a walk that only lists, to select the content streams; then the
  // walk that writes them.
  ChmWalk listing(m_env, err);
  if (!listing.Run(strCHMFile, "", engine::kExtractNone)) return kExitFailure;
  std::vector<std::string> keys;
  std::vector<std::string> diskNames;
  for (const auto& item : listing.items()) {
    if (item.IsStorage || engine::IsCompilerStream(item)) continue;
    keys.push_back(item.Path + "\\" + item.Name);
    diskNames.push_back(engine::ItemDiskName(item));
  }

  std::error_code ec;
  fs::create_directories(strOutputPath, ec);
  ChmWalk walk(m_env, err);
  if (ec || !walk.Run(strCHMFile, strOutputPath, engine::kExtractListed, keys)) {
    if (ec) err << kWriteFailedMessage << strOutputPath << '\n';
    return kExitFailure;
  }

  // The project lists what is on disk: empty streams are not written, and a
  // name stored twice is one file.
  std::vector<std::string> files;
  std::set<std::string> seen;
  for (const auto& name : diskNames) {
    const fs::path path = fs::path(strOutputPath) / name;
    if (fs::is_regular_file(fs::symlink_status(path, ec)) && seen.insert(name).second) files.push_back(name);
  }

  platform::ChmArchive::OpenResult result;
  auto archive = platform::ChmArchive::Open(strCHMFile, result);
  if (!archive) {
    err << kNotChmMessage << '\n';
    return kExitFailure;
  }
  const fs::path chmName = fs::path(strCHMFile).filename();
  engine::HelpProject project = engine::ReadHelpProject(*archive, chmName.string(), files);
  const fs::path projectFile = fs::path(strOutputPath) / (chmName.stem().string() + ".hhp");
  if (!WriteProjectFile(projectFile, engine::HelpProjectText(project))) {
    err << kWriteFailedMessage << projectFile.string() << '\n';
    return kExitFailure;
  }
  // The list-only walk counted every page, picture and medium.
  out << engine::ExportSummaryText(listing.lngPicCount(), listing.lngHTMLCount(), listing.lngMovieCount(),
                                   listing.lngTotal())
      << '\n';
  return kExitSuccess;
}

}  // namespace velmora::cli
