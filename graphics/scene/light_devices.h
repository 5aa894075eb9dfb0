// The luminaires of the scene: a street-light fixture, a floodlight projector and a floor-lamp globe, each drawn
// from display lists that all luminaires of its kind share. A luminaire of a group with a photometric solid
// draws the solid at its light centre.
#pragma once

#include "geometry/object3d.h"
#include "graphics/scene/shared_display_lists.h"

class CGroupLightDevice3D;

class CBaseLightDevice : public CObject3D {
public:
  // Bits of the solid's flag word that turn it to the luminaire's planes.
  static constexpr DWORD kSolidBPlanes = 1u << 29;
  static constexpr DWORD kSolidCPlanes = 1u << 28;

  // The group's photometric solid (borrowed, drawn at the light centre) and its flag word; null for none.
  void SetPhotometry(CGroupLightDevice3D* group, CObject3D* solid, DWORD solidFlags);
  CGroupLightDevice3D* GetPhotometricGroup() const { return m_photometricGroup; }

  double m_aimPoint[3] = {0, 0, 0};  // world point a projector aims at

protected:
  // The solid to draw: only while the luminaire belongs to a group that has one.
  CObject3D* GetSolid() const { return m_photometricGroup ? m_solid : nullptr; }
  DWORD GetSolidFlags() const { return m_solidFlags; }
  bool IsOutline() const { return (m_state & kOutlineLook) != 0; }

private:
  CGroupLightDevice3D* m_photometricGroup = nullptr;
  CObject3D* m_solid = nullptr;
  DWORD m_solidFlags = 0;
};

class CListLightDevice : public CBaseLightDevice {};

class CFixtureLightDevice : public CListLightDevice {
public:
  CFixtureLightDevice();
  ~CFixtureLightDevice() override;
  void Draw() override;
  static scene::SharedDisplayLists& Lists();  // 0 body, 1 bowl
};

class CProjectorLightDevice : public CListLightDevice {
public:
  CProjectorLightDevice();
  ~CProjectorLightDevice() override;
  // Turned z, then x, then about z again: azimuth, tilt, spin.
  void Draw() override;
  static scene::SharedDisplayLists& Lists();  // 0 housing, 1 glass
};

class CFloorLampLightDevice : public CBaseLightDevice {
public:
  // stemDown 0: the stem rises from the globe; non-zero: it points down.
  explicit CFloorLampLightDevice(BYTE stemDown);
  ~CFloorLampLightDevice() override;
  void Draw() override;
  BYTE GetStemDown() const { return m_stemDown; }
  static scene::SharedDisplayLists& Lists();  // 0 stem, 1 globe

private:
  BYTE m_stemDown;
};
