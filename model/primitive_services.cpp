#include "model/primitive_services.h"

#include "model/version.h"
#include "platform/mfc-core/archive.h"
#include "platform/mfc-core/exceptions.h"

#include <algorithm>

namespace ObjectModel {

namespace {

CPrimitiveServices g_defaultServices;
CPrimitiveServices* g_services = nullptr;

// The surface block, walked without building anything so that it can be kept as it stands:
//   mean, weighted sum, label height, minimum, maximum (doubles); flags (int32);
//   polygon: point count N, N x 84-byte points, received-triangle count T, T x 3 int32 indices, mesh-triangle
//   count M, M x 3 int32 indices;
//   isolines: level count; per level its value (double) and curve count; per curve its segment count; per
//   segment point a, point b (six doubles and an int32 each), index (int32), length (double), flags (int32).
class BlockReader {
public:
  BlockReader(CArchive& ar, std::vector<std::uint8_t>& into) : m_ar(ar), m_into(into) {}

  void Take(ULONGLONG bytes)
  {
    m_ar.EnsureAvailable(bytes);
    const size_t at = m_into.size();
    m_into.resize(at + static_cast<size_t>(bytes));
    if (bytes && m_ar.Read(m_into.data() + at, static_cast<UINT>(bytes)) != bytes)
      AfxThrowArchiveException(CArchiveException::endOfFile, m_ar.m_strFileName);
  }

  // A count followed by items of at least itemBytes each: refused when the rest of the file cannot hold them.
  std::uint32_t Count(ULONGLONG itemBytes)
  {
    Take(4);
    std::int32_t n = 0;
    std::memcpy(&n, m_into.data() + m_into.size() - 4, 4);
    if (n < 0)
      AfxThrowArchiveException(CArchiveException::genericException, m_ar.m_strFileName);
    m_ar.EnsureAvailable(static_cast<ULONGLONG>(n) * itemBytes);
    return static_cast<std::uint32_t>(n);
  }

private:
  CArchive& m_ar;
  std::vector<std::uint8_t>& m_into;
};

constexpr ULONGLONG kMeshPointBytes = 84;
constexpr ULONGLONG kTriangleBytes = 12;
constexpr ULONGLONG kIsoPointBytes = 52;
constexpr ULONGLONG kSegmentBytes = 2 * kIsoPointBytes + 4 + 8 + 4;

}  // namespace

void CPrimitiveCalcSurface::Serialize(CArchive& ar, DWORD fileVersion)
{
  if (!IsVersionAtLeast(fileVersion, MakeFormatVersion(4, 3, 5, 0)))
    return;
  if (ar.IsStoring()) {
    if (!m_stored.empty()) {
      ar.Write(m_stored.data(), static_cast<UINT>(m_stored.size()));
      return;
    }
    const double zero = 0;
    for (int i = 0; i < 5; ++i)
      ar << zero;
    const std::int32_t none = 0;
    ar << none << none << none << none << none;
    return;
  }
  std::vector<std::uint8_t> block;
  BlockReader in(ar, block);
  in.Take(5 * 8 + 4);
  in.Take(in.Count(kMeshPointBytes) * kMeshPointBytes);
  in.Take(in.Count(kTriangleBytes) * kTriangleBytes);
  in.Take(in.Count(kTriangleBytes) * kTriangleBytes);
  const std::uint32_t levels = in.Count(12);
  for (std::uint32_t l = 0; l < levels; ++l) {
    in.Take(8);
    const std::uint32_t curves = in.Count(4);
    for (std::uint32_t c = 0; c < curves; ++c)
      in.Take(in.Count(kSegmentBytes) * kSegmentBytes);
  }
  m_stored = std::move(block);
}

void CPrimitiveCalcSurface::Reset() { m_stored.clear(); }

void CPrimitiveCalcSurface::CopyFrom(const CPrimitiveCalcSurface& source) { m_stored = source.m_stored; }

void CPrimitiveCalcSurface::GetMeshTriangle(std::size_t, double corners[3][3]) const
{
  std::fill(&corners[0][0], &corners[0][0] + 9, 0.0);
}

void CPrimitiveCalcSurface::GetMeshPoint(std::size_t, double position[3], double normal[3]) const
{
  std::fill(position, position + 3, 0.0);
  std::fill(normal, normal + 3, 0.0);
}

const char* CPrimitiveServices::TriangulateOutline(CArray<_CSPOINT3D>&, std::vector<PrimitiveTriangle>& out)
{
  out.clear();
  return nullptr;
}

CPrimitiveCalcSurface* CPrimitiveServices::CreateCalcSurface(IPrimitive*) { return new CPrimitiveCalcSurface(); }

void SetPrimitiveServices(CPrimitiveServices* services) { g_services = services; }

CPrimitiveServices& GetPrimitiveServices() { return g_services ? *g_services : g_defaultServices; }

}  // namespace ObjectModel
