// After the last test, the forms and Qt end as the programs end them before
// they return: a web view's engine must not outlive the libraries at exit.
#pragma once
#include <gtest/gtest.h>

#include "platform/vcl/forms.h"

namespace test {

class EndApplication : public ::testing::Environment {
 public:
  void TearDown() override {
    delete Application;
    Application = nullptr;
  }
};

inline ::testing::Environment* const kEndApplication = ::testing::AddGlobalTestEnvironment(new EndApplication);

}  // namespace test
