#pragma once
// One MANIFEST.tsv of the shared CHM corpus: a header row naming the
// columns, then one row per file.

#include <string>
#include <vector>

namespace velmora::test {

class Manifest {
 public:
  // Reads folder/MANIFEST.tsv; no rows when the file is missing.
  explicit Manifest(const std::string& folder);

  std::size_t size() const { return m_rows.size(); }
  // The cell of row r in the named column; empty when there is no such column.
  std::string cell(std::size_t r, const std::string& column) const;

 private:
  std::vector<std::string> m_columns;
  std::vector<std::vector<std::string>> m_rows;
};

}  // namespace velmora::test
