// What the source manager needs of the devices behind its sources: a list of
// them, opening one, the settings TWAIN negotiates, and reading one picture.
// The SANE build and the scripted test build each provide one backend.
#pragma once
#include "platform/twain_dsm/picture.h"
#include "twain/twain.h"

#include <atomic>
#include <memory>
#include <string>
#include <vector>

namespace twain_dsm {

struct DeviceInfo {
  std::string name;    // the backend's own device name, unique
  std::string vendor;  // texts as the device reports them (UTF-8)
  std::string model;
  std::string type;
};

// Resolutions a device takes, in dots per inch: a range or a list.
struct Resolutions {
  bool isRange = true;
  double min = 0, max = 0, step = 0;
  std::vector<double> list;
};

enum class Axis { kX, kY };

// Setters answer TWRC_SUCCESS, TWRC_CHECKSTATUS (the device took a nearby
// value) or TWRC_FAILURE with the condition code in *cc.
class Device {
 public:
  virtual ~Device() = default;

  virtual Resolutions ResolutionChoices(Axis axis) const = 0;
  virtual double Resolution(Axis axis) const = 0;
  virtual TW_UINT16 SetResolution(Axis axis, double dpi, TW_UINT16* cc) = 0;

  // TWPT_BW, TWPT_GRAY and TWPT_RGB as far as the device has them.
  virtual std::vector<TW_UINT16> PixelTypes() const = 0;
  virtual TW_UINT16 PixelType() const = 0;
  virtual TW_UINT16 SetPixelType(TW_UINT16 type, TW_UINT16* cc) = 0;

  // False for a device that starts reading on its own signal (a camera's
  // shutter) rather than when it is enabled.
  virtual bool ScansWhenEnabled() const { return true; }

  // Padded bytes per row the next picture is expected to have; 0 unknown.
  virtual size_t ExpectedStride() const = 0;

  // Reads one picture. Runs on a worker thread; meanwhile nothing but Cancel
  // touches the device. TWRC_SUCCESS, TWRC_CANCEL (once `cancel` is set, or
  // when the device cancelled the read), or TWRC_FAILURE with *cc. The
  // worker then ends the scan with Cancel, whatever its outcome.
  virtual TW_UINT16 Acquire(Picture* out, TW_UINT16* cc, const std::atomic<bool>& cancel) = 0;
  // Any thread: ends the scan, and interrupts a read that waits for the
  // device (after `cancel` was set).
  virtual void Cancel() = 0;
};

class Backend {
 public:
  virtual ~Backend() = default;
  // Around the first session that opens and the last that closes.
  virtual bool Start() = 0;
  virtual void Stop() = 0;
  virtual std::vector<DeviceInfo> Devices() = 0;
  // Index of the default device among `devices`; -1 for none.
  virtual int DefaultDevice(const std::vector<DeviceInfo>& devices) { return devices.empty() ? -1 : 0; }
  // Nothing, with *cc set, when the device cannot be opened.
  virtual std::unique_ptr<Device> Open(const DeviceInfo& info, TW_UINT16* cc) = 0;
};

}  // namespace twain_dsm
