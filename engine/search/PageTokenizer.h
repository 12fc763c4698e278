#pragma once
// The FTS5 tokenizer "velmora" the page index is built with. A page's text
// is folded (TextFold.h) and every position of the folded text gives one
// token: the three code points starting there (fewer at the very end). So
// a page that holds a term of three or more code points has every
// three-code-point piece of it among its tokens, and one that holds a term
// of one or two ("库", "函数") has a token starting with it, the text's last
// code points included (a prefix query). The index proposes the pages that
// have all the pieces; the check of the text decides (PageMatch.h). Queries
// reach the tokenizer folded already and are not folded again.

struct sqlite3;

namespace velmora::search {

inline constexpr const char* kPageTokenizerName = "velmora";

// Makes the tokenizer known to the connection; false when it has no FTS5.
bool RegisterPageTokenizer(sqlite3* db);

}  // namespace velmora::search
