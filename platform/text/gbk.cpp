#include "platform/text/gbk.h"

#include <cerrno>
#include <iconv.h>

namespace gbk {
namespace {

// One converter per thread and direction: iconv_t is not thread-safe.
class Converter {
 public:
  Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
  ~Converter() {
    if (cd_ != (iconv_t)-1) iconv_close(cd_);
  }
  // Converts `in`; on a byte that cannot be converted appends `bad` and
  // skips `skip(in)` bytes.
  template <class Skip>
  std::string Run(std::string_view in, std::string_view bad, Skip skip) {
    std::string out;
    if (cd_ == (iconv_t)-1) return std::string(in);
    iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    out.resize(in.size() * 2 + 8);
    char* src = const_cast<char*>(in.data());
    size_t srcLeft = in.size();
    size_t used = 0;
    while (srcLeft > 0) {
      char* dst = out.data() + used;
      size_t dstLeft = out.size() - used;
      size_t r = iconv(cd_, &src, &srcLeft, &dst, &dstLeft);
      used = out.size() - dstLeft;
      if (r != (size_t)-1) break;
      if (errno == E2BIG) {
        out.resize(out.size() * 2);
        continue;
      }
      // EILSEQ or EINVAL (truncated sequence at the end): replace and go on.
      size_t n = skip(std::string_view(src, srcLeft));
      src += n;
      srcLeft -= n;
      out.replace(used, 0, bad);
      used += bad.size();
      if (out.size() < used + srcLeft * 2 + 8) out.resize(used + srcLeft * 2 + 8);
      iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    }
    out.resize(used);
    return out;
  }

 private:
  iconv_t cd_;
};

size_t Utf8SeqLength(std::string_view s) {
  unsigned char c = (unsigned char)s[0];
  size_t n = c < 0xC0 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
  // Skip the whole malformed sequence only as far as its continuation bytes go.
  size_t i = 1;
  while (i < n && i < s.size() && ((unsigned char)s[i] & 0xC0) == 0x80) ++i;
  return i;
}

bool IsAscii(std::string_view s) {
  for (unsigned char c : s)
    if (c >= 0x80) return false;
  return true;
}

}  // namespace

std::string ToUtf8(std::string_view in) {
  if (IsAscii(in)) return std::string(in);
  thread_local Converter c("UTF-8", "CP936");
  return c.Run(in, "\xEF\xBF\xBD", [](std::string_view) { return size_t(1); });
}

std::string FromUtf8(std::string_view in) {
  if (IsAscii(in)) return std::string(in);
  thread_local Converter c("CP936", "UTF-8");
  return c.Run(in, "?", Utf8SeqLength);
}

QString ToQString(std::string_view s) {
  if (IsAscii(s)) return QString::fromLatin1(s.data(), qsizetype(s.size()));
  std::string u = ToUtf8(s);
  return QString::fromUtf8(u.data(), qsizetype(u.size()));
}

std::string FromQString(const QString& s) {
  QByteArray u = s.toUtf8();
  return FromUtf8(std::string_view(u.constData(), size_t(u.size())));
}

}  // namespace gbk
