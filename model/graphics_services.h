// The least the model uses of the graphics core, which sits above the model: the camera fit of an area, used
// when old files are converted. The graphics core installs its own answers; until then the defaults below stand.
#pragma once

#include "model/iarea.h"

class CGraphicCore;

namespace Graphics {

class CModelGraphics {
public:
  virtual ~CModelGraphics() = default;

  // A camera position from which view type viewBit shows the whole area; *straightRoad is 1 for a straight
  // road, else 0. Without a graphics core: the origin.
  virtual void FitCameraToArea(double position[3], IArea* area, DWORD viewBit, int* straightRoad, void* object,
                               CGraphicCore* core);
};

// The graphics core installs its services once and keeps them alive; null restores the defaults.
void SetModelGraphics(CModelGraphics* graphics);
CModelGraphics& GetModelGraphics();

// The camera record of a view bit: the fitted position and the preset angles of that view.
void MakeCameraPreset(CGraphicCore* core, void* object, _DEVCPOSITION* record, DWORD viewBit, IArea* area);

}  // namespace Graphics
