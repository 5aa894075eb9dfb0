#include "settings/pref_of_color.h"

#include "model/ivisualopt.h"
#include "platform/mfc/commdlg.h"
#include "platform/user/commdlg.h"
#include "report/view/report_help.h"
#include "res/program_ids.h"
#include "settings/preferences.h"

#include <algorithm>
#include <cstring>

namespace Options {

namespace {

constexpr UINT kList = 1017;
constexpr UINT kChange = 1015;
constexpr UINT kReset = 1016;
constexpr UINT kHelpKeyword = 627;  // "Цвет"

// The page the colour chooser's help goes to; the hook has no other way to it.
HWND g_colourPage = nullptr;

UINT_PTR ColourChooserHook(HWND, UINT message, WPARAM wParam, LPARAM)
{
  if ((message == WM_COMMAND && LOWORD(wParam) == pshHelp) || message == WM_HELP) {
    ::PostMessage(g_colourPage, UM_PAGEHELP, 0, 0);
    return TRUE;
  }
  return FALSE;
}
constexpr int kItemHeight = 25;

const struct {
  int element;
  const char* name;
} kElements[] = {
    {0, "Фон"},
    {20, "Выделенный объект"},
    {1, "Проезжая часть (активная)"},
    {2, "Проезжая часть (не активная)"},
    {3, "Разметка дороги"},
    {13, "Парапет"},
    {11, "Тротуар (активный)"},
    {12, "Тротуар (не активный)"},
    {14, "Зазор"},
    {15, "Стена здания (активная)"},
    {16, "Стена здания (не активная)"},
    {17, "Крыша здания"},
    {18, "Объект затенения"},
    {4, "Группа ОП (активная)"},
    {22, "Группа ОП в плане (активная)"},
    {5, "Группа ОП (не активная)"},
    {10, "Маркер активной группы"},
    {19, "Рассеиватель ОП"},
    {6, "Надписи"},
    {7, "Изолинии"},
    {8, "Узлы"},
    {9, "Значения в узлах"},
    {21, "Сетка"},
};

// A component outside 0..1 (a profile written by hand) is held at the end of the range, never wrapped.
BYTE Channel(float value) { return static_cast<BYTE>(std::clamp(value, 0.0f, 1.0f) * 255); }

}  // namespace

BEGIN_MESSAGE_MAP(CPrefOfColor, CPrefPage)
  ON_MESSAGE(WM_DRAWITEM, &CPrefOfColor::OnDrawItem)
  ON_MESSAGE(WM_MEASUREITEM, &CPrefOfColor::OnMeasureItem)
  ON_BN_CLICKED(kChange, &CPrefOfColor::OnChange)
  ON_BN_CLICKED(kReset, &CPrefOfColor::OnReset)
  ON_MESSAGE(UM_PAGEHELP, &CPrefOfColor::OnPageHelp)
  ON_LBN_DBLCLK(kList, &CPrefOfColor::OnChange)
  ON_WM_DESTROY()
END_MESSAGE_MAP()

CPrefOfColor::CPrefOfColor(CWnd* pParent, IQorRoadDoc* document, IVisualOpt* options)
    : CPrefPage(res::program::IDD_PREF_COLOUR, pParent, document, options)
{
}

BOOL CPrefOfColor::OnInitDialog()
{
  CPrefPage::OnInitDialog();
  m_list.SubclassDlgItem(kList, this);
  m_list.SetItemHeight(0, kItemHeight);
  for (const auto& e : kElements) {
    _PREF_OF_COLOR colour{};
    m_options->GetColour(e.element, &colour);
    _PREF_COLOR_OF_ELEMENT record{};
    record.position = static_cast<int>(m_list.m_elements.size());
    record.element = e.element;
    std::strncpy(record.name, e.name, sizeof record.name - 1);
    record.red = colour.r;
    record.green = colour.g;
    record.blue = colour.b;
    m_list.m_elements.push_back(record);
    const int index = m_list.AddString(e.name);
    m_list.SetItemData(index, static_cast<DWORD_PTR>(record.position));
  }
  m_list.SetCurSel(0);
  m_bInitialised = TRUE;
  return TRUE;
}

void CPrefOfColor::OnDestroy()
{
  if (m_list.GetSafeHwnd())
    m_list.UnsubclassWindow();
  CPrefPage::OnDestroy();
}

LRESULT CPrefOfColor::OnMeasureItem(WPARAM, LPARAM lParam)
{
  reinterpret_cast<MEASUREITEMSTRUCT*>(lParam)->itemHeight = kItemHeight;
  return TRUE;
}

LRESULT CPrefOfColor::OnDrawItem(WPARAM, LPARAM lParam)
{
  const auto* draw = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
  if (draw->CtlID != kList || draw->itemID == static_cast<UINT>(-1))
    return TRUE;
  const std::size_t index = draw->itemData;
  if (index >= m_list.m_elements.size())
    return TRUE;
  const _PREF_COLOR_OF_ELEMENT& e = m_list.m_elements[index];
  CDC* dc = CDC::FromHandle(draw->hDC);
  const CRect rc(draw->rcItem);
  const bool selected = (draw->itemState & ODS_SELECTED) != 0;
  dc->FillSolidRect(rc, ::GetSysColor(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
  dc->SetTextColor(selected ? RGB(255, 255, 255) : RGB(0, 0, 0));
  dc->SetBkMode(TRANSPARENT);
  dc->TextOut(rc.left + 20, rc.top + 1, e.name, static_cast<int>(std::strlen(e.name)));
  const CRect sample(rc.left + 2, rc.top + 2, rc.left + 15, rc.bottom - 2);
  dc->FillSolidRect(sample, RGB(0, 0, 0));
  dc->FillSolidRect(CRect(sample.Inflate(-1, -1)), RGB(Channel(e.red), Channel(e.green), Channel(e.blue)));
  return TRUE;
}

void CPrefOfColor::OnChange()
{
  COLORREF* custom = nullptr;
  if (CWnd* parent = GetParent())
    parent->SendMessage(UM_GETCUSTOMCOLOURS, 0, reinterpret_cast<LPARAM>(&custom));
  const int selected = m_list.GetCurSel();
  if (selected < 0 || static_cast<std::size_t>(selected) >= m_list.m_elements.size())
    return;
  _PREF_COLOR_OF_ELEMENT& e = m_list.m_elements[static_cast<std::size_t>(selected)];
  CColorDialog chooser(RGB(Channel(e.red), Channel(e.green), Channel(e.blue)),
                       CC_RGBINIT | CC_SHOWHELP | CC_ENABLEHOOK, this);
  chooser.m_cc.lpfnHook = &ColourChooserHook;
  g_colourPage = m_hWnd;
  if (custom)
    chooser.m_cc.lpCustColors = custom;
  if (chooser.DoModal() != IDOK)
    return;
  const COLORREF chosen = chooser.GetColor();
  e.red = GetRValue(chosen) / 255.0f;
  e.green = GetGValue(chosen) / 255.0f;
  e.blue = GetBValue(chosen) / 255.0f;
  const _PREF_OF_COLOR colour{e.red, e.green, e.blue};
  m_options->SetColour(e.element, &colour);
  m_list.Invalidate(TRUE);
  if (m_bInitialised)
    m_bColorsChanged = TRUE;
}

void CPrefOfColor::OnReset()
{
  for (_PREF_COLOR_OF_ELEMENT& e : m_list.m_elements) {
    _PREF_OF_COLOR colour{};
    m_options->GetDefaultColour(e.element, &colour);
    m_options->SetColour(e.element, &colour);
    e.red = colour.r;
    e.green = colour.g;
    e.blue = colour.b;
  }
  m_list.Invalidate(TRUE);
  if (m_bInitialised)
    m_bColorsChanged = TRUE;
}

LRESULT CPrefOfColor::OnPageHelp(WPARAM, LPARAM)
{
  ShowProgramHelp(this, kHelpKeyword);
  return 0;
}

}  // namespace Options
