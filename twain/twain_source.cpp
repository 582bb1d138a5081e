// TTwainSource: opening and closing, switching on and off, the driver's
// condition, capabilities.
#include <algorithm>
#include <clocale>
#include <cstring>
#include <iterator>

#include "twain/twain_link.h"

namespace {

// TW_BOOL as the component writes it: every bit set for true.
constexpr TW_BOOL kTrue = 0xFFFF;

// The driver's condition code for a refused capability request.
struct ConditionResult {
  TW_UINT16 condition;
  CapabilityResult result;
};
const ConditionResult kConditionResults[] = {
    {TWCC_CAPUNSUPPORTED, CapNotSupported}, {TWCC_CAPBADOPERATION, CapBadOperation},
    {TWCC_CAPSEQERROR, CapSequenceError},   {TWCC_LOWMEMORY, CapLowMemory},
    {TWCC_SEQERROR, CapWrongState},
};

const TW_UINT16 kQueryMessages[] = {MSG_GET, MSG_GETCURRENT, MSG_GETDEFAULT, MSG_RESET};

template <class T>
T Read(const void* p) {
  T v;
  memcpy(&v, p, sizeof v);
  return v;
}

char DecimalSeparator() {
  const lconv* l = localeconv();
  return l && l->decimal_point && l->decimal_point[0] ? l->decimal_point[0] : '.';
}

}  // namespace

TTwainSource::TTwainSource(TTwainLink* owner) : TTwainIdentity(owner), owner_(owner) {}

TTwainSource::~TTwainSource() { CloseSource(); }

TW_UINT16 TTwainSource::Call(TW_UINT32 dg, TW_UINT16 dat, TW_UINT16 msg, TW_MEMREF data) {
  return owner_->Entry(Record(), dg, dat, msg, data);
}

TW_UINT16 TTwainSource::CallManager(TW_UINT16 msg) {
  return owner_->Entry(nullptr, DG_CONTROL, DAT_IDENTITY, msg, Record());
}

// ---- open, closed, on, off ----

void TTwainSource::SetLoaded(bool value) {
  if (value == loaded_) return;
  if (value)
    OpenSource();
  else
    CloseSource();
}

bool TTwainSource::OpenSource() {
  if (loaded_) return true;
  if (CallManager(MSG_OPENDS) != TWRC_SUCCESS) return false;
  ++owner_->openSourceCount_;
  loaded_ = true;
  return true;
}

bool TTwainSource::CloseSource() {
  if (!loaded_) return true;
  SwitchOff();
  const bool closed = CallManager(MSG_CLOSEDS) == TWRC_SUCCESS;
  if (closed && loaded_) --owner_->openSourceCount_;
  loaded_ = false;
  return closed;
}

void TTwainSource::SetSwitchedOn(bool value) {
  if (!loaded_ || value == switchedOn_) return;
  if (value)
    SwitchOn(ShowUI, ModalUI);
  else
    SwitchOff();
}

bool TTwainSource::SwitchOn(bool showUI, bool modalUI) {
  if (!loaded_) return switchedOn_;
  if (switchedOn_) return true;
  TW_USERINTERFACE ui{};
  ui.ShowUI = showUI ? kTrue : 0;
  ui.ModalUI = modalUI ? kTrue : 0;
  ui.hParent = reinterpret_cast<TW_HANDLE>(uintptr_t(owner_->virtualWindow_));
  // Marked first, so that what the driver posts meanwhile already reaches
  // the source.
  switchedOn_ = true;
  const TW_UINT16 rc = Call(DG_CONTROL, DAT_USERINTERFACE, MSG_ENABLEDS, &ui);
  if (rc == TWRC_SUCCESS || rc == TWRC_CHECKSTATUS) return true;
  switchedOn_ = false;  // the driver is not on: nothing will come from it
  return false;
}

bool TTwainSource::SwitchOff() {
  if (!loaded_ || !switchedOn_) {
    switchedOn_ = false;
    return true;
  }
  TW_USERINTERFACE ui{};
  ui.hParent = reinterpret_cast<TW_HANDLE>(uintptr_t(owner_->virtualWindow_));
  if (Call(DG_CONTROL, DAT_USERINTERFACE, MSG_DISABLEDS, &ui) >= TWRC_CANCEL) return false;
  switchedOn_ = false;
  owner_->Raise(owner_->OnSourceDisable, owner_, Index);
  return true;
}

TW_UINT16 TTwainSource::GetConditionCode() {
  if (!loaded_) return 0;
  TW_STATUS status{};
  return Call(DG_CONTROL, DAT_STATUS, MSG_GET, &status) == TWRC_SUCCESS ? status.ConditionCode : TW_UINT16(0);
}

// ---- capabilities ----

CapabilityResult TTwainSource::ResultOf(TW_UINT16 rc) {
  if (rc == TWRC_SUCCESS) return CapOk;
  const TW_UINT16 condition = GetConditionCode();
  for (const ConditionResult& c : kConditionResults)
    if (c.condition == condition) return c.result;
  return CapBadOperation;
}

CapabilityResult TTwainSource::GetCapability(TW_UINT16 cap, CapabilityQuery query, HGLOBAL* container,
                                             TW_UINT16* containerType) {
  if (!loaded_) return CapWrongState;
  if (unsigned(query) >= std::size(kQueryMessages)) return CapBadOperation;
  TW_CAPABILITY c{cap, TWON_DONTCARE16, nullptr};
  const CapabilityResult r = ResultOf(Call(DG_CONTROL, DAT_CAPABILITY, kQueryMessages[query], &c));
  if (r == CapOk) {
    if (container) *container = c.hContainer;
    if (containerType) *containerType = c.ConType;
  }
  return r;
}

CapabilityResult TTwainSource::SetCapability(TW_UINT16 cap, TW_UINT16 containerType, HGLOBAL container) {
  if (!loaded_) return CapWrongState;
  TW_CAPABILITY c{cap, containerType, container};
  return ResultOf(Call(DG_CONTROL, DAT_CAPABILITY, MSG_SET, &c));
}

CapabilityResult TTwainSource::SetOneValue(TW_UINT16 cap, TW_UINT16 itemType, const void* value) {
  const int size = TwainItemSize(itemType);
  HGLOBAL block = GlobalAlloc(GHND, size_t(std::max(size, 4) + 2));
  if (!block) return CapLowMemory;
  auto* one = static_cast<BYTE*>(GlobalLock(block));
  memcpy(one, &itemType, sizeof itemType);
  if (size > 0 && value) memcpy(one + sizeof itemType, value, size_t(size));
  GlobalUnlock(block);
  const CapabilityResult r = SetCapability(cap, TWON_ONEVALUE, block);
  GlobalFree(block);
  return r;
}

CapabilityResult TTwainSource::GetEnumeration(TW_UINT16 cap, CapabilityQuery query, TW_UINT16* itemType,
                                              int* current, int* defaultIndex, std::vector<AnsiString>* list) {
  HGLOBAL container = nullptr;
  TW_UINT16 type = 0;
  const CapabilityResult r = GetCapability(cap, query, &container, &type);
  if (r != CapOk) return r;
  if (type != TWON_ENUMERATION) {
    GlobalFree(container);
    return CapWrongContainer;
  }
  constexpr size_t kHead = offsetof(TW_ENUMERATION, ItemList);
  const size_t bytes = GlobalSize(container);
  const auto* p = static_cast<const BYTE*>(GlobalLock(container));
  if (!p || bytes < kHead) {
    if (p) GlobalUnlock(container);
    GlobalFree(container);
    return CapBadOperation;
  }
  const TW_UINT16 items = Read<TW_UINT16>(p + offsetof(TW_ENUMERATION, ItemType));
  const size_t size = size_t(TwainItemSize(items));
  // No more items than the container holds (an item without size counts as
  // one byte, so a wild count cannot make a wild list either).
  const size_t count = std::min<size_t>(Read<TW_UINT32>(p + offsetof(TW_ENUMERATION, NumItems)),
                                        (bytes - kHead) / std::max<size_t>(size, 1));
  if (itemType) *itemType = items;
  if (current) *current = int(Read<TW_UINT32>(p + offsetof(TW_ENUMERATION, CurrentIndex)));
  if (defaultIndex) *defaultIndex = int(Read<TW_UINT32>(p + offsetof(TW_ENUMERATION, DefaultIndex)));
  if (list) {
    list->clear();
    for (size_t k = 0; k < count; ++k) list->push_back(ItemToString(items, p + kHead + k * size));
  }
  GlobalUnlock(container);
  GlobalFree(container);
  return CapOk;
}

AnsiString TTwainSource::ItemToString(TW_UINT16 itemType, const void* item) const {
  if (!item) return {};
  switch (itemType) {
    case TWTY_INT8:
      return IntToStr(Read<TW_INT8>(item));
    case TWTY_UINT8:
      return IntToStr(Read<TW_UINT8>(item));
    case TWTY_INT16:
      return IntToStr(Read<TW_INT16>(item));
    case TWTY_UINT16:
    case TWTY_BOOL:
      return IntToStr(Read<TW_UINT16>(item));
    case TWTY_INT32:
      return IntToStr(Read<TW_INT32>(item));
    case TWTY_UINT32:
      return IntToStr(Read<TW_UINT32>(item));
    case TWTY_FIX32: {
      // The raw fraction, as the component has always shown it.
      const TW_FIX32 f = Read<TW_FIX32>(item);
      return IntToStr(f.Whole) + DecimalSeparator() + IntToStr(f.Frac);
    }
    case TWTY_STR32:
    case TWTY_STR64:
    case TWTY_STR128:
    case TWTY_STR255: {
      const char* s = static_cast<const char*>(item);
      return AnsiString(s, strnlen(s, size_t(TwainItemSize(itemType))));
    }
    default:
      return {};
  }
}

template <class E>
CapabilityResult TTwainSource::GetMapped(TW_UINT16 cap, int other, E* value, vcl::EnumSet<E>* supported,
                                         CapabilityQuery query) {
  TW_UINT16 type = 0;
  int current = 0, defaultIndex = 0;
  std::vector<AnsiString> items;
  const CapabilityResult r = GetEnumeration(cap, query, &type, &current, &defaultIndex, &items);
  if (r != CapOk) return r;
  if (type != TWTY_UINT16) return CapNotSupported;
  std::vector<E> mapped;
  for (const AnsiString& item : items) {
    const int v = StrToIntDef(item, -1);
    mapped.push_back(E(v >= 0 && v < other ? v : other));
    if (supported) *supported << mapped.back();
  }
  const int at = query == CapQueryDefault ? defaultIndex : current;
  if (at < 0 || at >= int(mapped.size())) return CapBadOperation;  // an index past the items
  if (value) *value = mapped[size_t(at)];
  return CapOk;
}

CapabilityResult TTwainSource::GetUnits(TTwainUnit* value, TTwainUnits* supported, CapabilityQuery query) {
  return GetMapped(ICAP_UNITS, tuOther, value, supported, query);
}

CapabilityResult TTwainSource::GetPixelFlavor(TTwainPixelFlavor* value, TTwainPixelFlavors* supported,
                                              CapabilityQuery query) {
  return GetMapped(ICAP_PIXELFLAVOR, tpfOther, value, supported, query);
}

CapabilityResult TTwainSource::SetXResolution(double value) {
  const TW_FIX32 v = FloatToFix32(value);
  return SetOneValue(ICAP_XRESOLUTION, TWTY_FIX32, &v);
}

CapabilityResult TTwainSource::SetYResolution(double value) {
  const TW_FIX32 v = FloatToFix32(value);
  return SetOneValue(ICAP_YRESOLUTION, TWTY_FIX32, &v);
}
