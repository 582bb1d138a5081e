#include "platform/twain_dsm/sane_backend.h"

#include "platform/twain_dsm/sane_frames.h"

#include <sane/sane.h>
#include <sane/saneopts.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>

namespace twain_dsm {

namespace {

TW_UINT16 Failed(SANE_Status st, TW_UINT16* cc) {
  switch (st) {
    case SANE_STATUS_INVAL:
      *cc = TWCC_BADVALUE;
      break;
    case SANE_STATUS_NO_MEM:
      *cc = TWCC_LOWMEMORY;
      break;
    case SANE_STATUS_DEVICE_BUSY:
      *cc = TWCC_MAXCONNECTIONS;
      break;
    case SANE_STATUS_ACCESS_DENIED:
      *cc = TWCC_DENIED;
      break;
    default:
      *cc = TWCC_OPERATIONERROR;
  }
  return TWRC_FAILURE;
}

// Devices not closed yet, those given up under a read included: SANE is not
// ended under them.
std::atomic<int> g_openDevices{0};
bool g_saneStarted = false;

std::string Lower(std::string s) {
  for (char& c : s) c = char(tolower((unsigned char)c));
  return s;
}

// Scan mode names differ between backends; these are the words they use,
// the preferred first.
struct ModeWords {
  TW_UINT16 type;
  std::vector<const char*> words;
};
const ModeWords kModeWords[] = {
    {TWPT_BW, {"lineart", "line art", "binary", "black", "halftone"}},
    {TWPT_GRAY, {"gray", "grey"}},
    {TWPT_RGB, {"color", "colour"}},
};

class SaneDevice : public Device {
 public:
  explicit SaneDevice(SANE_Handle h) : h_(h) {
    ++g_openDevices;
    FindModes();
  }
  ~SaneDevice() override {
    sane_close(h_);
    --g_openDevices;
  }

  Resolutions ResolutionChoices(Axis axis) const override {
    Resolutions r;
    const int i = ResolutionOption(axis);
    const SANE_Option_Descriptor* d = i > 0 ? sane_get_option_descriptor(h_, i) : nullptr;
    const double now = Resolution(axis);
    if (!d || d->constraint_type == SANE_CONSTRAINT_NONE) {
      r.min = r.max = now;
      r.step = 1;
    } else if (d->constraint_type == SANE_CONSTRAINT_RANGE) {
      r.min = Number(d, d->constraint.range->min);
      r.max = Number(d, d->constraint.range->max);
      r.step = Number(d, d->constraint.range->quant);
    } else if (d->constraint_type == SANE_CONSTRAINT_WORD_LIST) {
      r.isRange = false;
      for (SANE_Int k = 1; k <= d->constraint.word_list[0]; ++k) r.list.push_back(Number(d, d->constraint.word_list[k]));
    }
    return r;
  }

  double Resolution(Axis axis) const override {
    double v = 0;
    GetNumber(ResolutionOption(axis), &v);
    return v;
  }

  TW_UINT16 SetResolution(Axis axis, double dpi, TW_UINT16* cc) override {
    const int i = ResolutionOption(axis);
    if (i <= 0) {
      *cc = TWCC_CAPUNSUPPORTED;
      return TWRC_FAILURE;
    }
    return SetNumber(i, dpi, cc);
  }

  std::vector<TW_UINT16> PixelTypes() const override {
    std::vector<TW_UINT16> types;
    for (const Mode& m : modes_) types.push_back(m.type);
    if (types.empty()) types.push_back(PixelType());
    return types;
  }

  // What the frames will be, which is what the pictures become.
  TW_UINT16 PixelType() const override {
    SANE_Parameters p{};
    if (sane_get_parameters(h_, &p) != SANE_STATUS_GOOD) return TWPT_GRAY;
    return p.format == SANE_FRAME_GRAY ? (p.depth == 1 ? TWPT_BW : TWPT_GRAY) : TWPT_RGB;
  }

  TW_UINT16 SetPixelType(TW_UINT16 type, TW_UINT16* cc) override {
    const Mode* m = nullptr;
    for (const Mode& c : modes_)
      if (c.type == type) m = &c;
    if (!m) {
      if (type == PixelType()) return TWRC_SUCCESS;
      *cc = TWCC_BADVALUE;
      return TWRC_FAILURE;
    }
    TW_UINT16 rc = SetString(Find(SANE_NAME_SCAN_MODE), m->mode, cc);
    if (rc == TWRC_FAILURE || !m->depth) return rc;
    const int depth = Find(SANE_NAME_BIT_DEPTH);
    if (depth <= 0 || !Allows(depth, m->depth)) return rc;
    TW_UINT16 rcDepth = SetNumber(depth, m->depth, cc);
    return rcDepth == TWRC_SUCCESS ? rc : rcDepth;
  }

  size_t ExpectedStride() const override {
    SANE_Parameters p{};
    if (sane_get_parameters(h_, &p) != SANE_STATUS_GOOD || p.pixels_per_line <= 0) return 0;
    const TW_UINT16 t = PixelType();
    return Picture::StrideOf(p.pixels_per_line, t == TWPT_BW ? 1 : t == TWPT_RGB ? 24 : 8);
  }

  TW_UINT16 Acquire(Picture* out, TW_UINT16* cc, const std::atomic<bool>& cancel) override {
    const double xdpi = Resolution(Axis::kX), ydpi = Resolution(Axis::kY);
    std::vector<SaneFrame> frames;
    TW_UINT16 rc = ReadFrames(&frames, cc, cancel);
    if (rc != TWRC_SUCCESS) return rc;
    if (!AssembleFrames(frames, out)) {
      *cc = TWCC_OPERATIONERROR;
      return TWRC_FAILURE;
    }
    out->xResolution = xdpi;
    out->yResolution = ydpi;
    return TWRC_SUCCESS;
  }

  // The read's own end and StopScan's may come at once; a backend need not
  // take two cancels at the same time, and one is enough.
  void Cancel() override {
    if (cancelling_.exchange(true)) return;
    sane_cancel(h_);
    cancelling_ = false;
  }

 private:
  struct Mode {
    TW_UINT16 type;
    std::string mode;
    int depth;  // 0: whatever the mode gives
  };

  TW_UINT16 ReadFrames(std::vector<SaneFrame>* frames, TW_UINT16* cc, const std::atomic<bool>& cancel) {
    // A picture of this many bytes is no scan: the device misbehaves.
    const size_t kLimit = size_t(1) << 31;
    std::vector<uint8_t> buffer(64 * 1024);
    for (;;) {
      if (cancel) return TWRC_CANCEL;
      SANE_Status st = sane_start(h_);
      if (cancel || st == SANE_STATUS_CANCELLED) return TWRC_CANCEL;
      if (st != SANE_STATUS_GOOD) return Failed(st, cc);
      SaneFrame f;
      if ((st = sane_get_parameters(h_, &f.params)) != SANE_STATUS_GOOD) return Failed(st, cc);
      if (f.params.lines > 0 && f.params.bytes_per_line > 0 &&
          size_t(f.params.lines) <= kLimit / size_t(f.params.bytes_per_line))
        f.data.reserve(size_t(f.params.lines) * size_t(f.params.bytes_per_line));
      for (;;) {
        SANE_Int got = 0;
        st = sane_read(h_, buffer.data(), SANE_Int(buffer.size()), &got);
        if (cancel || st == SANE_STATUS_CANCELLED) return TWRC_CANCEL;
        if (st == SANE_STATUS_EOF) break;
        if (st != SANE_STATUS_GOOD) return Failed(st, cc);
        if (f.data.size() + size_t(got) > kLimit) return Failed(SANE_STATUS_NO_MEM, cc);
        f.data.insert(f.data.end(), buffer.data(), buffer.data() + got);
      }
      const bool last = f.params.last_frame;
      frames->push_back(std::move(f));
      if (last) return TWRC_SUCCESS;
      if (frames->size() >= 3) return Failed(SANE_STATUS_IO_ERROR, cc);
    }
  }

  void FindModes() {
    const int i = Find(SANE_NAME_SCAN_MODE);
    const SANE_Option_Descriptor* d = i > 0 ? sane_get_option_descriptor(h_, i) : nullptr;
    if (!d || d->type != SANE_TYPE_STRING || d->constraint_type != SANE_CONSTRAINT_STRING_LIST) return;
    const int depth = Find(SANE_NAME_BIT_DEPTH);
    for (const ModeWords& w : kModeWords) {
      std::string found;
      for (const char* word : w.words)
        for (const SANE_String_Const* s = d->constraint.string_list; *s && found.empty(); ++s)
          if (Lower(*s).find(word) != std::string::npos) found = *s;
      if (!found.empty()) modes_.push_back({w.type, found, w.type == TWPT_BW || depth <= 0 ? 0 : 8});
    }
    // Line art from grey at one bit, where the device has no mode for it.
    bool bw = std::any_of(modes_.begin(), modes_.end(), [](const Mode& m) { return m.type == TWPT_BW; });
    for (const Mode& m : std::vector<Mode>(modes_))
      if (!bw && m.type == TWPT_GRAY && depth > 0 && Allows(depth, 1)) {
        modes_.insert(modes_.begin(), {TWPT_BW, m.mode, 1});
        bw = true;
      }
  }

  // The index of an active option, 0 when there is none.
  int Find(const char* name) const {
    SANE_Int count = 0;
    if (sane_control_option(h_, 0, SANE_ACTION_GET_VALUE, &count, nullptr) != SANE_STATUS_GOOD) return 0;
    for (int i = 1; i < count; ++i) {
      const SANE_Option_Descriptor* d = sane_get_option_descriptor(h_, i);
      if (d && d->name && strcmp(d->name, name) == 0) return SANE_OPTION_IS_ACTIVE(d->cap) ? i : 0;
    }
    return 0;
  }

  int ResolutionOption(Axis axis) const {
    if (axis == Axis::kY)
      if (int y = Find(SANE_NAME_SCAN_Y_RESOLUTION)) return y;
    if (int r = Find(SANE_NAME_SCAN_RESOLUTION)) return r;
    return Find(SANE_NAME_SCAN_X_RESOLUTION);
  }

  static bool IsNumber(const SANE_Option_Descriptor* d) {
    return d && (d->type == SANE_TYPE_INT || d->type == SANE_TYPE_FIXED) && d->size == sizeof(SANE_Word);
  }
  static double Number(const SANE_Option_Descriptor* d, SANE_Word w) {
    return d->type == SANE_TYPE_FIXED ? SANE_UNFIX(w) : double(w);
  }

  bool GetNumber(int i, double* v) const {
    const SANE_Option_Descriptor* d = i > 0 ? sane_get_option_descriptor(h_, i) : nullptr;
    SANE_Word w;
    if (!IsNumber(d) || sane_control_option(h_, i, SANE_ACTION_GET_VALUE, &w, nullptr) != SANE_STATUS_GOOD)
      return false;
    *v = Number(d, w);
    return true;
  }

  bool Allows(int i, double v) const {
    const SANE_Option_Descriptor* d = sane_get_option_descriptor(h_, i);
    if (!IsNumber(d)) return false;
    if (d->constraint_type != SANE_CONSTRAINT_WORD_LIST) return true;
    for (SANE_Int k = 1; k <= d->constraint.word_list[0]; ++k)
      if (Number(d, d->constraint.word_list[k]) == v) return true;
    return false;
  }

  // TWRC_CHECKSTATUS when the device took another value than asked.
  TW_UINT16 SetNumber(int i, double v, TW_UINT16* cc) {
    const SANE_Option_Descriptor* d = sane_get_option_descriptor(h_, i);
    if (!IsNumber(d) || !SANE_OPTION_IS_SETTABLE(d->cap)) {
      *cc = TWCC_CAPBADOPERATION;
      return TWRC_FAILURE;
    }
    if (!std::isfinite(v) || std::fabs(v) > 32767) {
      *cc = TWCC_BADVALUE;
      return TWRC_FAILURE;
    }
    SANE_Word w = d->type == SANE_TYPE_FIXED ? SANE_FIX(v) : SANE_Word(std::lround(v));
    SANE_Int info = 0;
    SANE_Status st = sane_control_option(h_, i, SANE_ACTION_SET_VALUE, &w, &info);
    if (st != SANE_STATUS_GOOD) return Failed(st, cc);
    double now = v;
    GetNumber(i, &now);
    return (info & SANE_INFO_INEXACT) || std::fabs(now - v) > 1e-4 ? TWRC_CHECKSTATUS : TWRC_SUCCESS;
  }

  std::string GetString(int i) const {
    const SANE_Option_Descriptor* d = i > 0 ? sane_get_option_descriptor(h_, i) : nullptr;
    if (!d || d->type != SANE_TYPE_STRING || d->size <= 0) return {};
    std::vector<char> v(size_t(d->size) + 1, '\0');
    if (sane_control_option(h_, i, SANE_ACTION_GET_VALUE, v.data(), nullptr) != SANE_STATUS_GOOD) return {};
    return v.data();
  }

  TW_UINT16 SetString(int i, const std::string& s, TW_UINT16* cc) {
    const SANE_Option_Descriptor* d = i > 0 ? sane_get_option_descriptor(h_, i) : nullptr;
    if (!d || d->type != SANE_TYPE_STRING || !SANE_OPTION_IS_SETTABLE(d->cap) || s.size() >= size_t(d->size)) {
      *cc = TWCC_CAPBADOPERATION;
      return TWRC_FAILURE;
    }
    std::vector<char> v(size_t(d->size), '\0');
    memcpy(v.data(), s.data(), s.size());
    SANE_Int info = 0;
    SANE_Status st = sane_control_option(h_, i, SANE_ACTION_SET_VALUE, v.data(), &info);
    if (st != SANE_STATUS_GOOD) return Failed(st, cc);
    return (info & SANE_INFO_INEXACT) ? TWRC_CHECKSTATUS : TWRC_SUCCESS;
  }

  SANE_Handle h_;
  std::vector<Mode> modes_;
  std::atomic<bool> cancelling_{false};
};

}  // namespace

bool SaneBackend::Start() {
  if (g_saneStarted) return true;
  SANE_Int version = 0;
  g_saneStarted = sane_init(&version, nullptr) == SANE_STATUS_GOOD;
  return g_saneStarted;
}

// A device given up under a read that never ended keeps SANE, and its
// backend's code, for the rest of the process.
void SaneBackend::Stop() {
  if (!g_saneStarted || g_openDevices > 0) return;
  sane_exit();
  g_saneStarted = false;
}

std::vector<DeviceInfo> SaneBackend::Devices() {
  std::vector<DeviceInfo> out;
  const SANE_Device** list = nullptr;
  if (sane_get_devices(&list, SANE_FALSE) != SANE_STATUS_GOOD || !list) return out;
  auto text = [](const char* s) { return std::string(s ? s : ""); };
  for (; *list; ++list)
    if ((*list)->name) out.push_back({(*list)->name, text((*list)->vendor), text((*list)->model), text((*list)->type)});
  return out;
}

int SaneBackend::DefaultDevice(const std::vector<DeviceInfo>& devices) {
  if (const char* wanted = getenv("SANE_DEFAULT_DEVICE"))
    for (size_t i = 0; i < devices.size(); ++i)
      if (devices[i].name == wanted) return int(i);
  return devices.empty() ? -1 : 0;
}

std::unique_ptr<Device> SaneBackend::Open(const DeviceInfo& info, TW_UINT16* cc) {
  SANE_Handle h = nullptr;
  SANE_Status st = sane_open(info.name.c_str(), &h);
  if (st != SANE_STATUS_GOOD || !h) {
    Failed(st == SANE_STATUS_GOOD ? SANE_STATUS_INVAL : st, cc);
    if (*cc == TWCC_BADVALUE) *cc = TWCC_NODS;
    return nullptr;
  }
  return std::make_unique<SaneDevice>(h);
}

}  // namespace twain_dsm
