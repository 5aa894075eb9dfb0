#include "catalogues/economics/cost_estimate.h"

#include "graphics/core/model_ref.h"
#include "model/class_of.h"
#include "model/cguid.h"
#include "model/identifiers.h"
#include "model/igroups.h"
#include "model/ipole.h"
#include "model/iproject.h"
#include "model/light_device.h"
#include "model/pole.h"

#include <limits>

namespace Economics {

namespace {

constexpr double kNotAvailable = std::numeric_limits<double>::quiet_NaN();

enum class AreaKind { StraightRoad, Installation, Other };

AreaKind KindOf(IArea* area)
{
  if (IsOfClass(area, CLSID_CStraightRoad))
    return AreaKind::StraightRoad;
  if (IsOfClass(area, CLSID_CCustomizeRoad) || IsOfClass(area, CLSID_CCustomizeRoad3D))
    return AreaKind::Installation;
  return AreaKind::Other;
}

double Money(std::int32_t hundredths) { return hundredths / 100.0; }

}  // namespace

tag_AREA_COSTS ComputeAreaCosts(IProject* project, IArea* area)
{
  using ObjectModel::Round2;
  double SL = 0, SS = 0, SI = 0, SP = 0, SB = 0, SPI = 0, SBI = 0, SW = 0, SR = 0, SC = 0;
  const bool polesIncluded = *project->GetPolesInCost() != 0;
  const bool bracketsIncluded = *project->GetBracketsInCost() != 0;
  const AreaKind kind = KindOf(area);

  ModelRef<IGroupsOfDev> groups(area, IID_IGroupsOfDev);
  ModelRef<IGroupOfDev> first(groups.get(), IID_IGroupOfDev);
  for (IGroupOfDev* group = first.get(); group; group = group->GetNext()) {
    if ((*group->GetState() & 0x1) == 0)
      continue;
    const CLightDevice& device = *group->GetLightDevice();
    ModelRef<IPole> pole(group, IID_IPole);

    double P = 0;
    double N = 0;
    if (kind == AreaKind::StraightRoad) {
      const double spacing = *group->GetStep();
      // Per kilometre needs a spacing: without one the counts, and every figure built on them, are unknown.
      P = spacing > 0 ? 1000 / spacing : kNotAvailable;
      const int scheme = *group->GetRoadScheme();
      if (scheme == 2 || scheme == 3 || scheme == 4)
        P *= 2;
      N = group->GetLuminaireCount() * P;
    } else if (kind == AreaKind::Installation) {
      P = group->GetTotalPoleCount();
      N = group->GetLuminaireCount();
    }
    const double n = device.lampCount;

    SL += N * Money(device.luminairePrice);
    if (!device.IsLed()) {
      SS += n * N * Money(device.lampPrice);
      const double replaced = n * N * (Money(device.lampPrice) + Money(device.lampReplacementCost));
      // A lamp that never wears out costs nothing to replace; one with no life at all cannot be costed.
      SR += device.lampLife > 0 ? replaced / device.lampLife : replaced == 0 ? 0 : kNotAvailable;
    }
    SI += N * Money(device.installationCost);
    if (polesIncluded && pole) {
      SP += P * pole->GetPolePrice();
      SPI += P * pole->GetPoleMountPrice();
      if (bracketsIncluded) {
        SB += N * pole->GetBracketPrice();
        SBI += N * pole->GetBracketMountPrice();
      }
    }
    SW += n * N * device.lampPower * device.powerLossFactor;
    SC += N * Money(device.cleaningCost) * device.cleaningsPerYear;
  }

  SL = Round2(SL);
  SS = Round2(SS);
  SI = Round2(SI);
  SP = Round2(SP);
  SB = Round2(SB);
  SPI = Round2(SPI);
  SBI = Round2(SBI);
  const double CL = SL + SS + SI;
  const double CP = SP + SB + SPI + SBI;
  const double C = Round2(CL + CP);

  const double T = project->GetElectricityTariff();
  const double H = *project->GetHoursOfUse();
  const double OE = Round2(T * H * *project->GetNetworkLossFactor() * SW / 1000);
  const double OR = Round2(H * SR);
  const double OC = Round2(SC);
  const double OA = Round2(CL * *project->GetLuminaireAmortisation() + (SP + SPI) * *project->GetPoleAmortisation() +
                           (SB + SBI) * *project->GetBracketAmortisation());
  const double O = Round2(OE + OR + OC + OA);
  const double full = Round2(Round2(*project->GetCapitalEfficiency() * C) + O);
  return tag_AREA_COSTS{C, CL, CP, O, OE, OR, OC, OA, full};
}

}  // namespace Economics
