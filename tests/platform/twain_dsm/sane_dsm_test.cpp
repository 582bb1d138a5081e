// The source manager over SANE's test backend (a virtual scanner): sources,
// negotiation, the three transfers checked against what scanimage reads from
// the same device, events, and the TWAIN state machine.
#include "tests/platform/twain_dsm/dsm_client.h"

#include <QApplication>
#include <QDialog>
#include <QPushButton>
#include <QSpinBox>

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>

using dsmtest::Client;
using dsmtest::Dib;
using dsmtest::Pnm;

namespace {

class SaneDsm : public ::testing::Test {
 protected:
  // The test backend reads its configuration when the manager opens.
  void Start(const std::string& conf = "") {
    dsmtest::ConfigureTestBackend(conf);
    client_ = std::make_unique<Client>(dsmtest::BinFolder() + "libtwain_32.so");
    ASSERT_TRUE(client_->Loaded());
    ASSERT_TRUE(client_->OpenManager());
    std::vector<TW_IDENTITY> sources = client_->Sources();
    ASSERT_EQ(sources.size(), 2u);
    source_ = sources[0];
  }
  void OpenAt(double dpi) {
    ASSERT_TRUE(client_->OpenSource(&source_));
    TW_UINT16 rc = client_->SetOne(&source_, ICAP_XRESOLUTION, TWTY_FIX32, Fix(dpi));
    EXPECT_TRUE(rc == TWRC_SUCCESS || rc == TWRC_CHECKSTATUS);
    client_->SetOne(&source_, ICAP_YRESOLUTION, TWTY_FIX32, Fix(dpi));
  }
  // Enabled without the dialog, up to the transfer-ready event.
  void EnableUntilReady() {
    ASSERT_EQ(client_->Enable(&source_, false), TWRC_SUCCESS);
    ASSERT_EQ(client_->NextEvent(&source_), MSG_XFERREADY);
  }
  Dib NativeTransfer() {
    TW_HANDLE h = nullptr;
    EXPECT_EQ(Call(DG_IMAGE, DAT_IMAGENATIVEXFER, MSG_GET, &h), TWRC_XFERDONE);
    Dib d = Dib::From(h);
    EXPECT_EQ(GlobalFree(h), nullptr);
    return d;
  }
  TW_UINT16 EndTransfer() {
    TW_PENDINGXFERS p{0xEEEE, {0}};
    EXPECT_EQ(Call(DG_CONTROL, DAT_PENDINGXFERS, MSG_ENDXFER, &p), TWRC_SUCCESS);
    return p.Count;
  }
  TW_UINT16 Call(TW_UINT32 dg, TW_UINT16 dat, TW_UINT16 msg, void* data) {
    return client_->Call(&source_, dg, dat, msg, data);
  }
  static uint32_t Fix(double v) {
    int32_t r = int32_t(std::lround(v * 65536));
    return uint32_t(uint16_t(r >> 16)) | (uint32_t(r & 0xFFFF) << 16);
  }

  std::unique_ptr<Client> client_;
  TW_IDENTITY source_{};
};

// Rows of the DIB against scanimage's PNM: grey bytes, colour with red and
// blue exchanged, line art with its bits inverted (PBM is 1 for black).
void ExpectSamePixels(const Dib& d, const Pnm& p) {
  ASSERT_EQ(d.header.biWidth, p.width);
  ASSERT_EQ(d.header.biHeight, p.height);
  ASSERT_GE(d.rows.size(), d.Stride() * size_t(p.height));
  for (int y = 0; y < p.height; ++y) {
    const uint8_t* got = d.Row(y);
    const uint8_t* want = p.Row(y);
    for (int x = 0; x < p.width; ++x) {
      if (p.kind == '4') {
        int g = (got[x / 8] >> (7 - x % 8)) & 1, w = (want[x / 8] >> (7 - x % 8)) & 1;
        ASSERT_EQ(g, 1 - w) << "pixel " << x << "," << y;
      } else if (p.kind == '5') {
        ASSERT_EQ(got[x], want[x * p.SampleBytes()]) << "pixel " << x << "," << y;
      } else {
        for (int c = 0; c < 3; ++c)
          ASSERT_EQ(got[3 * x + 2 - c], want[(3 * x + c) * p.SampleBytes()]) << "pixel " << x << "," << y;
      }
    }
  }
}

}  // namespace

TEST_F(SaneDsm, EveryTestDeviceIsASource) {
  Start();
  std::vector<TW_IDENTITY> sources = client_->Sources();
  ASSERT_EQ(sources.size(), 2u);
  for (size_t i = 0; i < 2; ++i) {
    EXPECT_STREQ(sources[i].ProductName, "frontend-tester");
    EXPECT_STREQ(sources[i].Manufacturer, "Noname");
    EXPECT_STREQ(sources[i].ProductFamily, "virtual device");
    EXPECT_EQ(std::string(sources[i].Version.Info), "test:" + std::to_string(i));
    EXPECT_EQ(sources[i].ProtocolMajor, 1);
    EXPECT_EQ(sources[i].ProtocolMinor, 9);
    // "+" compares a copy: a field of a packed structure may be misaligned for a reference.
    EXPECT_EQ(+sources[i].SupportedGroups, DG_CONTROL | DG_IMAGE);
    EXPECT_NE(sources[i].Id, 0u);
  }
  EXPECT_NE(sources[0].Id, sources[1].Id);
  EXPECT_NE(sources[0].Id, client_->app.Id);

  TW_IDENTITY extra{};
  EXPECT_EQ(client_->Call(nullptr, DG_CONTROL, DAT_IDENTITY, MSG_GETNEXT, &extra), TWRC_ENDOFLIST);
  // The default is the first, byte for byte, and opening it keeps the record.
  TW_IDENTITY def{};
  ASSERT_EQ(client_->Call(nullptr, DG_CONTROL, DAT_IDENTITY, MSG_GETDEFAULT, &def), TWRC_SUCCESS);
  EXPECT_EQ(memcmp(&def, &sources[0], sizeof def), 0);
  TW_IDENTITY opened = sources[0];
  ASSERT_TRUE(client_->OpenSource(&opened));
  EXPECT_EQ(memcmp(&opened, &sources[0], sizeof opened), 0);
  // Listing again gives the same Ids.
  EXPECT_EQ(client_->Sources()[1].Id, sources[1].Id);
}

TEST_F(SaneDsm, NativeGreyPictureIsWhatTheScannerReads) {
  Start("test-picture \"Grid\"\n");
  OpenAt(150);
  EnableUntilReady();
  TW_IMAGEINFO info{};
  ASSERT_EQ(Call(DG_IMAGE, DAT_IMAGEINFO, MSG_GET, &info), TWRC_SUCCESS);
  Pnm want = dsmtest::Scanimage("-d test:0 --resolution 150");
  ASSERT_EQ(want.kind, '5');
  EXPECT_EQ(info.ImageWidth, want.width);
  EXPECT_EQ(info.ImageLength, want.height);
  EXPECT_EQ(info.XResolution.Whole, 150);
  EXPECT_EQ(info.YResolution.Whole, 150);
  EXPECT_EQ(info.BitsPerPixel, 8);
  EXPECT_EQ(info.PixelType, TWPT_GRAY);

  Dib d = NativeTransfer();
  EXPECT_EQ(d.header.biSize, 40u);
  EXPECT_EQ(d.header.biBitCount, 8);
  EXPECT_EQ(d.header.biCompression, DWORD(BI_RGB));
  EXPECT_EQ(d.header.biXPelsPerMeter, 5906);  // 150 dpi
  ASSERT_EQ(d.colours.size(), 256u);
  EXPECT_EQ(d.colours[200].rgbRed, 200);
  EXPECT_EQ(d.blockSize, 40 + 1024 + d.Stride() * size_t(want.height));
  ExpectSamePixels(d, want);

  EXPECT_EQ(EndTransfer(), 0);
  EXPECT_EQ(client_->Disable(&source_), TWRC_SUCCESS);
  EXPECT_TRUE(client_->CloseSource(&source_));
}

// Each pixel type and the ways the test backend sends frames.
struct Variant {
  const char* name;
  const char* conf;
  int pixelType;  // set through ICAP_PIXELTYPE; -1 leaves the device's
  const char* scanimageArgs;
  int bits;
};
class SaneVariants : public SaneDsm, public ::testing::WithParamInterface<Variant> {};

TEST_P(SaneVariants, NativePictureIsWhatTheScannerReads) {
  const Variant& v = GetParam();
  Start(v.conf);
  OpenAt(100);
  if (v.pixelType >= 0) {
    ASSERT_EQ(client_->SetOne(&source_, ICAP_PIXELTYPE, TWTY_UINT16, uint32_t(v.pixelType)), TWRC_SUCCESS);
  }
  EnableUntilReady();
  Dib d = NativeTransfer();
  EXPECT_EQ(d.header.biBitCount, v.bits);
  if (v.bits == 1) {
    ASSERT_EQ(d.colours.size(), 2u);
    EXPECT_EQ(d.colours[0].rgbGreen, 0);
    EXPECT_EQ(d.colours[1].rgbGreen, 255);
  }
  if (v.bits == 24) {
    EXPECT_TRUE(d.colours.empty());
  }
  ExpectSamePixels(d, dsmtest::Scanimage(std::string("-d test:0 --resolution 100 ") + v.scanimageArgs));
}

INSTANTIATE_TEST_SUITE_P(
    Modes, SaneVariants,
    ::testing::Values(Variant{"colour", "test-picture \"Color pattern\"\n", TWPT_RGB, "--mode Color", 24},
                      Variant{"lineart", "test-picture \"Grid\"\n", TWPT_BW, "--depth 1", 1},
                      Variant{"grey16", "test-picture \"Color pattern\"\ndepth 16\n", -1, "", 8},
                      Variant{"threepass", "test-picture \"Color pattern\"\nmode Color\nthree-pass true\n", -1, "", 24},
                      Variant{"handscanner", "test-picture \"Grid\"\nhand-scanner true\n", -1, "", 8}),
    [](const ::testing::TestParamInfo<Variant>& i) { return std::string(i.param.name); });

TEST_F(SaneDsm, MemoryStripsHoldTheSameRows) {
  Start("test-picture \"Color pattern\"\n");
  OpenAt(75);
  ASSERT_EQ(client_->SetOne(&source_, ICAP_PIXELTYPE, TWTY_UINT16, TWPT_RGB), TWRC_SUCCESS);
  ASSERT_EQ(client_->SetOne(&source_, ICAP_XFERMECH, TWTY_UINT16, TWSX_MEMORY), TWRC_SUCCESS);
  EnableUntilReady();
  TW_SETUPMEMXFER setup{};
  ASSERT_EQ(Call(DG_CONTROL, DAT_SETUPMEMXFER, MSG_GET, &setup), TWRC_SUCCESS);
  Pnm want = dsmtest::Scanimage("-d test:0 --resolution 75 --mode Color");
  const size_t stride = ((size_t(want.width) * 24 + 31) / 32) * 4;
  EXPECT_EQ(setup.MinBufSize, stride);
  EXPECT_EQ(setup.Preferred % stride, 0u);

  // A buffer of three and a half rows: strips of whole rows.
  std::vector<uint8_t> buffer(stride * 7 / 2), image;
  TW_UINT16 rc;
  int strips = 0;
  do {
    TW_IMAGEMEMXFER strip;
    memset(&strip, 0xFF, sizeof strip);
    strip.Memory = TW_MEMORY{TWMF_APPOWNS | TWMF_POINTER, TW_UINT32(buffer.size()), buffer.data()};
    rc = Call(DG_IMAGE, DAT_IMAGEMEMXFER, MSG_GET, &strip);
    ASSERT_TRUE(rc == TWRC_SUCCESS || rc == TWRC_XFERDONE) << rc;
    EXPECT_EQ(+strip.BytesPerRow, stride);
    EXPECT_EQ(+strip.Columns, TW_UINT32(want.width));
    EXPECT_EQ(+strip.YOffset, TW_UINT32(3 * strips));
    EXPECT_EQ(+strip.BytesWritten, strip.Rows * stride);
    EXPECT_LE(+strip.Rows, 3u);
    image.insert(image.end(), buffer.begin(), buffer.begin() + strip.BytesWritten);
    ++strips;
  } while (rc == TWRC_SUCCESS);
  EXPECT_EQ(strips, (want.height + 2) / 3);
  ASSERT_EQ(image.size(), stride * size_t(want.height));
  for (int y = 0; y < want.height; ++y)
    ASSERT_EQ(memcmp(&image[size_t(y) * stride], want.Row(y), size_t(want.width) * 3), 0) << "row " << y;
  TW_IMAGEMEMXFER after{};
  after.Memory = TW_MEMORY{TWMF_APPOWNS | TWMF_POINTER, TW_UINT32(buffer.size()), buffer.data()};
  EXPECT_EQ(Call(DG_IMAGE, DAT_IMAGEMEMXFER, MSG_GET, &after), TWRC_FAILURE);
  EXPECT_EQ(EndTransfer(), 0);
}

TEST_F(SaneDsm, FileTransferWritesABmpOtherToolsRead) {
  Start("test-picture \"Grid\"\n");
  OpenAt(100);
  EnableUntilReady();
  TW_SETUPFILEXFER setup{};
  ASSERT_EQ(Call(DG_CONTROL, DAT_SETUPFILEXFER, MSG_GET, &setup), TWRC_SUCCESS);
  EXPECT_STREQ(setup.FileName, "TWAIN.TMP");
  EXPECT_EQ(setup.Format, TWFF_BMP);
  strcpy(setup.FileName, "scan.bmp");
  ASSERT_EQ(Call(DG_CONTROL, DAT_SETUPFILEXFER, MSG_SET, &setup), TWRC_SUCCESS);
  TW_SETUPFILEXFER tiff = setup;
  tiff.Format = TWFF_TIFF;
  EXPECT_EQ(Call(DG_CONTROL, DAT_SETUPFILEXFER, MSG_SET, &tiff), TWRC_FAILURE);
  EXPECT_EQ(client_->Condition(&source_), TWCC_BADVALUE);

  ASSERT_EQ(Call(DG_IMAGE, DAT_IMAGEFILEXFER, MSG_GET, nullptr), TWRC_XFERDONE);
  Pnm want = dsmtest::Scanimage("-d test:0 --resolution 100");
  EXPECT_EQ(test::Shell("identify -format '%w %h' bmp:scan.bmp"),
            std::to_string(want.width) + " " + std::to_string(want.height));
  Pnm got = Pnm::Parse(test::Shell("convert scan.bmp -depth 8 pgm:-"));
  ASSERT_EQ(got.width, want.width);
  ASSERT_EQ(got.height, want.height);
  EXPECT_TRUE(got.data == want.data);
  EXPECT_EQ(EndTransfer(), 0);
}

TEST_F(SaneDsm, TransferCountGivesThatManyPictures) {
  Start();
  OpenAt(50);
  ASSERT_EQ(client_->SetOne(&source_, CAP_XFERCOUNT, TWTY_INT16, 2), TWRC_SUCCESS);
  EnableUntilReady();
  TW_PENDINGXFERS p{};
  ASSERT_EQ(Call(DG_CONTROL, DAT_PENDINGXFERS, MSG_GET, &p), TWRC_SUCCESS);
  EXPECT_EQ(p.Count, 2);
  NativeTransfer();
  EXPECT_EQ(EndTransfer(), 1);
  Dib second = NativeTransfer();
  EXPECT_GT(second.header.biWidth, 0);
  EXPECT_EQ(EndTransfer(), 0);
  // Back in state 5: no further picture, disabling is allowed.
  TW_HANDLE h = nullptr;
  EXPECT_EQ(Call(DG_IMAGE, DAT_IMAGENATIVEXFER, MSG_GET, &h), TWRC_FAILURE);
  EXPECT_EQ(client_->Condition(&source_), TWCC_SEQERROR);
  EXPECT_EQ(client_->Disable(&source_), TWRC_SUCCESS);
}

TEST_F(SaneDsm, CapabilitiesFollowTheDevice) {
  Start();
  ASSERT_TRUE(client_->OpenSource(&source_));
  EXPECT_EQ(client_->SetOne(&source_, ICAP_XRESOLUTION, TWTY_FIX32, Fix(150)), TWRC_SUCCESS);
  uint32_t item = 0;
  ASSERT_TRUE(client_->Current(&source_, ICAP_XRESOLUTION, &item));
  EXPECT_EQ(item, Fix(150));
  TW_UINT16 type;
  HGLOBAL h = client_->Get(&source_, ICAP_XRESOLUTION, MSG_GET, &type);
  ASSERT_NE(h, nullptr);
  ASSERT_EQ(type, TWON_RANGE);
  auto* r = static_cast<TW_RANGE*>(h);
  EXPECT_EQ(r->ItemType, TWTY_FIX32);
  EXPECT_EQ(+r->MinValue, Fix(1));
  EXPECT_EQ(+r->MaxValue, Fix(1200));
  EXPECT_EQ(+r->StepSize, Fix(1));
  EXPECT_EQ(+r->CurrentValue, Fix(150));
  GlobalFree(h);

  // Wrong item type, a resolution beyond the device's: refused or adjusted.
  EXPECT_EQ(client_->SetOne(&source_, ICAP_XRESOLUTION, TWTY_UINT16, 150), TWRC_FAILURE);
  EXPECT_EQ(client_->Condition(&source_), TWCC_BADVALUE);
  EXPECT_NE(client_->SetOne(&source_, ICAP_XRESOLUTION, TWTY_FIX32, Fix(5000)), TWRC_SUCCESS);
  ASSERT_TRUE(client_->Current(&source_, ICAP_XRESOLUTION, &item));
  EXPECT_NE(item, Fix(5000));

  // Reset goes back to the value the source was opened with.
  TW_CAPABILITY reset{ICAP_XRESOLUTION, TWON_DONTCARE16, nullptr};
  TW_UINT16 rc = client_->Call(&source_, DG_CONTROL, DAT_CAPABILITY, MSG_RESET, &reset);
  ASSERT_TRUE(rc == TWRC_SUCCESS || rc == TWRC_CHECKSTATUS) << rc;
  ASSERT_EQ(reset.ConType, TWON_ONEVALUE);
  const uint32_t afterReset = static_cast<TW_ONEVALUE*>(reset.hContainer)->Item;
  GlobalFree(reset.hContainer);
  ASSERT_TRUE(client_->Current(&source_, ICAP_XRESOLUTION, &item));
  EXPECT_EQ(item, afterReset);
  EXPECT_NE(item, Fix(150));

  h = client_->Get(&source_, ICAP_PIXELTYPE, MSG_GET, &type);
  ASSERT_EQ(type, TWON_ENUMERATION);
  auto* e = static_cast<TW_ENUMERATION*>(h);
  ASSERT_EQ(+e->NumItems, 3u);
  std::vector<uint16_t> types(3);
  memcpy(types.data(), e->ItemList, 6);
  EXPECT_EQ(types, (std::vector<uint16_t>{TWPT_BW, TWPT_GRAY, TWPT_RGB}));
  EXPECT_EQ(types[e->CurrentIndex], TWPT_GRAY);
  GlobalFree(h);

  EXPECT_EQ(client_->SetOne(&source_, ICAP_UNITS, TWTY_UINT16, TWUN_INCHES), TWRC_SUCCESS);
  EXPECT_EQ(client_->SetOne(&source_, ICAP_UNITS, TWTY_UINT16, TWUN_CENTIMETERS), TWRC_FAILURE);
  EXPECT_EQ(client_->SetOne(&source_, CAP_XFERCOUNT, TWTY_INT16, 0), TWRC_FAILURE);
  EXPECT_EQ(client_->SetOne(&source_, CAP_UICONTROLLABLE, TWTY_BOOL, 0), TWRC_FAILURE);
  EXPECT_EQ(client_->Condition(&source_), TWCC_CAPBADOPERATION);
  EXPECT_EQ(client_->Get(&source_, 0x8123, MSG_GET, &type), nullptr);
  EXPECT_EQ(client_->Condition(&source_), TWCC_CAPUNSUPPORTED);

  h = client_->Get(&source_, CAP_SUPPORTEDCAPS, MSG_GET, &type);
  ASSERT_EQ(type, TWON_ARRAY);
  auto* a = static_cast<TW_ARRAY*>(h);
  std::vector<uint16_t> caps(a->NumItems);
  memcpy(caps.data(), a->ItemList, caps.size() * 2);
  for (uint16_t c : {ICAP_XRESOLUTION, ICAP_YRESOLUTION, ICAP_UNITS, ICAP_PIXELFLAVOR, ICAP_PIXELTYPE, ICAP_XFERMECH})
    EXPECT_NE(std::find(caps.begin(), caps.end(), c), caps.end()) << c;
  GlobalFree(h);
}

// Each triplet sent where the standard does not allow it.
TEST_F(SaneDsm, CallsOutOfSequenceAreRefused) {
  dsmtest::ConfigureTestBackend("");
  Client c(dsmtest::BinFolder() + "libtwain_32.so");
  TW_IDENTITY s{};
  EXPECT_EQ(c.Call(nullptr, DG_CONTROL, DAT_IDENTITY, MSG_GETFIRST, &s), TWRC_FAILURE);
  EXPECT_EQ(c.Condition(), TWCC_SEQERROR);
  ASSERT_TRUE(c.OpenManager());
  EXPECT_EQ(c.Call(nullptr, DG_CONTROL, DAT_PARENT, MSG_OPENDSM, &c.window), TWRC_FAILURE);
  EXPECT_EQ(c.Condition(), TWCC_SEQERROR);
  s = c.Sources().at(0);
  // Not open yet: no such destination.
  TW_PENDINGXFERS p{};
  EXPECT_EQ(c.Call(&s, DG_CONTROL, DAT_PENDINGXFERS, MSG_GET, &p), TWRC_FAILURE);
  EXPECT_EQ(c.Condition(), TWCC_BADDEST);
  ASSERT_TRUE(c.OpenSource(&s));
  TW_IDENTITY again = s;
  EXPECT_FALSE(c.OpenSource(&again));
  EXPECT_EQ(c.Condition(), TWCC_MAXCONNECTIONS);

  struct Case {
    TW_UINT32 dg;
    TW_UINT16 dat, msg;
  };
  TW_HANDLE h = nullptr;
  TW_UINT16 unused[200] = {};
  auto refused = [&](const std::vector<Case>& cases, const char* state) {
    for (const Case& k : cases) {
      void* data = k.dat == DAT_IMAGENATIVEXFER ? static_cast<void*>(&h) : unused;
      EXPECT_EQ(c.Call(&s, k.dg, k.dat, k.msg, data), TWRC_FAILURE) << state << " " << k.dat << "/" << k.msg;
      EXPECT_EQ(c.Condition(&s), TWCC_SEQERROR) << state << " " << k.dat << "/" << k.msg;
    }
  };
  refused({{DG_IMAGE, DAT_IMAGENATIVEXFER, MSG_GET},
           {DG_IMAGE, DAT_IMAGEINFO, MSG_GET},
           {DG_CONTROL, DAT_USERINTERFACE, MSG_DISABLEDS},
           {DG_CONTROL, DAT_PENDINGXFERS, MSG_ENDXFER},
           {DG_CONTROL, DAT_EVENT, MSG_PROCESSEVENT}},
          "open");
  ASSERT_EQ(c.Enable(&s, false), TWRC_SUCCESS);
  refused({{DG_CONTROL, DAT_USERINTERFACE, MSG_ENABLEDS},
           {DG_CONTROL, DAT_CAPABILITY, MSG_SET},
           {DG_IMAGE, DAT_IMAGENATIVEXFER, MSG_GET},
           {DG_CONTROL, DAT_PENDINGXFERS, MSG_RESET}},
          "enabled");
  EXPECT_FALSE(c.CloseSource(&s));
  EXPECT_EQ(c.Condition(), TWCC_SEQERROR);
  EXPECT_EQ(c.Call(nullptr, DG_CONTROL, DAT_PARENT, MSG_CLOSEDSM, &c.window), TWRC_FAILURE);
  EXPECT_EQ(c.Condition(), TWCC_SEQERROR);
  ASSERT_EQ(c.NextEvent(&s), MSG_XFERREADY);
  refused({{DG_CONTROL, DAT_USERINTERFACE, MSG_DISABLEDS}, {DG_CONTROL, DAT_CAPABILITY, MSG_RESET}}, "ready");
  TW_PENDINGXFERS reset{};
  EXPECT_EQ(c.Call(&s, DG_CONTROL, DAT_PENDINGXFERS, MSG_RESET, &reset), TWRC_SUCCESS);
  EXPECT_EQ(reset.Count, 0);
  EXPECT_EQ(c.Disable(&s), TWRC_SUCCESS);
  EXPECT_TRUE(c.CloseSource(&s));
  EXPECT_EQ(c.Call(nullptr, DG_CONTROL, DAT_PARENT, MSG_CLOSEDSM, &c.window), TWRC_SUCCESS);
  c.app.Id = 0;
}

TEST_F(SaneDsm, MalformedCallsAreRefusedNotFollowed) {
  dsmtest::ConfigureTestBackend("");
  Client c(dsmtest::BinFolder() + "libtwain_32.so");
  HMODULE again = LoadLibrary((dsmtest::BinFolder() + "libtwain_32.so").c_str());
  DSMENTRYPROC entry = reinterpret_cast<DSMENTRYPROC>(GetProcAddress(again, MAKEINTRESOURCE(1)));
  ASSERT_NE(entry, nullptr);
  EXPECT_EQ(entry(nullptr, nullptr, DG_CONTROL, DAT_PARENT, MSG_OPENDSM, &c.window), TWRC_FAILURE);
  EXPECT_EQ(c.Call(nullptr, DG_CONTROL, DAT_PARENT, MSG_OPENDSM, nullptr), TWRC_FAILURE);
  EXPECT_EQ(c.Condition(), TWCC_BADVALUE);
  HWND none = 0;
  EXPECT_EQ(c.Call(nullptr, DG_CONTROL, DAT_PARENT, MSG_OPENDSM, &none), TWRC_FAILURE);
  EXPECT_EQ(c.Condition(), TWCC_BADVALUE);
  ASSERT_TRUE(c.OpenManager());
  EXPECT_EQ(c.Call(nullptr, DG_CONTROL, 0x7777, MSG_GET, &none), TWRC_FAILURE);
  EXPECT_EQ(c.Condition(), TWCC_BADPROTOCOL);
  TW_IDENTITY s = c.Sources().at(0);
  TW_IDENTITY unknown{};
  strcpy(unknown.ProductName, "no such scanner");
  EXPECT_FALSE(c.OpenSource(&unknown));
  EXPECT_EQ(c.Condition(), TWCC_NODS);
  ASSERT_TRUE(c.OpenSource(&s));
  c.SetOne(&s, ICAP_XRESOLUTION, TWTY_FIX32, 100);

  // A container shorter than its header says, and an enumeration whose
  // current index lies outside it.
  HGLOBAL shortOne = GlobalAlloc(GHND, 2);
  *static_cast<TW_UINT16*>(shortOne) = TWTY_FIX32;
  TW_CAPABILITY cap{ICAP_XRESOLUTION, TWON_ONEVALUE, shortOne};
  EXPECT_EQ(c.Call(&s, DG_CONTROL, DAT_CAPABILITY, MSG_SET, &cap), TWRC_FAILURE);
  EXPECT_EQ(c.Condition(&s), TWCC_BADVALUE);
  GlobalFree(shortOne);
  HGLOBAL e = GlobalAlloc(GHND, 14 + 2);
  auto* en = static_cast<TW_ENUMERATION*>(e);
  en->ItemType = TWTY_UINT16;
  en->NumItems = 1000;
  en->CurrentIndex = 900;
  cap = TW_CAPABILITY{ICAP_PIXELTYPE, TWON_ENUMERATION, e};
  EXPECT_EQ(c.Call(&s, DG_CONTROL, DAT_CAPABILITY, MSG_SET, &cap), TWRC_FAILURE);
  GlobalFree(e);
  cap = TW_CAPABILITY{ICAP_PIXELTYPE, TWON_ONEVALUE, nullptr};
  EXPECT_EQ(c.Call(&s, DG_CONTROL, DAT_CAPABILITY, MSG_SET, &cap), TWRC_FAILURE);

  ASSERT_EQ(c.Enable(&s, false), TWRC_SUCCESS);
  ASSERT_EQ(c.NextEvent(&s), MSG_XFERREADY);
  uint8_t small[4];
  TW_IMAGEMEMXFER strip{};
  strip.Memory = TW_MEMORY{TWMF_APPOWNS | TWMF_POINTER, sizeof small, small};
  EXPECT_EQ(c.Call(&s, DG_IMAGE, DAT_IMAGEMEMXFER, MSG_GET, &strip), TWRC_FAILURE);
  EXPECT_EQ(c.Condition(&s), TWCC_BADVALUE);
  TW_EVENT noMessage{nullptr, 0};
  EXPECT_EQ(c.Call(&s, DG_CONTROL, DAT_EVENT, MSG_PROCESSEVENT, &noMessage), TWRC_FAILURE);
  FreeLibrary(again);
}

TEST_F(SaneDsm, OnlyItsOwnEventsAreTheSources) {
  Start();
  OpenAt(50);
  ASSERT_EQ(client_->Enable(&source_, false), TWRC_SUCCESS);
  ASSERT_TRUE(test::WaitFor([&] { return !client_->posted.empty(); }, 30000));
  MSG own = client_->posted.front();
  client_->posted.clear();
  TW_EVENT ev{&own, 0xEEEE};

  // A foreign message, and the source's message for another window.
  MSG foreign{client_->window, WM_TIMER, 1, 0, 0, {0, 0}};
  TW_EVENT fev{&foreign, 0xEEEE};
  EXPECT_EQ(Call(DG_CONTROL, DAT_EVENT, MSG_PROCESSEVENT, &fev), TWRC_NOTDSEVENT);
  EXPECT_EQ(fev.TWMessage, MSG_NULL);
  MSG elsewhere = own;
  elsewhere.hwnd = client_->window + 1;
  TW_EVENT eev{&elsewhere, 0};
  EXPECT_EQ(Call(DG_CONTROL, DAT_EVENT, MSG_PROCESSEVENT, &eev), TWRC_NOTDSEVENT);

  // Disabled and enabled again, the old round's event is claimed but empty.
  ASSERT_EQ(client_->Disable(&source_), TWRC_SUCCESS);
  ASSERT_EQ(client_->Enable(&source_, false), TWRC_SUCCESS);
  EXPECT_EQ(Call(DG_CONTROL, DAT_EVENT, MSG_PROCESSEVENT, &ev), TWRC_DSEVENT);
  EXPECT_EQ(ev.TWMessage, MSG_NULL);
  EXPECT_EQ(client_->NextEvent(&source_), MSG_XFERREADY);
}

TEST_F(SaneDsm, DisablingStopsASlowScan) {
  Start("read-limit true\nread-limit-size 64\nread-delay true\nread-delay-duration 200000\n");
  OpenAt(300);
  ASSERT_EQ(client_->Enable(&source_, false), TWRC_SUCCESS);
  QThread::msleep(300);  // into the reading, which would take hours
  auto begin = std::chrono::steady_clock::now();
  EXPECT_EQ(client_->Disable(&source_), TWRC_SUCCESS);
  EXPECT_LT(std::chrono::steady_clock::now() - begin, std::chrono::seconds(10));
  EXPECT_TRUE(client_->CloseSource(&source_));
  EXPECT_TRUE(client_->posted.empty() || client_->NextEvent(&source_, 200) == MSG_NULL);
}

// Reads that end right after they started (each case in a process of its
// own: see the CMake file). They pass whether or not the backend gets its
// reader thread back.
class SaneReadEndsAtOnce : public SaneDsm {};

TEST_F(SaneReadEndsAtOnce, AFailedReadIsAFailedTransfer) {
  Start("read-status-code \"SANE_STATUS_IO_ERROR\"\n");
  OpenAt(50);
  EnableUntilReady();
  TW_HANDLE h = nullptr;
  EXPECT_EQ(Call(DG_IMAGE, DAT_IMAGENATIVEXFER, MSG_GET, &h), TWRC_FAILURE);
  EXPECT_EQ(h, nullptr);
  EXPECT_EQ(client_->Condition(&source_), TWCC_OPERATIONERROR);
  EXPECT_EQ(EndTransfer(), 0);
  EXPECT_EQ(client_->Disable(&source_), TWRC_SUCCESS);
  EXPECT_TRUE(client_->CloseSource(&source_));
}

// The scanner's own cancel: the source asks to be closed, and closes.
TEST_F(SaneReadEndsAtOnce, ACancelFromTheScannerAsksToBeClosed) {
  Start("read-status-code \"SANE_STATUS_CANCELLED\"\n");
  OpenAt(50);
  ASSERT_EQ(client_->Enable(&source_, false), TWRC_SUCCESS);
  EXPECT_EQ(client_->NextEvent(&source_), MSG_CLOSEDSREQ);
  EXPECT_EQ(client_->Disable(&source_), TWRC_SUCCESS);
  EXPECT_TRUE(client_->CloseSource(&source_));
}

TEST_F(SaneDsm, TheSourcesDialogScansWithItsSettings) {
  Start("test-picture \"Grid\"\n");
  ASSERT_TRUE(client_->OpenSource(&source_));
  ASSERT_EQ(client_->Enable(&source_, true), TWRC_SUCCESS);
  QDialog* dialog = nullptr;
  ASSERT_TRUE(test::WaitFor([&] {
    for (QWidget* w : QApplication::topLevelWidgets())
      if (w->objectName() == "twainScanDialog" && w->isVisible()) dialog = qobject_cast<QDialog*>(w);
    return dialog != nullptr;
  }));
  EXPECT_TRUE(client_->posted.empty());
  auto* dpi = dialog->findChild<QSpinBox*>("resolution");
  ASSERT_NE(dpi, nullptr);
  dpi->setValue(120);
  dialog->findChild<QPushButton*>("scan")->click();
  ASSERT_EQ(client_->NextEvent(&source_), MSG_XFERREADY);
  EXPECT_FALSE(dialog->isVisible());
  Dib d = NativeTransfer();
  ExpectSamePixels(d, dsmtest::Scanimage("-d test:0 --resolution 120"));
  EXPECT_EQ(EndTransfer(), 0);
  // The batch is over: the dialog is back; its Cancel asks to be closed.
  EXPECT_TRUE(dialog->isVisible());
  dialog->findChild<QPushButton*>("cancel")->click();
  EXPECT_EQ(client_->NextEvent(&source_), MSG_CLOSEDSREQ);
  EXPECT_EQ(client_->Disable(&source_), TWRC_SUCCESS);
  EXPECT_TRUE(test::WaitFor([&] {
    for (QWidget* w : QApplication::topLevelWidgets())
      if (w->objectName() == "twainScanDialog") return false;
    return true;
  }));
}
