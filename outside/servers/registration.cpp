#include "outside/servers/registration.h"

#include "outside/servers/iluminaire_database.h"
#include "outside/servers/ipole_catalog.h"
#include "outside/servers/iprice_database.h"
#include "outside/servers/istatistics.h"
#include "platform/com/combase.h"

namespace qorsrv {

void RegisterServerClasses()
{
  platform::RegisterComClass(CLSID_LuminaireDatabase, [](REFIID iid, void** object) {
    return QorSrvCreateInstance(CLSID_LuminaireDatabase, iid, object);
  });
  platform::RegisterComClass(CLSID_PoleCatalog, [](REFIID iid, void** object) {
    return QorSrvCreateInstance(CLSID_PoleCatalog, iid, object);
  });
  platform::RegisterComClass(CLSID_PriceDatabase, [](REFIID iid, void** object) {
    return QorEconomicCreateInstance(CLSID_PriceDatabase, iid, object);
  });
  platform::RegisterComClass(CLSID_Statistics, [](REFIID iid, void** object) {
    return QorStatcsCreateInstance(CLSID_Statistics, iid, object);
  });
}

}  // namespace qorsrv
