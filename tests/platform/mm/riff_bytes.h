// RIFF and WAV bytes built by hand, for tests that read or play them.
#pragma once
#include <cstdint>
#include <string>

namespace riff {

inline std::string LE32(uint32_t v) {
  std::string s(4, '\0');
  for (int i = 0; i < 4; ++i) s[i] = char(v >> (8 * i));
  return s;
}
// A chunk with its pad byte when odd (unless `pad` is false).
inline std::string Chunk(const std::string& id, const std::string& body, bool pad = true) {
  std::string s = id + LE32(uint32_t(body.size())) + body;
  if (pad && body.size() % 2) s += '\0';
  return s;
}
// The 16 bytes of a PCM format chunk.
inline std::string PcmFormat(uint16_t channels, uint32_t rate, uint16_t bits) {
  const uint16_t align = uint16_t(channels * bits / 8);
  std::string s;
  auto le16 = [&](uint16_t v) { s += char(v & 0xFF), s += char(v >> 8); };
  le16(1);
  le16(channels);
  s += LE32(rate) + LE32(rate * align);
  le16(align);
  le16(bits);
  return s;
}
inline std::string Wave(const std::string& chunks) { return "RIFF" + LE32(uint32_t(chunks.size() + 4)) + "WAVE" + chunks; }

}  // namespace riff
