#include "outside/servers/starter_catalogue.h"

#include "outside/servers/analytic.h"
#include "outside/servers/qord_file.h"

#include <algorithm>
#include <cstdio>

namespace qorsrv {

namespace {

std::string Utf8(const char8_t* text) { return reinterpret_cast<const char*>(text); }

}  // namespace

void BuildStarterCatalogue(const std::string& qordPath, const std::string& iesPath)
{
  LuminaireEntry street;
  street.catalogueId = kStarterCatalogueId;
  street.code = kStarterStreetLuminaireCode;
  street.photometry = ReadPhotometricFile(iesPath);
  Photometry& p = street.photometry;
  // The header's 1000 lm lamp is wrong for the table (see data/README.md): the table is restated per 1000 lm
  // of the 2070 lm test lamp, and the warning the importer gave for the header no longer applies.
  p.warnings.erase(std::remove_if(p.warnings.begin(), p.warnings.end(),
                                  [](const std::string& w) { return w.rfind("light output ratio", 0) == 0; }),
                   p.warnings.end());
  RestateForLampFlux(p, kStarterStreetLampFlux);
  p.warnings.push_back("lamp flux taken as 2070 lm: the file declares 1000 lm but its table is absolute candela "
                       "of the 2070 lm test lamp");
  p.manufacturer = "Hella";
  p.lampType = "LED (" + p.lampType + ")";
  street.displayName = Utf8(u8"Hella 8 NS 010 758-014, светодиодный, 2070 лм");
  street.producer = "Hella";

  LuminaireEntry flood;
  flood.catalogueId = kStarterCatalogueId;
  flood.code = kStarterFloodlightCode;
  flood.analytic = true;
  flood.photometry = MakeFloodlight(StarterFloodlight());
  flood.displayName = flood.photometry.luminaireName;
  flood.producer = Utf8(u8"аналитическое распределение");

  std::remove(qordPath.c_str());
  QordFile file = QordFile::OpenForWriting(qordPath);
  CatalogueInfo info;
  info.id = kStarterCatalogueId;
  info.version = 1;
  info.maker = Utf8(u8"Стартовый каталог");
  info.trademark = "Tesmira Road";
  info.date = 20261210;
  file.AddCatalogue(info);
  file.AddLuminaires({street, flood});
}

}  // namespace qorsrv
