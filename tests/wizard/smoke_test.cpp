#include "wizard/wizard.h"
#include <gtest/gtest.h>
TEST(WizardSmoke, Links) { SUCCEED(); }
