// The isolines of a calculation area: line segments of equal value traced through its grid by CONREC
// (P. Bourke, 1987), one set per level, each labelled with its level once along a long enough chord.
#pragma once

#include "geometry/display_host.h"
#include "geometry/object3d.h"
#include "geometry/vector_string3d.h"

#include <functional>
#include <memory>
#include <vector>

class CResultGrid;

struct _ISO_SEGMENT {
  double first[3];
  double second[3];
  int reserved = 0;
  int shown = 1;            // 0 for the segments the level's label covers
  int labelCandidate = 1;   // only segments with bit 0x1 may carry a label
};

// The process-wide label height of the isolines (0.3 at start), and the second value saved with every isoline.
double& IsolineLabelHeight();
double& IsolineSavedValue();

class CIsoLine {
public:
  // One label centred on a chain of joined segments at least 1.1 label widths long; those segments hide.
  void PlaceLabel();
  void Serialize(CArchive& ar, DWORD version);

  std::vector<_ISO_SEGMENT> m_segments;
  float m_colour[3] = {0, 0, 0};
  double m_level = 0;
  std::vector<std::unique_ptr<CVectorString3D>> m_labels;
  DWORD m_flags = 0;
};

// Traces one grid at the levels: level 0 gets no isoline; `accept` may refuse a segment (area coordinates).
// Points are grid index (a, b) -> (a * step x - offset x, b * step y - offset y, 0.005).
struct CIsolineTrace {
  const CResultGrid* grid = nullptr;
  const CLevelArray* levels = nullptr;
  double offsetX = 0;
  double offsetY = 0;
  std::function<bool(const double first[3], const double second[3])> accept;
  std::function<void(int percent)> progress;
};

class CIsoLinesContainer : public CObject3D {
public:
  CIsoLinesContainer() = default;
  ~CIsoLinesContainer() override;

  void Serialize(CArchive& ar, DWORD version) override;
  void Draw() override;

  void Trace(const CIsolineTrace& trace);
  void Clear();
  void SetColours(float lineR, float lineG, float lineB, float labelR, float labelG, float labelB);
  void SetLabelHeight(double height) override;
  void PlaceLabels(DWORD* labelRecordKind, DWORD kind);

  std::vector<std::unique_ptr<CIsoLine>>& GetIsolines() { return m_isolines; }
  const std::vector<std::unique_ptr<CIsoLine>>& GetIsolines() const { return m_isolines; }
  DWORD m_flags = 0;

private:
  void DropDisplayList();

  int m_displayList = -1;
  std::vector<std::unique_ptr<CIsoLine>> m_isolines;
};
