// CDialogBar: a control bar holding the controls of a dialog template, as high (or wide) as the template makes
// it. Its controls' commands and notifications go to the owner frame, and the frame's update handlers enable
// them at idle time; push buttons without a handler go grey.
#pragma once

#include "platform/mfc/ctrlbar.h"

class CDialogBar : public CControlBar {
  DECLARE_DYNAMIC(CDialogBar)
public:
  CDialogBar();
  ~CDialogBar() override;

  // The DIALOG resource nIDTemplate of the resource handle, made a child of pParentWnd whatever the template's
  // own style; nStyle: the bar's CBRS_ style plus WS_VISIBLE. FALSE when the template is missing or malformed.
  BOOL Create(CWnd* pParentWnd, UINT nIDTemplate, UINT nStyle, UINT nID);
  BOOL Create(CWnd* pParentWnd, LPCSTR lpszTemplateName, UINT nStyle, UINT nID);

  CSize CalcFixedLayout(BOOL bStretch, BOOL bHorz) override;
  void OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler) override;

  // The template's size in pixels.
  CSize m_sizeDefault;
};
