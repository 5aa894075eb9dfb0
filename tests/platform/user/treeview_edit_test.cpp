// The tree view's in-place renaming, collapsing with reset and drags; the common controls' version.
#include "platform/base/clock.h"
#include "platform/base/module.h"
#include "platform/user/user.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

std::vector<std::string> g_notes;
LRESULT g_beginAnswer = 0;
LRESULT g_endAnswer = 0;
HWND g_tree = nullptr;

// Each test runs on a clock of its own, far from every other test's, so that no click of one is taken for the
// second half of a double click begun in another.
std::uint64_t FreshClockStart()
{
  static std::uint64_t next = 200'000'000;
  next += 100'000;
  return next;
}

LRESULT ParentProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
  if (msg != WM_NOTIFY) {
    return DefWindowProc(hwnd, msg, wParam, lParam);
  }
  auto* hdr = reinterpret_cast<NMHDR*>(lParam);
  auto* di = reinterpret_cast<NMTVDISPINFO*>(lParam);
  auto* tv = reinterpret_cast<NMTREEVIEW*>(lParam);
  switch (hdr->code) {
    case TVN_BEGINLABELEDIT: {
      // The edit control is there while the parent decides, holding the label.
      HWND edit = reinterpret_cast<HWND>(SendMessage(g_tree, TVM_GETEDITCONTROL, 0, 0));
      char text[64] = {};
      if (edit != nullptr) {
        GetWindowText(edit, text, sizeof text);
      }
      g_notes.push_back(std::string("begin ") + di->item.pszText + (edit != nullptr ? " edit " + std::string(text) : ""));
      return g_beginAnswer;
    }
    case TVN_ENDLABELEDIT: {
      HWND edit = reinterpret_cast<HWND>(SendMessage(g_tree, TVM_GETEDITCONTROL, 0, 0));
      char text[64] = {};
      GetWindowText(edit, text, sizeof text);
      g_notes.push_back(std::string("end ") + (di->item.pszText != nullptr ? di->item.pszText : "(cancelled)") +
                        " edit " + text);
      return g_endAnswer;
    }
    case TVN_DELETEITEM: g_notes.push_back("deleted " + std::to_string(tv->itemOld.lParam)); return 0;
    case TVN_ITEMEXPANDING:
      g_notes.push_back("expanding " + std::to_string(tv->action) + " " + std::to_string(tv->itemNew.lParam));
      return 0;
    case TVN_BEGINDRAG:
    case TVN_BEGINRDRAG:
      g_notes.push_back(std::string(hdr->code == TVN_BEGINDRAG ? "drag " : "rdrag ") +
                        std::to_string(tv->itemNew.lParam));
      return 0;
    default: return 0;
  }
}

void Pump()
{
  MSG msg;
  while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessage(&msg);
  }
}

HTREEITEM Insert(HWND tree, HTREEITEM parent, const char* text, LPARAM data)
{
  TVINSERTSTRUCT ins;
  ins.hParent = parent;
  ins.hInsertAfter = TVI_LAST;
  ins.item.mask = TVIF_TEXT | TVIF_PARAM;
  ins.item.pszText = const_cast<char*>(text);
  ins.item.lParam = data;
  return reinterpret_cast<HTREEITEM>(SendMessage(tree, TVM_INSERTITEM, 0, reinterpret_cast<LPARAM>(&ins)));
}

std::string Label(HWND tree, HTREEITEM item)
{
  char text[64] = {};
  TVITEM tv;
  tv.mask = TVIF_TEXT;
  tv.hItem = item;
  tv.pszText = text;
  tv.cchTextMax = sizeof text;
  SendMessage(tree, TVM_GETITEM, 0, reinterpret_cast<LPARAM>(&tv));
  return text;
}

class TreeEditTest : public ::testing::Test {
protected:
  platform::VirtualClock clock_{FreshClockStart()};
  platform::ScopedClock inForce_{clock_};

  void SetUp() override
  {
    g_notes.clear();
    g_beginAnswer = 0;
    g_endAnswer = 0;
    WNDCLASS wc;
    wc.lpfnWndProc = &ParentProc;
    wc.lpszClassName = "TreeEditParent";
    RegisterClass(&wc);
    parent_ = CreateWindowEx(0, "TreeEditParent", "", WS_POPUP | WS_VISIBLE, 0, 0, 300, 200, nullptr, nullptr,
                             nullptr, nullptr);
    tree_ = g_tree = CreateWindowEx(0, WC_TREEVIEW, "",
                                    WS_CHILD | WS_VISIBLE | TVS_HASBUTTONS | TVS_LINESATROOT | TVS_EDITLABELS, 0, 0,
                                    300, 200, parent_, nullptr, nullptr, nullptr);
    project_ = Insert(tree_, TVI_ROOT, "Проект", 1);
    area_ = Insert(tree_, project_, "Площадка", 2);
    Insert(tree_, area_, "Проезжая часть", 3);
    Insert(tree_, area_, "Тротуар", 4);
    SendMessage(tree_, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(project_));
    Pump();
    g_notes.clear();
  }
  void TearDown() override { DestroyWindow(parent_); }

  HWND parent_ = nullptr;
  HWND tree_ = nullptr;
  HTREEITEM project_ = nullptr;
  HTREEITEM area_ = nullptr;
};

TEST_F(TreeEditTest, RenamingEndsByEnterOrEscapeAndTheParentDecidesTheLabel)
{
  struct Case {
    const char* what;
    LRESULT begin;
    UINT key;
    LRESULT end;
    std::string label;
    std::vector<std::string> told;
  };
  const Case cases[] = {
      {"accepted", 0, VK_RETURN, 1, "Развязка", {"begin Площадка edit Площадка", "end Развязка edit Развязка"}},
      {"refused at the end", 0, VK_RETURN, 0, "Площадка", {"begin Площадка edit Площадка", "end Развязка edit Развязка"}},
      // Esc tells no new text, but the edit control still holds what was typed.
      {"cancelled", 0, VK_ESCAPE, 1, "Площадка", {"begin Площадка edit Площадка", "end (cancelled) edit Развязка"}},
      {"refused at the start", 1, 0, 1, "Площадка", {"begin Площадка edit Площадка"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TVITEM reset;
    reset.mask = TVIF_TEXT;
    reset.hItem = area_;
    reset.pszText = const_cast<char*>("Площадка");
    SendMessage(tree_, TVM_SETITEM, 0, reinterpret_cast<LPARAM>(&reset));
    g_notes.clear();
    g_beginAnswer = c.begin;
    g_endAnswer = c.end;
    HWND edit = reinterpret_cast<HWND>(SendMessage(tree_, TVM_EDITLABEL, 0, reinterpret_cast<LPARAM>(area_)));
    if (c.key == 0) {
      EXPECT_EQ(edit, nullptr);
      EXPECT_EQ(SendMessage(tree_, TVM_GETEDITCONTROL, 0, 0), 0);
    } else {
      ASSERT_NE(edit, nullptr);
      EXPECT_EQ(GetFocus(), edit);
      SetWindowText(edit, "Развязка");
      user::InjectKeyPress(c.key);
      Pump();
      EXPECT_FALSE(IsWindow(edit));
      EXPECT_EQ(GetFocus(), tree_);
    }
    EXPECT_EQ(Label(tree_, area_), c.label);
    EXPECT_EQ(g_notes, c.told);
  }
}

TEST_F(TreeEditTest, ASlowSecondClickOnTheSelectedLabelRenamesItAndLosingFocusKeepsTheText)
{
  SendMessage(tree_, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(area_));
  SetFocus(tree_);
  RECT label{};
  std::memcpy(static_cast<void*>(&label), &area_, sizeof area_);
  ASSERT_TRUE(SendMessage(tree_, TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&label)));
  user::InjectClick(POINT{label.left + 4, (label.top + label.bottom) / 2});
  Pump();
  EXPECT_EQ(SendMessage(tree_, TVM_GETEDITCONTROL, 0, 0), 0);  // not at once: it might become a double click
  clock_.Advance(GetDoubleClickTime() + 50);
  Pump();
  HWND edit = reinterpret_cast<HWND>(SendMessage(tree_, TVM_GETEDITCONTROL, 0, 0));
  ASSERT_NE(edit, nullptr);
  SetWindowText(edit, "Площадка 2");
  g_endAnswer = 1;
  SetFocus(parent_);
  Pump();
  EXPECT_EQ(Label(tree_, area_), "Площадка 2");
  EXPECT_EQ(SendMessage(tree_, TVM_GETEDITCONTROL, 0, 0), 0);
}

TEST_F(TreeEditTest, DeletingTheItemBeingRenamedCancelsTheEdit)
{
  HWND edit = reinterpret_cast<HWND>(SendMessage(tree_, TVM_EDITLABEL, 0, reinterpret_cast<LPARAM>(area_)));
  ASSERT_NE(edit, nullptr);
  g_notes.clear();
  SendMessage(tree_, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(area_));
  EXPECT_FALSE(IsWindow(edit));
  EXPECT_EQ(g_notes, (std::vector<std::string>{"deleted 4", "deleted 3", "end (cancelled) edit Площадка", "deleted 2"}));
}

TEST_F(TreeEditTest, CollapseResetDropsTheChildrenAndDragsStartPastTheDragDistance)
{
  SendMessage(tree_, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(area_));
  EXPECT_EQ(SendMessage(tree_, TVM_GETCOUNT, 0, 0), 4);
  g_notes.clear();
  EXPECT_TRUE(SendMessage(tree_, TVM_EXPAND, TVE_COLLAPSE | TVE_COLLAPSERESET, reinterpret_cast<LPARAM>(area_)));
  EXPECT_EQ(g_notes, (std::vector<std::string>{"expanding " + std::to_string(TVE_COLLAPSE | TVE_COLLAPSERESET) + " 2",
                                               "deleted 4", "deleted 3"}));
  EXPECT_EQ(SendMessage(tree_, TVM_GETCOUNT, 0, 0), 2);
  EXPECT_EQ(SendMessage(tree_, TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(area_), TVIS_EXPANDEDONCE), 0);

  // Colours answer -1 until set; the tip window is made when first asked for.
  EXPECT_EQ(SendMessage(tree_, TVM_GETBKCOLOR, 0, 0), -1);
  SendMessage(tree_, TVM_SETTEXTCOLOR, 0, RGB(200, 0, 0));
  EXPECT_EQ(SendMessage(tree_, TVM_GETTEXTCOLOR, 0, 0), RGB(200, 0, 0));
  HWND tips = reinterpret_cast<HWND>(SendMessage(tree_, TVM_GETTOOLTIPS, 0, 0));
  EXPECT_NE(tips, nullptr);
  EXPECT_EQ(reinterpret_cast<HWND>(SendMessage(tree_, TVM_GETTOOLTIPS, 0, 0)), tips);

  // A press on the project moved by a few pixels is a click; by more, a drag. The presses are a second apart,
  // so that none is a double click.
  RECT label{};
  std::memcpy(static_cast<void*>(&label), &project_, sizeof project_);
  SendMessage(tree_, TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&label));
  const POINT at{label.left + 4, (label.top + label.bottom) / 2};
  g_notes.clear();
  for (UINT button : {VK_LBUTTON, VK_RBUTTON}) {
    for (int distance : {2, 10}) {
      user::InjectMouseMove(at);
      user::InjectMouseButton(button, true);
      user::InjectMouseMove(POINT{at.x + distance, at.y});
      user::InjectMouseButton(button, false);
      Pump();
      clock_.Advance(1000);
    }
  }
  EXPECT_EQ(g_notes, (std::vector<std::string>{"drag 1", "rdrag 1"}));
}

// As the program's own start-up code asks: before main, from a static initialiser.
DWORD VersionAtStart()
{
  HMODULE module = LoadLibrary("comctl32.dll");
  auto getVersion = module != nullptr ? reinterpret_cast<DLLGETVERSIONPROC>(GetProcAddress(module, "DllGetVersion"))
                                      : nullptr;
  DLLVERSIONINFO info;
  const DWORD version = getVersion != nullptr && getVersion(&info) == S_OK
                            ? info.dwMajorVersion * 65536 + info.dwMinorVersion
                            : 0;
  if (module != nullptr) {
    FreeLibrary(module);
  }
  return version;
}
const DWORD g_versionAtStart = VersionAtStart();

TEST(CommonControlsVersion, TheModuleIsThereBeforeMain)
{
  EXPECT_EQ(g_versionAtStart, 6u * 65536u);
}

TEST(CommonControlsVersion, TheModuleAnswersSixPointZeroAndRefusesAWrongSize)
{
  HMODULE module = LoadLibrary("COMCTL32.DLL");
  ASSERT_NE(module, nullptr);
  auto getVersion = reinterpret_cast<DLLGETVERSIONPROC>(GetProcAddress(module, "DllGetVersion"));
  ASSERT_NE(getVersion, nullptr);
  DLLVERSIONINFO info;
  EXPECT_EQ(info.cbSize, 20u);
  EXPECT_EQ(getVersion(&info), S_OK);
  EXPECT_EQ(info.dwMajorVersion, 6u);
  EXPECT_EQ(info.dwMinorVersion, 0u);
  DLLVERSIONINFO wrong;
  wrong.cbSize = 24;
  EXPECT_EQ(getVersion(&wrong), E_INVALIDARG);
  EXPECT_EQ(getVersion(nullptr), E_INVALIDARG);
  FreeLibrary(module);
}

}  // namespace
