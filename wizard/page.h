// What every page of the object creation wizard shares: the page base (chain links, the exchange with the area,
// Enter and Esc handed to the wizard), the bold header static, and the validation message.
#pragma once

#include "platform/mfc/afxwin.h"

#include <initializer_list>
#include <vector>

struct _WIZARD_DATA;
struct IArea;

namespace Wizard {

// Template ids of the wizard and its pages.
inline constexpr UINT kWizardTemplate = 300;
inline constexpr UINT kWelcomeTemplate = 301;
inline constexpr UINT kStraightRoadTemplate = 302;
inline constexpr UINT kSectionTemplate = 303;
inline constexpr UINT kSchemeTemplate = 304;
inline constexpr UINT kEndTemplate = 305;
inline constexpr UINT kTurnTemplate = 306;
inline constexpr UINT kCrossingTemplate = 321;
inline constexpr UINT kForkTemplate = 322;
inline constexpr UINT kJunctionTemplate = 323;
inline constexpr UINT kWideningTemplate = 324;
inline constexpr UINT kRoundaboutTemplate = 325;

// Commands of the wizard's buttons.
inline constexpr UINT kNextCommand = 1027;
inline constexpr UINT kBackCommand = 1028;
inline constexpr UINT kHelpCommand = 1026;

// Controls every page header has.
inline constexpr int kHeaderLine = 1031;
inline constexpr int kHeaderTitle = 1032;
inline constexpr int kHeaderHint = 1033;

// Caption of every validation message.
inline constexpr UINT kMessageCaption = 500;

// A static text with its own colours; the page headers use it bold on white.
class CTitleStatic : public CStatic {
public:
  CTitleStatic() = default;
  ~CTitleStatic() override;

  void SetColours(COLORREF text, COLORREF background);
  // The font the control shows, at weight 700.
  void MakeBold();

  COLORREF m_textColour = RGB(0, 0, 0);
  COLORREF m_backColour = RGB(255, 255, 255);
  CBrush m_brush;
  CFont m_font;

protected:
  HBRUSH CtlColor(CDC* pDC, UINT nCtlColor);
  DECLARE_MESSAGE_MAP()
};

class CWDialog : public CDialog {
public:
  CWDialog(UINT templateId, const CString& title, _WIZARD_DATA* data);

  BOOL CreatePage(CWnd* wizard) { return Create(static_cast<UINT>(m_templateId), wizard); }
  // FALSE: fill the page from the area and show it; TRUE: check the controls and store them (most pages also
  // into the area). FALSE when a check failed.
  virtual BOOL TransferData(BOOL save) { return UpdateData(save); }
  virtual void ShowData() = 0;

  // Enter means "Далее >" (and finishes on the last page); Esc cancels the wizard.
  void OnOK() override;
  void OnCancel() override;

  CWDialog* m_next = nullptr;
  CWDialog* m_prev = nullptr;
  CString m_title;
  int m_templateId;

protected:
  IArea* Area() const;
  // Header statics 1032 and 1033 on white, the title bold.
  void InitHeader();
  void EnableControls(std::initializer_list<int> ids, BOOL enable);
  // A drop-down list's entries and selection.
  void FillList(int id, const std::vector<CString>& entries);
  int ListSelection(int id);
  void SelectListEntry(int id, int index);
  // The exchange of a number whose bounds are checked by the page: a value outside them shows `message`
  // with the wizard's caption and fails the exchange on that control.
  void Refuse(CDataExchange* pDX, const CString& message);
  // The new value of a spin (old − delta); the notification's answer is always 0.
  static double SpinValue(double current, NMHDR* notify, LRESULT* result);

  _WIZARD_DATA* m_data;
  CTitleStatic m_titleStatic;
  CTitleStatic m_hintStatic;
};

// A string of the program's table formatted with two bounds: "%.lf"-style messages take doubles, "%ld" ones
// whole numbers.
CString BoundsMessage(UINT stringId, double low, double high);
CString BoundsMessage(UINT stringId, long low, long high);
CString ProgramString(UINT stringId);
// The road picture of the welcome and end pages put into their static 1025; the caller deletes it.
HBITMAP ShowRoadPicture(CWnd* page);
// A summary line whose "%s" is the value with at most two decimals.
void AppendValueLine(CString& text, const char* format, double value);

}  // namespace Wizard
