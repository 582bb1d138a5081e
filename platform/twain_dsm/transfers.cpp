#include "platform/twain_dsm/transfers.h"

#include "platform/fs/files.h"
#include "platform/globalmem.h"
#include "platform/twain_dsm/containers.h"

#include <cstring>

namespace twain_dsm {

namespace {

TW_UINT16 Refuse(TW_UINT16 why, TW_UINT16* cc) {
  *cc = why;
  return TWRC_FAILURE;
}

// The picture, read to its end, for a request that describes it.
bool Peek(OpenSource& s, TW_UINT16* rc, TW_UINT16* cc) {
  if (s.AwaitPicture(rc, cc)) return true;
  if (*rc != TWRC_CANCEL) *rc = TWRC_FAILURE;
  return false;
}

// The picture for a transfer. A failed read is reported by one transfer;
// the application's next request reads afresh. A cancelled transfer still
// ends with MSG_ENDXFER.
bool Ready(OpenSource& s, TW_UINT16* rc, TW_UINT16* cc) {
  if (Peek(s, rc, cc)) return true;
  s.scan = OpenSource::Scan::kNone;
  if (*rc == TWRC_CANCEL) s.state = 7;
  return false;
}

// The whole picture went to the application: its rows are no longer kept.
TW_UINT16 HandedOver(OpenSource& s) {
  s.ReleaseRows();
  s.state = 7;
  return TWRC_XFERDONE;
}

// A buffer size made of whole rows, near 64 KiB.
TW_UINT32 WholeRows(size_t stride) {
  const size_t rows = stride >= 65536 ? 1 : 65536 / stride;
  return TW_UINT32(rows * stride);
}

}  // namespace

TW_UINT16 ImageInfo(OpenSource& s, TW_IMAGEINFO* info, TW_UINT16* cc) {
  TW_UINT16 rc;
  if (!Peek(s, &rc, cc)) return rc == TWRC_CANCEL ? Refuse(TWCC_SEQERROR, cc) : rc;
  const Picture& p = s.picture;
  *info = TW_IMAGEINFO{};
  const uint32_t x = Fix32Item(p.xResolution), y = Fix32Item(p.yResolution);
  memcpy(&info->XResolution, &x, sizeof x);
  memcpy(&info->YResolution, &y, sizeof y);
  info->ImageWidth = p.width;
  info->ImageLength = p.height;
  info->SamplesPerPixel = p.pixelType == TWPT_RGB ? 3 : 1;
  for (int i = 0; i < info->SamplesPerPixel; ++i) info->BitsPerSample[i] = p.pixelType == TWPT_BW ? 1 : 8;
  info->BitsPerPixel = TW_INT16(p.BitsPerPixel());
  info->Planar = TW_FALSE;
  info->PixelType = TW_INT16(p.pixelType);
  info->Compression = TWCP_NONE;
  return TWRC_SUCCESS;
}

TW_UINT16 NativeTransfer(OpenSource& s, TW_HANDLE* handle, TW_UINT16* cc) {
  TW_UINT16 rc;
  if (!Ready(s, &rc, cc)) return rc;
  HGLOBAL h = GlobalAlloc(GHND, PackedDibSize(s.picture));
  if (!h) return Refuse(TWCC_LOWMEMORY, cc);
  WritePackedDib(s.picture, static_cast<uint8_t*>(GlobalLock(h)));
  GlobalUnlock(h);
  *handle = h;
  return HandedOver(s);
}

TW_UINT16 SetupMemory(OpenSource& s, TW_SETUPMEMXFER* setup, TW_UINT16* cc) {
  size_t stride = s.Settle()->ExpectedStride();
  if (s.state >= 6) {
    TW_UINT16 rc;
    TW_UINT16 ignored;
    if (Peek(s, &rc, &ignored)) stride = s.picture.Stride();
  }
  if (stride == 0) stride = 4;
  setup->MinBufSize = TW_UINT32(stride);
  setup->MaxBufSize = TWON_DONTCARE32;
  setup->Preferred = WholeRows(stride);
  *cc = TWCC_SUCCESS;
  return TWRC_SUCCESS;
}

TW_UINT16 MemoryTransfer(OpenSource& s, TW_IMAGEMEMXFER* strip, TW_UINT16* cc) {
  TW_UINT16 rc;
  if (s.state == 6) {
    if (!Ready(s, &rc, cc)) return rc;
    s.nextRow = 0;
  }
  const Picture& p = s.picture;
  if (s.nextRow >= p.height) return Refuse(TWCC_SEQERROR, cc);
  const TW_MEMORY& mem = strip->Memory;
  if (!(mem.Flags & TWMF_APPOWNS) || !mem.TheMem) return Refuse(TWCC_BADVALUE, cc);
  const size_t stride = p.Stride();
  if (mem.Length < stride) return Refuse(TWCC_BADVALUE, cc);
  void* to = (mem.Flags & TWMF_HANDLE) ? GlobalLock(mem.TheMem) : mem.TheMem;
  if (!to) return Refuse(TWCC_BADVALUE, cc);
  const int rows = int(std::min<size_t>(mem.Length / stride, size_t(p.height - s.nextRow)));
  memcpy(to, p.Row(s.nextRow), size_t(rows) * stride);
  if (mem.Flags & TWMF_HANDLE) GlobalUnlock(mem.TheMem);
  strip->Compression = TWCP_NONE;
  strip->BytesPerRow = TW_UINT32(stride);
  strip->Columns = TW_UINT32(p.width);
  strip->Rows = TW_UINT32(rows);
  strip->XOffset = 0;
  strip->YOffset = TW_UINT32(s.nextRow);
  strip->BytesWritten = TW_UINT32(size_t(rows) * stride);
  s.nextRow += rows;
  s.state = 7;
  return s.nextRow == p.height ? TWRC_XFERDONE : TWRC_SUCCESS;
}

TW_UINT16 SetupFile(OpenSource& s, TW_UINT16 msg, TW_SETUPFILEXFER* setup, TW_UINT16* cc) {
  switch (msg) {
    case MSG_GET:
      *setup = s.file;
      return TWRC_SUCCESS;
    case MSG_GETDEFAULT:
      *setup = OpenSource::DefaultFile();
      return TWRC_SUCCESS;
    case MSG_RESET:
      *setup = s.file = OpenSource::DefaultFile();
      return TWRC_SUCCESS;
    case MSG_SET:
      // BMP is the one format written; the name must end within its field.
      if (setup->Format != TWFF_BMP) return Refuse(TWCC_BADVALUE, cc);
      if (!memchr(setup->FileName, 0, sizeof setup->FileName) || !setup->FileName[0])
        return Refuse(TWCC_BADVALUE, cc);
      s.file = *setup;
      return TWRC_SUCCESS;
    default:
      return Refuse(TWCC_BADPROTOCOL, cc);
  }
}

TW_UINT16 FileTransfer(OpenSource& s, TW_UINT16* cc) {
  TW_UINT16 rc;
  if (!Ready(s, &rc, cc)) return rc;
  if (!WriteWholeFile(s.file.FileName, BmpFile(s.picture))) return Refuse(TWCC_OPERATIONERROR, cc);
  return HandedOver(s);
}

TW_UINT16 Palette(OpenSource& s, TW_PALETTE8* palette, TW_UINT16* cc) {
  TW_UINT16 type = s.Settle()->PixelType();
  if (s.state >= 6) {
    TW_UINT16 rc;
    if (!Peek(s, &rc, cc)) return rc == TWRC_CANCEL ? Refuse(TWCC_SEQERROR, cc) : rc;
    type = s.picture.pixelType;
  }
  if (type != TWPT_BW && type != TWPT_GRAY) return Refuse(TWCC_BADPROTOCOL, cc);
  *palette = TW_PALETTE8{};
  palette->NumColors = type == TWPT_BW ? 2 : 256;
  palette->PaletteType = TWPA_GRAY;
  for (int i = 0; i < palette->NumColors; ++i) {
    const TW_UINT8 v = TW_UINT8(type == TWPT_BW ? i * 255 : i);
    palette->Colors[i] = TW_ELEMENT8{TW_UINT8(i), v, v, v};
  }
  return TWRC_SUCCESS;
}

}  // namespace twain_dsm
