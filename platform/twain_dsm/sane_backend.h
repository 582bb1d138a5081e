// SANE's devices as TWAIN sources: every scanner or camera SANE finds is one
// source. Resolution is SANE's "resolution" option ("y-resolution" for the
// vertical one when the device has it), the pixel type its scan "mode" (with
// "depth" where the mode alone does not tell).
#pragma once
#include "platform/twain_dsm/backend.h"

namespace twain_dsm {

class SaneBackend : public Backend {
 public:
  bool Start() override;
  void Stop() override;
  std::vector<DeviceInfo> Devices() override;
  // $SANE_DEFAULT_DEVICE when it names a device, else the first.
  int DefaultDevice(const std::vector<DeviceInfo>& devices) override;
  std::unique_ptr<Device> Open(const DeviceInfo& info, TW_UINT16* cc) override;
};

}  // namespace twain_dsm
