// The modal colour chooser: QColorDialog with Qt's own widgets.
//
// Driving it without a person (dialog_script.h), like message boxes:
// - the log line is "title<TAB>COLOR<TAB>#rrggbb", the colour it starts on.
// - the answer "COLOR <colour>" chooses that colour: "#rrggbb" (red, green,
//   blue in hexadecimal), or the COLORREF as "$BBGGRR", "0xBBGGRR" or in
//   decimal; CANCEL cancels; any other answer cancels too and says so on
//   stderr.
#pragma once
#include <functional>
#include <optional>

#include "platform/windef.h"

class QColorDialog;

namespace win {

// Runs the chooser on the GUI thread, starting on `initial`; `setup` may
// dress it first (owner, title). The chosen colour, or nothing when
// cancelled or when the process has no Qt application to show it. Callable
// from any thread.
std::optional<COLORREF> RunColorDialog(COLORREF initial, const std::function<void(QColorDialog&)>& setup = nullptr);

}  // namespace win
