// The calculation areas of one project area: made from its results on every rebuild (one per road element and
// quantity on a straight road, one main area otherwise), with their shared isoline levels, fill flags, label
// heights and colours; drawn every frame and saved in the render core's block of the project file.
#pragma once

#include "geometry/calc_area.h"
#include "geometry/display_host.h"

#include <memory>
#include <vector>

class CViewCamera;

class CCalcAreaManager {
public:
  explicit CCalcAreaManager(ICalcAreaHost* host);
  virtual ~CCalcAreaManager();
  CCalcAreaManager(const CCalcAreaManager&) = delete;
  CCalcAreaManager& operator=(const CCalcAreaManager&) = delete;

  // The level array; id, kinds made, display mode; length, width, third size; area count; the areas.
  virtual void Serialize(CArchive& ar, DWORD version);

  void DeleteAreas();
  CCalcArea* GetMainArea();
  void Rebuild();
  void BuildLevels();
  void ApplyLabelHeights();
  void ApplyLabelColors();
  void SetStateByKind(DWORD mask, DWORD state);
  void MarkForSaving();
  void Draw();
  void DrawNodeValues();

  // The label heights of the visual options onto one area's isolines and node values.
  void ApplyLabelHeightsTo(CCalcArea& area);
  // Stores the per-cent value and sends it to the main window's progress bar.
  void SetProgress(int percent);

  ICalcAreaHost* GetHost() const { return m_host; }
  const CLevelArray& GetLevels() const { return m_levels; }
  CLevelArray& GetLevels() { return m_levels; }
  const std::vector<std::unique_ptr<CCalcArea>>& GetAreas() const { return m_areas; }
  int GetId() const { return m_id; }
  void SetId(int id) { m_id = id; }
  DWORD GetKindsMade() const { return m_kindsMade; }
  int GetDisplayMode() const { return m_displayMode; }
  void SetDisplayMode(int mode) { m_displayMode = mode; }
  void SetCamera(CViewCamera* camera) { m_camera = camera; }

private:
  CCalcArea* AddArea(DWORD kind, const CRoadLayout::Rect& rect, double z);
  void MakeStraightRoadAreas(int quantity);
  void FillAreas(const _CALC_RESULTS& results);
  // Label heights in metres from the fonts' character heights (hundredths of a metre).
  double FontLabelHeight(int element) const;

  std::vector<std::unique_ptr<CCalcArea>> m_areas;
  ICalcAreaHost* m_host;
  CViewCamera* m_camera = nullptr;
  DWORD m_kindsMade = 0;
  int m_displayMode = 0;
  int m_id = 0;
  double m_areaLength = 0;
  double m_areaWidth = 0;
  double m_thirdSize = 0;
  CRoadLayout m_layout;
  CLevelArray m_levels;
  int m_progress = 0;
  int m_progressStep = 0;
};

class CCalcAreaManagerContainer {
public:
  explicit CCalcAreaManagerContainer(ICalcAreaHost* host) : m_host(host) {}
  virtual ~CCalcAreaManagerContainer() { DeleteAll(); }

  // Storing: purges, then the managers an area of the current state carries (int32 count, each manager).
  // Loading: replaces every manager; the id counter passes the largest loaded id.
  virtual void Serialize(CArchive& ar, DWORD version);

  CCalcAreaManager* FindManager(int id) const;
  void DeleteAll();
  // Drops the managers whose id no area of any history state carries.
  void Purge();
  void InvalidateAll();
  // The manager of an area whose calculation-area id is `areaId`; for 0 a new manager with the next id,
  // which is written to *newId for the area to keep. Camera and display mode are set on the way out.
  CCalcAreaManager* ProvideManager(int areaId, int* newId, CViewCamera* camera, int displayMode);

  int GetNextId() const { return m_nextId; }
  const std::vector<std::unique_ptr<CCalcAreaManager>>& GetManagers() const { return m_managers; }

private:
  ICalcAreaHost* m_host;
  std::vector<std::unique_ptr<CCalcAreaManager>> m_managers;
  int m_nextId = 0;
};
