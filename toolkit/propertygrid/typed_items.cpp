#include "toolkit/propertygrid/typed_items.h"

#include "toolkit/paint/draw_helpers.h"
#include "toolkit/propertygrid/view.h"

#include "platform/com/bstr.h"
#include "platform/com/variant.h"
#include "platform/mfc/commdlg.h"
#include "platform/user/common_controls.h"

#include <cctype>
#include <climits>
#include <cstdio>
#include <cstdlib>

IMPLEMENT_DYNAMIC(CTKPropertyGridItemNumber, CTKPropertyGridItem)
IMPLEMENT_DYNAMIC(CTKPropertyGridItemDouble, CTKPropertyGridItem)
IMPLEMENT_DYNAMIC(CTKPropertyGridItemDate, CTKPropertyGridItem)
IMPLEMENT_DYNAMIC(CTKPropertyGridItemColor, CTKPropertyGridItem)

namespace {

// The C runtime's reading of a whole number, kept inside 32 bits.
int ToInt(const CString& text)
{
  const long long value = std::strtoll(static_cast<LPCSTR>(text), nullptr, 10);
  return static_cast<int>(std::min<long long>(std::max<long long>(value, INT_MIN), INT_MAX));
}

// The framework's text of a date that is not valid.
constexpr UINT kInvalidDateString = 55296;

}  // namespace

// --- Number ---------------------------------------------------------------------------------------------------

CTKPropertyGridItemNumber::CTKPropertyGridItemNumber(LPCSTR lpszCaption, int nValue, int* pBindNumber)
    : CTKPropertyGridItem(lpszCaption)
{
  m_pBindNumber = pBindNumber;
  SetNumber(nValue);
  m_strDefaultValue = m_strValue;
}

void CTKPropertyGridItemNumber::SetNumber(int nValue)
{
  m_nValue = nValue;
  if (m_pBindNumber)
    *m_pBindNumber = nValue;
  CString text;
  text.Format("%i", nValue);
  CTKPropertyGridItem::SetValue(text);
}

void CTKPropertyGridItemNumber::BindToNumber(int* pBindNumber)
{
  m_pBindNumber = pBindNumber;
  if (m_pBindNumber)
    *m_pBindNumber = m_nValue;
}

void CTKPropertyGridItemNumber::SetValue(CString strValue)
{
  SetNumber(ToInt(strValue));
}

void CTKPropertyGridItemNumber::OnBeforeInsert()
{
  if (m_pBindNumber && *m_pBindNumber != m_nValue)
    SetNumber(*m_pBindNumber);
}

// --- Double ---------------------------------------------------------------------------------------------------

CTKPropertyGridItemDouble::CTKPropertyGridItemDouble(LPCSTR lpszCaption, double fValue, LPCSTR lpszFormat,
                                                     double* pBindDouble)
    : CTKPropertyGridItem(lpszCaption)
{
  m_strFormat = lpszFormat ? lpszFormat : "";
  m_bUseSystemDecimalSymbol = m_strFormat.IsEmpty();
  m_pBindDouble = pBindDouble;
  SetDouble(fValue);
  m_strDefaultValue = m_strValue;
}

CString CTKPropertyGridItemDouble::DoubleToString(double fValue) const
{
  if (m_bUseSystemDecimalSymbol) {
    VARIANT number;
    VariantInit(&number);
    number.vt = VT_R8;
    number.dblVal = fValue;
    VARIANT text;
    VariantInit(&text);
    if (SUCCEEDED(VariantChangeType(&text, &number, 0, VT_BSTR))) {
      const CString result(text.bstrVal);
      VariantClear(&text);
      return result;
    }
  }
  CString result;
  result.Format(m_strFormat.IsEmpty() ? "%0.2f" : static_cast<LPCSTR>(m_strFormat), fValue);
  return result;
}

double CTKPropertyGridItemDouble::StringToDouble(const CString& strValue) const
{
  if (m_bUseSystemDecimalSymbol) {
    VARIANT text;
    VariantInit(&text);
    text.vt = VT_BSTR;
    text.bstrVal = _bstr_t(static_cast<LPCSTR>(strValue)).copy();
    VARIANT number;
    VariantInit(&number);
    const HRESULT hr = VariantChangeType(&number, &text, 0, VT_R8);
    VariantClear(&text);
    if (SUCCEEDED(hr))
      return number.dblVal;
  }
  return std::atof(static_cast<LPCSTR>(strValue));
}

void CTKPropertyGridItemDouble::SetDouble(double fValue)
{
  m_fValue = fValue;
  if (m_pBindDouble)
    *m_pBindDouble = fValue;
  CTKPropertyGridItem::SetValue(DoubleToString(fValue));
}

void CTKPropertyGridItemDouble::BindToDouble(double* pBindDouble)
{
  m_pBindDouble = pBindDouble;
  if (m_pBindDouble)
    *m_pBindDouble = m_fValue;
}

void CTKPropertyGridItemDouble::SetValue(CString strValue)
{
  SetDouble(StringToDouble(strValue));
}

void CTKPropertyGridItemDouble::OnBeforeInsert()
{
  if (m_pBindDouble && *m_pBindDouble != m_fValue)
    SetDouble(*m_pBindDouble);
}

// --- Date -----------------------------------------------------------------------------------------------------

CTKPropertyGridItemDate::CTKPropertyGridItemDate(LPCSTR lpszCaption, const COleDateTime& oleDate)
    : CTKPropertyGridItem(lpszCaption)
{
  m_nFlags = tkpgItemHasEdit | tkpgItemHasComboButton;
  m_strFormat = "%d/%m/%Y";
  m_strValue = "00/00/0000";
  SetMask("00/00/0000", "__/__/____", '_');
  SetDate(oleDate);
  m_strDefaultValue = m_strValue;
}

void CTKPropertyGridItemDate::SetDate(const COleDateTime& oleDate)
{
  m_oleDate = oleDate;
  if (oleDate.GetStatus() != COleDateTime::valid && !m_strNullValue.IsEmpty()) {
    m_bUseMask = false;
    CTKPropertyGridItem::SetValue(m_strNullValue);
    return;
  }
  m_bUseMask = true;
  CString text;
  if (oleDate.GetStatus() == COleDateTime::valid) {
    text = oleDate.Format(static_cast<LPCSTR>(m_strFormat));
  } else if (oleDate.GetStatus() == COleDateTime::invalid) {
    if (!text.LoadString(kInvalidDateString))
      text = "Invalid DateTime";
  }
  CTKPropertyGridItem::SetValue(text);
}

BOOL CTKPropertyGridItemDate::GetDate(SYSTEMTIME& sysTime) const
{
  if (m_oleDate.GetStatus() != COleDateTime::valid)
    return FALSE;
  sysTime = SYSTEMTIME{};
  sysTime.wYear = static_cast<WORD>(m_oleDate.GetYear());
  sysTime.wMonth = static_cast<WORD>(m_oleDate.GetMonth());
  sysTime.wDay = static_cast<WORD>(m_oleDate.GetDay());
  sysTime.wDayOfWeek = static_cast<WORD>(m_oleDate.GetDayOfWeek() - 1);
  return TRUE;
}

int CTKPropertyGridItemDate::GetDay() const
{
  return m_oleDate.GetStatus() == COleDateTime::valid ? m_oleDate.GetDay() : -1;
}
int CTKPropertyGridItemDate::GetMonth() const
{
  return m_oleDate.GetStatus() == COleDateTime::valid ? m_oleDate.GetMonth() : -1;
}
int CTKPropertyGridItemDate::GetYear() const
{
  return m_oleDate.GetStatus() == COleDateTime::valid ? m_oleDate.GetYear() : -1;
}

void CTKPropertyGridItemDate::SetDay(int nDay)
{
  SetDate(COleDateTime(m_oleDate.GetYear(), m_oleDate.GetMonth(), nDay, 0, 0, 0));
}
void CTKPropertyGridItemDate::SetMonth(int nMonth)
{
  SetDate(COleDateTime(m_oleDate.GetYear(), nMonth, m_oleDate.GetDay(), 0, 0, 0));
}
void CTKPropertyGridItemDate::SetYear(int nYear)
{
  SetDate(COleDateTime(nYear, m_oleDate.GetMonth(), m_oleDate.GetDay(), 0, 0, 0));
}

BOOL CTKPropertyGridItemDate::ParseDate(COleDateTime& dt, const CString& strValue)
{
  // The format's first three specifiers say where day, month and year stand; each is read as a number.
  CString format = m_strFormat;
  format.MakeLower();
  int order[3] = {0, 0, 0};
  int found = 0;
  for (int i = 0; i < format.GetLength() && found < 3; ++i) {
    if (format[i] != '%')
      continue;
    if (i + 1 >= format.GetLength())
      return FALSE;
    const char letter = format[i + 1];
    if (letter != 'd' && letter != 'm' && letter != 'y')
      return FALSE;
    order[found++] = letter;
    format.SetAt(i + 1, 'd');
    ++i;
    // Whatever follows the third field is never read: a fourth conversion would have nowhere to go.
    if (found == 3)
      format = format.Left(i + 1);
  }
  if (found < 3)
    return FALSE;
  int values[3] = {0, 0, 0};
  // The changed format holds exactly three "%d" and otherwise only the text between them.
  if (std::sscanf(static_cast<LPCSTR>(strValue), static_cast<LPCSTR>(format), &values[0], &values[1],
                  &values[2]) != 3)
    return FALSE;
  int day = 0, month = 0, year = 0;
  for (int k = 0; k < 3; ++k) {
    if (order[k] == 'd')
      day = values[k];
    else if (order[k] == 'm')
      month = values[k];
    else
      year = values[k];
  }
  SYSTEMTIME time{};
  time.wYear = static_cast<WORD>(std::clamp(year, 0, 0xFFFF));
  time.wMonth = static_cast<WORD>(std::clamp(month, 0, 0xFFFF));
  time.wDay = static_cast<WORD>(std::clamp(day, 0, 0xFFFF));
  DATE date = 0;
  if (!SystemTimeToVariantTime(&time, &date)) {
    dt.SetStatus(COleDateTime::invalid);
    return FALSE;
  }
  dt = COleDateTime(date);
  return TRUE;
}

void CTKPropertyGridItemDate::SetDateFormat(LPCSTR lpszFormat)
{
  m_strFormat = lpszFormat ? lpszFormat : "";
  SetDate(m_oleDate);
}

void CTKPropertyGridItemDate::SetValue(CString strValue)
{
  COleDateTime date;
  if (ParseDate(date, strValue)) {
    SetDate(date);
    return;
  }
  COleDateTime parsed;
  if (parsed.ParseDateTime(strValue, VAR_DATEVALUEONLY, 0x0019)) {
    SetDate(parsed);
    return;
  }
  if (!m_strNullValue.IsEmpty()) {
    COleDateTime null;
    null.SetStatus(COleDateTime::null);
    SetDate(null);
  }
}

void CTKPropertyGridItemDate::OnInplaceButtonDown()
{
  // No code 5: the date always opens its own calendar once the owner grants the edit.
  if (m_bReadOnly || !m_pGrid)
    return;
  InternalAddRef();
  if (OnRequestEdit() && m_pGrid)
    CTKPropertyGridInplaceMonthCal::Open(this);
  InternalRelease();
}

IMPLEMENT_DYNAMIC(CTKPropertyGridInplaceMonthCal, CWnd)

CTKPropertyGridInplaceMonthCal* CTKPropertyGridInplaceMonthCal::Open(CTKPropertyGridItemDate* pItem)
{
  CTKPropertyGridView* view = pItem->GetGridView();
  if (!view || !view->GetSafeHwnd())
    return nullptr;
  constexpr DWORD kDateClasses = 0x100;  // ICC_DATE_CLASSES
  INITCOMMONCONTROLSEX init{sizeof(INITCOMMONCONTROLSEX), kDateClasses};
  InitCommonControlsEx(&init);
  auto* calendar = new CTKPropertyGridInplaceMonthCal(pItem);
  const DWORD exStyle = WS_EX_TOPMOST | (view->GetExStyle() & WS_EX_LAYOUTRTL);
  if (!calendar->CreateEx(exStyle, MONTHCAL_CLASS, nullptr, WS_POPUP | WS_VISIBLE | WS_BORDER, 0, 0, 0, 0,
                          view->GetSafeHwnd(), nullptr)) {
    delete calendar;
    return nullptr;
  }
  SYSTEMTIME date{};
  if (pItem->GetDate(date))
    calendar->SendMessage(MCM_SETCURSEL, 0, reinterpret_cast<LPARAM>(&date));
  CRect size;
  if (calendar->SendMessage(MCM_GETMINREQRECT, 0, reinterpret_cast<LPARAM>(&size))) {
    CRect row;
    view->GetItemRect(pItem->GetIndex(), &row);
    CRect place(row.right - size.Width(), row.bottom, row.right, row.bottom + size.Height());
    view->ClientToScreen(&place);
    view->ClientToScreen(&row);
    const CRect work = CTKDrawHelpers::GetWorkArea(place);
    if (place.bottom > work.bottom && place.top > work.CenterPoint().y)
      place.OffsetRect(0, row.top - 1 - place.bottom);
    if (place.right > work.right)
      place.OffsetRect(work.right - place.right, 0);
    if (place.left < work.left)
      place.OffsetRect(work.left - place.left, 0);
    calendar->SetWindowPos(nullptr, place.left, place.top, place.Width(), place.Height(),
                           SWP_NOZORDER | SWP_NOACTIVATE);
  }
  calendar->SetFocus();
  return calendar;
}

void CTKPropertyGridInplaceMonthCal::Accept()
{
  CTKPropertyGridItemDate* item = m_pItem;
  if (!item)
    return;
  SYSTEMTIME chosen{};
  SendMessage(MCM_GETCURSEL, 0, reinterpret_cast<LPARAM>(&chosen));
  chosen.wHour = chosen.wMinute = chosen.wSecond = chosen.wMilliseconds = 0;
  DATE value = 0;
  COleDateTime date;
  if (SystemTimeToVariantTime(&chosen, &value))
    date = COleDateTime(value);
  else
    date.SetStatus(COleDateTime::invalid);
  m_pItem = nullptr;
  item->InternalAddRef();
  DestroyWindow();  // deletes this
  item->OnCalendarClosed(&date);
  item->InternalRelease();
}

void CTKPropertyGridInplaceMonthCal::Cancel()
{
  CTKPropertyGridItemDate* item = m_pItem;
  m_pItem = nullptr;
  if (item) {
    item->InternalAddRef();
    item->OnCalendarClosed(nullptr);
  }
  if (GetSafeHwnd())
    DestroyWindow();  // deletes this
  if (item)
    item->InternalRelease();
}

LRESULT CTKPropertyGridInplaceMonthCal::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
  switch (message) {
    case WM_KEYDOWN:
      if (wParam == VK_RETURN) {
        Accept();
        return 0;
      }
      if (wParam == VK_ESCAPE) {
        Cancel();
        return 0;
      }
      break;
    case WM_KILLFOCUS: {
      const HWND to = reinterpret_cast<HWND>(wParam);
      const LRESULT result = CWnd::WindowProc(message, wParam, lParam);
      if (m_pItem && (to == nullptr || !::IsChild(GetSafeHwnd(), to)))
        Cancel();
      return result;
    }
    default: break;
  }
  return CWnd::WindowProc(message, wParam, lParam);
}

void CTKPropertyGridItemDate::OnCalendarClosed(const COleDateTime* pChosen)
{
  InternalAddRef();
  if (!pChosen) {
    OnCancelEdit();
  } else {
    CString text = pChosen->GetStatus() == COleDateTime::valid ? pChosen->Format(static_cast<LPCSTR>(m_strFormat))
                                                                : CString();
    if (OnAfterEdit(text))
      OnValueChanged(text);
  }
  InternalRelease();
}

// --- Colour ---------------------------------------------------------------------------------------------------

CTKPropertyGridItemColor::CTKPropertyGridItemColor(LPCSTR lpszCaption, COLORREF clr, COLORREF* pBindColor)
    : CTKPropertyGridItem(lpszCaption)
{
  m_pBindColor = pBindColor;
  SetColor(clr);
  m_nFlags = tkpgItemHasEdit | tkpgItemHasExpandButton;
  m_strDefaultValue = m_strValue;
}

CString CTKPropertyGridItemColor::ColorToString(COLORREF clr)
{
  CString text;
  text.Format("%i; %i; %i", GetRValue(clr), GetGValue(clr), GetBValue(clr));
  return text;
}

COLORREF CTKPropertyGridItemColor::StringToColor(const CString& strValue)
{
  int fields[3] = {0, 0, 0};
  int start = 0;
  for (int k = 0; k < 3; ++k) {
    CString field;
    if (start <= strValue.GetLength()) {
      const int end = strValue.Find(';', start);
      field = end < 0 ? strValue.Mid(start) : strValue.Mid(start, end - start);
      start = end < 0 ? strValue.GetLength() + 1 : end + 1;
    }
    const int number = ToInt(field);
    // Out of a byte's range the field is clamped, never wrapped.
    fields[k] = number > 254 || number < 0 ? 255 : number;
  }
  return RGB(fields[0], fields[1], fields[2]);
}

void CTKPropertyGridItemColor::SetColor(COLORREF clr)
{
  m_clrValue = clr;
  if (m_pBindColor)
    *m_pBindColor = clr;
  CTKPropertyGridItem::SetValue(ColorToString(clr));
}

void CTKPropertyGridItemColor::BindToColor(COLORREF* pBindColor)
{
  m_pBindColor = pBindColor;
  if (m_pBindColor)
    *m_pBindColor = m_clrValue;
}

void CTKPropertyGridItemColor::SetValue(CString strValue)
{
  SetColor(StringToColor(strValue));
}

void CTKPropertyGridItemColor::OnBeforeInsert()
{
  if (m_pBindColor && *m_pBindColor != m_clrValue)
    SetColor(*m_pBindColor);
}

CRect CTKPropertyGridItemColor::GetValueRect()
{
  CRect rc = CTKPropertyGridItem::GetValueRect();
  rc.left += 25;
  return rc;
}

BOOL CTKPropertyGridItemColor::OnDrawItemValue(CDC& dc, CRect rcValue)
{
  const CRect swatch(rcValue.left - 2, rcValue.top + 1, rcValue.left + 18, rcValue.bottom - 1);
  {
    CTKPenDC pen(dc.GetSafeHdc(), dc.GetTextColor());
    CTKBrushDC brush(dc.GetSafeHdc(), m_clrValue);
    dc.Rectangle(swatch);
  }
  CRect text = rcValue;
  text.left += 25;
  dc.DrawText(GetViewValue(), text, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
  return TRUE;
}

void CTKPropertyGridItemColor::OnInplaceButtonDown()
{
  if (m_bReadOnly)
    return;
  InternalAddRef();
  if (OnRequestEdit()) {
    CColorDialog dialog(m_clrValue, 0, m_pGrid);
    if (dialog.DoModal() == IDOK) {
      CString text = ColorToString(dialog.GetColor());
      if (OnAfterEdit(text)) {
        OnValueChanged(text);
        if (m_pGrid && m_pGrid->GetSafeHwnd())
          m_pGrid->Invalidate(FALSE);
      }
    } else {
      OnCancelEdit();
    }
  }
  InternalRelease();
}
