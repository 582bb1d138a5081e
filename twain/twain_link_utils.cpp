#include "twain/twain_link_utils.h"

#include <cmath>
#include <functional>

#include "platform/fs/folders.h"
#include "platform/fs/system_folders.h"
#include "platform/win/module.h"

namespace {

const char kLibraryName[] = "TWAIN_32.DLL";

// A folder name fetched into a buffer of MAX_PATH, and again into one of the
// size the system asks for when that was too small; empty on failure.
AnsiString Fetch(const std::function<DWORD(LPSTR, DWORD)>& query) {
  std::vector<char> buffer(MAX_PATH);
  DWORD n = query(buffer.data(), DWORD(buffer.size()));
  if (n >= buffer.size()) {
    buffer.resize(n);
    n = query(buffer.data(), DWORD(buffer.size()));
    if (n >= buffer.size()) return {};
  }
  return AnsiString(buffer.data(), n);
}

AnsiString WithSeparator(AnsiString folder) {
  if (!folder.empty() && folder.back() != '\\' && folder.back() != '/') folder += '\\';
  return folder;
}

}  // namespace

AnsiString FindTwainLibraryFolder() {
  const AnsiString folders[] = {
      Fetch([](LPSTR b, DWORD n) { return DWORD(GetWindowsDirectory(b, n)); }),
      Fetch([](LPSTR b, DWORD n) { return DWORD(GetSystemDirectory(b, n)); }),
      Fetch([](LPSTR b, DWORD n) { return GetCurrentDirectory(n, b); }),
      GetProgramFolder(),
  };
  for (const AnsiString& f : folders) {
    if (f.empty()) continue;  // an unknown folder is no folder to look in
    const AnsiString folder = WithSeparator(f);
    if (LibraryFileExists((folder + kLibraryName).c_str())) return folder;
  }
  return {};
}

// ---- TPointerList ----

TPointerList::TPointerList() { data_.assign(size_t(growthStep_), nullptr); }

void TPointerList::Add(void* p) {
  SetCount(count_ + 1);
  data_[size_t(count_ - 1)] = p;
}

void TPointerList::Clear() {
  count_ = 0;
  data_.assign(size_t(growthStep_), nullptr);
}

void* TPointerList::GetItems(int i) const { return Reachable(i) ? data_[size_t(i)] : nullptr; }

void TPointerList::SetItems(int i, void* p) {
  if (Reachable(i)) data_[size_t(i)] = p;
}

void TPointerList::SetCount(int n) {
  if (n < 0) return;
  size_t capacity = data_.size();
  while (capacity < size_t(n)) capacity += size_t(growthStep_);
  data_.resize(capacity, nullptr);
  count_ = n;
}

void TPointerList::SetCapacity(int value) {
  if (value > 0 && value >= count_) data_.resize(size_t(value), nullptr);
}

// ---- TW_FIX32 ----

double Fix32ToFloat(const TW_FIX32& value) { return value.Whole + value.Frac / 65536.0; }

TW_FIX32 FloatToFix32(double value) {
  constexpr double kLowest = -32768.0, kHighest = 32767.0 + 65535.0 / 65536.0;
  if (std::isnan(value)) value = 0;
  value = std::fmin(std::fmax(value, kLowest), kHighest);
  // Whole is the upper half of the 32-bit number, Frac the lower.
  const uint32_t bits = uint32_t(int32_t(std::llround(value * 65536.0)));
  return TW_FIX32{TW_INT16(uint16_t(bits >> 16)), TW_UINT16(bits & 0xFFFF)};
}
