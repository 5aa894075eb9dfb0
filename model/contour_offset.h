// The offset of one vertex of a closed outline or a polyline, shared by the dashed contour of a primitive and
// the contour placement of a group of poles: the vertex moved by distance d along the bisector of its two
// edges, far enough (the mitre length) that both offset edges keep distance d.
#pragma once

#include "model/ipole.h"

namespace ObjectModel {

// side: the stored contour side; 0 offsets a counter-clockwise outline outwards, anything else inwards.
// A vertex between collinear edges moves perpendicular to them; one where the outline doubles back moves by d
// along its incoming edge (beyond the tip outwards, back from it inwards) instead of to an infinite mitre.
// out: x and y set, z, flags and padding 0 (unless d is 0: then out is the vertex). Always answers 0.
int OffsetOutlineVertex(const _CSPOINT3D& prev, const _CSPOINT3D& cur, const _CSPOINT3D& next, double d, int side,
                        _CSPOINT3D* out);

}  // namespace ObjectModel
