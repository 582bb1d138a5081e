#include "platform/twain_dsm/containers.h"

#include <cmath>
#include <cstring>

namespace twain_dsm {

namespace {

const size_t kItemSizes[] = {1, 2, 4, 1, 2, 4, 2, 4, 16, 34, 66, 130, 256, 1026, 1024};

void PutItem(uint8_t* at, TW_UINT16 type, uint32_t item) { memcpy(at, &item, ItemSize(type)); }

uint32_t GetItem(const uint8_t* at, TW_UINT16 type) {
  uint32_t item = 0;
  memcpy(&item, at, ItemSize(type));
  return item;
}

uint32_t IndexOf(const std::vector<uint32_t>& items, uint32_t v) {
  for (size_t i = 0; i < items.size(); ++i)
    if (items[i] == v) return uint32_t(i);
  return 0;
}

bool SmallItem(TW_UINT16 type) { return ItemSize(type) > 0 && ItemSize(type) <= 4; }

}  // namespace

size_t ItemSize(TW_UINT16 itemType) {
  return itemType < sizeof kItemSizes / sizeof kItemSizes[0] ? kItemSizes[itemType] : 0;
}

uint32_t Fix32Item(double value) {
  int32_t v = int32_t(std::lround(value * 65536.0));
  TW_FIX32 f{TW_INT16(v >> 16), TW_UINT16(v & 0xFFFF)};
  uint32_t item;
  memcpy(&item, &f, sizeof f);
  return item;
}

double Fix32Value(uint32_t item) {
  TW_FIX32 f;
  memcpy(&f, &item, sizeof f);
  return f.Whole + f.Frac / 65536.0;
}

int64_t ItemNumber(TW_UINT16 itemType, uint32_t item) {
  switch (itemType) {
    case TWTY_INT8:
      return int8_t(item);
    case TWTY_INT16:
      return int16_t(item);
    case TWTY_INT32:
      return int32_t(item);
    default:
      return item;
  }
}

HGLOBAL MakeOneValue(TW_UINT16 itemType, uint32_t item) {
  HGLOBAL h = GlobalAlloc(GHND, sizeof(TW_ONEVALUE));
  if (!h) return nullptr;
  auto* one = static_cast<TW_ONEVALUE*>(GlobalLock(h));
  one->ItemType = itemType;
  PutItem(reinterpret_cast<uint8_t*>(&one->Item), itemType, item);
  GlobalUnlock(h);
  return h;
}

HGLOBAL MakeContainer(const CapValues& v) {
  const size_t size = ItemSize(v.itemType);
  switch (v.conType) {
    case TWON_ONEVALUE:
      return MakeOneValue(v.itemType, v.current);
    case TWON_RANGE: {
      HGLOBAL h = GlobalAlloc(GHND, sizeof(TW_RANGE));
      if (!h) return nullptr;
      auto* r = static_cast<TW_RANGE*>(GlobalLock(h));
      r->ItemType = v.itemType;
      r->MinValue = v.items.size() > 0 ? v.items[0] : 0;
      r->MaxValue = v.items.size() > 1 ? v.items[1] : 0;
      r->StepSize = v.items.size() > 2 ? v.items[2] : 0;
      r->DefaultValue = v.def;
      r->CurrentValue = v.current;
      GlobalUnlock(h);
      return h;
    }
    case TWON_ENUMERATION: {
      HGLOBAL h = GlobalAlloc(GHND, offsetof(TW_ENUMERATION, ItemList) + v.items.size() * size);
      if (!h) return nullptr;
      auto* e = static_cast<TW_ENUMERATION*>(GlobalLock(h));
      e->ItemType = v.itemType;
      e->NumItems = TW_UINT32(v.items.size());
      e->CurrentIndex = IndexOf(v.items, v.current);
      e->DefaultIndex = IndexOf(v.items, v.def);
      for (size_t i = 0; i < v.items.size(); ++i) PutItem(e->ItemList + i * size, v.itemType, v.items[i]);
      GlobalUnlock(h);
      return h;
    }
    case TWON_ARRAY: {
      HGLOBAL h = GlobalAlloc(GHND, offsetof(TW_ARRAY, ItemList) + v.items.size() * size);
      if (!h) return nullptr;
      auto* a = static_cast<TW_ARRAY*>(GlobalLock(h));
      a->ItemType = v.itemType;
      a->NumItems = TW_UINT32(v.items.size());
      for (size_t i = 0; i < v.items.size(); ++i) PutItem(a->ItemList + i * size, v.itemType, v.items[i]);
      GlobalUnlock(h);
      return h;
    }
    default:
      return nullptr;
  }
}

bool ReadSetValue(TW_UINT16 conType, HGLOBAL container, TW_UINT16* itemType, uint32_t* item) {
  const size_t have = GlobalSize(container);
  const auto* base = static_cast<const uint8_t*>(GlobalLock(container));
  if (!base || have < 2) {
    if (base) GlobalUnlock(container);
    return false;
  }
  TW_UINT16 type;
  memcpy(&type, base, sizeof type);
  bool ok = SmallItem(type);
  if (ok) {
    switch (conType) {
      case TWON_ONEVALUE:
        ok = have >= 2 + ItemSize(type);
        if (ok) *item = GetItem(base + 2, type);
        break;
      case TWON_RANGE:
        ok = have >= sizeof(TW_RANGE);
        if (ok) *item = GetItem(base + offsetof(TW_RANGE, CurrentValue), type);
        break;
      case TWON_ENUMERATION: {
        const size_t head = offsetof(TW_ENUMERATION, ItemList);
        ok = have >= head;
        if (!ok) break;
        TW_UINT32 count, current;
        memcpy(&count, base + offsetof(TW_ENUMERATION, NumItems), sizeof count);
        memcpy(&current, base + offsetof(TW_ENUMERATION, CurrentIndex), sizeof current);
        ok = current < count && (have - head) / ItemSize(type) > current;
        if (ok) *item = GetItem(base + head + size_t(current) * ItemSize(type), type);
        break;
      }
      default:
        ok = false;
    }
  }
  GlobalUnlock(container);
  if (ok) *itemType = type;
  return ok;
}

}  // namespace twain_dsm
