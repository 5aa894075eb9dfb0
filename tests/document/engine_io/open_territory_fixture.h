// A document whose current project holds one active open territory, a triangulation the tests can predict (a fan
// from the first outline point), and short ways to add primitives and groups of poles.
#pragma once

#include "engine_io_fixture.h"
#include "model/customize_road.h"
#include "model/group_of_dev.h"
#include "model/primitive.h"
#include "model/primitive_services.h"

// Triangles (v0, vk, vk+1): enough for the convex outlines of these tests, and each one known in advance.
class FanTriangulation : public ObjectModel::CPrimitiveServices {
public:
  const char* TriangulateOutline(CArray<_CSPOINT3D>& outline, std::vector<ObjectModel::PrimitiveTriangle>& out) override
  {
    out.clear();
    for (INT_PTR k = 1; k + 1 < outline.GetSize(); ++k)
      out.push_back({outline[0], outline[k], outline[k + 1]});
    return nullptr;
  }
};

class OpenTerritoryTest : public ::testing::Test {
protected:
  void SetUp() override
  {
    ObjectModel::SetPrimitiveServices(&triangulation);
    area = doc.project->ResetAreas(CLSID_CCustomizeRoad);
    site = dynamic_cast<ObjectModel::CCustomizeRoad*>(area);
    groups = Get<IGroupsOfDev>(area, IID_IGroupsOfDev);
    results = Get<IResultsOfCalc>(area, IID_IResultsOfCalc);
  }
  void TearDown() override
  {
    for (IModelUnknown* held : heldInterfaces)
      held->Release();
    if (area)
      area->Release();
    ObjectModel::SetPrimitiveServices(nullptr);
  }

  template <class I>
  I* Get(IModelUnknown* object, const IID& iid)
  {
    void* out = nullptr;
    if (FAILED(object->QueryInterface(&iid, &out)))
      return nullptr;
    heldInterfaces.push_back(static_cast<I*>(out));
    return static_cast<I*>(out);
  }

  void SetWindow(double length, double width, int gridMode, double gridStep)
  {
    area->SetLength(&length);
    area->SetWidth(&width);
    area->SetGridMode(&gridMode);
    area->SetGridStep(&gridStep);
  }

  // The area's own first primitive: the default carriageway square.
  IPrimitive* FirstPrimitive() { return site->GetFirstPrimitive(); }

  IPrimitive* Append(IPrimitive* p)
  {
    IPrimitive* last = FirstPrimitive();
    while (last->GetNext())
      last = last->GetNext();
    last->SetNext(p);
    p->SetPrev(last);
    return p;
  }
  IPrimitive* AddShape(int shape, int membership, double cx, double cy, double length, double width, double rotation)
  {
    IPrimitive* p = Append(site->CreatePrimitive(shape, membership, TRUE));
    const double centre[3] = {cx, cy, 0.0};
    p->SetCentre(centre);
    p->SetSize2(length);
    p->SetSize1(width);
    p->SetRotation(rotation);
    return p;
  }
  IPrimitive* AddPolygon(int membership, std::initializer_list<std::pair<double, double>> points)
  {
    IPrimitive* p = Append(site->CreatePrimitive(ObjectModel::kShapePolygon, membership, TRUE));
    SetOutline(p, points);
    return p;
  }
  static void SetOutline(IPrimitive* p, std::initializer_list<std::pair<double, double>> points)
  {
    CArray<_CSPOINT3D>* outline = nullptr;
    p->GetOutline(&outline);
    outline->RemoveAll();
    for (const auto& [x, y] : points)
      outline->Add(_CSPOINT3D{x, y, 0, 0, 0});
  }
  static void SetState(IPrimitive* p, int state) { p->SetState(&state); }

  ObjectModel::CGroupOfDev* FirstGroup()
  {
    return static_cast<ObjectModel::CGroupOfDev*>(dynamic_cast<ObjectModel::CGroupsOfDev*>(groups)->GetFirstGroup());
  }
  ObjectModel::CGroupOfDev* AddGroup()
  {
    IGroupOfDev* group = groups->CreateGroup();
    dynamic_cast<ObjectModel::CGroupsOfDev*>(groups)->AppendGroup(group);
    return static_cast<ObjectModel::CGroupOfDev*>(group);
  }
  // Mounting kind and placement scheme first: both may place the poles again.
  static void SetPlacement(IGroupOfDev* g, int mounting, int scheme, int poles)
  {
    g->SetMountingKind(&mounting);
    g->SetPlacementScheme(&scheme);
    g->SetPoleCount(&poles);
  }
  static void SetPole(IPole* pole, double x, double y, double height, double outreach, double tilt, double psi)
  {
    const int user = 0;
    pole->SetTypical(&user);
    const double xyz[3] = {x, y, 0.0};
    pole->SetPosition(xyz);
    pole->SetHeight(&height);
    pole->SetOutreach(&outreach);
    pole->SetTilt(&tilt);
    pole->SetRotation(&psi);
  }
  static void SetArms(IPole* pole, std::initializer_list<LAMP_CONSOLE_INFO> arms)
  {
    CLampConsole* bracket = pole->GetLampPost()->GetCurrentBracket();
    bracket->arms.RemoveAll();
    for (const LAMP_CONSOLE_INFO& arm : arms)
      bracket->arms.Add(arm);
    bracket->currentArm = 0;
  }
  static LAMP_CONSOLE_INFO Arm(double rise, double outreach, double tilt, double turn)
  {
    LAMP_CONSOLE_INFO arm;
    arm.rise = rise;
    arm.outreach = outreach;
    arm.tilt = tilt;
    arm.turn = turn;
    return arm;
  }

  // A luminaire record with a table of planes (rows) by gamma angles (columns), values in cd/klm.
  static void SetLuminaire(CLightDevice& d, const char* textA, double flux, int count, std::uint32_t word,
                           const std::vector<double>& gammas, const std::vector<double>& planes,
                           const std::vector<std::vector<double>>& values)
  {
    d.textA = textA;
    d.lampFlux = flux;
    d.lampCount = count;
    d.symmetryWord = word;
    _LINKED_TABLE* t = d.table.get();
    LinkedTableResize(t, static_cast<int>(planes.size()) + 1, static_cast<int>(gammas.size()) + 1);
    for (std::size_t j = 0; j < gammas.size(); ++j)
      LinkedTableFind(t, static_cast<int>(j) + 2, 1)->value = gammas[j];
    for (std::size_t i = 0; i < planes.size(); ++i) {
      LinkedTableFind(t, 1, static_cast<int>(i) + 2)->value = planes[i];
      for (std::size_t j = 0; j < gammas.size(); ++j)
        LinkedTableFind(t, static_cast<int>(j) + 2, static_cast<int>(i) + 2)->value = values[i][j];
    }
  }
  _CALC_RESULTS& Results() { return *results->GetData(); }

  FanTriangulation triangulation;
  ProjectDocument doc;
  std::vector<IModelUnknown*> heldInterfaces;
  IArea* area = nullptr;
  ObjectModel::CCustomizeRoad* site = nullptr;
  IGroupsOfDev* groups = nullptr;
  IResultsOfCalc* results = nullptr;
};
