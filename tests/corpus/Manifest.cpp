#include "tests/corpus/Manifest.h"

#include <algorithm>
#include <fstream>
#include <sstream>

namespace velmora::test {

namespace {

std::vector<std::string> SplitTabs(std::string line) {
  if (!line.empty() && line.back() == '\r') line.pop_back();
  std::vector<std::string> cells;
  std::istringstream in(line);
  std::string cell;
  while (std::getline(in, cell, '\t')) cells.push_back(cell);
  return cells;
}

}  // namespace

Manifest::Manifest(const std::string& folder) {
  std::ifstream in(folder + "/MANIFEST.tsv");
  std::string line;
  if (!std::getline(in, line)) return;
  m_columns = SplitTabs(line);
  while (std::getline(in, line)) {
    if (!line.empty() && line != "\r") m_rows.push_back(SplitTabs(line));
  }
}

std::string Manifest::cell(std::size_t r, const std::string& column) const {
  auto it = std::find(m_columns.begin(), m_columns.end(), column);
  if (it == m_columns.end()) return {};
  const auto c = static_cast<std::size_t>(it - m_columns.begin());
  return c < m_rows[r].size() ? m_rows[r][c] : std::string();
}

}  // namespace velmora::test
