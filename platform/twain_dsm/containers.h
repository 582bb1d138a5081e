// Capability containers in global memory, as TWAIN passes them: the source
// allocates what it answers (the application frees it), the application
// allocates what it sets. Items here are at most 4 bytes, held as the
// little-endian number their bytes make.
#pragma once
#include "platform/globalmem.h"
#include "twain/twain.h"

#include <cstdint>
#include <vector>

namespace twain_dsm {

// Bytes of one item of the type; 0 for an unknown type.
size_t ItemSize(TW_UINT16 itemType);

// A TW_FIX32 as item bytes, rounded to the nearest 1/65536.
uint32_t Fix32Item(double value);
double Fix32Value(uint32_t item);
// An item of a signed type as a number (INT8, INT16, INT32); others unsigned.
int64_t ItemNumber(TW_UINT16 itemType, uint32_t item);

// Everything a capability answers. For TWON_RANGE `items` holds minimum,
// maximum and step; for TWON_ENUMERATION and TWON_ARRAY the items
// themselves (current and default must be among an enumeration's items).
struct CapValues {
  TW_UINT16 itemType = TWTY_UINT16;
  TW_UINT16 conType = TWON_ONEVALUE;
  std::vector<uint32_t> items;
  uint32_t current = 0;
  uint32_t def = 0;
};

// NULL when memory is short.
HGLOBAL MakeContainer(const CapValues& v);
HGLOBAL MakeOneValue(TW_UINT16 itemType, uint32_t item);

// The value an application sets: a one-value's item, an enumeration's
// current item, a range's current value. False for a container that is
// malformed, shorter than it claims, or holds items of more than 4 bytes.
bool ReadSetValue(TW_UINT16 conType, HGLOBAL container, TW_UINT16* itemType, uint32_t* item);

}  // namespace twain_dsm
