#include "app/calc_modes.h"

#include "app/panes/parameters/model_ref.h"
#include "model/cguid.h"
#include "model/class_obj_model.h"
#include "model/iarea.h"
#include "model/identifiers.h"
#include "model/ipavement.h"
#include "model/iroad.h"
#include "model/ivisualopt.h"

using VisualCtrl::ModelRef;
using VisualCtrl::Query;

namespace {

bool StripOn(IModelUnknown* owner, const IID& key)
{
  ModelRef<ILineOfRoad> strip = Query<ILineOfRoad>(owner, key);
  return strip && (*strip->GetState() & 1) != 0;
}

std::vector<int> StraightRoadQuantities(IArea* area, IVisualOpt* options)
{
  bool luminance = false;
  bool illuminance = false;
  bool semiCylindrical = false;
  if (ModelRef<IRoad> road = Query<IRoad>(area, IID_IRoad)) {
    road->UpdateAreaWidth();
    const int state = *road->GetState();
    if ((state & 1) && !(state & 2))
      luminance = illuminance = true;
  }
  ModelRef<IPavement> pavement = Query<IPavement>(area, IID_IPavement);
  if (pavement && !(*pavement->GetFlags() & kSideAbsent) &&
      (StripOn(pavement.Get(), IID_RightPavement) || StripOn(pavement.Get(), IID_LeftPavement)))
    illuminance = semiCylindrical = true;
  ModelRef<IWall> wall = Query<IWall>(area, IID_IWall);
  if (wall && !(*wall->GetFlags() & kSideAbsent) &&
      (StripOn(wall.Get(), IID_RightWall) || StripOn(wall.Get(), IID_LeftWall)))
    illuminance = true;

  std::vector<int> offered;
  if (luminance)
    offered.push_back(kQuantityLuminance);
  if (illuminance)
    offered.push_back(kQuantityIlluminance);
  if (semiCylindrical)
    offered.push_back(kQuantitySemiCylindrical);
  if (options && !semiCylindrical && illuminance && *options->GetQuantity() == kQuantitySemiCylindrical) {
    const int shown = kQuantityIlluminance;
    options->SetQuantity(&shown);
  }
  return offered;
}

}  // namespace

std::vector<int> OfferedQuantities(IArea* area, IVisualOpt* options)
{
  ModelRef<IClassObjModel> model = Query<IClassObjModel>(area, IID_IClassObjModel);
  if (!model)
    return {};
  CGuid kind;
  model->GetClassId(&kind);
  if (kind.IsEqual(&CLSID_CStraightRoad))
    return StraightRoadQuantities(area, options);
  if (kind.IsEqual(&CLSID_CCustomizeRoad) || kind.IsEqual(&CLSID_CCustomizeRoad3D)) {
    if (options) {
      const int shown = kQuantityIlluminance;
      options->SetQuantity(&shown);
    }
    return {kQuantityIlluminance};
  }
  return {};
}
