// Writes the files Quarvel and Tappel ship in their program folder: cursor
// files, clip-art pictures, button pictures, the administrator data file and
// the help page; and, as a C++ source, the pictures the keyboard form holds.
// Everything is drawn here, so a fresh build has every file.
//
//   make_resources <program folder> <help page source> <glyph table>
//   make_resources --keyboard-pictures <C++ source to write>
#include "platform/text/gbk.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <cmath>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace {

QString Q(const char* gbkText) { return gbk::ToQString(gbkText); }

bool WriteBytes(const QString& path, const QByteArray& bytes) {
  QDir().mkpath(QFileInfo(path).path());
  QFile f(path + ".tmp");
  if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size()) return false;
  f.close();
  QFile::remove(path);
  return QFile::rename(path + ".tmp", path);
}

QByteArray Encode(const QImage& img, const char* format, int quality = -1) {
  QByteArray bytes;
  QBuffer buf(&bytes);
  buf.open(QIODevice::WriteOnly);
  img.save(&buf, format, quality);
  return bytes;
}

// ---- cursors: a PNG image with its hot spot in the text chunk "hotspot" ----

struct CursorDef {
  const char* file;
  int hotX, hotY;
  std::function<void(QPainter&)> draw;
};

void Outline(QPainter& p, const QPainterPath& path) {
  p.setPen(QPen(Qt::white, 3));
  p.drawPath(path);
  p.setPen(QPen(Qt::black, 1));
  p.drawPath(path);
}

QPainterPath Cross(int cx, int cy, int r) {
  QPainterPath path;
  path.moveTo(cx - r, cy + 0.5);
  path.lineTo(cx + r + 1, cy + 0.5);
  path.moveTo(cx + 0.5, cy - r);
  path.lineTo(cx + 0.5, cy + r + 1);
  return path;
}

std::vector<CursorDef> Cursors() {
  return {
      {"Text_Hnd.cut", 1, 30,
       [](QPainter& p) {  // a pen, tip at the lower left
         QPainterPath path;
         path.moveTo(1, 30);
         path.lineTo(5, 20);
         path.lineTo(24, 1);
         path.lineTo(30, 7);
         path.lineTo(11, 26);
         path.closeSubpath();
         p.setBrush(QColor(255, 230, 120));
         Outline(p, path);
       }},
      {"Sonic cross2.cut", 15, 15, [](QPainter& p) { Outline(p, Cross(15, 15, 12)); }},
      {"Sonic cross3.cut", 15, 15,
       [](QPainter& p) {
         QPainterPath path = Cross(15, 15, 12);
         path.addRect(19.5, 19.5, 9, 7);
         Outline(p, path);
       }},
      {"prcs_mox1.cut", 15, 15,
       [](QPainter& p) {
         QPainterPath path = Cross(15, 15, 12);
         path.addEllipse(19.5, 19.5, 10, 8);
         Outline(p, path);
       }},
      {"Altr_Fsh.cut", 0, 0,
       [](QPainter& p) {  // an eraser block hanging from the hot spot
         p.setPen(QPen(Qt::black, 1));
         p.setBrush(QColor(240, 240, 240));
         p.drawRect(0, 0, 22, 14);
         p.setBrush(QColor(90, 140, 220));
         p.drawRect(0, 9, 22, 5);
       }},
      {"prcs_mox2.cut", 15, 15,
       [](QPainter& p) {
         QPainterPath path = Cross(15, 15, 12);
         Outline(p, path);
         QPen dot(Qt::black, 1, Qt::DotLine);
         p.setPen(dot);
         p.setBrush(Qt::NoBrush);
         p.drawRect(18, 18, 11, 11);
       }},
  };
}

bool WriteCursors(const QString& dir) {
  bool ok = true;
  for (const auto& c : Cursors()) {
    QImage img(32, 32, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    {
      QPainter p(&img);
      p.setRenderHint(QPainter::Antialiasing, false);
      c.draw(p);
    }
    img.setText("hotspot", QString("%1,%2").arg(c.hotX).arg(c.hotY));
    ok &= WriteBytes(dir + "/" + c.file, Encode(img, "PNG"));
  }
  return ok;
}

// ---- clip art: JPEG line drawings of classroom apparatus, ".jt" files ----

using Drawing = std::function<void(QPainter&)>;

struct ClipArt {
  const char* file;
  const char* name;  // GBK
  Drawing draw;      // in a 100 x 80 box
};

void Line(QPainter& p, double x1, double y1, double x2, double y2) { p.drawLine(QPointF(x1, y1), QPointF(x2, y2)); }

Drawing Battery() {
  return [](QPainter& p) {
    Line(p, 10, 40, 44, 40);
    Line(p, 44, 20, 44, 60);
    p.setPen(QPen(Qt::black, 5));
    Line(p, 56, 30, 56, 50);
    p.setPen(QPen(Qt::black, 2));
    Line(p, 56, 40, 90, 40);
  };
}
Drawing Meter(const char* letter) {
  return [letter](QPainter& p) {
    Line(p, 5, 40, 30, 40);
    Line(p, 70, 40, 95, 40);
    p.drawEllipse(QPointF(50, 40), 20, 20);
    QFont f("Sans", 20, QFont::Bold);
    p.setFont(f);
    p.drawText(QRectF(30, 20, 40, 40), Qt::AlignCenter, letter);
  };
}
Drawing Bulb() {
  return [](QPainter& p) {
    Line(p, 5, 40, 30, 40);
    Line(p, 70, 40, 95, 40);
    p.drawEllipse(QPointF(50, 40), 20, 20);
    Line(p, 36, 26, 64, 54);
    Line(p, 36, 54, 64, 26);
  };
}
Drawing Switch() {
  return [](QPainter& p) {
    Line(p, 5, 50, 30, 50);
    Line(p, 30, 50, 66, 28);
    Line(p, 70, 50, 95, 50);
    p.drawEllipse(QPointF(30, 50), 3, 3);
    p.drawEllipse(QPointF(70, 50), 3, 3);
  };
}
Drawing Resistor(bool slider) {
  return [slider](QPainter& p) {
    Line(p, 5, 45, 25, 45);
    p.drawRect(QRectF(25, 35, 50, 20));
    Line(p, 75, 45, 95, 45);
    if (slider) {
      Line(p, 40, 15, 60, 15);
      Line(p, 50, 15, 50, 33);
      Line(p, 46, 28, 50, 34);
      Line(p, 54, 28, 50, 34);
    }
  };
}
Drawing Lens(bool convex) {
  return [convex](QPainter& p) {
    QPainterPath path;
    if (convex) {
      path.moveTo(50, 5);
      path.quadTo(70, 40, 50, 75);
      path.quadTo(30, 40, 50, 5);
    } else {
      path.moveTo(38, 5);
      path.lineTo(62, 5);
      path.quadTo(48, 40, 62, 75);
      path.lineTo(38, 75);
      path.quadTo(52, 40, 38, 5);
    }
    p.setBrush(QColor(200, 230, 255));
    p.drawPath(path);
    p.setPen(QPen(Qt::black, 1, Qt::DashLine));
    Line(p, 5, 40, 95, 40);
  };
}
Drawing Mirror() {
  return [](QPainter& p) {
    p.setPen(QPen(Qt::black, 3));
    Line(p, 10, 60, 90, 60);
    p.setPen(QPen(Qt::black, 1));
    for (int x = 14; x <= 90; x += 8) Line(p, x, 61, x - 6, 70);
  };
}
Drawing Spring() {
  return [](QPainter& p) {
    Line(p, 20, 5, 80, 5);
    QPainterPath path;
    path.moveTo(50, 5);
    for (int i = 0; i < 8; ++i) {
      path.lineTo(i % 2 ? 38 : 62, 12 + i * 7);
    }
    path.lineTo(50, 70);
    p.drawPath(path);
    p.drawRect(QRectF(42, 70, 16, 8));
  };
}
Drawing Pulley() {
  return [](QPainter& p) {
    Line(p, 50, 2, 50, 22);
    p.drawEllipse(QPointF(50, 35), 14, 14);
    p.drawEllipse(QPointF(50, 35), 3, 3);
    Line(p, 36, 35, 36, 75);
    Line(p, 64, 35, 64, 62);
    p.drawRect(QRectF(56, 62, 16, 14));
  };
}
Drawing Lever() {
  return [](QPainter& p) {
    p.setPen(QPen(Qt::black, 3));
    Line(p, 5, 45, 95, 35);
    p.setPen(QPen(Qt::black, 2));
    QPolygonF tri({QPointF(50, 41), QPointF(40, 70), QPointF(60, 70)});
    p.drawPolygon(tri);
  };
}
Drawing Cart() {
  return [](QPainter& p) {
    p.drawRect(QRectF(15, 30, 70, 25));
    p.drawEllipse(QPointF(30, 63), 8, 8);
    p.drawEllipse(QPointF(70, 63), 8, 8);
    Line(p, 85, 42, 97, 42);
  };
}
Drawing Weight() {
  return [](QPainter& p) {
    p.drawEllipse(QRectF(44, 8, 12, 10));
    QPolygonF body({QPointF(35, 22), QPointF(65, 22), QPointF(75, 72), QPointF(25, 72)});
    p.drawPolygon(body);
  };
}
Drawing Magnet() {
  return [](QPainter& p) {
    p.setBrush(QColor(230, 80, 80));
    p.drawRect(QRectF(10, 28, 40, 24));
    p.setBrush(QColor(80, 110, 230));
    p.drawRect(QRectF(50, 28, 40, 24));
    p.setFont(QFont("Sans", 14, QFont::Bold));
    p.setPen(Qt::white);
    p.drawText(QRectF(10, 28, 40, 24), Qt::AlignCenter, "N");
    p.drawText(QRectF(50, 28, 40, 24), Qt::AlignCenter, "S");
  };
}
Drawing Compass() {
  return [](QPainter& p) {
    p.drawEllipse(QPointF(50, 40), 32, 32);
    p.setBrush(QColor(230, 80, 80));
    p.drawPolygon(QPolygonF({QPointF(50, 12), QPointF(44, 40), QPointF(56, 40)}));
    p.setBrush(Qt::white);
    p.drawPolygon(QPolygonF({QPointF(50, 68), QPointF(44, 40), QPointF(56, 40)}));
  };
}
Drawing Thermometer() {
  return [](QPainter& p) {
    p.drawRoundedRect(QRectF(44, 4, 12, 60), 6, 6);
    p.setBrush(QColor(230, 60, 60));
    p.drawEllipse(QPointF(50, 68), 9, 9);
    p.drawRect(QRectF(48, 30, 4, 36));
    for (int y = 10; y < 60; y += 8) Line(p, 56, y, 62, y);
  };
}
Drawing Balance() {
  return [](QPainter& p) {
    Line(p, 50, 15, 50, 70);
    Line(p, 30, 72, 70, 72);
    Line(p, 15, 15, 85, 15);
    Line(p, 15, 15, 8, 45);
    Line(p, 15, 15, 22, 45);
    Line(p, 85, 15, 78, 45);
    Line(p, 85, 15, 92, 45);
    p.drawArc(QRectF(4, 35, 22, 16), 180 * 16, 180 * 16);
    p.drawArc(QRectF(74, 35, 22, 16), 180 * 16, 180 * 16);
  };
}
Drawing TuningFork() {
  return [](QPainter& p) {
    Line(p, 40, 5, 40, 45);
    Line(p, 60, 5, 60, 45);
    p.drawArc(QRectF(40, 35, 20, 20), 180 * 16, 180 * 16);
    Line(p, 50, 55, 50, 78);
  };
}
Drawing SpringScale() {
  return [](QPainter& p) {
    p.drawRect(QRectF(38, 4, 24, 62));
    for (int y = 10; y < 62; y += 6) Line(p, 38, y, 44, y);
    Line(p, 50, 66, 50, 76);
    p.drawArc(QRectF(44, 70, 12, 10), 180 * 16, 270 * 16);
  };
}
Drawing Beaker() {
  return [](QPainter& p) {
    QPainterPath path;
    path.moveTo(25, 8);
    path.lineTo(30, 12);
    path.lineTo(30, 72);
    path.lineTo(70, 72);
    path.lineTo(70, 8);
    p.drawPath(path);
    p.setPen(QPen(QColor(80, 140, 230), 1));
    p.setBrush(QColor(200, 225, 255));
    p.drawRect(QRectF(31, 45, 38, 26));
  };
}
Drawing TestTube() {
  return [](QPainter& p) {
    QPainterPath path;
    path.moveTo(42, 4);
    path.lineTo(42, 64);
    path.arcTo(QRectF(42, 56, 16, 16), 180, 180);
    path.lineTo(58, 4);
    p.drawPath(path);
  };
}
Drawing AlcoholLamp() {
  return [](QPainter& p) {
    p.drawEllipse(QRectF(25, 38, 50, 36));
    p.drawRect(QRectF(44, 26, 12, 13));
    p.setBrush(QColor(255, 170, 40));
    QPainterPath flame;
    flame.moveTo(50, 2);
    flame.quadTo(62, 16, 50, 26);
    flame.quadTo(38, 16, 50, 2);
    p.drawPath(flame);
  };
}
Drawing ConicalFlask() {
  return [](QPainter& p) {
    QPainterPath path;
    path.moveTo(43, 4);
    path.lineTo(43, 28);
    path.lineTo(22, 72);
    path.lineTo(78, 72);
    path.lineTo(57, 28);
    path.lineTo(57, 4);
    p.drawPath(path);
  };
}
Drawing Cylinder() {
  return [](QPainter& p) {
    p.drawRect(QRectF(42, 4, 16, 64));
    p.drawRect(QRectF(32, 68, 36, 6));
    for (int y = 12; y < 64; y += 8) Line(p, 42, y, 48, y);
  };
}
Drawing Funnel() {
  return [](QPainter& p) {
    QPainterPath path;
    path.moveTo(20, 8);
    path.lineTo(46, 42);
    path.lineTo(46, 76);
    path.moveTo(80, 8);
    path.lineTo(54, 42);
    path.lineTo(54, 70);
    p.drawPath(path);
    Line(p, 20, 8, 80, 8);
  };
}
Drawing GasJar() {
  return [](QPainter& p) {
    p.drawRect(QRectF(30, 12, 40, 62));
    p.drawRect(QRectF(24, 6, 52, 5));
  };
}
Drawing IronStand() {
  return [](QPainter& p) {
    p.drawRect(QRectF(15, 70, 60, 6));
    Line(p, 25, 70, 25, 4);
    Line(p, 25, 30, 70, 30);
    p.drawEllipse(QRectF(62, 24, 20, 12));
  };
}
Drawing RoundFlask() {
  return [](QPainter& p) {
    Line(p, 44, 4, 44, 32);
    Line(p, 56, 4, 56, 32);
    p.drawArc(QRectF(24, 28, 52, 48), 120 * 16, 300 * 16);
  };
}
Drawing Dropper() {
  return [](QPainter& p) {
    p.setBrush(QColor(90, 90, 90));
    p.drawRoundedRect(QRectF(42, 4, 16, 22), 7, 7);
    p.setBrush(Qt::NoBrush);
    QPolygonF tube({QPointF(45, 26), QPointF(55, 26), QPointF(51, 76), QPointF(49, 76)});
    p.drawPolygon(tube);
  };
}
Drawing EvaporatingDish() {
  return [](QPainter& p) {
    p.drawArc(QRectF(14, 10, 72, 50), 180 * 16, 180 * 16);
    Line(p, 14, 35, 86, 35);
  };
}
Drawing Trough() {
  return [](QPainter& p) {
    p.drawRect(QRectF(8, 30, 84, 42));
    p.setPen(QPen(QColor(80, 140, 230), 1));
    p.setBrush(QColor(200, 225, 255));
    p.drawRect(QRectF(9, 42, 82, 29));
  };
}
Drawing GlassRod() {
  return [](QPainter& p) {
    p.setPen(QPen(Qt::black, 4, Qt::SolidLine, Qt::RoundCap));
    Line(p, 20, 70, 80, 10);
  };
}
Drawing Crucible() {
  return [](QPainter& p) {
    QPolygonF body({QPointF(28, 28), QPointF(72, 28), QPointF(64, 70), QPointF(36, 70)});
    p.drawPolygon(body);
    p.drawArc(QRectF(26, 14, 48, 16), 0, 180 * 16);
    Line(p, 26, 22, 74, 22);
  };
}

std::vector<ClipArt> ClipArts() {
  return {
      {"w0.jt", "电池", Battery()},          {"w1.jt", "电流表", Meter("A")},
      {"w2.jt", "电压表", Meter("V")},       {"w3.jt", "小灯泡", Bulb()},
      {"w4.jt", "开关", Switch()},           {"w5.jt", "定值电阻", Resistor(false)},
      {"w6.jt", "滑动变阻器", Resistor(true)}, {"w7.jt", "凸透镜", Lens(true)},
      {"w8.jt", "凹透镜", Lens(false)},      {"w9.jt", "平面镜", Mirror()},
      {"w10.jt", "弹簧", Spring()},          {"w11.jt", "滑轮", Pulley()},
      {"w12.jt", "杠杆", Lever()},           {"w13.jt", "小车", Cart()},
      {"w14.jt", "砝码", Weight()},          {"w15.jt", "条形磁铁", Magnet()},
      {"w16.jt", "指南针", Compass()},       {"w17.jt", "温度计", Thermometer()},
      {"w18.jt", "天平", Balance()},         {"w19.jt", "音叉", TuningFork()},
      {"w20.jt", "弹簧测力计", SpringScale()},
      {"h1.jt", "烧杯", Beaker()},           {"h2.jt", "试管", TestTube()},
      {"h3.jt", "酒精灯", AlcoholLamp()},    {"h4.jt", "锥形瓶", ConicalFlask()},
      {"h5.jt", "量筒", Cylinder()},         {"h6.jt", "漏斗", Funnel()},
      {"h7.jt", "集气瓶", GasJar()},         {"h8.jt", "铁架台", IronStand()},
      {"h9.jt", "圆底烧瓶", RoundFlask()},   {"h10.jt", "胶头滴管", Dropper()},
      {"h13.jt", "蒸发皿", EvaporatingDish()}, {"h14.jt", "水槽", Trough()},
      {"h15.jt", "玻璃棒", GlassRod()},      {"h18.jt", "坩埚", Crucible()},
  };
}

QImage DrawClipArt(const ClipArt& c) {
  QImage img(120, 110, QImage::Format_RGB32);
  img.fill(Qt::white);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  p.translate(10, 4);
  p.setPen(QPen(Qt::black, 2));
  c.draw(p);
  p.resetTransform();
  p.setPen(Qt::black);
  QFont f("WenQuanYi Micro Hei");
  f.setPixelSize(14);
  p.setFont(f);
  p.drawText(QRectF(0, 86, 120, 22), Qt::AlignCenter, Q(c.name));
  return img;
}

// The gallery shows each item as a 50 x 50 preview ("pic/<name>.png").
bool WriteClipArt(const QString& dir) {
  bool ok = true;
  for (const auto& c : ClipArts()) {
    QImage img = DrawClipArt(c);
    ok &= WriteBytes(dir + "/db/pic/" + c.file, Encode(img, "JPEG", 92));
    QImage preview = img.scaled(50, 50, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    QImage square(50, 50, QImage::Format_RGB32);
    square.fill(Qt::white);
    QPainter(&square).drawImage((50 - preview.width()) / 2, (50 - preview.height()) / 2, preview);
    ok &= WriteBytes(dir + "/pic/" + QString(c.file).replace(".jt", ".png"), Encode(square, "PNG"));
  }
  return ok;
}

// ---- button pictures: "pic/<name>.png", a drawn label on a transparent ground ----

struct Glyph {
  const char* name;
  int w, h;
  const char* label;  // GBK; drawn centred
  QRgb colour;
};

bool WriteGlyphs(const QString& dir, const QString& table) {
  QFile f(table);
  if (!f.open(QIODevice::ReadOnly)) return false;
  bool ok = true;
  // Each line: name width height colour label   (UTF-8; '#' starts a comment)
  while (!f.atEnd()) {
    QString line = QString::fromUtf8(f.readLine()).trimmed();
    if (line.isEmpty() || line.startsWith('#')) continue;
    QStringList parts = line.split(' ', Qt::SkipEmptyParts);
    if (parts.size() < 5) continue;
    int w = parts[1].toInt(), h = parts[2].toInt();
    QColor colour(parts[3]);
    QString label = parts.mid(4).join(' ');
    QImage img(w, h, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.setPen(QPen(colour.darker(160), 1));
    p.setBrush(colour);
    p.drawRoundedRect(QRectF(2.5, 2.5, w - 5, h - 5), 4, 4);
    QFont font("WenQuanYi Micro Hei");
    int lines = label.count("\\n") + 1;
    int px = std::max(8, std::min(14, (h - 6) / lines - 1));
    QStringList rows = label.split("\\n");
    for (const QString& r : rows) px = std::min(px, std::max(8, (w - 6) / std::max(1, int(r.size()))));
    font.setPixelSize(px);
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(QRectF(0, 0, w, h), Qt::AlignCenter, rows.join('\n'));
    p.end();
    ok &= WriteBytes(dir + "/pic/" + parts[0] + ".png", Encode(img, "PNG"));
  }
  return ok;
}

// ---- the page strip's scroll row: the symbols of its glyph-less buttons ----

// "pic/st_row.png", 234 x 18, behind the row's flat buttons: one page, two
// pages, the page number's place, collapse and close, each where its button
// lies.
bool WriteStripRow(const QString& dir) {
  QImage img(234, 18, QImage::Format_RGB32);
  img.fill(QColor(0xF0, 0xF0, 0xF0));
  QPainter p(&img);
  p.setPen(QPen(QColor(60, 60, 60), 1));
  p.setBrush(Qt::white);
  p.drawRect(19, 3, 10, 12);  // one page (12, 25 wide)
  p.drawRect(44, 3, 10, 12);  // two pages (40, 29 wide)
  p.drawRect(56, 3, 10, 12);
  p.setBrush(Qt::NoBrush);
  p.drawLine(201, 12, 210, 12);  // collapse (197, 18 wide)
  p.drawLine(201, 13, 210, 13);
  p.setPen(QPen(QColor(160, 40, 40), 2));
  p.drawLine(219, 4, 228, 13);  // close (214, 20 wide)
  p.drawLine(228, 4, 219, 13);
  p.end();
  return WriteBytes(dir + "/pic/st_row.png", Encode(img, "PNG"));
}

// ---- the administrator data file: 8 KiB, no administrator password ----

bool WriteAdminFile(const QString& dir) {
  QByteArray bytes(8192, '\0');
  uint32_t x = 0x5157u;  // fixed seed: the file is the same on every build
  for (int i = 0; i < bytes.size(); ++i) {
    x = x * 1103515245u + 12345u;
    bytes[i] = char((x >> 16) & 0xFF);
  }
  for (int i = 5000; i < 5012; ++i) bytes[i] = ' ';
  return WriteBytes(dir + "/sxut.dll", bytes);
}

// ---- the help page: the HTML source wrapped as a MIME HTML archive ----

bool WriteHelp(const QString& dir, const QString& source) {
  QFile f(source);
  if (!f.open(QIODevice::ReadOnly)) return false;
  QByteArray html = f.readAll();
  QByteArray mht =
      "From: <Saved by Quarvel>\r\n"
      "Subject: Quarvel\r\n"
      "MIME-Version: 1.0\r\n"
      "Content-Type: multipart/related; type=\"text/html\"; boundary=\"----=_QuarvelHelp\"\r\n"
      "\r\n"
      "------=_QuarvelHelp\r\n"
      "Content-Type: text/html; charset=\"utf-8\"\r\n"
      "Content-Transfer-Encoding: base64\r\n"
      "Content-Location: file:///qvlhelp.htm\r\n"
      "\r\n";
  QByteArray b64 = html.toBase64();
  for (int i = 0; i < b64.size(); i += 76) mht += b64.mid(i, 76) + "\r\n";
  mht += "\r\n------=_QuarvelHelp--\r\n";
  return WriteBytes(dir + "/qvlhelp.mht", mht);
}

// ---- the keyboard's form pictures, built into the program as C++ arrays ----

// The title strip, 395 x 17: an icon, a coloured bar, the title, a close box.
QImage DrawKeyboardTitle() {
  QImage img(395, 17, QImage::Format_RGB32);
  QPainter p(&img);
  QLinearGradient bar(0, 0, 395, 0);
  bar.setColorAt(0, QColor(28, 79, 156));
  bar.setColorAt(1, QColor(127, 178, 234));
  p.fillRect(img.rect(), bar);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(QColor(40, 40, 40), 1));
  p.setBrush(QColor(250, 250, 250));
  p.drawRoundedRect(QRectF(2.5, 3.5, 15, 10), 2, 2);
  p.setRenderHint(QPainter::Antialiasing, false);
  for (int row = 0; row < 2; ++row)
    for (int col = 0; col < 4; ++col) p.fillRect(4 + col * 3 + row, 6 + row * 3, 2, 2, QColor(40, 40, 40));
  p.fillRect(6, 11, 8, 1, QColor(40, 40, 40));
  QFont f("WenQuanYi Micro Hei");
  f.setPixelSize(12);
  p.setFont(f);
  p.setPen(Qt::white);
  p.drawText(QRect(24, 0, 300, 17), Qt::AlignLeft | Qt::AlignVCenter, Q("Tappel 屏幕键盘"));
  p.setPen(QColor(255, 255, 255));
  p.setBrush(QColor(200, 60, 50));
  p.drawRect(379, 2, 13, 12);
  p.drawLine(382, 5, 389, 11);
  p.drawLine(389, 5, 382, 11);
  return img;
}

// The close button's glyph: a cross on a magenta ground, which the bottom
// left pixel makes transparent.
QImage DrawCloseGlyph() {
  QImage img(11, 11, QImage::Format_RGB888);
  img.fill(QColor(255, 0, 255));
  QPainter p(&img);
  p.setPen(QPen(QColor(48, 48, 48), 2));
  p.drawLine(2, 2, 8, 8);
  p.drawLine(8, 2, 2, 8);
  return img;
}

QByteArray CArray(const char* name, const QByteArray& bytes) {
  QByteArray out = "extern const unsigned char " + QByteArray(name) + "[] = {";
  for (int i = 0; i < bytes.size(); ++i) {
    if (i % 16 == 0) out += "\n   ";
    out += " " + QByteArray::number(uchar(bytes[i])) + ",";
  }
  out += "\n};\nextern const size_t " + QByteArray(name) + "Size = sizeof " + QByteArray(name) + ";\n";
  return out;
}

bool WriteKeyboardPictures(const QString& out) {
  QByteArray title = Encode(DrawKeyboardTitle(), "JPEG", 92), glyph = Encode(DrawCloseGlyph(), "BMP");
  if (title.isEmpty() || glyph.isEmpty()) return false;
  QByteArray src = "// Written by make_resources.\n#include \"keyboard/form_pictures.h\"\n\nnamespace tappel {\n";
  src += CArray("kTitlePicture", title) + CArray("kCloseGlyph", glyph) + "}  // namespace tappel\n";
  return WriteBytes(out, src);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::string(argv[1]) == "--keyboard-pictures") {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (WriteKeyboardPictures(QString::fromLocal8Bit(argv[2]))) return 0;
    std::fprintf(stderr, "make_resources: could not write %s\n", argv[2]);
    return 1;
  }
  if (argc < 4) {
    std::fprintf(stderr,
                 "usage: make_resources <program folder> <help source> <glyph table>\n"
                 "       make_resources --keyboard-pictures <C++ source>\n");
    return 2;
  }
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  QString dir = QString::fromLocal8Bit(argv[1]);
  bool ok = WriteCursors(dir) && WriteClipArt(dir) && WriteAdminFile(dir) &&
            WriteHelp(dir, QString::fromLocal8Bit(argv[2])) && WriteGlyphs(dir, QString::fromLocal8Bit(argv[3])) && WriteStripRow(dir);
  if (!ok) std::fprintf(stderr, "make_resources: could not write every file into %s\n", argv[1]);
  return ok ? 0 : 1;
}
