// Shared by the tests that read what the programs wrote back through other
// programs: a command's output, bytes as hex, and a WAV file as python's wave
// module reads it.
#pragma once
#include <cstdio>
#include <string>

namespace readback {

// What the shell command printed on its standard output.
inline std::string Output(const std::string& command) {
  std::string out;
  if (FILE* p = popen(command.c_str(), "r")) {
    char buf[4096];
    while (size_t n = fread(buf, 1, sizeof buf, p)) out.append(buf, n);
    pclose(p);
  }
  return out;
}

// Two lower-case hex digits a byte, nothing between them.
inline std::string Hex(const std::string& bytes) {
  std::string hex;
  char two[3];
  for (unsigned char c : bytes) {
    snprintf(two, sizeof two, "%02x", c);
    hex += two;
  }
  return hex;
}

// "channels width rate frames hex-of-frames\n" as python's wave module reads
// the file.
inline std::string PythonWave(const std::string& path) {
  return Output("/usr/bin/python3 -c \"import wave; w = wave.open('" + path +
                "'); print(w.getnchannels(), w.getsampwidth(), w.getframerate(), w.getnframes(), "
                "w.readframes(w.getnframes()).hex())\"");
}

}  // namespace readback
