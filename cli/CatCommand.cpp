#include "cli/CatCommand.h"

#include <algorithm>
#include <cctype>
#include <fstream>

#include "cli/ChmWalk.h"
#include "cli/CliArguments.h"
#include "cli/CliMessages.h"
#include "cli/TempFolder.h"
#include "engine/cCHMParser.h"

namespace velmora::cli {

namespace {

std::string LowerAscii(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

std::string RecordKey(const engine::cCHMItemInfo& item) { return item.Path + "\\" + item.Name; }

}  // namespace

int CatCommand::execute(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  CliArguments arguments(args, {});
  if (!arguments.error().empty()) return UsageError(err, arguments.error());
  if (arguments.positional().size() != 2) return UsageError(err, "cat 需要一个CHM文件和一个记录键");
  const std::string& strCHMFile = arguments.positional()[0];
  std::string strKey = arguments.positional()[1];
  std::replace(strKey.begin(), strKey.end(), '/', '\\');

  // The walker writes the one stream to a file; it goes to a private folder
  // first and from there to the output.
  TempFolder folder;
  if (!folder.ok()) {
    err << kWriteFailedMessage << folder.path() << '\n';
    return kExitFailure;
  }
  const std::string strStreamFile = folder.path() + "/stream";
  ChmWalk walk(m_env, err);
  if (!walk.Run(strCHMFile, strStreamFile, engine::kExtractSingle, {strKey})) return kExitFailure;

  std::ifstream stream(strStreamFile, std::ios::binary);
  if (!stream) return ExplainNothingWritten(strCHMFile, strKey, err);
  out << stream.rdbuf();
  out.flush();
  return kExitSuccess;
}

int CatCommand::ExplainNothingWritten(const std::string& strCHMFile, const std::string& strKey, std::ostream& err) {
  ChmWalk walk(m_env, err);
  if (!walk.Run(strCHMFile, "", engine::kExtractNone)) return kExitFailure;
  const std::string strSought = LowerAscii(strKey);
  for (const auto& item : walk.items()) {
    if (LowerAscii(RecordKey(item)) != strSought) continue;
    if (item.IsStorage) {
      err << kStorageNotFileMessage << '\n';
      return kExitFailure;
    }
    if (item.Size == 0) return kExitSuccess;
    err << kReadFailedMessage << strKey << '\n';
    return kExitFailure;
  }
  err << kNoSuchItemMessage << strKey << '\n';
  return kExitFailure;
}

}  // namespace velmora::cli
