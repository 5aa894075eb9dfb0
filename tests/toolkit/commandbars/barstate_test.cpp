// The bar state in the profile: the customised bars' stream (its bytes, its round trip, what a damaged or hostile
// stream leaves alone), the toolbars' places and dock rows, the status bar, the limit between the profile and the
// hidden file, and a save that fails.
#include "toolkit/commandbars/barsexchange.h"
#include "toolkit/commandbars/barstate.h"
#include "toolkit/commandbars/controlcustom.h"
#include "toolkit/commandbars/controllists.h"
#include "toolkit/commandbars/dialogbar.h"
#include "toolkit/commandbars/dockcontext.h"

#include "platform/base/profile.h"
#include "platform/mfc-core/cfile.h"
#include "tests/platform/base/test_folder.h"
#include "tests/toolkit/commandbars/dock_frame.h"
#include "toolkit/commandbars/popupbar.h"
#include "toolkit/commandbars/statusbar.h"
#include "toolkit/paint/image_manager.h"

#include <gtest/gtest.h>

#include <climits>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

using testing_support::ScopedEnv;
using testing_support::TempFolder;
using Bytes = std::vector<BYTE>;

constexpr UINT kStandardId = 130;
constexpr UINT kShortId = 131;
constexpr UINT kMineId = 59400;

// A frame that offers the customise command, so its bars may be customised and their contents saved.
class CStateFrame : public cbtest::CDockFrame {
public:
  BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override
  {
    if (nID == TK_ID_CUSTOMIZE && nCode == CN_COMMAND)
      return TRUE;
    return CDockFrame::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
  }

  // The program's bars: the menu bar, two toolbars with their built sets marked, a status bar.
  BOOL Build()
  {
    if (!MakeDocked(800, 500) || !AddMenuBar())
      return FALSE;
    for (auto [title, id] : {std::pair{"Standard", kStandardId}, std::pair{"Short", kShortId}}) {
      CTKToolBar* pBar = AddToolBar(title, id);
      if (!pBar)
        return FALSE;
      pBar->GetControls()->CreateOriginalControls();
    }
    if (!m_statusBar.Create(this))
      return FALSE;
    RecalcLayout();
    return TRUE;
  }
  CTKCommandBars* Bars() const { return m_pCommandBars; }
  CTKToolBar* ToolBar(UINT nId) const { return DYNAMIC_DOWNCAST(CTKToolBar, m_pCommandBars->GetToolBar(nId)); }

  CTKStatusBar m_statusBar;
};

class BarState : public ::testing::Test {
protected:
  void SetUp() override
  {
    cbtest::UseTestResources();
    app_.SetRegistryKey("Marvesta");
  }
  void TearDown() override { platform::SetProfileWriteFaultForTest(std::nullopt); }

  Bytes Controls()
  {
    BYTE* pData = nullptr;
    UINT nBytes = 0;
    if (!app_.GetProfileBinary("CommandBars-Controls", "Controls", &pData, &nBytes))
      return {};
    Bytes bytes(pData, pData + nBytes);
    delete[] pData;
    return bytes;
  }
  void PutControls(const Bytes& bytes)
  {
    app_.WriteProfileBinary("CommandBars-Controls", "Controls", const_cast<BYTE*>(bytes.data()),
                            static_cast<UINT>(bytes.size()));
    app_.WriteProfileInt("CommandBars-Controls", "LoadFromFile", 0);
  }
  int Int(LPCSTR section, LPCSTR entry, int nDefault = -12345)
  {
    return static_cast<int>(app_.GetProfileInt(section, entry, nDefault));
  }
  static std::vector<std::string> Captions(CTKToolBar* pBar)
  {
    std::vector<std::string> captions;
    for (int i = 0; i < pBar->GetControlCount(); ++i) {
      if (!pBar->GetControl(i)->IsTemporary())
        captions.push_back(static_cast<LPCSTR>(pBar->GetControl(i)->GetCaption()));
    }
    return captions;
  }

  TempFolder folder_;
  ScopedEnv profileDir_{"TESMIRA_PROFILE_DIR", folder_.Path()};
  ScopedEnv dataHome_{"XDG_DATA_HOME", folder_.Path()};
  CWinApp app_{"Tesmira Road"};
};

// ---- The stream written by hand: one toolbar of the user's own holding one button.

void PutInt(Bytes& out, int value)
{
  for (int i = 0; i < 4; ++i)
    out.push_back(static_cast<BYTE>(static_cast<unsigned>(value) >> (8 * i)));
}
void PutWord(Bytes& out, int value)
{
  out.push_back(static_cast<BYTE>(value));
  out.push_back(static_cast<BYTE>(value >> 8));
}
void PutString(Bytes& out, const std::string& text)
{
  out.push_back(static_cast<BYTE>(text.size()));
  out.insert(out.end(), text.begin(), text.end());
}
void PutClass(Bytes& out, const std::string& name)
{
  PutWord(out, 0xFFFF);  // a new class
  PutWord(out, 16);      // its schema
  PutWord(out, static_cast<int>(name.size()));
  out.insert(out.end(), name.begin(), name.end());
}

struct ButtonFields {
  std::string className = "CTKControlButton";
  int type = 1;
  int id = 57600;
  std::string caption = "&New";
  std::string customCaption = "Fresh";
  int commandBarId = 0;  // written for popup controls
};

void PutButton(Bytes& out, const ButtonFields& b)
{
  PutClass(out, b.className);
  PutInt(out, b.type);
  PutInt(out, b.id);
  PutInt(out, 0);  // IconId
  PutInt(out, 0);  // BeginGroup
  PutInt(out, 0);  // Tag
  PutInt(out, 0);  // Flags
  PutInt(out, 0);  // HideFlags
  PutString(out, b.caption);
  for (int i = 0; i < 4; ++i)
    PutString(out, "");  // ShortcutText, TooltipText, DescriptionText, Parameter
  PutInt(out, 0);        // CustomIconId
  PutString(out, b.customCaption);
  PutString(out, "");  // Category
  for (int i = 0; i < 2; ++i) {
    PutWord(out, 2);  // DocTemplatesExcluded, DocTemplatesAssigned: a blob of 2 bytes, an empty map
    PutWord(out, 0);
  }
  PutInt(out, 0);  // DefaultItem
  PutInt(out, 1);  // CloseSubMenuOnClick
  PutInt(out, 0);  // CustomStyle
  if (b.className == "CTKControlPopup")
    PutInt(out, b.commandBarId);
  if (b.className != "CTKControlSelector")
    PutInt(out, 0);  // Style, of buttons and their kin
}

void PutBarHead(Bytes& out, const std::string& className, int type, int position, int barId, int flags,
                const std::string& title)
{
  PutClass(out, className);
  PutInt(out, type);
  PutInt(out, position);
  PutInt(out, barId);
  PutInt(out, flags);
  PutInt(out, 0);  // Style
  PutString(out, title);
  PutInt(out, 1);      // Customizable
  PutInt(out, 32767);  // MRUWidth
  PutInt(out, 0);      // IconSize
  PutInt(out, 0);
}

void PutControlsTail(Bytes& out)
{
  PutInt(out, 0);  // OriginalControls
  PutInt(out, 0);  // CustomizedControls
}

void PutToolBarTail(Bytes& out)
{
  PutInt(out, 0);  // BuiltIn
  PutInt(out, 0);  // TearOff
  PutInt(out, 1);  // Closeable
  PutInt(out, 1);  // ContextMenuPresent
}

Bytes MineStream(const ButtonFields& button = {})
{
  Bytes out;
  PutWord(out, 1);  // one bar
  PutBarHead(out, "CTKToolBar", 1, 0, kMineId, 0x3F, "Mine");
  PutWord(out, 1);  // one control
  PutButton(out, button);
  PutControlsTail(out);
  PutToolBarTail(out);
  return out;
}

TEST_F(BarState, AHandWrittenStreamBecomesANewToolbarAndIsWrittenBackByteForByte)
{
  PutControls(MineStream());
  CStateFrame frame;
  ASSERT_TRUE(frame.Build());
  frame.Bars()->LoadBarState("CommandBars");

  CTKToolBar* pMine = frame.ToolBar(kMineId);
  ASSERT_NE(pMine, nullptr);
  EXPECT_EQ(std::string(pMine->GetTitle()), "Mine");
  EXPECT_FALSE(pMine->IsBuiltIn());
  EXPECT_EQ(pMine->GetPosition(), tkBarTop);
  EXPECT_EQ(pMine->GetDockBar(), frame.Dock(tkBarTop));
  EXPECT_EQ(Captions(pMine), std::vector<std::string>{"Fresh"});
  EXPECT_EQ(pMine->GetControl(0)->GetID(), 57600);

  // The program's bars are unchanged, so only the user's own bar is written.
  ASSERT_TRUE(frame.Bars()->SaveBarState("CommandBars"));
  EXPECT_EQ(Controls(), MineStream());
  EXPECT_EQ(Int("CommandBars-Controls", "LoadFromFile"), 0);
}

// A slider of the application on the user's bar: its stored borders, size, vertical option and child id.
Bytes CustomStream(int nControlId, const std::vector<int>& bordersAndSize = {2, 3, 2, 3, 100, 16})
{
  Bytes out;
  PutWord(out, 1);
  PutBarHead(out, "CTKToolBar", 1, 0, kMineId, 0x3F, "Mine");
  PutWord(out, 1);
  PutButton(out, {.className = "CTKControlCustom", .type = 7, .id = 57700, .caption = "Zoom", .customCaption = ""});
  for (int v : bordersAndSize)
    PutInt(out, v);  // Borders, ControlSize
  PutInt(out, 2);    // VerticalOptions
  PutInt(out, nControlId);
  PutControlsTail(out);
  PutToolBarTail(out);
  return out;
}

TEST_F(BarState, ACustomControlFindsItsWindowAgainByItsChildIdAndIsWrittenBackByteForByte)
{
  constexpr int kSliderId = 4242;
  for (const int nStoredId : {kSliderId, 4243}) {
    SCOPED_TRACE(nStoredId);
    PutControls(CustomStream(nStoredId));
    CStateFrame frame;
    ASSERT_TRUE(frame.Build());
    const HWND hSlider = ::CreateWindowEx(0, "STATIC", "slider", WS_CHILD | WS_VISIBLE, 0, 0, 100, 16, frame.m_hWnd,
                                          reinterpret_cast<HMENU>(static_cast<UINT_PTR>(kSliderId)), nullptr, nullptr);
    ASSERT_NE(hSlider, nullptr);
    frame.Bars()->LoadBarState("CommandBars");
    CTKToolBar* pMine = frame.ToolBar(kMineId);
    ASSERT_NE(pMine, nullptr);
    auto* pCustom = dynamic_cast<CTKControlCustom*>(pMine->GetControl(0));
    ASSERT_NE(pCustom, nullptr);
    EXPECT_EQ(pCustom->GetControlID(), nStoredId);
    // A child id no window has leaves the control drawn as a button.
    EXPECT_EQ(pCustom->GetControl(), nStoredId == kSliderId ? hSlider : nullptr);
    if (nStoredId == kSliderId) {
      CClientDC dc(pMine);
      EXPECT_EQ(pCustom->GetSize(&dc), CSize(104, 22));
    }
    ASSERT_TRUE(frame.Bars()->SaveBarState("CommandBars"));
    EXPECT_EQ(Controls(), CustomStream(nStoredId));
  }
}

// Sizes from a hostile stream are held to what a bar can show, so measuring never overflows.
TEST_F(BarState, StoredSizesOfACustomControlAreBounded)
{
  constexpr int kSliderId = 4242;
  PutControls(CustomStream(kSliderId, {-5, INT_MAX, 3, INT_MIN, INT_MAX, -1}));
  CStateFrame frame;
  ASSERT_TRUE(frame.Build());
  ASSERT_NE(::CreateWindowEx(0, "STATIC", "slider", WS_CHILD | WS_VISIBLE, 0, 0, 100, 16, frame.m_hWnd,
                             reinterpret_cast<HMENU>(static_cast<UINT_PTR>(kSliderId)), nullptr, nullptr),
            nullptr);
  frame.Bars()->LoadBarState("CommandBars");
  ASSERT_NE(frame.ToolBar(kMineId), nullptr);
  auto* pCustom = dynamic_cast<CTKControlCustom*>(frame.ToolBar(kMineId)->GetControl(0));
  ASSERT_NE(pCustom, nullptr);
  CClientDC dc(frame.ToolBar(kMineId));
  EXPECT_EQ(pCustom->GetSize(&dc), CSize(32767 + 0 + 3, 0 + 32767 + 0));
}

Bytes SelectorStream(const std::vector<int>& sizes)
{
  Bytes stream;
  PutWord(stream, 1);
  PutBarHead(stream, "CTKToolBar", 1, 0, kMineId, 0x3F, "Mine");
  PutWord(stream, 1);
  PutButton(stream, {.className = "CTKControlSelector", .type = 1, .id = 57701, .caption = "Table", .customCaption = ""});
  for (int v : sizes)
    PutInt(stream, v);  // ItemsCount, ItemsMax, ItemSize
  PutControlsTail(stream);
  PutToolBarTail(stream);
  return stream;
}

TEST_F(BarState, AGridSelectorKeepsItsGridSizesInTheStream)
{
  const Bytes stream = SelectorStream({6, 3, 10, 8, 20, 18});
  PutControls(stream);
  CStateFrame frame;
  ASSERT_TRUE(frame.Build());
  frame.Bars()->LoadBarState("CommandBars");
  ASSERT_NE(frame.ToolBar(kMineId), nullptr);
  auto* pSelector = dynamic_cast<CTKControlSelector*>(frame.ToolBar(kMineId)->GetControl(0));
  ASSERT_NE(pSelector, nullptr);
  frame.ToolBar(kMineId)->OnRecalcLayout();
  EXPECT_EQ(pSelector->GetItemsVisible(), CSize(6, 3));
  EXPECT_EQ(pSelector->GetRect().Size(), CSize(120, 54));
  ASSERT_TRUE(frame.Bars()->SaveBarState("CommandBars"));
  EXPECT_EQ(Controls(), stream);
}

TEST_F(BarState, StoredGridsOfASelectorAreBounded)
{
  PutControls(SelectorStream({INT_MAX, -3, 10, 8, INT_MAX, 18}));
  CStateFrame frame;
  ASSERT_TRUE(frame.Build());
  frame.Bars()->LoadBarState("CommandBars");
  ASSERT_NE(frame.ToolBar(kMineId), nullptr);
  auto* pSelector = dynamic_cast<CTKControlSelector*>(frame.ToolBar(kMineId)->GetControl(0));
  ASSERT_NE(pSelector, nullptr);
  frame.ToolBar(kMineId)->OnRecalcLayout();
  EXPECT_EQ(pSelector->GetItemsVisible(), CSize(256, 0));
  CClientDC dc(frame.ToolBar(kMineId));
  EXPECT_EQ(pSelector->GetSize(&dc), CSize(256 * 4096, 0));
}

TEST_F(BarState, UnchangedBarsWriteAnEmptyList)
{
  CStateFrame frame;
  ASSERT_TRUE(frame.Build());
  ASSERT_TRUE(frame.Bars()->SaveBarState("CommandBars"));
  EXPECT_EQ(Controls(), (Bytes{0x00, 0x00}));
}

// A user-made 16 x 16 icon of one colour.
UINT AddPlainCustomIcon(CTKImageManager* pImageManager, COLORREF clr)
{
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = 16;
  info.bmiHeader.biHeight = 16;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  auto* pixels = static_cast<DWORD*>(bits);
  for (int i = 0; i < 16 * 16; ++i)
    pixels[i] = 0xFF000000u | (GetRValue(clr) << 16) | (GetGValue(clr) << 8) | GetBValue(clr);
  return pImageManager->AddCustomIcon(CTKImageManagerIconHandle(bitmap));
}

TEST_F(BarState, ACustomisedToolbarARenamedButtonACustomIconAndAHiddenStatusBarComeBack)
{
  Bytes saved;
  UINT nIconId = 0;
  {
    CStateFrame frame;
    ASSERT_TRUE(frame.Build());
    CTKToolBar* pStandard = frame.ToolBar(kStandardId);
    ASSERT_GE(pStandard->GetControlCount(), 3);
    pStandard->GetControl(0)->SetCustomCaption("Renamed");
    pStandard->GetControls()->Remove(1);
    nIconId = AddPlainCustomIcon(frame.Bars()->GetImageManager(), RGB(200, 30, 40));
    ASSERT_GT(nIconId, 0u);
    pStandard->GetControl(1)->SetCustomIcon(static_cast<int>(nIconId));
    frame.ShowControlBar(&frame.m_statusBar, FALSE, FALSE);
    ASSERT_TRUE(frame.Bars()->SaveBarState("CommandBars"));
    saved = Controls();
    EXPECT_EQ(Int("CommandBars", "StatusBar"), 0);
    // The icon must come from the stream, not from what this run left behind.
    frame.Bars()->GetImageManager()->RemoveAll();
  }
  CStateFrame frame;
  ASSERT_TRUE(frame.Build());
  CTKToolBar* pStandard = frame.ToolBar(kStandardId);
  const size_t nBuilt = Captions(pStandard).size();
  frame.Bars()->LoadBarState("CommandBars");

  EXPECT_EQ(Captions(pStandard).size(), nBuilt - 1);
  EXPECT_EQ(std::string(pStandard->GetControl(0)->GetCaption()), "Renamed");
  EXPECT_EQ(pStandard->GetControl(1)->GetIconId(), static_cast<int>(nIconId));
  EXPECT_NE(frame.Bars()->GetImageManager()->GetImage(nIconId, 16), nullptr);
  EXPECT_FALSE(frame.m_statusBar.IsVisible());
  // The built set came along, so the bar can still be reset.
  ASSERT_NE(pStandard->GetControls()->GetOriginalControls(), nullptr);
  EXPECT_EQ(pStandard->GetControls()->GetOriginalControls()->GetCount(), static_cast<int>(nBuilt));

  frame.ShowControlBar(&frame.m_statusBar, TRUE, FALSE);
  ASSERT_TRUE(frame.Bars()->SaveBarState("CommandBars"));
  EXPECT_EQ(Controls(), saved);
  EXPECT_EQ(Int("CommandBars", "StatusBar"), -12345);  // deleted while shown
}

TEST_F(BarState, LayoutValuesAreWrittenOnlyWhereTheyDifferFromTheirDefaults)
{
  CStateFrame frame;
  ASSERT_TRUE(frame.Build());
  frame.ToolBar(kShortId)->SetVisible(FALSE);
  ASSERT_TRUE(frame.Bars()->SaveBarState("CommandBars"));

  EXPECT_EQ(Int("CommandBars-Summary", "Bars"), 3);
  EXPECT_EQ(Int("CommandBars-Summary", "ScreenCX"), ::GetSystemMetrics(SM_CXSCREEN));
  EXPECT_EQ(Int("CommandBars-Bar1", "BarID"), static_cast<int>(kStandardId));
  EXPECT_EQ(Int("CommandBars-Bar1", "Visible"), -12345);
  EXPECT_EQ(Int("CommandBars-Bar2", "Visible"), 0);
  EXPECT_EQ(Int("CommandBars-Bar1", "Floating"), -12345);
  EXPECT_EQ(Int("CommandBars-Bar1", "DialogBar"), 0);
  EXPECT_EQ(Int("CommandBars-Bar1", "DialogBarDockingClientCx"), -12345);
  // The top row "|Menu|Standard|Short|", each id once and each row break once.
  const std::vector<int> row = {0, 1, 0, static_cast<int>(kStandardId), 0, static_cast<int>(kShortId), 0};
  EXPECT_EQ(Int("CommandBars-DockBar0", "Bars"), static_cast<int>(row.size()));
  for (size_t k = 0; k < row.size(); ++k) {
    EXPECT_EQ(Int("CommandBars-DockBar0", ("Bar#" + std::to_string(k)).c_str()), row[k]) << k;
  }
  EXPECT_EQ(Int("CommandBars-DockBar1", "Bars"), -12345);  // an empty row array writes nothing
}

// A dialog bar's docked and floating client sizes go into its record and come back to it; stored sizes no window
// could have are not taken.
TEST_F(BarState, ADialogBarsClientSizesComeBackAndHostileOnesAreRefused)
{
  constexpr UINT kDialogId = 59500;
  const auto build = [](CStateFrame& frame) {
    EXPECT_TRUE(frame.Build());
    auto* pBar = static_cast<CTKDialogBar*>(frame.Bars()->Add("Свойства", tkBarLeft, RUNTIME_CLASS(CTKDialogBar)));
    pBar->SetBarID(kDialogId);
    frame.RecalcLayout();
    return pBar;
  };
  {
    CStateFrame frame;
    CTKDialogBar* pBar = build(frame);
    pBar->SetClientSizes(CSize(180, 240), CSize(320, 150));
    ASSERT_TRUE(frame.Bars()->SaveBarState("CommandBars"));
  }
  EXPECT_EQ(Int("CommandBars-Bar3", "BarID"), static_cast<int>(kDialogId));
  EXPECT_EQ(Int("CommandBars-Bar3", "DialogBar"), 1);
  EXPECT_EQ(Int("CommandBars-Bar3", "DialogBarDockingClientCx"), 180);
  EXPECT_EQ(Int("CommandBars-Bar3", "DialogBarDockingClientCy"), 240);
  EXPECT_EQ(Int("CommandBars-Bar3", "DialogBarFloatingClientCx"), 320);
  EXPECT_EQ(Int("CommandBars-Bar3", "DialogBarFloatingClientCy"), 150);
  {
    CStateFrame frame;
    CTKDialogBar* pBar = build(frame);
    frame.Bars()->LoadBarState("CommandBars");
    EXPECT_EQ(pBar->GetDockingClientSize(), CSize(180, 240));
    EXPECT_EQ(pBar->GetFloatingClientSize(), CSize(320, 150));
  }
  app_.WriteProfileInt("CommandBars-Bar3", "DialogBarDockingClientCx", -40);
  app_.WriteProfileInt("CommandBars-Bar3", "DialogBarDockingClientCy", 0x7FFFFFFF);
  app_.WriteProfileInt("CommandBars-Bar3", "DialogBarFloatingClientCy", 90);
  CStateFrame frame;
  CTKDialogBar* pBar = build(frame);
  frame.Bars()->LoadBarState("CommandBars");
  EXPECT_EQ(pBar->GetDockingClientSize(), CSize(200, 200));
  EXPECT_EQ(pBar->GetFloatingClientSize(), CSize(320, 90));
}

TEST_F(BarState, DockRowsAndHiddenBarsComeBack)
{
  {
    CStateFrame frame;
    ASSERT_TRUE(frame.Build());
    frame.Bars()->DockCommandBar(frame.ToolBar(kShortId), nullptr, tkBarBottom);
    frame.ToolBar(kStandardId)->SetVisible(FALSE);
    frame.RecalcLayout();
    ASSERT_EQ(frame.Rows(tkBarBottom), "|Short|");
    ASSERT_TRUE(frame.Bars()->SaveBarState("CommandBars"));
  }
  CStateFrame frame;
  ASSERT_TRUE(frame.Build());
  frame.Bars()->LoadBarState("CommandBars");
  frame.RecalcLayout();
  EXPECT_EQ(frame.Rows(tkBarBottom), "|Short|");
  EXPECT_EQ(frame.ToolBar(kShortId)->GetPosition(), tkBarBottom);
  EXPECT_EQ(frame.ToolBar(kShortId)->GetDockBar(), frame.Dock(tkBarBottom));
  EXPECT_FALSE(frame.ToolBar(kStandardId)->IsVisible());
  EXPECT_TRUE(frame.ToolBar(kShortId)->IsVisible());
}

TEST_F(BarState, StoredCountsAndScreenSizesAreNotBelieved)
{
  struct Case {
    const char* what;
    std::vector<std::pair<std::string, int>> summary;
  };
  const Case cases[] = {
      {"a huge bar count and no screen size", {{"Bars", 0x7FFFFFFF}}},
      {"a zero screen size", {{"Bars", 3}, {"ScreenCX", 0}, {"ScreenCY", 1000}}},
      {"a negative screen size", {{"Bars", 3}, {"ScreenCX", -5}, {"ScreenCY", -5}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    app_.WriteProfileString("CommandBars-Summary", nullptr, nullptr);
    for (const auto& [entry, value] : c.summary)
      app_.WriteProfileInt("CommandBars-Summary", entry.c_str(), value);
    app_.WriteProfileInt("CommandBars-Bar1", "BarID", kStandardId);
    app_.WriteProfileInt("CommandBars-Bar1", "MRUFloatXPos", 120);
    app_.WriteProfileInt("CommandBars-DockBar0", "Bars", 0x7FFFFFFF);
    app_.WriteProfileInt("CommandBars-DockBar0", "Bar#0", 0);
    app_.WriteProfileInt("CommandBars-DockBar0", "Bar#1", kStandardId);
    CStateFrame frame;
    ASSERT_TRUE(frame.Build());
    frame.Bars()->LoadBarState("CommandBars");
    // Three toolbars: at most seven entries, breaks included, are read.
    EXPECT_LE(frame.Dock(tkBarTop)->GetBars().size(), 7u + 6u);
    EXPECT_EQ(frame.ToolBar(kStandardId)->GetDockContext()->m_ptMRUFloatPos.x, 120);
  }
}

TEST_F(BarState, PositionsSavedOnAnotherScreenMoveWithItAndStayOnIt)
{
  const int cx = ::GetSystemMetrics(SM_CXSCREEN);
  const int cy = ::GetSystemMetrics(SM_CYSCREEN);
  app_.WriteProfileInt("CommandBars-Summary", "Bars", 2);
  app_.WriteProfileInt("CommandBars-Summary", "ScreenCX", cx / 2);
  app_.WriteProfileInt("CommandBars-Summary", "ScreenCY", cy / 2);
  app_.WriteProfileInt("CommandBars-Bar1", "BarID", kStandardId);
  app_.WriteProfileInt("CommandBars-Bar1", "MRUFloatXPos", 100);
  app_.WriteProfileInt("CommandBars-Bar1", "MRUFloatYPos", 50);
  app_.WriteProfileInt("CommandBars-Bar1", "MRUDockLeftPos", cx);  // off the screen once doubled
  app_.WriteProfileInt("CommandBars-Bar1", "MRUDockRightPos", cx + 30);
  CStateFrame frame;
  ASSERT_TRUE(frame.Build());
  frame.Bars()->LoadBarState("CommandBars");
  CTKDockContext* pContext = frame.ToolBar(kStandardId)->GetDockContext();
  EXPECT_EQ(pContext->m_ptMRUFloatPos, CPoint(::MulDiv(100, cx, cx / 2), ::MulDiv(50, cy, cy / 2)));
  const int clipX = cx - ::GetSystemMetrics(SM_CXICON);
  EXPECT_EQ(pContext->m_rectMRUDockPos.left, clipX);
  EXPECT_EQ(pContext->m_rectMRUDockPos.Width(), 30);  // moved, not resized
}

TEST_F(BarState, APopupBarSharedByTwoControlsIsWrittenOnceAndReconnectedToBoth)
{
  {
    CStateFrame frame;
    ASSERT_TRUE(frame.Build());
    CTKToolBar* pBar = frame.Bars()->AddCustomBar("Mine", kMineId);
    ASSERT_NE(pBar, nullptr);
    CTKPopupBar* pPopup = CTKPopupBar::CreatePopupBar(frame.Bars());
    pPopup->GetControls()->Add(tkControlButton, 57601)->SetCustomCaption("Inside");
    for (int i = 0; i < 2; ++i)
      static_cast<CTKControlPopup*>(pBar->GetControls()->Add(tkControlPopup, 0))->SetCommandBar(pPopup);
    pPopup->InternalRelease();
    ASSERT_TRUE(frame.Bars()->SaveBarState("CommandBars"));
    // Without an id of its own the popup bar is numbered from 0x1000000.
    EXPECT_EQ(pPopup->GetBarID(), TK_FIRST_GENERATED_BAR_ID);
    const Bytes stream = Controls();
    ASSERT_GE(stream.size(), 2u);
    EXPECT_EQ(stream[0], 2);  // the toolbar and its popup bar, once
    EXPECT_EQ(stream[1], 0);
  }
  CStateFrame frame;
  ASSERT_TRUE(frame.Build());
  frame.Bars()->LoadBarState("CommandBars");
  CTKToolBar* pBar = frame.ToolBar(kMineId);
  ASSERT_NE(pBar, nullptr);
  ASSERT_GE(pBar->GetControlCount(), 2);
  CTKCommandBar* pFirst = pBar->GetControl(0)->GetCommandBar();
  ASSERT_NE(pFirst, nullptr);
  EXPECT_EQ(pBar->GetControl(1)->GetCommandBar(), pFirst);
  EXPECT_TRUE(pFirst->IsKindOf(RUNTIME_CLASS(CTKPopupBar)));
  ASSERT_EQ(pFirst->GetControlCount(), 1);
  EXPECT_EQ(std::string(pFirst->GetControl(0)->GetCaption()), "Inside");
}

// ---- Streams that must change nothing

TEST_F(BarState, ADamagedOrHostileStreamChangesNoBar)
{
  auto withButton = [](ButtonFields b) { return MineStream(b); };
  Bytes whole = MineStream();
  // A popup bar whose own control opens it again.
  Bytes cycle;
  PutWord(cycle, 2);
  PutBarHead(cycle, "CTKToolBar", 1, 0, kMineId, 0x3F, "Mine");
  PutWord(cycle, 1);
  PutButton(cycle, {.className = "CTKControlPopup", .type = 2, .id = 0, .commandBarId = 0x1000000});
  PutControlsTail(cycle);
  PutToolBarTail(cycle);
  PutBarHead(cycle, "CTKPopupBar", 2, 5, 0x1000000, 0, "");
  PutWord(cycle, 1);
  PutButton(cycle, {.className = "CTKControlPopup", .type = 2, .id = 0, .commandBarId = 0x1000000});
  PutControlsTail(cycle);
  PutInt(cycle, 0);  // TearOffPopup
  PutString(cycle, "");
  for (int v : {0, 0, 2, 4, 2, 4, 1, 0})  // TearOffId, TearOffWidth, Borders, ShowShadow, DoubleGripper
    PutInt(cycle, v);

  // A popup control naming a toolbar of the stream as its popup bar.
  Bytes toolbarAsPopup;
  PutWord(toolbarAsPopup, 2);
  PutBarHead(toolbarAsPopup, "CTKToolBar", 1, 0, kMineId, 0x3F, "Mine");
  PutWord(toolbarAsPopup, 1);
  PutButton(toolbarAsPopup, {.className = "CTKControlPopup", .type = 2, .id = 0, .commandBarId = kMineId + 1});
  PutControlsTail(toolbarAsPopup);
  PutToolBarTail(toolbarAsPopup);
  PutBarHead(toolbarAsPopup, "CTKToolBar", 1, 0, kMineId + 1, 0x3F, "Other");
  PutWord(toolbarAsPopup, 0);
  PutControlsTail(toolbarAsPopup);
  PutToolBarTail(toolbarAsPopup);

  // Built-in copies of built-in copies, far deeper than any bar holds.
  Bytes nested;
  PutWord(nested, 1);
  PutBarHead(nested, "CTKToolBar", 1, 0, kMineId, 0x3F, "Mine");
  constexpr int kLevels = 100000;
  for (int i = 0; i < kLevels; ++i) {
    PutWord(nested, 0);  // no controls
    PutInt(nested, 1);   // OriginalControls, and its section follows
  }
  PutWord(nested, 0);
  PutControlsTail(nested);
  for (int i = 0; i < kLevels; ++i)
    PutInt(nested, 0);  // CustomizedControls of each level
  PutToolBarTail(nested);

  const std::pair<const char*, Bytes> cases[] = {
      {"cut short", Bytes(whole.begin(), whole.end() - 5)},
      {"a class that is not a control", withButton({.className = "CTKControls"})},
      {"a class that is not registered", withButton({.className = "CTKControlButtoN"})},
      {"a button claiming to be a popup", withButton({.type = 2})},
      {"a popup bar reachable from its own control", cycle},
      {"a toolbar opened as a popup bar", toolbarAsPopup},
      {"built-in copies nested a hundred thousand deep", nested},
  };
  for (const auto& [what, stream] : cases) {
    SCOPED_TRACE(what);
    PutControls(stream);
    CStateFrame frame;
    ASSERT_TRUE(frame.Build());
    const int nBars = frame.Bars()->GetCount();
    frame.Bars()->LoadBarState("CommandBars");
    EXPECT_EQ(frame.Bars()->GetCount(), nBars);
    EXPECT_EQ(frame.ToolBar(kMineId), nullptr);
    EXPECT_EQ(frame.ToolBar(kMineId + 1), nullptr);
  }
}

// ---- Where the stream goes, and saves that fail

// A toolbar of the user's own whose only button has a caption of the given length.
void AddLongBar(CStateFrame& frame, int nCaption)
{
  CTKToolBar* pBar = frame.Bars()->AddCustomBar("Long", kMineId);
  ASSERT_NE(pBar, nullptr);
  CTKControl* pButton = pBar->GetControls()->Add(tkControlButton, 57600);
  pButton->SetCustomCaption(CString(std::string(static_cast<size_t>(nCaption), 'x').c_str()));
}

TEST_F(BarState, SixteenThousandBytesStayInTheProfileAndOneMoreGoesToAHiddenFile)
{
  int nBase = 0;
  {
    CStateFrame frame;
    ASSERT_TRUE(frame.Build());
    AddLongBar(frame, 1000);
    ASSERT_TRUE(frame.Bars()->SaveBarState("CommandBars"));
    nBase = static_cast<int>(Controls().size());
  }
  const int nExact = 1000 + 16000 - nBase;
  {
    CStateFrame frame;
    ASSERT_TRUE(frame.Build());
    AddLongBar(frame, nExact);
    ASSERT_TRUE(frame.Bars()->SaveBarState("CommandBars"));
    EXPECT_EQ(Controls().size(), 16000u);
    EXPECT_EQ(Int("CommandBars-Controls", "LoadFromFile"), 0);
  }
  const std::string path = folder_.Path() + "/Tesmira Road/CommandBars";
  {
    CStateFrame frame;
    ASSERT_TRUE(frame.Build());
    AddLongBar(frame, nExact + 1);
    ASSERT_TRUE(frame.Bars()->SaveBarState("CommandBars"));
    EXPECT_EQ(Int("CommandBars-Controls", "LoadFromFile"), 1);
    EXPECT_EQ(std::string(app_.GetProfileString("CommandBars-Controls", "Controls")), path);
    std::ifstream file(path, std::ios::binary);
    Bytes bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    EXPECT_EQ(bytes.size(), 16001u);
  }
  CStateFrame frame;
  ASSERT_TRUE(frame.Build());
  frame.Bars()->LoadBarState("CommandBars");
  ASSERT_NE(frame.ToolBar(kMineId), nullptr);
  EXPECT_EQ(frame.ToolBar(kMineId)->GetControl(0)->GetCaption().GetLength(), nExact + 1);
}

TEST_F(BarState, AStreamThatCannotBeWrittenKeepsTheCustomisationSavedBefore)
{
  PutControls(MineStream());
  CStateFrame frame;
  ASSERT_TRUE(frame.Build());
  // Every bar is written, the menu bar too; its popups here are a stand-in class without a class record.
  EXPECT_FALSE(frame.Bars()->SaveBarState("CommandBars", FALSE));
  EXPECT_EQ(Controls(), MineStream());
}

TEST_F(BarState, AFailedSaveKeepsThePreviousStateLoadable)
{
  for (int nCaption : {10, 17000}) {  // in the profile, and in the hidden file
    SCOPED_TRACE(nCaption);
    {
      CStateFrame frame;
      ASSERT_TRUE(frame.Build());
      AddLongBar(frame, nCaption);
      ASSERT_TRUE(frame.Bars()->SaveBarState("CommandBars"));
      frame.ToolBar(kMineId)->GetControl(0)->SetCustomCaption("changed");
      frame.ToolBar(kShortId)->SetVisible(FALSE);
      platform::SetProfileWriteFaultForTest(0);
      EXPECT_FALSE(frame.Bars()->SaveBarState("CommandBars"));
      platform::SetProfileWriteFaultForTest(std::nullopt);
    }
    CStateFrame frame;
    ASSERT_TRUE(frame.Build());
    frame.Bars()->LoadBarState("CommandBars");
    ASSERT_NE(frame.ToolBar(kMineId), nullptr);
    EXPECT_EQ(frame.ToolBar(kMineId)->GetControl(0)->GetCaption().GetLength(), nCaption);
    EXPECT_TRUE(frame.ToolBar(kShortId)->IsVisible());
  }
}

// The options' changed mark: set by customising and by moving a toolbar, cleared by a save that reached the
// profile and by a load.
TEST_F(BarState, TheOptionsAreMarkedChangedUntilTheBarsAreSavedOrLoaded)
{
  CStateFrame frame;
  ASSERT_TRUE(frame.Build());
  const auto dirty = [&] { return frame.Bars()->GetCommandBarsOptions()->bDirty != FALSE; };
  EXPECT_FALSE(dirty());
  frame.Bars()->SetCustomizeMode(TRUE);
  frame.Bars()->SetCustomizeMode(FALSE);
  EXPECT_TRUE(dirty());
  platform::SetProfileWriteFaultForTest(0);
  EXPECT_FALSE(frame.Bars()->SaveBarState("CommandBars"));
  platform::SetProfileWriteFaultForTest(std::nullopt);
  EXPECT_TRUE(dirty());
  ASSERT_TRUE(frame.Bars()->SaveBarState("CommandBars"));
  EXPECT_FALSE(dirty());

  // A docked bar floated by a double click, then docked back.
  frame.Bars()->GetCommandBarsOptions()->bDblClickFloat = TRUE;
  CTKDockContext* pContext = frame.ToolBar(kShortId)->GetDockContext();
  ASSERT_NE(pContext, nullptr);
  ASSERT_TRUE(pContext->ToggleDocking());
  EXPECT_TRUE(dirty());
  frame.Bars()->LoadBarState("CommandBars");
  EXPECT_FALSE(dirty());
}

}  // namespace
