#pragma once

#include <gtest/gtest.h>

#include <string>

#include "platform/controls/Form.h"
#include "tests/support/ScreenCheck.h"

// Runs the screen check on a form in the state a test has brought it to; every fault it finds fails the
// test, named by that state.
inline platform::ScreenReport expectWhole(platform::Form& form, const std::string& state) {
  platform::ScreenReport report = platform::checkScreen(form);
  std::string faults;
  for (const std::string& f : report.faults) faults += "\n  " + f;
  EXPECT_TRUE(report.faults.empty()) << state << ":" << faults;
  return report;
}
