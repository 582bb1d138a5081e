// The Windows folder and the System folder, as the system's code asks for
// them: "C:\WINDOWS" and "C:\WINDOWS\system32", on the mapped drive C
// (path.h). Nothing of Windows lives there; the names exist so that code
// which looks in these folders (for a library, say) finds what a user or a
// test puts there, and nothing otherwise. The folders need not exist.
#pragma once
#include "platform/windef.h"

// The buffer form of GetCurrentDirectory: the length copied (without the
// terminating zero), or, when `size` is too small, the size needed
// including it.
UINT GetWindowsDirectory(LPSTR buffer, UINT size);
UINT GetSystemDirectory(LPSTR buffer, UINT size);
