// The data files the engine holds in memory from start to end: the voice
// image "merrovoice.1" (plain, read whole) and the six text dictionary
// files (scrambled, read whole and unscrambled): "src_hz_pinyin.dat" and
// ".idx", "src_hz_english.dat" and ".idx", "src_hz_ppbs.dat" and ".idx".
#pragma once
#include "platform/mfc/cstring.h"

namespace engine {

// The data file `name` of `folder`: "<folder>\\<name>".
CString FileIn(const CString& folder, const char* name);

// A block from operator new and its length; empty when its file was
// missing or unreadable.
struct DataBuffer {
  unsigned char* data = nullptr;
  long length = 0;

  bool Loaded() const { return data != nullptr; }
  void Free();
};

struct DataFiles {
  DataBuffer voice;
  DataBuffer pinyinText, pinyinOffsets;
  DataBuffer englishText, englishOffsets;
  DataBuffer radicalText, radicalOffsets;

  // Loads every file of `folder` (releasing what was held); a file that
  // cannot be read, or an empty folder name, leaves buffers empty.
  void Load(const CString& folder);
  void Free();
};

}  // namespace engine
