#pragma once
// The main window's tests run as one program: each test class registers
// itself here, and TestMain runs them all in one application (the web engine
// starts once).

#include <QObject>
#include <functional>
#include <vector>

namespace velmora::test {

using TestFactory = std::function<QObject*()>;

std::vector<TestFactory>& RegisteredTests();

struct TestRegistration {
  explicit TestRegistration(TestFactory factory) { RegisteredTests().push_back(std::move(factory)); }
};

}  // namespace velmora::test

#define VELMORA_REGISTER_TEST(Class) \
  static const velmora::test::TestRegistration s_register##Class([] { return new Class; });
