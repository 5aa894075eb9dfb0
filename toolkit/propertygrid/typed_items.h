// Items that keep a typed value beside their text: a whole number, a double, a date and a colour.
#pragma once

#include "platform/mfc-core/oledatetime.h"
#include "toolkit/propertygrid/item.h"

class CTKPropertyGridItemNumber : public CTKPropertyGridItem {
  DECLARE_DYNAMIC(CTKPropertyGridItemNumber)
public:
  CTKPropertyGridItemNumber(LPCSTR lpszCaption, int nValue = 0, int* pBindNumber = nullptr);

  virtual void SetNumber(int nValue);
  virtual int GetNumber() const { return m_nValue; }
  virtual void BindToNumber(int* pBindNumber);

  void SetValue(CString strValue) override;
  void OnBeforeInsert() override;

protected:
  int m_nValue = 0;
  int* m_pBindNumber = nullptr;
};

class CTKPropertyGridItemDouble : public CTKPropertyGridItem {
  DECLARE_DYNAMIC(CTKPropertyGridItemDouble)
public:
  // An empty or null format shows the value as the user's locale writes numbers.
  CTKPropertyGridItemDouble(LPCSTR lpszCaption, double fValue = 0, LPCSTR lpszFormat = nullptr,
                            double* pBindDouble = nullptr);

  virtual void SetDouble(double fValue);
  virtual double GetDouble() const { return m_fValue; }
  virtual void BindToDouble(double* pBindDouble);

  void SetValue(CString strValue) override;
  void OnBeforeInsert() override;

protected:
  CString DoubleToString(double fValue) const;
  double StringToDouble(const CString& strValue) const;

  double m_fValue = 0;
  double* m_pBindDouble = nullptr;
  BOOL m_bUseSystemDecimalSymbol = FALSE;
};

class CTKPropertyGridItemDate : public CTKPropertyGridItem {
  DECLARE_DYNAMIC(CTKPropertyGridItemDate)
public:
  CTKPropertyGridItemDate(LPCSTR lpszCaption, const COleDateTime& oleDate);

  virtual void SetDate(const COleDateTime& oleDate);
  // False for a date that is not valid.
  virtual BOOL GetDate(SYSTEMTIME& sysTime) const;
  virtual const COleDateTime& GetDateTime() const { return m_oleDate; }
  virtual int GetDay() const;
  virtual void SetDay(int nDay);
  virtual int GetMonth() const;
  virtual void SetMonth(int nMonth);
  virtual int GetYear() const;
  virtual void SetYear(int nYear);
  // False when the text does not follow the format's day, month and year.
  virtual BOOL ParseDate(COleDateTime& dt, const CString& strValue);
  virtual void SetDateFormat(LPCSTR lpszFormat);

  void SetValue(CString strValue) override;
  void OnInplaceButtonDown() override;

  void SetNullValueText(LPCSTR lpszNullValue) { m_strNullValue = lpszNullValue ? lpszNullValue : ""; }
  // The month calendar's answer: the chosen day (accepted) or nothing (cancelled).
  void OnCalendarClosed(const COleDateTime* pChosen);

protected:
  COleDateTime m_oleDate;
  CString m_strNullValue;
};

// The date item's drop-down: a month calendar popup owned by the view, living from the drop-down to its answer.
class CTKPropertyGridInplaceMonthCal : public CWnd {
  DECLARE_DYNAMIC(CTKPropertyGridInplaceMonthCal)
public:
  explicit CTKPropertyGridInplaceMonthCal(CTKPropertyGridItemDate* pItem) : m_pItem(pItem) {}
  // Made, placed under the row and focused; deletes itself when its window goes.
  static CTKPropertyGridInplaceMonthCal* Open(CTKPropertyGridItemDate* pItem);
  void Accept();
  void Cancel();

protected:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
  void PostNcDestroy() override { delete this; }

private:
  CTKPropertyGridItemDate* m_pItem;
};

class CTKPropertyGridItemColor : public CTKPropertyGridItem {
  DECLARE_DYNAMIC(CTKPropertyGridItemColor)
public:
  CTKPropertyGridItemColor(LPCSTR lpszCaption, COLORREF clr = 0, COLORREF* pBindColor = nullptr);

  virtual void SetColor(COLORREF clr);
  virtual COLORREF GetColor() const { return m_clrValue; }
  virtual void BindToColor(COLORREF* pBindColor);

  void SetValue(CString strValue) override;
  void OnBeforeInsert() override;
  void OnInplaceButtonDown() override;
  CRect GetValueRect() override;
  BOOL OnDrawItemValue(CDC& dc, CRect rcValue) override;

  static CString ColorToString(COLORREF clr);
  // Fields above 254 or below 0 become 255.
  static COLORREF StringToColor(const CString& strValue);

protected:
  COLORREF m_clrValue = 0;
  COLORREF* m_pBindColor = nullptr;
};
