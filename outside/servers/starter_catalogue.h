// The starter catalogue the program ships as its main luminaire database: the measured LED street luminaire
// of outside/servers/data and the analytic mast floodlight.
#pragma once

#include <string>

namespace qorsrv {

inline constexpr char kStarterCatalogueId[] = "1";
inline constexpr char kStarterStreetLuminaireCode[] = "hella-8ns010758-014";
inline constexpr char kStarterFloodlightCode[] = "analytic-floodlight-400";
// The measured file's test lamp; its header declares 1000 lm, its table is absolute candela of this lamp.
inline constexpr double kStarterStreetLampFlux = 2070.0;

// Writes the catalogue into `qordPath` (a file-system path; an existing file is replaced). `iesPath` is the
// measured file. Throws PhotometryError or QordError.
void BuildStarterCatalogue(const std::string& qordPath, const std::string& iesPath);

}  // namespace qorsrv
