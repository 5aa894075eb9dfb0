// A document whose current project holds one active interchange, and calculation surfaces whose meshes a test
// can predict: the outline's fan raised 0.04 m, its points the outline's, and a refinement that adds the centre
// of each mesh triangle. The averaging is plain too (mean of the point values over the fan's area), so the
// reader's summaries can be worked by hand.
#pragma once

#include "model/interchange.h"
#include "open_territory_fixture.h"

#include <array>
#include <cmath>
#include <vector>

class FanSurface : public ObjectModel::CPrimitiveCalcSurface {
public:
  explicit FanSurface(IPrimitive* primitive) : primitive_(primitive) {}

  struct Point {
    double p[3];
    double value;
  };

  void Reset() override
  {
    triangles_.clear();
    points_.clear();
    refined_ = false;
  }
  bool RebuildMesh() override
  {
    Reset();
    ++rebuilds;
    CArray<_CSPOINT3D>* outline = nullptr;
    primitive_->GetOutline(&outline);
    for (const _CSPOINT3D& v : *outline)
      points_.push_back({{v.x, v.y, v.z + 0.04}, 0.0});
    for (std::size_t k = 1; k + 1 < points_.size(); ++k)
      triangles_.push_back({0, k, k + 1});
    return true;
  }
  void RefineMesh(double step) override
  {
    if (refined_ && step == step_)
      return;
    if (refined_)
      RebuildMesh();
    for (const auto& t : triangles_) {
      Point c{{0, 0, 0}, 0.0};
      for (std::size_t k : t)
        for (int a = 0; a < 3; ++a)
          c.p[a] += points_[k].p[a] / 3;
      points_.push_back(c);
    }
    refined_ = true;
    step_ = step;
  }
  bool IsRefinedTo(double step) const override { return refined_ && step == step_; }
  std::size_t GetMeshTriangleCount() const override { return triangles_.size(); }
  void GetMeshTriangle(std::size_t i, double corners[3][3]) const override
  {
    for (int k = 0; k < 3; ++k)
      for (int a = 0; a < 3; ++a)
        corners[k][a] = points_[triangles_[i][k]].p[a];
  }
  std::size_t GetPointCount() const override { return points_.size(); }
  void GetMeshPoint(std::size_t i, double position[3], double normal[3]) const override
  {
    for (int a = 0; a < 3; ++a) {
      position[a] = points_[i].p[a];
      normal[a] = a == 2 ? 1.0 : 0.0;
    }
  }
  void SetPointValue(std::size_t i, double value) override { points_.at(i).value = value; }
  // Mean of the values over the plan area of the fan.
  void ComputeAverage() override
  {
    area_ = 0;
    for (const auto& t : triangles_) {
      const double* a = points_[t[0]].p;
      const double* b = points_[t[1]].p;
      const double* c = points_[t[2]].p;
      area_ += std::fabs((b[0] - a[0]) * (c[1] - a[1]) - (c[0] - a[0]) * (b[1] - a[1])) / 2;
    }
    double sum = 0;
    for (const Point& p : points_)
      sum += p.value;
    mean_ = points_.empty() ? 0.0 : sum / static_cast<double>(points_.size());
    averaged = true;
  }
  double GetMeanValue() const override { return mean_; }
  double GetWeightedSum() const override { return mean_ * area_; }
  double GetTotalArea() const override { return area_; }
  void SetValueRange(double minimum, double maximum) override
  {
    rangeMin = minimum;
    rangeMax = maximum;
  }
  void BuildIsolines(IVisualOpt*) override { ++isolineBuilds; }
  void ApplyColorLevels(IVisualOpt*) override { ++colourings; }

  double Value(std::size_t i) const { return points_.at(i).value; }

  int rebuilds = 0;
  bool averaged = false;
  double rangeMin = -1, rangeMax = -1;
  int isolineBuilds = 0, colourings = 0;

private:
  IPrimitive* primitive_;
  std::vector<std::array<std::size_t, 3>> triangles_;
  std::vector<Point> points_;
  bool refined_ = false;
  double step_ = 0;
  double area_ = 0, mean_ = 0;
};

class FanMeshServices : public FanTriangulation {
public:
  ObjectModel::CPrimitiveCalcSurface* CreateCalcSurface(IPrimitive* primitive) override
  {
    return new FanSurface(primitive);
  }
};

class InterchangeTest : public OpenTerritoryTest {
protected:
  void SetUp() override
  {
    ObjectModel::SetPrimitiveServices(&meshes);
    area = doc.project->ResetAreas(CLSID_CCustomizeRoad3D);
    site = dynamic_cast<ObjectModel::CCustomizeRoad*>(area);
    groups = Get<IGroupsOfDev>(area, IID_IGroupsOfDev);
    results = Get<IResultsOfCalc>(area, IID_IResultsOfCalc);
  }

  static FanSurface& SurfaceOf(IPrimitive* p) { return *static_cast<FanSurface*>(p->GetMeshHelper()); }

  // A polygon whose outline points carry their own heights.
  IPrimitive* AddDeck(int membership, std::initializer_list<std::array<double, 3>> points)
  {
    IPrimitive* p = Append(site->CreatePrimitive(ObjectModel::kShapePolygon, membership, TRUE));
    SetDeckOutline(p, points);
    return p;
  }
  static void SetDeckOutline(IPrimitive* p, std::initializer_list<std::array<double, 3>> points)
  {
    CArray<_CSPOINT3D>* outline = nullptr;
    p->GetOutline(&outline);
    outline->RemoveAll();
    for (const auto& v : points)
      outline->Add(_CSPOINT3D{v[0], v[1], v[2], 0, 0});
  }

  FanMeshServices meshes;
};
