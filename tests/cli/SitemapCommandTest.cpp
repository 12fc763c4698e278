// velmora-cli toc and index on built help files: the exact lines, merged
// contents spliced in without loops, missing targets marked, and the
// refusals.
#include <gtest/gtest.h>

#include "tests/cli/CliRun.h"
#include "tests/help/HelpRecords.h"
#include "tests/support/chm/ChmBuilder.h"

namespace {

using namespace velmora::test;
using velmora::testsupport::ChmBuilder;

TEST(SitemapCommandTest, ContentsWithMergedFilesAndIndexWithSeveralTargets) {
  ScratchFolder scratch;
  ChmBuilder a;
  a.add("/#SYSTEM", SystemRecords(0x804, {{0, "a.hhc"}, {1, "a.hhk"}}))
      .add("/a.hhc", SitemapHtml({"0 A1 a1.htm#x", "0 merge=b.chm::/b.hhc", "0 A2", "1 merge=C.CHM",
                                  "1 \xB7\xD6\x09tab html\\gone.htm"}))
      .add("/a.hhk",
           "<UL><LI><OBJECT type=\"text/sitemap\"><param name=\"Keyword\" value=\"kw\">"
           "<param name=\"Name\" value=\"t1\"><param name=\"Local\" value=\"a1.htm\">"
           "<param name=\"Name\" value=\"t2\"><param name=\"Local\" value=\"javascript:x()\">"
           "<param name=\"Name\" value=\"t3\"><param name=\"Local\" value=\"nope.htm\">"
           "<param name=\"Name\" value=\"t4\"><param name=\"Local\" value=\"http://example.com/\"></OBJECT>"
           "<UL><LI><OBJECT type=\"text/sitemap\"><param name=\"Keyword\" value=\"sub\">"
           "<param name=\"See Also\" value=\"kw\"></OBJECT></UL></UL>")
      .add("/a1.htm", "a1");
  ChmBuilder b;  // merges a.chm back: a loop
  b.add("/b.hhc", SitemapHtml({"0 B1 b1.htm", "1 B2 missing.htm", "0 merge=a.chm::/a.hhc"})).add("/b1.htm", "b1");
  ChmBuilder c;  // merges b.chm again and points into a.chm
  c.add("/c.hhc", SitemapHtml({"0 C1 ms-its:a.chm::/a1.htm", "0 merge=b.chm", "0 C2 ms-its:none.chm::/x.htm"}));
  ASSERT_TRUE(a.writeTo(scratch / "a.chm") && b.writeTo(scratch / "b.chm") && c.writeTo(scratch / "c.chm"));

  CliRun run = RunCli({"toc", scratch / "a.chm"});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(run.out,
            "A1\t/a1.htm#x\n"
            "B1\tb.chm::/b1.htm\n"
            "  B2\tb.chm::/missing.htm\t缺失\n"
            "A2\t\n"
            "  C1\t/a1.htm\n"
            "  C2\tnone.chm::/x.htm\t缺失\n"
            "  分\\x09tab\t/html/gone.htm\t缺失\n");

  run = RunCli({"index", scratch / "a.chm"});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, "kw\t/a1.htm\t/nope.htm\t缺失\thttp://example.com/\n  sub\t\n");
}

TEST(SitemapCommandTest, Refusals) {
  ScratchFolder scratch;
  ChmBuilder plain;
  plain.add("/a.htm", "a");
  ASSERT_TRUE(plain.writeTo(scratch / "plain.chm"));
  ChmBuilder damaged;  // its contents file is declared past the end of the file
  damaged.add({"/toc.hhc", "<UL>", std::uint64_t{1} << 20, 16, 0});
  ASSERT_TRUE(damaged.writeTo(scratch / "damaged.chm"));
  const std::string notChm = WriteFile(scratch / "x.chm", "not a help file");
  struct Case {
    std::vector<std::string> args;
    int status;
    std::string err;
  };
  const Case cases[] = {
      {{"toc"}, 2, "用法错误：toc 需要一个CHM文件"},
      {{"index", "a.chm", "b.chm"}, 2, "用法错误：index 需要一个CHM文件"},
      {{"toc", scratch / "missing.chm"}, 1, "文件不存在：" + scratch / "missing.chm" + "\n"},
      {{"index", notChm}, 1, "解释文件失败，可能该文件不是chm文件。\n"},
      {{"toc", scratch / "plain.chm"}, 1, "该文件没有目录（.hhc）：" + scratch / "plain.chm" + "\n"},
      {{"index", scratch / "plain.chm"}, 1, "该文件没有索引（.hhk）：" + scratch / "plain.chm" + "\n"},
      {{"toc", scratch / "damaged.chm"}, 1, "读取文件失败：/toc.hhc\n"},
  };
  for (const auto& c : cases) {
    const CliRun run = RunCli(c.args);
    EXPECT_EQ(run.status, c.status) << c.err;
    EXPECT_EQ(run.err.substr(0, c.err.size()), c.err);
    EXPECT_EQ(run.out, "");
  }
}

}  // namespace
