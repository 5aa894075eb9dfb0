// Lines of the engines' input files as the test inputs write them: one number a line, or several on one.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

namespace Engines::testing {

inline std::string Line(double v)
{
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.9g\n", v);
  return buffer;
}
inline std::string Line(int v) { return std::to_string(v) + "\n"; }
inline std::string Numbers(const std::vector<double>& v)
{
  std::string s;
  for (double d : v) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.9g ", d);
    s += buffer;
  }
  s.back() = '\n';
  return s;
}

}  // namespace Engines::testing
