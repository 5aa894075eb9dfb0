// Puts the outside servers' classes into the platform's table of in-process classes, so that the program creates
// them with CoCreateInstance as it created the outside components.
#pragma once

namespace qorsrv {

// The luminaire database and pole catalogue (QorSrv), the price database (QorEconomic) and the statistics server
// (QorStatcs). Registering again replaces the entries.
void RegisterServerClasses();

}  // namespace qorsrv
