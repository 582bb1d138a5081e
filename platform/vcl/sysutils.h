// The runtime library's strings, numbers, exceptions and file helpers.
// Strings are AnsiString = std::string of GBK bytes.
#pragma once
#include <cstdarg>
#include <exception>
#include <string>
#include <string_view>

#include "platform/fs/files.h"
#include "platform/fs/folders.h"

typedef std::string AnsiString;
typedef std::string String;

// The form library's exception base: every event handler is called through
// the application's handler, which shows Message in a message box.
class Exception : public std::exception {
 public:
  explicit Exception(AnsiString message) : message_(std::move(message)) {}
  const AnsiString& Message() const { return message_; }
  const char* what() const noexcept override { return message_.c_str(); }

 private:
  AnsiString message_;
};

class EConvertError : public Exception {
  using Exception::Exception;
};
class EInvalidOperation : public Exception {
  using Exception::Exception;
};
class EOutOfResources : public Exception {
  using Exception::Exception;
};

AnsiString IntToStr(long long value);
// Decimal with an optional sign, or hexadecimal "$1F" / "0x1F", up to 32
// bits, blanks around allowed; EConvertError "'x' is not a valid integer
// value" otherwise.
int StrToInt(const AnsiString& text);
int StrToIntDef(const AnsiString& text, int def);
// Shortest text of up to 15 significant digits: 10.25 -> "10.25", 10 ->
// "10", -0.1 -> "-0.1", 1e20 -> "1E20", 1e-6 -> "1E-6".
AnsiString FloatToStr(double value);
// printf formats (%d %s %x %f %g %u %c %%) with the arguments.
AnsiString Format(const char* format, ...) __attribute__((format(printf, 1, 2)));
AnsiString Trim(const AnsiString& s);
AnsiString TrimLeft(const AnsiString& s);
AnsiString TrimRight(const AnsiString& s);
// ASCII letters only; GBK bytes stay as they are.
AnsiString UpperCase(const AnsiString& s);
AnsiString LowerCase(const AnsiString& s);

// Path parts split at the last '\', '/' or ':' (GBK-aware: a trail byte
// equal to '\' inside a character is not a separator).
AnsiString ExtractFilePath(const AnsiString& name);  // with the separator
AnsiString ExtractFileName(const AnsiString& name);
AnsiString ExtractFileExt(const AnsiString& name);  // with the dot; "" for none
AnsiString ChangeFileExt(const AnsiString& name, const AnsiString& ext);

// Rounds halves to the even neighbour (2.5 -> 2, 3.5 -> 4, -2.5 -> -2).
long long Round(double value);
// Towards zero.
long long Trunc(double value);

// FileExists, DeleteFile, DirectoryExists and CreateDir are those of the
// file system facility (platform/fs), on the system's Windows paths.
