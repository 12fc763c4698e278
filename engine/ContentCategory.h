#pragma once
// The category of a stored stream, decided by its lower-cased extension.

#include <string_view>

namespace velmora::engine {

enum class ContentCategory { None, Page, Multimedia, Picture };

// Pages: htm html css js vbs dhtml asp aspx jsp php; multimedia: avi rm rmvb
// mov wmv mp3 wma; pictures: bmp wmf jpg jpeg png gif ico. The comparison is
// exact, so the extension must already be lower-cased.
ContentCategory CategoryOfExtension(std::string_view strExtension);

}  // namespace velmora::engine
