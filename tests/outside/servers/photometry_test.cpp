#include "outside/servers/analytic.h"
#include "outside/servers/luminaire_record.h"
#include "outside/servers/photometry.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <numbers>
#include <sstream>

using namespace qorsrv;

namespace {

constexpr double kDeg = std::numbers::pi / 180.0;

using Distribution = std::function<double(double c, double gamma)>;

std::string Num(double v)
{
  std::ostringstream s;
  s.imbue(std::locale::classic());
  s.precision(12);
  s << v;
  return s.str();
}

// An EULUMDAT text of Mc evenly spaced planes whose intensity block holds the planes Isym names, with values
// from `f`. One lamp of `flux` lm.
std::string Ldt(int isym, int mc, const std::vector<double>& gammas, const Distribution& f, double flux = 1000.0)
{
  std::vector<std::string> l = {"Maker", "1", std::to_string(isym), std::to_string(mc), Num(360.0 / mc),
                                std::to_string(gammas.size()), "5", "report", "Luminaire", "L-1", "x.ldt", "date",
                                "600", "250", "100", "0", "0", "0", "0", "0", "0", "100", "80", "1", "0",
                                "1", "1", "LED module", Num(flux), "3000", "80", "50"};
  for (int i = 0; i < 10; ++i)
    l.push_back("0");
  for (int i = 0; i < mc; ++i)
    l.push_back(Num(i * 360.0 / mc));
  for (double g : gammas)
    l.push_back(Num(g));
  std::vector<int> planes;
  switch (isym) {
  case 0: for (int i = 0; i < mc; ++i) planes.push_back(i); break;
  case 1: planes = {0}; break;
  case 2: for (int i = 0; i <= mc / 2; ++i) planes.push_back(i); break;
  case 3: for (int i = 0; i <= mc / 2; ++i) planes.push_back((3 * mc / 4 + i) % mc); break;
  case 4: for (int i = 0; i <= mc / 4; ++i) planes.push_back(i); break;
  }
  for (int p : planes)
    for (double g : gammas)
      l.push_back(Num(f(p * 360.0 / mc, g)));
  std::string text;
  for (const auto& s : l)
    text += s + "\r\n";
  return text;
}

// An IES LM-63-2002 text with these horizontal angles, candela from `f`, one lamp of `lumens` lm.
std::string Ies(const std::vector<double>& horizontal, const std::vector<double>& vertical, const Distribution& f,
                double lumens = 1000.0, const std::string& tilt = "TILT=NONE\n")
{
  std::string t = "IESNA:LM-63-2002\n[TEST] R-1\n[MANUFAC] Maker\n[LUMINAIRE] Luminaire\n[MORE] second line\n" + tilt;
  t += "1 " + Num(lumens) + " 1 " + std::to_string(vertical.size()) + " " + std::to_string(horizontal.size()) +
       " 1 2 0.25 0.6 0.1\n1 1 50\n";
  for (double v : vertical)
    t += Num(v) + " ";
  t += "\n";
  for (double h : horizontal)
    t += Num(h) + " ";
  t += "\n";
  for (double h : horizontal) {
    for (double v : vertical)
      t += Num(f(h, v)) + " ";
    t += "\n";
  }
  return t;
}

std::vector<double> Steps(double from, double to, double step)
{
  std::vector<double> v;
  for (double a = from; a <= to + 1e-9; a += step)
    v.push_back(a);
  return v;
}

// Scaled so that every distribution gives a light output ratio a real luminaire could have.
double GammaShape(double g) { return (100.0 + g) / 8.0; }

// Distributions with exactly the symmetry of each kind (and no more), so that a wrong mirror shows.
const Distribution kNone = [](double c, double g) { return GammaShape(g) * (3.0 + std::cos(c * kDeg) + 0.5 * std::sin(c * kDeg)); };
const Distribution kRotational = [](double, double g) { return GammaShape(g); };
const Distribution kAboutC0 = [](double c, double g) { return GammaShape(g) * (3.0 + std::cos(c * kDeg) + 0.3 * std::cos(2 * c * kDeg)); };
const Distribution kAboutC90 = [](double c, double g) { return GammaShape(g) * (3.0 + std::sin(c * kDeg) + 0.3 * std::cos(2 * c * kDeg)); };
const Distribution kBoth = [](double c, double g) { return GammaShape(g) * (3.0 + std::cos(2 * c * kDeg)); };

struct SymmetryCase {
  const char* name;
  bool eulumdat;
  int isym;                        // EULUMDAT
  std::vector<double> horizontal;  // IES
  Distribution f;
  PlaneSymmetry symmetry;
  std::uint32_t planeCode;
  double firstPlane, lastPlane;
};

}  // namespace

// Every symmetry kind of both formats: the stored planes are the range the program's symmetry word names, and
// completed to the full circle they give the distribution back in every plane.
TEST(PhotometricImport, SymmetryKindsGiveTheProgramsPlaneRangesAndCompleteToTheWholeDistribution)
{
  const std::vector<double> gammas = Steps(0, 180, 15);
  const std::vector<SymmetryCase> cases = {
    {"EULUMDAT Isym 0", true, 0, {}, kNone, PlaneSymmetry::Full, kPlanesFull, 0, 360},
    {"EULUMDAT Isym 1", true, 1, {}, kRotational, PlaneSymmetry::Rotational, kPlanesOne, 0, 0},
    {"EULUMDAT Isym 2", true, 2, {}, kAboutC0, PlaneSymmetry::AboutC0C180, kPlanesC0C180, 0, 180},
    {"EULUMDAT Isym 3", true, 3, {}, kAboutC90, PlaneSymmetry::AboutC90C270, kPlanesC90C270, 90, 270},
    {"EULUMDAT Isym 4", true, 4, {}, kBoth, PlaneSymmetry::BothPlanes, kPlanesC0C90, 0, 90},
    {"IES 0", false, 0, {0}, kRotational, PlaneSymmetry::Rotational, kPlanesOne, 0, 0},
    {"IES 0-90", false, 0, Steps(0, 90, 15), kBoth, PlaneSymmetry::BothPlanes, kPlanesC0C90, 0, 90},
    {"IES 0-180", false, 0, Steps(0, 180, 15), kAboutC0, PlaneSymmetry::AboutC0C180, kPlanesC0C180, 0, 180},
    {"IES 0-360", false, 0, Steps(0, 360, 15), kNone, PlaneSymmetry::Full, kPlanesFull, 0, 360},
    {"IES 0-345", false, 0, Steps(0, 345, 15), kNone, PlaneSymmetry::Full, kPlanesFull, 0, 360},
    {"IES 90-270", false, 0, Steps(90, 270, 15), kAboutC90, PlaneSymmetry::AboutC90C270, kPlanesC90C270, 90, 270},
  };
  for (const SymmetryCase& k : cases) {
    SCOPED_TRACE(k.name);
    Photometry p = k.eulumdat ? ParseEulumdat(Ldt(k.isym, 24, gammas, k.f), "case.ldt")
                              : ParseIes(Ies(k.horizontal, gammas, k.f), "case.ies");
    EXPECT_EQ(p.symmetry, k.symmetry);
    EXPECT_EQ(SymmetryWord(p), kSystemC | k.planeCode | kGamma0To180);
    EXPECT_EQ(p.planes.front(), k.firstPlane);
    EXPECT_EQ(p.planes.back(), k.lastPlane);
    for (std::size_t c = 0; c < p.planes.size(); ++c)
      for (std::size_t g = 0; g < p.gammas.size(); ++g)
        ASSERT_NEAR(p.At(c, g), k.f(p.planes[c], p.gammas[g]), 1e-6) << "stored plane " << p.planes[c];

    Photometry full = CompleteToFullCircle(p);
    ASSERT_EQ(full.planes.front(), 0.0);
    ASSERT_EQ(full.planes.back(), 360.0);
    for (std::size_t c = 1; c < full.planes.size(); ++c)
      ASSERT_GT(full.planes[c], full.planes[c - 1]);
    for (std::size_t c = 0; c < full.planes.size(); ++c)
      for (std::size_t g = 0; g < full.gammas.size(); ++g)
        ASSERT_NEAR(full.At(c, g), k.f(full.planes[c], full.gammas[g]), 1e-6) << "plane " << full.planes[c];
  }
}

TEST(PhotometricImport, TheProgramsTableHoldsGammasInRowOnePlanesInColumnOne)
{
  Photometry p = ParseEulumdat(Ldt(4, 4, {0, 45, 90}, kBoth), "t.ldt");
  IntensityTable t = MakeIntensityTable(p);
  ASSERT_EQ(t.rows, 3);  // gamma row + planes C0, C90
  ASSERT_EQ(t.columns, 4);
  EXPECT_EQ(t.At(2, 1), 0.0);
  EXPECT_EQ(t.At(4, 1), 90.0);
  EXPECT_EQ(t.At(1, 2), 0.0);
  EXPECT_EQ(t.At(1, 3), 90.0);
  EXPECT_NEAR(t.At(3, 3), kBoth(90, 45), 1e-9);
  // Stored column by column, each column from row 1 down.
  EXPECT_EQ(t.cells[t.rows * 1 + 0], 0.0);
  EXPECT_NEAR(t.cells[t.rows * 3 + 2], kBoth(90, 90), 1e-9);
}

TEST(PhotometricImport, GammaCodeFollowsTheGammaRange)
{
  const struct {
    std::vector<double> gammas;
    std::uint32_t code;
  } cases[] = {{Steps(0, 90, 5), kGamma0To90}, {Steps(0, 180, 5), kGamma0To180}, {Steps(90, 180, 5), kGamma90To180},
               {Steps(0, 130, 1), kGamma0To180}};
  for (const auto& k : cases) {
    Photometry p = ParseIes(Ies({0}, k.gammas, kRotational), "g.ies");
    EXPECT_EQ(SymmetryWord(p) & 0xFF00u, k.code);
  }
}

TEST(PhotometricImport, IntensitiesArePerKilolumenOfAllLamps)
{
  // 2 lamps of 500 lm with multiplier 2: 100 cd read as 200 cd of 1000 lm -> 200 cd/klm.
  std::string t = "IESNA:LM-63-1995\nTILT=NONE\n2 500 2 2 1 1 2 0 0 0\n1.0 1.0 40\n0 90\n0\n100 50\n";
  Photometry p = ParseIes(t, "m.ies");
  EXPECT_EQ(p.lampCount, 2);
  EXPECT_EQ(p.lampFlux, 500.0);
  EXPECT_NEAR(p.At(0, 0), 200.0, 1e-9);
  EXPECT_NEAR(p.At(0, 1), 100.0, 1e-9);
  EXPECT_EQ(p.format, "IES LM-63-1995");
}

TEST(PhotometricImport, AbsoluteIesTakesTheLuminaireFluxAsLampFlux)
{
  // A constant 100 cd into the lower hemisphere is 2 pi 100 lm.
  Photometry p = ParseIes(Ies({0}, Steps(0, 90, 1), [](double, double) { return 100.0; }, -1.0), "abs.ies");
  EXPECT_TRUE(p.absolute);
  EXPECT_NEAR(p.lampFlux, 2 * std::numbers::pi * 100.0, 0.1);
  EXPECT_NEAR(p.At(0, 0), 100.0 * 1000.0 / p.lampFlux, 1e-9);
  EXPECT_NEAR(LightOutputRatio(p), 100.0, 0.01);
}

TEST(PhotometricImport, NegativeLampCountInEulumdatMeansAbsolutePhotometry)
{
  std::string text = Ldt(1, 1, {0, 90, 180}, kRotational);
  text.replace(text.find("\r\n1\r\nLED module"), 5, "\r\n-1\r\n");
  Photometry p = ParseEulumdat(text, "abs.ldt");
  EXPECT_TRUE(p.absolute);
  EXPECT_EQ(p.lampCount, 1);
}

// A lamp whose output changes with tilt cannot be held by one table for every pole's tilt: the file is refused
// at the first multiplier that is not 1, while a tilt block of ones reads exactly as TILT=NONE.
TEST(PhotometricImport, IncludedTiltReadsWhenItChangesNothingAndIsRefusedWhenItWould)
{
  const std::string head = "IESNA:LM-63-1995\n[TEST] T-7\nTILT=INCLUDE\n";
  const std::string body = "1 1000 1 2 1 1 2 0 0 0\n1.0 1.0 40\n0 90\n0\n100 50\n";

  Photometry ones = ParseIes(head + "1\n3\n0 45 90\n1 1.0 1\n" + body, "ones.ies");
  EXPECT_NEAR(ones.At(0, 0), 100.0, 1e-9);
  EXPECT_NEAR(ones.At(0, 1), 50.0, 1e-9);
  EXPECT_TRUE(ones.warnings.empty());

  const struct {
    const char* name;
    std::string tilt;
    int line;
    const char* says;
  } refused[] = {
    {"output falls with tilt", "1\n3\n0 45 90\n1\n0.9\n0.8\n", 8, "tilt of the luminaire"},
    {"negative multiplier", "1\n2\n0 90\n1 -1\n", 7, "negative"},
    {"angles out of order", "1\n3\n0 90 45\n1 1 1\n", 6, "tilt angles"},
    {"angle beyond 180", "2\n2\n0 200\n1 1\n", 6, "tilt angles"},
    {"geometry out of range", "4\n1\n0\n1\n", 4, "geometry"},
    {"block cut short", "1\n3\n0 45 90\n1 1\n", 0, "tilt multiplier"},
  };
  for (const auto& k : refused) {
    SCOPED_TRACE(k.name);
    // The cut-short block runs into the numbers after it, so it alone is given without them.
    const std::string text = head + k.tilt + (k.line == 0 ? "" : body);
    try {
      ParseIes(text, "tilt.ies");
      ADD_FAILURE() << "accepted";
    } catch (const PhotometryError& e) {
      if (k.line > 0) {
        EXPECT_EQ(e.line(), k.line) << e.what();
      }
      EXPECT_NE(std::string(e.what()).find(k.says), std::string::npos) << e.what();
    }
  }
}

TEST(PhotometricImport, KeywordsFillTheNamesAndMoreContinuesALine)
{
  Photometry p = ParseIes(Ies({0}, {0, 90}, kRotational), "k.ies");
  EXPECT_EQ(p.manufacturer, "Maker");
  EXPECT_EQ(p.luminaireName, "Luminaire second line");
  EXPECT_EQ(p.reportNumber, "R-1");
  EXPECT_NEAR(p.lengthMm, 600.0, 1e-9);
}

TEST(PhotometricImport, LightOutputRatioAboveOneHundredPercentIsReported)
{
  // 300 cd everywhere below the horizon from a 1000 lm lamp is 188 %: doubtful, still a luminaire.
  Photometry p = ParseIes(Ies({0}, Steps(0, 90, 5), [](double, double) { return 300.0; }), "lor.ies");
  ASSERT_EQ(p.warnings.size(), 1u);
  EXPECT_NE(p.warnings[0].find("above 100 %"), std::string::npos);
}

// Figures no luminaire has are refused with the line they stand on, not stored with a warning; and a file reads
// the same whichever line ends it was written with.
TEST(PhotometricImport, HostileFiguresAreRefusedAndEveryLineEndIsRead)
{
  const std::vector<double> g = {0, 90, 180};
  const auto huge = [](double, double) { return 1e308; };
  const auto withEnds = [](std::string text, const std::string& ends) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
      if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
        continue;
      out += text[i] == '\n' ? ends : std::string(1, text[i]);
    }
    return out;
  };
  // EULUMDAT: the lamp flux stands on line 29, the intensities begin on line 50. IES: the lamps' line is 7, the
  // candela begin on line 11.
  const struct {
    const char* name;
    std::string text;
    bool eulumdat;
    int refusedAt;  // 0: read
    const char* says;
  } cases[] = {
      {"EULUMDAT intensities of 1e308 cd/klm", Ldt(0, 4, g, huge), true, 50, "not a finite number"},
      {"IES candela of 1e308", Ies(Steps(0, 360, 90), g, huge), false, 11, "not a finite number"},
      {"IES absolute candela of 1e308", Ies(Steps(0, 360, 90), g, huge, -1.0), false, 11, "not a finite number"},
      {"EULUMDAT lamp flux of 1e-300 lm", Ldt(0, 4, g, kNone, 1e-300), true, 29, "below 1 lm"},
      {"IES lamp flux of 1e-300 lm", Ies(Steps(0, 360, 90), g, kNone, 1e-300), false, 7, "below 1 lm"},
      {"IES lamp flux of 0.5 lm", Ies(Steps(0, 360, 90), g, kNone, 0.5), false, 7, "below 1 lm"},
      // 1000 cd everywhere below the horizon from a 1000 lm lamp: 628 %.
      {"IES light output ratio of 628 %", Ies({0}, Steps(0, 90, 5), [](double, double) { return 1000.0; }), false,
       7, "above 300 %"},
      {"EULUMDAT light output ratio of 628 %", Ldt(1, 1, Steps(0, 90, 5), [](double, double) { return 1000.0; }),
       true, 29, "above 300 %"},
      {"EULUMDAT lamp flux of 1e-300 lm, CR ends", withEnds(Ldt(0, 4, g, kNone, 1e-300), "\r"), true, 29,
       "below 1 lm"},
      {"EULUMDAT, CR LF ends", Ldt(0, 4, g, kNone), true, 0, ""},
      {"EULUMDAT, CR ends", withEnds(Ldt(0, 4, g, kNone), "\r"), true, 0, ""},
      {"EULUMDAT, LF ends", withEnds(Ldt(0, 4, g, kNone), "\n"), true, 0, ""},
      {"IES, LF ends", Ies(Steps(0, 360, 90), g, kNone), false, 0, ""},
      {"IES, CR ends", withEnds(Ies(Steps(0, 360, 90), g, kNone), "\r"), false, 0, ""},
      {"IES, CR LF ends", withEnds(Ies(Steps(0, 360, 90), g, kNone), "\r\n"), false, 0, ""},
  };
  const Photometry ldtReference = ParseEulumdat(Ldt(0, 4, g, kNone), "x.ldt");
  const Photometry iesReference = ParseIes(Ies(Steps(0, 360, 90), g, kNone), "x.ies");
  for (const auto& k : cases) {
    SCOPED_TRACE(k.name);
    const std::string file = k.eulumdat ? "hostile.ldt" : "hostile.ies";
    try {
      const Photometry p = k.eulumdat ? ParseEulumdat(k.text, file) : ParseIes(k.text, file);
      EXPECT_EQ(k.refusedAt, 0) << "accepted";
      const Photometry& reference = k.eulumdat ? ldtReference : iesReference;
      EXPECT_EQ(p.luminaireName, reference.luminaireName);
      EXPECT_EQ(p.planes, reference.planes);
      EXPECT_EQ(p.intensities, reference.intensities);
      EXPECT_EQ(p.lampFlux, reference.lampFlux);
    } catch (const PhotometryError& e) {
      EXPECT_NE(k.refusedAt, 0) << e.what();
      EXPECT_EQ(e.file(), file);
      EXPECT_EQ(e.line(), k.refusedAt) << e.what();
      EXPECT_NE(std::string(e.what()).find(k.says), std::string::npos) << e.what();
    }
  }
}

// Bad files: a clear refusal naming the file and the line, never a crash or a half-read distribution.
TEST(PhotometricImport, BadFilesAreRefusedWithFileAndLine)
{
  const std::vector<double> g = {0, 90, 180};
  const std::string ldt = Ldt(0, 4, g, kNone);
  const std::string ies = Ies(Steps(0, 360, 90), g, kNone);
  auto cutAfterLines = [](const std::string& text, int lines) {
    std::size_t pos = 0;
    for (int i = 0; i < lines; ++i)
      pos = text.find('\n', pos) + 1;
    return text.substr(0, pos);
  };
  auto replaceLine = [](std::string text, int line, const std::string& with) {
    std::size_t pos = 0;
    for (int i = 1; i < line; ++i)
      pos = text.find('\n', pos) + 1;
    std::size_t end = text.find('\r', pos);
    return text.replace(pos, end - pos, with);
  };
  auto replaceText = [](std::string text, const std::string& what, const std::string& with) {
    return text.replace(text.find(what), what.size(), with);
  };
  const struct {
    const char* name;
    std::string text;
    bool eulumdat;
    int line;
    const char* says;
  } cases[] = {
    {"truncated EULUMDAT", cutAfterLines(ldt, 50), true, 51, "ends"},
    {"empty EULUMDAT", "", true, 1, "ends"},
    {"symmetry out of range", replaceLine(ldt, 3, "7"), true, 3, "Isym"},
    {"too many C planes", replaceLine(ldt, 4, "100000"), true, 4, "C planes"},
    {"gamma count not whole", replaceLine(ldt, 6, "2.5"), true, 6, "gamma"},
    {"word in a gamma angle", replaceLine(ldt, 48, "ninety"), true, 48, "ninety"},
    {"Isym 4 with planes not a multiple of 4", replaceLine(replaceLine(ldt, 3, "4"), 4, "6"), true, 4, "multiple"},
    {"truncated IES", cutAfterLines(ies, 10), false, 10, "ends"},
    {"IES type B", replaceText(ies, " 1 2 0.25", " 2 2 0.25"), false, 7, "type C"},
    {"IES tilt file", replaceText(ies, "TILT=NONE", "TILT=lamp.tlt"), false, 6, "lamp.tlt"},
    {"IES without TILT", replaceText(ies, "TILT=NONE", "NO TILT"), false, 0, "TILT"},
    {"IES odd horizontal range", Ies({0, 45}, g, kNone), false, 10, "horizontal"},
    {"IES vertical count beyond bound", replaceText(ies, "1 1000 1 3 5", "1 1000 1 3000000 5"), false, 7, "vertical"},
    {"IES negative candela", replaceText(ies, "\n50 ", "\n-50 "), false, 0, "negative"},
  };
  for (const auto& k : cases) {
    SCOPED_TRACE(k.name);
    try {
      if (k.eulumdat)
        ParseEulumdat(k.text, "bad.ldt");
      else
        ParseIes(k.text, "bad.ies");
      ADD_FAILURE() << "accepted";
    } catch (const PhotometryError& e) {
      EXPECT_EQ(e.file(), k.eulumdat ? "bad.ldt" : "bad.ies");
      if (k.line > 0) {
        EXPECT_EQ(e.line(), k.line) << e.what();
      }
      EXPECT_NE(std::string(e.what()).find(k.says), std::string::npos) << e.what();
    }
  }
}

TEST(AnalyticFloodlight, BeamHasItsHalfPeakAngleAndFlux)
{
  AnalyticFloodlight f = StarterFloodlight();
  Photometry p = MakeFloodlight(f);
  EXPECT_EQ(SymmetryWord(p), kSystemC | kPlanesOne | kGamma0To180);
  // Half the peak at the half-peak angle, nothing above the horizon.
  const double peak = p.At(0, 0);
  const std::size_t half = static_cast<std::size_t>(f.halfPeakAngle / f.gammaStep);
  EXPECT_NEAR(p.At(0, half) / peak, 0.5, 1e-9);
  EXPECT_EQ(p.At(0, p.gammas.size() - 1), 0.0);
  EXPECT_NEAR(LightOutputRatio(p), f.lightOutputRatio * 100.0, 0.5);
  EXPECT_EQ(p.format, "analytic");
}

// Damaged files of every kind end in a PhotometryError or a distribution that passes validation, never in a
// crash, another exception or an allocation the file's size does not justify.
TEST(PhotometricImport, MutatedFilesAreEitherReadOrRefusedCleanly)
{
  const std::vector<double> g = Steps(0, 180, 30);
  const std::string sources[] = {Ldt(0, 8, g, kNone), Ldt(3, 8, g, kAboutC90), Ldt(4, 8, g, kBoth),
                                 Ies(Steps(0, 360, 45), g, kNone), Ies(Steps(90, 270, 45), g, kAboutC90),
                                 Ies({0}, g, kRotational, -1.0, "TILT=INCLUDE\n1\n2\n0 90\n1 1\n")};
  const char* tokens[] = {"", "0", "-1", "1e308", "nan", "inf", "4", "721", "99999999999", "2.5", "x", "360",
                          "-360", ",", "1,5", "TILT=NONE"};
  std::uint32_t seed = 12345;
  auto next = [&] { return seed = seed * 1664525u + 1013904223u; };
  int read = 0, refused = 0;
  for (int round = 0; round < 3000; ++round) {
    const std::size_t which = next() % std::size(sources);
    std::string text = sources[which];
    const int edits = 1 + next() % 3;
    for (int e = 0; e < edits; ++e) {
      const std::size_t pos = next() % (text.size() + 1);
      switch (next() % 3) {
      case 0: text.resize(pos); break;
      case 1: {
        std::size_t end = text.find_first_of(" \r\n", pos);
        text.replace(pos, end == std::string::npos ? std::string::npos : end - pos, tokens[next() % std::size(tokens)]);
        break;
      }
      case 2: text.insert(pos, std::string(" ") + tokens[next() % std::size(tokens)] + "\n"); break;
      }
    }
    try {
      Photometry p = which < 3 ? ParseEulumdat(text, "m.ldt") : ParseIes(text, "m.ies");
      Validate(p);
      CompleteToFullCircle(p);
      ++read;
    } catch (const PhotometryError&) {
      ++refused;
    }
  }
  EXPECT_GT(refused, 0);
  EXPECT_GT(read, 0);
}
