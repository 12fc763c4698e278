// Truncated and bit-flipped copies of a compiled fixture: whatever the damage,
// the service answers with one of its results, and no copy delivers more
// bytes than the stream's length.
#include <algorithm>
#include <fstream>
#include <random>
#include <sstream>

#include <gtest/gtest.h>

#include "TempDir.h"
#include "TestPaths.h"
#include "TreeListing.h"
#include "platform/storage/ChmStorageService.h"

namespace velmora::platform::test {
namespace {

std::string Mutate(std::string bytes, std::mt19937& random) {
  switch (random() % 3) {
    case 0:  // cut anywhere
      bytes.resize(random() % bytes.size());
      break;
    case 1:  // flip a few bits anywhere
      for (int flips = 1 + random() % 8; flips > 0; --flips) bytes[random() % bytes.size()] ^= 1 << (random() % 8);
      break;
    default:  // overwrite a byte of the headers or the directory
      bytes[random() % std::min<std::size_t>(bytes.size(), 0x1100)] = static_cast<char>(random());
      break;
  }
  return bytes;
}

TEST(ChmMutants, SurviveTruncationAndBitFlips) {
  std::ifstream in(std::string(VELMORA_FIXTURE_DIR) + "/nested.chm", std::ios::binary);
  std::stringstream original;
  original << in.rdbuf();
  ASSERT_GT(original.str().size(), 4096u);
  TempDir dir;
  std::mt19937 random(20240611);
  int opened = 0;
  for (int i = 0; i < 600; ++i) {
    const std::string path = dir.write("mutant.chm", Mutate(original.str(), random));
    const auto service = MakeChmStorageService();
    std::unique_ptr<IStorage> root;
    const HResult hr = service->StgOpenStorage(path, root);
    if (service->StgIsStorageFile(path) != S_OK) {
      ASSERT_EQ(hr, E_INVALIDHEADER) << "mutant " << i;
      continue;
    }
    ASSERT_TRUE(hr == S_OK || hr == E_READFAULT) << "mutant " << i;
    if (!root) continue;
    ++opened;
    for (const auto& s : OpenStreams(*root)) {
      std::uint64_t delivered = 0;
      const HResult copied = s.stream->CopyTo([&](const char*, std::size_t n) {
        delivered += n;
        return true;
      });
      ASSERT_TRUE(copied == S_OK || copied == E_READFAULT || copied == E_DATACORRUPT)
          << "mutant " << i << " " << s.visit.path;
      ASSERT_LE(delivered, s.visit.length) << "mutant " << i << " " << s.visit.path;
    }
  }
  EXPECT_GT(opened, 100);
}

}  // namespace
}  // namespace velmora::platform::test
