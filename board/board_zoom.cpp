// Dragging and zooming the floating picture Image2. Every zoom step
// resamples through GDI+ from the picture as it stood before the first step
// (ZoomImage), so steps do not pile up resampling losses, and brings the
// result back through "tmp.bmt" in the program folder.
#include "board/board.h"
#include "board/toolbar.h"
#include "board/zoom_limit.h"

namespace {

constexpr float kZoomStep = 1.5f;

}  // namespace

void TForm3::Image2MouseDown(TObject*, TMouseButton, TShiftState, int X, int Y) {
  // In the picture's own coordinates: the press neither commits nor draws.
  StartX = X, StartY = Y;
}

void TForm3::Image2MouseMove(TObject*, TShiftState Shift, int X, int Y) {
  if (!Shift.Contains(ssLeft)) return;
  Image2->SetBounds(Image2->Left + X - StartX, Image2->Top + Y - StartY, Image2->Width, Image2->Height);
  Form1->PaintSource = 1;
}

bool TForm3::ZoomStep(bool in) {
  if (!Image2->Visible) return false;
  TBitmap* shown = Image2->Picture->Bitmap;
  // The cache belongs to the picture the last step left; any other picture
  // floating now (a scan puts one up without a word to the cache) is zoomed
  // from its own pixels, as its size stands.
  const bool cached = ZoomImageCached != 0 && ZoomImage && shown->ToImage().cacheKey() == ZoomShownKey;
  const double fromW = cached ? ZoomImage->GetWidth() : shown->Width;
  const double fromH = cached ? ZoomImage->GetHeight() : shown->Height;
  const float fromFactor = cached ? ZoomFactor : 1.0f;
  const float stepped = in ? fromFactor * kZoomStep : fromFactor / kZoomStep;
  if (!ZoomFits(fromW * stepped, fromH * stepped, Screen->Width, Screen->Height)) return false;
  if (!cached) {
    TMemoryStream stream;
    shown->SaveToStream(&stream);
    stream.Position = 0;
    auto image = std::make_unique<Gdiplus::Image>(stream.Memory(), size_t(stream.Size()));
    if (image->GetLastStatus() != Gdiplus::Ok) return false;
    ZoomImage = std::move(image);
    ZoomImageCached = 1;
    ZoomFactor = 1.0f;
  }

  const float factor = stepped;
  const double w = ZoomImage->GetWidth(), h = ZoomImage->GetHeight();
  const int zoomedW = int(Round(w * factor)), zoomedH = int(Round(h * factor));
  Gdiplus::Bitmap zoomed(zoomedW, zoomedH, Gdiplus::PixelFormat32bppARGB);
  if (zoomed.GetLastStatus() != Gdiplus::Ok) return false;
  // A placed picture is drawn whole and always bicubic; a cut leaves its
  // selection frame out, enlarged coarsely and reduced finely.
  const bool picture = FloatIsPicture == 1;
  Gdiplus::Graphics g(&zoomed);
  g.SetInterpolationMode(picture           ? Gdiplus::InterpolationModeHighQualityBicubic
                         : factor >= 1.0f ? Gdiplus::InterpolationModeLowQuality
                                          : Gdiplus::InterpolationModeHighQuality);
  const Gdiplus::RectF dest(0, 0, Gdiplus::REAL(w * factor), Gdiplus::REAL(h * factor));
  const Gdiplus::Status drawn =
      picture ? g.DrawImage(ZoomImage.get(), dest, 0, 0, Gdiplus::REAL(w), Gdiplus::REAL(h), Gdiplus::UnitPixel)
              : g.DrawImage(ZoomImage.get(), dest, 1, 1, Gdiplus::REAL(w - 3), Gdiplus::REAL(h - 3),
                            Gdiplus::UnitPixel);
  Gdiplus::CLSID bmp;
  const AnsiString roundTrip = ProgramFolder + "tmp.bmt";
  if (drawn != Gdiplus::Ok || !Gdiplus::GetEncoderClsid("image/bmp", &bmp) ||
      zoomed.Save(roundTrip, &bmp) != Gdiplus::Ok)
    return false;
  auto back = std::make_unique<TBitmap>();
  try {
    back->LoadFromFile(roundTrip);
  } catch (const Exception&) {
    return false;
  }

  ZoomFactor = factor;
  const int screenW = Screen->Width, screenH = Screen->Height;
  int left = Image2->Left, top = Image2->Top;
  if (in) {
    // Pushed back inside the right and bottom edges; larger than the
    // screen, centred on it.
    if (left + zoomedW > screenW) left = screenW - zoomedW;
    if (left < 0) left /= 2;
    if (top + zoomedH > screenH) top = screenH - zoomedH;
    if (top < 0) top /= 2;
  } else {
    if (left < 0 && zoomedW < screenW) left = 0;
    if (top < 0 && zoomedH < screenH) top = 0;
  }
  Image2->SetBounds(left, top, zoomedW, zoomedH);
  Image2->Picture->Bitmap = back.get();
  back.reset();  // the picture's pixels are its own again: the frame is drawn in place
  if (ZoomFactor >= 1.0f && !picture) {
    TCanvas* c = Image2->Picture->Bitmap->Canvas;
    c->Pen->Color = LCP->Color;
    c->Pen->Width = 1;
    c->Pen->Style = psDot;
    c->Brush->Style = bsClear;
    c->Rectangle(0, 0, zoomedW - 1, zoomedH - 1);
  }
  ZoomShownKey = Image2->Picture->Bitmap->ToImage().cacheKey();
  return true;
}

void TForm3::SpeedButton35Click(TObject*) { ZoomStep(true); }

void TForm3::SpeedButton36Click(TObject*) { ZoomStep(false); }
