#include "outside/servers/iluminaire_database.h"
#include "outside/servers/ipole_catalog.h"
#include "outside/servers/iprice_database.h"
#include "outside/servers/istatistics.h"
#include "outside/servers/registration.h"
#include "platform/com/combase.h"

#include <gtest/gtest.h>

using namespace qorsrv;

TEST(ServerRegistration, EveryServerIsCreatedThroughCoCreateInstance)
{
  ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
  RegisterServerClasses();
  const struct {
    const CLSID& clsid;
    const IID& iid;
  } classes[] = {{CLSID_LuminaireDatabase, IID_ILuminaireDatabase},
                 {CLSID_PoleCatalog, IID_IPoleCatalog},
                 {CLSID_PriceDatabase, IID_IPriceDatabase},
                 {CLSID_Statistics, IID_IStatistics}};
  for (const auto& c : classes) {
    IUnknown* object = nullptr;
    EXPECT_EQ(CoCreateInstance(c.clsid, nullptr, CLSCTX_INPROC_SERVER, c.iid, reinterpret_cast<void**>(&object)),
              S_OK);
    ASSERT_NE(object, nullptr);
    EXPECT_EQ(object->Release(), 0u);
  }
  IUnknown* object = nullptr;
  EXPECT_EQ(CoCreateInstance(CLSID_LuminaireDatabase, nullptr, CLSCTX_INPROC_SERVER, IID_IPoleCatalog,
                             reinterpret_cast<void**>(&object)),
            E_NOINTERFACE);
  CoUninitialize();
}
