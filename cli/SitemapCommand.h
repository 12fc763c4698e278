#pragma once
// velmora-cli toc FILE.chm and velmora-cli index FILE.chm: the help file's
// contents or index, one entry a line: two blanks per level, the name, and
// for each target a TAB and its stored path ("/dir/page.htm#anchor",
// "other.chm::/page.htm" for another CHM file in the same folder, a web
// address), followed by a TAB and "缺失" when it is not there. A heading
// has a TAB and nothing after it. Names and targets are UTF-8 with control
// characters escaped. Entries the contents merge from other CHM files in
// the same folder are listed where they are merged.

#include "cli/CliCommand.h"
#include "engine/help/HelpListing.h"

namespace velmora::cli {

class SitemapCommand : public CliCommand {
 public:
  SitemapCommand(const CliEnvironment& env, help::SitemapKind kind) : CliCommand(env), m_kind(kind) {}
  int execute(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) override;

 private:
  help::SitemapKind m_kind;
};

}  // namespace velmora::cli
