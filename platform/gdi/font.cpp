#include "platform/gdi/font.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QStringList>
#include <algorithm>
#include <cmath>
#include <cstring>

#include "platform/text/gbk.h"

namespace gdi {
namespace {

constexpr int kDefaultEmHeight = 12;
const char* const kCjkFallback = "WenQuanYi Micro Hei";

// Installed names that stand for a face of the system's code, tried before
// the fallback.
struct Alias {
  const char* face;  // GBK
  const char* names;  // comma separated
};
const Alias kAliases[] = {
    {"宋体", "SimSun,NSimSun,AR PL UMing CN"},
    {"新宋体", "NSimSun,SimSun"},
    {"黑体", "SimHei,Noto Sans CJK SC"},
    {"隶书", "LiSu"},
    {"楷体_GB2312", "KaiTi_GB2312,KaiTi,AR PL UKai CN"},
    {"楷体", "KaiTi,KaiTi_GB2312,AR PL UKai CN"},
    {"仿宋_GB2312", "FangSong_GB2312,FangSong"},
    // A narrow bitmap face: 8-point "CapsLock" is 45 pixels in it, and the
    // labels sized for it fill their buttons. DejaVu Sans, fontconfig's
    // choice, is a seventh wider; Roboto Condensed keeps them inside and
    // its strokes stay legible at 11 pixels.
    {"MS Sans Serif", "Roboto Condensed"},
};

bool IsChineseFace(const Font& f) {
  if (f.charSet == GB2312_CHARSET || f.charSet == CHINESEBIG5_CHARSET) return true;
  return std::any_of(f.face.begin(), f.face.end(), [](char c) { return (unsigned char)c >= 0x80; });
}

QStringList Families(const Font& f) {
  QStringList families;
  if (!f.face.empty()) families << gbk::ToQString(f.face);
  for (const Alias& a : kAliases)
    if (f.face == a.face) families << QString::fromLatin1(a.names).split(',');
  if (IsChineseFace(f) || families.isEmpty()) families << QString::fromLatin1(kCjkFallback);
  return families;
}

QFont::Weight QtWeight(int weight) {
  if (weight <= 0) return QFont::Normal;
  // Qt's weights are the 100..900 scale of LOGFONT.
  return QFont::Weight(std::clamp((weight + 50) / 100 * 100, 100, 900));
}

}  // namespace

bool CanRenderText() { return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr; }

Font Font::FromLogFont(const LOGFONTA& lf) {
  Font f;
  f.face.assign(lf.lfFaceName, strnlen(lf.lfFaceName, LF_FACESIZE));
  f.height = lf.lfHeight;
  f.weight = lf.lfWeight;
  f.italic = lf.lfItalic != 0;
  f.underline = lf.lfUnderline != 0;
  f.strikeOut = lf.lfStrikeOut != 0;
  f.charSet = lf.lfCharSet;
  return f;
}

LOGFONTA Font::ToLogFont() const {
  LOGFONTA lf{};
  lf.lfHeight = height;
  lf.lfWeight = weight;
  lf.lfItalic = italic;
  lf.lfUnderline = underline;
  lf.lfStrikeOut = strikeOut;
  lf.lfCharSet = BYTE(charSet);
  // Whole GBK characters only, and room for the terminating zero.
  size_t n = 0;
  while (n < face.size()) {
    size_t len = gbk::CharLength(std::string_view(face).substr(n));
    if (n + len > size_t(LF_FACESIZE - 1)) break;
    n += len;
  }
  std::memcpy(lf.lfFaceName, face.data(), n);
  return lf;
}

QFont Font::ToQFont() const {
  QFont font;
  font.setFamilies(Families(*this));
  font.setStyleHint(QFont::SansSerif);
  font.setWeight(QtWeight(weight));
  font.setItalic(italic);
  font.setUnderline(underline);
  font.setStrikeOut(strikeOut);
  font.setKerning(false);
  const int h = std::min(std::abs(height), 4096);
  font.setPixelSize(h == 0 ? kDefaultEmHeight : h);
  if (height > 0) {
    // A cell height: scale the em so that ascent + descent come to it.
    const int cell = QFontMetrics(font).height();
    if (cell > 0) font.setPixelSize(std::max(1, int(std::lround(double(h) * h / cell))));
  }
  return font;
}

bool Font::operator==(const Font& o) const {
  return face == o.face && height == o.height && weight == o.weight && italic == o.italic &&
         underline == o.underline && strikeOut == o.strikeOut && charSet == o.charSet;
}

}  // namespace gdi
