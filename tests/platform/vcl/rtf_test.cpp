// Rich text streams: what the system's rich edit writes, round trips of
// every format a note holds, other programs' ways of saying the same, and
// damaged streams.
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include "platform/text/gbk.h"
#include "platform/vcl/rtf.h"
#include "tests/platform/vcl/vcl_test.h"

#include <gtest/gtest.h>

namespace {

// One character's look, as the reader gives it.
struct Look {
  QString face;
  int pixels;
  bool bold, italic, underline;
  QColor colour;  // invalid: automatic
};

Look LookAt(const QTextDocument& doc, int position) {
  QTextCursor c(const_cast<QTextDocument*>(&doc));
  c.setPosition(position + 1);
  const QTextCharFormat f = c.charFormat();
  const QFont font = f.font();
  return {font.families().value(0), font.pixelSize(), font.weight() > QFont::Medium, font.italic(), font.underline(),
          f.hasProperty(QTextFormat::ForegroundBrush) ? f.foreground().color() : QColor()};
}

// The document's text with its paragraphs joined by '|'.
QString Paragraphs(const QTextDocument& doc) {
  QStringList list;
  for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) list << b.text();
  return list.join('|');
}

QString U(const char* utf8) { return QString::fromUtf8(utf8); }

class Rtf : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { test::App(); }
};

}  // namespace

TEST_F(Rtf, ReadsWhatTheSystemsRichEditWrites) {
  // As the system's rich edit writes a note: code page 936, GBK bytes.
  const std::string stream = (
      "{\\rtf1\\ansi\\ansicpg936\\deff0\\deflang1033\\deflangfe2052{\\fonttbl{\\f0\\fnil\\fcharset134 "
      "\\'c1\\'a5\\'ca\\'e9;}{\\f1\\fswiss\\fcharset0 Arial;}}\r\n"
      "{\\colortbl ;\\red255\\green0\\blue0;\\red0\\green0\\blue128;}\r\n"
      "{\\*\\generator Riched20 5.50.99.2014;}\\viewkind4\\uc1\\pard\\lang2052\\f0\\fs72 \\'ce\\'d2\\'c3\\'c7"
      "\\cf1\\b bold\\b0\\cf0\\par\r\n"
      "\\pard\\qc\\i it\\i0\\ul ul\\ulnone\\tab\\f1\\fs24\\cf2 arial\\line next\\par\r\n}\r\n");
  QTextDocument doc;
  ASSERT_TRUE(vcl::rtf::Read(stream, &doc));
  EXPECT_EQ(Paragraphs(doc), U(u8"我们bold|itul\tarial\u2028next"));
  const QColor red(255, 0, 0), navy(0, 0, 128);
  const struct {
    int at;
    Look look;
  } cases[] = {
      {0, {U(u8"隶书"), 48, false, false, false, QColor()}},
      {2, {U(u8"隶书"), 48, true, false, false, red}},
      {7, {U(u8"隶书"), 48, false, true, false, QColor()}},
      {9, {U(u8"隶书"), 48, false, false, true, QColor()}},
      {12, {"Arial", 16, false, false, false, navy}},
  };
  for (const auto& k : cases) {
    const Look l = LookAt(doc, k.at);
    EXPECT_EQ(l.face, k.look.face) << k.at;
    EXPECT_EQ(l.pixels, k.look.pixels) << k.at;
    EXPECT_EQ(l.bold, k.look.bold) << k.at;
    EXPECT_EQ(l.italic, k.look.italic) << k.at;
    EXPECT_EQ(l.underline, k.look.underline) << k.at;
    EXPECT_EQ(l.colour, k.look.colour) << k.at;
  }
  EXPECT_EQ(doc.begin().blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignLeft);
  EXPECT_EQ(doc.lastBlock().blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
}

TEST_F(Rtf, EveryFormatANoteHoldsComesBackAndTheStreamIsGbkInCodePage936) {
  QTextDocument doc;
  QTextCursor c(&doc);
  auto format = [](const char* face, int px, bool b, bool i, bool u, QColor colour) {
    QTextCharFormat f;
    QFont font;
    font.setFamilies({U(face)});
    font.setPixelSize(px);
    font.setBold(b), font.setItalic(i), font.setUnderline(u);
    f.setFont(font);
    if (colour.isValid()) f.setForeground(colour);
    return f;
  };
  c.insertText(U(u8"黑板上的字"), format(u8"隶书", 48, false, false, false, QColor()));
  c.insertText(U(u8" {a\\b} "), format(u8"宋体", 13, true, false, false, QColor(0, 0, 255)));
  c.insertText(U(u8"tab\there\u2028line"), format(u8"Arial", 21, false, true, true, QColor(1, 2, 3)));
  QTextBlockFormat centred;
  centred.setAlignment(Qt::AlignHCenter);
  c.insertBlock(centred);
  c.insertText(U(u8"€ 😀 ÿ"), format(u8"隶书", 11, true, true, false, QColor(0, 0, 255)));
  c.insertBlock(QTextBlockFormat(), format(u8"宋体", 30, false, false, false, QColor()));  // an empty last paragraph

  const std::string stream = vcl::rtf::Write(doc);
  EXPECT_EQ(stream.rfind("{\\rtf1\\ansi\\ansicpg936\\deff0", 0), 0u) << stream;
  EXPECT_NE(stream.find("\\fcharset134 \\'c1\\'a5\\'ca\\'e9;"), std::string::npos) << stream;  // 隶书 in GBK
  EXPECT_NE(stream.find("\\'ba\\'da\\'b0\\'e5"), std::string::npos) << stream;                  // 黑板
  EXPECT_NE(stream.find("\\fs72"), std::string::npos) << stream;                                 // 48 px = 36 pt
  EXPECT_NE(stream.find("\\u-10179?\\u-8704?"), std::string::npos) << stream;                   // 😀, not in GBK
  for (unsigned char b : stream) EXPECT_LT(b, 0x80) << stream;

  QTextDocument back;
  ASSERT_TRUE(vcl::rtf::Read(stream, &back));
  EXPECT_EQ(Paragraphs(back), Paragraphs(doc));
  ASSERT_EQ(back.characterCount(), doc.characterCount());
  for (int at = 0; at + 1 < doc.characterCount(); ++at) {
    if (doc.characterAt(at) == QChar::ParagraphSeparator) continue;
    const Look a = LookAt(doc, at), b = LookAt(back, at);
    EXPECT_EQ(b.face, a.face) << at;
    EXPECT_EQ(b.pixels, a.pixels) << at;
    EXPECT_EQ(b.bold, a.bold) << at;
    EXPECT_EQ(b.italic, a.italic) << at;
    EXPECT_EQ(b.underline, a.underline) << at;
    EXPECT_EQ(b.colour, a.colour) << at;
  }
  EXPECT_EQ(back.findBlockByNumber(1).blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
  // The empty paragraph keeps its height.
  EXPECT_EQ(back.lastBlock().charFormat().font().pixelSize(), 30);
  // And what is read back writes the same stream again.
  EXPECT_EQ(vcl::rtf::Write(back), stream);
}

TEST_F(Rtf, RunsThatDifferOnlyInWhatAStreamDoesNotHoldJoinWithoutAGap) {
  QTextDocument doc;
  QTextCursor c(&doc);
  QTextCharFormat plain;
  plain.setProperty(QTextFormat::FontPixelSize, 20);
  QTextCharFormat struck = plain;
  struck.setFontStrikeOut(true);
  c.insertText("ab", plain);
  c.insertText("cd", struck);
  QTextBlockFormat centred;
  centred.setAlignment(Qt::AlignHCenter);
  c.insertBlock(centred, plain);
  c.insertText("ef", plain);
  QTextDocument back;
  ASSERT_TRUE(vcl::rtf::Read(vcl::rtf::Write(doc), &back));
  EXPECT_EQ(Paragraphs(back), "abcd|ef") << vcl::rtf::Write(doc);
}

TEST_F(Rtf, OtherProgramsWaysOfSayingItAreUnderstood) {
  const struct {
    const char* name;
    const char* stream;
    const char* text;  // UTF-8, paragraphs joined by '|'
  } cases[] = {
      // Unicode with its fallback, \uc changing the fallback's length.
      {"unicode", "{\\rtf1\\ansi\\uc1 \\u25105\\'3f\\u20204?{\\uc2 \\u30340\\'3f\\'3fa}b\\u-10179?\\u-8704?}",
       u8"我们的ab😀"},
      // The associated double-byte font of another word processor's runs.
      {"associated", "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Times;}{\\f6\\fcharset134 \\'c1\\'a5\\'ca\\'e9;}}"
                     "{\\dbch\\afs72\\af6\\dbch \\u25105\\'3f}{\\loch x}\\par}",
       u8"我x"},
      // Bytes in the code page of their font's character set, or of the document.
      {"code pages", "{\\rtf1\\ansi\\ansicpg1252{\\fonttbl{\\f0\\fcharset0 A;}{\\f1\\fcharset134 B;}"
                     "{\\f2\\fcharset204 C;}}"
                     "\\f0 \\'e9\\f1 \\'d6\\'d0\\f2 \\'c4}",
       u8"é中Д"},
      // Fields show their result; pictures, style sheets and ignorable groups nothing.
      {"skipped", "{\\rtf1{\\stylesheet{\\s0 Normal;}}{\\info{\\title x}}{\\*\\unknown y}"
                  "{\\field{\\*\\fldinst HYPERLINK \"u\"}{\\fldrslt link}}{\\pict\\bin3 {}x}z}",
       "linkz"},
      {"symbols", "{\\rtf1 a\\~b\\_c\\-d\\{\\}\\\\\\emdash\\bullet\\ldblquote\\rdblquote}",
       u8"a\u00a0b\u2011cd{}\\—•“”"},
      {"paragraphs", "{\\rtf1 one\\par two\\par\\par}", "one|two|"},
      {"line ends in the stream", "{\\rtf1 a\r\nb\\\r\nc}", "ab|c"},
  };
  for (const auto& k : cases) {
    QTextDocument doc;
    ASSERT_TRUE(vcl::rtf::Read(k.stream, &doc)) << k.name;
    EXPECT_EQ(Paragraphs(doc), U(k.text)) << k.name;
  }
  QTextDocument doc;
  ASSERT_TRUE(vcl::rtf::Read(cases[1].stream, &doc));
  EXPECT_EQ(LookAt(doc, 0).face, U(u8"隶书"));
  EXPECT_EQ(LookAt(doc, 0).pixels, 48);
  EXPECT_EQ(LookAt(doc, 1).face, "Times");
  EXPECT_EQ(LookAt(doc, 1).pixels, 16);
}

TEST_F(Rtf, TextThatIsNoRichTextIsRefusedAndTheDocumentKept) {
  QTextDocument doc;
  doc.setPlainText("kept");
  for (const char* bytes : {"", "plain text", " {\\rtf1 x}", "{\\rt", "{rtf1 x}"}) {
    EXPECT_FALSE(vcl::rtf::Read(bytes, &doc)) << bytes;
    EXPECT_EQ(doc.toPlainText(), "kept");
  }
  EXPECT_TRUE(vcl::rtf::IsRtf("{\\rtf1}"));
}

TEST_F(Rtf, DamagedStreamsGiveWhatTheyHoldAndNeverFail) {
  const struct {
    const char* name;
    std::string stream;
    const char* text;  // nullptr: anything
  } cases[] = {
      {"cut short", "{\\rtf1\\ansi{\\fonttbl{\\f0 A", ""},
      {"cut in text", "{\\rtf1 abc\\b de", "abcde"},
      {"cut in a byte", "{\\rtf1 ab\\'4", "ab4"},
      {"bad byte", "{\\rtf1 a\\'zzb}", "azzb"},
      {"closed too often", "{\\rtf1 a}}}b", "a"},
      {"deep nesting", "{\\rtf1 " + std::string(200000, '{') + "x" + std::string(200000, '}') + "}", "x"},
      {"huge numbers", "{\\rtf1\\fs99999999999999 a\\f-99999999999 b\\cf123456789 c\\uc999999 \\u99999999 d}", nullptr},
      {"binary running off", "{\\rtf1 a\\bin999999999 xyz", "a"},
      {"lone surrogates", "{\\rtf1 \\u-10179?x\\u-8704?y}", "xy"},
      {"colour table only", "{\\rtf1{\\colortbl\\red999;\\green-5;;}\\cf2 x}", "x"},
      {"font without a name", "{\\rtf1{\\fonttbl{\\f0\\fcharset134}}\\f0 \\'d6\\'d0}", u8"中"},
      {"long word", "{\\rtf1\\" + std::string(5000, 'x') + " y}", nullptr},
      {"zero bytes", std::string("{\\rtf1 a\0b}", 10), "ab"},
  };
  for (const auto& k : cases) {
    QTextDocument doc;
    ASSERT_TRUE(vcl::rtf::Read(k.stream, &doc)) << k.name;
    if (k.text) {
      EXPECT_EQ(Paragraphs(doc), U(k.text)) << k.name;
    }
    // Whatever was read writes and reads back as the same text.
    QTextDocument back;
    ASSERT_TRUE(vcl::rtf::Read(vcl::rtf::Write(doc), &back)) << k.name;
    EXPECT_EQ(Paragraphs(back), Paragraphs(doc)) << k.name;
  }
}
