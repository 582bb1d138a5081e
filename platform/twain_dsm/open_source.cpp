#include "platform/twain_dsm/open_source.h"

#include "platform/twain_dsm/scan_dialog.h"
#include "platform/win/messages.h"

#include <cstring>

namespace twain_dsm {

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
  cancel_ = false;
  scan = Scan::kRunning;
  const uint32_t r = round;
  const HWND to = parent;
  const TW_UINT32 id = identity.Id;
  // The worker owns the device until it is joined; it reaches the
  // application only through PostMessage, which any thread may call.
  worker_ = std::thread([this, notify, r, to, id] {
    picture = Picture{};
    pictureCc = TWCC_SUCCESS;
    pictureRc = cancel_ ? TW_UINT16(TWRC_CANCEL) : device->Acquire(&picture, &pictureCc, cancel_);
    if (notify && pictureRc != TWRC_CANCEL) PostMessage(to, kSourceEventMessage, id, EventParam(r, MSG_XFERREADY));
  });
}

Device* OpenSource::Settle() {
  if (scan == Scan::kRunning) {
    worker_.join();
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
  if (worker_.joinable()) {
    cancel_ = true;
    device->Cancel();
    worker_.join();
  }
  scan = Scan::kNone;
  picture = Picture{};
  nextRow = 0;
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
