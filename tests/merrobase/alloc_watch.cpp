#include "alloc_watch.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace {
std::atomic<long> g_live{0};
std::atomic<void*> g_watched{nullptr};
std::atomic<bool> g_freed{false};
}  // namespace

void* operator new(std::size_t n) {
  void* p = std::malloc(n ? n : 1);
  if (!p) throw std::bad_alloc();
  ++g_live;
  return p;
}

void operator delete(void* p) noexcept {
  if (!p) return;
  if (p == g_watched.load()) g_freed = true;
  --g_live;
  std::free(p);
}

void operator delete(void* p, std::size_t) noexcept { operator delete(p); }

long LiveBlocks() { return g_live; }

AllocWatch::AllocWatch(void* block) {
  g_freed = false;
  g_watched = block;
}
AllocWatch::~AllocWatch() { g_watched = nullptr; }
bool AllocWatch::Freed() const { return g_freed; }
