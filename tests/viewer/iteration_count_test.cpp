#include <gtest/gtest.h>

#include "reiterate.h"

namespace {

TEST(IterationCountFromText, FollowsTheSpinBoxRules) {
  const struct {
    const char* text;
    int count;
  } cases[] = {{"8", 8},
               {"1", 1},
               {"32", 32},
               {"50", 32},
               {"0", 1},
               {"-7", 1},
               {"abc", 1},
               {"", 1},
               {" 12 ", 12},
               {"3x", 1},
               {"99999999999999999999", 32},
               {"-99999999999999999999", 1}};
  for (const auto& c : cases)
    EXPECT_EQ(IterationCountFromText(c.text), c.count) << c.text;
}

}  // namespace
