// Arbitrary bytes as a note's rich text stream: reading never fails or
// crashes, and what was read writes a stream that reads back as the same
// text.
#include <QGuiApplication>
#include <QTextDocument>

#include "fuzz_input.h"
#include "platform/vcl/rtf.h"

namespace {

void App() {
  static int argc = 1;
  static char name[] = "fuzz_rtf";
  static char* argv[] = {name, nullptr};
  static QGuiApplication* app = [] {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    return new QGuiApplication(argc, argv);
  }();
  (void)app;
}

// The text a stream can hold: control characters and embedded objects are
// not text.
QString Text(const QTextDocument& doc) {
  QString out;
  for (QChar c : doc.toPlainText())
    if (c >= QChar(0x20) || c == '\t' || c == '\n')
      if (c != QChar::ObjectReplacementCharacter) out += c;
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  App();
  std::string bytes(reinterpret_cast<const char*>(data), size);
  // Past the check for a stream, into the reader.
  if (!vcl::rtf::IsRtf(bytes)) bytes = "{\\rtf1 " + bytes;
  QTextDocument doc;
  FUZZ_CHECK(vcl::rtf::Read(bytes, &doc));
  QTextDocument back;
  FUZZ_CHECK(vcl::rtf::Read(vcl::rtf::Write(doc), &back));
  FUZZ_CHECK(Text(back) == Text(doc));
  return 0;
}
