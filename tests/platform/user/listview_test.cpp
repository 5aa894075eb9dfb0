// The list view with its header: selection and focus by mouse and keys, the notifications that tell of them,
// columns, sorting, and a picture of a report beside a trackbar.
#include "platform/base/clock.h"
#include "platform/gdi/png.h"
#include "platform/gdi/surface.h"
#include "platform/user/user.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string> g_notes;

// Each test runs on a clock of its own, far from every other test's, so that no click of one is taken for the
// second half of a double click begun in another.
std::uint64_t FreshClockStart()
{
  static std::uint64_t next = 200'000'000;
  next += 100'000;
  return next;
}
LRESULT g_refuseChanging = 0;
LRESULT g_refuseTrack = 0;

std::string States(UINT s)
{
  std::string out;
  if ((s & LVIS_SELECTED) != 0) {
    out += "S";
  }
  if ((s & LVIS_FOCUSED) != 0) {
    out += "F";
  }
  return out.empty() ? "-" : out;
}

LRESULT ParentProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
  if (msg != WM_NOTIFY) {
    return DefWindowProc(hwnd, msg, wParam, lParam);
  }
  auto* hdr = reinterpret_cast<NMHDR*>(lParam);
  if (hdr->code == HDN_BEGINTRACK) {
    return g_refuseTrack;
  }
  if (hdr->code == NM_SETFOCUS || hdr->code == NM_KILLFOCUS || hdr->code == NM_RETURN ||
      (hdr->code <= HDN_FIRST && hdr->code > HDN_FIRST - 100)) {
    if (hdr->code == NM_RETURN) {
      g_notes.push_back("return");
    }
    return 0;  // these carry no item
  }
  auto* lv = reinterpret_cast<NMLISTVIEW*>(lParam);
  const std::string item = std::to_string(lv->iItem);
  switch (hdr->code) {
    case LVN_ITEMCHANGING: return g_refuseChanging;
    case LVN_ITEMCHANGED:
      if ((lv->uChanged & LVIF_STATE) != 0 && ((lv->uNewState ^ lv->uOldState) & (LVIS_SELECTED | LVIS_FOCUSED)) != 0) {
        g_notes.push_back("changed " + item + " " + States(lv->uOldState) + ">" + States(lv->uNewState));
      } else if (((lv->uNewState ^ lv->uOldState) & LVIS_STATEIMAGEMASK) != 0) {
        g_notes.push_back("checked " + item + " " + std::to_string((lv->uNewState & LVIS_STATEIMAGEMASK) >> 12));
      }
      return 0;
    case NM_CLICK: g_notes.push_back("click " + item); return 0;
    case NM_DBLCLK: g_notes.push_back("dblclk " + item); return 0;
    case NM_RCLICK: g_notes.push_back("rclick " + item); return 1;
    case LVN_ITEMACTIVATE: g_notes.push_back("activate " + item); return 0;
    case LVN_COLUMNCLICK: g_notes.push_back("column " + std::to_string(lv->iSubItem)); return 0;
    case LVN_BEGINDRAG: g_notes.push_back("drag " + item); return 0;
    case LVN_KEYDOWN:
      g_notes.push_back("key " + std::to_string(reinterpret_cast<NMLVKEYDOWN*>(lParam)->wVKey));
      return 0;
    case LVN_DELETEITEM: g_notes.push_back("deleted " + std::to_string(lv->lParam)); return 0;
    case LVN_DELETEALLITEMS: g_notes.push_back("deleting all"); return 0;
    case LVN_GETDISPINFO: {
      auto* di = reinterpret_cast<NMLVDISPINFO*>(lParam);
      std::snprintf(di->item.pszText, static_cast<std::size_t>(di->item.cchTextMax), "asked %d.%d", di->item.iItem,
                    di->item.iSubItem);
      return 0;
    }
    default: return 0;
  }
}

HWND Parent(int width = 420, int height = 300)
{
  WNDCLASS wc;
  wc.lpfnWndProc = &ParentProc;
  wc.lpszClassName = "ListViewParent";
  wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<UINT_PTR>(COLOR_BTNFACE + 1));
  RegisterClass(&wc);
  return CreateWindowEx(0, "ListViewParent", "", WS_POPUP | WS_VISIBLE, 0, 0, width, height, nullptr, nullptr, nullptr,
                        nullptr);
}

void Pump()
{
  MSG msg;
  while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessage(&msg);
  }
}

void AddColumn(HWND list, int at, const char* title, int width, int fmt = LVCFMT_LEFT)
{
  LVCOLUMN c;
  c.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
  c.pszText = const_cast<char*>(title);
  c.cx = width;
  c.fmt = fmt;
  ASSERT_EQ(SendMessage(list, LVM_INSERTCOLUMN, static_cast<WPARAM>(at), reinterpret_cast<LPARAM>(&c)), at);
}

int AddItem(HWND list, int at, const char* text, LPARAM data)
{
  LVITEM item;
  item.mask = LVIF_TEXT | LVIF_PARAM;
  item.iItem = at;
  item.pszText = const_cast<char*>(text);
  item.lParam = data;
  return static_cast<int>(SendMessage(list, LVM_INSERTITEM, 0, reinterpret_cast<LPARAM>(&item)));
}

void SetSubText(HWND list, int index, int sub, const char* text)
{
  LVITEM item;
  item.iSubItem = sub;
  item.pszText = const_cast<char*>(text);
  SendMessage(list, LVM_SETITEMTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
}

std::string Text(HWND list, int index, int sub = 0)
{
  char buffer[64] = {};
  LVITEM item;
  item.iSubItem = sub;
  item.pszText = buffer;
  item.cchTextMax = sizeof buffer;
  SendMessage(list, LVM_GETITEMTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
  return buffer;
}

RECT ItemRect(HWND list, int index, int part)
{
  RECT r{};
  r.left = part;
  SendMessage(list, LVM_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&r));
  return r;
}

POINT LabelPoint(HWND list, int index)
{
  RECT r = ItemRect(list, index, LVIR_LABEL);
  return POINT{r.left + 6, (r.top + r.bottom) / 2};
}

std::string Selection(HWND list)
{
  std::string out;
  for (int i = static_cast<int>(SendMessage(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED)); i >= 0;
       i = static_cast<int>(SendMessage(list, LVM_GETNEXTITEM, static_cast<WPARAM>(i), LVNI_SELECTED))) {
    out += std::to_string(i);
  }
  const int focus = static_cast<int>(SendMessage(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED));
  return out + " focus " + std::to_string(focus);
}

const char* const kLuminaires[] = {"ЖКУ-250", "РКУ-125", "ГКУ-400", "ЖСУ-150", "ЖКУ-70"};

class ListViewTest : public ::testing::Test {
protected:
  platform::VirtualClock clock_{FreshClockStart()};
  platform::ScopedClock inForce_{clock_};

  void SetUp() override
  {
    g_notes.clear();
    g_refuseChanging = 0;
    g_refuseTrack = 0;
  }
  void Make(DWORD style)
  {
    parent_ = Parent();
    list_ = CreateWindowEx(0, WC_LISTVIEW, "", WS_CHILD | WS_VISIBLE | style, 0, 0, 400, 200, parent_,
                           reinterpret_cast<HMENU>(3), nullptr, nullptr);
    AddColumn(list_, 0, "Светильник", 120);
    AddColumn(list_, 1, "Мощность, Вт", 100, LVCFMT_RIGHT);
    AddColumn(list_, 2, "Высота, м", 80, LVCFMT_RIGHT);
    const char* const power[] = {"250", "125", "400", "150", "70"};
    for (int i = 0; i < 5; ++i) {
      AddItem(list_, i, kLuminaires[i], 100 + i);
      SetSubText(list_, i, 1, power[i]);
      SetSubText(list_, i, 2, i % 2 == 0 ? "10" : "8");
    }
    Pump();
    g_notes.clear();
  }
  void TearDown() override
  {
    if (parent_ != nullptr) {
      DestroyWindow(parent_);
    }
  }

  HWND parent_ = nullptr;
  HWND list_ = nullptr;
};

// Each step's input, what the parent was told, and the selection and focus after it.
struct Step {
  const char* what;
  void (*act)(HWND list);
  std::vector<std::string> told;
  std::string after;
};

void ClickWith(UINT modifier, HWND list, int index)
{
  if (modifier != 0) {
    user::InjectKey(modifier, true);
  }
  user::InjectClick(LabelPoint(list, index));
  if (modifier != 0) {
    user::InjectKey(modifier, false);
  }
}

void KeyWith(UINT modifier, UINT key)
{
  if (modifier != 0) {
    user::InjectKey(modifier, true);
  }
  user::InjectKeyPress(key);
  if (modifier != 0) {
    user::InjectKey(modifier, false);
  }
}

TEST_F(ListViewTest, MouseAndKeysSelectAndFocusItemsTellingTheParentInOrder)
{
  Make(LVS_REPORT | LVS_SHOWSELALWAYS);
  const Step steps[] = {
      {"click", [](HWND l) { ClickWith(0, l, 1); }, {"changed 1 ->SF", "click 1"}, "1 focus 1"},
      {"down", [](HWND) { KeyWith(0, VK_DOWN); }, {"key 40", "changed 1 SF>-", "changed 2 ->SF"}, "2 focus 2"},
      {"shift+end",
       [](HWND) { KeyWith(VK_SHIFT, VK_END); },
       {"key 16", "key 35", "changed 3 ->S", "changed 4 ->S", "changed 2 SF>S", "changed 4 S>SF"},
       "234 focus 4"},
      {"ctrl+click adds",
       [](HWND l) { ClickWith(VK_CONTROL, l, 0); },
       {"key 17", "changed 4 SF>S", "changed 0 ->SF", "click 0"},
       "0234 focus 0"},
      {"ctrl+click removes",
       [](HWND l) { ClickWith(VK_CONTROL, l, 3); },
       {"key 17", "changed 0 SF>S", "changed 3 S>F", "click 3"},
       "024 focus 3"},
      {"ctrl+down moves only the focus", [](HWND) { KeyWith(VK_CONTROL, VK_DOWN); }, {"key 17", "key 40", "changed 3 F>-", "changed 4 S>SF"}, "024 focus 4"},
      {"shift+click from the mark",
       [](HWND l) { ClickWith(VK_SHIFT, l, 1); },
       {"key 16", "changed 0 S>-", "changed 1 ->S", "changed 3 ->S", "changed 4 SF>F", "changed 4 F>-",
        "changed 1 S>SF", "click 1"},
       "123 focus 1"},
      {"click below the items clears",
       [](HWND) { user::InjectClick(POINT{60, 190}); },
       {"changed 1 SF>-", "changed 2 S>-", "changed 3 S>-", "click -1"},
       " focus -1"},
      {"double click activates",
       [](HWND l) {
         const POINT p = LabelPoint(l, 3);
         user::InjectClick(p);
         user::InjectClick(p);
       },
       {"changed 3 ->SF", "click 3", "dblclk 3", "activate 3"},
       "3 focus 3"},
      {"enter activates the focused item", [](HWND) { KeyWith(0, VK_RETURN); }, {"key 13", "return", "activate 3"}, "3 focus 3"},
      {"home", [](HWND) { KeyWith(0, VK_HOME); }, {"key 36", "changed 3 SF>-", "changed 0 ->SF"}, "0 focus 0"},
  };
  for (const Step& s : steps) {
    SCOPED_TRACE(s.what);
    g_notes.clear();
    s.act(list_);
    Pump();
    EXPECT_EQ(g_notes, s.told);
    EXPECT_EQ(Selection(list_), s.after);
  }
  EXPECT_EQ(GetFocus(), list_);
}

TEST_F(ListViewTest, ASingleSelectionListKeepsOneAndARefusedChangeChangesNothing)
{
  Make(LVS_REPORT | LVS_SINGLESEL);
  ClickWith(0, list_, 1);
  ClickWith(VK_CONTROL, list_, 3);  // no adding in a single-selection list
  KeyWith(VK_SHIFT, VK_DOWN);
  Pump();
  EXPECT_EQ(Selection(list_), "4 focus 4");

  g_notes.clear();
  g_refuseChanging = 1;
  ClickWith(0, list_, 0);
  KeyWith(0, VK_HOME);
  LVITEM state;
  state.state = LVIS_SELECTED;
  state.stateMask = LVIS_SELECTED;
  SendMessage(list_, LVM_SETITEMSTATE, 2, reinterpret_cast<LPARAM>(&state));
  Pump();
  EXPECT_EQ(Selection(list_), "4 focus 4");
  EXPECT_EQ(g_notes, (std::vector<std::string>{"click 0", "key 36"}));
}

TEST_F(ListViewTest, ColumnsSubItemsHeaderClicksAndSortingByCallback)
{
  Make(LVS_REPORT);
  EXPECT_EQ(Text(list_, 2, 0), "ГКУ-400");
  EXPECT_EQ(Text(list_, 2, 1), "400");
  EXPECT_EQ(Text(list_, 2, 5), "");  // a sub-item never set is empty

  // A click on the second column's title is a column click; the header answers where its titles are.
  HWND header = reinterpret_cast<HWND>(SendMessage(list_, LVM_GETHEADER, 0, 0));
  ASSERT_NE(header, nullptr);
  RECT title;
  SendMessage(header, HDM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&title));
  EXPECT_EQ(title.left, 120);
  EXPECT_EQ(title.right, 220);
  user::InjectClick(POINT{170, title.bottom / 2});
  Pump();
  EXPECT_EQ(g_notes, (std::vector<std::string>{"column 1"}));

  // Rows start under the header; the sub-item rectangle is the column's.
  RECT row = ItemRect(list_, 0, LVIR_BOUNDS);
  EXPECT_EQ(row.top, title.bottom);
  RECT cell{};
  cell.top = 2;
  cell.left = LVIR_BOUNDS;
  SendMessage(list_, LVM_GETSUBITEMRECT, 1, reinterpret_cast<LPARAM>(&cell));
  EXPECT_EQ(cell.left, 220);
  EXPECT_EQ(cell.right, 300);
  LVHITTESTINFO hit;
  hit.pt = POINT{250, (cell.top + cell.bottom) / 2};
  EXPECT_EQ(SendMessage(list_, LVM_SUBITEMHITTEST, 0, reinterpret_cast<LPARAM>(&hit)), 1);
  EXPECT_EQ(hit.iSubItem, 2);

  // Sorting by power, greatest first, with the items' data as the callback's arguments.
  SendMessage(list_, LVM_SETITEMSTATE, 2, [] {
    static LVITEM s;
    s.state = s.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    return reinterpret_cast<LPARAM>(&s);
  }());
  static const int power[] = {250, 125, 400, 150, 70};
  auto byPower = [](LPARAM a, LPARAM b, LPARAM sign) -> int {
    return static_cast<int>(sign) * (power[a - 100] - power[b - 100]);
  };
  EXPECT_TRUE(SendMessage(list_, LVM_SORTITEMS, static_cast<WPARAM>(-1),
                          reinterpret_cast<LPARAM>(static_cast<PFNLVCOMPARE>(byPower))));
  std::vector<std::string> order;
  for (int i = 0; i < 5; ++i) {
    order.push_back(Text(list_, i, 1));
  }
  EXPECT_EQ(order, (std::vector<std::string>{"400", "250", "150", "125", "70"}));
  EXPECT_EQ(Selection(list_), "0 focus 0");  // selection goes with the item

  // Deleting tells of each item unless the parent declines the detail.
  g_notes.clear();
  EXPECT_TRUE(SendMessage(list_, LVM_DELETEITEM, 4, 0));
  EXPECT_FALSE(SendMessage(list_, LVM_DELETEITEM, 4, 0));
  SendMessage(list_, LVM_DELETEALLITEMS, 0, 0);
  EXPECT_EQ(g_notes, (std::vector<std::string>{"deleted 104", "deleting all", "deleted 102", "deleted 100",
                                               "deleted 103", "deleted 101"}));
  EXPECT_EQ(SendMessage(list_, LVM_GETITEMCOUNT, 0, 0), 0);
}

TEST_F(ListViewTest, CheckBoxesTextAskedOfTheParentAndDrags)
{
  Make(LVS_REPORT);
  SendMessage(list_, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_CHECKBOXES, LVS_EX_CHECKBOXES);
  EXPECT_EQ(SendMessage(list_, LVM_GETITEMSTATE, 1, LVIS_STATEIMAGEMASK), INDEXTOSTATEIMAGEMASK(1));
  // A click on the box checks without selecting; Space on the focused item toggles it.
  RECT icon = ItemRect(list_, 1, LVIR_SELECTBOUNDS);
  user::InjectClick(POINT{icon.left + 8, (icon.top + icon.bottom) / 2});
  Pump();
  EXPECT_EQ(g_notes, (std::vector<std::string>{"checked 1 2", "click 1"}));
  EXPECT_EQ(Selection(list_), " focus -1");
  ClickWith(0, list_, 1);
  Pump();
  g_notes.clear();
  KeyWith(0, VK_SPACE);
  Pump();
  EXPECT_EQ(g_notes, (std::vector<std::string>{"key 32", "checked 1 1"}));

  // Text asked of the parent.
  SetSubText(list_, 0, 2, LPSTR_TEXTCALLBACK);
  EXPECT_EQ(Text(list_, 0, 2), "asked 0.2");

  // Pressed on an item and moved past the drag distance: a drag, and no click.
  g_notes.clear();
  const POINT p = LabelPoint(list_, 3);
  user::InjectMouseMove(p);
  user::InjectMouseButton(VK_LBUTTON, true);
  user::InjectMouseMove(POINT{p.x + 12, p.y + 12});
  user::InjectMouseButton(VK_LBUTTON, false);
  Pump();
  EXPECT_EQ(g_notes, (std::vector<std::string>{"changed 1 SF>-", "changed 3 ->SF", "drag 3"}));
}

TEST_F(ListViewTest, ALongReportScrollsToTheFocusedRowAndClicksHitTheRowsShown)
{
  Make(LVS_REPORT);
  for (int i = 5; i < 40; ++i) {
    AddItem(list_, i, ("Опора " + std::to_string(i)).c_str(), 100 + i);
  }
  const int page = static_cast<int>(SendMessage(list_, LVM_GETCOUNTPERPAGE, 0, 0));
  ASSERT_GT(page, 3);
  ASSERT_LT(page, 40);
  EXPECT_EQ(SendMessage(list_, LVM_GETTOPINDEX, 0, 0), 0);
  ClickWith(0, list_, 0);
  KeyWith(0, VK_END);
  Pump();
  EXPECT_EQ(Selection(list_), "39 focus 39");
  EXPECT_EQ(SendMessage(list_, LVM_GETTOPINDEX, 0, 0), 40 - page);
  EXPECT_EQ(GetScrollPos(list_, SB_VERT), 40 - page);

  SendMessage(list_, LVM_ENSUREVISIBLE, 2, FALSE);
  EXPECT_EQ(SendMessage(list_, LVM_GETTOPINDEX, 0, 0), 2);
  SendMessage(list_, WM_VSCROLL, SB_PAGEDOWN, 0);
  EXPECT_EQ(SendMessage(list_, LVM_GETTOPINDEX, 0, 0), 2 + page);
  SendMessage(list_, WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 500), 0);  // past the end: the last page
  EXPECT_EQ(SendMessage(list_, LVM_GETTOPINDEX, 0, 0), 40 - page);

  // The first row shown stands right under the header.
  RECT headerRect;
  GetClientRect(reinterpret_cast<HWND>(SendMessage(list_, LVM_GETHEADER, 0, 0)), &headerRect);
  EXPECT_EQ(ItemRect(list_, 40 - page, LVIR_BOUNDS).top, headerRect.bottom);
  g_notes.clear();
  ClickWith(0, list_, 40 - page + 1);
  Pump();
  EXPECT_EQ(Selection(list_), std::to_string(40 - page + 1) + " focus " + std::to_string(40 - page + 1));
}

TEST_F(ListViewTest, DraggingAHeaderDividerResizesTheColumnUnlessTheParentRefuses)
{
  Make(LVS_REPORT);
  HWND header = reinterpret_cast<HWND>(SendMessage(list_, LVM_GETHEADER, 0, 0));
  RECT title;
  SendMessage(header, HDM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&title));
  const int y = (title.top + title.bottom) / 2;
  auto drag = [&](int from, int by) {
    user::InjectMouseMove(POINT{from, y});
    user::InjectMouseButton(VK_LBUTTON, true);
    user::InjectMouseMove(POINT{from + by / 2, y});
    user::InjectMouseMove(POINT{from + by, y});
    user::InjectMouseButton(VK_LBUTTON, false);
    Pump();
    clock_.Advance(1000);
  };
  g_refuseTrack = 1;
  drag(title.right - 1, 30);
  EXPECT_EQ(SendMessage(list_, LVM_GETCOLUMNWIDTH, 0, 0), 120);
  g_refuseTrack = 0;
  drag(title.right - 1, 30);
  EXPECT_EQ(SendMessage(list_, LVM_GETCOLUMNWIDTH, 0, 0), 150);
  RECT cell{};
  cell.top = 1;
  cell.left = LVIR_BOUNDS;
  SendMessage(list_, LVM_GETSUBITEMRECT, 0, reinterpret_cast<LPARAM>(&cell));
  EXPECT_EQ(cell.left, 150);  // the next column follows

  // A width set by the program goes to the header as well; AUTOSIZE fits the widest text.
  SendMessage(list_, LVM_SETCOLUMNWIDTH, 1, MAKELPARAM(60, 0));
  SendMessage(header, HDM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&title));
  EXPECT_EQ(title.right - title.left, 60);
  SendMessage(list_, LVM_SETCOLUMNWIDTH, 2, MAKELPARAM(static_cast<WORD>(LVSCW_AUTOSIZE), 0));
  const int fitted = static_cast<int>(SendMessage(list_, LVM_GETCOLUMNWIDTH, 2, 0));
  EXPECT_GT(fitted, static_cast<int>(SendMessage(list_, LVM_GETSTRINGWIDTH, 0, reinterpret_cast<LPARAM>("10"))));
  EXPECT_LT(fitted, 80);
}

TEST_F(ListViewTest, AListFlowsDownColumnsAndArrowsCrossThem)
{
  parent_ = Parent();
  list_ = CreateWindowEx(0, WC_LISTVIEW, "", WS_CHILD | WS_VISIBLE | LVS_LIST, 0, 0, 300, 60, parent_, nullptr,
                         nullptr, nullptr);
  for (int i = 0; i < 10; ++i) {
    AddItem(list_, i, kLuminaires[i % 5], i);
  }
  // Items go down the first column until it is full; the next one stands at the top of the second.
  RECT first = ItemRect(list_, 0, LVIR_BOUNDS);
  int perColumn = 1;
  while (perColumn < 10 && ItemRect(list_, perColumn, LVIR_BOUNDS).top != first.top) {
    ++perColumn;
  }
  ASSERT_GT(perColumn, 1);
  ASSERT_LT(perColumn, 5);
  RECT next = ItemRect(list_, perColumn, LVIR_BOUNDS);
  EXPECT_EQ(next.left, first.right);
  EXPECT_EQ(ItemRect(list_, perColumn - 1, LVIR_BOUNDS).left, first.left);
  ClickWith(0, list_, 0);
  KeyWith(0, VK_RIGHT);
  Pump();
  EXPECT_EQ(Selection(list_), std::to_string(perColumn) + " focus " + std::to_string(perColumn));
  KeyWith(0, VK_END);
  KeyWith(0, VK_LEFT);
  Pump();
  EXPECT_EQ(Selection(list_), std::to_string(9 - perColumn) + " focus " + std::to_string(9 - perColumn));
}

}  // namespace

namespace {

TEST(ListViewPicture, AReportWithGridCheckBoxesAndASelectedRowBesideATrackbar)
{
  platform::VirtualClock clock(FreshClockStart());
  platform::ScopedClock inForce(clock);
  g_notes.clear();
  g_refuseChanging = 0;
  HWND parent = Parent(440, 290);
  HWND list = CreateWindowEx(0, WC_LISTVIEW, "", WS_CHILD | WS_VISIBLE | WS_BORDER | LVS_REPORT | LVS_SHOWSELALWAYS,
                             10, 10, 420, 180, parent, nullptr, nullptr, nullptr);
  SendMessage(list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT | LVS_EX_CHECKBOXES);
  AddColumn(list, 0, "Светильник", 150);
  AddColumn(list, 1, "Мощность, Вт", 110, LVCFMT_RIGHT);
  AddColumn(list, 2, "Высота, м", 90, LVCFMT_RIGHT);
  const char* const power[] = {"250", "125", "400", "150", "70"};
  const char* const height[] = {"10,0", "8,0", "12,5", "9,0", "6,0"};
  for (int i = 0; i < 5; ++i) {
    AddItem(list, i, kLuminaires[i], i);
    SetSubText(list, i, 1, power[i]);
    SetSubText(list, i, 2, height[i]);
  }
  LVITEM check;
  check.state = INDEXTOSTATEIMAGEMASK(2);
  check.stateMask = LVIS_STATEIMAGEMASK;
  SendMessage(list, LVM_SETITEMSTATE, 0, reinterpret_cast<LPARAM>(&check));
  SendMessage(list, LVM_SETITEMSTATE, 2, reinterpret_cast<LPARAM>(&check));
  HWND header = reinterpret_cast<HWND>(SendMessage(list, LVM_GETHEADER, 0, 0));
  HDITEM sorted;
  sorted.mask = HDI_FORMAT;
  sorted.fmt = HDF_STRING | HDF_RIGHT | HDF_SORTDOWN;
  SendMessage(header, HDM_SETITEM, 1, reinterpret_cast<LPARAM>(&sorted));

  HWND bar = CreateWindowEx(0, TRACKBAR_CLASS, "", WS_CHILD | WS_VISIBLE | TBS_AUTOTICKS, 10, 210, 300, 32, parent,
                            nullptr, nullptr, nullptr);
  SendMessage(bar, TBM_SETRANGE, TRUE, MAKELPARAM(0, 20));
  SendMessage(bar, TBM_SETTICFREQ, 2, 0);
  SendMessage(bar, TBM_SETPOS, TRUE, 12);
  HWND both = CreateWindowEx(0, TRACKBAR_CLASS, "", WS_CHILD | WS_VISIBLE | TBS_BOTH | TBS_AUTOTICKS |
                                                        TBS_ENABLESELRANGE,
                             10, 248, 300, 36, parent, nullptr, nullptr, nullptr);
  SendMessage(both, TBM_SETSEL, TRUE, MAKELPARAM(20, 60));
  SendMessage(both, TBM_SETTICFREQ, 10, 0);
  SendMessage(both, TBM_SETPOS, TRUE, 40);

  POINT origin{0, 0};
  ClientToScreen(list, &origin);
  RECT row3 = ItemRect(list, 3, LVIR_BOUNDS);
  RECT row4 = ItemRect(list, 4, LVIR_BOUNDS);
  user::InjectClick(POINT{origin.x + 200, origin.y + (row3.top + row3.bottom) / 2});
  Pump();
  UpdateWindow(parent);
  const gdi::Surface* s = user::WindowSurface(parent);
  ASSERT_NE(s, nullptr);
  EXPECT_TRUE(gdi::SavePng(*s, std::string(TESMIRA_ARTIFACTS_DIR) + "/user_listview_trackbar.png"));

  // The chosen row is highlighted across its cells, the others show the window colour.
  auto at = [&](int x, int y) { return s->Pixel(origin.x + x, origin.y + y) & 0x00FFFFFFu; };
  const COLORREF highlight = GetSysColor(COLOR_HIGHLIGHT);
  const std::uint32_t highlightPixel = (GetRValue(highlight) << 16) | (GetGValue(highlight) << 8) | GetBValue(highlight);
  EXPECT_EQ(at(280, row3.top + 3), highlightPixel);
  EXPECT_NE(at(280, row4.top + 3), highlightPixel);
  DestroyWindow(parent);
}

}  // namespace
