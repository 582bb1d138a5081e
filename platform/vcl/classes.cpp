#include "platform/vcl/classes.h"

#include <algorithm>
#include <cstring>
#include <typeinfo>

#include "platform/fs/files.h"

namespace {
// Class names as the library spells them in its messages.
AnsiString ClassNameOf(const TObject* o) {
  if (!o) return "nil";
  const char* n = typeid(*o).name();
  while (*n >= '0' && *n <= '9') ++n;  // the mangled length prefix
  return n;
}
}  // namespace

void TPersistent::Assign(TPersistent* source) {
  if (source) return source->AssignTo(this);
  throw EConvertError("Cannot assign a " + ClassNameOf(source) + " to a " + ClassNameOf(this));
}

void TPersistent::AssignTo(TPersistent* dest) const {
  throw EConvertError("Cannot assign a " + ClassNameOf(this) + " to a " + ClassNameOf(dest));
}

TComponent::TComponent(TComponent* owner) : owner_(owner) {
  if (owner_) owner_->components_.push_back(this);
}

TComponent::~TComponent() {
  // Owned components go first, the last made first; each leaves the list.
  while (!components_.empty()) delete components_.back();
  if (owner_) {
    auto& list = owner_->components_;
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
  }
}

TComponent* TComponent::GetComponent(int i) const {
  if (i < 0 || i >= int(components_.size())) throw EListError::IndexOutOfBounds(i);
  return components_[size_t(i)];
}

EListError EListError::IndexOutOfBounds(int index) {
  return EListError("List index out of bounds (" + IntToStr(index) + ")");
}
EFCreateError::EFCreateError(const AnsiString& fileName) : EStreamError("Cannot create file " + fileName) {}
EFOpenError::EFOpenError(const AnsiString& fileName) : EStreamError("Cannot open file " + fileName) {}

// ---- TStream ----

void TStream::ReadBuffer(void* buffer, int64_t count) {
  if (count > 0 && Read(buffer, count) != count) throw EReadError("Stream read error");
}

void TStream::WriteBuffer(const void* buffer, int64_t count) {
  if (count > 0 && Write(buffer, count) != count) throw EWriteError("Stream write error");
}

int64_t TStream::CopyFrom(TStream* source, int64_t count) {
  if (!source) return 0;
  if (count == 0) {
    source->Position = 0;
    count = source->Size;
  }
  std::vector<BYTE> buf(size_t(std::min<int64_t>(count, 1 << 20)));
  int64_t done = 0;
  while (done < count) {
    int64_t n = std::min<int64_t>(count - done, int64_t(buf.size()));
    source->ReadBuffer(buf.data(), n);
    WriteBuffer(buf.data(), n);
    done += n;
  }
  return done;
}

int64_t TStream::GetSize() const {
  int64_t pos = Self()->Seek(0, soFromCurrent);
  int64_t size = Self()->Seek(0, soFromEnd);
  Self()->Seek(pos, soFromBeginning);
  return size;
}

// ---- TMemoryStream ----

int64_t TMemoryStream::Read(void* buffer, int64_t count) {
  if (count <= 0 || position_ >= int64_t(bytes_.size())) return 0;
  int64_t n = std::min<int64_t>(count, int64_t(bytes_.size()) - position_);
  memcpy(buffer, bytes_.data() + position_, size_t(n));
  position_ += n;
  return n;
}

int64_t TMemoryStream::Write(const void* buffer, int64_t count) {
  if (count <= 0) return 0;
  if (position_ + count > int64_t(bytes_.size())) bytes_.resize(size_t(position_ + count));
  memcpy(bytes_.data() + position_, buffer, size_t(count));
  position_ += count;
  return count;
}

int64_t TMemoryStream::Seek(int64_t offset, int origin) {
  int64_t base = origin == soFromCurrent ? position_ : origin == soFromEnd ? int64_t(bytes_.size()) : 0;
  position_ = std::max<int64_t>(0, base + offset);
  return position_;
}

void TMemoryStream::SetSize(int64_t size) {
  bytes_.resize(size_t(std::max<int64_t>(0, size)));
  position_ = std::min<int64_t>(position_, int64_t(bytes_.size()));
}

void TMemoryStream::Clear() {
  bytes_.clear();
  position_ = 0;
}

void TMemoryStream::LoadFromFile(const AnsiString& fileName) {
  auto data = ReadWholeFile(fileName);
  if (!data) throw EFOpenError(fileName);
  bytes_.assign(data->begin(), data->end());
  position_ = 0;
}

void TMemoryStream::LoadFromStream(TStream* stream) {
  Clear();
  if (!stream) return;
  stream->Position = 0;
  int64_t n = stream->Size;
  bytes_.resize(size_t(n));
  stream->ReadBuffer(bytes_.data(), n);
}

void TMemoryStream::SaveToFile(const AnsiString& fileName) {
  if (!WriteWholeFile(fileName, std::string_view(reinterpret_cast<const char*>(bytes_.data()), bytes_.size())))
    throw EFCreateError(fileName);
}

void TMemoryStream::SaveToStream(TStream* stream) {
  if (stream) stream->WriteBuffer(bytes_.data(), int64_t(bytes_.size()));
}

// ---- TStrings ----

void TStrings::CheckIndex(int index, int limit) const {
  if (index < 0 || index >= limit) throw EListError::IndexOutOfBounds(index);
}

void TStrings::Assign(TPersistent* source) {
  auto* s = dynamic_cast<TStrings*>(source);
  if (!s) return TPersistent::Assign(source);
  if (s == this) return;
  BeginUpdate();
  Clear();
  AddStrings(s);
  EndUpdate();
}

int TStrings::Add(const AnsiString& s) {
  int at = GetCount();
  Insert(at, s);
  return at;
}

void TStrings::AddStrings(TStrings* strings) {
  if (!strings) return;
  BeginUpdate();
  for (int i = 0, n = strings->GetCount(); i < n; ++i) Add(strings->Get(i));
  EndUpdate();
}

int TStrings::IndexOf(const AnsiString& s) const {
  // Compared ignoring the case of ASCII letters, as the library does.
  for (int i = 0, n = GetCount(); i < n; ++i)
    if (UpperCase(Get(i)) == UpperCase(s)) return i;
  return -1;
}

AnsiString TStrings::GetText() const {
  AnsiString out;
  for (int i = 0, n = GetCount(); i < n; ++i) out += Get(i) + "\r\n";
  return out;
}

void TStrings::SetText(const AnsiString& text) {
  BeginUpdate();
  Clear();
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find_first_of("\r\n", start);
    if (end == std::string::npos) {
      Add(text.substr(start));
      break;
    }
    Add(text.substr(start, end - start));
    start = end + (text.compare(end, 2, "\r\n") == 0 ? 2 : 1);
  }
  EndUpdate();
}

void TStrings::LoadFromFile(const AnsiString& fileName) {
  auto data = ReadWholeFile(fileName);
  if (!data) throw EFOpenError(fileName);
  SetText(*data);
}

void TStrings::SaveToFile(const AnsiString& fileName) const {
  if (!WriteWholeFile(fileName, GetText())) throw EFCreateError(fileName);
}

void TStrings::LoadFromStream(TStream* stream) {
  if (!stream) return;
  int64_t n = stream->Size - stream->Position;
  std::string text(size_t(std::max<int64_t>(0, n)), '\0');
  if (n > 0) stream->ReadBuffer(text.data(), n);
  SetText(text);
}

void TStrings::SaveToStream(TStream* stream) const {
  AnsiString text = GetText();
  if (stream) stream->WriteBuffer(text.data(), int64_t(text.size()));
}

AnsiString TStringList::Get(int index) const {
  CheckIndex(index, GetCount());
  return items_[size_t(index)];
}

void TStringList::Put(int index, const AnsiString& s) {
  CheckIndex(index, GetCount());
  items_[size_t(index)] = s;
}

void TStringList::Insert(int index, const AnsiString& s) {
  CheckIndex(index, GetCount() + 1);
  items_.insert(items_.begin() + index, s);
}

void TStringList::Delete(int index) {
  CheckIndex(index, GetCount());
  items_.erase(items_.begin() + index);
}
