// Switching the desktop's input method by name, for controls that ask for
// a particular one while they have the focus.
#pragma once
#include "platform/vcl/sysutils.h"

namespace vcl {

// Asks the desktop's input method framework, detached, to switch to the
// input method `name` (GBK): "ibus engine <name>" for IBus, "fcitx5-remote
// -s <name>" (else "fcitx-remote -s <name>") for Fcitx, the framework being
// the one $QT_IM_MODULE names, else the one of $XMODIFIERS ("@im=...").
// False, and nothing asked, for an empty name, when no framework is named,
// or when its command could not be started.
bool RequestInputMethod(const AnsiString& name);

}  // namespace vcl
