// Bar items drawn by a paint manager alone (no bars exist at this level): button states, icons, captions and
// glyphs, for tests that read named pixels and for a gallery sheet a person can look at.
#pragma once

#include "platform/mfc/afxwin.h"
#include "toolkit/paint/image_manager.h"
#include "toolkit/paint/paint_manager.h"

#include <span>

namespace tktest {

// A memory DC on a 32-bit bitmap filled with one colour.
class Canvas {
public:
  Canvas(int width, int height, COLORREF fill);
  ~Canvas();
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;

  CDC dc;
  CBitmap bitmap;
  CBitmap* old = nullptr;
};

enum ButtonState {
  kNormal,
  kHot,
  kPressed,
  kChecked,
  kCheckedHot,
  kPopuped,
  kDisabled,
  kDisabledFocus,
  kDisabledChecked,
  kStateCount
};
const char* StateName(ButtonState state);

// DrawControlState with the arguments a control in that state passes.
void DrawState(CTKPaintManager* pm, CDC* pDC, CRect rc, ButtonState state, int nBarPosition);

// A 16 x 16 opaque icon of one colour with a white square in its middle, set as id's normal image.
void AddTestIcon(CTKImageManager& images, UINT id, COLORREF clr);

struct ButtonKind {
  const char* name;
  const char* caption;  // null: none
  bool icon;
  bool triangle;
};
std::span<const ButtonKind> ButtonKinds();

// A toolbar button's size as its measuring pass gives it, buttons 23 x 22 with 16 x 16 icons.
CSize MeasureButton(CTKPaintManager* pm, const ButtonKind& kind, int nBarPosition);
// Draws the button hot at (10, 10) in its measured size and answers the box of the pixels that changed.
CRect DrawButtonAndFindChange(CTKPaintManager* pm, CTKImageManagerIcon* pIcon, const ButtonKind& kind,
                              int nBarPosition);
// Draws kind in state into rc (sized by MeasureButton).
void DrawButton(CTKPaintManager* pm, CDC* pDC, CTKImageManagerIcon* pIcon, const ButtonKind& kind, CRect rc,
                ButtonState state, int nBarPosition);

// <artifacts>/toolkit_bar_theme<n>.png: every state of every button kind, horizontal and vertical, and glyphs.
bool SaveBarGallery(CTKPaintManager* pm, int nTheme);

}  // namespace tktest
