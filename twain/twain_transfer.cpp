// TTwainSource: the driver's messages, transfer batches, and the three ways
// an image arrives (native, memory, file).
#include <algorithm>
#include <cstring>
#include <new>

#include "platform/gdi/bmp.h"
#include "twain/twain_link.h"

namespace {

// What a strip buffer is sized by when the driver names no usable size.
constexpr TW_UINT32 kDefaultStripBytes = 64 * 1024;

// The driver's preferred strip size, else its largest, else its smallest.
TW_UINT32 StripBytes(const TW_SETUPMEMXFER& setup, TW_UINT16 rc) {
  if (rc == TWRC_SUCCESS)
    for (TW_UINT32 v : {setup.Preferred, setup.MaxBufSize, setup.MinBufSize})
      if (v != 0 && v != TWON_DONTCARE32) return v;
  return kDefaultStripBytes;
}

// A grey ramp as the depth has entries for (256 for 8 bits and more),
// black to white. Returns the entries written.
int GreyRamp(int bitsPerPixel, RGBQUAD* table) {
  const int n = bitsPerPixel >= 1 && bitsPerPixel < 8 ? 1 << bitsPerPixel : 256;
  for (int i = 0; i < n; ++i) {
    const BYTE v = BYTE(i * 255 / (n - 1));
    table[i] = RGBQUAD{v, v, v, 0};
  }
  return n;
}

struct DibHeader {
  BITMAPINFOHEADER header;
  RGBQUAD colours[256];
};

}  // namespace

bool TTwainSource::ProcessMessage(MSG& msg) {
  TW_EVENT event{&msg, MSG_NULL};
  if (Call(DG_CONTROL, DAT_EVENT, MSG_PROCESSEVENT, &event) != TWRC_DSEVENT) return false;
  TTwainLink::Busy busy(owner_);
  switch (event.TWMessage) {
    case MSG_XFERREADY:
      TransferImages();
      break;
    case MSG_CLOSEDSREQ:
      owner_->Raise(owner_->OnAcquireCancel, owner_, Index);
      SwitchOff();
      break;
    default:  // MSG_CLOSEDSOK, MSG_DEVICEEVENT, MSG_NULL: nothing to do
      break;
  }
  return true;
}

void TTwainSource::TransferImages() {
  TTwainLink::Busy busy(owner_);
  bool cancel = false;
  bool done = false;
  TW_UINT16 lastCount = TWON_DONTCARE16;
  do {
    HGLOBAL native = nullptr;
    TW_SETUPFILEXFER file{};
    std::unique_ptr<gdi::DibSection> memory;
    const TW_UINT16 rc = FetchImage(&native, &file, &memory);
    bool failed = false;
    if (rc == TWRC_CANCEL) {
      owner_->Raise(owner_->OnAcquireCancel, owner_, Index);
      // A cancelled transfer still ends with MSG_ENDXFER, or the driver
      // stays in the middle of it and refuses to be switched off and closed.
      TW_PENDINGXFERS pending{};
      if (Call(DG_CONTROL, DAT_PENDINGXFERS, MSG_ENDXFER, &pending) == TWRC_SUCCESS && pending.Count != 0) {
        TW_PENDINGXFERS reset{};
        Call(DG_CONTROL, DAT_PENDINGXFERS, MSG_RESET, &reset);
      }
      done = true;
    } else if (rc == TWRC_XFERDONE) {
      Deliver(native, file, std::move(memory), cancel);
    } else {
      owner_->Raise(owner_->OnAcquireError, owner_, Index, int(rc), int(GetConditionCode()));
      failed = true;
    }
    if (!done) {
      TW_PENDINGXFERS pending{};
      done = Call(DG_CONTROL, DAT_PENDINGXFERS, MSG_ENDXFER, &pending) != TWRC_SUCCESS || pending.Count == 0;
      // A failure that leaves as many images pending (or an unknown number)
      // would repeat for ever: the rest of the batch is dropped.
      const bool stuck = failed && pending.Count >= lastCount;
      lastCount = pending.Count;
      if (!done && (cancel || stuck)) {
        TW_PENDINGXFERS reset{};
        done = Call(DG_CONTROL, DAT_PENDINGXFERS, MSG_RESET, &reset) == TWRC_SUCCESS || stuck;
      }
    }
  } while (!done);
  SetSwitchedOn(false);
}

TW_UINT16 TTwainSource::FetchImage(HGLOBAL* native, TW_SETUPFILEXFER* file,
                                   std::unique_ptr<gdi::DibSection>* memory) {
  switch (TransferMode) {
    case ttmNative:
      *native = nullptr;
      return Call(DG_IMAGE, DAT_IMAGENATIVEXFER, MSG_GET, native);
    case ttmFile:
      owner_->Raise(owner_->OnSourceSetupFileXfer, owner_, Index);
      // What a driver that does not answer leaves: no name, no known format.
      *file = TW_SETUPFILEXFER{};
      file->Format = TWON_DONTCARE16;
      Call(DG_CONTROL, DAT_SETUPFILEXFER, MSG_GET, file);
      file->FileName[sizeof file->FileName - 1] = '\0';
      return Call(DG_IMAGE, DAT_IMAGEFILEXFER, MSG_GET, nullptr);
    case ttmMemory: {
      TW_UINT16 pixelType = 0;
      const TW_UINT16 rc = PrepareMemoryBitmap(memory, &pixelType);
      return rc == TWRC_SUCCESS ? ReadMemoryStrips(*memory, pixelType) : rc;
    }
  }
  return TWRC_FAILURE;
}

void TTwainSource::Deliver(HGLOBAL native, const TW_SETUPFILEXFER& file, std::unique_ptr<gdi::DibSection> memory,
                           bool& cancel) {
  switch (TransferMode) {
    case ttmFile:
      DeliverFile(file.FileName, file.Format, cancel);
      break;
    case ttmNative:
      DeliverNativeImage(native, cancel);
      break;
    case ttmMemory:
      DeliverMemoryImage(std::move(memory), cancel);
      break;
  }
}

void TTwainSource::AcquireBitmap(const gdi::Bitmap& picture, bool& cancel) {
  TBitmap image;
  image.SetImage(picture.Image());
  owner_->Raise(owner_->OnTwainAcquire, owner_, Index, &image, cancel);
}

// ---- native ----

void TTwainSource::DeliverNativeImage(HGLOBAL image, bool& cancel) {
  // The layer's DIB reader finds the rows after the header, its bit-field
  // masks and DibColorCount colours, and reads nothing beyond the block: a
  // block that does not hold what its header says is no picture.
  const size_t size = GlobalSize(image);
  const void* dib = GlobalLock(image);
  gdi::Bitmap picture;
  const bool ok = dib && gdi::ReadDib(dib, size, &picture);
  if (dib) GlobalUnlock(image);
  if (ok && owner_->OnTwainAcquire) AcquireBitmap(picture, cancel);
  GlobalFree(image);
}

// ---- memory ----

TW_UINT16 TTwainSource::PrepareMemoryBitmap(std::unique_ptr<gdi::DibSection>* bitmap, TW_UINT16* pixelType) {
  bitmap->reset();
  TW_IMAGEINFO info{};
  const TW_UINT16 rc = Call(DG_IMAGE, DAT_IMAGEINFO, MSG_GET, &info);
  if (rc != TWRC_SUCCESS) return rc;
  // A length of -1 (not known before the transfer) or no width or depth
  // leaves nothing to build the rows in.
  if (info.ImageWidth <= 0 || info.ImageLength <= 0 || info.BitsPerPixel <= 0) return TWRC_FAILURE;
  const uint64_t rowBytes = ((uint64_t(info.BitsPerPixel) * uint64_t(info.ImageWidth) + 31) / 32) * 4;
  const uint64_t imageBytes = rowBytes * uint64_t(info.ImageLength);
  TW_SETUPMEMXFER setup{};
  const TW_UINT16 setupRc = Call(DG_CONTROL, DAT_SETUPMEMXFER, MSG_GET, &setup);
  const uint64_t preferred = StripBytes(setup, setupRc);
  // Whole preferred buffers, one more when the image fills them exactly.
  const uint64_t size = (imageBytes / preferred + 1) * preferred;

  DibHeader dib{};
  BITMAPINFOHEADER& h = dib.header;
  h.biSize = sizeof h;
  h.biWidth = info.ImageWidth;
  h.biHeight = info.ImageLength;  // positive: the rows are stored bottom-up
  h.biPlanes = 1;
  h.biBitCount = WORD(info.BitsPerPixel);
  h.biCompression = BI_RGB;
  h.biSizeImage = DWORD(std::min<uint64_t>(size, 0xFFFFFFFFu));

  const double x = Fix32ToFloat(info.XResolution), y = Fix32ToFloat(info.YResolution);
  TTwainUnit unit = tuOther;
  TTwainUnits units;
  if (GetUnits(&unit, &units, CapQueryAll) != CapOk) unit = tuOther;  // not known: no resolution
  if (unit == tuInches) {
    h.biXPelsPerMeter = LONG(Trunc(x * 100 / 2.54));
    h.biYPelsPerMeter = LONG(Trunc(y * 100 / 2.54));
  } else if (unit == tuCentimeters) {
    h.biXPelsPerMeter = LONG(Trunc(x * 100));
    h.biYPelsPerMeter = LONG(Trunc(y * 100));
  }

  switch (info.PixelType) {
    case TWPT_BW: {
      TTwainPixelFlavor flavour = tpfChocolate;
      TTwainPixelFlavors flavours;
      if (GetPixelFlavor(&flavour, &flavours, CapQueryAll) != CapOk) flavour = tpfChocolate;
      const BYTE zero = flavour == tpfVanilla ? 255 : 0;
      h.biClrUsed = 2;
      dib.colours[0] = RGBQUAD{zero, zero, zero, 0};
      dib.colours[1] = RGBQUAD{BYTE(255 - zero), BYTE(255 - zero), BYTE(255 - zero), 0};
      break;
    }
    case TWPT_GRAY:
      h.biClrUsed = DWORD(GreyRamp(info.BitsPerPixel, dib.colours));
      break;
    case TWPT_RGB:
      break;
    default: {
      TW_PALETTE8 palette{};
      // No more colours than the table and the depth hold.
      const int most = info.BitsPerPixel < 8 ? 1 << info.BitsPerPixel : 256;
      if (Call(DG_IMAGE, DAT_PALETTE8, MSG_GET, &palette) == TWRC_SUCCESS && palette.NumColors > 0) {
        h.biClrUsed = std::min<DWORD>(palette.NumColors, DWORD(most));
        for (DWORD i = 0; i < h.biClrUsed; ++i) {
          const TW_ELEMENT8& c = palette.Colors[i];
          dib.colours[i] = RGBQUAD{c.Channel3, c.Channel2, c.Channel1, 0};
        }
      } else {
        h.biClrUsed = DWORD(GreyRamp(info.BitsPerPixel, dib.colours));
      }
      break;
    }
  }

  *bitmap = gdi::DibSection::Create(h, dib.colours);
  *pixelType = TW_UINT16(info.PixelType);
  return *bitmap ? TW_UINT16(TWRC_SUCCESS) : TW_UINT16(TWRC_FAILURE);
}

TW_UINT16 TTwainSource::ReadMemoryStrips(std::unique_ptr<gdi::DibSection>& bitmap, TW_UINT16 pixelType) {
  TW_SETUPMEMXFER setup{};
  TW_UINT16 code = Call(DG_CONTROL, DAT_SETUPMEMXFER, MSG_GET, &setup);
  if (!bitmap) code = TWRC_FAILURE;
  const TW_UINT32 length = StripBytes(setup, code);
  // Not zeroed: pages the driver never writes cost nothing.
  std::unique_ptr<BYTE[]> buffer(code == TWRC_SUCCESS ? new (std::nothrow) BYTE[length] : nullptr);
  if (!buffer) code = TWRC_FAILURE;

  TW_IMAGEMEMXFER strip;
  memset(&strip, 0xFF, sizeof strip);  // TWON_DONTCARE in every field
  strip.Memory.Flags = TWMF_APPOWNS | TWMF_POINTER;
  strip.Memory.Length = length;
  strip.Memory.TheMem = buffer.get();

  if (code == TWRC_SUCCESS) {
    gdi::DibSection& dib = *bitmap;
    const size_t rowBytes = dib.Stride();
    const int height = dib.Height();
    const bool swap = pixelType == TWPT_RGB && dib.BitsPerPixel() == 24;
    int row = height - 1;  // the image's top row is the last one in memory
    size_t filled = 0;
    while (code == TWRC_SUCCESS) {
      strip.BytesWritten = 0;
      code = Call(DG_IMAGE, DAT_IMAGEMEMXFER, MSG_GET, &strip);
      if (code != TWRC_SUCCESS && code != TWRC_XFERDONE) break;
      // The strip's rows as the driver laid them out when it says so, else
      // the bitmap's own; never more bytes than the buffer holds, and none
      // beyond the last row.
      const size_t sourceRow =
          strip.BytesPerRow != 0 && strip.BytesPerRow != TWON_DONTCARE32 ? strip.BytesPerRow : rowBytes;
      const BYTE* from = buffer.get();
      size_t left = std::min<size_t>(strip.BytesWritten, length);
      while (left > 0 && row >= 0) {
        BYTE* rowStart = dib.Bits() + size_t(row) * rowBytes;
        if (filled < sourceRow) {
          const size_t take = std::min(left, sourceRow - filled);
          if (filled < rowBytes) memcpy(rowStart + filled, from, std::min(take, rowBytes - filled));
          from += take;
          left -= take;
          filled += take;
        }
        if (filled < sourceRow) continue;
        if (swap)
          for (int x = 0; x < dib.Width(); ++x) std::swap(rowStart[3 * x], rowStart[3 * x + 2]);
        --row;
        filled = 0;
        owner_->Raise(owner_->OnAcquireProgress, this, Index, bitmap.get(), height - 1 - row, height);
      }
    }
  }
  if (code != TWRC_XFERDONE) bitmap.reset();
  return code;
}

void TTwainSource::DeliverMemoryImage(std::unique_ptr<gdi::DibSection> bitmap, bool& cancel) {
  if (bitmap && owner_->OnTwainAcquire) AcquireBitmap(bitmap->ToBitmap(), cancel);
}

// ---- file ----

void TTwainSource::DeliverFile(const TW_STR255& fileName, TW_UINT16 format, bool& cancel) {
  if (!owner_->OnSourceFileTransfer) return;
  TW_STR255 copy;
  memcpy(copy, fileName, sizeof copy);
  copy[sizeof copy - 1] = '\0';
  owner_->Raise(owner_->OnSourceFileTransfer, this, Index, copy, TwainFormatFromCode(format), cancel);
}
