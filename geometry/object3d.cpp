#include "geometry/object3d.h"

#include "geometry/vector_string3d.h"
#include "platform/base/codepage.h"

#include <GL/gl.h>

void CSelectableObject::SetState(DWORD flags)
{
  if ((m_state & flags) != 0) {
    return;  // a requested bit already set: nothing to do
  }
  switch (flags) {
  case 4:
    m_state &= ~kVisible;
    break;
  case 0x100:
    m_state |= kLabelShown;
    break;
  case 0x200:
    m_state &= ~kLabelShown;
    break;
  default:
    m_state = flags | kVisible;
    break;
  }
}

CObject3D::CObject3D() = default;
CObject3D::~CObject3D() = default;

void CObject3D::SetPosition(double x, double y, double z)
{
  m_position[0] = x;
  m_position[1] = y;
  m_position[2] = z;
  OnPositionChanged();
}

void CObject3D::MoveTo(double x, double y, double z) { CObject3D::SetPosition(x, y, z); }

void CObject3D::SetRotation(double ax, double ay, double az)
{
  m_rotation[0] = ax;
  m_rotation[1] = ay;
  m_rotation[2] = az;
  OnRotationChanged();
}

void CObject3D::TurnTo(double ax, double ay, double az) { CObject3D::SetRotation(ax, ay, az); }

void CObject3D::SetSize(double sx, double sy, double sz)
{
  m_size[0] = sx;
  m_size[1] = sy;
  m_size[2] = sz;
  OnSizeChanged();
}

void CObject3D::ResizeTo(double sx, double sy, double sz) { CObject3D::SetSize(sx, sy, sz); }

// Nine doubles (position, rotation, size), the colour id, the name, three int32 (the last the pick id).
void CObject3D::Serialize(CArchive& ar, DWORD /*version*/)
{
  if (ar.IsStoring()) {
    for (double v : m_position) ar << v;
    for (double v : m_rotation) ar << v;
    for (double v : m_size) ar << v;
    ar << m_colourId;
    ar << m_name;
    ar << m_reserved1 << m_reserved2 << m_pickId;
  } else {
    for (double& v : m_position) ar >> v;
    for (double& v : m_rotation) ar >> v;
    for (double& v : m_size) ar >> v;
    ar >> m_colourId;
    ar >> m_name;
    ar >> m_reserved1 >> m_reserved2 >> m_pickId;
  }
}

void CObject3D::SetColor(float r, float g, float b)
{
  m_colour[0] = r;
  m_colour[1] = g;
  m_colour[2] = b;
}

void CObject3D::SetLabelHeight(double height)
{
  if (m_label) {
    m_label->SetHeight(height);
  }
}

void CObject3D::SetLabel(const CString& text)
{
  m_label = std::make_unique<CVectorString3D>(codepage::Cp1251ToUtf16(std::string_view(text.GetString(), text.GetLength())));
  m_label->ClearGlyphs();
  m_label->BuildGlyphs();
}

void CObject3D::SetLabelColor(float r, float g, float b)
{
  if (m_label) {
    m_label->m_r = r;
    m_label->m_g = g;
    m_label->m_b = b;
  }
}

void CObject3D::ApplyRotation() const
{
  glRotated(m_rotation[0], 1, 0, 0);
  glRotated(m_rotation[1], 0, 1, 0);
  glRotated(m_rotation[2], 0, 0, 1);
}
