#pragma once
// The texts that report a walk: the summary after an open or an export, the
// progress line, a content-list row and the lines of the text listing. Kept
// free of any toolkit so the window and velmora-cli write identical texts.

#include <cstdint>
#include <string>

#include "engine/cCHMItemInfo.h"

namespace velmora::engine {

// "解释完成，共25个内容，网页(12)，图片(8)，多媒体(0)" followed by
// "，成功导出。" when the walk extracted, "，请导出文件。" after a plain open.
std::string ParseSummaryText(std::int32_t lngPicCount, std::int32_t lngHTMLCount, std::int32_t lngMovieCount,
                             std::int32_t lngTotal, bool blnExported);

// "反编译完成，共25个内容，网页(12)，图片(8)，多媒体(0)。", written after each
// CHM file of an export.
std::string ExportSummaryText(std::int32_t lngPicCount, std::int32_t lngHTMLCount, std::int32_t lngMovieCount,
                              std::int32_t lngTotal);

// "正在反编译：name，大小：n" while extracting, "正在解释：name，大小：n" otherwise.
std::string ProgressText(const std::string& strName, std::int32_t lngSize, bool blnExtract);

// A content-list row: two blanks per level below the top, then the name.
std::string ItemRowText(const cCHMItemInfo& item);

// "CHM文件：" + path, CR LF: the header of one CHM file in the text listing.
std::string ListingHeaderLine(const std::string& strCHMFile);

// "文件：" + Path + "\" + Name + "，" + ("这是目录" | "大小：" + size), CR LF.
// The size is the exact length, so streams of 2 GiB and more are not
// reported as 2147483647 bytes.
std::string ListingItemLine(const cCHMItemInfo& item);

}  // namespace velmora::engine
