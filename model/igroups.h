// The interfaces of a group of poles and of the container of an area's groups.
#pragma once

#include "model/class_obj_model.h"
#include "model/iarea.h"
#include "model/ipole.h"
#include "platform/mfc-core/array.h"

class CLightDevice;

// Getters that answer a pointer give the field's address; setters take a pointer unless said; all answer 0
// unless said.
struct IGroupOfDev : IModelUnknown {
  virtual CString* GetName() = 0;
  virtual int SetName(const CString* name) = 0;
  virtual int* GetState() = 0;
  virtual int SetState(const int* state) = 0;
  // Straight roads: 0 one-sided right, 1 one-sided left, 2 two-sided, 3 staggered, 4 central, 5 suspended.
  virtual int* GetRoadScheme() = 0;
  virtual int SetRoadScheme(const int* scheme) = 0;
  virtual IGroupOfDev* GetNext() = 0;
  virtual int SetNext(IGroupOfDev* next) = 0;
  virtual IGroupOfDev* GetPrev() = 0;
  virtual int SetPrev(IGroupOfDev* prev) = 0;
  virtual int RefreshLightDevice() = 0;
  virtual CLightDevice* GetLightDevice() = 0;
  virtual double* GetStep() = 0;
  virtual int SetStep(const double* step) = 0;
  virtual double* GetOffset() = 0;
  virtual int SetOffset(const double* offset) = 0;
  // 0 on a pole, 1 on a mast, 2 handled like a mast.
  virtual int SetMountingKind(const int* kind) = 0;
  virtual int* GetMountingKind() = 0;
  // Open territories: 0 individual, 1 in line, 2 on a circle, 3 along a contour, 4 by points.
  virtual int SetPlacementScheme(const int* scheme) = 0;
  virtual int* GetPlacementScheme() = 0;
  virtual int Reserved() = 0;
  virtual int ClearSelection() = 0;
  virtual int InitGroup(int luminaireCode) = 0;
  virtual int LoadLightDevice(int luminaireCode, int flag) = 0;
  virtual int DragHandle(double* x, double* y, int handleCode) = 0;
  virtual int GetTotalPoleCount() = 0;
  virtual int GetPoleCount() = 0;
  virtual int GetLuminaireCount() = 0;
  virtual int SetPoleCount(const int* count) = 0;
  virtual int PlacePoles(int flags) = 0;
  virtual double* GetBasePoint() = 0;
  virtual int SetBasePoint(const double* xyz) = 0;
  virtual int SetAngularStep(const double* step) = 0;
  virtual double* GetAngularStep() = 0;
  virtual int* GetNumber() = 0;
  virtual int SetNumber(const int* number) = 0;
  virtual int GetContourPoints(CArray<_CSPOINT3D>** out) = 0;
  virtual int UpdatePolePositions(int unused) = 0;
  virtual int IsSubGroup() = 0;
  virtual int ShareTreeItem() = 0;
  virtual int OffsetContourVertex(const _CSPOINT3D* prev, const _CSPOINT3D* vertex, const _CSPOINT3D* next,
                                  _CSPOINT3D* out) = 0;
  virtual int GetSubGroupCount() = 0;
  virtual int ComputeContourPositions(const double* step, const CArray<_CSPOINT3D>* points,
                                      CArray<_DEVCPOSITION>* positions) = 0;
  virtual int ComputePointPositions(const CArray<_CSPOINT3D>* points, CArray<_DEVCPOSITION>* positions) = 0;
  virtual int SetContourMode(int side) = 0;
  virtual int GetContourMode() = 0;
  virtual int SetContourOffset(const double* offset) = 0;
  virtual int SetContourOutreach(const double* outreach) = 0;
  virtual int SetContourStep(const double* step) = 0;
  virtual int SetContourAngle(const double* angle) = 0;
  virtual int SnapToPrimitiveOutline(double* point) = 0;
  virtual int OnKeyDown(UINT key, UINT repeat, UINT flags) = 0;
  virtual int TestKeyDown(UINT key) = 0;

protected:
  ~IGroupOfDev() = default;
};

struct IGroupsOfDev : IModelUnknown {
  virtual CString* GetName() = 0;
  virtual int SetName(const CString* name) = 0;
  virtual double* GetMaintenanceFactor() = 0;
  virtual int SetMaintenanceFactor(const double* factor) = 0;
  // A new group with one reference, not linked: the caller links it.
  virtual IGroupOfDev* CreateGroup() = 0;
  virtual int ClearSelection() = 0;
  virtual IGroupOfDev* GetSelectedGroup() = 0;
  // The handle code under (x, y), -1 for none; the object hit into out as IClassObjModel.
  virtual int HitTest(double x, double y, int flags, IClassObjModel** out) = 0;
  virtual int HitTestGroup(double x, double y, int flags, IGroupOfDev* group) = 0;
  virtual int SetOption(const int* option) = 0;
  virtual int* GetOption() = 0;
  virtual int FindGroupByNumber(int number, IClassObjModel** out) = 0;
  virtual int Reserved() = 0;
  virtual int NextGroupNumber(const int* mode) = 0;
  virtual int OnKeyDown(UINT key, UINT repeat, UINT flags) = 0;
  virtual int TestKeyDown(UINT key) = 0;

protected:
  ~IGroupsOfDev() = default;
};

// Hit codes of a group's handles, as the drag applies them.
namespace GroupHandle {
inline constexpr int kNone = -1;
inline constexpr int kFirstPole = 100;
inline constexpr int kTurn = 900;
inline constexpr int kOutreach = 901;
inline constexpr int kSecondPoint = 902;
inline constexpr int kCirclePole = 903;
inline constexpr int kCircleCentre = 904;
inline constexpr int kAimPoint = 905;
inline constexpr int kLineSpacing = 906;
inline constexpr int kLineDirection = 907;
inline constexpr int kSubGroupPole = 908;
}  // namespace GroupHandle
