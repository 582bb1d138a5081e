#include "platform/twain_dsm/open_source.h"

#include "platform/twain_dsm/scan_dialog.h"
#include "platform/win/messages.h"

#include <dlfcn.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace twain_dsm {

// One read of one picture: a worker thread reads it, and StopScan's cancel
// runs on a thread of its own, so that a device that stops answering holds
// up neither the application's thread nor the source's end.
struct OpenSource::Read : std::enable_shared_from_this<Read> {
  std::atomic<bool> cancel{false};
  std::mutex m;
  std::condition_variable cv;
  int running = 0;  // threads still inside the device
  bool read = false;  // the result is there
  Picture picture;
  TW_UINT16 rc = TWRC_FAILURE;
  TW_UINT16 cc = TWCC_SUCCESS;
  // Started, joined and let go by the application's thread only.
  std::vector<std::thread> threads;

  // Runs f on a thread of its own, which keeps this read alive.
  void Run(std::function<void()> f) {
    {
      std::lock_guard<std::mutex> lock(m);
      ++running;
    }
    threads.emplace_back([self = shared_from_this(), f = std::move(f)] {
      f();
      std::lock_guard<std::mutex> lock(self->m);
      --self->running;
      self->cv.notify_all();
    });
  }
  // Waits for the threads to leave the device, at most `limit`, and joins
  // them; the ones still inside are let go.
  bool End(std::chrono::milliseconds limit) {
    bool ended;
    {
      std::unique_lock<std::mutex> lock(m);
      ended = cv.wait_for(lock, limit, [this] { return running == 0; });
    }
    for (std::thread& t : threads) ended ? t.join() : t.detach();
    threads.clear();
    return ended;
  }
  // Waits for the read's result, which comes before the scan is ended.
  void AwaitResult() {
    std::unique_lock<std::mutex> lock(m);
    cv.wait(lock, [this] { return read; });
  }
};

namespace {

// What is left of a device that was given up: every request fails.
class LostDevice : public Device {
 public:
  Resolutions ResolutionChoices(Axis) const override { return {}; }
  double Resolution(Axis) const override { return 0; }
  TW_UINT16 SetResolution(Axis, double, TW_UINT16* cc) override { return Fail(cc); }
  std::vector<TW_UINT16> PixelTypes() const override { return {TWPT_GRAY}; }
  TW_UINT16 PixelType() const override { return TWPT_GRAY; }
  TW_UINT16 SetPixelType(TW_UINT16, TW_UINT16* cc) override { return Fail(cc); }
  size_t ExpectedStride() const override { return 0; }
  TW_UINT16 Acquire(Picture*, TW_UINT16* cc, const std::atomic<bool>&) override { return Fail(cc); }
  void Cancel() override {}

 private:
  static TW_UINT16 Fail(TW_UINT16* cc) {
    *cc = TWCC_OPERATIONERROR;
    return TWRC_FAILURE;
  }
};

// An address inside this library.
void KeepThisLibrary() {}

}  // namespace

OpenSource::OpenSource() : file(DefaultFile()) {}

OpenSource::~OpenSource() {
  StopScan();
  CloseDialog();
}

TW_SETUPFILEXFER OpenSource::DefaultFile() {
  TW_SETUPFILEXFER f{};
  strcpy(f.FileName, "TWAIN.TMP");  // the standard's default: the current folder
  f.Format = TWFF_BMP;
  return f;
}

void OpenSource::StartScan(bool notify) {
  StopScan();
  scan = Scan::kRunning;
  read_ = std::make_shared<Read>();
  const uint32_t r = round;
  const HWND to = parent;
  const TW_UINT32 id = identity.Id;
  Device* d = device.get();  // a device given up is never deleted
  // The worker reaches the application only through PostMessage, which any
  // thread may call.
  Read* job = read_.get();  // alive while the worker runs
  job->Run([job, d, notify, r, to, id] {
    Picture picture;
    TW_UINT16 cc = TWCC_SUCCESS;
    const TW_UINT16 rc = d->Acquire(&picture, &cc, job->cancel);
    {
      std::lock_guard<std::mutex> lock(job->m);
      job->picture = std::move(picture);
      job->rc = rc;
      job->cc = cc;
      job->read = true;
    }
    job->cv.notify_all();
    // A read that StopScan cancelled tells nothing; one the device cancelled
    // (its own cancel button, a scan aborted there) asks to be closed.
    if (notify && !job->cancel)
      PostMessage(to, kSourceEventMessage, id, EventParam(r, rc == TWRC_CANCEL ? MSG_CLOSEDSREQ : MSG_XFERREADY));
    // Ending the scan is where some backends hang (SANE's test backend now
    // and then never gets its reader thread back): the result is out first.
    d->Cancel();
  });
}

Device* OpenSource::Settle() {
  if (scan == Scan::kRunning) {
    read_->AwaitResult();
    {
      std::lock_guard<std::mutex> lock(read_->m);
      picture = std::move(read_->picture);
      pictureRc = read_->rc;
      pictureCc = read_->cc;
    }
    EndRead();  // the scan's end, before the device is touched again
    scan = Scan::kDone;
  }
  return device.get();
}

bool OpenSource::AwaitPicture(TW_UINT16* rc, TW_UINT16* cc) {
  if (scan == Scan::kNone) StartScan(false);
  Settle();
  *rc = pictureRc;
  *cc = pictureCc;
  return pictureRc == TWRC_SUCCESS;
}

void OpenSource::StopScan() {
  if (read_) {
    read_->cancel = true;
    Device* d = device.get();
    read_->Run([d] { d->Cancel(); });
    EndRead();
  }
  scan = Scan::kNone;
  picture = Picture{};
  nextRow = 0;
}

void OpenSource::EndRead() {
  std::shared_ptr<Read> read = std::move(read_);
  if (read->End(std::chrono::milliseconds(kCancelGraceMs))) return;
  // The device stopped answering: its threads keep it, and it is never
  // closed under them, nor this library's code unloaded.
  (void)device.release();
  device = std::make_unique<LostDevice>();
  Dl_info self{};
  if (dladdr(reinterpret_cast<void*>(&KeepThisLibrary), &self) && self.dli_fname)
    dlopen(self.dli_fname, RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
}

void OpenSource::ReleaseRows() { std::vector<uint8_t>().swap(picture.rows); }

bool OpenSource::Post(TW_UINT16 twMessage) const {
  return PostMessage(parent, kSourceEventMessage, identity.Id, EventParam(round, twMessage)) != FALSE;
}

void OpenSource::CloseDialog() {
  delete dialog;
  dialog = nullptr;
}

}  // namespace twain_dsm
