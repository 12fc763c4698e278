#include "app/preview/ChmContentType.h"

#include <QHash>
#include <QStringDecoder>

namespace velmora::app {
namespace {

const QHash<QString, QByteArray>& MimeTypes() {
  static const QHash<QString, QByteArray> types = {
      {"htm", "text/html"},         {"html", "text/html"},          {"hhc", "text/html"},
      {"hhk", "text/html"},         {"stm", "text/html"},           {"xhtml", "application/xhtml+xml"},
      {"css", "text/css"},          {"js", "text/javascript"},      {"vbs", "text/plain"},
      {"txt", "text/plain"},        {"log", "text/plain"},          {"ini", "text/plain"},
      {"xml", "text/xml"},          {"xsl", "text/xml"},            {"xslt", "text/xml"},
      {"json", "application/json"}, {"gif", "image/gif"},           {"png", "image/png"},
      {"jpg", "image/jpeg"},        {"jpeg", "image/jpeg"},         {"jpe", "image/jpeg"},
      {"bmp", "image/bmp"},         {"ico", "image/x-icon"},        {"svg", "image/svg+xml"},
      {"webp", "image/webp"},       {"tif", "image/tiff"},          {"tiff", "image/tiff"},
      {"wmf", "image/wmf"},         {"swf", "application/x-shockwave-flash"},
      {"mp3", "audio/mpeg"},        {"wav", "audio/wav"},           {"wma", "audio/x-ms-wma"},
      {"mid", "audio/midi"},        {"midi", "audio/midi"},         {"ogg", "audio/ogg"},
      {"mp4", "video/mp4"},         {"webm", "video/webm"},         {"avi", "video/x-msvideo"},
      {"wmv", "video/x-ms-wmv"},    {"mpg", "video/mpeg"},          {"mpeg", "video/mpeg"},
      {"mov", "video/quicktime"},   {"flv", "video/x-flv"},         {"rm", "application/vnd.rn-realmedia"},
      {"rmvb", "application/vnd.rn-realmedia-vbr"},                 {"pdf", "application/pdf"},
      {"woff", "font/woff"},        {"woff2", "font/woff2"},        {"ttf", "font/ttf"},
  };
  return types;
}

bool IsTextType(const QByteArray& mimeType) {
  return mimeType.startsWith("text/") && mimeType != "text/css" && mimeType != "text/javascript";
}

bool IsValidUtf8WithNonAscii(const QByteArray& head) {
  bool blnNonAscii = false;
  int lngEnd = head.size();
  // The sniffed bytes may stop inside a character: leave a trailing
  // incomplete sequence out of the check.
  for (int back = 1; back <= 3 && back <= head.size(); ++back) {
    const auto byte = static_cast<unsigned char>(head[head.size() - back]);
    if ((byte & 0xC0) == 0xC0) {
      const int lngNeeded = byte >= 0xF0 ? 4 : byte >= 0xE0 ? 3 : 2;
      if (lngNeeded > back) lngEnd = head.size() - back;
      break;
    }
    if ((byte & 0xC0) != 0x80) break;
  }
  for (int i = 0; i < lngEnd; ++i) {
    if (static_cast<unsigned char>(head[i]) >= 0x80) {
      blnNonAscii = true;
      break;
    }
  }
  if (!blnNonAscii) return false;
  QStringDecoder decoder(QStringDecoder::Utf8);
  const QString text = decoder.decode(QByteArrayView(head.constData(), lngEnd));
  return !decoder.hasError();
}

}  // namespace

QByteArray MimeTypeForName(const QString& strName) {
  const int lngSlash = strName.lastIndexOf(QLatin1Char('/'));
  const int lngDot = strName.lastIndexOf(QLatin1Char('.'));
  if (lngDot <= lngSlash) return "application/octet-stream";
  return MimeTypes().value(strName.mid(lngDot + 1).toLower(), "application/octet-stream");
}

QByteArray CharsetForLanguage(std::uint32_t lngLcid) {
  const std::uint32_t lngLanguage = lngLcid & 0xFFFF;
  switch (lngLanguage & 0x3FF) {  // primary language
    case 0x04:  // Chinese: PRC and Singapore simplified, the rest traditional
      return (lngLanguage == 0x0804 || lngLanguage == 0x1004) ? "GBK" : "Big5";
    case 0x11:
      return "Shift_JIS";
    case 0x12:
      return "EUC-KR";
    case 0x1E:
      return "windows-874";
    case 0x05: case 0x0E: case 0x15: case 0x18: case 0x1B: case 0x1C: case 0x24:
      return "windows-1250";
    case 0x1A:  // Croatian and Serbian/Bosnian in Latin letters; Cyrillic variants below
      return (lngLanguage == 0x0C1A || lngLanguage == 0x1C1A || lngLanguage == 0x201A) ? "windows-1251"
                                                                                      : "windows-1250";
    case 0x02: case 0x19: case 0x22: case 0x23: case 0x2F: case 0x3F: case 0x40: case 0x44: case 0x50:
      return "windows-1251";
    case 0x08:
      return "windows-1253";
    case 0x1F:
      return "windows-1254";
    case 0x0D:
      return "windows-1255";
    case 0x01: case 0x20: case 0x29:
      return "windows-1256";
    case 0x25: case 0x26: case 0x27:
      return "windows-1257";
    case 0x2A:
      return "windows-1258";
    default:
      return "windows-1252";
  }
}

bool DeclaresCharset(const QByteArray& head) {
  if (head.startsWith("\xEF\xBB\xBF") || head.startsWith("\xFF\xFE") || head.startsWith("\xFE\xFF")) return true;
  const QByteArray lower = head.left(kCharsetSniffBytes).toLower();
  if (lower.startsWith("<?xml")) {
    const int lngEnd = lower.indexOf("?>");
    if (lower.left(lngEnd < 0 ? lower.size() : lngEnd).contains("encoding")) return true;
  }
  for (int at = lower.indexOf("<meta"); at >= 0; at = lower.indexOf("<meta", at + 5)) {
    const int lngEnd = lower.indexOf('>', at);
    const QByteArray tag = lower.mid(at, lngEnd < 0 ? -1 : lngEnd - at);
    if (tag.contains("charset")) return true;
  }
  return false;
}

QByteArray ChmContentType(const QString& strName, const QByteArray& head, std::uint32_t lngLcid,
                          const QByteArray& chosenCharset) {
  const QByteArray mimeType = MimeTypeForName(strName);
  if (IsTextType(mimeType) && !chosenCharset.isEmpty()) return mimeType + "; charset=" + chosenCharset;
  if (!IsTextType(mimeType)) return mimeType;
  const QByteArray sniffed = head.left(kCharsetSniffBytes);
  if (DeclaresCharset(head)) {
    // A byte order mark is followed by the engine itself; a declaration
    // that UTF-8 bytes contradict (an editor saved the page as UTF-8 and
    // kept its old meta tag) gives way to what the bytes are.
    const bool blnBom = head.startsWith("\xEF\xBB\xBF") || head.startsWith("\xFF\xFE") || head.startsWith("\xFE\xFF");
    return !blnBom && IsValidUtf8WithNonAscii(sniffed) ? mimeType + "; charset=UTF-8" : mimeType;
  }
  const QByteArray charset = IsValidUtf8WithNonAscii(sniffed) ? QByteArray("UTF-8") : CharsetForLanguage(lngLcid);
  return mimeType + "; charset=" + charset;
}

}  // namespace velmora::app
