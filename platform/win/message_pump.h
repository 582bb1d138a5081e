// Handling the messages that wait for the calling thread while it waits for
// something else, as a PeekMessage(PM_REMOVE) / TranslateMessage /
// DispatchMessage loop does. The messages of this layer are the GUI thread's
// Qt events: posted messages, timers, input and repaints.
#pragma once

namespace win {

// On the GUI thread: runs every message waiting at the time of the call, then
// returns without waiting for more. Other threads have no message queue, and
// without an application there are no messages: nothing happens then. A quit
// request made meanwhile is kept for the message loop.
void DispatchWaitingMessages();

}  // namespace win
