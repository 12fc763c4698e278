#pragma once
// Case-insensitive comparison of stored names, as the Windows storage
// service compares them: ASCII letters plus the Latin-1, Greek and Cyrillic
// capitals fold to lower case; every other byte is compared as stored.
//
// Folding keeps every byte's place: the folded text has exactly as many
// bytes as the original, each two-byte letter folding to another two-byte
// letter.

#include <cstddef>
#include <string>
#include <string_view>

namespace velmora::platform {

std::string FoldCase(std::string_view utf8);

// Writes the folded bytes of utf8 (utf8.size() of them) to out.
void FoldCaseInto(std::string_view utf8, char* out);

// The folded text of a name, held on the stack for the usual short names,
// so that a lookup allocates nothing.
class FoldedName {
 public:
  explicit FoldedName(std::string_view utf8);
  FoldedName(const FoldedName&) = delete;
  FoldedName& operator=(const FoldedName&) = delete;

  std::string_view view() const { return m_view; }

 private:
  static constexpr std::size_t kInline = 240;
  char m_inline[kInline];
  std::string m_heap;
  std::string_view m_view;
};

}  // namespace velmora::platform
