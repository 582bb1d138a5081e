// A started engine on a valid context of the host's kind, ended when the
// object goes.
#pragma once
#include <gtest/gtest.h>

#include "merrodataengine/api/engine.h"

namespace engine_test {

struct Started {
  EngineParams params{};
  EngineParams* current = &params;
  EngineContext context{};
  explicit Started(const char* folder = "data", int poolSize = 2) {
    context.strDataFolder = folder;
    context.strRequired1 = context.strRequired2 = context.strRequired3 = "x";
    context.nActive = 1;
    context.nPoolSize = poolSize;
    context.ppParams = &current;
    EXPECT_EQ(On_Init(&context), 1);
  }
  ~Started() { On_Exit(&context); }
  Started(const Started&) = delete;
  Started& operator=(const Started&) = delete;
};

}  // namespace engine_test
