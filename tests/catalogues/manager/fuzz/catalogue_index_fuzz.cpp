// libFuzzer target: the online catalogue index and the catalogue pictures, both from the network. The first byte
// chooses: even, the rest is an index; odd, a picture. Whatever the bytes, reading never crashes, hangs, leaks or
// allocates what the input merely claims, and what it offers keeps the promises the manager relies on.
#include "catalogues/manager/catalogue_index.h"
#include "platform/gdiplus/picture_decode.h"

#include <cctype>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
  if (size == 0)
    return 0;
  const std::uint8_t* bytes = data + 1;
  const std::size_t length = size - 1;
  if (data[0] % 2 == 1) {
    gdiplus::DecodedPicture picture;
    if (gdiplus::DecodePicture(bytes, length, &picture)) {
      if (picture.width <= 0 || picture.height <= 0 || picture.width > gdiplus::kMaxPictureSide ||
          picture.height > gdiplus::kMaxPictureSide ||
          picture.pixels.size() != static_cast<std::size_t>(picture.width) * picture.height)
        std::abort();
    } else if (!picture.pixels.empty() || picture.width != 0) {
      std::abort();
    }
    return 0;
  }

  xml::DomDocument document;
  document.LoadXml(std::string_view(reinterpret_cast<const char*>(bytes), length));
  const std::vector<ManagementPlugins::InstalledCatalogue> installed = {{"100000001", 20230101}, {"1", 0}};
  const ManagementPlugins::CatalogueIndexReading reading = ManagementPlugins::ReadCatalogueIndex(document, installed);
  for (const ManagementPlugins::OfferedCatalogue& c : reading.offered) {
    if (!ManagementPlugins::IsSafeCatalogueId(c.id) || c.id == "100000001" || c.id == "1")
      std::abort();
    if (c.name.size() > ManagementPlugins::kMaxCatalogueTextLength ||
        c.trademark.size() > ManagementPlugins::kMaxCatalogueTextLength)
      std::abort();
    if (!c.iconAddress.empty()) {
      std::string scheme = c.iconAddress.substr(0, c.iconAddress.find(':'));
      for (char& ch : scheme)
        ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
      if (scheme != "http" && scheme != "https")
        std::abort();
    }
  }
  for (const std::string& id : reading.updates)
    if (id != "100000001" && id != "1")
      std::abort();
  return 0;
}
