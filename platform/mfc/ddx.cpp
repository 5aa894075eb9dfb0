#include "platform/mfc/ddx.h"

#include "platform/base/cformat.h"
#include "platform/mfc-core/exceptions.h"
#include "platform/mfc/msgbox.h"
#include "platform/user/controls.h"
#include "platform/user/dialog.h"

#include <cfloat>
#include <climits>
#include <limits>
#include <cmath>
#include <optional>
#include <string>
#include <string_view>

namespace {

// Digits for a value to come back as it was written: DBL_DIG and FLT_DIG.
constexpr int kDoubleDigits = 15;
constexpr int kFloatDigits = 6;

CString FrameworkString(UINT id, const char* fallback)
{
  CString text;
  if (!text.LoadString(id) || text.IsEmpty()) {
    text = fallback;
  }
  return text;
}

const char* FallbackText(UINT id)
{
  switch (id) {
    case AFX_IDP_PARSE_INT: return "Введите целое число.";
    case AFX_IDP_PARSE_UINT: return "Введите целое неотрицательное число.";
    case AFX_IDP_PARSE_REAL: return "Введите число.";
    case AFX_IDP_PARSE_INT_RANGE: return "Введите целое число от %1 до %2.";
    case AFX_IDP_PARSE_REAL_RANGE: return "Введите число от %1 до %2.";
    case AFX_IDP_PARSE_STRING_SIZE: return "Введите не более %1 символов.";
    default: return "";
  }
}

// Tells the user what is wrong with the value and fails the exchange.
[[noreturn]] void FailWithMessage(CDataExchange* pDX, UINT id, LPCSTR arg1 = nullptr, LPCSTR arg2 = nullptr)
{
  LPCSTR args[2] = {arg1, arg2};
  CString text;
  AfxFormatStrings(text, FrameworkString(id, FallbackText(id)), args, 2);
  AfxMessageBox(text, MB_ICONEXCLAMATION, id);
  pDX->Fail();
}

CString TextOf(HWND hWnd)
{
  int length = ::GetWindowTextLength(hWnd);
  std::string buffer(static_cast<std::size_t>(length) + 1, '\0');
  int got = ::GetWindowText(hWnd, buffer.data(), length + 1);
  buffer.resize(static_cast<std::size_t>(got > 0 ? got : 0));
  return CString(std::string_view(buffer));
}

// Sets the text only when it differs: an unchanged control neither flickers nor reports a change.
void SetTextIfChanged(HWND hWnd, LPCSTR text)
{
  if (TextOf(hWnd) != text) {
    ::SetWindowText(hWnd, text);
  }
}

std::string_view Trimmed(std::string_view text)
{
  const char* blanks = " \t\r\n";
  std::size_t first = text.find_first_not_of(blanks);
  if (first == std::string_view::npos) {
    return {};
  }
  return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

std::optional<long long> ParseInteger(const CString& text, long long minVal, long long maxVal)
{
  std::optional<long long> value = platform::ParseIntegerC(Trimmed(text.str()));
  if (!value || *value < minVal || *value > maxVal) {
    return std::nullopt;
  }
  return value;
}

std::optional<double> ParseReal(const CString& text)
{
  std::string_view number = Trimmed(text.str());
  // Plain decimal notation only: strtod's "inf", "nan" and hexadecimal forms are not numbers a user types.
  if (number.find_first_not_of("0123456789.eE+-") != std::string_view::npos) {
    return std::nullopt;
  }
  std::optional<double> value = platform::ParseDoubleC(number);
  if (!value || !std::isfinite(*value)) {
    return std::nullopt;
  }
  return value;
}

template <class TInteger>
void ExchangeInteger(CDataExchange* pDX, int nIDC, TInteger& value, const char* format, UINT parseError)
{
  HWND hWndCtrl = pDX->PrepareEditCtrl(nIDC);
  if (pDX->m_bSaveAndValidate) {
    std::optional<long long> parsed =
        ParseInteger(TextOf(hWndCtrl), static_cast<long long>(std::numeric_limits<TInteger>::min()),
                     static_cast<long long>(std::numeric_limits<TInteger>::max()));
    if (!parsed) {
      FailWithMessage(pDX, parseError);
    }
    value = static_cast<TInteger>(*parsed);
  } else {
    SetTextIfChanged(hWndCtrl, platform::FormatC(format, value).c_str());
  }
}

// The buttons of a radio group: from `first` to the next control with WS_GROUP.
template <class Visit>
void ForEachRadioButton(HWND first, Visit visit)
{
  int index = 0;
  for (HWND hWnd = first; hWnd != nullptr; hWnd = ::GetWindow(hWnd, GW_HWNDNEXT)) {
    if (hWnd != first && (::GetWindowLong(hWnd, GWL_STYLE) & WS_GROUP) != 0) {
      break;
    }
    if ((::SendMessage(hWnd, WM_GETDLGCODE, 0, 0) & DLGC_RADIOBUTTON) != 0) {
      visit(hWnd, index++);
    }
  }
}

void ExchangeListText(CDataExchange* pDX, int nIDC, CString& value, bool combo, bool exact)
{
  HWND hWndCtrl = pDX->PrepareCtrl(nIDC);
  if (combo) {
    if (pDX->m_bSaveAndValidate) {
      value = TextOf(hWndCtrl);  // the edit's text, or the selected item's for a drop-down list
      return;
    }
    LRESULT found = exact ? ::SendMessage(hWndCtrl, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                          reinterpret_cast<LPARAM>(value.GetString()))
                          : ::SendMessage(hWndCtrl, CB_FINDSTRING, static_cast<WPARAM>(-1),
                                          reinterpret_cast<LPARAM>(value.GetString()));
    if (found != CB_ERR) {
      ::SendMessage(hWndCtrl, CB_SETCURSEL, static_cast<WPARAM>(found), 0);
    } else {
      ::SendMessage(hWndCtrl, CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
      SetTextIfChanged(hWndCtrl, value);  // a drop-down list has no edit and keeps no text
    }
    return;
  }
  if (pDX->m_bSaveAndValidate) {
    auto selected = static_cast<int>(::SendMessage(hWndCtrl, LB_GETCURSEL, 0, 0));
    value.Empty();
    if (selected != LB_ERR) {
      auto length = static_cast<int>(::SendMessage(hWndCtrl, LB_GETTEXTLEN, static_cast<WPARAM>(selected), 0));
      std::string buffer(static_cast<std::size_t>(length > 0 ? length : 0) + 1, '\0');
      ::SendMessage(hWndCtrl, LB_GETTEXT, static_cast<WPARAM>(selected), reinterpret_cast<LPARAM>(buffer.data()));
      value = buffer.c_str();
    }
    return;
  }
  LRESULT found = exact ? ::SendMessage(hWndCtrl, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                        reinterpret_cast<LPARAM>(value.GetString()))
                        : ::SendMessage(hWndCtrl, LB_FINDSTRING, static_cast<WPARAM>(-1),
                                        reinterpret_cast<LPARAM>(value.GetString()));
  // No match leaves no selection, so that saving again gives an empty text rather than a stale one.
  ::SendMessage(hWndCtrl, LB_SETCURSEL, static_cast<WPARAM>(found == LB_ERR ? -1 : found), 0);
}

void ExchangeIndex(CDataExchange* pDX, int nIDC, int& index, UINT getMessage, UINT setMessage)
{
  HWND hWndCtrl = pDX->PrepareCtrl(nIDC);
  if (pDX->m_bSaveAndValidate) {
    index = static_cast<int>(::SendMessage(hWndCtrl, getMessage, 0, 0));
  } else {
    ::SendMessage(hWndCtrl, setMessage, static_cast<WPARAM>(static_cast<INT_PTR>(index)), 0);
  }
}

}  // namespace

// CDataExchange

CDataExchange::CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate)
    : m_bSaveAndValidate(bSaveAndValidate), m_pDlgWnd(pDlgWnd)
{
}

HWND CDataExchange::PrepareCtrl(int nIDC)
{
  HWND hWndCtrl = ::GetDlgItem(m_pDlgWnd->m_hWnd, nIDC);
  if (hWndCtrl == nullptr) {
    AfxThrowNotSupportedException();
  }
  m_idLastControl = nIDC;
  m_hWndLastControl = hWndCtrl;
  m_bEditLastControl = FALSE;
  return hWndCtrl;
}

HWND CDataExchange::PrepareEditCtrl(int nIDC)
{
  HWND hWndCtrl = PrepareCtrl(nIDC);
  m_bEditLastControl = TRUE;
  return hWndCtrl;
}

void CDataExchange::Fail()
{
  if (m_bSaveAndValidate && m_hWndLastControl != nullptr && ::IsWindow(m_hWndLastControl)) {
    ::SetFocus(m_hWndLastControl);
    if (m_bEditLastControl) {
      ::SendMessage(m_hWndLastControl, EM_SETSEL, 0, -1);
    }
  }
  AfxThrowUserException();
}

// Texts

void DDX_Text(CDataExchange* pDX, int nIDC, int& value) { ExchangeInteger(pDX, nIDC, value, "%d", AFX_IDP_PARSE_INT); }

void DDX_Text(CDataExchange* pDX, int nIDC, UINT& value)
{
  ExchangeInteger(pDX, nIDC, value, "%u", AFX_IDP_PARSE_UINT);
}

void DDX_Text(CDataExchange* pDX, int nIDC, long& value)
{
  ExchangeInteger(pDX, nIDC, value, "%ld", AFX_IDP_PARSE_INT);
}

void DDX_Text(CDataExchange* pDX, int nIDC, double& value)
{
  HWND hWndCtrl = pDX->PrepareEditCtrl(nIDC);
  if (pDX->m_bSaveAndValidate) {
    std::optional<double> parsed = ParseReal(TextOf(hWndCtrl));
    if (!parsed) {
      FailWithMessage(pDX, AFX_IDP_PARSE_REAL);
    }
    value = *parsed;
  } else {
    SetTextIfChanged(hWndCtrl, platform::FormatC("%.*g", kDoubleDigits, value).c_str());
  }
}

void DDX_Text(CDataExchange* pDX, int nIDC, float& value)
{
  HWND hWndCtrl = pDX->PrepareEditCtrl(nIDC);
  if (pDX->m_bSaveAndValidate) {
    std::optional<double> parsed = ParseReal(TextOf(hWndCtrl));
    if (!parsed || std::fabs(*parsed) > FLT_MAX) {
      FailWithMessage(pDX, AFX_IDP_PARSE_REAL);
    }
    value = static_cast<float>(*parsed);
  } else {
    SetTextIfChanged(hWndCtrl, platform::FormatC("%.*g", kFloatDigits, static_cast<double>(value)).c_str());
  }
}

void DDX_Text(CDataExchange* pDX, int nIDC, CString& value)
{
  HWND hWndCtrl = pDX->PrepareEditCtrl(nIDC);
  if (pDX->m_bSaveAndValidate) {
    value = TextOf(hWndCtrl);
  } else {
    SetTextIfChanged(hWndCtrl, value);
  }
}

// Buttons

void DDX_Check(CDataExchange* pDX, int nIDC, int& value)
{
  HWND hWndCtrl = pDX->PrepareCtrl(nIDC);
  if (pDX->m_bSaveAndValidate) {
    value = static_cast<int>(::SendMessage(hWndCtrl, BM_GETCHECK, 0, 0));
  } else {
    // A state the box cannot show is shown unchecked.
    int state = value >= 0 && value <= 2 ? value : 0;
    ::SendMessage(hWndCtrl, BM_SETCHECK, static_cast<WPARAM>(state), 0);
  }
}

void DDX_Radio(CDataExchange* pDX, int nIDC, int& value)
{
  HWND first = pDX->PrepareCtrl(nIDC);
  if (pDX->m_bSaveAndValidate) {
    value = -1;
    ForEachRadioButton(first, [&](HWND button, int index) {
      if (value == -1 && ::SendMessage(button, BM_GETCHECK, 0, 0) != 0) {
        value = index;
      }
    });
  } else {
    ForEachRadioButton(first, [&](HWND button, int index) {
      ::SendMessage(button, BM_SETCHECK, index == value ? BST_CHECKED : BST_UNCHECKED, 0);
    });
  }
}

// Lists

void DDX_CBIndex(CDataExchange* pDX, int nIDC, int& index) { ExchangeIndex(pDX, nIDC, index, CB_GETCURSEL, CB_SETCURSEL); }
void DDX_LBIndex(CDataExchange* pDX, int nIDC, int& index) { ExchangeIndex(pDX, nIDC, index, LB_GETCURSEL, LB_SETCURSEL); }
void DDX_CBString(CDataExchange* pDX, int nIDC, CString& value) { ExchangeListText(pDX, nIDC, value, true, false); }
void DDX_CBStringExact(CDataExchange* pDX, int nIDC, CString& value) { ExchangeListText(pDX, nIDC, value, true, true); }
void DDX_LBString(CDataExchange* pDX, int nIDC, CString& value) { ExchangeListText(pDX, nIDC, value, false, false); }
void DDX_LBStringExact(CDataExchange* pDX, int nIDC, CString& value) { ExchangeListText(pDX, nIDC, value, false, true); }

void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl)
{
  if (rControl.m_hWnd != nullptr) {
    return;
  }
  HWND hWndCtrl = pDX->PrepareCtrl(nIDC);
  if (!rControl.SubclassWindow(hWndCtrl)) {
    AfxThrowNotSupportedException();  // the control is bound to another object already
  }
}

// Checks

namespace {

template <class TValue>
void CheckRange(CDataExchange* pDX, TValue value, TValue minVal, TValue maxVal, UINT message, const char* format)
{
  if (!pDX->m_bSaveAndValidate || (value >= minVal && value <= maxVal)) {
    return;
  }
  std::string low = platform::FormatC(format, minVal);
  std::string high = platform::FormatC(format, maxVal);
  FailWithMessage(pDX, message, low.c_str(), high.c_str());
}

}  // namespace

void DDV_MinMaxInt(CDataExchange* pDX, int value, int minVal, int maxVal)
{
  CheckRange(pDX, value, minVal, maxVal, AFX_IDP_PARSE_INT_RANGE, "%d");
}

void DDV_MinMaxUInt(CDataExchange* pDX, UINT value, UINT minVal, UINT maxVal)
{
  CheckRange(pDX, value, minVal, maxVal, AFX_IDP_PARSE_INT_RANGE, "%u");
}

void DDV_MinMaxLong(CDataExchange* pDX, long value, long minVal, long maxVal)
{
  CheckRange(pDX, value, minVal, maxVal, AFX_IDP_PARSE_INT_RANGE, "%ld");
}

void DDV_MinMaxDouble(CDataExchange* pDX, const double& value, double minVal, double maxVal)
{
  if (!pDX->m_bSaveAndValidate || (value >= minVal && value <= maxVal)) {
    return;
  }
  std::string low = platform::FormatC("%.*g", kDoubleDigits, minVal);
  std::string high = platform::FormatC("%.*g", kDoubleDigits, maxVal);
  FailWithMessage(pDX, AFX_IDP_PARSE_REAL_RANGE, low.c_str(), high.c_str());
}

void DDV_MinMaxFloat(CDataExchange* pDX, const float& value, float minVal, float maxVal)
{
  if (!pDX->m_bSaveAndValidate || (value >= minVal && value <= maxVal)) {
    return;
  }
  std::string low = platform::FormatC("%.*g", kFloatDigits, static_cast<double>(minVal));
  std::string high = platform::FormatC("%.*g", kFloatDigits, static_cast<double>(maxVal));
  FailWithMessage(pDX, AFX_IDP_PARSE_REAL_RANGE, low.c_str(), high.c_str());
}

void DDV_MaxChars(CDataExchange* pDX, const CString& value, int nChars)
{
  if (!pDX->m_bSaveAndValidate) {
    if (pDX->m_bEditLastControl && pDX->m_hWndLastControl != nullptr) {
      ::SendMessage(pDX->m_hWndLastControl, EM_LIMITTEXT, static_cast<WPARAM>(nChars), 0);
    }
    return;
  }
  if (value.GetLength() > nChars) {
    std::string most = platform::FormatC("%d", nChars);
    FailWithMessage(pDX, AFX_IDP_PARSE_STRING_SIZE, most.c_str());
  }
}
