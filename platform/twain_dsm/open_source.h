// One open data source (TWAIN states 4 to 7): its device, what the
// application negotiated, and the worker thread that reads a picture while
// the user-interface thread goes on.
#pragma once
#include "platform/twain_dsm/backend.h"
#include "platform/twain_dsm/picture.h"
#include "platform/windef.h"
#include "twain/twain.h"

#include <memory>

namespace twain_dsm {

class ScanDialog;

// The private message a source posts to the application's window: wParam is
// the source's Id, lParam the TWAIN message in its low 16 bits and the
// enable round above them, so that a message left over from an earlier round
// is recognised and dropped.
inline constexpr UINT kSourceEventMessage = WM_APP + 0x3A7;

struct OpenSource {
  OpenSource();
  ~OpenSource();  // stops the worker and closes the dialog
  OpenSource(const OpenSource&) = delete;
  OpenSource& operator=(const OpenSource&) = delete;

  TW_IDENTITY identity{};
  DeviceInfo info;
  std::unique_ptr<Device> device;
  int state = 4;
  TW_UINT16 condition = TWCC_SUCCESS;
  HWND parent = 0;

  // Negotiated while open.
  TW_INT16 xferCount = -1;
  TW_UINT16 xferMech = TWSX_NATIVE;
  TW_SETUPFILEXFER file{};
  double defaultResolution[2] = {0, 0};
  TW_UINT16 defaultPixelType = TWPT_GRAY;

  // Enabled (state 5 and above).
  bool showUI = false;
  uint32_t round = 0;  // changes at every enable and disable
  TW_UINT16 pending = 0;
  ScanDialog* dialog = nullptr;

  // The picture being read or read: its result is valid once `scan` is kDone.
  enum class Scan { kNone, kRunning, kDone };
  Scan scan = Scan::kNone;
  Picture picture;
  TW_UINT16 pictureRc = TWRC_FAILURE;
  TW_UINT16 pictureCc = TWCC_SUCCESS;
  int nextRow = 0;  // memory transfer: first row of the next strip

  static TW_SETUPFILEXFER DefaultFile();

  // Starts reading one picture; with `notify` the source posts MSG_XFERREADY
  // when it is read, MSG_CLOSEDSREQ when the device cancelled the read, and
  // nothing when StopScan did.
  void StartScan(bool notify);
  // Waits for the picture, starting the read when none runs. True when a
  // picture is there; otherwise *cc tells why (TWRC_CANCEL in *rc when the
  // read was cancelled).
  bool AwaitPicture(TW_UINT16* rc, TW_UINT16* cc);
  // Cancels a running read and forgets the picture. A device that does not
  // end the read within kCancelGrace is given up: it is left to the read
  // (never closed) and the source answers every later request with a
  // failure, so that the application goes on.
  void StopScan();
  static constexpr int kCancelGraceMs = 5000;
  // While the worker reads, the device is the worker's: a request that needs
  // the device waits here for the read to end. Returns the device.
  Device* Settle();
  // The picture's rows are handed on: keep only its size for DAT_IMAGEINFO.
  void ReleaseRows();

  // Posts a source event to the application for the current round.
  bool Post(TW_UINT16 twMessage) const;
  static LPARAM EventParam(uint32_t round, TW_UINT16 twMessage) {
    return LPARAM((uint64_t(round) << 16) | twMessage);
  }

  void CloseDialog();

 private:
  // Waits for the read's threads (kCancelGrace at most), else gives the
  // device up.
  void EndRead();
  struct Read;
  std::shared_ptr<Read> read_;  // shared with the read's threads, which may outlive the source
};

}  // namespace twain_dsm
