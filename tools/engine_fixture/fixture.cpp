#include "tools/engine_fixture/fixture.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <sstream>

namespace engine_fixture {
namespace {

const std::string kAlphabet = "abcdefghijklmnopqrstuvwxyz1234567890ABCDEFGHIJKLMNOPQRSTUVWXYZ";
constexpr size_t kIndexRecord = 15;

bool IsBend(unsigned char code) { return code == '5' || (code >= 'A' && code <= 'O') || code == 'Y'; }

void PutInt32(std::string& out, long v) {
  const unsigned long u = static_cast<unsigned long>(v);
  for (int i = 0; i < 4; ++i) out += char((u >> (8 * i)) & 0xFF);
}

bool Number(const std::string& word, long* out, int base = 10) {
  char* end = nullptr;
  *out = strtol(word.c_str(), &end, base);
  return !word.empty() && *end == '\0';
}

bool Real(const std::string& word, double* out) {
  char* end = nullptr;
  *out = strtod(word.c_str(), &end);
  return !word.empty() && *end == '\0';
}

// The text after the first `words` words of the line, without the blanks
// around it.
std::string Rest(const std::string& line, int words) {
  size_t at = 0;
  const char* blank = " \t\r";
  for (int i = 0; i < words; ++i) {
    at = line.find_first_not_of(blank, at);
    at = at == std::string::npos ? line.size() : line.find_first_of(blank, at);
    if (at == std::string::npos) return "";
  }
  const size_t first = line.find_first_not_of(blank, at);
  if (first == std::string::npos) return "";
  return line.substr(first, line.find_last_not_of(blank) + 1 - first);
}

class LineParser {
 public:
  LineParser(Description* d, std::string* error) : d_(d), error_(error) {}

  bool Line(int number, const std::string& text) {
    line_ = number;
    const std::string line = text.substr(0, text.find('#'));
    std::istringstream in(line);
    std::string keyword, word;
    if (!(in >> keyword)) return true;
    std::vector<std::string> words;
    while (in >> word) words.push_back(word);
    if (keyword == "header") return Header(words);
    if (keyword == "pinyin") return Text(d_->pinyin, words, line);
    if (keyword == "english") return Text(d_->english, words, line);
    if (keyword == "radical") return Text(d_->radical, words, line);
    if (keyword == "strokes") return Count(words);
    if (keyword == "sound") return Sound(words);
    if (keyword == "voice") return VoiceLine(words);
    if (keyword == "mask") return words.size() == 1 && words[0].size() == 1 ? (d_->mask = words[0][0], true)
                                                                           : Fail("mask takes one letter");
    if (keyword == "char") return Char(words);
    if (!d_->characters.empty()) {
      Character& c = d_->characters.back();
      if (keyword == "stroke") return StrokeLine(c, words);
      if (keyword == "brush") return BrushLine(c, words);
      if (keyword == "bytes") return Bytes(c, words);
      if (keyword == "index") return Index(c, words);
      if (keyword == "cut") return Cut(c, words);
      if (keyword == "line") return SegmentLine(c, 1, words, 0);
      if (keyword == "curve") return SegmentLine(c, 2, words, 0);
      if (keyword == "seg") return SegmentLine(c, -1, words, 1);
    }
    return Fail("unexpected '" + keyword + "'");
  }

 private:
  bool Fail(const std::string& why) {
    *error_ = "line " + std::to_string(line_) + ": " + why;
    return false;
  }

  bool Byte(const std::string& word, int* out) {
    long v;
    if (!Number(word, &v) || v < 0 || v > 255) return Fail("'" + word + "' is not a number 0..255");
    *out = int(v);
    return true;
  }

  bool Header(const std::vector<std::string>& w) {
    if (w.size() != 1 || w[0].size() != 6 || w[0].find_first_not_of(kAlphabet) != std::string::npos)
      return Fail("header takes 6 characters of a-z, 0-9, A-Z");
    d_->header = w[0];
    return true;
  }

  // A character, or its GBK code in hex.
  bool CharacterWord(const std::string& word, std::string* gbk) {
    long v;
    if (word.size() == 4 && Number(word, &v, 16))
      *gbk = std::string{char(v >> 8), char(v & 0xFF)};
    else
      *gbk = word;
    return gbk->size() == 2 || Fail("a character is two GBK bytes");
  }

  bool Text(std::vector<TextEntry>& entries, const std::vector<std::string>& w, const std::string& line) {
    TextEntry e;
    if (w.empty()) return Fail("a text line needs a character");
    if (!CharacterWord(w[0], &e.gbk)) return false;
    if (Position(e.gbk) < 0) return Fail("a character outside GB2312");
    e.text = Rest(line, 2);
    entries.push_back(e);
    return true;
  }

  bool Count(const std::vector<std::string>& w) {
    CountEntry e;
    if (w.size() != 2 || w[1].size() > 3) return Fail("strokes C COUNT (up to 3 characters)");
    if (!CharacterWord(w[0], &e.gbk)) return false;
    e.count = w[1];
    d_->strokeCounts.push_back(e);
    return true;
  }

  bool Sound(const std::vector<std::string>& w) {
    SoundEntry e;
    long minutes;
    if (w.size() != 4 || w[0].size() > 9 || !Number(w[1], &minutes) || minutes < -32768 || minutes > 32767 ||
        !Real(w[2], &e.start) || !Real(w[3], &e.duration))
      return Fail("sound KEY MINUTES START DURATION");
    e.key = w[0];
    e.minutes = int(minutes);
    d_->sounds.push_back(e);
    return true;
  }

  bool VoiceLine(const std::vector<std::string>& w) {
    Voice v;
    if (w.empty() || w.size() > 2 || !Number(w[0], &v.samples) || v.samples < 0 || (w.size() == 2 && w[1] != "fact"))
      return Fail("voice SAMPLES [fact]");
    v.fact = w.size() == 2;
    d_->voice = v;
    return true;
  }

  bool Char(const std::vector<std::string>& w) {
    Character c;
    long v;
    if (w.empty()) return Fail("char needs a character");
    if (!CharacterWord(w[0], &c.gbk)) return false;
    if (w.size() == 3 && w[1] == "file" && Number(w[2], &v) && v >= 0 && v <= 9999)
      c.file = int(v);
    else if (w.size() != 1)
      return Fail("char C [file N]");
    d_->characters.push_back(c);
    return true;
  }

  bool StrokeLine(Character& c, const std::vector<std::string>& w) {
    Stroke s;
    if (w.size() != 3 && !(w.size() == 5 && w[3] == "flag")) return Fail("stroke C X Y [flag F]");
    if (w[0].size() != 1) return Fail("a stroke code is one character");
    s.code = (unsigned char)w[0][0];
    if (!Byte(w[1], &s.start.first) || !Byte(w[2], &s.start.second)) return false;
    if (w.size() == 5 && !Byte(w[4], &s.flag)) return false;
    if (c.strokes.size() == 255) return Fail("more than 255 strokes");
    c.strokes.push_back(s);
    return true;
  }

  // A stroke drawn along a path with a brush of width W: the outline runs
  // along the left side of the path, round the end tip, back along the
  // right side and round the start tip, each tip a quadratic curve; mitred
  // corners at the path's bends. A bend stroke gets its cuts: the first
  // joins the start point with the middle of the end tip, then one across
  // each corner.
  bool BrushLine(Character& c, const std::vector<std::string>& w) {
    struct Leg {
      double cx = 0, cy = 0;
      bool curved = false;
    };
    std::vector<std::pair<double, double>> path;
    std::vector<Leg> legs;
    Stroke s;
    long width;
    if (w.size() < 6 || w[0].size() != 1 || !Number(w[1], &width) || width < 1 || width > 64)
      return Fail("brush C WIDTH X Y [q CX CY] X Y ... [flag F]");
    s.code = (unsigned char)w[0][0];
    Leg pending;
    for (size_t i = 2; i < w.size();) {
      long a, b;
      if (w[i] == "flag" && i + 2 == w.size()) {
        if (!Byte(w[i + 1], &s.flag)) return false;
        break;
      }
      const bool control = w[i] == "q";
      if (control) ++i;
      if (i + 1 >= w.size() || !Number(w[i], &a) || !Number(w[i + 1], &b)) return Fail("brush: points come in pairs");
      i += 2;
      if (control) {
        if (path.empty() || pending.curved) return Fail("brush: a control point stands between two points");
        pending = Leg{double(a), double(b), true};
        continue;
      }
      if (!path.empty()) legs.push_back(pending);
      pending = Leg{};
      path.push_back({double(a), double(b)});
    }
    if (legs.empty() || pending.curved) return Fail("brush: a path of at least two points");
    const double r = width / 2.0;
    using V = std::pair<double, double>;
    auto unit = [](V d) {
      const double n = std::hypot(d.first, d.second);
      return n > 0 ? V{d.first / n, d.second / n} : V{1, 0};
    };
    auto normal = [](V d) { return V{-d.second, d.first}; };
    // Leg i's direction where it starts and where it ends.
    auto from = [&](size_t i) {
      const V a = path[i], b = legs[i].curved ? V{legs[i].cx, legs[i].cy} : path[i + 1];
      return unit({b.first - a.first, b.second - a.second});
    };
    auto to = [&](size_t i) {
      const V a = legs[i].curved ? V{legs[i].cx, legs[i].cy} : path[i], b = path[i + 1];
      return unit({b.first - a.first, b.second - a.second});
    };
    // The mitred offset of a point between directions a and b.
    auto miter = [&](V p, V a, V b, double side) {
      const V na = normal(a), nb = normal(b);
      const double k = side * r / std::max(1 + na.first * nb.first + na.second * nb.second, 0.2);
      return V{p.first + k * (na.first + nb.first), p.second + k * (na.second + nb.second)};
    };
    const size_t n = legs.size();
    auto node = [&](size_t i, double side) {
      const V a = i == 0 ? from(0) : to(i - 1), b = i == n ? to(n - 1) : from(i);
      return miter(path[i], a, b, side);
    };
    auto control = [&](size_t i, double side) { return miter({legs[i].cx, legs[i].cy}, from(i), to(i), side); };
    bool inside = true;
    auto pt = [&](V p) {
      const long x = std::lround(p.first), y = std::lround(p.second);
      if (x < 0 || x > 255 || y < 0 || y > 255) inside = false;
      return Point{int(x), int(y)};
    };
    auto add = [&](int type, std::vector<V> points) {
      Segment g;
      g.type = type;
      for (const V& p : points) g.points.push_back(pt(p));
      s.segments.push_back(g);
      return type == 2 ? 8 : 1;  // outline points the segment adds
    };
    s.start = pt(node(0, 1));
    std::vector<long> left{0}, right(n + 1);
    long at = 0;
    for (size_t i = 0; i < n; ++i)
      left.push_back(at += legs[i].curved ? add(2, {control(i, 1), node(i + 1, 1)}) : add(1, {node(i + 1, 1)}));
    const V end = path[n], endDir = to(n - 1), startDir = from(0);
    at += add(2, {V{end.first + 1.4 * r * endDir.first, end.second + 1.4 * r * endDir.second}, node(n, -1)});
    right[n] = at;
    const long tip = at - 4;
    for (size_t i = n; i-- > 0;)
      right[i] = at += legs[i].curved ? add(2, {control(i, -1), node(i, -1)}) : add(1, {node(i, -1)});
    const V start = path[0];
    add(2, {V{start.first - 1.4 * r * startDir.first, start.second - 1.4 * r * startDir.second}, node(0, 1)});
    if (!inside) return Fail("brush: the outline leaves the 0..255 square");
    if (IsBend(s.code)) {
      s.cuts.push_back({0, tip});
      for (size_t i = 1; i < n; ++i) s.cuts.push_back({left[i], right[i]});
    }
    if (c.strokes.size() == 255) return Fail("more than 255 strokes");
    c.strokes.push_back(s);
    return true;
  }

  bool Cut(Character& c, const std::vector<std::string>& w) {
    long a, b;
    if (c.strokes.empty() || !IsBend(c.strokes.back().code)) return Fail("cuts belong to a bend stroke");
    if (w.size() != 2 || !Number(w[0], &a) || !Number(w[1], &b)) return Fail("cut A B");
    if (c.strokes.back().cuts.size() == 255) return Fail("more than 255 cuts");
    c.strokes.back().cuts.push_back({a, b});
    return true;
  }

  bool SegmentLine(Character& c, int type, const std::vector<std::string>& w, size_t first) {
    Segment s;
    s.type = type;
    if (c.strokes.empty()) return Fail("a segment belongs to a stroke");
    if (type < 0 && (w.empty() || !Byte(w[0], &s.type))) return false;
    if ((w.size() - first) % 2 != 0) return Fail("points come in pairs");
    for (size_t i = first; i + 1 < w.size(); i += 2) {
      Point p;
      if (!Byte(w[i], &p.first) || !Byte(w[i + 1], &p.second)) return false;
      s.points.push_back(p);
    }
    if (s.points.size() > 255) return Fail("more than 255 points in a segment");
    if (c.strokes.back().segments.size() == 255) return Fail("more than 255 segments");
    c.strokes.back().segments.push_back(s);
    return true;
  }

  bool Bytes(Character& c, const std::vector<std::string>& w) {
    if (!c.bytes) c.bytes = std::string();
    for (const std::string& word : w) {
      long v;
      if (word.size() != 2 || !Number(word, &v, 16)) return Fail("'" + word + "' is not a hex byte");
      *c.bytes += char(v);
    }
    return true;
  }

  bool Index(Character& c, const std::vector<std::string>& w) {
    IndexValues v;
    if (w.size() != 3 || !Number(w[0], &v.offset) || !Number(w[1], &v.length) || !Number(w[2], &v.file))
      return Fail("index OFFSET LENGTH FILE");
    c.index = v;
    return true;
  }

  Description* d_;
  std::string* error_;
  int line_ = 0;
};

}  // namespace

bool Parse(std::string_view text, Description* out, std::string* error) {
  Description d;
  std::string scratch;
  LineParser parser(&d, error ? error : &scratch);
  std::istringstream in{std::string(text)};
  std::string line;
  for (int number = 1; std::getline(in, line); ++number)
    if (!parser.Line(number, line)) return false;
  *out = d;
  return true;
}

std::string Record(const Character& c, bool bends) {
  if (c.bytes) return *c.bytes;
  std::string r(1, char(c.strokes.size()));
  for (size_t i = 0; i < c.strokes.size(); ++i) {
    const Stroke& s = c.strokes[i];
    const std::string start{char(s.start.first), char(s.start.second)};
    r += i % 2 == 0 ? char(s.code) + start : start + char(s.code);
    if (bends && IsBend(s.code)) {
      r += char(s.flag);
      r += char(s.cuts.size());
      for (const auto& cut : s.cuts) PutInt32(r, cut.first), PutInt32(r, cut.second);
    }
    r += char(s.segments.size());
    for (size_t k = 0; k < s.segments.size(); ++k) {
      const Segment& g = s.segments[k];
      const char type = char(g.type), count = char(g.points.size());
      r += k % 2 == 0 ? std::string{type, count} : std::string{count, type};
      for (const Point& p : g.points) r += std::string{char(p.first), char(p.second)};
    }
  }
  return r;
}

std::string Scramble(std::string_view data, std::string_view header, char mask) {
  const unsigned char* h = reinterpret_cast<const unsigned char*>(header.data());
  std::string out(6, '\0');
  out[0] = char(h[0] ^ (unsigned char)mask);
  out[1] = char(h[0] ^ h[1]);
  out[2] = char(h[0] ^ h[2]);
  for (int k = 3; k < 6; ++k) out[k] = char(h[k] ^ h[1] ^ h[2]);
  for (size_t p = 0; p < data.size(); ++p) out += char((unsigned char)data[p] ^ h[3 + p % 3]);
  return out;
}

long Position(std::string_view gbk) {
  if (gbk.size() != 2) return -1;
  const int row = (unsigned char)gbk[0] - 0xA0, cell = (unsigned char)gbk[1] - 0xA0;
  if (row < 16 || row > 87 || cell < 1 || cell > 94) return -1;
  return (row - 16) * 94 + (cell - 1) - (row > 55 ? 5 : 0);
}

bool IndexPlace(long p, int* fileNumber, int* record) {
  if (p < 0 || p > 6762) return false;
  long f, r;
  if (p <= 3754) {
    f = p / 300, r = p % 300;
    if (f == 12) f = 11, r += 300;
  } else {
    const long q = p - 3755;
    f = q / 300 + 12, r = q % 300;
    if (f == 22) f = 21, r += 300;
  }
  *fileNumber = int(f + 1);
  *record = int(r);
  return true;
}

bool WriteFile(const std::string& path, std::string_view bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), std::streamsize(bytes.size()));
  return bool(out.flush());
}

namespace {

bool Write(const std::string& path, std::string_view bytes, std::string* error) {
  if (WriteFile(path, bytes)) return true;
  if (error) *error = "cannot write " + path;
  return false;
}

std::string FileName(const std::string& folder, int number, const char* extension) {
  char name[32];
  snprintf(name, sizeof name, "/Merro%04d.%s", number, extension);
  return folder + name;
}

}  // namespace

bool WriteStrokeFiles(const Description& d, const std::string& folder, std::string* error,
                      std::vector<IndexValues>* placed) {
  if (placed) placed->clear();
  std::map<int, std::string> data;                      // stroke file number -> records
  std::map<int, std::map<int, std::string>> indexFiles;  // index file number -> record -> 15 bytes
  for (const Character& c : d.characters) {
    int idxFile, record;
    if (!IndexPlace(Position(c.gbk), &idxFile, &record)) {
      if (error) *error = "a character outside GB2312";
      return false;
    }
    const std::string bytes = Record(c, true);
    std::string& dat = data[c.file];
    IndexValues v{long(dat.size()), long(bytes.size()), c.file};
    dat += bytes;
    if (c.index) v = *c.index;
    if (placed) placed->push_back(v);
    std::string entry = c.gbk + '\0';
    PutInt32(entry, v.offset), PutInt32(entry, v.length), PutInt32(entry, v.file);
    indexFiles[idxFile][record] = entry;
  }
  for (const auto& [number, records] : indexFiles) {
    std::string idx((size_t(records.rbegin()->first) + 1) * kIndexRecord, '\0');
    for (const auto& [record, entry] : records) idx.replace(size_t(record) * kIndexRecord, kIndexRecord, entry);
    if (!Write(FileName(folder, number, "idx"), Scramble(idx, d.header, d.mask), error)) return false;
  }
  for (const auto& [number, records] : data)
    if (!Write(FileName(folder, number, "dat"), Scramble(records, d.header, d.mask), error)) return false;
  return true;
}

std::pair<std::string, std::string> TextDictionary(const std::vector<TextEntry>& entries) {
  std::map<long, long> offsets;  // position -> offset of its text
  std::string dat;
  for (const TextEntry& e : entries) {
    offsets[Position(e.gbk)] = long(dat.size());
    PutInt32(dat, long(e.text.size()));
    dat += e.text;
  }
  const long positions = offsets.empty() ? 0 : offsets.rbegin()->first + 1;
  const long none = long(dat.size());
  if (long(offsets.size()) < positions) PutInt32(dat, 0);
  std::string idx;
  for (long p = 0; p < positions; ++p) PutInt32(idx, offsets.count(p) ? offsets[p] : none);
  return {idx, dat};
}

std::string StrokeCounts(const std::vector<CountEntry>& entries) {
  std::string out;
  for (const CountEntry& e : entries) out += e.gbk + e.count + std::string(3 - e.count.size(), ' ');
  return out;
}

std::string SoundRecord(const SoundEntry& e) {
  std::string r = e.key + std::string(9 - e.key.size(), '\0');
  r += char(e.minutes & 0xFF);
  r += char((e.minutes >> 8) & 0xFF);
  char bytes[16];
  memcpy(bytes, &e.start, 8);
  memcpy(bytes + 8, &e.duration, 8);
  return r + std::string(bytes, 16);
}

std::string SoundMap(const std::vector<SoundEntry>& entries) {
  std::string out;
  PutInt32(out, long(entries.size()));
  for (const SoundEntry& e : entries) out += SoundRecord(e);
  return out;
}

unsigned char VoiceSample(long i) { return (uint32_t(i) * 2654435761u) >> 24; }

std::string VoiceSamples(long first, long n) {
  std::string out;
  for (long i = first; i < first + n; ++i) out += char(VoiceSample(i));
  return out;
}

std::string VoiceImage(const Voice& v) {
  auto chunk = [](const char* id, const std::string& body) {
    std::string c(id, 4);
    PutInt32(c, long(body.size()));
    return c + body + (body.size() % 2 ? std::string(1, '\0') : "");
  };
  std::string format("\x01\x00\x01\x00", 4);  // PCM, mono
  PutInt32(format, 8000);                      // samples a second
  PutInt32(format, 8000);                      // bytes a second
  format += std::string("\x01\x00\x08\x00", 4);  // block align 1, 8 bits
  std::string fact;
  PutInt32(fact, v.samples);
  std::string body = "WAVE" + chunk("fmt ", format) + (v.fact ? chunk("fact", fact) : "") +
                     chunk("data", VoiceSamples(0, v.samples));
  std::string riff = "RIFF";
  PutInt32(riff, long(body.size()));
  return riff + body;
}

bool WriteFontFiles(const Description& d, const std::string& folder, std::string* error) {
  std::string dat, idx;
  for (const Character& c : d.characters) {
    const std::string bytes = Record(c, false);
    dat += bytes;
    PutInt32(idx, long(bytes.size()));
  }
  return Write(folder + "/user.dat", dat, error) && Write(folder + "/user.idx", idx, error);
}

bool WriteDictionaryFiles(const Description& d, const std::string& folder, std::string* error) {
  auto scrambled = [&](const char* name, const std::string& data) {
    return Write(folder + "/" + name, Scramble(data, d.header, d.mask), error);
  };
  struct Dictionary {
    const std::vector<TextEntry>& entries;
    const char *idx, *dat;
  } dictionaries[] = {{d.pinyin, "src_hz_pinyin.idx", "src_hz_pinyin.dat"},
                      {d.english, "src_hz_english.idx", "src_hz_english.dat"},
                      {d.radical, "src_hz_ppbs.idx", "src_hz_ppbs.dat"}};
  for (const Dictionary& t : dictionaries) {
    if (t.entries.empty()) continue;
    const auto [idx, dat] = TextDictionary(t.entries);
    if (!scrambled(t.idx, idx) || !scrambled(t.dat, dat)) return false;
  }
  if (!d.strokeCounts.empty() && !scrambled("src_hz_bhs.dat", StrokeCounts(d.strokeCounts))) return false;
  if (!d.sounds.empty() && !scrambled("src_hz_wave.dat", SoundMap(d.sounds))) return false;
  return !d.voice || Write(folder + "/merrovoice.1", VoiceImage(*d.voice), error);
}

}  // namespace engine_fixture
