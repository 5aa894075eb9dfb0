// The drawing policy of the command bars: one process-wide paint manager, chosen by theme number, fills,
// frames and colours every button state, draws icons in their states, glyphs, check marks and status-bar
// parts, and animates popups. Its copy of the 62-entry colour table is where every theme colour is read.
#pragma once

#include "platform/mfc/afxwin.h"
#include "platform/user/system.h"
#include "toolkit/paint/color_manager.h"

class CTKImageManagerIcon;
// The bars and controls live in the command-bars library above this one; the routines below that take them are
// compiled there (toolkit/commandbars/paint_*.cpp) and choose the theme's variant by BaseTheme().
class CTKCommandBar;
class CTKCommandBars;
class CTKControl;
class CTKPopupBar;
class CTKStatusBarPane;

// A font the paint manager rebuilds from the system on every refresh unless it was set by hand.
class CTKPaintManagerFont : public CFont {
public:
  BOOL m_bStandardFont = TRUE;
};

// A zeroed LOGFONT.
struct CTKLogFont : LOGFONTA {
  CTKLogFont() : LOGFONTA{} {}
};

// The system's non-client metrics, filled on construction.
struct CTKNonClientMetrics : NONCLIENTMETRICS {
  CTKNonClientMetrics();
};

// The version of the system the toolkit runs on, read once; the tests match one version exactly.
class CTKOSVersionInfo : public OSVERSIONINFOA {
public:
  CTKOSVersionInfo();
  BOOL IsWin95() const { return dwPlatformId == 1 && dwMajorVersion == 4 && dwMinorVersion < 10; }
  BOOL IsWin98() const { return dwPlatformId == 1 && dwMajorVersion == 4 && dwMinorVersion == 10; }
  BOOL IsWinNT4() const { return dwPlatformId == 2 && dwMajorVersion == 4 && dwMinorVersion == 0; }
  BOOL IsWin2K() const { return dwPlatformId == 2 && dwMajorVersion == 5 && dwMinorVersion == 0; }
  BOOL IsWinXP() const { return dwPlatformId == 2 && dwMajorVersion == 5 && dwMinorVersion == 1; }
};
const CTKOSVersionInfo& TKOSVersionInfo();

// Theme numbers of CreateTheme and SetTheme.
enum TKPaintTheme {
  tkThemeDefault = 0,
  tkThemeOffice = 1,
  tkThemeOffice2003 = 2,
  tkThemeNativeXP = 3,
  tkThemeWhidbey = 4,
  tkThemeCustom = 5,
};

// The buttons a bar makes for itself, as DrawSpecialControl draws them.
enum TKSpecialControl {
  tkSpecialToolBarExpand = 0,
  tkSpecialPopupExpand = 1,
  tkSpecialFloatingHide = 2,
  tkSpecialFloatingExpand = 3,
};

// Bar positions as the bars report them.
enum TKBarPosition {
  tkBarTop = 0,
  tkBarBottom = 1,
  tkBarLeft = 2,
  tkBarRight = 3,
  tkBarFloating = 4,
  tkBarPopup = 5,
};

class CTKPaintManager : public CCmdTarget {
public:
  CTKPaintManager();
  ~CTKPaintManager() override;
  CTKPaintManager(const CTKPaintManager&) = delete;
  CTKPaintManager& operator=(const CTKPaintManager&) = delete;

  // ---- Installation. Unknown numbers make the Default theme.
  static CTKPaintManager* CreateTheme(int nTheme);
  static void SetCustomTheme(CTKPaintManager* pTheme);
  static void SetTheme(int nTheme);
  static void Done();
  // The current paint manager; the Default theme is installed first when there is none.
  static CTKPaintManager* GetCurrent();
  static CTKPaintManager* GetCurrentIfAny();

  // ---- Colours. An index above 61 is a literal colour.
  COLORREF GetColor(int nIndex) const;
  void SetColors(int nCount, const int* pIndices, const COLORREF* pColors);
  int GetCurrentSystemTheme() const;
  int GetCurrentTheme() const { return m_nTheme; }

  // ---- Fonts
  void SetCommandBarsFontIndirect(LOGFONTA* pLogFont, BOOL bUseStandardFont = FALSE);
  void RefreshStandardFonts();
  // The command-bar font height for the system's menu font height: small negative heights grow to -11.
  static LONG StandardFontHeight(LONG lfMenuHeight)
  {
    return lfMenuHeight < 0 && lfMenuHeight >= -10 ? -11 : lfMenuHeight;
  }
  CFont* GetRegularFont() { return &m_fontRegular; }
  CFont* GetRegularBoldFont() { return &m_fontBold; }
  CFont* GetIconFont() { return &m_fontIcon; }
  CFont* GetSmCaptionFont() { return &m_fontSmCaption; }
  // The bar's font: turned for bars at the left and right.
  CFont* GetCommandBarFont(int nBarPosition, BOOL bBold);

  // ---- Overridable drawing, in the order themes override it
  virtual void DrawControlState(CDC* pDC, CRect rc, BOOL bEnabled, int nSelected, int nPressed, BOOL bChecked,
                                BOOL bPopuped, int nBarPosition) = 0;
  virtual void DrawButtonRectangle(CDC* pDC, CRect rc, int nSelected, int nPressed, BOOL bEnabled, BOOL bChecked,
                                   BOOL bPopuped, BOOL bToolBar, int nBarPosition) = 0;
  virtual void DrawStatusBarPaneBorder(CDC* pDC, CRect rc, BOOL bLastPane);
  virtual void DrawStatusBarGripper(CDC* pDC, CRect rcClient);
  virtual void FillDockBar(CDC* pDC, CWnd* pBar);
  virtual void FillStatusBar(CDC* pDC, CWnd* pBar);
  virtual void RefreshMetrics();
  virtual BOOL IsOwnerDrawnShadow() { return FALSE; }
  // The strip at the top of a popup that tears it off; measuring gives the height it takes.
  virtual CSize DrawTearOffGripper(CDC* pDC, CRect rc, BOOL bSelected, BOOL bDraw) = 0;
  virtual void DrawImage(CDC* pDC, CPoint pt, CSize sz, CTKImageManagerIcon* pImage, int nSelected, int nPressed,
                         BOOL bEnabled, BOOL bChecked, BOOL bPopuped, BOOL bToolBar) = 0;
  virtual int BaseTheme() = 0;
  virtual void DrawCheckMark(CDC* pDC, CRect rcCheck, COLORREF clr, BOOL bLayoutRTL = FALSE);
  virtual void DrawDropDownGlyph(CDC* pDC, CRect rc, COLORREF clr);
  // Types 2 (slide), 3 (unfold) and 4 (fade) bring the source over the destination frame by frame.
  virtual void Animate(CDC* pDestDC, CDC* pSrcDC, CRect rc, int nType);
  virtual void UpdateRTLCaption(CString& /*strCaption*/) {}

  // ---- Drawing the themes share
  void Draw3dRect(CDC* pDC, CRect rc, int nTopLeft, int nBottomRight);
  void DrawRectangle(CDC* pDC, CRect rc, int nBorder, int nFill);
  void DrawLine(CDC* pDC, int x1, int y1, int x2, int y2);
  void DrawLine(CDC* pDC, int x1, int y1, int x2, int y2, int nColor);
  void Triangle(CDC* pDC, CPoint pt0, CPoint pt1, CPoint pt2, COLORREF clr);
  void DrawVerticalLine(CDC* pDC, int x, int y, int nLength, COLORREF clr);
  void DrawHorizontalLine(CDC* pDC, int x, int y, int nLength, COLORREF clr);
  void GradientFill(CDC* pDC, LPCRECT lpRect, COLORREF crFrom, COLORREF crTo, BOOL bHorz, LPCRECT lpClip = nullptr);
  static void StripMnemonics(CString& strClear);

  // ---- Bars and controls (bodies in the command-bars library). Measuring (bDraw 0) gives the size it takes.
  CSize DrawControl(CDC* pDC, CTKControl* pControl, BOOL bDraw);
  CSize DrawControlToolBarParent(CDC* pDC, CTKControl* pControl, BOOL bDraw);
  CSize DrawControlPopupParent(CDC* pDC, CTKControl* pControl, BOOL bDraw);
  void DrawSplitButtonFrame(CDC* pDC, CTKControl* pControl, CRect rc);
  void DrawControlEntry(CDC* pDC, CTKControl* pControl);
  void FillCommandBar(CDC* pDC, CTKCommandBar* pBar);
  CSize DrawCommandBarGripper(CDC* pDC, CTKCommandBar* pBar, BOOL bDraw);
  CSize DrawCommandBarSeparator(CDC* pDC, CTKCommandBar* pBar, CTKControl* pControl, BOOL bDraw);
  void AdjustExcludeRect(CRect& rc, CTKControl* pControl, BOOL bVertical);
  CRect GetCommandBarBorders(CTKCommandBar* pBar);
  // Edit and combo-box fields with their optional label; measuring stores the label and button widths.
  CSize DrawControlEdit(CDC* pDC, CTKControl* pControl, BOOL bDraw);
  CSize DrawControlComboBox(CDC* pDC, CTKControl* pControl, BOOL bDraw);
  // A control as an entry of the customise command list; the size is (icon column width, entry height).
  CSize DrawListBoxControl(CDC* pDC, CTKControl* pControl, CRect rc, BOOL bSelected, BOOL bDraw,
                           CTKCommandBars* pCommandBars = nullptr);
  // The bars' own buttons (TKSpecialControl). Measuring the toolbar's expand button places it: pParam points to
  // the bar's size; drawing it, pParam points to a BOOL, set when controls did not fit. The popup's chevron
  // measures its height.
  CSize DrawSpecialControl(CDC* pDC, int nType, CTKControl* pControl, CTKCommandBar* pBar, BOOL bDraw, void* pParam);
  // A menu showing its hidden commands: frame by frame the runs of those commands grow from nothing while the
  // rest of the menu (the source image) keeps its height, downwards or upwards from the bottom.
  void AnimateExpanding(CTKPopupBar* pBar, CDC* pDestDC, CDC* pSrcDC, BOOL bExpandDown);
  // A status-bar pane's background, icon and text inside its rectangle (the border is drawn apart).
  void DrawStatusBarPane(CDC* pDC, CRect rc, CTKStatusBarPane* pPane);

  // A control's caption; measuring (bDraw 0) gives the size it takes, width and height exchanged when vertical.
  CSize DrawControlText(CDC* pDC, const CString& strCaption, CRect rcText, BOOL bDraw, BOOL bVert, BOOL bCentered,
                        BOOL bTriangle, BOOL bEmbossed, BOOL bShowCues);
  // The caption beside (or below, vertically) an icon of cxButton x cyButton.
  CSize DrawControlCaption(CDC* pDC, const CString& strCaption, CRect rcControl, BOOL bVertical, BOOL bDraw,
                           BOOL bEmbossed, BOOL bTriangle, int cxButton, int cyButton, BOOL bIcon, BOOL bShowCues);

  COLORREF m_clrShadowColor = 0;
  COLORREF m_clrStatusText = 0;
  CTKPaintManagerColorGradient m_grcFace;
  BOOL m_bThickCheckMark = FALSE;
  BOOL m_bShowShadow = TRUE;
  CFont m_fontRegular;
  CFont m_fontBold;
  CFont m_fontVert;
  CFont m_fontVertBold;
  CTKPaintManagerFont m_fontSmCaption;
  CTKPaintManagerFont m_fontIcon;
  CTKPaintManagerFont m_fontIconBold;
  int m_nTextHeight = 0;
  BOOL m_bUseTahoma = FALSE;
  BOOL m_bUseStandardFont = TRUE;
  int m_nTheme = 0;
  BOOL m_bFadedIcons = FALSE;
  BOOL m_bFlatDisabledIcons = FALSE;
  BOOL m_bIconShadow = FALSE;
  BOOL m_bGenerateDisabledIcons = FALSE;
  int m_nAnimationSteps = 10;
  int m_nAnimationTime = 100;
  int m_nShowKeyboardCues = -1;
  CTKPaintManagerColor m_arrColor[TK_COLOR_COUNT];
  int m_nSystemTheme = 5;

protected:
  // A missing generated disabled image is made in the face gradient's colours.
  void PrepareDisabledIcon(CTKImageManagerIcon* pImage);
};

// The current paint manager (the Default theme installed first when there is none).
CTKPaintManager* TKPaintManager();
