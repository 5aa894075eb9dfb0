// The wizard's number texts. They are shared with the settings dialog, the report and the graphics legend, which
// sit below the wizard, so they are defined in the model and the wizard takes them from there.
#pragma once

#include "model/number_text.h"
