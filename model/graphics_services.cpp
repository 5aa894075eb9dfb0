#include "model/graphics_services.h"

#include "model/identifiers.h"

namespace Graphics {

namespace {

CModelGraphics g_defaultGraphics;
CModelGraphics* g_graphics = &g_defaultGraphics;

}  // namespace

void CModelGraphics::FitCameraToArea(double position[3], IArea* area, DWORD, int* straightRoad, void*, CGraphicCore*)
{
  position[0] = position[1] = position[2] = 0.0;
  void* road = nullptr;
  *straightRoad = area && SUCCEEDED(area->QueryInterface(&IID_IStraightRoad, &road)) ? 1 : 0;
  if (road)
    static_cast<IModelUnknown*>(road)->Release();
}

void SetModelGraphics(CModelGraphics* graphics) { g_graphics = graphics ? graphics : &g_defaultGraphics; }

CModelGraphics& GetModelGraphics() { return *g_graphics; }

void MakeCameraPreset(CGraphicCore* core, void* object, _DEVCPOSITION* record, DWORD viewBit, IArea* area)
{
  double position[3] = {};
  int straightRoad = 0;
  GetModelGraphics().FitCameraToArea(position, area, viewBit, &straightRoad, object, core);
  record->x = position[0];
  record->y = position[1];
  record->z = position[2];
  record->angle1 = record->angle2 = record->angle3 = 0.0;
  switch (viewBit) {
  case 1:
    record->angle1 = 7.0;
    record->angle2 = straightRoad ? 90.0 : 0.0;
    break;
  case 2: record->angle1 = 90.0; break;
  case 4: record->angle2 = 90.0; break;
  case 16:
  case 128: record->angle2 = 180.0; break;
  default: break;
  }
}

}  // namespace Graphics
