#include "platform/gdi/png.h"
#include "platform/gdi/surface.h"
#include "platform/gdi/wingdi.h"
#include "platform/gl/wgl.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cstring>
#include <future>
#include <string>
#include <thread>

namespace {

constexpr std::uint32_t kRed = 0xFFFF0000;
constexpr std::uint32_t kGreen = 0xFF00FF00;
constexpr std::uint32_t kBlue = 0xFF0000FF;
constexpr std::uint32_t kYellow = 0xFFFFFF00;
constexpr std::uint32_t kGrey = 0xFF808080;

// What the program's view asks for.
PIXELFORMATDESCRIPTOR Request(DWORD flags, BYTE depthBits, BYTE stencilBits)
{
  PIXELFORMATDESCRIPTOR pfd;
  pfd.dwFlags = flags;
  pfd.iPixelType = PFD_TYPE_RGBA;
  pfd.cColorBits = 24;
  pfd.cDepthBits = depthBits;
  pfd.cStencilBits = stencilBits;
  pfd.iLayerType = PFD_MAIN_PLANE;
  return pfd;
}

constexpr DWORD kViewFlags = PFD_DOUBLEBUFFER | PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL;

// A window's pixels and a DC on them, with the view's pixel format.
struct Window {
  gdi::Surface surface;
  HDC dc;
  explicit Window(int width, int height, std::uint32_t background = kGrey) : surface(width, height)
  {
    surface.Fill(background);
    dc = gdi::CreateSurfaceDC(surface);
    const PIXELFORMATDESCRIPTOR pfd = Request(kViewFlags, 24, 8);
    EXPECT_TRUE(SetPixelFormat(dc, ChoosePixelFormat(dc, &pfd), &pfd));
  }
  ~Window() { DeleteDC(dc); }
};

// Pixel coordinates for drawing: (0, 0) the lower-left pixel's corner.
void PixelProjection(int width, int height)
{
  glViewport(0, 0, width, height);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(0, width, 0, height, -1, 1);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
}

void FillRect(float x0, float y0, float x1, float y1, float z = 0)
{
  glBegin(GL_QUADS);
  glVertex3f(x0, y0, z);
  glVertex3f(x1, y0, z);
  glVertex3f(x1, y1, z);
  glVertex3f(x0, y1, z);
  glEnd();
}

void Clear(float r, float g, float b)
{
  glClearColor(r, g, b, 1);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

TEST(PixelFormat, ChoiceMeetsTheRequest)
{
  gdi::Surface surface(8, 8);
  HDC dc = gdi::CreateSurfaceDC(surface);
  struct Case {
    const char* name;
    DWORD flags;
    BYTE depth;
    BYTE stencil;
    bool doubleBuffered;
    BYTE depthGot;
    BYTE stencilGot;
  };
  const Case cases[] = {
      {"the program's view", kViewFlags, 24, 8, true, 24, 8},
      {"less depth, no stencil", kViewFlags, 16, 0, true, 16, 0},
      {"more depth than offered", kViewFlags, 32, 0, true, 24, 0},
      {"no depth", kViewFlags, 0, 0, true, 0, 0},
      {"bitmap", PFD_DRAW_TO_BITMAP | PFD_SUPPORT_OPENGL, 24, 0, false, 24, 0},
      {"window, single buffer", PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL, 24, 8, false, 24, 8},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const PIXELFORMATDESCRIPTOR request = Request(c.flags, c.depth, c.stencil);
    const int index = ChoosePixelFormat(dc, &request);
    ASSERT_GT(index, 0);
    PIXELFORMATDESCRIPTOR got;
    ASSERT_EQ(DescribePixelFormat(dc, index, sizeof got, &got), 8);
    EXPECT_EQ((got.dwFlags & c.flags), c.flags);
    EXPECT_EQ((got.dwFlags & PFD_DOUBLEBUFFER) != 0, c.doubleBuffered);
    EXPECT_EQ(got.cDepthBits, c.depthGot);
    EXPECT_EQ(got.cStencilBits, c.stencilGot);
    EXPECT_EQ(got.iPixelType, PFD_TYPE_RGBA);
    EXPECT_EQ(got.nSize, 40);
    EXPECT_GE(got.cRedBits + got.cGreenBits + got.cBlueBits, 24);
  }
  PIXELFORMATDESCRIPTOR out;
  EXPECT_EQ(DescribePixelFormat(dc, 0, sizeof out, &out), 0);
  EXPECT_EQ(DescribePixelFormat(dc, 9, sizeof out, &out), 0);
  EXPECT_EQ(DescribePixelFormat(dc, 0, 0, nullptr), 8);
  DeleteDC(dc);
}

TEST(PixelFormat, SetSuitsTheTargetAndContextsNeedOne)
{
  gdi::Surface surface(8, 8);
  HDC window = gdi::CreateSurfaceDC(surface);
  HDC memory = CreateCompatibleDC(window);
  EXPECT_EQ(GetPixelFormat(window), 0);
  SetLastError(0);
  EXPECT_EQ(wglCreateContext(window), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PIXEL_FORMAT);

  const PIXELFORMATDESCRIPTOR view = Request(kViewFlags, 24, 8);
  const int doubleBuffered = ChoosePixelFormat(window, &view);
  EXPECT_FALSE(SetPixelFormat(memory, doubleBuffered, &view));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PIXEL_FORMAT);
  EXPECT_FALSE(SetPixelFormat(window, 0, &view));
  EXPECT_FALSE(SetPixelFormat(window, 99, &view));
  ASSERT_TRUE(SetPixelFormat(window, doubleBuffered, &view));
  EXPECT_EQ(GetPixelFormat(window), doubleBuffered);

  const PIXELFORMATDESCRIPTOR bitmap = Request(PFD_DRAW_TO_BITMAP | PFD_SUPPORT_OPENGL, 24, 0);
  EXPECT_TRUE(SetPixelFormat(memory, ChoosePixelFormat(memory, &bitmap), &bitmap));

  // A context is current only on DCs of its own format.
  HGLRC context = wglCreateContext(window);
  ASSERT_NE(context, nullptr);
  EXPECT_FALSE(wglMakeCurrent(memory, context));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PIXEL_FORMAT);
  EXPECT_EQ(wglGetCurrentContext(), nullptr);
  EXPECT_TRUE(wglDeleteContext(context));
  EXPECT_FALSE(wglDeleteContext(context));
  DeleteDC(memory);
  DeleteDC(window);
}

// A depth-tested scene and a line of text through font display lists, as the view draws its legend.
TEST(GlRendering, SceneAndFontListsReachTheWindow)
{
  constexpr int kWidth = 200;
  constexpr int kHeight = 120;
  Window window(kWidth, kHeight);
  HGLRC context = wglCreateContext(window.dc);
  ASSERT_NE(context, nullptr);
  ASSERT_TRUE(wglMakeCurrent(window.dc, context));
  EXPECT_EQ(wglGetCurrentContext(), context);
  EXPECT_EQ(wglGetCurrentDC(), window.dc);
  GLint depthBits = 0, stencilBits = 0;
  glGetIntegerv(GL_DEPTH_BITS, &depthBits);
  glGetIntegerv(GL_STENCIL_BITS, &stencilBits);
  EXPECT_EQ(depthBits, 24);
  EXPECT_EQ(stencilBits, 8);

  PixelProjection(kWidth, kHeight);
  Clear(0, 0, 1);
  glEnable(GL_DEPTH_TEST);
  glDepthFunc(GL_LEQUAL);
  // The near red square first; the far green one must stay behind it where they overlap.
  glColor3f(1, 0, 0);
  FillRect(20, 40, 80, 100, 0.5f);
  glColor3f(0, 1, 0);
  FillRect(50, 50, 120, 90, -0.5f);
  // A band along the top edge: GL's y runs up, the window's rows down.
  glColor3f(1, 1, 0);
  FillRect(0, kHeight - 4, kWidth, kHeight);
  // A smooth-shaded triangle for the person looking at the picture.
  glBegin(GL_TRIANGLES);
  glColor3f(1, 0, 0);
  glVertex3f(140, 40, 0);
  glColor3f(0, 1, 0);
  glVertex3f(190, 40, 0);
  glColor3f(0, 0, 1);
  glVertex3f(165, 100, 0);
  glEnd();
  glDisable(GL_DEPTH_TEST);

  LOGFONTA lf{};
  lf.lfHeight = -14;
  lf.lfWeight = FW_NORMAL;
  lf.lfCharSet = RUSSIAN_CHARSET;
  lf.lfQuality = NONANTIALIASED_QUALITY;
  std::strcpy(lf.lfFaceName, "Tahoma");
  HFONT font = CreateFontIndirect(&lf);
  HGDIOBJ oldFont = SelectObject(window.dc, font);
  const GLuint base = glGenLists(256);
  ASSERT_TRUE(wglUseFontBitmapsA(window.dc, 0, 256, base));
  const char* label = "Яркость 12,5 кд/м2";
  glColor3f(1, 1, 1);
  glRasterPos2i(8, 10);
  glListBase(base);
  glCallLists(static_cast<GLsizei>(std::strlen(label)), GL_UNSIGNED_BYTE, label);
  ASSERT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));

  // Nothing reaches the window before the swap.
  EXPECT_EQ(window.surface.Pixel(5, 5), kGrey);
  ASSERT_TRUE(SwapBuffers(window.dc));
  gdi::SavePng(window.surface, TESMIRA_ARTIFACTS_DIR "/gl-scene.png");

  EXPECT_EQ(window.surface.Pixel(100, 1), kYellow);
  EXPECT_EQ(window.surface.Pixel(130, kHeight - 1 - 60), kBlue);
  EXPECT_EQ(window.surface.Pixel(30, kHeight - 1 - 70), kRed);
  EXPECT_EQ(window.surface.Pixel(65, kHeight - 1 - 70), kRed) << "the far square was drawn over the near one";
  EXPECT_EQ(window.surface.Pixel(100, kHeight - 1 - 70), kGreen);

  // The text is what GDI draws with the same font at the same pen position. The raster position is the corner
  // below GL row 10, so GDI's baseline is the window row under that one.
  gdi::Surface expected(kWidth, kHeight);
  expected.Fill(0xFF000000);
  HDC gdiDC = gdi::CreateSurfaceDC(expected);
  SelectObject(gdiDC, font);
  SetTextAlign(gdiDC, TA_BASELINE | TA_LEFT);
  SetTextColor(gdiDC, RGB(255, 255, 255));
  SetBkMode(gdiDC, TRANSPARENT);
  TextOutA(gdiDC, 8, kHeight - 10, label, static_cast<int>(std::strlen(label)));
  DeleteDC(gdiDC);
  int ink = 0, differing = 0;
  for (int y = kHeight - 30; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) {
      // GDI leaves alpha alone; only the colour counts.
      const bool gdiInk = (expected.Pixel(x, y) & 0xFFFFFF) == 0xFFFFFF;
      const bool glInk = (window.surface.Pixel(x, y) & 0xFFFFFF) == 0xFFFFFF;
      ink += gdiInk;
      differing += gdiInk != glInk;
    }
  }
  EXPECT_GT(ink, 100);
  EXPECT_EQ(differing, 0);

  glDeleteLists(base, 256);
  SelectObject(window.dc, oldFont);
  DeleteObject(font);
  EXPECT_TRUE(wglDeleteContext(context));
  EXPECT_EQ(wglGetCurrentContext(), nullptr);
}

TEST(GlRendering, SwapFillsOnlyWhatTheWindowShowsAndFollowsItsSize)
{
  gdi::Surface surface(100, 80);
  surface.Fill(kGrey);
  HDC dc = gdi::CreateSurfaceDC(surface);
  const PIXELFORMATDESCRIPTOR pfd = Request(kViewFlags, 24, 8);
  ASSERT_TRUE(SetPixelFormat(dc, ChoosePixelFormat(dc, &pfd), &pfd));
  // The client area of a child window at (20, 10), 40 x 40, half covered on its right by a sibling.
  gdi::SetSurfaceDCArea(dc, RECT{20, 10, 60, 50});
  HRGN visible = CreateRectRgn(0, 0, 20, 40);
  gdi::SetSurfaceDCVisibleRegion(dc, visible);
  DeleteObject(visible);

  HGLRC context = wglCreateContext(dc);
  ASSERT_TRUE(wglMakeCurrent(dc, context));
  GLint viewport[4];
  glGetIntegerv(GL_VIEWPORT, viewport);
  EXPECT_EQ(viewport[2], 40);
  EXPECT_EQ(viewport[3], 40);
  Clear(1, 0, 0);
  ASSERT_TRUE(SwapBuffers(dc));
  EXPECT_EQ(surface.Pixel(20, 10), kRed);
  EXPECT_EQ(surface.Pixel(39, 49), kRed);
  EXPECT_EQ(surface.Pixel(40, 10), kGrey) << "covered by the sibling";
  EXPECT_EQ(surface.Pixel(19, 10), kGrey);
  EXPECT_EQ(surface.Pixel(20, 9), kGrey);
  EXPECT_EQ(surface.Pixel(20, 50), kGrey);

  // The window grows: the next frame is drawn at the new size.
  gdi::SetSurfaceDCVisibleRegion(dc, nullptr);
  gdi::SetSurfaceDCArea(dc, RECT{0, 0, 100, 80});
  ASSERT_TRUE(SwapBuffers(dc));
  PixelProjection(100, 80);
  Clear(0, 1, 0);
  ASSERT_TRUE(SwapBuffers(dc));
  EXPECT_EQ(surface.Pixel(0, 0), kGreen);
  EXPECT_EQ(surface.Pixel(99, 79), kGreen);

  // A second DC on the same window, as GetDC gives one per call, swaps the same context's frame.
  HDC again = gdi::CreateSurfaceDC(surface);
  EXPECT_EQ(GetPixelFormat(again), GetPixelFormat(dc));
  Clear(1, 1, 0);
  ASSERT_TRUE(SwapBuffers(again));
  EXPECT_EQ(surface.Pixel(50, 40), kYellow);
  DeleteDC(again);

  wglMakeCurrent(nullptr, nullptr);
  EXPECT_TRUE(wglDeleteContext(context));
  DeleteDC(dc);
}

TEST(GlRendering, AContextIsCurrentOnOneThreadAtATime)
{
  Window window(32, 32);
  HGLRC context = wglCreateContext(window.dc);
  ASSERT_TRUE(wglMakeCurrent(window.dc, context));

  auto busy = std::async(std::launch::async, [&] {
    BOOL made = wglMakeCurrent(window.dc, context);
    return std::make_pair(made, GetLastError());
  }).get();
  EXPECT_FALSE(busy.first);
  EXPECT_EQ(busy.second, ERROR_BUSY);
  EXPECT_FALSE(std::async(std::launch::async, [&] { return wglDeleteContext(context); }).get());

  ASSERT_TRUE(wglMakeCurrent(nullptr, nullptr));
  EXPECT_EQ(wglGetCurrentContext(), nullptr);
  // A worker draws and ends without letting the context go; its end releases it.
  std::thread worker([&] {
    ASSERT_TRUE(wglMakeCurrent(window.dc, context));
    PixelProjection(32, 32);
    Clear(0, 1, 0);
    ASSERT_TRUE(SwapBuffers(window.dc));
  });
  worker.join();
  EXPECT_EQ(window.surface.Pixel(16, 16), kGreen);
  ASSERT_TRUE(wglMakeCurrent(window.dc, context));
  Clear(0, 0, 1);
  ASSERT_TRUE(SwapBuffers(window.dc));
  EXPECT_EQ(window.surface.Pixel(16, 16), kBlue);
  EXPECT_TRUE(wglDeleteContext(context));
}

TEST(GlRendering, ContextsKeepTheirOwnPicturesAndShareListsWhenAsked)
{
  Window first(24, 24);
  Window second(24, 24);
  HGLRC a = wglCreateContext(first.dc);
  HGLRC b = wglCreateContext(second.dc);
  ASSERT_TRUE(wglShareLists(a, b));

  ASSERT_TRUE(wglMakeCurrent(first.dc, a));
  PixelProjection(24, 24);
  const GLuint square = glGenLists(1);
  glNewList(square, GL_COMPILE);
  glColor3f(0, 0, 1);
  FillRect(0, 0, 12, 24);
  glEndList();
  Clear(1, 0, 0);

  // Switching contexts between frames leaves each picture where it was.
  ASSERT_TRUE(wglMakeCurrent(second.dc, b));
  EXPECT_EQ(wglGetCurrentContext(), b);
  PixelProjection(24, 24);
  Clear(0, 1, 0);
  glCallList(square);
  ASSERT_TRUE(SwapBuffers(second.dc));

  ASSERT_TRUE(wglMakeCurrent(first.dc, a));
  ASSERT_TRUE(SwapBuffers(first.dc));
  EXPECT_EQ(first.surface.Pixel(20, 5), kRed);
  EXPECT_EQ(first.surface.Pixel(3, 5), kRed);
  EXPECT_EQ(second.surface.Pixel(20, 5), kGreen);
  EXPECT_EQ(second.surface.Pixel(3, 5), kBlue) << "the list made in the first context";

  // A context that has been current may hold lists of its own and cannot start sharing.
  EXPECT_FALSE(wglShareLists(a, b));
  EXPECT_EQ(GetLastError(), ERROR_BUSY);

  wglMakeCurrent(nullptr, nullptr);
  EXPECT_TRUE(wglDeleteContext(a));
  EXPECT_TRUE(wglDeleteContext(b));
}

// A single-buffered context drawing into a bottom-up DIB section, as a picture for a report would be made.
TEST(GlRendering, BitmapContextWritesTheDibWhenReleased)
{
  gdi::Surface screen(8, 8);
  HDC screenDC = gdi::CreateSurfaceDC(screen);
  HDC memory = CreateCompatibleDC(screenDC);
  BITMAPINFO info{};
  info.bmiHeader.biWidth = 16;
  info.bmiHeader.biHeight = 12;
  info.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HBITMAP dib = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  ASSERT_NE(dib, nullptr);
  HGDIOBJ old = SelectObject(memory, dib);
  const PIXELFORMATDESCRIPTOR pfd = Request(PFD_DRAW_TO_BITMAP | PFD_SUPPORT_OPENGL | PFD_SUPPORT_GDI, 16, 0);
  ASSERT_TRUE(SetPixelFormat(memory, ChoosePixelFormat(memory, &pfd), &pfd));
  HGLRC context = wglCreateContext(memory);
  ASSERT_TRUE(wglMakeCurrent(memory, context));
  PixelProjection(16, 12);
  Clear(0, 0, 1);
  glColor3f(1, 0, 0);
  FillRect(0, 0, 16, 3);
  ASSERT_TRUE(wglMakeCurrent(nullptr, nullptr));

  // The DIB is bottom-up like GL: its first stored row is GL row 0.
  const auto* pixels = static_cast<const std::uint32_t*>(bits);
  EXPECT_EQ(pixels[0] & 0xFFFFFF, kRed & 0xFFFFFF);
  EXPECT_EQ(pixels[2 * 16 + 15] & 0xFFFFFF, kRed & 0xFFFFFF);
  EXPECT_EQ(pixels[3 * 16] & 0xFFFFFF, kBlue & 0xFFFFFF);
  EXPECT_EQ(pixels[11 * 16 + 15] & 0xFFFFFF, kBlue & 0xFFFFFF);

  EXPECT_TRUE(wglDeleteContext(context));
  SelectObject(memory, old);
  DeleteObject(dib);
  DeleteDC(memory);
  DeleteDC(screenDC);
}

TEST(GlRendering, FontListsNeedACurrentContext)
{
  Window window(8, 8);
  SetLastError(0);
  EXPECT_FALSE(wglUseFontBitmapsA(window.dc, 0, 256, 1));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_OPERATION);
  EXPECT_FALSE(SwapBuffers(window.dc)) << "no context ever drew on it";
}

}  // namespace
