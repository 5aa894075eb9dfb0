#include "geometry/calc_area_manager.h"

#include "geometry/colour_mapping.h"
#include "geometry/levels.h"
#include "geometry/view_camera.h"
#include "model/iresults.h"
#include "platform/mfc-core/exceptions.h"

#include <cmath>

namespace {

constexpr double kSemiCylindricalHeight = 1.5;   // the observer's eye height over the sidewalk
constexpr double kSteepViewTilt = 80.0;          // degrees: beyond it an open site's labels would crowd
constexpr int kProgressRange = 90;
constexpr int kNodeValueLabelChars = 16;         // the width of a label, in label heights / 6

}  // namespace

CCalcAreaManager::CCalcAreaManager(ICalcAreaHost* host) : m_host(host) {}

CCalcAreaManager::~CCalcAreaManager() { DeleteAreas(); }

void CCalcAreaManager::DeleteAreas() { m_areas.clear(); }

CCalcArea* CCalcAreaManager::GetMainArea()
{
  for (auto& area : m_areas) {
    if (area->m_kind == AreaKind::kMain) {
      return area.get();
    }
  }
  return nullptr;
}

void CCalcAreaManager::SetProgress(int percent)
{
  m_progress = percent;
  SendProgress(percent);
}

CCalcArea* CCalcAreaManager::AddArea(DWORD kind, const CRoadLayout::Rect& rect, double z)
{
  auto area = std::make_unique<CCalcArea>(this, m_displayMode);
  area->m_kind = kind;
  area->MoveTo((rect.xFrom + rect.xTo) / 2, (rect.yUpper + rect.yLower) / 2, z);
  area->ResizeTo(rect.xTo - rect.xFrom, rect.yUpper - rect.yLower, 0);
  m_kindsMade |= kind;
  m_areas.push_back(std::move(area));
  return m_areas.back().get();
}

void CCalcAreaManager::MakeStraightRoadAreas(int quantity)
{
  const CRoadLayout& road = m_layout;
  if (quantity == 0) {
    if (!road.oneWay) {
      if (road.carriagewayOn) AddArea(AreaKind::kMainLuminance, road.mainCarriageway, road.carriagewayHeight);
      if (road.oppositeShown) AddArea(AreaKind::kOppositeLuminance, road.oppositeCarriageway, road.carriagewayHeight);
    } else {
      AddArea(AreaKind::kMainLuminance, road.mainCarriageway, road.carriagewayHeight);
    }
  } else if (quantity == 1) {
    if (!road.oneWay) {
      if (road.carriagewayOn) AddArea(AreaKind::kMainIlluminance, road.mainCarriageway, road.carriagewayHeight);
      if (road.oppositeShown) AddArea(AreaKind::kOppositeIlluminance, road.oppositeCarriageway, road.carriagewayHeight);
    } else if (road.carriagewayOn) {
      AddArea(AreaKind::kMainIlluminance, road.mainCarriageway, road.carriagewayHeight);
    }
    if (road.leftSidewalkOn) AddArea(AreaKind::kLeftSidewalk, road.leftSidewalk, road.sidewalkHeight);
    if (road.rightSidewalkOn) AddArea(AreaKind::kRightSidewalk, road.rightSidewalk, road.sidewalkHeight);
    // Walls stand upright along the road: their rectangles are a length and a height range.
    auto addWall = [&](DWORD kind, const CRoadLayout::Rect& rect, double offset, double turnX, double turnY,
                       BOOL shown) {
      auto area = std::make_unique<CCalcArea>(this, m_displayMode);
      area->m_kind = kind;
      area->MoveTo((rect.xFrom + rect.xTo) / 2, offset, (rect.yUpper + rect.yLower) / 2);
      area->ResizeTo(rect.xTo - rect.xFrom, rect.yUpper - rect.yLower, 0);
      area->TurnTo(turnX, turnY, 0);
      if (!shown) {
        area->SetState(4);
      }
      m_kindsMade |= kind;
      m_areas.push_back(std::move(area));
    };
    if (road.rightWallOn) addWall(AreaKind::kRightWall, road.rightWall, road.rightWallOffset, 90, 180, road.rightWallShown);
    if (road.leftWallOn) addWall(AreaKind::kLeftWall, road.leftWall, road.leftWallOffset, 90, 0, road.leftWallShown);
  } else if (quantity == 2) {
    if (road.rightSidewalkOn) AddArea(AreaKind::kRightSidewalkSemiCyl, road.rightSidewalk, kSemiCylindricalHeight);
    if (road.leftSidewalkOn) AddArea(AreaKind::kLeftSidewalkSemiCyl, road.leftSidewalk, kSemiCylindricalHeight);
  }
}

void CCalcAreaManager::Rebuild()
{
  m_progress = 0;
  m_progressStep = 0;
  DeleteAreas();
  m_kindsMade = 0;
  if (m_host == nullptr) {
    return;
  }
  m_layout = m_host->GetRoadLayout();
  IVisualOpt* options = m_host->GetVisualOptions();
  const int quantity = options != nullptr ? *options->GetQuantity() : 0;
  _CALC_RESULTS* results = m_host->GetActiveResults();
  if (!m_host->GetActiveAreaSize(&m_areaLength, &m_areaWidth) || results == nullptr || results->valid == 0) {
    return;
  }
  m_host->RefreshProjectState();
  if (m_host->IsStraightRoadActive()) {
    MakeStraightRoadAreas(quantity);
  } else {
    m_kindsMade = AreaKind::kMain;
    auto area = std::make_unique<CCalcArea>(this, m_displayMode);
    area->m_kind = AreaKind::kMain;
    area->MoveTo(0, 0, 0);
    area->ResizeTo(m_areaLength, m_areaWidth, m_thirdSize);
    m_areas.push_back(std::move(area));
  }
  if (!m_areas.empty()) {
    m_progressStep = kProgressRange / static_cast<int>(m_areas.size());
  }
  FillAreas(*results);
}

double CCalcAreaManager::FontLabelHeight(int element) const
{
  IVisualOpt* options = m_host != nullptr ? m_host->GetVisualOptions() : nullptr;
  LOGFONTA font{};
  if (options == nullptr || options->GetFont(element, &font) != 0) {
    return 0;
  }
  return -static_cast<double>(font.lfHeight) / 100;
}

void CCalcAreaManager::FillAreas(const _CALC_RESULTS& results)
{
  GridStatistics() = CGridStatistics{};
  const double nodeLabelHeight = FontLabelHeight(2);
  const double labelWidth = nodeLabelHeight / 6 * kNodeValueLabelChars;
  const BOOL userGrid = m_host->GetUserGridFlag();

  for (auto& area : m_areas) {
    area->m_grid.Fill(area->m_size, results, area->m_kind, area->m_position);
    area->m_grid.m_userGrid = userGrid ? 1 : 0;
    area->m_isolines.m_flags = area->m_kind;
    if (area->m_kind == AreaKind::kMain) {
      // Label every f-th node so that neighbouring labels do not overlap.
      int step = 1;
      const int rows = area->m_grid.m_rows;
      const double spacing = rows > 1 ? m_areaLength / (rows - 1) : 0;
      if (spacing > 0 && std::isfinite(spacing) && labelWidth > 0) {
        step = std::max(1, static_cast<int>(std::ceil(labelWidth / spacing)));
        while (spacing * (step - 1) >= labelWidth && step > 1) --step;
        while (spacing * step < labelWidth) ++step;
      }
      area->m_nodeValues.m_rowStep = step;
      area->m_nodeValues.m_columnStep = step;
    }
    SetProgress(m_progress + static_cast<int>(static_cast<double>(m_progressStep) / kProgressRange * 10));
  }

  BuildLevels();

  IVisualOpt* options = m_host->GetVisualOptions();
  int scaleType = 0;
  if (options != nullptr) {
    scaleType = options->GetEffectiveScale();
    if (scaleType == 0) {
      scaleType = *options->GetScaleType();
    }
  }
  const CGridStatistics& stats = GridStatistics();
  const DWORD flags = ChooseFillFlags(m_displayMode, scaleType, m_host->GetColorLevels(),
                                      CRampStatistics{stats.allNodesMaximum, stats.positiveMinimum});
  for (auto& area : m_areas) {
    area->Build(flags);
  }
  SetProgress(0);
}

void CCalcAreaManager::BuildLevels()
{
  const CGridStatistics& stats = GridStatistics();
  ::BuildLevels(m_host != nullptr ? m_host->GetVisualOptions() : nullptr, stats.allNodesMaximum,
                stats.validNodesMaximum, m_levels);
}

void CCalcAreaManager::ApplyLabelHeightsTo(CCalcArea& area)
{
  // A project file with fewer fonts lacks the element: the labels keep the height they have.
  const double isolineHeight = FontLabelHeight(1);
  const double nodeHeight = FontLabelHeight(2);
  if (isolineHeight > 0) {
    area.m_isolines.SetLabelHeight(isolineHeight);
  }
  if (nodeHeight > 0) {
    area.m_nodeValues.SetLabelHeight(nodeHeight);
  }
}

void CCalcAreaManager::ApplyLabelHeights()
{
  for (auto& area : m_areas) {
    ApplyLabelHeightsTo(*area);
    area->m_isolines.PlaceLabels(&area->m_labelRecordKind, area->m_kind);
  }
}

void CCalcAreaManager::ApplyLabelColors()
{
  IVisualOpt* options = m_host != nullptr ? m_host->GetVisualOptions() : nullptr;
  if (options == nullptr) {
    return;
  }
  _PREF_OF_COLOR isoline{0, 0, 0};
  _PREF_OF_COLOR marker{0, 0, 0};
  _PREF_OF_COLOR nodeLabel{0, 0, 0};
  options->GetColour(7, &isoline);
  options->GetColour(8, &marker);
  options->GetColour(9, &nodeLabel);
  const float iso[3] = {isoline.r, isoline.g, isoline.b};
  const float mark[3] = {marker.r, marker.g, marker.b};
  const float node[3] = {nodeLabel.r, nodeLabel.g, nodeLabel.b};
  for (auto& area : m_areas) {
    area->ApplyLabelColours(iso, iso, mark, node);
  }
}

void CCalcAreaManager::SetStateByKind(DWORD mask, DWORD state)
{
  for (auto& area : m_areas) {
    if ((area->m_kind & mask) != 0) {
      area->SetState(state);
    }
  }
}

void CCalcAreaManager::MarkForSaving()
{
  for (auto& area : m_areas) {
    area->m_persisted = 1;
  }
}

void CCalcAreaManager::Draw()
{
  if (m_areas.empty()) {
    return;
  }
  BOOL straightRoad = FALSE;
  if (m_host != nullptr) {
    m_host->RefreshProjectState();
    straightRoad = m_host->IsStraightRoadActive();
  }
  for (auto& area : m_areas) {
    if ((area->GetState() & CSelectableObject::kVisible) == 0) {
      continue;
    }
    area->DrawPicture();
    if (m_displayMode == 0) {
      area->DrawIsolines();
    }
    if (straightRoad && m_displayMode == 2) {
      area->DrawNodeValues();
    }
  }
}

void CCalcAreaManager::DrawNodeValues()
{
  if (m_displayMode != 2) {
    return;
  }
  const double tilt = m_camera != nullptr ? m_camera->GetTiltAngle() : 0;
  const BOOL straightRoad = m_host != nullptr && m_host->IsStraightRoadActive();
  for (auto& area : m_areas) {
    if ((area->GetState() & CSelectableObject::kVisible) == 0) {
      continue;
    }
    area->m_nodeValues.m_nodeValueMode = straightRoad || std::fabs(tilt) < kSteepViewTilt ? 1 : 2;
    area->DrawNodeValues();
  }
}

void CCalcAreaManager::Serialize(CArchive& ar, DWORD version)
{
  m_levels.Serialize(ar);
  if (ar.IsStoring()) {
    ar << m_id << static_cast<int>(m_kindsMade) << m_displayMode << m_areaLength << m_areaWidth << m_thirdSize;
    ar << static_cast<int>(m_areas.size());
    for (auto& area : m_areas) {
      area->Serialize(ar, version);
    }
    return;
  }
  DeleteAreas();
  int kinds = 0;
  int count = 0;
  ar >> m_id >> kinds >> m_displayMode >> m_areaLength >> m_areaWidth >> m_thirdSize >> count;
  m_kindsMade = static_cast<DWORD>(kinds);
  if (count < 0) {
    AfxThrowArchiveException(CArchiveException::badIndex, ar.m_strFileName);
  }
  ar.EnsureAvailable(static_cast<ULONGLONG>(count) * 8);
  for (int k = 0; k < count; ++k) {
    auto area = std::make_unique<CCalcArea>(this, m_displayMode);
    area->Serialize(ar, version);
    m_areas.push_back(std::move(area));
  }
  ApplyLabelColors();
}

CCalcAreaManager* CCalcAreaManagerContainer::FindManager(int id) const
{
  for (const auto& manager : m_managers) {
    if (manager->GetId() == id) {
      return manager.get();
    }
  }
  return nullptr;
}

void CCalcAreaManagerContainer::DeleteAll() { m_managers.clear(); }

void CCalcAreaManagerContainer::Purge()
{
  if (m_host == nullptr) {
    return;
  }
  std::erase_if(m_managers, [this](const std::unique_ptr<CCalcAreaManager>& manager) {
    return m_host->IsCalcAreaIdFree(manager->GetId(), FALSE) != FALSE;
  });
}

void CCalcAreaManagerContainer::InvalidateAll()
{
  for (auto& manager : m_managers) {
    manager->MarkForSaving();
  }
}

CCalcAreaManager* CCalcAreaManagerContainer::ProvideManager(int areaId, int* newId, CViewCamera* camera,
                                                            int displayMode)
{
  CCalcAreaManager* manager = nullptr;
  if (areaId == 0) {
    auto made = std::make_unique<CCalcAreaManager>(m_host);
    made->SetId(++m_nextId);
    m_managers.push_back(std::move(made));
    areaId = m_nextId;
    if (newId != nullptr) {
      *newId = areaId;
    }
  }
  manager = FindManager(areaId);
  if (manager == nullptr) {
    // An area whose manager was never saved (files before the managers were) starts with an empty one.
    auto made = std::make_unique<CCalcAreaManager>(m_host);
    made->SetId(areaId);
    if (m_nextId < areaId) {
      m_nextId = areaId;
    }
    m_managers.push_back(std::move(made));
    manager = m_managers.back().get();
  }
  manager->SetCamera(camera);
  manager->SetDisplayMode(displayMode);
  return manager;
}

void CCalcAreaManagerContainer::Serialize(CArchive& ar, DWORD version)
{
  if (ar.IsStoring()) {
    Purge();
    std::vector<CCalcAreaManager*> current;
    for (auto& manager : m_managers) {
      if (m_host == nullptr || !m_host->IsCalcAreaIdFree(manager->GetId(), TRUE)) {
        current.push_back(manager.get());
      }
    }
    ar << static_cast<int>(current.size());
    for (CCalcAreaManager* manager : current) {
      manager->Serialize(ar, version);
    }
    return;
  }
  DeleteAll();
  int count = 0;
  ar >> count;
  if (count < 0) {
    AfxThrowArchiveException(CArchiveException::badIndex, ar.m_strFileName);
  }
  ar.EnsureAvailable(static_cast<ULONGLONG>(count) * 4);
  for (int k = 0; k < count; ++k) {
    auto manager = std::make_unique<CCalcAreaManager>(m_host);
    manager->Serialize(ar, version);
    if (m_nextId < manager->GetId()) {
      m_nextId = manager->GetId() + 1;
    }
    m_managers.push_back(std::move(manager));
  }
}
