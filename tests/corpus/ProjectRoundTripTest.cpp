// velmora-cli project, then chmcmd on the project it wrote: the rebuilt CHM
// file must hold every non-empty content stream of the original with the
// same bytes, the same title, default topic and language, the contents and
// index files, and the window definitions. Runs over the chmcmd fixtures and the real-world corpus.
#include <gtest/gtest.h>

#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <tuple>

#include "TestPaths.h"
#include "engine/HelpProject.h"
#include "platform/storage/ChmArchive.h"
#include "tests/cli/CliRun.h"
#include "tests/corpus/Manifest.h"

namespace {

using namespace velmora::test;
using velmora::platform::ChmArchive;
namespace fs = std::filesystem;

std::unique_ptr<ChmArchive> Open(const std::string& path) {
  ChmArchive::OpenResult result;
  return ChmArchive::Open(path, result);
}

std::optional<std::string> Read(ChmArchive& archive, const std::string& name) {
  const ChmArchive::Entry* entry = archive.find(name);
  if (!entry) return std::nullopt;
  std::string bytes;
  if (!archive.extract(*entry, [&bytes](const char* data, std::size_t size) {
        bytes.append(data, size);
        return true;
      }))
    return std::nullopt;
  return bytes;
}

velmora::engine::SystemRecords System(ChmArchive& archive) {
  return velmora::engine::ParseSystemStream(Read(archive, "#SYSTEM").value_or(""));
}

std::vector<velmora::engine::WindowDefinition> Windows(ChmArchive& archive) {
  return velmora::engine::ParseWindowsStream(Read(archive, "#WINDOWS").value_or(""),
                                             Read(archive, "#STRINGS").value_or(""));
}

// A stream the project leaves to the compiler (see IsCompilerStream).
bool IsCompilerStream(const std::string& name) {
  return name.rfind("::", 0) == 0 || name[0] == '#' || name[0] == '$' || name == "_#_README_#_";
}

bool HasProjectLine(const std::string& project, const std::string& key) {
  return project.find("\r\n" + key + "=") != std::string::npos;
}

// Writes the project of chm, compiles it with chmcmd and compares.
void ExpectRoundTrip(const std::string& chm) {
  if (std::system("command -v chmcmd >/dev/null 2>&1") != 0) GTEST_SKIP() << "chmcmd is not installed";
  ScratchFolder scratch;
  const fs::path folder = scratch.path() / "project";
  CliRun run = RunCli({"project", chm, "-o", folder.string()});
  ASSERT_EQ(run.status, 0) << run.err;

  const std::string stem = fs::path(chm).stem().string();
  const std::string projectText = ReadFile((folder / (stem + ".hhp")).string());
  const std::string log = scratch / "chmcmd.log";
  const std::string command = "cd '" + folder.string() + "' && chmcmd --no-html-scan '" + stem + ".hhp' >'" + log +
                              "' 2>&1";
  const int status = std::system(command.c_str());
  const fs::path rebuiltPath = folder / fs::path(chm).filename();
  ASSERT_EQ(status, 0) << ReadFile(log);

  auto original = Open(chm);
  auto rebuilt = Open(rebuiltPath.string());
  ASSERT_TRUE(original && rebuilt) << ReadFile(log);

  std::size_t compared = 0;
  for (const auto& entry : original->entries()) {
    if (entry.name.empty() || IsCompilerStream(entry.name) || entry.name.back() == '/') continue;
    auto expected = Read(*original, entry.name);
    ASSERT_TRUE(expected) << entry.name;
    auto actual = Read(*rebuilt, entry.name);
    ASSERT_TRUE(actual) << entry.name << " is missing from the rebuilt file";
    EXPECT_TRUE(*actual == *expected) << entry.name << " differs";
    ++compared;
  }
  EXPECT_GT(compared, 0u);

  const auto before = System(*original);
  const auto after = System(*rebuilt);
  EXPECT_EQ(after.title.value_or(""), before.title.value_or(""));
  EXPECT_EQ(after.defaultTopic.value_or(""), before.defaultTopic.value_or(""));
  EXPECT_EQ(rebuilt->languageId(), original->languageId());
  // The contents and index files the project names are stored and named in
  // the rebuilt file's #SYSTEM.
  if (HasProjectLine(projectText, "Contents file")) {
    ASSERT_TRUE(after.contentsFile);
    EXPECT_TRUE(rebuilt->find(*after.contentsFile)) << *after.contentsFile;
  }
  if (HasProjectLine(projectText, "Index file")) {
    ASSERT_TRUE(after.indexFile);
    EXPECT_TRUE(rebuilt->find(*after.indexFile)) << *after.indexFile;
  }
  // The window definitions come back with their texts and the numbers the
  // original marks as set.
  const auto windowsBefore = Windows(*original);
  const auto windowsAfter = Windows(*rebuilt);
  ASSERT_EQ(windowsAfter.size(), windowsBefore.size());
  for (std::size_t i = 0; i < windowsBefore.size(); ++i) {
    const auto& b = windowsBefore[i];
    const auto& a = windowsAfter[i];
    SCOPED_TRACE(b.name);
    EXPECT_EQ(std::tie(a.name, a.caption, a.contentsFile, a.indexFile, a.defaultFile, a.homeFile),
              std::tie(b.name, b.caption, b.contentsFile, b.indexFile, b.defaultFile, b.homeFile));
    if (b.validMembers & 0x2) EXPECT_EQ(a.properties, b.properties);
    if (b.validMembers & 0x10) EXPECT_EQ(std::vector<int>(a.rect, a.rect + 4), std::vector<int>(b.rect, b.rect + 4));
    if (b.validMembers & 0x20) EXPECT_EQ(a.navWidth, b.navWidth);
    if (b.validMembers & 0x100) EXPECT_EQ(a.toolbarFlags, b.toolbarFlags);
  }
  const bool storedContents = std::any_of(original->entries().begin(), original->entries().end(), [](const auto& e) {
    return e.name.size() > 4 && e.name.compare(e.name.size() - 4, 4, ".hhc") == 0;
  });
  EXPECT_EQ(HasProjectLine(projectText, "Contents file"), storedContents);
}

class FixtureRoundTripTest : public ::testing::TestWithParam<const char*> {};

TEST_P(FixtureRoundTripTest, RebuiltFileHoldsTheSameContent) {
  ExpectRoundTrip(std::string(VELMORA_FIXTURE_DIR) + "/" + GetParam() + ".chm");
}

INSTANTIATE_TEST_SUITE_P(Fixtures, FixtureRoundTripTest,
                         ::testing::Values("nested", "chinese", "guide", "inplace", "manychunks"));

// chmcmd compresses about 150 files a second here, so files of a megabyte
// and more take long; they run among the slow tests.
constexpr std::uint64_t kLargeFile = 1000000;

// The corpus files below (blnLarge false) or from (true) kLargeFile bytes.
std::vector<std::string> RealFiles(bool blnLarge) {
  const std::string folder = std::string(VELMORA_CORPUS_DIR) + "/real";
  Manifest manifest(folder);
  std::vector<std::string> files;
  for (std::size_t r = 0; r < manifest.size(); ++r) {
    if ((std::stoull(manifest.cell(r, "bytes")) >= kLargeFile) == blnLarge)
      files.push_back(folder + "/" + manifest.cell(r, "file"));
  }
  return files;
}

std::string FileName(const ::testing::TestParamInfo<std::string>& info) {
  std::string name;
  for (unsigned char c : fs::path(info.param).stem().string()) name += std::isalnum(c) ? char(c) : '_';
  return "F" + name;
}

class RealRoundTripTest : public ::testing::TestWithParam<std::string> {};

TEST_P(RealRoundTripTest, RebuiltFileHoldsTheSameContent) { ExpectRoundTrip(GetParam()); }

TEST(RealRoundTripTest, CorpusIsPresent) {
  if (!fs::is_directory(std::string(VELMORA_CORPUS_DIR) + "/real"))
    GTEST_SKIP() << "no shared corpus at " << VELMORA_CORPUS_DIR << "; round trips skipped";
  EXPECT_FALSE(RealFiles(false).empty() && RealFiles(true).empty()) << "MANIFEST.tsv lists no files";
}

GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(RealRoundTripTest);
INSTANTIATE_TEST_SUITE_P(Real, RealRoundTripTest, ::testing::ValuesIn(RealFiles(false)), FileName);
INSTANTIATE_TEST_SUITE_P(RealLarge, RealRoundTripTest, ::testing::ValuesIn(RealFiles(true)), FileName);

}  // namespace
