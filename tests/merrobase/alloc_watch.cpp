#include "alloc_watch.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace {
std::atomic<long> g_live{0};
std::atomic<void*> g_watched{nullptr};
std::atomic<bool> g_freed{false};
}  // namespace

// Every form the libraries may use, the nothrow ones included: a form left
// out would come from the C++ runtime (or a sanitizer's), which neither
// counts its blocks nor pairs with the free below.
void* operator new(std::size_t n, const std::nothrow_t&) noexcept {
  void* p = std::malloc(n ? n : 1);
  if (p) ++g_live;
  return p;
}

void* operator new(std::size_t n) {
  void* p = operator new(n, std::nothrow);
  if (!p) throw std::bad_alloc();
  return p;
}

void* operator new[](std::size_t n) { return operator new(n); }
void* operator new[](std::size_t n, const std::nothrow_t&) noexcept { return operator new(n, std::nothrow); }

void operator delete(void* p) noexcept {
  if (!p) return;
  if (p == g_watched.load()) g_freed = true;
  --g_live;
  std::free(p);
}

void operator delete(void* p, std::size_t) noexcept { operator delete(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { operator delete(p); }
void operator delete[](void* p) noexcept { operator delete(p); }
void operator delete[](void* p, std::size_t) noexcept { operator delete(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { operator delete(p); }

long LiveBlocks() { return g_live; }

AllocWatch::AllocWatch(void* block) {
  g_freed = false;
  g_watched = block;
}
AllocWatch::~AllocWatch() { g_watched = nullptr; }
bool AllocWatch::Freed() const { return g_freed; }
