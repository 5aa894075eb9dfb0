#include "platform/gdi/dc.h"
#include "platform/gdi/fonts.h"

#include <cstring>
#include <strings.h>

using namespace gdi;

int EnumFontFamiliesExA(HDC dc, LOGFONTA* filter, FONTENUMPROCA proc, LPARAM data, DWORD)
{
  if (LookupDC(dc) == nullptr || filter == nullptr || proc == nullptr) {
    return 0;
  }
  const std::string wanted(filter->lfFaceName, strnlen(filter->lfFaceName, LF_FACESIZE));
  int result = 1;
  for (const std::string& face : FaceNames()) {
    if (!wanted.empty() && strcasecmp(wanted.c_str(), face.c_str()) != 0) {
      continue;
    }
    ENUMLOGFONTEXA font;
    std::strncpy(font.elfLogFont.lfFaceName, face.c_str(), LF_FACESIZE - 1);
    font.elfLogFont.lfHeight = 16;
    font.elfLogFont.lfWeight = FW_NORMAL;
    const bool marlett = strcasecmp(face.c_str(), "Marlett") == 0;
    font.elfLogFont.lfCharSet = marlett ? SYMBOL_CHARSET
                                        : (filter->lfCharSet == DEFAULT_CHARSET ? RUSSIAN_CHARSET : filter->lfCharSet);
    font.elfLogFont.lfOutPrecision = OUT_TT_PRECIS;
    std::strncpy(reinterpret_cast<char*>(font.elfFullName), face.c_str(), sizeof font.elfFullName - 1);
    std::strncpy(reinterpret_cast<char*>(font.elfStyle), "Regular", sizeof font.elfStyle - 1);
    std::strncpy(reinterpret_cast<char*>(font.elfScript), marlett ? "Symbol" : "Cyrillic", sizeof font.elfScript - 1);
    NEWTEXTMETRICEXA metrics;
    static_cast<TEXTMETRICA&>(metrics.ntmTm) = RealizeFont(font.elfLogFont, 1, 1)->metrics;
    metrics.ntmTm.ntmSizeEM = 2048;
    metrics.ntmTm.ntmCellHeight = static_cast<UINT>(metrics.ntmTm.tmHeight);
    metrics.ntmTm.ntmAvgWidth = static_cast<UINT>(metrics.ntmTm.tmAveCharWidth);
    result = proc(&font.elfLogFont, &metrics.ntmTm, TRUETYPE_FONTTYPE, data);
    if (result == 0) {
      break;
    }
  }
  return result;
}

int EnumFontFamiliesA(HDC dc, LPCSTR face, FONTENUMPROCA proc, LPARAM data)
{
  LOGFONTA filter;
  filter.lfCharSet = DEFAULT_CHARSET;
  if (face != nullptr) {
    std::strncpy(filter.lfFaceName, face, LF_FACESIZE - 1);
  }
  return EnumFontFamiliesExA(dc, &filter, proc, data, 0);
}
