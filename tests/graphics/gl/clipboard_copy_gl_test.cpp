// Copying the view to the clipboard: the frame drawn for the copy, in picture or screen colours, reaches the
// clipboard whole (CF_DIB and CF_BITMAP) while the window keeps the picture it showed; an empty view is refused
// before anything is drawn or allocated.
#include "document/graphic_core.h"
#include "graphics/core/clipboard_copy.h"
#include "graphics/core/scene_palette.h"
#include "platform/gdi/wingdi.h"
#include "platform/gl/wgl.h"
#include "platform/user/clipboard.h"
#include "platform/user/global_memory.h"
#include "platform/user/paint.h"
#include "platform/user/window.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

// Draws a dark blue frame (white in picture colours) with a red quarter at the lower left, and shows it only
// when its swap flag is on.
class QuarterCore : public CGraphicCore {
public:
  QuarterCore() : CGraphicCore(nullptr) {}
  void Render(BOOL, BOOL) override
  {
    ++frames;
    pictureFlagSeen = CScenePalette::GetInstance()->GetPictureFlag();
    if (pictureFlagSeen == 1)
      glClearColor(1, 1, 1, 1);
    else
      glClearColor(0, 0, 0.5f, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glColor3f(1, 0, 0);
    glRecti(0, 0, width / 2, height / 2);
    glFinish();
    if (m_bSwapBuffers)
      ::SwapBuffers(wglGetCurrentDC());
  }
  int width = 0;
  int height = 0;
  int frames = 0;
  int pictureFlagSeen = -1;
};

class ClipboardCopy : public ::testing::Test {
protected:
  void Open(int width, int height)
  {
    WNDCLASS wc;
    wc.style = CS_OWNDC;
    wc.lpfnWndProc = &DefWindowProc;
    wc.lpszClassName = "PaletteClipboardView";
    RegisterClass(&wc);
    frame = CreateWindowEx(0, "PaletteClipboardView", "Frame", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 400, 300,
                           nullptr, nullptr, nullptr, nullptr);
    view = CreateWindowEx(0, "PaletteClipboardView", "", WS_CHILD | WS_VISIBLE, 5, 5, width, height, frame,
                          nullptr, nullptr, nullptr);
    dc = GetDC(view);
    PIXELFORMATDESCRIPTOR pfd;
    pfd.dwFlags = PFD_DOUBLEBUFFER | PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL;
    pfd.iPixelType = PFD_TYPE_RGBA;
    pfd.cColorBits = 24;
    pfd.cDepthBits = 24;
    ASSERT_TRUE(SetPixelFormat(dc, ChoosePixelFormat(dc, &pfd), &pfd));
    context = wglCreateContext(dc);
    ASSERT_TRUE(wglMakeCurrent(dc, context));
    glViewport(0, 0, width, height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, width, 0, height, -1, 1);
    core.width = width;
    core.height = height;
  }
  void TearDown() override
  {
    wglMakeCurrent(nullptr, nullptr);
    if (context)
      wglDeleteContext(context);
    if (view)
      ReleaseDC(view, dc);
    if (frame)
      DestroyWindow(frame);
    OpenClipboard(nullptr);
    EmptyClipboard();
    CloseClipboard();
    CScenePalette::GetInstance()->SetPictureFlag(0);
  }
  std::vector<COLORREF> WindowPixels()
  {
    std::vector<COLORREF> pixels;
    for (int y = 0; y < core.height; ++y)
      for (int x = 0; x < core.width; ++x)
        pixels.push_back(GetPixel(dc, x, y));
    return pixels;
  }
  // The clipboard's CF_DIB as header and rows.
  std::vector<BYTE> ClipboardDib()
  {
    std::vector<BYTE> bytes;
    EXPECT_TRUE(OpenClipboard(nullptr));
    HGLOBAL memory = GetClipboardData(CF_DIB);
    if (memory) {
      const auto* data = static_cast<const BYTE*>(GlobalLock(memory));
      bytes.assign(data, data + GlobalSize(memory));
      GlobalUnlock(memory);
    }
    CloseClipboard();
    return bytes;
  }

  QuarterCore core;
  HWND frame = nullptr;
  HWND view = nullptr;
  HDC dc = nullptr;
  HGLRC context = nullptr;
};

TEST_F(ClipboardCopy, TheCopyHoldsTheFrameInPictureColoursAndTheWindowKeepsItsOwn)
{
  // An odd width: every row of the copy carries a byte of padding.
  Open(37, 23);
  core.Render(0, 0);
  const std::vector<COLORREF> shown = WindowPixels();
  ASSERT_EQ(shown[(core.height - 1) * core.width], RGB(255, 0, 0));  // lower left, top-down rows
  ASSERT_EQ(shown[0], RGB(0, 0, 128));

  ASSERT_TRUE(CopyViewToClipboard(&core, view, 0));
  EXPECT_EQ(core.pictureFlagSeen, 1);
  EXPECT_EQ(CScenePalette::GetInstance()->GetPictureFlag(), 0);
  EXPECT_TRUE(core.m_bSwapBuffers);
  EXPECT_EQ(WindowPixels(), shown);

  const std::vector<BYTE> dib = ClipboardDib();
  const int stride = 112;  // 37 x 3 = 111, padded to 4
  ASSERT_EQ(dib.size(), 40u + 23u * stride);
  BITMAPINFOHEADER header;
  std::memcpy(&header, dib.data(), sizeof header);
  EXPECT_EQ(header.biSize, 40u);
  EXPECT_EQ(header.biWidth, 37);
  EXPECT_EQ(header.biHeight, 23);
  EXPECT_EQ(header.biPlanes, 1);
  EXPECT_EQ(header.biBitCount, 24);
  EXPECT_EQ(header.biCompression, static_cast<DWORD>(BI_RGB));
  EXPECT_EQ(header.biSizeImage, 23u * stride);
  // Rows bottom first, blue-green-red: the red quarter at the start of the first rows.
  for (int y = 0; y < 23; ++y)
    for (int x = 0; x < 37; ++x) {
      const BYTE* p = dib.data() + 40 + y * stride + 3 * x;
      const bool red = x < 18 && y < 11;
      ASSERT_EQ(p[0], red ? 0 : 255) << x << "," << y;
      ASSERT_EQ(p[1], red ? 0 : 255) << x << "," << y;
      ASSERT_EQ(p[2], 255) << x << "," << y;
    }

  // The bitmap the clipboard owns holds the same pixels.
  ASSERT_TRUE(OpenClipboard(nullptr));
  HBITMAP bitmap = static_cast<HBITMAP>(GetClipboardData(CF_BITMAP));
  ASSERT_NE(bitmap, nullptr);
  BITMAPINFO info{};
  info.bmiHeader = header;
  info.bmiHeader.biSizeImage = 0;
  std::vector<BYTE> bits(23 * stride);
  HDC screen = GetDC(nullptr);
  EXPECT_EQ(GetDIBits(screen, bitmap, 0, 23, bits.data(), &info, DIB_RGB_COLORS), 23);
  ReleaseDC(nullptr, screen);
  CloseClipboard();
  for (int y = 0; y < 23; ++y)
    EXPECT_EQ(std::memcmp(bits.data() + y * stride, dib.data() + 40 + y * stride, 111), 0) << y;
}

TEST_F(ClipboardCopy, AScreenshotKeepsTheScreenColours)
{
  Open(16, 8);
  ASSERT_TRUE(CopyViewToClipboard(&core, view, 1));
  EXPECT_EQ(core.pictureFlagSeen, 0);
  const std::vector<BYTE> dib = ClipboardDib();
  ASSERT_EQ(dib.size(), 40u + 8u * 48u);
  const BYTE* topRight = dib.data() + 40 + 7 * 48 + 3 * 15;
  EXPECT_EQ(topRight[0], 128);  // blue
  EXPECT_EQ(topRight[2], 0);
  // Already in picture colours, the copy leaves the palette as it found it.
  CScenePalette::GetInstance()->SetPictureFlag(1);
  ASSERT_TRUE(CopyViewToClipboard(&core, view, 0));
  EXPECT_EQ(CScenePalette::GetInstance()->GetPictureFlag(), 1);
}

TEST_F(ClipboardCopy, AnEmptyViewIsRefusedBeforeAnythingIsDrawn)
{
  Open(0, 0);
  ASSERT_TRUE(OpenClipboard(nullptr));
  EmptyClipboard();
  HGLOBAL text = GlobalAlloc(GMEM_MOVEABLE, 3);
  std::memcpy(GlobalLock(text), "ok", 3);
  GlobalUnlock(text);
  SetClipboardData(CF_TEXT, text);
  CloseClipboard();

  EXPECT_FALSE(CopyViewToClipboard(&core, view, 0));
  EXPECT_EQ(core.frames, 0);
  EXPECT_TRUE(core.m_bSwapBuffers);
  EXPECT_EQ(CScenePalette::GetInstance()->GetPictureFlag(), 0);
  EXPECT_TRUE(IsClipboardFormatAvailable(CF_TEXT));
  EXPECT_FALSE(IsClipboardFormatAvailable(CF_DIB));
  EXPECT_FALSE(CopyViewToClipboard(&core, nullptr, 0));
}

TEST(ClipboardCopySize, TheBufferIsBoundedByTheLargestViewAndRowsArePadded)
{
  const struct {
    int width, height;
    size_t bytes;
  } cases[] = {
      {1, 1, 4},       {37, 23, 2576},  {4, 2, 24},      {0, 10, 0},
      {10, 0, 0},      {-5, 10, 0},     {10, -5, 0},     {16385, 1, 0},
      {1, 16385, 0},   {16384, 16384, size_t{16384} * 49152},
  };
  for (const auto& c : cases)
    EXPECT_EQ(DibImageSize(c.width, c.height), c.bytes) << c.width << " x " << c.height;
}

}  // namespace
