// WGL over Mesa's off-screen renderer: pixel formats of device contexts, rendering contexts, SwapBuffers into
// the pixels behind a DC (a window's client area or a memory bitmap) and font display lists.
//
// Each context renders into a buffer of its own, sized to the DC it is current on; SwapBuffers copies that
// picture into the DC's pixels, clipped to what of the window shows. A single-buffered context is also copied
// when it stops being current, since nothing here sees glFlush.
#pragma once

#include "platform/base/hresult.h"

struct PIXELFORMATDESCRIPTOR {
  WORD nSize = sizeof(PIXELFORMATDESCRIPTOR);
  WORD nVersion = 1;
  DWORD dwFlags = 0;
  BYTE iPixelType = 0;
  BYTE cColorBits = 0;
  BYTE cRedBits = 0;
  BYTE cRedShift = 0;
  BYTE cGreenBits = 0;
  BYTE cGreenShift = 0;
  BYTE cBlueBits = 0;
  BYTE cBlueShift = 0;
  BYTE cAlphaBits = 0;
  BYTE cAlphaShift = 0;
  BYTE cAccumBits = 0;
  BYTE cAccumRedBits = 0;
  BYTE cAccumGreenBits = 0;
  BYTE cAccumBlueBits = 0;
  BYTE cAccumAlphaBits = 0;
  BYTE cDepthBits = 0;
  BYTE cStencilBits = 0;
  BYTE cAuxBuffers = 0;
  BYTE iLayerType = 0;
  BYTE bReserved = 0;
  DWORD dwLayerMask = 0;
  DWORD dwVisibleMask = 0;
  DWORD dwDamageMask = 0;
};
static_assert(sizeof(PIXELFORMATDESCRIPTOR) == 40);
using LPPIXELFORMATDESCRIPTOR = PIXELFORMATDESCRIPTOR*;

inline constexpr DWORD PFD_DOUBLEBUFFER = 0x00000001;
inline constexpr DWORD PFD_STEREO = 0x00000002;
inline constexpr DWORD PFD_DRAW_TO_WINDOW = 0x00000004;
inline constexpr DWORD PFD_DRAW_TO_BITMAP = 0x00000008;
inline constexpr DWORD PFD_SUPPORT_GDI = 0x00000010;
inline constexpr DWORD PFD_SUPPORT_OPENGL = 0x00000020;
inline constexpr DWORD PFD_GENERIC_FORMAT = 0x00000040;
inline constexpr DWORD PFD_NEED_PALETTE = 0x00000080;
inline constexpr DWORD PFD_GENERIC_ACCELERATED = 0x00001000;
inline constexpr DWORD PFD_DEPTH_DONTCARE = 0x20000000;
inline constexpr DWORD PFD_DOUBLEBUFFER_DONTCARE = 0x40000000;
inline constexpr DWORD PFD_STEREO_DONTCARE = 0x80000000;

inline constexpr BYTE PFD_TYPE_RGBA = 0;
inline constexpr BYTE PFD_TYPE_COLORINDEX = 1;
inline constexpr BYTE PFD_MAIN_PLANE = 0;

inline constexpr DWORD ERROR_BUSY = 170;
inline constexpr DWORD ERROR_INVALID_PIXEL_FORMAT = 2000;
inline constexpr DWORD ERROR_INVALID_OPERATION = 4317;

// The best format of the DC's offer for the request (bit counts are least wishes, flags must be met), or 0.
int ChoosePixelFormat(HDC dc, const PIXELFORMATDESCRIPTOR* request);
// Fills `out` (up to `size` bytes) for format `index` when `out` is given; answers the number of formats.
int DescribePixelFormat(HDC dc, int index, UINT size, LPPIXELFORMATDESCRIPTOR out);
// A window DC takes formats that draw to windows, a memory DC those that draw to bitmaps. The format belongs to
// what the DC draws on: another DC of the same window or bitmap reports it too.
BOOL SetPixelFormat(HDC dc, int index, const PIXELFORMATDESCRIPTOR* request);
// 0 while none is set.
int GetPixelFormat(HDC dc);
// Shows the frame of the context drawing on the DC's window or bitmap (through any DC of it). From a thread
// other than the context's, the frame shown is the one last swapped or released there.
BOOL SwapBuffers(HDC dc);

// Needs a DC with a pixel format; the context takes that format.
HGLRC wglCreateContext(HDC dc);
// Releases the context first when it is current on the calling thread; ERROR_BUSY when on another.
BOOL wglDeleteContext(HGLRC context);
// A context is current on one thread at a time (ERROR_BUSY otherwise) and only on DCs of its own format.
// (nullptr, nullptr) releases the calling thread's context. A thread that ends releases its context.
BOOL wglMakeCurrent(HDC dc, HGLRC context);
HGLRC wglGetCurrentContext();
HDC wglGetCurrentDC();
// Lets `other` use the display lists and textures of `source`; only before `other` was ever made current.
BOOL wglShareLists(HGLRC source, HGLRC other);

// One display list per character (first .. first + count - 1 into lists listBase ..), each a glBitmap of the
// glyph in the font selected into the DC, advancing the raster position by the character's GDI width.
// Needs a current context. The A form takes code page 1251 character codes, the W form UTF-16 units.
BOOL wglUseFontBitmapsA(HDC dc, DWORD first, DWORD count, DWORD listBase);
BOOL wglUseFontBitmapsW(HDC dc, DWORD first, DWORD count, DWORD listBase);
inline BOOL wglUseFontBitmaps(HDC dc, DWORD first, DWORD count, DWORD listBase)
{
  return wglUseFontBitmapsA(dc, first, count, listBase);
}
