#include "outside/engines/point_lights.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdint>
#include <numbers>
#include <unordered_map>

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

// Several vectors of four lanes stepped together. One evaluation is a long chain of dependent steps (roots, a
// division, two series, table loads); with the chains of independent vectors side by side in the instruction
// stream the processor works on all of them at once instead of waiting on one. Four measured best: two overlap
// less, six and eight need more registers than there are.
constexpr int kWays = 4;
struct V {
  __m256d a[kWays];
};
struct Indexes {
  __m128i a[kWays];
};

#define TESMIRA_EACH(k) for (int k = 0; k < kWays; ++k)
#define TESMIRA_BINARY(name, op)                 \
  VECTOR_CODE V name(V x, V y)                   \
  {                                              \
    V r;                                         \
    TESMIRA_EACH(k) r.a[k] = op(x.a[k], y.a[k]); \
    return r;                                    \
  }
TESMIRA_BINARY(operator+, _mm256_add_pd)
TESMIRA_BINARY(operator-, _mm256_sub_pd)
TESMIRA_BINARY(operator*, _mm256_mul_pd)
TESMIRA_BINARY(operator/, _mm256_div_pd)
TESMIRA_BINARY(And, _mm256_and_pd)
TESMIRA_BINARY(AndNot, _mm256_andnot_pd)  // (not x) and y
TESMIRA_BINARY(Or, _mm256_or_pd)
TESMIRA_BINARY(Min, _mm256_min_pd)
TESMIRA_BINARY(Max, _mm256_max_pd)
#undef TESMIRA_BINARY

VECTOR_CODE V Splat(double value)
{
  V r;
  TESMIRA_EACH(k) r.a[k] = _mm256_set1_pd(value);
  return r;
}

// Comparisons as the compiler's own vector operations, not intrinsics: a blend by their masks then stays one
// instruction, where the intrinsic's mask would be tested for its sign again with an integer compare.
template <int kPredicate>
VECTOR_CODE V Compare(V x, V y)
{
  V r;
  TESMIRA_EACH(k)
  {
    const __m256d a = x.a[k], b = y.a[k];
    if constexpr (kPredicate == _CMP_GT_OQ)
      r.a[k] = reinterpret_cast<__m256d>(a > b);
    else if constexpr (kPredicate == _CMP_GE_OQ)
      r.a[k] = reinterpret_cast<__m256d>(a >= b);
    else if constexpr (kPredicate == _CMP_LT_OQ)
      r.a[k] = reinterpret_cast<__m256d>(a < b);
    else if constexpr (kPredicate == _CMP_LE_OQ)
      r.a[k] = reinterpret_cast<__m256d>(a <= b);
    else
      r.a[k] = reinterpret_cast<__m256d>(a == b);
  }
  return r;
}

// a b + c, a b - c, c - a b
VECTOR_CODE V Fma(V a, V b, V c)
{
  V r;
  TESMIRA_EACH(k) r.a[k] = _mm256_fmadd_pd(a.a[k], b.a[k], c.a[k]);
  return r;
}
VECTOR_CODE V Fms(V a, V b, V c)
{
  V r;
  TESMIRA_EACH(k) r.a[k] = _mm256_fmsub_pd(a.a[k], b.a[k], c.a[k]);
  return r;
}
VECTOR_CODE V Fnma(V a, V b, V c)
{
  V r;
  TESMIRA_EACH(k) r.a[k] = _mm256_fnmadd_pd(a.a[k], b.a[k], c.a[k]);
  return r;
}

// y where the mask is set, else x.
VECTOR_CODE V Blend(V x, V y, V mask)
{
  V r;
  TESMIRA_EACH(k) r.a[k] = _mm256_blendv_pd(x.a[k], y.a[k], mask.a[k]);
  return r;
}

VECTOR_CODE V Sqrt(V x)
{
  V r;
  TESMIRA_EACH(k) r.a[k] = _mm256_sqrt_pd(x.a[k]);
  return r;
}

// Whether any lane's sign bit is set: the vectors joined, then one test.
VECTOR_CODE bool Any(V mask)
{
  __m256d joined = mask.a[0];
  for (int k = 1; k < kWays; ++k)
    joined = _mm256_or_pd(joined, mask.a[k]);
  return !_mm256_testz_pd(joined, joined);
}

VECTOR_CODE V Abs(V x) { return AndNot(Splat(-0.0), x); }

// d . (a, b, c)
VECTOR_CODE V DotWith(V dx, V dy, V dz, double a, double b, double c)
{
  return Fma(dx, Splat(a), Fma(dy, Splat(b), dz * Splat(c)));
}

// FastAtan2 of the lanes, in degrees, in two halves around its one division, so that the divisions of several
// angles can share one.
struct Atan2Parts {
  V x, y, steep, reduce, none, num, den;
};

// `kUpper`: y is never negative. Lanes where x and y are both 0 come out in `none` (for the upper angle they are
// never counted); their answer is the caller's.
template <bool kUpper>
VECTOR_CODE Atan2Parts Atan2Begin(V y, V x)
{
  const V ax = Abs(x), ay = kUpper ? y : Abs(y), zero = Splat(0.0);
  const V steep = Compare<_CMP_GT_OQ>(ay, ax);
  const V big = Blend(ax, ay, steep), small = Blend(ay, ax, steep);
  const V sqrt3 = Splat(1.7320508075688772);
  const V reduce = Compare<_CMP_GT_OQ>(small, Splat(0.26794919243112270) * big);
  const V num = Blend(small, Fms(sqrt3, small, big), reduce);
  const V den = Blend(big, Fma(sqrt3, big, small), reduce);
  if (kUpper)
    return {x, y, steep, reduce, zero, num, den};
  // Both zero: a denominator of 1 keeps the shared division finite.
  const V none = Compare<_CMP_EQ_OQ>(big, zero);
  return {x, y, steep, reduce, none, num, Blend(den, Splat(1.0), none)};
}

// Within |t| <= tan(pi/12), atan(t) = t P(t^2) with P of degree 5 fitted at the Chebyshev nodes of the range:
// error below 1.1e-12 rad, and two steps fewer than the series. In degrees (the coefficients carry 180 / pi), so no
// conversion follows.
template <bool kUpper>
VECTOR_CODE V Atan2Degrees(const Atan2Parts& a, V t)
{
  constexpr double k = 180.0 / std::numbers::pi;
  const V s = t * t;
  V p = Fma(Splat(k * -0.0760901938847646), s, Splat(k * 0.10995711763434805));
  p = Fma(p, s, Splat(k * -0.142814890780065));
  p = Fma(p, s, Splat(k * 0.19999929483300127));
  p = Fma(p, s, Splat(k * -0.3333333290087564));
  p = Fma(p, s, Splat(k * 0.999999999995687));
  V r = Fma(t, p, And(a.reduce, Splat(30.0)));
  r = Blend(r, Splat(90.0) - r, a.steep);
  r = Blend(r, Splat(180.0) - r, a.x);  // by x's sign bit: -0 gives the same angle either way
  if (kUpper)
    return r;
  return Or(r, And(Splat(-0.0), a.y));  // r is not negative: y's sign is the angle's
}

// Where v lies on an axis of equal steps from `origin` (v not below it): the lower end of its interval, at most
// `top`, as a whole number, and the weight of the upper end. Where the quotient rounds across a tabulated value the
// weight comes out a rounding beyond 0 or 1 in the neighbouring interval, which interpolates to the same intensity.
// A lane whose v is not a number takes the interval `top`.
VECTOR_CODE V Interval(V v, double origin, double inverseStep, double top, V& weight)
{
  const V f = Fma(v, Splat(inverseStep), Splat(-origin * inverseStep));
  V lower;
  TESMIRA_EACH(k)
  lower.a[k] = _mm256_round_pd(_mm256_min_pd(f.a[k], _mm256_set1_pd(top)), _MM_FROUND_TO_ZERO | _MM_FROUND_NO_EXC);
  weight = f - lower;
  return lower;
}

// Intensity of a luminaire with a vector table towards the lanes' directions (components along its axis, C0 and
// C90), and the inverse of |d|^3 from the division the angles share.
VECTOR_CODE V TableIntensity(const LuminaireSet::Packed& L, V along, V u, V v, V live, V& inverseFar)
{
  const V zero = Splat(0.0);
  const V uv2 = Fma(u, u, v * v), len2 = Fma(along, along, uv2), distance = Sqrt(len2);
  // Lanes beyond the last gamma (by its cosine, a little past the angle) give nothing; when that is every lane the
  // angles are not worked out. Their masking is left to the angle's own bounds below.
  if (L.gammaBound >= -1.0 && !Any(And(live, Compare<_CMP_GE_OQ>(along, Splat(L.gammaBound) * distance))))
    return zero;
  const V uv = Sqrt(uv2);
  // gamma: uv is a root, and a lane where it and `along` are both 0 is a point at the light, which faces nothing
  // (its quotients are not numbers, and its interval the last).
  const Atan2Parts ga = Atan2Begin<true>(uv, along), ca = Atan2Begin<false>(v, u);
  // One division for three quotients.
  const V far = len2 * distance;
  const V dd = ga.den * ca.den;
  const V inverse = Splat(1.0) / (dd * far), inverseDens = inverse * far;
  inverseFar = inverse * dd;
  const V gamma = Atan2Degrees<true>(ga, ga.num * (inverseDens * ca.den));
  // gamma lies within 0..180: a table open at either end needs no bound there.
  const double tolerance = IntensityTable::kAngleTolerance;
  if (L.angleFront > 0.0)
    live = And(live, Compare<_CMP_GE_OQ>(gamma, Splat(L.angleFront - tolerance)));
  if (L.angleBack < 180.0)
    live = And(live, Compare<_CMP_LE_OQ>(gamma, Splat(L.angleBack + tolerance)));
  // On the axis the plane is C0.
  const V c = AndNot(ca.none, Atan2Degrees<false>(ca, ca.num * (inverseDens * ga.den)));

  // The angle on its axis.
  V at;
  const V a = Interval(L.angleFront > 0.0 ? Max(gamma, Splat(L.angleFront)) : gamma, L.angleFront, L.angleStep,
                       L.angleTop, at);
  // The plane within one turn from the first, c being within -180..180 and the first plane too; the interval after
  // the last plane closes on the first + 360.
  const V r = L.planeOrigin > -180.0 ? c + And(Compare<_CMP_LT_OQ>(c, Splat(L.planeOrigin)), Splat(360.0)) : c;
  V pt;
  V p = Interval(r, L.planeOrigin, L.planeStep, L.planeTop, pt);
  if (L.unevenWrap) {
    const V wraps = Compare<_CMP_GE_OQ>(r, Splat(L.planeLast));
    p = Blend(p, Splat(L.planeTop), wraps);
    pt = Blend(pt, (r - Splat(L.planeLast)) * Splat(L.wrapSpan), wraps);
  }

  // The four coefficients of each lane's cell (one load: a row), turned into one vector each. Where each lane's
  // cell starts among the values (not negative: unsigned, the index wants no sign extension).
  const V start = Fma(p, Splat(4.0 * L.cellsPerPlane), a * Splat(4.0));
  V value;
  TESMIRA_EACH(k)
  {
    alignas(16) unsigned first[4];
    _mm_store_si128(reinterpret_cast<__m128i*>(first), _mm256_cvttpd_epi32(start.a[k]));
    const double *c0 = L.cells + first[0], *c1 = L.cells + first[1], *c2 = L.cells + first[2],
                 *c3 = L.cells + first[3];
    const __m256d r0 = _mm256_loadu_pd(c0), r1 = _mm256_loadu_pd(c1), r2 = _mm256_loadu_pd(c2),
                  r3 = _mm256_loadu_pd(c3);
    const __m256d lo01 = _mm256_unpacklo_pd(r0, r1), hi01 = _mm256_unpackhi_pd(r0, r1),
                  lo23 = _mm256_unpacklo_pd(r2, r3), hi23 = _mm256_unpackhi_pd(r2, r3);
    const __m256d k0 = _mm256_permute2f128_pd(lo01, lo23, 0x20), k1 = _mm256_permute2f128_pd(hi01, hi23, 0x20),
                  k2 = _mm256_permute2f128_pd(lo01, lo23, 0x31), k3 = _mm256_permute2f128_pd(hi01, hi23, 0x31);
    value.a[k] = _mm256_fmadd_pd(pt.a[k], _mm256_fmadd_pd(at.a[k], k3, k2), _mm256_fmadd_pd(at.a[k], k1, k0));
  }
  return And(live, L.factor == 1.0 ? value : Splat(L.factor) * value);
}

// Points as lanes of several vectors, columns of a group.
struct Lanes {
  V x, y, z, nx, ny, nz;
  const double *px, *py, *pz;
};

// What one luminaire gives the lanes' points.
VECTOR_CODE V Contribution(const LuminaireSet::Packed& L, const Luminaire& light, const Lanes& p, bool upward,
                           const LightBlocker& blocker)
{
  const V zero = Splat(0.0);
  // From the point to the light: its upward part is how an upward face faces the light.
  const V ex = Splat(L.x) - p.x, ey = Splat(L.y) - p.y, ez = Splat(L.z) - p.z;
  const V facing = upward ? ez : Fma(ex, p.nx, Fma(ey, p.ny, ez * p.nz));
  V live = Compare<_CMP_GT_OQ>(facing, zero);
  if (!Any(live))
    return zero;
  V intensity, inverseFar = zero;
  if (L.vector) {
    intensity = TableIntensity(L, DotWith(ex, ey, ez, L.ax, L.ay, L.az), DotWith(ex, ey, ez, L.ux, L.uy, L.uz),
                               DotWith(ex, ey, ez, L.vx, L.vy, L.vz), live, inverseFar);
  } else {
    TESMIRA_EACH(k)
    {
      alignas(32) double xs[4], ys[4], zs[4], is[4];
      _mm256_store_pd(xs, ex.a[k]);
      _mm256_store_pd(ys, ey.a[k]);
      _mm256_store_pd(zs, ez.a[k]);
      for (int j = 0; j < 4; ++j)
        is[j] = light.IntensityTowards({-xs[j], -ys[j], -zs[j]});
      intensity.a[k] = _mm256_load_pd(is);
    }
    intensity = And(live, intensity);
  }
  V lit;
  if (L.vector) {
    lit = intensity * facing * inverseFar;
  } else {
    const V len2 = Fma(ex, ex, Fma(ey, ey, ez * ez));
    lit = intensity * facing / (len2 * Sqrt(len2));
  }
  if (!blocker.blocked)  // facing and |d| are above 0 where the intensity is: a light giving none is left out
    return Max(lit, zero);
  live = And(live, Compare<_CMP_GT_OQ>(intensity, zero));
  TESMIRA_EACH(k)
  {
    const int shining = _mm256_movemask_pd(live.a[k]);
    alignas(32) long long held[4] = {0, 0, 0, 0};
    for (int j = 0; j < 4; ++j) {
      const int at = 4 * k + j;
      if ((shining >> j & 1) && blocker.blocked(blocker.context, {p.px[at], p.py[at], p.pz[at]}, light.position))
        held[j] = -1;
    }
    live.a[k] =
        _mm256_andnot_pd(_mm256_castsi256_pd(_mm256_load_si256(reinterpret_cast<const __m256i*>(held))), live.a[k]);
  }
  return And(live, lit);
}

#undef TESMIRA_EACH

__attribute__((target("avx2,fma"))) void VectorIlluminance(const std::vector<const Luminaire*>& lights,
                                                           const std::vector<LuminaireSet::Packed>& packed,
                                                           const PointColumns& pts, const LightBlocker& blocker,
                                                           double* e)
{
  // Sixteen points at a time, in sets of stepped vectors.
  constexpr std::size_t kSetPoints = 4 * kWays, kSets = 16 / kSetPoints, kGroup = kSets * kSetPoints;
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
    Lanes sets[kSets];
    V sums[kSets];
    for (std::size_t g = 0; g < kSets; ++g) {
      Lanes& s = sets[g];
      for (int k = 0; k < kWays; ++k) {
        const std::size_t o = g * kSetPoints + 4 * k;
        s.x.a[k] = _mm256_load_pd(px + o);
        s.y.a[k] = _mm256_load_pd(py + o);
        s.z.a[k] = _mm256_load_pd(pz + o);
        s.nx.a[k] = _mm256_load_pd(nx + o);
        s.ny.a[k] = _mm256_load_pd(ny + o);
        s.nz.a[k] = _mm256_load_pd(nz + o);
        sums[g].a[k] = _mm256_setzero_pd();
      }
      s.px = px + g * kSetPoints;
      s.py = py + g * kSetPoints;
      s.pz = pz + g * kSetPoints;
    }
    for (std::size_t i = 0; i < packed.size(); ++i)
      for (std::size_t g = 0; g < kSets; ++g)
        sums[g] = sums[g] + Contribution(packed[i], *lights[i], sets[g], upward, blocker);
    alignas(32) double out[kGroup];
    for (std::size_t g = 0; g < kSets; ++g)
      for (int k = 0; k < kWays; ++k)
        _mm256_store_pd(out + g * kSetPoints + 4 * k, sums[g].a[k]);
    for (std::size_t j = 0; j < kGroup && first + j < pts.count; ++j)
      e[first + j] = out[j];
  }
}

#endif

}  // namespace

void SetLightingPath(LightingPath path) { g_path.store(path, std::memory_order_relaxed); }
bool VectorLightingAvailable() { return ProcessorHasVector(); }
const char* LightingPathInUse() { return UseVector() ? "avx2" : "baseline"; }

namespace {

// The cells of all tables together stay within this many values (64 MB); luminaires of tables beyond it are looked
// up one point at a time. Real tables need a few hundred thousand.
constexpr std::size_t kCellBudget = std::size_t{1} << 23;

// For each interval of planes (the last closing on the first plane) and of angles: v00 + a (v01 - v00) +
// p (v10 - v00) + a p (v11 - v10 - v01 + v00), a and p the weights along the angles and the planes.
// Laid out in `storage` from a 32-byte boundary, so that no cell's load straddles two cache lines; answers the first.
const double* Cells(const IntensityTable& t, std::vector<double>& storage)
{
  const std::size_t angles = t.angles.size(), planes = t.planes.size();
  storage.resize(4 * planes * (angles - 1) + 3);
  const std::size_t skip = (32 - reinterpret_cast<std::uintptr_t>(storage.data()) % 32) % 32 / sizeof(double);
  double* cell = storage.data() + skip;
  const double* first = cell;
  for (std::size_t p = 0; p < planes; ++p) {
    const std::size_t next = p + 1 < planes ? p + 1 : 0;
    for (std::size_t a = 0; a + 1 < angles; ++a) {
      const double v00 = t.Value(p, a), v01 = t.Value(p, a + 1), v10 = t.Value(next, a), v11 = t.Value(next, a + 1);
      *cell++ = v00;
      *cell++ = v01 - v00;
      *cell++ = v10 - v00;
      *cell++ = v11 - v10 - v01 + v00;
    }
  }
  return first;
}

}  // namespace

LuminaireSet::LuminaireSet(std::vector<const Luminaire*> lights) : lights_(std::move(lights))
{
  packed_.reserve(lights_.size());
  std::unordered_map<const IntensityTable*, const double*> cellsOf;
  std::size_t cellValues = 0;
  for (const Luminaire* l : lights_) {
    Packed p{l->position.x, l->position.y, l->position.z, -l->axis.x, -l->axis.y, -l->axis.z, -l->c0.x, -l->c0.y,
             -l->c0.z, -l->c90.x, -l->c90.y, -l->c90.z, l->factor};
    const IntensityTable* t = l->table;
    // The first plane within -180..180 puts every direction within one turn of it after one correction.
    p.vector = t && t->cPlanes && t->angles.size() >= 2 && t->planes.size() >= 2 && t->angleIndex.uniform &&
               t->angleIndex.size == t->angles.size() && t->planeIndex.uniform &&
               t->planeIndex.size == t->planes.size() && t->planes.front() >= -180.0 &&
               t->planes.front() <= 180.0 && t->candela.size() == t->angles.size() * t->planes.size();
    if (p.vector) {
      auto known = cellsOf.find(t);
      if (known == cellsOf.end()) {
        const std::size_t values = 4 * t->planes.size() * (t->angles.size() - 1);
        if (values <= kCellBudget - cellValues) {
          cellValues += values;
          cells_.emplace_back();
          known = cellsOf.emplace(t, Cells(*t, cells_.back())).first;
        }
      }
      p.vector = known != cellsOf.end();
    }
    if (p.vector) {
      p.cells = cellsOf[t];
      p.angleFront = t->angles.front();
      p.angleBack = t->angles.back();
      p.angleStep = t->angleIndex.inverseWidth;
      p.angleTop = static_cast<double>(t->angles.size() - 2);
      p.planeOrigin = t->planes.front();
      p.planeStep = t->planeIndex.inverseWidth;
      p.planeLast = t->planes.back();
      p.planeTop = static_cast<double>(t->planes.size() - 1);
      p.cellsPerPlane = static_cast<double>(t->angles.size() - 1);
      // The closing interval one step wide (or none: the planes close the turn) is the axis's own.
      const double span = t->planes.front() + 360.0 - t->planes.back(), step = 1.0 / p.planeStep;
      p.unevenWrap = span > 0.0 && std::fabs(span - step) > 1e-9 * 360.0;
      p.wrapSpan = span > 0.0 ? 1.0 / span : 0.0;
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
