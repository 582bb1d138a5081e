// A real process writing a file as the system's programs do
// (fs_rewrite_probe, built beside the tests), killed by strace on entering
// a chosen system call: the file as a kill at that very step leaves it.
#pragma once
#include <cstdlib>
#include <filesystem>
#include <string>

namespace linktest {

inline bool HaveStrace() { return system("strace -V >/dev/null 2>&1") == 0; }

// Runs the probe writing the content of `source` into `target`, killed on
// entering the `when`-th call of `call`; its exit status as system() gives it.
inline int KilledAt(const std::string& call, int when, const std::string& target, const std::string& source) {
  const std::string probe =
      (std::filesystem::read_symlink("/proc/self/exe").parent_path() / "fs_rewrite_probe").string();
  const std::string cmd = "strace -o /dev/null -e trace=" + call + " -e inject=" + call +
                          ":signal=SIGKILL:when=" + std::to_string(when) + " '" + probe + "' '" + target + "' '" +
                          source + "' >/dev/null 2>&1";
  return system(cmd.c_str());
}

}  // namespace linktest
