// The level values written along the isolines of a calculation surface: 3D text lying in the surface, a few
// labels at even distances on every stretch free of creases and zero values, each cutting a gap in its line.
// Labels are rebuilt, never stored.
#pragma once

#include "geometry/mesh/mesh_isolines.h"

#include <string>
#include <vector>

// A stretch of a curve's segments without special ones.
struct CMeshLabelRun {
  CMeshIsoCurve* curve = nullptr;
  double length = 0;
  std::int32_t first = 0;
  std::int32_t last = 0;
  const _VECTOR3D* normal = nullptr;  // of its first segment's start point
  std::int32_t closed = 0;
};

// "%.0f" above 1, else "%.1f".
const char* LabelFormat(double levelValue);

class CMeshLabelBuilder {
public:
  CMeshLabelBuilder(double labelHeight, float r, float g, float b) : m_height(labelHeight), m_r(r), m_g(g), m_b(b) {}

  // Labels of every curve of every level of the set.
  void BuildLabels(CMeshIsolineSet& set);
  void BuildRuns(CMeshIsoCurve& curve);
  void PlaceCurveLabels(CMeshIsoCurve& curve);
  void PlaceRunLabels(const CMeshLabelRun& run, double textWidth);
  void PlaceLabel(const CMeshLabelRun& run, int segment);

  const std::vector<CMeshLabelRun>& Runs() const { return m_runs; }

private:
  std::unique_ptr<CVectorString3D> NewLabel() const;

  std::vector<CMeshLabelRun> m_runs;
  double m_height;
  float m_r;
  float m_g;
  float m_b;
  double m_levelValue = 0;
};
