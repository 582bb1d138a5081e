// Writes the content of the file named second into the file named first,
// as the system's programs write files; exits with 0 when that worked.
#include "platform/fs/files.h"

int main(int argc, char** argv) {
  if (argc != 3) return 2;
  const std::optional<std::string> data = ReadWholeFile(argv[2]);
  return data && WriteWholeFile(argv[1], *data) ? 0 : 1;
}
