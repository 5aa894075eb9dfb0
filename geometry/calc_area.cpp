#include "geometry/calc_area.h"

#include "geometry/calc_area_manager.h"
#include "geometry/colour_mapping.h"
#include "geometry/gl_context.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>

void ClampPictureSize(int* width, int* height, int maxTextureSize)
{
  const double m = maxTextureSize;
  if (*height < *width && maxTextureSize < *width) {
    *height = static_cast<int>(m / *width * *height);
    *width = maxTextureSize;
  } else if (*height >= *width && maxTextureSize < *height) {
    *width = static_cast<int>(*width * (m / *height));
    *height = maxTextureSize;
  }
}

CCalcArea::CCalcArea(CCalcAreaManager* manager, int displayMode) : m_manager(manager), m_displayMode(displayMode)
{
  if (HasCurrentGlContext()) {
    GLuint name = 0;
    glGenTextures(1, &name);
    m_texture = name;
  }
}

CCalcArea::~CCalcArea()
{
  if (m_texture != 0 && HasCurrentGlContext()) {
    const GLuint name = m_texture;
    glDeleteTextures(1, &name);
  }
}

void CCalcArea::SetPosition(double x, double y, double z)
{
  CObject3D::SetPosition(x, y, z);
  m_isolines.SetPosition(x, y, z);
  m_nodeValues.SetPosition(x, y, z);
}

void CCalcArea::MoveTo(double x, double y, double z)
{
  CObject3D::MoveTo(x, y, z);
  m_isolines.MoveTo(x, y, z);
  m_nodeValues.MoveTo(x, y, z);
}

void CCalcArea::SetRotation(double ax, double ay, double az)
{
  CObject3D::SetRotation(ax, ay, az);
  m_isolines.SetRotation(ax, ay, az);
  m_nodeValues.SetRotation(ax, ay, az);
}

void CCalcArea::TurnTo(double ax, double ay, double az)
{
  CObject3D::TurnTo(ax, ay, az);
  m_isolines.TurnTo(ax, ay, az);
  m_nodeValues.TurnTo(ax, ay, az);
}

void CCalcArea::SetSize(double sx, double sy, double sz)
{
  CObject3D::SetSize(sx, sy, sz);
  m_isolines.SetSize(sx, sy, sz);
  m_nodeValues.SetSize(sx, sy, sz);
}

void CCalcArea::ResizeTo(double sx, double sy, double sz)
{
  CObject3D::ResizeTo(sx, sy, sz);
  m_isolines.ResizeTo(sx, sy, sz);
  m_nodeValues.ResizeTo(sx, sy, sz);
}

void CCalcArea::FillEmptyNodes()
{
  CResultGrid& g = m_grid;
  for (int i = 1; i <= g.m_rows - 2; ++i) {
    for (int j = 1; j <= g.m_columns - 2; ++j) {
      _RESULT_NODE& node = g.Node(i, j);
      if (node.state != -2) {
        continue;
      }
      const _RESULT_NODE* neighbours[4] = {&g.Node(i + 1, j), &g.Node(i, j + 1), &g.Node(i - 1, j),
                                           &g.Node(i, j - 1)};
      double sum = 0;
      int count = 0;
      for (const _RESULT_NODE* n : neighbours) {
        if (n->state != -2) {
          sum += n->value;
          ++count;
        }
      }
      node.value = count > 0 ? sum / count : 0;
    }
  }
}

void CCalcArea::BuildIsolines(const CLevelArray& levels)
{
  FillEmptyNodes();
  m_isolines.Clear();
  CIsolineTrace trace;
  trace.grid = &m_grid;
  trace.levels = &levels;
  if ((m_kind & AreaKind::kMain) != 0) {
    trace.offsetX = (m_grid.m_rows - 1) / 2 * m_grid.m_stepX;
    trace.offsetY = (m_grid.m_columns - 1) / 2 * m_grid.m_stepY;
    ICalcAreaHost* host = m_manager != nullptr ? m_manager->GetHost() : nullptr;
    trace.accept = [host](const double first[3], const double second[3]) {
      return host != nullptr && host->SegmentTouchesActivePrimitive(first, second) > 0;
    };
  } else {
    trace.offsetX = m_size[0] / 2;
    trace.offsetY = m_size[1] / 2;
  }
  if (m_manager != nullptr) {
    m_manager->SetProgress(1);
    trace.progress = [this](int percent) { m_manager->SetProgress(percent); };
  }
  m_isolines.Trace(trace);
  m_isolines.PlaceLabels(&m_labelRecordKind, m_kind);
  if (m_manager != nullptr) {
    m_manager->SetProgress(0);
  }
  m_isolinesDone = 1;
}

void CCalcArea::BuildNodeValues()
{
  m_nodeValues.Clear();
  m_nodeValues.Build(m_grid);
  m_nodeValuesDone = 1;
}

void CCalcArea::EnsureIsolinesAndNodeValues()
{
  if (m_isolinesDone == 0 && m_manager != nullptr) {
    BuildIsolines(m_manager->GetLevels());
  }
  if (m_nodeValuesDone == 0) {
    if (m_manager != nullptr) {
      m_manager->ApplyLabelHeightsTo(*this);
    }
    BuildNodeValues();
  }
}

void CCalcArea::Build(DWORD fillFlags)
{
  if (m_displayMode == 0 && m_manager != nullptr) {
    BuildIsolines(m_manager->GetLevels());
  } else if (m_displayMode == 2) {
    if (m_manager != nullptr) {
      m_manager->ApplyLabelHeightsTo(*this);
    }
    BuildNodeValues();
  }

  int width = m_grid.m_rows * 10;
  int height = m_grid.m_columns * 10;
  if ((m_kind & AreaKind::kMain) != 0 && HasCurrentGlContext()) {
    GLint maxTexture = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxTexture);
    if (maxTexture > 0) {
      ClampPictureSize(&width, &height, maxTexture);
    }
  }
  if ((m_kind & AreaKind::kWalls) != 0) {
    m_picture.UseAlpha();
  }
  m_picture.Create(width, height);
  FillPicture(fillFlags);
  UploadTexture();
}

void CCalcArea::FillPicture(DWORD flags)
{
  static const CColorLevelArray kNoLevels;
  ICalcAreaHost* host = m_manager != nullptr ? m_manager->GetHost() : nullptr;
  const CColorLevelArray& levels = host != nullptr ? host->GetColorLevels() : kNoLevels;
  const INT_PTR levelCount = levels.GetSize();
  if (levelCount > 0 && (flags & FillFlags::kPalette) != 0) {
    if ((flags & FillFlags::kAllFirstLevel) != 0) {
      m_picture.Fill(levels[0].colour);
      return;
    }
    if ((flags & FillFlags::kAllLastLevel) != 0) {
      m_picture.Fill(levels[levelCount - 1].colour);
      return;
    }
  }
  if (levelCount == 0) {
    // Without colour levels the values are still worth seeing: a grey picture.
    flags = FillFlags::kGrey | (flags & FillFlags::kLogarithmic);
  }
  const int width = m_picture.GetWidth();
  const int height = m_picture.GetHeight();
  const int rows = m_grid.m_rows;
  const int columns = m_grid.m_columns;
  if (width <= 0 || height <= 0 || rows <= 0 || columns <= 0) {
    return;
  }
  if (m_manager != nullptr) {
    m_manager->SetProgress(1);
  }
  // A single row or column has one node across: every pixel of that direction reads it.
  const double ex = static_cast<double>(width) / std::max(rows - 1, 1);
  const double ey = static_cast<double>(height) / std::max(columns - 1, 1);
  const double allMaximum = GridStatistics().allNodesMaximum;
  const long long total = static_cast<long long>(width) * height;
  const long long progressStep = std::max<long long>(1, total / 50);
  long long done = 0;
  for (int p = 0; p < height; ++p) {
    const int j = std::min(static_cast<int>(p / ey), std::max(columns - 2, 0));
    const int j1 = std::min(j + 1, columns - 1);
    const double tc = std::clamp((p - j * ey) / ((j + 1) * ey - j * ey), 0.0, 1.0);
    for (int q = 0; q < width; ++q) {
      const int i = std::min(static_cast<int>(q / ex), std::max(rows - 2, 0));
      const int i1 = std::min(i + 1, rows - 1);
      const double tr = std::clamp((q - i * ex) / ((i + 1) * ex - i * ex), 0.0, 1.0);
      // Empty nodes take part with their stored value.
      const double c0 = m_grid.Node(i, j).value;
      const double c1 = m_grid.Node(i, j1).value;
      const double c2 = m_grid.Node(i1, j1).value;
      const double c3 = m_grid.Node(i1, j).value;
      const double a = c0 + tr * (c3 - c0);
      const double b = c1 + tr * (c2 - c1);
      const double v = a + tc * (b - a);
      ColourPixel(m_picture.PixelAt(q, p), v, flags, m_kind, levels, allMaximum);
      if (++done % progressStep == 0 && m_manager != nullptr) {
        m_manager->SetProgress(static_cast<int>(std::min<long long>(99, done / progressStep * 2)));
      }
    }
  }
}

void CCalcArea::UploadTexture()
{
  if (m_texture == 0 || m_picture.IsEmpty() || !HasCurrentGlContext()) {
    return;
  }
  glBindTexture(GL_TEXTURE_2D, m_texture);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
  glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
  if (m_picture.HasAlpha()) {
    gluBuild2DMipmaps(GL_TEXTURE_2D, 4, m_picture.GetWidth(), m_picture.GetHeight(), GL_RGBA, GL_UNSIGNED_BYTE,
                      m_picture.GetPixels());
  } else {
    gluBuild2DMipmaps(GL_TEXTURE_2D, 3, m_picture.GetWidth(), m_picture.GetHeight(), GL_BGR_EXT, GL_UNSIGNED_BYTE,
                      m_picture.GetPixels());
  }
}

void CCalcArea::DrawPicture()
{
  const bool wall = (m_kind & AreaKind::kWalls) != 0;
  if (wall) {
    glEnable(GL_ALPHA_TEST);
    glEnable(GL_BLEND);
    glDepthMask(GL_FALSE);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  }
  const double sx = m_size[0] / 2;
  const double sy = m_size[1] / 2;
  glPushMatrix();
  glTranslated(m_position[0], m_position[1], m_position[2]);
  ApplyRotation();
  glEnable(GL_TEXTURE_2D);
  glBindTexture(GL_TEXTURE_2D, m_texture);
  glBegin(GL_QUADS);
  glTexCoord2d(0, 0);
  glVertex3d(-sx, -sy, 0);
  glTexCoord2d(1, 0);
  glVertex3d(sx, -sy, 0);
  glTexCoord2d(1, 1);
  glVertex3d(sx, sy, 0);
  glTexCoord2d(0, 1);
  glVertex3d(-sx, sy, 0);
  glEnd();
  glDisable(GL_TEXTURE_2D);
  glPopMatrix();
  if (wall) {
    glDepthMask(GL_TRUE);
    glDisable(GL_BLEND);
    glDisable(GL_ALPHA_TEST);
  }
}

void CCalcArea::DrawIsolines()
{
  glPushMatrix();
  glTranslated(m_position[0], m_position[1], m_position[2]);
  ApplyRotation();
  m_isolines.Draw();
  glPopMatrix();
}

void CCalcArea::DrawNodeValues()
{
  glPushMatrix();
  glTranslated(m_position[0], m_position[1], m_position[2]);
  ApplyRotation();
  m_nodeValues.Draw();
  glPopMatrix();
}

void CCalcArea::ApplyLabelColours(const float isoline[3], const float isolineLabel[3], const float marker[3],
                                  const float nodeLabel[3])
{
  m_isolines.SetColours(isoline[0], isoline[1], isoline[2], isolineLabel[0], isolineLabel[1], isolineLabel[2]);
  m_nodeValues.SetColours(marker[0], marker[1], marker[2], nodeLabel[0], nodeLabel[1], nodeLabel[2]);
}

void CCalcArea::Serialize(CArchive& ar, DWORD version)
{
  CObject3D::Serialize(ar, version);
  if (ar.IsStoring()) {
    ar << m_displayMode << m_persisted;
    if (m_persisted != 0) {
      m_isolines.Serialize(ar, version);
      m_grid.Serialize(ar);
      m_nodeValues.Serialize(ar, version);
      m_picture.Serialize(ar);
    }
    return;
  }
  ar >> m_displayMode >> m_persisted;
  if (m_persisted != 0) {
    m_isolines.Serialize(ar, version);
    m_grid.Serialize(ar);
    m_kind = m_grid.m_kind;
    m_nodeValues.Serialize(ar, version);
    m_picture.Serialize(ar);
    UploadTexture();
  }
}
