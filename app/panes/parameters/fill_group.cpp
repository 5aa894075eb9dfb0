// The items of a group of poles: the group and its luminaire, where its poles or masts stand, their geometry and
// the aiming of a mast's luminaires.
#include "app/panes/parameters/model_ref.h"
#include "app/panes/parameters/pane_helpers.h"
#include "app/panes/parameters/prop_objects.h"
#include "model/identifiers.h"
#include "model/igroups.h"
#include "model/lamp_post.h"
#include "model/light_device.h"


namespace VisualCtrl {

namespace {

constexpr int kOnPole = 0;
constexpr int kOnMast = 1;
constexpr int kFloorLamp = 2;
constexpr int kSuspended = 5;
constexpr int kLineScheme = 1;
constexpr int kCircleScheme = 2;

bool HasSubGroups(int scheme) { return scheme == 3 || scheme == 4; }

CTKPropertyGridItem* AddModeList(UINT caption, CTKPropertyGridItem* parent, UINT id, UINT description, int flags,
                                 bool cartesianOnly)
{
  CTKPropertyGridItem* item = AddGridListItem(caption, parent, id, description, {}, -1);
  if (flags & kCartesianOffered)
    item->GetConstraints()->AddConstraint(LoadItemText(374), 0, -1);
  if ((flags & kPolarOffered) && !cartesianOnly)
    item->GetConstraints()->AddConstraint(LoadItemText(375), 0, -1);
  ShowIndex(item, ChosenModeIndex(flags));
  return item;
}

// The selected sub-group of a contour or point placement, with its position in the list counted from 1.
struct SelectedSubGroup {
  ModelRef<IGroupOfDev> group;
  ModelRef<IPole> firstPole;
  long number = 0;
};

SelectedSubGroup FindSelectedSubGroup(IGroupOfDev* group)
{
  SelectedSubGroup s;
  s.group = Query<IGroupOfDev>(group, IID_SelectedSubGroup);
  if (!s.group)
    return s;
  s.number = 1;
  for (IGroupOfDev* g = s.group->GetPrev(); g; g = g->GetPrev())
    ++s.number;
  s.firstPole = Query<IPole>(s.group.Get(), IID_IPole);
  return s;
}

// Items 911-913 of one pole.
void AddPositionItems(CTKPropertyGridItem* category, IPole* pole, UINT xDescription, UINT yDescription,
                      UINT zDescription)
{
  const double* p = pole->GetPosition();
  AddGridRoundedDoubleItem(347, category, kItemPoleX, xDescription, &p[0]);
  AddGridRoundedDoubleItem(349, category, kItemPoleY, yDescription, &p[1]);
  AddGridRoundedDoubleItem(779, category, kItemPoleZ, zDescription, &p[2]);
}

// Captions of the open-site positioning items that differ between masts and poles.
struct PlacementTexts {
  UINT xyzIndividual[3];
  UINT firstCaption, firstLineDescription, firstCircleDescription;
  UINT firstX[2], firstY[2], firstZ[2];  // caption, description
  UINT firstCircleX[2], firstCircleY[2], firstCircleZ[2];
  UINT secondCaption, secondDescription;
  UINT secondX[2], secondY[2], secondZ[2];
  UINT spacing[2], lineAngle[2];
  UINT centreDescription, radiusDescription, stepDescription;
  UINT countCaption, countLineDescription, countCircleDescription;
};

constexpr PlacementTexts kMastTexts = {
    .xyzIndividual = {403, 404, 787},
    .firstCaption = 449,
    .firstLineDescription = 469,
    .firstCircleDescription = 470,
    .firstX = {453, 403},
    .firstY = {454, 404},
    .firstZ = {788, 787},
    .firstCircleX = {364, 455},
    .firstCircleY = {365, 456},
    .firstCircleZ = {781, 790},
    .secondCaption = 450,
    .secondDescription = 474,
    .secondX = {366, 451},
    .secondY = {367, 452},
    .secondZ = {782, 789},
    .spacing = {467, 468},
    .lineAngle = {466, 465},
    .centreDescription = 475,
    .radiusDescription = 459,
    .stepDescription = 457,
    .countCaption = 463,
    .countLineDescription = 464,
    .countCircleDescription = 458,
};
constexpr PlacementTexts kPoleTexts = {
    .xyzIndividual = {348, 350, 780},
    .firstCaption = 372,
    .firstLineDescription = 471,
    .firstCircleDescription = 472,
    .firstX = {364, 368},
    .firstY = {365, 369},
    .firstZ = {781, 783},
    .firstCircleX = {364, 368},
    .firstCircleY = {365, 369},
    .firstCircleZ = {781, 783},
    .secondCaption = 376,
    .secondDescription = 473,
    .secondX = {366, 370},
    .secondY = {367, 371},
    .secondZ = {782, 784},
    .spacing = {378, 379},
    .lineAngle = {380, 381},
    .centreDescription = 387,
    .radiusDescription = 392,
    .stepDescription = 389,
    .countCaption = 361,
    .countLineDescription = 362,
    .countCircleDescription = 399,
};

}  // namespace

void CPropObjects::FillGroupOfDev()
{
  ModelRef<IGroupOfDev> group = Query<IGroupOfDev>(m_shownObject, IID_IGroupOfDev);
  if (!group)
    return;
  CGuid areaClass;
  if (IClassObjModel* parent = m_shownObject->GetParent(); parent && parent->GetParent())
    parent->GetParent()->GetClassId(&areaClass);
  const bool straightRoad = areaClass.IsEqual(&CLSID_CStraightRoad);
  const bool openSite = areaClass.IsEqual(&CLSID_CCustomizeRoad) || areaClass.IsEqual(&CLSID_CCustomizeRoad3D);

  ModelRef<IPole> firstPole = Query<IPole>(group.Get(), IID_IPole);
  const int typical = firstPole ? *firstPole->GetTypical() : 0;
  const int arrangement = *group->GetRoadScheme();
  const int mounting = *group->GetMountingKind();
  const int scheme = *group->GetPlacementScheme();
  const bool mast = mounting == kOnMast;
  CLightDevice* luminaire = group->GetLightDevice();

  CTKPropertyGridItem* general = GetGridView().AddCategory("Общие");
  AddGridNumberItem(743, general, kItemGroupNumber, 744, group->GetNumber());
  AddGridTextItem(232, general, kItemGroupName, 234, group->GetName());
  AddGridListItem(233, general, kItemGroupState, 235, {153, 154}, (*group->GetState() & 1) ? 0 : 1);
  CTKPropertyGridItem* device = AddGridButtonItem(239, general, kItemGroupLuminaire, 237, luminaire->GetDisplayName());
  general->Expand();
  AddGridTextItem(850, device, kItemGroupMaker, 851, &luminaire->luminaireMaker)->SetReadOnly(TRUE);
  AddGridTextItem(240, device, kItemGroupLampType, 241, &luminaire->lampType)->SetReadOnly(TRUE);
  if (luminaire->lampType != "СД") {
    const int lamps = luminaire->lampCount;
    AddGridNumberItem(505, device, kItemGroupLampCount, 506, &lamps)->SetReadOnly(TRUE);
  }
  AddGridRoundedDoubleItem(242, device, kItemGroupLampPower, 243, &luminaire->lampPower)->SetReadOnly(TRUE);
  AddGridRoundedDoubleItem(244, device, kItemGroupLampFlux, 245, &luminaire->lampFlux);
  device->Expand();

  CTKPropertyGridItem* last = general;
  const bool catalogueTypical = typical != 0;
  auto addCatalogueItems = [&](CTKPropertyGridItem* category, bool mastTexts) {
    CTKPropertyGridItem* catalogue = AddGridListItem(mastTexts ? 405 : 288, category, kItemPoleCatalogue,
                                                     mastTexts ? 406 : 289, {}, -1);
    catalogue->GetConstraints()->AddConstraint(LoadItemText(290), 0, -1);
    if (mounting == kOnPole)
      catalogue->GetConstraints()->AddConstraint(LoadItemText(291), 0, -1);
    catalogue->GetConstraints()->SetCurrent(typical);
    catalogue->SetValue(catalogue->GetConstraints()->GetAt(typical));
    CLampPost* post = firstPole ? firstPole->GetLampPost() : nullptr;
    if (catalogueTypical && post) {
      AddGridButtonItem(mastTexts && openSite ? 407 : 292, catalogue, kItemPoleRecord,
                        mastTexts && openSite ? 408 : 294, post->designation);
      if (mounting == kOnPole) {
        CLampConsole* bracket = post->GetCurrentBracket();
        AddGridButtonItem(293, catalogue, kItemBracketRecord, 295, bracket ? bracket->designation : CString());
      }
    }
    catalogue->Expand();
  };

  if (straightRoad && firstPole) {
    CTKPropertyGridItem* placing = GetGridView().AddCategory("Размещение ОП");
    AddGridListItem(338, placing, kItemGroupMounting, 339, {340, 341, 488}, mounting);
    AddGridListItem(267, placing, kItemGroupRoadScheme, 268, {258, 262, 263, 264, 265, 266}, arrangement);
    placing->Expand();

    CTKPropertyGridItem* position = GetGridView().AddCategory(mast ? "Положение мачт" : "Положение опор");
    AddGridRoundedDoubleItem(269, position, kItemGroupStep, 270, group->GetStep());
    CTKPropertyGridItem* offset = AddGridRoundedDoubleItem(272, position, kItemGroupOffset, 273, group->GetOffset());
    if (!group->GetPrev() && !group->IsSubGroup())
      offset->SetReadOnly(TRUE);
    position->Expand();

    CTKPropertyGridItem* params = GetGridView().AddCategory(mast ? "Параметры мачты" : "Параметры опоры");
    if (arrangement != kSuspended)
      addCatalogueItems(params, mast);
    IPole* p = firstPole.Get();
    CTKPropertyGridItem* height = nullptr;
    CTKPropertyGridItem* outreach = nullptr;
    CTKPropertyGridItem* setback = nullptr;
    CTKPropertyGridItem* tilt = nullptr;
    auto addHeight = [&] {
      const double v = p->GetHeight(mounting);
      height = AddGridRoundedDoubleItem(246, params, kItemPoleHeight, mast ? 434 : 247, &v);
    };
    auto addOutreach = [&] {
      const double v = p->GetOutreach(mounting);
      outreach = AddGridRoundedDoubleItem(249, params, kItemPoleOutreach, mast ? 427 : 250, &v);
    };
    auto addSetback = [&] {
      const bool mastDescription = mast && arrangement >= 0 && arrangement <= 3;
      setback = AddGridRoundedDoubleItem(252, params, kItemPoleSetback, mastDescription ? 487 : 253, p->GetSetback());
    };
    auto addTilt = [&] {
      if (mounting != kOnPole)
        return;
      const double v = p->GetTilt(mounting);
      tilt = AddGridRoundedDoubleItem(255, params, kItemPoleTilt, 256, &v);
    };
    auto addRotation = [&] { AddGridRoundedDoubleItem(261, params, kItemPoleRotation, 259, p->GetRotation()); };
    if (arrangement >= 0 && arrangement <= 3) {
      addHeight(), addOutreach(), addSetback(), addTilt(), addRotation();
    } else if (arrangement == 4) {
      addHeight(), addOutreach(), addTilt(), addRotation();
    } else if (arrangement == kSuspended) {
      addHeight(), addSetback(), addRotation();
    }
    if (typical && arrangement >= 0 && arrangement <= 4) {
      for (CTKPropertyGridItem* item : {height, outreach, tilt})
        if (item)
          item->SetReadOnly(TRUE);
      if (!tilt && setback && arrangement <= 3)
        setback->SetReadOnly(TRUE);
    }
    params->Expand();
    last = params;
  } else if (openSite && firstPole) {
    CTKPropertyGridItem* placing = GetGridView().AddCategory("Размещение ОП");
    AddGridListItem(338, placing, kItemGroupMounting, 339, {340, 341, 488}, mounting);
    AddGridListItem(342, placing, kItemGroupPlacement, 343, {344, 345, 346, 820, 762}, scheme);
    placing->Expand();
    last = placing;

    if (mounting == kOnPole || mounting == kOnMast || mounting == kFloorLamp) {
      const PlacementTexts& t = mast ? kMastTexts : kPoleTexts;
      IPole* p = firstPole.Get();
      SelectedSubGroup selected;
      CTKPropertyGridItem* position = nullptr;
      if (scheme == 0) {
        position = GetGridView().AddCategory(mast ? "Положение мачты" : "Положение опоры");
        AddPositionItems(position, p, t.xyzIndividual[0], t.xyzIndividual[1], t.xyzIndividual[2]);
      } else if (scheme == kLineScheme) {
        position = GetGridView().AddCategory(mast ? "Положение мачт" : "Положение опор");
        const int flags = *p->GetCoordFlags();
        CTKPropertyGridItem* first = AddModeList(t.firstCaption, position, kItemFirstPoleMode,
                                                 t.firstLineDescription, flags, true);
        if (flags & kCartesianChosen) {
          const double* xyz = p->GetPosition();
          AddGridRoundedDoubleItem(t.firstX[0], first, kItemFirstPoleX, t.firstX[1], &xyz[0]);
          AddGridRoundedDoubleItem(t.firstY[0], first, kItemFirstPoleY, t.firstY[1], &xyz[1]);
          AddGridRoundedDoubleItem(t.firstZ[0], first, kItemFirstPoleZ, t.firstZ[1], &xyz[2]);
        }
        first->Expand();
        if (IPole* second = p->GetNext()) {
          const int secondFlags = *second->GetCoordFlags();
          CTKPropertyGridItem* item = AddModeList(t.secondCaption, position, kItemSecondPoleMode,
                                                  t.secondDescription, secondFlags, false);
          if (secondFlags & kCartesianChosen) {
            const double* xyz = second->GetPosition();
            AddGridRoundedDoubleItem(t.secondX[0], item, kItemSecondPoleX, t.secondX[1], &xyz[0]);
            AddGridRoundedDoubleItem(t.secondY[0], item, kItemSecondPoleY, t.secondY[1], &xyz[1]);
            AddGridRoundedDoubleItem(t.secondZ[0], item, kItemSecondPoleZ, t.secondZ[1], &xyz[2])->SetReadOnly(TRUE);
          }
          if (secondFlags & kPolarChosen) {
            const double spacing = second->GetDistanceToPrev();
            const double angle = second->GetAngleToPrev();
            AddGridRoundedDoubleItem(t.spacing[0], item, kItemPoleSpacing, t.spacing[1], &spacing);
            AddGridRoundedDoubleItem(t.lineAngle[0], item, kItemPoleLineAngle, t.lineAngle[1], &angle);
          }
          item->Expand();
        }
        const int count = group->GetTotalPoleCount();
        AddGridNumberItem(t.countCaption, position, kItemGroupPoleCount, t.countLineDescription, &count);
      } else if (scheme == kCircleScheme) {
        position = GetGridView().AddCategory(mast ? "Положение мачт" : "Положение опор");
        CTKPropertyGridItem* centre =
            AddGridListItemTexts(386, position, kItemGroupCentre, t.centreDescription, {LoadItemText(374)}, 0);
        const double* c = group->GetBasePoint();
        AddGridRoundedDoubleItem(382, centre, kItemGroupCentreX, 383, &c[0]);
        AddGridRoundedDoubleItem(384, centre, kItemGroupCentreY, 385, &c[1]);
        AddGridRoundedDoubleItem(785, centre, kItemGroupCentreZ, 786, &c[2]);
        centre->Expand();
        const int flags = *p->GetCoordFlags();
        CTKPropertyGridItem* first = AddModeList(t.firstCaption, position, kItemFirstPoleMode,
                                                 t.firstCircleDescription, flags, false);
        const double* xyz = p->GetPosition();
        if (flags & kCartesianChosen) {
          AddGridRoundedDoubleItem(t.firstCircleX[0], first, kItemFirstPoleX, t.firstCircleX[1], &xyz[0]);
          AddGridRoundedDoubleItem(t.firstCircleY[0], first, kItemFirstPoleY, t.firstCircleY[1], &xyz[1]);
          AddGridRoundedDoubleItem(t.firstCircleZ[0], first, kItemFirstPoleZ, t.firstCircleZ[1], &xyz[2])
              ->SetReadOnly(TRUE);
        }
        if (flags & kPolarChosen) {
          double radius = 0;
          double angle = 0;
          CircleOfPole(c, xyz, &radius, &angle);
          AddGridRoundedDoubleItem(391, first, kItemCircleRadius, t.radiusDescription, &radius);
          AddGridRoundedDoubleItem(393, first, kItemCircleStartAngle, 394, &angle);
        }
        first->Expand();
        AddGridRoundedDoubleItem(388, position, kItemGroupAngularStep, t.stepDescription, group->GetAngularStep());
        const int count = group->GetTotalPoleCount();
        AddGridNumberItem(t.countCaption, position, kItemGroupPoleCount, t.countCircleDescription, &count);
      } else if (HasSubGroups(scheme)) {
        selected = FindSelectedSubGroup(group.Get());
        if (selected.firstPole) {
          CString caption;
          caption.Format(mast ? "Положение мачты - %ld" : "Положение опоры - %ld", selected.number);
          position = GetGridView().AddCategory(caption);
          AddPositionItems(position, selected.firstPole.Get(), t.xyzIndividual[0], t.xyzIndividual[1],
                           t.xyzIndividual[2]);
        }
      }
      if (position)
        position->Expand();

      IPole* rotationPole = HasSubGroups(scheme) ? selected.firstPole.Get() : p;
      CTKPropertyGridItem* params = GetGridView().AddCategory(mast ? "Параметры мачты" : "Параметры опоры");
      if (mast) {
        CTKPropertyGridItem* catalogue =
            AddGridListItemTexts(405, params, kItemPoleCatalogue, 406, {LoadItemText(290)}, typical);
        if (catalogueTypical)
          AddGridButtonItem(407, catalogue, kItemPoleRecord, 408, p->GetLampPost()->designation);
        catalogue->Expand();
        const double h = p->GetHeight(kOnMast);
        CTKPropertyGridItem* height = AddGridRoundedDoubleItem(246, params, kItemPoleHeight, 434, &h);
        if (typical)
          height->SetReadOnly(TRUE);
        const double a = p->GetOutreach(kOnMast);
        AddGridRoundedDoubleItem(249, params, kItemPoleOutreach, 427, &a);
        if (rotationPole) {
          const UINT description = scheme == kLineScheme ? 432 : scheme == kCircleScheme ? 433 : 428;
          AddGridRoundedDoubleItem(429, params, kItemPoleRotation, description, rotationPole->GetRotation());
        }
      } else {
        addCatalogueItems(params, false);
        const double h = p->GetHeight(mounting);
        const double a = p->GetOutreach(mounting);
        CTKPropertyGridItem* height = AddGridRoundedDoubleItem(246, params, kItemPoleHeight, 247, &h);
        CTKPropertyGridItem* outreach = AddGridRoundedDoubleItem(249, params, kItemPoleOutreach, 250, &a);
        CTKPropertyGridItem* tilt = nullptr;
        if (mounting == kOnPole) {
          const double d = p->GetTilt(mounting);
          tilt = AddGridRoundedDoubleItem(255, params, kItemPoleTilt, 256, &d);
        }
        if (typical)
          for (CTKPropertyGridItem* item : {height, outreach, tilt})
            if (item)
              item->SetReadOnly(TRUE);
        if (rotationPole) {
          const UINT description = scheme == 0 || HasSubGroups(scheme) ? 400
                                   : scheme == kLineScheme             ? 401
                                   : scheme == kCircleScheme           ? 402
                                                                       : 259;
          AddGridRoundedDoubleItem(261, params, kItemPoleRotation, description, rotationPole->GetRotation());
        }
      }
      params->Expand();
      last = params;
    }
  }

  // The aiming of a mast's luminaires and their turn.
  SelectedSubGroup aimed;
  IPole* aimPole = firstPole.Get();
  if (HasSubGroups(scheme)) {
    aimed = FindSelectedSubGroup(group.Get());
    aimPole = aimed.firstPole.Get();
  }
  if (aimPole && mast && ((straightRoad && arrangement != kSuspended) || openSite)) {
    const int flags = *aimPole->GetAimFlags();
    CTKPropertyGridItem* aim = AddModeList(415, last, kItemAimMode, 416, flags, false);
    if (straightRoad)
      aim->SetReadOnly(TRUE);
    if (flags & kCartesianChosen) {
      struct AimTexts {
        UINT x[2], y[2], z[2];
      };
      static constexpr AimTexts kPoint = {{419, 420}, {421, 422}, {423, 424}};
      static constexpr AimTexts kLine = {{441, 437}, {442, 438}, {443, 435}};
      static constexpr AimTexts kCircle = {{444, 439}, {445, 440}, {446, 436}};
      const AimTexts& t = straightRoad || !(scheme == kLineScheme || scheme == kCircleScheme) ? kPoint
                          : scheme == kLineScheme                                          ? kLine
                                                                                           : kCircle;
      double point[3] = {};
      aimPole->GetAimPoint(point);
      AddGridRoundedDoubleItem(t.x[0], aim, kItemAimX, t.x[1], &point[0]);
      AddGridRoundedDoubleItem(t.y[0], aim, kItemAimY, t.y[1], &point[1]);
      AddGridRoundedDoubleItem(t.z[0], aim, kItemAimZ, t.z[1], &point[2]);
    }
    if (flags & kPolarChosen) {
      const double tilt = straightRoad ? aimPole->GetAimTilt() : aimPole->ComputeAimTilt(&scheme);
      const double turn = straightRoad ? aimPole->GetAimTurn() : aimPole->ComputeAimTurn(&scheme);
      AddGridRoundedDoubleItem(425, aim, kItemAimTilt, 417, &tilt);
      AddGridRoundedDoubleItem(426, aim, kItemAimTurn, 418, &turn);
    }
    aim->Expand();
    const double turn = *aimPole->GetLuminaireTurn();
    const int turnIndex = turn == 0 ? 0 : turn == 90 ? 1 : turn == -90 ? 2 : turn == 180 ? 3 : -1;
    AddGridListItem(409, last, kItemLuminaireTurn, 410, {411, 412, 413, 414}, turnIndex);
  }

  if (firstPole && mounting == kFloorLamp && (straightRoad || openSite))
    AddGridListItem(489, last, kItemMountSide, 490, {491, 492}, firstPole->GetMountSide());
}

}  // namespace VisualCtrl
