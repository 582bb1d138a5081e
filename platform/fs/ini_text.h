// The text of an INI file as the Windows profile functions read and write
// it: "[section]" lines, "key=value" lines, everything else kept as it is.
//
// Section and key names are matched ignoring ASCII case (the bytes of GBK
// characters compare as they are) and with blanks around them left out;
// values are read without their surrounding blanks. Of repeated sections or
// keys the first counts. Lines keep their own line ends (a last line cut
// between CR and LF ends in its CR, which a line added after it completes);
// new lines take the file's (that of its first line; CR LF for a new file).
// A file starting with a UTF-8 byte order mark holds UTF-8 text: names and
// values are converted to and from GBK line by line, so lines not touched
// keep their bytes.
#pragma once
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class IniText {
 public:
  explicit IniText(std::string_view bytes);
  std::string Bytes() const;

  std::optional<std::string> Value(std::string_view section, std::string_view key) const;
  std::vector<std::string> Sections() const;
  // Key names of the section in file order; nothing when there is no such section.
  std::optional<std::vector<std::string>> Keys(std::string_view section) const;

  // Names that can be stored and read back as themselves: no line break or
  // zero byte anywhere, no ']' in a section name, no '=' in a key, which
  // must not start like a section or a comment either; not blank.
  static bool CanHoldSection(std::string_view name);
  static bool CanHoldKey(std::string_view name);
  static bool CanHoldValue(std::string_view value);

  // An existing key keeps its place and spelling, a new key ends its
  // section, a new section ends the file. Names must pass the checks above.
  void Set(std::string_view section, std::string_view key, std::string_view value);
  void DeleteKey(std::string_view section, std::string_view key);
  // Every section of that name, with all its lines.
  void EraseSection(std::string_view section);

 private:
  enum class Kind { kOther, kSection, kKey };
  struct Line {
    std::string text;  // bytes as in the file, without the line end
    std::string end;   // "\r\n", "\n", or "" for a last line without one
    Kind kind = Kind::kOther;
    std::string name;   // GBK, trimmed: section or key name
    std::string value;  // GBK, trimmed
  };

  Line MakeLine(std::string text, std::string end) const;
  std::string Encode(std::string_view gbkText) const;
  size_t FindSection(std::string_view name, size_t from = 0) const;
  size_t SectionEnd(size_t header) const;
  size_t FindKey(size_t header, std::string_view key) const;
  void Insert(size_t at, std::string text);

  std::vector<Line> lines_;
  bool utf8_ = false;
  std::string newline_ = "\r\n";
};
