#include "catalogues/manager/catalogue_index.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>

namespace ManagementPlugins {
namespace {

std::string Cut(std::string text)
{
  if (text.size() > kMaxCatalogueTextLength)
    text.resize(kMaxCatalogueTextLength);
  return text;
}

bool IsWebAddress(const std::string& address)
{
  auto startsWith = [&](const char* scheme) {
    const std::size_t n = std::char_traits<char>::length(scheme);
    if (address.size() <= n)
      return false;
    for (std::size_t i = 0; i < n; ++i)
      if (std::tolower(static_cast<unsigned char>(address[i])) != scheme[i])
        return false;
    return true;
  };
  return startsWith("http://") || startsWith("https://");
}

bool IsKnownElement(const std::string& name)
{
  return name == "name" || name == "trademark" || name == "date" || name == "license_type" || name == "icon";
}

}  // namespace

bool IsSafeCatalogueId(const std::string& id)
{
  if (id.empty() || id.size() > kMaxCatalogueIdLength || id.find("..") != std::string::npos)
    return false;
  return std::none_of(id.begin(), id.end(), [](char c) {
    const auto u = static_cast<unsigned char>(c);
    return u < 0x20 || u == 0x7F || c == '/' || c == '\\' || c == '?' || c == '#' || c == '%' || c == ':';
  });
}

CatalogueIndexReading ReadCatalogueIndex(const xml::DomDocument& document,
                                         const std::vector<InstalledCatalogue>& installed)
{
  CatalogueIndexReading reading;
  xml::DomNode organizations;
  for (const xml::DomNode& child : document.DocumentElement().ChildNodes()) {
    if (child.NodeName() == "organizations") {
      organizations = child;
      break;
    }
  }
  if (organizations.IsNull()) {
    reading.error = true;
    return reading;
  }

  for (const xml::DomNode& catalogue : organizations.ChildNodes()) {
    OfferedCatalogue entry;
    bool dropped = false;
    for (const xml::DomNode& field : catalogue.ChildNodes()) {
      const std::string name = field.NodeName();
      if (name == "id") {
        entry.id = field.Text();
        if (!IsSafeCatalogueId(entry.id)) {
          dropped = true;
          break;
        }
        continue;
      }
      if (!IsKnownElement(name))
        continue;
      if (entry.id.empty()) {
        reading.error = true;
        break;
      }
      const std::string text = field.Text();
      if (name == "name") {
        entry.name = Cut(text);
      } else if (name == "trademark") {
        entry.trademark = Cut(text);
      } else if (name == "date") {
        entry.date = static_cast<int>(std::strtol(text.c_str(), nullptr, 10));
        auto same = std::find_if(installed.begin(), installed.end(),
                                 [&](const InstalledCatalogue& c) { return c.id == entry.id; });
        if (same != installed.end()) {
          if (same->date < entry.date &&
              std::find(reading.updates.begin(), reading.updates.end(), entry.id) == reading.updates.end())
            reading.updates.push_back(entry.id);
          dropped = true;
          break;
        }
      } else if (name == "license_type") {
        if (std::strtol(text.c_str(), nullptr, 10) == 3) {
          dropped = true;
          break;
        }
      } else if (name == "icon") {
        entry.iconAddress = IsWebAddress(text) ? text : std::string();
      }
    }
    if (reading.error)
      break;
    // Without an id there is nothing to download or to name a file after; an installed catalogue is never
    // offered again, also when its entry carries no date.
    if (dropped || entry.id.empty() ||
        std::any_of(installed.begin(), installed.end(), [&](const InstalledCatalogue& c) { return c.id == entry.id; }))
      continue;
    if (entry.trademark.empty())
      entry.trademark = entry.name;
    reading.offered.push_back(std::move(entry));
  }
  return reading;
}

}  // namespace ManagementPlugins
