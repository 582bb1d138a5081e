#include "platform/win/timing.h"

#include <chrono>
#include <thread>
#include <time.h>

void Sleep(DWORD ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

DWORD GetTickCount() {
  timespec t{};
  clock_gettime(CLOCK_MONOTONIC, &t);
  return DWORD(uint64_t(t.tv_sec) * 1000 + uint64_t(t.tv_nsec) / 1000000);
}
