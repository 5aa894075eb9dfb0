// The parameters pane: a property grid showing the editable parameters of one model object at a time, rebuilt
// from the object whenever the main frame hands it one, and writing accepted edits back into the model.
#pragma once

#include "app/panes/parameters/item_ids.h"
#include "model/cguid.h"
#include "model/class_obj_model.h"
#include "model/doc_interface.h"
#include "toolkit/propertygrid/grid.h"
#include "toolkit/propertygrid/typed_items.h"

#include <initializer_list>

struct IArea;
struct ICustomizeRoad;
struct IGroupOfDev;
struct IPole;
struct IPrimitive;

namespace VisualCtrl {

// Half away from zero at n decimals; 0 gives -0.0.
double RoundTo(unsigned n, double x);

// The item makers: caption and description from the string table, the item id in the data word and the id field,
// appended as the last child of `parent`.
CTKPropertyGridItem* AddGridTextItem(UINT captionId, CTKPropertyGridItem* parent, UINT itemId, UINT descriptionId,
                                     const CString* value);
CTKPropertyGridItemNumber* AddGridNumberItem(UINT captionId, CTKPropertyGridItem* parent, UINT itemId,
                                             UINT descriptionId, const int* value);
CTKPropertyGridItemDouble* AddGridDoubleItem(UINT captionId, CTKPropertyGridItem* parent, UINT itemId,
                                             UINT descriptionId, const double* value);
CTKPropertyGridItemDouble* AddGridRoundedDoubleItem(UINT captionId, CTKPropertyGridItem* parent, UINT itemId,
                                                    UINT descriptionId, const double* value);
CTKPropertyGridItemDate* AddGridDateItem(CTKPropertyGridItem* parent, const COleDateTime* value);
// A drop-down list of string-table entries whose current entry is `index`; an index outside the list leaves the
// value empty. The list's id field stays 0.
CTKPropertyGridItem* AddGridListItem(UINT captionId, CTKPropertyGridItem* parent, UINT itemId, UINT descriptionId,
                                     std::initializer_list<UINT> entryIds, int index);
// The same with entries given as text.
CTKPropertyGridItem* AddGridListItemTexts(UINT captionId, CTKPropertyGridItem* parent, UINT itemId,
                                          UINT descriptionId, std::initializer_list<CString> entries, int index);
// A text that cannot be typed, with the "..." button.
CTKPropertyGridItem* AddGridButtonItem(UINT captionId, CTKPropertyGridItem* parent, UINT itemId,
                                       UINT descriptionId, const CString& value);

class CPropObjects : public CTKPropertyGrid {
  DECLARE_DYNAMIC(CPropObjects)
public:
  explicit CPropObjects(IQorRoadDoc* document);
  ~CPropObjects() override;

  // 0x81F4: lParam the object to show, 0 to rebuild the held one.
  afx_msg LRESULT OnShowObject(WPARAM wParam, LPARAM lParam);
  // 0x81F5.
  afx_msg LRESULT OnClearObject(WPARAM wParam, LPARAM lParam);
  // The grid's owner notification relayed by the main frame: 1 an accepted edit, 0 otherwise.
  afx_msg LRESULT OnGridNotify(WPARAM wParam, LPARAM lParam);

  // The grid's in-place button (code 5): the item's dialog; always 0, the press is never the grid's to finish.
  LRESULT OnInplaceButton(CTKPropertyGridItem* item);

  // Makes the area holding the shown object the active one; 1 when the object lies in an area.
  int ActivateShownArea();

  IClassObjModel* GetShownObject() const { return m_shownObject; }
  const CGuid& GetShownClassId() const { return m_shownClassId; }
  IQorRoadDoc* GetDocument() const { return m_document; }

protected:
  DECLARE_MESSAGE_MAP()

private:
  // The object held is counted: a delete elsewhere cannot free it while its items are shown.
  void HoldObject(IClassObjModel* object);
  bool IsShowing() const;

  void FillProject();
  void FillStraightRoad();
  void FillOpenSite();
  void FillOutputCategory(IArea* area);
  void FillRoad();
  void FillPavement();
  void FillWall();
  void FillGroupsOfDev();
  void FillGroupOfDev();
  void FillPrimitive();
  // A node with a read-only name and an on/off item that always shows on; the state id follows the name id.
  void FillFixedNode(UINT nameId, UINT captionId, UINT stateCaptionId);
  void FillPrimitiveGroup();
  void FillPavementNode();
  void FillRoadNode();

  LRESULT CommitProject(CTKPropertyGridItem* item, UINT id);
  LRESULT CommitStraightRoad(CTKPropertyGridItem* item, UINT id, CWnd* mainWnd);
  LRESULT CommitNorms(IArea* area, CTKPropertyGridItem* item);
  LRESULT CommitRoad(CTKPropertyGridItem* item, UINT id, CWnd* mainWnd);
  // The ids, width range and messages of one side of the sidewalks or the walls.
  struct SideCommit {
    UINT present, state, width, gap;
    double widthLower, widthUpper;
    UINT widthMessage, gapMessage;
  };
  template <class Element>
  LRESULT CommitSides(Element* element, CTKPropertyGridItem* item, UINT id, const IID& rightKey, const IID& leftKey,
                      const SideCommit& right, const SideCommit& left);
  LRESULT CommitPavement(CTKPropertyGridItem* item, UINT id);
  LRESULT CommitWall(CTKPropertyGridItem* item, UINT id);
  LRESULT CommitGroupsOfDev(CTKPropertyGridItem* item, UINT id);
  LRESULT CommitGroupOfDev(CTKPropertyGridItem* item, UINT id, CWnd* mainWnd);
  LRESULT CommitPrimitive(CTKPropertyGridItem* item, UINT id, CWnd* mainWnd);
  // The luminaire choice of a group of poles; false when it was cancelled.
  bool ChooseLuminaire();
  // The catalogue pole and bracket of a group's first pole, copied to every pole; false when it was cancelled.
  bool ChoosePole();
  // The pole's four prices: by the catalogue names of a typical pole, else the database's defaults. With
  // `countChoice` the choice is counted as a use of the catalogue.
  void TakePolePrices(IPole* pole, bool countChoice);
  void ChooseNormsClass(CTKPropertyGridItem* item);
  void BindUnderlay();
  LRESULT CommitOpenSite(CTKPropertyGridItem* item, UINT id, CWnd* mainWnd);
  LRESULT CommitPavementNode(CTKPropertyGridItem* item, UINT id, CWnd* mainWnd);
  LRESULT CommitRoadNode(CTKPropertyGridItem* item, UINT id, CWnd* mainWnd);
  LRESULT CommitPrimitiveGroup(CTKPropertyGridItem* item, UINT id, CWnd* mainWnd);
  bool CommitPrimitiveItem(IPrimitive* p, CTKPropertyGridItem* item, UINT id, CWnd* mainWnd);
  bool CommitPrimitiveShape(IPrimitive* p, CTKPropertyGridItem* item, CWnd* mainWnd);
  bool CommitPrimitiveMembership(IPrimitive* p, CTKPropertyGridItem* item, CWnd* mainWnd);
  // Moves the first selected vertex of the outline along one axis (0 x, 1 y); a move that would make the outline
  // invalid or put two vertices on one point is refused.
  bool CommitVertexMove(IPrimitive* p, CTKPropertyGridItem* item, int axis);

  // The accepted range of a measure; an open end refuses the bound itself.
  struct Range {
    double lower;
    double upper;
    bool lowerOpen = false;
    bool upperOpen = false;
  };
  // The measure pattern up to the store: rounds the typed value (unless told not to) and shows it, answers false
  // with the old value shown again when it is unchanged or out of range. Null range: any value.
  bool AcceptMeasure(CTKPropertyGridItem* item, double old, double* value, const Range* range, UINT messageId,
                     bool round = true);
  // The range test alone: the message and the old value shown again when v lies outside.
  bool InRange(CTKPropertyGridItem* item, double old, double v, const Range& range, UINT messageId);
  bool AcceptCount(CTKPropertyGridItem* item, int old, int* value, int lower, int upper, UINT messageId);
  // A width or junction angle of a roundabout's carriageway; put back when the ring no longer fits the area.
  LRESULT CommitRingBranch(ICustomizeRoad* s, IArea* area, int form, CTKPropertyGridItem* item,
                           double* (ICustomizeRoad::*getter)(), int (ICustomizeRoad::*setter)(const double*),
                           const Range& range, UINT message);
  // The form angles 1 and 2, whose bounds depend on the typical form.
  LRESULT CommitFormAngle(ICustomizeRoad* s, IArea* area, int form, CTKPropertyGridItem* item, int which);
  // The name pattern's tree refresh.
  void SendTreeText(CWnd* mainWnd);

  // Tells the pane to rebuild its items for the object it holds.
  void PostRebuild();
  // The range message over the pane; the focus comes back to the pane.
  void ShowRangeMessage(UINT stringId, double lower, double upper);
  void ShowRangeMessage(UINT stringId, int lower, int upper);
  void ShowPlainMessage(UINT stringId);

  IQorRoadDoc* m_document;
  CGuid m_shownClassId;
  IClassObjModel* m_shownObject = nullptr;
};

}  // namespace VisualCtrl
