// Sounds. The program plays only the system's alias sounds of its menus, and this system has no sound device to
// play them on: PlaySound answers FALSE at once, whatever it is asked.
#pragma once

#include "platform/base/wintypes.h"

inline constexpr DWORD SND_SYNC = 0x00000000;
inline constexpr DWORD SND_ASYNC = 0x00000001;
inline constexpr DWORD SND_NODEFAULT = 0x00000002;
inline constexpr DWORD SND_MEMORY = 0x00000004;
inline constexpr DWORD SND_LOOP = 0x00000008;
inline constexpr DWORD SND_NOSTOP = 0x00000010;
inline constexpr DWORD SND_PURGE = 0x00000040;
inline constexpr DWORD SND_APPLICATION = 0x00000080;
inline constexpr DWORD SND_NOWAIT = 0x00002000;
inline constexpr DWORD SND_ALIAS = 0x00010000;
inline constexpr DWORD SND_FILENAME = 0x00020000;
inline constexpr DWORD SND_RESOURCE = 0x00040004;
inline constexpr DWORD SND_ALIAS_ID = 0x00110000;

// FALSE: nothing was played. A stop request (no sound, or SND_PURGE) has nothing to stop and answers TRUE.
BOOL PlaySound(LPCSTR sound, HMODULE module, DWORD flags);
inline BOOL PlaySoundA(LPCSTR sound, HMODULE module, DWORD flags) { return PlaySound(sound, module, flags); }
