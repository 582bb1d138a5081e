// Arbitrary bytes as a BMP file (in memory and on disk) and as a packed
// DIB: a picture refused leaves the bitmap as it was; one read is not empty,
// the file on disk reads as the bytes do, and the picture written as a
// 24-bpp BMP reads back pixel for pixel.
#include "fuzz_input.h"
#include "platform/gdi/bmp.h"

namespace {

constexpr COLORREF kMark = RGB(1, 2, 3);

gdi::Bitmap Marked() {
  gdi::Bitmap b;
  FUZZ_CHECK(b.SetSize(1, 1, kMark));
  return b;
}
bool IsMarked(const gdi::Bitmap& b) { return b.Width() == 1 && b.Height() == 1 && b.GetPixel(0, 0) == kMark; }

bool SamePixels(const gdi::Bitmap& a, const gdi::Bitmap& b) {
  if (a.Width() != b.Width() || a.Height() != b.Height()) return false;
  for (int y = 0; y < a.Height(); ++y)
    for (int x = 0; x < a.Width(); ++x)
      if (a.GetPixel(x, y) != b.GetPixel(x, y)) return false;
  return true;
}

// A picture read: it writes as a BMP file that reads back the same.
void CheckRead(const gdi::Bitmap& b) {
  FUZZ_CHECK(!b.IsEmpty());
  std::vector<BYTE> file;
  FUZZ_CHECK(gdi::WriteBmp(b, 24, &file));
  gdi::Bitmap back;
  FUZZ_CHECK(gdi::ReadBmp(file.data(), file.size(), &back) && SamePixels(b, back));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  gdi::Bitmap bmp = Marked();
  const bool isBmp = gdi::ReadBmp(data, size, &bmp);
  if (isBmp)
    CheckRead(bmp);
  else
    FUZZ_CHECK(IsMarked(bmp));

  FuzzFiles files;
  gdi::Bitmap loaded = Marked();
  FUZZ_CHECK(gdi::LoadBmpFile(files.Write("in.bmp", data, size), &loaded) == isBmp);
  FUZZ_CHECK(isBmp ? SamePixels(bmp, loaded) : IsMarked(loaded));

  gdi::Bitmap dib = Marked();
  if (gdi::ReadDib(data, size, &dib))
    CheckRead(dib);
  else
    FUZZ_CHECK(IsMarked(dib));
  return 0;
}
