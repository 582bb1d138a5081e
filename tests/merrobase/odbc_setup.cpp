// A driver's setup part for the tests: the installer (SQLConfigDataSource)
// loads it and calls ConfigDSN, as it does a real driver's setup library.
// The SQLite3 driver ships none. This one records what it was given in
// $QUARVEL_ODBC_SETUP_LOG (the driver name, a zero byte, then the attribute
// list through its closing zero bytes) and adds the data source to the
// user's odbc.ini with the installer's own functions.
#include <odbcinst.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

void Record(const char* driver, const char* attributes) {
  const char* log = getenv("QUARVEL_ODBC_SETUP_LOG");
  if (!log || !*log) return;
  FILE* f = fopen(log, "wb");
  if (!f) return;
  fwrite(driver, 1, strlen(driver) + 1, f);
  const char* p = attributes;
  while (*p) p += strlen(p) + 1;
  fwrite(attributes, 1, size_t(p - attributes) + 1, f);
  fclose(f);
}

std::string Trimmed(std::string s) {
  s.erase(0, s.find_first_not_of(' '));
  return s;
}

}  // namespace

extern "C" BOOL ConfigDSN(HWND, WORD request, LPCSTR driver, LPCSTR attributes) {
  Record(driver, attributes);
  if (request != ODBC_ADD_DSN) return 0;
  std::string dsn;
  for (const char* p = attributes; *p; p += strlen(p) + 1) {
    std::string entry = Trimmed(p);
    if (entry.compare(0, 4, "DSN=") == 0) dsn = entry.substr(4);
  }
  if (dsn.empty() || !SQLWriteDSNToIni(dsn.c_str(), driver)) return 0;
  for (const char* p = attributes; *p; p += strlen(p) + 1) {
    std::string entry = Trimmed(p);
    size_t eq = entry.find('=');
    if (eq == std::string::npos || entry.compare(0, 4, "DSN=") == 0) continue;
    SQLWritePrivateProfileString(dsn.c_str(), entry.substr(0, eq).c_str(), entry.substr(eq + 1).c_str(), "odbc.ini");
  }
  return 1;
}
