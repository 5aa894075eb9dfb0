// The cost estimate of one area: capital cost of its lighting installation and its annual operating cost, from the
// project's economic parameters, the luminaire record of every switched-on group and the prices of each group's
// first pole. Counts are per kilometre on a straight road and the whole installation elsewhere.
#pragma once

struct IArea;
struct IProject;

namespace Economics {

// Money in currency units per installation (capital) or per year (operating). A figure that cannot be computed
// (a straight-road group with a spacing of 0, a lamp life of 0) is NaN; the table shows it as not available.
struct tag_AREA_COSTS {
  double capital;
  double capitalLuminaires;  // luminaires, lamps and their installation
  double capitalPoles;       // poles, brackets and their installation
  double operating;
  double electricity;
  double lampReplacement;
  double cleaning;
  double amortisation;
  double fullAnnual;
};

// Reads the project and the area and changes nothing.
tag_AREA_COSTS ComputeAreaCosts(IProject* project, IArea* area);

// The record's figures in its order, for the table's rows 1 to 9.
inline constexpr int kCostFigures = 9;
inline double CostFigure(const tag_AREA_COSTS& costs, int index)
{
  const double figures[kCostFigures] = {costs.capital,         costs.capitalLuminaires, costs.capitalPoles,
                                        costs.operating,       costs.electricity,       costs.lampReplacement,
                                        costs.cleaning,        costs.amortisation,      costs.fullAnnual};
  return index >= 0 && index < kCostFigures ? figures[index] : 0.0;
}

}  // namespace Economics
