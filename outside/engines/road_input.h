// The straight road as the engine's input file describes it: which elements take part, the cross-section, the
// maintenance factor, one record per luminaire of a pole, the field length and the intensity table of each
// luminaire type.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "outside/engines/intensity_table.h"

namespace Engines {

enum class Mounting : unsigned { Pole = 0, Mast = 1, FloorLamp = 2 };
enum class Arrangement : unsigned { OneSidedRight = 0, OneSidedLeft = 1, TwoSided = 2, Staggered = 3, Central = 4,
                                    Suspended = 5 };

struct LuminaireRecord {
  Mounting mounting = Mounting::Pole;
  Arrangement arrangement = Arrangement::OneSidedRight;
  double spacing = 0.0;         // along one side of the carriageway
  double height = 0.0;          // light centre above the road surface
  double outreach = 0.0;        // light centre to pole axis
  double setback = 0.0;         // carriageway edge to pole axis
  double tilt = 0.0;            // of the luminaire, degrees
  double rotation = 0.0;        // arm rotation + bracket rotation, degrees
  double aimTilt = 90.0;        // mast: tilt of the optical axis below the horizontal
  double aimTurn = 0.0;         // mast: turn of the optical axis from the bracket direction
  double luminaireTurn = 0.0;   // mast, floor lamp: turn about the optical axis
  unsigned mountNode = 0;       // floor lamp: 0 node below the luminaire, 1 above
  double offset = 0.0;          // of the group along the road
  unsigned type = 1;            // 1-based index into the types
};

struct StripInput {
  bool present = false;
  double width = 0.0;  // sidewalk width, or wall height
  double gap = 0.0;    // sidewalk: to the carriageway; wall: to the outer edge of the sidewalk (or carriageway)
};

struct StraightRoadInput {
  bool carriagewayTakesPart = false;
  std::string reflectionTablePath;
  unsigned surface = 0;
  bool twoWay = false;
  unsigned mainLanes = 0;
  double mainLaneWidth = 0.0;
  unsigned oppositeState = 1;  // 0: the opposite direction is calculated on its own
  unsigned oppositeLanes = 0;
  double oppositeLaneWidth = 0.0;
  bool divider = false;
  double dividerWidth = 0.0;
  bool parapet = false;
  double parapetWidth = 0.0;
  double parapetHeight = 0.0;
  bool sidewalksTakePart = false;
  StripInput rightSidewalk, leftSidewalk;
  bool wallsTakePart = false;
  StripInput rightWall, leftWall;
  double maintenanceFactor = 1.0;
  unsigned maxAngleCount = 0;  // N3
  unsigned maxPlaneCount = 0;  // N4
  std::vector<LuminaireRecord> luminaires;
  double fieldLength = 0.0;  // Q: spacing of the first group
  std::vector<IntensityTable> types;

  bool OppositeSeparate() const { return twoWay && oppositeState == 0; }
  bool RightSidewalk() const { return sidewalksTakePart && rightSidewalk.present; }
  bool LeftSidewalk() const { return sidewalksTakePart && leftSidewalk.present; }
  bool RightWall() const { return wallsTakePart && rightWall.present; }
  bool LeftWall() const { return wallsTakePart && leftWall.present; }
};

// Limits that keep a damaged file from asking for absurd amounts of memory or time.
inline constexpr unsigned kMaxLanes = 64;
inline constexpr unsigned kMaxLuminaireRecords = 10000;
inline constexpr unsigned kMaxTableAxis = 100000;
inline constexpr double kMaxLength = 10000.0;  // metres, for every width, height, spacing and offset

// Reads the whole input; on failure returns nothing and says what was wrong and on which line.
std::optional<StraightRoadInput> ParseStraightRoadInput(std::string_view text, std::string* error);

}  // namespace Engines
