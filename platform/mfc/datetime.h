// CTime: a calendar time in whole seconds, formatted in the local time zone.
#pragma once
#include <ctime>

#include "platform/mfc/cstring.h"

class CTime {
 public:
  CTime() = default;
  CTime(time_t t) : m_time(t) {}
  static CTime GetCurrentTime() { return CTime(::time(nullptr)); }
  time_t GetTime() const { return m_time; }
  // strftime conversions ("%Y-%m-%d %H:%M:%S"), local time.
  CString Format(LPCTSTR fmt) const;

  bool operator==(const CTime& o) const { return m_time == o.m_time; }
  bool operator!=(const CTime& o) const { return m_time != o.m_time; }

 private:
  time_t m_time = 0;
};
