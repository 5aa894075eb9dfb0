// Street devices: a column, a lattice mast or a floor-lamp post, each owning its support and its bracket and
// drawn whole at its position; and the decorator that, on a straight road, draws a selected device's mounting
// dimensions (height, outreach, distance to the reference edge, tilt and turn) with 3D text.
#pragma once

#include "geometry/object3d.h"
#include "geometry/vector_string3d.h"
#include "graphics/scene/supports.h"

#include <vector>

// One arm of the pole data the scene builder hands over.
struct _ARM_PLACEMENT {
  double endHeight = 0;
  double armLength = 0;
  double tilt = 0;     // degrees
  double azimuth = 0;  // degrees
  double poleHeight = 0;
  BYTE stemDown = 0;
  double turn[3] = {0, 0, 0};
  double offset[3] = {0, 0, 0};
  double aim[3] = {0, 0, 0};
};

class CBaseLightStreetDevice : public CObject3D {
public:
  // The kind word.
  static constexpr int kDecorator = 2;
  static constexpr int kColumn = 4;
  static constexpr int kMast = 8;
  static constexpr int kFloorLamp = 0x10;

  ~CBaseLightStreetDevice() override;

  CBaseSupport* GetSupport() const { return m_support; }
  CBaseBracket* GetBracket() const { return m_bracket; }
  int GetKind() const { return m_kind; }

protected:
  explicit CBaseLightStreetDevice(int kind) : m_kind(kind) {}

  CBaseSupport* m_support = nullptr;
  CBaseBracket* m_bracket = nullptr;
  int m_kind;
};

class CStreetFixtureDevice : public CBaseLightStreetDevice {
public:
  void SetState(DWORD flags) override;
  // The support moves and turns with the device; the label moves with it.
  void SetPosition(double x, double y, double z) override;
  void MoveTo(double x, double y, double z) override;
  void SetRotation(double ax, double ay, double az) override;
  void TurnTo(double ax, double ay, double az) override;
  // Goes to the support and the bracket; the device keeps no colour of its own.
  void SetColor(int colourId) override;
  void Draw() override;
  void DrawMarkers() override;

  // One arm per placement, in order; the support takes the first placement's pole height. Without placements
  // (a damaged pole record) the pole stands alone at its default height.
  void BuildArms(const std::vector<_ARM_PLACEMENT>& placements);

protected:
  explicit CStreetFixtureDevice(int kind) : CBaseLightStreetDevice(kind) {}
  // Support, then the bracket for it, then the device becomes the bracket's owner.
  void Assemble(CStreetSupport* support, CBaseBracket* bracket);

private:
  void Place(double x, double y, double z);
  void Turn(double ax, double ay, double az);
};

class CStreetColumnIllumination : public CStreetFixtureDevice {
public:
  CStreetColumnIllumination();
};

class CStreetMastIllumination : public CStreetFixtureDevice {
public:
  CStreetMastIllumination();
};

class CStreetFloorLampIllumination : public CStreetFixtureDevice {
public:
  CStreetFloorLampIllumination();
};

class IDecorator {
public:
  virtual ~IDecorator() = default;
  virtual void DrawDecoration() = 0;
};

class CLightStreetDeviceDecorator : public IDecorator, public CStreetFixtureDevice {
public:
  // Takes the device; d is the distance from the pole axis to the reference edge along -y, signed by the side.
  CLightStreetDeviceDecorator(CStreetFixtureDevice* device, double d);
  ~CLightStreetDeviceDecorator() override;

  void SetState(DWORD flags) override { m_device->SetState(flags); }
  void SetColor(int colourId) override { m_device->SetColor(colourId); }
  void SetLabelHeight(double height) override { m_device->SetLabelHeight(height); }
  void SetLabel(CString text) override { m_device->SetLabel(text); }
  CVectorString3D* GetLabel() override { return m_device->GetLabel(); }
  void SetOwner(CObject3D* owner) override { m_device->SetOwner(owner); }
  void Draw() override { DrawDecoration(); }
  // The device, then, while it is selected, its dimensions.
  void DrawDecoration() override;

  CStreetFixtureDevice* GetDevice() const { return m_device; }
  double GetReferenceDistance() const { return m_referenceDistance; }
  // 0 tilt "δ", 1 turn "ψ", 2 height "h", 3 edge distance "b", 4 outreach "a".
  CVectorString3D& GetDimensionLabel(int index) { return m_labels[index]; }

private:
  CStreetFixtureDevice* m_device;
  double m_referenceDistance;
  CVectorString3D m_labels[5];
};
