// The object selector, the tool of the select command: in the plan view of an open site or interchange it
// selects luminaire groups and primitives through the model's own hit tests, shows the handle under the
// cursor with its cursor and tooltip, drags handles with one undo snapshot per drag, inserts a vertex into a
// selected polygon by double click, and opens the context menus of groups and primitives. While polygon input
// runs it hands most input to the nested polygon tool.
#pragma once

#include "graphics/core/model_ref.h"
#include "graphics/tools/tool_base.h"
#include "model/class_obj_model.h"
#include "model/ipole.h"
#include "platform/mfc-core/mfcstring.h"

#include <memory>
#include <vector>

class CCustomPolygonTool;
struct IArea;
struct IPrimitive;
struct IProject;
struct IQorRoadDoc;

// The menu a right click opens: its resource, the items shown greyed, and whether the switch item reads
// "Выключить".
struct SelectorMenuChoice {
  UINT menuId = 0;  // 0: no menu
  std::vector<UINT> greyed;
  BOOL switchedOn = FALSE;
};

class CObjectSelector : public CToolBase {
public:
  // Handle codes with a meaning of their own here.
  static constexpr int kNoHandle = -1;
  static constexpr int kVertexHandle = 10;
  static constexpr int kVertexMoveHandle = 11;
  static constexpr int kInsertionHandle = 12;

  explicit CObjectSelector(CGraphicCoreFull* core);
  ~CObjectSelector() override;

  void OnMouseMove(UINT flags, int x, int y) override;
  void OnLButtonDown(UINT flags, int x, int y) override;
  void OnLButtonUp(UINT flags, int x, int y) override;
  void OnRButtonDown(UINT flags, int x, int y) override;
  void OnRButtonUp(UINT flags, int x, int y) override;
  void OnMouseWheel(UINT flags, int delta, int x, int y) override;
  void OnKeyDown(UINT key, UINT repeat, UINT flags) override;
  void OnLButtonDblClk(UINT flags, int x, int y) override;
  void RefreshOverlay() override;

  // The left click: selects the object under the point (or the area) and finds the handle of it held there.
  void HitTest(int x, int y);
  void HoverOrDrag(UINT flags, int x, int y);
  // The menu a right click on the grabbed object opens; no menu without a hit.
  SelectorMenuChoice ChooseContextMenu() const;
  void ShowContextMenu(int x, int y);

  // Whether the point lies on an edge of a selected polygon (and not near its vertices); remembers the foot
  // point and the insertion index.
  BOOL FindInsertionEdge(const double point[2]);

  // The nested polygon tool; the selector owns it.
  void SetNestedTool(std::unique_ptr<CCustomPolygonTool> tool);
  CCustomPolygonTool* GetNestedTool() const { return m_nested.get(); }
  void ReleaseGrab();
  // The drag is over: the grab goes, and a snapshot no step used is withdrawn.
  void EndDrag();

  IClassObjModel* GetGrabbed() const { return m_grabbed.get(); }
  int GetHandle() const { return m_handle; }
  BOOL GetHitFlag() const { return m_hit; }
  BOOL GetInsertionFlag() const { return m_insertion; }
  int GetInsertionIndex() const { return m_insertionIndex; }
  const double* GetInsertionPoint() const { return m_insertionPoint; }
  // The tooltip's text as last set.
  const CString& GetTipText() const { return m_tipText; }
  // The cursor resource last chosen for the view.
  int GetCursorId() const { return m_cursorId; }

private:
  enum class AreaKind { kNone, kStraightRoad, kOpenSite };
  AreaKind ActiveAreaKind() const;
  ModelRef<IArea> ActiveArea() const;
  ModelRef<IProject> Project() const;
  BOOL PrimitivesMovable() const;
  // The area point under the window point: (x, y) of the world point in an open site, (0, 0) elsewhere.
  void CursorToArea(int x, int y, double out[2]) const;
  void DragStep(UINT flags, int x, int y, const double point[2]);
  void SnapDraggedVertex(IPrimitive* primitive, int x, int y);
  void SetTip(const CString& text);
  void SetViewCursor(int id);
  void ClearInsertion();

  IQorRoadDoc* m_document;
  HWND m_tooltip;
  ModelRef<IClassObjModel> m_grabbed;
  int m_handle = kNoHandle;
  BOOL m_hit = FALSE;
  BOOL m_insertion = FALSE;
  double m_insertionPoint[3] = {0, 0, 0};
  int m_insertionIndex = -1;
  BOOL m_dragStarted = FALSE;
  // Whether this drag's snapshot holds a change yet; a drag the model refused throughout withdraws it.
  BOOL m_snapshotPending = FALSE;
  int m_lastX = -1;
  int m_lastY = -1;
  std::unique_ptr<CCustomPolygonTool> m_nested;
  IPrimitive* m_insertionPrimitive = nullptr;
  CString m_tipText;
  int m_cursorId = 104;
  // The read-out values of the last drag step.
  double m_size1 = 0;
  double m_size2 = 0;
  double m_rotation = 0;
  double m_poleValue = 0;
};

// The tolerance test of an edge insertion point: whether p lies within t of the segment a-b (and not inside
// the t-square of either end); the foot point on the segment into foot.
BOOL PointNearSegment(double t, const double p[2], const _CSPOINT3D& a, const _CSPOINT3D& b, double foot[3]);
