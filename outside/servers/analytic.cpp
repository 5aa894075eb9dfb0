#include "outside/servers/analytic.h"

#include <cmath>
#include <numbers>

namespace qorsrv {

namespace {

// Texts of the catalogue are UTF-8; narrow literals are code page 1251 in this build.
std::string Utf8(const char8_t* text) { return reinterpret_cast<const char*>(text); }

}  // namespace

Photometry MakeFloodlight(const AnalyticFloodlight& f)
{
  Photometry p;
  p.sourceFile = "analytic";
  p.format = "analytic";
  p.manufacturer = "Tesmira Road";
  p.luminaireName = f.name;
  p.lampType = f.lampType;
  p.lampCount = 1;
  p.lampFlux = f.lampFlux;
  p.wattage = f.wattage;
  p.symmetry = PlaneSymmetry::Rotational;
  p.planes = {0.0};
  const double deg = std::numbers::pi / 180.0;
  const double n = std::log(0.5) / std::log(std::cos(f.halfPeakAngle * deg));
  const double peak = f.lightOutputRatio * 1000.0 * (n + 1.0) / (2.0 * std::numbers::pi);
  const int steps = static_cast<int>(std::lround(180.0 / f.gammaStep));
  for (int i = 0; i <= steps; ++i) {
    const double gamma = 180.0 * i / steps;
    p.gammas.push_back(gamma);
    p.intensities.push_back(gamma < 90.0 ? peak * std::pow(std::cos(gamma * deg), n) : 0.0);
  }
  Validate(p);
  return p;
}

AnalyticFloodlight StarterFloodlight()
{
  AnalyticFloodlight f;
  f.name = Utf8(u8"Прожектор симметричный 400 Вт (аналитическое распределение cos^n, 30°)");
  f.lampType = Utf8(u8"МГЛ 400 Вт");
  f.lampFlux = 32000.0;
  f.wattage = 430.0;
  f.halfPeakAngle = 30.0;
  f.lightOutputRatio = 0.75;
  f.gammaStep = 2.5;
  return f;
}

}  // namespace qorsrv
