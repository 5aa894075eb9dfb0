#include "graphics/scene/buildings.h"

#include "graphics/core/texture_registry.h"

#include <GL/gl.h>

#include <cmath>

namespace {

constexpr double kStorey = 3.0;            // one facade tile high
constexpr double kFacadeTileWidth = 6.0;   // one facade tile wide
constexpr double kRecess = 1.0;            // a section's fronts stand this far behind the blocks'
constexpr double kParapetThickness = 0.5;
constexpr double kParapetRise = 0.5;       // above the last storey's top beyond the storeys' rest
constexpr double kBalconyDepth = 2.0;

int Trunc(double v) { return static_cast<int>(std::trunc(v)); }

UINT Texture(int resourceId) { return resourceId == 0 ? 0 : CTextureRegistry::GetInstance()->Get(resourceId); }

void SetRepeat(CTexturedPlane3D& face, int u, int v)
{
  face.m_repeatU = u;
  face.m_repeatV = v;
}

}  // namespace

void CPlane3D::Draw()
{
  const double x = m_position[0], y = m_position[1], z = m_position[2];
  const double hx = m_size[0] / 2, hy = m_size[1] / 2;
  glBegin(GL_POLYGON);
  glVertex3d(x - hx, y + hy, z);
  glVertex3d(x - hx, y - hy, z);
  glVertex3d(x + hx, y - hy, z);
  glVertex3d(x + hx, y + hy, z);
  glEnd();
}

void CTexturedPlane3D::OnSizeChanged()
{
  const double hx = m_size[0] / 2, hy = m_size[1] / 2;
  const double corners[4][2] = {{-hx, hy}, {-hx, -hy}, {hx, hy}, {hx, -hy}};
  for (int i = 0; i < 4; ++i) {
    m_corners[i][0] = corners[i][0];
    m_corners[i][1] = corners[i][1];
  }
}

void CTexturedPlane3D::Draw()
{
  glPushMatrix();
  glTranslated(m_position[0], m_position[1], m_position[2]);
  ApplyRotation();
  glEnable(GL_TEXTURE_2D);
  glTexEnvf(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
  glBindTexture(GL_TEXTURE_2D, m_texture);
  const double u = m_repeatU, v = m_repeatV;
  glBegin(GL_POLYGON);
  glTexCoord2d(0, 0);
  glVertex3d(m_corners[1][0], m_corners[1][1], 0);
  glTexCoord2d(u, 0);
  glVertex3d(m_corners[3][0], m_corners[3][1], 0);
  glTexCoord2d(u, v);
  glVertex3d(m_corners[2][0], m_corners[2][1], 0);
  glTexCoord2d(0, v);
  glVertex3d(m_corners[0][0], m_corners[0][1], 0);
  glEnd();
  glDisable(GL_TEXTURE_2D);
  glPopMatrix();
}

CTexturedBox3D::CTexturedBox3D()
{
  m_faces[0].TurnTo(90, 90, 0);
  m_faces[1].TurnTo(90, 90, 0);
  m_faces[2].TurnTo(90, 0, 0);
  m_faces[3].TurnTo(90, 0, 0);
}

void CTexturedBox3D::OnSizeChanged()
{
  const double sx = m_size[0], sy = m_size[1], sz = m_size[2];
  m_faces[0].MoveTo(-sx / 2, 0, 0);
  m_faces[1].MoveTo(sx / 2, 0, 0);
  m_faces[2].MoveTo(0, -sy / 2, 0);
  m_faces[3].MoveTo(0, sy / 2, 0);
  m_faces[4].MoveTo(0, 0, sz / 2);
  m_faces[5].MoveTo(0, 0, -sz / 2);
  m_faces[0].ResizeTo(sy, sz, 0);
  m_faces[1].ResizeTo(sy, sz, 0);
  m_faces[2].ResizeTo(sx, sz, 0);
  m_faces[3].ResizeTo(sx, sz, 0);
  m_faces[4].ResizeTo(sx, sy, 0);
  m_faces[5].ResizeTo(sx, sy, 0);
}

void CTexturedBox3D::Draw()
{
  glPushMatrix();
  glTranslated(m_position[0], m_position[1], m_position[2]);
  ApplyRotation();
  for (CTexturedPlane3D& face : m_faces) face.Draw();
  glPopMatrix();
}

void CTexturedBox3D::SetTextures(int a, int b, int c, int d, int e)
{
  m_faces[0].m_texture = Texture(a);
  m_faces[1].m_texture = Texture(b);
  m_faces[2].m_texture = Texture(c);
  m_faces[3].m_texture = Texture(d);
  m_faces[4].m_texture = 0;
  m_faces[5].m_texture = Texture(e);
}

void DrawPlainBox(double x, double y, double z, double dx, double dy, double dz)
{
  const double x0 = x - dx / 2, x1 = x + dx / 2, y0 = y - dy / 2, y1 = y + dy / 2, z0 = z - dz / 2, z1 = z + dz / 2;
  const double faces[6][4][3] = {
      {{x0, y1, z1}, {x1, y1, z1}, {x1, y1, z0}, {x0, y1, z0}},
      {{x0, y0, z1}, {x0, y0, z0}, {x1, y0, z0}, {x1, y0, z1}},
      {{x0, y1, z1}, {x0, y1, z0}, {x0, y0, z0}, {x0, y0, z1}},
      {{x1, y1, z1}, {x1, y0, z1}, {x1, y0, z0}, {x1, y1, z0}},
      {{x0, y0, z0}, {x0, y1, z0}, {x1, y1, z0}, {x1, y0, z0}},
      {{x0, y1, z1}, {x0, y0, z1}, {x1, y0, z1}, {x1, y1, z1}},
  };
  for (const auto& face : faces) {
    glBegin(GL_POLYGON);
    for (const auto& corner : face) glVertex3dv(corner);
    glEnd();
  }
}

CBuilding3D::~CBuilding3D() { DeleteParts(); }

void CBuilding3D::DeleteParts()
{
  for (CObject3D* part : m_parts) delete part;
  m_parts.clear();
}

void CBuilding3D::OnSizeChanged()
{
  DeleteParts();
  const double sy = m_size[1];
  m_plinth[0] = m_roof[0] = m_size[0];
  m_plinth[1] = m_roof[1] = sy;
  const double h = m_size[2] - m_plinth[2];
  m_floors = Trunc(h) / 3;
  const double storeys = kStorey * m_floors;
  const double zc = storeys / 2 + m_plinth[2];
  m_roof[2] = h - storeys + kParapetRise;
  m_sections = Trunc((m_size[0] - m_blockWidth) / m_sectionPeriod);
  const int n = m_sections;

  if (n <= 0) {
    const double sx = m_size[0];
    auto* box = new CTexturedBox3D;
    box->MoveTo(0, 0, zc);
    box->ResizeTo(sx, sy, storeys);
    box->SetTextures(kTextureFacade, kTextureFacade, kTextureFacade, kTextureFacade, 0);
    SetRepeat(box->Face(0), m_endFaceRepeat, m_floors);
    SetRepeat(box->Face(1), m_endFaceRepeat, m_floors);
    SetRepeat(box->Face(2), Trunc(sx / kFacadeTileWidth), m_floors);
    SetRepeat(box->Face(3), Trunc(sx / kFacadeTileWidth), m_floors);
    m_parts.push_back(box);
  } else {
    // Only whole sections: the building is shortened, and so are its plinth and roof.
    m_size[0] = m_plinth[0] = m_roof[0] = m_sectionPeriod * n + m_blockWidth;
    double t = -15.0 * n;
    auto block = [&](int left, int right) {
      auto* box = new CTexturedBox3D;
      box->MoveTo(t, 0, zc);
      box->ResizeTo(m_blockWidth, sy, storeys);
      box->SetTextures(left, right, kTextureFacade, kTextureFacade, 0);
      SetRepeat(box->Face(0), m_endFaceRepeat, m_floors);
      SetRepeat(box->Face(1), m_endFaceRepeat, m_floors);
      SetRepeat(box->Face(2), m_longFaceRepeat, m_floors);
      SetRepeat(box->Face(3), m_longFaceRepeat, m_floors);
      m_parts.push_back(box);
      t += 15;
    };
    auto section = [&]() {
      auto* box = new CTexturedBox3D;
      box->MoveTo(t, 0, zc);
      box->ResizeTo(m_sectionWidth, sy - 2 * kRecess, storeys);
      box->SetTextures(0, 0, kTextureSectionFront, kTextureSectionFront, 0);
      SetRepeat(box->Face(0), 0, 0);
      SetRepeat(box->Face(1), 0, 0);
      SetRepeat(box->Face(2), m_sectionFaceRepeat, m_floors);
      SetRepeat(box->Face(3), m_sectionFaceRepeat, m_floors);
      m_parts.push_back(box);
      t += 15;
    };
    block(kTextureFacade, kTextureFacadeEnd);
    section();
    for (int i = 1; i < n; ++i) {
      block(kTextureFacadeEnd, kTextureFacadeEnd);
      section();
    }
    block(kTextureFacadeEnd, kTextureFacade);
  }
  BuildRoof();
  BuildBalconies();
}

void CBuilding3D::BuildRoof()
{
  const double top = kStorey * m_floors + m_plinth[2];
  const double r = m_roof[2], sx = m_size[0], sy = m_size[1];
  const int n = m_sections;
  const double zr = top + r / 2;
  auto parapet = [&](double x, double y, double dx, double dy) {
    auto* box = new CTexturedBox3D;
    box->MoveTo(x, y, zr);
    box->ResizeTo(dx, dy, r);
    box->SetTextures(kTextureParapet, kTextureParapet, kTextureParapet, kTextureParapet, kTextureParapet);
    return box;
  };
  for (double y : {kParapetThickness / 2 - sy / 2, sy / 2 - kParapetThickness / 2}) {
    CTexturedBox3D* box = parapet(0, y, sx - 0.1, kParapetThickness);
    SetRepeat(box->Face(2), 4 * n + 3, 1);
    SetRepeat(box->Face(3), 4 * n + 3, 1);
    m_parts.push_back(box);
  }
  for (double x : {kParapetThickness / 2 - sx / 2, sx / 2 - kParapetThickness / 2}) {
    CTexturedBox3D* box = parapet(x, 0, kParapetThickness, sy);
    SetRepeat(box->Face(0), m_endFaceRepeat, 1);
    SetRepeat(box->Face(1), m_endFaceRepeat, 1);
    m_parts.push_back(box);
  }
  auto* roof = new CTexturedPlane3D;
  roof->MoveTo(0, 0, top + 0.1);
  roof->ResizeTo(m_roof[0] - 0.2, m_roof[1] - 0.2, 0);
  roof->m_texture = Texture(kTextureRoof);
  SetRepeat(*roof, 4 * n + 3, 1);
  m_parts.push_back(roof);
  for (double x : {-sx / 4, 0.0, sx / 4}) {
    auto* structure = new CTexturedBox3D;
    structure->SetPosition(x, 0, top + 0.35);
    structure->SetSize(1, 8, 0.5);
    m_parts.push_back(structure);
  }
}

void CBuilding3D::BuildBalconies()
{
  const int n = m_sections;
  if (n <= 0)
    return;
  const double sy = m_size[1];
  auto plane = [this]() {
    auto* p = new CTexturedPlane3D;
    p->m_texture = Texture(kTextureBalcony);
    m_parts.push_back(p);
    return p;
  };
  for (int i = 0; i < n; ++i) {
    const double c = -15.0 * (n - 1) + m_sectionPeriod * i;
    for (int j = 0; j < m_floors; ++j) {
      const double z = 1.5 + kStorey * j;
      for (double side : {-1.0, 1.0}) {
        CTexturedPlane3D* balustrade = plane();
        balustrade->SetPosition(c, side * sy / 2, z);
        balustrade->SetSize(m_sectionWidth, 1, 0);
        balustrade->TurnTo(90, 0, 0);
        CTexturedPlane3D* slab = plane();
        slab->MoveTo(c, side * (sy / 2 - kRecess), z - 0.4);
        slab->ResizeTo(m_sectionWidth, kBalconyDepth, 0);
      }
    }
  }
}

void CBuilding3D::DrawPlinth() const
{
  DrawPlainBox(0, 0, m_plinth[2] / 2, m_plinth[0], m_plinth[1], m_plinth[2]);
}

void CBuilding3D::Draw()
{
  glPushMatrix();
  glTranslated(m_position[0], m_position[1], m_position[2]);
  DrawPlinth();
  for (CObject3D* part : m_parts) part->Draw();
  glPopMatrix();
}
