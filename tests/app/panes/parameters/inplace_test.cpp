// The in-place buttons: the luminaire choice with the prices it takes from the price database, the underlay of an
// open site from a drawing file, and the undo steps the pane takes and drops around them.
#include "tests/app/panes/parameters/pane_env.h"

#include "document/graphic_core.h"
#include "model/light_device.h"
#include "outside/grafocore/grafocore.h"
#include "model/lamp_post.h"
#include "outside/servers/iluminaire_database.h"
#include "outside/servers/ipole_catalog.h"
#include "outside/servers/iprice_database.h"
#include "tests/model/fake_analytics.h"

#include <filesystem>
#include <fstream>

namespace {

using namespace VisualCtrl;

// Stands in for the luminaire selection dialog.
struct ScriptedChooser : qorsrv::ILuminaireChooser {
  LONG answer = -1;
  int asked = 0;
  LONG ChooseLuminaire(ILuminaireDatabase*, const char*) override
  {
    ++asked;
    return answer;
  }
};

// The document's graphics core with the drawing library's own DXF import and extent.
class DrawingCore : public CGraphicCore {
public:
  using CGraphicCore::CGraphicCore;
  static CGraphicCore* Make(IQorRoadDoc* context) { return new DrawingCore(context); }
  void OpenDxfFile(const char* path, int* id) override { grafocore::OpenDXFFile(path, id); }
  void GetLibraryProjectSize(double out[3]) override { grafocore::GetProjectDimentions(&out[0], &out[1], &out[2]); }
};

// Stands in for the pole-and-bracket selection dialog.
struct ScriptedPoleChooser : qorsrv::IPoleChooser {
  int asked = 0;
  bool ChoosePole(const qorsrv::PoleCatalogContents&, int*, int*) override
  {
    ++asked;
    return false;
  }
};

class InplaceButtonTest : public ParametersPaneTest {
protected:
  void SetUp() override
  {
    SetGraphicCoreFactory(&DrawingCore::Make);
    ParametersPaneTest::SetUp();
    void* out = nullptr;
    ASSERT_TRUE(SUCCEEDED(doc->QueryInterface(IID_ILuminaireDatabase, &out)) && out);
    auto* database = static_cast<IUnknown*>(out);
    void* catalogue = nullptr;
    ASSERT_TRUE(SUCCEEDED(database->QueryInterface(qorsrv::IID_ILuminaireCatalogue, &catalogue)) && catalogue);
    static_cast<qorsrv::ILuminaireCatalogue*>(catalogue)->SetChooser(&chooser);
    static_cast<IUnknown*>(catalogue)->Release();
    database->Release();
  }
  void TearDown() override
  {
    void* out = nullptr;
    if (SUCCEEDED(doc->QueryInterface(IID_ILuminaireDatabase, &out)) && out) {
      void* catalogue = nullptr;
      if (SUCCEEDED(static_cast<IUnknown*>(out)->QueryInterface(qorsrv::IID_ILuminaireCatalogue, &catalogue))) {
        static_cast<qorsrv::ILuminaireCatalogue*>(catalogue)->SetChooser(nullptr);
        static_cast<IUnknown*>(catalogue)->Release();
      }
      static_cast<IUnknown*>(out)->Release();
    }
    ParametersPaneTest::TearDown();
    SetGraphicCoreFactory(nullptr);
  }
  IPriceDatabase* Prices()
  {
    void* out = nullptr;
    EXPECT_TRUE(SUCCEEDED(doc->QueryInterface(IID_IPriceDatabase, &out)) && out);
    static_cast<IUnknown*>(out)->Release();  // the document keeps it
    return static_cast<IPriceDatabase*>(out);
  }
  LRESULT Press(UINT id)
  {
    CTKPropertyGridItem* item = Item(id);
    EXPECT_NE(item, nullptr) << id;
    return frame.SendMessage(TKWM_PROPERTYGRID_NOTIFY, TK_PGN_INPLACEBUTTONDOWN, reinterpret_cast<LPARAM>(item));
  }

  ScriptedChooser chooser;
};

TEST_F(InplaceButtonTest, LuminaireWithoutPriceTakesTheDatabasesFigures)
{
  IGroupOfDev* group = RoadGroup();
  CLightDevice* device = group->GetLightDevice();
  const CString key = device->luminaireName;
  const CString lamp = device->lampType;
  const double power = device->lampPower;
  IPriceDatabase* prices = Prices();
  ASSERT_EQ(prices->SetLuminairePrice(key, 1234567), S_OK);
  ASSERT_EQ(prices->SetLuminaireInstallation(key, 250000), S_OK);
  ASSERT_EQ(prices->SetLuminaireCleaning(key, 75050), S_OK);
  ASSERT_EQ(prices->SetCleaningsPerYear(key, 3), S_OK);
  ASSERT_EQ(prices->SetLuminaireLife(key, 60000), S_OK);
  ASSERT_EQ(prices->SetLampPrice(lamp, power, 9900), S_OK);
  ASSERT_EQ(prices->SetLampLife(lamp, power, 50000), S_OK);
  ASSERT_EQ(prices->SetDriverLoss(key, 1.08), S_OK);
  ASSERT_EQ(prices->SetBallastLoss(lamp, power, 1.15), S_OK);

  testing_support::FakeAnalytics analytics;
  shell.analytics = analytics.Module();

  // Cancelled: no undo step, no closing step, nothing changed; the dialog's screen is counted all the same.
  Show(group);
  EXPECT_FALSE(doc->CanUndo());
  EXPECT_EQ(Press(kItemGroupLuminaire), 0);
  EXPECT_EQ(chooser.asked, 1);
  EXPECT_FALSE(doc->CanUndo());
  EXPECT_EQ(testing_support::FakeAnalytics::Take(), std::vector<std::string>{"Диалог выбора светильника/1"});

  chooser.answer = 0;
  Show(group);
  EXPECT_EQ(Press(kItemGroupLuminaire), 0);
  device = group->GetLightDevice();
  ASSERT_EQ(device->luminairePrice == 1234567, true) << "the catalogue's luminaire came with a price";
  EXPECT_EQ(device->installationCost, 250000);
  EXPECT_EQ(device->cleaningCost, 75050);
  EXPECT_EQ(device->cleaningsPerYear, 3);
  EXPECT_EQ(device->luminaireLife, 60000);
  EXPECT_EQ(device->lampPrice, 9900);
  EXPECT_EQ(device->lampLife, 50000);
  // An LED luminaire takes its driver's loss by key, another its ballast's by lamp.
  EXPECT_DOUBLE_EQ(device->powerLossFactor, CString(lamp).Find("СД") >= 0 ? 1.08 : 1.15);
  EXPECT_TRUE(doc->CanUndo());
  shell.analytics = nullptr;
}

TEST_F(InplaceButtonTest, UserPoleTakesTheDefaultPricesAndACancelledChoiceNothing)
{
  void* out = nullptr;
  ASSERT_TRUE(SUCCEEDED(doc->QueryInterface(IID_IPoleCatalog, &out)) && out);
  void* select = nullptr;
  ASSERT_TRUE(SUCCEEDED(static_cast<IUnknown*>(out)->QueryInterface(qorsrv::IID_IPoleCatalogSelect, &select)));
  ScriptedPoleChooser poles;
  static_cast<qorsrv::IPoleCatalogSelect*>(select)->SetChooser(&poles);

  IGroupOfDev* group = RoadGroup();
  IPole* first = Part<IPole>(group, IID_IPole);
  IPriceDatabase* prices = Prices();
  ASSERT_EQ(prices->SetDefaultPolePrice(100.5), S_OK);
  ASSERT_EQ(prices->SetDefaultBracketMountPrice(7.25), S_OK);

  // "Пользовательские" on a catalogue pole: the database's default prices.
  const int typical = 1;
  first->SetTypical(&typical);
  Show(group);
  EXPECT_EQ(CommitChoice(kItemPoleCatalogue, 0), 1);
  EXPECT_EQ(*first->GetTypical(), 0);
  EXPECT_DOUBLE_EQ(first->GetPolePrice(), 100.5);
  EXPECT_DOUBLE_EQ(first->GetBracketMountPrice(), 7.25);

  // The catalogue dialog cancelled: no undo step and the pole as it was; its screen is counted.
  testing_support::FakeAnalytics analytics;
  shell.analytics = analytics.Module();
  first->SetTypical(&typical);
  Show(group);
  const bool couldUndo = doc->CanUndo();
  EXPECT_EQ(Press(kItemPoleRecord), 0);
  EXPECT_EQ(poles.asked, 1);
  EXPECT_EQ(testing_support::FakeAnalytics::Take(), std::vector<std::string>{"Диалог выбора опоры и кронштейна/1"});
  shell.analytics = nullptr;
  EXPECT_EQ(doc->CanUndo(), couldUndo);
  EXPECT_DOUBLE_EQ(first->GetPolePrice(), 100.5);

  static_cast<qorsrv::IPoleCatalogSelect*>(select)->SetChooser(nullptr);
  static_cast<IUnknown*>(select)->Release();
  static_cast<IUnknown*>(out)->Release();
}

TEST_F(InplaceButtonTest, DrawingUnderlaySetsTheAreaSizeUpToTheLimit)
{
  // A drawing 5000 m long and 300 m wide, written out by hand.
  const std::string path = ::testing::TempDir() + "underlay-5000x300.dxf";
  std::ofstream(path) << "0\nSECTION\n2\nENTITIES\n"
                         "0\nLINE\n8\n0\n10\n0.0\n20\n0.0\n30\n0.0\n11\n5000.0\n21\n300.0\n31\n0.0\n"
                         "0\nENDSEC\n0\nEOF\n";
  IArea* site = AddOpenSite();
  Show(site);

  // The file dialog cancelled: no undo step and the binding as it was.
  EXPECT_EQ(Press(kItemAreaUnderlay), 0);
  ASSERT_FALSE(answers.Asked().empty());
  EXPECT_EQ(answers.Asked().back().kind, user::ModalQuestion::Kind::OpenFile);
  EXPECT_FALSE(doc->CanUndo());
  EXPECT_EQ(*site->GetUnderlayId(), 0);

  // A file the drawing library cannot read changes nothing either.
  const std::string broken = ::testing::TempDir() + "underlay-broken.dxf";
  std::ofstream(broken) << "not a drawing";
  std::string reply = broken;
  user::SetModalResponder([&](const user::ModalQuestion& q) {
    if (q.kind != user::ModalQuestion::Kind::OpenFile)
      return IDCANCEL;
    q.reply = reply;
    return IDOK;
  });
  const double length = *site->GetLength();
  EXPECT_EQ(Press(kItemAreaUnderlay), 0);
  EXPECT_EQ(*site->GetUnderlayId(), 0);
  EXPECT_DOUBLE_EQ(*site->GetLength(), length);
  EXPECT_FALSE(doc->CanUndo());

  reply = path;
  Show(site);
  frame.messages.clear();
  EXPECT_EQ(Press(kItemAreaUnderlay), 0);
  EXPECT_NE(*site->GetUnderlayId() & 0x1000, 0);
  EXPECT_DOUBLE_EQ(*site->GetLength(), 2000);
  EXPECT_DOUBLE_EQ(*site->GetWidth(), 300);
  EXPECT_TRUE(doc->CanUndo());
  user::SetModalResponder(nullptr);
  std::filesystem::remove(path);
  std::filesystem::remove(broken);
}

}  // namespace
