#include "engine/SafeRelativePath.h"

#include <cstdint>
#include <cstdio>

namespace velmora::engine {

namespace {

// Long extensions are dropped rather than kept: they would leave too little
// room for the readable start of the name.
constexpr std::size_t kMaxKeptExtension = 16;

std::uint32_t Fnv1a(std::string_view text) {
  std::uint32_t hash = 2166136261u;
  for (unsigned char c : text) {
    hash ^= c;
    hash *= 16777619u;
  }
  return hash;
}

bool IsContinuationByte(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

std::string Shorten(const std::string& name, std::string_view original) {
  std::string extension;
  const auto dot = name.rfind('.');
  if (dot != std::string::npos && dot > 0 && name.size() - dot <= kMaxKeptExtension + 1) extension = name.substr(dot);

  char hash[16];
  std::snprintf(hash, sizeof hash, "~%08x", static_cast<unsigned>(Fnv1a(original)));
  const std::size_t room = SafeRelativePath::kMaxComponentBytes - extension.size() - std::string_view(hash).size();

  // Never end the kept start inside a multi-byte character.
  std::size_t cut = room;
  while (cut > 0 && IsContinuationByte(name[cut])) --cut;
  return name.substr(0, cut) + hash + extension;
}

}  // namespace

std::string SafeRelativePath::Component(std::string_view strName) {
  std::string name(strName);
  for (char& c : name) {
    const auto u = static_cast<unsigned char>(c);
    if (u < 0x20 || u == 0x7F || c == '/' || c == '\\') c = '_';
  }
  if (name.empty() || name == "." || name == "..") name.insert(0, "_");
  if (name.size() > kMaxComponentBytes) name = Shorten(name, strName);
  return name;
}

}  // namespace velmora::engine
