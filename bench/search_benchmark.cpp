// The full-text index measured in-process: building it from nothing for the
// CHM files given (time, peak RSS, index and page text size), then each query
// of a list answered several times (median). Run by bench/run-search-benchmark.sh.
//
// Usage: search_benchmark INDEX_FILE QUERY_FILE RUNS CHM...
// Prints "key value" lines: build_s, peak_rss_kib, build_cpu_s, index_bytes, text_bytes,
// pages, then "query <ms> <processor ms> <hits> <query>" per query.
#include <sqlite3.h>
#include <sys/resource.h>
#include <time.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "engine/search/SearchIndex.h"
#include "engine/search/ShelfSearch.h"

namespace {

using Clock = std::chrono::steady_clock;

double Since(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

double ProcessorMs() {
  timespec now {};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
  return now.tv_sec * 1e3 + now.tv_nsec / 1e6;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

std::int64_t Scalar(const std::string& indexFile, const char* sql) {
  sqlite3* db = nullptr;
  sqlite3_open_v2(indexFile.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr);
  sqlite3_exec(db, "PRAGMA wal_checkpoint(TRUNCATE)", nullptr, nullptr, nullptr);
  sqlite3_stmt* statement = nullptr;
  sqlite3_prepare_v2(db, sql, -1, &statement, nullptr);
  const std::int64_t value = sqlite3_step(statement) == SQLITE_ROW ? sqlite3_column_int64(statement, 0) : -1;
  sqlite3_finalize(statement);
  sqlite3_close(db);
  return value;
}

}  // namespace

int main(int argc, char* argv[]) {
  if (argc < 5) {
    std::cerr << "usage: search_benchmark INDEX_FILE QUERY_FILE RUNS CHM...\n";
    return 2;
  }
  const std::string indexFile = argv[1];
  const int runs = std::max(1, std::atoi(argv[3]));
  std::vector<std::string> chms;
  for (int i = 4; i < argc; ++i) chms.push_back(velmora::search::IndexedPathOf(argv[i]));
  std::vector<std::string> queries;
  std::ifstream list(argv[2]);
  for (std::string line; std::getline(list, line);) {
    if (!line.empty() && line[0] != '#') queries.push_back(line);
  }

  velmora::search::SearchIndex::Remove(indexFile);
  velmora::search::ShelfSearch shelf(indexFile);
  const auto start = Clock::now();
  shelf.update(chms, {});
  std::cout << "build_s " << Since(start) << '\n';
  rusage usage {};
  getrusage(RUSAGE_SELF, &usage);
  std::cout << "peak_rss_kib " << usage.ru_maxrss << '\n';
  // The processor time tells more than the wall time on a busy machine.
  std::cout << "build_cpu_s "
            << usage.ru_utime.tv_sec + usage.ru_stime.tv_sec + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6
            << '\n';
  std::cout << "text_bytes " << Scalar(indexFile, "SELECT sum(length(CAST(text AS BLOB))) FROM pages") << '\n';
  std::cout << "pages " << Scalar(indexFile, "SELECT count(*) FROM pages") << '\n';
  std::cout << "index_bytes " << std::filesystem::file_size(indexFile) << '\n';

  for (const std::string& query : queries) {
    std::vector<double> times;
    std::vector<double> processor;
    std::size_t hits = 0;
    for (int run = 0; run < runs; ++run) {
      const auto begin = Clock::now();
      const double cpuBegin = ProcessorMs();
      hits = shelf.search(query, chms, 100).size();
      processor.push_back(ProcessorMs() - cpuBegin);
      times.push_back(Since(begin) * 1000);
    }
    std::cout << "query " << Median(times) << ' ' << Median(processor) << ' ' << hits << ' ' << query << '\n';
  }
  return 0;
}
