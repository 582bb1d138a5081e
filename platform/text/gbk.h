// GBK (code page 936) <-> UTF-8 at the boundaries of the system: Qt strings,
// X11 window titles, font drawing, file names on disk. Inside, every string
// is 8-bit GBK.
#pragma once
#include <QString>
#include <string>
#include <string_view>

namespace gbk {

// Invalid or truncated GBK sequences become U+FFFD, one per bad byte.
std::string ToUtf8(std::string_view gbk);
// Characters GBK cannot hold, and invalid UTF-8, become '?'.
std::string FromUtf8(std::string_view utf8);

QString ToQString(std::string_view gbk);
std::string FromQString(const QString& s);

// Length in bytes of the GBK character starting at s[0] (1 or 2); a lead
// byte at the end of the text counts as 1.
inline size_t CharLength(std::string_view s) {
  return (s.size() >= 2 && (unsigned char)s[0] >= 0x81 && (unsigned char)s[0] <= 0xFE) ? 2 : 1;
}

}  // namespace gbk
