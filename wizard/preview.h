// The small plans the wizard's pages draw beside their input group: the calculation area with its dimensions,
// the open-site form as the model has just built it, and one span of a straight road with its poles.
// Numbers in the pictures have at most two decimals and no trailing zeros.
#pragma once

#include "platform/mfc/afxwin.h"

struct IArea;

namespace Wizard {

// Colours of the pictures.
inline constexpr COLORREF kPictureWhite = RGB(255, 255, 255);
inline constexpr COLORREF kPictureGreen = RGB(0, 100, 0);
inline constexpr COLORREF kPictureGrey = RGB(110, 110, 110);
inline constexpr COLORREF kPictureYellow = RGB(210, 210, 0);
inline constexpr COLORREF kPictureBlack = RGB(0, 0, 0);

// Where a page may draw, in client pixels.
struct PictureBox {
  int x0 = 0;
  int y0 = 0;
  int width = 0;
  int height = 0;
};

// A shape of X by Y metres placed in a box: the larger extent fills the box in both directions.
struct PicturePlan {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
  int cx = 0;
  int cy = 0;
  double metresPerPixel = 0;  // vertical
};
PicturePlan PlaceInBox(const PictureBox& box, double x, double y);

// The box beside the input group (section, typical-form and straight-road pages) or beside the arrangement
// combo (lighting-scheme page); both also give the page's picture rectangle.
PictureBox BoxBesideGroup(CWnd* page, int referenceId, RECT* pictureRect);
PictureBox BoxBesideCombo(CWnd* page, int referenceId, RECT* pictureRect);

// The label font of the pictures (14 pixels, "MS Shell Dlg").
void CreateLabelFont(CFont& font);
// "%.2lf" without trailing zeros.
CString DimensionLabel(double value);
void DrawHorizontalDimension(CDC& dc, CFont& labelFont, int left, int right, int y, const CString& label);
void DrawVerticalDimension(CDC& dc, CFont& labelFont, int left, int top, int bottom, const CString& label);
// White header band from the client top to the header line.
void FillHeaderBand(CWnd* page, CDC& dc);

// The open site's primitives: membership 2 grey, then 0 dark green, then 1 grey, in logical millimetres.
void DrawPrimitives(IArea* area, CDC* dc, const RECT& picture);
void FillBezierEllipse(POINT centre, int semiAxisX, int semiAxisY, double rotationDegrees, CDC* dc);
void FillRingSector(double cx, double cy, double outerX, double outerY, double innerRadius, double rotationDegrees,
                    double sectorDegrees, CDC* dc);
void DrawArmMark(CBrush& brush, int armLength, CDC* dc, bool up, POINT foot);

// The calculation area of `lengthM` × `widthM`; with `area`, also the form's primitives over it.
void PaintAreaPicture(CWnd* page, CDC& dc, CFont& labelFont, double lengthM, double widthM, IArea* area,
                      RECT* pictureRect);

// One span of a straight road as the two straight-road pages hold it.
struct RoadSpan {
  int roadState = 0;
  int sidewalkFlags = 0;
  int twoWay = 0;
  double spacing = 0;
  int lanes = 0;
  double laneWidth = 0;
  int divider = 0;
  double dividerWidth = 0;
  int sidewalk = 0;
  double sidewalkWidth = 0;
  double gap = 0;
};
// The road's values as the pages load them (the area width recomputed first).
void LoadRoadSpan(IArea* area, RoadSpan& span);
// Cross-section width: carriageway and, when on, both sidewalks with their gaps.
double CarriagewayWidth(const RoadSpan& span);
double CrossSectionWidth(const RoadSpan& span);

void PaintRoadPicture(CWnd* page, CDC& dc, CFont& labelFont, const RoadSpan& span, RECT* pictureRect);
// The same span with the poles of `arrangement` (0..5) from the area's first group and pole.
void PaintSchemePicture(CWnd* page, CDC& dc, CFont& labelFont, const RoadSpan& span, int arrangement, IArea* area,
                        RECT* pictureRect);

}  // namespace Wizard
