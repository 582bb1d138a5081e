// Text: TextOut, DrawText, extents and metrics, through Qt's font system
// (GBK converted at this boundary).
#include <QFontMetrics>
#include <QPainter>
#include <algorithm>

#include "platform/gdi/colour.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/dc_paint.h"
#include "platform/gdi/polygon_fill.h"
#include "platform/text/gbk.h"

namespace gdi {
namespace {

// DT_ flags that map straight onto Qt's text flags.
struct FormatFlag {
  UINT format;
  int qt;
};
const FormatFlag kHorizontal[] = {{DT_CENTER, Qt::AlignHCenter}, {DT_RIGHT, Qt::AlignRight}};
const FormatFlag kVertical[] = {{DT_VCENTER, Qt::AlignVCenter}, {DT_BOTTOM, Qt::AlignBottom}};

int QtTextFlags(UINT format) {
  int flags = Qt::AlignLeft | Qt::AlignTop;
  for (const FormatFlag& f : kHorizontal)
    if (format & f.format) flags = (flags & ~Qt::AlignHorizontal_Mask) | f.qt;
  if (format & DT_SINGLELINE) {
    flags |= Qt::TextSingleLine;
    // Vertical placement applies to single lines only.
    for (const FormatFlag& f : kVertical)
      if (format & f.format) flags = (flags & ~Qt::AlignVertical_Mask) | f.qt;
  } else if (format & DT_WORDBREAK) {
    flags |= Qt::TextWordWrap;
  }
  if (format & DT_EXPANDTABS) flags |= Qt::TextExpandTabs;
  if (!(format & DT_NOPREFIX)) flags |= Qt::TextShowMnemonic;
  if (format & DT_NOCLIP) flags |= Qt::TextDontClip;
  return flags;
}

}  // namespace

BOOL DC::TextOut(int x, int y, std::string_view text) {
  if (!surface_ || !CanRenderText()) return FALSE;
  const QString s = gbk::ToQString(text);
  const QFont font = font_.ToQFont();
  const QFontMetrics metrics(font);
  const int width = metrics.horizontalAdvance(s), height = metrics.height(), ascent = metrics.ascent();
  const bool useCp = (textAlign_ & TA_UPDATECP) != 0;
  POINT at = useCp ? pos_ : POINT{x, y};
  at.x = std::clamp<LONG>(at.x, -kCoordinateLimit, kCoordinateLimit);
  at.y = std::clamp<LONG>(at.y, -kCoordinateLimit, kCoordinateLimit);

  int left = at.x;
  if ((textAlign_ & TA_CENTER) == TA_CENTER)
    left -= width / 2;
  else if (textAlign_ & TA_RIGHT)
    left -= width;
  int top = at.y;
  if ((textAlign_ & TA_BASELINE) == TA_BASELINE)
    top -= ascent;
  else if (textAlign_ & TA_BOTTOM)
    top -= height;

  const QRect cell(left, top, width, height);
  const QPoint baseline(left, top + ascent);
  // Glyphs may reach past the advance (italics, bearings).
  const QRect ink = cell | metrics.boundingRect(s).translated(baseline).adjusted(-1, -1, 1, 1);
  Paint(ink, [&](QImage& image, const QRect& visible) {
    QPainter painter(&image);
    if (clip_) painter.setClipRegion(*clip_);
    if (bkMode_ == OPAQUE) painter.fillRect(cell, ToQColor(bkColour_));
    painter.setFont(font);
    painter.setPen(ToQColor(textColour_));
    painter.drawText(baseline, s);
    return ink & visible;
  });

  if (useCp) {
    if ((textAlign_ & TA_CENTER) == TA_CENTER) {
    } else if (textAlign_ & TA_RIGHT) {
      pos_.x -= width;
    } else {
      pos_.x += width;
    }
  }
  return TRUE;
}

int DC::DrawText(std::string_view text, RECT* rect, UINT format) {
  if (!rect || !CanRenderText()) return 0;
  const QString s = gbk::ToQString(text);
  const QFont font = font_.ToQFont();
  const QFontMetrics metrics(font);
  const int flags = QtTextFlags(format);
  auto clamp = [](LONG v) { return int(std::clamp<LONG>(v, -kCoordinateLimit, kCoordinateLimit)); };
  const QRect box(QPoint(clamp(rect->left), clamp(rect->top)), QPoint(clamp(rect->right) - 1, clamp(rect->bottom) - 1));

  if (format & DT_CALCRECT) {
    // The rectangle's width bounds wrapped text; single lines take what they need.
    const int wrapWidth = (flags & Qt::TextWordWrap) ? std::max(box.width(), 1) : 0x3FFFFFFF;
    const QRect needed = metrics.boundingRect(QRect(box.left(), box.top(), wrapWidth, 0x3FFFFFFF),
                                              flags & ~(Qt::AlignHorizontal_Mask | Qt::AlignVertical_Mask), s);
    rect->right = box.left() + needed.width();
    rect->bottom = box.top() + needed.height();
    return needed.height();
  }
  if (!surface_) return 0;
  const QRect placed = metrics.boundingRect(box, flags, s);
  const QRect area = (format & DT_NOCLIP) ? placed : placed & box;
  Paint(area.adjusted(-1, -1, 1, 1), [&](QImage& image, const QRect& visible) {
    QPainter painter(&image);
    if (clip_) painter.setClipRegion(*clip_);
    if (!(format & DT_NOCLIP)) painter.setClipRect(box, clip_ ? Qt::IntersectClip : Qt::ReplaceClip);
    if (bkMode_ == OPAQUE) painter.fillRect(placed, ToQColor(bkColour_));
    painter.setFont(font);
    painter.setPen(ToQColor(textColour_));
    painter.drawText(box, flags, s);
    return area.adjusted(-1, -1, 1, 1) & visible;
  });
  // With vertical placement, the height is counted from the rectangle's top.
  if ((format & DT_SINGLELINE) && (format & (DT_VCENTER | DT_BOTTOM))) return placed.bottom() + 1 - box.top();
  return placed.height();
}

SIZE DC::GetTextExtent(std::string_view text) const {
  if (!CanRenderText()) return SIZE{0, 0};
  const QFontMetrics metrics(font_.ToQFont());
  return SIZE{metrics.horizontalAdvance(gbk::ToQString(text)), metrics.height()};
}

BOOL DC::GetTextMetrics(TEXTMETRICA* tm) const {
  if (!tm || !CanRenderText()) return FALSE;
  const QFont font = font_.ToQFont();
  const QFontMetrics metrics(font);
  *tm = TEXTMETRICA{};
  tm->tmHeight = metrics.height();
  tm->tmAscent = metrics.ascent();
  tm->tmDescent = metrics.descent();
  tm->tmInternalLeading = std::max(0, metrics.height() - font.pixelSize());
  tm->tmExternalLeading = std::max(0, metrics.leading());
  tm->tmAveCharWidth = metrics.averageCharWidth();
  tm->tmMaxCharWidth = metrics.maxWidth();
  tm->tmWeight = font_.weight <= 0 ? FW_NORMAL : font_.weight;
  tm->tmItalic = font_.italic;
  tm->tmUnderlined = font_.underline;
  tm->tmStruckOut = font_.strikeOut;
  tm->tmCharSet = BYTE(font_.charSet);
  tm->tmDigitizedAspectX = tm->tmDigitizedAspectY = 96;
  tm->tmFirstChar = 0x20;
  tm->tmLastChar = 0xFF;
  tm->tmDefaultChar = '?';
  tm->tmBreakChar = ' ';
  return TRUE;
}

}  // namespace gdi
