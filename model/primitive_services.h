// What a primitive needs of the geometry subsystem, which sits above the model: the triangulation of a polygon
// outline (with the check that refuses a self-crossing outline first) and the calculation surface each
// primitive owns. The application installs geometry's answers; until then the defaults below stand: no
// triangles, and a surface that keeps its stored block as it read it.
#pragma once

#include "model/ipole.h"
#include "platform/mfc-core/array.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

class CArchive;
struct IPrimitive;
struct IVisualOpt;

namespace ObjectModel {

// The calculation surface of one primitive: its block in the primitive's stored form and its reset, and what
// the interchange's copy, engine writer and result reader ask of its mesh. Without geometry there is no mesh:
// no triangles, no points.
class CPrimitiveCalcSurface {
public:
  virtual ~CPrimitiveCalcSurface() = default;
  virtual void Serialize(CArchive& ar, DWORD fileVersion);
  virtual void Reset();
  // A deep copy of a surface of the same kind, values and colours included: an undo state keeps them.
  virtual void CopyFrom(const CPrimitiveCalcSurface& source);

  // Made on the window's thread. RebuildMesh: false when the outline is refused (the mesh is then empty, never
  // a part of one). The stand-in has no mesh to make and no check to refuse by.
  virtual bool RebuildMesh() { return true; }
  // Why the last RebuildMesh refused the outline, for the user; null when it made the mesh (or failed for a
  // reason the user cannot mend).
  virtual const char* GetOutlineFault() const { return nullptr; }
  virtual void RefineMesh(double) {}
  virtual bool IsRefinedTo(double) const { return false; }
  virtual double ComputeArea() { return 0.0; }

  // What the engine writer reads: the unrefined mesh triangles (corners as stored, above the outline) and the
  // calculation points with their normals, in point order.
  virtual std::size_t GetMeshTriangleCount() const { return 0; }
  virtual void GetMeshTriangle(std::size_t, double corners[3][3]) const;
  virtual std::size_t GetPointCount() const { return 0; }
  virtual void GetMeshPoint(std::size_t, double position[3], double normal[3]) const;

  // What the result reader fills: one value per point, then the mean and the colours.
  virtual void SetPointValue(std::size_t, double) {}
  virtual void ComputeAverage() {}
  virtual double GetMeanValue() const { return 0.0; }
  virtual double GetWeightedSum() const { return 0.0; }
  virtual double GetTotalArea() const { return 0.0; }
  virtual void SetValueRange(double, double) {}
  virtual void BuildIsolines(IVisualOpt*) {}
  virtual void ApplyColorLevels(IVisualOpt*) {}

private:
  // The block as read; an empty surface is written when nothing was read.
  std::vector<std::uint8_t> m_stored;
};

using PrimitiveTriangle = std::array<_CSPOINT3D, 3>;

class CPrimitiveServices {
public:
  virtual ~CPrimitiveServices() = default;

  // The least-area triangles of the outline, in the triangulation's order. May drop repeated points from the
  // outline first; answers the message for the user when the outline is refused (then no triangles), else
  // null. Without geometry: no triangles, no message.
  virtual const char* TriangulateOutline(CArray<_CSPOINT3D>& outline, std::vector<PrimitiveTriangle>& out);

  // A new surface bound to the primitive; the primitive owns it.
  virtual CPrimitiveCalcSurface* CreateCalcSurface(IPrimitive* primitive);
};

// Installed once and kept alive by the installer; null restores the defaults.
void SetPrimitiveServices(CPrimitiveServices* services);
CPrimitiveServices& GetPrimitiveServices();

}  // namespace ObjectModel
