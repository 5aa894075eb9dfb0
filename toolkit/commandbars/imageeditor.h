// The button image editor: a modal dialog in which the user draws a button's picture pixel by pixel, zoomed, with
// a palette, six tools, undo and redo, the clipboard, one-pixel shifts and import from a file. Pictures are 32-bit
// DIB sections; pixels of TK_IMAGEEDITOR_TRANSPARENT are transparent, and a picture with per-pixel alpha keeps it
// while it is edited.
#pragma once

#include "platform/mfc/afxwin.h"
#include "platform/mfc/dialog.h"
#include "platform/mfc/toolbar.h"
#include "toolkit/paint/image_manager.h"

#include <deque>
#include <memory>

inline constexpr COLORREF TK_IMAGEEDITOR_TRANSPARENT = RGB(255, 254, 255);
inline constexpr COLORREF TK_IMAGEEDITOR_CHEQUER = RGB(235, 235, 235);

// Resource and control ids of the editor (toolkit module).
inline constexpr UINT TK_IDD_IMAGEEDITOR = 9351;
inline constexpr UINT TK_IDB_IMAGEEDITOR_TOOLS = 9352;
inline constexpr UINT TK_IDB_IMAGEEDITOR_TOOLS_ALPHA = 9353;
inline constexpr UINT TK_ID_IMAGEEDITOR_MOVE_LEFT = 9354;  // also the move bar's placeholder
inline constexpr UINT TK_ID_IMAGEEDITOR_MOVE_DOWN = 9355;
inline constexpr UINT TK_ID_IMAGEEDITOR_MOVE_UP = 9356;
inline constexpr UINT TK_ID_IMAGEEDITOR_MOVE_RIGHT = 9357;  // also the colours label
inline constexpr UINT TK_IDC_IMAGEEDITOR_TOOLS_PLACE = 9358;
inline constexpr UINT TK_IDC_IMAGEEDITOR_TRANSPARENT = 9359;
inline constexpr UINT TK_IDC_IMAGEEDITOR_MORE_COLORS = 9360;
inline constexpr UINT TK_IDC_IMAGEEDITOR_PICTURE = 9361;
inline constexpr UINT TK_IDC_IMAGEEDITOR_PREVIEW = 9362;
inline constexpr UINT TK_ID_IMAGEEDITOR_PENCIL = 9363;
inline constexpr UINT TK_ID_IMAGEEDITOR_FILL = 9364;
inline constexpr UINT TK_ID_IMAGEEDITOR_PICKER = 9365;
inline constexpr UINT TK_ID_IMAGEEDITOR_LINE = 9366;
inline constexpr UINT TK_ID_IMAGEEDITOR_RECTANGLE = 9367;
inline constexpr UINT TK_ID_IMAGEEDITOR_ELLIPSE = 9368;
inline constexpr UINT TK_ID_IMAGEEDITOR_COPY = 9369;
inline constexpr UINT TK_ID_IMAGEEDITOR_PASTE = 9370;
inline constexpr UINT TK_ID_IMAGEEDITOR_CLEAR = 9371;
inline constexpr UINT TK_ID_IMAGEEDITOR_UNDO = 9372;
inline constexpr UINT TK_ID_IMAGEEDITOR_REDO = 9373;
inline constexpr UINT TK_ID_IMAGEEDITOR_IMPORT = 9374;
inline constexpr UINT TK_IDC_IMAGEEDITOR_CURSOR_DEFAULT = 9375;
inline constexpr UINT TK_IDC_IMAGEEDITOR_CURSOR_PICKER = 9376;
inline constexpr UINT TK_IDC_IMAGEEDITOR_CURSOR_FILL = 9377;
inline constexpr UINT TK_IDC_IMAGEEDITOR_CURSOR_PENCIL = 9378;
inline constexpr UINT TK_IDS_IMAGEEDITOR_FILTER = 9396;
inline constexpr UINT TK_ID_IMAGEEDITOR_PALETTE_FIRST = 9450;
inline constexpr UINT TK_ID_IMAGEEDITOR_PALETTE_LAST = 9496;

class CTKImageEditorDlg;

class CTKImageEditorPicker : public CStatic {
public:
  COLORREF m_clr = 0;
  BOOL m_bSelected = FALSE;

  void OnPaint();
  void OnLButtonDown(UINT nFlags, CPoint point);

protected:
  DECLARE_MESSAGE_MAP()
};

class CTKImageEditorPicture : public CStatic {
public:
  class CAlphaBitmap : public CBitmap {
  public:
    // A 32-bit bottom-up DIB section; its pixels are reachable through Bits().
    BOOL CreateBitmap32(int nWidth, int nHeight);
    // 0xAARRGGBB, rows counted from the top.
    DWORD* Bits() const { return m_pBits; }
    DWORD& At(int x, int y) const { return m_pBits[(m_nHeight - 1 - y) * m_nWidth + x]; }
    int Width() const { return m_nWidth; }
    int Height() const { return m_nHeight; }

    BOOL m_bAlpha = FALSE;

  private:
    DWORD* m_pBits = nullptr;
    int m_nWidth = 0;
    int m_nHeight = 0;
  };
  using Picture = std::unique_ptr<CAlphaBitmap>;

  CTKImageEditorPicture() = default;
  ~CTKImageEditorPicture() override;

  void Init(CTKImageEditorDlg* pDlg, int nWidth, int nHeight);

  // Each is one undo step when it changes the picture.
  void Undo();
  void Redo();
  void Clear();
  void MovePicture(int dx, int dy);
  void CopyToClipboard();
  void PasteFromClipboard();
  void Import();
  // The file as import reads it, without the file dialog; FALSE (nothing changed) when it does not load.
  BOOL ImportFile(LPCSTR pszPath);

  BOOL CanUndo() const { return !m_lstUndo.empty(); }
  BOOL CanRedo() const { return !m_lstRedo.empty(); }
  int GetUndoCount() const { return static_cast<int>(m_lstUndo.size()); }
  int GetRedoCount() const { return static_cast<int>(m_lstRedo.size()); }
  // The picture being edited; null when it was cleared or never set.
  CAlphaBitmap* GetPicture() const { return m_pCurrent.get(); }
  void SetPicture(Picture pPicture);
  // The colour a pixel shows (transparent where there is no picture), as the tools read it.
  COLORREF GetPixelColor(CPoint pt) const;
  CPoint PixelFromPoint(CPoint point) const;
  CSize GetCellSize() const { return CSize(m_nCellWidth, m_nCellHeight); }

  // A new 32-bit picture of nWidth x nHeight filled with the transparent colour, with the source (may be null)
  // at (x, y); without alpha the pixels of clrFrom become clrTo.
  static Picture CopyBitmap(const CAlphaBitmap* pSource, int nWidth, int nHeight, int x = 0, int y = 0,
                            COLORREF clrFrom = TK_IMAGEEDITOR_TRANSPARENT, COLORREF clrTo = TK_IMAGEEDITOR_TRANSPARENT);
  // The same from any bitmap; bAlpha says whether its top bytes are alpha.
  static Picture CopyBitmap(HBITMAP hSource, BOOL bAlpha, int nWidth, int nHeight, COLORREF clrFrom,
                            COLORREF clrTo);
  static void MergeAlpha(CAlphaBitmap* pPicture, const CAlphaBitmap* pBase);
  static void MakeZeroTransparent(CAlphaBitmap* pPicture);

  void OnPaint();
  BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message);
  void OnLButtonDown(UINT nFlags, CPoint point);
  void OnMouseMove(UINT nFlags, CPoint point);
  void OnLButtonUp(UINT nFlags, CPoint point);
  void OnCaptureChanged(CWnd* pWnd);

protected:
  void PushUndo();
  void Changed();
  Picture CopyOfBase() const;

  CTKImageEditorDlg* m_pDlg = nullptr;
  int m_nWidth = 16;
  int m_nHeight = 16;
  int m_nCellWidth = 1;
  int m_nCellHeight = 1;
  std::deque<Picture> m_lstUndo;
  std::deque<Picture> m_lstRedo;
  Picture m_pBase;     // the picture before the operation under way
  Picture m_pCurrent;
  BOOL m_bTracking = FALSE;
  BOOL m_bStepOpen = FALSE;  // a drag began and its undo step is not pushed yet
  CPoint m_ptTracking;
  COLORREF m_clrDraw = 0;

  DECLARE_MESSAGE_MAP()
};

class CTKImageEditorPreview : public CStatic {
public:
  void Init(CTKImageEditorDlg* pDlg, int nWidth, int nHeight);
  void OnPaint();

protected:
  CTKImageEditorDlg* m_pDlg = nullptr;
  int m_nWidth = 16;
  int m_nHeight = 16;

  DECLARE_MESSAGE_MAP()
};

class CTKImageEditorDlg : public CDialog {
public:
  class CDlgToolBar : public CToolBar {
  public:
    // The tips are the second lines of the buttons' strings, found in the toolkit module first.
    void LoadToolTips();
    // Rows wrap after a button marked TBBS_WRAPPED.
    void GetItemRect(int nIndex, LPRECT lpRect) const override;
    CSize CalcFixedLayout(BOOL bStretch, BOOL bHorz) override;
    LRESULT OnIdleUpdateCmdUI(WPARAM wParam, LPARAM lParam);
    void OnSize(UINT nType, int cx, int cy);

  protected:
    DECLARE_MESSAGE_MAP()
  };

  explicit CTKImageEditorDlg(CWnd* pParent = nullptr);
  ~CTKImageEditorDlg() override;

  // Before DoModal: an empty picture of this size, or a copy of the image to edit.
  void SetPictureSize(int nWidth, int nHeight);
  void SetIcon(const CTKImageManagerIconHandle& hIcon);
  // After IDOK: the picture, as a 32-bit alpha bitmap when it has alpha, else as an icon.
  void GetIcon(CTKImageManagerIconHandle* pHandle) const;

  // The template comes through the resource manager; -1 (nothing shown) without it.
  INT_PTR DoModal() override;
  // Modeless, from the same template (tests and pictures).
  BOOL CreateEditor(CWnd* pParent);

  BOOL OnInitDialog() override;

  COLORREF GetCurrentColor() const;
  int GetCurrentTool() const { return m_nCurrentTool; }
  CTKImageEditorPicture& GetPictureCtrl() { return m_wndPicture; }
  CTKImageEditorPicker& GetFreeColorPicker() { return m_wndPickerMore; }
  CTKImageEditorPicker& GetPalettePicker(int nIndex) { return m_wndPickers[nIndex]; }
  void SelectPicker(CTKImageEditorPicker* pPicker);
  // The colour picker tool hands back to the tool that was active before it.
  void RestorePreviousTool() { m_nCurrentTool = m_nPreviousTool; }
  const CTKImageEditorPicture::CAlphaBitmap* GetPicture() const { return m_wndPicture.GetPicture(); }
  void RedrawPicture();

  void OnTool(UINT nID);
  void OnUpdateTool(CCmdUI* pCmdUI);
  void OnCopy();
  void OnPaste();
  void OnClear();
  void OnUndo();
  void OnRedo();
  void OnUpdateUndo(CCmdUI* pCmdUI);
  void OnUpdateRedo(CCmdUI* pCmdUI);
  void OnImport();
  void OnMove(UINT nID);
  void OnTransparentPickerClick(NMHDR* pNMHDR, LRESULT* pResult);
  void OnPalettePickerClick(UINT nID, NMHDR* pNMHDR, LRESULT* pResult);
  void OnMoreColors(NMHDR* pNMHDR, LRESULT* pResult);
  BOOL OnToolTipText(UINT nID, NMHDR* pNMHDR, LRESULT* pResult);
  LRESULT OnKickIdle(WPARAM wParam, LPARAM lParam);

protected:
  CDlgToolBar m_wndToolsBar;
  CDlgToolBar m_wndMoveBar;
  CTKImageEditorPicker m_wndPickers[16];
  CTKImageEditorPicker m_wndPickerMore;
  CTKImageEditorPicker m_wndPickerTransparent;
  CTKImageEditorPicture m_wndPicture;
  CTKImageEditorPreview m_wndPreview;
  CTKImageEditorPicker* m_pSelectedPicker = nullptr;
  int m_nCurrentTool = 0;
  int m_nPreviousTool = 0;
  int m_nWidth = 16;
  int m_nHeight = 16;
  CTKImageEditorPicture::Picture m_pInitial;  // the picture SetIcon gave, until the picture control takes it

  DECLARE_MESSAGE_MAP()

private:
  BOOL CreateBar(CDlgToolBar& bar, UINT nPlaceholder, const UINT* pIds, int nCount, int nFirst);
};
