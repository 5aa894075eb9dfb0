// A render core that shows the active area's results as the program's view does: it keeps the
// calculation-area managers, makes the active area's manager and rebuilds it from the results on request, and
// writes and reads the managers in its block of the project file. A file saved through it is a file saved
// after the results were shown. The straight road's layout, which the scene builder records in the program,
// is taken from the results' own axes: every strip that has values is on and shown.
#pragma once

#include "document/graphic_core.h"
#include "document/qor_road_doc.h"
#include "geometry/calc_area_manager.h"
#include "model/iarea.h"
#include "model/identifiers.h"
#include "model/iresults.h"
#include "model/ivisualopt.h"

#include <algorithm>

class ResultsCore : public CGraphicCore, public ICalcAreaHost {
public:
  explicit ResultsCore(IQorRoadDoc* context) : CGraphicCore(context), managers(this) {}

  static CGraphicCore* Make(IQorRoadDoc* context) { return new ResultsCore(context); }
  static ResultsCore& Of(CQorRoadDoc& doc) { return *static_cast<ResultsCore*>(doc.GetGraphicCore()); }

  // The active area's manager, rebuilt from its results with the visual options' display.
  CCalcAreaManager& ShowResults()
  {
    IArea* area = ActiveArea();
    int id = 0;
    CCalcAreaManager* manager =
        managers.ProvideManager(*area->GetCalcAreaId(), &id, nullptr, *GetVisualOptions()->GetResultDisplay());
    if (id != 0)
      area->SetCalcAreaId(&id);
    area->Release();
    manager->Rebuild();
    return *manager;
  }

  IVisualOpt* GetVisualOptions() override { return static_cast<CQorRoadDoc*>(m_context)->GetCurrentOptions(); }
  BOOL GetActiveAreaSize(double* length, double* width) override
  {
    IArea* area = ActiveArea();
    if (!area)
      return FALSE;
    *length = *area->GetLength();
    *width = *area->GetWidth();
    area->Release();
    return TRUE;
  }
  _CALC_RESULTS* GetActiveResults() override
  {
    IArea* area = ActiveArea();
    if (!area)
      return nullptr;
    void* part = nullptr;
    area->QueryInterface(&IID_IResultsOfCalc, &part);
    area->Release();
    if (!part)
      return nullptr;
    auto* results = static_cast<IResultsOfCalc*>(part);
    _CALC_RESULTS* block = results->GetData();
    results->Release();
    return block;
  }
  BOOL IsCalcAreaIdFree(int id, BOOL currentOnly) override { return m_context->IsCalcAreaIdFree(id, currentOnly); }
  void RefreshProjectState() override {}
  BOOL IsStraightRoadActive() override
  {
    IArea* area = ActiveArea();
    if (!area)
      return FALSE;
    void* site = nullptr;
    const bool straight = FAILED(area->QueryInterface(&IID_ICustomizeRoad, &site));
    if (site)
      static_cast<IModelUnknown*>(site)->Release();
    area->Release();
    return straight ? TRUE : FALSE;
  }
  BOOL GetUserGridFlag() override
  {
    IArea* area = ActiveArea();
    if (!area)
      return FALSE;
    const BOOL user = *area->GetGridMode() != 0 ? TRUE : FALSE;
    area->Release();
    return user;
  }
  const CRoadLayout& GetRoadLayout() override
  {
    layout = CRoadLayout{};
    const _CALC_RESULTS* r = GetActiveResults();
    if (!r || !r->valid || r->nX == 0)
      return layout;
    const double xFrom = r->xs[0];
    const double xTo = r->xs[r->nX - 1];
    auto strip = [&](CRoadLayout::Rect& rect, std::uint32_t count, const float* axis) {
      if (count == 0 || !axis)
        return FALSE;
      const auto [low, high] = std::minmax_element(axis, axis + count);
      rect = {xFrom, xTo, *high, *low};
      return TRUE;
    };
    layout.carriagewayOn = strip(layout.mainCarriageway, r->nRoad, r->yRoad);
    layout.oppositeShown = strip(layout.oppositeCarriageway, r->nOpp, r->yOpp);
    layout.oneWay = layout.oppositeShown ? FALSE : TRUE;
    layout.leftSidewalkOn = strip(layout.leftSidewalk, r->nLeftWalk, r->yLeftWalk);
    layout.rightSidewalkOn = strip(layout.rightSidewalk, r->nRightWalk, r->yRightWalk);
    layout.leftWallOn = layout.leftWallShown = strip(layout.leftWall, r->nLeftWall, r->zLeftWall);
    layout.rightWallOn = layout.rightWallShown = strip(layout.rightWall, r->nRightWall, r->zRightWall);
    layout.leftWallOffset = layout.leftSidewalk.yUpper;
    layout.rightWallOffset = layout.rightSidewalk.yLower;
    layout.sidewalkHeight = 0.17;
    return layout;
  }
  const CColorLevelArray& GetColorLevels() override
  {
    IVisualOpt* options = GetVisualOptions();
    options->GetColourLevels(options->GetQuantity(), nullptr, nullptr, &levels);
    return levels;
  }
  int SegmentTouchesActivePrimitive(const double*, const double*) override { return 2; }

  CCalcAreaManagerContainer managers;

protected:
  void SerializeCalcAreaManagers(CArchive& ar, DWORD version) override
  {
    managers.InvalidateAll();
    managers.Serialize(ar, version);
  }

private:
  IArea* ActiveArea()
  {
    void* area = nullptr;
    if (FAILED(static_cast<CQorRoadDoc*>(m_context)->QueryInterface(IID_ActiveArea, &area)))
      return nullptr;
    return static_cast<IArea*>(area);
  }

  CRoadLayout layout;
  CColorLevelArray levels;
};
