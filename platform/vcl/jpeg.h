// JPEG pictures (libjpeg through the gdi facility), read by content
// whatever the file's extension (clip art comes as ".jt"). Assigning one to
// a TBitmap decodes it.
#pragma once
#include <vector>

#include "platform/vcl/graphics.h"

class TJPEGImage : public TGraphic {
 public:
  TJPEGImage() = default;
  void Assign(TPersistent* source) override;

  int GetWidth() const override { return decoded_.Width(); }
  int GetHeight() const override { return decoded_.Height(); }
  // A JPEG picture keeps the size it was stored with.
  void SetWidth(int) override {}
  void SetHeight(int) override {}
  void Draw(TCanvas* canvas, const TRect& rect) override;
  // EFOpenError when the file cannot be read, EInvalidGraphic "JPEG image
  // is not valid" for anything libjpeg does not decode.
  void LoadFromFile(const AnsiString& fileName) override;
  // The stored JPEG bytes as they were read.
  void SaveToFile(const AnsiString& fileName) override;
  // The rest of the stream is the picture.
  void LoadFromStream(TStream* stream) override;
  void SaveToStream(TStream* stream) override;
  QImage ToImage() const override { return decoded_.Image(); }

  const gdi::Bitmap& Decoded() const { return decoded_; }
  // Takes the bytes of a JPEG file; false, nothing changed, when they do
  // not decode.
  bool SetBytes(std::vector<BYTE> bytes);

 private:
  std::vector<BYTE> bytes_;
  gdi::Bitmap decoded_;
};
