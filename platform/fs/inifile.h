// INI files as the Windows profile functions keep them (GBK text, CR LF,
// see ini_text.h), named by a GBK Windows path.
//
// Every call reads the file again and every change goes to disk at once
// through a temporary file and a rename, so a crash never leaves half a
// settings file and other programs see each change as soon as it is made.
// A missing file, section or key reads as the default; a change that cannot
// be written (missing folder, unreadable file, a name the file cannot hold)
// returns false and leaves the file as it was.
#pragma once
#include <string>
#include <string_view>
#include <vector>

class TIniFile {
 public:
  explicit TIniFile(std::string fileName) : fileName_(std::move(fileName)) {}
  const std::string& FileName() const { return fileName_; }

  std::string ReadString(std::string_view section, std::string_view ident, std::string_view def) const;
  // Decimal (with a sign) or hexadecimal "$1F" / "0x1F" up to 32 bits; the
  // default for anything else.
  int ReadInteger(std::string_view section, std::string_view ident, int def) const;
  // An integer other than 0 is true.
  bool ReadBool(std::string_view section, std::string_view ident, bool def) const;

  bool WriteString(std::string_view section, std::string_view ident, std::string_view value);
  // In decimal.
  bool WriteInteger(std::string_view section, std::string_view ident, int value);
  // As 1 or 0.
  bool WriteBool(std::string_view section, std::string_view ident, bool value);
  // True when the key or section is gone afterwards (also when it never was).
  bool DeleteKey(std::string_view section, std::string_view ident);
  bool EraseSection(std::string_view section);

  // Names in file order, each once, spelt as in the file.
  std::vector<std::string> ReadSections() const;
  std::vector<std::string> ReadSection(std::string_view section) const;  // its keys
  bool SectionExists(std::string_view section) const;
  bool ValueExists(std::string_view section, std::string_view ident) const;

 private:
  std::string fileName_;
};
