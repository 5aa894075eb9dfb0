// The settings dialog "Настройки": five pages in a tree, all editing one private copy of the visual options;
// Apply and OK copy it into the live options, and the dialog tells its opener what changed.
#pragma once

#include "platform/mfc/afxcmn.h"
#include "platform/mfc/gdiobj.h"
#include "toolkit/controls/resize_dialog.h"

#include <memory>
#include <vector>

struct IQorRoadDoc;
struct IVisualOpt;

namespace Shell {
struct PreferencesOutcome;
}

namespace Options {

// The settings dialog's messages among its own windows.
inline constexpr UINT UM_PAGEHELP = 0x8204;          // posted by the chooser hooks to a page
inline constexpr UINT UM_INVALIDATEPAGES = 0x8205;   // the dialog, its tree and every visible page repainted
inline constexpr UINT UM_ENDLEVELEDIT = 0x8206;      // from the image page's in-place level editor
inline constexpr UINT UM_GETCUSTOMCOLOURS = 0x8218;  // lParam: COLORREF** that receives the 16 custom colours
inline constexpr UINT UM_NORMALISESCALES = 0x8219;   // to the image page on Apply and OK

class CPrefOfCalc;
class CPrefOfImage;
class CPrefOfReport;
class CPrefOfColor;
class CPrefOfFont;

class CPreferences : public CTKResizeDialog {
public:
  enum Page { kCalculation, kImage, kReport, kColour, kFont, kPageCount };
  static constexpr int kCustomColours = 16;

  CPreferences(CWnd* pParent, IQorRoadDoc* document, IVisualOpt* options);
  ~CPreferences() override;

  BOOL OnInitDialog() override;
  void OnOK() override;
  void OnApply();
  void OnHelp();
  CDialog* GetPage(int page) const;
  int GetShownPage() const;

  IVisualOpt* m_liveOptions;
  IVisualOpt* m_options;  // the private copy the pages edit
  IQorRoadDoc* m_document;
  CTreeCtrl m_tree;
  CFont m_headerFont;
  CBitmap m_pageBitmaps[kPageCount];

  // What the opener reads.
  int m_gridMode = 0;
  double m_gridStep = 0;
  BOOL m_bFontsChanged = FALSE;
  BOOL m_bGridModeChanged = FALSE;
  BOOL m_bGridStepChanged = FALSE;
  std::vector<double> m_gridSteps;
  BOOL m_bViewChanged = FALSE;
  BOOL m_bColorsChanged = FALSE;
  BOOL m_bViewChangedTotal = FALSE;
  BOOL m_bColorsChangedTotal = FALSE;

  std::unique_ptr<CPrefOfCalc> m_calc;
  std::unique_ptr<CPrefOfImage> m_image;
  std::unique_ptr<CPrefOfReport> m_report;
  std::unique_ptr<CPrefOfColor> m_colour;
  std::unique_ptr<CPrefOfFont> m_font;
  COLORREF m_customColours[kCustomColours];

protected:
  void OnPaint();
  void OnSelChanged(NMHDR* pNotify, LRESULT* pResult);
  void OnTreeFocus(NMHDR* pNotify, LRESULT* pResult);
  LRESULT OnGetCustomColours(WPARAM wParam, LPARAM lParam);
  LRESULT OnInvalidatePages(WPARAM wParam, LPARAM lParam);
  void OnDestroy();
  void ShowPage(int page);
  // Reads the pages' flags into the dialog's, as Apply and OK both do.
  void CollectGridChanges(bool fromApply);
  void CollectRedrawFlags();
  DECLARE_MESSAGE_MAP()

private:
  bool m_bTakingFocus = false;
};

// The opener's part: the dialog run modally over the parent; the outcome says what the document must apply.
int RunPreferences(HWND parent, IQorRoadDoc* document, IVisualOpt* options, Shell::PreferencesOutcome* outcome);

}  // namespace Options
