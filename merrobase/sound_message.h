// The message boxes of the sound classes (no owner window).
//
// A box raised on the wave-input worker does not hold the worker: a thread
// of its own waits for the box, which the window layer shows on the GUI
// thread. The worker so never waits for a GUI thread that may itself be
// waiting for the worker to end (closing the input).
#pragma once
#include "platform/windef.h"

namespace sound {

// Marks the calling thread as a sound worker.
void MarkWorkerThread();
void ShowMessage(const char* text, const char* caption, UINT type);

}  // namespace sound
