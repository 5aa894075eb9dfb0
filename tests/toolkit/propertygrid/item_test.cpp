#include "toolkit/propertygrid/item.h"

#include <gtest/gtest.h>

TEST(PropertyGridItem, Builds) { CTKPropertyGridItem item("a\nb"); EXPECT_EQ(CString("b"), item.GetDescription()); }
