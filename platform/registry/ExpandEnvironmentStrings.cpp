#include "platform/registry/ExpandEnvironmentStrings.h"

#include <cstdlib>

namespace velmora::platform {

std::string ExpandEnvironmentStrings(const std::string& text) {
  std::string out;
  std::size_t pos = 0;
  while (pos < text.size()) {
    const auto open = text.find('%', pos);
    if (open == std::string::npos) break;
    out.append(text, pos, open - pos);
    const auto close = text.find('%', open + 1);
    if (close == std::string::npos) {
      pos = open;
      break;
    }
    const std::string name = text.substr(open + 1, close - open - 1);
    const char* value = name.empty() ? nullptr : std::getenv(name.c_str());
    if (value != nullptr) {
      out += value;
      pos = close + 1;
    } else {
      out.append(text, open, close - open);  // "%NAME"; the closing "%" is read again
      pos = close;
    }
  }
  out.append(text, pos, std::string::npos);
  return out;
}

}  // namespace velmora::platform
