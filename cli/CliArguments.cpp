#include "cli/CliArguments.h"

#include <algorithm>

namespace velmora::cli {

CliArguments::CliArguments(const std::vector<std::string>& args, const std::vector<std::string>& valueOptions,
                           const std::vector<std::string>& flags) {
  bool blnOptionsEnded = false;
  for (std::size_t i = 0; i < args.size() && m_error.empty(); ++i) {
    const std::string& arg = args[i];
    if (blnOptionsEnded || arg.size() < 2 || arg[0] != '-') {
      m_positional.push_back(arg);
    } else if (arg == "--") {
      blnOptionsEnded = true;
    } else if (std::find(flags.begin(), flags.end(), arg) != flags.end()) {
      if (!m_flags.insert(arg).second) m_error = "选项 " + arg + " 重复";
    } else if (std::find(valueOptions.begin(), valueOptions.end(), arg) == valueOptions.end()) {
      m_error = "未知选项 " + arg;
    } else if (i + 1 == args.size()) {
      m_error = "选项 " + arg + " 缺少值";
    } else if (!m_values.emplace(arg, args[++i]).second) {
      m_error = "选项 " + arg + " 重复";
    }
  }
}

std::optional<std::string> CliArguments::value(const std::string& option) const {
  auto it = m_values.find(option);
  if (it == m_values.end()) return std::nullopt;
  return it->second;
}

}  // namespace velmora::cli
