// The object tree: the project of the document as a tree of its areas, their parts and groups of poles. Picking
// an item shows its object in the main frame; the context menus carry the object commands.
#pragma once

#include "model/cguid.h"
#include "model/doc_interface.h"
#include "platform/mfc/afxcmn.h"
#include "platform/mfc/imagelist.h"
#include "toolkit/controls/tree_ctrl.h"

#include <array>

struct IClassObjModel;
struct IProject;
struct IPrimitive;
struct ICustomizeRoad;

namespace VisualCtrl {

class CTreeObjects : public CTKTreeCtrl {
  DECLARE_DYNAMIC(CTreeObjects)
public:
  // The window's control id and style as the main frame creates it.
  static constexpr UINT kControlId = 32771;
  static constexpr DWORD kStyle = 0x4401002F;
  static constexpr int kMenuBitmapCount = 15;

  explicit CTreeObjects(IQorRoadDoc* document);
  ~CTreeObjects() override;

  // The object of an item; null for none.
  IClassObjModel* GetItemObject(HTREEITEM hItem) const;
  const CGuid& GetRememberedId() const { return m_rememberedId; }
  // Makes the area that holds the object the active one; 1 when that changed the active area.
  int ActivateAreaOf(IClassObjModel* object);

  BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;

protected:
  // Shows the context menu at a screen point, owned by the tree; the chosen command comes back as WM_COMMAND.
  virtual BOOL TrackContextMenu(CMenu* pPopup, UINT nFlags, CPoint screenPoint);

  BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;

  int OnCreate(LPCREATESTRUCT lpCreateStruct);
  void OnDestroy();
  LRESULT OnRebuild(WPARAM wParam, LPARAM lParam);
  LRESULT OnClear(WPARAM wParam, LPARAM lParam);
  void OnSelChangedNotify(NMHDR* pNMHDR, LRESULT* pResult);
  void OnSelChanged(HTREEITEM hItem);
  void OnLButtonDown(UINT nFlags, CPoint point);
  void OnRButtonDown(UINT nFlags, CPoint point);
  void OnRButtonUp(UINT nFlags, CPoint point);
  BOOL OnBeginLabelEdit(NMHDR* pNMHDR, LRESULT* pResult);
  BOOL OnEndLabelEdit(NMHDR* pNMHDR, LRESULT* pResult);
  void OnItemExpanded(NMHDR* pNMHDR, LRESULT* pResult);
  void OnBeginDrag(NMHDR* pNMHDR, LRESULT* pResult);
  void OnMouseMove(UINT nFlags, CPoint point);
  void OnLButtonUp(UINT nFlags, CPoint point);
  LRESULT OnMouseLeave(WPARAM wParam, LPARAM lParam);
  void OnCaptureChanged(CWnd* pWnd);

  DECLARE_MESSAGE_MAP()

private:
  // What the common refresh after a command does besides the rebuild.
  struct Refresh {
    bool activation = false;
    bool invalidates = false;
    bool cameras = false;
    bool drawingOff = false;
    BOOL recalc = TRUE;
    IClassObjModel* changed = nullptr;  // whose area loses its results
  };

  HTREEITEM InsertObject(IClassObjModel* object, const CString& text, int image, int selectedImage,
                         HTREEITEM parent, HTREEITEM* found);
  void InsertArea(IArea* area, HTREEITEM projectItem, HTREEITEM* found);
  void InsertStraightRoadParts(IArea* area, HTREEITEM areaItem, bool active, HTREEITEM* found);
  void InsertOpenSiteParts(IArea* area, HTREEITEM areaItem, bool active, HTREEITEM* found);
  void InsertGroupsOfPoles(IArea* area, HTREEITEM areaItem, bool active, HTREEITEM* found);
  // Deletes every item, dropping the references the items hold.
  void DeleteObjectItems();
  // The calculation state the main window reports; 0 without a main window.
  int CalculationState(bool* hasMainWindow) const;

  UINT ContextMenuFor(IClassObjModel* object, CMenu& menu);
  void SetMenuBitmaps(CMenu* pPopup);

  // The command handlers; each answers whether the common refresh follows.
  bool DoParameters(IClassObjModel* object, Refresh& refresh);
  bool DoAddGroup(IClassObjModel* object, bool afterSelected, Refresh& refresh);
  bool DoCopyGroup(IClassObjModel* object, Refresh& refresh);
  bool DoDeleteGroup(IClassObjModel* object, Refresh& refresh);
  bool DoSwitchGroup(IClassObjModel* object, Refresh& refresh);
  bool DoDeleteSubGroup(IClassObjModel* object, Refresh& refresh);
  bool DoAddArea(UINT nID, IClassObjModel* object, Refresh& refresh);
  bool DoDeleteArea(IClassObjModel* object, Refresh& refresh);
  bool DoCopyArea(IClassObjModel* object, Refresh& refresh);
  bool DoActivateArea(IClassObjModel* object, Refresh& refresh);
  // Adding a primitive after a primitive or to a category node or primitive group, and copying a primitive.
  bool DoAddPrimitive(IClassObjModel* object, Refresh& refresh);
  bool DoCopyPrimitive(IClassObjModel* object, Refresh& refresh);
  // A numbered primitive of the selected one's shape and membership at the view centre, linked after it.
  IPrimitive* NewPrimitiveAfter(ICustomizeRoad* site, IPrimitive* selected);
  static constexpr UINT kPrimitiveAdd = 32873;
  static constexpr UINT kPrimitiveCopy = 32877;
  // Delete, bring to front and send to back on a primitive.
  bool DoPrimitiveOrder(UINT nID, IClassObjModel* object, Refresh& refresh);
  static constexpr UINT kPrimitiveDelete = 32875;
  static constexpr UINT kPrimitiveToFront = 32882;
  static constexpr UINT kPrimitiveToBack = 32884;
  // Editing the outline, drawing it anew and deleting its selected vertex.
  bool DoPrimitiveOutline(UINT nID, IClassObjModel* object, Refresh& refresh);
  static constexpr UINT kOutlineEdit = 33031;
  static constexpr UINT kOutlineRedraw = 33059;
  static constexpr UINT kVertexDelete = 33034;
  // Adding a primitive group on the carriageway or sidewalk node, and deleting a group with its primitives.
  bool DoPrimitiveGroup(UINT nID, IClassObjModel* object, Refresh& refresh);
  static constexpr UINT kGroupAdd = 33066;
  static constexpr UINT kGroupDelete = 33069;
  void CommonRefresh(IClassObjModel* object, const Refresh& refresh);

  // The primitive being dragged; null when no drag is under way.
  IClassObjModel* DraggedPrimitive() const;
  // The object under the point that takes the dragged primitive: a category node or a primitive group of its area.
  IClassObjModel* DropTargetAt(CPoint point, HTREEITEM* item) const;
  void DropPrimitive(IClassObjModel* dragged, IClassObjModel* target);
  void SetDragCursor(bool drag);
  // Ends a drag: the flag, the held primitive, the cursor and the mouse capture.
  void EndDrag();
  void Remember(IClassObjModel* object);

  // The menu-item bitmaps, loaded in this order.
  static const UINT kMenuBitmapIds[kMenuBitmapCount];

  IQorRoadDoc* m_pDocument;
  CImageList m_images;
  BOOL m_bDragging = FALSE;
  CGuid m_rememberedId;
  std::array<CBitmap, kMenuBitmapCount> m_menuBitmaps;
  HCURSOR m_hArrowCursor = nullptr;
  HCURSOR m_hDragCursor = nullptr;
};

}  // namespace VisualCtrl
