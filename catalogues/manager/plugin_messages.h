// The catalogue manager's own messages, among its dialog and its two worker threads.
#pragma once

#include "platform/base/wintypes.h"

namespace ManagementPlugins {

inline constexpr UINT UM_PLUGINS_READINDEX = 0x821A;      // stop a running index thread, start it again
inline constexpr UINT UM_PLUGINS_STOPINDEX = 0x821B;      // stop a running index thread
inline constexpr UINT UM_PLUGINS_STATUS = 0x821C;         // lParam: text, or 0 for none
inline constexpr UINT UM_PLUGINS_PROGRESS = 0x821D;       // wParam: percent; outside 1..100 the bar is hidden
inline constexpr UINT UM_PLUGINS_PAINTINSTALLED = 0x821E;
inline constexpr UINT UM_PLUGINS_PAINTOFFERED = 0x821F;
inline constexpr UINT UM_PLUGINS_BUTTONS = 0x8220;
inline constexpr UINT UM_PLUGINS_STOPDOWNLOAD = 0x8221;
inline constexpr UINT UM_PLUGINS_DOWNLOAD = 0x8222;
inline constexpr UINT UM_PLUGINS_INSTALL = 0x8223;        // lParam: path of a catalogue file, or 0 to choose one
inline constexpr UINT UM_PLUGINS_ASKUPDATES = 0x8224;

// The index thread hands what it read to the dialog, so that only the dialog's thread touches the lists.
inline constexpr UINT UM_PLUGINS_CLEAROFFERED = 0x8230;
inline constexpr UINT UM_PLUGINS_ADDOFFERED = 0x8231;     // lParam: OfferedEntry*, the dialog takes it
inline constexpr UINT UM_PLUGINS_MARKUPDATE = 0x8232;     // lParam: const char* id of an installed catalogue

}  // namespace ManagementPlugins
