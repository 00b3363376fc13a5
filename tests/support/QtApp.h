#pragma once
// One Qt application for a whole test program, offscreen, with its settings in a throw-away
// profile. Call installQtApplication() from a static once per test program.

#include <gtest/gtest.h>

namespace velkor::test {

const ::testing::Environment* installQtApplication();

}  // namespace velkor::test
