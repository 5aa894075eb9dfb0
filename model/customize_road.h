// The area kind of open territories and freely shaped roads in one level: a list of primitives, the user groups
// of primitives, five category folders for the object tree, the groups of poles, the results, and the
// parameters of a typical road form from which the primitives can be generated again.
#pragma once

#include "model/area.h"
#include "model/igroups.h"
#include "model/iprimitive.h"
#include "model/iresults.h"

namespace ObjectModel {

class CCustomizeRoad : public CArea, public ICustomizeRoad {
public:
  CCustomizeRoad(IQorRoadDoc* context, CClassObjModel* parent, int number);

  HRESULT QueryInterface(const IID* iid, void** out) override;
  LONG AddRef() override { return CClassObjModel::AddRef(); }
  LONG Release() override { return CClassObjModel::Release(); }
  int Serialize(CArchive* ar, DWORD fileVersion) override;
  int SetDefaults() override;
  int CopyTo(IClassObjModel* dst, DWORD flags) override;

  // The class's own: one default carriageway square becomes the whole primitive list.
  virtual int ResetPrimitives();

  // IArea slots of this kind.
  int ClearSelection() override;
  int HitTest(double x, double y, int flags, IClassObjModel** out) override;
  int HitTestPrimitive(double x, double y, int flags, IPrimitive* primitive) override;
  int GetCursorFor(int hitCode, IClassObjModel* object, int* cursorId) override;
  int BuildTypicalForm() override;  // also the ICustomizeRoad slot
  int OnKeyDown(UINT key, UINT repeat, UINT flags) override;
  int TestKeyDown(UINT key) override;

  IPrimitive* CreatePrimitive(int shape, int membership, BOOL numbered) override;
  IPrimitive* CreateVertexPrimitive(int membership) override;
  IPrimitive* CreateVertexPrimitive2(int membership) override { return CreateVertexPrimitive(membership); }
  IGroupOfPrimitive* CreatePrimitiveGroup(int membership) override;
  IGroupOfPrimitive* CreatePrimitiveGroup2(int membership) override { return CreatePrimitiveGroup(membership); }
  IGroupOfPrimitive* CreatePrimitiveGroup3(int membership) override { return CreatePrimitiveGroup(membership); }
  int* GetRoadState() override { return &m_roadState; }
  int* GetSidewalkState() override { return &m_sidewalkState; }
  int SetRoadState(const int* state) override { return Set(m_roadState, state); }
  int SetSidewalkState(const int* state) override { return Set(m_sidewalkState, state); }
  IPrimitive* GetSelectedPrimitive() override;
  int SetSidewalkWidth(const double* width) override { return Set(m_sidewalkWidth, width); }
  double* GetSidewalkWidth() override { return &m_sidewalkWidth; }
  int SetSidewalkGap(const double* gap) override { return Set(m_sidewalkGap, gap); }
  double* GetSidewalkGap() override { return &m_sidewalkGap; }
  int SetBranchCount(const int* count) override { return Set(m_branchCount, count); }
  int* GetBranchCount() override { return &m_branchCount; }
  int SetBranchWidth1(const double* width) override { return Set(m_widths[0], width); }
  double* GetBranchWidth1() override { return &m_widths[0]; }
  int SetBranchWidth2(const double* width) override { return Set(m_widths[1], width); }
  double* GetBranchWidth2() override { return &m_widths[1]; }
  int SetBranchWidth3(const double* width) override { return Set(m_widths[2], width); }
  double* GetBranchWidth3() override { return &m_widths[2]; }
  int SetBranchWidth4(const double* width) override { return Set(m_widths[3], width); }
  double* GetBranchWidth4() override { return &m_widths[3]; }
  int SetBranchWidth5(const double* width) override { return Set(m_widths[4], width); }
  double* GetBranchWidth5() override { return &m_widths[4]; }
  int SetFormAngle1(const double* degrees) override { return Set(m_angle1, degrees); }
  double* GetFormAngle1() override { return &m_angle1; }
  int SetFormAngle2(const double* degrees) override { return Set(m_angle2, degrees); }
  double* GetFormAngle2() override { return &m_angle2; }
  int SetTurnRadius(const double* radius) override { return Set(m_turnRadius, radius); }
  double* GetTurnRadius() override { return &m_turnRadius; }
  int SetJunctionAngle1(const double* degrees) override { return Set(m_junctionAngles[0], degrees); }
  double* GetJunctionAngle1() override { return &m_junctionAngles[0]; }
  int SetJunctionAngle2(const double* degrees) override { return Set(m_junctionAngles[1], degrees); }
  double* GetJunctionAngle2() override { return &m_junctionAngles[1]; }
  int SetJunctionAngle3(const double* degrees) override { return Set(m_junctionAngles[2], degrees); }
  double* GetJunctionAngle3() override { return &m_junctionAngles[2]; }
  int SetJunctionAngle4(const double* degrees) override { return Set(m_junctionAngles[3], degrees); }
  double* GetJunctionAngle4() override { return &m_junctionAngles[3]; }
  int SetJunctionAngle5(const double* degrees) override { return Set(m_junctionAngles[4], degrees); }
  double* GetJunctionAngle5() override { return &m_junctionAngles[4]; }
  double GetMinTurnRadius(BOOL* clamp) override;
  int SetWideningType(const int* type) override { return Set(m_wideningType, type); }
  int* GetWideningType() override { return &m_wideningType; }
  int SetWideningLength(const double* length) override { return Set(m_wideningLength, length); }
  double* GetWideningLength() override { return &m_wideningLength; }
  int SetFormDefaults() override;
  int IsFormChanged(UINT* count) override;
  int SetInnerRadius(const double* radius) override { return Set(m_innerRadius, radius); }
  double* GetInnerRadius() override { return &m_innerRadius; }
  int SetOuterRadius(const double* radius) override { return Set(m_outerRadius, radius); }
  double* GetOuterRadius() override { return &m_outerRadius; }
  int FitAreaForWidening(double* width, double* length, BOOL enlarge) override;
  int FitAreaForFork(double* width, double* length, BOOL enlarge) override;
  int FitAreaForRoundabout(double* width, double* length, BOOL enlarge) override;
  int SetTriangleFromPoints(IPrimitive* primitive, const double* a, const double* b, const double* c) override;
  int HasActiveShadingObject() override;
  int CountPrimitivesInGroup(CGuid* kind, int* membership) override;
  int GetPrimitiveCount() override;
  int RemovePrimitiveGroup(CGuid* kind, int* membership) override;
  int RemovePrimitive(CGuid* kind, int* membership) override;

  IPrimitive* GetFirstPrimitive() const { return m_firstPrimitive; }
  IGroupOfPrimitive* GetFirstPrimitiveGroup() const { return m_firstGroup; }

protected:
  ~CCustomizeRoad() override;

private:
  template <class T>
  static int Set(T& field, const T* value)
  {
    field = *value;
    return 0;
  }
  IPrimitive* LastPrimitive() const;
  IGroupOfPrimitive* LastGroup() const;
  void AppendPrimitive(IPrimitive* primitive);
  void AppendGroup(IGroupOfPrimitive* group);
  void UnlinkPrimitive(IPrimitive* primitive);
  void ReleasePrimitives();
  void ReleaseGroups();
  IClassObjModel* Child(IModelUnknown* part);

  // Typical forms.
  double SidewalkBand() const;
  void FitArea(double& width, double& length);
  struct ForkOutline;
  ForkOutline ComputeFork(double t1, double t2, double t3, double width, double length) const;
  IPrimitive* NextShape(int shape, int membership);
  void AddRectangle(int membership, double length, double width, double rotation, double cx, double cy);
  void AddTriangle(int membership, const double a[2], const double b[2], const double c[2]);
  void AddQuad(int membership, const double a[2], const double b[2], const double c[2], const double d[2]);
  void AddStripToBoundary(int membership, double w, double gamma, const double foot1[2], const double foot2[2]);
  void BuildLayer(int membership, const double widths[5], double rIn, double rOut, double offset);
  void BuildTurn(int membership, double w);
  void BuildFork(int membership, const double widths[5]);
  void BuildCrossing(int membership, const double widths[5]);
  void BuildJunction(int membership, const double widths[5]);
  void BuildWidening(int membership, const double widths[5], double offset);
  void BuildRoundabout(int membership, const double widths[5], double rIn, double rOut);
  void RenumberPrimitives();

  int m_roadState = 5;
  int m_sidewalkState = 5;
  int m_primitiveCounter = 0;
  IResultsOfCalc* m_results = nullptr;
  IPrimitive* m_firstPrimitive = nullptr;
  IClassObjModel* m_nodes[5] = {};
  IGroupsOfDev* m_groups = nullptr;
  IGroupOfPrimitive* m_firstGroup = nullptr;
  int m_roadGroupCounter = 0;
  int m_sidewalkGroupCounter = 0;
  double m_sidewalkWidth = 2.0;
  double m_sidewalkGap = 1.0;
  int m_branchCount = 5;
  double m_widths[5] = {15.0, 11.25, 11.25, 11.25, 11.25};
  double m_angle1 = 45.0;
  double m_angle2 = -45.0;
  double m_turnRadius = 0;
  int m_wideningType = 0;
  double m_wideningLength = 25.0;
  double m_junctionAngles[5] = {180.0, 108.0, 36.0, -36.0, -108.0};
  double m_innerRadius = 10.0;
  double m_outerRadius = 20.0;
  DWORD m_copyFlags = 0;
  // While a typical form is generated: the kept first primitive waits to be reused.
  IPrimitive* m_reusable = nullptr;
};

}  // namespace ObjectModel
