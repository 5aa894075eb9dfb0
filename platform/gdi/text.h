// Text output shared by TextOut, ExtTextOut and DrawText.
#pragma once

#include "platform/gdi/dc.h"
#include "platform/gdi/fonts.h"

#include <string>
#include <string_view>

namespace gdi {

std::u32string FromCp1251(std::string_view text);
std::shared_ptr<RealizedFont> DCFont(HDC__& dc);
// Width of text in logical units, character extra included.
int TextWidth(HDC__& dc, std::u32string_view text);
// Logical line height (the font's cell).
int TextHeight(HDC__& dc);
// ExtTextOut in logical coordinates; `dx` gives each character's advance when not null.
bool OutputText(HDC__& dc, int x, int y, UINT options, const RECT* rect, std::u32string_view text, const INT* dx);

}  // namespace gdi
