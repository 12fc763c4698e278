#include "engine/ContentCategory.h"

#include <gtest/gtest.h>

#include <string>

namespace velmora::engine {
namespace {

struct CategoryCase {
  std::string extension;
  ContentCategory expected;
};

class ContentCategoryTest : public testing::TestWithParam<CategoryCase> {};

TEST_P(ContentCategoryTest, SortsExtension) {
  EXPECT_EQ(CategoryOfExtension(GetParam().extension), GetParam().expected);
}

std::vector<CategoryCase> AllCases() {
  std::vector<CategoryCase> cases;
  for (const char* e : {"htm", "html", "css", "js", "vbs", "dhtml", "asp", "aspx", "jsp", "php"})
    cases.push_back({e, ContentCategory::Page});
  for (const char* e : {"avi", "rm", "rmvb", "mov", "wmv", "mp3", "wma"}) cases.push_back({e, ContentCategory::Multimedia});
  for (const char* e : {"bmp", "wmf", "jpg", "jpeg", "png", "gif", "ico"}) cases.push_back({e, ContentCategory::Picture});
  // Exact comparison: no upper case, no prefixes or suffixes, no other kinds.
  for (const char* e : {"", "HTM", "txt", "xml", "hhc", "hhk", "mp4", "svg", "htmlx", "ht", "jpg ", "m"})
    cases.push_back({e, ContentCategory::None});
  return cases;
}

INSTANTIATE_TEST_SUITE_P(Extensions, ContentCategoryTest, testing::ValuesIn(AllCases()),
                         [](const testing::TestParamInfo<CategoryCase>& info) {
                           std::string name = info.param.extension.empty() ? "empty" : info.param.extension;
                           for (char& c : name) {
                             if (!isalnum(static_cast<unsigned char>(c))) c = '_';
                           }
                           return name + "_" + std::to_string(info.index);
                         });

}  // namespace
}  // namespace velmora::engine
