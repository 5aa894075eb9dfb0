// Freely shaped areas (typical forms, open sites) in the view: the background (a raster underlay's tiles or a
// plain rectangle), every visible primitive, and the area's results masked by the stencil to the primitives
// they belong to (memberships 1, 2, 3 and 5 and shading-object footprints; membership 0 cuts holes).
#pragma once

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
// results are drawn through it.
void DrawPrimitives3D(IArea* area, CPrimitiveDrawContext& context, int resultsValid);
void DrawVertexPrimitive(CPrimitiveDrawContext& context, IPrimitive* primitive, bool shading, double height);
