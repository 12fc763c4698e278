#include "engine/help/HelpTarget.h"

#include <cctype>
#include <vector>

#include "engine/help/AsciiCase.h"
#include "engine/help/TextEncoding.h"
#include "platform/storage/ChmArchive.h"

namespace velmora::help {

namespace {

std::string_view Trimmed(std::string_view text) {
  const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  return text;
}

// The scheme in front of a value ("javascript", "http"), lower-cased;
// empty when there is none. One letter before ":" is a drive ("C:\x.htm").
std::string SchemeOf(std::string_view value) {
  std::size_t i = 0;
  while (i < value.size() && (std::isalnum(static_cast<unsigned char>(value[i])) || value[i] == '+' ||
                              value[i] == '-' || value[i] == '.')) {
    ++i;
  }
  if (i == 0 || i >= value.size() || value[i] != ':') return {};
  if (!std::isalpha(static_cast<unsigned char>(value[0]))) return {};
  return LowerAscii(value.substr(0, i));
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::string PercentDecoded(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 2 < text.size() && HexDigit(text[i + 1]) >= 0 && HexDigit(text[i + 2]) >= 0) {
      out += char(HexDigit(text[i + 1]) * 16 + HexDigit(text[i + 2]));
      i += 2;
    } else {
      out += text[i];
    }
  }
  return out;
}

// path ("/"-separated) joined to folder when relative, with "." and ".."
// taken away; ".." at the top stays at the top. The result starts with "/".
std::string Normalised(std::string_view folder, std::string_view path) {
  std::vector<std::string_view> parts;
  auto add = [&parts](std::string_view text) {
    std::size_t start = 0;
    while (start <= text.size()) {
      std::size_t end = text.find('/', start);
      if (end == std::string_view::npos) end = text.size();
      const std::string_view part = text.substr(start, end - start);
      if (part == "..") {
        if (!parts.empty()) parts.pop_back();
      } else if (!part.empty() && part != ".") {
        parts.push_back(part);
      }
      start = end + 1;
    }
  };
  if (path.empty() || path[0] != '/') add(folder);
  add(path);
  std::string joined;
  for (const auto& part : parts) joined.append("/").append(part);
  return joined.empty() ? "/" : joined;
}

// The stored entry a path names: as written, else %-decoded (the bytes as
// UTF-8, else in the code page); null when neither is stored.
const platform::ChmArchive::Entry* FindStored(const platform::ChmArchive& archive, std::string_view folder,
                                              const std::string& path, std::string_view codePage,
                                              std::string& normalised) {
  normalised = Normalised(folder, path);
  if (const auto* entry = archive.find(normalised)) return entry;
  if (path.find('%') == std::string::npos) return nullptr;
  const std::string decoded = PercentDecoded(path);
  std::string candidate = Normalised(folder, IsValidUtf8(decoded) ? decoded : ToUtf8(decoded, codePage));
  if (const auto* entry = archive.find(candidate)) {
    normalised = std::move(candidate);
    return entry;
  }
  return nullptr;
}

void SplitAnchor(std::string_view reference, std::string& path, std::string& anchor) {
  const std::size_t hash = reference.find('#');
  std::string_view pathPart = reference.substr(0, hash);
  if (hash != std::string_view::npos) anchor = std::string(reference.substr(hash));
  // A query means nothing to stored pages.
  pathPart = pathPart.substr(0, pathPart.find('?'));
  path = std::string(pathPart);
  for (char& c : path) {
    if (c == '\\') c = '/';
  }
}

std::string_view BaseName(std::string_view path) {
  const std::size_t slash = path.find_last_of("/\\");
  return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

}  // namespace

std::string Target::Text() const {
  switch (kind) {
    case Kind::Page: return (file.empty() ? std::string() : file + "::") + path + anchor;
    case Kind::Web: return url;
    default: return {};
  }
}

std::string_view StoredFolder(std::string_view path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string_view::npos ? std::string_view("/") : path.substr(0, slash + 1);
}

Target ResolveTarget(const platform::ChmArchive& archive, std::string_view folder, std::string_view local,
                     std::string_view ownFileName, std::string_view codePage) {
  Target target;
  local = Trimmed(local);
  if (local.empty()) return target;
  const std::string scheme = SchemeOf(local);
  std::string_view reference = local;
  if (scheme == "mk" || scheme == "ms-its" || scheme == "its") {
    // mk:@MSITStore:X.chm::/a.htm, ms-its:X.chm::/a.htm, its:X.chm::a.htm
    std::string_view rest = local.substr(scheme.size() + 1);
    if (StartsWithIgnoringCase(rest, "@msitstore:")) rest.remove_prefix(11);
    const std::size_t separator = rest.find("::");
    if (separator == std::string_view::npos) {
      target.kind = Target::Kind::Refused;
      return target;
    }
    const std::string_view file = BaseName(Trimmed(rest.substr(0, separator)));
    if (file.empty()) {
      target.kind = Target::Kind::Refused;
      return target;
    }
    if (!EqualsIgnoringCase(file, ownFileName)) target.file = std::string(file);
    reference = rest.substr(separator + 2);
    folder = "/";
  } else if (scheme == "http" || scheme == "https" || scheme == "ftp" || scheme == "mailto") {
    target.kind = Target::Kind::Web;
    target.url = std::string(local);
    return target;
  } else if (!scheme.empty() || (local.size() >= 2 && local[1] == ':')) {
    target.kind = Target::Kind::Refused;  // javascript:, file:, a drive...
    return target;
  }

  target.kind = Target::Kind::Page;
  std::string path;
  SplitAnchor(reference, path, target.anchor);
  if (path.empty() && target.file.empty()) {
    // "#anchor" alone names nothing in a contents file.
    target.kind = Target::Kind::Refused;
    return target;
  }
  if (!target.file.empty()) {
    target.path = Normalised("/", path);  // looked up in the other file
    return target;
  }
  std::string normalised;
  if (const auto* entry = FindStored(archive, folder, path, codePage, normalised)) {
    target.path = "/" + entry->name;
  } else {
    target.path = normalised;
    target.missing = true;
  }
  return target;
}

void ResolveInOtherFile(const platform::ChmArchive* other, std::string_view codePage, Target& target) {
  if (target.kind != Target::Kind::Page || target.file.empty()) return;
  std::string normalised;
  const platform::ChmArchive::Entry* entry =
      other ? FindStored(*other, "/", target.path, codePage, normalised) : nullptr;
  if (entry) {
    target.path = "/" + entry->name;
  } else {
    target.missing = true;
  }
}

}  // namespace velmora::help
