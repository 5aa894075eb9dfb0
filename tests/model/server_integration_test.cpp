// The model against the real luminaire database: a group takes the starter catalogue's measured luminaire, and
// the table the record carries across is the database's, cell for cell.
#include "fake_document.h"
#include "model/group_of_dev.h"
#include "model/identifiers.h"
#include "outside/servers/iluminaire_database.h"
#include "outside/servers/starter_catalogue.h"
#include "platform/base/paths.h"
#include "platform/com/variant.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using namespace ObjectModel;

class DatabaseDocument : public FakeDocument {
public:
  explicit DatabaseDocument(ILuminaireDatabase* database) : m_database(database) {}
  HRESULT QueryInterface(REFIID iid, void** out) override
  {
    *out = nullptr;
    if (iid != IID_ILuminaireDatabase)
      return E_NOINTERFACE;
    m_database->AddRef();
    *out = m_database;
    return S_OK;
  }

private:
  ILuminaireDatabase* m_database;
};

TEST(LuminaireDatabase, AGroupTakesTheStarterLuminaireWithItsTable)
{
  const std::string catalogue = ::testing::TempDir() + "model_starter.qord";
  qorsrv::BuildStarterCatalogue(catalogue, TESMIRA_SOURCE_DIR "/outside/servers/data/led-street-2070lm.ies");
  ILuminaireDatabase* database = nullptr;
  ASSERT_EQ(qorsrv::QorSrvCreateInstance(qorsrv::CLSID_LuminaireDatabase, IID_ILuminaireDatabase,
                                         reinterpret_cast<void**>(&database)),
            S_OK);
  LONG status = 0;
  _variant_t path(platform::FromFileSystemPath(catalogue).c_str());
  ASSERT_EQ(database->LuminaireDbAddCatalog(path, TRUE, &status), S_OK) << status;

  DatabaseDocument doc(database);
  IGroupOfDev* group = CreateGroupOfDev(nullptr, &doc, 1, 1);
  qorsrv::LuminaireRecord* record = nullptr;
  ASSERT_EQ(database->LuminaireDbGetLuminaire(&record, -1, 0), S_OK);
  const CLightDevice* device = group->GetLightDevice();
  EXPECT_STREQ(device->luminaireName, record->luminaireName.c_str());
  EXPECT_EQ(device->lampFlux, qorsrv::kStarterStreetLampFlux);
  EXPECT_EQ(device->symmetryWord, record->symmetryWord);
  EXPECT_EQ(device->databaseWord1, record->databaseWord1);
  ASSERT_EQ(device->table->rows, record->table.rows);
  ASSERT_EQ(device->table->columns, record->table.columns);
  ASSERT_GT(record->table.rows, 2);
  for (int column = 1; column <= record->table.columns; ++column) {
    for (int row = 1; row <= record->table.rows; ++row)
      ASSERT_EQ(LinkedTableFind(device->table.get(), column, row)->value, record->table.At(column, row))
          << column << ", " << row;
  }

  // What the engine writers will take: planes -180..180 when the table is a C-plane one.
  CLinkedTable working;
  device->MakeWorkingTable(working.get(), true);
  if ((device->symmetryWord & 0xF0000000u) == 0x10000000u && !(device->symmetryWord & 0x100000u)) {
    EXPECT_EQ(LinkedTableFind(working.get(), 1, 2)->value, -180.0);
    EXPECT_EQ(LinkedTableFind(working.get(), 1, working->rows)->value, 180.0);
  }
  group->Release();
  database->Release();
}

}  // namespace
