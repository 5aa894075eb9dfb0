// The intensity diagram view drawing hand-made curve sets into its picture: legend rows, markers, which grid a
// set gets, the grids' lines, a white picture for an empty set, redrawing on a size change; and the report's
// diagram pictures made through the view the catalogues install. Pictures of a measured luminaire are left in
// the artifacts folder.
#include "catalogues/lidview/lid_view.h"

#include "model/intensity_table.h"
#include "model/light_device.h"
#include "outside/servers/photometry.h"
#include "platform/gdi/png.h"
#include "platform/mfc/afxwin.h"
#include "platform/mfc-core/memfile.h"
#include "report/rtf/rtf_writer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

namespace {

constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kGreen = RGB(0, 160, 0);
constexpr std::uint32_t kWhite = 0xFFFFFF;

// A curve set whose records and points live as long as it does.
class CurveSet {
public:
  _LID_CURVE& Add(const char* label, const char* caption, std::vector<double> points, COLORREF colour = 0,
                  int penWidth = 1, int dashed = 0, int polar = 0, bool marked = true)
  {
    m_points.push_back(std::move(points));
    std::vector<double>& p = m_points.back();
    _LID_CURVE r{};
    r.label = label;
    r.groupCaption = caption;
    for (std::size_t i = 0; i + 1 < p.size(); i += 2) {
      r.xMin = std::min(r.xMin, p[i]);
      r.xMax = std::max(r.xMax, p[i]);
      r.yMin = std::min(r.yMin, p[i + 1]);
      r.yMax = std::max(r.yMax, p[i + 1]);
    }
    r.curvePoints = p.data();
    r.curvePointCount = static_cast<std::int32_t>(p.size() / 2);
    r.markerPoints = marked ? p.data() : nullptr;
    r.markerPointCount = marked ? r.curvePointCount : 0;
    r.colour = colour;
    r.penWidth = penWidth;
    r.dashed = dashed;
    r.polar = polar;
    m_records.push_back(r);
    m_records[0].count = static_cast<std::uint32_t>(m_records.size());
    return m_records.back();
  }
  _LID_CURVE* First() { return m_records.data(); }

private:
  std::vector<_LID_CURVE> m_records;
  std::deque<std::vector<double>> m_points;
};

std::vector<double> Wave() { return {-60, 100, -30, 250, 0, 300, 30, 250, 60, 100}; }

// The picture's pixels, rows from the top, colours as 0xRRGGBB.
struct Picture {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> pixels;
  std::uint32_t At(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x] & 0xFFFFFF; }
  int Count(std::uint32_t colour, int fromRow = 0) const
  {
    int n = 0;
    for (int y = fromRow; y < height; ++y)
      for (int x = 0; x < width; ++x)
        n += At(x, y) == colour;
    return n;
  }
};

Picture Read(CBitmap* bitmap)
{
  BITMAP b{};
  bitmap->GetBitmap(&b);
  Picture p;
  p.width = b.bmWidth;
  p.height = b.bmHeight;
  EXPECT_EQ(b.bmBitsPixel, 32);
  p.pixels.resize(static_cast<std::size_t>(p.width) * p.height);
  bitmap->GetBitmapBits(static_cast<DWORD>(p.pixels.size() * 4), p.pixels.data());
  return p;
}

std::uint32_t Pixel(COLORREF c) { return (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c); }

class DiagramView : public ::testing::Test {
protected:
  void SetUp() override
  {
    ASSERT_TRUE(parent.CreateEx(0, AfxRegisterWndClass(0), "", WS_POPUP, 0, 0, 800, 600, nullptr, nullptr));
    InstallIntensityDiagramView();
  }
  void TearDown() override
  {
    SetIntensityDiagramViewFactory({});
    view.reset();  // before its parent's destruction would delete it
    parent.DestroyWindow();
  }
  // A view of the given size showing `set` (or nothing).
  CLIDView* Show(CurveSet* set, int width = 500, int height = 420)
  {
    CWnd* made = GetIntensityDiagramViewFactory().create(&parent, RECT{0, 0, width, height}, kIntensityDiagramViewId);
    view.reset(static_cast<CLIDView*>(made));
    if (view != nullptr && set != nullptr) {
      EXPECT_EQ(view->SendMessage(UM_SETCURVES, 1, reinterpret_cast<LPARAM>(set->First())), 1);
    }
    return view.get();
  }
  Picture Shown() { return Read(view->GetPicture()); }

  // The legend's line samples: rows mostly blue between w + 100 and w + 150, w the widest caption.
  int LegendRows(const Picture& p, const CString& widestCaption)
  {
    CFont font;
    font.CreateFont(-12, 0, 0, 0, 400, FALSE, FALSE, FALSE, RUSSIAN_CHARSET, OUT_TT_PRECIS, 0, ANTIALIASED_QUALITY, 0,
                    "Arial Cyr");
    CDC dc;
    dc.CreateCompatibleDC(nullptr);
    CFont* old = dc.SelectObject(&font);
    const int w = dc.GetTextExtent(widestCaption).cx;
    dc.SelectObject(old);
    int rows = 0;
    bool inRow = false;
    for (int y = 0; y < p.height; ++y) {
      int blue = 0;
      for (int x = w + 101; x < w + 149; ++x)
        blue += p.At(x, y) == Pixel(kBlue);
      rows += blue >= 30 && !inRow;  // a thick line is one row
      inRow = blue >= 30;
    }
    return rows;
  }

  CWnd parent;
  std::unique_ptr<CLIDView> view;
};

TEST_F(DiagramView, LegendGivesOneRowPerStyleWithinACaption)
{
  const struct {
    const char* name;
    std::vector<std::tuple<const char*, int, int>> curves;  // caption, pen width, dashed
    int rows;
  } cases[] = {
      {"two thin solid", {{"ЖКУ", 1, 0}, {"ЖКУ", 1, 0}}, 1},
      {"and a thin dashed", {{"ЖКУ", 1, 0}, {"ЖКУ", 1, 0}, {"ЖКУ", 1, 1}}, 2},
      {"thick and thin", {{"ЖКУ", 2, 0}, {"ЖКУ", 1, 0}, {"ЖКУ", 2, 0}}, 2},
      {"a new caption clears the marks", {{"ЖКУ", 1, 0}, {"РКУ", 1, 0}}, 2},
      {"other styles always get a row", {{"ЖКУ", 3, 0}, {"ЖКУ", 3, 0}}, 2},
  };
  for (const auto& c : cases) {
    CurveSet set;
    for (const auto& [caption, width, dashed] : c.curves)
      set.Add("C0-C180", caption, Wave(), kBlue, width, dashed);
    Show(&set);
    EXPECT_EQ(LegendRows(Shown(), "ЖКУ"), c.rows) << c.name;
  }
}

TEST_F(DiagramView, MarkersOnlyWhenTheFirstRecordAsksAndOnlyForCurvesWithMarkerPoints)
{
  auto draw = [&](int markers, bool marked) {
    CurveSet set;
    set.Add("C0-C180", "ЖКУ", Wave(), kGreen, 2).markers = markers;
    set.Add("C90-C270", "ЖКУ", {-90, 50, -45, 150, 0, 200, 45, 150, 90, 50}, kBlue, 1, 0, 0, marked);
    Show(&set);
    return Shown();
  };
  // Pixels in exactly the curve's colour that only the marked picture has: the circles' outlines. Below the
  // legend only the curves are in these colours.
  auto circles = [](const Picture& marked, const Picture& plain, COLORREF colour) {
    int n = 0;
    for (int y = 120; y < marked.height; ++y)
      for (int x = 0; x < marked.width; ++x)
        n += marked.At(x, y) == Pixel(colour) && plain.At(x, y) != Pixel(colour);
    return n;
  };
  const Picture plain = draw(0, true);
  const Picture marked = draw(1, true);
  EXPECT_GT(circles(marked, plain, kGreen), 5 * 4) << "five circles outlined in the curve's colour";
  EXPECT_GT(circles(marked, plain, kBlue), 5 * 4) << "the first record's flag marks every curve";
  EXPECT_EQ(draw(0, true).pixels, plain.pixels) << "the same set draws the same picture";
  const Picture unmarked = draw(1, false);
  int blue = 0;
  for (int y = 120; y < unmarked.height; ++y)
    for (int x = 0; x < unmarked.width; ++x) {
      const std::uint32_t c = unmarked.At(x, y);
      blue += (c & 0xFF) > ((c >> 8) & 0xFF) + 60;
    }
  EXPECT_EQ(blue, 0) << "a curve without marker points is not drawn at all";
}

TEST_F(DiagramView, TheFirstRecordChoosesTheGrid)
{
  constexpr std::uint32_t kCartesianGrid = 0x646464;  // RGB(100, 100, 100)
  constexpr std::uint32_t kPolarGrid = 0x787878;      // RGB(120, 120, 120)
  CurveSet cartesian;
  cartesian.Add("C0-C180", "ЖКУ", Wave(), kBlue);
  Show(&cartesian);
  Picture p = Shown();
  EXPECT_GT(p.Count(kCartesianGrid), 1000);
  EXPECT_LT(p.Count(kPolarGrid), 100) << "only where anti-aliased text happens to be that grey";

  CurveSet mixed;
  mixed.Add("C0-C180", "ЖКУ", Wave(), kBlue, 1, 0, 1);
  mixed.Add("C90-C270", "ЖКУ", Wave(), kGreen, 2, 0, 0);
  Show(&mixed);
  p = Shown();
  EXPECT_LT(p.Count(kCartesianGrid), 100);
  EXPECT_GT(p.Count(kPolarGrid), 1000);
  EXPECT_GT(p.Count(Pixel(kGreen), 120), 20) << "the Cartesian second record is still drawn, into the square";
}

TEST_F(DiagramView, EmptySetsLeaveTheFirstPictureWhiteAndSizeChangesRedraw)
{
  CurveSet zero;
  zero.Add("C0-C180", "ЖКУ", {0, 0, 0, 0});
  Show(&zero, 200, 150);
  Picture p = Shown();
  EXPECT_EQ(p.width, 200);
  EXPECT_EQ(p.Count(kWhite), 200 * 150) << "all limits 0";
  Show(nullptr, 200, 150);
  EXPECT_EQ(Shown().Count(kWhite), 200 * 150) << "made without a curve set";

  // One range empty (every angle 0), the other not: the grid's tick walks still end.
  CurveSet flat;
  flat.Add("C0-C180", "ЖКУ", {0, 100, 0, 250}, kBlue);
  Show(&flat, 200, 150);
  EXPECT_LT(Shown().Count(kWhite), 200 * 150);

  CurveSet set;
  set.Add("C0-C180", "ЖКУ", Wave(), kBlue);
  Show(&set, 200, 150);
  view->SetWindowPos(nullptr, 0, 0, 320, 260, SWP_NOMOVE | SWP_NOZORDER);
  p = Shown();
  EXPECT_EQ(p.width, 320);
  EXPECT_EQ(p.height, 260);
  EXPECT_GT(p.Count(Pixel(kBlue)), 0) << "redrawn from the stored set";
  EXPECT_EQ(view->SendMessage(UM_LIDVIEW_QUERY, 0, 0), 1);
}

// The grid lines in one row just under the plot's top edge: the vertical lines only.
TEST_F(DiagramView, CartesianGridOfFixedAngleRangesHasALineEveryTenDegrees)
{
  const struct {
    double low, high;
    int divisions, lines;
  } cases[] = {{-90, 90, 20, 19}, {-180, 180, 40, 37}};
  // Wide enough for a label at every line: narrower plots pass lines over.
  Show(nullptr, 100, 100);
  for (const auto& c : cases) {
    CDC dc;
    dc.CreateCompatibleDC(nullptr);
    CBitmap bitmap;
    bitmap.CreateBitmap(1400, 320, 1, 32, nullptr);
    CBitmap* old = dc.SelectObject(&bitmap);
    dc.PatBlt(0, 0, 1400, 320, WHITENESS);
    CFont font;
    font.CreateFont(-12, 0, 0, 0, 400, FALSE, FALSE, FALSE, RUSSIAN_CHARSET, OUT_TT_PRECIS, 0, ANTIALIASED_QUALITY, 0,
                    "Arial Cyr");
    CRect rect(0, 0, 1400, 320);
    double xLow = c.low, xHigh = c.high, yLow = 0, yHigh = 437;
    ASSERT_EQ(view->DrawCartesianGrid(&dc, rect, xLow, xHigh, c.divisions, yLow, yHigh, &font, &font), 1);
    dc.SelectObject(old);
    EXPECT_EQ(xLow, c.low);
    EXPECT_EQ(xHigh, c.high);
    EXPECT_EQ(yHigh, 440.0) << "widened to whole steps of 40";
    EXPECT_GT(rect.left, 0);
    EXPECT_LT(rect.bottom, 320);
    const Picture p = Read(&bitmap);
    int lines = 0;
    for (int x = 0; x < p.width; ++x)
      lines += p.At(x, rect.top + 1) == 0x646464;
    EXPECT_EQ(lines, c.lines) << c.low;
  }
}

TEST_F(DiagramView, GridsRefuseAreasTooSmallForThem)
{
  Show(nullptr, 100, 100);
  CDC dc;
  dc.CreateCompatibleDC(nullptr);
  CBitmap bitmap;
  bitmap.CreateBitmap(100, 100, 1, 32, nullptr);
  CBitmap* old = dc.SelectObject(&bitmap);
  CFont font;
  font.CreateFont(-12, 0, 0, 0, 400, FALSE, FALSE, FALSE, RUSSIAN_CHARSET, OUT_TT_PRECIS, 0, ANTIALIASED_QUALITY, 0,
                  "Arial Cyr");
  double xLow = -90, xHigh = 90, yLow = 0, yHigh = 300;
  CRect tiny(0, 0, 8, 8);
  EXPECT_EQ(view->DrawCartesianGrid(&dc, tiny, xLow, xHigh, 20, yLow, yHigh, &font, &font), 0);
  CRect small(0, 0, 40, 30);
  EXPECT_EQ(view->DrawCartesianGrid(&dc, small, xLow, xHigh, 20, yLow, yHigh, &font, &font), 1)
      << "no room for labels: a bare grid inside a 5-pixel inset";
  EXPECT_EQ(small, CRect(5, 5, 35, 25));
  CRect square(0, 0, 8, 8);
  EXPECT_EQ(view->DrawPolarGrid(&dc, &font, 300, square), 0);
  square = CRect(0, 0, 40, 40);
  EXPECT_EQ(view->DrawPolarGrid(&dc, &font, 300, square), 1);
  EXPECT_EQ(square, CRect(5, 5, 35, 35));
  dc.SelectObject(old);
}

// A luminaire with the intensity table of the measured file (candela per 1000 lm of its 2070 lm lamp).
void LoadMeasuredLuminaire(CLightDevice& luminaire)
{
  const qorsrv::Photometry p =
      qorsrv::ReadPhotometricFile(TESMIRA_SOURCE_DIR "/outside/servers/data/led-street-2070lm.ies");
  luminaire.displayName = "Hella 8 NS 010 758-014";
  luminaire.symmetryWord = qorsrv::SymmetryWord(p);
  std::vector<double> cells{0.0};
  for (double plane : p.planes)
    cells.push_back(plane);
  for (std::size_t g = 0; g < p.gammas.size(); ++g) {
    cells.push_back(p.gammas[g]);
    for (std::size_t plane = 0; plane < p.planes.size(); ++plane)
      cells.push_back(p.At(plane, g) * 1000.0 / 2070.0);
  }
  LinkedTableAssign(luminaire.table.get(), static_cast<int>(p.planes.size()) + 1,
                    static_cast<int>(p.gammas.size()) + 1, cells.data());
}

// C-planes every 15 degrees, the maximum in C15: a dotted "C15" after the four main curves.
void LoadDottedCaseLuminaire(CLightDevice& luminaire)
{
  using namespace IntensitySymmetry;
  luminaire.displayName = "ЖКУ 150 (C15)";
  luminaire.symmetryWord = kSystemC | kPlanesComplete | kGamma0To90;
  std::vector<double> planes, gammas;
  for (double a = 0; a <= 345; a += 15)
    planes.push_back(a);
  for (double g = 0; g <= 90; g += 10)
    gammas.push_back(g);
  std::vector<double> cells{0.0};
  for (double plane : planes)
    cells.push_back(plane);
  for (double g : gammas) {
    cells.push_back(g);
    for (double plane : planes) {
      const double base = 300 * std::cos(g * 3.14159265 / 180 * 0.9) + 20;
      const double lobe = plane == 15 ? 1.6 : plane == 90 || plane == 270 ? 0.7 : 1.0;
      cells.push_back(base * lobe);
    }
  }
  LinkedTableAssign(luminaire.table.get(), static_cast<int>(planes.size()) + 1, static_cast<int>(gammas.size()) + 1,
                    cells.data());
}

TEST_F(DiagramView, ReportPicturesAreDrawnByTheInstalledView)
{
  CLightDevice luminaire;
  LoadDottedCaseLuminaire(luminaire);
  CRTFWriter writer;
  ASSERT_EQ(writer.Open(), 1);
  SetIntensityDiagramViewFactory({});
  EXPECT_FALSE(WriteIntensityDiagram(writer, luminaire, &parent, 1, 500, 420)) << "no view installed";
  const ULONGLONG before = writer.GetFile()->GetLength();
  EXPECT_EQ(writer.GetFile()->GetLength(), before);

  InstallIntensityDiagramView();
  ASSERT_TRUE(WriteIntensityDiagram(writer, luminaire, &parent, 0, 500, 250));
  const std::string all(reinterpret_cast<const char*>(writer.GetFile()->GetData()),
                        static_cast<std::size_t>(writer.GetFile()->GetLength()));
  const std::string head = "{\\pict\\wbitmap0\\pich250\\picw500\\wbmbitspixel32\\wbmplanes1\\wbmwidthbytes2000 ";
  const std::size_t at = all.find(head);
  ASSERT_NE(at, std::string::npos);
  const std::string digits = all.substr(at + head.size(), 500 * 250 * 8);
  int inked = 0;
  for (std::size_t i = 0; i + 8 <= digits.size(); i += 8)
    inked += digits.compare(i, 6, "ffffff") != 0;
  EXPECT_GT(inked, 2000) << "the diagram, not a blank bitmap";
}

TEST_F(DiagramView, DiagramsOfCatalogueLuminairesAsPictures)
{
  const std::string artifacts = TESMIRA_ARTIFACTS_DIR;
  const struct {
    const char* file;
    void (*load)(CLightDevice&);
  } luminaires[] = {{"led-street", &LoadMeasuredLuminaire}, {"dotted-c15", &LoadDottedCaseLuminaire}};
  for (const auto& l : luminaires) {
    CLightDevice luminaire;
    l.load(luminaire);
    for (int polar : {1, 0}) {
      Show(nullptr, 500, polar != 0 ? 420 : 250);
      DrawIntensityDiagram(luminaire, view.get(), polar);
      const std::string path =
          artifacts + "/intensity-diagram-" + l.file + (polar != 0 ? "-polar.png" : "-cartesian.png");
      EXPECT_TRUE(gdi::SavePng(static_cast<HBITMAP>(view->GetPicture()->GetSafeHandle()), path)) << path;
      EXPECT_GT(Shown().Count(0x000000), 100) << path << ": black curves";
    }
  }
}

}  // namespace
