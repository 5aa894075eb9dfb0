// Anchored layout of a window's children: each child follows the parent's edges by four fractional factors, and
// all of them move in one deferred-positioning batch when the parent changes size. The layout also keeps a size
// grip in the bottom-right corner, the parent's minimum and maximum tracking sizes, and saves and restores the
// parent's window placement in the application profile.
#pragma once

#include "platform/mfc/afxwin.h"

#include <memory>
#include <vector>

// Four float edges; anchors and rectangles alike.
struct CTKResizeRect {
  float left = 0;
  float top = 0;
  float right = 0;
  float bottom = 0;

  CTKResizeRect() = default;
  CTKResizeRect(float l, float t, float r, float b) : left(l), top(t), right(r), bottom(b) {}
  CTKResizeRect& operator=(const RECT& rc);
  CTKResizeRect& operator+=(const CTKResizeRect& o);
  CTKResizeRect operator+(const CTKResizeRect& o) const { return CTKResizeRect(*this) += o; }
  friend bool operator==(const CTKResizeRect&, const CTKResizeRect&) = default;
};

// A group box the layout leaves opaque: it repaints itself, so it needs no transparent style.
class CTKResizeGroupBox : public CButton {
  DECLARE_DYNAMIC(CTKResizeGroupBox)
};

// The size grip: a scroll bar with the size-grip style that sizes its parent from the bottom-right corner.
class CTKSizeIcon : public CWnd {
public:
  BOOL Create(CWnd* pParent, const RECT& rect, UINT nID);

protected:
  void OnPaint();
  BOOL OnEraseBkgnd(HDC) { return TRUE; }
  BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message);
  void OnLButtonDown(UINT nFlags, CPoint point);
  DECLARE_MESSAGE_MAP()
};

class CTKResizeItem {
public:
  CTKResizeItem(CWnd* pWnd, bool owned, const CTKResizeRect& anchors, const CTKResizeRect& rect);
  virtual ~CTKResizeItem();
  CTKResizeItem(const CTKResizeItem&) = delete;
  CTKResizeItem& operator=(const CTKResizeItem&) = delete;

  virtual void Initialise();

  BOOL m_bRepaint = FALSE;
  bool m_bOwned = false;
  bool m_bPlaced = false;
  CWnd* m_pWnd = nullptr;
  CTKResizeRect m_anchors;
  CTKResizeRect m_rcCurrent;
  CTKResizeRect m_rcInitial;
};

class CTKResize {
public:
  enum : UINT {
    flagNoSizeIcon = 1,
    flagFixedWidth = 2,
    flagFixedHeight = 4,
    flagNoMinSize = 8,
    flagNoClipChildren = 16,
  };
  static constexpr UINT kSizeIconId = 0x7FFF;
  // The block the platform's GetWindowPlacement fills, as the profile keeps it.
  static constexpr UINT kPlacementBytes = 44;

  CTKResize(CWnd* pParent, UINT nFlags);
  virtual ~CTKResize();
  CTKResize(const CTKResize&) = delete;
  CTKResize& operator=(const CTKResize&) = delete;

  virtual void Init();
  virtual void Size();
  // FALSE when the window could not join the batch; *phdwp is then gone.
  virtual BOOL Reposition(HDWP* phdwp, CTKResizeItem* pItem, float dx, float dy);

  // The child with nID (pWnd, or the parent's child with that id) follows the parent's edges by the factors;
  // an item already there for that id gets the factors added. FALSE when no such child exists.
  BOOL SetResize(UINT nID, CWnd* pWnd, const CTKResizeRect& anchors);
  void RemoveAllControls();

  void GetMinMaxInfo(MINMAXINFO* pMMI) const;
  void SetMinTrackSize(CSize size) { m_minTrack = size; }
  void SetMaxTrackSize(CSize size) { m_maxTrack = size; }
  CSize GetMinTrackSize() const { return m_minTrack; }

  void SavePlacement(LPCSTR pszSection) const;
  // A value of any length but 44 bytes is ignored; a placement lying off the work area is moved onto it.
  void LoadPlacement(LPCSTR pszSection);
  // Loads now and saves when the parent goes.
  void AutoLoadPlacement(LPCSTR pszSection);
  void OnDestroy();

  UINT GetFlags() const { return m_nFlags; }
  void AddFlags(UINT nFlags) { m_nFlags |= nFlags; }
  const std::vector<std::unique_ptr<CTKResizeItem>>& Items() const { return m_items; }
  CTKSizeIcon& SizeIcon() { return m_sizeIcon; }

private:
  UINT m_nFlags;
  CWnd* m_pParent;
  CRect m_rcWindow;  // the parent's window rectangle at the last layout
  CSize m_initialSize;
  std::vector<std::unique_ptr<CTKResizeItem>> m_items;
  CSize m_minTrack{0, 0};
  CSize m_maxTrack{0, 0};
  CString m_strSection;
  CTKSizeIcon m_sizeIcon;
};
