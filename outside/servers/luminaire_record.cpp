#include "outside/servers/luminaire_record.h"

#include "outside/servers/photometry.h"
#include "outside/servers/qord_file.h"
#include "platform/base/codepage.h"

#include <cctype>
#include <cstdio>

namespace qorsrv {

namespace {

bool ContainsLed(const std::string& text)
{
  for (std::size_t i = 0; i + 3 <= text.size(); ++i)
    if (std::toupper(static_cast<unsigned char>(text[i])) == 'L' &&
        std::toupper(static_cast<unsigned char>(text[i + 1])) == 'E' &&
        std::toupper(static_cast<unsigned char>(text[i + 2])) == 'D')
      return true;
  return false;
}

}  // namespace

IntensityTable MakeIntensityTable(const Photometry& p)
{
  IntensityTable t;
  const int planes = static_cast<int>(p.planes.size());
  const int gammas = static_cast<int>(p.gammas.size());
  t.Resize(planes + 1, gammas + 1);
  for (int g = 0; g < gammas; ++g)
    t.At(g + 2, 1) = p.gammas[g];
  for (int c = 0; c < planes; ++c) {
    t.At(1, c + 2) = p.planes[c];
    for (int g = 0; g < gammas; ++g)
      t.At(g + 2, c + 2) = p.At(c, g);
  }
  return t;
}

LuminaireRecord MakeLuminaireRecord(const LuminaireEntry& entry, const std::string& key)
{
  const Photometry& p = entry.photometry;
  auto cp = [](const std::string& utf8) { return codepage::Utf8ToCp1251(utf8); };
  LuminaireRecord r;
  r.textA = key;
  r.textB = key;
  r.luminaireName = cp(p.luminaireName);
  r.textD = cp(entry.catalogueId);
  r.luminaireMaker = cp(p.manufacturer);
  r.lampType = cp(p.lampType);
  // The program knows an LED luminaire by "СД" in its lamp type.
  if (ContainsLed(p.lampType) && r.lampType.find("СД") == std::string::npos)
    r.lampType = "СД " + r.lampType;
  r.lampPower = p.wattage / p.lampCount;
  r.lampFlux = p.lampFlux;
  r.symmetryWord = SymmetryWord(p);
  r.lampCount = p.lampCount;
  r.displayName = cp(entry.displayName);
  r.textF = cp(p.format);
  r.textG = cp(p.sourceFile);
  r.textL = cp(entry.code);
  r.textI = cp(p.luminaireNumber);
  r.textJ = cp(p.reportNumber);
  r.producer = cp(entry.producer);
  char size[96];
  std::snprintf(size, sizeof size, "%g x %g x %g", p.lengthMm, p.widthMm, p.heightMm);
  r.textK = size;
  r.extraWord = entry.analytic ? 1 : 0;
  for (const std::string& w : p.warnings)
    r.textList.push_back(cp(w));
  r.table = MakeIntensityTable(p);
  return r;
}

}  // namespace qorsrv
