// What the open-territory tests share: geometry's triangulation installed for the primitives, a document that
// hands out visual options, and holders for areas and primitives.
#pragma once

#include "fake_document.h"
#include "geometry/triangulation/area_triangulator.h"
#include "geometry/triangulation/outline_check.h"
#include "model/customize_road.h"
#include "model/identifiers.h"
#include "model/ivisualopt.h"
#include "model/primitive.h"

#include <vector>

class GeometryPrimitiveServices : public ObjectModel::CPrimitiveServices {
public:
  const char* TriangulateOutline(CArray<_CSPOINT3D>& outline, std::vector<ObjectModel::PrimitiveTriangle>& out) override
  {
    out.clear();
    if (const char* fault = PreparePolygonOutline(outline))
      return fault;
    CAreaTriangulator triangulator(outline);
    triangulator.Triangulate();
    auto point = [](const _POINT3D& p) { return _CSPOINT3D{p.x, p.y, p.z, 0, 0}; };
    for (const auto& t : triangulator.Triangles())
      out.push_back({point(t->a), point(t->b), point(t->c)});
    return nullptr;
  }
};

// Installs geometry's services for the life of a test.
struct WithGeometry {
  WithGeometry() { ObjectModel::SetPrimitiveServices(&services); }
  ~WithGeometry() { ObjectModel::SetPrimitiveServices(nullptr); }
  GeometryPrimitiveServices services;
};

// A document whose visual options answer the colour of element k as (k, 0, 0).
class ColourDocument : public FakeDocument {
public:
  ColourDocument()
  {
    CreateVisualOpt(&options);
    for (int k = 0; k < 32; ++k) {
      const _PREF_OF_COLOR c{static_cast<float>(k), 0, 0};
      options->SetColour(k, &c);
    }
  }
  ~ColourDocument() { options->Release(); }
  HRESULT QueryInterface(REFIID iid, void** out) override
  {
    if (iid == IID_IVisualOpt) {
      options->AddRef();
      *out = options;
      return S_OK;
    }
    return FakeDocument::QueryInterface(iid, out);
  }
  double GetMarkerSize() override { return markerSize; }

  IVisualOpt* options = nullptr;
  double markerSize = 0.5;
};

// An open territory with its one reference.
struct SiteHolder {
  explicit SiteHolder(IQorRoadDoc* doc) : site(new ObjectModel::CCustomizeRoad(doc, nullptr, 1)) { site->AddRef(); }
  ~SiteHolder() { site->Release(); }
  ObjectModel::CCustomizeRoad* operator->() const { return site; }
  ObjectModel::CCustomizeRoad* site;
};

// A free-standing primitive with its one reference.
struct PrimitiveHolder {
  explicit PrimitiveHolder(IQorRoadDoc* doc, ObjectModel::CClassObjModel* parent = nullptr)
      : iface(ObjectModel::CreatePrimitive(parent, doc, 1)), p(ObjectModel::PrimitiveBehind(iface))
  {
  }
  ~PrimitiveHolder() { iface->Release(); }
  ObjectModel::CPrimitive* operator->() const { return p; }
  IPrimitive* iface;
  ObjectModel::CPrimitive* p;
};

inline void SetOutline(IPrimitive* p, std::initializer_list<std::pair<double, double>> points)
{
  const int polygon = ObjectModel::kShapePolygon;
  p->SetShape(&polygon);
  CArray<_CSPOINT3D>* outline = nullptr;
  p->GetOutline(&outline);
  outline->RemoveAll();
  for (const auto& [x, y] : points)
    outline->Add(_CSPOINT3D{x, y, 0, 0, 0});
}

inline std::vector<IPrimitive*> PrimitivesOf(ObjectModel::CCustomizeRoad* site)
{
  std::vector<IPrimitive*> out;
  for (IPrimitive* p = site->GetFirstPrimitive(); p; p = p->GetNext())
    out.push_back(p);
  return out;
}

// The plan area of a primitive's shape: triangles and rectangles only.
inline double ShapeArea(IPrimitive* p)
{
  const double a = *p->GetSize1() * *p->GetSize2();
  return *p->GetShape() == ObjectModel::kShapeTriangle ? a / 2 : a;
}
