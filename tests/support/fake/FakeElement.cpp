#include "tests/support/fake/FakeElement.h"

namespace velmora::test {

FakeElement FakeElement::Failing(FakeCall call, std::uint64_t afterBytes) const {
  FakeElement copy = *this;
  copy.failAt = call;
  copy.failAfterBytes = afterBytes;
  return copy;
}

FakeElement FakeElement::At(std::uint64_t key) const {
  FakeElement copy = *this;
  copy.orderKey = key;
  return copy;
}

FakeElement FakeElement::Declaring(std::uint64_t length) const {
  FakeElement copy = *this;
  copy.declaredLength = length;
  return copy;
}

FakeElement Stream(std::string name, std::string content, std::uint64_t orderKey) {
  FakeElement e;
  e.name = std::move(name);
  e.content = std::move(content);
  e.orderKey = orderKey;
  return e;
}

FakeElement GeneratedStream(std::string name, std::uint64_t length, std::uint64_t orderKey) {
  FakeElement e;
  e.name = std::move(name);
  e.generatedLength = length;
  e.orderKey = orderKey;
  return e;
}

FakeElement Storage(std::string name, std::vector<FakeElement> children) {
  FakeElement e;
  e.name = std::move(name);
  e.type = platform::ElementType::Storage;
  e.children = std::move(children);
  return e;
}

FakeElement OtherElement(std::string name) {
  FakeElement e;
  e.name = std::move(name);
  e.type = platform::ElementType::Other;
  return e;
}

FakeElement Root(std::vector<FakeElement> children) { return Storage("", std::move(children)); }

}  // namespace velmora::test
