// AfxMessageBox: the class library's modal message box, captioned with the
// application's title. With a Qt application on the calling thread it is a
// QMessageBox; without one (a library inside a host that has none, tests)
// the text goes to stderr as UTF-8 and the default (first) button is the
// answer. The win layer's MessageBox takes this place later.
#pragma once
#include "platform/windef.h"

// nType: MB_OK, MB_OKCANCEL, MB_YESNOCANCEL or MB_YESNO with an MB_ICON*
// value. Result: IDOK, IDCANCEL, IDYES or IDNO.
int AfxMessageBox(LPCTSTR lpszText, UINT nType = MB_OK, UINT nIDHelp = 0);
