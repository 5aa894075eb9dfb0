// IES LM-63 (.ies), the 1986, 1991, 1995 and 2002 forms:
//   an optional first line "IESNA:LM-63-1995" / "IESNA:LM-63-2002" / "IESNA91";
//   keyword lines "[KEYWORD] text" ([MORE] continues the one before);
//   "TILT=NONE", "TILT=INCLUDE" followed by the tilt block (lamp-to-luminaire geometry, angle count, angles,
//   multipliers), or "TILT=<file>";
//   then numbers separated by blanks, commas or line ends: number of lamps, lumens per lamp (-1: absolute
//   photometry), candela multiplier, number of vertical angles, number of horizontal angles, photometric type
//   (1 C, 2 B, 3 A), units (1 feet, 2 metres), width, length, height; ballast factor, ballast-lamp factor
//   ("future use" in 2002), input watts; the vertical angles, the horizontal angles, and the candela values,
//   all vertical angles of the first horizontal angle, then of the next.
// Horizontal angles of type C say the lateral symmetry: 0 alone (rotational), 0..90, 0..180, 0..360, 90..270.
#include "outside/servers/photometry.h"
#include "outside/servers/photometry_text.h"

#include <cmath>

namespace qorsrv {

namespace {

constexpr int kMaxVerticalAngles = 1801;
constexpr int kMaxHorizontalAngles = 1441;
constexpr int kMaxTiltAngles = 1801;
constexpr double kMillimetresPerFoot = 304.8;

struct Token {
  std::string_view text;
  int line;
};

class TokenReader {
public:
  TokenReader(const std::vector<std::string_view>& lines, std::size_t firstLine, const std::string& name)
    : m_name(name), m_lastLine(static_cast<int>(lines.size()))
  {
    for (std::size_t i = firstLine; i < lines.size(); ++i) {
      std::string_view line = lines[i];
      std::size_t pos = 0;
      while (pos < line.size()) {
        while (pos < line.size() && (std::isspace(static_cast<unsigned char>(line[pos])) || line[pos] == ','))
          ++pos;
        std::size_t start = pos;
        while (pos < line.size() && !std::isspace(static_cast<unsigned char>(line[pos])) && line[pos] != ',')
          ++pos;
        if (pos > start)
          m_tokens.push_back({line.substr(start, pos - start), static_cast<int>(i) + 1});
      }
    }
  }

  double Number(const char* what)
  {
    if (m_next >= m_tokens.size())
      throw PhotometryError(m_name, m_lastLine, std::string("the file ends early; expected ") + what);
    const Token& t = m_tokens[m_next++];
    auto value = detail::ParseNumber(t.text);
    if (!value)
      throw PhotometryError(m_name, t.line, std::string("expected a number (") + what + "), found \"" +
                                              std::string(t.text) + "\"");
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
  [[noreturn]] void Fail(const std::string& what) const
  {
    throw PhotometryError(m_name, m_next > 0 ? m_tokens[m_next - 1].line : m_lastLine, what);
  }
  int Line() const { return m_next > 0 ? m_tokens[m_next - 1].line : 0; }

private:
  std::vector<Token> m_tokens;
  std::string m_name;
  int m_lastLine;
  std::size_t m_next = 0;
};

bool StartsWith(std::string_view s, std::string_view prefix) { return s.substr(0, prefix.size()) == prefix; }

std::string Upper(std::string_view s)
{
  std::string u(s);
  for (char& c : u)
    c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return u;
}

}  // namespace

Photometry ParseIes(const std::string& text, const std::string& name)
{
  const std::vector<std::string_view> lines = detail::SplitLines(text);
  Photometry p;
  p.format = "IES LM-63-1986";
  std::size_t i = 0;
  if (!lines.empty()) {
    std::string first = Upper(detail::Trim(lines[0]));
    if (StartsWith(first, "IESNA")) {
      p.format = StartsWith(first, "IESNA:LM-63-") ? "IES " + first.substr(6) : "IES LM-63-1991";
      i = 1;
    }
  }
  std::string* lastKeyword = nullptr;
  std::string tilt;
  int tiltLine = 0;
  for (; i < lines.size(); ++i) {
    std::string_view line = detail::Trim(lines[i]);
    if (StartsWith(Upper(line), "TILT")) {
      std::size_t eq = line.find('=');
      if (eq == std::string_view::npos)
        throw PhotometryError(name, static_cast<int>(i) + 1, "the TILT line has no '='");
      tilt = std::string(detail::Trim(line.substr(eq + 1)));
      tiltLine = static_cast<int>(i) + 1;
      ++i;
      break;
    }
    if (line.empty() || line.front() != '[')
      continue;
    std::size_t close = line.find(']');
    if (close == std::string_view::npos)
      continue;
    const std::string keyword = Upper(line.substr(1, close - 1));
    const std::string value = detail::TextToUtf8(line.substr(close + 1));
    std::string* field = nullptr;
    if (keyword == "MANUFAC")
      field = &p.manufacturer;
    else if (keyword == "LUMINAIRE")
      field = &p.luminaireName;
    else if (keyword == "LUMCAT")
      field = &p.luminaireNumber;
    else if (keyword == "LAMP")
      field = &p.lampType;
    else if (keyword == "TEST")
      field = &p.reportNumber;
    else if (keyword == "ISSUEDATE" || keyword == "DATE")
      field = &p.dateAndUser;
    else if (keyword == "MORE" && lastKeyword) {
      *lastKeyword += " " + value;
      continue;
    }
    if (field && field->empty())
      *field = value;
    lastKeyword = field;
  }
  if (tiltLine == 0)
    throw PhotometryError(name, static_cast<int>(lines.size()), "the file has no TILT line");

  TokenReader in(lines, i, name);
  const std::string tiltKind = Upper(tilt);
  if (tiltKind == "INCLUDE") {
    // The multipliers give the lamp's output at each tilt of the luminaire; the program's table is one
    // distribution for every tilt a pole may give, so a file whose output changes with tilt is refused rather
    // than read as if it did not. Multipliers of 1 throughout say nothing and read as TILT=NONE.
    in.Integer("the lamp-to-luminaire geometry", 1, 3);
    const int n = in.Integer("the number of tilt angles", 1, kMaxTiltAngles);
    double previous = -1.0;
    for (int k = 0; k < n; ++k) {
      const double angle = in.Number("a tilt angle");
      if (!(angle >= 0.0 && angle <= 180.0) || angle <= previous)
        in.Fail("the tilt angles must rise from 0 to at most 180 degrees");
      previous = angle;
    }
    for (int k = 0; k < n; ++k) {
      const double m = in.Number("a tilt multiplier");
      if (!(m >= 0.0) || !std::isfinite(m))
        in.Fail("a tilt multiplier must not be negative");
      if (std::fabs(m - 1.0) > 1e-6)
        in.Fail("the lamp output changes with the tilt of the luminaire (TILT=INCLUDE multipliers other than "
                "1), which the program cannot apply; export the file for the luminaire's working tilt "
                "with TILT=NONE");
    }
  } else if (tiltKind != "NONE") {
    throw PhotometryError(name, tiltLine, "tilt data in a separate file (\"" + tilt + "\") cannot be read");
  }

  p.lampCount = in.Integer("the number of lamps", 1, 1000);
  const double lumens = in.Number("the lumens per lamp");
  const int lumensLine = in.Line();
  if (lumens != -1.0 && !(lumens > 0.0))
    in.Fail("the lumens per lamp must be positive or -1 (absolute photometry)");
  const double multiplier = in.Number("the candela multiplier");
  if (!(multiplier > 0.0))
    in.Fail("the candela multiplier must be positive");
  const int nv = in.Integer("the number of vertical angles", 2, kMaxVerticalAngles);
  const int nh = in.Integer("the number of horizontal angles", 1, kMaxHorizontalAngles);
  const int type = in.Integer("the photometric type", 1, 3);
  if (type != 1)
    in.Fail("only type C photometry can be imported (this file is type " + std::string(type == 2 ? "B" : "A") + ")");
  const int units = in.Integer("the units type", 1, 2);
  const double scale = units == 1 ? kMillimetresPerFoot : 1000.0;
  p.widthMm = std::fabs(in.Number("the width")) * scale;
  p.lengthMm = std::fabs(in.Number("the length")) * scale;
  p.heightMm = std::fabs(in.Number("the height")) * scale;
  const double ballast = in.Number("the ballast factor");
  double ballastLamp = in.Number("the ballast-lamp factor");
  p.wattage = in.Number("the input watts");
  if (!(ballast > 0.0))
    in.Fail("the ballast factor must be positive");
  // LM-63-2002 reserves the field ("future use"); older forms multiply by it.
  if (p.format == "IES LM-63-2002" || !(ballastLamp > 0.0))
    ballastLamp = 1.0;

  std::vector<double> vertical(nv), horizontal(nh);
  for (double& v : vertical)
    v = in.Number("a vertical angle");
  const int verticalLine = in.Line();
  for (double& h : horizontal)
    h = in.Number("a horizontal angle");
  const int horizontalLine = in.Line();
  if (!detail::StrictlyAscending(vertical) || vertical.front() < 0.0 || vertical.back() > 180.0)
    throw PhotometryError(name, verticalLine, "the vertical angles must ascend within 0..180");
  if (!detail::StrictlyAscending(horizontal))
    throw PhotometryError(name, horizontalLine, "the horizontal angles must ascend");
  std::vector<double> candela(static_cast<std::size_t>(nv) * nh);
  const double factor = multiplier * ballast * ballastLamp;
  int candelaLine = 0;
  for (double& c : candela) {
    c = in.Number("a candela value") * factor;
    candelaLine = candelaLine == 0 ? in.Line() : candelaLine;
  }

  const double first = horizontal.front(), last = horizontal.back();
  if (nh == 1 && first == 0.0)
    p.symmetry = PlaneSymmetry::Rotational;
  else if (first == 0.0 && last == 90.0)
    p.symmetry = PlaneSymmetry::BothPlanes;
  else if (first == 0.0 && last == 180.0)
    p.symmetry = PlaneSymmetry::AboutC0C180;
  else if (first == 0.0 && last > 180.0 && last <= 360.0)
    p.symmetry = PlaneSymmetry::Full;
  else if (first == 90.0 && last == 270.0)
    p.symmetry = PlaneSymmetry::AboutC90C270;
  else
    throw PhotometryError(name, horizontalLine, "horizontal angles from " + std::to_string(first) + " to " +
                                                  std::to_string(last) + " are no lateral symmetry of type C");
  p.gammas = vertical;
  p.planes = horizontal;
  p.intensities = candela;
  if (p.symmetry == PlaneSymmetry::Full && last < 360.0) {
    p.planes.push_back(360.0);
    p.intensities.insert(p.intensities.end(), candela.begin(), candela.begin() + nv);
  }

  // Candela to cd/klm of the lamps. With absolute photometry the luminaire's own flux stands in for the lamps'.
  double totalLampFlux = lumens * p.lampCount;
  if (lumens == -1.0) {
    p.absolute = true;
    p.lampFlux = 1000.0 / p.lampCount;
    totalLampFlux = FluxPerKilolumen(p);
    if (!std::isfinite(totalLampFlux))
      throw PhotometryError(name, candelaLine,
                            "the intensities are too large: the luminous flux they describe is not a finite number");
    if (!(totalLampFlux > 0.0))
      in.Fail("absolute photometry without any light");
  }
  p.lampFlux = totalLampFlux / p.lampCount;
  for (double& v : p.intensities)
    v *= 1000.0 / totalLampFlux;
  detail::FinishImport(p, name, lumensLine, candelaLine);
  return p;
}

}  // namespace qorsrv
