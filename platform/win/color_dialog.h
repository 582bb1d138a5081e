// The modal colour chooser: QColorDialog with Qt's own widgets, without an
// owner window.
//
// Driving it without a person, through the message boxes' variables
// (msgbox.h), in the order boxes and dialogs come up:
// - QUARVEL_MSGBOX_LOG: every chooser appends "title<TAB>COLOR<TAB>#rrggbb",
//   the colour it starts on.
// - QUARVEL_MSGBOX_ANSWERS: a line "COLOR #rrggbb" chooses that colour
//   (red, green, blue in hexadecimal), CANCEL cancels; any other line
//   cancels too and says so on stderr. The chooser is shown and answered as
//   soon as it is up.
#pragma once
#include <optional>

#include "platform/windef.h"

namespace win {

// Runs the chooser on the GUI thread, starting on `initial`. The chosen
// colour, or nothing when cancelled or when the process has no Qt
// application to show it. Callable from any thread.
std::optional<COLORREF> RunColorDialog(COLORREF initial);

}  // namespace win
