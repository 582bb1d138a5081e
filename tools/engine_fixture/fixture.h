// Engine data fixtures: characters and their strokes described in a few
// readable lines, written as the character data engine's files.
//
// Description (one keyword a line, '#' starts a comment, numbers decimal):
//   header abc123           raw scramble header, 6 characters (default abc123)
//   mask x                  mask letter of the stored header (default x)
//   char 啊 [file N]        a character (or its GBK code in hex: char B0A1);
//                           its record goes into stroke file N (default 1)
//   stroke C X Y [flag F]   a stroke: code character C, start point; bend
//                           codes ('5', 'A'..'O', 'Y') carry a start flag
//   cut A B                 a stored cut of the bend stroke (point indices
//                           relative to the stroke's start point; the first
//                           cut joins the start tip and the end tip)
//   line X Y ...            segment of type 1 (polyline points)
//   curve X Y ...           segment of type 2 (quadratic spline; the last
//                           point is on the curve)
//   seg T X Y ...           segment of any other type T
//   brush C W X Y [q CX CY] X Y ... [flag F]
//                           a stroke of code C as a brush of width W draws
//                           it along the path (a "q" point makes the next
//                           leg a quadratic curve): both sides, a curved tip
//                           at each end, mitred corners; a bend stroke also
//                           gets its cuts (start point to the middle of the
//                           end tip, then one across each corner)
//   bytes HH HH ...         the record given as bytes instead of strokes
//                           (repeat to append)
//   index OFFSET LENGTH N   index values to write instead of the real ones
//
// Dictionary lines (a character is written as for char):
//   pinyin C TEXT           the character's text in a text dictionary; the
//   english C TEXT          rest of the line is the text (GBK). A character
//   radical C TEXT          given again replaces its text
//   strokes C COUNT         an entry of the stroke-count file: the character
//                           and up to 3 characters of count, blank-padded
//   sound KEY M S D         a sound record: syllable with tone digit (up to
//                           9 bytes; 9 leave no NUL), minutes, start seconds
//                           and duration in seconds
//   voice N [fact]          the voice image: 8 kHz 8-bit mono PCM of N
//                           sample bytes VoiceSample(0 .. N-1), with a
//                           "fact" chunk between "fmt " and "data" if asked
//
// Stroke files: the records of each file N concatenated in description
// order in "MerroNNNN.dat"; index files "MerroNNNN.idx" hold one 15-byte
// record per character position up to the last one described (others are
// zero); both scrambled. Font files: "user.dat" (the records in
// description order, without bend blocks) and "user.idx" (their lengths).
//
// Dictionary files, each written when the description has lines for it, all
// scrambled but the voice image:
// - "src_hz_pinyin", "src_hz_english", "src_hz_ppbs" (.dat and .idx): the
//   ".idx" holds an int32 offset per character position up to the last one
//   described; the ".dat" the texts in description order, each an int32
//   length and its bytes, then one empty text that undescribed positions
//   point to (only when there are such positions);
// - "src_hz_bhs.dat": the 5-byte stroke-count entries in description order;
// - "src_hz_wave.dat": int32 count, then the 27-byte sound records;
// - "merrovoice.1": RIFF "WAVE", "fmt " (16 bytes), ["fact",] "data".
#pragma once
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace engine_fixture {

using Point = std::pair<int, int>;

struct Segment {
  int type = 1;
  std::vector<Point> points;
};

struct Stroke {
  unsigned char code = '1';
  Point start;
  int flag = 0;
  std::vector<std::pair<long, long>> cuts;
  std::vector<Segment> segments;
};

struct IndexValues {
  long offset = 0, length = 0, file = 0;
};

struct Character {
  std::string gbk;  // two GBK bytes
  int file = 1;
  std::vector<Stroke> strokes;
  std::optional<std::string> bytes;  // the whole record, when given as bytes
  std::optional<IndexValues> index;  // written to the index instead of the real values
};

struct TextEntry {
  std::string gbk;  // two GBK bytes
  std::string text;
};

struct CountEntry {
  std::string gbk;
  std::string count;  // up to 3 bytes
};

struct SoundEntry {
  std::string key;  // up to 9 bytes
  int minutes = 0;
  double start = 0, duration = 0;
};

struct Voice {
  long samples = 0;
  bool fact = false;
};

struct Description {
  std::string header = "abc123";
  char mask = 'x';
  std::vector<Character> characters;
  std::vector<TextEntry> pinyin, english, radical;
  std::vector<CountEntry> strokeCounts;
  std::vector<SoundEntry> sounds;
  std::optional<Voice> voice;
};

// `text` is GBK (the command-line tool converts its UTF-8 file first).
// False with a message naming the line when the description is not valid.
bool Parse(std::string_view text, Description* out, std::string* error);

// The record bytes of the character; bend blocks only with `bends`.
std::string Record(const Character& c, bool bends);

// The scrambled form of `data`: the stored header made from the raw header
// and the mask letter, then each data byte XORed with raw header byte
// 3 + (position mod 3).
std::string Scramble(std::string_view data, std::string_view header, char mask);

// Dense GB2312 position 0..6762 of a two-byte character; -1 otherwise.
long Position(std::string_view gbk);
// Index file number (1..22) and record of a position; false outside 0..6762.
bool IndexPlace(long position, int* fileNumber, int* record);

// The plain data of a text dictionary: .idx and .dat.
std::pair<std::string, std::string> TextDictionary(const std::vector<TextEntry>& entries);
// The plain data of the stroke-count file.
std::string StrokeCounts(const std::vector<CountEntry>& entries);
// A 27-byte sound record, and the plain data of a sound map.
std::string SoundRecord(const SoundEntry& entry);
std::string SoundMap(const std::vector<SoundEntry>& entries);
// Sample byte i of a voice image, and n of them from byte `first` on.
unsigned char VoiceSample(long i);
std::string VoiceSamples(long first, long n);
// The voice image file.
std::string VoiceImage(const Voice& voice);

// Write the files into `folder` (a Linux path that exists). `placed` gets
// the index values of each character as written (offset, length, file).
bool WriteStrokeFiles(const Description& d, const std::string& folder, std::string* error,
                      std::vector<IndexValues>* placed = nullptr);
bool WriteFontFiles(const Description& d, const std::string& folder, std::string* error);
// The dictionary files the description has lines for.
bool WriteDictionaryFiles(const Description& d, const std::string& folder, std::string* error);
// Writes `bytes` to `path` as they are.
bool WriteFile(const std::string& path, std::string_view bytes);

}  // namespace engine_fixture
