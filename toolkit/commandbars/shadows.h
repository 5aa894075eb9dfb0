// Popup shadows: two thin topmost strips per shadowed rectangle, below it and on its right, translucent with
// per-pixel alpha fading outwards when layered windows exist, else solid. A strip never covers an open popup; it
// follows its bar's window as the bar is hidden, shown and destroyed.
#pragma once

#include "toolkit/commandbars/commandbar.h"

#include <list>

class CTKShadowsManager {
public:
  class CShadowWnd : public CWnd, public CTKHookManagerHookAble {
  public:
    CShadowWnd(CTKShadowsManager* pManager, BOOL bHorizontal, BOOL bOwnerDrawn, CTKCommandBar* pBar)
        : m_pManager(pManager), m_bHorizontal(bHorizontal), m_bOwnerDrawn(bOwnerDrawn), m_pBar(pBar)
    {
    }
    ~CShadowWnd() override;
    // Creates the window on first use and places the strip beside the rectangle.
    BOOL SetShadowRect(const CRect& rc);
    // Lengthens the strip so that it meets the strips of a neighbouring popup.
    void JoinStrips();
    int OnHookMessage(HWND hWnd, UINT nMessage, WPARAM& wParam, LPARAM& lParam, LRESULT& lResult) override;
    BOOL IsHorizontal() const { return m_bHorizontal; }
    CTKCommandBar* GetBar() const { return m_pBar; }
    // The alpha and colour of a pixel of a strip of cx by cy (before the colour is scaled): for tests.
    static void PixelAt(BOOL bHorizontal, BOOL bOwnerDrawn, int cx, int cy, int x, int y, int& nAlpha,
                        int& nFactorTwentieths);

  protected:
    BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
    void PostNcDestroy() override {}

  private:
    friend class CTKShadowsManager;
    void UpdateAlpha(int cx, int cy);

    CTKShadowsManager* m_pManager;
    BOOL m_bHorizontal;
    BOOL m_bOwnerDrawn;
    CTKCommandBar* m_pBar;
  };

  CTKShadowsManager();
  ~CTKShadowsManager();
  CTKShadowsManager(const CTKShadowsManager&) = delete;
  CTKShadowsManager& operator=(const CTKShadowsManager&) = delete;

  // A popup bar shown or moved: strips below and right of its window, cut by the exclude rectangle.
  void SetShadow(CTKCommandBar* pBar, const CRect& rcExclude = CRect(0, 0, 0, 0));
  // A control whose popup opened: strips around the control, attributed to the popup bar it opens.
  void SetShadow(CTKControl* pControl);
  void RemoveShadow(CTKCommandBar* pBar);

  BOOL IsLayered() const { return m_pfnUpdateLayeredWindow != nullptr; }
  // The shadow size: 4 pixels translucent, 2 solid.
  int GetShadowSize() const { return IsLayered() ? 4 : 2; }
  const std::list<CShadowWnd*>& GetShadows() const { return m_lstShadow; }
  // Binds the layered-window entry again after a test made it absent or present.
  void RebindForTest();

private:
  using UpdateLayeredWindowFunction = BOOL (*)(HWND, HDC, POINT*, SIZE*, HDC, POINT*, COLORREF,
                                               const BLENDFUNCTION*, DWORD);
  void CreateShadow(BOOL bHorizontal, const CRect& rc, const CRect& rcExclude, CTKCommandBar* pBar);
  void RemoveStrip(CShadowWnd* pShadow);

  UpdateLayeredWindowFunction m_pfnUpdateLayeredWindow = nullptr;
  std::list<CShadowWnd*> m_lstShadow;
};

CTKShadowsManager& TKShadowsManager();
