// The calculation surface of a vertex-polygon primitive of a multi-level interchange: the triangle mesh whose
// points are the interchange engine's calculation points. It meshes and refines the primitive's outline, takes
// one value per point from the engine result, averages them by area, builds isolines with labels, colours the
// mesh by the colour levels and draws itself: a translucent sheet in the primitive's colour while there are no
// values, the coloured mesh with its isolines once there are. It is stored in the primitive's block.
//
// Threads: LoadPolygon, RebuildMesh and RefineMesh change the mesh and run on the window's thread, before the
// calculation worker starts; the engine input writer on the worker only reads (GetPolygon, IsRefinedTo).
#pragma once

#include "geometry/mesh/mesh_isolines.h"
#include "model/iprimitive.h"
#include "model/primitive_services.h"

#include <cstdint>
#include <memory>
#include <vector>

struct IVisualOpt;

namespace SurfaceFlags {
inline constexpr DWORD kRefined = 0x1;
inline constexpr DWORD kValuesShown = 0x2;
inline constexpr DWORD kIsolinesShown = 0x4;
}  // namespace SurfaceFlags

// Mesh points lie this far above the primitive's outline.
inline constexpr double kMeshPointRaise = 0.04;

// A side wall of the sheet along one outline edge: A, A raised, B raised, B.
struct CMeshWallQuad {
  double corners[4][3] = {};
};

// The unrefined mesh as the sheet is drawn: shared vertices, triangles, walls along the outline.
class CCalcMesh {
public:
  void Clear();
  // The polygon's mesh triangles on shared vertices (matched exactly), lowered by the z offset, and the walls
  // along the primitive's outline.
  void BuildFromPolygon(IPrimitive* primitive, const CQorTriPolygon& polygon);

  MeshPointList vertices;
  std::vector<std::unique_ptr<CTriTriangle>> triangles;
  std::vector<CMeshWallQuad> wallQuads;
  double zOffset = 0.05;
};

// What the coloured mesh is drawn from, one entry per polygon point.
struct CMeshArrays {
  void Clear();

  std::vector<double> positions;
  std::vector<double> normals;
  std::vector<double> colours;
  std::vector<std::uint32_t> indices;
  std::uint32_t indexCount = 0;
};

class CPrimitiveCalcSurface : public ObjectModel::CPrimitiveCalcSurface {
public:
  explicit CPrimitiveCalcSurface(IPrimitive* primitive) : m_primitive(primitive) {}
  ~CPrimitiveCalcSurface() override;

  void Reset() override;
  // The outline's points, repeats dropped, when it passes the outline check; none when it is refused.
  void LoadPolygon();
  // False when the outline is refused, by its check or by the triangulation (the polygon then has no
  // triangles).
  bool RebuildMesh() override;
  const char* GetOutlineFault() const override { return m_outlineFault; }
  // A second call with the same step changes nothing.
  void RefineMesh(double step) override;
  double ComputeArea() override;
  void ComputeAverage() override;
  void BuildIsolines(IVisualOpt* options) override;
  void BuildVertexArrays();
  void ApplyColorLevels(IVisualOpt* options) override;
  void ApplyVisualOptions(IVisualOpt* options, int refresh);
  // The calculation state is the main window's answer to its state query; the sheet is drawn only when idle.
  void Draw(bool calculationIdle);
  void DrawMesh(bool calculationIdle);
  // Only for format 4.3.5.0 and later.
  void Serialize(CArchive& ar, DWORD formatVersion) override;
  // Through the stored form, plus what it leaves out (area, step, colours shown, sheet opacity).
  void CopyFrom(const ObjectModel::CPrimitiveCalcSurface& source) override;

  // What the engine writer reads.
  const CQorTriPolygon& GetPolygon() const { return m_polygon; }
  bool IsRefinedTo(double step) const override { return (m_flags & SurfaceFlags::kRefined) != 0 && m_polygon.step == step; }
  // What the result reader fills: one value per point, in point order.
  CQorTriPolygon& GetPolygon() { return m_polygon; }
  // The same through the model's view of a surface.
  std::size_t GetMeshTriangleCount() const override { return m_polygon.meshTriangles.size(); }
  void GetMeshTriangle(std::size_t i, double corners[3][3]) const override;
  std::size_t GetPointCount() const override { return m_polygon.points.size(); }
  void GetMeshPoint(std::size_t i, double position[3], double normal[3]) const override;
  void SetPointValue(std::size_t i, double value) override;
  void SetValueRange(double minimum, double maximum) override
  {
    m_minValue = minimum;
    m_maxValue = maximum;
  }

  IPrimitive* GetPrimitive() const { return m_primitive; }
  const CMeshIsolineSet& GetIsolines() const { return m_isolines; }
  const CCalcMesh& GetCalcMesh() const { return m_mesh; }
  const CMeshArrays& GetArrays() const { return m_arrays; }
  DWORD GetFlags() const { return m_flags; }
  double GetMeanValue() const override { return m_meanValue; }
  double GetWeightedSum() const override { return m_weightedSum; }
  double GetTotalArea() const override { return m_totalArea; }
  double GetMinValue() const { return m_minValue; }
  double GetMaxValue() const { return m_maxValue; }
  double GetLabelHeight() const { return m_labelHeight; }
  const float* GetIsolineColour() const { return m_isolineColour; }
  // The opacity of the sheet; the view sets it.
  double GetAlpha() const { return m_alpha; }
  void SetAlpha(double alpha) { m_alpha = alpha; }

private:
  void ReleaseMeshes();
  void BuildLabels();

  IPrimitive* m_primitive;
  const char* m_outlineFault = nullptr;
  CQorTriPolygon m_polygon;
  CTriSweep* m_sweepHolder = nullptr;
  CMeshEdgeTable m_edgeTable;
  CMeshIsolineSet m_isolines;
  double m_meanValue = 0;
  double m_weightedSum = 0;
  double m_labelHeight = 0;
  double m_alpha = 1.0;
  float m_isolineColour[3] = {0, 0, 0};
  double m_minValue = 0;
  double m_maxValue = 0;
  double m_totalArea = 0;
  DWORD m_flags = 0;
  CCalcMesh m_mesh;
  CMeshArrays m_arrays;
};

// The geometry behind a primitive's surface; null while the primitive holds the model's stand-in.
CPrimitiveCalcSurface* CalcSurfaceOf(IPrimitive* primitive);

// Geometry's answers to what a primitive needs of it, for the application to install once
// (ObjectModel::SetPrimitiveServices): the checked least-area triangulation of an outline and this surface.
class CGeometryPrimitiveServices : public ObjectModel::CPrimitiveServices {
public:
  const char* TriangulateOutline(CArray<_CSPOINT3D>& outline,
                                 std::vector<ObjectModel::PrimitiveTriangle>& out) override;
  ObjectModel::CPrimitiveCalcSurface* CreateCalcSurface(IPrimitive* primitive) override;
};
