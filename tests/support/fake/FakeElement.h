#pragma once
// The description of a fake CHM tree: storages holding streams and further
// storages, in the order the enumerator delivers them, each able to fail at
// one chosen call.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/storage/StorageService.h"

namespace velmora::test {

// The call of the storage interfaces that an element makes fail:
// Stat, EnumElements, Reset: those calls on this storage;
// Next: the enumerator call that would deliver this element;
// OpenStorage, OpenStream: opening this element from its parent;
// CopyTo: this stream's copy, after FakeElement::failAfterBytes bytes.
enum class FakeCall { None, Stat, EnumElements, Reset, Next, OpenStorage, OpenStream, CopyTo };

struct FakeElement {
  std::string name;
  platform::ElementType type = platform::ElementType::Stream;
  std::string content;                         // a stream's bytes
  std::uint64_t generatedLength = 0;           // when not 0: that many GeneratedByte bytes instead
  std::optional<std::uint64_t> declaredLength; // length reported instead of the real one
  std::uint64_t orderKey = 0;
  FakeCall failAt = FakeCall::None;
  std::uint64_t failAfterBytes = 0;
  std::vector<FakeElement> children;

  std::uint64_t RealLength() const { return generatedLength ? generatedLength : content.size(); }
  std::uint64_t ReportedLength() const { return declaredLength.value_or(RealLength()); }

  // A copy that fails at the call (CopyTo after afterBytes bytes).
  FakeElement Failing(FakeCall call, std::uint64_t afterBytes = 0) const;
  // A copy with another container position.
  FakeElement At(std::uint64_t key) const;
  // A copy that reports another length than the bytes it delivers.
  FakeElement Declaring(std::uint64_t length) const;
};

// Generated streams repeat this many bytes; a prime, so the pattern does not
// line up with chunk or buffer sizes.
inline constexpr std::size_t kGeneratedPeriod = 4093;
// Byte i of a generated stream.
inline char GeneratedByte(std::uint64_t i) {
  const std::uint64_t k = i % kGeneratedPeriod;
  return static_cast<char>('a' + (k * k * 31 + k) % 26);
}

FakeElement Stream(std::string name, std::string content, std::uint64_t orderKey = 0);
FakeElement GeneratedStream(std::string name, std::uint64_t length, std::uint64_t orderKey = 0);
FakeElement Storage(std::string name, std::vector<FakeElement> children);
// An element that is neither storage nor stream.
FakeElement OtherElement(std::string name);
// The root storage of a fake CHM file.
FakeElement Root(std::vector<FakeElement> children);

}  // namespace velmora::test
