// The dictionary exports: texts of a character, and the pronunciation of a
// pinyin syllable played from the voice image.
#include <algorithm>
#include <cctype>
#include <cmath>
#include <memory>
#include <new>

#include "merrobase/sound_io.h"
#include "merrodataengine/api/engine.h"
#include "merrodataengine/dictionary/text_dictionary.h"
#include "platform/mfc/message_box.h"

namespace engine {
namespace {

// The voice image's sample data, 8 kHz 8-bit mono: bytes per second.
constexpr double kBytesPerSecond = 8000;
// PlayFile counts a slice of an image from the header of its "data" chunk;
// the sound map's times count from the first sample after it.
constexpr long kDataChunkHeader = 8;

int ReadText(const DataBuffer& offsets, const DataBuffer& text, const CString& character, CString* out) {
  return DictionaryText(offsets.data, offsets.length, text.data, text.length, CMerroMap::On_Get_Pos(character), out);
}

// A byte count of the voice image for `seconds`; false for a time that is
// negative, not a number or beyond what a long holds.
bool Bytes(double seconds, long* out) {
  const double bytes = std::trunc(seconds * kBytesPerSecond);
  if (!(bytes >= 0 && bytes < 2147483647.0 - kDataChunkHeader)) return false;
  *out = long(bytes);
  return true;
}

}  // namespace

int On_Read_Pinyin(CString, CString character, CString* out) {
  const DataFiles& d = State().data;
  return ReadText(d.pinyinOffsets, d.pinyinText, character, out);
}

int On_Read_English(CString, CString character, CString* out) {
  const DataFiles& d = State().data;
  return ReadText(d.englishOffsets, d.englishText, character, out);
}

int On_Read_Ppbs(CString, CString character, CString* out) {
  const DataFiles& d = State().data;
  return ReadText(d.radicalOffsets, d.radicalText, character, out);
}

}  // namespace engine

using namespace engine;

namespace {

int GetText(EngineContext* c, int (*read)(CString, CString, CString*)) {
  EngineParams* p = Params(c);
  if (!On_Is_Valid_Context(c) || !p) return 0;
  CString text;
  read(c->strDataFolder, p->strSlot34, &text);
  p->strSlot38 = text;
  return 1;
}

}  // namespace

extern "C" {

int On_Get_Pinyin(EngineContext* c) {
  const ExportLock lock;
  return GetText(c, On_Read_Pinyin);
}
int On_Get_English(EngineContext* c) {
  const ExportLock lock;
  return GetText(c, On_Read_English);
}
int On_Get_Ppbs(EngineContext* c) {
  const ExportLock lock;
  return GetText(c, On_Read_Ppbs);
}

int On_Sound_Pinyin(EngineContext* c) {
  const ExportLock lock;
  DataBuffer& voice = State().data.voice;
  if (!voice.data || voice.length <= 0) return 0;
  EngineParams* p = Params(c);
  if (!On_Is_Valid_Context(c) || !p) return 0;
  CString syllable = p->strSlot34;
  if (syllable.IsEmpty()) {
    AfxMessageBox("拼音为空!");
    return 0;
  }
  if (!isdigit((unsigned char)syllable[syllable.GetLength() - 1])) syllable += "1";
  CMerroRecordMap* map = On_Get_Wave_Map(c->nPoolSize, c->strDataFolder);
  if (!map) return 0;
  short minutes = 0;
  double start = 0, duration = 0;
  long offset, length;
  // A record whose times give no slice of the image is not played.
  if (map->On_Get_Wave_Pos(syllable, minutes, start, duration) == 1 && Bytes(minutes * 60.0 + start, &offset) &&
      Bytes(duration, &length)) {
    std::unique_ptr<CSoundIO> sound(new (std::nothrow) CSoundIO);
    // Past the image there are only zeros to play.
    if (sound) sound->PlayFile(voice.data, voice.length, offset + kDataChunkHeader, std::min(length, voice.length));
  }
  return 1;
}

}  // extern "C"
