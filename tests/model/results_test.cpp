#include "archive_bytes.h"
#include "model/identifiers.h"
#include "model/results.h"
#include "model/version.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

using ObjectModel::CResultsOfCalc;
using ObjectModel::MakeFormatVersion;

const DWORD kCurrent = ObjectModel::kCurrentFormatVersion;

bool AtLeast(DWORD version, DWORD gate) { return version >= gate; }

// A small straight-road result with every part filled: 2 points along the road, one across each sidewalk,
// 2 along and one up each wall, 2 across each direction of the carriageway, 2 observers, one zone and one
// totals record. Values encode where they stand (100s: the grid, units: the element).
Bytes ResultsFixture(DWORD version, std::uint32_t oppObservers)
{
  const bool zones = AtLeast(version, MakeFormatVersion(4, 0, 4, 0));
  const bool totals = AtLeast(version, MakeFormatVersion(4, 3, 5, 0));
  Bytes b;
  // Header.
  b.i32(1).u32(2).i32(3).i32(1);                           // valid, nX, header1, header2
  b.u32(1).f32s({10, 5, 15, 0.5f, 0.33f}).f32(2.5f);        // right sidewalk
  b.u32(1).f32s({11, 6, 16, 0.55f, 0.37f}).f32(2.6f);       // left sidewalk
  b.u32(2).u32(1).f32(40).u32(1).f32(41);                   // walls
  b.u32(2).i32(1).u32(2).f32s({20, 10, 30, 0.5f, 0.3f}).f32s({21, 11, 31, 0.52f, 0.35f});
  b.u32(oppObservers).u32(2).f32s({1.2f, 0.4f, 0.6f, 12, 5});
  if (zones)
    b.u32(1);
  if (totals)
    b.u32(1).u32(0);
  // Arrays.
  b.f32s({0, 25});                          // xs
  b.f32s({-3});                             // yRightWalk
  b.f32s({101, 102}).f32s({111, 112});      // eRightWalk, escRightWalk
  b.f32s({-4});                             // yLeftWalk
  b.f32s({201, 202}).f32s({211, 212});      // eLeftWalk, escLeftWalk
  b.f32s({0, 25}).f32s({1.5f});             // xsWall, zRightWall
  b.f32s({301, 302});                       // evRightWall
  b.f32s({1.5f}).f32s({401, 402});          // zLeftWall, evLeftWall
  b.f32s({1.875f, 5.625f});                 // yRoad
  for (int node = 0; node < 4; ++node) {    // eRoad with node states
    b.f32(501.0f + node);
    if (zones)
      b.i32(node == 3 ? -1 : 0);
  }
  b.f32s({601, 602, 603, 604}).f32s({1.5f, 1.0f, 2.0f, 0.66f, 0.5f});   // observer 0
  b.f32s({611, 612, 613, 614}).f32s({1.2f, 0.9f, 1.8f, 0.75f, 0.5f});   // observer 1: darker
  b.f32s({-1.875f, -5.625f});               // yOpp
  b.f32s({701, 702, 703, 704});             // eOpp
  for (std::uint32_t k = 0; k < oppObservers; ++k)
    b.f32s({801.0f + 10 * k, 802.0f + 10 * k, 803.0f + 10 * k, 804.0f + 10 * k});
  b.f32s({9, 4}).f32s({11, 4.5f});          // TI and P per observer
  if (zones)
    b.i32(1).f32s({12, 3, 20, 0.25f, 7, 300, 100}).i32(0).f32s({0.45f, 0, 0, 0});
  if (AtLeast(version, MakeFormatVersion(4, 0, 17, 0)))
    b.f32s({0.1f, 0.2f, 0.3f, 0.4f, 0.5f});
  if (totals) {
    b.f32(0.5f).f32(44.0f);
    const BYTE group[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    char name[260] = {};
    std::strcpy(name, "Съезд 1");
    b.u32(0x11223344).u16(0x5566).u16(0x7788).raw(group, 8).raw(name, 260);
    b.f32(125.5f).i32(0).f32s({18, 6, 30, 0, 0, 0, 0}).i32(0).f32s({0.4f, 0, 0, 0});
  }
  return b;
}

IResultsOfCalc* NewResults()
{
  void* out = nullptr;
  (new CResultsOfCalc())->QueryInterface(&IID_IResultsOfCalc, &out);
  return static_cast<IResultsOfCalc*>(out);
}

CResultsOfCalc* Object(IResultsOfCalc* results) { return dynamic_cast<CResultsOfCalc*>(results); }

void Load(IResultsOfCalc* results, const Bytes& bytes, DWORD version)
{
  LoadingArchive ar(bytes.data());
  Object(results)->Serialize(ar.get(), version);
}

std::vector<std::uint8_t> Store(IResultsOfCalc* results)
{
  StoringArchive ar;
  Object(results)->Serialize(ar.get(), kCurrent);
  return ar.bytes();
}

TEST(Results, EmptyBlockIsHeaderUtilisationAndRange)
{
  IResultsOfCalc* results = NewResults();
  _CALC_RESULTS* d = results->GetData();
  EXPECT_EQ(d->valid, 0);
  d->valid = 1;
  d->header2 = 6;
  d->sumWhole[4] = 0.25f;
  d->lumSummary[0] = 1.5f;
  d->utilWhole = 0.3f;
  d->valueMax = 9.0f;
  d->sumOpp[0] = 77.0f;  // never stored

  Bytes expected;
  expected.i32(1).u32(0).i32(0).i32(6);
  expected.u32(0).zeros(20).f32(0).u32(0).zeros(20).f32(0);
  expected.u32(0).u32(0).f32(0).u32(0).f32(0);
  expected.u32(0).i32(0).u32(0).zeros(20).f32s({0, 0, 0, 0, 0.25f});
  expected.u32(0).u32(0).f32s({1.5f, 0, 0, 0, 0});
  expected.u32(0).u32(0).u32(0);
  ASSERT_EQ(expected.size(), 184u);
  expected.f32s({0, 0, 0, 0, 0.3f}).f32(0).f32(9.0f);
  const std::vector<std::uint8_t> written = Store(results);
  EXPECT_EQ(written.size(), 212u);
  EXPECT_EQ(written, expected.data());
  results->Release();
}

TEST(Results, FullBlockLoadsInPlaceAndStoresTheSameBytes)
{
  for (std::uint32_t oppObservers : {2u, 0u}) {
    const Bytes fixture = ResultsFixture(kCurrent, oppObservers);
    IResultsOfCalc* results = NewResults();
    Load(results, fixture, kCurrent);
    const _CALC_RESULTS* d = results->GetData();
    EXPECT_EQ(d->valid, 1);
    EXPECT_EQ(d->eRightWalk[1], 102.0f);
    EXPECT_EQ(d->escLeftWalk[0], 211.0f);
    EXPECT_EQ(d->evLeftWall[1], 402.0f);
    EXPECT_EQ(d->eRoad[1 * 2 + 1], 504.0f);  // point 1 along, point 1 across
    EXPECT_EQ(d->nodeState[3], -1);
    EXPECT_EQ(d->lumObserver[1 * 4 + 2], 613.0f);  // observer 1's grid starts at element 4
    EXPECT_EQ(d->obsLumAvg[1], 1.2f);
    EXPECT_EQ(d->obsLongUniformity[0], 0.5f);
    EXPECT_EQ(d->obsGlare[1], 4.5f);
    EXPECT_EQ(d->eOpp[3], 704.0f);
    if (oppObservers)
      EXPECT_EQ(d->lumObserverOpp[4], 811.0f);
    else
      EXPECT_EQ(d->lumObserverOpp, nullptr);
    EXPECT_EQ(d->zones[0].i85, 100.0f);
    EXPECT_EQ(d->utilWhole, 0.5f);
    EXPECT_EQ(d->valueMax, 44.0f);
    EXPECT_STREQ(d->totalsA[0].name, "Съезд 1");
    EXPECT_EQ(d->totalsA[0].groupData4[7], 8);
    EXPECT_EQ(d->nTotalsB, 0u);
    EXPECT_EQ(d->shownObserver, 0);
    // Observer 1 sees the lower average luminance.
    EXPECT_EQ(d->worstObserver, 1);

    EXPECT_EQ(Store(results), fixture.data()) << oppObservers;
    results->Release();
  }
}

TEST(Results, DeepCopyIsEqualAndIndependent)
{
  IResultsOfCalc* source = NewResults();
  IResultsOfCalc* copy = NewResults();
  Load(source, ResultsFixture(kCurrent, 2), kCurrent);
  source->GetData()->sumOpp[2] = 5.0f;
  source->GetData()->shownObserver = 1;
  EXPECT_EQ(Object(source)->CopyTo(Object(copy), 0), 0);
  EXPECT_EQ(Store(copy), Store(source));
  const _CALC_RESULTS* d = copy->GetData();
  EXPECT_NE(d->eRoad, source->GetData()->eRoad);
  EXPECT_EQ(d->sumOpp[2], 0.0f);
  EXPECT_EQ(d->shownObserver, 0);
  EXPECT_EQ(d->worstObserver, 1);

  // Onto itself: nothing changes.
  EXPECT_EQ(Object(source)->CopyTo(Object(source), 0), 0);
  EXPECT_EQ(source->GetData()->sumOpp[2], 5.0f);
  EXPECT_EQ(Store(source), Store(copy));

  copy->Clear();
  EXPECT_EQ(copy->GetData()->nX, 0u);
  EXPECT_EQ(copy->GetData()->eRoad, nullptr);
  source->Release();
  copy->Release();
}

TEST(Results, OlderFilesLeaveLaterItemsEmpty)
{
  struct Case {
    DWORD version;
    bool zones;
    bool utilisation;
    bool totals;
  };
  const Case cases[] = {
      {MakeFormatVersion(4, 0, 3, 0), false, false, false},
      {MakeFormatVersion(4, 0, 4, 0), true, false, false},
      {MakeFormatVersion(4, 0, 17, 0), true, true, false},
      {MakeFormatVersion(4, 3, 5, 0), true, true, true},
  };
  for (const Case& c : cases) {
    IResultsOfCalc* results = NewResults();
    Load(results, ResultsFixture(c.version, 2), c.version);
    const _CALC_RESULTS* d = results->GetData();
    EXPECT_EQ(d->nZones, c.zones ? 1u : 0u) << std::hex << c.version;
    EXPECT_EQ(d->nodeState[3], c.zones ? -1 : 0) << std::hex << c.version;
    EXPECT_EQ(d->utilRoad, c.utilisation ? 0.3f : 0.0f) << std::hex << c.version;
    EXPECT_EQ(d->nTotalsA, c.totals ? 1u : 0u) << std::hex << c.version;
    EXPECT_EQ(d->valueMax, c.totals ? 44.0f : 0.0f) << std::hex << c.version;
    EXPECT_EQ(d->eOpp[2], 703.0f) << std::hex << c.version;
    results->Release();
  }
}

TEST(Results, HostileOrTruncatedBlockIsAnArchiveError)
{
  // Counts that ask for more than the file holds, some of them beyond any memory.
  auto header = [](std::uint32_t nX, std::uint32_t nRoad, std::uint32_t nObservers, std::uint32_t nZones,
                   std::uint32_t nTotals) {
    Bytes b;
    b.i32(1).u32(nX).i32(1).i32(1);
    b.u32(0).zeros(24).u32(0).zeros(24);
    b.u32(0).u32(0).f32(0).u32(0).f32(0);
    b.u32(nObservers).i32(1).u32(nRoad).zeros(40);
    b.u32(0).u32(0).zeros(20);
    b.u32(nZones).u32(nTotals).u32(0);
    b.zeros(64);
    return b;
  };
  std::vector<Bytes> blocks = {
      header(0xFFFFFFFF, 0, 0, 0, 0),
      header(0xFFFFFFFF, 0xFFFFFFFF, 0, 0, 0),
      header(0x10000, 0x10000, 0x10000, 0, 0),  // the observer grids' size overflows 32 and 48 bits
      header(2, 2, 0xFFFFFFFF, 0, 0),
      header(0, 0, 0, 0x08000000, 0),
      header(0, 0, 0, 0, 0x7FFFFFFF),
  };
  const Bytes whole = ResultsFixture(kCurrent, 2);
  for (std::size_t cut : {std::size_t{0}, std::size_t{100}, std::size_t{184}, std::size_t{300}, whole.size() - 1}) {
    Bytes part;
    part.raw(whole.data().data(), cut);
    blocks.push_back(part);
  }
  for (std::size_t i = 0; i < blocks.size(); ++i) {
    IResultsOfCalc* results = NewResults();
    try {
      Load(results, blocks[i], kCurrent);
      ADD_FAILURE() << "block " << i << " loaded";
    } catch (CArchiveException* e) {
      EXPECT_EQ(e->m_cause, CArchiveException::endOfFile) << "block " << i;
      e->Delete();
    }
    results->Release();
  }
}

TEST(Results, ZoneRecordValues)
{
  IResultsOfCalc* results = NewResults();
  Load(results, ResultsFixture(kCurrent, 0), kCurrent);
  struct Case {
    int record;
    int field;
    float value;
  };
  const Case cases[] = {{0, 0, 1.0f}, {0, 1, 12.0f}, {0, 5, 7.0f}, {0, 7, 100.0f}, {0, 8, 0.45f},
                        {0, 9, 0.0f}, {0, -1, 0.0f}, {1, 1, 0.0f}, {-1, 1, 0.0f}};
  for (const Case& c : cases)
    EXPECT_EQ(results->GetRecordValue(c.record, c.field), c.value) << c.record << "/" << c.field;
  results->Release();
}

TEST(Results, AnswersOnlyItsOwnInterfaces)
{
  IResultsOfCalc* results = NewResults();
  void* out = nullptr;
  EXPECT_EQ(results->QueryInterface(&IID_IClassObjModel, &out), S_OK);
  auto* object = static_cast<IClassObjModel*>(out);
  EXPECT_STREQ(object->GetName()->GetString(), "Расчетные данные");
  CGuid classId;
  object->GetClassId(&classId);
  EXPECT_TRUE(classId.IsEqual(&CLSID_CResultsOfCalc));
  object->Release();
  EXPECT_EQ(results->QueryInterface(&IID_IArea, &out), E_NOINTERFACE);
  EXPECT_EQ(out, nullptr);
  results->Release();
}

}  // namespace

namespace {

TEST(Results, BlockFilledInPlaceStoresAndReloads)
{
  IResultsOfCalc* results = NewResults();
  _CALC_RESULTS* d = results->GetData();
  d->nX = 3;
  d->nRoad = 2;
  d->nObservers = 1;
  Object(results)->AllocArrays();
  for (int i = 0; i < 6; ++i) {
    d->eRoad[i] = 10.0f + i;
    d->lumObserver[i] = 0.5f * i;
  }
  d->obsThreshold[0] = 8.0f;
  d->valid = 1;
  const std::vector<std::uint8_t> written = Store(results);
  // Header, xs, yRoad, six nodes with states, one grid with five values, TI and P, utilisation, range.
  EXPECT_EQ(written.size(), 184u + 12 + 8 + 48 + 24 + 20 + 8 + 20 + 8);

  IResultsOfCalc* again = NewResults();
  Bytes bytes;
  bytes.raw(written.data(), written.size());
  Load(again, bytes, kCurrent);
  EXPECT_EQ(again->GetData()->eRoad[5], 15.0f);
  EXPECT_EQ(again->GetData()->lumObserver[4], 2.0f);
  EXPECT_EQ(again->GetData()->obsThreshold[0], 8.0f);

  // Counts without their arrays still give the form the counts promise.
  again->Clear();
  again->GetData()->nX = 3;
  again->GetData()->nRoad = 2;
  again->GetData()->nObservers = 1;
  EXPECT_EQ(Store(again).size(), written.size());
  again->Clear();
  results->Release();
  again->Release();
}

}  // namespace
