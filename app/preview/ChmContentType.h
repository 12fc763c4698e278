#pragma once
// The Content-Type a stored file is served with: the MIME type from the
// name's extension, and for pages and text that declare no character set,
// the charset the help file's language implies, as a Windows help viewer
// would read them with the system's ANSI code page.

#include <QByteArray>
#include <QString>
#include <cstdint>

namespace velmora::app {

// How many leading bytes are looked at for a declared character set.
inline constexpr int kCharsetSniffBytes = 4096;

// "text/html", "image/png", ... by extension (any letter case);
// "application/octet-stream" for anything not known.
QByteArray MimeTypeForName(const QString& strName);

// The ANSI code page of a Windows language (LCID), as an encoding name:
// 0x804 GBK, 0x404 Big5, 0x411 Shift_JIS, 0x412 EUC-KR, 0x419
// windows-1251, and so on; windows-1252 for Western and unknown languages.
QByteArray CharsetForLanguage(std::uint32_t lngLcid);

// True when the bytes start with a byte order mark, or a <meta> tag among
// them names a charset, or an XML declaration names an encoding.
bool DeclaresCharset(const QByteArray& head);

// The full Content-Type for a stored file whose content starts with head
// (at least the first kCharsetSniffBytes bytes, or all of a shorter file).
// Undeclared text that is valid UTF-8 with non-ASCII bytes is served as
// UTF-8 (help compilers of today write UTF-8 pages without declaring it);
// other undeclared text gets the language's charset. Declared text whose
// bytes are valid UTF-8 with non-ASCII bytes is served as UTF-8 whatever it
// declares; a byte order mark is left to the engine. A charset the user
// chose for the file (chosenCharset) is given to all its text instead,
// declared or not (a byte order mark still wins in the engine).
QByteArray ChmContentType(const QString& strName, const QByteArray& head, std::uint32_t lngLcid,
                          const QByteArray& chosenCharset = QByteArray());

}  // namespace velmora::app
