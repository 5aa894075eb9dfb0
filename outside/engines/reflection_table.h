// Reduced luminance coefficients r(beta, tan gamma) of a road surface (CIE 140), stored x 10^4 as the CIE tables
// give them, and our ".rtb" file form of them (described in this folder's README).
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace Engines {

struct ReflectionTable {
  std::string surfaceClass;   // "C2", "R3", ...
  std::vector<double> betas;  // degrees, ascending, 0..180
  std::vector<double> tans;   // tan gamma, ascending from 0
  std::vector<double> r;      // r x 10^4, tans.size() x betas.size(), one tan gamma after the other

  double Value(std::size_t tanIndex, std::size_t betaIndex) const { return r[tanIndex * betas.size() + betaIndex]; }

  // r x 10^4, bilinear in beta and tan gamma; 0 beyond the last tan gamma (grazing light, which CIE 140 leaves
  // out). Beta is folded into 0..180.
  double At(double betaDegrees, double tanGamma) const;
};

// The CIE standard table text of the project's data folder: '#' comment lines, a header "tan\beta" followed by
// the beta angles, then one line per tan gamma with r x 10^4 or '-' where the table has no value. A '-' cell
// becomes 0: the CIE left out what is negligible (the class's average luminance coefficient Q0 is carried by the
// tabulated cells alone).
std::optional<ReflectionTable> ParseCieTableText(std::string_view text, std::string surfaceClass,
                                                 std::string* error);

std::string FormatRtb(const ReflectionTable& table);
std::optional<ReflectionTable> ParseRtb(std::string_view text, std::string* error);
std::optional<ReflectionTable> LoadRtb(const std::string& path, std::string* error);

}  // namespace Engines
