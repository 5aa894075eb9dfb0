// The node values of a calculation area: every few grid nodes a point marker and a 3D text of the value.
#pragma once

#include "geometry/object3d.h"
#include "geometry/vector_string3d.h"

#include <memory>
#include <vector>

class CResultGrid;
class CViewCamera;
struct _RESULT_NODE;

struct _NODE_MARKER {
  double x = 0;
  double y = 0;
  double z = 0;
  float r = 0;
  float g = 0;
  float b = 0;
};

struct _NODE_LABEL {
  std::unique_ptr<_NODE_MARKER> marker;
  std::unique_ptr<CVectorString3D> label;
};

// The process-wide height of the markers above the area's plane (0.005 at start; loaded files replace it).
double& NodeMarkerHeight();

// The text of a node's value: one decimal for luminance and for values from 0.05 to 10, none otherwise;
// values below 0.05 read 0.
CString FormatNodeValue(DWORD kind, double value);

class CNodeValues : public CObject3D {
public:
  CNodeValues();
  ~CNodeValues() override;

  void Serialize(CArchive& ar, DWORD version) override;
  void Draw() override;

  void Build(const CResultGrid& grid);
  void Clear();
  void SetColours(float markerR, float markerG, float markerB, float labelR, float labelG, float labelB);
  void SetLabelHeight(double height) override;
  // One marker and label; the grid is only read.
  void LabelNode(DWORD kind, const _RESULT_NODE& node, double x, double y);

  const std::vector<_NODE_LABEL>& GetLabels() const { return m_labels; }

  int m_rowStep = 2;
  int m_columnStep = 2;
  int m_rows = 0;
  int m_columns = 0;
  int m_userGrid = 1;
  DWORD m_kind = 0;
  int m_nodeValueMode = 1;  // bit 0x1: main-area labels are drawn (with culling)
  CViewCamera* m_camera = nullptr;
  double m_labelHeight = 0.27;

private:
  std::vector<_NODE_LABEL> m_labels;
};
