#include "platform/vcl/sysutils.h"

#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "platform/text/gbk.h"

AnsiString IntToStr(long long value) { return std::to_string(value); }

namespace {

bool ParseInt(const AnsiString& text, int* out) {
  std::string_view s(text);
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  bool negative = false;
  if (!s.empty() && (s.front() == '-' || s.front() == '+')) {
    negative = s.front() == '-';
    s.remove_prefix(1);
  }
  int base = 10;
  if (!s.empty() && s.front() == '$') {
    base = 16;
    s.remove_prefix(1);
  } else if (s.size() > 1 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) {
    base = 16;
    s.remove_prefix(2);
  }
  if (s.empty()) return false;
  long long v = 0;
  for (char c : s) {
    int d = c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : c >= 'A' && c <= 'F' ? c - 'A' + 10 : 99;
    if (d >= base) return false;
    v = v * base + d;
    if (v > 0xFFFFFFFFLL) return false;
  }
  if (negative) v = -v;
  // Hexadecimal takes the 32-bit pattern; decimal must fit an int.
  if (base == 16 && v > INT_MAX) v -= 0x100000000LL;
  if (v < INT_MIN || v > INT_MAX) return false;
  *out = int(v);
  return true;
}

bool IsSpace(char c) { return (unsigned char)c <= ' '; }

// Index just after the last path separator (or drive colon), 0 for none.
size_t AfterLastSeparator(const AnsiString& name) {
  size_t after = 0;
  for (size_t i = 0; i < name.size();) {
    size_t len = gbk::CharLength(std::string_view(name).substr(i));
    if (len == 1 && (name[i] == '\\' || name[i] == '/' || name[i] == ':')) after = i + 1;
    i += len;
  }
  return after;
}

}  // namespace

int StrToInt(const AnsiString& text) {
  int v = 0;
  if (!ParseInt(text, &v)) throw EConvertError("'" + text + "' is not a valid integer value");
  return v;
}

int StrToIntDef(const AnsiString& text, int def) {
  int v = 0;
  return ParseInt(text, &v) ? v : def;
}

AnsiString FloatToStr(double value) {
  if (std::isnan(value)) return "NAN";
  if (std::isinf(value)) return value > 0 ? "INF" : "-INF";
  if (value == 0) return "0";
  char buf[64];
  snprintf(buf, sizeof buf, "%.14e", value);  // 15 significant digits
  std::string s(buf);
  bool negative = s[0] == '-';
  if (negative) s.erase(0, 1);
  size_t e = s.find('e');
  int exponent = atoi(s.c_str() + e + 1);
  std::string digits = s.substr(0, 1) + s.substr(2, e - 2);
  while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
  std::string out;
  if (exponent < 15 && exponent >= -5) {
    if (exponent >= 0) {
      if (digits.size() <= size_t(exponent) + 1) {
        out = digits + std::string(size_t(exponent) + 1 - digits.size(), '0');
      } else {
        out = digits.substr(0, size_t(exponent) + 1) + "." + digits.substr(size_t(exponent) + 1);
      }
    } else {
      out = "0." + std::string(size_t(-exponent - 1), '0') + digits;
    }
  } else {
    out = digits.substr(0, 1);
    if (digits.size() > 1) out += "." + digits.substr(1);
    out += "E" + std::to_string(exponent);
  }
  return negative ? "-" + out : out;
}

AnsiString Format(const char* format, ...) {
  va_list args;
  va_start(args, format);
  va_list copy;
  va_copy(copy, args);
  int n = vsnprintf(nullptr, 0, format, copy);
  va_end(copy);
  std::string out;
  if (n > 0) {
    std::vector<char> buf(size_t(n) + 1);
    vsnprintf(buf.data(), buf.size(), format, args);
    out.assign(buf.data(), size_t(n));
  }
  va_end(args);
  return out;
}

AnsiString TrimLeft(const AnsiString& s) {
  size_t b = 0;
  while (b < s.size() && IsSpace(s[b])) ++b;
  return s.substr(b);
}

AnsiString TrimRight(const AnsiString& s) {
  size_t e = s.size();
  while (e > 0 && IsSpace(s[e - 1])) --e;
  return s.substr(0, e);
}

AnsiString Trim(const AnsiString& s) { return TrimLeft(TrimRight(s)); }

AnsiString UpperCase(const AnsiString& s) {
  AnsiString out = s;
  for (size_t i = 0; i < out.size();) {
    size_t len = gbk::CharLength(std::string_view(out).substr(i));
    if (len == 1 && out[i] >= 'a' && out[i] <= 'z') out[i] = char(out[i] - 'a' + 'A');
    i += len;
  }
  return out;
}

AnsiString LowerCase(const AnsiString& s) {
  AnsiString out = s;
  for (size_t i = 0; i < out.size();) {
    size_t len = gbk::CharLength(std::string_view(out).substr(i));
    if (len == 1 && out[i] >= 'A' && out[i] <= 'Z') out[i] = char(out[i] - 'A' + 'a');
    i += len;
  }
  return out;
}

AnsiString ExtractFilePath(const AnsiString& name) { return name.substr(0, AfterLastSeparator(name)); }

AnsiString ExtractFileName(const AnsiString& name) { return name.substr(AfterLastSeparator(name)); }

AnsiString ExtractFileExt(const AnsiString& name) {
  size_t start = AfterLastSeparator(name), dot = std::string::npos;
  for (size_t i = start; i < name.size();) {
    size_t len = gbk::CharLength(std::string_view(name).substr(i));
    if (len == 1 && name[i] == '.') dot = i;
    i += len;
  }
  return dot == std::string::npos ? AnsiString() : name.substr(dot);
}

AnsiString ChangeFileExt(const AnsiString& name, const AnsiString& ext) {
  AnsiString old = ExtractFileExt(name);
  return name.substr(0, name.size() - old.size()) + ext;
}

long long Round(double value) { return (long long)std::nearbyint(value); }

long long Trunc(double value) { return (long long)std::trunc(value); }
