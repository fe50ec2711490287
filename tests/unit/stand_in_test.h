// The fixture every test of code that talks to the platform stand-in uses:
// an empty script before each test, and after it every handle closed, the
// stand-in driven as WinInet must be, and any replaced entry of sys() put
// back.
#ifndef ZHILAN_TESTS_UNIT_STAND_IN_TEST_H_
#define ZHILAN_TESTS_UNIT_STAND_IN_TEST_H_

#include <gtest/gtest.h>

#include <string>

#include "platform/native/fake.h"

namespace zl::testing {

class StandInTest : public ::testing::Test {
 protected:
  void SetUp() override { fake::reset(); }
  void TearDown() override {
    expect_clean();
    fake::reset();
  }

  static void expect_clean() {
    EXPECT_EQ(fake::open_handles(), 0);
    for (const std::string& p : fake::problems()) ADD_FAILURE() << p;
  }
  // Between the rows of a table.
  static void next_case() {
    expect_clean();
    fake::reset();
  }

 private:
  ScopedSys restore_;
};

}  // namespace zl::testing

#endif  // ZHILAN_TESTS_UNIT_STAND_IN_TEST_H_
