// The running test's own folder inside the test program's temporary folder.
#pragma once
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

// $QUARVEL_TEST_DIR/<suite>.<test>; empty outside scripts/test-env.
inline std::string ThisTestFolder() {
  const char* base = getenv("QUARVEL_TEST_DIR");
  if (!base) return "";
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  return std::string(base) + "/" + info->test_suite_name() + "." + info->name();
}
