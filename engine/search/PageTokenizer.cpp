#include "engine/search/PageTokenizer.h"

#include <sqlite3.h>

#include <cstddef>
#include <string>
#include <string_view>

#include "engine/search/TextFold.h"
#include "engine/help/Utf8.h"

namespace velmora::search {

using help::NextCodePoint;
using help::AppendUtf8;

namespace {

constexpr std::size_t kTokenLength = 3;

// The last code points of the folded text with where each came from in the
// original text, and the tokens they make.
class TokenWindow {
 public:
  using TokenFn = int (*)(void*, int, const char*, int, int, int);
  TokenWindow(void* context, TokenFn emit) : m_context(context), m_emit(emit) {}

  // Adds a code point; once three are held, the token they make goes out.
  int push(char32_t c, int start, int end) {
    if (m_count == kTokenLength) {
      for (std::size_t i = 1; i < kTokenLength; ++i) m_slots[i - 1] = m_slots[i];
      --m_count;
    }
    m_slots[m_count++] = Slot{c, start, end};
    return m_count == kTokenLength ? emit(0) : SQLITE_OK;
  }

  // The tokens of the last positions, shorter than three code points.
  int finish() {
    // With three held, the token starting at the first has gone out already.
    for (std::size_t first = m_count == kTokenLength ? 1 : 0; first < m_count; ++first) {
      const int rc = emit(first);
      if (rc != SQLITE_OK) return rc;
    }
    return SQLITE_OK;
  }

 private:
  struct Slot {
    char32_t c;
    int start;
    int end;
  };

  int emit(std::size_t first) {
    m_token.clear();
    for (std::size_t i = first; i < m_count; ++i) AppendUtf8(m_token, m_slots[i].c);
    return m_emit(m_context, 0, m_token.data(), static_cast<int>(m_token.size()), m_slots[first].start,
                  m_slots[m_count - 1].end);
  }

  void* m_context;
  TokenFn m_emit;
  Slot m_slots[kTokenLength] = {};
  std::size_t m_count = 0;
  std::string m_token;
};

int TokenizeDocument(void* context, const char* text, int length, TokenWindow::TokenFn emit) {
  const std::string_view view(text, static_cast<std::size_t>(length));
  TokenWindow window(context, emit);
  FoldStream fold;
  int rc = SQLITE_OK;
  for (std::size_t pos = 0; pos < view.size() && rc == SQLITE_OK;) {
    const int start = static_cast<int>(pos);
    const char32_t c = NextCodePoint(view, pos);
    const int end = static_cast<int>(pos);
    fold.push(c, [&](char32_t folded) {
      if (rc == SQLITE_OK) rc = window.push(folded, start, end);
    });
  }
  return rc == SQLITE_OK ? window.finish() : rc;
}

// The query text is folded already: its three-code-point tokens, or the
// whole of a shorter one as one token.
int TokenizeQuery(void* context, const char* text, int length, TokenWindow::TokenFn emit) {
  const std::string_view view(text, static_cast<std::size_t>(length));
  std::size_t count = 0;
  for (std::size_t pos = 0; pos < view.size(); ++count) NextCodePoint(view, pos);
  if (count == 0) return SQLITE_OK;
  if (count < kTokenLength) return emit(context, 0, text, length, 0, length);
  TokenWindow window(context, emit);
  for (std::size_t pos = 0; pos < view.size();) {
    const int start = static_cast<int>(pos);
    const char32_t c = NextCodePoint(view, pos);
    const int rc = window.push(c, start, static_cast<int>(pos));
    if (rc != SQLITE_OK) return rc;
  }
  return SQLITE_OK;
}

int Create(void*, const char**, int argumentCount, Fts5Tokenizer** tokenizer) {
  if (argumentCount != 0) return SQLITE_ERROR;
  // The tokenizer keeps no state; any non-null pointer will do.
  static int instance;
  *tokenizer = reinterpret_cast<Fts5Tokenizer*>(&instance);
  return SQLITE_OK;
}

void Delete(Fts5Tokenizer*) {}

int Tokenize(Fts5Tokenizer*, void* context, int flags, const char* text, int length, TokenWindow::TokenFn emit) {
  if (flags & FTS5_TOKENIZE_QUERY) return TokenizeQuery(context, text, length, emit);
  return TokenizeDocument(context, text, length, emit);
}

fts5_api* Fts5Api(sqlite3* db) {
  fts5_api* api = nullptr;
  sqlite3_stmt* statement = nullptr;
  if (sqlite3_prepare_v2(db, "SELECT fts5(?1)", -1, &statement, nullptr) == SQLITE_OK) {
    sqlite3_bind_pointer(statement, 1, static_cast<void*>(&api), "fts5_api_ptr", nullptr);
    sqlite3_step(statement);
  }
  sqlite3_finalize(statement);
  return api;
}

}  // namespace

bool RegisterPageTokenizer(sqlite3* db) {
  fts5_api* api = Fts5Api(db);
  if (!api) return false;
  fts5_tokenizer tokenizer = {Create, Delete, Tokenize};
  return api->xCreateTokenizer(api, kPageTokenizerName, nullptr, &tokenizer, nullptr) == SQLITE_OK;
}

}  // namespace velmora::search
