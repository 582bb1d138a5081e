// The keys of the keyboard window: code, label, place and face of each.
#pragma once
#include <string>
#include <vector>

namespace tappel {

// The font a key's label is drawn in.
enum KeyFace {
  kFaceStandard,  // "MS Sans Serif" -11
  kFaceTall,      // "MS Sans Serif" -13
  kFaceSong,      // "宋体" -11
  kFaceKai,       // "楷体_GB2312" -12
  kFacePlain,     // the form's font (the space bar, which has no label)
};

struct Key {
  char code;          // the key window's text is "%*" + code
  const char* label;  // GBK; "&&" shows one ampersand
  int x, y, width;    // form coordinates; every key is 22 high
  KeyFace face = kFaceStandard;
  int group = 0;        // speed-button group; 0: a plain push button
  int buttonLeft = 0;   // the label button inside the key window
  int buttonWidth = 0;  // 0: the key's width
};

constexpr int kKeyHeight = 22;
// The prefix of every key window text.
constexpr char kKeyTextPrefix[] = "%*";

// The 62 keys, row by row from the top left.
const std::vector<Key>& Keys();

// Ctrl and the four arrow keys lie in the key field window; the others
// are windows of the form itself.
bool InKeyField(const Key& key);

// "%*" + the key's code.
std::string KeyText(const Key& key);

}  // namespace tappel
