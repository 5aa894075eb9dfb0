// Built when the engines are linked without a window system: they calculate but report nothing.
#include "outside/engines/window_host.h"

namespace Engines {

WindowMessenger* WindowSystemMessenger() { return nullptr; }

}  // namespace Engines
