// The scripted build of libtwain_32.so: the source manager over sources a
// test describes, with answers the test may change and a log of every call.
#include "platform/globalmem.h"
#include "platform/twain_dsm/script.h"
#include "platform/twain_dsm/source_manager.h"

#include <algorithm>
#include <chrono>
#include <thread>
#include <cstring>

namespace {

using twain_dsm::Axis;
using twain_dsm::Picture;

Picture Fallback() {
  Picture p;
  p.Allocate(4, 2, TWPT_GRAY);
  for (size_t i = 0; i < p.rows.size(); ++i) p.rows[i] = uint8_t(i * 16);
  return p;
}

class ScriptDevice : public twain_dsm::Device {
 public:
  explicit ScriptDevice(const twain_script::Source& s) : source_(s) {
    if (!source_.pictures.empty()) type_ = source_.pictures[0].pixelType;
  }
  twain_dsm::Resolutions ResolutionChoices(Axis) const override { return {true, 1, 1200, 1, {}}; }
  double Resolution(Axis a) const override { return dpi_[int(a)]; }
  TW_UINT16 SetResolution(Axis a, double dpi, TW_UINT16* cc) override {
    if (dpi < 1 || dpi > 1200) {
      *cc = TWCC_BADVALUE;
      return TWRC_FAILURE;
    }
    dpi_[int(a)] = dpi;
    return TWRC_SUCCESS;
  }
  std::vector<TW_UINT16> PixelTypes() const override { return {TWPT_BW, TWPT_GRAY, TWPT_RGB}; }
  TW_UINT16 PixelType() const override { return type_; }
  TW_UINT16 SetPixelType(TW_UINT16 type, TW_UINT16*) override {
    type_ = type;
    return TWRC_SUCCESS;
  }
  bool ScansWhenEnabled() const override { return source_.readyOnEnable; }
  size_t ExpectedStride() const override { return Next().Stride(); }
  TW_UINT16 Acquire(Picture* out, TW_UINT16*, const std::atomic<bool>&) override {
    using Read = twain_script::Source::Read;
    if (source_.read == Read::kDeviceCancels) return TWRC_CANCEL;
    while (source_.read == Read::kNoAnswer) std::this_thread::sleep_for(std::chrono::hours(1));
    *out = Next();
    ++given_;
    if (out->xResolution == 0) out->xResolution = dpi_[0];
    if (out->yResolution == 0) out->yResolution = dpi_[1];
    return TWRC_SUCCESS;
  }
  void Cancel() override {}

 private:
  Picture Next() const {
    const auto& list = source_.pictures;
    return list.empty() ? Fallback() : list[std::min(given_, list.size() - 1)];
  }
  twain_script::Source source_;
  double dpi_[2] = {100, 100};
  TW_UINT16 type_ = TWPT_GRAY;
  size_t given_ = 0;
};

class ScriptBackend : public twain_dsm::Backend {
 public:
  std::vector<twain_script::Source> sources;
  int defaultIndex = 0;

  bool Start() override { return true; }
  void Stop() override {}
  std::vector<twain_dsm::DeviceInfo> Devices() override {
    std::vector<twain_dsm::DeviceInfo> out;
    for (size_t i = 0; i < sources.size(); ++i)
      out.push_back({"script:" + std::to_string(i), sources[i].manufacturer, sources[i].product, sources[i].family});
    return out;
  }
  int DefaultDevice(const std::vector<twain_dsm::DeviceInfo>& devices) override {
    return defaultIndex < int(devices.size()) ? defaultIndex : -1;
  }
  std::unique_ptr<twain_dsm::Device> Open(const twain_dsm::DeviceInfo& info, TW_UINT16* cc) override {
    size_t i = std::stoul(info.name.substr(7));
    if (i >= sources.size()) {
      *cc = TWCC_NODS;
      return nullptr;
    }
    return std::make_unique<ScriptDevice>(sources[i]);
  }
};

// Bytes of the record a triplet's data points to.
size_t RecordSize(TW_UINT16 dat) {
  switch (dat) {
    case DAT_PARENT:
      return sizeof(HWND);
    case DAT_IDENTITY:
      return sizeof(TW_IDENTITY);
    case DAT_USERINTERFACE:
      return sizeof(TW_USERINTERFACE);
    case DAT_EVENT:
      return sizeof(TW_EVENT);
    case DAT_CAPABILITY:
      return sizeof(TW_CAPABILITY);
    case DAT_PENDINGXFERS:
      return sizeof(TW_PENDINGXFERS);
    case DAT_SETUPMEMXFER:
      return sizeof(TW_SETUPMEMXFER);
    case DAT_SETUPFILEXFER:
      return sizeof(TW_SETUPFILEXFER);
    case DAT_STATUS:
      return sizeof(TW_STATUS);
    case DAT_IMAGEINFO:
      return sizeof(TW_IMAGEINFO);
    case DAT_IMAGEMEMXFER:
      return sizeof(TW_IMAGEMEMXFER);
    case DAT_IMAGENATIVEXFER:
      return sizeof(TW_HANDLE);
    case DAT_PALETTE8:
      return sizeof(TW_PALETTE8);
    default:
      return 0;
  }
}

std::vector<uint8_t> Bytes(const void* p, size_t n) {
  const auto* b = static_cast<const uint8_t*>(p);
  return p ? std::vector<uint8_t>(b, b + n) : std::vector<uint8_t>();
}

HGLOBAL BlockOf(const std::vector<uint8_t>& bytes) {
  HGLOBAL h = GlobalAlloc(GHND, bytes.size());
  if (h && !bytes.empty()) memcpy(GlobalLock(h), bytes.data(), bytes.size());
  if (h) GlobalUnlock(h);
  return h;
}

class Script : public twain_script::Control {
 public:
  Script() : manager_(std::make_unique<ScriptBackend>()) {}

  void Reset() override {
    manager_.CloseAll();
    Backend().sources.clear();
    Backend().defaultIndex = 0;
    overrides_.clear();
    calls_.clear();
  }
  void SetSources(const std::vector<twain_script::Source>& s) override { Backend().sources = s; }
  void SetDefaultSource(int index) override { Backend().defaultIndex = index; }
  void AddOverride(const twain_script::Override& o) override { overrides_.push_back({o, 0}); }
  std::vector<twain_script::Call> Calls() const override { return calls_; }
  void ClearCalls() override { calls_.clear(); }
  bool Notify(const std::string& product, TW_UINT16 msg) override {
    for (size_t i = 0; i < Backend().sources.size(); ++i)
      if (Backend().sources[i].product == product)
        if (twain_dsm::OpenSource* s = manager_.FindOpen("script:" + std::to_string(i))) return s->Post(msg);
    return false;
  }

  TW_UINT16 Entry(pTW_IDENTITY origin, pTW_IDENTITY dest, TW_UINT32 dg, TW_UINT16 dat, TW_UINT16 msg,
                  TW_MEMREF data) {
    twain_script::Call call;
    call.originId = origin ? origin->Id : 0;
    call.destId = dest ? dest->Id : 0;
    call.product = ProductOf(dest, dat, msg, data);
    call.dg = dg;
    call.dat = dat;
    call.msg = msg;
    call.data = reinterpret_cast<uintptr_t>(data);
    call.sent = Bytes(data, RecordSize(dat));
    if (data && dat == DAT_CAPABILITY) {
      HGLOBAL h = static_cast<TW_CAPABILITY*>(data)->hContainer;
      call.pointeeSize = GlobalSize(h);
      call.pointee = Bytes(GlobalLock(h), call.pointeeSize);
      GlobalUnlock(h);
    }
    if (data && dat == DAT_EVENT) call.pointee = Bytes(static_cast<TW_EVENT*>(data)->pEvent, sizeof(MSG));

    const twain_script::Override* o = Match(call);
    TW_UINT16 rc = TWRC_FAILURE;
    if (!o || o->passOn) rc = manager_.Entry(origin, dest, dg, dat, msg, data);
    if (o) rc = Apply(*o, origin, dest, data, call, rc);
    call.rc = rc;
    calls_.push_back(std::move(call));
    return rc;
  }

 private:
  struct Armed {
    twain_script::Override o;
    int seen;
  };

  ScriptBackend& Backend() const { return *static_cast<ScriptBackend*>(manager_.GetBackend()); }

  static std::string ProductOf(pTW_IDENTITY dest, TW_UINT16 dat, TW_UINT16 msg, TW_MEMREF data) {
    const TW_IDENTITY* id = dest;
    if (!id && dat == DAT_IDENTITY && (msg == MSG_OPENDS || msg == MSG_CLOSEDS)) id = static_cast<TW_IDENTITY*>(data);
    return id ? std::string(id->ProductName, strnlen(id->ProductName, sizeof id->ProductName)) : std::string();
  }

  const twain_script::Override* Match(const twain_script::Call& c) {
    for (Armed& a : overrides_) {
      const twain_script::Override& o = a.o;
      if (o.dg != c.dg || o.dat != c.dat || o.msg != c.msg) continue;
      if (!o.product.empty() && o.product != c.product) continue;
      const int n = a.seen++;
      if (n >= o.skip && (o.times < 0 || n < o.skip + o.times)) return &o;
    }
    return nullptr;
  }

  TW_UINT16 Apply(const twain_script::Override& o, pTW_IDENTITY origin, pTW_IDENTITY dest, TW_MEMREF data,
                  const twain_script::Call& call, TW_UINT16 rc) {
    const size_t size = RecordSize(call.dat);
    if (data)
      for (const auto& [offset, bytes] : o.patches)
        if (offset + bytes.size() <= size) memcpy(static_cast<uint8_t*>(data) + offset, bytes.data(), bytes.size());
    if (data && o.container && call.dat == DAT_CAPABILITY && call.msg != MSG_SET) {
      auto* cap = static_cast<TW_CAPABILITY*>(data);
      if (o.passOn && rc == TWRC_SUCCESS) GlobalFree(cap->hContainer);
      cap->ConType = o.container->first;
      cap->hContainer = BlockOf(o.container->second);
    }
    if (data && o.block && call.dat == DAT_IMAGENATIVEXFER) {
      auto* handle = static_cast<TW_HANDLE*>(data);
      if (o.passOn && rc == TWRC_XFERDONE) GlobalFree(*handle);
      *handle = o.block->empty() ? nullptr : BlockOf(*o.block);
    }
    if (data && o.strip && call.dat == DAT_IMAGEMEMXFER) {
      auto* strip = static_cast<TW_IMAGEMEMXFER*>(data);
      if (strip->Memory.TheMem)
        memcpy(strip->Memory.TheMem, o.strip->data(), std::min<size_t>(o.strip->size(), strip->Memory.Length));
      strip->BytesWritten = o.bytesWritten ? *o.bytesWritten : TW_UINT32(o.strip->size());
    }
    if (o.condition) {
      const bool toSource = dest && call.dat != DAT_IDENTITY && call.dat != DAT_PARENT;
      manager_.SetCondition(origin, toSource ? dest : nullptr, *o.condition);
    }
    return o.rc ? *o.rc : rc;
  }

  mutable twain_dsm::SourceManager manager_;
  std::vector<Armed> overrides_;
  std::vector<twain_script::Call> calls_;
};

Script& TheScript() {
  static Script script;
  return script;
}

}  // namespace

extern "C" __attribute__((visibility("default"))) TW_UINT16 DSM_Entry(pTW_IDENTITY origin, pTW_IDENTITY dest,
                                                                     TW_UINT32 DG, TW_UINT16 DAT, TW_UINT16 MSG,
                                                                     TW_MEMREF data) {
  return TheScript().Entry(origin, dest, DG, DAT, MSG, data);
}

extern "C" __attribute__((visibility("default"))) twain_script::Control* TwainScriptControl() {
  return &TheScript();
}
