#include "platform/vcl/rtf.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <iconv.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <map>
#include <optional>
#include <vector>

#include "platform/gdi/font.h"
#include "platform/text/gbk.h"

namespace vcl::rtf {
namespace {

constexpr int kGbkCodePage = 936;
constexpr int kDefaultHalfPoints = 24;  // the size of text that names none
constexpr int kMaxDepth = 1000;         // deeper groups are read flat

// ---- sizes: half points at 96 pixels per inch ----

int PixelsOfHalfPoints(int halfPoints) { return std::max(1, int(std::lround(halfPoints * 2.0 / 3.0))); }
int HalfPointsOfPixels(int pixels) { return std::max(1, int(std::lround(pixels * 1.5))); }

// ---- code pages ----

// The code page of a font character set; 0 for "the document's".
int CodePageOfCharset(int charset) {
  static const std::map<int, int> pages = {
      {0, 1252},  {2, 1252},  {77, 10000}, {128, 932}, {129, 949},  {130, 1361}, {134, 936}, {136, 950},
      {161, 1253}, {162, 1254}, {163, 1258}, {177, 1255}, {178, 1256}, {186, 1257}, {204, 1251}, {222, 874},
      {238, 1250}, {254, 437}, {255, 850},
  };
  auto it = pages.find(charset);
  return it == pages.end() ? 0 : it->second;
}

QString Decode(const std::string& bytes, int codePage) {
  if (bytes.empty()) return QString();
  if (std::all_of(bytes.begin(), bytes.end(), [](char c) { return (unsigned char)c < 0x80; }))
    return QString::fromLatin1(bytes.data(), int(bytes.size()));
  if (codePage == kGbkCodePage) return gbk::ToQString(bytes);
  const std::string name = codePage == 10000 ? "MACINTOSH" : "CP" + std::to_string(codePage);
  iconv_t cd = iconv_open("UTF-16LE", name.c_str());
  if (cd == iconv_t(-1)) return QString::fromLatin1(bytes.data(), int(bytes.size()));
  QString out;
  std::string in = bytes;
  char* src = in.data();
  size_t left = in.size();
  std::vector<char> buffer(4 * in.size() + 8);
  while (left > 0) {
    char* dst = buffer.data();
    size_t room = buffer.size();
    if (iconv(cd, &src, &left, &dst, &room) == size_t(-1) && room == buffer.size()) {
      // A byte the code page lacks: one replacement character for it.
      out += QChar(0xFFFD);
      ++src, --left;
      continue;
    }
    out += QString::fromUtf16(reinterpret_cast<const char16_t*>(buffer.data()), int((buffer.size() - room) / 2));
  }
  iconv_close(cd);
  return out;
}

// ---- the reader ----

struct CharState {
  int font = -1;  // -1: the document's default font
  int halfPoints = kDefaultHalfPoints;
  bool bold = false, italic = false, underline = false;
  int colour = 0;  // 0: automatic
  // The associated font of double-byte runs, when the stream names one.
  int assocFont = -1, assocHalfPoints = 0;
  int assocBold = -1, assocItalic = -1;
  bool doubleByte = false;
};

enum class Dest { kText, kSkip, kFontTable, kColourTable };

struct Group {
  CharState chr;
  Dest dest = Dest::kText;
  int uc = 1;  // fallback characters after \uN
  Qt::Alignment align = Qt::AlignLeft;
};

struct FontEntry {
  std::string nameBytes;
  QString name;
  int charset = 1;  // 1: default
  int codePage = 0;
};

struct Format {
  QString face;
  int pixels = 16;
  bool bold = false, italic = false, underline = false;
  std::optional<QRgb> colour;
  bool operator==(const Format& o) const {
    return face == o.face && pixels == o.pixels && bold == o.bold && italic == o.italic && underline == o.underline &&
           colour == o.colour;
  }
};

struct Run {
  QString text;
  Format format;
};

struct Paragraph {
  Qt::Alignment align = Qt::AlignLeft;
  std::vector<Run> runs;
  Format end;  // the format at its paragraph mark (the height of an empty line)
};

// Words that open a destination whose content a note does not show.
bool IsSkippedDestination(std::string_view w) {
  static const char* const words[] = {
      "stylesheet", "info",      "pict",       "object",     "header",     "headerl",        "headerr",
      "headerf",    "footer",    "footerl",    "footerr",    "footerf",    "footnote",       "listtable",
      "listoverridetable", "revtbl", "rsidtbl", "xmlnstbl",  "generator",  "fldinst",        "themedata",
      "colorschememapping", "latentstyles", "datastore", "pgdsctbl", "mmathPr", "pnseclvl", "pntext",
      "pntxta",     "pntxtb",    "listtext",   "filetbl",    "private",    "userprops",      "bkmkstart",
      "bkmkend",    "annotation", "atnid",     "atnauthor",  "comment",    "docvar",         "template",
      "operator",   "author",    "title",      "subject",    "keywords",   "nonshppict",     "shppict",
      "shp",        "xe",        "tc",         "txe",        "ftnsep",     "ftnsepc",        "aftnsep",
      "aftnsepc",   "ftncn",     "aftncn",     "falt",       "panose",     "fontemb",        "fontfile",
  };
  return std::any_of(std::begin(words), std::end(words), [&](const char* d) { return w == d; });
}

// Words that stand for one character.
std::optional<char16_t> CharacterOf(std::string_view w) {
  static const struct {
    const char* word;
    char16_t c;
  } chars[] = {
      {"emdash", 0x2014},  {"endash", 0x2013},    {"bullet", 0x2022},    {"lquote", 0x2018}, {"rquote", 0x2019},
      {"ldblquote", 0x201C}, {"rdblquote", 0x201D}, {"emspace", 0x2003}, {"enspace", 0x2002}, {"qmspace", 0x2005},
      {"tab", u'\t'},      {"cell", u'\t'},       {"line", 0x2028},
  };
  for (const auto& c : chars)
    if (w == c.word) return c.c;
  return std::nullopt;
}

bool IsUnderlineOn(std::string_view w) {
  static const char* const words[] = {"ul", "uld", "uldb", "ulw", "ulwave", "uldash", "uldashd", "uldashdd",
                                      "ulth", "ulthd", "ulthdash", "ulhwave", "ulldash", "ululdbwave"};
  return std::any_of(std::begin(words), std::end(words), [&](const char* d) { return w == d; });
}

class Reader {
 public:
  explicit Reader(std::string_view in) : in_(in) {}

  std::vector<Paragraph> Parse() {
    paragraphs_.emplace_back();
    size_t i = 0;
    while (i < in_.size() && !done_) {
      const char c = in_[i];
      if (c == '{') {
        ++i;
        OpenGroup();
      } else if (c == '}') {
        ++i;
        CloseGroup();
      } else if (c == '\\') {
        i = Control(i + 1);
      } else {
        ++i;
        if (c != '\r' && c != '\n' && c != '\0') Byte(c);
      }
    }
    Flush();
    // The last paragraph mark closes the last paragraph: no empty one after it.
    if (paragraphs_.size() > 1 && endedByMark_ && paragraphs_.back().runs.empty()) paragraphs_.pop_back();
    return std::move(paragraphs_);
  }

 private:
  Group& Top() { return stack_.empty() ? outside_ : stack_.back(); }
  const Group& Top() const { return stack_.empty() ? outside_ : stack_.back(); }

  void OpenGroup() {
    Flush();
    skip_ = 0;
    ignorable_ = false;
    if (int(stack_.size()) >= kMaxDepth) {
      ++flat_;
      return;
    }
    Group g = Top();
    stack_.push_back(g);
    fresh_ = true;
  }

  void CloseGroup() {
    Flush();
    skip_ = 0;
    fresh_ = false;
    ignorable_ = false;
    if (flat_ > 0) {
      --flat_;
      return;
    }
    if (stack_.empty()) return;
    if (Top().dest == Dest::kFontTable) EndFontName();
    stack_.pop_back();
    if (stack_.empty()) done_ = true;
  }

  // Reads a control word or symbol after its backslash; returns where the
  // next token starts.
  size_t Control(size_t i) {
    if (i >= in_.size()) return i;
    const char c = in_[i];
    if (!IsLetter(c)) return Symbol(i);
    size_t j = i;
    while (j < in_.size() && IsLetter(in_[j])) ++j;
    // No word is longer; a longer one is none of them.
    const std::string_view word = in_.substr(i, std::min<size_t>(j - i, 32));
    std::optional<int> param;
    if (j < in_.size() && (in_[j] == '-' || IsDigit(in_[j]))) {
      const bool negative = in_[j] == '-';
      if (negative) ++j;
      long long v = 0;
      while (j < in_.size() && IsDigit(in_[j])) {
        if (v < 1000000000) v = v * 10 + (in_[j] - '0');
        ++j;
      }
      param = int(negative ? -v : v);
    }
    if (j < in_.size() && in_[j] == ' ') ++j;
    if (word == "bin") return j + size_t(std::clamp<long long>(param.value_or(0), 0, in_.size() - j));
    fresh_ = false;
    if (skip_ > 0) {
      --skip_;
      return j;
    }
    Word(word, param);
    return j;
  }

  size_t Symbol(size_t i) {
    const char c = in_[i];
    const bool first = fresh_;
    fresh_ = false;
    if (c == '\'') {
      const int value = i + 2 < in_.size() ? Hex(in_.substr(i + 1, 2)) : -1;
      if (value < 0) return i + 1;  // no byte: what follows is text
      Byte(char(value));
      return i + 3;
    }
    if (c == '*') {
      if (first) ignorable_ = true;
      return i + 1;
    }
    if (skip_ > 0) {
      --skip_;
      return i + 1;
    }
    switch (c) {
      case '\\': case '{': case '}': Byte(c); break;
      case '~': Text(QChar(0x00A0)); break;
      case '_': Text(QChar(0x2011)); break;
      case '\r': case '\n': EndParagraph(); break;
      default: break;  // optional hyphens, index marks ...
    }
    return i + 1;
  }

  void Word(std::string_view w, std::optional<int> param) {
    // Text before a word is in the look it had.
    Flush();
    Group& g = Top();
    const int n = param.value_or(0);
    const bool on = !param || *param != 0;
    if (ignorable_) {
      // "{\*\word": a destination to skip unless it is one of the known ones.
      ignorable_ = false;
      if (w != "fldrslt") return void(g.dest = Dest::kSkip);
    }
    if (g.dest == Dest::kSkip) return;
    if (w == "fonttbl") return void(g.dest = Dest::kFontTable);
    if (w == "colortbl") return void(g.dest = Dest::kColourTable);
    if (IsSkippedDestination(w)) return void(g.dest = Dest::kSkip);
    if (g.dest == Dest::kFontTable) return FontTableWord(w, n);
    if (g.dest == Dest::kColourTable) return ColourTableWord(w, n);

    CharState& s = g.chr;
    if (w == "par" || w == "row") return EndParagraph();
    if (auto ch = CharacterOf(w)) return Text(QChar(*ch));
    if (w == "u") return Unicode(n);
    if (w == "uc") return void(g.uc = std::clamp(n, 0, 10));
    if (w == "ansicpg") return void(ansiCodePage_ = n);
    if (w == "deff") return void(defaultFont_ = n);
    if (w == "pard") return void(g.align = Qt::AlignLeft);
    if (w == "ql") return void(g.align = Qt::AlignLeft);
    if (w == "qc") return void(g.align = Qt::AlignHCenter);
    if (w == "qr") return void(g.align = Qt::AlignRight);
    if (w == "qj") return void(g.align = Qt::AlignJustify);
    if (w == "plain") return void(s = CharState{});
    if (w == "f") return void(s.font = n);
    if (w == "fs") return void(s.halfPoints = n > 0 ? std::min(n, 3200) : kDefaultHalfPoints);
    if (w == "b") return void(s.bold = on);
    if (w == "i") return void(s.italic = on);
    if (IsUnderlineOn(w)) return void(s.underline = on);
    if (w == "ulnone") return void(s.underline = false);
    if (w == "cf") return void(s.colour = std::max(0, n));
    if (w == "af") return void(s.assocFont = n);
    if (w == "afs") return void(s.assocHalfPoints = std::clamp(n, 0, 3200));
    if (w == "ab") return void(s.assocBold = on);
    if (w == "ai") return void(s.assocItalic = on);
    if (w == "dbch") return void(s.doubleByte = true);
    if (w == "loch" || w == "hich") return void(s.doubleByte = false);
  }

  void FontTableWord(std::string_view w, int n) {
    if (w == "f") {
      EndFontName();
      font_ = n;
      fonts_[n];
    } else if (w == "fcharset" && font_) {
      fonts_[*font_].charset = n;
    } else if (w == "cpg" && font_) {
      fonts_[*font_].codePage = n;
    }
  }

  void ColourTableWord(std::string_view w, int n) {
    const int v = std::clamp(n, 0, 255);
    if (w == "red") colour_.r = v, colour_.any = true;
    if (w == "green") colour_.g = v, colour_.any = true;
    if (w == "blue") colour_.b = v, colour_.any = true;
  }

  void EndFontName() {
    if (!font_) return;
    FontEntry& f = fonts_[*font_];
    if (!f.nameBytes.empty()) {
      f.name = Decode(f.nameBytes, FontCodePage(f)).trimmed();
      f.nameBytes.clear();
    }
  }

  int FontCodePage(const FontEntry& f) const {
    if (f.codePage > 0) return f.codePage;
    const int page = CodePageOfCharset(f.charset);
    return page ? page : ansiCodePage_;
  }

  // The font the next text is in: a double-byte run takes the associated
  // one when the stream names it.
  int EffectiveFont(const CharState& s) const {
    if (s.doubleByte && s.assocFont >= 0) return s.assocFont;
    return s.font >= 0 ? s.font : defaultFont_;
  }

  void Byte(char c) {
    Group& g = Top();
    switch (g.dest) {
      case Dest::kSkip: return;
      case Dest::kFontTable:
        if (!font_) return;
        if (c == ';') return EndFontName(), void(font_.reset());
        fonts_[*font_].nameBytes += c;
        return;
      case Dest::kColourTable:
        if (c != ';') return;
        colours_.push_back(colour_.any ? std::optional<QRgb>(qRgb(colour_.r, colour_.g, colour_.b)) : std::nullopt);
        colour_ = {};
        return;
      case Dest::kText:
        if (skip_ > 0) return void(--skip_);
        const int page = CodePageOfText();
        if (page != pendingPage_) Flush();
        pendingPage_ = page;
        pending_ += c;
        return;
    }
  }

  int CodePageOfText() const {
    auto it = fonts_.find(EffectiveFont(Top().chr));
    return it == fonts_.end() ? ansiCodePage_ : FontCodePage(it->second);
  }

  void Unicode(int n) {
    Flush();
    skip_ = Top().uc;
    if (n < -32768 || n > 65535) return;
    const char16_t c = char16_t(n < 0 ? n + 65536 : n);
    if (QChar::isHighSurrogate(c)) {
      highSurrogate_ = c;
    } else if (QChar::isLowSurrogate(c) && highSurrogate_) {
      const QChar pair[2] = {QChar(highSurrogate_), QChar(c)};
      Append(QString(pair, 2));
    } else if (!QChar::isSurrogate(c)) {
      Append(QString(QChar(c)));
    }
  }

  void Text(QChar c) {
    if (Top().dest != Dest::kText) return;
    Flush();
    Append(QString(c));
  }

  void Flush() {
    if (pending_.empty()) return;
    const std::string bytes = std::move(pending_);
    pending_.clear();
    Append(Decode(bytes, pendingPage_));
  }

  void EndParagraph() {
    if (Top().dest != Dest::kText) return;
    Flush();
    paragraphs_.back().align = Top().align;
    paragraphs_.back().end = Current();
    paragraphs_.emplace_back();
    paragraphs_.back().end = Current();
    endedByMark_ = true;
  }

  Format Current() const {
    const CharState& s = Top().chr;
    Format f;
    auto font = fonts_.find(EffectiveFont(s));
    if (font != fonts_.end()) f.face = font->second.name;
    const bool assoc = s.doubleByte;
    f.pixels = PixelsOfHalfPoints(assoc && s.assocHalfPoints > 0 ? s.assocHalfPoints : s.halfPoints);
    f.bold = assoc && s.assocBold >= 0 ? s.assocBold != 0 : s.bold;
    f.italic = assoc && s.assocItalic >= 0 ? s.assocItalic != 0 : s.italic;
    f.underline = s.underline;
    if (s.colour > 0 && s.colour < int(colours_.size())) f.colour = colours_[size_t(s.colour)];
    return f;
  }

  void Append(const QString& text) {
    highSurrogate_ = 0;  // a high surrogate pairs only with the very next character
    if (text.isEmpty() || Top().dest != Dest::kText) return;
    auto& p = paragraphs_.back();
    p.align = Top().align;
    const Format f = Current();
    if (!p.runs.empty() && p.runs.back().format == f)
      p.runs.back().text += text;
    else
      p.runs.push_back({text, f});
    p.end = f;
    endedByMark_ = false;
  }

  static bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
  static bool IsDigit(char c) { return c >= '0' && c <= '9'; }
  static int Hex(std::string_view two) {
    if (two.size() != 2) return -1;
    int v = 0;
    for (char c : two) {
      v <<= 4;
      if (c >= '0' && c <= '9') v |= c - '0';
      else if (c >= 'a' && c <= 'f') v |= c - 'a' + 10;
      else if (c >= 'A' && c <= 'F') v |= c - 'A' + 10;
      else return -1;
    }
    return v;
  }

  std::string_view in_;
  std::vector<Group> stack_;
  Group outside_;  // before the first group (never in a good stream)
  int flat_ = 0;
  bool done_ = false;
  bool fresh_ = false;      // the next token is the group's first
  bool ignorable_ = false;  // "\*" opened the group
  int skip_ = 0;            // fallback characters still to skip
  char16_t highSurrogate_ = 0;
  int ansiCodePage_ = 1252;
  int defaultFont_ = 0;
  std::map<int, FontEntry> fonts_;
  std::optional<int> font_;  // the font table entry being read
  struct {
    int r = 0, g = 0, b = 0;
    bool any = false;
  } colour_;
  std::vector<std::optional<QRgb>> colours_;
  std::string pending_;  // text bytes not yet decoded
  int pendingPage_ = 0;
  std::vector<Paragraph> paragraphs_;
  bool endedByMark_ = false;
};

QTextCharFormat CharFormatOf(const Format& f) {
  gdi::Font font;
  font.face = f.face.isEmpty() ? std::string("宋体") : gbk::FromQString(f.face);
  font.height = -f.pixels;
  font.weight = f.bold ? FW_BOLD : FW_NORMAL;
  font.italic = f.italic;
  font.underline = f.underline;
  QTextCharFormat c;
  c.setFont(font.ToQFont());
  if (f.colour) c.setForeground(QColor(*f.colour));
  return c;
}

// ---- the writer ----

struct WriteFormat {
  QString face;
  int halfPoints = kDefaultHalfPoints;
  bool bold = false, italic = false, underline = false;
  std::optional<QRgb> colour;
};

WriteFormat FormatOf(const QTextCharFormat& c, const QFont& base) {
  const QFont f = c.font().resolve(base);
  WriteFormat w;
  const QStringList families = f.families();
  w.face = families.isEmpty() ? f.family() : families.first();
  const int pixels = f.pixelSize() > 0 ? f.pixelSize() : int(std::lround(f.pointSizeF() * 96.0 / 72.0));
  w.halfPoints = HalfPointsOfPixels(std::max(1, pixels));
  w.bold = f.weight() > QFont::Medium;
  w.italic = f.italic();
  w.underline = f.underline();
  if (c.hasProperty(QTextFormat::ForegroundBrush)) w.colour = c.foreground().color().rgb() | 0xFF000000u;
  return w;
}

void AppendGbkBytes(std::string& out, const std::string& bytes) {
  static const char digits[] = "0123456789abcdef";
  for (unsigned char b : bytes) {
    out += "\\'";
    out += digits[b >> 4];
    out += digits[b & 15];
  }
}

void AppendText(std::string& out, const QString& text) {
  for (QChar ch : text) {
    const char16_t c = ch.unicode();
    if (c == '\\' || c == '{' || c == '}') {
      out += '\\';
      out += char(c);
    } else if (c == '\t') {
      out += "\\tab ";
    } else if (c == 0x2028 || c == 0x2029 || c == '\n') {
      out += "\\line ";
    } else if (c >= 0x20 && c < 0x80) {
      out += char(c);
    } else if (c < 0x20 || c == QChar::ObjectReplacementCharacter) {
      // control characters and embedded objects are not text
    } else {
      const std::string bytes = ch.isSurrogate() ? std::string() : gbk::FromQString(QString(ch));
      if (!bytes.empty() && bytes != "?") {
        AppendGbkBytes(out, bytes);
      } else {
        out += "\\u" + std::to_string(int(int16_t(c))) + "?";
      }
    }
  }
}

class Writer {
 public:
  explicit Writer(const QTextDocument& doc) : doc_(doc) {}

  std::string Run() {
    WriteFormat state;
    bool first = true;
    const QFont base = doc_.defaultFont();
    for (QTextBlock block = doc_.begin(); block.isValid(); block = block.next()) {
      Word("\\pard");
      const Qt::Alignment a = block.blockFormat().alignment() & Qt::AlignHorizontal_Mask;
      if (a & Qt::AlignHCenter) Word("\\qc");
      else if (a & Qt::AlignRight) Word("\\qr");
      else if (a & Qt::AlignJustify) Word("\\qj");
      bool any = false;
      for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment frag = it.fragment();
        if (!frag.isValid() || frag.text().isEmpty()) continue;
        Change(state, FormatOf(frag.charFormat(), base), first);
        first = false;
        Text(frag.text());
        any = true;
      }
      if (!any) {
        Change(state, FormatOf(block.charFormat(), base), first);
        first = false;
      }
      Word("\\par");
      body_ += "\r\n";
      afterWord_ = false;
    }
    std::string out = "{\\rtf1\\ansi\\ansicpg936\\deff0\\deflang1033\\deflangfe2052{\\fonttbl";
    for (size_t i = 0; i < faces_.size(); ++i) {
      out += "{\\f" + std::to_string(i) + "\\fnil\\fcharset134 ";
      AppendText(out, faces_[i]);
      out += ";}";
    }
    out += "}\r\n";
    if (!colours_.empty()) {
      out += "{\\colortbl ;";
      for (QRgb c : colours_)
        out += "\\red" + std::to_string(qRed(c)) + "\\green" + std::to_string(qGreen(c)) + "\\blue" +
               std::to_string(qBlue(c)) + ";";
      out += "}\r\n";
    }
    out += "\\viewkind4\\uc1" + body_ + "}\r\n";
    return out;
  }

 private:
  void Word(const std::string& w) {
    body_ += w;
    afterWord_ = true;
  }
  // Text after a control word needs the space that ends the word.
  void Text(const QString& text) {
    if (afterWord_) body_ += ' ';
    afterWord_ = false;
    AppendText(body_, text);
  }

  int FontIndex(const QString& face) {
    auto it = std::find(faces_.begin(), faces_.end(), face);
    if (it != faces_.end()) return int(it - faces_.begin());
    faces_.push_back(face);
    return int(faces_.size()) - 1;
  }
  int ColourIndex(std::optional<QRgb> c) {
    if (!c) return 0;
    auto it = std::find(colours_.begin(), colours_.end(), *c);
    if (it != colours_.end()) return int(it - colours_.begin()) + 1;
    colours_.push_back(*c);
    return int(colours_.size());
  }

  // The control words that take the text from `state` to `next`.
  void Change(WriteFormat& state, const WriteFormat& next, bool first) {
    const int font = FontIndex(next.face);
    if (first || FontIndex(state.face) != font) Word("\\f" + std::to_string(font));
    if (first || state.halfPoints != next.halfPoints) Word("\\fs" + std::to_string(next.halfPoints));
    if (state.bold != next.bold) Word(next.bold ? "\\b" : "\\b0");
    if (state.italic != next.italic) Word(next.italic ? "\\i" : "\\i0");
    if (state.underline != next.underline) Word(next.underline ? "\\ul" : "\\ulnone");
    const int colour = ColourIndex(next.colour);
    if (ColourIndex(state.colour) != colour) Word("\\cf" + std::to_string(colour));
    state = next;
  }

  const QTextDocument& doc_;
  std::string body_;
  bool afterWord_ = false;
  std::vector<QString> faces_;
  std::vector<QRgb> colours_;
};

}  // namespace

bool IsRtf(std::string_view bytes) { return bytes.substr(0, 5) == "{\\rtf"; }

bool Read(std::string_view bytes, QTextDocument* doc) {
  if (!IsRtf(bytes)) return false;
  const std::vector<Paragraph> paragraphs = Reader(bytes).Parse();
  doc->clear();
  QTextCursor cursor(doc);
  bool first = true;
  for (const Paragraph& p : paragraphs) {
    QTextBlockFormat block;
    block.setAlignment(p.align);
    const QTextCharFormat end = CharFormatOf(p.end);
    if (first)
      cursor.setBlockFormat(block), cursor.setBlockCharFormat(end);
    else
      cursor.insertBlock(block, end);
    first = false;
    for (const Run& r : p.runs) cursor.insertText(r.text, CharFormatOf(r.format));
  }
  return true;
}

std::string Write(const QTextDocument& doc) { return Writer(doc).Run(); }

}  // namespace vcl::rtf
