#include "settings/pref_of_report.h"

#include "model/iarea.h"
#include "model/ivisualopt.h"
#include "model/report_preferences.h"
#include "platform/user/common_controls.h"
#include "res/program_ids.h"

#include <cstring>

namespace Options {

namespace {

constexpr UINT kTreeId = 1008;

// The default caption of a row, for a table read from a file that lacks it.
CString DefaultCaption(int id)
{
  static CPreferencesOfReport defaults;
  tag_ITEM_PREF_OF_REPORT row{};
  return defaults.GetItem(id, &row) ? CString(row.caption) : CString();
}

int Toggled(int state)
{
  switch (state) {
  case 2: return 0;
  case 3: return 4;
  case 4: return 3;
  case 0:
  case 1: return 2;
  default: return state;
  }
}

}  // namespace

BEGIN_MESSAGE_MAP(CPrefOfReport, CPrefPage)
  ON_NOTIFY(TVN_SELCHANGED, kTreeId, &CPrefOfReport::OnSelChanged)
  ON_NOTIFY(NM_CLICK, kTreeId, &CPrefOfReport::OnClick)
  ON_NOTIFY(TVN_KEYDOWN, kTreeId, &CPrefOfReport::OnKeyDownTree)
  ON_WM_DESTROY()
END_MESSAGE_MAP()

CPrefOfReport::CPrefOfReport(CWnd* pParent, IQorRoadDoc* document, IVisualOpt* options)
    : CPrefPage(res::program::IDD_PREF_REPORT, pParent, document, options)
{
}

CPrefOfReport::~CPrefOfReport() = default;

CPreferencesOfReport* CPrefOfReport::Table() const { return m_options->GetReportPreferences(); }

BOOL CPrefOfReport::OnInitDialog()
{
  CPrefPage::OnInitDialog();
  m_tree.SubclassDlgItem(kTreeId, this);
  m_images.Create(16, 16, ILC_COLOR8 | ILC_MASK, 5, 0);
  // One mark per state: off, partly on, on, option not chosen, option chosen.
  for (UINT icon : {res::program::IDI_REPORT_MARK_OFF, res::program::IDI_REPORT_MARK_PARTLY,
                    res::program::IDI_REPORT_MARK_ON, res::program::IDI_REPORT_OPTION_OFF,
                    res::program::IDI_REPORT_OPTION_ON})
    m_images.Add(::LoadIcon(AfxGetResourceHandle(), MAKEINTRESOURCE(icon)));
  m_tree.SetImageList(&m_images, TVSIL_NORMAL);
  FillTree();
  m_bInitialised = TRUE;
  return TRUE;
}

void CPrefOfReport::OnDestroy()
{
  if (m_options)
    Table()->m_tree = nullptr;
  if (m_tree.GetSafeHwnd())
    m_tree.UnsubclassWindow();
  CPrefPage::OnDestroy();
}

HTREEITEM CPrefOfReport::Insert(int id, HTREEITEM parent, const char* text)
{
  CPreferencesOfReport* table = Table();
  tag_ITEM_PREF_OF_REPORT row{};
  const CString fallback = DefaultCaption(id);
  std::strncpy(row.caption, fallback, sizeof row.caption - 1);
  table->GetItem(id, &row);
  const HTREEITEM item = m_tree.InsertItem(TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_PARAM,
                                           text ? text : row.caption, row.state, row.state, 0, 0,
                                           static_cast<LPARAM>(id), parent, TVI_LAST);
  row.treeItem = static_cast<std::int32_t>(reinterpret_cast<std::intptr_t>(item));
  table->SetItemState(id, &row, FALSE);
  m_items[id] = item;
  return item;
}

HTREEITEM CPrefOfReport::ItemOf(int id) const
{
  const auto found = m_items.find(id);
  return found == m_items.end() ? nullptr : found->second;
}

void CPrefOfReport::FillTree()
{
  IArea* area = ActiveArea();
  const AreaKind kind = KindOf(area);
  const bool straight = kind == AreaKind::StraightRoad;
  m_tree.DeleteAllItems();
  m_items.clear();
  Table()->m_tree = &m_tree;

  const HTREEITEM title = Insert(100, TVI_ROOT);
  Insert(101, TVI_ROOT);
  const HTREEITEM groups = Insert(102, TVI_ROOT);
  Insert(103, groups);
  Insert(104, groups);
  m_tree.Expand(groups, TVE_EXPAND);
  const HTREEITEM results = Insert(105, TVI_ROOT);
  Insert(106, results);
  const auto section = [&](int x, int falseColours, const char* text) {
    const HTREEITEM s = Insert(x, results, text);
    if (x == 205) {
      Insert(206, s);
      Insert(207, s);
    }
    if (x != 305 || straight || kind == AreaKind::OpenSite) {
      Insert(x + 3, s);
      const HTREEITEM fill = Insert(x + 4, s);
      Insert(x + 5, fill);
      m_tree.Expand(fill, TVE_EXPAND);
      Insert(falseColours, s);
      Insert(x + 6, s);
    }
    m_tree.Expand(s, TVE_EXPAND);
  };
  if (straight)
    section(205, 700, nullptr);
  section(305, 701, kind == AreaKind::Interchange ? "Распределение освещенности по группам" : nullptr);
  if (straight && HasSidewalks(area))
    section(405, 702, nullptr);
  if (straight && HasWalls(area))
    section(505, 703, nullptr);
  m_tree.Expand(results, TVE_EXPAND);
  Insert(600, TVI_ROOT);
  m_tree.SelectSetFirstVisible(title);
}

void CPrefOfReport::RefreshImages()
{
  for (const tag_ITEM_PREF_OF_REPORT& row : Table()->Items()) {
    const HTREEITEM item = ItemOf(row.id);
    if (item == nullptr)
      continue;
    TVITEM tv{};
    tv.mask = TVIF_HANDLE | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_STATE | TVIF_PARAM;
    tv.hItem = item;
    if (!m_tree.GetItem(&tv) || static_cast<int>(tv.lParam) != row.id)
      continue;
    tv.iImage = tv.iSelectedImage = row.state;
    m_tree.SetItem(&tv);
  }
}

void CPrefOfReport::OnItemClicked(HTREEITEM item)
{
  if (item == nullptr)
    return;
  TVITEM tv{};
  tv.mask = TVIF_HANDLE | TVIF_PARAM;
  tv.hItem = item;
  if (!m_tree.GetItem(&tv))
    return;
  const int id = static_cast<int>(tv.lParam);
  tag_ITEM_PREF_OF_REPORT row{};
  if (!Table()->GetItem(id, &row))
    return;
  row.state = Toggled(row.state);
  row.treeItem = static_cast<std::int32_t>(reinterpret_cast<std::intptr_t>(item));
  Table()->SetItemState(id, &row, TRUE);
  RefreshImages();
}

void CPrefOfReport::OnSelChanged(NMHDR* pNotify, LRESULT* pResult)
{
  const auto* tree = reinterpret_cast<const NMTREEVIEW*>(pNotify);
  if (tree->action == TVC_BYMOUSE)
    OnItemClicked(tree->itemNew.hItem);
  *pResult = 0;
}

void CPrefOfReport::OnClick(NMHDR*, LRESULT* pResult)
{
  *pResult = 0;
  CPoint point;
  ::GetCursorPos(&point);
  m_tree.ScreenToClient(&point);
  TVHITTESTINFO hit{};
  hit.pt = point;
  const auto item =
      reinterpret_cast<HTREEITEM>(m_tree.SendMessage(TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
  if (item != nullptr && item == m_tree.GetSelectedItem() && (hit.flags & (TVHT_ONITEMICON | TVHT_ONITEMLABEL)) != 0)
    OnItemClicked(item);
}

void CPrefOfReport::OnKeyDownTree(NMHDR* pNotify, LRESULT* pResult)
{
  const auto* key = reinterpret_cast<const NMTVKEYDOWN*>(pNotify);
  if (key->wVKey == VK_SPACE)
    OnItemClicked(m_tree.GetSelectedItem());
  *pResult = 0;
}

}  // namespace Options
