#include "cli/CliProgress.h"

#include <string>

#include "engine/ReportText.h"

namespace velmora::cli {

namespace {
// Back to the start of the line, and erase what is left of the old text.
constexpr const char* kLineStart = "\r";
constexpr const char* kEraseToEnd = "\x1b[K";
}  // namespace

CliProgress::CliProgress(std::ostream& err, bool blnEnabled) : m_err(err), m_blnEnabled(blnEnabled) {}

void CliProgress::Attach(engine::cCHMParser& parser) {
  parser.Progress = [this](const std::string& strName, std::int32_t lngSize, bool blnExtract) {
    // The text is only made when it is shown.
    if (++m_lngProgressCount % 5 == 0 && m_blnEnabled) Show(engine::ProgressText(strName, lngSize, blnExtract));
  };
  parser.WriteProgress = [this](std::uint64_t done, std::uint64_t total) {
    const int percent = total == 0 ? 100 : static_cast<int>(done * 100 / total);
    if (percent == m_lastPercent || !m_blnEnabled) return;
    m_lastPercent = percent;
    Show("正在写入：" + std::to_string(percent) + "%");
  };
}

void CliProgress::Finish() {
  if (m_blnShown) m_err << kLineStart << kEraseToEnd << std::flush;
  m_blnShown = false;
}

void CliProgress::Show(const std::string& strText) {
  if (!m_blnEnabled) return;
  m_err << kLineStart << strText << kEraseToEnd << std::flush;
  m_blnShown = true;
}

}  // namespace velmora::cli
