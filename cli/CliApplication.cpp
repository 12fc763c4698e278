#include "cli/CliApplication.h"

#include <exception>
#include <memory>

#include "cli/CatCommand.h"
#include "cli/CliMessages.h"
#include "cli/ExtractCommand.h"
#include "cli/ListCommand.h"
#include "cli/ListingCommand.h"
#include "cli/ProjectCommand.h"
#include "cli/SitemapCommand.h"
#include "cli/SearchCommand.h"

namespace velmora::cli {

namespace {

std::unique_ptr<CliCommand> MakeCommand(const std::string& name, const CliEnvironment& env) {
  if (name == "list") return std::make_unique<ListCommand>(env);
  if (name == "extract") return std::make_unique<ExtractCommand>(env);
  if (name == "listing") return std::make_unique<ListingCommand>(env);
  if (name == "cat") return std::make_unique<CatCommand>(env);
  if (name == "project") return std::make_unique<ProjectCommand>(env);
  if (name == "toc") return std::make_unique<SitemapCommand>(env, help::SitemapKind::Contents);
  if (name == "index") return std::make_unique<SitemapCommand>(env, help::SitemapKind::Index);
  if (name == "search") return std::make_unique<SearchCommand>(env);
  return nullptr;
}

}  // namespace

CliApplication::CliApplication(CliEnvironment env) : m_env(std::move(env)) {}

const char* CliApplication::UsageText() {
  return "用法：\n"
         "  velmora-cli list FILE.chm\n"
         "      按顺序列出CHM文件的全部内容（每深一层缩进两个空格），最后一行是统计。\n"
         "  velmora-cli extract FILE.chm [-o DIR] [-t TYPE]\n"
         "      反编译到文件夹DIR（默认为CHM文件路径加\"_文件内容\"）。\n"
         "      TYPE：1 所有内容（默认），4 图片，8 网页，16 多媒体，后三者可相加（如12）；\n"
         "      取开头的数字，四舍六入五成双，小于1或大于16时为1。\n"
         "  velmora-cli listing -o LIST.txt FILE.chm...\n"
         "      把CHM文件的文件列表写入LIST.txt（UTF-8，CR LF换行）。\n"
         "  velmora-cli cat FILE.chm KEY\n"
         "      把一个文件的内容写到标准输出。KEY是它在CHM文件中的路径，\n"
         "      如\\index.htm或html\\a.htm（也可用/，如/html/a.htm；不区分大小写）。\n"
         "  velmora-cli project FILE.chm [-o DIR]\n"
         "      写出可再编译的帮助工程到文件夹DIR（默认为CHM文件路径加\"_工程\"）：\n"
         "      全部内容文件和按CHM文件自身记录生成的工程文件（.hhp）。\n"
         "  velmora-cli toc FILE.chm\n"
         "      列出目录：每行一项，每深一层缩进两个空格，名称后接TAB和目标路径\n"
         "      （如/html/a.htm#b；标题项为空）；文件中没有的目标后再接TAB和\"缺失\"。\n"
         "  velmora-cli index FILE.chm\n"
         "      按同样格式列出索引的关键字，每个关键字的全部目标以TAB分隔。\n"
         "  velmora-cli search [--all] QUERY PATH...\n"
         "      在CHM文件（PATH为文件夹时，其中及各级子文件夹中的*.chm）的页面中搜索QUERY，\n"
         "      每行一个结果，最相关的在前：CHM文件路径::页面路径、TAB、标题、TAB、摘要（[[命中]]）；\n"
         "      默认前100个，--all 全部。空格分开的各词都须出现，\"引号\"内为一个词组；\n"
         "      不区分大小写和全角半角。索引保存在 $XDG_CACHE_HOME/velmora（默认 ~/.cache/velmora）。\n"
         "  velmora-cli --help\n"
         "      显示本帮助。\n"
         "退出状态：0 成功；1 文件不存在、不是CHM文件、无法读写或没有目录/索引；2 用法错误；\n"
         "  3 extract有内容未能导出（每项一行写到标准错误）。\n"
         "  search：0 有结果；1 没有结果；2 用法错误或没有可以读取的CHM文件。\n";
}

int CliApplication::Run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  if (args.empty()) {
    err << UsageText();
    return kExitUsage;
  }
  if (args[0] == "--help" || args[0] == "-h") {
    out << UsageText();
    return kExitSuccess;
  }
  std::unique_ptr<CliCommand> command = MakeCommand(args[0], m_env);
  if (!command) {
    err << kUsageErrorMessage << "未知命令 " << args[0] << "\n\n" << UsageText();
    return kExitUsage;
  }
  try {
    return command->execute(std::vector<std::string>(args.begin() + 1, args.end()), out, err);
  } catch (const std::exception& e) {
    // Whatever escapes a command (out of memory, a listing past 2 GiB) ends
    // it with a message instead of an abort.
    err << e.what() << '\n';
    return kExitFailure;
  }
}

}  // namespace velmora::cli
