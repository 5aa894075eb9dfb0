#include "graphics/tools/tool_tip.h"

#include "platform/user/common_controls.h"
#include "platform/user/window.h"

void ShowToolTipText(HWND tooltip, HWND view, const CString& text)
{
  if (!tooltip)
    return;
  SendMessage(tooltip, TTM_ACTIVATE, TRUE, 0);
  TOOLINFO info;
  info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  info.hwnd = view;
  info.uId = reinterpret_cast<UINT_PTR>(view);
  info.lpszText = const_cast<LPSTR>(static_cast<LPCSTR>(text));
  const bool hasTool = SendMessage(tooltip, TTM_GETTOOLCOUNT, 0, 0) > 0;
  SendMessage(tooltip, hasTool ? TTM_UPDATETIPTEXT : TTM_ADDTOOL, 0, reinterpret_cast<LPARAM>(&info));
}

void HideToolTip(HWND tooltip)
{
  if (tooltip)
    SendMessage(tooltip, TTM_ACTIVATE, FALSE, 0);
}
