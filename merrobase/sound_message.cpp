#include "merrobase/sound_message.h"

#include "platform/win/msgbox.h"

#include <optional>
#include <string>
#include <system_error>
#include <thread>

namespace {
thread_local bool onWorker = false;
}

void sound::MarkWorkerThread() { onWorker = true; }

void sound::ShowMessage(const char* text, const char* caption, UINT type) {
  if (!onWorker) {
    MessageBox(0, text, caption, type);
    return;
  }
  std::string t = text;
  std::optional<std::string> c;
  if (caption) c = caption;
  try {
    std::thread([t, c, type] { MessageBox(0, t.c_str(), c ? c->c_str() : nullptr, type); }).detach();
  } catch (const std::system_error&) {
    // No thread to spare: the message is not shown rather than hold the worker.
  }
}
