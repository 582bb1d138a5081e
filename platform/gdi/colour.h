// COLORREF ($00BBGGRR) <-> the 32-bit pixels of a bitmap (QImage RGB32,
// 0xFFRRGGBB). The high byte of a COLORREF is not a colour and is dropped.
#pragma once
#include <QColor>
#include <QRgb>

#include "platform/windef.h"

namespace gdi {

inline constexpr QRgb ToPixel(COLORREF c) {
  return 0xFF000000u | ((c & 0xFFu) << 16) | (c & 0xFF00u) | ((c >> 16) & 0xFFu);
}
inline constexpr COLORREF FromPixel(QRgb p) {
  return COLORREF(((p >> 16) & 0xFFu) | (p & 0xFF00u) | ((p & 0xFFu) << 16));
}
inline QColor ToQColor(COLORREF c) { return QColor(GetRValue(c), GetGValue(c), GetBValue(c)); }

}  // namespace gdi
