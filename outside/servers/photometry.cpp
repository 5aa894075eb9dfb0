#include "outside/servers/photometry.h"

#include "outside/servers/photometry_text.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdio>
#include <cmath>
#include <fstream>
#include <numbers>
#include <sstream>

namespace qorsrv {

namespace {

std::string MessageFor(const std::string& file, int line, const std::string& what)
{
  std::string m = file;
  if (line > 0)
    m += ", line " + std::to_string(line);
  return m + ": " + what;
}

// Makers' integrals of their own tables disagree with ours by a fraction of a percent (measurement noise,
// rounding to whole cd/klm); only a ratio clearly above 100 % means the declared lamp flux is wrong.
constexpr double kLightOutputRatioTolerance = 1.02;
// A ratio beyond this is no luminaire at all: a lamp flux typed in the wrong unit, or intensities off by powers
// of ten. Reflectors and lenses never give back three times the lamps' light.
constexpr double kMostLightOutputRatio = 3.0;
// No lamp a luminaire is made for gives less light than this; a smaller figure is a unit error, and divided into
// the table it would blow the intensities up beyond any use.
constexpr double kLeastLampFlux = 1.0;
// Photometric files of real luminaires are well under a megabyte; this bounds what is read into memory.
constexpr std::streamsize kMaxPhotometricFileBytes = 16 * 1024 * 1024;

// Plane and its values, for building the mirrored set.
struct PlaneRow {
  double angle;
  std::size_t source;
};

}  // namespace

PhotometryError::PhotometryError(const std::string& file, int line, const std::string& what)
  : std::runtime_error(MessageFor(file, line, what)), m_file(file), m_line(line)
{
}

std::uint32_t SymmetryWord(const Photometry& p)
{
  std::uint32_t planes = kPlanesFull;
  switch (p.symmetry) {
  case PlaneSymmetry::Full: planes = kPlanesFull; break;
  case PlaneSymmetry::Rotational: planes = kPlanesOne; break;
  case PlaneSymmetry::AboutC0C180: planes = kPlanesC0C180; break;
  case PlaneSymmetry::AboutC90C270: planes = kPlanesC90C270; break;
  case PlaneSymmetry::BothPlanes: planes = kPlanesC0C90; break;
  }
  std::uint32_t gamma = kGamma0To180;
  if (!p.gammas.empty()) {
    if (p.gammas.front() >= 90.0)
      gamma = kGamma90To180;
    else if (p.gammas.back() <= 90.0)
      gamma = kGamma0To90;
  }
  return kSystemC | planes | gamma;
}

Photometry CompleteToFullCircle(const Photometry& p)
{
  std::vector<PlaneRow> rows;
  const auto& c = p.planes;
  switch (p.symmetry) {
  case PlaneSymmetry::Full:
    for (std::size_t i = 0; i < c.size(); ++i)
      rows.push_back({c[i], i});
    break;
  case PlaneSymmetry::Rotational:
    for (double a : {0.0, 90.0, 180.0, 270.0, 360.0})
      rows.push_back({a, 0});
    break;
  case PlaneSymmetry::AboutC0C180:
    for (std::size_t i = 0; i < c.size(); ++i)
      rows.push_back({c[i], i});
    for (std::size_t i = c.size(); i-- > 0;)
      if (c[i] < 180.0)
        rows.push_back({360.0 - c[i], i});
    break;
  case PlaneSymmetry::AboutC90C270:
    for (std::size_t i = c.size(); i-- > 0;)
      if (c[i] > 90.0 && c[i] <= 180.0)
        rows.push_back({180.0 - c[i], i});
    for (std::size_t i = 0; i < c.size(); ++i)
      rows.push_back({c[i], i});
    for (std::size_t i = c.size(); i-- > 0;)
      if (c[i] >= 180.0 && c[i] < 270.0)
        rows.push_back({540.0 - c[i], i});
    break;
  case PlaneSymmetry::BothPlanes:
    for (std::size_t i = 0; i < c.size(); ++i)
      rows.push_back({c[i], i});
    for (std::size_t i = c.size(); i-- > 0;)
      if (c[i] < 90.0)
        rows.push_back({180.0 - c[i], i});
    for (std::size_t i = 0; i < c.size(); ++i)
      if (c[i] > 0.0)
        rows.push_back({180.0 + c[i], i});
    for (std::size_t i = c.size(); i-- > 0;)
      if (c[i] < 90.0)
        rows.push_back({360.0 - c[i], i});
    break;
  }
  Photometry full = p;
  full.symmetry = PlaneSymmetry::Full;
  full.planes.clear();
  full.intensities.clear();
  const std::size_t n = p.gammas.size();
  for (const PlaneRow& row : rows) {
    full.planes.push_back(row.angle);
    full.intensities.insert(full.intensities.end(), p.intensities.begin() + row.source * n,
                            p.intensities.begin() + (row.source + 1) * n);
  }
  return full;
}

double FluxPerKilolumen(const Photometry& p)
{
  if (p.gammas.size() < 2 || p.planes.empty())
    return 0.0;
  const Photometry full = CompleteToFullCircle(p);
  constexpr double kDeg = std::numbers::pi / 180.0;
  const std::size_t n = full.gammas.size();
  // Per plane: the integral of I(gamma) sin(gamma) d(gamma); then over the planes.
  std::vector<double> perPlane(full.planes.size());
  for (std::size_t k = 0; k < full.planes.size(); ++k) {
    double s = 0.0;
    for (std::size_t g = 0; g + 1 < n; ++g) {
      double g0 = full.gammas[g] * kDeg, g1 = full.gammas[g + 1] * kDeg;
      s += 0.5 * (full.At(k, g) * std::sin(g0) + full.At(k, g + 1) * std::sin(g1)) * (g1 - g0);
    }
    perPlane[k] = s;
  }
  double flux = 0.0;
  for (std::size_t k = 0; k + 1 < full.planes.size(); ++k)
    flux += 0.5 * (perPlane[k] + perPlane[k + 1]) * (full.planes[k + 1] - full.planes[k]) * kDeg;
  return flux;
}

void RestateForLampFlux(Photometry& p, double lampFlux)
{
  const double factor = p.TotalLampFlux() / (lampFlux * p.lampCount);
  for (double& v : p.intensities)
    v *= factor;
  p.lampFlux = lampFlux;
}

void Validate(const Photometry& p)
{
  auto fail = [&](const std::string& what) { throw PhotometryError(p.sourceFile, 0, what); };
  if (p.planes.empty() || p.gammas.empty())
    fail("the distribution has no planes or no gamma angles");
  if (p.intensities.size() != p.planes.size() * p.gammas.size())
    fail("the number of intensities does not match the planes and gamma angles");
  if (!detail::StrictlyAscending(p.planes) || !detail::StrictlyAscending(p.gammas))
    fail("angles do not ascend");
  if (p.gammas.front() < 0.0 || p.gammas.back() > 180.0)
    fail("gamma angles lie outside 0..180 degrees");
  struct Range {
    PlaneSymmetry symmetry;
    double first, last;
    const char* name;
  };
  static constexpr Range kRanges[] = {
    {PlaneSymmetry::Full, 0, 360, "C0..C360"},
    {PlaneSymmetry::Rotational, 0, 0, "the single plane C0"},
    {PlaneSymmetry::AboutC0C180, 0, 180, "C0..C180"},
    {PlaneSymmetry::AboutC90C270, 90, 270, "C90..C270"},
    {PlaneSymmetry::BothPlanes, 0, 90, "C0..C90"},
  };
  for (const Range& r : kRanges)
    if (r.symmetry == p.symmetry && (p.planes.front() != r.first || p.planes.back() != r.last))
      fail(std::string("the planes of this symmetry must run over ") + r.name);
  for (double v : p.intensities)
    if (!std::isfinite(v) || v < 0.0)
      fail("an intensity is negative or not a number");
  if (!(p.lampFlux > 0.0) || !std::isfinite(p.lampFlux) || p.lampCount < 1)
    fail("the lamp flux or lamp count is not positive");
}

Photometry ReadPhotometricFile(const std::string& fileSystemPath)
{
  const std::size_t slash = fileSystemPath.find_last_of('/');
  const std::string name = slash == std::string::npos ? fileSystemPath : fileSystemPath.substr(slash + 1);
  std::ifstream in(fileSystemPath, std::ios::binary);
  if (!in)
    throw PhotometryError(name, 0, "the file cannot be opened");
  in.seekg(0, std::ios::end);
  const std::streamoff size = in.tellg();
  if (size < 0 || size > kMaxPhotometricFileBytes)
    throw PhotometryError(name, 0, "the file is too large for a photometric file");
  in.seekg(0, std::ios::beg);
  std::string text(static_cast<std::size_t>(size), '\0');
  if (!in.read(text.data(), size))
    throw PhotometryError(name, 0, "the file cannot be read");
  std::string ext = name.size() >= 4 ? name.substr(name.size() - 4) : "";
  std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char ch) { return std::tolower(ch); });
  if (ext == ".ldt")
    return ParseEulumdat(text, name);
  if (ext == ".ies")
    return ParseIes(text, name);
  throw PhotometryError(name, 0, "not a photometric file (.ldt or .ies expected)");
}

namespace detail {

std::vector<std::string_view> SplitLines(std::string_view text)
{
  // Lines end in LF, CR LF or a lone CR (older Mac tools and some photometric software write that).
  std::vector<std::string_view> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find_first_of("\r\n", start);
    if (end == std::string_view::npos)
      end = text.size();
    lines.push_back(text.substr(start, end - start));
    start = end + 1;
    if (end < text.size() && text[end] == '\r' && start < text.size() && text[start] == '\n')
      ++start;
  }
  return lines;
}

std::string_view Trim(std::string_view s)
{
  while (!s.empty() && std::isspace(static_cast<unsigned char>(s.front())))
    s.remove_prefix(1);
  while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back())))
    s.remove_suffix(1);
  return s;
}

std::optional<double> ParseNumber(std::string_view token)
{
  token = Trim(token);
  if (token.empty() || token.size() > 64)
    return std::nullopt;
  std::string t(token);
  if (t.find('.') == std::string::npos)
    std::replace(t.begin(), t.end(), ',', '.');
  if (t.front() == '+')
    t.erase(0, 1);
  double value = 0.0;
  auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), value);
  if (ec != std::errc() || end != t.data() + t.size() || !std::isfinite(value))
    return std::nullopt;
  return value;
}

namespace {

bool IsUtf8(std::string_view s)
{
  for (std::size_t i = 0; i < s.size();) {
    const unsigned char c = static_cast<unsigned char>(s[i]);
    std::size_t extra;
    if (c < 0x80)
      extra = 0;
    else if ((c >> 5) == 6)
      extra = 1;
    else if ((c >> 4) == 14)
      extra = 2;
    else if ((c >> 3) == 30)
      extra = 3;
    else
      return false;
    if (i + extra >= s.size() && extra != 0)
      return false;
    for (std::size_t k = 1; k <= extra; ++k)
      if ((static_cast<unsigned char>(s[i + k]) >> 6) != 2)
        return false;
    i += extra + 1;
  }
  return true;
}

}  // namespace

std::string TextToUtf8(std::string_view raw)
{
  raw = Trim(raw);
  if (IsUtf8(raw))
    return std::string(raw);
  std::string out;
  for (unsigned char c : raw) {
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else {
      out += static_cast<char>(0xC0 | (c >> 6));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return out;
}

bool StrictlyAscending(const std::vector<double>& angles)
{
  for (std::size_t i = 1; i < angles.size(); ++i)
    if (!(angles[i] > angles[i - 1]))
      return false;
  return true;
}

void FinishImport(Photometry& p, const std::string& name, int lampFluxLine, int tableLine)
{
  p.sourceFile = name;
  Validate(p);
  char buffer[240];
  if (p.lampFlux < kLeastLampFlux) {
    std::snprintf(buffer, sizeof buffer, "the lamp flux %g lm is below 1 lm: no lamp gives so little light",
                  p.lampFlux);
    throw PhotometryError(name, lampFluxLine, buffer);
  }
  const double perKilolumen = FluxPerKilolumen(p);
  if (!std::isfinite(perKilolumen))
    throw PhotometryError(name, tableLine,
                          "the intensities are too large: the luminous flux they describe is not a finite number");
  const double ratio = perKilolumen / 1000.0;
  if (ratio > kMostLightOutputRatio) {
    std::snprintf(buffer, sizeof buffer,
                  "light output ratio %.3g %% is beyond physical sense (above %.0f %%): the lamp flux (%g lm x %d) "
                  "does not fit the table",
                  ratio * 100.0, kMostLightOutputRatio * 100.0, p.lampFlux, p.lampCount);
    throw PhotometryError(name, lampFluxLine, buffer);
  }
  if (p.absolute)
    p.warnings.push_back("absolute photometry: the lamp flux is the luminaire's own flux");
  if (ratio > kLightOutputRatioTolerance) {
    std::snprintf(buffer, sizeof buffer,
                  "light output ratio %.1f %% is above 100 %%: the declared lamp flux (%g lm x %d) is too small "
                  "for the table",
                  ratio * 100.0, p.lampFlux, p.lampCount);
    p.warnings.push_back(buffer);
  }
}

}  // namespace detail

}  // namespace qorsrv
