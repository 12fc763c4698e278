// Writes the crafted part of the fuzz seed corpus into the folder given:
// small CHM files with what no help compiler writes (names that try to leave
// the output folder, duplicated and case-twin names, declared places past
// the data, chmcmd's header quirks, truncation), so the fuzzer starts from
// the shapes the reader must survive. The compiled fixtures are added beside
// them by the build.

#include <cstdio>
#include <string>

#include "tests/support/chm/ChmBuilder.h"

using velmora::testsupport::ChmBuilder;

namespace {

ChmBuilder Small() {
  ChmBuilder builder;
  builder.add("/#SYSTEM", ChmBuilder::SystemStream(0x804))
      .add("/index.htm", "<html><body>index</body></html>")
      .add("/html/a.htm", "page a")
      .add("/html/images/b.gif", "GIF89a\x01\x00\x01\x00")
      .add("::DataSpace/NameList", "names");
  return builder;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s OUTPUT_FOLDER\n", argv[0]);
    return 2;
  }
  const std::string folder = std::string(argv[1]) + "/";
  bool ok = true;
  const auto write = [&](const std::string& name, const ChmBuilder& builder) {
    if (!builder.writeTo(folder + name)) {
      std::fprintf(stderr, "cannot write %s%s\n", folder.c_str(), name.c_str());
      ok = false;
    }
  };

  write("crafted-small.chm", Small());
  write("crafted-chmcmd-header.chm", Small().duplicateGuid().pmglRange(1, 1));

  ChmBuilder names = Small();
  names.add("/../../escape.htm", "up")
      .add("/html/../../../escape2.htm", "up again")
      .add("//root.htm", "double slash")
      .add("/a//b.htm", "empty folder name")
      .add("/./dot.htm", "dot")
      .add("/..", "dot dot stream")
      .add("/back\\slash\\..\\..\\x.htm", "backslashes")
      .add(std::string("/ctl\x01\x1f\x7f.htm"), "control characters")
      .add("/" + std::string(300, 'L') + ".htm", "long name")
      .add("/Docs/ÄÖ Straße.HTM", "latin")
      .add("/Справка/Главная.htm", "cyrillic")
      .addFolder("/empty/");
  write("crafted-names.chm", names);

  ChmBuilder twins = Small();
  twins.add("/dup.htm", "first").add("/dup.htm", "second, longer").add("/DUP.htm", "upper").add("/Html/a.htm", "twin");
  write("crafted-twins.chm", twins);

  ChmBuilder places = Small();
  places.add({"/past-end.htm", "x", 1u << 20, 16, 0})
      .add({"/huge.htm", "x", 0, std::uint64_t{1} << 40, 0})
      .add({"/wrapping.htm", "x", ~std::uint64_t{0} - 4, 100, 0})
      .add({"/compressed.htm", "x", 0, 1u << 26, 1})
      .add({"/section7.htm", "x", 0, 4, 7});
  write("crafted-places.chm", places);

  ChmBuilder many;
  for (int i = 0; i < 300; ++i) many.add("/d" + std::to_string(i % 7) + "/p" + std::to_string(i) + ".htm", "p");
  write("crafted-many-chunks.chm", many);
  write("crafted-truncated.chm", ChmBuilder(many).truncateAt(0xCC + 4096 + 200));
  write("crafted-empty.chm", ChmBuilder());

  // A help file whose records and contents lie: #SYSTEM names a contents
  // file in GBK, the contents nest, merge themselves and point outside.
  std::string contents = "<OBJECT type=\"text/site properties\"></OBJECT>";
  for (int i = 0; i < 40; ++i) contents += "<UL><LI><OBJECT type=\"text/sitemap\"><param name=\"Name\" value=\"&#x4E2D;&Atilde;\">";
  contents +=
      "<param name=\"Local\" value=\"..\\..\\a%20b.htm#x\"><param name=\"Name\" value=\"t\">"
      "<param name=\"Local\" value=\"mk:@MSITStore:help.chm::/html/a.htm\"></OBJECT>"
      "<LI><OBJECT type=\"text/sitemap\"><param name=\"Merge\" value=\"help.chm::/\xC4\xBF.hhc\">"
      "<param name=\"Keyword\" value=\"javascript\"><param name=\"Local\" value=\"javascript:alert(1)\">"
      "<param name=\"See Also\" value=\"x\"><param name=\"ImageNumber\" value=\"99999999999\">";
  std::string system = std::string("\3\0\0\0\4\0\x24\0\x04\x08\0\0", 12) + std::string(32, '\0');
  system += std::string("\0\0\x08\0\xC4\xBF.hhc\0", 12) + std::string("\6\0\5\0help\0", 9);
  ChmBuilder help;
  help.add("/#SYSTEM", system).add("/目.hhc", contents).add("/a b.htm", "a").add("/html/a.htm", "b");
  write("crafted-help.chm", help);
  return ok ? 0 : 1;
}
