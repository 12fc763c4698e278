#include "app/PreviewChoice.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace velmora::app {
namespace {

template <std::size_t N>
bool IsOneOf(const std::string& strExtension, const std::array<std::string_view, N>& list) {
  return std::find(list.begin(), list.end(), strExtension) != list.end();
}

constexpr std::array<std::string_view, 4> kExecutables{"exe", "com", "dll", "scr"};
constexpr std::array<std::string_view, 2> kScripts{"js", "vbs"};
// What the browser shows (or plays) under the file's own name.
constexpr std::array<std::string_view, 22> kViewable{
    "htm", "html", "jpg", "jpeg", "png", "gif", "bmp", "ico",  "wmf", "svg", "swf",
    "rmvb", "rm", "avi", "mov", "wma", "wmv", "mpg", "mpeg", "midi", "mid", "flv"};

}  // namespace

PreviewChoice ChoosePreview(const std::string& strExtension) {
  if (IsOneOf(strExtension, kExecutables)) return {PreviewConfirmation::Executable, strExtension, false};
  // A confirmed script is shown as plain text.
  if (IsOneOf(strExtension, kScripts)) return {PreviewConfirmation::Script, "txt", false};
  if (IsOneOf(strExtension, kViewable)) return {PreviewConfirmation::None, strExtension, false};
  // Style sheets, tables of contents, text and names without an extension
  // are copied and shown as a page.
  return {PreviewConfirmation::None, "htm", true};
}

}  // namespace velmora::app
