#include "app/preview/ChmUrl.h"

#include <QDir>
#include <QFileInfo>
#include <QMessageAuthenticationCode>
#include <QRandomGenerator>
#include <QStringList>

#include "app/preview/ChmUrlSchemes.h"

namespace velmora::app {
namespace {

const QString kSeparator = QStringLiteral("::");
const QString kStorePrefix = QStringLiteral("@MSITStore:");
constexpr int kHexPerLabel = 62;  // plus the leading "x": 63
constexpr int kKeyBytes = 16;

// The secret behind the keys of keyed URLs, drawn once per run.
const QByteArray& KeySecret() {
  static const QByteArray secret = [] {
    quint64 bits[4];
    QRandomGenerator::system()->fillRange(bits);
    return QByteArray(reinterpret_cast<const char*>(bits), sizeof bits);
  }();
  return secret;
}

QString KeyLabel(const QString& strFile) {
  const QByteArray mac = QMessageAuthenticationCode::hash(strFile.toUtf8(), KeySecret(), QCryptographicHash::Sha256);
  return QLatin1Char('k') + QString::fromLatin1(mac.left(kKeyBytes).toHex());
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Decodes every valid %XX; a "%" not followed by two hex digits stays as
// it is, since authors write names like "100%.htm" unescaped.
QByteArray DecodePercent(const QByteArray& text) {
  QByteArray out;
  out.reserve(text.size());
  for (int i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 2 < text.size() && HexValue(text[i + 1]) >= 0 && HexValue(text[i + 2]) >= 0) {
      out += static_cast<char>(HexValue(text[i + 1]) * 16 + HexValue(text[i + 2]));
      i += 2;
    } else {
      out += text[i];
    }
  }
  return out;
}

QString EncodeHost(const QString& strFile) {
  const QByteArray hex = strFile.toUtf8().toHex();
  QStringList labels;
  for (int at = 0; at < hex.size(); at += kHexPerLabel) {
    labels << QLatin1Char('x') + QString::fromLatin1(hex.mid(at, kHexPerLabel));
  }
  return labels.join(QLatin1Char('.'));
}

std::optional<QString> DecodeHost(const QString& strHost) {
  QByteArray hex;
  for (const QString& label : strHost.split(QLatin1Char('.'))) {
    if (label.size() < 2 || !label.startsWith(QLatin1Char('x'))) return std::nullopt;
    hex += label.mid(1).toLatin1();
  }
  if (hex.size() % 2 != 0) return std::nullopt;
  for (char c : hex) {
    if (HexValue(c) < 0) return std::nullopt;
  }
  const QByteArray bytes = QByteArray::fromHex(hex);
  if (bytes.contains('\0')) return std::nullopt;
  return QString::fromUtf8(bytes);
}

QString AbsoluteFile(const QString& strFile) {
  return QDir::cleanPath(QFileInfo(strFile).absoluteFilePath());
}

// Text after the moniker prefix; empty when the address has none.
std::optional<QString> AfterMonikerPrefix(const QString& strAddress) {
  const QString prefixes[] = {QLatin1String(kMkScheme) + QLatin1Char(':') + kStorePrefix,
                              QLatin1String(kMsItsScheme) + QLatin1Char(':'),
                              QLatin1String(kItsScheme) + QLatin1Char(':')};
  for (const QString& prefix : prefixes) {
    if (strAddress.startsWith(prefix, Qt::CaseInsensitive)) return strAddress.mid(prefix.size());
  }
  return std::nullopt;
}

}  // namespace

std::optional<ChmLocation> ChmUrl::FromAddress(const QString& strAddress) {
  const std::optional<QString> rest = AfterMonikerPrefix(strAddress);
  if (!rest) return std::nullopt;
  int lngSplit = rest->indexOf(kSeparator);
  const int lngFirst = lngSplit;
  while (lngSplit > 0 && !QFileInfo(rest->left(lngSplit)).isFile()) {
    lngSplit = rest->indexOf(kSeparator, lngSplit + 1);
  }
  if (lngSplit < 0) lngSplit = lngFirst;
  if (lngSplit <= 0) return std::nullopt;
  const QString strStored = CleanStoredPath(rest->mid(lngSplit + kSeparator.size()));
  if (strStored.size() <= 1) return std::nullopt;
  return ChmLocation{AbsoluteFile(rest->left(lngSplit)), strStored};
}

QUrl ChmUrl::ToUrl(const ChmLocation& location) {
  const QByteArray path = "/" + AddressSegment(location.strChmFile) +
                          QUrl::toPercentEncoding(location.strStoredPath, "/");
  return QUrl::fromEncoded(QByteArray(kChmScheme) + "://" + EncodeHost(location.strChmFile).toLatin1() + path,
                           QUrl::StrictMode);
}

QUrl ChmUrl::ToKeyedUrl(const ChmLocation& location) {
  const QByteArray path = "/" + AddressSegment(location.strChmFile) +
                          QUrl::toPercentEncoding(location.strStoredPath, "/");
  const QString strHost = KeyLabel(location.strChmFile) + QLatin1Char('.') + EncodeHost(location.strChmFile);
  return QUrl::fromEncoded(QByteArray(kMkScheme) + "://" + strHost.toLatin1() + path, QUrl::StrictMode);
}

bool ChmUrl::IsKeyedUrl(const QUrl& url) {
  return url.scheme().compare(QLatin1String(kMkScheme), Qt::CaseInsensitive) == 0 && FromUrl(url).has_value();
}

QByteArray ChmUrl::AddressSegment(const QString& strChmFile) {
  return QByteArray(kMkScheme) + ':' + kStorePrefix.toLatin1() + QUrl::toPercentEncoding(strChmFile) + "::";
}

std::optional<ChmLocation> ChmUrl::FromUrl(const QUrl& url) {
  QString strHost = url.host(QUrl::FullyEncoded).toLower();
  const bool blnKeyed = url.scheme().compare(QLatin1String(kMkScheme), Qt::CaseInsensitive) == 0;
  if (!blnKeyed && url.scheme().compare(QLatin1String(kChmScheme), Qt::CaseInsensitive) != 0) return std::nullopt;
  QString strKey;
  if (blnKeyed) {
    const int lngDot = strHost.indexOf(QLatin1Char('.'));
    if (lngDot < 0) return std::nullopt;
    strKey = strHost.left(lngDot);
    strHost.remove(0, lngDot + 1);
  }
  const std::optional<QString> file = DecodeHost(strHost);
  if (!file || file->isEmpty()) return std::nullopt;
  if (blnKeyed && strKey != KeyLabel(*file)) return std::nullopt;
  QByteArray path = url.path(QUrl::FullyEncoded).toLatin1();
  // The help viewer's address of the file is decoration; the host names it.
  const QByteArray mark = QByteArray("/") + kMkScheme + ':' + kStorePrefix.toLatin1();
  if (path.startsWith(mark)) {
    const int lngEnd = path.indexOf('/', 1);
    const QByteArray segment = path.mid(1, lngEnd < 0 ? -1 : lngEnd - 1);
    if (segment.endsWith("::")) path = lngEnd < 0 ? QByteArray("/") : path.mid(lngEnd);
  }
  return ChmLocation{*file, CleanStoredPath(QString::fromUtf8(DecodePercent(path)))};
}

std::optional<ChmMoniker> ChmUrl::FromMonikerUrl(const QUrl& url) {
  // An mk URL with a host is a page address (keyed or forged), no link.
  if (!IsMonikerScheme(url.scheme()) || !url.host().isEmpty()) return std::nullopt;
  QString strText = QString::fromUtf8(DecodePercent(url.path(QUrl::FullyEncoded).toLatin1()));
  if (strText.startsWith(kStorePrefix, Qt::CaseInsensitive)) strText.remove(0, kStorePrefix.size());
  const int lngSplit = strText.indexOf(kSeparator);
  if (lngSplit <= 0) return std::nullopt;
  const QString strStored = CleanStoredPath(strText.mid(lngSplit + kSeparator.size()));
  if (strStored.size() <= 1) return std::nullopt;
  return ChmMoniker{strText.left(lngSplit), strStored};
}

QString ChmUrl::CleanStoredPath(const QString& strPath) {
  QStringList parts;
  QString strNormal = strPath;
  strNormal.replace(QLatin1Char('\\'), QLatin1Char('/'));
  for (const QString& part : strNormal.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
    if (part == QLatin1String(".")) continue;
    if (part == QLatin1String("..")) {
      if (!parts.isEmpty()) parts.removeLast();
      continue;
    }
    parts << part;
  }
  return QLatin1Char('/') + parts.join(QLatin1Char('/'));
}

}  // namespace velmora::app
