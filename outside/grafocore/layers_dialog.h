// The layers dialog ("Слои"): one check box per layer of the drawing, ticked while the layer is shown; OK
// applies the ticks, Cancel leaves the layers as they were.
#pragma once

#include "outside/grafocore/dxf/dxf_drawing.h"
#include "platform/base/wintypes.h"

namespace grafocore {

// Check box ids: the first layer's, then one more for each layer in order.
inline constexpr WORD kFirstLayerBox = 1000;
// At most this many layers are listed (16 to a column); the rest keep their state.
inline constexpr int kListedLayers = 128;

// IDOK or IDCANCEL.
INT_PTR RunLayersDialog(HWND owner, dxf::Drawing& drawing);

}  // namespace grafocore
