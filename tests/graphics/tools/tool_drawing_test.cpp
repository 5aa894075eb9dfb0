// What the tools draw over the frame: the snap marker, the polygon input's overlay and the zoom window's
// rectangle, found in the view's pixels; the polygon input picture is left in the artifacts folder.
#include "graphics/tools/custom_polygon_tool.h"
#include "graphics/tools/object_selector.h"
#include "graphics/tools/snap_marker.h"
#include "model/identifiers.h"
#include "model/iprimitive.h"
#include "platform/gdi/surface.h"
#include "tests/graphics/tools/tools_fixture.h"

#include <cstdint>
#include <functional>
#include <vector>

namespace {

class ToolDrawing : public ToolsTest {
protected:
  void TearDown() override
  {
    CSnapMarker::Instance().Hide();
    ToolsTest::TearDown();
  }
  // How many pixels of the window pass the test.
  int Count(const std::function<bool(int r, int g, int b)>& test)
  {
    const gdi::Surface* pixels = view->Pixels();
    int count = 0;
    for (int y = 0; y < pixels->Height(); ++y) {
      for (int x = 0; x < pixels->Width(); ++x) {
        const std::uint32_t p = pixels->Pixel(x, y);
        count += test((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF) ? 1 : 0;
      }
    }
    return count;
  }
  static bool Yellow(int r, int g, int b) { return r > 200 && g > 200 && b < 60; }
  std::vector<std::uint32_t> Snapshot()
  {
    const gdi::Surface* pixels = view->Pixels();
    std::vector<std::uint32_t> out;
    for (int y = 0; y < pixels->Height(); ++y)
      for (int x = 0; x < pixels->Width(); ++x)
        out.push_back(pixels->Pixel(x, y) & 0xFFFFFF);
    return out;
  }
  // How many pixels differ from an earlier snapshot.
  int Changed(const std::vector<std::uint32_t>& before)
  {
    const std::vector<std::uint32_t> now = Snapshot();
    int count = 0;
    for (std::size_t i = 0; i < now.size() && i < before.size(); ++i)
      count += now[i] != before[i] ? 1 : 0;
    return count;
  }
};

TEST_F(ToolDrawing, TheSnapMarkerIsDrawnWhileShown)
{
  OpenSite(400, 300);
  const int before = Count(Yellow);
  const double point[3] = {0, 0, 0};
  CSnapMarker::Instance().Show(point, 1);
  Core().Render(FALSE, FALSE);
  EXPECT_GT(Count(Yellow), before + 20);
  CSnapMarker::Instance().Hide();
  Core().Render(FALSE, FALSE);
  EXPECT_EQ(Count(Yellow), before);
}

TEST_F(ToolDrawing, PolygonInputDrawsItsRubberBandAndCursorBox)
{
  OpenSite(400, 300);
  ModelRef<ICustomizeRoad> site(ActiveArea(), IID_ICustomizeRoad);
  ModelRef<IGroupsOfDev> groups(ActiveArea(), IID_IGroupsOfDev);
  IGroupOfDev* group = groups->CreateGroup();
  VertexList* contour = nullptr;
  group->GetContourPoints(&contour);
  contour->RemoveAll();
  ModelRef<IClassObjModel> object(group, IID_IClassObjModel);
  group->Release();
  Holder().BeginPolygonInput(object.get());
  Click(PixelOf(-20, -10));
  Click(PixelOf(20, -10));
  Core().Render(FALSE, FALSE);
  const std::vector<std::uint32_t> plain = Snapshot();
  const POINT cursor = PixelOf(0, 15);
  Send(WM_MOUSEMOVE, 0, cursor.x, cursor.y);
  // The dashed contour, the band from the last vertex to the cursor and the cursor box.
  EXPECT_GT(Changed(plain), 150);
  EXPECT_FALSE(view->SavePicture("tools-polygon-input.png").empty());
  Holder().EndPolygonInput();
}

TEST_F(ToolDrawing, TheZoomWindowShowsItsTranslucentRectangle)
{
  OpenSite(400, 300);
  Navigator().SetMode(NavigatorMode::kZoomIn);
  Core().Render(FALSE, FALSE);
  const std::vector<std::uint32_t> plain = Snapshot();
  Send(WM_LBUTTONDOWN, 0x1 | 0x4, 100, 80);
  Send(WM_MOUSEMOVE, 0x1 | 0x4, 300, 220);
  // Most of the 200 x 140 pixels under the translucent window change colour.
  EXPECT_GT(Changed(plain), 200 * 140 * 3 / 4);
  EXPECT_LT(Changed(plain), 400 * 300 / 2);
  Send(WM_LBUTTONUP, 0x4, 300, 220);
}

}  // namespace
