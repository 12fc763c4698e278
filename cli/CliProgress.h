#pragma once
// The progress line of a walk on standard error: every fifth stream the walk
// reports (as the window's status line does), then the share written while
// the selected streams go to disk. Each update overwrites the line in place.

#include <cstdint>
#include <ostream>

#include "engine/cCHMParser.h"

namespace velmora::cli {

class CliProgress {
 public:
  CliProgress(std::ostream& err, bool blnEnabled);

  // Connects the parser's Progress and WriteProgress to this line.
  void Attach(engine::cCHMParser& parser);
  // Erases the line, so that what follows starts on a clean line.
  void Finish();

 private:
  void Show(const std::string& strText);

  std::ostream& m_err;
  bool m_blnEnabled;
  std::int32_t m_lngProgressCount = 0;
  int m_lastPercent = -1;
  bool m_blnShown = false;
};

}  // namespace velmora::cli
