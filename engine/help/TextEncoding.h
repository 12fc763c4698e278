#pragma once
// Text encodings of help files. Contents and index files, #SYSTEM records
// and pages come in whatever encoding their authors' tools used; these
// procedures turn them into UTF-8 by the rules every part of the reader
// shares: a byte order mark first, then valid UTF-8, then what the file
// declares or the code page of its language. Encodings are iconv's names.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace velmora::help {

// iconv's name of the ANSI code page of a Windows language: "GBK" (0x804),
// "BIG5" (0x404), "CP932" (0x411), "CP1251", ... "CP1252" for unknown.
std::string CodePageForLanguage(std::uint32_t lcid);

// Text from a contents/index file or a #SYSTEM record as UTF-8: by a BOM,
// else as is when the bytes are valid UTF-8, else converted from codePage;
// bytes that do not convert become U+FFFD.
std::string DecodeText(std::string_view bytes, std::string_view codePage);

// The charset a page's bytes are in: a BOM's; "UTF-8" when the bytes are
// valid UTF-8 with non-ASCII bytes; else the charset the page declares
// (<meta charset>, <meta http-equiv content>, <?xml encoding>) when iconv
// knows it and the bytes do not contradict it (a page declaring UTF-8
// whose bytes are not is in codePage); else codePage. head: the page's first bytes (4096 or all).
std::string PageCharset(std::string_view head, std::string_view codePage);

// bytes converted from charset to UTF-8; invalid sequences become U+FFFD;
// a BOM is dropped. A charset iconv does not know is read as UTF-8.
std::string ToUtf8(std::string_view bytes, std::string_view charset);

// text converted between two iconv encodings; nothing when iconv does not
// know them or the text does not convert completely.
std::optional<std::string> ConvertText(std::string_view text, std::string_view from, std::string_view to);

// The charset a byte order mark at the start of bytes names ("UTF-8",
// "UTF-16LE", "UTF-16BE"); empty without one.
std::string_view BomCharset(std::string_view bytes);

// Whether bytes are well-formed UTF-8 (no overlong forms, surrogates or
// values past U+10FFFF). A sequence cut off by the end of bytes counts as
// well-formed when blnMayBeCut is set (a page's head ends anywhere).
bool IsValidUtf8(std::string_view bytes, bool blnMayBeCut = false);

}  // namespace velmora::help
