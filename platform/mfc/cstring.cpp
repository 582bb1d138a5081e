#include "platform/mfc/cstring.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "platform/text/gbk.h"

namespace {

size_t CharAt(const std::string& s, size_t i) { return gbk::CharLength(std::string_view(s).substr(i)); }

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }

int Clamp(int v, int lo, int hi) { return v < lo ? lo : v > hi ? hi : v; }

std::string_view View(LPCTSTR text) { return text ? std::string_view(text) : std::string_view(); }

// True when the n bytes from boundary i end on a character boundary too, so a
// match never takes half of a double-byte character.
bool MatchesAt(const std::string& s, size_t i, std::string_view needle) {
  if (std::string_view(s).substr(i, needle.size()) != needle) return false;
  size_t j = i;
  while (j < i + needle.size()) j += CharAt(s, j);
  return j == i + needle.size();
}

// Calls f(i) at every character boundary i from `start` on until f says stop.
template <class F>
void ForEachChar(const std::string& s, size_t start, F f) {
  for (size_t i = 0; i < s.size(); i += CharAt(s, i))
    if (i >= start && !f(i)) return;
}

}  // namespace

CString::CString(LPCTSTR text) : m_s(View(text)) {}
CString::CString(LPCTSTR bytes, int nLength) : m_s(bytes && nLength > 0 ? std::string(bytes, size_t(nLength)) : std::string()) {}
CString::CString(char ch, int nRepeat) : m_s(size_t(nRepeat > 0 ? nRepeat : 0), ch) {}

CString& CString::operator=(LPCTSTR text) {
  m_s.assign(View(text));
  return *this;
}
CString& CString::operator=(char ch) {
  m_s.assign(1, ch);
  return *this;
}

CString& CString::operator+=(const CString& s) {
  m_s += s.m_s;
  return *this;
}
CString& CString::operator+=(LPCTSTR text) {
  m_s += View(text);
  return *this;
}
CString& CString::operator+=(char ch) {
  m_s += ch;
  return *this;
}
CString operator+(const CString& a, const CString& b) { return CString(a.m_s + b.m_s); }
CString operator+(const CString& a, LPCTSTR b) { return CString(a.m_s + std::string(View(b))); }
CString operator+(LPCTSTR a, const CString& b) { return CString(std::string(View(a)) + b.m_s); }
CString operator+(const CString& a, char b) { return CString(a.m_s + b); }
CString operator+(char a, const CString& b) { return CString(a + b.m_s); }

int CString::Compare(LPCTSTR text) const { return std::string_view(m_s).compare(View(text)); }

int CString::CompareNoCase(LPCTSTR text) const {
  CString a(*this), b(text);
  a.MakeLower();
  b.MakeLower();
  return a.Compare(b);
}

CString CString::Left(int nCount) const { return CString(m_s.substr(0, size_t(Clamp(nCount, 0, GetLength())))); }
CString CString::Mid(int nFirst) const { return Mid(nFirst, GetLength()); }
CString CString::Mid(int nFirst, int nCount) const {
  int first = Clamp(nFirst, 0, GetLength());
  return CString(m_s.substr(size_t(first), size_t(Clamp(nCount, 0, GetLength() - first))));
}
CString CString::Right(int nCount) const {
  int n = Clamp(nCount, 0, GetLength());
  return CString(m_s.substr(m_s.size() - size_t(n)));
}

int CString::Find(char ch, int nStart) const {
  const char text[2] = {ch, 0};
  return ch ? Find(text, nStart) : -1;
}

int CString::Find(LPCTSTR sub, int nStart) const {
  std::string_view needle = View(sub);
  int found = -1;
  if (nStart < 0 || nStart > GetLength()) return -1;
  ForEachChar(m_s, size_t(nStart), [&](size_t i) {
    if (!MatchesAt(m_s, i, needle)) return true;
    found = int(i);
    return false;
  });
  return found;
}

int CString::ReverseFind(char ch) const {
  int found = -1;
  ForEachChar(m_s, 0, [&](size_t i) {
    if (m_s[i] == ch && CharAt(m_s, i) == 1) found = int(i);
    return true;
  });
  return found;
}

int CString::Replace(char chOld, char chNew) {
  int count = 0;
  ForEachChar(m_s, 0, [&](size_t i) {
    if (CharAt(m_s, i) == 1 && m_s[i] == chOld) {
      m_s[i] = chNew;
      ++count;
    }
    return true;
  });
  return count;
}

int CString::Replace(LPCTSTR oldText, LPCTSTR newText) {
  std::string_view o = View(oldText), n = View(newText);
  if (o.empty()) return 0;
  std::string out;
  int count = 0;
  for (size_t i = 0; i < m_s.size();) {
    if (MatchesAt(m_s, i, o)) {
      out += n;
      i += o.size();
      ++count;
    } else {
      size_t len = CharAt(m_s, i);
      out.append(m_s, i, len);
      i += len;
    }
  }
  m_s.swap(out);
  return count;
}

void CString::TrimLeft() {
  size_t i = 0;
  while (i < m_s.size() && IsBlank(m_s[i])) ++i;
  m_s.erase(0, i);
}

void CString::TrimRight() {
  size_t end = 0;  // end of the last character that is not blank
  ForEachChar(m_s, 0, [&](size_t i) {
    size_t len = CharAt(m_s, i);
    if (len == 2 || !IsBlank(m_s[i])) end = i + len;
    return true;
  });
  m_s.resize(end);
}

void CString::MakeUpper() {
  ForEachChar(m_s, 0, [&](size_t i) {
    if (CharAt(m_s, i) == 1 && m_s[i] >= 'a' && m_s[i] <= 'z') m_s[i] = char(m_s[i] - 'a' + 'A');
    return true;
  });
}

void CString::MakeLower() {
  ForEachChar(m_s, 0, [&](size_t i) {
    if (CharAt(m_s, i) == 1 && m_s[i] >= 'A' && m_s[i] <= 'Z') m_s[i] = char(m_s[i] - 'A' + 'a');
    return true;
  });
}

void CString::Format(LPCTSTR fmt, ...) {
  va_list ap, again;
  va_start(ap, fmt);
  va_copy(again, ap);
  int n = vsnprintf(nullptr, 0, fmt, ap);
  va_end(ap);
  if (n < 0) {
    va_end(again);
    m_s.clear();
    return;
  }
  std::string out(size_t(n), '\0');
  vsnprintf(out.data(), out.size() + 1, fmt, again);
  va_end(again);
  m_s.swap(out);
}

LPTSTR CString::GetBuffer(int nMinBufLength) {
  if (nMinBufLength > GetLength()) m_s.resize(size_t(nMinBufLength));
  return m_s.data();
}

LPTSTR CString::GetBufferSetLength(int nNewLength) {
  m_s.resize(size_t(nNewLength > 0 ? nNewLength : 0));
  return m_s.data();
}

void CString::ReleaseBuffer(int nNewLength) {
  if (nNewLength < 0) nNewLength = int(strnlen(m_s.c_str(), m_s.size()));
  m_s.resize(size_t(Clamp(nNewLength, 0, GetLength())));
}

bool operator==(const CString& a, const CString& b) { return a.Compare(b) == 0; }
bool operator==(const CString& a, LPCTSTR b) { return a.Compare(b) == 0; }
bool operator==(LPCTSTR a, const CString& b) { return b.Compare(a) == 0; }
bool operator!=(const CString& a, const CString& b) { return a.Compare(b) != 0; }
bool operator!=(const CString& a, LPCTSTR b) { return a.Compare(b) != 0; }
bool operator!=(LPCTSTR a, const CString& b) { return b.Compare(a) != 0; }
bool operator<(const CString& a, const CString& b) { return a.Compare(b) < 0; }
bool operator<(const CString& a, LPCTSTR b) { return a.Compare(b) < 0; }
bool operator<(LPCTSTR a, const CString& b) { return b.Compare(a) > 0; }
bool operator>(const CString& a, const CString& b) { return a.Compare(b) > 0; }
bool operator>(const CString& a, LPCTSTR b) { return a.Compare(b) > 0; }
bool operator>(LPCTSTR a, const CString& b) { return b.Compare(a) < 0; }
bool operator<=(const CString& a, const CString& b) { return a.Compare(b) <= 0; }
bool operator<=(const CString& a, LPCTSTR b) { return a.Compare(b) <= 0; }
bool operator<=(LPCTSTR a, const CString& b) { return b.Compare(a) >= 0; }
bool operator>=(const CString& a, const CString& b) { return a.Compare(b) >= 0; }
bool operator>=(const CString& a, LPCTSTR b) { return a.Compare(b) >= 0; }
bool operator>=(LPCTSTR a, const CString& b) { return b.Compare(a) <= 0; }
