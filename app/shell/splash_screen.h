// The picture shown in the middle of the screen while the program starts, until its main window appears.
#pragma once

#include "platform/mfc/afxwin.h"

namespace shell {

inline constexpr UINT IDB_SPLASH = 155;

class CSplashScreen : public CWnd {
public:
  // Loads the picture.
  CSplashScreen();
  // The window goes, and the picture with it.
  ~CSplashScreen() override;

  // A borderless tool window of the picture's size, centred on the screen, shown and painted at once.
  BOOL Show();

  CBitmap m_bitmap;

protected:
  void OnPaint();
  DECLARE_MESSAGE_MAP()
};

}  // namespace shell
