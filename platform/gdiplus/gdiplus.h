// GDI+ as the board uses it: pictures read from files by content, whatever
// their extension, and drawn into device contexts. Over Qt image I/O (PNG,
// BMP, GIF, TIFF) and libjpeg (JPEG, through the gdi facility).
//
// The resampling round trip (resample.cpp): a picture made from the bytes
// of a memory stream, a new 32-bpp ARGB bitmap, a source rectangle drawn
// scaled into it with an interpolation mode, and the result saved with the
// BMP or PNG encoder.
#pragma once
#include <QImage>
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/gdi/bitmap.h"
#include "platform/gdi/dc.h"
#include "platform/windef.h"

namespace Gdiplus {

// The status codes of the GDI+ calls that exist here.
enum Status {
  Ok = 0,
  GenericError = 1,
  InvalidParameter = 2,
  OutOfMemory = 3,
  FileNotFound = 10,
  UnknownImageFormat = 13,
};

typedef float REAL;

struct RectF {
  REAL X = 0, Y = 0, Width = 0, Height = 0;
  RectF() = default;
  RectF(REAL x, REAL y, REAL width, REAL height) : X(x), Y(y), Width(width), Height(height) {}
};

enum Unit { UnitWorld = 0, UnitDisplay = 1, UnitPixel = 2 };

// Qt's smooth transform stands in for every filtering mode, nearest pixel
// for the nearest-neighbour one.
enum InterpolationMode {
  InterpolationModeDefault = 0,
  InterpolationModeLowQuality = 1,
  InterpolationModeHighQuality = 2,
  InterpolationModeBilinear = 3,
  InterpolationModeBicubic = 4,
  InterpolationModeNearestNeighbor = 5,
  InterpolationModeHighQualityBilinear = 6,
  InterpolationModeHighQualityBicubic = 7,
};

typedef int PixelFormat;
constexpr PixelFormat PixelFormat32bppARGB = 0x26200A;

// An encoder's class id (the public GDI+ values).
struct CLSID {
  uint32_t Data1;
  uint16_t Data2, Data3;
  uint8_t Data4[8];
  bool operator==(const CLSID& o) const;
};

// The class id of the installed encoder for a MIME type ("image/bmp",
// "image/png"); false, with *clsid untouched, when there is none.
bool GetEncoderClsid(const char* mimeType, CLSID* clsid);

class Image {
 public:
  // The picture in the file (a GBK Windows path). A file that is missing
  // gives FileNotFound, one that holds no picture, or one that does not
  // decode completely (cut short, damaged), UnknownImageFormat; the image
  // is then empty (0 x 0).
  explicit Image(const std::string& fileName);
  // The picture in `size` bytes of memory (a bitmap saved into a memory
  // stream); decoded at once, so the bytes need not outlive the image. An
  // unreadable or incomplete picture gives UnknownImageFormat.
  Image(const void* data, size_t size);
  Image(const Image&) = delete;
  Image& operator=(const Image&) = delete;
  virtual ~Image() = default;

  Status GetLastStatus() const { return status_; }
  UINT GetWidth() const { return UINT(pixels_.width()); }
  UINT GetHeight() const { return UINT(pixels_.height()); }

  // Writes the picture with the encoder (GetEncoderClsid) to the file (a
  // GBK Windows path), through a temporary file renamed into place; not
  // flushed to disk, as the file is a round trip's, read back at once. The
  // BMP encoder writes 32
  // bpp, each pixel composed over black; the PNG one keeps the alpha.
  // InvalidParameter for an empty image or an unknown encoder,
  // GenericError when the file cannot be written.
  Status Save(const std::string& fileName, const CLSID* encoder) const;

  // ARGB32 premultiplied; null for an empty image.
  const QImage& Pixels() const { return pixels_; }

 protected:
  Image() = default;
  void Decode(const char* data, size_t size);

  QImage pixels_;
  Status status_ = Ok;
};

// A picture made in memory: width x height pixels, all 0 (transparent
// black). Only PixelFormat32bppARGB exists; another format, or a size that
// is not positive or cannot be had, gives an empty bitmap whose status is
// InvalidParameter or OutOfMemory.
class Bitmap : public Image {
 public:
  Bitmap(int width, int height, PixelFormat format);

 private:
  friend class Graphics;
  QImage& Target() { return pixels_; }
};

// A drawing surface on a device context: it draws on what the DC draws on,
// inside the DC's clip region at the time of each call. The DC must outlive
// it.
class Graphics {
 public:
  explicit Graphics(gdi::DC* dc) : dc_(dc) {}
  // A drawing surface on a bitmap made in memory, which must outlive it.
  explicit Graphics(Bitmap* bitmap) : bitmap_(bitmap) {}
  Graphics(const Graphics&) = delete;
  Graphics& operator=(const Graphics&) = delete;

  // For the scaled drawing below.
  Status SetInterpolationMode(InterpolationMode mode);
  // The source rectangle of the image (pixels; a part beyond the image
  // draws nothing) scaled into the destination rectangle, on a bitmap made
  // in memory. InvalidParameter (nothing drawn) without such a bitmap, for
  // no image or an empty one, a unit other than UnitPixel, or a source or
  // destination rectangle without area.
  Status DrawImage(Image* image, const RectF& dest, REAL srcX, REAL srcY, REAL srcWidth, REAL srcHeight,
                   Unit srcUnit);

  // The whole image with its top-left corner at (x, y) in its natural size:
  // one image pixel on one device pixel, whatever resolution the file
  // records. Transparent parts let the destination show through.
  // InvalidParameter (nothing drawn) for no image, an empty one, or a DC
  // without a surface.
  Status DrawImage(Image* image, int x, int y);

 private:
  gdi::DC* dc_ = nullptr;
  Bitmap* bitmap_ = nullptr;
  InterpolationMode interpolation_ = InterpolationModeDefault;
};

}  // namespace Gdiplus
