// One pole (or mast) of a group: where it stands, how its bracket and luminaire sit, how the luminaire is aimed,
// whether the geometry is the user's or the catalogue's, and the pole and bracket prices.
#pragma once

#include "model/class_obj_model.h"
#include "model/doc_interface.h"
#include "model/ipole.h"
#include "model/lamp_post.h"

#include <cstdint>

struct IGroupOfDev;

namespace ObjectModel {

// x to 2 decimals, halves away from zero.
double Round2(double x);

class CPole : public CClassObjModel, public IPole {
public:
  CPole(CClassObjModel* parent, IQorRoadDoc* document);

  HRESULT QueryInterface(const IID* iid, void** out) override;
  LONG AddRef() override { return CClassObjModel::AddRef(); }
  LONG Release() override { return CClassObjModel::Release(); }
  int Serialize(CArchive* ar, DWORD fileVersion) override;
  int SetDefaults() override;
  int CopyTo(IClassObjModel* dst, DWORD flags) override;

  IPole* GetNext() override { return m_next; }
  int SetNext(IPole* next) override;
  IPole* GetPrev() override { return m_prev; }
  int SetPrev(IPole* prev) override;
  double GetHeight(int flag) override;
  int SetHeight(const double* height) override;
  double GetOutreach(int kind) override;
  int SetOutreach(const double* outreach) override;
  double* GetSetback() override { return &m_setback; }
  int SetSetback(const double* setback) override;
  double GetTilt(int flag) override;
  int SetTilt(const double* tilt) override;
  double* GetRotation() override { return &m_rotation; }
  int SetRotation(const double* rotation) override;
  int UpdateFromCatalogue() override;
  int ClearSelection() override;
  int* GetTypical() override { return &m_typical; }
  CLampPost* GetLampPost() override { return &m_lampPost; }
  int SetTypical(const int* typical) override;
  int SetPosition(const double* xyz) override;
  double* GetPosition() override { return m_position; }
  int* GetCoordFlags() override { return &m_coordFlags; }
  int SetCoordFlags(const int* flags) override;
  double GetDistanceToPrev() override;
  int SetDistanceToPrev(const double* distance) override;
  double GetAngleToPrev() override;
  int SetAngleToPrev(const double* angle) override;
  double GetAbsoluteRotation() override;
  double GetCircleRotation() override;
  double* GetLuminaireTurn() override { return &m_luminaireTurn; }
  int SetLuminaireTurn(const double* turn) override;
  int GetAimPoint(double* xyz) override;
  int SetAimPoint(const double* xyz) override;
  int* GetAimFlags() override { return &m_aimFlags; }
  int SetAimFlags(const int* flags) override;
  double ComputeAimTilt(const int* mode) override;
  double ComputeAimTurn(const int* mode) override;
  int ApplyAimTilt(const double* tilt, const int* mode) override;
  int ApplyAimTurn(const double* turn, const int* mode) override;
  double GetAimTilt() override { return m_aimTilt; }
  double GetAimTurn() override { return m_aimTurn; }
  int SetAimTilt(const double* tilt) override;
  int SetAimTurn(const double* turn) override;
  int GetMountSide() override { return m_mountSide; }
  int SetMountSide(const int* side) override;
  int SetPolePrice(const double* price) override;
  double GetPolePrice() override;
  int SetPoleMountPrice(const double* price) override;
  double GetPoleMountPrice() override;
  int SetBracketPrice(const double* price) override;
  double GetBracketPrice() override;
  int SetBracketMountPrice(const double* price) override;
  double GetBracketMountPrice() override;

protected:
  ~CPole() override;

private:
  // The group the pole belongs to, without a reference; null for a pole on its own.
  IGroupOfDev* Group();
  // The arm the geometry comes from: the current bracket's current arm; null without one.
  const LAMP_CONSOLE_INFO* CurrentArm() const;
  double BracketDirection(const int* mode);
  void LightCentre(const int* mode, double* x, double* y);
  void PlaceAimPoint(double tilt, double turn, const int* mode);

  IQorRoadDoc* m_document;
  double m_height = 10.0;
  double m_outreach = 2.0;
  double m_setback = 1.0;
  double m_tilt = 15.0;
  double m_rotation = 0.0;
  int m_typical = 0;
  double m_position[3] = {};
  int m_coordFlags = 17;
  double m_luminaireTurn = 0.0;
  double m_aimPoint[3] = {};
  int m_aimFlags = 35;
  double m_aimTilt = 45.0;
  double m_aimTurn = 0.0;
  int m_mountSide = 0;
  std::int32_t m_polePrice = 0;  // hundredths, as the other three
  std::int32_t m_poleMountPrice = 0;
  std::int32_t m_bracketPrice = 0;
  std::int32_t m_bracketMountPrice = 0;
  DWORD m_copyFlags = 0;
  CLampPost m_lampPost;
  IPole* m_prev = nullptr;
  IPole* m_next = nullptr;
};

// A new pole with its one reference, as the group's list holds it.
IPole* CreatePole(CClassObjModel* parent, IQorRoadDoc* document);

}  // namespace ObjectModel
