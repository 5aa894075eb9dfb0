// Fonts realised for drawing: the program's face names mapped to installed fonts through fontconfig, sized by
// GDI's height rules, with GDI-style metrics and a cache of rendered glyphs. Marlett's symbols are our own.
#pragma once

#include "platform/gdi/wingdi.h"

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace gdi {

struct Glyph {
  // Offset of the coverage image from the pen position: left edge, and top edge above the baseline.
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> coverage;
  // Advance in 1/64 pixel along the text direction.
  long advance64 = 0;
  long advanceY64 = 0;
};

class RealizedFont {
public:
  ~RealizedFont();
  TEXTMETRICA metrics;
  std::string faceName;  // the name GetTextFace reports: the one asked for
  std::string file;      // the font file in use, empty for our own Marlett
  int faceIndex = 0;
  double pixelSize = 0;  // em size in device pixels
  double xScale = 1;     // horizontal stretch when the LOGFONT asks for a width
  bool underline = false;
  bool strikeOut = false;
  int underlinePosition = 0;  // pixels below the baseline
  int underlineThickness = 1;
  int strikePosition = 0;  // pixels above the baseline
  double escapement = 0;   // radians, counter-clockwise
  bool antialias = true;

  // A glyph upright or turned by the font's escapement; cached.
  const Glyph& GetGlyph(char32_t ch);
  // Whole-pixel advance, as GDI measures text.
  int Advance(char32_t ch);

private:
  friend std::shared_ptr<RealizedFont> RealizeFont(const LOGFONTA&, double, double);
  void* face_ = nullptr;  // FT_Face
  bool marlett_ = false;
  std::mutex mutex_;
  std::map<char32_t, Glyph> cache_;
  // Latin and Cyrillic glyphs, looked up without the map.
  static constexpr char32_t kFastGlyphs = 0x500;
  std::vector<const Glyph*> fast_ = std::vector<const Glyph*>(kFastGlyphs, nullptr);
  Glyph Render(char32_t ch);
  Glyph RenderMarlett(char32_t ch) const;
};

// The font a LOGFONT asks for at a device scale (device pixels per logical unit, vertical and horizontal).
std::shared_ptr<RealizedFont> RealizeFont(const LOGFONTA& font, double scaleY, double scaleX);
// The faces GDI offers: the program's faces we map to installed fonts, Marlett, and the installed families.
std::vector<std::string> FaceNames();
// The installed font file a face name maps to (for the tests and the printer's text layer).
std::string MatchFontFile(const std::string& faceName, bool bold, bool italic, int* index);

}  // namespace gdi
