#pragma once
// Files on their way from the thread that produces their bytes to the
// thread that writes them: the bytes of one or more files back to back and
// the steps that say which file they belong to. A file may begin in one
// batch and end in a later one.

#include <cstddef>
#include <string>
#include <vector>

namespace velmora::engine {

struct WriteBatch {
  struct Step {
    enum class Kind {
      Begin,     // a new file at strTarget with rank
      Write,     // the next length bytes of the batch belong to the open file
      Complete,  // the open file is whole: write it
      Fail,      // the producer gave up on the open file: drop it
    };
    Kind kind = Kind::Begin;
    std::string strTarget;
    std::size_t rank = 0;
    std::size_t length = 0;
  };

  std::vector<char> bytes;
  std::vector<Step> steps;

  void Clear() {
    bytes.clear();
    steps.clear();
  }
};

}  // namespace velmora::engine
