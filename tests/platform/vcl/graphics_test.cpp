// Bitmaps, pictures, streams and canvases on bitmaps, checked against files
// that other tools write and read (ImageMagick).
#include "platform/fs/path.h"
#include "platform/vcl/graphics.h"
#include "platform/vcl/jpeg.h"
#include "tests/platform/vcl/vcl_test.h"

#include <gtest/gtest.h>

namespace {

std::string Sh(const std::string& cmd) { return test::Shell(cmd + " 2>&1"); }

// A 3 x 2 bitmap: red, green, blue over white, black, grey.
void Fill(TBitmap& b) {
  b.Width = 3;
  b.Height = 2;
  const TColor row[2][3] = {{clRed, clLime, clBlue}, {clWhite, clBlack, clGray}};
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x) b.Canvas->Pixels[x][y] = row[y][x];
}

}  // namespace

TEST(Bitmap, StreamRoundTripIsACompleteBmpFileImage) {
  for (TPixelFormat format : {pf24bit, pf32bit}) {
    TBitmap b;
    b.PixelFormat = format;
    Fill(b);
    TMemoryStream s;
    b.SaveToStream(&s);
    ASSERT_GE(s.Size(), 54);
    const BYTE* bytes = static_cast<const BYTE*>(s.Memory());
    EXPECT_EQ(bytes[0], 'B');
    EXPECT_EQ(bytes[1], 'M');
    EXPECT_EQ(bytes[2] | bytes[3] << 8, int(s.Size()));  // bfSize
    EXPECT_EQ(bytes[28], format == pf24bit ? 24 : 32);   // biBitCount
    s.Write("tail", 4);  // a stream may go on after the picture

    s.Position = 0;
    TBitmap back;
    back.LoadFromStream(&s);
    EXPECT_EQ(s.Position(), s.Size() - 4);  // just past the picture
    ASSERT_EQ(back.Width(), 3);
    ASSERT_EQ(back.Height(), 2);
    for (int y = 0; y < 2; ++y)
      for (int x = 0; x < 3; ++x) EXPECT_EQ(TColor(back.Canvas->Pixels[x][y]), TColor(b.Canvas->Pixels[x][y]));
  }
  TMemoryStream junk;
  junk.Write("not a picture", 13);
  junk.Position = 0;
  TBitmap b;
  EXPECT_THROW(b.LoadFromStream(&junk), EInvalidGraphic);
  EXPECT_EQ(junk.Position(), 0);
}

TEST(Bitmap, LoadsWhatImageMagickWritesWhateverTheExtension) {
  // "tmp.bmt": a BMP under another extension, as the picture round trips use.
  Sh("convert -size 4x3 xc:'#102030' -fill '#C08040' -draw 'point 1,2' BMP3:tmp.bmt");
  TBitmap b;
  b.LoadFromFile("tmp.bmt");
  ASSERT_EQ(b.Width(), 4);
  ASSERT_EQ(b.Height(), 3);
  EXPECT_EQ(TColor(b.Canvas->Pixels[0][0]), TColor(0x302010));
  EXPECT_EQ(TColor(b.Canvas->Pixels[1][2]), TColor(0x4080C0));

  // And what it writes, ImageMagick reads.
  b.SaveToFile("out.bmp");
  EXPECT_EQ(Sh("identify -format %wx%h out.bmp"), "4x3");
  EXPECT_NE(Sh("convert out.bmp -crop 1x1+1+2 txt:-").find("#C08040"), std::string::npos);

  try {
    b.LoadFromFile("missing.bmp");
    ADD_FAILURE();
  } catch (const EFOpenError& e) {
    EXPECT_EQ(e.Message(), "Cannot open file missing.bmp");
  }
  Sh("echo hello > text.bmp");
  EXPECT_THROW(b.LoadFromFile("text.bmp"), EInvalidGraphic);
  EXPECT_EQ(b.Width(), 4);  // a failed load leaves the bitmap as it was
}

TEST(Bitmap, SizeChangesKeepTheTopLeftAndAssignCopiesDeeply) {
  TBitmap a;
  Fill(a);
  a.Canvas->TextFlags = 2;
  a.Width = 5;
  EXPECT_EQ(a.Width(), 5);
  EXPECT_EQ(TColor(a.Canvas->Pixels[2][0]), clBlue);
  EXPECT_EQ(TColor(a.Canvas->Pixels[4][1]), clWhite);
  a.Height = 1;
  EXPECT_EQ(TColor(a.Canvas->Pixels[0][0]), clRed);

  TBitmap b;
  b.Canvas->TextFlags = 7;
  b.Assign(&a);
  EXPECT_EQ(b.Width(), 5);
  EXPECT_EQ(b.Canvas->TextFlags(), 7);  // the canvas object stays its own
  b.Canvas->Pixels[0][0] = clBlack;
  EXPECT_EQ(TColor(a.Canvas->Pixels[0][0]), clRed);

  // A bitmap sized one side at a time.
  TBitmap c;
  c.Width = 100;
  EXPECT_EQ(c.Width(), 100);
  c.Height = 105000;
  EXPECT_EQ(c.Height(), 105000);
  c.Canvas->Brush->Color = clWindow;
  c.Canvas->FillRect(Rect(0, 0, 100, 105000));
  EXPECT_EQ(TColor(c.Canvas->Pixels[99][104999]), TColor(0xFFFFFF));
}

TEST(Jpeg, ClipArtWithAJtNameDecodesIntoABitmap) {
  Sh("convert -size 40x30 xc:'#FF0000' -quality 95 JPEG:w0.jt");
  TJPEGImage j;
  j.LoadFromFile("w0.jt");
  EXPECT_EQ(j.Width(), 40);
  EXPECT_EQ(j.Height(), 30);
  TBitmap b;
  b.Assign(&j);
  ASSERT_EQ(b.Width(), 40);
  COLORREF c = ColorToRGB(b.Canvas->Pixels[20][15]);
  EXPECT_GE(GetRValue(c), 240);
  EXPECT_LE(GetGValue(c), 15);
  EXPECT_THROW(j.LoadFromFile("nothere.jt"), EFOpenError);
  Sh("head -c 100 w0.jt > cut.jt");
  EXPECT_THROW(j.LoadFromFile("cut.jt"), EInvalidGraphic);
  EXPECT_EQ(j.Width(), 40);
}

TEST(Picture, LoadsByContent) {
  Sh("convert -size 6x5 xc:'#0000FF' PNG:a.bmt");
  Sh("convert -size 7x5 xc:'#00FF00' BMP3:b.png");
  Sh("convert -size 8x5 xc:'#FF0000' JPEG:c.bmp");
  TPicture p;
  p.LoadFromFile("a.bmt");
  EXPECT_EQ(p.Width(), 6);
  EXPECT_NE(dynamic_cast<TBitmap*>(p.Graphic()), nullptr);
  EXPECT_EQ(TColor(p.Bitmap->Canvas->Pixels[0][0]), TColor(0xFF0000));
  p.LoadFromFile("b.png");
  EXPECT_EQ(p.Width(), 7);
  p.LoadFromFile("c.bmp");
  EXPECT_NE(dynamic_cast<TJPEGImage*>(p.Graphic()), nullptr);
  EXPECT_EQ(p.Width(), 8);
  TBitmap b;
  b.Assign(&p);  // decodes the JPEG picture
  EXPECT_EQ(b.Width(), 8);
  // Asking for the bitmap of a JPEG picture replaces it with an empty bitmap.
  EXPECT_EQ(p.Bitmap->Width(), 0);
}

TEST(Canvas, PenBrushAndCopies) {
  TBitmap b;
  b.Width = 20;
  b.Height = 20;
  TCanvas* c = b.Canvas;
  c->Brush->Color = clWhite;
  c->FillRect(Rect(0, 0, 20, 20));
  c->Brush->Style = bsClear;
  c->Brush->Color = clRed;  // makes the brush solid again
  EXPECT_EQ(c->Brush->Style(), bsSolid);
  c->Brush->Style = bsClear;
  c->Pen->Color = clBlue;
  c->Rectangle(2, 2, 10, 10);
  EXPECT_EQ(TColor(c->Pixels[2][2]), clBlue);
  EXPECT_EQ(TColor(c->Pixels[9][9]), clBlue);
  EXPECT_EQ(TColor(c->Pixels[5][5]), clWhite);  // clear brush: outline only
  EXPECT_EQ(TColor(c->Pixels[10][10]), clWhite);

  c->MoveTo(0, 15);
  c->LineTo(5, 15);
  EXPECT_EQ(c->PenPos(), Point(5, 15));
  EXPECT_EQ(TColor(c->Pixels[4][15]), clBlue);
  EXPECT_EQ(TColor(c->Pixels[5][15]), clWhite);  // the end pixel is left out

  TBitmap d;
  d.Width = 4;
  d.Height = 4;
  d.Canvas->CopyRect(Rect(0, 0, 4, 4), c, Rect(1, 1, 5, 5));
  EXPECT_EQ(TColor(d.Canvas->Pixels[1][1]), clBlue);
  EXPECT_EQ(TColor(d.Canvas->Pixels[0][0]), clWhite);
  TBitmap half;
  half.Width = 10;
  half.Height = 10;
  half.Canvas->CopyRect(Rect(0, 0, 10, 10), c, Rect(0, 0, 20, 20));  // a 2:1 stretch, odd pixels taken
  EXPECT_EQ(TColor(half.Canvas->Pixels[4][4]), clBlue);
  EXPECT_EQ(TColor(half.Canvas->Pixels[2][2]), clWhite);
  EXPECT_EQ(TColor(c->Pixels[-1][0]), TColor(-1));
}

TEST(MemoryStream, FilesAndPositions) {
  TMemoryStream s;
  s.Write("abcdef", 6);
  EXPECT_EQ(s.Position(), 6);
  s.Position = 2;
  char buf[8] = {};
  EXPECT_EQ(s.Read(buf, 8), 4);
  EXPECT_STREQ(buf, "cdef");
  EXPECT_EQ(s.Seek(-1, soFromEnd), 5);
  s.SaveToFile("C:\\data.bin");
  TMemoryStream t;
  t.LoadFromFile("C:\\data.bin");
  EXPECT_EQ(t.Size(), 6);
  EXPECT_THROW(t.LoadFromFile("C:\\none.bin"), EFOpenError);
  try {
    s.SaveToFile("Q:\\no\\drive.bin");
    ADD_FAILURE();
  } catch (const EFCreateError& e) {
    EXPECT_EQ(e.Message(), "Cannot create file Q:\\no\\drive.bin");
  }
  t.Clear();
  EXPECT_EQ(t.Size(), 0);
  char one;
  EXPECT_THROW(t.ReadBuffer(&one, 1), EReadError);
}
