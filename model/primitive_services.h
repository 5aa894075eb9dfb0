// What a primitive needs of the geometry subsystem, which sits above the model: the triangulation of a polygon
// outline (with the check that refuses a self-crossing outline first) and the calculation surface each
// primitive owns. The application installs geometry's answers; until then the defaults below stand: no
// triangles, and a surface that keeps its stored block as it read it.
#pragma once

#include "model/ipole.h"
#include "platform/mfc-core/array.h"

#include <array>
#include <cstdint>
#include <vector>

class CArchive;
struct IPrimitive;

namespace ObjectModel {

// The calculation surface of one primitive: its block in the primitive's stored form and its reset.
class CPrimitiveCalcSurface {
public:
  virtual ~CPrimitiveCalcSurface() = default;
  virtual void Serialize(CArchive& ar, DWORD fileVersion);
  virtual void Reset();

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
