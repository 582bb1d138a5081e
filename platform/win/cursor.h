// Cursors loaded from files.
//
// Cursor file format (ours, e.g. "Text_Hnd.cut"): a PNG image, any size, with
// alpha for the transparent parts, holding the hot spot in a PNG text chunk
// with key "hotspot" and value "x,y" (decimal pixel coordinates from the top
// left). A missing or unreadable hot spot is (0, 0); one outside the image is
// moved to its nearest pixel. The file is recognised by content, not by name.
#pragma once
#include "platform/windef.h"

#include <QCursor>
#include <QImage>

#include <string>

// The name is relative to the current folder (GBK, '\' or '/'). 0 when the
// file is missing or is no cursor file.
HCURSOR LoadCursorFromFile(LPCSTR name);
BOOL DestroyCursor(HCURSOR cursor);

namespace win {

// The Qt cursor of a handle; the arrow for 0.
QCursor CursorOf(HCURSOR cursor);
// Hot spot of a handle; (0, 0) for 0.
POINT CursorHotSpot(HCURSOR cursor);

// Writes a cursor file (through a temporary file). `path` is a Linux path in
// UTF-8. False when it could not be written or the image is empty.
bool WriteCursorFile(const std::string& path, const QImage& image, POINT hotSpot);

}  // namespace win
