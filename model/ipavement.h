// Sidewalks and building walls on both sides of a straight road. Each side is a strip (ILineOfRoad) whose width
// is the sidewalk width or the wall height and whose gap is its distance from the element inside it.
#pragma once

#include "model/class_obj_model.h"

struct ILineOfRoad;

// Flag bits of the sidewalks and the walls.
inline constexpr int kSideOn = 0x0001;        // sidewalks: the state SetFlags gives the chosen strips
inline constexpr int kSideAbsent = 0x0002;    // not part of the cross-section at all
inline constexpr int kPavementLeft = 0x0100;  // SetFlags applies bit 0 to the left strip
inline constexpr int kPavementRight = 0x0200; // ... and to the right one
inline constexpr int kWallLeftOn = 0x1000;
inline constexpr int kWallRightOn = 0x2000;

struct IPavement : IModelUnknown {
  virtual CString* GetName() = 0;
  virtual int SetName(const CString* name) = 0;
  virtual int* GetFlags() = 0;
  virtual int SetFlags(const int* flags) = 0;
  virtual ILineOfRoad* CreateLeft() = 0;
  virtual ILineOfRoad* CreateRight() = 0;
  virtual int RemoveLeft() = 0;
  virtual int RemoveRight() = 0;
  virtual int Reserved() = 0;
  virtual int ClearSelection() = 0;

protected:
  ~IPavement() = default;
};

struct IWall : IModelUnknown {
  virtual CString* GetName() = 0;
  virtual int SetName(const CString* name) = 0;
  virtual int* GetFlags() = 0;
  virtual int SetFlags(const int* flags) = 0;
  virtual ILineOfRoad* CreateLeft() = 0;
  virtual ILineOfRoad* CreateRight() = 0;
  virtual int RemoveLeft() = 0;
  virtual int RemoveRight() = 0;
  virtual int ClearSelection() = 0;

protected:
  ~IWall() = default;
};
