// Rich text streams against another program: LibreOffice writes one that the
// reader takes, and opens the one the writer writes.
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <cstdlib>
#include <fstream>

#include "platform/vcl/rtf.h"
#include "tests/platform/vcl/vcl_test.h"

#include <gtest/gtest.h>

namespace {

QString U(const char* utf8) { return QString::fromUtf8(utf8); }

std::string Bytes(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(f), {});
}

// LibreOffice converting files into the folder "out"; true when it did.
bool Convert(const std::string& args) {
  return system(("timeout 180 soffice --headless " + args + " --outdir out >soffice.log 2>&1").c_str()) == 0;
}

QTextCharFormat Format(const char* face, int pixels, bool bold, QColor colour = QColor()) {
  QTextCharFormat f;
  QFont font;
  font.setFamilies({U(face)});
  font.setPixelSize(pixels);
  font.setBold(bold);
  f.setFont(font);
  if (colour.isValid()) f.setForeground(colour);
  return f;
}

}  // namespace

TEST(RtfWithLibreOffice, ItsStreamIsReadAndOursOpensThere) {
  test::App();
  std::ofstream("theirs.html") << u8"<html><head><meta charset=\"utf-8\"></head><body>"
                                  u8"<p><font face=\"隶书\" size=\"7\">我们的黑板</font> plain <b>粗体</b> "
                                  u8"<font color=\"#ff0000\">红色</font></p><p>第二段 second</p></body></html>";
  QTextDocument ours;
  QTextCursor c(&ours);
  c.insertText(U(u8"我们的黑板"), Format(u8"隶书", 48, false));
  c.insertText(U(u8" 粗体"), Format(u8"宋体", 24, true));
  c.insertText(U(u8" 红色"), Format(u8"宋体", 24, false, QColor(255, 0, 0)));
  c.insertBlock();
  c.insertText(U(u8"第二段 second"), Format("Arial", 16, false));
  std::ofstream("ours.rtf", std::ios::binary) << vcl::rtf::Write(ours);

  ASSERT_TRUE(Convert("--infilter=\"HTML (StarWriter)\" --convert-to rtf theirs.html")) << Bytes("soffice.log");
  ASSERT_TRUE(Convert("--convert-to html ours.rtf")) << Bytes("soffice.log");

  // Theirs, read here.
  QTextDocument doc;
  ASSERT_TRUE(vcl::rtf::Read(Bytes("out/theirs.rtf"), &doc));
  ASSERT_EQ(doc.blockCount(), 2) << doc.toPlainText().toStdString();
  EXPECT_EQ(doc.begin().text(), U(u8"我们的黑板 plain 粗体 红色"));
  EXPECT_EQ(doc.lastBlock().text(), U(u8"第二段 second"));
  auto at = [&](int position) {
    QTextCursor k(&doc);
    k.setPosition(position + 1);
    return k.charFormat();
  };
  EXPECT_EQ(at(0).font().families().value(0), U(u8"隶书"));
  EXPECT_EQ(at(0).font().pixelSize(), 48);  // 36 points
  EXPECT_FALSE(at(0).font().bold());
  EXPECT_TRUE(at(12).font().bold());  // 粗
  EXPECT_FALSE(at(11).font().bold());
  EXPECT_EQ(at(15).foreground().color(), QColor(255, 0, 0));  // 红
  EXPECT_FALSE(at(0).hasProperty(QTextFormat::ForegroundBrush) && at(0).foreground().color() == QColor(255, 0, 0));

  // Ours, opened there.
  const QString html = QString::fromUtf8(QByteArray::fromStdString(Bytes("out/ours.html")));
  // (Its Chinese text takes its own Chinese face: the stream names the face
  // as the system's rich edit does, for every script alike.)
  for (const char* text : {u8"我们的黑板", u8"粗体", u8"红色", u8"第二段", u8"second", u8"36pt", "Arial"})
    EXPECT_TRUE(html.contains(U(text))) << text << "\n" << html.toStdString();
  EXPECT_TRUE(QRegularExpression(U(u8"<b>\\s*粗体</b>")).match(html).hasMatch()) << html.toStdString();
  EXPECT_TRUE(html.contains("#ff0000", Qt::CaseInsensitive)) << html.toStdString();
}
