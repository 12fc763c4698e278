// libFuzzer target over the page text of the search index: any bytes as an
// HTML page and as a text page, then folded and cut into a snippet as a
// query would. Time and memory must stay in proportion to the input, the
// text within its limit and valid UTF-8.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "engine/search/PageText.h"
#include "engine/search/Snippet.h"
#include "engine/search/TextFold.h"
#include "engine/help/Utf8.h"

namespace {

// A small limit, so the cut at the limit is reached often.
constexpr std::size_t kLimit = 4096;

void CheckValidUtf8(std::string_view text) {
  for (std::size_t pos = 0; pos < text.size();) {
    const std::size_t start = pos;
    if (velmora::help::NextCodePoint(text, pos) == velmora::help::kReplacementCharacter &&
        text.compare(start, 3, "\xEF\xBF\xBD") != 0) {
      std::abort();
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  for (const auto& page : {velmora::search::HtmlPageText(input, kLimit), velmora::search::PlainPageText(input, kLimit)}) {
    if (page.text.size() > kLimit || page.title.size() > velmora::search::kMaxTitleBytes) std::abort();
    CheckValidUtf8(page.text);
    CheckValidUtf8(page.title);
    // The first few characters of the input as a query.
    const std::string term = velmora::search::FoldText(input.substr(0, 6));
    const velmora::search::Snippet snippet = velmora::search::MakeSnippet(page.text, {term});
    for (const auto& mark : snippet.marks) {
      if (mark.first >= mark.second || mark.second > snippet.text.size()) std::abort();
    }
  }
  return 0;
}
