#include "engine/ReportText.h"

#include <cstdint>
#include <cstring>

namespace velmora::engine {

namespace {

std::string CountsText(const char* strLead, std::int32_t lngPicCount, std::int32_t lngHTMLCount,
                       std::int32_t lngMovieCount, std::int32_t lngTotal) {
  return std::string(strLead) + std::to_string(lngTotal) + "个内容，网页(" + std::to_string(lngHTMLCount) +
         ")，图片(" + std::to_string(lngPicCount) + ")，多媒体(" + std::to_string(lngMovieCount) + ")";
}

// Size is exact below 2147483647; at that value it is saturated and the
// exact length is the one to report.
std::uint64_t ListedSize(const cCHMItemInfo& item) {
  return item.Size < INT32_MAX ? static_cast<std::uint64_t>(item.Size) : item.ExactSize;
}

}  // namespace

std::string EscapeControlChars(const std::string& strName) {
  std::string text;
  text.reserve(strName.size());
  AppendEscapedControlChars(text, strName);
  return text;
}

void AppendEscapedControlChars(std::string& text, const std::string& strName) {
  static const char kHex[] = "0123456789ABCDEF";
  // Names rarely hold a control character: the stretches between them are
  // appended whole, and the search skips eight bytes at a time while none
  // of them is below 0x20 or 0x7F.
  constexpr std::uint64_t kOnes = 0x0101010101010101ull;
  constexpr std::uint64_t kHigh = 0x8080808080808080ull;
  std::size_t from = 0;
  std::size_t i = 0;
  for (; i + 8 <= strName.size(); i += 8) {
    std::uint64_t word;
    std::memcpy(&word, strName.data() + i, 8);
    const std::uint64_t del = word ^ (0x7F * kOnes);
    // A byte below 0x20, or one equal to 0x7F, sets its high bit here
    // (bytes from 0x80 up are kept out by ~word).
    if ((((word - 0x20 * kOnes) & ~word) | ((del - kOnes) & ~del)) & kHigh) break;
  }
  for (; i < strName.size(); ++i) {
    const auto u = static_cast<unsigned char>(strName[i]);
    if (u >= 0x20 && u != 0x7F) continue;
    text.append(strName, from, i - from);
    const char escaped[4] = {'\\', 'x', kHex[u >> 4], kHex[u & 0xF]};
    text.append(escaped, 4);
    from = i + 1;
  }
  text.append(strName, from, std::string::npos);
}

std::string ParseSummaryText(std::int32_t lngPicCount, std::int32_t lngHTMLCount, std::int32_t lngMovieCount,
                             std::int32_t lngTotal, bool blnExported, std::size_t lngLost, std::size_t lngWritten) {
  std::string tail = "，请导出文件。";
  if (blnExported) {
    if (lngLost == 0) {
      tail = "，成功导出。";
    } else if (lngWritten == 0) {
      tail = "，未能导出任何内容。";
    } else {
      tail = "，" + std::to_string(lngLost) + "个内容未能导出。";
    }
  }
  return CountsText("解释完成，共", lngPicCount, lngHTMLCount, lngMovieCount, lngTotal) + tail;
}

std::string ExportSummaryText(std::int32_t lngPicCount, std::int32_t lngHTMLCount, std::int32_t lngMovieCount,
                              std::int32_t lngTotal, std::size_t lngLost) {
  return CountsText("反编译完成，共", lngPicCount, lngHTMLCount, lngMovieCount, lngTotal) +
         (lngLost == 0 ? std::string("。") : "，" + std::to_string(lngLost) + "个内容未能导出。");
}

std::string ProgressText(const std::string& strName, std::int32_t lngSize, bool blnExtract) {
  return std::string("正在") + (blnExtract ? "反编译：" : "解释：") + EscapeControlChars(strName) + "，大小：" +
         std::to_string(lngSize);
}

std::string ItemRowText(const cCHMItemInfo& item) {
  std::string text;
  AppendItemRowLine(text, item);
  text.pop_back();
  return text;
}

void AppendItemRowLine(std::string& text, const cCHMItemInfo& item) {
  const std::size_t indent = item.Level > 1 ? static_cast<std::size_t>(item.Level - 1) * 2 : 0;
  text.append(indent, ' ');
  AppendEscapedControlChars(text, item.Name);
  text += '\n';
}

std::string ListingHeaderLine(const std::string& strCHMFile) { return "CHM文件：" + strCHMFile + "\r\n"; }

std::string ListingItemLine(const cCHMItemInfo& item) {
  return "文件：" + EscapeControlChars(item.Path) + "\\" + EscapeControlChars(item.Name) + "，" +
         (item.IsStorage ? std::string("这是目录") : "大小：" + std::to_string(ListedSize(item))) + "\r\n";
}

}  // namespace velmora::engine
