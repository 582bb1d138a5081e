// Fonts as the system's code describes them (a LOGFONT's terms: GBK face
// name, height, weight, italic, underline, character set), mapped to an
// installed font through Qt's font matching (fontconfig). Chinese faces that
// are not installed (宋体, 隶书, 楷体_GB2312 ...) fall back to WenQuanYi Micro
// Hei; Latin faces to fontconfig's substitute.
#pragma once
#include <QFont>
#include <string>

#include "platform/windef.h"

namespace gdi {

struct Font {
  std::string face = "宋体";  // GBK
  // Negative: character (em) height in pixels; positive: cell height
  // (ascent + descent); 0: the default, 12-pixel characters.
  int height = -12;
  int weight = FW_NORMAL;
  bool italic = false;
  bool underline = false;
  bool strikeOut = false;
  int charSet = GB2312_CHARSET;

  static Font FromLogFont(const LOGFONTA& lf);
  LOGFONTA ToLogFont() const;

  // The Qt font drawing uses. Needs a QGuiApplication.
  QFont ToQFont() const;

  bool operator==(const Font& o) const;
  bool operator!=(const Font& o) const { return !(*this == o); }
};

// True when a QGuiApplication exists, which Qt's font system needs. Text
// calls without one refuse (draw nothing, measure zero).
bool CanRenderText();

}  // namespace gdi
