// Inside the window system: keyboard layouts and the text the screen typed with a key.
#pragma once

#include "platform/base/wintypes.h"
#include "platform/user/system.h"

#include <optional>
#include <string>

namespace user::detail {

// The cp1251 character a key gives on a layout with the key state `keys`, or 0.
int CharOfKey(HKL layout, UINT vk, const BYTE* keys);
// The layout in force; the screen switches it as the user switches the screen's layout.
HKL ActiveLayout();

// Every key down as queued, in order, with the text the screen typed with it (unset: the layout decides).
// Keys are taken in the order queued; the one a thread took last is what its TranslateMessage may be asked about.
void KeyDownQueued(const MSG& message, std::optional<std::string> cp1251);
// With the key down as taken from the queue.
void KeyDownTaken(const MSG& message);

}  // namespace user::detail
