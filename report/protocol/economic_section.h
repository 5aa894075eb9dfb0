// The economic section of the calculation protocol: the project's economic inputs, the cost data of every
// switched-on group of the active area, and the capital, operating and total annual costs with their breakdown.
// A straight road is costed per kilometre of road, an open site or interchange as it stands.
#pragma once

class CRTFWriter;
struct IQorRoadDoc;

// The sums of one section, in currency units; the totals as the section prints them.
struct EconomicTotals {
  double luminaires = 0;             // C_lum
  double lamps = 0;                  // C_lamp
  double luminaireInstallation = 0;  // C_lumInst
  double poles = 0;                  // C_pole
  double brackets = 0;               // C_bracket
  double poleInstallation = 0;       // C_poleInst
  double bracketInstallation = 0;    // C_bracketInst
  double equipment = 0;              // K_equipment
  double installation = 0;           // K_installation
  double capital = 0;                // K
  double electricity = 0;            // E_el
  double lampReplacement = 0;        // E_lamp
  double cleaning = 0;               // E_clean
  double amortisation = 0;           // E_amort
  double operating = 0;              // E
  double annual = 0;                 // Q
};

// Writes into the open writer; a closed writer gets nothing. Answers the totals it printed.
EconomicTotals WriteEconomicSection(IQorRoadDoc* document, CRTFWriter& writer);
