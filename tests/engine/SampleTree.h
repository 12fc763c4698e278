#pragma once
// The fake CHM most walker tests use: pages, pictures, multimedia and other
// streams at two depths, an empty stream, an empty storage and an element
// that is neither storage nor stream.

#include "tests/support/fake/FakeElement.h"

namespace velmora::test {

inline FakeElement SampleTree() {
  return Root({
      Stream("index.htm", "<html>index</html>"),
      Storage("html",
              {
                  Stream("a.htm", "page a"),
                  Storage("images", {Stream("logo.GIF", "GIF89a-logo"), Stream("empty.png", "")}),
                  Stream("notes.txt", "notes"),
              }),
      Stream("song.MP3", "ID3-song"),
      Stream("README", "readme"),
      OtherElement("odd"),
      Storage("emptydir", {}),
  });
}

}  // namespace velmora::test
