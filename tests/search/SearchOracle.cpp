#include "tests/search/SearchOracle.h"

#include <iconv.h>
#include <unicode/normalizer2.h>
#include <unicode/uchar.h>
#include <unicode/unistr.h>
#include <unicode/ustring.h>

#include <algorithm>
#include <cctype>
#include <cerrno>

#include "platform/storage/ChmArchive.h"

namespace velmora::test {

namespace {

bool IsValidUtf8(const std::string& bytes) {
  UErrorCode status = U_ZERO_ERROR;
  int32_t length = 0;
  u_strFromUTF8(nullptr, 0, &length, bytes.data(), static_cast<int32_t>(bytes.size()), &status);
  return status != U_INVALID_CHAR_FOUND;
}

std::string Convert(const std::string& bytes, const std::string& charset) {
  iconv_t cd = iconv_open("UTF-8", charset.c_str());
  std::string out;
  char buffer[4096];
  char* in = const_cast<char*>(bytes.data());
  std::size_t left = bytes.size();
  while (left > 0) {
    char* to = buffer;
    std::size_t room = sizeof buffer;
    const std::size_t rc = iconv(cd, &in, &left, &to, &room);
    out.append(buffer, static_cast<std::size_t>(to - buffer));
    if (rc == static_cast<std::size_t>(-1) && errno != E2BIG) {
      out += "\uFFFD";  // skip the byte that does not convert
      ++in;
      --left;
    }
  }
  iconv_close(cd);
  return out;
}

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
  return text;
}

// A tag of the elements that run on inside a line (a browser shows
// "Echo<b>Text</b>" as one word): <b>, </code>, <a href=...>.
bool IsInline(const std::string& tag) {
  static const char* const kInline[] = {"a", "b", "i", "u", "em", "strong", "code", "span", "font", "sub", "sup", "tt"};
  std::size_t start = tag[1] == '/' ? 2 : 1;
  std::size_t end = start;
  while (end < tag.size() && std::isalnum(static_cast<unsigned char>(tag[end]))) ++end;
  const std::string name = tag.substr(start, end - start);
  return std::any_of(std::begin(kInline), std::end(kInline), [&](const char* n) { return name == n; });
}

// Tags out (a space for each but inline ones), script and style elements
// out whole.
std::string DropMarkup(const std::string& html) {
  const std::string lower = Lower(html);
  std::string text;
  std::size_t pos = 0;
  while (pos < html.size()) {
    const std::size_t open = html.find('<', pos);
    text.append(html, pos, open == std::string::npos ? std::string::npos : open - pos);
    if (open == std::string::npos) break;
    std::size_t end;
    if (lower.compare(open, 4, "<!--") == 0) {
      end = lower.find("-->", open);
      end = end == std::string::npos ? html.size() : end + 3;
    } else if (lower.compare(open, 7, "<script") == 0 || lower.compare(open, 6, "<style") == 0) {
      const std::string close = lower.compare(open, 7, "<script") == 0 ? "</script" : "</style";
      end = lower.find(close, open);
      end = end == std::string::npos ? html.size() : lower.find('>', end);
      end = end == std::string::npos ? html.size() : end + 1;
    } else if (open + 1 < html.size() && (std::isalpha(static_cast<unsigned char>(html[open + 1])) ||
                                           html[open + 1] == '/' || html[open + 1] == '!' || html[open + 1] == '?')) {
      end = html.find('>', open);
      end = end == std::string::npos ? html.size() : end + 1;
      if (IsInline(lower.substr(open, end - open))) {
        pos = end;
        continue;
      }
    } else {
      text += '<';
      pos = open + 1;
      continue;
    }
    text += ' ';
    pos = end;
  }
  return text;
}

std::string DecodeReferences(const std::string& text) {
  static const std::pair<const char*, const char*> kNamed[] = {
      {"&lt;", "<"}, {"&gt;", ">"}, {"&quot;", "\""}, {"&nbsp;", " "}, {"&amp;", "&"}};
  std::string out = text;
  for (const auto& [name, value] : kNamed) {
    for (std::size_t pos = out.find(name); pos != std::string::npos; pos = out.find(name, pos + 1)) {
      out.replace(pos, std::char_traits<char>::length(name), value);
    }
  }
  return out;
}

}  // namespace

std::string SearchOracle::Normalize(const std::string& utf8) {
  UErrorCode status = U_ZERO_ERROR;
  const icu::UnicodeString normalized =
      icu::Normalizer2::getNFKCCasefoldInstance(status)->normalize(icu::UnicodeString::fromUTF8(utf8), status);
  icu::UnicodeString collapsed;
  bool blank = false;
  for (int32_t i = 0; i < normalized.length(); i = normalized.moveIndex32(i, 1)) {
    const UChar32 c = normalized.char32At(i);
    if (u_isUWhiteSpace(c) || c == '\t' || c == '\n' || c == '\r') {
      blank = true;
      continue;
    }
    if (blank && !collapsed.isEmpty()) collapsed.append(static_cast<UChar>(' '));
    blank = false;
    collapsed.append(c);
  }
  std::string out;
  return collapsed.toUTF8String(out);
}

SearchOracle::SearchOracle(const std::string& chmPath, const std::string& legacyCharset) {
  platform::ChmArchive::OpenResult result{};
  auto archive = platform::ChmArchive::Open(chmPath, result);
  if (!archive) return;
  for (const auto& entry : archive->entries()) {
    const std::string name = Lower(entry.name);
    const auto endsWith = [&](const std::string& suffix) {
      return name.size() > suffix.size() && name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0;
    };
    const bool html = endsWith(".htm") || endsWith(".html");
    if ((!html && !endsWith(".txt")) || name[0] == '#' || name[0] == '$' || name[0] == ':') continue;
    std::string bytes;
    if (!archive->extract(entry, [&](const char* data, std::size_t length) {
          bytes.append(data, length);
          return true;
        })) {
      continue;
    }
    if (bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) bytes.erase(0, 3);
    const std::string utf8 = IsValidUtf8(bytes) ? bytes : Convert(bytes, legacyCharset);
    m_pages.emplace_back("/" + entry.name, Normalize(html ? DecodeReferences(DropMarkup(utf8)) : utf8));
  }
}

std::set<std::string> SearchOracle::find(const std::vector<std::string>& terms) const {
  std::set<std::string> found;
  for (const auto& [path, text] : m_pages) {
    if (std::all_of(terms.begin(), terms.end(),
                    [&](const std::string& term) { return text.find(Normalize(term)) != std::string::npos; })) {
      found.insert(path);
    }
  }
  return found;
}

}  // namespace velmora::test
