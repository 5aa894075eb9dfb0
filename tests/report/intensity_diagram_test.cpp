// The curves of the intensity diagram from hand-made tables: which planes are shown, their labels, pens, mirrored
// sides and ranges, the dotted plane of the maximum, and the "Q0" curve of B-planes; and the one message the
// diagram window gets.
#include "report/view/intensity_diagram.h"

#include "model/intensity_table.h"
#include "model/light_device.h"
#include "platform/mfc/afxwin.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

using namespace IntensitySymmetry;

// A table with these plane and elevation angles, the intensity of each cell given by `value`.
void Fill(CLightDevice& luminaire, const std::vector<double>& planes, const std::vector<double>& elevations,
          const std::function<double(double plane, double elevation)>& value)
{
  const int rows = static_cast<int>(planes.size()) + 1;
  const int columns = static_cast<int>(elevations.size()) + 1;
  std::vector<double> cells;  // column by column, each from row 1 down
  cells.push_back(0.0);
  for (double p : planes)
    cells.push_back(p);
  for (double e : elevations) {
    cells.push_back(e);
    for (double p : planes)
      cells.push_back(value(p, e));
  }
  LinkedTableAssign(luminaire.table.get(), rows, columns, cells.data());
}

std::vector<double> Steps(double from, double to, double step)
{
  std::vector<double> angles;
  for (double a = from; a <= to; a += step)
    angles.push_back(a);
  return angles;
}

std::vector<std::string> Labels(const std::vector<IntensityCurve>& curves)
{
  std::vector<std::string> labels;
  for (const IntensityCurve& c : curves)
    labels.push_back(c.label + (c.dotted ? " dotted" : "") + " pen" + std::to_string(c.penWidth));
  return labels;
}

TEST(IntensityDiagram, CPlanesShowTheMainPlanesAndTheDottedPlaneOfTheMaximum)
{
  const struct {
    double maximumPlane;
    std::vector<double> planes;
    std::vector<std::string> labels;
  } cases[] = {
      {15, Steps(0, 345, 15),
       {"C0-C180 pen2", "C90-C270 pen1", "C0-C180 pen2", "C90-C270 pen1", "C15 dotted pen1"}},
      {90, Steps(0, 345, 15), {"C0-C180 pen2", "C90-C270 pen1", "C0-C180 pen2", "C90-C270 pen1"}},
      {270, Steps(0, 345, 15), {"C0-C180 pen2", "C90-C270 pen1", "C0-C180 pen2", "C90-C270 pen1"}},
      {22.5, {0, 22.5, 90, 180, 270}, {"C0-C180 pen2", "C90-C270 pen1", "C0-C180 pen2", "C90-C270 pen1",
                                        "C22 dotted pen1"}},
  };
  for (const auto& c : cases) {
    CLightDevice luminaire;
    luminaire.symmetryWord = kSystemC | kPlanesComplete | kGamma0To90;
    Fill(luminaire, c.planes, {0, 30, 60, 90}, [&](double plane, double gamma) {
      return (plane == c.maximumPlane ? 400.0 : 200.0) - gamma;
    });
    const std::vector<IntensityCurve> curves = BuildIntensityCurves(luminaire);
    EXPECT_EQ(Labels(curves), c.labels) << c.maximumPlane;
    for (const IntensityCurve& curve : curves)
      EXPECT_EQ(curve.yMax, 400.0);
  }

  // Plane 180 lies on the negative side; the X range widens there and flips at each 90/270 record.
  CLightDevice luminaire;
  luminaire.symmetryWord = kSystemC | kPlanesComplete | kGamma0To90;
  Fill(luminaire, {0, 90, 180, 270}, {0, 45, 90}, [](double, double gamma) { return 100.0 - gamma; });
  const std::vector<IntensityCurve> curves = BuildIntensityCurves(luminaire);
  ASSERT_EQ(curves.size(), 4u);
  EXPECT_EQ(curves[0].points, (std::vector<std::pair<double, double>>{{0, 100}, {45, 55}, {90, 10}}));
  EXPECT_EQ(curves[2].points, (std::vector<std::pair<double, double>>{{-0.0, 100}, {-45, 55}, {-90, 10}}));
  // Plane 270: mirrored to (0, 90), then its negated points widen it to -90.
  const double ranges[4][2] = {{0, 90}, {-90, 0}, {-90, 0}, {-90, 90}};
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(curves[i].xMin, ranges[i][0]) << i;
    EXPECT_EQ(curves[i].xMax, ranges[i][1]) << i;
  }
}

TEST(IntensityDiagram, BPlanesEndWithTheQ0CurveOnlyWhenBetaZeroIsThere)
{
  CLightDevice luminaire;
  luminaire.symmetryWord = kSystemB | kPlanesBComplete;
  // The maximum of plane 30 off beta 0 does not count; the one at beta 0 of plane 60 does.
  Fill(luminaire, {-60, -30, 0, 30, 60}, {-90, -45, 0, 45, 90}, [](double b, double beta) {
    if (b == 30 && beta == 45)
      return 900.0;
    if (b == 60 && beta == 0)
      return 500.0;
    return 100.0;
  });
  std::vector<IntensityCurve> curves = BuildIntensityCurves(luminaire);
  EXPECT_EQ(Labels(curves), (std::vector<std::string>{"B0 pen1", "B60 dotted pen1", "Q0 pen2"}));
  EXPECT_EQ(curves.back().points, (std::vector<std::pair<double, double>>{
                                      {-60, 100}, {-30, 100}, {0, 100}, {30, 100}, {60, 500}}));
  EXPECT_EQ(curves[0].yMax, 500.0);
  EXPECT_EQ(curves.back().yMax, 500.0) << "the B system widens Y with every point drawn";

  Fill(luminaire, {-30, 0, 30}, {-60, -20, 20, 60}, [](double, double) { return 50.0; });
  curves = BuildIntensityCurves(luminaire);
  EXPECT_EQ(Labels(curves), (std::vector<std::string>{"B0 pen1"}));
}

// The diagram window: it reads the records while the message lasts.
class RecordingDiagram : public CWnd {
public:
  LRESULT OnSetCurves(WPARAM title, LPARAM first)
  {
    this->title = static_cast<int>(title);
    const auto* records = reinterpret_cast<const _LID_CURVE*>(first);
    for (std::uint32_t i = 0; i < records[0].count; ++i) {
      const _LID_CURVE& r = records[i];
      seen.push_back(std::string(r.label) + "|" + std::string(r.groupCaption) + "|" + std::to_string(r.polar) +
                     "|" + std::to_string(r.curvePointCount) + "|" +
                     std::to_string(r.markerPoints[1] == r.curvePoints[1]) + "|" + std::to_string(r.dashed) + "|" +
                     std::to_string(r.markers));
      counts.push_back(static_cast<int>(r.count));
    }
    return 0;
  }
  int title = 0;
  std::vector<std::string> seen;
  std::vector<int> counts;
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(RecordingDiagram, CWnd)
  ON_MESSAGE(UM_SETCURVES, &RecordingDiagram::OnSetCurves)
END_MESSAGE_MAP()

TEST(IntensityDiagram, TheWindowGetsEveryRecordInOneMessage)
{
  CLightDevice luminaire;
  luminaire.displayName = "ЖКУ 150";
  luminaire.symmetryWord = kSystemC | kPlanesComplete | kGamma0To90;
  Fill(luminaire, Steps(0, 345, 15), {0, 45, 90}, [](double plane, double) { return plane == 15 ? 300.0 : 100.0; });
  RecordingDiagram diagram;
  ASSERT_TRUE(diagram.CreateEx(0, AfxRegisterWndClass(0), "", WS_POPUP, 0, 0, 500, 420, nullptr, nullptr));
  DrawIntensityDiagram(luminaire, &diagram, 1);
  EXPECT_EQ(diagram.title, 1);
  EXPECT_EQ(diagram.seen, (std::vector<std::string>{"C0-C180|ЖКУ 150|1|3|1|0|0", "C90-C270|ЖКУ 150|1|3|1|0|0",
                                                    "C0-C180|ЖКУ 150|1|3|1|0|0", "C90-C270|ЖКУ 150|1|3|1|0|0",
                                                    "C15|ЖКУ 150|1|3|1|1|0"}));
  EXPECT_EQ(diagram.counts.front(), 5) << "only the first record carries the count";
  diagram.DestroyWindow();
}

}  // namespace
