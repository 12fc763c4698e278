#include "cli/CatCommand.h"

#include <algorithm>
#include <fstream>

#include "cli/ChmWalk.h"
#include "cli/CliArguments.h"
#include "cli/CliMessages.h"
#include "cli/TempFolder.h"
#include "engine/cCHMParser.h"
#include "platform/storage/CaseFold.h"

namespace velmora::cli {

namespace {

std::string RecordKey(const engine::cCHMItemInfo& item) { return item.Path + "\\" + item.Name; }

// The record key for a key written with "/": a stream of the root storage
// is "\\name", one further down "folder\\name" without a leading separator,
// so "/b/c.htm" (a path as the CHM directory writes it) and "b/c.htm" both
// give "b\\c.htm". A key written with "\\" is a record key already.
std::string NormalizeKey(std::string strKey) {
  const bool blnSlashPath = !strKey.empty() && strKey[0] == '/';
  std::replace(strKey.begin(), strKey.end(), '/', '\\');
  if (blnSlashPath && strKey.find('\\', 1) != std::string::npos) strKey.erase(0, 1);
  return strKey;
}

}  // namespace

int CatCommand::execute(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  CliArguments arguments(args, {});
  if (!arguments.error().empty()) return UsageError(err, arguments.error());
  if (arguments.positional().size() != 2) return UsageError(err, "cat 需要一个CHM文件和一个记录键");
  const std::string& strCHMFile = arguments.positional()[0];
  const std::string strKey = NormalizeKey(arguments.positional()[1]);

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
  const std::string strSought = platform::FoldCase(strKey);
  for (const auto& item : walk.items()) {
    if (platform::FoldCase(RecordKey(item)) != strSought) continue;
    if (item.IsStorage) {
      err << kStorageNotFileMessage << '\n';
      return kExitFailure;
    }
    err << kReadFailedMessage << strKey << '\n';
    return kExitFailure;
  }
  err << kNoSuchItemMessage << strKey << '\n';
  return kExitFailure;
}

}  // namespace velmora::cli
