// What the report and the economics view share of the rich-edit control: streaming a writer's memory file in,
// and the control's zoom as a percentage.
#pragma once

#include "platform/base/wintypes.h"

class CFile;
class CRichEditView;

// Rewinds the file and streams it in as RTF, the control writable only meanwhile; the file is not closed.
// 0 for a null file (the control is left alone) or when the stream reported an error.
int StreamRtfIntoRichEdit(CFile* file, CRichEditView* view);
// EM_GETZOOM as numerator x 100 / denominator; 0 without a zoom ratio.
UINT GetRichEditZoomPercent(CRichEditView* view);
// EM_SETZOOM with min(zoom, 100) x 64 / 100 over 64; a negative zoom counts as above 100.
void ApplyRichEditZoom(CRichEditView* view, int zoom);
// After the control zoomed itself by the wheel: a zoom above 100 % is set back to 100 %, and the zoom is kept in
// the profile's "Report" section under `key`. Answers the zoom.
int KeepWheelZoom(CRichEditView* view, const char* key);
