// The host's side of the engine, as an outside program has it: the library
// loaded with dlopen, its exports found by their plain names, the host's
// own context and parameter block.
#pragma once
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>
#include <string>

#include "merrodataengine/api/engine_context.h"

namespace engine_test {

using Export = int (*)(EngineContext*);

inline void* Library() {
  static void* lib = [] {
    const std::string path = std::string(getenv("QUARVEL_BIN")) + "/libMerroDataEngine.so";
    void* h = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    EXPECT_NE(h, nullptr) << dlerror();
    return h;
  }();
  return lib;
}

inline Export Get(const char* name) {
  Export f = reinterpret_cast<Export>(dlsym(Library(), name));
  EXPECT_NE(f, nullptr) << name;
  return f;
}

inline int Call(const char* name, EngineContext* c) { return Get(name)(c); }

// The host's records: a valid context (before On_Init) and one block.
struct Host {
  EngineParams params{};
  EngineParams* current = &params;
  EngineContext context{};
  explicit Host(const char* folder = "data") {
    context.strDataFolder = folder;
    context.strRequired1 = "one";
    context.strRequired2 = "two";
    context.strRequired3 = "three";
    context.strReserved = "kept";
    context.nActive = 1;
    context.nPoolSize = 2;
    context.ppParams = &current;
  }
};

inline std::string Snapshot(const EngineContext& c, const EngineParams& p) {
  std::ostringstream s;
  s << c.strDataFolder << "|" << c.nState << "|" << c.strRequired1 << "|" << c.strRequired2 << "|"
    << c.strRequired3 << "|" << c.nZero << "|" << c.strCurrentDir << "|" << c.strReserved << "|" << c.nActive << "|"
    << c.nToken << "|" << c.nPoolSize << "|" << c.ppParams << "||" << p.nSlot00 << "|" << p.nSlot04 << "|"
    << p.nSlot08 << "|" << p.nSlot0C << "|" << p.dSlot10 << "|" << p.dSlot18 << "|" << p.dSlot20 << "|"
    << p.pSlot28 << "|" << p.nSlot2C << "|" << p.nSlot30 << "|" << p.strSlot34 << "|" << p.strSlot38 << "|"
    << p.strSlot3C;
  return s.str();
}

}  // namespace engine_test
