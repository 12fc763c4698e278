#pragma once
// The main window's tests run as one program: each test class registers
// itself here, and TestMain runs them in one application (the web engine
// starts once): the ones that read the shared corpus in a run of their own.

#include <QObject>
#include <functional>
#include <vector>

namespace velmora::test {

using TestFactory = std::function<QObject*()>;

struct RegisteredTest {
  TestFactory factory;
  bool blnNeedsCorpus = false;  // reads the shared corpus (see CorpusRun.h)
};

std::vector<RegisteredTest>& RegisteredTests();

struct TestRegistration {
  TestRegistration(TestFactory factory, bool blnNeedsCorpus) {
    RegisteredTests().push_back({std::move(factory), blnNeedsCorpus});
  }
};

}  // namespace velmora::test

#define VELMORA_REGISTER_TEST(Class) \
  static const velmora::test::TestRegistration s_register##Class([] { return new Class; }, false);
// A class that reads the shared corpus: it runs in the corpus run only.
#define VELMORA_REGISTER_CORPUS_TEST(Class) \
  static const velmora::test::TestRegistration s_register##Class([] { return new Class; }, true);
