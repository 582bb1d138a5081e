// Shared libraries under their Windows names. A name is tried as given, then
// in its Linux form: "TWAIN_32.DLL" is "libtwain_32.so", "odbccp32.dll" is
// unixODBC's "libodbcinst.so.2", and in general "X.dll" is "libX.so" (with
// X as written, then lower-case). A name with a folder is looked for in that
// folder only; one without in the program folder, then where the system's
// loader looks. Texts are GBK.
#pragma once
#include "platform/windef.h"

HMODULE LoadLibrary(LPCSTR name);

// By name, or by ordinal (MAKEINTRESOURCE(n)) for the libraries whose
// ordinals are known: libtwain_32.so's ordinal 1 is DSM_Entry. NULL when
// missing.
FARPROC GetProcAddress(HMODULE module, LPCSTR name);

BOOL FreeLibrary(HMODULE module);
