// Polygon input: the outline of a polygon primitive or the contour of a luminaire group, drawn vertex by
// vertex in plan view, with snapping to the background drawing and a refusal of outlines that cross
// themselves. It lives nested in the object selector from the start of input to its end.
#pragma once

#include "graphics/core/model_ref.h"
#include "graphics/tools/tool_base.h"
#include "model/igroups.h"
#include "model/iprimitive.h"
#include "platform/mfc-core/array.h"

// Bits of a primitive's state word the input uses.
namespace PolygonState {
inline constexpr int kClosed = 0x8;
inline constexpr int kUnderInput = 0x10;
inline constexpr int kVertexEditing = 0x20;
inline constexpr int kCommitPending = 0x40;
}  // namespace PolygonState

// Vertex flags.
namespace VertexFlag {
inline constexpr int kDragged = 0x1;
inline constexpr int kSelected = 0x2;
}  // namespace VertexFlag

using VertexList = CArray<_CSPOINT3D>;

class CCustomPolygonTool : public CToolBase {
public:
  // State: 1 appends at the end, 2 inserts one vertex after the selected one.
  static constexpr int kAppend = 1;
  static constexpr int kInsert = 2;
  // Closing and duplicate tolerances in metres, per axis.
  static constexpr double kCloseTolerance = 0.1;
  static constexpr double kSamePointTolerance = 0.0001;

  CCustomPolygonTool(IClassObjModel* object, CGraphicCoreFull* core);
  // Input left unfinished is written back; the primitive leaves input.
  ~CCustomPolygonTool() override;

  void OnMouseMove(UINT flags, int x, int y) override;
  void OnLButtonDown(UINT flags, int x, int y) override;
  void OnRButtonUp(UINT flags, int x, int y) override;
  void OnMouseWheel(UINT flags, int delta, int x, int y) override;
  void OnKeyDown(UINT key, UINT repeat, UINT flags) override;
  void RefreshOverlay() override;

  // Whether the segment from the list's last vertex to q crosses an edge of the list properly (touching and
  // collinear contact allowed); always allowed below 3 vertices.
  static BOOL EdgeAllowed(const VertexList& list, const _CSPOINT3D& q);
  // Whether the outline may be closed: the edges at the dragged vertex (or the last and closing edges) cross
  // no other edge.
  static BOOL CanFinish(const VertexList& list, const _CSPOINT3D& q);
  // 1 when the outline runs clockwise (negative signed area).
  static int IsClockwise(const VertexList& list);

  // Ends input when the outline may be closed: commits and tells the main window (0x820C).
  void Finish(int close);
  void Commit(int close);

  IPrimitive* GetPrimitive() const { return m_primitive.get(); }
  IGroupOfDev* GetGroup() const { return m_group.get(); }
  VertexList* GetVertices() const { return m_vertices; }
  int GetState() const { return m_state; }
  int GetSelectedIndex() const { return m_selected; }
  BOOL CrossingTest() const { return m_crossingTest; }
  int StateWord() const { return m_stateWord; }

private:
  void DrawOverlay(int x, int y);
  void WriteStateWord();

  ModelRef<IPrimitive> m_primitive;
  ModelRef<IGroupOfDev> m_group;
  VertexList* m_vertices = nullptr;
  int m_state = kAppend;
  int m_selected = -1;
  int m_snapped = 0;
  BOOL m_crossingTest = TRUE;
  int m_stateWord = 0;
  int m_lastX = 0;
  int m_lastY = 0;
};
