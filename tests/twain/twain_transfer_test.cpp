// Transfer batches over the scripted manager: what the driver's messages
// start, the three transfer modes, the events and their order, and drivers
// that answer badly.
#include "tests/twain/twain_test.h"

#include "platform/twain_dsm/open_source.h"
#include "platform/win/messages.h"

#include <fstream>
#include <sstream>

using twaintest::Answer;
using twaintest::Grey;
using twaintest::Rgb;
using twaintest::TwainTest;

namespace {

class TransferTest : public TwainTest {
 protected:
  void SetUp() override {
    TwainTest::SetUp();
    link_->OnAcquireProgress = [this](TObject* s, int i, const gdi::DibSection* image, int current, int total) {
      events_.push_back(std::string("progress ") + (dynamic_cast<TTwainSource*>(s) ? "source " : "? ") +
                        std::to_string(i) + " " + std::to_string(current) + "/" + std::to_string(total));
      if (image) lastHeader_ = image->Header(), lastColours_.assign(image->Colours(), image->Colours() + image->ColourCount());
    };
    link_->OnSourceFileTransfer = [this](TObject* s, int i, const TW_STR255& name, TTwainFormat format, bool&) {
      events_.push_back(std::string("file ") + (dynamic_cast<TTwainSource*>(s) ? "source " : "? ") +
                        std::to_string(i) + " " + std::to_string(format));
      fileName_.assign(name, sizeof(TW_STR255));
    };
  }
  void Pictures(const std::vector<twain_dsm::Picture>& pictures) {
    script_->SetSources(scripttest::ScannerAndCamera(pictures));
  }
  // Source 0 opened in `mode`, `count` pictures asked for, switched on; the
  // batch is run by the message loop until the source is switched off.
  void Scan(TTwainTransferMode mode, int count = 1, double dpi = 0) {
    if (!link_->LibraryLoaded) Load();
    TTwainSource* s = Open(0);
    ASSERT_NE(s, nullptr);
    s->TransferMode = mode;
    if (dpi) {
      ASSERT_EQ(s->SetXResolution(dpi), CapOk);
      ASSERT_EQ(s->SetYResolution(dpi), CapOk);
    }
    const TW_INT16 n = TW_INT16(count);
    if (count != 1) {
      ASSERT_EQ(s->SetOneValue(CAP_XFERCOUNT, TWTY_INT16, &n), CapOk);
    }
    events_.clear();
    script_->ClearCalls();
    s->SwitchedOn = true;
    ASSERT_TRUE(Until([&] { return !s->SwitchedOn; })) << "no batch ran";
  }
  // The source's calls from the batch on, without events that are not its own.
  std::vector<std::string> BatchCalls() const {
    std::vector<std::string> out;
    for (const auto& c : script_->Calls())
      if (c.dat != DAT_STATUS && !(c.dat == DAT_USERINTERFACE && c.msg == MSG_ENABLEDS) &&
          !(c.dat == DAT_EVENT && c.rc != TWRC_DSEVENT))
        out.push_back(twaintest::Name(c));
    return out;
  }
  static void ExpectPixels(const gdi::Bitmap& got, const twain_dsm::Picture& want) {
    ASSERT_EQ(got.Width(), want.width);
    ASSERT_EQ(got.Height(), want.height);
    for (int y = 0; y < want.height; ++y)
      for (int x = 0; x < want.width; ++x) {
        const uint8_t* p = want.Row(y) + (want.pixelType == TWPT_RGB ? 3 * x : x);
        const COLORREF c = want.pixelType == TWPT_RGB ? RGB(p[0], p[1], p[2]) : RGB(p[0], p[0], p[0]);
        ASSERT_EQ(got.GetPixel(x, y), c) << x << "," << y;
      }
  }
  // One triplet answered `times` times after `skip` calls.
  void Script(twain_script::Override o, int skip = 0, int times = 1) {
    o.skip = skip;
    o.times = times;
    script_->AddOverride(o);
  }

  BITMAPINFOHEADER lastHeader_{};
  std::vector<RGBQUAD> lastColours_;
  std::string fileName_;
};

// A packed DIB: header fields, then what follows it.
std::vector<uint8_t> Dib(DWORD size, int w, int h, WORD bits, DWORD compression, DWORD used,
                         const std::vector<uint8_t>& rest) {
  std::vector<uint8_t> b;
  if (size == 12) {
    BITMAPCOREHEADER c{12, WORD(w), WORD(h), 1, bits};
    b.assign(reinterpret_cast<uint8_t*>(&c), reinterpret_cast<uint8_t*>(&c) + 12);
  } else {
    BITMAPINFOHEADER i{};
    i.biSize = 40;
    i.biWidth = w;
    i.biHeight = h;
    i.biPlanes = 1;
    i.biBitCount = bits;
    i.biCompression = compression;
    i.biClrUsed = used;
    b.assign(reinterpret_cast<uint8_t*>(&i), reinterpret_cast<uint8_t*>(&i) + 40);
  }
  b.insert(b.end(), rest.begin(), rest.end());
  return b;
}

}  // namespace

TEST_F(TransferTest, ANativeBatchDeliversEveryImageThenSwitchesOff) {
  const std::vector<twain_dsm::Picture> pictures = {Rgb(5, 3), Grey(3, 2, 10), Grey(2, 2, 100)};
  Pictures(pictures);
  Scan(ttmNative, 3);
  EXPECT_EQ(events_, (std::vector<std::string>{"acquire link 0", "acquire link 0", "acquire link 0", "disable link 0"}));
  EXPECT_EQ(BatchCalls(),
            (std::vector<std::string>{"EVENT/PROCESSEVENT", "IMAGENATIVEXFER/GET", "PENDINGXFERS/ENDXFER",
                                      "IMAGENATIVEXFER/GET", "PENDINGXFERS/ENDXFER", "IMAGENATIVEXFER/GET",
                                      "PENDINGXFERS/ENDXFER", "USERINTERFACE/DISABLEDS"}));
  ASSERT_EQ(images_.size(), 3u);
  for (size_t i = 0; i < 3; ++i) ExpectPixels(images_[i], pictures[i]);
  // The message was the hidden window's, as the loop saw it.
  const auto event = CallsOf(DAT_EVENT, MSG_PROCESSEVENT)[0];
  MSG msg;
  memcpy(&msg, event.pointee.data(), sizeof msg);
  EXPECT_EQ(msg.hwnd, link_->GetVirtualWindow());
  EXPECT_EQ(msg.message, twain_dsm::kSourceEventMessage);
  TW_EVENT sent;
  memcpy(&sent, event.sent.data(), sizeof sent);
  EXPECT_EQ(sent.TWMessage, MSG_NULL);
  // The source stays open for the next scan, switched off.
  EXPECT_TRUE(link_->GetSource(0)->Loaded);
  EXPECT_EQ(link_->GetOpenSourceCount(), 1);
}

TEST_F(TransferTest, ACancelFromTheHandlerDropsThePendingImages) {
  Pictures({Grey(2, 2, 1), Grey(2, 2, 2), Grey(2, 2, 3)});
  cancelAt_ = 1;
  Scan(ttmNative, 3);
  EXPECT_EQ(events_, (std::vector<std::string>{"acquire link 0", "disable link 0"}));
  EXPECT_EQ(BatchCalls(), (std::vector<std::string>{"EVENT/PROCESSEVENT", "IMAGENATIVEXFER/GET",
                                                    "PENDINGXFERS/ENDXFER", "PENDINGXFERS/RESET",
                                                    "USERINTERFACE/DISABLEDS"}));
  // A reset the driver refuses: the next image is fetched, then reset again.
  link_->GetSource(0)->Loaded = false;
  images_.clear();
  Script(Answer(DG_CONTROL, DAT_PENDINGXFERS, MSG_RESET, TWRC_FAILURE));
  Scan(ttmNative, 3);
  EXPECT_EQ(images_.size(), 2u);
  EXPECT_EQ(CallsOf(DAT_PENDINGXFERS, MSG_RESET).size(), 2u);
  EXPECT_EQ(events_.back(), "disable link 0");
}

TEST_F(TransferTest, NativeBlocksAreReadAsTheirHeadersSay) {
  std::vector<uint8_t> table16(16 * 4, 0);
  table16[4 * 5 + 1] = 200;  // entry 5: green 200
  struct Case {
    const char* what;
    std::vector<uint8_t> block;
    int width, height;
    COLORREF topLeft, bottomRight;
  } cases[] = {
      // 2 x 2, 8 bits, 16 colours: rows at 40 + 64; bottom row first.
      {"8 bits, 16 colours", Dib(40, 2, 2, 8, BI_RGB, 16, [&] {
         std::vector<uint8_t> r = table16;
         r.insert(r.end(), {0, 0, 0, 0, 5, 5, 0, 0});
         return r;
       }()),
       2, 2, RGB(0, 200, 0), RGB(0, 0, 0)},
      {"24 bits, no table", Dib(40, 2, 1, 24, BI_RGB, 0, {0, 0, 255, 255, 0, 0, 0, 0}), 2, 1, RGB(255, 0, 0),
       RGB(0, 0, 255)},
      {"core header, 1 bit", Dib(12, 2, 1, 1, BI_RGB, 0, {0, 0, 0, 255, 255, 255, 0x40, 0, 0, 0}), 2, 1,
       RGB(0, 0, 0), RGB(255, 255, 255)},
      {"bit fields", Dib(40, 1, 1, 32, BI_BITFIELDS, 0, {0, 0, 0xFF, 0, 0, 0xFF, 0, 0, 0xFF, 0, 0, 0, 9, 8, 7, 0}),
       1, 1, RGB(7, 8, 9), RGB(7, 8, 9)},
      {"top-down", Dib(40, 1, -2, 24, BI_RGB, 0, {0, 0, 255, 0, 255, 0, 0, 0}), 1, 2, RGB(255, 0, 0),
       RGB(0, 0, 255)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    images_.clear();
    twain_script::Override o = Answer(DG_IMAGE, DAT_IMAGENATIVEXFER, MSG_GET, TWRC_XFERDONE, true);
    o.block = c.block;
    Script(o);
    Scan(ttmNative);
    ASSERT_EQ(images_.size(), 1u);
    EXPECT_EQ(images_[0].Width(), c.width);
    EXPECT_EQ(images_[0].Height(), c.height);
    EXPECT_EQ(images_[0].GetPixel(0, 0), c.topLeft);
    EXPECT_EQ(images_[0].GetPixel(c.width - 1, c.height - 1), c.bottomRight);
    link_->GetSource(0)->Loaded = false;
  }
}

TEST_F(TransferTest, BlocksThatAreNoPicturesDeliverNothingAndTheBatchEnds) {
  struct Case {
    const char* what;
    std::vector<uint8_t> block;
  } cases[] = {
      {"rows missing", Dib(40, 4, 4, 24, BI_RGB, 0, std::vector<uint8_t>(10, 0))},
      {"more colours than the block holds", Dib(40, 2, 2, 24, BI_RGB, 200, std::vector<uint8_t>(16, 0))},
      {"no header", {1, 2, 3}},
      {"a null handle", {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    twain_script::Override o = Answer(DG_IMAGE, DAT_IMAGENATIVEXFER, MSG_GET, TWRC_XFERDONE, true);
    o.block = c.block;
    Script(o);
    Scan(ttmNative);
    EXPECT_EQ(events_, (std::vector<std::string>{"disable link 0"}));
    link_->GetSource(0)->Loaded = false;
  }
}

TEST_F(TransferTest, ACancelledTransferIsEndedSoTheSourceSwitchesOffAndCloses) {
  Script(Answer(DG_IMAGE, DAT_IMAGENATIVEXFER, MSG_GET, TWRC_CANCEL, true));
  Scan(ttmNative);
  EXPECT_EQ(events_, (std::vector<std::string>{"cancel link 0", "disable link 0"}));
  EXPECT_EQ(BatchCalls(), (std::vector<std::string>{"EVENT/PROCESSEVENT", "IMAGENATIVEXFER/GET",
                                                    "PENDINGXFERS/ENDXFER", "USERINTERFACE/DISABLEDS"}));
  EXPECT_EQ(CallsOf(DAT_USERINTERFACE, MSG_DISABLEDS)[0].rc, TWRC_SUCCESS);
  EXPECT_TRUE(link_->GetSource(0)->CloseSource());
  EXPECT_EQ(link_->GetOpenSourceCount(), 0);
  EXPECT_TRUE(link_->CloseTwainLibrary());
}

TEST_F(TransferTest, AFailedTransferReportsTheDriversCondition) {
  twain_script::Override fail = Answer(DG_IMAGE, DAT_IMAGENATIVEXFER, MSG_GET, TWRC_FAILURE);
  fail.condition = TWCC_OPERATIONERROR;
  Script(fail);
  Scan(ttmNative);
  EXPECT_EQ(events_, (std::vector<std::string>{"error link 0 1 5", "disable link 0"}));
  EXPECT_EQ(BatchCalls(), (std::vector<std::string>{"EVENT/PROCESSEVENT", "IMAGENATIVEXFER/GET",
                                                    "PENDINGXFERS/ENDXFER", "USERINTERFACE/DISABLEDS"}));
}

TEST_F(TransferTest, FailuresThatLeaveTheSameImagesPendingDoNotRepeatForEver) {
  Script(Answer(DG_IMAGE, DAT_IMAGENATIVEXFER, MSG_GET, TWRC_FAILURE), 0, -1);
  twain_script::Override unknown = Answer(DG_CONTROL, DAT_PENDINGXFERS, MSG_ENDXFER, std::nullopt, true);
  unknown.patches = {{0, {0xFF, 0xFF}}};  // "more, how many not known"
  Script(unknown, 0, -1);
  Scan(ttmNative);
  EXPECT_EQ(events_, (std::vector<std::string>{"error link 0 1 0", "disable link 0"}));
  EXPECT_EQ(BatchCalls(), (std::vector<std::string>{"EVENT/PROCESSEVENT", "IMAGENATIVEXFER/GET",
                                                    "PENDINGXFERS/ENDXFER", "PENDINGXFERS/RESET",
                                                    "USERINTERFACE/DISABLEDS"}));
}

TEST_F(TransferTest, ACloseRequestCancelsAndSwitchesOff) {
  Load();
  TTwainSource* camera = Open(1);
  camera->SwitchedOn = true;
  events_.clear();
  ASSERT_TRUE(script_->Notify("Camera B", MSG_CLOSEDSREQ));
  ASSERT_TRUE(Until([&] { return !camera->SwitchedOn; }));
  EXPECT_EQ(events_, (std::vector<std::string>{"cancel link 1", "disable link 1"}));
  EXPECT_TRUE(camera->Loaded);
}

TEST_F(TransferTest, MessagesGoToEachSwitchedOnSourceUntilOneClaimsIt) {
  twain_script::Source a, b;
  a.product = "Scanner A";
  a.readyOnEnable = false;
  b.product = "Camera B";
  b.readyOnEnable = false;
  script_->SetSources({a, b});
  Load();
  Open(0)->SwitchedOn = true;
  Open(1)->SwitchedOn = true;
  struct Case {
    const char* from;
    std::vector<std::string> asked;  // product and answer, in order
  } cases[] = {
      {"Camera B", {"Scanner A 5", "Camera B 4"}},
      {"Scanner A", {"Scanner A 4"}},
      {nullptr, {"Scanner A 5", "Camera B 5"}},  // a message no source sent
  };
  for (const Case& c : cases) {
    script_->ClearCalls();
    if (c.from)
      ASSERT_TRUE(script_->Notify(c.from, MSG_DEVICEEVENT));
    else
      ASSERT_TRUE(PostMessage(link_->GetVirtualWindow(), WM_USER + 1, 0, 0));
    ASSERT_TRUE(Until([&] { return CallsOf(DAT_EVENT, MSG_PROCESSEVENT).size() >= c.asked.size(); }));
    test::Pump(30);
    std::vector<std::string> asked;
    for (const auto& call : CallsOf(DAT_EVENT, MSG_PROCESSEVENT))
      asked.push_back(call.product + " " + std::to_string(call.rc));
    EXPECT_EQ(asked, c.asked) << (c.from ? c.from : "foreign");
  }
  EXPECT_TRUE(events_.empty());  // a device event asks nothing of the component
}

TEST_F(TransferTest, AMemoryImageIsBuiltRowByRowFromTheStrips) {
  const twain_dsm::Picture picture = Rgb(5, 3);
  Pictures({picture});
  Scan(ttmMemory, 1, 150);
  EXPECT_EQ(events_, (std::vector<std::string>{"progress source 0 1/3", "progress source 0 2/3",
                                               "progress source 0 3/3", "acquire link 0", "disable link 0"}));
  ASSERT_EQ(images_.size(), 1u);
  ExpectPixels(images_[0], picture);  // red and blue exchanged into the DIB's order
  EXPECT_EQ(lastHeader_.biHeight, 3);
  EXPECT_EQ(lastHeader_.biBitCount, 24);
  EXPECT_EQ(lastHeader_.biClrUsed, 0u);
  EXPECT_EQ(lastHeader_.biXPelsPerMeter, 5905);  // 150 dpi, the manager's unit being inches
  EXPECT_EQ(lastHeader_.biYPelsPerMeter, 5905);
  const auto strips = CallsOf(DAT_IMAGEMEMXFER, MSG_GET);
  ASSERT_FALSE(strips.empty());
  TW_IMAGEMEMXFER first;
  memcpy(&first, strips[0].sent.data(), sizeof first);
  // "+" compares a copy: a field of a packed structure may be misaligned for a reference.
  EXPECT_EQ(+first.Memory.Flags, TWMF_APPOWNS | TWMF_POINTER);
  EXPECT_EQ(+first.BytesWritten, 0u);
  EXPECT_EQ(first.Compression, 0xFFFF);
  EXPECT_EQ(+first.BytesPerRow, TWON_DONTCARE32);
  EXPECT_GE(+first.Memory.Length, 16u);  // the manager's preferred size: whole rows of 16 bytes

  // A hundred rows, a hundred reports.
  Pictures({Grey(4, 100, 0)});
  link_->GetSource(0)->Loaded = false;
  Scan(ttmMemory);
  int reports = 0;
  for (const auto& e : events_) reports += e.rfind("progress", 0) == 0;
  EXPECT_EQ(reports, 100);
  EXPECT_EQ(events_[99], "progress source 0 100/100");
  EXPECT_EQ(lastColours_.size(), 256u);
  EXPECT_EQ(lastColours_[77].rgbGreen, 77);
}

TEST_F(TransferTest, StripsAreRowsLaidEndToEndWhateverTheirCut) {
  const twain_dsm::Picture picture = Rgb(5, 3);  // rows of 15 bytes, 16 padded
  const std::vector<uint8_t> rows = picture.rows;
  std::vector<uint8_t> unpadded;
  for (int y = 0; y < 3; ++y) unpadded.insert(unpadded.end(), picture.Row(y), picture.Row(y) + 15);
  auto preferred = [](TW_UINT32 bytes) {
    twain_script::Override o = Answer(DG_CONTROL, DAT_SETUPMEMXFER, MSG_GET, std::nullopt, true);
    o.patches = {{offsetof(TW_SETUPMEMXFER, Preferred), {uint8_t(bytes), uint8_t(bytes >> 8), uint8_t(bytes >> 16),
                                                         uint8_t(bytes >> 24)}}};
    return o;
  };
  auto strip = [](std::vector<uint8_t> bytes, TW_UINT16 rc) {
    twain_script::Override o = Answer(DG_IMAGE, DAT_IMAGEMEMXFER, MSG_GET, rc);
    o.strip = std::move(bytes);
    return o;
  };
  struct Case {
    const char* what;
    TW_UINT32 preferred;
    std::vector<twain_script::Override> strips;
  } cases[] = {
      {"strips crossing rows", 24,
       {strip({rows.begin(), rows.begin() + 20}, TWRC_SUCCESS),
        strip({rows.begin() + 20, rows.begin() + 40}, TWRC_SUCCESS),
        strip({rows.begin() + 40, rows.end()}, TWRC_XFERDONE)}},
      {"more written than the buffer holds, and bytes after the last row", 64,
       {[&] {
         twain_script::Override o = strip(rows, TWRC_XFERDONE);
         o.strip->resize(64, 0xEE);
         o.bytesWritten = 4000;
         return o;
       }()}},
      {"rows as long as the strip says", 64,
       {[&] {
         twain_script::Override o = strip(unpadded, TWRC_XFERDONE);
         o.patches = {{offsetof(TW_IMAGEMEMXFER, BytesPerRow), {15, 0, 0, 0}}};
         return o;
       }()}},
      {"no preferred size", 0, {}},
      {"any preferred size", TWON_DONTCARE32, {}},
  };
  Pictures({picture});
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    images_.clear();
    Script(preferred(c.preferred), 0, -1);
    for (const auto& s : c.strips) Script(s);
    Scan(ttmMemory);
    ASSERT_EQ(images_.size(), 1u);
    ExpectPixels(images_[0], picture);
    link_->GetSource(0)->Loaded = false;
    script_->Reset();
    Pictures({picture});
    link_->LibraryLoaded = false;
  }
}

TEST_F(TransferTest, ColourTablesFollowThePixelType) {
  twain_dsm::Picture bw;
  bw.Allocate(8, 1, TWPT_BW);
  bw.rows[0] = 0x0F;  // four black, four white as chocolate; the other way round as vanilla
  Pictures({bw});
  // The units read passes; the flavour read answers vanilla.
  twain_script::Override vanilla = Answer(DG_CONTROL, DAT_CAPABILITY, MSG_GET, TWRC_SUCCESS);
  vanilla.container = std::make_pair(TW_UINT16(TWON_ENUMERATION),
                                     std::vector<uint8_t>{4, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0});
  Script(vanilla, 1, 1);
  Scan(ttmMemory);
  ASSERT_EQ(lastColours_.size(), 2u);
  EXPECT_EQ(lastColours_[0].rgbRed, 255);
  EXPECT_EQ(lastColours_[1].rgbRed, 0);
  ASSERT_EQ(images_.size(), 1u);
  EXPECT_EQ(images_[0].GetPixel(0, 0), RGB(255, 255, 255));
  EXPECT_EQ(images_[0].GetPixel(7, 0), RGB(0, 0, 0));

  // Flavour unreadable: chocolate.
  link_->GetSource(0)->Loaded = false;
  Script(Answer(DG_CONTROL, DAT_CAPABILITY, MSG_GET, TWRC_FAILURE), 1, 1);
  Scan(ttmMemory);
  ASSERT_EQ(lastColours_.size(), 2u);
  EXPECT_EQ(lastColours_[0].rgbRed, 0);
  EXPECT_EQ(lastColours_[1].rgbRed, 255);
  EXPECT_EQ(images_.back().GetPixel(0, 0), RGB(0, 0, 0));

  // A palette picture (its rows given as grey): the driver's palette, at most
  // as many colours as the depth has; a palette it cannot give is a ramp.
  twain_dsm::Picture indexed = Grey(2, 1, 1);
  Pictures({indexed});
  link_->GetSource(0)->Loaded = false;
  twain_script::Override palette = Answer(DG_IMAGE, DAT_IMAGEINFO, MSG_GET, std::nullopt, true);
  palette.patches = {{offsetof(TW_IMAGEINFO, PixelType), {TWPT_PALETTE, 0}}};
  Script(palette, 0, -1);
  twain_script::Override colours = Answer(DG_IMAGE, DAT_PALETTE8, MSG_GET, TWRC_SUCCESS);
  colours.patches = {{0, {0x2C, 0x01}}, {4, {0, 10, 20, 30, 1, 40, 50, 60}}};  // 300 colours said
  Script(colours);
  Scan(ttmMemory);
  ASSERT_EQ(lastColours_.size(), 256u);
  EXPECT_EQ(lastColours_[0].rgbRed, 10);
  EXPECT_EQ(lastColours_[0].rgbGreen, 20);
  EXPECT_EQ(lastColours_[0].rgbBlue, 30);
  EXPECT_EQ(images_.back().GetPixel(0, 0), RGB(40, 50, 60));
  link_->GetSource(0)->Loaded = false;
  Script(Answer(DG_IMAGE, DAT_PALETTE8, MSG_GET, TWRC_FAILURE));
  Scan(ttmMemory);
  ASSERT_EQ(lastColours_.size(), 256u);
  EXPECT_EQ(lastColours_[200].rgbBlue, 200);
}

TEST_F(TransferTest, AMemoryTransferThatFailsHalfWayDeliversNothing) {
  Pictures({Grey(4, 10, 0)});
  twain_script::Override fail = Answer(DG_IMAGE, DAT_IMAGEMEMXFER, MSG_GET, TWRC_FAILURE);
  fail.condition = TWCC_OPERATIONERROR;
  // Strips of one row each: the third fails.
  twain_script::Override rows = Answer(DG_CONTROL, DAT_SETUPMEMXFER, MSG_GET, std::nullopt, true);
  rows.patches = {{offsetof(TW_SETUPMEMXFER, Preferred), {4, 0, 0, 0}}};
  Script(rows, 0, -1);
  Script(fail, 2, 1);
  Scan(ttmMemory);
  EXPECT_EQ(events_, (std::vector<std::string>{"progress source 0 1/10", "progress source 0 2/10",
                                               "error link 0 1 5", "disable link 0"}));
  EXPECT_TRUE(images_.empty());
  // Image information refused: nothing is fetched.
  link_->GetSource(0)->Loaded = false;
  script_->Reset();
  Pictures({Grey(4, 10, 0)});
  link_->LibraryLoaded = false;
  twain_script::Override unknownLength = Answer(DG_IMAGE, DAT_IMAGEINFO, MSG_GET, std::nullopt, true);
  unknownLength.patches = {{offsetof(TW_IMAGEINFO, ImageLength), {0xFF, 0xFF, 0xFF, 0xFF}}};
  Script(unknownLength);
  Scan(ttmMemory);
  EXPECT_EQ(events_, (std::vector<std::string>{"error link 0 1 0", "disable link 0"}));
  EXPECT_TRUE(CallsOf(DAT_IMAGEMEMXFER, MSG_GET).empty());
}

TEST_F(TransferTest, AFileTransferReportsTheFileTheDriverWrote) {
  Pictures({Rgb(5, 3)});
  Scan(ttmFile);
  EXPECT_EQ(events_, (std::vector<std::string>{"setupfile link 0", "file source 0 " + std::to_string(tfBMP),
                                               "disable link 0"}));
  EXPECT_EQ(BatchCalls(), (std::vector<std::string>{"EVENT/PROCESSEVENT", "SETUPFILEXFER/GET",
                                                    "IMAGEFILEXFER/GET", "PENDINGXFERS/ENDXFER",
                                                    "USERINTERFACE/DISABLEDS"}));
  EXPECT_EQ(CallsOf(DAT_IMAGEFILEXFER, MSG_GET)[0].data, 0u);
  const std::string name = fileName_.c_str();
  EXPECT_EQ(name, "TWAIN.TMP");
  EXPECT_EQ(test::Shell("identify -format '%w %h' " + twaintest::CurrentFolder() + "TWAIN.TMP 2>&1"), "5 3");

  // A format no name stands for, and a name filling the whole field.
  link_->GetSource(0)->Loaded = false;
  twain_script::Override odd = Answer(DG_CONTROL, DAT_SETUPFILEXFER, MSG_GET, std::nullopt, true);
  odd.patches = {{0, std::vector<uint8_t>(256, 'x')}, {256, {12, 0}}};
  Script(odd);
  Scan(ttmFile);
  EXPECT_EQ(events_[1], "file source 0 " + std::to_string(tfUnknown));
  EXPECT_EQ(std::string(fileName_.c_str()), std::string(255, 'x'));
}

TEST_F(TransferTest, TheLibraryStaysWhileAnEventRuns) {
  Pictures({Grey(2, 2, 0)});
  bool closed = true;
  link_->OnTwainAcquire = [&](TObject*, int, TBitmap*, bool&) {
    closed = link_->CloseTwainLibrary();
    link_->ClearSources();
    events_.push_back("acquire");
  };
  Scan(ttmNative);
  EXPECT_FALSE(closed);
  EXPECT_EQ(events_, (std::vector<std::string>{"acquire", "disable link 0"}));
  EXPECT_TRUE(link_->LibraryLoaded);
  EXPECT_EQ(link_->SourceCount, 2);
  EXPECT_TRUE(link_->CloseTwainLibrary());
}

TEST_F(TransferTest, AnExceptionInAHandlerIsShownAndTheBatchGoesOn) {
  const std::string log = twaintest::CurrentFolder() + "boxes.log";
  setenv("QUARVEL_MSGBOX_LOG", log.c_str(), 1);
  std::ofstream(twaintest::CurrentFolder() + "answers") << "OK\nOK\n";
  setenv("QUARVEL_MSGBOX_ANSWERS", (twaintest::CurrentFolder() + "answers").c_str(), 1);
  Pictures({Grey(2, 2, 0), Grey(2, 2, 1)});
  link_->OnTwainAcquire = [&](TObject*, int, TBitmap*, bool&) {
    events_.push_back("acquire");
    throw EConvertError("bad picture");
  };
  Scan(ttmNative, 2);
  EXPECT_EQ(events_, (std::vector<std::string>{"acquire", "acquire", "disable link 0"}));
  std::stringstream boxes;
  boxes << std::ifstream(log).rdbuf();
  EXPECT_NE(boxes.str().find("bad picture"), std::string::npos);
  unsetenv("QUARVEL_MSGBOX_LOG");
  unsetenv("QUARVEL_MSGBOX_ANSWERS");
}
