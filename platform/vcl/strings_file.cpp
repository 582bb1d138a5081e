// String lists read from and written to text files.
#include <optional>

#include "platform/fs/files.h"
#include "platform/vcl/choice_boxes.h"

void TStrings::LoadFromFile(const AnsiString& fileName) {
  const std::optional<std::string> text = ReadWholeFile(fileName);
  if (!text) throw EFOpenError(fileName);
  std::vector<AnsiString> lines;
  size_t start = 0;
  for (size_t i = 0; i < text->size(); ++i) {
    const char c = (*text)[i];
    if (c != '\r' && c != '\n') continue;
    lines.push_back(text->substr(start, i - start));
    if (c == '\r' && i + 1 < text->size() && (*text)[i + 1] == '\n') ++i;
    start = i + 1;
  }
  if (start < text->size()) lines.push_back(text->substr(start));
  Clear();
  for (const AnsiString& l : lines) Add(l);
}

void TStrings::SaveToFile(const AnsiString& fileName) const {
  std::string text;
  for (int i = 0; i < GetCount(); ++i) text += Get(i) + "\r\n";
  if (!WriteWholeFile(fileName, text)) throw EFCreateError(fileName);
}
