#include "outside/engines/point_lights.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <numbers>

#if defined(__x86_64__)
#include <immintrin.h>
#define TESMIRA_LIGHTS_X86 1
#endif

namespace Engines {
namespace {

std::atomic<LightingPath> g_path{LightingPath::Automatic};

bool ProcessorHasVector()
{
#if TESMIRA_LIGHTS_X86
  static const bool has = __builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma");
  return has;
#else
  return false;
#endif
}

bool UseVector()
{
  return g_path.load(std::memory_order_relaxed) != LightingPath::Baseline && ProcessorHasVector();
}

void BaselineIlluminance(const std::vector<const Luminaire*>& lights, const PointColumns& pts,
                         const LightBlocker& blocker, double* e)
{
  for (std::size_t k = 0; k < pts.count; ++k) {
    const Vec3 p{pts.x[k], pts.y[k], pts.z[k]};
    const bool upward = !pts.nx;
    const Vec3 n = upward ? Vec3{0.0, 0.0, 1.0} : Vec3{pts.nx[k], pts.ny[k], pts.nz[k]};
    double sum = 0.0;
    for (const Luminaire* l : lights) {
      const Vec3 d = p - l->position;
      const double facing = upward ? -d.z : -Dot(d, n);  // |d| cos(incidence)
      if (facing <= 0.0)
        continue;
      const double intensity = l->IntensityTowards(d);
      if (intensity <= 0.0)
        continue;
      if (blocker.blocked && blocker.blocked(blocker.context, p, l->position))
        continue;
      const double dist2 = Dot(d, d);
      sum += intensity * facing / (dist2 * std::sqrt(dist2));
    }
    e[k] = sum;
  }
}

#if TESMIRA_LIGHTS_X86

#define VECTOR_CODE __attribute__((target("avx2,fma"), always_inline)) inline

VECTOR_CODE __m256d Abs(__m256d a) { return _mm256_andnot_pd(_mm256_set1_pd(-0.0), a); }

// a - b s
VECTOR_CODE __m256d Term(double a, double b, __m256d s)
{
  return _mm256_fnmadd_pd(_mm256_set1_pd(b), s, _mm256_set1_pd(a));
}

// d . (a, b, c)
VECTOR_CODE __m256d DotWith(__m256d dx, __m256d dy, __m256d dz, double a, double b, double c)
{
  return _mm256_fmadd_pd(dx, _mm256_set1_pd(a),
                         _mm256_fmadd_pd(dy, _mm256_set1_pd(b), _mm256_mul_pd(dz, _mm256_set1_pd(c))));
}

// FastAtan2 of four lanes, in degrees, in two halves around its one division, so that the divisions of several
// angles can share one.
struct Atan2Parts {
  __m256d x, y, steep, reduce, none, num, den;
};

VECTOR_CODE Atan2Parts Atan2Begin(__m256d y, __m256d x)
{
  const __m256d ax = Abs(x), ay = Abs(y);
  const __m256d steep = _mm256_cmp_pd(ay, ax, _CMP_GT_OQ);
  const __m256d big = _mm256_blendv_pd(ax, ay, steep), small = _mm256_blendv_pd(ay, ax, steep);
  const __m256d sqrt3 = _mm256_set1_pd(1.7320508075688772);
  const __m256d reduce = _mm256_cmp_pd(small, _mm256_mul_pd(_mm256_set1_pd(0.26794919243112270), big), _CMP_GT_OQ);
  const __m256d none = _mm256_cmp_pd(big, _mm256_setzero_pd(), _CMP_EQ_OQ);
  const __m256d num = _mm256_blendv_pd(small, _mm256_fmsub_pd(sqrt3, small, big), reduce);
  // Both zero: a denominator of 1 keeps the shared division finite; the lane's answer is set at the end.
  const __m256d den = _mm256_blendv_pd(_mm256_blendv_pd(big, _mm256_fmadd_pd(sqrt3, big, small), reduce),
                                       _mm256_set1_pd(1.0), none);
  return {x, y, steep, reduce, none, num, den};
}

VECTOR_CODE __m256d Atan2Degrees(const Atan2Parts& a, __m256d t)
{
  const __m256d base = _mm256_and_pd(a.reduce, _mm256_set1_pd(std::numbers::pi / 6.0));
  const __m256d s = _mm256_mul_pd(t, t), s2 = _mm256_mul_pd(s, s), s4 = _mm256_mul_pd(s2, s2);
  const __m256d q0 = Term(1.0, 1.0 / 3.0, s), q1 = Term(1.0 / 5.0, 1.0 / 7.0, s),
                q2 = Term(1.0 / 9.0, 1.0 / 11.0, s), q3 = Term(1.0 / 13.0, 1.0 / 15.0, s);
  const __m256d p = _mm256_fmadd_pd(_mm256_fmadd_pd(q3, s2, q2), s4, _mm256_fmadd_pd(q1, s2, q0));
  __m256d r = _mm256_fmadd_pd(t, p, base);
  r = _mm256_blendv_pd(r, _mm256_sub_pd(_mm256_set1_pd(std::numbers::pi / 2.0), r), a.steep);
  r = _mm256_blendv_pd(r, _mm256_sub_pd(_mm256_set1_pd(std::numbers::pi), r),
                       _mm256_cmp_pd(a.x, _mm256_setzero_pd(), _CMP_LT_OQ));
  // Both zero: what the library gives (0 or pi by x's sign).
  const __m256d behind = _mm256_and_pd(_mm256_castsi256_pd(_mm256_srai_epi32(
                                           _mm256_shuffle_epi32(_mm256_castpd_si256(a.x), 0xF5), 31)),
                                       _mm256_set1_pd(std::numbers::pi));
  r = _mm256_blendv_pd(r, behind, a.none);
  const __m256d sign = _mm256_set1_pd(-0.0);
  r = _mm256_or_pd(_mm256_andnot_pd(sign, r), _mm256_and_pd(sign, a.y));
  return _mm256_mul_pd(r, _mm256_set1_pd(180.0 / std::numbers::pi));
}

// The interval of v on an axis of equal steps (v within the axis): the lower end i <= count - 2 and the weight of
// the upper end, from the quotient alone. Where the quotient rounds across a tabulated value the weight comes out
// a rounding beyond 0 or 1 in the neighbouring interval, which interpolates to the same intensity.
VECTOR_CODE __m128i Interval(__m256d v, double origin, double inverseStep, int count, __m256d& weight)
{
  const __m256d f = _mm256_max_pd(_mm256_mul_pd(_mm256_sub_pd(v, _mm256_set1_pd(origin)), _mm256_set1_pd(inverseStep)),
                                  _mm256_setzero_pd());
  const __m256d lower =
      _mm256_round_pd(_mm256_min_pd(f, _mm256_set1_pd(count - 2)), _MM_FROUND_TO_ZERO | _MM_FROUND_NO_EXC);
  weight = _mm256_sub_pd(f, lower);
  return _mm256_cvttpd_epi32(lower);
}

// The values at index[k] and index[k] + 1 of four lanes, as two vectors: two neighbours in one load per lane
// rather than gathers, which some processors (and their microcode) make far slower than plain loads.
VECTOR_CODE void Pairs(const double* base, const int* index, __m256d& first, __m256d& second)
{
  const __m256d t0 = _mm256_set_m128d(_mm_loadu_pd(base + index[2]), _mm_loadu_pd(base + index[0]));
  const __m256d t1 = _mm256_set_m128d(_mm_loadu_pd(base + index[3]), _mm_loadu_pd(base + index[1]));
  first = _mm256_unpacklo_pd(t0, t1);
  second = _mm256_unpackhi_pd(t0, t1);
}

// Intensity of a luminaire with a vector table towards four directions (components along its axis, C0 and C90).
// `far` is |d|^3, whose inverse comes back in `inverseFar` from the division the angles share.
VECTOR_CODE __m256d TableIntensity(const LuminaireSet::Packed& L, __m256d along, __m256d u, __m256d v,
                                   __m256d len2, __m256d far, __m256d& live, __m256d& inverseFar)
{
  const __m256d zero = _mm256_setzero_pd();
  if (L.gammaBound >= -1.0) {
    const __m256d k2 = _mm256_set1_pd(L.gammaBound * L.gammaBound);
    const __m256d a2 = _mm256_mul_pd(along, along), bound = _mm256_mul_pd(k2, len2);
    const __m256d below = _mm256_cmp_pd(along, zero, _CMP_LT_OQ);
    const __m256d beyond = L.gammaBound >= 0.0
                               ? _mm256_or_pd(below, _mm256_cmp_pd(a2, bound, _CMP_LT_OQ))
                               : _mm256_and_pd(below, _mm256_cmp_pd(a2, bound, _CMP_GT_OQ));
    live = _mm256_andnot_pd(beyond, live);
    if (_mm256_movemask_pd(live) == 0)
      return zero;
  }
  const __m256d uv = _mm256_sqrt_pd(_mm256_fmadd_pd(u, u, _mm256_mul_pd(v, v)));
  const Atan2Parts ga = Atan2Begin(uv, along), ca = Atan2Begin(v, u);
  // One division for three quotients. |d|^3 of 0 (a point at the light) faces nothing and is masked out.
  const __m256d farSafe = _mm256_blendv_pd(far, _mm256_set1_pd(1.0), _mm256_cmp_pd(far, zero, _CMP_EQ_OQ));
  const __m256d dd = _mm256_mul_pd(ga.den, ca.den);
  const __m256d inverse = _mm256_div_pd(_mm256_set1_pd(1.0), _mm256_mul_pd(dd, farSafe));
  inverseFar = _mm256_mul_pd(inverse, dd);
  const __m256d gamma = Atan2Degrees(ga, _mm256_mul_pd(ga.num, _mm256_mul_pd(inverse, _mm256_mul_pd(ca.den, farSafe))));
  const double tolerance = IntensityTable::kAngleTolerance;
  live = _mm256_and_pd(live, _mm256_and_pd(_mm256_cmp_pd(gamma, _mm256_set1_pd(L.angleFront - tolerance), _CMP_GE_OQ),
                                           _mm256_cmp_pd(gamma, _mm256_set1_pd(L.angleBack + tolerance), _CMP_LE_OQ)));
  if (_mm256_movemask_pd(live) == 0)
    return zero;
  const __m256d onAxis = _mm256_and_pd(_mm256_cmp_pd(u, zero, _CMP_EQ_OQ), _mm256_cmp_pd(v, zero, _CMP_EQ_OQ));
  const __m256d cInverse = _mm256_mul_pd(inverse, _mm256_mul_pd(ga.den, farSafe));
  const __m256d c = _mm256_andnot_pd(onAxis, Atan2Degrees(ca, _mm256_mul_pd(ca.num, cInverse)));

  // The angle on its axis.
  const __m256d g = _mm256_min_pd(_mm256_max_pd(gamma, _mm256_set1_pd(L.angleFront)), _mm256_set1_pd(L.angleBack));
  __m256d at;
  const __m128i a = Interval(g, L.angleOrigin, L.angleStep, L.angleCount, at);

  // The plane round the circle: directions come within one turn of the first plane.
  const __m256d turn = _mm256_set1_pd(360.0);
  __m256d r = _mm256_sub_pd(c, _mm256_set1_pd(L.planeOrigin));
  r = _mm256_add_pd(r, _mm256_and_pd(_mm256_cmp_pd(r, zero, _CMP_LT_OQ), turn));
  r = _mm256_sub_pd(r, _mm256_and_pd(_mm256_cmp_pd(r, turn, _CMP_GE_OQ), turn));
  r = _mm256_add_pd(r, _mm256_set1_pd(L.planeOrigin));
  const __m256d wraps = _mm256_cmp_pd(r, _mm256_set1_pd(L.planeLast), _CMP_GE_OQ);
  const __m256d rIn = _mm256_min_pd(r, _mm256_set1_pd(L.planeLast));
  __m256d pt;
  __m128i p = Interval(rIn, L.planeOrigin, L.planeStep, L.planeCount, pt);
  __m128i pHi = _mm_add_epi32(p, _mm_set1_epi32(1));
  const __m128i wraps32 = _mm256_cvtpd_epi32(_mm256_and_pd(wraps, _mm256_set1_pd(-1.0)));  // -1 or 0
  p = _mm_blendv_epi8(p, _mm_set1_epi32(L.planeCount - 1), wraps32);
  pHi = _mm_andnot_si128(wraps32, pHi);
  pt = _mm256_blendv_pd(pt, _mm256_mul_pd(_mm256_sub_pd(r, _mm256_set1_pd(L.planeLast)), _mm256_set1_pd(L.wrapSpan)),
                        wraps);

  const __m128i n = _mm_set1_epi32(L.angleCount);
  alignas(16) int lo[4], hi[4];
  _mm_store_si128(reinterpret_cast<__m128i*>(lo), _mm_add_epi32(_mm_mullo_epi32(p, n), a));
  _mm_store_si128(reinterpret_cast<__m128i*>(hi), _mm_add_epi32(_mm_mullo_epi32(pHi, n), a));
  __m256d v00, v01, v10, v11;
  Pairs(L.candela, lo, v00, v01);
  Pairs(L.candela, hi, v10, v11);
  const __m256d low = _mm256_fmadd_pd(at, _mm256_sub_pd(v01, v00), v00);
  const __m256d high = _mm256_fmadd_pd(at, _mm256_sub_pd(v11, v10), v10);
  const __m256d value = _mm256_fmadd_pd(pt, _mm256_sub_pd(high, low), low);
  return _mm256_and_pd(live, _mm256_mul_pd(_mm256_set1_pd(L.factor), value));
}

// Four points, as columns of a group of eight.
struct Lanes {
  __m256d x, y, z, nx, ny, nz;
  const double *px, *py, *pz;
};

// What one luminaire gives four points.
VECTOR_CODE __m256d Contribution(const LuminaireSet::Packed& L, const Luminaire& light, const Lanes& p, bool upward,
                                 const LightBlocker& blocker)
{
  const __m256d zero = _mm256_setzero_pd();
  const __m256d dx = _mm256_sub_pd(p.x, _mm256_set1_pd(L.x)), dy = _mm256_sub_pd(p.y, _mm256_set1_pd(L.y)),
                dz = _mm256_sub_pd(p.z, _mm256_set1_pd(L.z));
  const __m256d facing =
      upward ? _mm256_sub_pd(zero, dz)
             : _mm256_sub_pd(zero, _mm256_fmadd_pd(dx, p.nx, _mm256_fmadd_pd(dy, p.ny, _mm256_mul_pd(dz, p.nz))));
  __m256d live = _mm256_cmp_pd(facing, zero, _CMP_GT_OQ);
  if (_mm256_movemask_pd(live) == 0)
    return zero;
  const __m256d len2 = _mm256_fmadd_pd(dx, dx, _mm256_fmadd_pd(dy, dy, _mm256_mul_pd(dz, dz)));
  __m256d intensity;
  const __m256d far = _mm256_mul_pd(len2, _mm256_sqrt_pd(len2));
  __m256d inverseFar = _mm256_setzero_pd();
  bool shared = false;
  if (L.vector) {
    intensity = TableIntensity(L, DotWith(dx, dy, dz, L.ax, L.ay, L.az), DotWith(dx, dy, dz, L.ux, L.uy, L.uz),
                               DotWith(dx, dy, dz, L.vx, L.vy, L.vz), len2, far, live, inverseFar);
    shared = true;
  } else {
    alignas(32) double dxs[4], dys[4], dzs[4], is[4];
    _mm256_store_pd(dxs, dx);
    _mm256_store_pd(dys, dy);
    _mm256_store_pd(dzs, dz);
    for (int j = 0; j < 4; ++j)
      is[j] = light.IntensityTowards({dxs[j], dys[j], dzs[j]});
    intensity = _mm256_load_pd(is);
  }
  live = _mm256_and_pd(live, _mm256_cmp_pd(intensity, zero, _CMP_GT_OQ));
  const int lit = _mm256_movemask_pd(live);
  if (lit == 0)
    return zero;
  if (blocker.blocked) {
    alignas(32) long long held[4] = {0, 0, 0, 0};
    for (int j = 0; j < 4; ++j)
      if ((lit >> j & 1) && blocker.blocked(blocker.context, {p.px[j], p.py[j], p.pz[j]}, light.position))
        held[j] = -1;
    live = _mm256_andnot_pd(_mm256_castsi256_pd(_mm256_load_si256(reinterpret_cast<const __m256i*>(held))), live);
  }
  const __m256d term = shared ? _mm256_mul_pd(_mm256_mul_pd(intensity, facing), inverseFar)
                               : _mm256_div_pd(_mm256_mul_pd(intensity, facing), far);
  return _mm256_and_pd(live, term);
}

__attribute__((target("avx2,fma"))) void VectorIlluminance(const std::vector<const Luminaire*>& lights,
                                                           const std::vector<LuminaireSet::Packed>& packed,
                                                           const PointColumns& pts, const LightBlocker& blocker,
                                                           double* e)
{
  // Sixteen points at a time: four independent groups of four, whose long chains of dependent steps (root,
  // division, series, gathers) the processor overlaps.
  constexpr std::size_t kLanes = 4, kGroup = 4 * kLanes;
  const bool upward = !pts.nx;
  for (std::size_t first = 0; first < pts.count; first += kGroup) {
    // The last group repeats its last point in the lanes it lacks.
    alignas(32) double px[kGroup], py[kGroup], pz[kGroup], nx[kGroup], ny[kGroup], nz[kGroup];
    for (std::size_t j = 0; j < kGroup; ++j) {
      const std::size_t k = std::min(first + j, pts.count - 1);
      px[j] = pts.x[k];
      py[j] = pts.y[k];
      pz[j] = pts.z[k];
      nx[j] = upward ? 0.0 : pts.nx[k];
      ny[j] = upward ? 0.0 : pts.ny[k];
      nz[j] = upward ? 1.0 : pts.nz[k];
    }
    Lanes lanes[kLanes];
    __m256d sums[kLanes];
    for (std::size_t g = 0; g < kLanes; ++g) {
      const std::size_t o = 4 * g;
      lanes[g] = {_mm256_load_pd(px + o), _mm256_load_pd(py + o), _mm256_load_pd(pz + o), _mm256_load_pd(nx + o),
                  _mm256_load_pd(ny + o), _mm256_load_pd(nz + o), px + o, py + o, pz + o};
      sums[g] = _mm256_setzero_pd();
    }
    for (std::size_t i = 0; i < packed.size(); ++i)
      for (std::size_t g = 0; g < kLanes; ++g)
        sums[g] = _mm256_add_pd(sums[g], Contribution(packed[i], *lights[i], lanes[g], upward, blocker));
    alignas(32) double out[kGroup];
    for (std::size_t g = 0; g < kLanes; ++g)
      _mm256_store_pd(out + 4 * g, sums[g]);
    for (std::size_t j = 0; j < kGroup && first + j < pts.count; ++j)
      e[first + j] = out[j];
  }
}

#endif

}  // namespace

void SetLightingPath(LightingPath path) { g_path.store(path, std::memory_order_relaxed); }
bool VectorLightingAvailable() { return ProcessorHasVector(); }
const char* LightingPathInUse() { return UseVector() ? "avx2" : "baseline"; }

LuminaireSet::LuminaireSet(std::vector<const Luminaire*> lights) : lights_(std::move(lights))
{
  packed_.reserve(lights_.size());
  for (const Luminaire* l : lights_) {
    Packed p{l->position.x, l->position.y, l->position.z, l->axis.x, l->axis.y, l->axis.z, l->c0.x, l->c0.y,
             l->c0.z, l->c90.x, l->c90.y, l->c90.z, l->factor};
    const IntensityTable* t = l->table;
    // Within one turn of the first plane after one correction; indexes fit the gathers' 32 bits.
    p.vector = t && t->cPlanes && t->angles.size() >= 2 && t->planes.size() >= 2 && t->angleIndex.uniform &&
               t->angleIndex.size == t->angles.size() && t->planeIndex.uniform &&
               t->planeIndex.size == t->planes.size() &&
               t->planes.front() >= -180.0 && t->planes.front() <= 180.0 && t->candela.size() < (1u << 30) &&
               t->candela.size() == t->angles.size() * t->planes.size();
    if (p.vector) {
      const IntensityTable::AxisIndex &ai = t->angleIndex, &pi = t->planeIndex;
      p.candela = t->candela.data();
      p.angleOrigin = ai.origin;
      p.angleStep = ai.inverseWidth;
      p.angleFront = t->angles.front();
      p.angleBack = t->angles.back();
      p.planeOrigin = t->planes.front();
      p.planeStep = pi.inverseWidth;
      p.planeLast = t->planes.back();
      const double span = t->planes.front() + 360.0 - t->planes.back();
      p.wrapSpan = span > 0.0 ? 1.0 / span : 0.0;
      p.angleCount = static_cast<int>(t->angles.size());
      p.planeCount = static_cast<int>(t->planes.size());
      p.gammaBound = t->lastGammaCosine;
    }
    packed_.push_back(p);
  }
}

void LuminaireSet::Illuminance(const PointColumns& points, const LightBlocker& blocker, double* e) const
{
  if (points.count == 0)
    return;
#if TESMIRA_LIGHTS_X86
  if (UseVector()) {
    VectorIlluminance(lights_, packed_, points, blocker, e);
    return;
  }
#endif
  BaselineIlluminance(lights_, points, blocker, e);
}

}  // namespace Engines
