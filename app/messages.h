// The main frame's private window messages. The parts below the shell send them too, so the table itself is
// kept with the model's view of the shell.
#pragma once

#include "model/shell/window_messages.h"
