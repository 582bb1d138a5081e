// Arbitrary bytes as a character's stroke record, read through a scrambled
// stroke file (with bend blocks) and through a user font file (without):
// the parse never reads past the record, and what it accepts keeps the
// outline's invariants; what it refuses leaves an empty outline.
#include <unistd.h>

#include "fuzz_input.h"
#include "merrodataengine/outline/out_line.h"
#include "tools/engine_fixture/fixture.h"

namespace {

void CheckOutline(COutLine& o) {
  const int strokes = o.GetStrokes();
  if (strokes == 0) {
    FUZZ_CHECK(o.GetPointCount() == 0 && o.GetVertexPointCount() == 0 && o.GetCtrlPointCount() == 0);
    FUZZ_CHECK(o.GetStartIndexOfStroke(1) == 0xFFFFFFFFu);
    return;
  }
  RECT* box = nullptr;
  o.GetRect(&box);
  for (int i = 0; i < o.GetPointCount(); ++i) {
    const POINT p = o.GetPointOnLineOrg(i);
    FUZZ_CHECK(p.x >= box->left && p.x <= box->right && p.y >= box->top && p.y <= box->bottom);
  }
  for (int n = 1; n <= strokes; ++n) {
    const DWORD first = o.GetStartIndexOfStroke(n), last = o.GetEndIndexOfStroke(n);
    FUZZ_CHECK(first != 0xFFFFFFFFu && last != 0xFFFFFFFFu && first < last);
    const POINT a = o.GetPointOnLineOrg(int(first)), b = o.GetPointOnLineOrg(int(last));
    FUZZ_CHECK(a.x == b.x && a.y == b.y);
    FUZZ_CHECK(o.GetPointNumOfStroke(n - 1) == int(last - first + 1));
    int next = 0;
    const int cut = o.GetStartZheIndex(n, next);
    FUZZ_CHECK(cut < o.GetZhePointCount() && next < o.GetZhePointCount());
  }
  FUZZ_CHECK(o.GetStartIndexOfStroke(strokes + 1) == 0xFFFFFFFFu);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzFiles files;
  const std::string record(reinterpret_cast<const char*>(data), size);
  const char* tmp = getenv("TMPDIR");
  const std::string folder = tmp && *tmp ? tmp : "/tmp";
  // The stroke file "Merro<number>.dat" takes the process id as its number.
  const long number = long(getpid());
  const std::string strokeFile = folder + "/Merro" + std::to_string(number) + ".dat";
  engine_fixture::WriteFile(strokeFile, engine_fixture::Scramble(record, "abc123", 'x'));
  COutLine outline;
  outline.On_Set_Hanzi_File(folder.c_str());
  outline.On_Set_Hanzi("\xB0\xA1", 0, (unsigned long)size, number);
  CheckOutline(outline);
  unlink(strokeFile.c_str());

  const std::string font = files.Write("user.dat", data, size);
  const uint8_t length[4] = {uint8_t(size), uint8_t(size >> 8), uint8_t(size >> 16), uint8_t(size >> 24)};
  const std::string index = files.Write("user.idx", length, sizeof length);
  COutLine fromFont;
  fromFont.SetUserFontFile(font.c_str(), index.c_str());
  fromFont.LoadFontFile(false);
  fromFont.On_Set_HZ(0, nullptr);
  CheckOutline(fromFont);
  return 0;
}
