#include <gtest/gtest.h>
#include "commands.h"
TEST(Qvetool, Usage) { Console c; EXPECT_EQ(2, RunQvetool({}, &c)); }
