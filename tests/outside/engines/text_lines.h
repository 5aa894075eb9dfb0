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

// A luminaire type of the same intensity in every direction: one C plane, gammas 0 and 180.
inline std::string IsotropicTypeBlock(double candela, double lampFlux)
{
  return "0\n" + Line(lampFlux) + "2\n1\n0\t180\n0\n" + Line(candela) + "\t" + Line(candela);
}

}  // namespace Engines::testing
