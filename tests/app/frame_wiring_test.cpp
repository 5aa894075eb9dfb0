// The real main frame with its bars and panes: the toolkit's menu bar, toolbars and status bar, the
// calculation-mode combo, and one edit from the object tree through the parameters pane into the model.
#include "tests/app/app_session.h"

#include "app/calc_modes.h"
#include "app/panes/objecttree/tree_objects.h"
#include "app/panes/parameters/item_ids.h"
#include "app/panes/parameters/prop_objects.h"
#include "app/resource.h"
#include "document/qor_road_doc.h"
#include "model/iarea.h"
#include "model/igroups.h"
#include "model/ipavement.h"
#include "model/iproject.h"
#include "model/iroad.h"
#include "model/cguid.h"
#include "model/identifiers.h"
#include "model/ivisualopt.h"
#include "toolkit/commandbars/controlcombobox.h"
#include "toolkit/propertygrid/typed_items.h"

#include <functional>

namespace apptest {
namespace {

using FrameWiringTest = AppSession;

CQorRoadDoc* Document(CMainFrame* frame) { return dynamic_cast<CQorRoadDoc*>(frame->GetActiveDocument()); }

// The first item, depth first, whose object is of the class.
HTREEITEM FindItem(VisualCtrl::CTreeObjects* tree, HTREEITEM item, const CLSID& kind)
{
  for (; item; item = tree->GetNextSiblingItem(item)) {
    CGuid id;
    if (IClassObjModel* object = tree->GetItemObject(item)) {
      object->GetClassId(&id);
      if (id.IsEqual(&kind))
        return item;
    }
    if (HTREEITEM found = FindItem(tree, tree->GetChildItem(item), kind))
      return found;
  }
  return nullptr;
}

CTKPropertyGridItem* FindGridItem(CTKPropertyGridItems* items, UINT id)
{
  for (int i = 0; items && i < items->GetCount(); ++i) {
    CTKPropertyGridItem* item = items->GetAt(i);
    if (static_cast<UINT>(item->GetItemData()) == id)
      return item;
    if (CTKPropertyGridItem* found = FindGridItem(item->GetChilds(), id))
      return found;
  }
  return nullptr;
}

std::vector<std::string> ComboEntries(CTKControlComboBox* combo)
{
  std::vector<std::string> entries;
  CWnd* list = combo->GetListBar();
  const auto count = list->SendMessage(LB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    char text[64] = {};
    list->SendMessage(LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
    entries.emplace_back(text);
  }
  return entries;
}

TEST_F(FrameWiringTest, TheFrameCarriesTheMenuBarFourToolbarsAndTheStatusBar)
{
  ASSERT_TRUE(Start());
  Pump();
  CTKCommandBars* bars = Frame()->GetCommandBars();
  ASSERT_NE(bars->GetMenuBar(), nullptr);
  EXPECT_EQ(bars->GetMenuBar()->GetTitle(), CString("Меню"));
  EXPECT_EQ(::GetMenu(Frame()->GetSafeHwnd()), nullptr) << "the menu bar took the window menu away";
  const std::pair<UINT, const char*> toolbars[] = {
      {128, "Стандартная"}, {130, "Проект"}, {153, "Вид"}, {746, "Экономика"}};
  for (const auto& [id, title] : toolbars) {
    CTKCommandBar* bar = bars->GetToolBar(id);
    ASSERT_NE(bar, nullptr) << id;
    EXPECT_EQ(bar->GetTitle(), CString(title));
    EXPECT_TRUE(bar->IsWindowVisible()) << id;
  }
  EXPECT_TRUE(bars->IsHiddenCommand(57607));
  EXPECT_TRUE(bars->IsHiddenCommand(57609));
  EXPECT_FALSE(bars->GetCommandBarsOptions()->bAlwaysShowFullMenus);
  EXPECT_NE(bars->GetShortcutManager()->GetDefaultAcceleratorTable(), nullptr);

  CTKStatusBar* status = Frame()->GetStatusBar();
  ASSERT_EQ(status->GetPaneCount(), 2);
  EXPECT_EQ(status->GetPaneText(1), CString("NUM"));
  EXPECT_EQ(status->GetDlgCtrlID(), 59393);
}

TEST_F(FrameWiringTest, TheCalculationModeComboFollowsTheActiveAreaAndSetsTheShownQuantity)
{
  ASSERT_TRUE(Start());
  Pump();
  CTKControlComboBox* combo = Frame()->GetCalcModeCombo();
  ASSERT_NE(combo, nullptr);
  EXPECT_EQ(combo->GetCaption(), CString("Режим расчета "));
  EXPECT_EQ(combo->GetComboStyle(), 1);
  EXPECT_EQ(combo->GetWidth(), static_cast<int>(GetSystemMetrics(SM_CXMENUCHECK) * 15.8));

  // A new straight road with its carriageway and sidewalks on, as the start left it.
  EXPECT_EQ(ComboEntries(combo), (std::vector<std::string>{"Яркость", "Освещенность", "П-ц освещенность"}));
  IVisualOpt* options = Document(Frame())->GetCurrentOptions();
  ASSERT_GE(combo->GetCurSel(), 0);
  EXPECT_EQ(static_cast<int>(combo->GetListBar()->SendMessage(LB_GETITEMDATA, combo->GetCurSel(), 0)),
            *options->GetQuantity());

  // Choosing an entry makes it the shown quantity.
  combo->SetCurSel(2);
  TK_NMCONTROL record{};
  record.hdr.hwndFrom = Frame()->GetSafeHwnd();
  record.hdr.idFrom = kCalcModeControl;
  record.hdr.code = TKN_EXECUTE;
  record.pControl = combo;
  EXPECT_EQ(Frame()->SendMessage(TKWM_CONTROLNOTIFY, 0, reinterpret_cast<LPARAM>(&record)), 1);
  EXPECT_EQ(*options->GetQuantity(), kQuantitySemiCylindrical);

  // During a calculation the filter disables it; otherwise it is always enabled.
  bool enabled = false;
  struct Probe : CCmdUI {
    bool* enabled;
    void Enable(BOOL on) override { *enabled = on != FALSE; }
  } probe;
  probe.m_nID = kCalcModeControl;
  probe.enabled = &enabled;
  Frame()->OnCmdMsg(kCalcModeControl, CN_UPDATE_COMMAND_UI, &probe, nullptr);
  EXPECT_TRUE(enabled);
  Frame()->SendMessage(UM_SETCALCSTATE, Shell::kCalcRunning);
  Frame()->OnCmdMsg(kCalcModeControl, CN_UPDATE_COMMAND_UI, &probe, nullptr);
  EXPECT_FALSE(enabled);
  Frame()->SendMessage(UM_SETCALCSTATE, Shell::kCalcIdle);
}

TEST_F(FrameWiringTest, ASelectedGroupShowsInTheParametersPaneAndItsTypedSpacingIsUndoable)
{
  ASSERT_TRUE(Start());
  Pump();
  VisualCtrl::CTreeObjects* tree = Frame()->GetTreePane();
  VisualCtrl::CPropObjects* pane = Frame()->GetParametersPane();
  ASSERT_NE(tree->GetSafeHwnd(), nullptr);
  ASSERT_NE(pane->GetSafeHwnd(), nullptr);
  HTREEITEM groupItem = FindItem(tree, tree->GetRootItem(), CLSID_CGroupOfDev);
  ASSERT_NE(groupItem, nullptr);
  IClassObjModel* groupObject = tree->GetItemObject(groupItem);

  // The tree's selection reaches the pane through the frame; 0x81F9 selects by item handle.
  EXPECT_EQ(Frame()->SendMessage(UM_SELECTTREEITEM, 0, reinterpret_cast<LPARAM>(groupItem)), 1);
  Pump();
  EXPECT_EQ(tree->GetSelectedItem(), groupItem);
  EXPECT_EQ(pane->GetShownObject(), groupObject);

  void* out = nullptr;
  ASSERT_TRUE(SUCCEEDED(groupObject->QueryInterface(&IID_IGroupOfDev, &out)));
  auto* group = static_cast<IGroupOfDev*>(out);
  const double oldStep = *group->GetStep();
  ASSERT_NE(oldStep, 40);
  auto* spacing =
      DYNAMIC_DOWNCAST(CTKPropertyGridItemDouble, FindGridItem(pane->GetGridView().GetCategories(), VisualCtrl::kItemGroupStep));
  ASSERT_NE(spacing, nullptr);
  CQorRoadDoc* document = Document(Frame());
  EXPECT_FALSE(document->CanUndo());

  // The grid tells its owner; the frame takes the undo state and relays the edit to the pane.
  spacing->SetDouble(40);
  EXPECT_EQ(pane->SendNotifyMessage(TK_PGN_ITEMVALUE_CHANGED, reinterpret_cast<LPARAM>(spacing)), 1);
  EXPECT_DOUBLE_EQ(*group->GetStep(), 40);
  EXPECT_TRUE(document->CanUndo());

  // A refused value leaves the model and the history as they were.
  answers_.AnswerNext(IDOK);
  spacing->SetDouble(1000);
  EXPECT_EQ(pane->SendNotifyMessage(TK_PGN_ITEMVALUE_CHANGED, reinterpret_cast<LPARAM>(spacing)), 0);
  EXPECT_DOUBLE_EQ(*group->GetStep(), 40);
  group->Release();
  Pump();

  Frame()->SendMessage(WM_COMMAND, ids::ID_EDIT_UNDO);
  Pump();
  HTREEITEM restored = FindItem(tree, tree->GetRootItem(), CLSID_CGroupOfDev);
  ASSERT_NE(restored, nullptr);
  ASSERT_TRUE(SUCCEEDED(tree->GetItemObject(restored)->QueryInterface(&IID_IGroupOfDev, &out)));
  group = static_cast<IGroupOfDev*>(out);
  EXPECT_DOUBLE_EQ(*group->GetStep(), oldStep);
  group->Release();
  EXPECT_FALSE(document->CanUndo());
}

// The active area's parts switched on and off, and what the combo then offers.
TEST_F(FrameWiringTest, TheOfferedQuantitiesFollowTheRoadsParts)
{
  ASSERT_TRUE(Start());
  Pump();
  CQorRoadDoc* document = Document(Frame());
  IVisualOpt* options = document->GetCurrentOptions();
  void* out = nullptr;
  ASSERT_TRUE(SUCCEEDED(document->GetCurrentProject()->QueryInterface(&IID_ActiveArea, &out)));
  auto* road = static_cast<IArea*>(out);
  auto part = [](IModelUnknown* owner, const IID& iid) {
    void* found = nullptr;
    EXPECT_TRUE(SUCCEEDED(owner->QueryInterface(&iid, &found)) && found);
    static_cast<IModelUnknown*>(found)->Release();  // the area keeps it
    return found;
  };
  auto* carriageway = static_cast<IRoad*>(part(road, IID_IRoad));
  auto* sidewalks = static_cast<IPavement*>(part(road, IID_IPavement));
  auto* left = static_cast<ILineOfRoad*>(part(sidewalks, IID_LeftPavement));
  auto set = [](auto* object, int value) { object->SetState(&value); };

  const int semiCylindrical = kQuantitySemiCylindrical;
  options->SetQuantity(&semiCylindrical);
  EXPECT_EQ(OfferedQuantities(road, options),
            (std::vector<int>{kQuantityLuminance, kQuantityIlluminance, kQuantitySemiCylindrical}));
  // Only the right sidewalk on.
  set(carriageway, 0);
  set(left, 0);
  EXPECT_EQ(OfferedQuantities(road, options), (std::vector<int>{kQuantityIlluminance, kQuantitySemiCylindrical}));
  EXPECT_EQ(*options->GetQuantity(), kQuantitySemiCylindrical);
  // Carriageway alone: the semi-cylindrical quantity gives way to illuminance.
  set(carriageway, 1);
  const int absent = *sidewalks->GetFlags() | kSideAbsent;
  sidewalks->SetFlags(&absent);
  EXPECT_EQ(OfferedQuantities(road, options), (std::vector<int>{kQuantityLuminance, kQuantityIlluminance}));
  EXPECT_EQ(*options->GetQuantity(), kQuantityIlluminance);
  // Nothing lit.
  set(carriageway, 0);
  EXPECT_TRUE(OfferedQuantities(road, options).empty());

  // An open site shows illuminance alone and forces it.
  const int luminance = kQuantityLuminance;
  options->SetQuantity(&luminance);
  IArea* site = document->GetCurrentProject()->InsertAreaAfter(CLSID_CCustomizeRoad, road);
  ASSERT_NE(site, nullptr);
  EXPECT_EQ(OfferedQuantities(site, options), (std::vector<int>{kQuantityIlluminance}));
  EXPECT_EQ(*options->GetQuantity(), kQuantityIlluminance);
  site->Release();
  road->Release();
  EXPECT_TRUE(OfferedQuantities(nullptr, options).empty());
}

TEST_F(FrameWiringTest, AnItemsTextIsReadAgainFromItsObject)
{
  ASSERT_TRUE(Start());
  Pump();
  VisualCtrl::CTreeObjects* tree = Frame()->GetTreePane();
  struct Case {
    const CLSID* kind;
    std::function<void(IClassObjModel*)> change;
    const char* text;
  };
  const Case cases[] = {
      {&CLSID_CStraightRoad,
       [](IClassObjModel* object) {
         void* out = nullptr;
         ASSERT_TRUE(SUCCEEDED(object->QueryInterface(&IID_IArea, &out)));
         const CString caption("Проспект");
         static_cast<IArea*>(out)->SetCaption(&caption);
         static_cast<IArea*>(out)->Release();
       },
       "Проспект"},
      {&CLSID_CGroupOfDev,
       [](IClassObjModel* object) {
         void* out = nullptr;
         ASSERT_TRUE(SUCCEEDED(object->QueryInterface(&IID_IGroupOfDev, &out)));
         auto* group = static_cast<IGroupOfDev*>(out);
         const CString name("Мачты");
         const int masts = 1;
         group->SetName(&name);
         group->SetMountingKind(&masts);
         group->Release();
       },
       "М1:Мачты"},
  };
  for (const Case& c : cases) {
    HTREEITEM item = FindItem(tree, tree->GetRootItem(), *c.kind);
    ASSERT_NE(item, nullptr);
    c.change(tree->GetItemObject(item));
    Frame()->SendMessage(UM_UPDATETREETEXT, 0, reinterpret_cast<LPARAM>(item));
    EXPECT_EQ(tree->GetItemText(item), CString(c.text));
  }
}

}  // namespace
}  // namespace apptest
