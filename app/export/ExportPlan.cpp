#include "app/export/ExportPlan.h"

#include <filesystem>
#include <system_error>
#include <utility>

#include "engine/basVelmora.h"
#include "engine/cCHMParser.h"

namespace velmora::app {

namespace {

const char* const kFolderSuffix = "_文件内容";
const char* const kProjectFolderSuffix = "_工程";

// The folder with a "/" at its end, so a name can follow.
std::string WithSlash(const std::string& strFolder) {
  if (!strFolder.empty() && strFolder.back() == '/') return strFolder;
  return strFolder + "/";
}

}  // namespace

ExportPlan::ExportPlan(int lngIndex, bool blnBatchMode, std::string strDestination, std::size_t lngWorkCount)
    : m_lngIndex(lngIndex),
      m_blnBatchMode(blnBatchMode),
      m_strDestination(std::move(strDestination)),
      m_lngWorkCount(lngWorkCount) {}

std::int32_t ExportPlan::ExtractType() const {
  switch (m_lngIndex) {
    case kAllContents:
      return engine::kExtractAll;
    case kSelectedContents:
      return m_blnBatchMode ? engine::kExtractAll : engine::kExtractListed;
    case kPictures:
      return engine::kExtractPictures;
    case kPages:
      return engine::kExtractPages;
    case kMultimedia:
      return engine::kExtractMultimedia;
    case kCurrentFile:
      return engine::kExtractSingle;
    case kProject:
      return engine::kExtractListed;
    default:
      return engine::kExtractNone;
  }
}

engine::OutputPath ExportPlan::OutputPath(const std::string& strCHMFile, const TakenTest& taken) const {
  if (m_lngIndex == kCurrentFile) return m_strDestination;
  if (m_lngIndex == kFileList) return std::string();
  if (m_lngWorkCount == 1) return m_strDestination;

  const std::string strSuffix = m_lngIndex == kProject ? kProjectFolderSuffix : kFolderSuffix;
  const std::string strBase = WithSlash(m_strDestination) + engine::basVelmora::GetFileName(strCHMFile);
  if (!taken(strBase + strSuffix)) return engine::OutputPath::MadeUp(strBase + strSuffix);
  int lngNumber = 0;
  for (int n = 1; n <= kMaxFolderNumber; ++n) {
    if (!taken(strBase + "_" + std::to_string(n) + strSuffix)) {
      lngNumber = n;
      break;
    }
  }
  return engine::OutputPath::MadeUp(strBase + "_" + std::to_string(lngNumber) + strSuffix);
}

std::string ExportPlan::ListingFileName(const std::string& strCHMFile) {
  std::string strName = engine::basVelmora::GetFileName(strCHMFile);
  static const std::string kChm = ".chm";
  for (std::size_t pos = strName.find(kChm); pos != std::string::npos; pos = strName.find(kChm, pos)) {
    strName.erase(pos, kChm.size());
  }
  return strName + "的文件列表.txt";
}

std::string ExportPlan::RecordKey(const engine::cCHMItemInfo& item) { return item.Path + "\\" + item.Name; }

bool ExportPlan::PathTaken(const std::string& strPath) {
  // A path that cannot even be examined (no permission) is not offered
  // either: only a name known to be free is.
  std::error_code ec;
  return std::filesystem::symlink_status(strPath, ec).type() != std::filesystem::file_type::not_found;
}

}  // namespace velmora::app
