// Freely shaped areas (typical forms, open sites) in the view: the background (a raster underlay's tiles or a
// plain rectangle), every visible primitive, and the area's results masked by the stencil to the primitives
// they belong to (memberships 1, 2, 3 and 5 and shading-object footprints; membership 0 cuts holes).
#pragma once

#include "platform/mfc-core/array.h"

struct _CSPOINT3D;
class CCalcAreaManager;
class CGraphicCoreFull;
class CScenePalette;
struct IArea;
struct IPrimitive;
struct IQorRoadDoc;

// What the primitives are drawn with during one pass.
class CPrimitiveDrawContext {
public:
  CPrimitiveDrawContext(CGraphicCoreFull* core, IQorRoadDoc* document, CScenePalette* palette)
      : m_core(core), m_document(document), m_palette(palette)
  {
  }

  CGraphicCoreFull* m_core;
  CCalcAreaManager* m_manager = nullptr;
  IQorRoadDoc* m_document;
  CScenePalette* m_palette;
  double m_lift = 0;
  double m_selectedRaise = 0.05;
  bool m_transparent = false;
  double m_alpha = 0.5;
};

class ICustomizeRoadDrawer {
public:
  ICustomizeRoadDrawer(CGraphicCoreFull* core);
  virtual ~ICustomizeRoadDrawer() = default;
  ICustomizeRoadDrawer(const ICustomizeRoadDrawer&) = delete;
  ICustomizeRoadDrawer& operator=(const ICustomizeRoadDrawer&) = delete;

  virtual void Draw() {}
  virtual void DrawBackground(IArea*) {}

  CPrimitiveDrawContext& GetContext() { return m_context; }

protected:
  IQorRoadDoc* m_document;
  CScenePalette* m_palette;
  CPrimitiveDrawContext m_context;
};

class CCustomizeRoadDrawer3D final : public ICustomizeRoadDrawer {
public:
  explicit CCustomizeRoadDrawer3D(CGraphicCoreFull* core) : ICustomizeRoadDrawer(core), m_core(core) {}

  void Draw() override;
  void DrawBackground(IArea* area) override;

  int m_rasterSwitch = 1;

private:
  CGraphicCoreFull* m_core;
};

// Every visible primitive of the area; with results, the stencil marks what the results may cover and the
// results are drawn through it. Outside 3D views, selected primitives (and every one while contours are shown)
// get their outlines and handles.
void DrawPrimitives3D(IArea* area, CPrimitiveDrawContext& context, int resultsValid);
// A vertex polygon from its mesh, or only its outline; a shading object as a prism.
void DrawVertexPrimitive(CPrimitiveDrawContext& context, IPrimitive* primitive, bool outlineOnly, bool selected,
                         bool contour, int resultsValid, bool shading);
// Dotted outline at height z (in front of the primitives in plan views) with the handles of the shape.
void DrawPrimitiveOutline(CPrimitiveDrawContext& context, bool selected, bool contour, double z,
                          IPrimitive* primitive);
void DrawPrimitiveHandles(CPrimitiveDrawContext& context, IPrimitive* primitive, bool selected);

// The geometry record of a primitive: 0 its centre; 1-7 the handles (-a, b), (-a, 0), (-a, -b), (0, -b), (a, -b),
// (a, 0), (a, b); 8 the triangle's apex; 9 (0, b); 10 (0, 0). Points 1-10 are relative to the centre and turned
// with the primitive; a = size 2 / 2, b = size 1 / 2, both the larger half-size for a ring sector.
void FillPrimitiveGeometry(double geometry[11][3], IPrimitive* primitive);
// The first outline vertex flagged selected (bit 0x2), or -1.
int FindSelectedVertex(const CArray<_CSPOINT3D>& outline);

// GL lines between consecutive points first..last at height z, or with `closing` only the segment from the last
// point back to the first.
void DrawPointSegments(const CArray<_CSPOINT3D>& points, int first, int last, bool closing, double z);
// A square per vertex: a yellow outline for a selected vertex, else filled in the colour.
void DrawVertexHandles(const CArray<_CSPOINT3D>& points, int count, const float colour[3], double half, double z);
void DrawSquare(double z, double half, const double centre[2]);
// The primitive's placement contour, when it has more than two points and a positive offset.
void DrawDashedContour(IPrimitive* primitive, bool closing);
