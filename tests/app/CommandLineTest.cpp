// The command line of the unattended extraction: values end at the next
// option key (not at every "/", since Linux paths are full of them), blanks
// and enclosing quotes are dropped, defaults apply; the manual's example
// reads what the manual says it reads.

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <ostream>
#include <string>
#include <vector>

#include "app/CommandLine.h"

namespace velmora::app {
namespace {

struct CommandLineCase {
  const char* name;
  std::string strCommands;
  std::string strCHMFile;
  std::string strOutputPath;
  std::int32_t lngExtractType;
};

// Named rows read better than bytes in test listings.
void PrintTo(const CommandLineCase& c, std::ostream* os) { *os << c.name; }

class ReadCommandLineTest : public ::testing::TestWithParam<CommandLineCase> {};

TEST_P(ReadCommandLineTest, ReadsTheThreeValues) {
  const CommandLineCase& c = GetParam();
  const std::optional<CommandLineExtraction> extraction = ReadCommandLine(c.strCommands);
  ASSERT_TRUE(extraction.has_value());
  EXPECT_EQ(extraction->strCHMFile, c.strCHMFile);
  EXPECT_EQ(extraction->strOutputPath, c.strOutputPath);
  EXPECT_EQ(extraction->lngExtractType, c.lngExtractType);
  // Only the default folder is the program's own name (no row gives
  // "/path=" that very name).
  EXPECT_EQ(extraction->blnMadeUpFolder, c.strOutputPath == c.strCHMFile + "_文件内容");
}

const std::string kDefaultOut = "/doc/a.chm_文件内容";

INSTANTIATE_TEST_SUITE_P(
    Cases, ReadCommandLineTest,
    ::testing::Values(
        // The context-menu verb: the key and the quoted path, nothing else.
        CommandLineCase{"VerbForm", "/chm=\"/doc/a.chm\"", "/doc/a.chm", kDefaultOut, 1},
        CommandLineCase{"TypeDirectlyBeforeChm", "/type=4/chm=\"/doc/a.chm\"", "/doc/a.chm", kDefaultOut, 4},
        CommandLineCase{"TypeZero", "/chm=/doc/a.chm /type=0", "/doc/a.chm", kDefaultOut, 1},
        CommandLineCase{"TypeSeventeen", "/chm=/doc/a.chm /type=17", "/doc/a.chm", kDefaultOut, 1},
        CommandLineCase{"TypeNotANumber", "/chm=/doc/a.chm /type=abc", "/doc/a.chm", kDefaultOut, 1},
        CommandLineCase{"TypeMissing", "/chm=/doc/a.chm", "/doc/a.chm", kDefaultOut, 1},
        CommandLineCase{"TypeTwelve", "/chm=/doc/a.chm /type=12", "/doc/a.chm", kDefaultOut, 12},
        CommandLineCase{"TypeHalfToEven", "/chm=/doc/a.chm /type=12.5", "/doc/a.chm", kDefaultOut, 12},
        CommandLineCase{"TypeSixteen", "/chm=/doc/a.chm /type=16", "/doc/a.chm", kDefaultOut, 16},
        CommandLineCase{"KeyInCapitals", "/CHM=/doc/a.chm /Type=8", "/doc/a.chm", kDefaultOut, 8},
        // Blank-separated options: the quoted path loses its quotes and the
        // blank, and the type is still read.
        CommandLineCase{"BlankBetweenOptions", "/chm=\"/doc/a b.chm\" /type=4", "/doc/a b.chm",
                        "/doc/a b.chm_文件内容", 4},
        CommandLineCase{"SlashesInBothPaths", "/chm=/home/u/help/a.chm /path=/tmp/out dir/x",
                        "/home/u/help/a.chm", "/tmp/out dir/x", 1},
        CommandLineCase{"FoldersNamedLikeKeys", "/chm=/srv/chm/type/a.chm /path=/srv/path/out /type=8",
                        "/srv/chm/type/a.chm", "/srv/path/out", 8},
        CommandLineCase{"NextKeyInOtherCase", "/chm=/doc/a.chm/PATH=/out", "/doc/a.chm", "/out", 1},
        CommandLineCase{"OptionsInAnyOrder", "/path=\"/out put\" /type=16 /chm=\"/doc/a.chm\"", "/doc/a.chm",
                        "/out put", 16},
        CommandLineCase{"ChineseNames", "/chm=/文档/帮助 手册.chm", "/文档/帮助 手册.chm",
                        "/文档/帮助 手册.chm_文件内容", 1},
        CommandLineCase{"OnlyOpeningQuote", "/chm=\"/doc/a.chm", "/doc/a.chm", kDefaultOut, 1},
        CommandLineCase{"RelativePath", "/chm=a.chm", "a.chm", "a.chm_文件内容", 1},
        // Without "/chm=" the file is empty: the window reports it missing.
        CommandLineCase{"NoChmKey", "a.chm", "", "_文件内容", 1}),
    [](const ::testing::TestParamInfo<CommandLineCase>& info) { return std::string(info.param.name); });

TEST(ReadCommandLine, EmptyTextAsksForNothing) { EXPECT_FALSE(ReadCommandLine("").has_value()); }

struct ValueCase {
  const char* name;
  std::string strCommands;
  std::string strKey;
  std::string strExpected;  // the value starts as "kept"
};

void PrintTo(const ValueCase& c, std::ostream* os) { *os << c.name; }

class ParseCommandValueTest : public ::testing::TestWithParam<ValueCase> {};

TEST_P(ParseCommandValueTest, FindsTheValue) {
  const ValueCase& c = GetParam();
  std::string strValue = "kept";
  ParseCommandValue(c.strCommands, c.strKey, strValue);
  EXPECT_EQ(strValue, c.strExpected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ParseCommandValueTest,
    ::testing::Values(ValueCase{"KeyAbsent", "/type=4", "/chm=", "kept"},
                      ValueCase{"EmptyValueAtEnd", "/type=4 /chm=", "/chm=", "kept"},
                      ValueCase{"BlankValue", "/chm=   /type=4", "/chm=", "kept"},
                      ValueCase{"QuotesOnly", "/chm=\"\"", "/chm=", ""},
                      ValueCase{"FirstOccurrenceWins", "/chm=/a.chm /chm=/b.chm", "/chm=", "/a.chm"},
                      ValueCase{"InnerQuotesStay", "/chm=\"/a \"b\".chm\"", "/chm=", "/a \"b\".chm"},
                      ValueCase{"TabsTrimmed", "/type=\t4\t", "/type=", "4"},
                      ValueCase{"KeyWithoutEqualsIsNoKey", "/chm=/x/chm/type/a.chm", "/chm=",
                                "/x/chm/type/a.chm"}),
    [](const ::testing::TestParamInfo<ValueCase>& info) { return std::string(info.param.name); });

// The manual's command-line page shows an example and the three values it
// reads. The example goes through a shell (double quotes group words and are
// removed), the program joins the arguments after its name with single
// blanks, and the reader must find the values the page states.
std::string ReadManualPage(const std::string& strName) {
  std::ifstream page(std::string(VELMORA_MANUAL_DIR "/") + strName, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(page), std::istreambuf_iterator<char>());
}

// The text of the first element that opens with strOpening, up to its closing tag.
std::string ElementText(const std::string& strPage, const std::string& strOpening) {
  const std::size_t lngStart = strPage.find(strOpening);
  if (lngStart == std::string::npos) return std::string();
  const std::size_t lngText = strPage.find('>', lngStart) + 1;
  return strPage.substr(lngText, strPage.find('<', lngText) - lngText);
}

// The words a POSIX shell makes of the line (blanks separate, double quotes
// group and are dropped), joined by single blanks as the program does.
std::string ArgumentText(const std::string& strLine) {
  std::vector<std::string> strWords;
  std::string strWord;
  bool blnQuoted = false;
  bool blnInWord = false;
  for (char ch : strLine) {
    if (ch == '"') {
      blnQuoted = !blnQuoted;
      blnInWord = true;
    } else if (ch == ' ' && !blnQuoted) {
      if (blnInWord) strWords.push_back(strWord);
      strWord.clear();
      blnInWord = false;
    } else {
      strWord += ch;
      blnInWord = true;
    }
  }
  if (blnInWord) strWords.push_back(strWord);
  std::string strText;
  for (std::size_t i = 1; i < strWords.size(); ++i) strText += (i > 1 ? " " : "") + strWords[i];
  return strText;
}

TEST(ManualExample, ReadsTheValuesThePageStates) {
  const std::string strPage = ReadManualPage("commandline.htm");
  const std::string strExample = ElementText(strPage, "<code class=\"example\"");
  ASSERT_EQ(strExample.rfind("velmora ", 0), 0u) << strExample;
  const std::string strChm = ElementText(strPage, "<td class=\"chm\"");
  const std::string strPath = ElementText(strPage, "<td class=\"path\"");
  const std::string strType = ElementText(strPage, "<td class=\"type\"");
  ASSERT_FALSE(strChm.empty() || strPath.empty() || strType.empty());

  const std::optional<CommandLineExtraction> extraction = ReadCommandLine(ArgumentText(strExample));
  ASSERT_TRUE(extraction.has_value());
  EXPECT_EQ(extraction->strCHMFile, strChm);
  EXPECT_EQ(extraction->strOutputPath, strPath);
  EXPECT_EQ(std::to_string(extraction->lngExtractType), strType);
}

}  // namespace
}  // namespace velmora::app
