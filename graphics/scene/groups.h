// Groups of poles: each owns its members, passes placement, state and colour down to them, numbers and labels
// them, and draws plan markers of how it is placed while selected. A luminaire group also owns the photometric
// solid its luminaires draw.
#pragma once

#include "geometry/object3d.h"
#include "graphics/scene/object_containers.h"
#include "model/intensity_table.h"

struct ICalcAreaHost;
class CLuminousIntensityCurve;

class CGroup3D : public CBaseObjectContainer3D, public CObject3D {
public:
  ~CGroup3D() override;
  void Add(CObject3D* member) override;

  void SetState(DWORD flags) override;
  void SetPosition(double x, double y, double z) override;
  void MoveTo(double x, double y, double z) override;
  void SetRotation(double ax, double ay, double az) override;
  void TurnTo(double ax, double ay, double az) override;
  void SetColor(int colourId) override;
  void SetLabelHeight(double height) override;
  void SetLabel(CString text) override;
  void SetLabelColor(float r, float g, float b) override;
  void Draw() override;

protected:
  CGroup3D() = default;
};

class CGroupLightDevice3D : public CGroup3D {
public:
  enum GroupKind { kIndividual = 1, kInLine = 2, kInCircle = 4, kAlongContour = 8 };

  CGroupLightDevice3D();
  ~CGroupLightDevice3D() override;

  // A null table (solids not shown) changes nothing.
  void UpdatePhotometry(const _LINKED_TABLE* table, int flags);

  CLuminousIntensityCurve* GetSolid() const { return m_solid; }
  const _LINKED_TABLE* GetTable() const { return &m_table; }

  double m_centre[3] = {0, 0, 0};
  int m_groupKind = 0;

private:
  CLuminousIntensityCurve* m_solid;
  _LINKED_TABLE m_table;
};

class CGroup3DIndividuality : public CGroupLightDevice3D {};

class CGroup3DLine : public CGroupLightDevice3D {
public:
  void DrawMarkers() override;
};

class CGroup3DCircle : public CGroupLightDevice3D {
public:
  void DrawMarkers() override;
};

class CGroup3DPolyline : public CGroupLightDevice3D {
public:
  // Selecting a contour group marks its sub-groups 0x20, never selected themselves.
  void SetState(DWORD flags) override;
  void DrawMarkers() override;
};

namespace scene {
// The view a rebuild draws for, recorded by the scene builder before each photometric update: the camera's view
// type and the render core whose active area decides whether plan markers show.
struct GroupView {
  DWORD viewType = 0;
  ICalcAreaHost* core = nullptr;
};
GroupView& RecordedGroupView();
}  // namespace scene
