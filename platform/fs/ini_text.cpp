#include "platform/fs/ini_text.h"

#include "platform/text/gbk.h"

namespace {

constexpr std::string_view kBom = "\xEF\xBB\xBF";
constexpr size_t npos = std::string_view::npos;

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view TrimLeft(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  return s;
}

// GBK trail bytes are never blanks, so trimming bytes is safe.
std::string_view Trim(std::string_view s) {
  s = TrimLeft(s);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

bool IsBlankLine(std::string_view s) { return Trim(s).empty(); }

// Where the single-byte character c stands in GBK text: GBK trail bytes
// include '[', '\' and ']', so the text is walked character by character.
size_t FindGbkChar(std::string_view s, char c, size_t from = 0) {
  for (size_t i = from; i < s.size(); i += gbk::CharLength(s.substr(i)))
    if (s[i] == c) return i;
  return npos;
}

char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? char(c + 32) : c; }

// ASCII case is ignored; a GBK character compares by its bytes (its trail
// byte may look like a letter).
bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size();) {
    const size_t n = gbk::CharLength(a.substr(i));
    if (n == 2 ? (a[i] != b[i] || a[i + 1] != b[i + 1]) : LowerAscii(a[i]) != LowerAscii(b[i])) return false;
    i += n;
  }
  return true;
}

bool HasLineBreakOrZero(std::string_view s) { return s.find_first_of(std::string_view("\r\n\0", 3)) != npos; }

}  // namespace

IniText::IniText(std::string_view bytes) {
  if (bytes.substr(0, kBom.size()) == kBom) {
    utf8_ = true;
    bytes.remove_prefix(kBom.size());
  }
  size_t i = 0;
  while (i < bytes.size()) {
    const size_t j = bytes.find('\n', i);
    std::string_view text = bytes.substr(i, j == npos ? npos : j - i);
    std::string end = j != npos ? "\n" : "";
    // A last line may end in a CR alone: the file was cut before its LF.
    if (!text.empty() && text.back() == '\r') {
      text.remove_suffix(1);
      end = "\r" + end;
    }
    lines_.push_back(MakeLine(std::string(text), end));
    i = j == npos ? bytes.size() : j + 1;
  }
  if (!lines_.empty() && !lines_[0].end.empty() && lines_[0].end.back() == '\n') newline_ = lines_[0].end;
}

std::string IniText::Bytes() const {
  std::string out = utf8_ ? std::string(kBom) : std::string();
  for (const Line& l : lines_) out += l.text + l.end;
  return out;
}

IniText::Line IniText::MakeLine(std::string text, std::string end) const {
  Line l;
  l.text = std::move(text);
  l.end = std::move(end);
  auto decode = [this](std::string_view s) { return utf8_ ? gbk::FromUtf8(s) : std::string(s); };
  const std::string_view t = TrimLeft(l.text);
  if (!t.empty() && t[0] == '[') {
    // UTF-8 never hides an ASCII byte inside a character; GBK does.
    const size_t close = utf8_ ? t.find(']', 1) : FindGbkChar(t, ']', 1);
    if (close != npos) {
      l.kind = Kind::kSection;
      l.name = decode(Trim(t.substr(1, close - 1)));
    }
  } else if (!t.empty() && t[0] != ';') {
    const size_t eq = t.find('=');  // '=' is never a GBK trail byte
    const std::string_view key = eq == npos ? std::string_view() : Trim(t.substr(0, eq));
    if (!key.empty()) {
      l.kind = Kind::kKey;
      l.name = decode(key);
      l.value = decode(Trim(t.substr(eq + 1)));
    }
  }
  return l;
}

std::string IniText::Encode(std::string_view gbkText) const {
  return utf8_ ? gbk::ToUtf8(gbkText) : std::string(gbkText);
}

size_t IniText::FindSection(std::string_view name, size_t from) const {
  name = Trim(name);
  for (size_t i = from; i < lines_.size(); ++i)
    if (lines_[i].kind == Kind::kSection && SameName(lines_[i].name, name)) return i;
  return npos;
}

size_t IniText::SectionEnd(size_t header) const {
  size_t i = header + 1;
  while (i < lines_.size() && lines_[i].kind != Kind::kSection) ++i;
  return i;
}

size_t IniText::FindKey(size_t header, std::string_view key) const {
  key = Trim(key);
  for (size_t i = header + 1, end = SectionEnd(header); i < end; ++i)
    if (lines_[i].kind == Kind::kKey && SameName(lines_[i].name, key)) return i;
  return npos;
}

std::optional<std::string> IniText::Value(std::string_view section, std::string_view key) const {
  const size_t h = FindSection(section);
  const size_t i = h == npos ? npos : FindKey(h, key);
  if (i == npos) return std::nullopt;
  return lines_[i].value;
}

std::vector<std::string> IniText::Sections() const {
  std::vector<std::string> names;
  for (size_t i = 0; i < lines_.size(); ++i)
    if (lines_[i].kind == Kind::kSection && FindSection(lines_[i].name) == i) names.push_back(lines_[i].name);
  return names;
}

std::optional<std::vector<std::string>> IniText::Keys(std::string_view section) const {
  const size_t h = FindSection(section);
  if (h == npos) return std::nullopt;
  std::vector<std::string> keys;
  for (size_t i = h + 1, end = SectionEnd(h); i < end; ++i)
    if (lines_[i].kind == Kind::kKey && FindKey(h, lines_[i].name) == i) keys.push_back(lines_[i].name);
  return keys;
}

bool IniText::CanHoldSection(std::string_view name) {
  const std::string t(Trim(name));
  // A last lead byte would swallow the closing bracket.
  return !t.empty() && !HasLineBreakOrZero(t) && FindGbkChar(t + ']', ']') == t.size();
}

bool IniText::CanHoldKey(std::string_view name) {
  const std::string_view t = Trim(name);
  return !t.empty() && !HasLineBreakOrZero(t) && t.find('=') == npos && t[0] != '[' && t[0] != ';';
}

bool IniText::CanHoldValue(std::string_view value) { return !HasLineBreakOrZero(value); }

void IniText::Insert(size_t at, std::string text) {
  if (at > 0 && lines_[at - 1].end.empty()) lines_[at - 1].end = newline_;
  if (at > 0 && lines_[at - 1].end == "\r") lines_[at - 1].end = "\r\n";
  lines_.insert(lines_.begin() + std::ptrdiff_t(at), MakeLine(std::move(text), newline_));
}

void IniText::Set(std::string_view section, std::string_view key, std::string_view value) {
  section = Trim(section);
  key = Trim(key);
  const size_t h = FindSection(section);
  if (h == npos) {
    Insert(lines_.size(), "[" + Encode(section) + "]");
    Insert(lines_.size(), Encode(key) + "=" + Encode(value));
    return;
  }
  if (const size_t i = FindKey(h, key); i != npos) {
    const std::string_view t = lines_[i].text;
    const std::string spelling(Trim(t.substr(0, t.find('='))));
    lines_[i] = MakeLine(spelling + "=" + Encode(value), lines_[i].end);
    return;
  }
  // After the section's last line that is not blank: blank lines between
  // sections stay between them.
  size_t at = SectionEnd(h);
  while (at > h + 1 && IsBlankLine(lines_[at - 1].text)) --at;
  Insert(at, Encode(key) + "=" + Encode(value));
}

void IniText::DeleteKey(std::string_view section, std::string_view key) {
  const size_t h = FindSection(section);
  if (h == npos) return;
  // Every copy of the key, so that none shows up in its place.
  for (size_t i; (i = FindKey(h, key)) != npos;) lines_.erase(lines_.begin() + std::ptrdiff_t(i));
}

void IniText::EraseSection(std::string_view section) {
  for (size_t h; (h = FindSection(section)) != npos;)
    lines_.erase(lines_.begin() + std::ptrdiff_t(h), lines_.begin() + std::ptrdiff_t(SectionEnd(h)));
}
