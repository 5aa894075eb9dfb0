#include "platform/gdi/fonts.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <strings.h>
#include <numbers>
#include <tuple>

namespace gdi {

namespace {

std::mutex g_libraryMutex;

FT_Library Library()
{
  static FT_Library library = [] {
    FT_Library lib = nullptr;
    FT_Init_FreeType(&lib);
    return lib;
  }();
  return library;
}

// The program's faces and the installed, metric-compatible families that stand in for them.
const char* SubstituteFamily(const std::string& face)
{
  static const std::pair<const char*, const char*> kMap[] = {
      {"Tahoma", "Liberation Sans"},
      {"Arial", "Liberation Sans"},
      {"Arial Cyr", "Liberation Sans"},
      {"MS Sans Serif", "Liberation Sans"},
      {"MS Shell Dlg", "Liberation Sans"},
      {"MS Shell Dlg 2", "Liberation Sans"},
      {"Microsoft Sans Serif", "Liberation Sans"},
      {"Segoe UI", "Liberation Sans"},
      {"Verdana", "Liberation Sans"},
      {"System", "Liberation Sans"},
      {"Times New Roman", "Liberation Serif"},
      {"Times New Roman Cyr", "Liberation Serif"},
      {"Courier New", "Liberation Mono"},
      {"Courier New Cyr", "Liberation Mono"},
      {"Courier", "Liberation Mono"},
      {"Lucida Console", "Liberation Mono"},
  };
  for (const auto& [from, to] : kMap) {
    if (strcasecmp(face.c_str(), from) == 0) {
      return to;
    }
  }
  return nullptr;
}

}  // namespace

std::vector<std::string> FaceNames()
{
  std::vector<std::string> names;
  for (const char* face : {"Tahoma", "Arial", "Arial Cyr", "MS Sans Serif", "MS Shell Dlg", "MS Shell Dlg 2",
                           "Microsoft Sans Serif", "Segoe UI", "Verdana", "System", "Times New Roman",
                           "Times New Roman Cyr", "Courier New", "Courier New Cyr", "Courier", "Lucida Console",
                           "Marlett"}) {
    names.emplace_back(face);
  }
  MatchFontFile("", false, false, nullptr);  // makes sure fontconfig is set up
  FcPattern* pattern = FcPatternCreate();
  FcObjectSet* objects = FcObjectSetBuild(FC_FAMILY, nullptr);
  if (FcFontSet* set = FcFontList(nullptr, pattern, objects)) {
    for (int i = 0; i < set->nfont; ++i) {
      FcChar8* family = nullptr;
      if (FcPatternGetString(set->fonts[i], FC_FAMILY, 0, &family) == FcResultMatch) {
        std::string name(reinterpret_cast<const char*>(family));
        const bool known = std::any_of(names.begin(), names.end(),
                                       [&](const std::string& n) { return strcasecmp(n.c_str(), name.c_str()) == 0; });
        if (!known && name.size() < LF_FACESIZE) {
          names.push_back(name);
        }
      }
    }
    FcFontSetDestroy(set);
  }
  FcObjectSetDestroy(objects);
  FcPatternDestroy(pattern);
  return names;
}

std::string MatchFontFile(const std::string& faceName, bool bold, bool italic, int* index)
{
  static std::mutex mutex;
  static std::map<std::tuple<std::string, bool, bool>, std::pair<std::string, int>> cache;
  std::lock_guard lock(mutex);
  auto key = std::make_tuple(faceName, bold, italic);
  if (auto it = cache.find(key); it != cache.end()) {
    if (index != nullptr) {
      *index = it->second.second;
    }
    return it->second.first;
  }
  static const bool initialised = [] {
    FcInit();
    // fontconfig keeps its configuration until told to let go.
    std::atexit(FcFini);
    return true;
  }();
  (void)initialised;
  const char* family = SubstituteFamily(faceName);
  std::string wanted = family != nullptr ? family : (faceName.empty() ? "Liberation Sans" : faceName);
  FcPattern* pattern = FcPatternCreate();
  FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(wanted.c_str()));
  if (family == nullptr) {
    // Unknown faces fall back to the sans family, as GDI falls back to its default face.
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>("Liberation Sans"));
  }
  FcPatternAddInteger(pattern, FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
  FcPatternAddInteger(pattern, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
  FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
  FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
  FcDefaultSubstitute(pattern);
  FcResult result = FcResultNoMatch;
  FcPattern* match = FcFontMatch(nullptr, pattern, &result);
  std::string file;
  int faceIndex = 0;
  if (match != nullptr) {
    FcChar8* path = nullptr;
    if (FcPatternGetString(match, FC_FILE, 0, &path) == FcResultMatch) {
      file = reinterpret_cast<const char*>(path);
    }
    FcPatternGetInteger(match, FC_INDEX, 0, &faceIndex);
    FcPatternDestroy(match);
  }
  FcPatternDestroy(pattern);
  cache[key] = {file, faceIndex};
  if (index != nullptr) {
    *index = faceIndex;
  }
  return file;
}

RealizedFont::~RealizedFont()
{
  if (face_ != nullptr) {
    std::lock_guard lock(g_libraryMutex);
    FT_Done_Face(static_cast<FT_Face>(face_));
  }
}

namespace {

// Height 0 asks for the default size, a 16-pixel cell.
constexpr int kDefaultCellHeight = 16;

std::map<std::string, std::weak_ptr<RealizedFont>>& FontCache()
{
  static std::map<std::string, std::weak_ptr<RealizedFont>> cache;
  return cache;
}

std::string CacheKey(const LOGFONTA& lf, double scaleY, double scaleX)
{
  char key[192];
  std::snprintf(key, sizeof key, "%d|%d|%d|%d|%d|%d|%d|%d|%d|%d|%.6f|%.6f|", lf.lfHeight, lf.lfWidth, lf.lfEscapement,
                lf.lfWeight, lf.lfItalic, lf.lfUnderline, lf.lfStrikeOut, lf.lfQuality, lf.lfCharSet,
                lf.lfPitchAndFamily, scaleY, scaleX);
  std::string face(lf.lfFaceName, strnlen(lf.lfFaceName, LF_FACESIZE));
  for (char& c : face) {
    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  }
  return key + face;
}

}  // namespace

std::shared_ptr<RealizedFont> RealizeFont(const LOGFONTA& lf, double scaleY, double scaleX)
{
  static std::mutex mutex;
  std::lock_guard lock(mutex);
  const std::string key = CacheKey(lf, scaleY, scaleX);
  auto& cache = FontCache();
  if (auto it = cache.find(key); it != cache.end()) {
    if (auto f = it->second.lock()) {
      return f;
    }
  }
  // Keep the most recent fonts alive even when no DC holds them, so that repeated drawing does not reopen files.
  static std::vector<std::shared_ptr<RealizedFont>> recent;

  auto font = std::make_shared<RealizedFont>();
  font->faceName.assign(lf.lfFaceName, strnlen(lf.lfFaceName, LF_FACESIZE));
  const bool bold = lf.lfWeight >= 600;
  const bool italic = lf.lfItalic != 0;
  font->underline = lf.lfUnderline != 0;
  font->strikeOut = lf.lfStrikeOut != 0;
  // Small text is drawn hinted and unsmoothed, as the classic desktop draws it; large text is smoothed.
  constexpr double kSmoothFromPixels = 16;
  font->antialias = lf.lfQuality == ANTIALIASED_QUALITY || lf.lfQuality == CLEARTYPE_QUALITY ||
                    (lf.lfQuality != NONANTIALIASED_QUALITY && std::abs(lf.lfHeight * scaleY) >= kSmoothFromPixels);
  font->escapement = lf.lfEscapement * std::numbers::pi / 1800.0;
  font->marlett_ = strcasecmp(font->faceName.c_str(), "Marlett") == 0;
  // Without a face name the family decides, as GDI's font mapper lets it.
  std::string lookupFace = font->marlett_ ? std::string("Arial") : font->faceName;
  if (lookupFace.empty()) {
    const int family = lf.lfPitchAndFamily & 0xF0;
    if (family == FF_ROMAN) {
      lookupFace = "Times New Roman";
    } else if (family == FF_MODERN || (lf.lfPitchAndFamily & 0x3) == FIXED_PITCH) {
      lookupFace = "Courier New";
    } else {
      lookupFace = "Arial";
    }
  }
  font->file = MatchFontFile(lookupFace, bold, italic, &font->faceIndex);

  FT_Face face = nullptr;
  {
    std::lock_guard libLock(g_libraryMutex);
    if (!font->file.empty() && FT_New_Face(Library(), font->file.c_str(), font->faceIndex, &face) != 0) {
      face = nullptr;
    }
  }
  // Design metrics as GDI uses them: the Windows ascent and descent of the OS/2 table.
  double upem = 2048;
  double winAscent = 1854;
  double winDescent = 434;
  double avgWidth = 904;
  double lineGap = 67;
  double hheaAscent = 1854;
  double hheaDescent = 434;
  double maxWidth = 4096;
  if (face != nullptr) {
    upem = face->units_per_EM;
    hheaAscent = face->ascender;
    hheaDescent = -face->descender;
    lineGap = face->height - (face->ascender - face->descender);
    maxWidth = face->bbox.xMax - face->bbox.xMin;
    winAscent = hheaAscent;
    winDescent = hheaDescent;
    if (auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2))) {
      winAscent = os2->usWinAscent;
      winDescent = os2->usWinDescent;
      avgWidth = os2->xAvgCharWidth;
    }
  }
  const double cellUnits = winAscent + winDescent;
  const double height = lf.lfHeight * std::abs(scaleY);
  int cellHeight = 0;
  double em = 0;
  if (lf.lfHeight < 0) {
    em = std::max(1.0, std::round(-height));
    cellHeight = static_cast<int>(std::lround(em * cellUnits / upem));
  } else {
    cellHeight = lf.lfHeight == 0 ? kDefaultCellHeight : std::max(1, static_cast<int>(std::lround(height)));
    em = cellHeight * upem / cellUnits;
  }
  const double scale = em / upem;
  font->pixelSize = em;
  double emX = em;
  if (lf.lfWidth > 0) {
    const double naturalAvg = avgWidth * scale;
    if (naturalAvg > 0) {
      emX = em * (lf.lfWidth * std::abs(scaleX)) / naturalAvg;
    }
  }
  font->xScale = emX / em;
  TEXTMETRICA& tm = font->metrics;
  tm.tmAscent = static_cast<LONG>(std::lround(winAscent * scale));
  tm.tmDescent = cellHeight - tm.tmAscent;
  tm.tmHeight = cellHeight;
  tm.tmInternalLeading = std::max<LONG>(0, cellHeight - static_cast<LONG>(std::lround(em)));
  tm.tmExternalLeading =
      std::max<LONG>(0, static_cast<LONG>(std::lround((hheaAscent + hheaDescent + lineGap - cellUnits) * scale)));
  tm.tmAveCharWidth = static_cast<LONG>(std::lround(avgWidth * scale * emX / em));
  tm.tmMaxCharWidth = static_cast<LONG>(std::lround(maxWidth * scale * emX / em));
  tm.tmWeight = lf.lfWeight == 0 ? FW_NORMAL : lf.lfWeight;
  tm.tmDigitizedAspectX = 96;
  tm.tmDigitizedAspectY = 96;
  tm.tmFirstChar = 0x1E;
  tm.tmLastChar = 0xFF;
  tm.tmDefaultChar = 0x1F;
  tm.tmBreakChar = 0x20;
  tm.tmItalic = italic ? 1 : 0;
  tm.tmUnderlined = font->underline ? 1 : 0;
  tm.tmStruckOut = font->strikeOut ? 1 : 0;
  const bool fixed = face != nullptr && FT_IS_FIXED_WIDTH(face);
  // The pitch bit is set for variable-pitch fonts, as GDI has it.
  tm.tmPitchAndFamily = static_cast<BYTE>((fixed ? 0 : TMPF_FIXED_PITCH) | TMPF_VECTOR | TMPF_TRUETYPE |
                                          (lf.lfPitchAndFamily & 0xF0));
  tm.tmCharSet = lf.lfCharSet == DEFAULT_CHARSET ? RUSSIAN_CHARSET : lf.lfCharSet;
  if (font->marlett_) {
    tm.tmCharSet = SYMBOL_CHARSET;
  }
  if (face != nullptr) {
    font->underlinePosition = std::max(1, static_cast<int>(std::lround(-face->underline_position * scale)));
    font->underlineThickness = std::max(1, static_cast<int>(std::lround(face->underline_thickness * scale)));
    FT_Set_Char_Size(face, static_cast<FT_F26Dot6>(std::lround(emX * 64)), static_cast<FT_F26Dot6>(std::lround(em * 64)),
                     72, 72);
  }
  font->strikePosition = std::max(1, static_cast<int>(std::lround(tm.tmAscent / 3.0)));
  font->face_ = face;
  cache[key] = font;
  recent.push_back(font);
  if (recent.size() > 64) {
    recent.erase(recent.begin());
  }
  return font;
}

const Glyph& RealizedFont::GetGlyph(char32_t ch)
{
  std::lock_guard lock(mutex_);
  if (ch < kFastGlyphs && fast_[ch] != nullptr) {
    return *fast_[ch];
  }
  auto it = cache_.find(ch);
  if (it == cache_.end()) {
    it = cache_.emplace(ch, marlett_ ? RenderMarlett(ch) : Render(ch)).first;
  }
  if (ch < kFastGlyphs) {
    fast_[ch] = &it->second;
  }
  return it->second;
}

int RealizedFont::Advance(char32_t ch)
{
  const Glyph& g = GetGlyph(ch);
  if (escapement != 0) {
    return static_cast<int>(std::lround(std::hypot(g.advance64, g.advanceY64) / 64.0));
  }
  return static_cast<int>((g.advance64 + 32) >> 6);
}

Glyph RealizedFont::Render(char32_t ch)
{
  Glyph g;
  auto face = static_cast<FT_Face>(face_);
  if (face == nullptr) {
    g.advance64 = static_cast<long>(metrics.tmAveCharWidth) * 64;
    return g;
  }
  FT_Matrix matrix{0x10000, 0, 0, 0x10000};
  if (escapement != 0) {
    const double c = std::cos(escapement);
    const double s = std::sin(escapement);
    matrix = {static_cast<FT_Fixed>(c * 0x10000), static_cast<FT_Fixed>(-s * 0x10000),
              static_cast<FT_Fixed>(s * 0x10000), static_cast<FT_Fixed>(c * 0x10000)};
  }
  FT_Set_Transform(face, &matrix, nullptr);
  FT_UInt index = FT_Get_Char_Index(face, ch);
  const FT_Int32 flags = FT_LOAD_RENDER | (antialias ? FT_LOAD_TARGET_NORMAL : FT_LOAD_TARGET_MONO);
  if (FT_Load_Glyph(face, index, flags) != 0) {
    return g;
  }
  FT_GlyphSlot slot = face->glyph;
  g.left = slot->bitmap_left;
  g.top = slot->bitmap_top;
  g.width = static_cast<int>(slot->bitmap.width);
  g.height = static_cast<int>(slot->bitmap.rows);
  // Upright glyphs advance by whole pixels, as GDI's do.
  g.advance64 = escapement != 0 ? slot->advance.x : ((slot->advance.x + 32) & ~63L);
  g.advanceY64 = -slot->advance.y;
  g.coverage.resize(static_cast<std::size_t>(g.width) * g.height);
  for (int y = 0; y < g.height; ++y) {
    const unsigned char* row = slot->bitmap.buffer + static_cast<std::ptrdiff_t>(y) * slot->bitmap.pitch;
    for (int x = 0; x < g.width; ++x) {
      std::uint8_t v = 0;
      if (slot->bitmap.pixel_mode == FT_PIXEL_MODE_MONO) {
        v = (row[x >> 3] & (0x80 >> (x & 7))) ? 255 : 0;
      } else {
        v = row[x];
      }
      g.coverage[static_cast<std::size_t>(y) * g.width + x] = v;
    }
  }
  return g;
}

}  // namespace gdi
