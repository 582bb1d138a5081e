// CString: an 8-bit string of GBK bytes with an explicit length. Zero bytes
// may appear inside (scrambled data does that); the LPCTSTR conversion then
// ends at the first of them, everything else counts every byte.
//
// Searches step over double-byte characters (a lead byte 0x81..0xFE takes the
// next byte with it), so a trail byte is never mistaken for '\\' or a letter.
#pragma once
#include <string>

#include "platform/windef.h"

class CString {
 public:
  CString() = default;
  CString(const CString&) = default;
  CString(CString&&) noexcept = default;
  CString(LPCTSTR text);  // NULL is the empty string
  CString(LPCTSTR bytes, int nLength);
  explicit CString(char ch, int nRepeat = 1);
  ~CString() = default;

  CString& operator=(const CString&) = default;
  CString& operator=(CString&&) noexcept = default;
  CString& operator=(LPCTSTR text);
  CString& operator=(char ch);

  int GetLength() const { return int(m_s.size()); }
  BOOL IsEmpty() const { return m_s.empty(); }
  void Empty() { m_s.clear(); }
  char GetAt(int nIndex) const { return m_s.at(size_t(nIndex)); }
  char operator[](int nIndex) const { return GetAt(nIndex); }
  void SetAt(int nIndex, char ch) { m_s.at(size_t(nIndex)) = ch; }
  operator LPCTSTR() const { return m_s.c_str(); }

  CString& operator+=(const CString& s);
  CString& operator+=(LPCTSTR text);
  CString& operator+=(char ch);
  friend CString operator+(const CString& a, const CString& b);
  friend CString operator+(const CString& a, LPCTSTR b);
  friend CString operator+(LPCTSTR a, const CString& b);
  friend CString operator+(const CString& a, char b);
  friend CString operator+(char a, const CString& b);

  // Byte-wise comparison, bytes taken as unsigned: <0, 0, >0.
  int Compare(LPCTSTR text) const;
  int Compare(const CString& s) const { return m_s.compare(s.m_s); }
  // Case-insensitive for ASCII letters only.
  int CompareNoCase(LPCTSTR text) const;

  CString Left(int nCount) const;
  CString Mid(int nFirst) const;
  CString Mid(int nFirst, int nCount) const;
  CString Right(int nCount) const;

  // Byte index of the first (last) match at a character boundary, or -1.
  int Find(char ch, int nStart = 0) const;
  int Find(LPCTSTR sub, int nStart = 0) const;
  int ReverseFind(char ch) const;
  // Number of replacements made.
  int Replace(char chOld, char chNew);
  int Replace(LPCTSTR oldText, LPCTSTR newText);

  // Blanks, tabs and line ends.
  void TrimLeft();
  void TrimRight();
  // ASCII letters only; double-byte characters stay as they are.
  void MakeUpper();
  void MakeLower();

  void Format(LPCTSTR fmt, ...) __attribute__((format(printf, 2, 3)));

  // A writable buffer of at least nMinBufLength bytes (plus a terminator)
  // holding the current text; ReleaseBuffer sets the length (-1: up to the
  // first zero byte). Nothing else may be called in between.
  LPTSTR GetBuffer(int nMinBufLength);
  LPTSTR GetBufferSetLength(int nNewLength);
  void ReleaseBuffer(int nNewLength = -1);

 private:
  explicit CString(std::string s) : m_s(std::move(s)) {}
  std::string m_s;
};

bool operator==(const CString& a, const CString& b);
bool operator==(const CString& a, LPCTSTR b);
bool operator==(LPCTSTR a, const CString& b);
bool operator!=(const CString& a, const CString& b);
bool operator!=(const CString& a, LPCTSTR b);
bool operator!=(LPCTSTR a, const CString& b);
bool operator<(const CString& a, const CString& b);
bool operator<(const CString& a, LPCTSTR b);
bool operator<(LPCTSTR a, const CString& b);
bool operator>(const CString& a, const CString& b);
bool operator>(const CString& a, LPCTSTR b);
bool operator>(LPCTSTR a, const CString& b);
bool operator<=(const CString& a, const CString& b);
bool operator<=(const CString& a, LPCTSTR b);
bool operator<=(LPCTSTR a, const CString& b);
bool operator>=(const CString& a, const CString& b);
bool operator>=(const CString& a, LPCTSTR b);
bool operator>=(LPCTSTR a, const CString& b);
