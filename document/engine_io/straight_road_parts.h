// What the straight-road input writer and result reader both ask of the model: the active straight road's parts
// and which elements of its cross-section take part. The result file does not describe its own layout, so the
// reader must put exactly the writer's questions to the same model.
#pragma once

#include "model/iarea.h"
#include "model/igroups.h"
#include "model/ipavement.h"
#include "model/iresults.h"
#include "model/iroad.h"

#include <utility>

struct IQorRoadDoc;

namespace EngineIo {

// One reference to a model interface, released with the holder.
template <class I>
class ModelRef {
public:
  ModelRef() = default;
  explicit ModelRef(I* p) : p_(p) {}
  ModelRef(ModelRef&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
  ModelRef& operator=(ModelRef&& other) noexcept
  {
    std::swap(p_, other.p_);
    return *this;
  }
  ModelRef(const ModelRef&) = delete;
  ModelRef& operator=(const ModelRef&) = delete;
  ~ModelRef()
  {
    if (p_)
      p_->Release();
  }

  I* get() const { return p_; }
  I* operator->() const { return p_; }
  explicit operator bool() const { return p_ != nullptr; }

private:
  I* p_ = nullptr;
};

// The object's answer for `iid`, or an empty holder.
template <class I>
ModelRef<I> Query(IModelUnknown* object, const IID& iid)
{
  void* out = nullptr;
  if (!object || FAILED(object->QueryInterface(&iid, &out)))
    return {};
  return ModelRef<I>(static_cast<I*>(out));
}

struct StraightRoadParts {
  ModelRef<IArea> area;
  ModelRef<IRoad> road;
  ModelRef<IPavement> sidewalks;
  ModelRef<IWall> walls;
  ModelRef<IGroupsOfDev> groups;
  ModelRef<IResultsOfCalc> results;
};

// The active area of the document's current project, when it is a straight road with all its parts.
bool FindActiveStraightRoad(IQorRoadDoc* document, StraightRoadParts& parts);

// A sidewalk or wall strip that is present: handed out under its key and switched on.
ModelRef<ILineOfRoad> PresentStrip(IModelUnknown* owner, const IID& key);

struct CrossSection {
  bool carriagewayTakesPart = false;  // state bit 0 set, bit 1 clear
  bool sidewalksTakePart = false;     // bit 1 of the sidewalks' flags clear
  bool wallsTakePart = false;         // bit 1 of the walls' flags clear
  bool rightSidewalk = false;         // present strips, whether or not their element takes part
  bool leftSidewalk = false;
  bool rightWall = false;
  bool leftWall = false;
  bool twoWay = false;
  int oppositeState = 1;  // 0: the opposite direction is calculated on its own
  unsigned mainLanes = 0;

  bool OppositeSeparate() const { return twoWay && oppositeState == 0; }
  bool AnySidewalk() const { return sidewalksTakePart && (rightSidewalk || leftSidewalk); }
};

CrossSection ReadCrossSection(const StraightRoadParts& parts);

}  // namespace EngineIo
