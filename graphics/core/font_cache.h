// Bitmap fonts for OpenGL text: one display list per character of code page 1251, built from a GDI font with
// wglUseFontBitmapsA. The cache holds the fonts by key; the only key used is the legend's.
#pragma once

#include "platform/gdi/wingdi.h"

#include <map>

class CBitmapFont {
public:
  CBitmapFont() = default;
  virtual ~CBitmapFont();
  CBitmapFont(const CBitmapFont&) = delete;
  CBitmapFont& operator=(const CBitmapFont&) = delete;

  // Builds the 256 lists from the font (one retry with fresh lists). 1 on success; 0 leaves no lists (base -1).
  // Needs a current OpenGL context.
  int Create(const LOGFONTA* font);
  // Frees the display lists (with a current context) and forgets them: base -1, key 0.
  void DeleteLists();
  // The text's extent on the screen DC in this font; cy is replaced by trunc(-lfHeight x 0.72).
  void MeasureText(const char* text, SIZE* out) const;
  // At raster position (x, y); nothing for an empty text or a font without lists.
  void DrawText(int x, int y, const char* text) const;

  int GetListBase() const { return m_listBase; }
  int GetListCount() const { return m_listCount; }
  const LOGFONTA& GetLogFont() const { return m_logFont; }
  int GetKey() const { return m_key; }
  void SetKey(int key) { m_key = key; }

private:
  int m_listBase = -1;
  int m_listCount = 256;
  LOGFONTA m_logFont{};
  int m_key = 0;
};

inline constexpr int kLegendFontKey = 777;
inline constexpr DWORD kLegendFontBuilt = 0x1;

class CFontCache {
public:
  // Made on first use; the render core destroys it.
  static CFontCache* GetInstance();
  static void DestroyInstance();

  CBitmapFont* Find(int key) const;
  // Finds or makes the legend font and builds it from `font`; 1 and flag 0x1 on success, 0 otherwise.
  int SetLegendFont(const LOGFONTA* font);
  // Deletes every font with its display lists; clears the flags.
  void Clear();
  DWORD GetFlags() const { return m_flags; }

private:
  CFontCache() = default;
  ~CFontCache();

  std::map<int, CBitmapFont*> m_fonts;
  DWORD m_flags = 0;
};

// What builds the glyph lists (wglUseFontBitmapsA); tests put in one that fails. Null restores it.
using FontBitmapBuilder = BOOL (*)(HDC dc, DWORD first, DWORD count, DWORD listBase);
void SetFontBitmapBuilder(FontBitmapBuilder builder);

// The legend font: Tahoma, 12 pixels, Cyrillic. 1 on success, 0 when it could not be built.
int CreateLegendFont();
// The LOGFONTA CreateLegendFont builds from.
LOGFONTA LegendLogFont();
