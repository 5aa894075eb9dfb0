// One group of identical luminaires on poles: the luminaire record all its poles carry, the pole list, how the
// poles stand along a straight road or on an open territory, how they are mounted, and, for the contour and
// point placements, the contour points and the sub-groups made from them.
#pragma once

#include "model/class_obj_model.h"
#include "model/doc_interface.h"
#include "model/igroups.h"
#include "model/light_device.h"

namespace ObjectModel {

class CGroupOfDev : public CClassObjModel, public IGroupOfDev {
public:
  // number 0 is taken as 1; luminaireCode 0 leaves the luminaire record empty, otherwise the database's default
  // luminaire is loaded.
  CGroupOfDev(CClassObjModel* parent, IQorRoadDoc* document, int number, int luminaireCode);

  HRESULT QueryInterface(const IID* iid, void** out) override;
  LONG AddRef() override { return CClassObjModel::AddRef(); }
  LONG Release() override { return CClassObjModel::Release(); }
  int Serialize(CArchive* ar, DWORD fileVersion) override;
  int SetDefaults() override { return InitGroup(1); }
  int CopyTo(IClassObjModel* dst, DWORD flags) override;
  // The group's name is its object name: both interfaces answer the same field.
  CString* GetName() override { return CClassObjModel::GetName(); }
  int SetName(const CString* name) override { return CClassObjModel::SetName(name); }

  int* GetState() override { return &m_state; }
  int SetState(const int* state) override;
  int* GetRoadScheme() override { return &m_roadScheme; }
  int SetRoadScheme(const int* scheme) override;
  IGroupOfDev* GetNext() override { return m_next; }
  int SetNext(IGroupOfDev* next) override;
  IGroupOfDev* GetPrev() override { return m_prev; }
  int SetPrev(IGroupOfDev* prev) override;
  int RefreshLightDevice() override;
  CLightDevice* GetLightDevice() override;
  double* GetStep() override { return &m_step; }
  int SetStep(const double* step) override;
  double* GetOffset() override { return &m_offset; }
  int SetOffset(const double* offset) override;
  int SetMountingKind(const int* kind) override;
  int* GetMountingKind() override { return &m_mountingKind; }
  int SetPlacementScheme(const int* scheme) override;
  int* GetPlacementScheme() override { return &m_placementScheme; }
  int Reserved() override { return 0; }
  int ClearSelection() override;
  int InitGroup(int luminaireCode) override;
  int LoadLightDevice(int luminaireCode, int flag) override;
  int DragHandle(double* x, double* y, int handleCode) override;
  int GetTotalPoleCount() override;
  int GetPoleCount() override;
  int GetLuminaireCount() override;
  int SetPoleCount(const int* count) override;
  int PlacePoles(int flags) override;
  double* GetBasePoint() override { return m_basePoint; }
  int SetBasePoint(const double* xyz) override;
  int SetAngularStep(const double* step) override;
  double* GetAngularStep() override { return &m_angularStep; }
  int* GetNumber() override { return &m_number; }
  int SetNumber(const int* number) override;
  int GetContourPoints(CArray<_CSPOINT3D>** out) override;
  int UpdatePolePositions(int unused) override;
  int IsSubGroup() override;
  int ShareTreeItem() override;
  int OffsetContourVertex(const _CSPOINT3D* prev, const _CSPOINT3D* vertex, const _CSPOINT3D* next,
                          _CSPOINT3D* out) override;
  int GetSubGroupCount() override;
  int ComputeContourPositions(const double* step, const CArray<_CSPOINT3D>* points,
                              CArray<_DEVCPOSITION>* positions) override;
  int ComputePointPositions(const CArray<_CSPOINT3D>* points, CArray<_DEVCPOSITION>* positions) override;
  int SetContourMode(int side) override;
  int GetContourMode() override { return m_contourSide; }
  int SetContourOffset(const double* offset) override;
  int SetContourOutreach(const double* outreach) override;
  int SetContourStep(const double* step) override;
  int SetContourAngle(const double* angle) override;
  int SnapToPrimitiveOutline(double* point) override;
  int OnKeyDown(UINT key, UINT repeat, UINT flags) override;
  int TestKeyDown(UINT key) override;

  IPole* GetFirstPole() const { return m_firstPole; }
  IPole* GetLastPole() const;
  IGroupOfDev* GetFirstSubGroup() const { return m_firstSubGroup; }
  IQorRoadDoc* GetDocument() const { return m_document; }

protected:
  ~CGroupOfDev() override;

private:
  void AppendPole(IPole* pole);
  // Removes and releases `count` poles from the end; 0 removes all, a negative count nothing.
  void ReleasePoles(int count);
  void ReleaseSubGroups();
  void AppendSubGroup(IGroupOfDev* group);
  // Every pole takes user values: the first pole's height, outreach and tilt as the mounting kind sees them.
  void SwitchPolesToUserValues(int mountingKind);
  // How many groups stand above this one (0 for a group of a container).
  int NestingDepth();

  int m_state = 5;
  int m_roadScheme = 2;
  double m_step = 30.0;
  double m_offset = 0.0;
  int m_mountingKind = 0;
  int m_placementScheme = 0;
  double m_basePoint[3] = {};
  double m_angularStep = 30.0;
  int m_number = 1;
  DWORD m_copyFlags = 0;
  IQorRoadDoc* m_document;
  IGroupOfDev* m_prev = nullptr;
  IGroupOfDev* m_next = nullptr;
  IPole* m_firstPole = nullptr;
  CLightDevice m_lightDevice;
  // Until the record is handed out nobody can hold it, so its table may stay as the database's or the file's
  // cells: most groups are made to be loaded or replaced at once, and many loaded ones are never looked into.
  // Once handed out, its table is always built.
  bool m_lightDeviceHandedOut = false;
  CArray<_CSPOINT3D> m_contourPoints;
  IGroupOfDev* m_firstSubGroup = nullptr;
  int m_contourSide = 0;
  double m_vertexOffset = 0.0;
  double m_contourOffset = 1.0;
  double m_contourOutreach = 2.0;
  double m_contourStep = 20.0;
  double m_contourAngle = 0.0;
};

// A new group with its one reference.
IGroupOfDev* CreateGroupOfDev(CClassObjModel* parent, IQorRoadDoc* document, int number, int luminaireCode);

// What a price question that fails with an error code does: the model raises the COM error, the parameters pane
// takes it as not answered and asks the next.
enum class PriceFailure { Raises, NotAnswered };
// The luminaire's economic figures from the document's price database, each kept when its question is answered;
// money comes as whole hundredths. Nothing without a document or a price database.
void AskLuminairePrices(IQorRoadDoc* document, CLightDevice* device, PriceFailure failure);

}  // namespace ObjectModel
