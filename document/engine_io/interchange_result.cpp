// The result file, in order: F1 the flux the utilisation factors are related to (lm); F2 I80 and F3 I85 of the
// installation (cd/klm); then per primitive in list order: a carriageway or sidewalk polygon that takes part,
// one float per point of its calculation surface in point order; a shading polygon that takes part, one float
// (no point of it is calculated); nothing for any other primitive.
#include "document/engine_io/interchange_result.h"

#include "document/engine_io/engine_io_codes.h"
#include "document/engine_io/engine_result_reader.h"
#include "document/engine_io/interchange_parts.h"
#include "model/doc_interface.h"
#include "model/identifiers.h"
#include "model/ivisualopt.h"
#include "model/primitive.h"
#include "model/results.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace EngineIo {
namespace {

using namespace ObjectModel;

constexpr int kKindCarriageway = 0;
constexpr int kKindSidewalk = 1;

struct Answer {
  IPrimitive* primitive;
  CPrimitiveCalcSurface* surface;  // null for a shading polygon
  std::size_t values;
};

// What the file must hold, primitive by primitive.
std::vector<Answer> ExpectedAnswers(const InterchangeParts& parts)
{
  std::vector<Answer> answers;
  ModelRef<IPrimitive> first = Query<IPrimitive>(parts.site.get(), IID_IPrimitive);
  for (IPrimitive* p = first.get(); p; p = p->GetNext()) {
    if (IsShadingPolygon(parts, p)) {
      answers.push_back({p, nullptr, 1});
    } else if (IsCalculatedPolygon(parts, p)) {
      CPrimitiveCalcSurface* surface = p->GetMeshHelper();
      answers.push_back({p, surface, surface ? surface->GetPointCount() : 0});
    }
  }
  return answers;
}

// The name with at most 259 bytes and its terminator; a longer one is cut.
void CopyName(char (&to)[260], const CString& name)
{
  const std::size_t n = std::min<std::size_t>(static_cast<std::size_t>(name.GetLength()), sizeof to - 1);
  std::memcpy(to, name.GetString(), n);
  to[n] = '\0';
}

void SetKind(_TOTAL_LIGHT_50& record, const GUID& kind)
{
  record.groupData1 = kind.Data1;
  record.groupData2 = kind.Data2;
  record.groupData3 = kind.Data3;
  std::memcpy(record.groupData4, kind.Data4, 8);
}

bool HasKind(const _TOTAL_LIGHT_50& record, const GUID& kind)
{
  return record.groupData1 == kind.Data1 && record.groupData2 == kind.Data2 && record.groupData3 == kind.Data3 &&
         std::memcmp(record.groupData4, kind.Data4, 8) == 0;
}

bool InNoGroup(const _TOTAL_LIGHT_50& record) { return HasKind(record, GUID{}); }

float Ratio(double numerator, double denominator)
{
  return denominator != 0 ? static_cast<float>(numerator / denominator) : 0.0f;
}

// Records of a zone, or the members of a group, condensed: the average weighted by area, the smallest minimum,
// the largest maximum, the areas summed and the utilisation factors summed (each is its surface's share of the
// flux, so the whole takes them all).
struct Combined {
  bool any = false;
  double area = 0;
  double weighted = 0;
  float minimum = 0, maximum = 0;
  double utilisation = 0;

  void Add(const _TOTAL_LIGHT_50& r)
  {
    minimum = any ? std::min(minimum, r.minimum) : r.minimum;
    maximum = any ? std::max(maximum, r.maximum) : r.maximum;
    any = true;
    area += r.area;
    weighted += static_cast<double>(r.area) * r.average;
    utilisation += r.utilisation;
  }
  float Average() const { return Ratio(weighted, area); }
};

_ZONE_RESULT ZoneOf(int kind, const std::vector<_TOTAL_LIGHT_50>& records, float i80, float i85)
{
  Combined c;
  for (const _TOTAL_LIGHT_50& r : records)
    c.Add(r);
  _ZONE_RESULT zone{};
  zone.kind = kind;
  zone.average = c.Average();
  zone.minimum = c.minimum;
  zone.maximum = c.maximum;
  zone.uniformity = Ratio(zone.minimum, zone.average);
  zone.i80 = i80;
  zone.i85 = i85;
  zone.utilisation = static_cast<float>(c.utilisation);
  return zone;
}

_TOTAL_LIGHT_50* CopyRecords(const std::vector<_TOTAL_LIGHT_50>& records)
{
  if (records.empty())
    return nullptr;
  auto* out = new _TOTAL_LIGHT_50[records.size()];
  std::copy(records.begin(), records.end(), out);
  return out;
}

}  // namespace

}  // namespace EngineIo

int ReadEngineResult5(IQorRoadDoc* document, const CString& path)
{
  using namespace EngineIo;
  using namespace ObjectModel;
  InterchangeParts parts;
  if (!FindActiveInterchange(document, parts))
    return kNoAreaOfThisKind;
  auto* results = dynamic_cast<CResultsOfCalc*>(parts.results.get());
  if (!results)
    return kNoAreaOfThisKind;

  CFile file;
  if (!file.Open(path.GetString(), CFile::modeRead))
    return kResultMissing;
  results->Clear();
  const std::vector<Answer> answers = ExpectedAnswers(parts);
  std::size_t expected = 3;
  for (const Answer& a : answers)
    expected += a.values;
  // The model says how many values there are; the file must hold them all before any is taken.
  std::vector<float> values;
  const int code = ReadResultArchive(file, [&](CArchive& ar) {
    ar.EnsureAvailable(static_cast<ULONGLONG>(expected) * 4);
    values.resize(expected);
    for (float& v : values) {
      ar >> v;
      if (!IsLight(v))
        AfxThrowArchiveException(CArchiveException::badIndex);
    }
  });
  if (code != kOk)
    return code;

  const float flux = values[0], i80 = values[1], i85 = values[2];
  std::size_t at = 3;
  std::vector<_TOTAL_LIGHT_50> perPrimitive;
  bool anyValue = false;
  float valueMin = 0, valueMax = 0;
  bool carriagewayRead = false, sidewalkRead = false;
  for (const Answer& a : answers) {
    if (!a.surface) {
      at += a.values;  // a shading polygon's value means nothing here
      continue;
    }
    _TOTAL_LIGHT_50 record{};
    bool anyHere = false;
    for (std::size_t i = 0; i < a.values; ++i, ++at) {
      const float v = values[at];
      a.surface->SetPointValue(i, v);
      record.minimum = anyHere ? std::min(record.minimum, v) : v;
      record.maximum = anyHere ? std::max(record.maximum, v) : v;
      valueMin = anyValue ? std::min(valueMin, v) : v;
      valueMax = anyValue ? std::max(valueMax, v) : v;
      anyHere = anyValue = true;
    }
    a.surface->ComputeAverage();
    CGuid kind;
    a.primitive->GetGroupKind(&kind);
    SetKind(record, kind.Value());
    CopyName(record.name, *a.primitive->GetName());
    record.area = static_cast<float>(a.surface->GetTotalArea());
    const bool carriageway = *a.primitive->GetMembership() == kMemberCarriageway;
    record.kind = carriageway ? kKindCarriageway : kKindSidewalk;
    record.average = static_cast<float>(a.surface->GetMeanValue());
    record.utilisation = Ratio(a.surface->GetWeightedSum(), flux);
    perPrimitive.push_back(record);
    (carriageway ? carriagewayRead : sidewalkRead) = true;
  }

  _CALC_RESULTS& d = *results->GetData();
  if (carriagewayRead || sidewalkRead) {
    std::vector<_TOTAL_LIGHT_50> zoneA, zoneB;
    ModelRef<IGroupOfPrimitive> firstGroup = Query<IGroupOfPrimitive>(parts.site.get(), IID_IGroupOfPrimitive);
    for (IGroupOfPrimitive* g = firstGroup.get(); g; g = g->GetNext()) {
      const int membership = *g->GetNumber();
      if (membership != kMemberCarriageway && membership != kMemberSidewalk)
        continue;
      const int kind = membership == kMemberCarriageway ? kKindCarriageway : kKindSidewalk;
      CGuid groupKind;
      g->GetKind(&groupKind);
      Combined members;
      for (const _TOTAL_LIGHT_50& r : perPrimitive) {
        if (r.kind == kind && HasKind(r, groupKind.Value()))
          members.Add(r);
      }
      if (!members.any)
        continue;
      _TOTAL_LIGHT_50 record{};
      SetKind(record, groupKind.Value());
      CopyName(record.name, *g->GetName());
      record.area = static_cast<float>(members.area);
      record.kind = kind;
      record.average = members.Average();
      record.minimum = members.minimum;
      record.maximum = members.maximum;
      record.utilisation = static_cast<float>(members.utilisation);
      (kind == kKindCarriageway ? zoneA : zoneB).push_back(record);
    }
    for (const _TOTAL_LIGHT_50& r : perPrimitive) {
      if (InNoGroup(r))
        (r.kind == kKindCarriageway ? zoneA : zoneB).push_back(r);
    }
    d.nTotalsA = static_cast<std::uint32_t>(zoneA.size());
    d.totalsA = CopyRecords(zoneA);
    d.nTotalsB = static_cast<std::uint32_t>(zoneB.size());
    d.totalsB = CopyRecords(zoneB);
    std::vector<_ZONE_RESULT> zones;
    if (carriagewayRead)
      zones.push_back(ZoneOf(kKindCarriageway, zoneA, i80, i85));
    if (sidewalkRead)
      zones.push_back(ZoneOf(kKindSidewalk, zoneB, i80, i85));
    d.nZones = static_cast<std::uint32_t>(zones.size());
    d.zones = new _ZONE_RESULT[zones.size()];
    std::copy(zones.begin(), zones.end(), d.zones);
  }
  d.header1 = d.header2 = d.header3 = 1;
  d.valid = 1;
  if (anyValue) {
    d.valueMin = valueMin;
    d.valueMax = valueMax;
  }

  void* out = nullptr;
  ModelRef<IVisualOpt> options;
  if (SUCCEEDED(document->QueryInterface(IID_IVisualOpt, &out)) && out)
    options = ModelRef<IVisualOpt>(static_cast<IVisualOpt*>(out));
  for (const Answer& a : answers) {
    if (!a.surface)
      continue;
    a.surface->SetValueRange(d.valueMin, d.valueMax);
    a.surface->BuildIsolines(options.get());
    a.surface->ApplyColorLevels(options.get());
  }
  return kOk;
}
