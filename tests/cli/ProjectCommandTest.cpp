// velmora-cli project: its arguments, the default folder, and a crafted CHM
// file whose names and records lie, which must give a project inside the
// output folder without the compiler's streams and without extra lines.
#include <gtest/gtest.h>

#include <filesystem>

#include "TestPaths.h"
#include "tests/cli/CliRun.h"
#include "tests/support/chm/ChmBuilder.h"

namespace {

using namespace velmora::test;
namespace fs = std::filesystem;

TEST(ProjectCommandTest, RefusesWhatItCannotDo) {
  ScratchFolder scratch;
  const std::string file = WriteFile(scratch / "file", "x");
  struct Case {
    std::vector<std::string> args;
    int status;
    std::string err;  // start of the error text
  };
  const Case cases[] = {
      {{"project"}, 2, "用法错误：project 需要一个CHM文件"},
      {{"project", "a.chm", "b.chm"}, 2, "用法错误：project 需要一个CHM文件"},
      {{"project", "a.chm", "-o", ""}, 2, "用法错误：-o 的文件夹为空"},
      {{"project", "a.chm", "-t", "1"}, 2, "用法错误：未知选项 -t"},
      {{"project", scratch / "missing.chm", "-o", scratch / "out"}, 1, "文件不存在：" + scratch / "missing.chm"},
      {{"project", file, "-o", scratch / "out"}, 1, "解释文件失败，可能该文件不是chm文件。"},
      {{"project", std::string(VELMORA_FIXTURE_DIR) + "/guide.chm", "-o", file}, 1, "写入文件失败：" + file},
  };
  for (const auto& c : cases) {
    CliRun run = RunCli(c.args);
    EXPECT_EQ(run.status, c.status) << c.args.size();
    EXPECT_EQ(run.err.substr(0, c.err.size()), c.err);
    EXPECT_EQ(run.out, "");
  }
}

TEST(ProjectCommandTest, DefaultFolderBesideTheChm) {
  ScratchFolder scratch;
  const std::string chm = scratch / "指南.chm";
  fs::copy_file(std::string(VELMORA_FIXTURE_DIR) + "/guide.chm", chm);
  CliRun run = RunCli({"project", chm});
  ASSERT_EQ(run.status, 0) << run.err;
  const std::string folder = scratch / "指南.chm_工程";
  EXPECT_NE(ReadFile(folder + "/指南.hhp").find("\r\nCompiled file=指南.chm\r\n"), std::string::npos);
  EXPECT_EQ(ReadFile(folder + "/index.htm"), ReadFile(std::string(VELMORA_TEST_SOURCE_DIR) + "/fixtures/guide/index.htm"));
  EXPECT_FALSE(fs::exists(folder + "/#SYSTEM"));
}

std::string Le32(std::uint32_t v) {
  return {char(v & 0xFF), char((v >> 8) & 0xFF), char((v >> 16) & 0xFF), char(v >> 24)};
}

TEST(ProjectCommandTest, LyingNamesAndRecordsStayInside) {
  ScratchFolder scratch;
  std::string title = "Evil\r\n[FILES]\r\n../../etc/passwd";
  title += '\0';
  const std::string system = Le32(3) + std::string{3, 0} + char(title.size()) + '\0' + title +
                             std::string{2, 0, char(0xFF), char(0xFF)} + "short";  // a record past the end
  const std::string windows = Le32(0xFFFFFFFF) + Le32(0x188) + std::string(0x100, '\x7F');  // cut entry
  velmora::testsupport::ChmBuilder builder;
  builder.add("/#SYSTEM", system)
      .add("/#WINDOWS", windows)
      .add("/#STRINGS", std::string(3, '\0'))
      .add("/$WWKeywordLinks/BTree", "b")
      .add("/../evil.htm", "evil")
      .add("/sub/a.htm", "a")
      .add("/lies.hhp", "stored project file")
      .add("/sub/b.htm", "");
  const std::string chm = scratch / "lies.chm";
  ASSERT_TRUE(builder.writeTo(chm));

  CliRun run = RunCli({"project", chm, "-o", scratch / "out"});
  ASSERT_EQ(run.status, 0) << run.err;
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(scratch.path())) names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"lies.chm", "out"}));
  std::vector<std::string> written;
  for (const auto& file : FilesBelow(scratch.path() / "out")) written.push_back(file.first);
  // The empty sub/b.htm is a file of the project as well.
  EXPECT_EQ(written, (std::vector<std::string>{"_../evil.htm", "lies.hhp", "sub/a.htm", "sub/b.htm"}));
  EXPECT_EQ(ReadFile(scratch / "out/lies.hhp"),
            "[OPTIONS]\r\nCompiled file=lies.chm\r\nLanguage=0x409 English (United States)\r\n"
            "Title=Evil  [FILES]  ../../etc/passwd\r\n\r\n[FILES]\r\n_../evil.htm\r\nsub/a.htm\r\nsub/b.htm\r\n");
}

}  // namespace
