// TTwainIdentity, the component's helpers for records and formats, and
// TTwainLink: the library, the manager, the source list, the hidden window.
#include "twain/twain_link.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <iterator>

#include "platform/text/gbk.h"
#include "platform/win/hidden_window.h"
#include "platform/win/input.h"
#include "platform/win/messages.h"
#include "platform/win/module.h"
#include "platform/win/timing.h"

namespace {

constexpr size_t kStringChars = sizeof(TW_STR32) - 2;  // 32: the field always ends in a zero
constexpr int kLanguages = tlVietnamese + 1;
// A manager that never ends its list must not make the component list for ever.
constexpr int kMaxSources = 1024;
const char kLibraryName[] = "TWAIN_32.DLL";
const char kWindowClass[] = "TWAINLINK_VIRTUALWINDOW";
const char kWindowTitle[] = "TwainLink";

}  // namespace

// ---- record helpers ----

int TwainItemSize(TW_UINT16 itemType) {
  // TWTY_INT8 .. TWTY_UNI512 in code order.
  static const int kSizes[] = {1, 2, 4, 1, 2, 4, 2, 4, 16, 34, 66, 130, 256, 1026, 1024};
  static_assert(std::size(kSizes) == TWTY_UNI512 + 1, "one size per item type");
  return itemType < std::size(kSizes) ? kSizes[itemType] : 0;
}

int DibColorCount(const BITMAPINFOHEADER* header) {
  int bits = header->biBitCount;
  if (header->biSize == sizeof(BITMAPCOREHEADER)) {
    bits = reinterpret_cast<const BITMAPCOREHEADER*>(header)->bcBitCount;
  } else if (header->biClrUsed != 0) {
    return int(std::min<DWORD>(header->biClrUsed, INT_MAX));
  }
  switch (bits) {
    case 1:
      return 2;
    case 4:
      return 16;
    case 8:
      return 256;
    default:
      return 0;
  }
}

TTwainFormat TwainFormatFromCode(TW_UINT16 format) {
  return format <= TWFF_EXIF ? TTwainFormat(format) : tfUnknown;
}

// ---- TTwainIdentity ----

TTwainIdentity::TTwainIdentity(TComponent* owner) : owner_(owner), record_{} {
  SetLanguage(tlUserLocale);
  SetCountryCode(1);
  SetMajorVersion(1);
  SetMinorVersion(0);
  record_.ProtocolMajor = 1;
  record_.ProtocolMinor = 9;
  SetGroups(TTwainGroups{tgControl, tgImage});
  SetVersionInfo("Application name");
  SetManufacturer("Application manufacturer");
  SetProductFamily("App product family");
  SetProductName("App product name");
}

void TTwainIdentity::Assign(TPersistent* source) {
  if (auto* identity = dynamic_cast<TTwainIdentity*>(source)) {
    record_ = identity->record_;
    return;
  }
  TPersistent::Assign(source);
}

TTwainLanguage TTwainIdentity::GetLanguage() const {
  const int ordinal = int(TW_INT16(record_.Version.Language)) + 1;
  return ordinal >= 0 && ordinal < kLanguages ? TTwainLanguage(ordinal) : tlUserLocale;
}

void TTwainIdentity::SetLanguage(TTwainLanguage v) {
  const int ordinal = int(v);
  record_.Version.Language = ordinal > 0 && ordinal < kLanguages ? TW_UINT16(ordinal - 1) : 0;
}

TTwainGroups TTwainIdentity::GetGroups() const {
  TTwainGroups groups{tgControl};
  if (record_.SupportedGroups & DG_IMAGE) groups << tgImage;
  if (record_.SupportedGroups & DG_AUDIO) groups << tgAudio;
  return groups;
}

void TTwainIdentity::SetGroups(const TTwainGroups& v) {
  record_.SupportedGroups =
      DG_CONTROL | (v.Contains(tgImage) ? DG_IMAGE : 0u) | (v.Contains(tgAudio) ? DG_AUDIO : 0u);
}

char* TTwainIdentity::Field(int index) {
  char* const fields[] = {record_.Version.Info, record_.Manufacturer, record_.ProductFamily, record_.ProductName};
  return index >= 0 && index < int(std::size(fields)) ? fields[index] : nullptr;
}

AnsiString TTwainIdentity::GetString(int index) const {
  const char* f = Field(index);
  return f ? AnsiString(f, strnlen(f, sizeof(TW_STR32))) : AnsiString();
}

void TTwainIdentity::SetString(int index, const AnsiString& v) {
  char* f = Field(index);
  if (!f) return;
  // Whole GBK characters only, up to the first zero.
  size_t n = 0;
  while (n < v.size() && v[n] != '\0') {
    const size_t c = gbk::CharLength(std::string_view(v).substr(n));
    if (n + c > kStringChars) break;
    n += c;
  }
  memset(f, 0, sizeof(TW_STR32));
  memcpy(f, v.data(), n);
}

// ---- TTwainLink: library and manager ----

TTwainLink::TTwainLink(TComponent* AOwner)
    : TComponent(AOwner), info_(std::make_unique<TTwainIdentity>(this)) {
  CreateVirtualWindow();
}

TTwainLink::~TTwainLink() {
  // Freeing the component from one of its own events is not allowed; by now
  // nothing waits for an event any more.
  busy_ = 0;
  SetLibraryLoaded(false);
  DestroyWindow(virtualWindow_);
  ClearSources();
}

TW_UINT16 TTwainLink::Entry(pTW_IDENTITY dest, TW_UINT32 dg, TW_UINT16 dat, TW_UINT16 msg, TW_MEMREF data) {
  return dsmEntry_ ? dsmEntry_(AppIdentity(), dest, dg, dat, msg, data) : TW_UINT16(TWRC_FAILURE);
}

bool TTwainLink::OpenTwainLibrary() {
  if (libraryLoaded_) return true;
  const AnsiString folder = FindTwainLibraryFolder();
  if (folder.empty()) return false;
  libraryHandle_ = LoadLibrary((folder + kLibraryName).c_str());
  if (!libraryHandle_) return false;
  dsmEntry_ = reinterpret_cast<DSMENTRYPROC>(GetProcAddress(libraryHandle_, MAKEINTRESOURCE(1)));
  if (!dsmEntry_) {
    FreeLibrary(libraryHandle_);
    libraryHandle_ = nullptr;
    return false;
  }
  libraryLoaded_ = true;
  return true;
}

bool TTwainLink::CloseTwainLibrary() {
  if (!libraryLoaded_) return true;
  if (busy_) return false;
  SetSourceManagerLoaded(false);
  if (!FreeLibrary(libraryHandle_)) return false;
  libraryHandle_ = nullptr;
  libraryLoaded_ = false;
  // The manager, and whatever it still had open, went with the library,
  // even when it refused to close: the next load starts afresh, and the Id
  // that manager gave means nothing to the next one.
  dsmEntry_ = nullptr;
  sourceManagerLoaded_ = false;
  openSourceCount_ = 0;
  AppIdentity()->Id = 0;
  return true;
}

void TTwainLink::SetLibraryLoaded(bool value) {
  if (value == libraryLoaded_) return;
  if (value)
    OpenTwainLibrary();
  else
    CloseTwainLibrary();
}

bool TTwainLink::OpenSourceManager() {
  if (!libraryLoaded_) return false;
  if (sourceManagerLoaded_) return true;
  if (Entry(nullptr, DG_CONTROL, DAT_PARENT, MSG_OPENDSM, &virtualWindow_) != TWRC_SUCCESS) return false;
  sourceManagerLoaded_ = true;
  return true;
}

bool TTwainLink::CloseSourceManager() {
  if (!libraryLoaded_ || !sourceManagerLoaded_) {
    sourceManagerLoaded_ = false;
    return true;
  }
  if (busy_) return false;
  ClearSources();
  if (Entry(nullptr, DG_CONTROL, DAT_PARENT, MSG_CLOSEDSM, &virtualWindow_) != TWRC_SUCCESS) return false;
  sourceManagerLoaded_ = false;
  return true;
}

void TTwainLink::SetSourceManagerLoaded(bool value) {
  if (!libraryLoaded_ || value == sourceManagerLoaded_) return;
  if (value)
    OpenSourceManager();
  else
    CloseSourceManager();
}

// ---- the source list ----

TTwainSource* TTwainLink::NewSource() {
  auto* s = new TTwainSource(this);
  s->TransferMode = TransferMode;
  s->Index = sources_.Count;
  return s;
}

bool TTwainLink::EnumerateSources() {
  if (!libraryLoaded_ || !sourceManagerLoaded_ || busy_) return false;
  ClearSources();
  std::unique_ptr<TTwainSource> s(NewSource());
  TW_UINT16 rc = Entry(nullptr, DG_CONTROL, DAT_IDENTITY, MSG_GETFIRST, s->Record());
  while (rc == TWRC_SUCCESS && sources_.Count < kMaxSources) {
    sources_.Add(s.release());
    s.reset(NewSource());
    rc = Entry(nullptr, DG_CONTROL, DAT_IDENTITY, MSG_GETNEXT, s->Record());
  }
  sourcesEnumerated_ = true;
  return true;  // the last source object, which received no identity, goes
}

int TTwainLink::GetSourceCount() const {
  if (!libraryLoaded_ || !sourceManagerLoaded_) return 0;
  if (!sourcesEnumerated_) const_cast<TTwainLink*>(this)->EnumerateSources();
  return sources_.Count;
}

TTwainSource* TTwainLink::GetSource(int Index) {
  if (!libraryLoaded_ || !sourceManagerLoaded_) return nullptr;
  const int count = GetSourceCount();
  if (Index >= 0 && Index < count) return static_cast<TTwainSource*>(sources_.GetItems(Index));
  if (Index == -1 && count > 0) {
    const int d = GetDefaultSourceIndex();
    return d >= 0 ? static_cast<TTwainSource*>(sources_.GetItems(d)) : nullptr;
  }
  return nullptr;
}

int TTwainLink::GetDefaultSourceIndex() {
  if (!sourceManagerLoaded_) return 0;
  TW_IDENTITY identity{};
  if (Entry(nullptr, DG_CONTROL, DAT_IDENTITY, MSG_GETDEFAULT, &identity) != TWRC_SUCCESS) return 0;
  return FindSource(identity);
}

int TTwainLink::FindSource(const TW_IDENTITY& identity) const {
  void* const* list = sources_.GetList();
  for (int i = 0; i < sources_.Count; ++i)
    if (memcmp(static_cast<TTwainSource*>(list[i])->Record(), &identity, sizeof identity) == 0) return i;
  return -1;
}

void TTwainLink::ClearSources() {
  if (busy_) return;
  // Taken out of the list first: a source raises OnSourceDisable as it goes.
  void* const* list = sources_.GetList();
  std::vector<TTwainSource*> gone;
  for (int i = 0; i < sources_.Count; ++i) gone.push_back(static_cast<TTwainSource*>(list[i]));
  sources_.Clear();
  for (TTwainSource* s : gone) delete s;
  sourcesEnumerated_ = false;
}

// ---- the hidden window ----

void TTwainLink::CreateVirtualWindow() {
  virtualWindow_ = win::CreateHiddenWindow(kWindowTitle, kWindowClass);
  if (virtualWindow_)
    RegisterWindowProc(virtualWindow_,
                       [this](UINT message, WPARAM w, LPARAM l) { return VirtualWindowProc(message, w, l); });
}

LRESULT TTwainLink::VirtualWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  if (openSourceCount_ > 0) {
    MSG msg{virtualWindow_, message, wParam, lParam, GetTickCount(), {0, 0}};
    GetCursorPos(&msg.pt);
    // The list as it stands: routing never lists sources itself.
    for (int i = 0; i < sources_.Count; ++i) {
      auto* s = static_cast<TTwainSource*>(sources_.GetItems(i));
      if (s && s->GetLoaded() && s->GetSwitchedOn() && s->ProcessMessage(msg)) return 0;
    }
  }
  return 0;  // the default processing of a window that is never shown
}
