// The .rtb form, line by line ('#' lines and blank lines may stand anywhere and are skipped):
//   RTB 1                     format name and version
//   class <name>              the CIE surface class
//   size <nTan> <nBeta>       number of tan gamma lines and of beta angles
//   beta <b1> ... <bnBeta>    beta angles in degrees, ascending, within 0..180
//   <tan> <r1> ... <rnBeta>   nTan lines: tan gamma (ascending, the first 0), then r x 10^4 at each beta
// Numbers are C-locale decimals.
#include "outside/engines/reflection_table.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "outside/engines/file_io.h"
#include "outside/engines/text_scan.h"

namespace Engines {
namespace {

// The CIE grid is 29 x 20; anything far beyond is not a reflection table.
constexpr std::size_t kMaxAxis = 1000;

bool Fail(std::string* error, const std::string& message)
{
  if (error)
    *error = message;
  return false;
}

std::vector<std::string_view> Items(std::string_view line)
{
  std::vector<std::string_view> items;
  TextScan scan(line);
  for (std::string_view item = scan.Item(); !item.empty(); item = scan.Item())
    items.push_back(item);
  return items;
}

// Significant lines: without comments and blank lines, each with its 1-based line number.
std::vector<std::pair<std::size_t, std::string_view>> SignificantLines(std::string_view text)
{
  std::vector<std::pair<std::size_t, std::string_view>> lines;
  TextScan scan(text);
  while (scan.Remaining() > 0) {
    std::size_t number = scan.Line();
    std::string_view line = scan.RestOfLine();
    std::size_t first = line.find_first_not_of(" \t");
    if (first == std::string_view::npos || line[first] == '#')
      continue;
    lines.emplace_back(number, line);
  }
  return lines;
}

bool Ascending(const std::vector<double>& axis)
{
  return std::is_sorted(axis.begin(), axis.end()) &&
         std::adjacent_find(axis.begin(), axis.end()) == axis.end();
}

bool CheckAxes(const ReflectionTable& t, std::string* error)
{
  if (t.betas.empty() || t.tans.empty())
    return Fail(error, "reflection table without angles");
  if (!Ascending(t.betas) || t.betas.front() < 0.0 || t.betas.back() > 180.0)
    return Fail(error, "beta angles must ascend within 0..180");
  if (!Ascending(t.tans) || t.tans.front() != 0.0)
    return Fail(error, "tan gamma values must ascend from 0");
  return true;
}

std::string Number(double v)
{
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%g", v);
  return buffer;
}

}  // namespace

double ReflectionTable::At(double betaDegrees, double tanGamma) const
{
  if (tans.empty() || betas.empty() || tanGamma < 0.0 || tanGamma > tans.back())
    return 0.0;
  double beta = std::fabs(std::fmod(betaDegrees, 360.0));
  if (beta > 180.0)
    beta = 360.0 - beta;
  beta = std::clamp(beta, betas.front(), betas.back());

  auto locate = [](const std::vector<double>& axis, double v, std::size_t& lo, double& t) {
    if (axis.size() == 1) {
      lo = 0;
      t = 0.0;
      return;
    }
    auto it = std::upper_bound(axis.begin(), axis.end(), v);
    std::size_t hi = it == axis.end() ? axis.size() - 1 : static_cast<std::size_t>(it - axis.begin());
    lo = hi - 1;
    t = (v - axis[lo]) / (axis[hi] - axis[lo]);
  };
  std::size_t b0, t0;
  double bt, tt;
  locate(betas, beta, b0, bt);
  locate(tans, tanGamma, t0, tt);
  std::size_t b1 = betas.size() == 1 ? b0 : b0 + 1;
  std::size_t t1 = tans.size() == 1 ? t0 : t0 + 1;
  double low = Value(t0, b0) + bt * (Value(t0, b1) - Value(t0, b0));
  double high = Value(t1, b0) + bt * (Value(t1, b1) - Value(t1, b0));
  return low + tt * (high - low);
}

std::optional<ReflectionTable> ParseCieTableText(std::string_view text, std::string surfaceClass,
                                                 std::string* error)
{
  ReflectionTable table;
  table.surfaceClass = std::move(surfaceClass);
  auto lines = SignificantLines(text);
  if (lines.empty() || !lines[0].second.starts_with("tan\\beta")) {
    Fail(error, "the table has no \"tan\\beta\" header line");
    return std::nullopt;
  }
  auto header = Items(lines[0].second);
  if (header.size() < 2 || header.size() - 1 > kMaxAxis) {
    Fail(error, "the header line has no usable beta angles");
    return std::nullopt;
  }
  for (std::size_t i = 1; i < header.size(); ++i) {
    double beta;
    if (!TextScan::ParseReal(header[i], beta)) {
      Fail(error, "bad beta angle on line " + std::to_string(lines[0].first));
      return std::nullopt;
    }
    table.betas.push_back(beta);
  }
  if (lines.size() - 1 > kMaxAxis) {
    Fail(error, "too many tan gamma lines");
    return std::nullopt;
  }
  for (std::size_t k = 1; k < lines.size(); ++k) {
    auto items = Items(lines[k].second);
    std::string where = " on line " + std::to_string(lines[k].first);
    if (items.size() != table.betas.size() + 1) {
      Fail(error, "wrong number of values" + where);
      return std::nullopt;
    }
    double tanGamma;
    if (!TextScan::ParseReal(items[0], tanGamma)) {
      Fail(error, "bad tan gamma" + where);
      return std::nullopt;
    }
    table.tans.push_back(tanGamma);
    for (std::size_t i = 1; i < items.size(); ++i) {
      double value = 0.0;
      if (items[i] != "-" && (!TextScan::ParseReal(items[i], value) || value < 0.0)) {
        Fail(error, "bad r value" + where);
        return std::nullopt;
      }
      table.r.push_back(value);
    }
  }
  if (!CheckAxes(table, error))
    return std::nullopt;
  return table;
}

std::string FormatRtb(const ReflectionTable& table)
{
  std::string out;
  out += "# Road-surface reflection table of Tesmira Road: reduced luminance coefficients r x 10^4\n";
  out += "RTB 1\n";
  out += "class " + table.surfaceClass + "\n";
  out += "size " + std::to_string(table.tans.size()) + " " + std::to_string(table.betas.size()) + "\n";
  out += "beta";
  for (double b : table.betas) {
    out += ' ';
    out += Number(b);
  }
  out += '\n';
  for (std::size_t t = 0; t < table.tans.size(); ++t) {
    out += Number(table.tans[t]);
    for (std::size_t b = 0; b < table.betas.size(); ++b) {
      out += ' ';
      out += Number(table.Value(t, b));
    }
    out += '\n';
  }
  return out;
}

std::optional<ReflectionTable> ParseRtb(std::string_view text, std::string* error)
{
  auto lines = SignificantLines(text);
  auto fail = [&](std::size_t index, const std::string& what) -> std::optional<ReflectionTable> {
    std::string where = index < lines.size() ? " on line " + std::to_string(lines[index].first) : " (file ends)";
    Fail(error, "reflection table: " + what + where);
    return std::nullopt;
  };
  if (lines.size() < 4)
    return fail(lines.size(), "incomplete header");
  auto magic = Items(lines[0].second);
  if (magic.size() != 2 || magic[0] != "RTB" || magic[1] != "1")
    return fail(0, "not an \"RTB 1\" file");
  auto cls = Items(lines[1].second);
  if (cls.size() != 2 || cls[0] != "class")
    return fail(1, "expected \"class <name>\"");
  ReflectionTable table;
  table.surfaceClass = std::string(cls[1]);
  auto size = Items(lines[2].second);
  double nTan = 0, nBeta = 0;
  if (size.size() != 3 || size[0] != "size" || !TextScan::ParseReal(size[1], nTan) ||
      !TextScan::ParseReal(size[2], nBeta) || nTan < 1 || nBeta < 1 || nTan > kMaxAxis || nBeta > kMaxAxis ||
      nTan != std::floor(nTan) || nBeta != std::floor(nBeta))
    return fail(2, "expected \"size <nTan> <nBeta>\" within 1.." + std::to_string(kMaxAxis));
  const auto tanCount = static_cast<std::size_t>(nTan);
  const auto betaCount = static_cast<std::size_t>(nBeta);
  auto beta = Items(lines[3].second);
  if (beta.size() != betaCount + 1 || beta[0] != "beta")
    return fail(3, "expected \"beta\" and " + std::to_string(betaCount) + " angles");
  for (std::size_t i = 1; i < beta.size(); ++i) {
    double v;
    if (!TextScan::ParseReal(beta[i], v))
      return fail(3, "bad beta angle");
    table.betas.push_back(v);
  }
  if (lines.size() != 4 + tanCount)
    return fail(std::min(lines.size(), 4 + tanCount), "expected " + std::to_string(tanCount) + " tan gamma lines");
  table.r.reserve(tanCount * betaCount);
  for (std::size_t k = 0; k < tanCount; ++k) {
    auto items = Items(lines[4 + k].second);
    if (items.size() != betaCount + 1)
      return fail(4 + k, "wrong number of values");
    double v;
    if (!TextScan::ParseReal(items[0], v))
      return fail(4 + k, "bad tan gamma");
    table.tans.push_back(v);
    for (std::size_t i = 1; i < items.size(); ++i) {
      if (!TextScan::ParseReal(items[i], v) || v < 0.0)
        return fail(4 + k, "bad r value");
      table.r.push_back(v);
    }
  }
  if (!CheckAxes(table, error))
    return std::nullopt;
  return table;
}

std::optional<ReflectionTable> LoadRtb(const std::string& path, std::string* error)
{
  std::string text;
  if (!ReadWholeFile(path, kMaxTextFileBytes, text, error))
    return std::nullopt;
  return ParseRtb(text, error);
}

}  // namespace Engines
