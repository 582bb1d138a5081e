// Starting programs. Windows program names are kept: a name is tried as
// given, then in its Linux form, the ".dll" or ".exe" dropped ("tappel.dll"
// starts the program "tappel"). A name without a folder is looked for in the
// current folder, then the program folder, then on PATH; a name with a folder
// only there. Backslashes count as folder separators. Texts are GBK.
#pragma once
#include "platform/windef.h"

// Starts the program of the command line detached, with the rest of the line
// as arguments (double quotes group). An unquoted program path may hold
// blanks: the shortest prefix that names a program wins. A ".cmd" file runs
// through /bin/sh. The show command is the started program's own affair on
// X11 and is not passed on. Returns 33 when started, ERROR_FILE_NOT_FOUND
// when no program was found, ERROR_BAD_FORMAT when it could not be run.
UINT WinExec(LPCSTR cmdLine, UINT nShow);

// "open" (or NULL) hands the file, relative to `dir` when given, or a URL, to
// xdg-open, detached. Returns a value above 32 when started, ERROR_FILE_NOT_FOUND
// for a missing file, SE_ERR_NOASSOC for other verbs or for parameters, which
// xdg-open cannot pass on.
HINSTANCE ShellExecute(HWND owner, LPCSTR verb, LPCSTR file, LPCSTR params, LPCSTR dir, int nShow);
