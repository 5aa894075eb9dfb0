// rescomp --module <name> --file-name <module file name> --source <out.cpp> --ids <out.h> <script>...
#include "tools/rescomp/rescomp.h"

#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

namespace {

int Usage()
{
  std::cerr << "usage: rescomp --module <name> --file-name <module file name> --source <out.cpp> --ids <out.h>"
               " <script>...\n";
  return 2;
}

bool Write(const std::string& path, const std::string& contents)
{
  // Through a temporary name, so an interrupted build never leaves half a source behind.
  std::string temporary = path + ".tmp";
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    out << contents;
    if (!out.flush()) {
      std::cerr << "rescomp: cannot write " << temporary << "\n";
      return false;
    }
  }
  if (std::rename(temporary.c_str(), path.c_str()) != 0) {
    std::cerr << "rescomp: cannot rename " << temporary << " to " << path << "\n";
    return false;
  }
  return true;
}

}  // namespace

int main(int argc, char** argv)
{
  std::string moduleName, fileName, sourcePath, idsPath;
  std::vector<std::string> inputs;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    auto value = [&](std::string& into) {
      if (i + 1 >= argc) {
        return false;
      }
      into = argv[++i];
      return true;
    };
    if (arg == "--module") {
      if (!value(moduleName)) return Usage();
    } else if (arg == "--file-name") {
      if (!value(fileName)) return Usage();
    } else if (arg == "--source") {
      if (!value(sourcePath)) return Usage();
    } else if (arg == "--ids") {
      if (!value(idsPath)) return Usage();
    } else if (arg.starts_with("--")) {
      return Usage();
    } else {
      inputs.push_back(arg);
    }
  }
  if (moduleName.empty() || fileName.empty() || sourcePath.empty() || idsPath.empty()) {
    return Usage();
  }

  std::vector<rescomp::SourceFile> sources;
  for (const auto& path : inputs) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
      std::cerr << path << ": error: cannot open\n";
      return 1;
    }
    std::ostringstream contents;
    contents << in.rdbuf();
    sources.push_back({path, contents.str()});
  }

  rescomp::Module module{moduleName, {}};
  std::vector<rescomp::Diagnostic> diagnostics;
  if (!rescomp::CompileModule(sources, module, diagnostics)) {
    for (const auto& d : diagnostics) {
      std::cerr << d.Format() << "\n";
    }
    return 1;
  }
  bool written = Write(sourcePath, rescomp::GenerateSource(module, fileName)) &&
                 Write(idsPath, rescomp::GenerateIdsHeader(module));
  return written ? 0 : 1;
}
