// make_cursor PICTURE OUT
//
// PICTURE is a text file drawing the cursor one character a pixel:
//   '#' black, 'o' white, '.' or ' ' transparent;
// a line "hotspot X Y" sets the hot spot (default 0 0); lines starting with
// ';' are comments. Rows shorter than the widest are transparent to the right.
// OUT is written as a cursor file through a temporary file.
#include <QImage>

#include "platform/win/cursor.h"

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

int main(int argc, char** argv) {
  if (argc != 3) {
    fprintf(stderr, "usage: make_cursor PICTURE OUT\n");
    return 2;
  }
  std::ifstream in(argv[1]);
  if (!in) {
    fprintf(stderr, "make_cursor: cannot read %s\n", argv[1]);
    return 1;
  }
  std::vector<std::string> rows;
  POINT hot{0, 0};
  std::string line;
  int lineNo = 0;
  while (std::getline(in, line)) {
    ++lineNo;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty() && line[0] == ';') continue;
    if (line.rfind("hotspot", 0) == 0) {
      int x = 0, y = 0;
      if (sscanf(line.c_str(), "hotspot %d %d", &x, &y) != 2) {
        fprintf(stderr, "make_cursor: line %d: want \"hotspot X Y\"\n", lineNo);
        return 1;
      }
      hot = {x, y};
      continue;
    }
    for (char c : line)
      if (c != '#' && c != 'o' && c != '.' && c != ' ') {
        fprintf(stderr, "make_cursor: line %d: unknown pixel '%c'\n", lineNo, c);
        return 1;
      }
    rows.push_back(line);
  }
  size_t width = 0;
  for (const std::string& r : rows) width = std::max(width, r.size());
  if (rows.empty() || width == 0 || width > 256 || rows.size() > 256) {
    fprintf(stderr, "make_cursor: the picture must be 1 to 256 pixels each way\n");
    return 1;
  }
  QImage img(int(width), int(rows.size()), QImage::Format_ARGB32);
  img.fill(Qt::transparent);
  for (size_t y = 0; y < rows.size(); ++y)
    for (size_t x = 0; x < rows[y].size(); ++x) {
      char c = rows[y][x];
      if (c == '#') img.setPixel(int(x), int(y), 0xFF000000);
      if (c == 'o') img.setPixel(int(x), int(y), 0xFFFFFFFF);
    }
  if (!win::WriteCursorFile(argv[2], img, hot)) {
    fprintf(stderr, "make_cursor: cannot write %s\n", argv[2]);
    return 1;
  }
  return 0;
}
