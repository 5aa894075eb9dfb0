// The items of a primitive of an open site or an interchange.
#include "app/panes/parameters/model_ref.h"
#include "app/panes/parameters/pane_helpers.h"
#include "app/panes/parameters/prop_objects.h"
#include "model/identifiers.h"
#include "model/iprimitive.h"
#include "model/primitive.h"

namespace VisualCtrl {

using namespace ObjectModel;

namespace {

constexpr std::initializer_list<UINT> kPrimitiveStates = {805, 778, 806};
constexpr std::initializer_list<UINT> kFlatShapes = {305, 306, 307, 476, 736};
constexpr std::initializer_list<UINT> kSolidShapes = {800, 801, 802, 803, 804};

int StateIndex(int state)
{
  if (!(state & kStateOn))
    return 2;
  return (state & kStateShown) ? 0 : 1;
}

CTKPropertyGridItem* AddMembershipItem(CTKPropertyGridItem* parent, int index, bool interchange)
{
  if (interchange)
    return AddGridListItem(310, parent, kItemPrimitiveMembership, 311, {313, 314, 749}, index);
  return AddGridListItem(310, parent, kItemPrimitiveMembership, 311, {312, 313, 314, 749}, index);
}

COLORREF ColourOf(const _PREF_OF_COLOR& c)
{
  auto byte = [](float v) { return static_cast<BYTE>(static_cast<int>(v * 255.0f)); };
  return RGB(byte(c.r), byte(c.g), byte(c.b));
}

}  // namespace

bool IsInterchange(IModelUnknown* area)
{
  ModelRef<IClassObjModel> object = Query<IClassObjModel>(area, IID_IClassObjModel);
  if (!object)
    return false;
  CGuid cls;
  object->GetClassId(&cls);
  return cls.IsEqual(&CLSID_CCustomizeRoad3D) != 0;
}

void CPropObjects::FillPrimitive()
{
  ModelRef<IPrimitive> primitive = Query<IPrimitive>(m_shownObject, IID_IPrimitive);
  if (!primitive)
    return;
  IClassObjModel* parent = m_shownObject->GetParent();
  ModelRef<ICustomizeRoad> site = Query<ICustomizeRoad>(parent, IID_ICustomizeRoad);
  const bool interchange = IsInterchange(parent);
  const int shape = *primitive->GetShape();
  const int membership = *primitive->GetMembership();
  const bool shading = membership == kMemberShading;

  CTKPropertyGridItem* general = GetGridView().AddCategory("Общие");
  AddGridTextItem(301, general, kItemPrimitiveName, 302, primitive->GetName());
  CTKPropertyGridItem* state =
      AddGridListItem(303, general, kItemPrimitiveState, 304, kPrimitiveStates, StateIndex(*primitive->GetState()));
  // A primitive of a switched-off category cannot be switched on alone.
  bool stateFixed = membership == kMemberBackground;
  if (membership == kMemberCarriageway)
    stateFixed = !site || !(*site->GetRoadState() & 1);
  else if (membership == kMemberSidewalk)
    stateFixed = !site || !(*site->GetSidewalkState() & 1);
  if (stateFixed)
    state->SetReadOnly(TRUE);
  general->Expand();

  CTKPropertyGridItem* kind = GetGridView().AddCategory("Примитив");
  if (interchange && IsPolygonShape(shape) && !shading) {
    const CString polygon = LoadItemText(736);
    CTKPropertyGridItem* text = AddGridTextItem(308, kind, kItemPrimitiveShapeText, 309, &polygon);
    text->SetFlags(tkpgItemHasEdit);
    text->SetConstraintEdit(TRUE);
    text->SetReadOnly(TRUE);
  } else {
    AddGridListItem(308, kind, kItemPrimitiveShape, 309, shading ? kSolidShapes : kFlatShapes, shape);
  }
  int membershipIndex = membership >= kMemberShading ? membership - 1 : membership;
  if (interchange)
    membershipIndex -= 1;
  AddMembershipItem(kind, membershipIndex, interchange);
  if (shading) {
    _PREF_OF_COLOR colour{};
    primitive->GetFillColour(&colour);
    auto* item = new CTKPropertyGridItemColor(LoadItemText(759), ColourOf(colour));
    item->SetDescription(LoadItemText(758));
    item->SetItemData(kItemPrimitiveColour);
    item->SetID(kItemPrimitiveColour);
    kind->AddChildItem(item);
  }
  kind->Expand();

  const bool solidBase = shading && interchange;
  if (shape >= kShapeTriangle && shape <= kShapeRingSector) {
    CTKPropertyGridItem* position = GetGridView().AddCategory("Положение примитива");
    double centre[3] = {};
    primitive->GetCentre(centre);
    AddGridRoundedDoubleItem(316, position, kItemPrimitiveCentreX, 317, &centre[0]);
    AddGridRoundedDoubleItem(318, position, kItemPrimitiveCentreY, 319, &centre[1]);
    const double rotation = primitive->GetRotation();
    AddGridRoundedDoubleItem(320, position, kItemPrimitiveRotation, 321, &rotation);
    if (solidBase) {
      const double base = primitive->GetBaseHeight();
      AddGridRoundedDoubleItem(797, position, kItemPrimitiveBaseHeight, 798, &base);
    }
    position->Expand();

    CTKPropertyGridItem* sizes = GetGridView().AddCategory("Размеры");
    switch (shape) {
    case kShapeTriangle:
      AddGridRoundedDoubleItem(514, sizes, kItemPrimitiveSize2, 516, primitive->GetSize2());
      AddGridRoundedDoubleItem(515, sizes, kItemPrimitiveSize1, 517, primitive->GetSize1());
      AddGridRoundedDoubleItem(512, sizes, kItemPrimitiveVertexOffset, 513, primitive->GetVertexOffset());
      break;
    case kShapeRectangle:
      AddGridRoundedDoubleItem(322, sizes, kItemPrimitiveSize2, 323, primitive->GetSize2());
      AddGridRoundedDoubleItem(324, sizes, kItemPrimitiveSize1, 325, primitive->GetSize1());
      break;
    case kShapeEllipse:
      AddGridRoundedDoubleItem(518, sizes, kItemPrimitiveSize2, 520, primitive->GetSize2());
      AddGridRoundedDoubleItem(519, sizes, kItemPrimitiveSize1, 521, primitive->GetSize1());
      break;
    default: {
      const double outer = *primitive->GetSize2() / 2;
      AddGridRoundedDoubleItem(485, sizes, kItemPrimitiveOuterRadius, 486, &outer);
      AddGridRoundedDoubleItem(477, sizes, kItemPrimitiveInnerRadius, 478, primitive->GetInnerRadius());
      AddGridRoundedDoubleItem(481, sizes, kItemPrimitiveSectorAngle, 482, primitive->GetSectorAngle());
      break;
    }
    }
    if (shading) {
      const double height = primitive->GetHeight();
      AddGridRoundedDoubleItem(755, sizes, kItemPrimitiveHeight, 756, &height);
    }
    sizes->Expand();
    return;
  }
  if (!IsPolygonShape(shape))
    return;

  if (solidBase) {
    CTKPropertyGridItem* position = GetGridView().AddCategory("Положение примитива");
    const double base = primitive->GetBaseHeight();
    AddGridRoundedDoubleItem(797, position, kItemPrimitiveBaseHeight, 798, &base);
    position->Expand();
  }
  CTKPropertyGridItem* sizes = GetGridView().AddCategory("Размеры");
  AddGridRoundedDoubleItem(760, sizes, kItemPrimitiveContourOffset, 761, primitive->GetContourOffset());
  if (shading) {
    const double height = primitive->GetHeight();
    AddGridRoundedDoubleItem(755, sizes, kItemPrimitiveHeight, 756, &height);
  }
  sizes->Expand();

  CArray<_CSPOINT3D>* outline = nullptr;
  primitive->GetOutline(&outline);
  if (!outline)
    return;
  for (INT_PTR i = 0; i < outline->GetSize(); ++i) {
    const _CSPOINT3D& p = outline->GetAt(i);
    if (!(p.flags & 0x2))
      continue;
    CString caption;
    caption.Format("Положение вершины - %ld", static_cast<long>(i + 1));
    CTKPropertyGridItem* vertex = GetGridView().AddCategory(caption);
    AddGridRoundedDoubleItem(737, vertex, kItemVertexX, 738, &p.x);
    AddGridRoundedDoubleItem(739, vertex, kItemVertexY, 740, &p.y);
    if (interchange && !shading)
      AddGridRoundedDoubleItem(741, vertex, kItemVertexZ, 742, &p.z);
    vertex->Expand();
    break;
  }
}

}  // namespace VisualCtrl
