#include "platform/pakrim/pakrim.h"

#include <gtest/gtest.h>

#include <dlfcn.h>

TEST(Pakrim, DisableTaskKeysDoesNothingAndSaysSo) {
  EXPECT_EQ(DisableTaskKeys(1, 23), 0);
  EXPECT_EQ(DisableTaskKeys(1, 23), 0);  // as often as it is called
}

TEST(Pakrim, TheLibraryExportsTheUndecoratedName) {
  void* lib = dlopen("libpakrim.so", RTLD_NOW);
  ASSERT_NE(lib, nullptr) << dlerror();
  auto f = reinterpret_cast<int (*)(int, int)>(dlsym(lib, "DisableTaskKeys"));
  ASSERT_NE(f, nullptr);
  EXPECT_EQ(f(1, 23), 0);
  dlclose(lib);
}
