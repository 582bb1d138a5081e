#include "platform/twain_dsm/capabilities.h"

#include "platform/twain_dsm/containers.h"

#include <algorithm>

namespace twain_dsm {

namespace {

typedef CapValues (*Getter)(const OpenSource&);
// Null for a capability the application cannot change.
typedef TW_UINT16 (*Setter)(OpenSource&, uint32_t item, TW_UINT16* cc);

TW_UINT16 Refuse(TW_UINT16 why, TW_UINT16* cc) {
  *cc = why;
  return TWRC_FAILURE;
}

CapValues List(TW_UINT16 itemType, std::vector<uint32_t> items, uint32_t current, uint32_t def) {
  return CapValues{itemType, TWON_ENUMERATION, std::move(items), current, def};
}

bool Among(const std::vector<uint32_t>& items, uint32_t v) {
  return std::find(items.begin(), items.end(), v) != items.end();
}

// -- resolution: the device's range or list, in dots per inch

CapValues Resolution(const OpenSource& s, Axis axis) {
  const Resolutions r = s.device->ResolutionChoices(axis);
  CapValues v;
  v.itemType = TWTY_FIX32;
  v.current = Fix32Item(s.device->Resolution(axis));
  v.def = Fix32Item(s.defaultResolution[int(axis)]);
  if (r.isRange) {
    v.conType = TWON_RANGE;
    v.items = {Fix32Item(r.min), Fix32Item(r.max), Fix32Item(r.step > 0 ? r.step : 1.0)};
  } else {
    v.conType = TWON_ENUMERATION;
    for (double d : r.list) v.items.push_back(Fix32Item(d));
    if (!Among(v.items, v.current)) v.items.push_back(v.current);
    if (!Among(v.items, v.def)) v.def = v.current;
  }
  return v;
}
CapValues XResolution(const OpenSource& s) { return Resolution(s, Axis::kX); }
CapValues YResolution(const OpenSource& s) { return Resolution(s, Axis::kY); }
TW_UINT16 SetXResolution(OpenSource& s, uint32_t item, TW_UINT16* cc) {
  return s.device->SetResolution(Axis::kX, Fix32Value(item), cc);
}
TW_UINT16 SetYResolution(OpenSource& s, uint32_t item, TW_UINT16* cc) {
  return s.device->SetResolution(Axis::kY, Fix32Value(item), cc);
}

// -- pixel type: what the device's scan modes give

CapValues PixelTypes(const OpenSource& s) {
  std::vector<uint32_t> items;
  for (TW_UINT16 t : s.device->PixelTypes()) items.push_back(t);
  return List(TWTY_UINT16, items, s.device->PixelType(), s.defaultPixelType);
}
TW_UINT16 SetPixelType(OpenSource& s, uint32_t item, TW_UINT16* cc) {
  if (!Among(PixelTypes(s).items, item)) return Refuse(TWCC_BADVALUE, cc);
  return s.device->SetPixelType(TW_UINT16(item), cc);
}

// -- what the source itself keeps

CapValues XferMech(const OpenSource& s) {
  return List(TWTY_UINT16, {TWSX_NATIVE, TWSX_FILE, TWSX_MEMORY}, s.xferMech, TWSX_NATIVE);
}
TW_UINT16 SetXferMech(OpenSource& s, uint32_t item, TW_UINT16* cc) {
  if (item > TWSX_MEMORY) return Refuse(TWCC_BADVALUE, cc);
  s.xferMech = TW_UINT16(item);
  return TWRC_SUCCESS;
}

// -1: every picture the source has, which for a flatbed is one.
CapValues XferCount(const OpenSource& s) {
  return CapValues{TWTY_INT16, TWON_ONEVALUE, {}, uint32_t(uint16_t(s.xferCount)), 0xFFFF};
}
TW_UINT16 SetXferCount(OpenSource& s, uint32_t item, TW_UINT16* cc) {
  const int16_t n = int16_t(item);
  if (n == 0 || n < -1) return Refuse(TWCC_BADVALUE, cc);
  s.xferCount = n;
  return TWRC_SUCCESS;
}

// Resolutions are in inches, pixels chocolate and never compressed: the only
// choice there is can be set, any other is refused.
CapValues Units(const OpenSource&) { return List(TWTY_UINT16, {TWUN_INCHES}, TWUN_INCHES, TWUN_INCHES); }
CapValues PixelFlavor(const OpenSource&) {
  return List(TWTY_UINT16, {TWPF_CHOCOLATE}, TWPF_CHOCOLATE, TWPF_CHOCOLATE);
}
CapValues Compression(const OpenSource&) { return List(TWTY_UINT16, {TWCP_NONE}, TWCP_NONE, TWCP_NONE); }
TW_UINT16 SetOnlyZero(OpenSource&, uint32_t item, TW_UINT16* cc) {
  return item == 0 ? TW_UINT16(TWRC_SUCCESS) : Refuse(TWCC_BADVALUE, cc);
}

CapValues UiControllable(const OpenSource&) { return CapValues{TWTY_BOOL, TWON_ONEVALUE, {}, TW_TRUE, TW_TRUE}; }

CapValues SupportedCaps(const OpenSource&);

struct Capability {
  TW_UINT16 cap;
  Getter get;
  Setter set;
};
const Capability kCapabilities[] = {
    {CAP_XFERCOUNT, XferCount, SetXferCount},
    {ICAP_COMPRESSION, Compression, SetOnlyZero},
    {ICAP_PIXELTYPE, PixelTypes, SetPixelType},
    {ICAP_UNITS, Units, SetOnlyZero},
    {ICAP_XFERMECH, XferMech, SetXferMech},
    {CAP_SUPPORTEDCAPS, SupportedCaps, nullptr},
    {CAP_UICONTROLLABLE, UiControllable, nullptr},
    {ICAP_XRESOLUTION, XResolution, SetXResolution},
    {ICAP_YRESOLUTION, YResolution, SetYResolution},
    {ICAP_PIXELFLAVOR, PixelFlavor, SetOnlyZero},
};

CapValues SupportedCaps(const OpenSource&) {
  CapValues v{TWTY_UINT16, TWON_ARRAY, {}, 0, 0};
  for (const Capability& c : kCapabilities) v.items.push_back(c.cap);
  return v;
}

const Capability* Find(TW_UINT16 cap) {
  for (const Capability& c : kCapabilities)
    if (c.cap == cap) return &c;
  return nullptr;
}

TW_UINT16 Answer(TW_CAPABILITY* cap, const CapValues& v, TW_UINT16* cc) {
  HGLOBAL h = MakeContainer(v);
  if (!h) return Refuse(TWCC_LOWMEMORY, cc);
  cap->ConType = v.conType;
  cap->hContainer = h;
  return TWRC_SUCCESS;
}

// A single value, unless the capability is a list by nature.
CapValues Single(CapValues v, uint32_t item) {
  if (v.conType == TWON_ARRAY) return v;
  v.conType = TWON_ONEVALUE;
  v.current = item;
  return v;
}

}  // namespace

TW_UINT16 CapabilityCall(OpenSource& s, TW_UINT16 msg, TW_CAPABILITY* cap, TW_UINT16* cc) {
  const Capability* c = Find(cap->Cap);
  if (!c) return Refuse(TWCC_CAPUNSUPPORTED, cc);
  s.Settle();
  switch (msg) {
    case MSG_GET:
      return Answer(cap, c->get(s), cc);
    case MSG_GETCURRENT: {
      CapValues v = c->get(s);
      return Answer(cap, Single(v, v.current), cc);
    }
    case MSG_GETDEFAULT: {
      CapValues v = c->get(s);
      return Answer(cap, Single(v, v.def), cc);
    }
    case MSG_RESET: {
      if (!c->set) return Refuse(TWCC_CAPBADOPERATION, cc);
      TW_UINT16 rc = c->set(s, c->get(s).def, cc);
      if (rc == TWRC_FAILURE) return rc;
      CapValues v = c->get(s);
      TW_UINT16 answered = Answer(cap, Single(v, v.current), cc);
      return answered == TWRC_SUCCESS ? rc : answered;
    }
    case MSG_SET: {
      if (!c->set) return Refuse(TWCC_CAPBADOPERATION, cc);
      TW_UINT16 type;
      uint32_t item;
      if (!cap->hContainer || !ReadSetValue(cap->ConType, cap->hContainer, &type, &item))
        return Refuse(TWCC_BADVALUE, cc);
      if (type != c->get(s).itemType) return Refuse(TWCC_BADVALUE, cc);
      return c->set(s, item, cc);
    }
    default:
      return Refuse(TWCC_BADPROTOCOL, cc);
  }
}

}  // namespace twain_dsm
