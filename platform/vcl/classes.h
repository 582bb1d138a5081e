// The class library's base classes, geometry records, events and streams.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/vcl/enum_set.h"
#include "platform/vcl/property.h"
#include "platform/vcl/sysutils.h"
#include "platform/windef.h"

class TObject {
 public:
  virtual ~TObject() = default;
};

// Objects whose contents copy through Assign.
class TPersistent : public TObject {
 public:
  // Copies `source` into this object; a kind it does not know is asked to
  // copy itself (AssignTo). EConvertError "Cannot assign a X to a Y" when
  // the two kinds do not mix.
  virtual void Assign(TPersistent* source);
  virtual void AssignTo(TPersistent* dest) const;
};

// A component belongs to its owner, which destroys it with itself.
class TComponent : public TPersistent {
 public:
  explicit TComponent(TComponent* owner);
  ~TComponent() override;
  TComponent(const TComponent&) = delete;
  TComponent& operator=(const TComponent&) = delete;

  TComponent* GetOwner() const { return owner_; }
  int GetComponentCount() const { return int(components_.size()); }
  TComponent* GetComponent(int i) const;
  AnsiString GetName() const { return name_; }
  void SetName(const AnsiString& name) { name_ = name; }
  int GetTag() const { return tag_; }
  void SetTag(int tag) { tag_ = tag; }

  VCL_READONLY(TComponent, TComponent*, Owner);
  VCL_READONLY(TComponent, int, ComponentCount);
  VCL_PROPERTY(TComponent, AnsiString, Name);
  VCL_PROPERTY(TComponent, int, Tag);
  TComponent* Components(int i) const { return GetComponent(i); }

 private:
  TComponent* owner_;
  std::vector<TComponent*> components_;
  AnsiString name_;
  int tag_ = 0;
};

typedef std::function<void(TObject* Sender)> TNotifyEvent;

enum TShiftStateItem { ssShift, ssAlt, ssCtrl, ssLeft, ssRight, ssMiddle, ssDouble };
typedef vcl::EnumSet<TShiftStateItem> TShiftState;

struct TPoint {
  int X = 0;
  int Y = 0;
  TPoint() = default;
  TPoint(int x, int y) : X(x), Y(y) {}
  TPoint(const POINT& p) : X(p.x), Y(p.y) {}
  operator POINT() const { return POINT{X, Y}; }
  bool operator==(const TPoint& o) const { return X == o.X && Y == o.Y; }
  bool operator!=(const TPoint& o) const { return !(*this == o); }
};

// Right and bottom are exclusive, as everywhere in the drawing calls.
struct TRect {
  int Left = 0;
  int Top = 0;
  int Right = 0;
  int Bottom = 0;
  TRect() = default;
  TRect(int l, int t, int r, int b) : Left(l), Top(t), Right(r), Bottom(b) {}
  TRect(const RECT& r) : Left(r.left), Top(r.top), Right(r.right), Bottom(r.bottom) {}
  operator RECT() const { return RECT{Left, Top, Right, Bottom}; }
  int Width() const { return Right - Left; }
  int Height() const { return Bottom - Top; }
  bool operator==(const TRect& o) const {
    return Left == o.Left && Top == o.Top && Right == o.Right && Bottom == o.Bottom;
  }
  bool operator!=(const TRect& o) const { return !(*this == o); }
};

inline TPoint Point(int x, int y) { return TPoint(x, y); }
inline TRect Rect(int left, int top, int right, int bottom) { return TRect(left, top, right, bottom); }
inline TRect Bounds(int left, int top, int width, int height) {
  return TRect(left, top, left + width, top + height);
}

class TStream;

// ---- errors of lists and streams, with the class library's messages ----

class EListError : public Exception {
 public:
  using Exception::Exception;
  // "List index out of bounds (%d)"
  static EListError IndexOutOfBounds(int index);
};
class EStreamError : public Exception {
  using Exception::Exception;
};
class EFCreateError : public EStreamError {
 public:
  // "Cannot create file %s"
  explicit EFCreateError(const AnsiString& fileName);
};
class EFOpenError : public EStreamError {
 public:
  // "Cannot open file %s"
  explicit EFOpenError(const AnsiString& fileName);
};
class EReadError : public EStreamError {
  using EStreamError::EStreamError;
};
class EWriteError : public EStreamError {
  using EStreamError::EStreamError;
};

// ---- streams ----

enum : int { soFromBeginning = 0, soFromCurrent = 1, soFromEnd = 2 };

class TStream : public TObject {
 public:
  // Bytes moved; fewer at the end of the stream.
  virtual int64_t Read(void* buffer, int64_t count) = 0;
  virtual int64_t Write(const void* buffer, int64_t count) = 0;
  // The new position; origin soFromBeginning, soFromCurrent or soFromEnd.
  virtual int64_t Seek(int64_t offset, int origin) = 0;
  virtual void SetSize(int64_t size) = 0;

  // EReadError "Stream read error" / EWriteError "Stream write error" when
  // not all bytes move.
  void ReadBuffer(void* buffer, int64_t count);
  void WriteBuffer(const void* buffer, int64_t count);
  // Copies count bytes from source's position (0: the whole source from
  // its beginning); returns the bytes copied.
  int64_t CopyFrom(TStream* source, int64_t count);

  // Streams move their position to answer; the reads change nothing.
  int64_t GetPosition() const { return Self()->Seek(0, soFromCurrent); }
  void SetPosition(int64_t p) { Seek(p, soFromBeginning); }
  int64_t GetSize() const;

  VCL_PROPERTY(TStream, int64_t, Position);
  VCL_PROPERTY(TStream, int64_t, Size);

 private:
  TStream* Self() const { return const_cast<TStream*>(this); }
};

// A stream in memory.
class TMemoryStream : public TStream {
 public:
  int64_t Read(void* buffer, int64_t count) override;
  int64_t Write(const void* buffer, int64_t count) override;
  int64_t Seek(int64_t offset, int origin) override;
  void SetSize(int64_t size) override;

  void Clear();
  // The whole file (a GBK Windows path); EFOpenError when it cannot be read.
  void LoadFromFile(const AnsiString& fileName);
  void LoadFromStream(TStream* stream);
  // Through a temporary file and a rename; EFCreateError on failure.
  void SaveToFile(const AnsiString& fileName);
  void SaveToStream(TStream* stream);
  // The bytes (valid until the size changes); nullptr when empty.
  void* Memory() { return bytes_.empty() ? nullptr : bytes_.data(); }

 private:
  std::vector<BYTE> bytes_;
  int64_t position_ = 0;
};

// ---- string lists ----

// Lines of GBK text. Strings[i] out of range raises EListError "List index
// out of bounds (i)". Files are read splitting at CR LF, LF or CR and
// written with CR LF.
class TStrings : public TPersistent {
 public:
  virtual int GetCount() const = 0;
  virtual AnsiString Get(int index) const = 0;
  virtual void Put(int index, const AnsiString& s) = 0;
  virtual void Insert(int index, const AnsiString& s) = 0;
  virtual void Delete(int index) = 0;
  virtual void Clear() = 0;
  // Many changes between Begin and End are shown once.
  virtual void BeginUpdate() {}
  virtual void EndUpdate() {}

  void Assign(TPersistent* source) override;
  int Add(const AnsiString& s);
  void AddStrings(TStrings* strings);
  int IndexOf(const AnsiString& s) const;
  AnsiString GetText() const;
  void SetText(const AnsiString& text);
  // EFOpenError / EFCreateError.
  void LoadFromFile(const AnsiString& fileName);
  void SaveToFile(const AnsiString& fileName) const;
  void LoadFromStream(TStream* stream);
  void SaveToStream(TStream* stream) const;

  VCL_READONLY(TStrings, int, Count);
  vcl::Indexed<TStrings, AnsiString, &TStrings::Get, &TStrings::Put> Strings{this};
  VCL_PROPERTY(TStrings, AnsiString, Text);
  AnsiString operator[](int i) const { return Get(i); }

 protected:
  void CheckIndex(int index, int limit) const;
};

class TStringList : public TStrings {
 public:
  int GetCount() const override { return int(items_.size()); }
  AnsiString Get(int index) const override;
  void Put(int index, const AnsiString& s) override;
  void Insert(int index, const AnsiString& s) override;
  void Delete(int index) override;
  void Clear() override { items_.clear(); }

 private:
  std::vector<AnsiString> items_;
};
