// A dialog with an anchored layout: a size grip when its frame can be resized, its initial size as the smallest
// it can be made, and, with a profile section, reopening where it was closed.
#pragma once

#include "toolkit/controls/resize.h"

class CTKResizeDialog : public CDialog {
  DECLARE_DYNCREATE(CTKResizeDialog)
public:
  CTKResizeDialog();
  explicit CTKResizeDialog(UINT nIDTemplate, CWnd* pParentWnd = nullptr, UINT nFlags = 0);

  // The placement is read from the section now and written there when the dialog is destroyed.
  void AutoLoadPlacement(LPCSTR pszSection) { m_resize.AutoLoadPlacement(pszSection); }
  void SavePlacement(LPCSTR pszSection) { m_resize.SavePlacement(pszSection); }
  void LoadPlacement(LPCSTR pszSection) { m_resize.LoadPlacement(pszSection); }
  BOOL SetResize(UINT nID, const CTKResizeRect& anchors) { return m_resize.SetResize(nID, nullptr, anchors); }

  BOOL OnInitDialog() override;

  CTKResize m_resize;
  UINT m_nIDTemplate = 0;

protected:
  void OnSize(UINT nType, int cx, int cy);
  void OnGetMinMaxInfo(MINMAXINFO* lpMMI);
  void OnDestroy();
  DECLARE_MESSAGE_MAP()
};
