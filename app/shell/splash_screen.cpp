#include "app/shell/splash_screen.h"

namespace shell {

BEGIN_MESSAGE_MAP(CSplashScreen, CWnd)
  ON_WM_PAINT()
END_MESSAGE_MAP()

CSplashScreen::CSplashScreen() { m_bitmap.LoadBitmap(IDB_SPLASH); }

CSplashScreen::~CSplashScreen()
{
  if (GetSafeHwnd())
    DestroyWindow();
}

BOOL CSplashScreen::Show()
{
  BITMAP picture{};
  if (!m_bitmap.GetSafeHandle() || !m_bitmap.GetBitmap(&picture))
    return FALSE;
  LPCSTR windowClass = AfxRegisterWndClass(0, ::LoadCursor(nullptr, IDC_WAIT));
  const int x = ::GetSystemMetrics(SM_CXSCREEN) / 2 - picture.bmWidth / 2;
  const int y = ::GetSystemMetrics(SM_CYSCREEN) / 2 - picture.bmHeight / 2;
  if (!CreateEx(WS_EX_TOOLWINDOW, windowClass, nullptr, WS_POPUP, x, y, picture.bmWidth, picture.bmHeight, nullptr,
                nullptr))
    return FALSE;
  ShowWindow(SW_SHOW);
  UpdateWindow();
  return TRUE;
}

void CSplashScreen::OnPaint()
{
  CPaintDC dc(this);
  BITMAP picture{};
  m_bitmap.GetBitmap(&picture);
  dc.SetBkMode(TRANSPARENT);
  dc.DrawState(CPoint(0, 0), CSize(picture.bmWidth, picture.bmHeight), &m_bitmap, DST_BITMAP);
}

}  // namespace shell
