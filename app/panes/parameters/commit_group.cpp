// Edits of a group of poles and its poles. A pole item is written into the group's first pole; the follow-up then
// copies the first pole's parameters to every other pole, and in the contour and point placements on to the
// sub-groups.
#include "app/panes/parameters/model_ref.h"
#include "app/panes/parameters/pane_helpers.h"
#include "app/panes/parameters/prop_objects.h"
#include "model/identifiers.h"
#include "model/igroups.h"
#include "model/light_device.h"
#include "model/shell/window_messages.h"
#include "platform/mfc/msgbox.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace VisualCtrl {

namespace {

constexpr int kOnMast = 1;
constexpr int kCircleScheme = 2;
constexpr double kSteepestAimTilt = 89.9999;  // a tilt of exactly 90 has no turn

bool HasSubGroups(int scheme) { return scheme == 3 || scheme == 4; }

// The remainder of an offset after whole steps, the quotient truncated toward zero.
double ReduceToStep(double offset, double step)
{
  if (step == 0)
    return offset;
  return offset - std::trunc(offset / step) * step;
}

// A mode list's choice: the chosen index flips Cartesian and polar when it differs from the current position.
int FlipMode(int flags, int chosenIndex)
{
  if (chosenIndex != ChosenModeIndex(flags)) {
    if (flags & kCartesianChosen)
      flags = (flags & ~kCartesianChosen) | kPolarChosen;
    else if (flags & kPolarChosen)
      flags = (flags & ~kPolarChosen) | kCartesianChosen;
  }
  return flags;
}

}  // namespace

LRESULT CPropObjects::CommitGroupOfDev(CTKPropertyGridItem* item, UINT id, CWnd* mainWnd)
{
  ModelRef<IGroupOfDev> group = Query<IGroupOfDev>(m_shownObject, IID_IGroupOfDev);
  if (!group)
    return 0;
  int mounting = *group->GetMountingKind();
  int scheme = *group->GetPlacementScheme();
  ModelRef<IPole> firstPole = Query<IPole>(group.Get(), IID_IPole);
  if (!firstPole)
    return 0;
  IPole* p = firstPole.Get();

  // A mast aimed by angles keeps its aiming when its geometry changes.
  bool snapshot = false;
  double turn0 = 0;
  double tilt0 = 0;
  if (mounting == kOnMast && (*p->GetAimFlags() & kPolarChosen)) {
    turn0 = p->ComputeAimTurn(&scheme);
    tilt0 = p->ComputeAimTilt(&scheme);
    snapshot = true;
  }

  // The position items of a contour or point placement address the selected sub-group's first pole.
  ModelRef<IGroupOfDev> selected;
  ModelRef<IPole> selectedPole;
  if (HasSubGroups(scheme)) {
    selected = Query<IGroupOfDev>(group.Get(), IID_SelectedSubGroup);
    if (selected)
      selectedPole = Query<IPole>(selected.Get(), IID_IPole);
  }
  IPole* target = (id == kItemPoleX || id == kItemPoleY || id == kItemPoleZ) && selectedPole ? selectedPole.Get() : p;

  const auto layOutAfterPosition = [&] { group->PlacePoles(scheme == kCircleScheme ? 2 + 4 : 4); };
  double v = 0;
  switch (id) {
  case kItemGroupName: {
    const CString text = item->GetValue();
    if (text.IsEmpty()) {
      item->SetValue(*group->GetName());
      return 0;
    }
    group->SetName(&text);
    SendTreeText(mainWnd);
    break;
  }
  case kItemGroupNumber: {
    auto* number = DYNAMIC_DOWNCAST(CTKPropertyGridItemNumber, item);
    if (!number)
      return 0;
    const int old = *group->GetNumber();
    const int n = number->GetNumber();
    if (n == old || n < 1) {
      number->SetNumber(old);
      return 0;
    }
    if (IClassObjModel* parent = m_shownObject->GetParent()) {
      if (ModelRef<IGroupsOfDev> groups = Query<IGroupsOfDev>(parent, IID_IGroupsOfDev)) {
        IClassObjModel* found = nullptr;
        groups->FindGroupByNumber(n, &found);
        if (ModelRef<IClassObjModel> existing(found); existing) {
          CString text;
          text.Format(745U, static_cast<long>(n));
          AfxMessageBox(text, MB_ICONEXCLAMATION);
          SetFocus();
          number->SetNumber(old);
          return 0;
        }
      }
    }
    group->SetNumber(&n);
    SendTreeText(mainWnd);
    break;
  }
  case kItemGroupState: {
    const int state = ChosenIndex(item) == 0 ? (*group->GetState() | 1) : (*group->GetState() & ~1);
    group->SetState(&state);
    if (mainWnd)
      mainWnd->PostMessage(UM_SHOWOBJECT, 0, 0);
    break;
  }
  case kItemGroupLampFlux: {
    const Range range{0, 100000};
    CLightDevice* luminaire = group->GetLightDevice();
    if (!AcceptMeasure(item, luminaire->lampFlux, &v, &range, 351))
      return 0;
    luminaire->lampFlux = v;
    break;
  }
  case kItemGroupMounting: {
    const int old = mounting;
    const int chosen = ChosenIndex(item);
    group->SetMountingKind(&chosen);
    mounting = *group->GetMountingKind();
    if (mounting == kOnMast) {
      double aim[3] = {};
      p->GetAimPoint(aim);
      const double h = p->GetHeight(kOnMast);
      if (!(h > aim[2])) {
        CString question;
        question.Format(462U, aim[2], h);
        if (AfxMessageBox(question, MB_YESNO | MB_ICONQUESTION) != IDYES) {
          group->SetMountingKind(&old);
          ShowIndex(item, *group->GetMountingKind());
          return 0;
        }
        aim[2] = 0;
        p->SetAimPoint(aim);
      }
      const double straight = 0;
      const double aimTilt = 45;
      p->ApplyAimTurn(&straight, &scheme);
      p->ApplyAimTilt(&aimTilt, &scheme);
    }
    SendTreeText(mainWnd);
    PostRebuild();
    break;
  }
  case kItemGroupPlacement: {
    const int old = scheme;
    const int chosen = ChosenIndex(item);
    group->SetPlacementScheme(&chosen);
    scheme = *group->GetPlacementScheme();
    if (mounting == kOnMast) {
      const double straight = 0;
      const double aimTilt = 45;
      p->ApplyAimTurn(&straight, &scheme);
      p->ApplyAimTilt(&aimTilt, &scheme);
    }
    CArray<_CSPOINT3D>* contour = nullptr;
    group->GetContourPoints(&contour);
    if (!HasSubGroups(scheme) || scheme != old) {
      if (contour)
        contour->RemoveAll();
      group->UpdatePolePositions(0);
    }
    // A contour or point placement without its points: the view starts drawing them.
    if (HasSubGroups(scheme) && (!contour || contour->GetSize() < 3) && mainWnd)
      mainWnd->SendMessage(UM_BEGINCONTOUR, 0, reinterpret_cast<LPARAM>(m_shownObject));
    PostRebuild();
    break;
  }
  case kItemGroupRoadScheme: {
    const int chosen = ChosenIndex(item);
    group->SetRoadScheme(&chosen);
    PostRebuild();
    break;
  }
  case kItemGroupStep: {
    const Range range{1, 250, true};
    if (!AcceptMeasure(item, *group->GetStep(), &v, &range, 271))
      return 0;
    const double offset = *group->GetOffset();
    const double reduced = ReduceToStep(offset, v);
    group->SetOffset(&reduced);
    group->SetStep(&v);
    if (reduced != offset) {
      PostRebuild();
      AfxMessageBox(729U, MB_ICONEXCLAMATION);
    }
    break;
  }
  case kItemGroupOffset: {
    if (!AcceptMeasure(item, *group->GetOffset(), &v, nullptr, 0))
      return 0;
    const double reduced = ReduceToStep(v, *group->GetStep());
    group->SetOffset(&reduced);
    if (reduced != v)
      PostRebuild();
    break;
  }
  case kItemGroupPoleCount: {
    auto* number = DYNAMIC_DOWNCAST(CTKPropertyGridItemNumber, item);
    if (!number)
      return 0;
    const int old = group->GetTotalPoleCount();
    const int n = number->GetNumber();
    if (n == old) {
      number->SetNumber(old);
      return 0;
    }
    if (n < 2) {
      ShowRangeMessage(363, 2, 0);
      number->SetNumber(old);
      return 0;
    }
    group->SetPoleCount(&n);
    int flags = 0;
    if (scheme == 1 || scheme == kCircleScheme)
      flags = old == 0 ? 1 + 2 + 4 : old == 1 ? 2 + 4 : 4;
    group->PlacePoles(flags);
    break;
  }
  case kItemGroupAngularStep: {
    const Range range{0, 360, true, true};
    if (!AcceptMeasure(item, *group->GetAngularStep(), &v, &range, 390))
      return 0;
    group->SetAngularStep(&v);
    group->PlacePoles(2 + 4);
    break;
  }
  case kItemGroupCentreX:
  case kItemGroupCentreY: {
    double centre[3] = {group->GetBasePoint()[0], group->GetBasePoint()[1], group->GetBasePoint()[2]};
    const int axis = id == kItemGroupCentreX ? 0 : 1;
    if (!AcceptMeasure(item, centre[axis], &v, nullptr, 0))
      return 0;
    centre[axis] = v;
    group->SetBasePoint(centre);
    group->PlacePoles(1 + 2 + 4);
    PostRebuild();
    break;
  }
  case kItemGroupCentreZ: {
    double centre[3] = {group->GetBasePoint()[0], group->GetBasePoint()[1], group->GetBasePoint()[2]};
    const Range range{0, 300};
    if (!AcceptMeasure(item, centre[2], &v, &range, 777))
      return 0;
    centre[2] = v;
    group->SetBasePoint(centre);
    double position[3] = {p->GetPosition()[0], p->GetPosition()[1], v};
    p->SetPosition(position);
    group->PlacePoles(1 + 2 + 4);
    PostRebuild();
    break;
  }
  case kItemPoleHeight: {
    const double old = p->GetHeight(mounting);
    if (!AcceptMeasure(item, old, &v, nullptr, 0))
      return 0;
    if (mounting == kOnMast) {
      // The light centre must stay above the plane the mast's luminaires aim at.
      double aim[3] = {};
      p->GetAimPoint(aim);
      if (!(v > aim[2])) {
        ShowPlainMessage(461);
        DYNAMIC_DOWNCAST(CTKPropertyGridItemDouble, item)->SetDouble(old);
        return 0;
      }
    }
    if (!InRange(item, old, v, Range{0, 100, true}, 248))
      return 0;
    p->SetHeight(&v);
    break;
  }
  case kItemPoleOutreach: {
    const double tilt = p->GetTilt(mounting);
    if (tilt == 90) {
      ShowRangeMessage(360, 0.0, 80.0);
      if (auto* number = DYNAMIC_DOWNCAST(CTKPropertyGridItemDouble, item))
        number->SetDouble(p->GetOutreach(mounting));
      return 0;
    }
    const double upper = tilt == 0 ? 10 : p->GetHeight(mounting) / std::tan(tilt * std::numbers::pi / 180);
    const Range range{0, upper};
    if (!AcceptMeasure(item, p->GetOutreach(mounting), &v, &range, 251))
      return 0;
    p->SetOutreach(&v);
    break;
  }
  case kItemPoleSetback: {
    const Range range{0, 50};
    if (!AcceptMeasure(item, *p->GetSetback(), &v, &range, 254))
      return 0;
    p->SetSetback(&v);
    break;
  }
  case kItemPoleTilt: {
    const Range range{0, p->GetOutreach(mounting) == 0 ? 90.0 : 80.0};
    if (!AcceptMeasure(item, p->GetTilt(mounting), &v, &range, 257))
      return 0;
    p->SetTilt(&v);
    break;
  }
  case kItemPoleRotation: {
    const Range range{-180, 180};
    if (!AcceptMeasure(item, *p->GetRotation(), &v, &range, 260))
      return 0;
    p->SetRotation(&v);
    if (mounting == kOnMast)
      PostRebuild();
    break;
  }
  case kItemPoleCatalogue: {
    if (ChosenIndex(item) == 0) {
      if (*p->GetTypical()) {
        const double h = p->GetHeight(mounting);
        const double a = p->GetOutreach(mounting);
        const double d = p->GetTilt(mounting);
        const int user = 0;
        p->SetTypical(&user);
        p->SetHeight(&h);
        p->SetOutreach(&a);
        p->SetTilt(&d);
        if (HasSubGroups(scheme)) {
          for (ModelRef<IGroupOfDev> q = Query<IGroupOfDev>(group.Get(), IID_FirstSubGroup); q;) {
            if (ModelRef<IPole> pq = Query<IPole>(q.Get(), IID_IPole)) {
              pq->SetTypical(&user);
              pq->SetHeight(&h);
              pq->SetOutreach(&a);
              pq->SetTilt(&d);
            }
            IGroupOfDev* next = q->GetNext();
            q = Query<IGroupOfDev>(next, IID_IGroupOfDev);
          }
        }
      }
    } else {
      const int typical = p->UpdateFromCatalogue() == 0 ? 1 : 0;
      p->SetTypical(&typical);
    }
    TakePolePrices(p, *p->GetTypical() != 0);
    PostRebuild();
    break;
  }
  case kItemPoleX:
  case kItemPoleY:
  case kItemFirstPoleX:
  case kItemFirstPoleY: {
    const int axis = id == kItemPoleX || id == kItemFirstPoleX ? 0 : 1;
    double position[3] = {target->GetPosition()[0], target->GetPosition()[1], target->GetPosition()[2]};
    if (!AcceptMeasure(item, position[axis], &v, nullptr, 0))
      return 0;
    const double moved = v - position[axis];
    position[axis] = v;
    target->SetPosition(position);
    if (IPole* follower = target->GetNext()) {
      double f[3] = {follower->GetPosition()[0], follower->GetPosition()[1], follower->GetPosition()[2]};
      f[axis] += moved;
      follower->SetPosition(f);
    }
    layOutAfterPosition();
    PostRebuild();
    break;
  }
  case kItemPoleZ:
  case kItemFirstPoleZ: {
    double position[3] = {target->GetPosition()[0], target->GetPosition()[1], target->GetPosition()[2]};
    const Range range{0, 300};
    if (!AcceptMeasure(item, position[2], &v, &range, 777))
      return 0;
    position[2] = v;
    target->SetPosition(position);
    if (IPole* follower = target->GetNext()) {
      double f[3] = {follower->GetPosition()[0], follower->GetPosition()[1], v};
      follower->SetPosition(f);
    }
    layOutAfterPosition();
    PostRebuild();
    break;
  }
  case kItemSecondPoleX:
  case kItemSecondPoleY: {
    IPole* second = p->GetNext();
    if (!second)
      return 0;
    const int axis = id == kItemSecondPoleX ? 0 : 1;
    double position[3] = {second->GetPosition()[0], second->GetPosition()[1], second->GetPosition()[2]};
    if (!AcceptMeasure(item, position[axis], &v, nullptr, 0))
      return 0;
    position[axis] = v;
    second->SetPosition(position);
    group->PlacePoles(4);
    break;
  }
  case kItemFirstPoleMode:
  case kItemSecondPoleMode: {
    IPole* pole = id == kItemFirstPoleMode ? p : p->GetNext();
    if (pole) {
      const int flags = FlipMode(*pole->GetCoordFlags(), ChosenIndex(item));
      pole->SetCoordFlags(&flags);
    }
    PostRebuild();
    break;
  }
  case kItemPoleSpacing:
  case kItemPoleLineAngle: {
    IPole* second = p->GetNext();
    if (!second)
      return 0;
    if (id == kItemPoleSpacing) {
      const Range range{0, 1e308, true};
      if (!AcceptMeasure(item, second->GetDistanceToPrev(), &v, &range, 397))
        return 0;
      second->SetDistanceToPrev(&v);
    } else {
      const Range range{-180, 180};
      if (!AcceptMeasure(item, second->GetAngleToPrev(), &v, &range, 398))
        return 0;
      second->SetAngleToPrev(&v);
    }
    group->PlacePoles(4);
    break;
  }
  case kItemCircleRadius:
  case kItemCircleStartAngle: {
    const double* centre = group->GetBasePoint();
    double radius = 0;
    double angle = 0;
    CircleOfPole(centre, p->GetPosition(), &radius, &angle);
    if (radius == 0) {
      PostRebuild();
      return 0;
    }
    auto* number = DYNAMIC_DOWNCAST(CTKPropertyGridItemDouble, item);
    if (!number)
      return 0;
    v = RoundTo(2, number->GetDouble()) + 0.0;
    number->SetDouble(v);
    const double old = id == kItemCircleRadius ? radius : angle;
    const bool outside = id == kItemCircleRadius ? v < 0.0001 : (v < -180 || v > 180);
    if (outside) {
      ShowPlainMessage(id == kItemCircleRadius ? 395 : 396);
      number->SetDouble(old);
      return 0;
    }
    if (v == old) {
      number->SetDouble(old);
      return 0;
    }
    (id == kItemCircleRadius ? radius : angle) = v;
    const double a = angle * std::numbers::pi / 180;
    const double position[3] = {centre[0] + radius * std::cos(a), centre[1] + radius * std::sin(a),
                                p->GetPosition()[2]};
    p->SetPosition(position);
    group->PlacePoles(2 + 4);
    break;
  }
  case kItemLuminaireTurn: {
    static constexpr double kTurns[] = {0, 90, -90, 180};
    const int chosen = ChosenIndex(item);
    if (chosen < 0 || chosen > 3)
      return 0;
    p->SetLuminaireTurn(&kTurns[chosen]);
    break;
  }
  case kItemAimMode: {
    const int flags = FlipMode(*p->GetAimFlags(), ChosenIndex(item));
    p->SetAimFlags(&flags);
    PostRebuild();
    break;
  }
  case kItemAimX:
  case kItemAimY:
  case kItemAimZ: {
    auto* number = DYNAMIC_DOWNCAST(CTKPropertyGridItemDouble, item);
    if (!number)
      return 0;
    v = RoundTo(2, number->GetDouble()) + 0.0;
    number->SetDouble(v);
    double aim[3] = {};
    p->GetAimPoint(aim);
    aim[id - kItemAimX] = v;
    p->SetAimPoint(aim);
    break;
  }
  case kItemAimTilt: {
    const Range range{0, 90, true};
    if (!AcceptMeasure(item, p->ComputeAimTilt(&scheme), &v, &range, 430))
      return 0;
    if (v == 90)
      v = kSteepestAimTilt;
    p->ApplyAimTilt(&v, &scheme);
    p->SetAimTilt(&v);
    break;
  }
  case kItemAimTurn: {
    const Range range{-180, 180};
    if (!AcceptMeasure(item, p->ComputeAimTurn(&scheme), &v, &range, 431))
      return 0;
    p->ApplyAimTurn(&v, &scheme);
    p->SetAimTurn(&v);
    break;
  }
  case kItemMountSide: {
    const int side = ChosenIndex(item);
    p->SetMountSide(&side);
    break;
  }
  default: return 0;
  }

  // Follow-up: the other poles take the first pole's parameters.
  if (snapshot && id != kItemAimTilt && id != kItemAimTurn) {
    p->ApplyAimTurn(&turn0, &scheme);
    p->ApplyAimTilt(&tilt0, &scheme);
  }
  const int aimFlags = *p->GetAimFlags();
  const double h = p->GetHeight(mounting);
  const double a = p->GetOutreach(mounting);
  const double d = p->GetTilt(mounting);
  const double rotation = *p->GetRotation();
  const double turn = p->ComputeAimTurn(&scheme);
  const double tilt = p->ComputeAimTilt(&scheme);
  const double straightTilt = p->GetAimTilt();
  const double straightTurn = p->GetAimTurn();
  double aim[3] = {};
  p->GetAimPoint(aim);
  const int mountSide = p->GetMountSide();
  const double luminaireTurn = *p->GetLuminaireTurn();
  const int user = 0;
  for (IPole* other = p->GetNext(); other; other = other->GetNext()) {
    other->SetTypical(&user);
    other->SetHeight(&h);
    other->SetOutreach(&a);
    other->SetTilt(&d);
    other->SetRotation(&rotation);
    other->SetAimPoint(aim);
    other->ApplyAimTurn(&turn, &scheme);
    other->ApplyAimTilt(&tilt, &scheme);
    other->SetAimTilt(&straightTilt);
    other->SetAimTurn(&straightTurn);
    other->SetMountSide(&mountSide);
  }
  if (!HasSubGroups(scheme)) {
    group->UpdatePolePositions(0);
  } else {
    for (ModelRef<IGroupOfDev> q = Query<IGroupOfDev>(group.Get(), IID_FirstSubGroup); q;) {
      if (ModelRef<IPole> pq = Query<IPole>(q.Get(), IID_IPole)) {
        IPole* sub = pq.Get();
        sub->SetTypical(&user);
        const bool selectedQ = [&] {
          ModelRef<IClassObjModel> asObject = Query<IClassObjModel>(q.Get(), IID_IClassObjModel);
          return asObject && asObject->IsSelected();
        }();
        switch (id) {
        case kItemGroupState: q->SetState(group->GetState()); break;
        case kItemGroupLampFlux: q->GetLightDevice()->lampFlux = group->GetLightDevice()->lampFlux; break;
        case kItemGroupMounting: q->SetMountingKind(group->GetMountingKind()); break;
        case kItemPoleHeight: sub->SetHeight(&h); break;
        case kItemPoleOutreach: sub->SetOutreach(&a); break;
        case kItemPoleTilt: sub->SetTilt(&d); break;
        case kItemMountSide: sub->SetMountSide(&mountSide); break;
        default:
          if (!selectedQ)
            break;
          if (id == kItemPoleRotation)
            sub->SetRotation(&rotation);
          else if (id == kItemAimMode)
            sub->SetAimFlags(&aimFlags);
          else if (id == kItemAimX || id == kItemAimY || id == kItemAimZ)
            sub->SetAimPoint(aim);
          else if (id == kItemAimTurn) {
            sub->ApplyAimTurn(&turn, &scheme);
            sub->SetAimTurn(&straightTurn);
          } else if (id == kItemAimTilt) {
            sub->ApplyAimTilt(&tilt, &scheme);
            sub->SetAimTilt(&straightTilt);
          } else if (id == kItemLuminaireTurn)
            sub->SetLuminaireTurn(&luminaireTurn);
          break;
        }
      }
      IGroupOfDev* next = q->GetNext();
      q = Query<IGroupOfDev>(next, IID_IGroupOfDev);
    }
  }
  if (m_document)
    m_document->SetModifiedFlag(TRUE);
  return 1;
}

}  // namespace VisualCtrl
