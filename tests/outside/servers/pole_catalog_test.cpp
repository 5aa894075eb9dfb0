#include "outside/servers/ipole_catalog.h"
#include "outside/servers/iluminaire_database.h"
#include "server_fixture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <fstream>
#include <numbers>

using namespace qorsrv;
using namespace servers_test;

namespace {

template <class F>
std::size_t SlotOf(F member)
{
  std::ptrdiff_t parts[2];
  std::memcpy(parts, &member, sizeof parts);
  return static_cast<std::size_t>((parts[0] - 1) / static_cast<std::ptrdiff_t>(sizeof(void*)));
}

class PoleCatalog {
public:
  PoleCatalog()
  {
    void* object = nullptr;
    EXPECT_EQ(QorSrvCreateInstance(CLSID_PoleCatalog, IID_IPoleCatalog, &object), S_OK);
    m_catalog = static_cast<IPoleCatalog*>(object);
    m_catalog->QueryInterface(IID_IPoleCatalogSelect, reinterpret_cast<void**>(&m_select));
  }
  ~PoleCatalog()
  {
    m_select->Release();
    m_catalog->Release();
  }
  IPoleCatalog* operator->() const { return m_catalog; }
  IPoleCatalogSelect* select() const { return m_select; }

private:
  IPoleCatalog* m_catalog = nullptr;
  IPoleCatalogSelect* m_select = nullptr;
};

struct ScriptedPoleChooser : IPoleChooser {
  bool answer = false;
  int pole = 0, bracket = 0;
  std::size_t offered = 0;
  bool ChoosePole(const PoleCatalogContents& contents, int* p, int* b) override
  {
    offered = contents.poles.size();
    *p = pole;
    *b = bracket;
    return answer;
  }
};

}  // namespace

TEST(PoleCatalog, CalledOperationsStandAtTheirSlots)
{
  EXPECT_EQ(SlotOf(&IPoleCatalog::PoleCatalogOpen), 9u);
  EXPECT_EQ(SlotOf(&IPoleCatalog::PoleCatalogGetCurrent), 23u);
  PoleCatalog catalog;
  using NoArgFn = HRESULT (*)(IPoleCatalog*);
  void** table = *reinterpret_cast<void***>(&*catalog.operator->());
  for (int placeholder : {3, 8, 10, 22})
    EXPECT_EQ(reinterpret_cast<NoArgFn>(table[placeholder])(catalog.operator->()), E_NOTIMPL) << placeholder;
}

TEST(PoleCatalog, StarterCatalogueHandsOutTheTypicalPoleFirst)
{
  TempFolder folder;
  BuildStarterPoleCatalogue(folder / "QorRoad.qorp");
  PoleCatalog catalog;
  ASSERT_EQ(catalog->PoleCatalogOpen(TextVariant(folder / "QorRoad.qorp")), S_OK);
  PoleRecord own;
  PoleRecord* r = &own;
  ASSERT_EQ(catalog->PoleCatalogGetCurrent(&r), S_OK);
  ASSERT_NE(r, &own);
  EXPECT_EQ(r->designation, "Опора типовая 8,5 м");
  EXPECT_EQ(r->height, 8.5);
  ASSERT_EQ(r->currentBracket, 0);
  const BracketRecord& b = r->brackets[0];
  ASSERT_EQ(b.arms.size(), 1u);
  EXPECT_EQ(b.arms[0].rise, 2.0);
  EXPECT_EQ(b.arms[0].outreach, 2.0);
  EXPECT_EQ(b.arms[0].tilt, 15.0);
  // The pole's light centre from these: 8.5 + 2.0 + 0.3 sin 15 and 2.0 + 0.3 cos 15.
  const double tilt = b.arms[0].tilt * std::numbers::pi / 180.0;
  EXPECT_NEAR(r->height + b.arms[0].rise + 0.3 * std::sin(tilt), 10.578, 5e-4);
  EXPECT_NEAR(b.arms[0].outreach + 0.3 * std::cos(tilt), 2.290, 5e-4);
  EXPECT_EQ(r->catalogueWord1, 1);
  EXPECT_EQ(r->catalogueWord2, 1);
}

TEST(PoleCatalog, SelectingAndChoosingPolesAndBrackets)
{
  TempFolder folder;
  BuildStarterPoleCatalogue(folder / "QorRoad.qorp");
  PoleCatalog catalog;
  ASSERT_EQ(catalog->PoleCatalogOpen(TextVariant(folder / "QorRoad.qorp")), S_OK);
  EXPECT_EQ(catalog.select()->SelectPole("ОК-10", "К2-1,5-1,5"), S_OK);
  EXPECT_EQ(catalog.select()->SelectPole("МГ-20", "КТ-1"), S_FALSE);  // the mast takes no street bracket
  PoleRecord* r = nullptr;
  ASSERT_EQ(catalog->PoleCatalogGetCurrent(&r), S_OK);
  EXPECT_EQ(r->code, "ОК-10");
  EXPECT_EQ(r->brackets.size(), 3u);
  ASSERT_EQ(r->currentBracket, 1);
  EXPECT_EQ(r->brackets[1].model, "К2-1,5-1,5");
  ASSERT_EQ(r->brackets[1].arms.size(), 2u);  // two luminaires per pole
  EXPECT_EQ(r->brackets[1].arms[1].turn, 180.0);

  ScriptedPoleChooser chooser;
  catalog.select()->SetChooser(&chooser);
  chooser.answer = true;
  chooser.pole = 5;
  chooser.bracket = 0;
  ASSERT_EQ(catalog->PoleCatalogGetCurrent(&r), S_OK);
  EXPECT_EQ(chooser.offered, 6u);
  EXPECT_EQ(r->height, 20.0);
  EXPECT_EQ(r->brackets[0].arms.size(), 4u);
  chooser.answer = false;
  PoleRecord own;
  r = &own;
  EXPECT_EQ(catalog->PoleCatalogGetCurrent(&r), S_FALSE);
  EXPECT_EQ(r, &own);
  chooser.answer = true;
  chooser.bracket = 3;  // not a bracket of the mast
  EXPECT_EQ(catalog->PoleCatalogGetCurrent(&r), S_FALSE);
  catalog.select()->SetChooser(nullptr);
}

TEST(PoleCatalog, UnreadableFileIsRefused)
{
  TempFolder folder;
  std::ofstream(folder / "junk.qorp") << "junk";
  PoleCatalog catalog;
  EXPECT_EQ(catalog->PoleCatalogOpen(TextVariant(folder / "junk.qorp")), S_FALSE);
  EXPECT_EQ(catalog->PoleCatalogOpen(TextVariant(folder / "missing.qorp")), S_FALSE);
  PoleRecord* r = nullptr;
  EXPECT_EQ(catalog->PoleCatalogGetCurrent(&r), S_FALSE);
  VARIANT number;
  number.vt = VT_I4;
  number.lVal = 3;
  EXPECT_EQ(catalog->PoleCatalogOpen(number), E_INVALIDARG);
}
