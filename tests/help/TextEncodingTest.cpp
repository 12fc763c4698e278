// The encoding rules on the byte patterns help files really contain:
// legacy code pages, byte order marks, declarations the bytes contradict
// and bytes that are valid in nothing.
#include <gtest/gtest.h>

#include "engine/help/TextEncoding.h"

namespace {

using namespace velmora::help;

const std::string kGbkChinese = "\xD6\xD0\xCE\xC4";                                      // 中文
const std::string kSjisDocument = "\x83\x68\x83\x4C\x83\x85\x83\x81\x83\x93\x83\x67";  // ドキュメント
const std::string kCp1251Help = "\xD1\xEF\xF0\xE0\xE2\xEA\xE0";                          // Справка

TEST(TextEncodingTest, CodePageOfEachLanguage) {
  const std::pair<std::uint32_t, const char*> cases[] = {
      {0x0804, "GBK"},    {0x1004, "GBK"},    {0x0404, "BIG5"},   {0x0C04, "BIG5"},   {0x1404, "BIG5"},
      {0x0411, "CP932"},  {0x0412, "CP949"},  {0x0419, "CP1251"}, {0x0422, "CP1251"}, {0x0415, "CP1250"},
      {0x041A, "CP1250"}, {0x0C1A, "CP1251"}, {0x1C1A, "CP1251"}, {0x042C, "CP1254"}, {0x082C, "CP1251"},
      {0x0408, "CP1253"}, {0x041F, "CP1254"}, {0x040D, "CP1255"}, {0x0401, "CP1256"}, {0x0426, "CP1257"},
      {0x041E, "CP874"},  {0x042A, "CP1258"}, {0x0409, "CP1252"}, {0x0C09, "CP1252"}, {0x007F, "CP1252"},
  };
  for (const auto& [lcid, codePage] : cases) EXPECT_EQ(CodePageForLanguage(lcid), codePage) << std::hex << lcid;
}

TEST(TextEncodingTest, DecodeTextByBomThenUtf8ThenCodePage) {
  struct Case {
    std::string bytes;
    const char* codePage;
    std::string utf8;
  };
  const Case cases[] = {
      {kGbkChinese + ".htm", "GBK", "中文.htm"},
      {kSjisDocument, "CP932", "ドキュメント"},
      {"dir\\" + kSjisDocument, "CP932", "dir\\ドキュメント"},  // 0x5C stays a backslash
      {kCp1251Help, "CP1251", "Справка"},
      {"\x93q\x94", "CP1252", "“q”"},
      // Valid UTF-8 is taken as it is, whatever the language says.
      {"中文", "GBK", "中文"},
      {"Справка", "CP1251", "Справка"},
      // A BOM decides over the code page and is dropped.
      {"\xEF\xBB\xBF" "中文", "CP932", "中文"},
      {std::string("\xFF\xFE\x2D\x4E\x87\x65", 6), "GBK", "中文"},
      {std::string("\xFE\xFF\x4E\x2D\x65\x87", 6), "GBK", "中文"},
      // Bytes valid in neither become U+FFFD, one for each byte that
      // cannot begin a character; the rest is kept.
      {"a\xFF" "b" + kGbkChinese, "GBK", "a\xEF\xBF\xBD" "b中文"},
      {kGbkChinese + "\x81", "GBK", "中文\xEF\xBF\xBD"},
      {"\x80\x80", "CP932", "\xEF\xBF\xBD\xEF\xBF\xBD"},
      {std::string("\xFF\xFE\x41\x00\x42", 5), "GBK", "A\xEF\xBF\xBD"},
      {"a\xC3", "NO-SUCH-CODE-PAGE", "a\xEF\xBF\xBD"},
      {"", "GBK", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(DecodeText(c.bytes, c.codePage), c.utf8) << c.utf8;
}

TEST(TextEncodingTest, PageCharsetBelievesTheBytesOverTheDeclaration) {
  struct Case {
    std::string head;
    const char* codePage;
    const char* charset;
  };
  const Case cases[] = {
      // A BOM or valid UTF-8 beats what the page declares.
      {"\xEF\xBB\xBF<meta charset=windows-1251>\xD0\xA1", "CP1252", "UTF-8"},
      {std::string("\xFF\xFE<\0h\0", 6), "GBK", "UTF-16LE"},
      {"<meta charset=\"iso-8859-1\">中文", "GBK", "UTF-8"},
      // A head cut inside a character is still UTF-8.
      {"<p>中文" + std::string("\xE6\x96"), "GBK", "UTF-8"},
      // Declarations are read as browsers read their labels.
      {"<meta http-equiv=\"Content-Type\" content=\"text/html; charset=us-ascii\">\x93q\x94", "CP1252", "CP1252"},
      {"<META HTTP-EQUIV=Content-Type CONTENT='text/html; charset=gb2312'>" + kGbkChinese, "CP1252", "GBK"},
      {"<meta charset = Shift_JIS>" + kSjisDocument, "GBK", "CP932"},
      {"<?xml version=\"1.0\" encoding=\"windows-1251\"?><html>" + kCp1251Help, "GBK", "WINDOWS-1251"},
      {"<html><meta name=x><meta charset=koi8-r>", "CP1252", "KOI8-R"},
      // A declaration the bytes contradict, or one iconv does not know,
      // gives way to the language's code page.
      {"<meta charset=utf-8>" + kGbkChinese, "GBK", "GBK"},
      {"<meta charset=UTF-8><p>ASCII as far as the head goes", "GBK", "UTF-8"},
      {"<meta charset=utf-16><p>" + kGbkChinese, "GBK", "GBK"},
      {"<meta charset=no-such-charset><p>" + kGbkChinese, "GBK", "GBK"},
      {"<p>" + kSjisDocument, "CP932", "CP932"},
      {"<p>plain ASCII", "CP1251", "CP1251"},
  };
  for (const auto& c : cases) EXPECT_EQ(PageCharset(c.head, c.codePage), c.charset) << c.head;
}

TEST(TextEncodingTest, ToUtf8AndStrictConversion) {
  EXPECT_EQ(ToUtf8("\xEF\xBB\xBF" "abc", "UTF-8"), "abc");
  EXPECT_EQ(ToUtf8("\xC0\xAF" "a", "UTF-8"), "\xEF\xBF\xBD\xEF\xBF\xBD" "a");  // overlong
  EXPECT_EQ(ToUtf8(kCp1251Help, "WINDOWS-1251"), "Справка");
  EXPECT_EQ(ToUtf8("a\xE9", "no-such-charset"), "a\xEF\xBF\xBD");
  EXPECT_EQ(ConvertText("中文", "UTF-8", "GBK"), kGbkChinese);
  EXPECT_EQ(ConvertText("\xFF\xFE", "UTF-8", "GBK"), std::nullopt);
  EXPECT_EQ(ConvertText("a", "NO-SUCH-CODE-PAGE", "UTF-8"), std::nullopt);
}

TEST(TextEncodingTest, Utf8Validity) {
  const std::pair<std::string, bool> cases[] = {
      {"", true},         {"abc", true},       {"中文", true},          {"\xF0\x9F\x98\x80", true},
      {"\xC0\x80", false}, {"\xE0\x80\x80", false}, {"\xED\xA0\x80", false}, {"\xF4\x90\x80\x80", false},
      {"\x80", false},     {"\xE4\xB8", false},  {kGbkChinese, false},
  };
  for (const auto& [bytes, valid] : cases) EXPECT_EQ(IsValidUtf8(bytes), valid) << bytes;
  EXPECT_TRUE(IsValidUtf8("\xE4\xB8", true));
  EXPECT_FALSE(IsValidUtf8("\xE4\x41", true));
}

}  // namespace
