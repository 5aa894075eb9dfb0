#include "geometry/node_values.h"

#include "geometry/colour_mapping.h"
#include "geometry/result_grid.h"
#include "geometry/view_camera.h"
#include "platform/base/codepage.h"
#include "platform/mfc-core/exceptions.h"

#include <GL/gl.h>

#include <algorithm>

namespace {
constexpr double kInitialLabelHeight = 0.2;
}

double& NodeMarkerHeight()
{
  static double height = 0.005;
  return height;
}

CString FormatNodeValue(DWORD kind, double value)
{
  CString text;
  if ((kind & AreaKind::kLuminance) != 0) {
    text.Format("%.1f", value);
  } else if (value < 0.05) {
    text.Format("%.0f", 0.0);
  } else if (value <= 10) {
    text.Format("%.1f", value);
  } else {
    text.Format("%.0f", value);
  }
  return text;
}

CNodeValues::CNodeValues() : m_camera(CurrentViewCamera()) {}

CNodeValues::~CNodeValues() = default;

void CNodeValues::Clear() { m_labels.clear(); }

void CNodeValues::LabelNode(DWORD kind, const _RESULT_NODE& node, double x, double y)
{
  if ((kind & AreaKind::kMain) != 0 && node.state == -1) {
    return;
  }
  const CString text = FormatNodeValue(kind, node.value);
  _NODE_LABEL pair;
  pair.marker = std::make_unique<_NODE_MARKER>();
  pair.marker->x = x;
  pair.marker->y = y;
  pair.marker->z = NodeMarkerHeight();
  pair.label = std::make_unique<CVectorString3D>(codepage::Cp1251ToUtf16(std::string_view(text.GetString(), text.GetLength())));
  pair.label->m_height = kInitialLabelHeight;
  pair.label->m_scaleX = pair.label->m_scaleY = kInitialLabelHeight / 6;
  pair.label->BuildGlyphs();
  pair.label->MoveTo(x + m_labelHeight / 6, y + m_labelHeight / 6, NodeMarkerHeight());
  m_labels.push_back(std::move(pair));
}

void CNodeValues::Build(const CResultGrid& grid)
{
  m_kind = grid.m_kind;
  m_userGrid = grid.m_userGrid;
  m_rows = grid.m_rows;
  m_columns = grid.m_columns;
  const int rows = m_rows;
  const int columns = m_columns;
  if (rows <= 0 || columns <= 0) {
    return;
  }
  // A step below 1 (an old or damaged file) would never leave its row.
  const int sR = std::max(1, m_rowStep);
  const int sC = std::max(1, m_columnStep);

  if ((m_kind & AreaKind::kMain) != 0) {
    SendProgress(1);
    const int i0 = (rows - 1) / 2;
    const int j0 = (columns - 1) / 2;
    const long long divisor = std::max<long long>(1, static_cast<long long>(rows / sR) * columns / sC / 50);
    long long done = 0;
    auto label = [&](int i, int j) {
      const _RESULT_NODE& node = grid.Node(i, j);
      LabelNode(m_kind, node, node.x, node.y);
      if (++done % divisor == 0) {
        SendProgress(static_cast<int>(std::min<long long>(99, done / divisor * 2)));
      }
    };
    // Outward from the centre node, so that the lattice is centred on the area.
    for (int i = i0; i >= 0; i -= sR)
      for (int j = j0; j < columns; j += sC) label(i, j);
    for (int i = i0 + sR; i < rows; i += sR)
      for (int j = j0; j < columns; j += sC) label(i, j);
    for (int i = i0; i >= 0; i -= sR)
      for (int j = j0 - sC; j >= 0; j -= sC) label(i, j);
    for (int i = i0 + sR; i < rows; i += sR)
      for (int j = j0 - sC; j >= 0; j -= sC) label(i, j);
    return;
  }
  const double sx = grid.m_areaSize[0];
  const double sy = grid.m_areaSize[1];
  const int firstRow = (m_kind & AreaKind::kWalls) != 0 ? 0 : sR / 2;
  const int firstColumn = (m_kind & AreaKind::kWalls) != 0 ? 0 : sC / 2;
  for (int i = firstRow; i < rows; i += sR) {
    for (int j = firstColumn; j < columns; j += sC) {
      LabelNode(m_kind, grid.Node(i, j), i * grid.m_stepX - sx / 2, j * grid.m_stepY - sy / 2);
    }
  }
}

void CNodeValues::SetColours(float markerR, float markerG, float markerB, float labelR, float labelG, float labelB)
{
  for (_NODE_LABEL& pair : m_labels) {
    pair.marker->r = markerR;
    pair.marker->g = markerG;
    pair.marker->b = markerB;
    pair.label->m_r = labelR;
    pair.label->m_g = labelG;
    pair.label->m_b = labelB;
  }
}

void CNodeValues::SetLabelHeight(double height)
{
  m_labelHeight = height;
  for (_NODE_LABEL& pair : m_labels) {
    pair.label->SetHeight(height);
  }
}

void CNodeValues::Draw()
{
  glPointSize(3);
  glLineWidth(1);
  const bool mainArea = (m_kind & AreaKind::kMain) != 0;
  if (mainArea) {
    if ((m_nodeValueMode & 1) == 0) {
      return;
    }
    if (m_camera != nullptr) {
      m_camera->UpdateFrustumFromGl();
    }
  }
  for (const _NODE_LABEL& pair : m_labels) {
    const _NODE_MARKER& m = *pair.marker;
    if (mainArea && m_camera != nullptr && !CViewCamera::IsPointInFrustum(m_camera, m.x, m.y, m.z)) {
      continue;
    }
    glDisable(GL_LIGHTING);
    glColor3f(m.r, m.g, m.b);
    glBegin(GL_POINTS);
    glVertex3d(m.x, m.y, m.z);
    glEnd();
    glEnable(GL_LIGHTING);
    pair.label->Draw();
  }
}

// The base's part; marker height; row and column step; rows; columns; user-grid flag; kind; node-value mode;
// pair count; each pair's marker x, y, z and label.
void CNodeValues::Serialize(CArchive& ar, DWORD version)
{
  CObject3D::Serialize(ar, version);
  if (ar.IsStoring()) {
    ar << NodeMarkerHeight() << m_rowStep << m_columnStep << m_rows << m_columns << m_userGrid
       << static_cast<int>(m_kind) << m_nodeValueMode << static_cast<int>(m_labels.size());
    for (const _NODE_LABEL& pair : m_labels) {
      ar << pair.marker->x << pair.marker->y << pair.marker->z;
      pair.label->Serialize(ar, version);
    }
    return;
  }
  Clear();
  int kind = 0;
  int count = 0;
  ar >> NodeMarkerHeight() >> m_rowStep >> m_columnStep >> m_rows >> m_columns >> m_userGrid >> kind >>
      m_nodeValueMode >> count;
  m_kind = static_cast<DWORD>(kind);
  if (count < 0) {
    AfxThrowArchiveException(CArchiveException::badIndex, ar.m_strFileName);
  }
  ar.EnsureAvailable(static_cast<ULONGLONG>(count) * 24);
  for (int k = 0; k < count; ++k) {
    _NODE_LABEL pair;
    pair.marker = std::make_unique<_NODE_MARKER>();
    ar >> pair.marker->x >> pair.marker->y >> pair.marker->z;
    pair.label = std::make_unique<CVectorString3D>();
    pair.label->Serialize(ar, version);
    m_labels.push_back(std::move(pair));
  }
}
