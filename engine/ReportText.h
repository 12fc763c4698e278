#pragma once
// The texts that report a walk: the summary after an open or an export, the
// progress line, a content-list row and the lines of the text listing. Kept
// free of any toolkit so the window and velmora-cli write identical texts.

#include <cstddef>
#include <cstdint>
#include <string>

#include "engine/cCHMItemInfo.h"

namespace velmora::engine {

// The name with every control character (below 0x20, and 0x7F) shown as
// "\xNN" (upper-case hex), so no stored name can move the cursor, clear a
// terminal or break a line of a listing. Other bytes stay as stored.
std::string EscapeControlChars(const std::string& strName);
// The same, appended to text.
void AppendEscapedControlChars(std::string& text, const std::string& strName);

// "解释完成，共25个内容，网页(12)，图片(8)，多媒体(0)" followed by
// "，请导出文件。" after a plain open; after an extraction by
// "，成功导出。" when nothing was lost, "，N个内容未能导出。" when some
// streams were written and N lost, and "，未能导出任何内容。" when streams
// were lost and none written.
std::string ParseSummaryText(std::int32_t lngPicCount, std::int32_t lngHTMLCount, std::int32_t lngMovieCount,
                             std::int32_t lngTotal, bool blnExported, std::size_t lngLost = 0,
                             std::size_t lngWritten = 0);

// "反编译完成，共25个内容，网页(12)，图片(8)，多媒体(0)。", written after each
// CHM file of an export; when lngLost streams were lost the closing "。"
// becomes "，N个内容未能导出。".
std::string ExportSummaryText(std::int32_t lngPicCount, std::int32_t lngHTMLCount, std::int32_t lngMovieCount,
                              std::int32_t lngTotal, std::size_t lngLost = 0);

// "正在反编译：name，大小：n" while extracting, "正在解释：name，大小：n"
// otherwise; the name as EscapeControlChars shows it.
std::string ProgressText(const std::string& strName, std::int32_t lngSize, bool blnExtract);

// A content-list row: two blanks per level below the top, then the name as
// EscapeControlChars shows it.
std::string ItemRowText(const cCHMItemInfo& item);
// The same row and a line feed, appended to text: a whole list is written
// as one block.
void AppendItemRowLine(std::string& text, const cCHMItemInfo& item);

// "CHM文件：" + path, CR LF: the header of one CHM file in the text listing.
std::string ListingHeaderLine(const std::string& strCHMFile);

// "文件：" + Path + "\" + Name + "，" + ("这是目录" | "大小：" + size), CR LF,
// Path and Name as EscapeControlChars shows them.
// The size is the exact length, so streams of 2 GiB and more are not
// reported as 2147483647 bytes.
std::string ListingItemLine(const cCHMItemInfo& item);

}  // namespace velmora::engine
