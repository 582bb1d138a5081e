#include "platform/gdi/jpeg.h"

#include <csetjmp>
#include <cstdint>
#include <cstdio>
#include <vector>

#include "platform/gdi/file_bytes.h"

extern "C" {
#include <jpeglib.h>
}

namespace gdi {
namespace {

constexpr int64_t kMaxPixels = int64_t(1) << 26;
constexpr size_t kMaxFileBytes = size_t(1) << 30;

struct ErrorManager {
  jpeg_error_mgr base;
  jmp_buf escape;
};

[[noreturn]] void Escape(j_common_ptr cinfo) {
  longjmp(reinterpret_cast<ErrorManager*>(cinfo->err)->escape, 1);
}

// Warnings (level -1) mean corrupt data: the picture is refused. Trace
// messages are dropped.
void OnMessage(j_common_ptr cinfo, int level) {
  if (level < 0) Escape(cinfo);
}

// What the decoding writes; lives outside the frame that calls setjmp, so
// nothing there is left half-made by a jump.
struct Output {
  QImage image;
  std::vector<JSAMPLE> row;
};

void StoreRow(const j_decompress_ptr cinfo, const JSAMPLE* in, QRgb* out) {
  const JDIMENSION width = cinfo->output_width;
  switch (cinfo->out_color_space) {
    case JCS_GRAYSCALE:
      for (JDIMENSION x = 0; x < width; ++x) out[x] = qRgb(in[x], in[x], in[x]);
      break;
    case JCS_CMYK: {
      // Adobe's files store the inks inverted.
      const bool inverted = cinfo->saw_Adobe_marker;
      for (JDIMENSION x = 0; x < width; ++x, in += 4) {
        int c = in[0], m = in[1], y = in[2], k = in[3];
        if (!inverted) c = 255 - c, m = 255 - m, y = 255 - y, k = 255 - k;
        out[x] = qRgb(c * k / 255, m * k / 255, y * k / 255);
      }
      break;
    }
    default:
      for (JDIMENSION x = 0; x < width; ++x, in += 3) out[x] = qRgb(in[0], in[1], in[2]);
      break;
  }
}

// Decodes into `output`; false on any error.
bool Run(jpeg_decompress_struct* cinfo, ErrorManager* errors, const BYTE* data, size_t size, Output* output) {
  if (setjmp(errors->escape)) return false;
  jpeg_create_decompress(cinfo);
  jpeg_mem_src(cinfo, const_cast<BYTE*>(data), static_cast<unsigned long>(size));
  if (jpeg_read_header(cinfo, TRUE) != JPEG_HEADER_OK) return false;
  if (int64_t(cinfo->image_width) * cinfo->image_height > kMaxPixels) return false;
  const bool cmyk = cinfo->jpeg_color_space == JCS_CMYK || cinfo->jpeg_color_space == JCS_YCCK;
  const bool grey = cinfo->jpeg_color_space == JCS_GRAYSCALE;
  cinfo->out_color_space = cmyk ? JCS_CMYK : grey ? JCS_GRAYSCALE : JCS_RGB;
  jpeg_start_decompress(cinfo);
  const int width = int(cinfo->output_width), height = int(cinfo->output_height);
  output->image = QImage(width, height, QImage::Format_RGB32);
  if (output->image.isNull()) return false;
  output->row.resize(size_t(width) * size_t(cinfo->output_components));
  while (cinfo->output_scanline < cinfo->output_height) {
    JSAMPROW rows[1] = {output->row.data()};
    const int y = int(cinfo->output_scanline);
    if (jpeg_read_scanlines(cinfo, rows, 1) != 1) return false;
    StoreRow(cinfo, output->row.data(), reinterpret_cast<QRgb*>(output->image.scanLine(y)));
  }
  jpeg_finish_decompress(cinfo);
  return true;
}

}  // namespace

bool DecodeJpeg(const void* data, size_t size, Bitmap* out) {
  if (!data || !out || size < 4) return false;
  const BYTE* p = static_cast<const BYTE*>(data);
  if (p[0] != 0xFF || p[1] != 0xD8) return false;
  jpeg_decompress_struct cinfo{};
  ErrorManager errors{};
  cinfo.err = jpeg_std_error(&errors.base);
  errors.base.error_exit = Escape;
  errors.base.emit_message = OnMessage;
  Output output;
  const bool ok = Run(&cinfo, &errors, p, size, &output);
  jpeg_destroy_decompress(&cinfo);
  if (!ok) return false;
  out->SetImage(output.image);
  return true;
}

bool LoadJpegFile(const std::string& path, Bitmap* out) {
  std::vector<BYTE> bytes;
  return ReadFileBytes(path, kMaxFileBytes, &bytes) && DecodeJpeg(bytes.data(), bytes.size(), out);
}

}  // namespace gdi
