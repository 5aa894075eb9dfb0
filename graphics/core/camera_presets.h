// The eye record each area keeps per view type: from where a view type shows the whole area. The document
// computes them when an area is made or its view is reset (MakeCameraPreset); the render core installs these
// answers in place of the model's defaults.
#pragma once

#include "model/graphics_services.h"

class CViewCamera;

// The largest light-centre height of the first pole of every group; 0 without groups.
double GetHighestGroupHeight(IArea* area);

// The eye position for a view type. `camera` (may be null) gets a far plane of twice the extent of a freely
// shaped area; sectionOriginX is the render core's start of the straight road's calculation section.
void FitCameraToArea(double position[3], IArea* area, DWORD viewBit, int* straightRoad, CViewCamera* camera,
                     double sectionOriginX);

class CCameraPresets : public Graphics::CModelGraphics {
public:
  // The section origin of the render core that installs the presets; asked without a core, it is 0.
  explicit CCameraPresets(const double* sectionOriginX) : m_sectionOriginX(sectionOriginX) {}
  void FitCameraToArea(double position[3], IArea* area, DWORD viewBit, int* straightRoad, void* object,
                       CGraphicCore* core) override;

private:
  const double* m_sectionOriginX;
};
