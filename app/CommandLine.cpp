#include "app/CommandLine.h"

#include <algorithm>

#include "engine/ExtractType.h"

namespace velmora::app {
namespace {

char AsciiLower(char chr) { return (chr >= 'A' && chr <= 'Z') ? char(chr - 'A' + 'a') : chr; }

// Where strKey starts in strText at or after lngFrom, ignoring the case of
// ASCII letters (UTF-8 continuation bytes never match a letter).
std::size_t FindKey(const std::string& strText, const std::string& strKey, std::size_t lngFrom) {
  const auto found = std::search(strText.begin() + std::min(lngFrom, strText.size()), strText.end(), strKey.begin(),
                                 strKey.end(), [](char a, char b) { return AsciiLower(a) == AsciiLower(b); });
  return found == strText.end() ? std::string::npos : std::size_t(found - strText.begin());
}

bool IsBlank(char chr) { return chr == ' ' || chr == '\t'; }

std::string TrimBlanks(const std::string& strText) {
  std::size_t lngStart = 0;
  std::size_t lngEnd = strText.size();
  while (lngStart < lngEnd && IsBlank(strText[lngStart])) ++lngStart;
  while (lngEnd > lngStart && IsBlank(strText[lngEnd - 1])) --lngEnd;
  return strText.substr(lngStart, lngEnd - lngStart);
}

}  // namespace

void ParseCommandValue(const std::string& strCommands, const std::string& strKey, std::string& strValue) {
  const std::size_t lngKey = FindKey(strCommands, strKey, 0);
  if (strKey.empty() || lngKey == std::string::npos) return;
  const std::size_t lngStart = lngKey + strKey.size();
  std::size_t lngEnd = strCommands.size();
  for (const char* strNext : {kChmKey, kPathKey, kTypeKey}) {
    lngEnd = std::min(lngEnd, FindKey(strCommands, strNext, lngStart));
  }
  const std::string strText = TrimBlanks(strCommands.substr(lngStart, lngEnd - lngStart));
  if (strText.empty()) return;
  strValue = strText;
  if (strValue.front() == '"') strValue.erase(0, 1);
  if (!strValue.empty() && strValue.back() == '"') strValue.pop_back();
}

bool HoldsOptionKey(const std::string& strCommands) {
  for (const char* strKey : {kChmKey, kPathKey, kTypeKey}) {
    if (FindKey(strCommands, strKey, 0) != std::string::npos) return true;
  }
  return false;
}

std::optional<CommandLineExtraction> ReadCommandLine(const std::string& strCommands) {
  if (strCommands.empty()) return std::nullopt;
  CommandLineExtraction extraction;
  std::string strTypeText;
  ParseCommandValue(strCommands, kChmKey, extraction.strCHMFile);
  ParseCommandValue(strCommands, kPathKey, extraction.strOutputPath);
  ParseCommandValue(strCommands, kTypeKey, strTypeText);
  extraction.lngExtractType = engine::CommandLineExtractType(strTypeText);
  if (extraction.strOutputPath.empty()) {
    extraction.strOutputPath = extraction.strCHMFile + "_文件内容";
    extraction.blnMadeUpFolder = true;
  }
  return extraction;
}

}  // namespace velmora::app
