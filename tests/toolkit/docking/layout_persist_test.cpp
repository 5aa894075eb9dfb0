// Saved layouts: the archive and profile forms against fixtures written by hand, the program's arrangement
// through the profile and back onto the frame, saved state that must be refused, and a save that fails.
#include "toolkit/docking/layoutpersist.h"

#include "platform/base/profile.h"
#include "platform/mfc-core/memfile.h"
#include "platform/mfc/winapp.h"
#include "tests/platform/base/test_folder.h"
#include "tests/toolkit/docking/dock_frame.h"
#include "toolkit/docking/miniframe.h"
#include "toolkit/paint/prop_exchange.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <variant>
#include <vector>

namespace {

using docktest::CDockFrame;
using docktest::CheckTree;
using docktest::Shape;
using testing_support::ScopedEnv;
using testing_support::TempFolder;

constexpr char kLayouts[] = "DockingPaneLayouts\\";

void Int(std::vector<BYTE>& out, int n)
{
  BYTE b[4];
  std::memcpy(b, &n, 4);
  out.insert(out.end(), b, b + 4);
}

// A row of one group holding pane 32769 left of the client, in the archive form written out value by value.
std::vector<BYTE> HandArchive()
{
  std::vector<BYTE> a;
  Int(a, 4);   // Summary: Panes
  Int(a, 16);  //   Schema
  Int(a, 4);   // Pane-1 Type: client
  Int(a, 2);   // Pane-2 Type: splitter
  Int(a, 1);   // Pane-3 Type: tabbed
  Int(a, 0);   // Pane-4 Type: pane
  Int(a, 0);   // Pane-1: DockingCX
  Int(a, 0);   //   DockingCY
  Int(a, 0);   // Pane-2: DockingCX
  Int(a, 0);   //   DockingCY
  Int(a, 1);   //   Horiz
  Int(a, 2);   //   Panes
  Int(a, 3);   //   Pane-1
  Int(a, 1);   //   Pane-2
  Int(a, 230);  // Pane-3: DockingCX
  Int(a, 0);    //   DockingCY
  Int(a, 1);    //   Panes
  Int(a, 4);    //   Selected
  Int(a, 4);    //   Pane-1
  Int(a, 230);  // Pane-4: DockingCX
  Int(a, 120);  //   DockingCY
  const char title[] = "Objects";
  a.push_back(7);  //   Title: length, the bytes
  a.insert(a.end(), title, title + 7);
  Int(a, 32769);  //   ID
  Int(a, -1);     //   IconID
  Int(a, 2);      //   Options
  Int(a, 3);      //   DockingHolder
  Int(a, 0);      //   FloatingHolder
  Int(a, 3);      //   LastHolder
  Int(a, 0);      //   MinTrackX
  Int(a, 0);      //   MinTrackY
  Int(a, 32000);  //   MaxTrackX
  Int(a, 32000);  //   MaxTrackY
  Int(a, -1);     //   TabColor
  Int(a, 0);      //   HelpId
  Int(a, 0);      //   Tag
  Int(a, 2);      // Summary: TopContainer
  Int(a, 1);      //   Client
  return a;
}

using Value = std::variant<int, std::string>;
using Entries = std::map<std::pair<std::string, std::string>, Value>;

// The same layout as the profile holds it: values equal to their defaults are not stored.
Entries HandProfile()
{
  return {
      {{"Summary", "Panes"}, 4},         {{"Summary", "TopContainer"}, 2}, {{"Summary", "Client"}, 1},
      {{"Pane-1", "Type"}, 4},           {{"Pane-2", "Type"}, 2},          {{"Pane-2", "Horiz"}, 1},
      {{"Pane-2", "Panes"}, 2},          {{"Pane-2", "Pane-1"}, 3},        {{"Pane-2", "Pane-2"}, 1},
      {{"Pane-3", "Type"}, 1},           {{"Pane-3", "DockingCX"}, 230},   {{"Pane-3", "Panes"}, 1},
      {{"Pane-3", "Selected"}, 4},       {{"Pane-3", "Pane-1"}, 4},        {{"Pane-4", "Type"}, 0},
      {{"Pane-4", "DockingCX"}, 230},    {{"Pane-4", "DockingCY"}, 120},   {{"Pane-4", "Title"}, "Objects"},
      {{"Pane-4", "ID"}, 32769},         {{"Pane-4", "Options"}, 2},       {{"Pane-4", "DockingHolder"}, 3},
      {{"Pane-4", "LastHolder"}, 3},
  };
}

class LayoutPersist : public ::testing::Test {
public:
  void SetUp() override
  {
    app_.SetRegistryKey("Marvesta");
    ASSERT_TRUE(frame_.Make(800, 600));
  }
  void TearDown() override { platform::SetProfileValueWriteFaultForTest(std::nullopt); }

  platform::ProfileStore& Store() { return *app_.GetProfileStore(); }

  void WriteProfile(const std::string& name, const Entries& entries)
  {
    platform::ProfileWriteBatch batch(Store());
    Store().DeleteSection((kLayouts + name).c_str());
    for (const auto& [key, value] : entries) {
      const std::string section = kLayouts + name + "\\" + key.first;
      if (const int* n = std::get_if<int>(&value)) {
        Store().WriteProfileInt(section.c_str(), key.second.c_str(), *n);
      } else {
        Store().WriteProfileString(section.c_str(), key.second.c_str(), std::get<std::string>(value).c_str());
      }
    }
    ASSERT_TRUE(batch.Commit());
  }

  // What the profile holds under the layout's key, with each value's kind.
  Entries ReadProfile(const std::string& name)
  {
    Entries out;
    const std::string prefix = kLayouts + name + "\\";
    for (const std::string& section : Store().SectionNames()) {
      if (section.rfind(prefix, 0) != 0) {
        continue;
      }
      for (const std::string& entry : Store().EntryNames(section.c_str())) {
        const std::string text = Store().GetProfileString(section.c_str(), entry.c_str(), "\x01");
        const Value value = text == "\x01" ? Value(static_cast<int>(Store().GetProfileInt(
                                                 section.c_str(), entry.c_str(), 0)))
                                           : Value(text);
        out[{section.substr(prefix.size()), entry}] = value;
      }
    }
    return out;
  }

  // A layout of the manager that makes no windows, as the frame saves and loads them.
  std::unique_ptr<CTKDockingPaneLayout> Detached()
  {
    auto layout = std::make_unique<CTKDockingPaneLayout>(&frame_.m_paneManager);
    layout->m_bUserLayout = FALSE;
    return layout;
  }

  TempFolder folder_;
  ScopedEnv env_{"TESMIRA_PROFILE_DIR", folder_.Path()};
  CWinApp app_{"Tesmira Road"};
  CDockFrame frame_;
};

TEST_F(LayoutPersist, ArchiveFormReadsAndWritesTheHandWrittenBytes)
{
  std::vector<BYTE> bytes = HandArchive();
  auto layout = Detached();
  {
    CMemFile file(bytes.data(), static_cast<UINT>(bytes.size()));
    CArchive ar(&file, CArchive::load);
    CTKPropExchangeArchive px(ar);
    ASSERT_TRUE(layout->DoPropExchange(&px));
    EXPECT_TRUE(ar.IsBufferEmpty());
  }
  EXPECT_EQ(Shape(layout->GetTopContainer()), "S[T(32769) C]");
  EXPECT_EQ(CheckTree(layout.get()), "");
  ASSERT_EQ(layout->m_lstPanes.GetCount(), 1);
  const TK_DOCKINGPANE_INFO& info = layout->m_lstPanes.GetHead();
  EXPECT_STREQ(info.pPane->m_strTitle, "Objects");
  EXPECT_EQ(info.pDockingHolder, info.pPane->GetContainer());
  EXPECT_EQ(info.pFloatingHolder, nullptr);
  EXPECT_EQ(info.pPane->m_szDocking, CSize(230, 120));

  CMemFile out;
  {
    CArchive ar(&out, CArchive::store);
    layout->Serialize(ar);
    ar.Close();
  }
  const auto length = static_cast<std::size_t>(out.GetLength());
  EXPECT_EQ(std::vector<BYTE>(out.GetData(), out.GetData() + length), HandArchive());
}

TEST_F(LayoutPersist, ProfileFormReadsAndWritesTheHandWrittenValues)
{
  WriteProfile("LayoutPanes", HandProfile());
  auto layout = Detached();
  ASSERT_TRUE(layout->LoadFromRegistry("LayoutPanes"));
  EXPECT_EQ(Shape(layout->GetTopContainer()), "S[T(32769) C]");
  // A stale section of a node that no longer exists goes with the key.
  Store().WriteProfileInt("DockingPaneLayouts\\LayoutPanes\\Pane-9", "Type", 1);
  ASSERT_TRUE(layout->SaveToRegistry("LayoutPanes"));
  EXPECT_EQ(ReadProfile("LayoutPanes"), HandProfile());
}

TEST_F(LayoutPersist, ProgramLayoutGoesThroughTheProfileAndBackOntoTheFrame)
{
  CTKDockingPaneManager& manager = frame_.m_paneManager;
  frame_.MakeProgramPanes();
  frame_.Layout();
  const std::string fourPanes = Shape(manager.GetTopPane());
  manager.ClosePane(manager.FindPane(32777));
  const std::string closed = Shape(manager.GetTopPane());

  auto saved = Detached();
  manager.GetLayout(saved.get());
  ASSERT_TRUE(saved->SaveToRegistry("LayoutPanes"));
  const Entries first = ReadProfile("LayoutPanes");

  // The program as it starts again: its own arrangement, then the saved one laid over it.
  CDockFrame again;
  ASSERT_TRUE(again.Make(800, 600));
  again.MakeProgramPanes();
  again.Layout();
  auto loaded = std::make_unique<CTKDockingPaneLayout>(&again.m_paneManager);
  loaded->m_bUserLayout = FALSE;
  ASSERT_TRUE(loaded->LoadFromRegistry("LayoutPanes"));
  ASSERT_TRUE(loaded->SaveToRegistry("Again"));
  EXPECT_EQ(ReadProfile("Again"), first);

  again.m_paneManager.SetLayout(loaded.get());
  EXPECT_EQ(CheckTree(again.m_paneManager.GetCurrentLayout()), "");
  EXPECT_EQ(Shape(again.m_paneManager.GetTopPane()), closed);
  CTKDockingPane* pEconomics = again.m_paneManager.FindPane(32777);
  ASSERT_NE(pEconomics, nullptr);
  EXPECT_TRUE(again.m_paneManager.IsPaneClosed(pEconomics));
  // The emptied group kept as the closed pane's holder brings it back to its place.
  again.m_paneManager.ShowPane(pEconomics);
  EXPECT_EQ(Shape(again.m_paneManager.GetTopPane()), fourPanes);
  EXPECT_EQ(CheckTree(again.m_paneManager.GetCurrentLayout()), "");
}

// The hand-written layout with a second pane floating in a frame of its own.
Entries WithFloatingFrame()
{
  Entries e = HandProfile();
  e[{"Summary", "Panes"}] = 8;
  e[{"Pane-5", "Type"}] = 3;
  e[{"Pane-5", "WindowRectTopPos"}] = 100;
  e[{"Pane-5", "WindowRectBottomPos"}] = 300;
  e[{"Pane-5", "WindowRectLeftPos"}] = 400;
  e[{"Pane-5", "WindowRectRightPos"}] = 650;
  e[{"Pane-5", "TopContaner"}] = 6;
  e[{"Pane-6", "Type"}] = 2;
  e[{"Pane-6", "Horiz"}] = 1;
  e[{"Pane-6", "Panes"}] = 1;
  e[{"Pane-6", "Pane-1"}] = 7;
  e[{"Pane-7", "Type"}] = 1;
  e[{"Pane-7", "Panes"}] = 1;
  e[{"Pane-7", "Selected"}] = 8;
  e[{"Pane-7", "Pane-1"}] = 8;
  e[{"Pane-8", "Type"}] = 0;
  e[{"Pane-8", "Title"}] = "Results";
  e[{"Pane-8", "ID"}] = 32774;
  e[{"Pane-8", "FloatingHolder"}] = 7;
  e[{"Pane-8", "LastHolder"}] = 7;
  return e;
}

TEST_F(LayoutPersist, AFloatingFrameKeepsItsPlaceAndItsMisspelledTopContainer)
{
  Entries stored = WithFloatingFrame();
  stored[{"Pane-5", "TopContainer"}] = 3;  // the correct spelling means nothing here
  WriteProfile("LayoutPanes", stored);
  auto layout = Detached();
  ASSERT_TRUE(layout->LoadFromRegistry("LayoutPanes"));
  EXPECT_EQ(CheckTree(layout.get()), "");
  ASSERT_TRUE(layout->SaveToRegistry("LayoutPanes"));
  EXPECT_EQ(ReadProfile("LayoutPanes"), WithFloatingFrame());

  frame_.MakeProgramPanes();
  frame_.Layout();
  frame_.m_paneManager.SetLayout(layout.get());
  CTKDockingPaneMiniWnd* pFloating = nullptr;
  CTKDockingPaneLayout* pLive = frame_.m_paneManager.GetCurrentLayout();
  for (POSITION pos = pLive->m_lstNodes.GetHeadPosition(); pos != nullptr;) {
    if (CTKDockingPaneBase* pNode = pLive->m_lstNodes.GetNext(pos); pNode->GetType() == TK_DOCKINGPANE_MINIWND) {
      pFloating = static_cast<CTKDockingPaneMiniWnd*>(pNode);
    }
  }
  ASSERT_NE(pFloating, nullptr);
  ASSERT_NE(pFloating->GetSafeHwnd(), nullptr);
  CRect rc;
  pFloating->CWnd::GetWindowRect(&rc);
  EXPECT_EQ(rc, CRect(400, 100, 650, 300));
  CString title;
  pFloating->GetWindowText(title);
  EXPECT_STREQ(title, "Results");
  EXPECT_EQ(Shape(pFloating->GetTopSplitter()), "S[T(32774)]");
  EXPECT_EQ(CheckTree(pLive), "");

  for (const auto& [what, change] : std::vector<std::pair<const char*, std::pair<const char*, int>>>{
           {"a frame holding a group", {"TopContaner", 7}},
           {"a frame holding the layout's top", {"TopContaner", 2}},
           {"a frame holding nothing", {"TopContaner", 0}}}) {
    SCOPED_TRACE(what);
    Entries damaged = WithFloatingFrame();
    damaged[{"Pane-5", change.first}] = change.second;
    WriteProfile("Damaged", damaged);
    auto refused = Detached();
    EXPECT_FALSE(refused->LoadFromRegistry("Damaged"));
  }
}

// The hand-written layout with a second pane auto-hidden at the left edge.
Entries WithPanel()
{
  Entries e = HandProfile();
  e[{"Summary", "Panes"}] = 7;
  e[{"Pane-5", "Type"}] = 5;
  e[{"Pane-5", "Direction"}] = 0;
  e[{"Pane-5", "Panes"}] = 1;
  e[{"Pane-5", "Pane-1"}] = 6;
  e[{"Pane-6", "Type"}] = 1;
  e[{"Pane-6", "Panes"}] = 1;
  e[{"Pane-6", "Selected"}] = 7;
  e[{"Pane-6", "Pane-1"}] = 7;
  e[{"Pane-7", "Type"}] = 0;
  e[{"Pane-7", "Title"}] = "Parameters";
  e[{"Pane-7", "ID"}] = 32770;
  e[{"Pane-7", "DockingHolder"}] = 3;
  e[{"Pane-7", "LastHolder"}] = 3;
  return e;
}

TEST_F(LayoutPersist, AnAutoHidePanelKeepsItsEdgeAndADirectionPastTheFourEdgesIsRefused)
{
  WriteProfile("LayoutPanes", WithPanel());
  auto layout = Detached();
  ASSERT_TRUE(layout->LoadFromRegistry("LayoutPanes"));
  ASSERT_NE(layout->m_wndPanels[TK_DOCK_LEFT], nullptr);
  EXPECT_EQ(layout->m_wndPanels[TK_DOCK_LEFT]->GetType(), TK_DOCKINGPANE_AUTOHIDE);
  EXPECT_EQ(CheckTree(layout.get()), "");
  ASSERT_TRUE(layout->SaveToRegistry("LayoutPanes"));
  EXPECT_EQ(ReadProfile("LayoutPanes"), WithPanel());

  struct Case {
    const char* what;
    std::function<void(Entries&)> change;
  };
  const Case cases[] = {
      {"direction 4", [](Entries& e) { e[{"Pane-5", "Direction"}] = 4; }},
      {"direction -1", [](Entries& e) { e[{"Pane-5", "Direction"}] = -1; }},
      {"direction 0x7FFFFFFF", [](Entries& e) { e[{"Pane-5", "Direction"}] = 0x7FFFFFFF; }},
      {"no direction", [](Entries& e) { e.erase({"Pane-5", "Direction"}); }},
      {"a panel holding a pane", [](Entries& e) { e[{"Pane-5", "Pane-1"}] = 7; }},
      {"two panels on one edge",
       [](Entries& e) {
         e[{"Summary", "Panes"}] = 8;
         e[{"Pane-8", "Type"}] = 5;
         e[{"Pane-8", "Direction"}] = 0;
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Entries damaged = WithPanel();
    c.change(damaged);
    WriteProfile("Damaged", damaged);
    auto refused = Detached();
    EXPECT_FALSE(refused->LoadFromRegistry("Damaged"));
  }
}

TEST_F(LayoutPersist, CleanUpCollapsesASingleChildSplitterInsideAnother)
{
  auto layout = Detached();
  layout->Clear();
  auto* pClient = frame_.m_paneManager.OnCreatePane(TK_DOCKINGPANE_CLIENT, layout.get());
  auto* pTop = static_cast<CTKDockingPaneSplitterContainer*>(
      frame_.m_paneManager.OnCreatePane(TK_DOCKINGPANE_SPLITTER, layout.get()));
  auto* pMiddle = static_cast<CTKDockingPaneSplitterContainer*>(
      frame_.m_paneManager.OnCreatePane(TK_DOCKINGPANE_SPLITTER, layout.get()));
  auto* pInner = static_cast<CTKDockingPaneSplitterContainer*>(
      frame_.m_paneManager.OnCreatePane(TK_DOCKINGPANE_SPLITTER, layout.get()));
  auto* pEmpty = frame_.m_paneManager.OnCreatePane(TK_DOCKINGPANE_SPLITTER, layout.get());
  auto* pUnheld = frame_.m_paneManager.OnCreatePane(TK_DOCKINGPANE_TABBED, layout.get());
  pTop->InsertChild(pMiddle, nullptr, TRUE);
  pMiddle->InsertChild(pInner, nullptr, TRUE);
  pInner->InsertChild(pClient, nullptr, TRUE);
  pTop->InsertChild(pEmpty, nullptr, TRUE);
  pTop->InsertChild(pUnheld, nullptr, TRUE);
  layout->m_pTopContainer = pTop;
  layout->m_pClient = pClient;
  layout->CleanUp();
  // The empty splitter and the group no pane holds go; then each lone splitter in a lone splitter gives way.
  EXPECT_EQ(Shape(pTop), "V[C]");
  EXPECT_EQ(layout->m_lstNodes.GetCount(), 2);
  EXPECT_EQ(CheckTree(layout.get()), "");
}

TEST_F(LayoutPersist, DamagedLayoutsAreRefusedAndFreeWhatTheyMade)
{
  struct Case {
    const char* what;
    std::function<void(Entries&)> change;
    bool loads;
  };
  auto set = [](const char* section, const char* name, Value v) {
    return [=](Entries& e) { e[{section, name}] = v; };
  };
  const Case cases[] = {
      {"as written", [](Entries&) {}, true},
      {"one node only", set("Summary", "Panes", 1), false},
      {"a count far past the sections", set("Summary", "Panes", 0x7FFFFFFF), false},
      {"a node type past 5", set("Pane-3", "Type", 7), false},
      {"a section without its type", [](Entries& e) { e.erase({"Pane-1", "Type"}); }, false},
      {"a pane with id 0", set("Pane-4", "ID", 0), false},
      {"a splitter holding itself", set("Pane-2", "Pane-1", 2), false},
      {"a group claimed twice", set("Pane-2", "Pane-2", 3), false},
      {"a splitter holding a pane", set("Pane-2", "Pane-1", 4), false},
      {"a group holding a splitter", set("Pane-3", "Pane-1", 2), false},
      {"a child index naming no node", set("Pane-2", "Pane-2", 5), false},
      {"no top container", [](Entries& e) { e.erase({"Summary", "TopContainer"}); }, false},
      {"a client that is a pane", set("Summary", "Client", 4), false},
      {"a top container that is a group", set("Summary", "TopContainer", 3), false},
      {"two splitters holding each other",
       [](Entries& e) {
         e[{"Summary", "Panes"}] = 5;
         e[{"Pane-5", "Type"}] = 2;
         e[{"Pane-5", "Panes"}] = 1;
         e[{"Pane-5", "Pane-1"}] = 2;
         e[{"Pane-2", "Panes"}] = 3;
         e[{"Pane-2", "Pane-3"}] = 5;
       },
       false},
      {"a group without its count holds nothing",
       [](Entries& e) {
         e.erase({"Pane-3", "Panes"});
         e[{"Pane-2", "Panes"}] = 1;
         e[{"Pane-2", "Pane-1"}] = 1;
       },
       true},
      {"a holder naming a splitter is no holder", set("Pane-4", "DockingHolder", 2), true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Entries entries = HandProfile();
    c.change(entries);
    WriteProfile("LayoutPanes", entries);
    auto layout = Detached();
    EXPECT_EQ(layout->LoadFromRegistry("LayoutPanes"), c.loads);
    if (c.loads) {
      EXPECT_EQ(CheckTree(layout.get()), "");
      for (POSITION pos = layout->m_lstPanes.GetHeadPosition(); pos != nullptr;) {
        const TK_DOCKINGPANE_INFO& info = layout->m_lstPanes.GetNext(pos);
        EXPECT_TRUE(info.pDockingHolder == nullptr || info.pDockingHolder->GetType() == TK_DOCKINGPANE_TABBED);
      }
    }
  }
}

TEST_F(LayoutPersist, AFailedSaveKeepsThePreviousLayoutAndSaysSo)
{
  WriteProfile("LayoutPanes", HandProfile());
  frame_.MakeProgramPanes();
  auto layout = Detached();
  frame_.m_paneManager.GetLayout(layout.get());
  for (int nFailing : {1, 5, 40}) {
    SCOPED_TRACE(nFailing);
    platform::SetProfileValueWriteFaultForTest(nFailing);
    EXPECT_FALSE(layout->SaveToRegistry("LayoutPanes"));
    platform::SetProfileValueWriteFaultForTest(std::nullopt);
    EXPECT_EQ(ReadProfile("LayoutPanes"), HandProfile());
    auto previous = Detached();
    EXPECT_TRUE(previous->LoadFromRegistry("LayoutPanes"));
  }
  EXPECT_TRUE(layout->SaveToRegistry("LayoutPanes"));
  auto next = Detached();
  ASSERT_TRUE(next->LoadFromRegistry("LayoutPanes"));
  EXPECT_EQ(Shape(next->GetTopContainer()), Shape(frame_.m_paneManager.GetTopPane()));
}

}  // namespace
