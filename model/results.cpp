#include "model/results.h"

#include "model/identifiers.h"
#include "model/model_strings.h"
#include "model/version.h"
#include "platform/mfc-core/archive.h"

#include <cstring>
#include <limits>
#include <type_traits>

namespace ObjectModel {

namespace {

using Count = ULONGLONG;
constexpr Count kSaturated = std::numeric_limits<Count>::max();

// Products and sums of counts read from a file saturate instead of wrapping, so a hostile header can only ask
// for "more than any file holds".
Count Mul(Count a, Count b)
{
  if (a != 0 && b > kSaturated / a)
    return kSaturated;
  return a * b;
}

Count Add(Count a, Count b) { return b > kSaturated - a ? kSaturated : a + b; }

template <class T>
T* NewArray(Count n)
{
  return n == 0 ? nullptr : new T[static_cast<std::size_t>(n)]();
}

template <class T>
void FreeArray(T*& p)
{
  delete[] p;
  p = nullptr;
}

template <class T>
void CopyArray(T* to, const T* from, Count n)
{
  if (n != 0 && to && from)
    std::memcpy(to, from, static_cast<std::size_t>(n) * sizeof(T));
}

constexpr Count kZoneBytes = 13 * 4;
constexpr Count kTotalBytes = 4 + 2 + 2 + 8 + 260 + 4 + 4 + 7 * 4 + 4 + 4 * 4;
static_assert(kTotalBytes == sizeof(_TOTAL_LIGHT_50));

const DWORD kZonesVersion = MakeFormatVersion(4, 0, 4, 0);
const DWORD kUtilisationVersion = MakeFormatVersion(4, 0, 17, 0);
const DWORD kTotalsVersion = MakeFormatVersion(4, 3, 5, 0);

// The bytes the arrays that follow the header take in a file of `version`, from the header's counts.
Count ArrayBytes(const _CALC_RESULTS& d, DWORD version)
{
  const bool zones = IsVersionAtLeast(version, kZonesVersion);
  Count bytes = Mul(d.nX, 4);
  bytes = Add(bytes, Mul(d.nRightWalk, 4));
  bytes = Add(bytes, Mul(Mul(d.nX, d.nRightWalk), 8));
  bytes = Add(bytes, Mul(d.nLeftWalk, 4));
  bytes = Add(bytes, Mul(Mul(d.nX, d.nLeftWalk), 8));
  bytes = Add(bytes, Mul(d.nWallX, 4));
  bytes = Add(bytes, Mul(d.nRightWall, 4));
  bytes = Add(bytes, Mul(Mul(d.nWallX, d.nRightWall), 4));
  bytes = Add(bytes, Mul(d.nLeftWall, 4));
  bytes = Add(bytes, Mul(Mul(d.nWallX, d.nLeftWall), 4));
  bytes = Add(bytes, Mul(d.nRoad, 4));
  const Count roadNodes = Mul(d.nX, d.nRoad);
  if (roadNodes != 0) {
    bytes = Add(bytes, Mul(roadNodes, zones ? 8 : 4));
    bytes = Add(bytes, Mul(d.nObservers, Add(Mul(roadNodes, 4), 5 * 4)));
  }
  bytes = Add(bytes, Mul(d.nOpp, 4));
  const Count oppNodes = Mul(d.nX, d.nOpp);
  if (oppNodes != 0)
    bytes = Add(bytes, Mul(Add(1, d.nObserversOpp), Mul(oppNodes, 4)));
  bytes = Add(bytes, Mul(d.nObservers, 8));
  if (zones)
    bytes = Add(bytes, Mul(d.nZones, kZoneBytes));
  if (IsVersionAtLeast(version, kUtilisationVersion))
    bytes = Add(bytes, 5 * 4);
  if (IsVersionAtLeast(version, kTotalsVersion))
    bytes = Add(bytes, Add(8, Mul(Add(d.nTotalsA, d.nTotalsB), kTotalBytes)));
  return bytes;
}

// A block whose counts run ahead of its arrays still writes the form its counts promise, with zeros.
template <class T>
void StoreArray(CArchive& ar, const T* p, Count n)
{
  for (Count i = 0; i < n; ++i)
    ar << (p ? p[i] : T{});
}

template <class T>
void LoadArray(CArchive& ar, T* p, Count n)
{
  for (Count i = 0; i < n; ++i)
    ar >> p[i];
}

void StoreFive(CArchive& ar, const float (&v)[5]) { StoreArray(ar, v, 5); }
void LoadFive(CArchive& ar, float (&v)[5]) { LoadArray(ar, v, 5); }

void StoreZone(CArchive& ar, const _ZONE_RESULT& z)
{
  ar << z.kind << z.average << z.minimum << z.maximum << z.uniformity << z.fifth << z.i80 << z.i85 << z.reserved1
     << z.utilisation << z.reserved2[0] << z.reserved2[1] << z.reserved2[2];
}

void LoadZone(CArchive& ar, _ZONE_RESULT& z)
{
  ar >> z.kind >> z.average >> z.minimum >> z.maximum >> z.uniformity >> z.fifth >> z.i80 >> z.i85 >> z.reserved1 >>
      z.utilisation >> z.reserved2[0] >> z.reserved2[1] >> z.reserved2[2];
}

void StoreTotal(CArchive& ar, const _TOTAL_LIGHT_50& t)
{
  ar << t.groupData1 << t.groupData2 << t.groupData3;
  ar.Write(t.groupData4, sizeof t.groupData4);
  ar.Write(t.name, sizeof t.name);
  ar << t.area << t.kind << t.average << t.minimum << t.maximum;
  StoreArray(ar, t.reserved1, 4);
  ar << t.reserved2 << t.utilisation;
  StoreArray(ar, t.reserved3, 3);
}

void LoadBytes(CArchive& ar, void* p, UINT n)
{
  if (ar.Read(p, n) != n)
    AfxThrowArchiveException(CArchiveException::endOfFile, ar.m_strFileName);
}

void LoadTotal(CArchive& ar, _TOTAL_LIGHT_50& t)
{
  ar >> t.groupData1 >> t.groupData2 >> t.groupData3;
  LoadBytes(ar, t.groupData4, sizeof t.groupData4);
  LoadBytes(ar, t.name, sizeof t.name);
  t.name[sizeof t.name - 1] = '\0';
  ar >> t.area >> t.kind >> t.average >> t.minimum >> t.maximum;
  LoadArray(ar, t.reserved1, 4);
  ar >> t.reserved2 >> t.utilisation;
  LoadArray(ar, t.reserved3, 3);
}

void CopyTotal(_TOTAL_LIGHT_50& to, const _TOTAL_LIGHT_50& from)
{
  to = from;
  std::memset(to.name, 0, sizeof to.name);
  std::memcpy(to.name, from.name, strnlen(from.name, sizeof to.name - 1));
}

}  // namespace

CResultsOfCalc::CResultsOfCalc() { InitIdentity(CLSID_CResultsOfCalc, IDS_OBJ_RESULTS); }

CResultsOfCalc::~CResultsOfCalc() { Clear(); }

HRESULT CResultsOfCalc::QueryInterface(const IID* iid, void** out)
{
  *out = nullptr;
  if (*iid == IID_IClassObjModel)
    return AnswerInterface(static_cast<IClassObjModel*>(this), out);
  if (*iid == IID_IResultsOfCalc)
    return AnswerInterface(static_cast<IResultsOfCalc*>(this), out);
  return E_NOINTERFACE;
}

int CResultsOfCalc::Clear()
{
  _CALC_RESULTS& d = m_data;
  for (float** p : {&d.xs, &d.yRightWalk, &d.eRightWalk, &d.escRightWalk, &d.yLeftWalk, &d.eLeftWalk,
                    &d.escLeftWalk, &d.xsWall, &d.zRightWall, &d.evRightWall, &d.zLeftWall, &d.evLeftWall, &d.yRoad,
                    &d.eRoad, &d.lumObserver, &d.yOpp, &d.eOpp, &d.lumObserverOpp, &d.obsLumAvg, &d.obsLumMin,
                    &d.obsLumMax, &d.obsUniformity, &d.obsLongUniformity, &d.obsThreshold, &d.obsGlare})
    FreeArray(*p);
  FreeArray(d.nodeState);
  FreeArray(d.zones);
  FreeArray(d.totalsA);
  FreeArray(d.totalsB);
  d = _CALC_RESULTS{};
  return 0;
}

void CResultsOfCalc::AllocArrays()
{
  _CALC_RESULTS& d = m_data;
  d.xs = NewArray<float>(d.nX);
  d.yRightWalk = NewArray<float>(d.nRightWalk);
  const Count rightWalk = Mul(d.nX, d.nRightWalk);
  d.eRightWalk = NewArray<float>(rightWalk);
  d.escRightWalk = NewArray<float>(rightWalk);
  d.yLeftWalk = NewArray<float>(d.nLeftWalk);
  const Count leftWalk = Mul(d.nX, d.nLeftWalk);
  d.eLeftWalk = NewArray<float>(leftWalk);
  d.escLeftWalk = NewArray<float>(leftWalk);
  d.xsWall = NewArray<float>(d.nWallX);
  d.zRightWall = NewArray<float>(d.nRightWall);
  d.evRightWall = NewArray<float>(Mul(d.nWallX, d.nRightWall));
  d.zLeftWall = NewArray<float>(d.nLeftWall);
  d.evLeftWall = NewArray<float>(Mul(d.nWallX, d.nLeftWall));
  d.yRoad = NewArray<float>(d.nRoad);
  const Count road = Mul(d.nX, d.nRoad);
  if (road != 0) {
    d.eRoad = NewArray<float>(road);
    d.nodeState = NewArray<int>(road);
    if (d.nObservers != 0) {
      d.lumObserver = NewArray<float>(Mul(d.nObservers, road));
      for (float** p : {&d.obsLumAvg, &d.obsLumMin, &d.obsLumMax, &d.obsUniformity, &d.obsLongUniformity})
        *p = NewArray<float>(d.nObservers);
    }
  }
  d.yOpp = NewArray<float>(d.nOpp);
  const Count opp = Mul(d.nX, d.nOpp);
  if (opp != 0) {
    d.eOpp = NewArray<float>(opp);
    if (d.nObserversOpp != 0)
      d.lumObserverOpp = NewArray<float>(Mul(d.nObserversOpp, opp));
  }
  if (d.nObservers != 0) {
    d.obsThreshold = NewArray<float>(d.nObservers);
    d.obsGlare = NewArray<float>(d.nObservers);
  }
  d.zones = NewArray<_ZONE_RESULT>(d.nZones);
  d.totalsA = NewArray<_TOTAL_LIGHT_50>(d.nTotalsA);
  d.totalsB = NewArray<_TOTAL_LIGHT_50>(d.nTotalsB);
}

// The results block, in file order. Header:
//   valid int32, nX, header1, header2; nRightWalk, sumRightWalk 5 floats, escMinRightWalk;
//   nLeftWalk, sumLeftWalk, escMinLeftWalk; nWallX, nRightWall, evMaxRightWall, nLeftWall, evMaxLeftWall;
//   nObservers, header3, nRoad, sumRoad, sumWhole; nObserversOpp, nOpp, lumSummary;
//   nZones (from 4.0.4.0); nTotalsA, nTotalsB (from 4.3.5.0).
// Arrays:
//   xs[nX]; yRightWalk[nRightWalk]; eRightWalk and escRightWalk [nX*nRightWalk]; the same for the left;
//   xsWall[nWallX]; zRightWall; evRightWall[nWallX*nRightWall]; zLeftWall; evLeftWall;
//   yRoad[nRoad]; per road node eRoad float then nodeState int32 (the state from 4.0.4.0); per observer its
//   lumObserver grid then obsLumAvg, obsLumMin, obsLumMax, obsUniformity, obsLongUniformity;
//   yOpp[nOpp]; eOpp[nX*nOpp]; per opposite observer its lumObserverOpp grid;
//   per observer obsThreshold, obsGlare; zones (from 4.0.4.0), 13 items each;
//   utilRightWalk, utilLeftWalk, utilRoad, utilOpp, utilWhole (from 4.0.17.0);
//   valueMin, valueMax, totalsA, totalsB (from 4.3.5.0).
// Road and opposite grids are present only when they have nodes. worstObserver, shownObserver and sumOpp are
// never stored.
int CResultsOfCalc::Serialize(CArchive* archive, DWORD fileVersion)
{
  CArchive& ar = *archive;
  _CALC_RESULTS& d = m_data;
  const bool storing = ar.IsStoring();
  if (storing)
    fileVersion = kCurrentFormatVersion;
  else
    Clear();
  const bool zonesInFile = IsVersionAtLeast(fileVersion, kZonesVersion);
  const bool utilisationInFile = IsVersionAtLeast(fileVersion, kUtilisationVersion);
  const bool totalsInFile = IsVersionAtLeast(fileVersion, kTotalsVersion);

  if (storing) {
    ar << d.valid << d.nX << d.header1 << d.header2;
    ar << d.nRightWalk;
    StoreFive(ar, d.sumRightWalk);
    ar << d.escMinRightWalk << d.nLeftWalk;
    StoreFive(ar, d.sumLeftWalk);
    ar << d.escMinLeftWalk;
    ar << d.nWallX << d.nRightWall << d.evMaxRightWall << d.nLeftWall << d.evMaxLeftWall;
    ar << d.nObservers << d.header3 << d.nRoad;
    StoreFive(ar, d.sumRoad);
    StoreFive(ar, d.sumWhole);
    ar << d.nObserversOpp << d.nOpp;
    StoreFive(ar, d.lumSummary);
    ar << d.nZones << d.nTotalsA << d.nTotalsB;
  } else {
    ar >> d.valid >> d.nX >> d.header1 >> d.header2;
    ar >> d.nRightWalk;
    LoadFive(ar, d.sumRightWalk);
    ar >> d.escMinRightWalk >> d.nLeftWalk;
    LoadFive(ar, d.sumLeftWalk);
    ar >> d.escMinLeftWalk;
    ar >> d.nWallX >> d.nRightWall >> d.evMaxRightWall >> d.nLeftWall >> d.evMaxLeftWall;
    ar >> d.nObservers >> d.header3 >> d.nRoad;
    LoadFive(ar, d.sumRoad);
    LoadFive(ar, d.sumWhole);
    ar >> d.nObserversOpp >> d.nOpp;
    LoadFive(ar, d.lumSummary);
    if (zonesInFile)
      ar >> d.nZones;
    if (totalsInFile)
      ar >> d.nTotalsA >> d.nTotalsB;
    // The counts must fit in what is left of the file before anything is allocated for them.
    ar.EnsureAvailable(ArrayBytes(d, fileVersion));
    AllocArrays();
  }

  auto grid = [&](float* p, Count n) { storing ? StoreArray(ar, p, n) : LoadArray(ar, p, n); };
  // Element `offset` onward of an array that may be missing while storing.
  auto gridAt = [&](float* p, Count offset, Count n) { grid(p ? p + offset : nullptr, n); };
  auto one = [&](auto& v) { storing ? void(ar << v) : void(ar >> v); };
  auto element = [&](auto* p, Count i) {
    using T = std::remove_pointer_t<decltype(p)>;
    if (storing)
      ar << (p ? p[i] : T{});
    else
      ar >> p[i];
  };

  grid(d.xs, d.nX);
  grid(d.yRightWalk, d.nRightWalk);
  if (const Count n = Mul(d.nX, d.nRightWalk); n != 0) {
    grid(d.eRightWalk, n);
    grid(d.escRightWalk, n);
  }
  grid(d.yLeftWalk, d.nLeftWalk);
  if (const Count n = Mul(d.nX, d.nLeftWalk); n != 0) {
    grid(d.eLeftWalk, n);
    grid(d.escLeftWalk, n);
  }
  grid(d.xsWall, d.nWallX);
  grid(d.zRightWall, d.nRightWall);
  grid(d.evRightWall, Mul(d.nWallX, d.nRightWall));
  grid(d.zLeftWall, d.nLeftWall);
  grid(d.evLeftWall, Mul(d.nWallX, d.nLeftWall));

  grid(d.yRoad, d.nRoad);
  if (const Count road = Mul(d.nX, d.nRoad); road != 0) {
    for (Count i = 0; i < road; ++i) {
      element(d.eRoad, i);
      if (zonesInFile)
        element(d.nodeState, i);
    }
    for (Count k = 0; k < d.nObservers; ++k) {
      gridAt(d.lumObserver, k * road, road);
      element(d.obsLumAvg, k);
      element(d.obsLumMin, k);
      element(d.obsLumMax, k);
      element(d.obsUniformity, k);
      element(d.obsLongUniformity, k);
    }
  }

  grid(d.yOpp, d.nOpp);
  if (const Count opp = Mul(d.nX, d.nOpp); opp != 0) {
    grid(d.eOpp, opp);
    for (Count k = 0; k < d.nObserversOpp; ++k)
      gridAt(d.lumObserverOpp, k * opp, opp);
  }
  for (Count k = 0; k < d.nObservers; ++k) {
    element(d.obsThreshold, k);
    element(d.obsGlare, k);
  }

  if (zonesInFile) {
    for (Count i = 0; i < d.nZones; ++i)
      storing ? StoreZone(ar, d.zones ? d.zones[i] : _ZONE_RESULT{}) : LoadZone(ar, d.zones[i]);
  }
  if (utilisationInFile) {
    one(d.utilRightWalk);
    one(d.utilLeftWalk);
    one(d.utilRoad);
    one(d.utilOpp);
    one(d.utilWhole);
  }
  if (totalsInFile) {
    one(d.valueMin);
    one(d.valueMax);
    for (Count i = 0; i < d.nTotalsA; ++i)
      storing ? StoreTotal(ar, d.totalsA ? d.totalsA[i] : _TOTAL_LIGHT_50{}) : LoadTotal(ar, d.totalsA[i]);
    for (Count i = 0; i < d.nTotalsB; ++i)
      storing ? StoreTotal(ar, d.totalsB ? d.totalsB[i] : _TOTAL_LIGHT_50{}) : LoadTotal(ar, d.totalsB[i]);
  }

  if (!storing)
    UpdateWorstObserver();
  return 0;
}

int CResultsOfCalc::CopyTo(IClassObjModel* dst, DWORD flags)
{
  CClassObjModel::CopyTo(dst, flags);
  IResultsOfCalc* dstResults = nullptr;
  if (FAILED(dst->QueryInterface(&IID_IResultsOfCalc, reinterpret_cast<void**>(&dstResults))))
    return 1;
  CResultsOfCalc* to = dynamic_cast<CResultsOfCalc*>(dstResults);
  dstResults->Release();
  if (!to)
    return 1;
  to->Assign(*this);
  return 0;
}

void CResultsOfCalc::Assign(const CResultsOfCalc& source)
{
  if (&source == this)
    return;
  Clear();
  const _CALC_RESULTS& s = source.m_data;
  _CALC_RESULTS& d = m_data;
  m_selected = source.m_selected;

  d.nX = s.nX;
  d.header1 = s.header1;
  d.header2 = s.header2;
  d.header3 = s.header3;
  d.nRightWalk = s.nRightWalk;
  d.nLeftWalk = s.nLeftWalk;
  d.nWallX = s.nWallX;
  d.nRightWall = s.nRightWall;
  d.nLeftWall = s.nLeftWall;
  d.nRoad = s.nRoad;
  d.nObservers = s.nObservers;
  d.nObserversOpp = s.nObserversOpp;
  d.nOpp = s.nOpp;
  d.nZones = s.nZones;
  d.nTotalsA = s.nTotalsA;
  d.nTotalsB = s.nTotalsB;
  std::memcpy(d.sumRightWalk, s.sumRightWalk, sizeof d.sumRightWalk);
  std::memcpy(d.sumLeftWalk, s.sumLeftWalk, sizeof d.sumLeftWalk);
  std::memcpy(d.sumRoad, s.sumRoad, sizeof d.sumRoad);
  std::memcpy(d.sumWhole, s.sumWhole, sizeof d.sumWhole);
  std::memcpy(d.lumSummary, s.lumSummary, sizeof d.lumSummary);
  d.escMinRightWalk = s.escMinRightWalk;
  d.escMinLeftWalk = s.escMinLeftWalk;
  d.evMaxRightWall = s.evMaxRightWall;
  d.evMaxLeftWall = s.evMaxLeftWall;

  AllocArrays();
  const Count road = Mul(d.nX, d.nRoad);
  const Count opp = Mul(d.nX, d.nOpp);
  CopyArray(d.xs, s.xs, d.nX);
  CopyArray(d.yRightWalk, s.yRightWalk, d.nRightWalk);
  CopyArray(d.eRightWalk, s.eRightWalk, Mul(d.nX, d.nRightWalk));
  CopyArray(d.escRightWalk, s.escRightWalk, Mul(d.nX, d.nRightWalk));
  CopyArray(d.yLeftWalk, s.yLeftWalk, d.nLeftWalk);
  CopyArray(d.eLeftWalk, s.eLeftWalk, Mul(d.nX, d.nLeftWalk));
  CopyArray(d.escLeftWalk, s.escLeftWalk, Mul(d.nX, d.nLeftWalk));
  CopyArray(d.xsWall, s.xsWall, d.nWallX);
  CopyArray(d.zRightWall, s.zRightWall, d.nRightWall);
  CopyArray(d.evRightWall, s.evRightWall, Mul(d.nWallX, d.nRightWall));
  CopyArray(d.zLeftWall, s.zLeftWall, d.nLeftWall);
  CopyArray(d.evLeftWall, s.evLeftWall, Mul(d.nWallX, d.nLeftWall));
  CopyArray(d.yRoad, s.yRoad, d.nRoad);
  CopyArray(d.eRoad, s.eRoad, road);
  CopyArray(d.nodeState, s.nodeState, road);
  CopyArray(d.lumObserver, s.lumObserver, Mul(d.nObservers, road));
  for (auto member : {&_CALC_RESULTS::obsLumAvg, &_CALC_RESULTS::obsLumMin, &_CALC_RESULTS::obsLumMax,
                      &_CALC_RESULTS::obsUniformity, &_CALC_RESULTS::obsLongUniformity,
                      &_CALC_RESULTS::obsThreshold, &_CALC_RESULTS::obsGlare})
    CopyArray(d.*member, s.*member, d.nObservers);
  CopyArray(d.yOpp, s.yOpp, d.nOpp);
  CopyArray(d.eOpp, s.eOpp, opp);
  CopyArray(d.lumObserverOpp, s.lumObserverOpp, Mul(d.nObserversOpp, opp));
  CopyArray(d.zones, s.zones, d.nZones);
  for (Count i = 0; i < d.nTotalsA; ++i)
    CopyTotal(d.totalsA[i], s.totalsA[i]);
  for (Count i = 0; i < d.nTotalsB; ++i)
    CopyTotal(d.totalsB[i], s.totalsB[i]);

  d.valid = s.valid;
  d.valueMin = s.valueMin;
  d.valueMax = s.valueMax;
  d.utilRightWalk = s.utilRightWalk;
  d.utilLeftWalk = s.utilLeftWalk;
  d.utilRoad = s.utilRoad;
  d.utilOpp = s.utilOpp;
  d.utilWhole = s.utilWhole;
  UpdateWorstObserver();
}

// The worst lane is the one whose observer sees the lowest average luminance; between equal averages, the lower
// overall uniformity; between equal ones, the first lane.
void CResultsOfCalc::UpdateWorstObserver()
{
  _CALC_RESULTS& d = m_data;
  d.worstObserver = 0;
  if (!d.obsLumAvg || !d.obsUniformity)
    return;
  for (std::uint32_t k = 1; k < d.nObservers; ++k) {
    const std::uint32_t w = static_cast<std::uint32_t>(d.worstObserver);
    if (d.obsLumAvg[k] < d.obsLumAvg[w] ||
        (d.obsLumAvg[k] == d.obsLumAvg[w] && d.obsUniformity[k] < d.obsUniformity[w]))
      d.worstObserver = static_cast<int>(k);
  }
}

float CResultsOfCalc::GetRecordValue(int record, int field)
{
  // A record the block does not hold reads as nothing rather than as memory beyond the array.
  if (record < 0 || static_cast<std::uint32_t>(record) >= m_data.nZones || !m_data.zones)
    return 0.0f;
  const _ZONE_RESULT& z = m_data.zones[record];
  switch (field) {
  case 0: return static_cast<float>(z.kind);
  case 1: return z.average;
  case 2: return z.minimum;
  case 3: return z.maximum;
  case 4: return z.uniformity;
  case 5: return z.fifth;
  case 6: return z.i80;
  case 7: return z.i85;
  case 8: return z.utilisation;
  default: return 0.0f;
  }
}

}  // namespace ObjectModel
