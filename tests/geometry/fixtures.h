// Shared pieces of the result-display tests: hand-written bytes, archives over them, a results block built
// from vectors, and a render core stand-in with its visual options.
#pragma once

#include "geometry/display_host.h"
#include "model/iresults.h"
#include "model/ivisualopt.h"
#include "platform/mfc-core/archive.h"
#include "platform/mfc-core/memfile.h"

#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

class Bytes {
public:
  Bytes& i32(std::int32_t v) { return raw(&v, 4); }
  Bytes& u16(std::uint16_t v) { return raw(&v, 2); }
  Bytes& f32(float v) { return raw(&v, 4); }
  Bytes& f64(double v) { return raw(&v, 8); }
  Bytes& f64s(std::initializer_list<double> vs)
  {
    for (double v : vs) f64(v);
    return *this;
  }
  Bytes& str(const std::string& text)  // below 255 characters: one length byte
  {
    m_bytes.push_back(static_cast<std::uint8_t>(text.size()));
    return raw(text.data(), text.size());
  }
  Bytes& raw(const void* p, std::size_t n)
  {
    const auto* b = static_cast<const std::uint8_t*>(p);
    m_bytes.insert(m_bytes.end(), b, b + n);
    return *this;
  }
  // The scene-object part: position, rotation, size, colour id, name, two reserved words, pick id.
  Bytes& object3d(double x = 0, double y = 0, double z = 0, double sx = 0, double sy = 0)
  {
    f64s({x, y, z, 0, 0, 0, sx, sy, 0});
    return i32(0).str("").i32(0).i32(0).i32(0);
  }
  const std::vector<std::uint8_t>& data() const { return m_bytes; }

private:
  std::vector<std::uint8_t> m_bytes;
};

class LoadingArchive {
public:
  explicit LoadingArchive(const std::vector<std::uint8_t>& bytes)
      : m_copy(bytes.empty() ? std::vector<std::uint8_t>(1) : bytes),
        m_file(m_copy.data(), static_cast<UINT>(bytes.size())), m_archive(&m_file, CArchive::load)
  {
  }
  CArchive& operator*() { return m_archive; }
  bool AtEnd() { return m_archive.IsBufferEmpty() && m_file.GetPosition() == m_file.GetLength(); }

private:
  std::vector<std::uint8_t> m_copy;
  CMemFile m_file;
  CArchive m_archive;
};

class StoringArchive {
public:
  StoringArchive() : m_archive(std::make_unique<CArchive>(&m_file, CArchive::store)) {}
  CArchive& operator*() { return *m_archive; }
  std::vector<std::uint8_t> bytes()
  {
    if (m_archive) {
      m_archive->Close();
      m_archive.reset();
    }
    const auto* data = m_file.GetData();
    return std::vector<std::uint8_t>(data, data + m_file.GetLength());
  }

private:
  CMemFile m_file;
  std::unique_ptr<CArchive> m_archive;
};

// A results block whose arrays live in vectors.
struct ResultsFixture {
  _CALC_RESULTS block{};
  std::vector<float> xs, xsWall, yRoad, eRoad, yOpp, eOpp, yLeftWalk, eLeftWalk, escLeftWalk, yRightWalk, eRightWalk,
      escRightWalk, zLeftWall, evLeftWall, zRightWall, evRightWall, lumObserver, lumObserverOpp;
  std::vector<int> nodeState;

  // Points the block at the vectors and takes the counts from them.
  void Bind()
  {
    auto ptr = [](std::vector<float>& v) { return v.empty() ? nullptr : v.data(); };
    block.valid = 1;
    block.nX = static_cast<std::uint32_t>(xs.size());
    block.xs = ptr(xs);
    block.nWallX = static_cast<std::uint32_t>(xsWall.size());
    block.xsWall = ptr(xsWall);
    block.nRoad = static_cast<std::uint32_t>(yRoad.size());
    block.yRoad = ptr(yRoad);
    block.eRoad = ptr(eRoad);
    block.nOpp = static_cast<std::uint32_t>(yOpp.size());
    block.yOpp = ptr(yOpp);
    block.eOpp = ptr(eOpp);
    block.nLeftWalk = static_cast<std::uint32_t>(yLeftWalk.size());
    block.yLeftWalk = ptr(yLeftWalk);
    block.eLeftWalk = ptr(eLeftWalk);
    block.escLeftWalk = ptr(escLeftWalk);
    block.nRightWalk = static_cast<std::uint32_t>(yRightWalk.size());
    block.yRightWalk = ptr(yRightWalk);
    block.eRightWalk = ptr(eRightWalk);
    block.escRightWalk = ptr(escRightWalk);
    block.nLeftWall = static_cast<std::uint32_t>(zLeftWall.size());
    block.zLeftWall = ptr(zLeftWall);
    block.evLeftWall = ptr(evLeftWall);
    block.nRightWall = static_cast<std::uint32_t>(zRightWall.size());
    block.zRightWall = ptr(zRightWall);
    block.evRightWall = ptr(evRightWall);
    block.lumObserver = ptr(lumObserver);
    block.lumObserverOpp = ptr(lumObserverOpp);
    block.nodeState = nodeState.empty() ? nullptr : nodeState.data();
  }
};

inline std::vector<float> Axis(int count, float step, float start = 0)
{
  std::vector<float> axis;
  for (int k = 0; k < count; ++k) axis.push_back(start + k * step);
  return axis;
}

// The model's visual options with their defaults, and setters for what the tests change.
class VisualOptions {
public:
  VisualOptions() { CreateVisualOpt(&m_options); }
  ~VisualOptions() { m_options->Release(); }
  VisualOptions(const VisualOptions&) = delete;
  VisualOptions& operator=(const VisualOptions&) = delete;

  IVisualOpt* operator->() const { return m_options; }
  IVisualOpt* get() const { return m_options; }
  void SetQuantity(int q) { m_options->SetQuantity(&q); }
  void SetResultDisplay(int d) { m_options->SetResultDisplay(&d); }
  void SetScaleType(int t) { m_options->SetScaleType(&t); }
  void SetAutoIsoLevels(int on) { m_options->SetAutoIsoLevels(&on); }
  // The user's illuminance levels.
  void SetIlluminanceLevels(std::initializer_list<float> levels)
  {
    CArray<float>* list = nullptr;
    m_options->GetIlluminanceLevels(&list);
    list->RemoveAll();
    for (float level : levels) list->Add(level);
  }
  // Empties the colour scale of a quantity.
  void ClearColourLevels(int quantity)
  {
    CArray<_PREF_OF_COLOR_LEVELS>* scale = nullptr;
    if (quantity == 0) m_options->GetColourLevels0(&scale);
    if (quantity == 1) m_options->GetColourLevels1(&scale);
    if (quantity == 2) m_options->GetColourLevels2(&scale);
    scale->RemoveAll();
  }

private:
  IVisualOpt* m_options = nullptr;
};

// The default colour scale of illuminance.
inline void DefaultIlluminanceLevels(CColorLevelArray& levels)
{
  const COLORREF colours[9] = {0x000000, 0x640000, 0xFF0000, 0x006400, 0x00C832,
                               0x00FF64, 0x00FFFF, 0x0064FF, 0x0000FF};
  levels.RemoveAll();
  for (int k = 0; k < 9; ++k) levels.Add(_PREF_OF_COLOR_LEVELS{5.0 * k, colours[k], 0});
}

// The render core as the managers see it.
class FakeHost : public ICalcAreaHost {
public:
  VisualOptions options;
  ResultsFixture results;
  double length = 30;
  double width = 10;
  bool hasArea = true;
  BOOL straightRoad = FALSE;
  BOOL userGrid = FALSE;
  CRoadLayout layout;
  CColorLevelArray levels;  // refilled from the options on each call, as the core does
  std::set<int> currentIds;  // ids carried by areas of the current state
  std::set<int> historyIds;  // ids carried by areas of any state
  int refreshes = 0;
  bool acceptAllSegments = true;

  IVisualOpt* GetVisualOptions() override { return options.get(); }
  BOOL GetActiveAreaSize(double* l, double* w) override
  {
    *l = length;
    *w = width;
    return hasArea ? TRUE : FALSE;
  }
  _CALC_RESULTS* GetActiveResults() override { return hasArea ? &results.block : nullptr; }
  BOOL IsCalcAreaIdFree(int id, BOOL currentOnly) override
  {
    return (currentOnly ? currentIds.count(id) : historyIds.count(id)) == 0 ? TRUE : FALSE;
  }
  void RefreshProjectState() override { ++refreshes; }
  BOOL IsStraightRoadActive() override { return straightRoad; }
  BOOL GetUserGridFlag() override { return userGrid; }
  const CRoadLayout& GetRoadLayout() override { return layout; }
  const CColorLevelArray& GetColorLevels() override
  {
    options->GetColourLevels(options->GetQuantity(), nullptr, nullptr, &levels);
    return levels;
  }
  int SegmentTouchesActivePrimitive(const double*, const double*) override { return acceptAllSegments ? 2 : 0; }
};
