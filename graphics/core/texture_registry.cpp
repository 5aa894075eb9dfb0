#include "graphics/core/texture_registry.h"

#include "geometry/gl_context.h"
#include "platform/gdi/wingdi.h"
#include "platform/gl/wgl.h"
#include "platform/mfc-core/resources.h"
#include "platform/user/resources.h"
#include "platform/user/window.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <cstdlib>

CTextureRegistry* CTextureRegistry::GetInstance()
{
  static CTextureRegistry registry;
  return &registry;
}

void CTextureRegistry::LoadAll()
{
  for (int id : kSceneTextureIds)
    Load(id);
}

void CTextureRegistry::Load(int resourceId)
{
  if (HasCurrentGlContext() && wglGetCurrentContext() != m_context) {
    // Names of another context mean nothing here, and that context may be gone: load afresh.
    for (auto& [id, name] : m_textures)
      name = 0;
    m_context = wglGetCurrentContext();
  }
  UINT& name = m_textures[resourceId];
  if (name != 0 || !HasCurrentGlContext())
    return;
  GLuint texture = 0;
  glGenTextures(1, &texture);
  name = texture;

  HBITMAP bitmap = static_cast<HBITMAP>(LoadImage(AfxGetResourceHandle(),
                                                  MAKEINTRESOURCE(static_cast<WORD>(resourceId)), IMAGE_BITMAP, 0,
                                                  0, LR_CREATEDIBSECTION));
  if (!bitmap)
    return;
  DIBSECTION dib{};
  if (GetObject(bitmap, sizeof dib, &dib) == sizeof dib && dib.dsBm.bmBits && dib.dsBm.bmWidth > 0 &&
      (dib.dsBm.bmBitsPixel == 24 || dib.dsBm.bmBitsPixel == 32)) {
    // DIB rows are padded to four bytes, which is what an unpack alignment of 4 reads.
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
    const bool alpha = dib.dsBm.bmBitsPixel == 32;
    gluBuild2DMipmaps(GL_TEXTURE_2D, 3, dib.dsBm.bmWidth, std::abs(dib.dsBm.bmHeight), alpha ? GL_BGRA : GL_BGR,
                      GL_UNSIGNED_BYTE, dib.dsBm.bmBits);
  }
  DeleteObject(bitmap);
}

UINT CTextureRegistry::Get(int resourceId) const
{
  if (resourceId == 0)
    return 0;
  const auto it = m_textures.find(resourceId);
  return it == m_textures.end() ? 0 : it->second;
}

void CTextureRegistry::Clear()
{
  if (HasCurrentGlContext() && wglGetCurrentContext() == m_context)
    for (const auto& [id, name] : m_textures)
      if (name != 0) {
        const GLuint texture = name;
        glDeleteTextures(1, &texture);
      }
  m_textures.clear();
  m_context = nullptr;
}
