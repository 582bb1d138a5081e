// make_engine_fixture [--font | --records] DESCRIPTION FOLDER
// Writes the engine's stroke and index files for the characters of a
// description file (UTF-8; see fixture.h for its lines), and the dictionary
// files it describes, into FOLDER, which must exist. --font also writes the plain font files user.dat and user.idx;
// --records writes only each character's record, as record<N> (N from 1),
// the form the outline fuzzer takes as its inputs.
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

#include "platform/text/gbk.h"
#include "tools/engine_fixture/fixture.h"

namespace {

bool WriteRecords(const engine_fixture::Description& d, const std::string& folder, std::string* error) {
  for (size_t i = 0; i < d.characters.size(); ++i) {
    const std::string path = folder + "/record" + std::to_string(i + 1);
    if (!engine_fixture::WriteFile(path, engine_fixture::Record(d.characters[i], true))) {
      *error = "cannot write " + path;
      return false;
    }
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string option = argc == 4 ? argv[1] : "";
  if (!(argc == 3 || (argc == 4 && (option == "--font" || option == "--records")))) {
    fprintf(stderr, "usage: make_engine_fixture [--font | --records] DESCRIPTION FOLDER\n");
    return 2;
  }
  const char* input = argv[argc - 2];
  const std::string folder = argv[argc - 1];
  std::ifstream in(input, std::ios::binary);
  if (!in) {
    fprintf(stderr, "make_engine_fixture: cannot read %s\n", input);
    return 1;
  }
  const std::string utf8((std::istreambuf_iterator<char>(in)), {});
  engine_fixture::Description d;
  std::string error;
  bool ok = engine_fixture::Parse(gbk::FromUtf8(utf8), &d, &error);
  if (ok && option == "--records") {
    ok = WriteRecords(d, folder, &error);
  } else if (ok) {
    ok = engine_fixture::WriteStrokeFiles(d, folder, &error) && engine_fixture::WriteDictionaryFiles(d, folder, &error) &&
         (option != "--font" || engine_fixture::WriteFontFiles(d, folder, &error));
  }
  if (!ok) {
    fprintf(stderr, "make_engine_fixture: %s: %s\n", input, error.c_str());
    return 1;
  }
  return 0;
}
