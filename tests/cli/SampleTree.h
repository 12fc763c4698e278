#pragma once
// A small CHM tree for command tests: every category, nested storages, an
// empty stream, binary bytes and a system stream. Its list and listing are
// written out in the tests that use it.

#include <string>

#include "tests/support/fake/FakeElement.h"

namespace velmora::test {

inline const std::string kLogoBytes("GIF89a\0\x01\xff\r\n", 11);

inline FakeElement SampleTree() {
  return Root({
      Stream("index.htm", "<html>index</html>", 5),
      Storage("images", {Stream("logo.gif", kLogoBytes, 9), Stream("photo.JPG", "jpeg", 8)}),
      Storage("html", {Stream("a.htm", "<p>a</p>", 4), Storage("sub", {Stream("deep.css", "p{}", 3)})}),
      Stream("movie.mp3", "ID3", 2),
      Stream("notes.txt", "notes", 1),
      Stream("empty.htm", "", 7),
      Stream("#SYSTEM", "sys", 0),
  });
}

}  // namespace velmora::test
