// The maker's online catalogue index, read from its XML:
//
//   <any document element>
//     <organizations>                 the first child of this exact name counts
//       <any name>                    one catalogue per child
//         <id>  <name>  <trademark>  <date>  <license_type>  <icon>    in any order, "id" before the others
//
// The index comes from the network and is not trusted: an id that could leave the catalogue folder or the
// address it is put into (path or address characters, control characters, longer than 64 characters) drops its
// catalogue; texts are cut to the 259 characters of the record fields; a picture address is kept only when it
// is http or https.
#pragma once

#include "platform/xml/dom_document.h"

#include <string>
#include <vector>

namespace ManagementPlugins {

inline constexpr std::size_t kMaxCatalogueIdLength = 64;
inline constexpr std::size_t kMaxCatalogueTextLength = 259;

struct InstalledCatalogue {
  std::string id;
  int date = 0;
};

struct OfferedCatalogue {
  std::string id;
  std::string name;
  std::string trademark;  // the name when the index gives none
  int date = 0;
  std::string iconAddress;
};

struct CatalogueIndexReading {
  // In the index's order, up to the error when there is one.
  std::vector<OfferedCatalogue> offered;
  // Installed catalogues the index has a newer date for.
  std::vector<std::string> updates;
  bool error = false;
};

// Whether an id can be both a file name in the catalogue folder and a part of an address.
bool IsSafeCatalogueId(const std::string& id);

// `document` as loaded (an empty document is an error, as is one without "organizations").
CatalogueIndexReading ReadCatalogueIndex(const xml::DomDocument& document,
                                         const std::vector<InstalledCatalogue>& installed);

}  // namespace ManagementPlugins
