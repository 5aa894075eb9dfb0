// EULUMDAT (.ldt): one value per line, in this order.
//   1 maker / company          2 Ityp (type indicator)     3 Isym (symmetry 0..4)
//   4 Mc (number of C planes)  5 Dc (C step)               6 Ng (gammas per plane)    7 Dg (gamma step)
//   8 measurement report       9 luminaire name            10 luminaire number        11 file name
//  12 date / user              13-15 luminaire length (diameter), width, height, mm
//  16-21 luminous area: length, width, heights at C0, C90, C180, C270, mm
//  22 downward flux fraction % 23 light output ratio %     24 intensity conversion factor
//  25 tilt during measurement  26 n (number of lamp sets, 1..20)
//  then per set, each a block of n lines: number of lamps (negative: absolute photometry), lamp type,
//  total lamp flux (lm), colour temperature, colour rendering, wattage with gear (W)
//  then 10 direct ratios, Mc C angles, Ng gamma angles, and the intensities (cd/klm) of planes Mc1..Mc2,
//  Ng values each, where by Isym: 0: 1..Mc; 1: 1..1; 2: 1..Mc/2+1; 3: 3Mc/4+1..3Mc/4+1+Mc/2 (wrapping past Mc);
//  4: 1..Mc/4+1.
#include "outside/servers/photometry.h"
#include "outside/servers/photometry_text.h"

#include <cmath>

namespace qorsrv {

namespace {

// Bounds of the format itself (C planes at 0.5 degree steps, gammas at 0.5 degree steps, up to 20 lamp sets).
constexpr int kMaxCPlanes = 721;
constexpr int kMaxGammas = 361;
constexpr int kMaxLampSets = 20;

class LineReader {
public:
  LineReader(const std::string& text, const std::string& name) : m_lines(detail::SplitLines(text)), m_name(name) {}

  std::string_view Next(const char* what)
  {
    if (m_next >= m_lines.size())
      throw PhotometryError(m_name, static_cast<int>(m_next) + 1,
                            std::string("the file ends here; expected ") + what);
    return m_lines[m_next++];
  }
  double Number(const char* what)
  {
    std::string_view line = Next(what);
    auto value = detail::ParseNumber(line);
    if (!value)
      Fail(std::string("expected a number (") + what + "), found \"" + std::string(detail::Trim(line)) + "\"");
    return *value;
  }
  int Integer(const char* what, int low, int high)
  {
    double v = Number(what);
    if (v != std::floor(v) || v < low || v > high)
      Fail(std::string(what) + " must be a whole number from " + std::to_string(low) + " to " +
           std::to_string(high));
    return static_cast<int>(v);
  }
  std::string Text(const char* what) { return detail::TextToUtf8(Next(what)); }
  [[noreturn]] void Fail(const std::string& what) const
  {
    throw PhotometryError(m_name, static_cast<int>(m_next), what);
  }
  int LineNumber() const { return static_cast<int>(m_next); }

private:
  std::vector<std::string_view> m_lines;
  std::string m_name;
  std::size_t m_next = 0;
};

}  // namespace

Photometry ParseEulumdat(const std::string& text, const std::string& name)
{
  LineReader in(text, name);
  Photometry p;
  p.format = "EULUMDAT";
  p.manufacturer = in.Text("the maker");
  in.Integer("the type indicator Ityp", 0, 3);
  const int isym = in.Integer("the symmetry indicator Isym", 0, 4);
  const int mc = in.Integer("the number of C planes Mc", 1, kMaxCPlanes);
  const int mcLine = in.LineNumber();
  // The stored half or quarter must begin and end on a plane.
  const int multiple = isym == 2 ? 2 : isym >= 3 ? 4 : 1;
  if (mc % multiple != 0)
    in.Fail("with Isym " + std::to_string(isym) + " the number of C planes must be a multiple of " +
            std::to_string(multiple));
  in.Number("the C plane step Dc");
  const int ng = in.Integer("the number of gamma angles Ng", 2, kMaxGammas);
  in.Number("the gamma step Dg");
  p.reportNumber = in.Text("the measurement report number");
  p.luminaireName = in.Text("the luminaire name");
  p.luminaireNumber = in.Text("the luminaire number");
  in.Text("the file name");
  p.dateAndUser = in.Text("the date and user");
  p.lengthMm = in.Number("the luminaire length");
  p.widthMm = in.Number("the luminaire width");
  p.heightMm = in.Number("the luminaire height");
  for (const char* what : {"the luminous area length", "the luminous area width", "the luminous area height C0",
                           "the luminous area height C90", "the luminous area height C180",
                           "the luminous area height C270", "the downward flux fraction",
                           "the light output ratio"})
    in.Number(what);
  const double conversion = in.Number("the intensity conversion factor");
  if (!(conversion > 0.0))
    in.Fail("the intensity conversion factor must be positive");
  in.Number("the tilt during measurement");
  const int sets = in.Integer("the number of lamp sets", 1, kMaxLampSets);
  std::vector<double> lamps(sets), flux(sets), watts(sets);
  std::vector<std::string> types(sets);
  for (int i = 0; i < sets; ++i) {
    double n = in.Number("the number of lamps");
    if (n != std::floor(n) || n == 0 || std::fabs(n) > 1000)
      in.Fail("the number of lamps must be a whole number other than 0");
    lamps[i] = n;
  }
  for (int i = 0; i < sets; ++i)
    types[i] = in.Text("the lamp type");
  int fluxLine = 0;
  for (int i = 0; i < sets; ++i) {
    flux[i] = in.Number("the lamp flux");
    if (!(flux[i] > 0.0))
      in.Fail("the lamp flux must be positive");
    fluxLine = i == 0 ? in.LineNumber() : fluxLine;
  }
  for (int i = 0; i < sets; ++i)
    in.Number("the colour temperature");
  for (int i = 0; i < sets; ++i)
    in.Number("the colour rendering index");
  for (int i = 0; i < sets; ++i)
    watts[i] = in.Number("the wattage");
  for (int i = 0; i < 10; ++i)
    in.Number("a direct ratio");

  std::vector<double> cAngles(mc);
  for (double& a : cAngles)
    a = in.Number("a C plane angle");
  std::vector<double> gammas(ng);
  for (double& g : gammas)
    g = in.Number("a gamma angle");
  if (!detail::StrictlyAscending(cAngles) || cAngles.front() < 0.0 || cAngles.back() >= 360.0 + 1e-9)
    throw PhotometryError(name, mcLine, "the C plane angles must ascend from 0 below 360");
  if (!detail::StrictlyAscending(gammas))
    in.Fail("the gamma angles must ascend");

  // Which planes the intensity block holds, as indices into the C angles.
  std::vector<int> stored;
  switch (isym) {
  case 0:
    for (int i = 0; i < mc; ++i)
      stored.push_back(i);
    break;
  case 1: stored.push_back(0); break;
  case 2:
    for (int i = 0; i <= mc / 2; ++i)
      stored.push_back(i);
    break;
  case 3:
    for (int i = 0; i <= mc / 2; ++i)
      stored.push_back((3 * mc / 4 + i) % mc);
    break;
  case 4:
    for (int i = 0; i <= mc / 4; ++i)
      stored.push_back(i);
    break;
  }
  std::vector<double> values(stored.size() * ng);
  const int tableLine = in.LineNumber() + 1;
  for (double& v : values) {
    v = in.Number("an intensity");
    v *= conversion;
  }

  // Planes in the program's ranges.
  p.gammas = gammas;
  auto appendPlane = [&](double angle, std::size_t block) {
    p.planes.push_back(angle);
    p.intensities.insert(p.intensities.end(), values.begin() + block * ng, values.begin() + (block + 1) * ng);
  };
  auto expectAngle = [&](std::size_t block, double angle) {
    if (std::fabs(cAngles[stored[block]] - angle) > 1e-6)
      throw PhotometryError(name, mcLine, "with Isym " + std::to_string(isym) + " the C planes must be evenly spaced "
                                            "over the full circle");
  };
  switch (isym) {
  case 0:
    p.symmetry = PlaneSymmetry::Full;
    if (cAngles.front() != 0.0)
      throw PhotometryError(name, mcLine, "the C plane angles must begin at 0");
    for (std::size_t b = 0; b < stored.size(); ++b)
      appendPlane(cAngles[b], b);
    if (p.planes.back() < 360.0)
      appendPlane(360.0, 0);
    break;
  case 1:
    p.symmetry = PlaneSymmetry::Rotational;
    appendPlane(0.0, 0);
    break;
  case 2:
    p.symmetry = PlaneSymmetry::AboutC0C180;
    expectAngle(0, 0.0);
    expectAngle(stored.size() - 1, 180.0);
    for (std::size_t b = 0; b < stored.size(); ++b)
      appendPlane(cAngles[stored[b]], b);
    break;
  case 3:
    // The file holds C270..C0..C90; the mirror in the C90-C270 plane (c -> 180 - c) gives the C90..C270 half the
    // program's table holds, walked from the end so that the angles ascend.
    p.symmetry = PlaneSymmetry::AboutC90C270;
    expectAngle(0, 270.0);
    expectAngle(stored.size() - 1, 90.0);
    for (std::size_t b = stored.size(); b-- > 0;)
      appendPlane(std::fmod(540.0 - cAngles[stored[b]], 360.0), b);
    break;
  case 4:
    p.symmetry = PlaneSymmetry::BothPlanes;
    expectAngle(0, 0.0);
    expectAngle(stored.size() - 1, 90.0);
    for (std::size_t b = 0; b < stored.size(); ++b)
      appendPlane(cAngles[stored[b]], b);
    break;
  }
  if (!detail::StrictlyAscending(p.planes))
    throw PhotometryError(name, mcLine, "the C plane angles of the stored half do not ascend");

  p.lampCount = static_cast<int>(std::fabs(lamps[0]));
  p.absolute = lamps[0] < 0;
  p.lampFlux = flux[0] / p.lampCount;
  p.lampType = types[0];
  p.wattage = watts[0];
  if (sets > 1)
    p.warnings.push_back("the file describes " + std::to_string(sets) + " lamp sets; the first is taken");
  detail::FinishImport(p, name, fluxLine, tableLine);
  return p;
}

}  // namespace qorsrv
