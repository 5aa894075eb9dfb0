// The interfaces of an open territory: its flat shapes (primitives), the user groups of primitives, and the
// area itself with the parameters of its typical road form.
#pragma once

#include "model/class_obj_model.h"
#include "model/ipole.h"
#include "model/pref_of_color.h"
#include "platform/mfc-core/array.h"

#include <cstdint>

class CArchive;

// The geometry record of one primitive as the engines and the scene read it.
struct _PRIMITIVE_INFO_1 {
  std::int32_t objectType;  // membership; the engine writers turn 3 into 0
  std::int32_t shape;
  double centre[3];
  double points[9][3];
  double innerRadius;
  double sectorAngle;
  double extraPoint[3];
  double baseHeight;
};

// Zeroes the centre and every point; the codes, radii and base height stay.
void InitPrimitiveInfo(_PRIMITIVE_INFO_1* info);

namespace ObjectModel {
class CPrimitiveCalcSurface;
}

// Getters that answer a pointer give the field's address; setters answer 0 unless said.
struct IPrimitive : IModelUnknown {
  virtual int Serialize(CArchive* ar, DWORD fileVersion) = 0;
  virtual int SetDefaults() = 0;
  virtual int ClearSelection() = 0;
  virtual int SetShape(const int* shape) = 0;
  virtual int SetMembership(const int* membership) = 0;
  virtual int* GetShape() = 0;
  virtual int* GetMembership() = 0;
  virtual int SetName(const CString* name) = 0;
  virtual CString* GetName() = 0;
  virtual int* GetState() = 0;
  virtual int SetState(const int* state) = 0;
  virtual int GetCentre(double out[3]) = 0;
  virtual int SetCentre(const double centre[3]) = 0;
  virtual int GetDragOrigin(double out[3]) = 0;
  virtual int SetDragOrigin(const double origin[3]) = 0;
  virtual double* GetSize1() = 0;
  virtual int SetSize1(double size) = 0;
  virtual double* GetSize2() = 0;
  virtual int SetSize2(double size) = 0;
  virtual double GetRotation() = 0;
  virtual int SetRotation(double degrees) = 0;
  virtual IPrimitive* GetNext() = 0;
  virtual int SetNext(IPrimitive* next) = 0;
  virtual IPrimitive* GetPrev() = 0;
  virtual int SetPrev(IPrimitive* prev) = 0;
  virtual int GetInfo(_PRIMITIVE_INFO_1* out) = 0;
  virtual int GetCalcInfo(_PRIMITIVE_INFO_1* out) = 0;
  virtual int DragHandle(double* x, double* y, UINT handle) = 0;
  virtual int SetInnerRadius(const double* radius) = 0;
  virtual double* GetInnerRadius() = 0;
  virtual int SetSectorAngle(const double* degrees) = 0;
  virtual double* GetSectorAngle() = 0;
  virtual int SetVertexOffset(const double* offset) = 0;
  virtual double* GetVertexOffset() = 0;
  virtual int SetArcDetail(const int* detail) = 0;
  virtual int* GetArcDetail() = 0;
  virtual int GetOutline(CArray<_CSPOINT3D>** out) = 0;
  virtual IPrimitive* GetFirstChild() = 0;
  virtual int Rebuild() = 0;
  virtual int ClearMesh() = 0;
  virtual int Triangulate() = 0;
  virtual int SnapPoint(IPrimitive* self, const double from[3], const double to[3], double out[3], int* membership,
                        int ignored) = 0;
  virtual double GetHeight() = 0;
  virtual int SetHeight(double height) = 0;
  virtual int GetFillColour(_PREF_OF_COLOR* out) = 0;
  virtual int GetDrawColour(_PREF_OF_COLOR* out) = 0;
  virtual int SetColour(const _PREF_OF_COLOR* colour) = 0;
  virtual int SetContourSide(int side) = 0;
  virtual int GetContourSide() = 0;
  virtual int GetContour(CArray<_CSPOINT3D>** out) = 0;
  virtual int RebuildContour() = 0;
  virtual int ClearContour() = 0;
  virtual int SetContourOffset(double offset) = 0;
  virtual double* GetContourOffset() = 0;
  virtual int MoveVertices(const double delta[2]) = 0;
  virtual ObjectModel::CPrimitiveCalcSurface* GetMeshHelper() = 0;
  virtual int MoveCurrentVertex(const double point[3], int strict) = 0;
  virtual int GetGroupKind(CGuid* out) = 0;
  virtual int SetGroupKind(const CGuid* kind) = 0;
  virtual double GetBaseHeight() = 0;
  virtual int SetBaseHeight(double height) = 0;
  virtual int OnKeyDown(UINT key, UINT repeat, UINT flags) = 0;
  virtual int TestKeyDown(UINT key) = 0;
  virtual int SetMarkingKind(const int* kind) = 0;
  virtual int* GetMarkingKind() = 0;

protected:
  ~IPrimitive() = default;
};

struct IGroupOfPrimitive : IModelUnknown {
  virtual CString* GetName() = 0;
  virtual int SetName(const CString* name) = 0;
  virtual int* GetState() = 0;
  virtual int SetState(const int* state) = 0;
  virtual IGroupOfPrimitive* GetNext() = 0;
  virtual int SetNext(IGroupOfPrimitive* next) = 0;
  virtual IGroupOfPrimitive* GetPrev() = 0;
  virtual int SetPrev(IGroupOfPrimitive* prev) = 0;
  virtual int ClearSelection() = 0;
  virtual int SetNumber(const int* membership) = 0;
  virtual int* GetNumber() = 0;
  virtual int GetKind(CGuid* out) = 0;
  virtual int SetKind(const CGuid* kind) = 0;

protected:
  ~IGroupOfPrimitive() = default;
};

struct ICustomizeRoad : IModelUnknown {
  virtual IPrimitive* CreatePrimitive(int shape, int membership, BOOL numbered) = 0;
  virtual IPrimitive* CreateVertexPrimitive(int membership) = 0;
  virtual IPrimitive* CreateVertexPrimitive2(int membership) = 0;
  virtual IGroupOfPrimitive* CreatePrimitiveGroup(int membership) = 0;
  virtual IGroupOfPrimitive* CreatePrimitiveGroup2(int membership) = 0;
  virtual IGroupOfPrimitive* CreatePrimitiveGroup3(int membership) = 0;
  virtual int* GetRoadState() = 0;
  virtual int* GetSidewalkState() = 0;
  virtual int SetRoadState(const int* state) = 0;
  virtual int SetSidewalkState(const int* state) = 0;
  virtual IPrimitive* GetSelectedPrimitive() = 0;
  virtual int SetSidewalkWidth(const double* width) = 0;
  virtual double* GetSidewalkWidth() = 0;
  virtual int SetSidewalkGap(const double* gap) = 0;
  virtual double* GetSidewalkGap() = 0;
  virtual int SetBranchCount(const int* count) = 0;
  virtual int* GetBranchCount() = 0;
  virtual int SetBranchWidth1(const double* width) = 0;
  virtual double* GetBranchWidth1() = 0;
  virtual int SetBranchWidth2(const double* width) = 0;
  virtual double* GetBranchWidth2() = 0;
  virtual int SetBranchWidth3(const double* width) = 0;
  virtual double* GetBranchWidth3() = 0;
  virtual int SetBranchWidth4(const double* width) = 0;
  virtual double* GetBranchWidth4() = 0;
  virtual int SetBranchWidth5(const double* width) = 0;
  virtual double* GetBranchWidth5() = 0;
  virtual int SetFormAngle1(const double* degrees) = 0;
  virtual double* GetFormAngle1() = 0;
  virtual int SetFormAngle2(const double* degrees) = 0;
  virtual double* GetFormAngle2() = 0;
  virtual int SetTurnRadius(const double* radius) = 0;
  virtual double* GetTurnRadius() = 0;
  virtual int SetJunctionAngle1(const double* degrees) = 0;
  virtual double* GetJunctionAngle1() = 0;
  virtual int SetJunctionAngle2(const double* degrees) = 0;
  virtual double* GetJunctionAngle2() = 0;
  virtual int SetJunctionAngle3(const double* degrees) = 0;
  virtual double* GetJunctionAngle3() = 0;
  virtual int SetJunctionAngle4(const double* degrees) = 0;
  virtual double* GetJunctionAngle4() = 0;
  virtual int SetJunctionAngle5(const double* degrees) = 0;
  virtual double* GetJunctionAngle5() = 0;
  virtual int BuildTypicalForm() = 0;
  virtual double GetMinTurnRadius(BOOL* clamp) = 0;
  virtual int SetWideningType(const int* type) = 0;
  virtual int* GetWideningType() = 0;
  virtual int SetWideningLength(const double* length) = 0;
  virtual double* GetWideningLength() = 0;
  virtual int SetFormDefaults() = 0;
  virtual int IsFormChanged(UINT* count) = 0;
  virtual int SetInnerRadius(const double* radius) = 0;
  virtual double* GetInnerRadius() = 0;
  virtual int SetOuterRadius(const double* radius) = 0;
  virtual double* GetOuterRadius() = 0;
  virtual int FitAreaForWidening(double* width, double* length, BOOL enlarge) = 0;
  virtual int FitAreaForFork(double* width, double* length, BOOL enlarge) = 0;
  virtual int FitAreaForRoundabout(double* width, double* length, BOOL enlarge) = 0;
  virtual int SetTriangleFromPoints(IPrimitive* primitive, const double* a, const double* b, const double* c) = 0;
  virtual int HasActiveShadingObject() = 0;
  virtual int CountPrimitivesInGroup(CGuid* kind, int* membership) = 0;
  virtual int GetPrimitiveCount() = 0;
  virtual int RemovePrimitiveGroup(CGuid* kind, int* membership) = 0;
  virtual int RemovePrimitive(CGuid* kind, int* membership) = 0;

protected:
  ~ICustomizeRoad() = default;
};
