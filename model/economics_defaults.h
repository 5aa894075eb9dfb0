// The project's default economic figures as the price database gives them. Kept apart from the project so that
// this file needs no date type: the framework's date header and the COM variant header both declare the
// default locale.
#pragma once

#include "model/doc_interface.h"

#include <cstdint>

namespace ObjectModel {

// The fields the project fills; each getter that answers S_OK replaces its field, the others stay.
struct ProjectEconomics {
  std::int32_t* tariffHundredths;
  int* hoursOfUse;
  double* capitalEfficiency;
  double* networkLossFactor;
  double* luminaireAmortisation;
  double* poleAmortisation;
  double* bracketAmortisation;
};

// False when the document does not answer the price database. A failing getter throws the COM error; the fields
// filled before it keep their new values.
bool AskProjectEconomics(IQorRoadDoc* document, const ProjectEconomics& fields);

}  // namespace ObjectModel
