// The scripted source manager, a second build of libtwain_32.so (in
// <build>/twain_script/) for the tests of TWAIN applications. It is the real
// manager over sources a test describes, and any call's answer can be
// changed. A test reaches its control by loading the same file and calling
// TwainScriptControl; every call is logged.
#pragma once
#include "platform/twain_dsm/picture.h"
#include "twain/twain.h"

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace twain_script {

struct Source {
  std::string manufacturer = "Quarvel tests";
  std::string family = "Scripted";
  std::string product;  // ProductName; make it unique, overrides and Notify go by it
  // Handed out in turn, the last one again once they run out; without any,
  // a 4 x 2 grey picture.
  std::vector<twain_dsm::Picture> pictures;
  // Read (and MSG_XFERREADY posted) as soon as enabled; otherwise only when
  // the test posts the event with Notify.
  bool readyOnEnable = true;
  // How a read ends: with the next picture; cancelled by the device (its
  // own cancel button); or never, not even when cancelled (a device that
  // stopped answering).
  enum class Read { kPicture, kDeviceCancels, kNoAnswer };
  Read read = Read::kPicture;
};

// Changes the answer to the calls of one triplet (to the source of
// `product` when set: the destination's ProductName, or for MSG_OPENDS and
// MSG_CLOSEDS the one in the data). The first `skip` matching calls pass,
// then it applies `times` times (-1: every time).
struct Override {
  TW_UINT32 dg = DG_CONTROL;
  TW_UINT16 dat = 0;
  TW_UINT16 msg = 0;
  std::string product;
  int skip = 0;
  int times = -1;
  // The manager runs the call first; otherwise it never sees it.
  bool passOn = false;
  // The return code answered; none keeps the manager's (with passOn).
  std::optional<TW_UINT16> rc = TW_UINT16(TWRC_FAILURE);
  // What the next DAT_STATUS of the call's target reports.
  std::optional<TW_UINT16> condition;
  // Bytes written into the call's data record at an offset.
  std::vector<std::pair<size_t, std::vector<uint8_t>>> patches;
  // DAT_CAPABILITY (not MSG_SET): the container answered, ConType and bytes.
  std::optional<std::pair<TW_UINT16, std::vector<uint8_t>>> container;
  // DAT_IMAGENATIVEXFER: the block handed out (empty: a NULL handle).
  std::optional<std::vector<uint8_t>> block;
  // DAT_IMAGEMEMXFER: bytes put into the application's buffer (at most its
  // Length), and the BytesWritten reported (none: their number).
  std::optional<std::vector<uint8_t>> strip;
  std::optional<TW_UINT32> bytesWritten;
};

struct Call {
  TW_UINT32 originId = 0;
  TW_UINT32 destId = 0;
  std::string product;  // as Override matches it
  TW_UINT32 dg = 0;
  TW_UINT16 dat = 0;
  TW_UINT16 msg = 0;
  TW_UINT16 rc = 0;
  uintptr_t data = 0;         // the data pointer as passed
  std::vector<uint8_t> sent;  // the data record as it arrived
  // What the record points to as it arrived: the container of
  // DAT_CAPABILITY (its GlobalSize in pointeeSize), the MSG of DAT_EVENT.
  std::vector<uint8_t> pointee;
  size_t pointeeSize = 0;
};

class Control {
 public:
  // Closes every session; no sources, overrides or log.
  virtual void Reset() = 0;
  virtual void SetSources(const std::vector<Source>& sources) = 0;
  // -1: MSG_GETDEFAULT finds none.
  virtual void SetDefaultSource(int index) = 0;
  virtual void AddOverride(const Override& o) = 0;
  virtual std::vector<Call> Calls() const = 0;
  virtual void ClearCalls() = 0;
  // Posts a source event from the open source of that product, as the
  // source itself would; false when it is not open.
  virtual bool Notify(const std::string& product, TW_UINT16 twMessage) = 0;

 protected:
  ~Control() = default;
};

}  // namespace twain_script

extern "C" twain_script::Control* TwainScriptControl();
typedef twain_script::Control* (*TwainScriptControlProc)();
