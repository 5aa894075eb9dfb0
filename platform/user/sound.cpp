// PlaySound without a sound device.
#include "platform/user/sound.h"

BOOL PlaySound(LPCSTR sound, HMODULE, DWORD flags)
{
  // Stopping what plays is always done: nothing does.
  if (sound == nullptr || (flags & SND_PURGE) != 0) {
    return TRUE;
  }
  return FALSE;
}
