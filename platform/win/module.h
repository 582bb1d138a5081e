// Shared libraries under their Windows names. A name is tried as given, then
// in its Linux form: "TWAIN_32.DLL" is "libtwain_32.so", "odbccp32.dll" is
// unixODBC's "libodbcinst.so.2", and in general "X.dll" is "libX.so" (with
// X as written, then lower-case). A name with a folder is looked for in that
// folder only, the folder mapped as every file name is (a drive letter, names
// matched ignoring case); one without in the program folder, then where the
// system's loader looks. Texts are GBK.
#pragma once
#include "platform/windef.h"

HMODULE LoadLibrary(LPCSTR name);

// A file search for a library: TRUE when the file named (relative to the
// current folder without a folder) exists as given or in its Linux form,
// whether or not it would load.
BOOL LibraryFileExists(LPCSTR name);

// By name, or by ordinal (MAKEINTRESOURCE(n)) for the libraries whose
// ordinals are known: libtwain_32.so's ordinal 1 is DSM_Entry. NULL when
// missing.
FARPROC GetProcAddress(HMODULE module, LPCSTR name);

BOOL FreeLibrary(HMODULE module);
