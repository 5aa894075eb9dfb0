// The bridge from a luminaire's intensity table to the luminous intensity diagram window: the planes to show,
// each as a curve with its axis ranges, label, pen and style, handed to the window in one message.
#pragma once

#include "platform/base/wintypes.h"
#include "platform/mfc-core/mfcstring.h"

#include <string>
#include <utility>
#include <vector>

class CLightDevice;
class CWnd;

// The diagram window's message: wParam non-zero draws the title (the first record's label), lParam the first
// record of the array, whose count field holds the number of records.
inline constexpr UINT UM_LID_SETCURVES = 0x8066;

// One curve of the diagram, as the window reads it; the records stand one after another in one array.
struct _LIDCURVE {
  int count;  // in the first record: the number of records
  CString label;
  CString luminaireName;
  double xMin;  // degrees
  double xMax;
  double yMin;  // cd/klm
  double yMax;
  double* points;  // x, y pairs
  int pointCount;
  double* drawingPoints;  // a copy of the points
  int drawingPointCount;
  COLORREF colour;
  int penWidth;
  int reserved1;
  int polar;
  int unfilled;
  int dotted;  // a plane shown only because it holds the maximum
  int reserved2;
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
