#pragma once
// Qt test programs run their test classes that read the shared corpus in a
// run of their own, started with "corpus" as the first argument, which
// ctest adds as a separate test. Without the corpus that run exits with
// kCorpusMissing, which ctest reports as skipped (SKIP_RETURN_CODE), not
// as passed; the program's other runs leave those classes out.

#include <QDir>
#include <cstring>

#include "TestPaths.h"

namespace velmora::test {

inline constexpr int kCorpusMissing = 77;

// True when the first argument asks for the corpus run; it is then taken
// out of the arguments, so QTest sees only its own.
inline bool TakeCorpusArgument(int& argc, char**& argv) {
  if (argc < 2 || std::strcmp(argv[1], "corpus") != 0) return false;
  argv[1] = argv[0];
  ++argv;
  --argc;
  return true;
}

inline bool CorpusIsPresent() { return QDir(QStringLiteral(VELMORA_CORPUS_DIR)).exists(); }

}  // namespace velmora::test
