// The resource compiler: scripts of one module in, one C++ source with the module's tables out.
// Texts are UTF-8 in the scripts and code page 1251 in the tables, as the program uses them.
#pragma once

#include "tools/rescomp/script.h"

#include <cstdint>
#include <string>
#include <vector>

namespace rescomp {

struct StringEntry {
  std::uint16_t id;
  std::string name;  // symbolic name, may be empty
  std::string text;  // code page 1251
  std::string file;
  int line;
};

struct Module {
  std::string name;                  // as the generated symbol knows it: "program", "toolkit"
  std::vector<StringEntry> strings;  // sorted by id
};

struct SourceFile {
  std::string path;
  std::string contents;
};

// Compiles the scripts into the module; returns false with diagnostics when any script is wrong.
bool CompileModule(const std::vector<SourceFile>& sources, Module& module, std::vector<Diagnostic>& diagnostics);

// The C++ source defining `const platform::ResourceModuleData& res::<Name>Module()` (Name capitalised).
std::string GenerateSource(const Module& module, const std::string& moduleFileName);
// The header declaring the module's symbolic string ids in namespace res::<name>.
std::string GenerateIdsHeader(const Module& module);

}  // namespace rescomp
