// A bitmap in client memory: 32 bits per pixel (QImage RGB32; the fourth
// byte is never a colour), any size memory allows (a 100 x 105000 picture
// strip is larger than an X pixmap may be). A bitmap is a value: copies are
// independent (shared until one of them changes). It is also a Surface, so a
// device context can draw on it; a mutex guards the pixels, so one thread
// may draw while another copies out of it.
#pragma once
#include <QImage>
#include <functional>
#include <mutex>

#include "platform/gdi/surface.h"
#include "platform/windef.h"

namespace gdi {

class Bitmap : public Surface {
 public:
  Bitmap() = default;
  // A width x height bitmap, all black (as a new screen-compatible bitmap).
  // A refused size (negative, beyond 2^27 pixels, or memory exhausted) gives
  // an empty bitmap.
  Bitmap(int width, int height);
  // The image converted to RGB32; any alpha is dropped.
  explicit Bitmap(const QImage& image);
  Bitmap(const Bitmap& other);
  Bitmap& operator=(const Bitmap& other);
  ~Bitmap() override = default;

  int Width() const;
  int Height() const;
  bool IsEmpty() const { return Width() == 0 || Height() == 0; }

  // New size; the overlapping top-left part is kept, new pixels get `fill`.
  // False (bitmap unchanged) for a refused size.
  bool SetSize(int width, int height, COLORREF fill = RGB(0, 0, 0));
  // Replaces the pixels with a copy of the image (converted to RGB32).
  void SetImage(const QImage& image);

  // CLR_INVALID outside the bitmap.
  COLORREF GetPixel(int x, int y) const;
  // Ignored outside the bitmap.
  void SetPixel(int x, int y, COLORREF colour);

  // The whole picture as an RGB32 image (shared until either side changes).
  QImage Image() const;

  // Called after each drawing operation with the changed rectangle (not
  // under the bitmap's lock), e.g. so that a control showing the bitmap
  // repaints that part. Set it before the bitmap is drawn on from several
  // threads. Copies of the bitmap do not take it over.
  void SetChangeHandler(std::function<void(const QRect&)> handler);

  QSize Size() const override;
  void Draw(const std::function<QRect(QImage&)>& draw) override;
  QImage Read(const QRect& area) const override;

 private:
  mutable std::mutex mutex_;
  QImage image_;
  std::function<void(const QRect&)> changed_;
};

}  // namespace gdi
