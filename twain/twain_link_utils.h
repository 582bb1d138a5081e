// What the TWAIN component needs besides the protocol: where the source
// manager library lies, a growable list of pointers, and TW_FIX32 numbers.
#pragma once
#include <vector>

#include "platform/vcl/classes.h"
#include "twain/twain.h"

// The first folder holding "TWAIN_32.DLL" (as the layer's file search finds
// a library: the name or its Linux form): the Windows folder, the System
// folder, the current folder, then the program's own folder. The folder is
// GBK with a trailing separator; empty when none has the library. The
// temporary folder is not searched: it is shared by every user of the
// machine, so a library found there could be anybody's.
AnsiString FindTwainLibraryFolder();

// A growable array of untyped pointers; it owns nothing it points to. At most
// 256 entries are reachable by index, however many it holds.
class TPointerList : public TObject {
 public:
  static constexpr int kReachable = 256;

  TPointerList();

  // Count + 1, the pointer stored last (beyond the reachable entries too, so
  // that a list holding more is still freed whole by its owner).
  void Add(void* p);
  // Count 0, capacity back to the growth step.
  void Clear();
  // nullptr for an index outside 0..Count-1 or beyond 255; writes there are
  // ignored.
  void* GetItems(int i) const;
  void SetItems(int i, void* p);
  int GetCount() const { return count_; }
  // Negative counts are ignored; the capacity grows by the growth step.
  void SetCount(int n);
  int GetCapacity() const { return int(data_.size()); }
  // Only a value above 0 and not below Count.
  void SetCapacity(int value);
  // Every entry, the unreachable ones too (Count of them).
  void* const* GetList() const { return data_.data(); }

  VCL_PROPERTY(TPointerList, int, Count);
  VCL_PROPERTY(TPointerList, int, Capacity);

 private:
  bool Reachable(int i) const { return i >= 0 && i < count_ && i < kReachable; }

  std::vector<void*> data_;
  int growthStep_ = 10;
  int count_ = 0;
};

// Whole + Frac / 65536.
double Fix32ToFloat(const TW_FIX32& value);
// To the nearest 1/65536; beyond what a TW_FIX32 holds, its largest or
// smallest value.
TW_FIX32 FloatToFix32(double value);
