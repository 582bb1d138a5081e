// A TWAIN application's side of a source manager library, for the tests:
// the library loaded as the acquisition component loads it (LoadLibrary,
// ordinal 1), a hidden window for the sources' events, and the calls.
#pragma once
#include "platform/globalmem.h"
#include "platform/win/hidden_window.h"
#include "platform/win/messages.h"
#include "platform/win/module.h"
#include "tests/ppm.h"
#include "tests/platform/win/test_support.h"
#include "twain/twain.h"

#include <cstdlib>
#include <cstring>
#include <deque>
#include <string>
#include <vector>

namespace dsmtest {

inline std::string BinFolder() {
  const char* bin = getenv("QUARVEL_BIN");
  return bin ? std::string(bin) + "/" : std::string();
}

inline TW_IDENTITY AppIdentity() {
  TW_IDENTITY id{};
  id.Version.MajorNum = 1;
  id.Version.Country = 1;
  strcpy(id.Version.Info, "Application name");
  id.ProtocolMajor = 1;
  id.ProtocolMinor = 9;
  id.SupportedGroups = DG_CONTROL | DG_IMAGE;
  strcpy(id.Manufacturer, "Application manufacturer");
  strcpy(id.ProductFamily, "App product family");
  strcpy(id.ProductName, "App product name");
  return id;
}

class Client {
 public:
  explicit Client(const std::string& library) {
    test::App();
    module_ = LoadLibrary(library.c_str());
    entry_ = module_ ? reinterpret_cast<DSMENTRYPROC>(GetProcAddress(module_, MAKEINTRESOURCE(1))) : nullptr;
    window = win::CreateHiddenWindow("TWAIN test application");
    RegisterWindowProc(window, [this](UINT msg, WPARAM w, LPARAM l) -> LRESULT {
      posted.push_back(MSG{window, msg, w, l, 0, {0, 0}});
      return 0;
    });
  }
  ~Client() {
    for (TW_IDENTITY& s : opened_) {
      TW_PENDINGXFERS p{};
      Call(&s, DG_CONTROL, DAT_PENDINGXFERS, MSG_ENDXFER, &p);
      Call(&s, DG_CONTROL, DAT_PENDINGXFERS, MSG_RESET, &p);
      TW_USERINTERFACE ui{};
      Call(&s, DG_CONTROL, DAT_USERINTERFACE, MSG_DISABLEDS, &ui);
      Call(nullptr, DG_CONTROL, DAT_IDENTITY, MSG_CLOSEDS, &s);
    }
    if (app.Id) Call(nullptr, DG_CONTROL, DAT_PARENT, MSG_CLOSEDSM, &window);
    DestroyWindow(window);
    if (module_) FreeLibrary(module_);
  }
  Client(const Client&) = delete;
  Client& operator=(const Client&) = delete;

  bool Loaded() const { return entry_ != nullptr; }

  TW_UINT16 Call(pTW_IDENTITY dest, TW_UINT32 dg, TW_UINT16 dat, TW_UINT16 msg, void* data) {
    return entry_(&app, dest, dg, dat, msg, data);
  }
  // The condition code of the last call to `dest` (the manager when null).
  TW_UINT16 Condition(pTW_IDENTITY dest = nullptr) {
    TW_STATUS st{0xEEEE, 0};
    Call(dest, DG_CONTROL, DAT_STATUS, MSG_GET, &st);
    return st.ConditionCode;
  }

  bool OpenManager() { return Call(nullptr, DG_CONTROL, DAT_PARENT, MSG_OPENDSM, &window) == TWRC_SUCCESS; }

  std::vector<TW_IDENTITY> Sources() {
    std::vector<TW_IDENTITY> list;
    TW_IDENTITY s{};
    for (TW_UINT16 msg = MSG_GETFIRST; Call(nullptr, DG_CONTROL, DAT_IDENTITY, msg, &s) == TWRC_SUCCESS;
         msg = MSG_GETNEXT)
      list.push_back(s);
    return list;
  }

  bool OpenSource(TW_IDENTITY* s) {
    if (Call(nullptr, DG_CONTROL, DAT_IDENTITY, MSG_OPENDS, s) != TWRC_SUCCESS) return false;
    opened_.push_back(*s);
    return true;
  }
  bool CloseSource(TW_IDENTITY* s) {
    if (Call(nullptr, DG_CONTROL, DAT_IDENTITY, MSG_CLOSEDS, s) != TWRC_SUCCESS) return false;
    for (size_t i = 0; i < opened_.size(); ++i)
      if (opened_[i].Id == s->Id) opened_.erase(opened_.begin() + long(i));
    return true;
  }

  TW_UINT16 SetOne(TW_IDENTITY* s, TW_UINT16 cap, TW_UINT16 type, uint32_t item) {
    HGLOBAL h = GlobalAlloc(GHND, sizeof(TW_ONEVALUE));
    auto* one = static_cast<TW_ONEVALUE*>(GlobalLock(h));
    one->ItemType = type;
    one->Item = item;
    GlobalUnlock(h);
    TW_CAPABILITY c{cap, TWON_ONEVALUE, h};
    TW_UINT16 rc = Call(s, DG_CONTROL, DAT_CAPABILITY, MSG_SET, &c);
    GlobalFree(h);
    return rc;
  }
  // The container of a capability read, or NULL; the caller frees it.
  HGLOBAL Get(TW_IDENTITY* s, TW_UINT16 cap, TW_UINT16 msg, TW_UINT16* conType) {
    TW_CAPABILITY c{cap, TWON_DONTCARE16, nullptr};
    if (Call(s, DG_CONTROL, DAT_CAPABILITY, msg, &c) != TWRC_SUCCESS) return nullptr;
    *conType = c.ConType;
    return c.hContainer;
  }
  // The current value of a one-value answer.
  bool Current(TW_IDENTITY* s, TW_UINT16 cap, uint32_t* item) {
    TW_UINT16 type;
    HGLOBAL h = Get(s, cap, MSG_GETCURRENT, &type);
    if (!h) return false;
    bool ok = type == TWON_ONEVALUE;
    if (ok) *item = static_cast<TW_ONEVALUE*>(h)->Item;
    GlobalFree(h);
    return ok;
  }

  TW_UINT16 Enable(TW_IDENTITY* s, bool showUI) {
    TW_USERINTERFACE ui{TW_UINT16(showUI ? 1 : 0), 1, reinterpret_cast<TW_HANDLE>(uintptr_t(window))};
    return Call(s, DG_CONTROL, DAT_USERINTERFACE, MSG_ENABLEDS, &ui);
  }
  TW_UINT16 Disable(TW_IDENTITY* s) {
    TW_USERINTERFACE ui{};
    return Call(s, DG_CONTROL, DAT_USERINTERFACE, MSG_DISABLEDS, &ui);
  }

  // Hands posted messages to the source until it names a TWAIN message;
  // MSG_NULL when none comes in time.
  TW_UINT16 NextEvent(TW_IDENTITY* s, int ms = 30000) {
    TW_UINT16 got = MSG_NULL;
    test::WaitFor(
        [&] {
          while (!posted.empty()) {
            MSG m = posted.front();
            posted.pop_front();
            TW_EVENT ev{&m, 0xEEEE};
            if (Call(s, DG_CONTROL, DAT_EVENT, MSG_PROCESSEVENT, &ev) == TWRC_DSEVENT && ev.TWMessage != MSG_NULL) {
              got = ev.TWMessage;
              return true;
            }
          }
          return false;
        },
        ms);
    return got;
  }

  TW_IDENTITY app = AppIdentity();
  HWND window = 0;
  std::deque<MSG> posted;

 private:
  HMODULE module_ = nullptr;
  DSMENTRYPROC entry_ = nullptr;
  std::vector<TW_IDENTITY> opened_;
};

// A packed DIB in a global block, read back for checks.
struct Dib {
  BITMAPINFOHEADER header{};
  std::vector<RGBQUAD> colours;
  std::vector<uint8_t> rows;  // as stored: bottom-up
  size_t blockSize = 0;

  static Dib From(HGLOBAL h) {
    Dib d;
    d.blockSize = GlobalSize(h);
    const auto* p = static_cast<const uint8_t*>(GlobalLock(h));
    if (!p || d.blockSize < sizeof d.header) return d;
    memcpy(&d.header, p, sizeof d.header);
    const size_t table = size_t(d.header.biClrUsed) * sizeof(RGBQUAD);
    if (sizeof d.header + table <= d.blockSize) {
      d.colours.assign(reinterpret_cast<const RGBQUAD*>(p + sizeof d.header),
                       reinterpret_cast<const RGBQUAD*>(p + sizeof d.header + table));
      d.rows.assign(p + sizeof d.header + table, p + d.blockSize);
    }
    GlobalUnlock(h);
    return d;
  }
  size_t Stride() const { return ((size_t(header.biWidth) * header.biBitCount + 31) / 32) * 4; }
  // Image row y (0 = top).
  const uint8_t* Row(int y) const { return rows.data() + size_t(header.biHeight - 1 - y) * Stride(); }
};

// A PNM image as scanimage writes it (P4, P5, P6; 8 or 16 bits).
struct Pnm {
  char kind = 0;  // '4', '5', '6'
  int width = 0, height = 0, maxval = 1;
  std::vector<uint8_t> data;

  int SampleBytes() const { return maxval > 255 ? 2 : 1; }
  size_t RowBytes() const {
    return kind == '4' ? size_t(width + 7) / 8 : size_t(width) * (kind == '6' ? 3 : 1) * size_t(SampleBytes());
  }
  const uint8_t* Row(int y) const { return data.data() + size_t(y) * RowBytes(); }

  static Pnm Parse(const std::string& s) {
    Pnm p;
    size_t i = 0;
    auto skip = [&] {
      for (;;) {
        while (i < s.size() && isspace((unsigned char)s[i])) ++i;
        if (i < s.size() && s[i] == '#')
          while (i < s.size() && s[i] != '\n') ++i;
        else
          return;
      }
    };
    auto number = [&] {
      skip();
      int v = 0;
      while (i < s.size() && isdigit((unsigned char)s[i])) v = v * 10 + (s[i++] - '0');
      return v;
    };
    if (s.size() < 2 || s[0] != 'P') return p;
    p.kind = s[1];
    i = 2;
    p.width = number();
    p.height = number();
    if (p.kind != '4') p.maxval = number();
    ++i;  // the single white space before the data
    if (i <= s.size()) p.data.assign(s.begin() + long(i), s.end());
    return p;
  }
};

// What scanimage gets from the same device, in the test's SANE configuration.
inline Pnm Scanimage(const std::string& args) {
  return Pnm::Parse(test::Scanimage(args));
}

// A SANE configuration for the test backend: `lines` go into test.conf.
inline void ConfigureTestBackend(const std::string& lines) {
  std::string dir = getenv("SANE_CONFIG_DIR") ? getenv("SANE_CONFIG_DIR") : ".";
  FILE* f = fopen((dir + "/test.conf").c_str(), "w");
  if (!f) return;
  fputs(lines.c_str(), f);
  fclose(f);
}

}  // namespace dsmtest
