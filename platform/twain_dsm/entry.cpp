// libtwain_32.so: the source manager over SANE.
#include "platform/twain_dsm/sane_backend.h"
#include "platform/twain_dsm/source_manager.h"

namespace {

// Made at the first call; destroyed when the library is unloaded, which
// closes what applications left open.
twain_dsm::SourceManager& Manager() {
  static twain_dsm::SourceManager manager(std::make_unique<twain_dsm::SaneBackend>());
  return manager;
}

}  // namespace

extern "C" __attribute__((visibility("default"))) TW_UINT16 DSM_Entry(pTW_IDENTITY origin, pTW_IDENTITY dest,
                                                                     TW_UINT32 DG, TW_UINT16 DAT, TW_UINT16 MSG,
                                                                     TW_MEMREF data) {
  return Manager().Entry(origin, dest, DG, DAT, MSG, data);
}
