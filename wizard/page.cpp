#include "wizard/page.h"

#include "model/iarea.h"
#include "model/number_text.h"
#include "model/shell/shell_services.h"
#include "platform/user/common_controls.h"

namespace Wizard {

CString ProgramString(UINT stringId)
{
  CString text;
  text.LoadString(stringId);
  return text;
}

CString BoundsMessage(UINT stringId, double low, double high)
{
  CString text;
  text.Format(ProgramString(stringId), low, high);
  return text;
}

CString BoundsMessage(UINT stringId, long low, long high)
{
  CString text;
  text.Format(ProgramString(stringId), low, high);
  return text;
}

HBITMAP ShowRoadPicture(CWnd* page)
{
  constexpr UINT kRoadPicture = 302;
  HBITMAP picture = ::LoadBitmap(AfxGetResourceHandle(), MAKEINTRESOURCE(kRoadPicture));
  if (CWnd* frame = page->GetDlgItem(1025))
    frame->SendMessage(STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(picture));
  return picture;
}

void AppendValueLine(CString& text, const char* format, double value)
{
  text.AppendFormat(format, static_cast<LPCSTR>(FormatTwoDecimals(value)));
}

// The header static

BEGIN_MESSAGE_MAP(CTitleStatic, CStatic)
  ON_WM_CTLCOLOR_REFLECT()
END_MESSAGE_MAP()

CTitleStatic::~CTitleStatic()
{
  m_brush.DeleteObject();
  m_font.DeleteObject();
}

void CTitleStatic::SetColours(COLORREF text, COLORREF background)
{
  m_textColour = text;
  m_backColour = background;
  m_brush.DeleteObject();
  m_brush.CreateSolidBrush(background);
}

void CTitleStatic::MakeBold()
{
  auto* current = reinterpret_cast<HFONT>(SendMessage(WM_GETFONT));
  LOGFONTA logFont{};
  if (current == nullptr || ::GetObject(current, sizeof logFont, &logFont) == 0)
    ::GetObject(::GetStockObject(DEFAULT_GUI_FONT), sizeof logFont, &logFont);
  logFont.lfWeight = FW_BOLD;
  m_font.DeleteObject();
  m_font.CreateFontIndirect(&logFont);
  SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(m_font.m_hObject), TRUE);
}

HBRUSH CTitleStatic::CtlColor(CDC* pDC, UINT)
{
  pDC->SetTextColor(m_textColour);
  pDC->SetBkColor(m_backColour);
  return static_cast<HBRUSH>(m_brush.m_hObject);
}

// The page base

CWDialog::CWDialog(UINT templateId, const CString& title, _WIZARD_DATA* data)
    : m_title(title), m_templateId(static_cast<int>(templateId)), m_data(data)
{
}

IArea* CWDialog::Area() const { return m_data ? m_data->area : nullptr; }

void CWDialog::OnOK()
{
  if (CWnd* wizard = GetParent())
    wizard->PostMessage(WM_COMMAND, kNextCommand, 0);
}

void CWDialog::OnCancel()
{
  if (CWnd* wizard = GetParent())
    wizard->PostMessage(WM_COMMAND, IDCANCEL, 0);
}

void CWDialog::InitHeader()
{
  const COLORREF white = RGB(255, 255, 255);
  if (GetDlgItem(kHeaderTitle) && !m_titleStatic.m_hWnd) {
    m_titleStatic.SubclassDlgItem(kHeaderTitle, this);
    m_titleStatic.SetColours(RGB(0, 0, 0), white);
    m_titleStatic.MakeBold();
  }
  if (GetDlgItem(kHeaderHint) && !m_hintStatic.m_hWnd) {
    m_hintStatic.SubclassDlgItem(kHeaderHint, this);
    m_hintStatic.SetColours(RGB(0, 0, 0), white);
  }
}

void CWDialog::EnableControls(std::initializer_list<int> ids, BOOL enable)
{
  for (int id : ids) {
    if (CWnd* control = GetDlgItem(id))
      control->EnableWindow(enable);
  }
}

void CWDialog::FillList(int id, const std::vector<CString>& entries)
{
  CWnd* list = GetDlgItem(id);
  if (!list)
    return;
  list->SendMessage(CB_RESETCONTENT);
  for (const CString& entry : entries)
    list->SendMessage(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(static_cast<LPCSTR>(entry)));
}

int CWDialog::ListSelection(int id)
{
  CWnd* list = GetDlgItem(id);
  return list ? static_cast<int>(list->SendMessage(CB_GETCURSEL)) : -1;
}

void CWDialog::SelectListEntry(int id, int index)
{
  if (CWnd* list = GetDlgItem(id))
    list->SendMessage(CB_SETCURSEL, static_cast<WPARAM>(index));
}

void CWDialog::Refuse(CDataExchange* pDX, const CString& message)
{
  MessageBox(message, ProgramString(kMessageCaption), MB_ICONEXCLAMATION);
  pDX->Fail();
}

double CWDialog::SpinValue(double current, NMHDR* notify, LRESULT* result)
{
  *result = 0;
  return current - reinterpret_cast<NMUPDOWN*>(notify)->iDelta;
}

}  // namespace Wizard
