// One flat shape of an open territory: a piece of carriageway, sidewalk or background, a shading prism or a
// piece of road marking. A polygon is also split into triangle pieces, primitives themselves, which are what
// picking and the engines see of it; its dashed contour is its outline moved by the contour offset.
#pragma once

#include "model/class_obj_model.h"
#include "model/doc_interface.h"
#include "model/iprimitive.h"
#include "model/primitive_services.h"

#include <memory>

namespace ObjectModel {

// Shapes and memberships.
inline constexpr int kShapeTriangle = 0;
inline constexpr int kShapeRectangle = 1;
inline constexpr int kShapeEllipse = 2;
inline constexpr int kShapeRingSector = 3;
inline constexpr int kShapePolygon = 4;
inline constexpr int kShapePolygon2 = 5;
inline constexpr int kMemberBackground = 0;
inline constexpr int kMemberCarriageway = 1;
inline constexpr int kMemberSidewalk = 2;
inline constexpr int kMemberUnnamed = 3;
inline constexpr int kMemberShading = 4;
inline constexpr int kMemberMarking = 5;

// State word bits.
inline constexpr int kStateOn = 0x1;
inline constexpr int kStateShown = 0x4;
inline constexpr int kStateKeepPieces = 0x10;

inline bool IsPolygonShape(int shape) { return shape == kShapePolygon || shape == kShapePolygon2; }

class CPrimitive : public CClassObjModel, public IPrimitive {
public:
  CPrimitive(CClassObjModel* parent, IQorRoadDoc* context, long number);

  // The model-object slots.
  HRESULT QueryInterface(const IID* iid, void** out) override;
  LONG AddRef() override { return CClassObjModel::AddRef(); }
  LONG Release() override { return CClassObjModel::Release(); }
  int Serialize(CArchive* ar, DWORD fileVersion) override;
  int SetDefaults() override;
  int CopyTo(IClassObjModel* dst, DWORD flags) override;
  // One name serves the tree and the model object.
  CString* GetName() override { return &m_name; }
  int SetName(const CString* name) override { return CClassObjModel::SetName(name); }

  // The class's own: the contour point of vertex cur between prev and next; 1 when the vertex is left out.
  virtual int OffsetContourVertex(const _CSPOINT3D& prev, const _CSPOINT3D& cur, const _CSPOINT3D& next,
                                  _CSPOINT3D* out);

  int ClearSelection() override;
  int SetShape(const int* shape) override;
  int SetMembership(const int* membership) override;
  int* GetShape() override { return &m_shape; }
  int* GetMembership() override { return &m_membership; }
  int* GetState() override { return &m_state; }
  int SetState(const int* state) override;
  int GetCentre(double out[3]) override;
  int SetCentre(const double centre[3]) override;
  int GetDragOrigin(double out[3]) override;
  int SetDragOrigin(const double origin[3]) override;
  double* GetSize1() override { return &m_size1; }
  int SetSize1(double size) override;
  double* GetSize2() override { return &m_size2; }
  int SetSize2(double size) override;
  double GetRotation() override { return IsPolygonShape(m_shape) ? 0.0 : m_rotation; }
  int SetRotation(double degrees) override;
  IPrimitive* GetNext() override { return m_next; }
  int SetNext(IPrimitive* next) override;
  IPrimitive* GetPrev() override { return m_prev; }
  int SetPrev(IPrimitive* prev) override;
  int GetInfo(_PRIMITIVE_INFO_1* out) override;
  int GetCalcInfo(_PRIMITIVE_INFO_1* out) override;
  int DragHandle(double* x, double* y, UINT handle) override;
  int SetInnerRadius(const double* radius) override;
  double* GetInnerRadius() override { return &m_innerRadius; }
  int SetSectorAngle(const double* degrees) override;
  double* GetSectorAngle() override { return &m_sectorAngle; }
  int SetVertexOffset(const double* offset) override;
  double* GetVertexOffset() override { return &m_vertexOffset; }
  int SetArcDetail(const int* detail) override;
  int* GetArcDetail() override { return &m_arcDetail; }
  int GetOutline(CArray<_CSPOINT3D>** out) override;
  IPrimitive* GetFirstChild() override { return m_firstPiece; }
  int Rebuild() override;
  int ClearMesh() override;
  int Triangulate() override;
  int SnapPoint(IPrimitive* self, const double from[3], const double to[3], double out[3], int* membership,
                int ignored) override;
  double GetHeight() override { return m_centre[2]; }
  int SetHeight(double height) override;
  int GetFillColour(_PREF_OF_COLOR* out) override;
  int GetDrawColour(_PREF_OF_COLOR* out) override;
  int SetColour(const _PREF_OF_COLOR* colour) override;
  int SetContourSide(int side) override;
  int GetContourSide() override { return m_contourSide; }
  int GetContour(CArray<_CSPOINT3D>** out) override;
  int RebuildContour() override;
  int ClearContour() override;
  int SetContourOffset(double offset) override;
  double* GetContourOffset() override { return &m_contourOffset; }
  int MoveVertices(const double delta[2]) override;
  CPrimitiveCalcSurface* GetMeshHelper() override { return m_surface.get(); }
  int MoveCurrentVertex(const double point[3], int strict) override;
  int GetGroupKind(CGuid* out) override;
  int SetGroupKind(const CGuid* kind) override;
  double GetBaseHeight() override { return m_baseHeight; }
  int SetBaseHeight(double height) override;
  int OnKeyDown(UINT key, UINT repeat, UINT flags) override;
  int TestKeyDown(UINT) override { return m_selected ? 0 : 1; }
  int SetMarkingKind(const int* kind) override;
  int* GetMarkingKind() override { return &m_markingKind; }

  // Makes this primitive the triangle through three plan points (their z is ignored).
  void SetTriangleThrough(const double a[2], const double b[2], const double c[2]);

  // The message of the last outline the triangulation refused, null when the last one passed.
  const char* OutlineFault() const { return m_outlineFault; }

  IQorRoadDoc* GetContext() const { return m_context; }

protected:
  ~CPrimitive() override;

private:
  // The local point (u, v) of the shape in area coordinates, at the centre's height.
  void LocalToArea(double u, double v, double out[3]) const;
  void AppendPiece(IPrimitive* piece);
  // The polygon with vertex index moved to x stays simple; strict also refuses collinear contacts.
  bool IsValidWithMovedVertex(INT_PTR index, const _CSPOINT3D& x, bool strict) const;

  IQorRoadDoc* m_context;
  int m_shape = kShapeRectangle;
  int m_membership = kMemberCarriageway;
  int m_state = kStateOn | kStateShown;
  double m_centre[3] = {};
  double m_dragOrigin[3] = {};
  double m_size1 = 10.0;
  double m_size2 = 10.0;
  double m_rotation = 0;
  double m_innerRadius = 2.0;
  double m_sectorAngle = 360.0;
  double m_vertexOffset = 0;
  CGuid m_groupKind;
  double m_baseHeight = 0;
  DWORD m_copyFlags = 0;
  IPrimitive* m_prev = nullptr;
  IPrimitive* m_next = nullptr;
  int m_arcDetail = 6;
  CArray<_CSPOINT3D> m_outline;
  IPrimitive* m_firstPiece = nullptr;
  _PREF_OF_COLOR m_ownColour{};
  int m_contourSide = 0;
  int m_ownColourSet = 0;
  double m_contourOffset = 0;
  CArray<_CSPOINT3D> m_contour;
  std::unique_ptr<CPrimitiveCalcSurface> m_surface;
  int m_markingKind = 0;
  const char* m_outlineFault = nullptr;
};

// A new primitive with one reference for the caller.
IPrimitive* CreatePrimitive(CClassObjModel* parent, IQorRoadDoc* context, long number);
// Every vertex of the primitive's outline at height z.
void SetOutlineHeight(IPrimitive* primitive, double z);
// Moves the primitive to another category and into the user group of groupKind (null for none), and leaves it
// with the marking-rectangle flag given. A shading object stands 1 m high, anything else lies flat on the
// ground; background and shading objects are switched on; on a multi-level interchange a shape that leaves
// shading or marking for a flat category becomes a polygon. The mesh is rebuilt.
void ChangeMembership(IPrimitive* primitive, int membership, const CGuid& groupKind, int markingRectFlag);
// The model object behind a primitive, or null.
CPrimitive* PrimitiveBehind(IPrimitive* primitive);

}  // namespace ObjectModel
