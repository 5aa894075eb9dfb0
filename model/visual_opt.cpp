#include "model/visual_opt.h"

#include "model/identifiers.h"
#include "model/shell/shell_services.h"
#include "model/version.h"
#include "platform/mfc-core/archive.h"
#include "platform/mfc-core/exceptions.h"

#include <cstdio>
#include <cstring>

using ObjectModel::IsVersionAtLeast;
using ObjectModel::MakeFormatVersion;

namespace Options {

namespace {

struct ColourRow {
  _PREF_OF_COLOR screen;
  _PREF_OF_COLOR print;
};

// Element colours on screen and in black-and-white print, by element index.
constexpr ColourRow kColours[CVisualOpt::kColourCount] = {
    {{0.086f, 0.243f, 0.412f}, {1, 1, 1}},          // "Фон"
    {{0.27f, 0.27f, 0.27f}, {0.7f, 0.7f, 0.7f}},    // "Проезжая часть (активная)"
    {{0.5f, 0.5f, 0.5f}, {0.75f, 0.75f, 0.75f}},    // "Проезжая часть (не активная)"
    {{1, 1, 1}, {1, 1, 1}},                         // "Разметка дороги"
    {{0.4f, 0.4f, 0.4f}, {0.4f, 0.4f, 0.4f}},       // "Группа ОП (активная)"
    {{0.62f, 0.62f, 0.62f}, {0.62f, 0.62f, 0.62f}}, // "Группа ОП (не активная)"
    {{1, 1, 1}, {0, 0, 0}},                         // "Надписи"
    {{0.1f, 0.93f, 0.1f}, {0, 0, 0}},               // "Изолинии"
    {{1, 0, 0}, {0, 0, 0}},                         // "Узлы"
    {{0, 0, 1}, {0, 0, 0}},                         // "Значения в узлах"
    {{0, 1, 1}, {0.8f, 0.8f, 0.8f}},                // "Маркер активной группы"
    {{0.26f, 0.26f, 0.26f}, {0.7f, 0.7f, 0.7f}},    // "Тротуар (активный)"
    {{0.5f, 0.5f, 0.5f}, {0.5f, 0.5f, 0.5f}},       // "Тротуар (не активный)"
    {{0.4f, 0.4f, 0.4f}, {0.5f, 0.5f, 0.5f}},       // "Парапет"
    {{0, 0.5f, 0}, {1, 1, 1}},                      // "Зазор"
    {{0.6f, 0.2f, 0.2f}, {0.34f, 0.34f, 0.34f}},    // "Стена здания (активная)"
    {{0.81f, 0.37f, 0.37f}, {0.5f, 0.5f, 0.5f}},    // "Стена здания (не активная)"
    {{0.18f, 0.18f, 0.18f}, {0.18f, 0.18f, 0.18f}}, // "Крыша здания"
    {{0.68f, 0.68f, 0}, {0.68f, 0.68f, 0.68f}},     // "Объект затенения"
    {{1, 1, 0}, {0.4f, 0.4f, 0.4f}},                // "Рассеиватель ОП"
    {{1, 0, 0}, {0, 0, 0}},                         // "Выделенный объект"
    {{0.27f, 0.27f, 0.27f}, {0.27f, 0.27f, 0.27f}}, // "Сетка"
    {{1, 1, 0}, {0.3f, 0.3f, 0.3f}},                // "Группа ОП в плане (активная)"
};

// Text heights of the five font elements (negative: character height).
constexpr LONG kFontHeights[CVisualOpt::kFontCount] = {-30, -40, -40, -40, -40};

constexpr int kLevelCount = 9;
constexpr double kLevelValues[3][kLevelCount] = {
    {0, 1.25, 1.5, 1.75, 2.0, 2.25, 2.5, 2.75, 3.0},  // luminance, cd/m2
    {0, 5, 10, 15, 20, 25, 30, 35, 40},               // illuminance, lx
    {0, 1.5, 2.0, 2.5, 3.0, 3.5, 4.0, 4.5, 5.0},      // semi-cylindrical illuminance, lx
};
constexpr COLORREF kLevelColours[kLevelCount] = {0x000000, 0x640000, 0xFF0000, 0x006400, 0x00C832,
                                                 0x00FF64, 0x00FFFF, 0x0064FF, 0x0000FF};

// A component in the profile: whole hundredths, truncated. The float forms of exact hundredths lie just below
// them (0.26f is 0.2599999...), so the truncation allows for that before it cuts; without it every save would
// take such a colour down by a hundredth.
int ToProfileHundredths(float component)
{
  constexpr double kFloatSlack = 1e-3;
  return static_cast<int>(static_cast<double>(component) * 100.0 + kFloatSlack);
}

constexpr ULONGLONG kFontBytes = 60;
constexpr ULONGLONG kLevelBytes = 16;

LOGFONTA DefaultFont(LONG height)
{
  LOGFONTA font{};
  font.lfHeight = height;
  font.lfWeight = 400;
  font.lfCharSet = 204;
  font.lfQuality = 2;
  std::strcpy(font.lfFaceName, "Arial");
  return font;
}

template <class T>
void CopyArray(CArray<T>& to, const CArray<T>& from)
{
  to.RemoveAll();
  for (const T& item : from)
    to.Add(item);
}

// Arrays in the framework's array form, each element field by field so the file form keeps its exact size.
void SerializeFloats(CArchive& ar, CArray<float>& list) { list.Serialize(ar); }

void SerializeFonts(CArchive& ar, CArray<LOGFONTA>& fonts)
{
  if (ar.IsStoring()) {
    ar.WriteCount(static_cast<DWORD_PTR>(fonts.GetSize()));
    for (const LOGFONTA& f : fonts) {
      ar << f.lfHeight << f.lfWidth << f.lfEscapement << f.lfOrientation << f.lfWeight;
      ar << f.lfItalic << f.lfUnderline << f.lfStrikeOut << f.lfCharSet << f.lfOutPrecision << f.lfClipPrecision
         << f.lfQuality << f.lfPitchAndFamily;
      ar.Write(f.lfFaceName, LF_FACESIZE);
    }
    return;
  }
  const DWORD_PTR count = ar.ReadCount();
  ar.EnsureAvailable(static_cast<ULONGLONG>(count) * kFontBytes);
  fonts.RemoveAll();
  for (DWORD_PTR i = 0; i < count; ++i) {
    LOGFONTA f{};
    ar >> f.lfHeight >> f.lfWidth >> f.lfEscapement >> f.lfOrientation >> f.lfWeight;
    ar >> f.lfItalic >> f.lfUnderline >> f.lfStrikeOut >> f.lfCharSet >> f.lfOutPrecision >> f.lfClipPrecision >>
        f.lfQuality >> f.lfPitchAndFamily;
    if (ar.Read(f.lfFaceName, LF_FACESIZE) != LF_FACESIZE)
      AfxThrowArchiveException(CArchiveException::endOfFile, ar.m_strFileName);
    fonts.Add(f);
  }
}

void SerializeLevels(CArchive& ar, CArray<_PREF_OF_COLOR_LEVELS>& levels)
{
  if (ar.IsStoring()) {
    ar.WriteCount(static_cast<DWORD_PTR>(levels.GetSize()));
    for (const _PREF_OF_COLOR_LEVELS& l : levels)
      ar << l.value << static_cast<std::uint32_t>(l.colour) << l.reserved;
    return;
  }
  const DWORD_PTR count = ar.ReadCount();
  ar.EnsureAvailable(static_cast<ULONGLONG>(count) * kLevelBytes);
  levels.RemoveAll();
  for (DWORD_PTR i = 0; i < count; ++i) {
    _PREF_OF_COLOR_LEVELS l{};
    std::uint32_t colour = 0;
    ar >> l.value >> colour >> l.reserved;
    l.colour = colour;
    levels.Add(l);
  }
}

}  // namespace

CVisualOpt::CVisualOpt() { SetDefaults(); }

CVisualOpt::~CVisualOpt() = default;

HRESULT CVisualOpt::QueryInterface(const IID* iid, void** out)
{
  *out = nullptr;
  if (*iid != IID_IVisualOpt)
    return E_NOINTERFACE;
  *out = static_cast<IVisualOpt*>(this);
  AddRef();
  return S_OK;
}

LONG CVisualOpt::AddRef() { return ++m_refCount; }

LONG CVisualOpt::Release()
{
  const LONG count = --m_refCount;
  if (count == 0)
    DeleteThis(1);
  return count;
}

void CVisualOpt::DeleteThis(unsigned flags)
{
  if (flags & 1)
    delete this;
  else
    this->~CVisualOpt();
}

int CVisualOpt::SetDefaults()
{
  m_printMode = 0;
  m_quantity = 1;
  m_resultDisplay = 0;
  m_settingsPage = 0;
  m_autoObserver = 1;
  m_screenOption = 1;
  m_imageOptions = 0x1100;
  m_showMoveFilling = 0;
  m_scaleType = 1;
  m_report.SetDefaults();
  m_colours.RemoveAll();
  m_printColours.RemoveAll();
  for (const ColourRow& row : kColours) {
    m_colours.Add(row.screen);
    m_printColours.Add(row.print);
  }
  CopyArray(m_defaultColours, m_colours);
  m_fonts.RemoveAll();
  for (LONG height : kFontHeights)
    m_fonts.Add(DefaultFont(height));
  CopyArray(m_defaultFonts, m_fonts);
  m_autoIsoLevels = 1;
  m_luminanceLevels.RemoveAll();
  m_illuminanceLevels.RemoveAll();
  m_semiCylLevels.RemoveAll();
  m_photometricSolid = 0;
  for (int scale = 0; scale < 3; ++scale) {
    m_colourLevels[scale].RemoveAll();
    for (int i = 0; i < kLevelCount; ++i)
      m_colourLevels[scale].Add(_PREF_OF_COLOR_LEVELS{kLevelValues[scale][i], kLevelColours[i], 0});
    CopyArray(m_defaultLevels[scale], m_colourLevels[scale]);
  }
  return 0;
}

bool CVisualOpt::ColourTablesAgree(int element) const
{
  return element >= 0 && element < m_colours.GetSize() && element < m_printColours.GetSize() &&
         m_colours.GetSize() == m_printColours.GetSize();
}

int CVisualOpt::GetColour(int element, _PREF_OF_COLOR* out)
{
  if (!ColourTablesAgree(element))
    return 1;
  if (!m_printMode) {
    *out = m_colours[element];
  } else if (Shell::IsPrintingInColor()) {
    *out = element == 0 ? _PREF_OF_COLOR{1, 1, 1} : m_colours[element];
  } else {
    *out = m_printColours[element];
  }
  return 0;
}

int CVisualOpt::GetDefaultColour(int element, _PREF_OF_COLOR* out)
{
  if (element < 0 || element >= m_defaultColours.GetSize())
    return 1;
  *out = m_defaultColours[element];
  return 0;
}

int CVisualOpt::SetColour(int element, const _PREF_OF_COLOR* colour)
{
  if (!ColourTablesAgree(element))
    return 1;
  m_colours[element] = *colour;
  return 0;
}

// The profile keeps each component as a whole number of hundredths, truncated.
int CVisualOpt::LoadColours()
{
  static constexpr const char* kKeys[3] = {"element_r[%d]", "element_g[%d]", "element_b[%d]"};
  for (int i = 0; i < m_colours.GetSize(); ++i) {
    float* components[3] = {&m_colours[i].r, &m_colours[i].g, &m_colours[i].b};
    for (int c = 0; c < 3; ++c) {
      char key[32];
      std::snprintf(key, sizeof key, kKeys[c], i);
      const int stored = static_cast<int>(
          Shell::GetProfileInt("Colors", key, ToProfileHundredths(*components[c])));
      *components[c] = static_cast<float>(stored) / 100.0f;
    }
  }
  m_showMoveFilling = static_cast<int>(Shell::GetProfileInt("Settings", "ShowMoveFilling", 0));
  return 0;
}

int CVisualOpt::SaveColours()
{
  static constexpr const char* kKeys[3] = {"element_r[%d]", "element_g[%d]", "element_b[%d]"};
  for (int i = 0; i < m_colours.GetSize(); ++i) {
    const float components[3] = {m_colours[i].r, m_colours[i].g, m_colours[i].b};
    for (int c = 0; c < 3; ++c) {
      char key[32];
      std::snprintf(key, sizeof key, kKeys[c], i);
      Shell::WriteProfileInt("Colors", key, ToProfileHundredths(components[c]));
    }
  }
  Shell::WriteProfileInt("Settings", "ShowMoveFilling", m_showMoveFilling);
  return 0;
}

int CVisualOpt::GetFont(int element, LOGFONTA* out)
{
  if (element < 0 || element >= m_fonts.GetSize())
    return 1;
  *out = m_fonts[element];
  return 0;
}

int CVisualOpt::GetDefaultFont(int element, LOGFONTA* out)
{
  if (element < 0 || element >= m_defaultFonts.GetSize())
    return 1;
  *out = m_defaultFonts[element];
  return 0;
}

int CVisualOpt::SetFont(int element, LOGFONTA* font)
{
  if (element < 0 || element >= m_fonts.GetSize())
    return 1;
  font->lfQuality = 2;
  m_fonts[element] = *font;
  return 0;
}

int CVisualOpt::SetShowMoveFilling(const int* on)
{
  m_showMoveFilling = *on;
  Shell::WriteProfileInt("Settings", "ShowMoveFilling", m_showMoveFilling);
  return 0;
}

int CVisualOpt::GetIsoLevelsInRange(const int* quantity, const float* min, const float* max, CArray<float>* out)
{
  const CArray<float>* levels = nullptr;
  switch (*quantity) {
  case 0: levels = &m_luminanceLevels; break;
  case 1: levels = &m_illuminanceLevels; break;
  case 2: levels = &m_semiCylLevels; break;
  default: break;
  }
  int inRange = 0;
  if (levels) {
    for (float level : *levels) {
      out->Add(level);
      if (*min <= level && level <= *max)
        ++inRange;
    }
  }
  if (!m_autoIsoLevels && inRange > 0)
    return 0;
  out->RemoveAll();
  return 1;
}

int CVisualOpt::GetColourLevels(const int* quantity, void*, void*, CArray<_PREF_OF_COLOR_LEVELS>* out)
{
  out->RemoveAll();
  if (*quantity < 0 || *quantity > 2)
    return 0;
  const CArray<_PREF_OF_COLOR_LEVELS>& levels = m_colourLevels[*quantity];
  const bool grey = m_printMode && !Shell::IsPrintingInColor();
  const int n = static_cast<int>(levels.GetSize());
  for (int i = 0; i < n; ++i) {
    _PREF_OF_COLOR_LEVELS level = levels[i];
    if (grey) {
      const unsigned g = static_cast<unsigned>((255 * i) / n);
      level.colour = RGB(g, g, g);
    }
    out->Add(level);
  }
  return 0;
}

int CVisualOpt::CopyTo(IVisualOpt* dst)
{
  return dst->Assign(this);
}

int CVisualOpt::Assign(const CVisualOpt* s)
{
  if (s == this)
    return 0;
  m_printMode = s->m_printMode;
  m_quantity = s->m_quantity;
  m_resultDisplay = s->m_resultDisplay;
  m_settingsPage = s->m_settingsPage;
  m_autoObserver = s->m_autoObserver;
  m_screenOption = s->m_screenOption;
  m_report.Assign(s->m_report);
  m_autoIsoLevels = s->m_autoIsoLevels;
  m_imageOptions = s->m_imageOptions;
  m_showMoveFilling = s->m_showMoveFilling;
  m_scaleType = s->m_scaleType;
  m_photometricSolid = s->m_photometricSolid;
  CopyArray(m_luminanceLevels, s->m_luminanceLevels);
  CopyArray(m_illuminanceLevels, s->m_illuminanceLevels);
  CopyArray(m_semiCylLevels, s->m_semiCylLevels);
  CopyArray(m_colours, s->m_colours);
  CopyArray(m_fonts, s->m_fonts);
  for (int scale = 0; scale < 3; ++scale)
    CopyArray(m_colourLevels[scale], s->m_colourLevels[scale]);
  return 0;
}

// The visual options block, the first of the project file, in file order:
//   quantity, result display, settings page, auto observer, screen option, automatic iso-levels (int32);
//   report items (count, 268-byte records); fonts (count, 60-byte records); luminance and illuminance levels
//   (count, floats); scale type (int32, 4.0.18.0); semi-cylindrical levels (4.0.18.0); photometric solid (int32,
//   4.2.0.0); colour levels 0, 1, 2 (count, 16-byte records each, 5.0.4.0). Counts in the framework's count form.
int CVisualOpt::Serialize(CArchive* archive, DWORD fileVersion)
{
  CArchive& ar = *archive;
  if (ar.IsStoring()) {
    ar << m_quantity << m_resultDisplay << m_settingsPage << m_autoObserver << m_screenOption << m_autoIsoLevels;
  } else {
    ar >> m_quantity >> m_resultDisplay >> m_settingsPage >> m_autoObserver >> m_screenOption >> m_autoIsoLevels;
  }
  m_report.Serialize(ar);
  SerializeFonts(ar, m_fonts);
  SerializeFloats(ar, m_luminanceLevels);
  SerializeFloats(ar, m_illuminanceLevels);
  if (ar.IsStoring()) {
    ar << m_scaleType;
    SerializeFloats(ar, m_semiCylLevels);
    ar << m_photometricSolid;
    for (auto& levels : m_colourLevels)
      SerializeLevels(ar, levels);
    return 0;
  }
  if (IsVersionAtLeast(fileVersion, MakeFormatVersion(4, 0, 18, 0))) {
    ar >> m_scaleType;
    SerializeFloats(ar, m_semiCylLevels);
  } else {
    m_scaleType = 1;
    m_semiCylLevels.RemoveAll();
  }
  m_photometricSolid = 0;
  if (IsVersionAtLeast(fileVersion, MakeFormatVersion(4, 2, 0, 0)))
    ar >> m_photometricSolid;
  if (IsVersionAtLeast(fileVersion, MakeFormatVersion(5, 0, 4, 0))) {
    for (auto& levels : m_colourLevels)
      SerializeLevels(ar, levels);
  }
  return 0;
}

}  // namespace Options

HRESULT CreateVisualOpt(IVisualOpt** out)
{
  auto* options = new Options::CVisualOpt();
  return options->QueryInterface(&IID_IVisualOpt, reinterpret_cast<void**>(out));
}
