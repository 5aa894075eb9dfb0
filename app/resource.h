// The program's resource and command names as the shell uses them.
#pragma once

#include "res/program_ids.h"

namespace ids = res::program;

// Ids the framework reserves that the program's resources do not name.
inline constexpr UINT kHelpCommand = 57670;
inline constexpr UINT kContextHelpCommand = 57669;
inline constexpr UINT kDefaultHelpCommand = 57671;
inline constexpr UINT kCustomizeCommand = 35001;
// The black-and-white copy of the view also answers this command, which no menu or bar of the program carries.
inline constexpr UINT kCopyScreenBlackWhiteCommand = 32976;

// Pane ids and their content windows' ids.
inline constexpr int kPaneObjects = 32769;
inline constexpr int kPaneParameters = 32770;
inline constexpr int kPaneLighting = 32774;
inline constexpr int kPaneEconomics = 32777;
inline constexpr UINT kTreeWindowId = 32771;
inline constexpr UINT kGridWindowId = 32772;
inline constexpr UINT kReportChildId = 32775;

// Bars.
inline constexpr UINT kProjectBarId = 130;
inline constexpr UINT kCalcModeControl = 32996;
