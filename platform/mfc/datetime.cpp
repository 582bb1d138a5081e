#include "platform/mfc/datetime.h"

CString CTime::Format(LPCTSTR fmt) const {
  struct tm local;
  if (!fmt || !*fmt || !localtime_r(&m_time, &local)) return CString();
  char out[512];
  size_t n = strftime(out, sizeof out, fmt, &local);
  return CString(out, int(n));
}
