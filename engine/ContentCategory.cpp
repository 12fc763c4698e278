#include "engine/ContentCategory.h"

#include <array>

namespace velmora::engine {

namespace {

constexpr std::array<std::string_view, 10> kPages = {"htm", "html", "css", "js",  "vbs",
                                                     "dhtml", "asp", "aspx", "jsp", "php"};
constexpr std::array<std::string_view, 7> kMultimedia = {"avi", "rm", "rmvb", "mov", "wmv", "mp3", "wma"};
constexpr std::array<std::string_view, 7> kPictures = {"bmp", "wmf", "jpg", "jpeg", "png", "gif", "ico"};

template <std::size_t N>
bool Contains(const std::array<std::string_view, N>& list, std::string_view ext) {
  for (auto item : list) {
    if (item == ext) return true;
  }
  return false;
}

}  // namespace

ContentCategory CategoryOfExtension(std::string_view strExtension) {
  if (Contains(kPages, strExtension)) return ContentCategory::Page;
  if (Contains(kMultimedia, strExtension)) return ContentCategory::Multimedia;
  if (Contains(kPictures, strExtension)) return ContentCategory::Picture;
  return ContentCategory::None;
}

}  // namespace velmora::engine
