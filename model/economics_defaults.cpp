#include "model/economics_defaults.h"

#include "model/identifiers.h"
#include "model/servers.h"
#include "outside/servers/iprice_database.h"

namespace ObjectModel {

bool AskProjectEconomics(IQorRoadDoc* document, const ProjectEconomics& f)
{
  ServerRef<IPriceDatabase> prices(document, IID_IPriceDatabase);
  if (!prices)
    return false;
  LONG whole = 0;
  if (ComCheck(prices->GetDefaultTariff(&whole)) == S_OK)
    *f.tariffHundredths = whole;
  if (ComCheck(prices->GetDefaultHours(&whole)) == S_OK)
    *f.hoursOfUse = whole;
  ComCheck(prices->GetDefaultEfficiency(f.capitalEfficiency));
  ComCheck(prices->GetDefaultNetworkLoss(f.networkLossFactor));
  ComCheck(prices->GetDefaultLuminaireAmortisation(f.luminaireAmortisation));
  ComCheck(prices->GetDefaultPoleAmortisation(f.poleAmortisation));
  ComCheck(prices->GetDefaultBracketAmortisation(f.bracketAmortisation));
  return true;
}

}  // namespace ObjectModel
