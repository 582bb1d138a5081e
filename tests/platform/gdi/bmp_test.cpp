// BMP files: written ones read by ImageMagick and by us, ImageMagick's read
// by us, damaged ones refused.
#include "platform/gdi/bmp.h"

#include <gtest/gtest.h>

#include <dirent.h>

#include <cstring>
#include <fstream>
#include <sstream>

#include "pixels.h"
#include "platform/gdi/file_bytes.h"
#include "tests/platform/fs/linked_file.h"
#include "tool.h"

using gdi::Bitmap;

namespace {

// Four pure colours in quadrants, every depth can hold them exactly.
Bitmap Quadrants(int w, int h) {
  QImage image(w, h, QImage::Format_RGB32);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      image.setPixel(x, y, y < h / 2 ? (x < w / 2 ? qRgb(255, 0, 0) : qRgb(0, 255, 0))
                                     : (x < w / 2 ? qRgb(0, 0, 255) : qRgb(255, 255, 255)));
  return Bitmap(image);
}

// `tolerance` per channel: 16-bpp pixels hold 5 or 6 bits of each.
void ExpectQuadrants(const Bitmap& b, int w, int h, int tolerance = 0) {
  ASSERT_GE(b.Width(), w);
  ASSERT_EQ(b.Height(), h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const COLORREF want = y < h / 2 ? (x < w / 2 ? RGB(255, 0, 0) : RGB(0, 255, 0))
                                      : (x < w / 2 ? RGB(0, 0, 255) : RGB(255, 255, 255));
      const COLORREF got = b.GetPixel(x, y);
      ASSERT_LE(std::abs(GetRValue(got) - GetRValue(want)), tolerance) << x << "," << y;
      ASSERT_LE(std::abs(GetGValue(got) - GetGValue(want)), tolerance) << x << "," << y;
      ASSERT_LE(std::abs(GetBValue(got) - GetBValue(want)), tolerance) << x << "," << y;
    }
}

std::vector<BYTE> Bytes(const std::string& path) {
  std::vector<BYTE> b;
  EXPECT_TRUE(gdi::ReadFileBytes(path, 1 << 26, &b)) << path;
  return b;
}

void Put16(std::vector<BYTE>& b, size_t at, uint16_t v) { b[at] = BYTE(v), b[at + 1] = BYTE(v >> 8); }
void Put32(std::vector<BYTE>& b, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = BYTE(v >> (8 * i));
}

// A 40-byte info header in front of whatever follows.
std::vector<BYTE> InfoHeader(int32_t w, int32_t h, int bits, uint32_t compression = BI_RGB, uint32_t colours = 0) {
  std::vector<BYTE> b(40);
  Put32(b, 0, 40);
  Put32(b, 4, uint32_t(w));
  Put32(b, 8, uint32_t(h));
  Put16(b, 12, 1);
  Put16(b, 14, uint16_t(bits));
  Put32(b, 16, compression);
  Put32(b, 32, colours);
  return b;
}

std::vector<BYTE> WithFileHeader(const std::vector<BYTE>& dib, uint32_t pixelOffset) {
  std::vector<BYTE> f(14 + dib.size());
  f[0] = 'B', f[1] = 'M';
  Put32(f, 2, uint32_t(f.size()));
  Put32(f, 10, pixelOffset);
  std::copy(dib.begin(), dib.end(), f.begin() + 14);
  return f;
}

}  // namespace

TEST(WriteBmp, HeadersAsTheFormatSays) {
  Bitmap b = Quadrants(5, 3);
  for (int bits : {24, 32}) {
    std::vector<BYTE> f;
    ASSERT_TRUE(gdi::WriteBmp(b, bits, &f));
    const size_t stride = bits == 24 ? 16 : 20;  // 5*3 = 15 padded to 16
    ASSERT_EQ(f.size(), 54 + stride * 3);
    BITMAPFILEHEADER fh;
    BITMAPINFOHEADER ih;
    std::memcpy(&fh, f.data(), 14);
    std::memcpy(&ih, f.data() + 14, 40);
    EXPECT_EQ(fh.bfType, 0x4D42);
    // "+" compares a copy: a field of a packed structure may be misaligned for a reference.
    EXPECT_EQ(+fh.bfSize, f.size());
    EXPECT_EQ(+fh.bfOffBits, 54u);
    EXPECT_EQ(ih.biSize, 40u);
    EXPECT_EQ(ih.biWidth, 5);
    EXPECT_EQ(ih.biHeight, 3);  // positive: bottom-up
    EXPECT_EQ(ih.biPlanes, 1);
    EXPECT_EQ(ih.biBitCount, bits);
    EXPECT_EQ(ih.biCompression, BI_RGB);
    EXPECT_EQ(ih.biSizeImage, stride * 3);
    EXPECT_EQ(ih.biClrUsed, 0u);
    // First stored row is the bottom one: blue, blue, white ...
    const BYTE* row = f.data() + 54;
    EXPECT_EQ(row[0], 255);  // B
    EXPECT_EQ(row[1], 0);
    EXPECT_EQ(row[2], 0);
    const BYTE* top = f.data() + 54 + 2 * stride;
    EXPECT_EQ(top[2], 255);  // R of red
  }
  std::vector<BYTE> f;
  EXPECT_FALSE(gdi::WriteBmp(b, 16, &f));
  EXPECT_FALSE(gdi::WriteBmp(Bitmap(), 24, &f));
}

TEST(WriteBmp, ImageMagickReadsWhatWeWrite) {
  const std::string dir = gdi_test::TestDir();
  Bitmap b = Quadrants(7, 5);
  for (int bits : {24, 32}) {
    const std::string path = dir + "/out" + std::to_string(bits) + ".bmp";
    ASSERT_TRUE(gdi::SaveBmpFile(b, bits, path));
    bool ok = false;
    EXPECT_EQ(gdi_test::Run("identify -format '%m %w %h %z' '" + path + "'", &ok), "BMP3 7 5 8");
    EXPECT_TRUE(ok);
    // Pixel values as ImageMagick decodes them.
    const std::string txt = gdi_test::Run("convert '" + path + "' -alpha off -depth 8 txt:- | grep -E '^(0,0|6,0|0,4|6,4):'");
    EXPECT_NE(txt.find("0,0: (255,0,0)"), std::string::npos) << txt;
    EXPECT_NE(txt.find("6,0: (0,255,0)"), std::string::npos) << txt;
    EXPECT_NE(txt.find("0,4: (0,0,255)"), std::string::npos) << txt;
    EXPECT_NE(txt.find("6,4: (255,255,255)"), std::string::npos) << txt;
    Bitmap back;
    ASSERT_TRUE(gdi::LoadBmpFile(path, &back));
    ExpectQuadrants(back, 7, 5);
  }
}

TEST(SaveBmpFile, ReplacesThroughATemporaryFile) {
  const std::string dir = gdi_test::TestDir() + "/save";
  gdi_test::Run("mkdir -p '" + dir + "'");
  const std::string path = dir + "/page.bmp";
  ASSERT_TRUE(gdi::SaveBmpFile(Quadrants(4, 4), 24, path));
  ASSERT_TRUE(gdi::SaveBmpFile(Quadrants(8, 2), 32, path));
  Bitmap back;
  ASSERT_TRUE(gdi::LoadBmpFile(path, &back));
  ExpectQuadrants(back, 8, 2);
  EXPECT_EQ(gdi_test::Run("ls '" + dir + "'"), "page.bmp\n");
  EXPECT_FALSE(gdi::SaveBmpFile(Quadrants(4, 4), 24, dir + "/missing/page.bmp"));
  EXPECT_EQ(gdi_test::Run("ls '" + dir + "'"), "page.bmp\n");
}

TEST(SaveBmpFile, WritesTheFileANameLeadsToAndKeepsItsLinks) {
  for (const auto& k : linktest::kKinds) {
    linktest::Linked file(gdi_test::TestDir() + "/links", k.kind, "old", "tmp.bmt");
    if (!file.Made()) continue;  // no read-only folder on this file system
    SCOPED_TRACE(k.label);
    ASSERT_TRUE(gdi::SaveBmpFile(Quadrants(8, 2), 24, file.Name()));
    EXPECT_TRUE(file.Intact());
    Bitmap back;
    ASSERT_TRUE(gdi::LoadBmpFile(gdi_test::TestDir() + "/links/real/tmp.bmt", &back));
    ExpectQuadrants(back, 8, 2);
  }
}

TEST(ReadBmp, EveryDepthImageMagickWrites) {
  const std::string dir = gdi_test::TestDir();
  const std::string src = dir + "/src.png";
  // Red, green / blue, white quadrants of 6 x 4, then a strip of 40 other
  // colours (so a palette needs 8 bits).
  gdi_test::Run("convert -size 6x4 xc:white -fill red -draw 'rectangle 0,0 2,1' -fill lime -draw 'rectangle 3,0 5,1' "
                "-fill blue -draw 'rectangle 0,2 2,3' \\( -size 4x40 gradient:gray20-gray80 -rotate 90 \\) +append '" + src + "'");
  const struct {
    const char* name;
    const char* options;
    int bits;
    int tolerance;
  } kinds[] = {
      {"rgb24", "-type TrueColor bmp3:", 24, 0},
      {"argb32", "-type TrueColorAlpha bmp:", 32, 0},  // bit fields, version 5 header
      {"rgb565", "-type TrueColor -define bmp:subtype=RGB565 bmp:", 16, 7},
      {"rgb555", "-type TrueColor -define bmp:subtype=RGB555 bmp:", 16, 7},
      {"pal8", "-type Palette -compress None bmp3:", 8, 0},
      {"pal4", "-crop 6x4+0+0 -type Palette -compress None bmp3:", 4, 0},
      {"mono", "-type Bilevel -compress None bmp3:", 1, 0},
      {"v4", "-type TrueColor bmp:", 24, 0},
  };
  for (const auto& k : kinds) {
    const std::string path = dir + "/" + k.name + ".bmp";
    bool ok = false;
    gdi_test::Run(std::string("convert '") + src + "' " + k.options + "'" + path + "'", &ok);
    ASSERT_TRUE(ok) << k.name;
    const std::vector<BYTE> f = Bytes(path);
    ASSERT_GE(f.size(), 30u);
    EXPECT_EQ(f[28], k.bits) << k.name;
    Bitmap b;
    ASSERT_TRUE(gdi::LoadBmpFile(path, &b)) << k.name;
    EXPECT_EQ(b.Width(), k.bits == 4 ? 6 : 46) << k.name;
    if (k.bits == 1) {
      // Two colours: black where the picture is dark, white elsewhere.
      EXPECT_EQ(b.GetPixel(5, 3), RGB(255, 255, 255));
      EXPECT_EQ(b.GetPixel(0, 3), RGB(0, 0, 0));
      continue;
    }
    ExpectQuadrants(b, 6, 4, k.tolerance);
  }
  // Run-length compressed files (ImageMagick's default for palettes) are
  // refused, not misread.
  const std::string rle = dir + "/rle.bmp";
  gdi_test::Run("convert '" + src + "' -type Palette bmp3:'" + rle + "'");
  ASSERT_EQ(Bytes(rle).at(30), BI_RLE8);
  Bitmap b;
  EXPECT_FALSE(gdi::LoadBmpFile(rle, &b));
}

TEST(ReadBmp, MonochromeAndTopDownAndCoreHeader) {
  // 1 bpp, 3 x 2, bottom-up: table black, white; rows padded to 4 bytes.
  std::vector<BYTE> dib = InfoHeader(3, 2, 1, BI_RGB, 2);
  const BYTE table[] = {0, 0, 0, 0, 255, 255, 255, 0};
  dib.insert(dib.end(), table, table + 8);
  const BYTE rows[] = {0xA0, 0, 0, 0,   // bottom row: 1 0 1
                       0x40, 0, 0, 0};  // top row: 0 1 0
  dib.insert(dib.end(), rows, rows + 8);
  Bitmap mono;
  ASSERT_TRUE(gdi::ReadBmp(WithFileHeader(dib, 14 + 48).data(), 14 + dib.size(), &mono));
  EXPECT_EQ(mono.GetPixel(0, 0), RGB(0, 0, 0));
  EXPECT_EQ(mono.GetPixel(1, 0), RGB(255, 255, 255));
  EXPECT_EQ(mono.GetPixel(0, 1), RGB(255, 255, 255));
  EXPECT_EQ(mono.GetPixel(1, 1), RGB(0, 0, 0));

  // 24 bpp top-down (negative height): the first stored row is the top.
  std::vector<BYTE> td = InfoHeader(1, -2, 24);
  const BYTE px[] = {0, 0, 255, 0, 0, 255, 0, 0};  // red (B,G,R + pad), then green
  td.insert(td.end(), px, px + 8);
  Bitmap topDown;
  ASSERT_TRUE(gdi::ReadBmp(WithFileHeader(td, 54).data(), 14 + td.size(), &topDown));
  EXPECT_EQ(topDown.GetPixel(0, 0), RGB(255, 0, 0));
  EXPECT_EQ(topDown.GetPixel(0, 1), RGB(0, 255, 0));

  // Packed DIBs as a scanner hands them over.
  // 8 bpp with 16 colours: rows start after 40 + 64 bytes.
  std::vector<BYTE> p8 = InfoHeader(2, 2, 8, BI_RGB, 16);
  for (int i = 0; i < 16; ++i) {
    const BYTE e[] = {BYTE(i == 1 ? 0 : i * 16), BYTE(i * 16), BYTE(i == 1 ? 255 : i * 16), 0};
    p8.insert(p8.end(), e, e + 4);
  }
  const BYTE p8rows[] = {2, 3, 0, 0, 1, 0, 0, 0};  // bottom row: 2 3; top row: 1 0
  p8.insert(p8.end(), p8rows, p8rows + 8);
  Bitmap dib8;
  ASSERT_TRUE(gdi::ReadDib(p8.data(), p8.size(), &dib8));
  EXPECT_EQ(dib8.GetPixel(0, 0), RGB(255, 16, 0));  // entry 1, top-left
  EXPECT_EQ(dib8.GetPixel(1, 1), RGB(48, 48, 48));
  // 1 bpp with a 12-byte core header and RGB triples.
  std::vector<BYTE> core(12);
  Put32(core, 0, 12);
  Put16(core, 4, 2);
  Put16(core, 6, 1);
  Put16(core, 8, 1);
  Put16(core, 10, 1);
  const BYTE triples[] = {0, 0, 255, 255, 0, 0, 0x80, 0, 0, 0};  // red, blue; row: 1 0
  core.insert(core.end(), triples, triples + 10);
  Bitmap dibCore;
  ASSERT_TRUE(gdi::ReadDib(core.data(), core.size(), &dibCore));
  EXPECT_EQ(dibCore.GetPixel(0, 0), RGB(0, 0, 255));
  EXPECT_EQ(dibCore.GetPixel(1, 0), RGB(255, 0, 0));
  // 16 bpp bit fields after a 40-byte header: the three masks come before
  // the rows.
  std::vector<BYTE> fields = InfoHeader(2, 1, 16, BI_BITFIELDS);
  fields.resize(40 + 12 + 4);
  Put32(fields, 40, 0xF800);
  Put32(fields, 44, 0x07E0);
  Put32(fields, 48, 0x001F);
  Put16(fields, 52, 0xF800);  // red
  Put16(fields, 54, 0x001F);  // blue
  Bitmap dib16;
  ASSERT_TRUE(gdi::ReadDib(fields.data(), fields.size(), &dib16));
  EXPECT_GE(GetRValue(dib16.GetPixel(0, 0)), 248);
  EXPECT_EQ(GetGValue(dib16.GetPixel(0, 0)) + GetBValue(dib16.GetPixel(0, 0)), 0);
  EXPECT_GE(GetBValue(dib16.GetPixel(1, 0)), 248);
  EXPECT_EQ(GetRValue(dib16.GetPixel(1, 0)) + GetGValue(dib16.GetPixel(1, 0)), 0);
  fields.resize(40 + 12 + 3);  // one byte short
  EXPECT_FALSE(gdi::ReadDib(fields.data(), fields.size(), &dib16));
}

TEST(ReadBmp, ByContentWhateverTheName) {
  const std::string path = gdi_test::TestDir() + "/tmp.bmt";
  ASSERT_TRUE(gdi::SaveBmpFile(Quadrants(4, 2), 32, path));
  Bitmap b;
  ASSERT_TRUE(gdi::LoadBmpFile(path, &b));
  ExpectQuadrants(b, 4, 2);
}

TEST(ReadBmp, DamagedFilesAreRefused) {
  std::vector<BYTE> good;
  ASSERT_TRUE(gdi::WriteBmp(Quadrants(9, 7), 24, &good));
  const Bitmap untouched = Quadrants(2, 2);
  // Every truncation.
  for (size_t n = 0; n < good.size(); ++n) {
    Bitmap b = untouched;
    ASSERT_FALSE(gdi::ReadBmp(good.data(), n, &b)) << n;
    ExpectQuadrants(b, 2, 2);
  }
  // Header fields out of their range.
  const struct {
    const char* what;
    size_t at;
    int bytes;
    uint32_t value;
  } damage[] = {
      {"signature", 0, 2, 0x4141},  {"pixel offset past end", 10, 4, 100000}, {"pixel offset in header", 10, 4, 20},
      {"header size", 14, 4, 41},   {"width 0", 18, 4, 0},                    {"negative width", 18, 4, 0xFFFFFFF0},
      {"height 0", 22, 4, 0},       {"height min", 22, 4, 0x80000000},        {"huge", 18, 4, 0x40000000},
      {"planes", 26, 2, 2},         {"depth 7", 28, 2, 7},                    {"RLE", 30, 4, BI_RLE8},
      {"JPEG inside", 30, 4, 4},    {"bit fields on 24 bpp", 30, 4, BI_BITFIELDS},
  };
  for (const auto& d : damage) {
    std::vector<BYTE> f = good;
    if (d.bytes == 2)
      Put16(f, d.at, uint16_t(d.value));
    else
      Put32(f, d.at, d.value);
    Bitmap b = untouched;
    EXPECT_FALSE(gdi::ReadBmp(f.data(), f.size(), &b)) << d.what;
    ExpectQuadrants(b, 2, 2);
  }
  // A palette claiming more colours than the depth holds, and one past the end.
  std::vector<BYTE> pal = InfoHeader(2, 2, 4, BI_RGB, 17);
  pal.resize(pal.size() + 17 * 4 + 8);
  Bitmap b;
  EXPECT_FALSE(gdi::ReadBmp(WithFileHeader(pal, 14 + 40 + 68).data(), 14 + pal.size(), &b));
  std::vector<BYTE> shortPal = InfoHeader(2, 2, 8, BI_RGB, 0);  // 256 colours, none there
  shortPal.resize(shortPal.size() + 8);
  EXPECT_FALSE(gdi::ReadBmp(WithFileHeader(shortPal, 54).data(), 14 + shortPal.size(), &b));
  EXPECT_FALSE(gdi::ReadDib(shortPal.data(), shortPal.size(), &b));
  EXPECT_FALSE(gdi::ReadBmp(nullptr, 100, &b));
  EXPECT_FALSE(gdi::LoadBmpFile(gdi_test::TestDir() + "/no such file.bmp", &b));
  EXPECT_TRUE(b.IsEmpty());
}

TEST(GetDibRows, BottomUpPaddedRows) {
  Bitmap b = Quadrants(3, 2);  // top row: red, green, green; bottom: blue, white, white
  std::vector<BYTE> rows32(2 * 12, 0xEE), rows24(2 * 12, 0xEE);
  EXPECT_EQ(gdi::GetDibRows(b, 0, 2, 32, rows32.data()), 2);
  EXPECT_EQ(gdi::GetDibRows(b, 0, 2, 24, rows24.data()), 2);
  // Scan 0 is the bottom row: blue, white, white.
  const BYTE bottom32[] = {255, 0, 0, 0, 255, 255, 255, 0, 255, 255, 255, 0};
  const BYTE top32[] = {0, 0, 255, 0, 0, 255, 0, 0, 0, 255, 0, 0};
  EXPECT_EQ(0, std::memcmp(rows32.data(), bottom32, 12));
  EXPECT_EQ(0, std::memcmp(rows32.data() + 12, top32, 12));
  const BYTE bottom24[] = {255, 0, 0, 255, 255, 255, 255, 255, 255, 0, 0, 0};  // 9 bytes + 3 padding zeros
  EXPECT_EQ(0, std::memcmp(rows24.data(), bottom24, 12));
  EXPECT_EQ(gdi::DibStride(3, 24), 12);
  EXPECT_EQ(gdi::DibStride(101, 24), 304);
  // A range past the top copies only the rows there are.
  std::vector<BYTE> one(12, 0xEE);
  EXPECT_EQ(gdi::GetDibRows(b, 1, 5, 32, one.data()), 1);
  EXPECT_EQ(0, std::memcmp(one.data(), top32, 12));
  EXPECT_EQ(gdi::GetDibRows(b, 0, 2, 16, one.data()), 0);
}

// 32-bpp rows are copied in blocks: widths around a block's 16 pixels, rows
// either way up, pixels at an unaligned offset, fourth bytes that are not 0.
TEST(ReadBmp, ThirtyTwoBitRowsOfEveryWidthAndOrderReadBackExactly) {
  uint32_t seed = 7;
  auto next = [&] { return seed = seed * 1103515245u + 12345u; };
  for (int w : {1, 15, 16, 17, 37}) {
    for (bool topDown : {false, true}) {
      const int h = 3;
      for (uint32_t gap : {0u, 1u}) {
        std::vector<BYTE> dib = InfoHeader(w, topDown ? -h : h, 32);
        dib.resize(dib.size() + gap, 0);
        std::vector<uint32_t> rows(size_t(w) * h);  // file order
        for (uint32_t& px : rows) px = next();
        for (uint32_t px : rows)
          for (int i = 0; i < 4; ++i) dib.push_back(BYTE(px >> (8 * i)));
        const std::vector<BYTE> file = WithFileHeader(dib, 54 + gap);
        Bitmap b;
        ASSERT_TRUE(gdi::ReadBmp(file.data(), file.size(), &b)) << w << topDown << gap;
        const QImage image = b.Image();
        for (int y = 0; y < h; ++y)
          for (int x = 0; x < w; ++x) {
            const uint32_t want = rows[size_t(topDown ? y : h - 1 - y) * w + x] | 0xFF000000u;
            ASSERT_EQ(reinterpret_cast<const QRgb*>(image.constScanLine(y))[x], want) << w << " " << x << "," << y;
          }
        // Written again, the rows come back with the fourth byte 0.
        std::vector<BYTE> again;
        ASSERT_TRUE(gdi::WriteBmp(b, 32, &again));
        ASSERT_EQ(again.size(), 54 + rows.size() * 4);
        for (int y = 0; y < h; ++y)
          for (int x = 0; x < w; ++x) {
            uint32_t got;
            std::memcpy(&got, again.data() + 54 + (size_t(h - 1 - y) * w + x) * 4, 4);
            ASSERT_EQ(got, rows[size_t(topDown ? y : h - 1 - y) * w + x] & 0x00FFFFFFu) << w << " " << x << "," << y;
          }
      }
    }
  }
}

// Files written a piece of rows at a time and read straight into the rows
// (more rows than one vector read takes): the same bytes as the whole-file
// writer, the same pixels back, either way up; a file cut short is refused.
TEST(SaveBmpFile, PiecesAndDirectReadsMatchTheWholeFileForms) {
  const std::string dir = gdi_test::TestDir();
  QImage image(300, 1100, QImage::Format_RGB32);
  uint32_t seed = 3;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) image.setPixel(x, y, 0xFF000000u | ((seed = seed * 1103515245u + 12345u) >> 8));
  const Bitmap picture(image);
  for (int bits : {24, 32}) {
    const std::string path = dir + "/pieces" + std::to_string(bits) + ".bmp";
    ASSERT_TRUE(gdi::SaveBmpFile(picture, bits, path));
    std::vector<BYTE> whole;
    ASSERT_TRUE(gdi::WriteBmp(picture, bits, &whole));
    ASSERT_TRUE(Bytes(path) == whole) << bits;
    Bitmap back;
    ASSERT_TRUE(gdi::LoadBmpFile(path, &back)) << bits;
    ASSERT_TRUE(back.Image() == picture.Image()) << bits;
  }
  // Top-down: the same rows in the other order, height negative.
  std::vector<BYTE> bottomUp = Bytes(dir + "/pieces32.bmp"), topDown(bottomUp.begin(), bottomUp.begin() + 54);
  Put32(topDown, 22, uint32_t(-1100));
  for (int r = 1099; r >= 0; --r)
    topDown.insert(topDown.end(), bottomUp.begin() + 54 + r * 1200, bottomUp.begin() + 54 + (r + 1) * 1200);
  std::ofstream(dir + "/topdown.bmp", std::ios::binary).write(reinterpret_cast<const char*>(topDown.data()), std::streamsize(topDown.size()));
  Bitmap back;
  ASSERT_TRUE(gdi::LoadBmpFile(dir + "/topdown.bmp", &back));
  EXPECT_TRUE(back.Image() == picture.Image());
  topDown.pop_back();
  std::ofstream(dir + "/short.bmp", std::ios::binary).write(reinterpret_cast<const char*>(topDown.data()), std::streamsize(topDown.size()));
  Bitmap refused = gdi_test::Filled(2, 2, RGB(1, 2, 3));
  EXPECT_FALSE(gdi::LoadBmpFile(dir + "/short.bmp", &refused));
  EXPECT_EQ(refused.GetPixel(1, 1), RGB(1, 2, 3));
}
