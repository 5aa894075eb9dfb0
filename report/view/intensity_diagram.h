// The bridge from a luminaire's intensity table to the luminous intensity diagram window: the planes to show,
// each as a curve with its axis ranges, label, pen and style, handed to the window in one message; and the
// window's picture written into a report.
#pragma once

#include "platform/base/geometry.h"
#include "platform/base/wintypes.h"
#include "platform/mfc-core/mfcstring.h"

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

class CBitmap;
class CLightDevice;
class CRTFWriter;
class CWnd;

// Hands a curve set to the diagram window (`CLIDView` of the catalogues): lParam the first record of the set, or
// null; wParam unused (the report passes 1). The window draws before it answers and keeps the pointer: it redraws
// from it on a later size change, so the sender frees the set only once the window will not be resized.
inline constexpr UINT UM_SETCURVES = 0x8066;

// One curve of a diagram; a curve set is a contiguous array of them, owned by its sender.
struct _LID_CURVE {
  std::uint32_t count;  // in the first record: the number of records
  CString label;  // its first letter selects the legend form
  CString groupCaption;  // legend heading
  double xMin;  // degrees
  double xMax;
  double yMin;  // as in the intensity table
  double yMax;
  double* markerPoints;  // x, y pairs marked with small circles
  std::int32_t markerPointCount;
  double* curvePoints;  // x, y pairs of the polyline: angle in degrees, intensity
  std::int32_t curvePointCount;
  COLORREF colour;
  std::int32_t penWidth;
  std::int32_t polar;  // the first record's flag also selects the polar grid
  std::int32_t dashed;
  std::int32_t markers;  // only the first record's counts
};

// A curve before it becomes a record.
struct IntensityCurve {
  std::string label;
  std::vector<std::pair<double, double>> points;
  double xMin = 0, xMax = 0, yMin = 0, yMax = 0;
  int penWidth = 1;
  bool dotted = false;
};

// The curves of a luminaire's diagram: C-planes 0/180 and 90/270 (or B-plane 0), the plane of the maximum when it
// is none of those, and for B-planes the intensity at beta 0 against the plane angle ("Q0").
std::vector<IntensityCurve> BuildIntensityCurves(const CLightDevice& luminaire);

// Sends the luminaire's curves to the diagram window, which draws them into its bitmap before answering; the
// records are freed right after.
void DrawIntensityDiagram(const CLightDevice& luminaire, CWnd* view, int polar);

// The diagram window lies above the report, in the catalogues, which install how it is made at start-up.
struct IntensityDiagramViewFactory {
  // A child of `parent` with the given rectangle and id, shown; null when it could not be made. The report
  // deletes it (which destroys its window).
  CWnd* (*create)(CWnd* parent, const RECT& rect, UINT id) = nullptr;
  // The window's off-screen picture, valid while the window lives.
  CBitmap* (*picture)(CWnd* view) = nullptr;
};
void SetIntensityDiagramViewFactory(const IntensityDiagramViewFactory& factory);
const IntensityDiagramViewFactory& GetIntensityDiagramViewFactory();

// The window id the protocol's diagram windows get.
inline constexpr UINT kIntensityDiagramViewId = 32776;

// One diagram of the luminaire as a picture of the document: a window of width x height made as a child of
// `parent`, the polar or Cartesian curves drawn into it, its bitmap written and the window deleted. FALSE,
// with nothing written, when no window factory is installed or the window could not be made.
BOOL WriteIntensityDiagram(CRTFWriter& writer, const CLightDevice& luminaire, CWnd* parent, int polar, int width,
                           int height);
