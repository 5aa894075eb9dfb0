// The parts of a lighting pole below its luminaires: the support (pole or lattice mast shaft), the bracket on
// its top with its vertical tube, and one arm per luminaire. A bracket places its arms from the pole data and
// draws the plan markers of a selected group; colour ids and states travel down, bracket to arms to luminaires.
#pragma once

#include "geometry/object3d.h"
#include "graphics/scene/scene_draw.h"

#include <vector>

class CBaseBracket;
class CBaseLightDevice;

class CBaseSupport : public CObject3D {
public:
  CBaseSupport();

  double m_topRadius = 0.07;
  int m_slices = 10;
  int m_stacks = 10;
  float m_lineWidth = 1.0f;

protected:
  scene::Quadric m_quadric;
};

// A GLU cylinder along +z from the current origin: base radius size x, the top radius, height size z.
class CStreetSupport : public CBaseSupport {
public:
  void Draw() override;
};

// Drawn as a wire frame even in the normal look.
class CStreetMast : public CStreetSupport {
public:
  CStreetMast();
};

class CBaseArm : public CObject3D {
public:
  explicit CBaseArm(CBaseBracket* bracket) : m_bracket(bracket) {}
  ~CBaseArm() override;

  void SetState(DWORD flags) override;
  void SetColor(int colourId) override;
  // A tube from radius size x at the bracket to size y at the end, size z long, then the luminaire at the end.
  void Draw() override;
  // The light centre's offset from the arm's end, in the luminaire's frame.
  virtual void GetLightOffset(double out[3]) const = 0;

  CBaseBracket* GetBracket() const { return m_bracket; }
  CBaseLightDevice* GetLuminaire() const { return m_luminaire; }

protected:
  // The kinds make their luminaire and become its owner.
  void AttachLuminaire(CBaseLightDevice* luminaire);

  CBaseBracket* m_bracket;
  CBaseLightDevice* m_luminaire = nullptr;
  scene::Quadric m_quadric;
  int m_slices = 8;
  int m_stacks = 3;
};

class CFixtureArm : public CBaseArm {
public:
  explicit CFixtureArm(CBaseBracket* bracket);
  void GetLightOffset(double out[3]) const override;
};

class CMastArm : public CBaseArm {
public:
  explicit CMastArm(CBaseBracket* bracket);
  void GetLightOffset(double out[3]) const override;
};

class CFloorLampArm : public CBaseArm {
public:
  CFloorLampArm(CBaseBracket* bracket, int stemDown);
  // (0, 0, the luminaire's size z).
  void GetLightOffset(double out[3]) const override;
};

// The pole data of one arm as the bracket takes it.
struct ArmGeometry {
  double endHeight = 0;
  double length = 0;
  double tilt = 0;     // degrees
  double azimuth = 0;  // degrees
  double turn[3] = {0, 0, 0};
  double offset[3] = {0, 0, 0};
  double aim[3] = {0, 0, 0};
  int stemDown = 0;
};

class CBaseBracket : public CObject3D {
public:
  explicit CBaseBracket(CStreetSupport* support);
  ~CBaseBracket() override;

  // The word becomes the request itself (no state rule), and every arm gets the request.
  void SetState(DWORD flags) override;
  void SetColor(int colourId) override;
  // The tube, then each arm in its turned frame; in the frame of the support's top.
  void Draw() override;
  void DrawMarkers() override;

  // Places a new arm rising from the tube at end height - length x sin(tilt) and ending at the end height; the
  // tube grows to the highest arm base, size z to the highest arm end.
  void AddArm(double endHeight, double length, double tilt, double azimuth, double turnX, double turnY, double turnZ,
              double offsetX, double offsetY, double offsetZ, double aimX, double aimY, double aimZ, int stemDown);
  void AddArm(const ArmGeometry& arm);

  // The world position of the first arm's light centre. A bracket without arms (a damaged pole record) has
  // none: false, and out is the support's top.
  bool GetLightCentre(double out[3]) const;

  CStreetSupport* GetSupport() const { return m_support; }
  const std::vector<CBaseArm*>& GetArms() const { return m_arms; }
  double GetTubeHeight() const { return m_tubeHeight; }

  // Set from the pole data: the markers stand at the support rather than at the light centre.
  int m_supportMarkers = 0;

protected:
  // The kind's arm for this bracket.
  virtual CBaseArm* MakeArm(int stemDown) = 0;
  // What a kind does to the new arm's luminaire after the arm is placed.
  virtual void PlaceLuminaire(CBaseArm* /*arm*/, const ArmGeometry& /*geometry*/) {}

  CStreetSupport* m_support;
  std::vector<CBaseArm*> m_arms;
  double m_tubeHeight = 0;
  scene::Quadric m_quadric;
  int m_slices = 8;
  int m_stacks = 3;
};

class CFixtureBracket : public CBaseBracket {
public:
  using CBaseBracket::CBaseBracket;

protected:
  CBaseArm* MakeArm(int stemDown) override;
};

class CMastBracket : public CBaseBracket {
public:
  using CBaseBracket::CBaseBracket;
  // The base markers, then a line from the arm's side to the aim point and a disc at the aim point.
  void DrawMarkers() override;

protected:
  CBaseArm* MakeArm(int stemDown) override;
  void PlaceLuminaire(CBaseArm* arm, const ArmGeometry& geometry) override;
};

class CFloorLampBracket : public CBaseBracket {
public:
  using CBaseBracket::CBaseBracket;

protected:
  CBaseArm* MakeArm(int stemDown) override;
  void PlaceLuminaire(CBaseArm* arm, const ArmGeometry& geometry) override;
};
