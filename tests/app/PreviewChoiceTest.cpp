// The preview's treatment of a stored file by extension.

#include <gtest/gtest.h>

#include <ostream>

#include "app/PreviewChoice.h"

namespace velmora::app {
namespace {

struct ChoiceCase {
  std::string strExtension;
  PreviewConfirmation confirmation;
  std::string strCopyExtension;
  bool blnForceCopy;
};

void PrintTo(const ChoiceCase& c, std::ostream* os) { *os << '"' << c.strExtension << '"'; }

class ChoosePreviewTest : public ::testing::TestWithParam<ChoiceCase> {};

TEST_P(ChoosePreviewTest, ClassifiesTheExtension) {
  const ChoiceCase& c = GetParam();
  const PreviewChoice choice = ChoosePreview(c.strExtension);
  EXPECT_EQ(choice.confirmation, c.confirmation);
  EXPECT_EQ(choice.strCopyExtension, c.strCopyExtension);
  EXPECT_EQ(choice.blnForceCopy, c.blnForceCopy);
}

using C = PreviewConfirmation;

INSTANTIATE_TEST_SUITE_P(
    Executables, ChoosePreviewTest,
    ::testing::Values(ChoiceCase{"exe", C::Executable, "exe", false}, ChoiceCase{"com", C::Executable, "com", false},
                      ChoiceCase{"dll", C::Executable, "dll", false}, ChoiceCase{"scr", C::Executable, "scr", false}),
    [](const auto& info) { return info.param.strExtension; });

INSTANTIATE_TEST_SUITE_P(Scripts, ChoosePreviewTest,
                         ::testing::Values(ChoiceCase{"js", C::Script, "txt", false},
                                           ChoiceCase{"vbs", C::Script, "txt", false}),
                         [](const auto& info) { return info.param.strExtension; });

INSTANTIATE_TEST_SUITE_P(
    ShownAsThey, ChoosePreviewTest,
    ::testing::Values(ChoiceCase{"htm", C::None, "htm", false}, ChoiceCase{"html", C::None, "html", false},
                      ChoiceCase{"jpeg", C::None, "jpeg", false}, ChoiceCase{"svg", C::None, "svg", false},
                      ChoiceCase{"ico", C::None, "ico", false}, ChoiceCase{"wmf", C::None, "wmf", false},
                      ChoiceCase{"rmvb", C::None, "rmvb", false}, ChoiceCase{"mid", C::None, "mid", false},
                      ChoiceCase{"flv", C::None, "flv", false}),
    [](const auto& info) { return info.param.strExtension; });

// Everything else, a name without extension included, is copied and shown
// as a page; mp3 is multimedia to the walker but not in the viewer's list.
INSTANTIATE_TEST_SUITE_P(
    CopiedAsPage, ChoosePreviewTest,
    ::testing::Values(ChoiceCase{"css", C::None, "htm", true}, ChoiceCase{"hhc", C::None, "htm", true},
                      ChoiceCase{"txt", C::None, "htm", true}, ChoiceCase{"", C::None, "htm", true},
                      ChoiceCase{"mp3", C::None, "htm", true}, ChoiceCase{"EXE", C::None, "htm", true}),
    [](const auto& info) { return info.param.strExtension.empty() ? std::string("none") : info.param.strExtension; });

}  // namespace
}  // namespace velmora::app
