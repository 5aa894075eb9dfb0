// Small helpers the fill and the commit of the parameters pane share.
#pragma once

#include "model/cguid.h"
#include "model/class_obj_model.h"
#include "toolkit/propertygrid/item.h"

namespace VisualCtrl {

// The string-table text; empty for 0 or an id without a string.
CString LoadItemText(UINT id);

// Typical forms of an open site: a free site and a multi-level interchange have no form parameters.
inline constexpr int kFreeSiteForm = 0;
inline constexpr int kInterchangeForm = 8;
bool HasFormParameters(int form);

// The class is one of the areas.
bool IsAreaClass(const CGuid& cls);

// The area is a multi-level interchange.
bool IsInterchange(IModelUnknown* area);

// A list item's chosen entry, and showing another entry as chosen (empty outside the list).
int ChosenIndex(const CTKPropertyGridItem* item);
void ShowIndex(CTKPropertyGridItem* item, int index);

// Coordinate and aim mode words of a pole: which entry modes are offered and which is chosen.
inline constexpr int kCartesianOffered = 0x1;
inline constexpr int kPolarOffered = 0x2;
inline constexpr int kCartesianChosen = 0x10;
inline constexpr int kPolarChosen = 0x20;
// The chosen mode's position among the offered ones; -1 when no offered mode is chosen.
int ChosenModeIndex(int flags);

// Radius and start angle (degrees in (-180, 180], counter-clockwise from x) of a pole on a circle, both rounded
// to 2 decimals as the pane shows them.
void CircleOfPole(const double* centre, const double* pole, double* radius, double* angle);

}  // namespace VisualCtrl
