// The carriageway and its strips: lanes of both directions, the dividing strip, and the sidewalk and wall
// strips that share the strip's form.
#pragma once

#include "model/class_obj_model.h"

// Strip types of a carriageway.
inline constexpr int kLaneMain = 0;
inline constexpr int kLaneDivider = 1;
inline constexpr int kLaneOpposite = 2;

struct ILineOfRoad : IModelUnknown {
  virtual int* GetType() = 0;
  virtual int SetType(const int* type) = 0;
  virtual double* GetWidth() = 0;
  virtual int SetWidth(const double* width) = 0;
  virtual int* GetState() = 0;
  virtual int SetState(const int* state) = 0;
  virtual int* GetParapet() = 0;
  virtual int SetParapet(const int* on) = 0;
  virtual double GetParapetWidth() = 0;
  virtual int SetParapetWidth(const double* width) = 0;
  virtual double GetParapetHeight() = 0;
  virtual int SetParapetHeight(const double* height) = 0;
  virtual ILineOfRoad* GetNext() = 0;
  virtual int SetNext(ILineOfRoad* next) = 0;
  virtual ILineOfRoad* GetPrev() = 0;
  virtual int SetPrev(ILineOfRoad* prev) = 0;
  virtual double* GetGap() = 0;
  virtual int SetGap(const double* gap) = 0;
  virtual int ClearSelection() = 0;

protected:
  ~ILineOfRoad() = default;
};

struct IRoad : IModelUnknown {
  virtual CString* GetName() = 0;
  virtual int SetName(const CString* name) = 0;
  virtual int* GetState() = 0;
  virtual int SetState(const int* state) = 0;
  virtual int SetTwoWay(const int* on) = 0;
  virtual int IsTwoWay() = 0;
  virtual int SetSurface(const int* surface) = 0;
  virtual int GetSurface() = 0;
  virtual int SetLaneCount(const int* laneType, const UINT* count) = 0;
  virtual UINT GetLaneCount(const int* laneType) = 0;
  virtual int SetLaneWidth(const int* laneType, const double* width) = 0;
  virtual double GetLaneWidth(const int* laneType) = 0;
  virtual int SetDividerOn(const int* on) = 0;
  virtual int HasDivider() = 0;
  virtual int SetParapetOn(const int* on) = 0;
  virtual int HasParapet() = 0;
  virtual int SetParapetWidth(const double* width) = 0;
  virtual double GetParapetWidth() = 0;
  virtual int SetParapetHeight(const double* height) = 0;
  virtual double GetParapetHeight() = 0;
  virtual int UpdateAreaWidth() = 0;
  virtual int GetOppositeState() = 0;
  virtual int SetOppositeState(const int* state) = 0;
  virtual int Reserved() = 0;
  virtual int ClearSelection() = 0;

protected:
  ~IRoad() = default;
};
