// Arbitrary bytes as a JPEG picture through the form library's picture
// class: a picture that does not decode is refused with EInvalidGraphic and
// changes nothing (a picture loaded before stays, bytes and pixels); one
// that decodes keeps its bytes as they were read and the size libjpeg gives.
#include "fuzz_input.h"
#include "platform/gdi/jpeg.h"
#include "platform/vcl/jpeg.h"

namespace {

std::vector<BYTE> Saved(TJPEGImage& j) {
  TMemoryStream s;
  j.SaveToStream(&s);
  std::vector<BYTE> bytes(size_t(s.GetSize()));
  s.SetPosition(0);
  if (!bytes.empty()) s.ReadBuffer(bytes.data(), int64_t(bytes.size()));
  return bytes;
}

// Loads bytes from the middle of a stream, as a picture stored after other
// data is read; true when it decoded.
bool Load(TJPEGImage& j, const uint8_t* data, size_t size) {
  TMemoryStream s;
  s.WriteBuffer("head", 4);
  if (size) s.WriteBuffer(data, int64_t(size));
  s.SetPosition(4);
  try {
    j.LoadFromStream(&s);
    return true;
  } catch (const EInvalidGraphic&) {
    return false;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TJPEGImage j;
  gdi::Bitmap direct;
  const bool decodes = gdi::DecodeJpeg(data, size, &direct);
  FUZZ_CHECK(Load(j, data, size) == decodes);
  if (!decodes) {
    FUZZ_CHECK(j.GetWidth() == 0 && j.GetHeight() == 0 && Saved(j).empty());
    return 0;
  }
  FUZZ_CHECK(j.GetWidth() > 0 && j.Decoded().Image() == direct.Image());
  const std::vector<BYTE> bytes(data, data + size);
  FUZZ_CHECK(Saved(j) == bytes);
  // The same picture cut short: refused, or (when what is left decodes, the
  // cut falling after the picture's end) taken; never a mix.
  const bool cut = Load(j, data, size / 2);
  FUZZ_CHECK(cut ? Saved(j) == std::vector<BYTE>(data, data + size / 2) : Saved(j) == bytes);
  if (!cut) FUZZ_CHECK(j.Decoded().Image() == direct.Image());
  return 0;
}
