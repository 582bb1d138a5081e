#include "platform/win/cursor.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <QPixmap>
#include <QSaveFile>
#include <QStringList>

#include "platform/text/gbk.h"

#include <algorithm>

struct HCURSOR__ {
  QCursor cursor;
  POINT hotSpot;
};

namespace {
const char kHotSpotKey[] = "hotspot";
}

HCURSOR LoadCursorFromFile(LPCSTR name) {
  if (!name || !*name) return nullptr;
  std::string path = gbk::ToUtf8(name);
  for (char& c : path)
    if (c == '\\') c = '/';
  QImageReader reader(QString::fromUtf8(path.data(), qsizetype(path.size())));
  reader.setDecideFormatFromContent(true);
  if (reader.format() != "png") return nullptr;
  QImage image = reader.read();
  if (image.isNull()) return nullptr;
  POINT hot{0, 0};
  QStringList xy = image.text(kHotSpotKey).split(',');
  bool okX = false, okY = false;
  if (xy.size() == 2) {
    int x = xy[0].trimmed().toInt(&okX), y = xy[1].trimmed().toInt(&okY);
    if (okX && okY) hot = {std::clamp(x, 0, image.width() - 1), std::clamp(y, 0, image.height() - 1)};
  }
  return new HCURSOR__{QCursor(QPixmap::fromImage(image), int(hot.x), int(hot.y)), hot};
}

BOOL DestroyCursor(HCURSOR cursor) {
  if (!cursor) return FALSE;
  delete cursor;
  return TRUE;
}

namespace win {

QCursor CursorOf(HCURSOR cursor) { return cursor ? cursor->cursor : QCursor(Qt::ArrowCursor); }

POINT CursorHotSpot(HCURSOR cursor) { return cursor ? cursor->hotSpot : POINT{0, 0}; }

bool WriteCursorFile(const std::string& path, const QImage& image, POINT hotSpot) {
  if (image.isNull()) return false;
  QImage copy = image.convertToFormat(QImage::Format_ARGB32);
  copy.setText(kHotSpotKey, QString("%1,%2").arg(hotSpot.x).arg(hotSpot.y));
  QSaveFile f(QString::fromUtf8(path.data(), qsizetype(path.size())));
  if (!f.open(QIODevice::WriteOnly) || !copy.save(&f, "PNG")) return false;
  return f.commit();
}

}  // namespace win
