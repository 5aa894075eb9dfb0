// The pole interface, and the 3D point record of outlines, contours and pole placements.
#pragma once

#include "model/class_obj_model.h"

#include <cstdint>

class CLampPost;

// A point of an outline or contour; the whole 32 bytes stand in project files as they are.
struct _CSPOINT3D {
  double x;
  double y;
  double z;
  std::int32_t flags;  // bit 0 current vertex, bit 1 selected vertex
  std::int32_t reserved;
};
static_assert(sizeof(_CSPOINT3D) == 32);

// Getters that answer a pointer give the field's address; setters take a pointer unless said; setters answer 0.
struct IPole : IModelUnknown {
  virtual int Serialize(CArchive* ar, DWORD fileVersion) = 0;
  virtual int SetDefaults() = 0;
  virtual IPole* GetNext() = 0;
  virtual int SetNext(IPole* next) = 0;
  virtual IPole* GetPrev() = 0;
  virtual int SetPrev(IPole* prev) = 0;
  // flag 0: to the light centre; otherwise the pole top (typical poles).
  virtual double GetHeight(int flag) = 0;
  virtual int SetHeight(const double* height) = 0;
  // kind: the group's mounting kind.
  virtual double GetOutreach(int kind) = 0;
  virtual int SetOutreach(const double* outreach) = 0;
  virtual double* GetSetback() = 0;
  virtual int SetSetback(const double* setback) = 0;
  virtual double GetTilt(int flag) = 0;
  virtual int SetTilt(const double* tilt) = 0;
  virtual double* GetRotation() = 0;
  virtual int SetRotation(const double* rotation) = 0;
  virtual int UpdateFromCatalogue() = 0;
  virtual int ClearSelection() = 0;
  virtual int* GetTypical() = 0;
  virtual CLampPost* GetLampPost() = 0;
  virtual int SetTypical(const int* typical) = 0;
  virtual int SetPosition(const double* xyz) = 0;
  virtual double* GetPosition() = 0;
  virtual int* GetCoordFlags() = 0;
  virtual int SetCoordFlags(const int* flags) = 0;
  virtual double GetDistanceToPrev() = 0;
  virtual int SetDistanceToPrev(const double* distance) = 0;
  virtual double GetAngleToPrev() = 0;
  virtual int SetAngleToPrev(const double* angle) = 0;
  virtual double GetAbsoluteRotation() = 0;
  virtual double GetCircleRotation() = 0;
  virtual double* GetLuminaireTurn() = 0;
  virtual int SetLuminaireTurn(const double* turn) = 0;
  virtual int GetAimPoint(double* xyz) = 0;
  virtual int SetAimPoint(const double* xyz) = 0;
  virtual int* GetAimFlags() = 0;
  virtual int SetAimFlags(const int* flags) = 0;
  // mode: the group's open-territory placement scheme, 0 to 4.
  virtual double ComputeAimTilt(const int* mode) = 0;
  virtual double ComputeAimTurn(const int* mode) = 0;
  virtual int ApplyAimTilt(const double* tilt, const int* mode) = 0;
  virtual int ApplyAimTurn(const double* turn, const int* mode) = 0;
  virtual double GetAimTilt() = 0;
  virtual double GetAimTurn() = 0;
  virtual int SetAimTilt(const double* tilt) = 0;
  virtual int SetAimTurn(const double* turn) = 0;
  virtual int GetMountSide() = 0;
  virtual int SetMountSide(const int* side) = 0;
  // Prices in currency units; kept as whole hundredths.
  virtual int SetPolePrice(const double* price) = 0;
  virtual double GetPolePrice() = 0;
  virtual int SetPoleMountPrice(const double* price) = 0;
  virtual double GetPoleMountPrice() = 0;
  virtual int SetBracketPrice(const double* price) = 0;
  virtual double GetBracketPrice() = 0;
  virtual int SetBracketMountPrice(const double* price) = 0;
  virtual double GetBracketMountPrice() = 0;

protected:
  ~IPole() = default;
};
