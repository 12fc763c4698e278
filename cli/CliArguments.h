#pragma once
// A command's arguments split into options that take a value ("-o DIR") and
// positional arguments. "--" ends the options, so a file named "-x.chm" can
// still be given.

#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace velmora::cli {

class CliArguments {
 public:
  // valueOptions: every option the command knows that takes a value, e.g.
  // {"-o", "-t"}; flags: those that stand alone, e.g. {"--all"}.
  CliArguments(const std::vector<std::string>& args, const std::vector<std::string>& valueOptions,
               const std::vector<std::string>& flags = {});

  // Empty when the arguments are well formed, otherwise what is wrong
  // (unknown option, option without its value, option given twice).
  const std::string& error() const { return m_error; }
  const std::vector<std::string>& positional() const { return m_positional; }
  std::optional<std::string> value(const std::string& option) const;
  bool has(const std::string& flag) const { return m_flags.count(flag) != 0; }

 private:
  std::map<std::string, std::string> m_values;
  std::set<std::string> m_flags;
  std::vector<std::string> m_positional;
  std::string m_error;
};

}  // namespace velmora::cli
