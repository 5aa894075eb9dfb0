// Edits of an open site, of its carriageway and sidewalk nodes (the parameters of the typical form) and of a user
// group of primitives. A form parameter that no longer lets the form fit the area is put back.
#include "app/panes/parameters/model_ref.h"
#include "app/panes/parameters/pane_helpers.h"
#include "app/panes/parameters/prop_objects.h"
#include "model/iarea.h"
#include "model/identifiers.h"
#include "model/iprimitive.h"
#include "model/shell/window_messages.h"
#include "platform/mfc/msgbox.h"

#include <cmath>
#include <limits>

namespace VisualCtrl {

namespace {

constexpr int kYes = 0;
constexpr int kOn = 0;
constexpr int kTurn = 1;
constexpr int kFork = 2;
constexpr int kCrossing = 3;
constexpr int kJunction = 4;
constexpr int kRoundabout = 7;
constexpr int kSidewalkOutsideTurn = 0x2;
constexpr double kNoUpper = std::numeric_limits<double>::max();

using WidthSetter = int (ICustomizeRoad::*)(const double*);
using WidthGetter = double* (ICustomizeRoad::*)();
constexpr WidthSetter kSetWidth[] = {&ICustomizeRoad::SetBranchWidth1, &ICustomizeRoad::SetBranchWidth2,
                                     &ICustomizeRoad::SetBranchWidth3, &ICustomizeRoad::SetBranchWidth4,
                                     &ICustomizeRoad::SetBranchWidth5};
constexpr WidthGetter kGetWidth[] = {&ICustomizeRoad::GetBranchWidth1, &ICustomizeRoad::GetBranchWidth2,
                                     &ICustomizeRoad::GetBranchWidth3, &ICustomizeRoad::GetBranchWidth4,
                                     &ICustomizeRoad::GetBranchWidth5};
constexpr WidthSetter kSetJunction[] = {&ICustomizeRoad::SetJunctionAngle1, &ICustomizeRoad::SetJunctionAngle2,
                                        &ICustomizeRoad::SetJunctionAngle3, &ICustomizeRoad::SetJunctionAngle4,
                                        &ICustomizeRoad::SetJunctionAngle5};
constexpr WidthGetter kGetJunction[] = {&ICustomizeRoad::GetJunctionAngle1, &ICustomizeRoad::GetJunctionAngle2,
                                        &ICustomizeRoad::GetJunctionAngle3, &ICustomizeRoad::GetJunctionAngle4,
                                        &ICustomizeRoad::GetJunctionAngle5};

void ClampTurnRadius(ICustomizeRoad* site)
{
  BOOL clamp = TRUE;
  site->GetMinTurnRadius(&clamp);
}

// The typical form still fits the area with its current parameters.
bool FormFits(ICustomizeRoad* site, IArea* area, int form)
{
  double width = *area->GetWidth();
  double length = *area->GetLength();
  if (form == kFork)
    return site->FitAreaForFork(&width, &length, FALSE) != 0;
  if (form == kRoundabout)
    return site->FitAreaForRoundabout(&width, &length, FALSE) != 0;
  return true;
}

void ShowDouble(CTKPropertyGridItem* item, double value)
{
  if (auto* number = DYNAMIC_DOWNCAST(CTKPropertyGridItemDouble, item))
    number->SetDouble(value);
}

}  // namespace

LRESULT CPropObjects::CommitOpenSite(CTKPropertyGridItem* item, UINT id, CWnd* mainWnd)
{
  ModelRef<IArea> area = Query<IArea>(m_shownObject, IID_IArea);
  if (!area)
    return 0;
  ModelRef<ICustomizeRoad> site = Query<ICustomizeRoad>(area.Get(), IID_ICustomizeRoad);
  const int form = *area->GetTypicalForm();
  auto modified = [this] {
    if (m_document)
      m_document->SetModifiedFlag(TRUE);
  };
  auto rebuilt = [&] {
    area->BuildTypicalForm();
    modified();
    if (HasFormParameters(form))
      PostRebuild();
    return 1;
  };
  double v = 0;
  switch (id) {
  case kItemAreaName:
  case kItemAreaNorms:
  case kItemAreaLightingOutput:
  case kItemAreaEconomicOutput: {
    const LRESULT answer = CommitStraightRoad(item, id, mainWnd);
    if (answer && id == kItemAreaNorms)
      modified();
    return answer;
  }
  case kItemAreaKind:
    if (ChosenIndex(item) == 0) {
      if (AfxMessageBox(532, MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) == IDYES) {
        const int free = kFreeSiteForm;
        area->SetTypicalForm(&free);
        modified();
        if (mainWnd)
          mainWnd->PostMessage(UM_SHOWOBJECT, 0, 0);
      } else {
        ShowIndex(item, 1);
      }
    }
    return 1;
  case kItemAreaLength:
  case kItemAreaWidth: {
    const Range range{5, 2000};
    const bool length = id == kItemAreaLength;
    if (!AcceptMeasure(item, length ? *area->GetLength() : *area->GetWidth(), &v, &range, length ? 130 : 299))
      return 0;
    length ? area->SetLength(&v) : area->SetWidth(&v);
    return rebuilt();
  }
  case kItemAreaBaseHeight: {
    const Range range{-3000, 3000};
    if (!AcceptMeasure(item, *area->GetBaseHeight(), &v, &range, 796))
      return 0;
    area->SetBaseHeight(&v);
    return rebuilt();
  }
  case kItemAreaReportOriginX:
  case kItemAreaReportOriginY: {
    const Range range{-40075020, 40075020};
    const bool x = id == kItemAreaReportOriginX;
    if (!AcceptMeasure(item, x ? *area->GetReportOriginX() : *area->GetReportOriginY(), &v, &range, 828))
      return 0;
    x ? area->SetReportOriginX(&v) : area->SetReportOriginY(&v);
    modified();
    return 1;
  }
  case kItemSiteSidewalk: {
    if (!site)
      return 0;
    int state = *site->GetSidewalkState();
    state = ChosenIndex(item) == kYes ? (state & ~kSidewalkOutsideTurn) : (state | kSidewalkOutsideTurn);
    site->SetSidewalkState(&state);
    ClampTurnRadius(site.Get());
    area->BuildTypicalForm();
    if (mainWnd)
      mainWnd->PostMessage(UM_SHOWOBJECT, 0, 0);
    modified();
    return 1;
  }
  default: return 0;
  }
}

LRESULT CPropObjects::CommitPavementNode(CTKPropertyGridItem* item, UINT id, CWnd* mainWnd)
{
  ModelRef<ICustomizeRoad> site = Query<ICustomizeRoad>(m_shownObject->GetParent(), IID_ICustomizeRoad);
  if (!site)
    return 0;
  double v = 0;
  switch (id) {
  case kItemPavementNodeState: {
    const int old = *site->GetSidewalkState();
    const int state = ChosenIndex(item) == kOn ? (old | 1) : (old & ~1);
    site->SetSidewalkState(&state);
    if (m_document)
      m_document->SetModifiedFlag(TRUE);
    if (mainWnd)
      mainWnd->PostMessage(UM_SHOWOBJECT, 0, 0);
    return 1;
  }
  case kItemPavementNodeWidth:
  case kItemPavementNodeGap: {
    const bool width = id == kItemPavementNodeWidth;
    const Range range{width ? 0.01 : 0.0, 100};
    if (!AcceptMeasure(item, width ? *site->GetSidewalkWidth() : *site->GetSidewalkGap(), &v, &range,
                       width ? 199 : 205))
      return 0;
    width ? site->SetSidewalkWidth(&v) : site->SetSidewalkGap(&v);
    ClampTurnRadius(site.Get());
    site->BuildTypicalForm();
    return 1;
  }
  default: return 0;
  }
}

LRESULT CPropObjects::CommitRoadNode(CTKPropertyGridItem* item, UINT id, CWnd* mainWnd)
{
  IClassObjModel* parent = m_shownObject->GetParent();
  ModelRef<ICustomizeRoad> site = Query<ICustomizeRoad>(parent, IID_ICustomizeRoad);
  ModelRef<IArea> area = Query<IArea>(parent, IID_IArea);
  if (!site || !area)
    return 0;
  ICustomizeRoad* s = site.Get();
  const int form = *area->GetTypicalForm();
  auto rebuilt = [s] {
    s->BuildTypicalForm();
    return 1;
  };
  // Stores a value, tries the form with it and puts the old one back when the form no longer fits.
  auto storeFitting = [&](WidthSetter setter, double old, double value, bool clamp, UINT message) {
    (s->*setter)(&value);
    if (clamp)
      ClampTurnRadius(s);
    if (FormFits(s, area.Get(), form))
      return true;
    (s->*setter)(&old);
    if (clamp)
      ClampTurnRadius(s);
    ShowPlainMessage(message);
    ShowDouble(item, old);
    return false;
  };
  double v = 0;
  switch (id) {
  case kItemRoadNodeState: {
    const int old = *s->GetRoadState();
    const int state = ChosenIndex(item) == kOn ? (old | 1) : (old & ~1);
    s->SetRoadState(&state);
    if (m_document)
      m_document->SetModifiedFlag(TRUE);
    if (mainWnd)
      mainWnd->PostMessage(UM_SHOWOBJECT, 0, 0);
    return 1;
  }
  case kItemBranchWidth1:
  case kItemBranchWidth2:
  case kItemBranchWidth3: {
    const int i = static_cast<int>(id - kItemBranchWidth1);
    const double old = *(s->*kGetWidth[i])();
    const Range range{0.01, 200};
    if (!AcceptMeasure(item, old, &v, &range, 503))
      return 0;
    if (form == kFork) {
      if (!storeFitting(kSetWidth[i], old, v, i == 0, 572))
        return 0;
    } else {
      (s->*kSetWidth[i])(&v);
      if (i == 0)
        ClampTurnRadius(s);
    }
    return rebuilt();
  }
  case kItemWideningLength: {
    const Range range{0, *area->GetLength(), false, true};
    if (!AcceptMeasure(item, *s->GetWideningLength(), &v, &range, 580))
      return 0;
    s->SetWideningLength(&v);
    return rebuilt();
  }
  case kItemWideningType: {
    const int chosen = ChosenIndex(item);
    if (chosen < 0)
      return 0;
    const int type = (*s->GetWideningType() & ~0xF) | chosen;
    s->SetWideningType(&type);
    return rebuilt();
  }
  case kItemRingInnerRadius:
  case kItemRingOuterRadius: {
    const bool inner = id == kItemRingInnerRadius;
    const double old = inner ? *s->GetInnerRadius() : *s->GetOuterRadius();
    const Range range{0, kNoUpper};
    if (!AcceptMeasure(item, old, &v, &range, inner ? 591 : 592))
      return 0;
    if (!storeFitting(inner ? &ICustomizeRoad::SetInnerRadius : &ICustomizeRoad::SetOuterRadius, old, v, false,
                      618))
      return 0;
    return rebuilt();
  }
  case kItemRingBranchCount: {
    auto* number = DYNAMIC_DOWNCAST(CTKPropertyGridItemNumber, item);
    int count = 0;
    const int old = *s->GetBranchCount();
    if (!number || !AcceptCount(item, old, &count, 1, 5, 595))
      return 0;
    UINT oldCount = static_cast<UINT>(old);
    if (s->IsFormChanged(&oldCount) && AfxMessageBox(596, MB_YESNO | MB_ICONQUESTION) != IDYES) {
      number->SetNumber(old);
      return 0;
    }
    s->SetBranchCount(&count);
    s->SetFormDefaults();
    s->BuildTypicalForm();
    PostRebuild();
    return 1;
  }
  case kItemTurnRadius: {
    if (!AcceptMeasure(item, *s->GetTurnRadius(), &v, nullptr, 0))
      return 0;
    if (form == kTurn) {
      BOOL clamp = FALSE;
      const double least = s->GetMinTurnRadius(&clamp);
      if (v != 0 && v < least) {
        CString text;
        text.Format(558, least);
        AfxMessageBox(text, MB_ICONEXCLAMATION);
        SetFocus();
        ShowDouble(item, *s->GetTurnRadius());
        return 0;
      }
    }
    s->SetTurnRadius(&v);
    return rebuilt();
  }
  case kItemFormAngle1:
  case kItemFormAngle2: return CommitFormAngle(s, area.Get(), form, item, id == kItemFormAngle1 ? 1 : 2);
  default: break;
  }
  if (id >= kItemRingBranchWidth1 && id < kItemRingBranchWidth1 + 5) {
    const int i = static_cast<int>(id - kItemRingBranchWidth1);
    return CommitRingBranch(s, area.Get(), form, item, kGetWidth[i], kSetWidth[i], Range{0.01, 200}, 503);
  }
  if (id >= kItemRingJunctionAngle1 && id < kItemRingJunctionAngle1 + 5) {
    const int i = static_cast<int>(id - kItemRingJunctionAngle1);
    return CommitRingBranch(s, area.Get(), form, item, kGetJunction[i], kSetJunction[i], Range{-180, 180}, 601);
  }
  return 0;
}

LRESULT CPropObjects::CommitRingBranch(ICustomizeRoad* s, IArea* area, int form, CTKPropertyGridItem* item,
                                       double* (ICustomizeRoad::*getter)(), int (ICustomizeRoad::*setter)(const double*),
                                       const Range& range, UINT message)
{
  const double old = *(s->*getter)();
  double v = 0;
  if (!AcceptMeasure(item, old, &v, &range, message))
    return 0;
  (s->*setter)(&v);
  ClampTurnRadius(s);
  if (form == kRoundabout && !FormFits(s, area, form)) {
    (s->*setter)(&old);
    ClampTurnRadius(s);
    ShowPlainMessage(618);
    ShowDouble(item, old);
    return 0;
  }
  s->BuildTypicalForm();
  return 1;
}

LRESULT CPropObjects::CommitFormAngle(ICustomizeRoad* s, IArea* area, int form, CTKPropertyGridItem* item, int which)
{
  auto* number = DYNAMIC_DOWNCAST(CTKPropertyGridItemDouble, item);
  if (!number)
    return 0;
  const double old = which == 1 ? *s->GetFormAngle1() : *s->GetFormAngle2();
  const double v = RoundTo(2, number->GetDouble()) + 0.0;
  number->SetDouble(v);

  // The message is prepared before the test; a fork that no longer fits replaces it.
  CString message;
  bool accepted = true;
  if (which == 1) {
    switch (form) {
    case kTurn:
      message.Format(504, -90.0, 90.0);
      accepted = v >= -90 && v <= 90;
      break;
    case kCrossing:
    case kJunction:
      message.Format(form == kCrossing ? 551 : 553, 10.0, 170.0);
      accepted = std::fabs(v) >= 10 && std::fabs(v) <= 170;
      break;
    case kFork:
      message.Format(570, 10.0, 90.0);
      accepted = v >= 10 && v <= 90 && !(v == 90 && *s->GetFormAngle2() == -90);
      break;
    default: break;
    }
  } else if (form == kFork) {
    message.Format(571, -90.0, -10.0);
    accepted = v >= -90 && v <= -10 && !(v == -90 && *s->GetFormAngle1() == 90);
  }
  if (form == kFork) {
    const WidthSetter setter = which == 1 ? &ICustomizeRoad::SetFormAngle1 : &ICustomizeRoad::SetFormAngle2;
    (s->*setter)(&v);
    const bool fits = FormFits(s, area, form);
    (s->*setter)(&old);
    if (!fits) {
      message.LoadString(572);
      accepted = false;
    }
  }
  if (!accepted) {
    AfxMessageBox(message, MB_ICONEXCLAMATION);
    SetFocus();
    number->SetDouble(old);
    return 0;
  }
  if (v == old)
    return 0;
  which == 1 ? s->SetFormAngle1(&v) : s->SetFormAngle2(&v);
  ClampTurnRadius(s);
  s->BuildTypicalForm();
  return 1;
}

LRESULT CPropObjects::CommitPrimitiveGroup(CTKPropertyGridItem* item, UINT id, CWnd* mainWnd)
{
  ModelRef<IGroupOfPrimitive> group = Query<IGroupOfPrimitive>(m_shownObject, IID_IGroupOfPrimitive);
  if (!group || id != kItemPrimitiveGroupName)
    return 0;
  const CString text = item->GetValue();
  if (text.IsEmpty()) {
    item->SetValue(*group->GetName());
    return 0;
  }
  group->SetName(&text);
  SendTreeText(mainWnd);
  return 1;
}

}  // namespace VisualCtrl
