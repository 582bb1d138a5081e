// Writes its arguments, one a line, to the file named by $WIN_EXEC_PROBE_OUT
// (through a temporary file, so a reader never sees half of it).
#include <cstdio>
#include <cstdlib>
#include <string>

int main(int argc, char** argv) {
  const char* out = getenv("WIN_EXEC_PROBE_OUT");
  if (!out) return 1;
  std::string tmp = std::string(out) + ".tmp";
  FILE* f = fopen(tmp.c_str(), "w");
  if (!f) return 1;
  for (int i = 1; i < argc; ++i) fprintf(f, "%s\n", argv[i]);
  fclose(f);
  return rename(tmp.c_str(), out) == 0 ? 0 : 1;
}
