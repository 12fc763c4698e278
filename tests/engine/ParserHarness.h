#pragma once
// Runs ParseCHM and keeps everything it reports: result, records, counters
// and the Progress events in order.

#include <ostream>
#include <string>
#include <vector>

#include "engine/cCHMParser.h"

namespace velmora::test {

struct ProgressEvent {
  std::string name;
  std::int32_t size;
  bool extract;
  bool operator==(const ProgressEvent& o) const {
    return name == o.name && size == o.size && extract == o.extract;
  }
};

inline std::ostream& operator<<(std::ostream& os, const ProgressEvent& e) {
  return os << "{" << e.name << ", " << e.size << ", " << e.extract << "}";
}

struct WalkResult {
  bool result = false;
  engine::cCHMItemCollection items;
  std::int32_t pictures = 0;
  std::int32_t pages = 0;
  std::int32_t movies = 0;
  std::int32_t total = 0;
  std::vector<ProgressEvent> events;
};

inline WalkResult RunWalk(engine::cCHMParser& parser, std::int32_t type, const engine::OutputPath& output = "",
                          const std::vector<std::string>& contents = {}) {
  WalkResult r;
  parser.Progress = [&r](const std::string& name, std::int32_t size, bool extract) {
    r.events.push_back({name, size, extract});
  };
  r.result = parser.ParseCHM("test.chm", output, type, contents, r.items, r.pictures, r.pages, r.movies, r.total);
  parser.Progress = nullptr;
  return r;
}

// "Level Path\Name" of each record, with "/" after storages: compact to compare.
inline std::vector<std::string> Describe(const engine::cCHMItemCollection& items) {
  std::vector<std::string> rows;
  for (const auto& item : items) {
    rows.push_back(std::to_string(item.Level) + " " + (item.Path.empty() ? "" : item.Path + "\\") + item.Name +
                   (item.IsStorage ? "/" : "") + " " + std::to_string(item.Size));
  }
  return rows;
}

}  // namespace velmora::test
