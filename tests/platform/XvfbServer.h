#pragma once

// The X server the window tests talk to: the one in DISPLAY when it answers
// (the test script starts one), otherwise an Xvfb of the test program's own,
// started on a free display and ended with the program. A missing Xvfb
// fails the tests rather than skipping them.

#include <gtest/gtest.h>

#include <sys/types.h>

namespace sorvano::test {

class XvfbServer : public ::testing::Environment {
public:
  void SetUp() override;
  void TearDown() override;

private:
  pid_t mServer = -1;
};

}  // namespace sorvano::test
