#include "platform/twain_dsm/picture.h"

#include <cmath>
#include <cstring>

namespace twain_dsm {

namespace {

LONG PelsPerMeter(double dpi) { return dpi > 0 ? LONG(std::lround(dpi / 0.0254)) : 0; }

}  // namespace

int DibColours(const Picture& p) {
  switch (p.pixelType) {
    case TWPT_BW:
      return 2;
    case TWPT_RGB:
      return 0;
    default:
      return 256;
  }
}

size_t PackedDibSize(const Picture& p) {
  return sizeof(BITMAPINFOHEADER) + size_t(DibColours(p)) * sizeof(RGBQUAD) + p.rows.size();
}

void WritePackedDib(const Picture& p, uint8_t* out) {
  BITMAPINFOHEADER h{};
  h.biSize = sizeof h;
  h.biWidth = p.width;
  h.biHeight = p.height;  // positive: bottom-up
  h.biPlanes = 1;
  h.biBitCount = WORD(p.BitsPerPixel());
  h.biCompression = BI_RGB;
  h.biSizeImage = DWORD(p.rows.size());
  h.biXPelsPerMeter = PelsPerMeter(p.xResolution);
  h.biYPelsPerMeter = PelsPerMeter(p.yResolution);
  h.biClrUsed = DWORD(DibColours(p));
  memcpy(out, &h, sizeof h);
  out += sizeof h;
  for (int i = 0; i < DibColours(p); ++i) {
    BYTE v = p.pixelType == TWPT_BW ? BYTE(i * 255) : BYTE(i);
    RGBQUAD q{v, v, v, 0};
    memcpy(out, &q, sizeof q);
    out += sizeof q;
  }
  const size_t stride = p.Stride();
  for (int y = 0; y < p.height; ++y) {
    uint8_t* dst = out + size_t(p.height - 1 - y) * stride;
    memcpy(dst, p.Row(y), stride);
    if (p.pixelType == TWPT_RGB)
      for (int x = 0; x < p.width; ++x) std::swap(dst[3 * x], dst[3 * x + 2]);
  }
}

std::string BmpFile(const Picture& p) {
  const size_t dib = PackedDibSize(p);
  std::string file(sizeof(BITMAPFILEHEADER) + dib, '\0');
  BITMAPFILEHEADER f{};
  f.bfType = 0x4D42;  // "BM"
  f.bfSize = DWORD(file.size());
  f.bfOffBits = DWORD(sizeof f + sizeof(BITMAPINFOHEADER) + DibColours(p) * sizeof(RGBQUAD));
  memcpy(&file[0], &f, sizeof f);
  WritePackedDib(p, reinterpret_cast<uint8_t*>(&file[sizeof f]));
  return file;
}

}  // namespace twain_dsm
