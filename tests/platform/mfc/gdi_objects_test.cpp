// The framework's drawing objects: who owns a handle, the temporary objects FromHandle and SelectObject hand
// out, and their release at idle time.
#include "tests/platform/mfc/harness.h"

#include <cstring>
#include <functional>
#include <string>

namespace mfctest {
namespace {

int TypeOf(HDC hDC) { return ::GetObjectType(reinterpret_cast<HGDIOBJ>(hDC)); }

TEST(GdiObjects, SelectObjectAnswersThePreviousObjectAsATemporaryOfItsKind)
{
  CDC dc;
  ASSERT_TRUE(dc.CreateCompatibleDC(nullptr));
  CPen pen(PS_SOLID, 1, RGB(255, 0, 0));
  CBrush brush(RGB(0, 0, 255));
  CFont font;
  ASSERT_TRUE(font.CreatePointFont(90, "Tahoma"));
  CBitmap bitmap;
  ASSERT_TRUE(bitmap.CreateBitmap(4, 4, 1, 32, nullptr));

  struct Case {
    std::string name;
    UINT type;
    CGdiObject* mine;
    std::function<CGdiObject*(CGdiObject*)> select;  // through the typed overload
    const CRuntimeClass* kind;
  };
  const Case cases[] = {
      {"pen", OBJ_PEN, &pen, [&](CGdiObject* o) { return dc.SelectObject(static_cast<CPen*>(o)); },
       RUNTIME_CLASS(CPen)},
      {"brush", OBJ_BRUSH, &brush, [&](CGdiObject* o) { return dc.SelectObject(static_cast<CBrush*>(o)); },
       RUNTIME_CLASS(CBrush)},
      {"font", OBJ_FONT, &font, [&](CGdiObject* o) { return dc.SelectObject(static_cast<CFont*>(o)); },
       RUNTIME_CLASS(CFont)},
      {"bitmap", OBJ_BITMAP, &bitmap, [&](CGdiObject* o) { return dc.SelectObject(static_cast<CBitmap*>(o)); },
       RUNTIME_CLASS(CBitmap)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    HGDIOBJ before = ::GetCurrentObject(dc, c.type);
    CGdiObject* previous = c.select(c.mine);
    ASSERT_NE(previous, nullptr);
    EXPECT_NE(previous, c.mine);
    EXPECT_EQ(previous->m_hObject, before);
    EXPECT_TRUE(previous->IsKindOf(c.kind));
    // The same temporary until idle time.
    EXPECT_EQ(CGdiObject::FromHandle(before), previous);
    // Selecting the previous one back answers our own object, not a temporary for its handle.
    EXPECT_EQ(c.select(previous), c.mine);
    EXPECT_EQ(::GetCurrentObject(dc, c.type), before);
  }
  // A region is the clip, and answers its kind.
  CRgn region;
  ASSERT_TRUE(region.CreateRectRgn(0, 0, 2, 2));
  EXPECT_EQ(dc.SelectObject(&region), SIMPLEREGION);
  // A null object selects nothing.
  EXPECT_EQ(dc.SelectObject(static_cast<CPen*>(nullptr)), nullptr);
}

TEST(GdiObjects, TemporariesAreFreedAtIdleWithoutDeletingTheirHandles)
{
  RegisterTestStrings();
  CTestApp app;
  HGDIOBJ hPen = ::CreatePen(PS_SOLID, 1, 0);
  HDC hDC = ::CreateCompatibleDC(nullptr);
  HIMAGELIST hList = ImageList_Create(8, 8, ILC_COLOR32, 1, 1);

  // Each temporary is marked, so that a fresh one can be told from it after idle time.
  CPen* pPen = CPen::FromHandle(hPen);
  EXPECT_EQ(CPen::FromHandle(hPen), pPen);
  pPen->m_hObject = nullptr;
  CDC* pDC = CDC::FromHandle(hDC);
  EXPECT_EQ(CDC::FromHandle(hDC), pDC);
  pDC->m_bPrinting = TRUE;
  CImageList* pList = CImageList::FromHandle(hList);
  EXPECT_EQ(CImageList::FromHandle(hList), pList);
  pList->m_hImageList = nullptr;

  for (LONG count = 0; app.OnIdle(count); ++count) {
  }

  EXPECT_EQ(CPen::FromHandle(hPen)->m_hObject, hPen);
  EXPECT_FALSE(CDC::FromHandle(hDC)->m_bPrinting);
  EXPECT_EQ(CImageList::FromHandle(hList)->m_hImageList, hList);
  // Freeing them left the handles alive.
  EXPECT_EQ(::GetObjectType(hPen), OBJ_PEN);
  EXPECT_EQ(TypeOf(hDC), OBJ_MEMDC);
  EXPECT_EQ(ImageList_GetImageCount(hList), 0);

  CGdiObject::DeleteTempMap();
  CDC::DeleteTempMap();
  CImageList::DeleteTempMap();
  EXPECT_EQ(::GetObjectType(hPen), OBJ_PEN);
  EXPECT_EQ(TypeOf(hDC), OBJ_MEMDC);
  EXPECT_TRUE(::DeleteObject(hPen));
  EXPECT_TRUE(::DeleteDC(hDC));
  EXPECT_TRUE(ImageList_Destroy(hList));
}

TEST(GdiObjects, AnObjectOwnsWhatItCreatedOrAttachedUntilItDetachesIt)
{
  // Destroyed with its owner.
  HGDIOBJ owned = nullptr;
  {
    CPen pen(PS_DASH, 1, RGB(1, 2, 3));
    owned = pen.m_hObject;
    ASSERT_EQ(::GetObjectType(owned), OBJ_PEN);
    EXPECT_EQ(CGdiObject::FromHandle(owned), &pen);
  }
  EXPECT_EQ(::GetObjectType(owned), 0);

  // Detached: survives its former owner, and FromHandle no longer leads to it.
  HGDIOBJ detached = nullptr;
  {
    CBrush brush(RGB(4, 5, 6));
    detached = brush.Detach();
    EXPECT_EQ(brush.m_hObject, nullptr);
  }
  ASSERT_EQ(::GetObjectType(detached), OBJ_BRUSH);
  CBrush* temporary = CBrush::FromHandle(detached);
  EXPECT_EQ(temporary->m_hObject, detached);

  // Attached: owned from then on; a second Attach is refused and changes nothing.
  {
    CBrush brush;
    EXPECT_TRUE(brush.Attach(detached));
    EXPECT_EQ(CBrush::FromHandle(detached), &brush);
    HGDIOBJ other = ::CreateSolidBrush(0);
    EXPECT_FALSE(brush.Attach(other));
    EXPECT_EQ(brush.m_hObject, detached);
    ::DeleteObject(other);
    // Creating again over an owned handle fails too, and keeps the first handle.
    EXPECT_FALSE(brush.CreateSolidBrush(RGB(9, 9, 9)));
    EXPECT_EQ(brush.m_hObject, detached);
  }
  EXPECT_EQ(::GetObjectType(detached), 0);
  CGdiObject::DeleteTempMap();

  // DeleteObject deletes once; a stock object stays.
  CFont font;
  ASSERT_TRUE(font.CreatePointFont(100, "Arial"));
  HGDIOBJ fontHandle = font.m_hObject;
  EXPECT_TRUE(font.DeleteObject());
  EXPECT_EQ(font.m_hObject, nullptr);
  EXPECT_EQ(::GetObjectType(fontHandle), 0);
  EXPECT_FALSE(font.DeleteObject());
  {
    CBrush stock;
    ASSERT_TRUE(stock.CreateStockObject(WHITE_BRUSH));
  }
  EXPECT_EQ(::GetObjectType(::GetStockObject(WHITE_BRUSH)), OBJ_BRUSH);

  // A DC and an image list likewise.
  HDC dcHandle = nullptr;
  {
    CDC dc;
    ASSERT_TRUE(dc.CreateCompatibleDC(nullptr));
    dcHandle = dc.m_hDC;
    EXPECT_EQ(CDC::FromHandle(dcHandle), &dc);
  }
  EXPECT_EQ(TypeOf(dcHandle), 0);
  {
    CDC dc;
    ASSERT_TRUE(dc.CreateCompatibleDC(nullptr));
    dcHandle = dc.Detach();
  }
  EXPECT_EQ(TypeOf(dcHandle), OBJ_MEMDC);
  EXPECT_NE(CDC::FromHandle(dcHandle)->m_hDC, nullptr);
  EXPECT_TRUE(::DeleteDC(dcHandle));
  HIMAGELIST listHandle = nullptr;
  {
    CImageList list;
    ASSERT_TRUE(list.Create(16, 16, ILC_COLOR32 | ILC_MASK, 0, 4));
    listHandle = list.Detach();
  }
  int cx = 0;
  int cy = 0;
  EXPECT_TRUE(ImageList_GetIconSize(listHandle, &cx, &cy));
  {
    CImageList list;
    EXPECT_TRUE(list.Attach(listHandle));
  }
  EXPECT_FALSE(ImageList_GetIconSize(listHandle, &cx, &cy));
  CDC::DeleteTempMap();
}

TEST(GdiObjects, PointFontsTakeTheirHeightFromTheDCsResolutionAndMapping)
{
  struct Case {
    int tenthsOfPoint;
    int mapMode;
    LONG height;
  };
  const Case cases[] = {
      {90, MM_TEXT, -12},      // 9 pt at 96 dpi: 12 pixels
      {80, MM_TEXT, -11},      // 10.67 pixels, rounded
      {100, MM_TEXT, -13},     // 13.33 pixels
      {-90, MM_TEXT, -12},     // the sign of the size does not matter
      {90, MM_LOMETRIC, -32},  // 12 pixels are 31.75 tenths of a millimetre
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.tenthsOfPoint);
    CDC dc;
    ASSERT_TRUE(dc.CreateCompatibleDC(nullptr));
    dc.SetMapMode(c.mapMode);
    CFont font;
    ASSERT_TRUE(font.CreatePointFont(c.tenthsOfPoint, "Marlett", &dc));
    LOGFONTA lf;
    ASSERT_EQ(font.GetLogFont(&lf), static_cast<int>(sizeof(lf)));
    EXPECT_EQ(lf.lfHeight, c.height);
    EXPECT_STREQ(lf.lfFaceName, "Marlett");
    EXPECT_EQ(lf.lfCharSet, DEFAULT_CHARSET);
  }
  // Without a DC the screen's resolution is used.
  CFont font;
  LOGFONTA bold;
  bold.lfHeight = 120;
  bold.lfWeight = FW_BOLD;
  std::strcpy(bold.lfFaceName, "Tahoma");
  ASSERT_TRUE(font.CreatePointFontIndirect(&bold));
  LOGFONTA lf;
  font.GetLogFont(&lf);
  EXPECT_EQ(lf.lfHeight, -16);
  EXPECT_EQ(lf.lfWeight, FW_BOLD);
}

}  // namespace
}  // namespace mfctest
