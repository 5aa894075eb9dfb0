// CReBar: a bar that holds other bars (toolbars, dialog bars) as bands, one under the other, each as wide as the
// rebar. It answers the frame's layout with the height of all its bands.
#pragma once

#include "platform/mfc/ctrlbar.h"

#include <vector>

inline constexpr DWORD RBS_BANDBORDERS = 0x0400;
inline constexpr DWORD RBBS_BREAK = 0x0001;
inline constexpr DWORD RBBS_FIXEDSIZE = 0x0002;
inline constexpr DWORD RBBS_CHILDEDGE = 0x0004;
inline constexpr DWORD RBBS_HIDDEN = 0x0008;
inline constexpr DWORD RBBS_FIXEDBMP = 0x0020;
inline constexpr DWORD RBBS_GRIPPERALWAYS = 0x0080;

class CBitmap;

class CReBar : public CControlBar {
  DECLARE_DYNAMIC(CReBar)
public:
  CReBar();
  ~CReBar() override;

  BOOL Create(CWnd* pParentWnd, DWORD dwCtrlStyle = RBS_BANDBORDERS,
              DWORD dwStyle = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | CBRS_TOP,
              UINT nID = AFX_IDW_REBAR);
  // Makes pBar (a window already made) the next band; its parent becomes the rebar. The text and bitmap are
  // kept for the band but not drawn.
  BOOL AddBar(CWnd* pBar, LPCSTR pszText = nullptr, CBitmap* pbmp = nullptr,
              DWORD dwStyle = RBBS_GRIPPERALWAYS | RBBS_FIXEDBMP);
  int GetBandCount() const { return static_cast<int>(m_bands.size()); }

  CSize CalcFixedLayout(BOOL bStretch, BOOL bHorz) override;
  void OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler) override;

  void OnSize(UINT nType, int cx, int cy);

protected:
  struct Band {
    HWND hWnd = nullptr;
    CString strText;
    DWORD dwStyle = 0;
  };
  // A band's height: a bar's own, another window's present height.
  int BandHeight(const Band& band) const;
  void LayoutBands();
  std::vector<Band> m_bands;

  DECLARE_MESSAGE_MAP()
};
