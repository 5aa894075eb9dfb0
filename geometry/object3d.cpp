#include "geometry/object3d.h"

#include "geometry/vector_string3d.h"
#include "platform/base/codepage.h"

#include <GL/gl.h>

void CSelectableObject::SetState(DWORD flags)
{
  if ((m_state & flags) != 0) {
    return;  // a requested bit already set: nothing to do
  }
  if (flags & kRequestHide) {
    m_state &= ~kVisible;
  } else if (flags & kRequestShowLabel) {
    m_state |= kLabelShown;
  } else if (flags & kRequestHideLabel) {
    m_state &= ~kLabelShown;
  } else {
    m_state = flags | kVisible;
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

// The scene-object record, little-endian: position x, y, z, rotation x, y, z and size x, y, z as doubles; the
// colour id (int32); the name in the archive's string form (length prefix 1, 3 or 7 bytes, then the bytes);
// number, reserved and pick id (int32 each). State, label and owner are not stored.
void CObject3D::Serialize(CArchive& ar, DWORD /*version*/)
{
  if (ar.IsStoring()) {
    for (double v : m_position) ar << v;
    for (double v : m_rotation) ar << v;
    for (double v : m_size) ar << v;
    ar << m_colourId;
    ar << m_name;
    ar << m_number << m_reserved << m_pickId;
  } else {
    for (double& v : m_position) ar >> v;
    for (double& v : m_rotation) ar >> v;
    for (double& v : m_size) ar >> v;
    ar >> m_colourId;
    ar >> m_name;
    ar >> m_number >> m_reserved >> m_pickId;
  }
}

void CObject3D::SetLabelHeight(double height)
{
  if (m_label) {
    m_label->SetHeight(height);
  }
}

void CObject3D::SetLabel(CString text)
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
