// Compiling scripts in memory, and writing expected bytes by hand.
#pragma once

#include "tools/rescomp/rescomp.h"

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

namespace rescomp_test {

struct Compiled {
  bool ok;
  rescomp::Module module;
  std::vector<rescomp::Diagnostic> diagnostics;
  std::string FirstError() const { return diagnostics.empty() ? std::string() : diagnostics[0].Format(); }
};

inline Compiled Compile(const std::string& script, const std::string& path = "t.rsrc")
{
  Compiled c{false, {"program", {}}, {}};
  c.ok = rescomp::CompileModule({{path, script}}, c.module, c.diagnostics);
  return c;
}

// Scripts are UTF-8 whatever the execution character set; u8 literals keep them so.
inline std::string U8(const char8_t* text) { return reinterpret_cast<const char*>(text); }

// Expected bytes, assembled piece by piece: words and dwords little-endian, texts as UTF-16LE with their zero.
class Expect {
 public:
  Expect& B(std::initializer_list<int> bytes)
  {
    for (int b : bytes) {
      out.push_back(static_cast<std::uint8_t>(b));
    }
    return *this;
  }
  Expect& W(std::uint16_t v) { return B({v & 0xFF, v >> 8}); }
  Expect& D(std::uint32_t v) { return W(static_cast<std::uint16_t>(v)).W(static_cast<std::uint16_t>(v >> 16)); }
  Expect& Text(const std::u16string& text)
  {
    for (char16_t c : text) {
      W(c);
    }
    return W(0);
  }
  std::vector<std::uint8_t> out;
};

inline const rescomp::BinaryResource* Resource(const rescomp::Module& module, std::uint16_t type, std::uint16_t id)
{
  for (const auto& r : module.resources) {
    if (r.type == type && r.id == id) {
      return &r;
    }
  }
  return nullptr;
}

}  // namespace rescomp_test
