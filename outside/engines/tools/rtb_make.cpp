// Build step: turns a CIE standard r-table text of data/ into our .rtb form.
//   rtb_make <source table> <class name> <output .rtb>
#include <cstdio>
#include <string>
#include <vector>

#include "outside/engines/file_io.h"
#include "outside/engines/reflection_table.h"

int main(int argc, char** argv)
{
  if (argc != 4) {
    std::fprintf(stderr, "usage: rtb_make <source table> <class name> <output .rtb>\n");
    return 2;
  }
  std::string text, error;
  if (!Engines::ReadWholeFile(argv[1], Engines::kMaxTextFileBytes, text, &error)) {
    std::fprintf(stderr, "rtb_make: %s\n", error.c_str());
    return 1;
  }
  auto table = Engines::ParseCieTableText(text, argv[2], &error);
  if (!table) {
    std::fprintf(stderr, "rtb_make: %s: %s\n", argv[1], error.c_str());
    return 1;
  }
  std::string rtb = Engines::FormatRtb(*table);
  if (!Engines::WriteWholeFile(argv[3], std::vector<std::uint8_t>(rtb.begin(), rtb.end()))) {
    std::fprintf(stderr, "rtb_make: cannot write %s\n", argv[3]);
    return 1;
  }
  return 0;
}
