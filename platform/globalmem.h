// Global memory blocks (GlobalAlloc and friends).
//
// Header-only on purpose: the TWAIN source manager, its sources and the sound
// code hand these blocks across module boundaries, and every module must agree
// on the layout. A block is one malloc'd piece: a small header holding its size
// and lock count, then the bytes. The handle is the address of the bytes, so
// GlobalLock gives back the handle itself and a block never moves.
#pragma once
#include "platform/windef.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

typedef void* HGLOBAL;
typedef size_t SIZE_T;

enum : UINT {
  GMEM_FIXED = 0x0000,
  GMEM_MOVEABLE = 0x0002,
  GMEM_ZEROINIT = 0x0040,
  GHND = GMEM_MOVEABLE | GMEM_ZEROINIT,
  GPTR = GMEM_FIXED | GMEM_ZEROINIT,
};

namespace globalmem_detail {

struct alignas(std::max_align_t) Header {
  SIZE_T size;
  uint32_t magic;
  uint32_t flags;
  int32_t locks;
};
constexpr uint32_t kLive = 0x474D454D;  // "GMEM"
constexpr uint32_t kFreed = 0x46524545;

// The header of a live block; NULL for NULL and, as far as the freed
// block's memory still tells, for a block freed already.
inline Header* Of(HGLOBAL h) {
  if (!h) return nullptr;
  Header* head = static_cast<Header*>(h) - 1;
  return head->magic == kLive ? head : nullptr;
}

}  // namespace globalmem_detail

// NULL when the memory cannot be had. A block of 0 bytes is still a block.
inline HGLOBAL GlobalAlloc(UINT flags, SIZE_T bytes) {
  using globalmem_detail::Header;
  if (bytes > SIZE_MAX - sizeof(Header)) return nullptr;
  void* raw = (flags & GMEM_ZEROINIT) ? calloc(1, sizeof(Header) + bytes) : malloc(sizeof(Header) + bytes);
  if (!raw) return nullptr;
  Header* head = static_cast<Header*>(raw);
  head->size = bytes;
  head->magic = globalmem_detail::kLive;
  head->flags = flags;
  head->locks = 0;
  return head + 1;
}

// NULL when freed (and for NULL); the handle itself when it is no live block.
inline HGLOBAL GlobalFree(HGLOBAL h) {
  globalmem_detail::Header* head = globalmem_detail::Of(h);
  if (!head) return h;
  head->magic = globalmem_detail::kFreed;
  free(head);
  return nullptr;
}

inline LPVOID GlobalLock(HGLOBAL h) {
  globalmem_detail::Header* head = globalmem_detail::Of(h);
  if (!head) return nullptr;
  if (head->flags & GMEM_MOVEABLE) ++head->locks;
  return h;
}

// TRUE while the block stays locked; FALSE once it is unlocked (fixed blocks
// are never locked).
inline BOOL GlobalUnlock(HGLOBAL h) {
  globalmem_detail::Header* head = globalmem_detail::Of(h);
  if (!head || head->locks == 0) return FALSE;
  return --head->locks > 0;
}

// 0 for no live block.
inline SIZE_T GlobalSize(HGLOBAL h) {
  globalmem_detail::Header* head = globalmem_detail::Of(h);
  return head ? head->size : 0;
}
