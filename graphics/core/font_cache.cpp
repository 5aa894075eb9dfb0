#include "graphics/core/font_cache.h"

#include "geometry/gl_context.h"
#include "platform/gl/wgl.h"
#include "platform/user/paint.h"

#include <GL/gl.h>

#include <cstring>

namespace {

FontBitmapBuilder g_builder = nullptr;

BOOL BuildGlyphLists(HDC dc, DWORD first, DWORD count, DWORD listBase)
{
  return (g_builder ? g_builder : &wglUseFontBitmapsA)(dc, first, count, listBase);
}

CFontCache* g_cache = nullptr;

// The screen DC with a font of `logFont` selected, for measuring; restores and frees all on leaving.
class ScreenFont {
public:
  explicit ScreenFont(const LOGFONTA& logFont) : m_dc(GetDC(nullptr))
  {
    if (!m_dc)
      return;
    m_font = CreateFontIndirectA(&logFont);
    if (m_font)
      m_previous = SelectObject(m_dc, m_font);
  }
  ~ScreenFont()
  {
    if (!m_dc)
      return;
    if (m_font) {
      SelectObject(m_dc, m_previous);
      DeleteObject(m_font);
    }
    ReleaseDC(nullptr, m_dc);
  }
  ScreenFont(const ScreenFont&) = delete;
  ScreenFont& operator=(const ScreenFont&) = delete;

  HDC dc() const { return m_dc; }
  bool ready() const { return m_dc && m_font; }

private:
  HDC m_dc;
  HFONT m_font = nullptr;
  HGDIOBJ m_previous = nullptr;
};

}  // namespace

void SetFontBitmapBuilder(FontBitmapBuilder builder)
{
  g_builder = builder;
}

CBitmapFont::~CBitmapFont()
{
  DeleteLists();
}

void CBitmapFont::DeleteLists()
{
  if (m_listBase > 0 && HasCurrentGlContext())
    glDeleteLists(static_cast<GLuint>(m_listBase), m_listCount);
  m_listBase = -1;
  m_key = 0;
}

int CBitmapFont::Create(const LOGFONTA* font)
{
  DeleteLists();
  if (!font || !HasCurrentGlContext())
    return 0;
  ScreenFont screen(*font);
  if (!screen.ready())
    return 0;
  // A failed build is tried once more on fresh lists.
  for (int attempt = 0; attempt < 2; ++attempt) {
    const GLuint base = glGenLists(m_listCount);
    if (base == 0)
      continue;
    if (BuildGlyphLists(screen.dc(), 0, static_cast<DWORD>(m_listCount), base)) {
      m_listBase = static_cast<int>(base);
      m_logFont = *font;
      return 1;
    }
    glDeleteLists(base, m_listCount);
  }
  m_listBase = -1;
  return 0;
}

void CBitmapFont::MeasureText(const char* text, SIZE* out) const
{
  *out = {};
  ScreenFont screen(m_logFont);
  if (screen.ready() && text)
    GetTextExtentPoint32A(screen.dc(), text, static_cast<int>(std::strlen(text)), out);
  // The legend places its texts by the character height, not the cell height GDI reports.
  out->cy = static_cast<LONG>(-m_logFont.lfHeight * 0.72);
}

void CBitmapFont::DrawText(int x, int y, const char* text) const
{
  if (!text || !*text || m_listBase <= 0 || !HasCurrentGlContext())
    return;
  glRasterPos2i(x, y);
  glPushAttrib(GL_LIST_BIT);
  glListBase(static_cast<GLuint>(m_listBase));
  glCallLists(static_cast<GLsizei>(std::strlen(text)), GL_UNSIGNED_BYTE, text);
  glPopAttrib();
}

CFontCache* CFontCache::GetInstance()
{
  if (!g_cache)
    g_cache = new CFontCache;
  return g_cache;
}

void CFontCache::DestroyInstance()
{
  delete g_cache;
  g_cache = nullptr;
}

CFontCache::~CFontCache()
{
  Clear();
}

CBitmapFont* CFontCache::Find(int key) const
{
  const auto it = m_fonts.find(key);
  return it == m_fonts.end() ? nullptr : it->second;
}

int CFontCache::SetLegendFont(const LOGFONTA* font)
{
  CBitmapFont*& legend = m_fonts[kLegendFontKey];
  if (!legend)
    legend = new CBitmapFont;
  if (!legend->Create(font)) {
    // An earlier build's flag must not promise lists that are gone.
    m_flags &= ~kLegendFontBuilt;
    return 0;
  }
  legend->SetKey(kLegendFontKey);
  m_flags |= kLegendFontBuilt;
  return 1;
}

void CFontCache::Clear()
{
  for (auto& [key, font] : m_fonts)
    delete font;
  m_fonts.clear();
  m_flags = 0;
}

LOGFONTA LegendLogFont()
{
  LOGFONTA font{};
  font.lfHeight = -12;
  font.lfWeight = 400;
  font.lfCharSet = 204;  // Cyrillic
  font.lfOutPrecision = 3;
  font.lfClipPrecision = 2;
  font.lfQuality = 1;
  std::strcpy(font.lfFaceName, "Tahoma");
  return font;
}

int CreateLegendFont()
{
  const LOGFONTA font = LegendLogFont();
  return CFontCache::GetInstance()->SetLegendFont(&font);
}
