// TGraphic, TBitmap and TPicture.
#include <QBuffer>
#include <QImageReader>
#include <cstdint>

#include "platform/fs/path.h"
#include "platform/gdi/bmp.h"
#include "platform/gdi/colour.h"
#include "platform/gdi/file_bytes.h"
#include "platform/gdi/jpeg.h"
#include "platform/vcl/graphics.h"
#include "platform/vcl/jpeg.h"

namespace {

std::vector<BYTE> ReadFileOrThrow(const AnsiString& fileName) {
  // A plain file straight into its buffer; anything else (a pipe) as it comes.
  std::vector<BYTE> bytes;
  if (gdi::ReadFileBytes(winpath::ToLinux(fileName), SIZE_MAX, &bytes)) return bytes;
  auto data = ReadWholeFile(fileName);
  if (!data) throw EFOpenError(fileName);
  return std::vector<BYTE>(data->begin(), data->end());
}

void WriteFileOrThrow(const AnsiString& fileName, const std::vector<BYTE>& bytes) {
  if (!WriteWholeFile(fileName, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size())))
    throw EFCreateError(fileName);
}

std::vector<BYTE> RestOf(TStream* stream) {
  std::vector<BYTE> bytes;
  if (!stream) return bytes;
  int64_t n = stream->Size - stream->Position;
  if (n <= 0) return bytes;
  bytes.resize(size_t(n));
  stream->ReadBuffer(bytes.data(), n);
  return bytes;
}

bool StartsWith(const std::vector<BYTE>& b, std::initializer_list<int> magic) {
  if (b.size() < magic.size()) return false;
  size_t i = 0;
  for (int m : magic)
    if (b[i++] != BYTE(m)) return false;
  return true;
}

}  // namespace

void TGraphic::Changed() {
  if (OnChange) OnChange(this);
}

// ---- TBitmap ----

TBitmap::TBitmap() {
  bitmap_.SetChangeHandler([this](const QRect&) { Changed(); });
}

TBitmap::~TBitmap() = default;

void TBitmap::Assign(TPersistent* source) {
  if (source == this) return;
  width_ = height_ = 0;
  if (!source) {
    bitmap_ = gdi::Bitmap();
  } else if (auto* b = dynamic_cast<TBitmap*>(source)) {
    bitmap_ = b->bitmap_;
    width_ = b->width_, height_ = b->height_;
    pixelFormat_ = b->pixelFormat_;
  } else if (auto* j = dynamic_cast<TJPEGImage*>(source)) {
    bitmap_ = j->Decoded();
  } else if (auto* p = dynamic_cast<TPicture*>(source)) {
    TGraphic* g = p->GetGraphic();
    if (g == this) return;
    if (g)
      Assign(g);
    else
      bitmap_ = gdi::Bitmap();
    return;
  } else if (auto* g = dynamic_cast<TGraphic*>(source)) {
    bitmap_.SetImage(g->ToImage());
  } else {
    return TPersistent::Assign(source);
  }
  Changed();
}

void TBitmap::SetSize(int w, int h) {
  w = std::max(0, w), h = std::max(0, h);
  if (w == GetWidth() && h == GetHeight()) return;
  if (!bitmap_.SetSize(w, h, RGB(255, 255, 255))) throw EOutOfResources("Out of system resources");
  width_ = w, height_ = h;
  Changed();
}
void TBitmap::SetWidth(int w) { SetSize(w, GetHeight()); }
void TBitmap::SetHeight(int h) { SetSize(GetWidth(), h); }

void TBitmap::SetImage(const QImage& image) {
  bitmap_.SetImage(image);
  Changed();
}

TCanvas* TBitmap::GetCanvas() const {
  if (!canvas_) canvas_ = std::make_unique<TCanvas>(const_cast<gdi::Bitmap*>(&bitmap_));
  return canvas_.get();
}

void TBitmap::Draw(TCanvas* canvas, const TRect& rect) {
  if (canvas) canvas->CopyRect(rect, GetCanvas(), TRect(0, 0, GetWidth(), GetHeight()));
}

void TBitmap::LoadFromFile(const AnsiString& fileName) {
  gdi::Bitmap read;
  // A file the BMP reader takes goes straight into the bitmap; any other is
  // read whole to tell why it is refused.
  if (!gdi::LoadBmpFile(winpath::ToLinux(fileName), &read)) {
    std::vector<BYTE> bytes = ReadFileOrThrow(fileName);
    if (!gdi::ReadBmp(bytes.data(), bytes.size(), &read)) throw EInvalidGraphic("Bitmap image is not valid");
  }
  bitmap_ = read;
  width_ = height_ = 0;
  Changed();
}

void TBitmap::SaveToFile(const AnsiString& fileName) {
  std::vector<BYTE> bytes;
  if (!gdi::WriteBmp(bitmap_, BitsPerPixel(), &bytes)) throw EFCreateError(fileName);
  WriteFileOrThrow(fileName, bytes);
}

void TBitmap::LoadFromStream(TStream* stream) {
  int64_t start = stream ? stream->Position() : 0;
  std::vector<BYTE> bytes = RestOf(stream);
  gdi::Bitmap read;
  if (!gdi::ReadBmp(bytes.data(), bytes.size(), &read)) {
    if (stream) stream->Position = start;
    throw EInvalidGraphic("Bitmap image is not valid");
  }
  // The stream moves past this file image only (its size is in its header).
  if (stream && bytes.size() >= 6) {
    uint32_t size = uint32_t(bytes[2]) | uint32_t(bytes[3]) << 8 | uint32_t(bytes[4]) << 16 | uint32_t(bytes[5]) << 24;
    if (size >= 54 && size <= bytes.size()) stream->Position = start + size;
  }
  bitmap_ = read;
  width_ = height_ = 0;
  Changed();
}

void TBitmap::SaveToStream(TStream* stream) {
  std::vector<BYTE> bytes;
  if (!stream || !gdi::WriteBmp(bitmap_, BitsPerPixel(), &bytes)) return;
  stream->WriteBuffer(bytes.data(), int64_t(bytes.size()));
}

// ---- TJPEGImage ----

bool TJPEGImage::SetBytes(std::vector<BYTE> bytes) {
  gdi::Bitmap decoded;
  if (!gdi::DecodeJpeg(bytes.data(), bytes.size(), &decoded)) return false;
  bytes_ = std::move(bytes);
  decoded_ = decoded;
  Changed();
  return true;
}

void TJPEGImage::Assign(TPersistent* source) {
  auto* j = dynamic_cast<TJPEGImage*>(source);
  if (!j) return TPersistent::Assign(source);
  if (j == this) return;
  bytes_ = j->bytes_;
  decoded_ = j->decoded_;
  Changed();
}

void TJPEGImage::Draw(TCanvas* canvas, const TRect& rect) {
  TBitmap b;
  b.Pixels() = decoded_;
  b.Draw(canvas, rect);
}

void TJPEGImage::LoadFromFile(const AnsiString& fileName) {
  if (!SetBytes(ReadFileOrThrow(fileName))) throw EInvalidGraphic("JPEG image is not valid");
}

void TJPEGImage::SaveToFile(const AnsiString& fileName) { WriteFileOrThrow(fileName, bytes_); }

void TJPEGImage::LoadFromStream(TStream* stream) {
  if (!SetBytes(RestOf(stream))) throw EInvalidGraphic("JPEG image is not valid");
}

void TJPEGImage::SaveToStream(TStream* stream) {
  if (stream) stream->WriteBuffer(bytes_.data(), int64_t(bytes_.size()));
}

// ---- TPicture ----

TPicture::TPicture() = default;
TPicture::~TPicture() = default;

void TPicture::Changed() const {
  if (OnChange) OnChange(const_cast<TPicture*>(this));
}

void TPicture::Take(std::unique_ptr<TGraphic> g) const {
  graphic_ = std::move(g);
  if (graphic_) graphic_->OnChange = [this](TObject*) { Changed(); };
  Changed();
}

void TPicture::SetGraphic(TGraphic* g) {
  if (g == graphic_.get()) return;
  if (!g) return Take(nullptr);
  std::unique_ptr<TGraphic> copy;
  if (dynamic_cast<TJPEGImage*>(g))
    copy = std::make_unique<TJPEGImage>();
  else
    copy = std::make_unique<TBitmap>();
  copy->Assign(g);
  Take(std::move(copy));
}

TBitmap* TPicture::GetBitmap() const {
  if (auto* b = dynamic_cast<TBitmap*>(graphic_.get())) return b;
  Take(std::make_unique<TBitmap>());
  return static_cast<TBitmap*>(graphic_.get());
}

void TPicture::Assign(TPersistent* source) {
  if (!source) return SetGraphic(nullptr);
  if (auto* p = dynamic_cast<TPicture*>(source)) return SetGraphic(p->GetGraphic());
  if (auto* g = dynamic_cast<TGraphic*>(source)) return SetGraphic(g);
  TPersistent::Assign(source);
}

void TPicture::LoadFromFile(const AnsiString& fileName) {
  std::vector<BYTE> bytes = ReadFileOrThrow(fileName);
  if (StartsWith(bytes, {'B', 'M'})) {
    auto b = std::make_unique<TBitmap>();
    if (!gdi::ReadBmp(bytes.data(), bytes.size(), &b->Pixels())) throw EInvalidGraphic("Bitmap image is not valid");
    return Take(std::move(b));
  }
  if (StartsWith(bytes, {0xFF, 0xD8})) {
    auto j = std::make_unique<TJPEGImage>();
    if (!j->SetBytes(std::move(bytes))) throw EInvalidGraphic("JPEG image is not valid");
    return Take(std::move(j));
  }
  QByteArray data(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size()));
  QBuffer buffer(&data);
  QImageReader reader(&buffer);
  reader.setDecideFormatFromContent(true);
  QImage image;
  if ((reader.format() == "png" || reader.format() == "gif") && reader.read(&image)) {
    auto b = std::make_unique<TBitmap>();
    b->SetImage(image);
    return Take(std::move(b));
  }
  throw EInvalidGraphic("Unknown picture format in " + fileName);
}

void TPicture::SaveToFile(const AnsiString& fileName) {
  if (graphic_) graphic_->SaveToFile(fileName);
}
