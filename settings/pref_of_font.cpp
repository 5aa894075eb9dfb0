#include "settings/pref_of_font.h"

#include "model/ivisualopt.h"
#include "model/pref_of_color.h"
#include "platform/mfc/commdlg.h"
#include "platform/user/commdlg.h"
#include "report/view/report_help.h"
#include "res/program_ids.h"
#include "settings/preferences.h"

#include <algorithm>

namespace Options {

namespace {

constexpr UINT kGroup = 1022;
constexpr UINT kList = 1017;
constexpr UINT kChange = 1015;
constexpr UINT kReset = 1016;
constexpr UINT kHelpKeyword = 628;  // "Шрифт"

// The page the font chooser's help goes to; the hook has no other way to it.
HWND g_fontPage = nullptr;

// Only the size is offered: no script, and the face and style shown but fixed.
UINT_PTR FontChooserHook(HWND chooser, UINT message, WPARAM wParam, LPARAM)
{
  if (message == WM_INITDIALOG) {
    for (int id : {cmb5, stc7})
      ::ShowWindow(::GetDlgItem(chooser, id), SW_HIDE);
    for (int id : {cmb1, cmb2})
      ::EnableWindow(::GetDlgItem(chooser, id), FALSE);
    return FALSE;
  }
  if ((message == WM_COMMAND && LOWORD(wParam) == pshHelp) || message == WM_HELP) {
    ::PostMessage(g_fontPage, UM_PAGEHELP, 0, 0);
    return TRUE;
  }
  return FALSE;
}
constexpr int kLabelsElement = 6;
constexpr COLORREF kSampleBackground = RGB(104, 178, 234);
constexpr char kSample[] = "AaBbCcXxYy      АаБбВвФф";

const struct {
  const char* text;
  int element;
} kFonts[] = {{"Надписи", 0}, {"Значения изолиний", 1}, {"Узлы", 2}, {"Опоры", 4}};

}  // namespace

BEGIN_MESSAGE_MAP(CPrefOfFont, CPrefPage)
  ON_WM_PAINT()
  ON_WM_DESTROY()
  ON_BN_CLICKED(kChange, &CPrefOfFont::OnChange)
  ON_BN_CLICKED(kReset, &CPrefOfFont::OnReset)
  ON_MESSAGE(UM_PAGEHELP, &CPrefOfFont::OnPageHelp)
  ON_LBN_DBLCLK(kList, &CPrefOfFont::OnChange)
  ON_LBN_SELCHANGE(kList, &CPrefOfFont::OnSelChange)
END_MESSAGE_MAP()

CPrefOfFont::CPrefOfFont(CWnd* pParent, IQorRoadDoc* document, IVisualOpt* options)
    : CPrefPage(res::program::IDD_PREF_FONT, pParent, document, options)
{
}

int CPrefOfFont::FontElement(int position)
{
  return position >= 0 && position < static_cast<int>(std::size(kFonts)) ? kFonts[position].element : -1;
}

BOOL CPrefOfFont::OnInitDialog()
{
  CPrefPage::OnInitDialog();
  m_list.SubclassDlgItem(kList, this);
  for (const auto& f : kFonts)
    if (f.element < m_options->GetFontCount())
      m_list.AddString(f.text);
  m_list.SetCurSel(0);
  m_bInitialised = TRUE;
  return TRUE;
}

void CPrefOfFont::OnDestroy()
{
  if (m_list.GetSafeHwnd())
    m_list.UnsubclassWindow();
  CPrefPage::OnDestroy();
}

void CPrefOfFont::OnSelChange() { Invalidate(TRUE); }

void CPrefOfFont::OnChange()
{
  const int element = FontElement(m_list.GetCurSel());
  if (element >= 0) {
    LOGFONTA font{};
    m_options->GetFont(element, &font);
    CFontDialog chooser(&font, CF_SCREENFONTS | CF_SHOWHELP | CF_ENABLEHOOK, nullptr, this);
    chooser.m_cf.lpfnHook = &FontChooserHook;
    g_fontPage = m_hWnd;
    if (chooser.DoModal() == IDOK) {
      // Only the size is the user's: the face and the style stay as they were.
      LOGFONTA chosen{};
      chooser.GetCurrentFont(&chosen);
      font.lfHeight = chosen.lfHeight;
      font.lfWidth = chosen.lfWidth;
      m_options->SetFont(element, &font);
      m_bFontsChanged = TRUE;
      if (m_bInitialised)
        m_bColorsChanged = TRUE;
    }
  }
  Invalidate(TRUE);
}

void CPrefOfFont::OnReset()
{
  for (const auto& f : kFonts) {
    LOGFONTA font{};
    m_options->GetDefaultFont(f.element, &font);
    m_options->SetFont(f.element, &font);
  }
  m_bFontsChanged = TRUE;
  if (m_bInitialised)
    m_bColorsChanged = TRUE;
  Invalidate(TRUE);
}

void CPrefOfFont::OnPaint()
{
  CPaintDC dc(this);
  CRect client;
  GetClientRect(&client);
  CRect group;
  if (CWnd* box = GetDlgItem(kGroup)) {
    box->GetWindowRect(&group);
    ScreenToClient(&group);
  }
  const CRect area(client.left + 12, group.bottom + 12, client.right - 12, client.bottom - 82);
  if (area.IsEmpty())
    return;
  dc.FillSolidRect(area, kSampleBackground);
  const int element = FontElement(m_list.GetCurSel());
  if (element < 0)
    return;
  LOGFONTA logfont{};
  m_options->GetFont(element, &logfont);
  CFont font;
  font.CreateFontIndirect(&logfont);
  _PREF_OF_COLOR labels{};
  m_options->GetColour(kLabelsElement, &labels);
  CRgn clip;
  clip.CreateRectRgnIndirect(&area);
  dc.SelectClipRgn(&clip);
  CFont* old = dc.SelectObject(&font);
  TEXTMETRICA metrics{};
  dc.GetTextMetrics(&metrics);
  const auto channel = [](float v) { return static_cast<BYTE>(std::clamp(v, 0.0f, 1.0f) * 255); };
  dc.SetTextColor(RGB(channel(labels.r), channel(labels.g), channel(labels.b)));
  dc.SetBkColor(kSampleBackground);
  dc.SetTextAlign(TA_CENTER);
  const int x = (area.left + area.right) / 2;
  const int y = (area.top + area.bottom) / 2 - metrics.tmHeight / 2;
  dc.TextOut(x, y, kSample, static_cast<int>(sizeof kSample - 1));
  dc.SelectObject(old);
  dc.SelectClipRgn(nullptr);
}

LRESULT CPrefOfFont::OnPageHelp(WPARAM, LPARAM)
{
  ShowProgramHelp(this, kHelpKeyword);
  return 0;
}

}  // namespace Options
