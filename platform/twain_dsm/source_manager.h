// The TWAIN source manager: sessions of applications (state 3), the sources
// of a backend's devices, and every triplet a TWAIN 1.9 application sends,
// answered in the state the standard allows it (TWRC_FAILURE with
// TWCC_SEQERROR otherwise). DSM_Entry hands its calls here.
#pragma once
#include "platform/twain_dsm/backend.h"
#include "platform/twain_dsm/open_source.h"
#include "twain/twain.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace twain_dsm {

class SourceManager {
 public:
  explicit SourceManager(std::unique_ptr<Backend> backend);
  ~SourceManager();  // closes every session
  SourceManager(const SourceManager&) = delete;
  SourceManager& operator=(const SourceManager&) = delete;

  TW_UINT16 Entry(pTW_IDENTITY origin, pTW_IDENTITY dest, TW_UINT32 dg, TW_UINT16 dat, TW_UINT16 msg,
                  TW_MEMREF data);

  Backend* GetBackend() const { return backend_.get(); }
  // The open source of a device, in any session; nullptr when none.
  OpenSource* FindOpen(const std::string& deviceName);
  // The condition code DAT_STATUS reports next for the target of a call:
  // the source `dest` when given, else the session of `origin`.
  void SetCondition(const TW_IDENTITY* origin, const TW_IDENTITY* dest, TW_UINT16 cc);
  // Closes every source and session, as if each application had closed.
  void CloseAll();

 private:
  struct Session {
    TW_IDENTITY app{};
    HWND parent = 0;
    std::vector<DeviceInfo> listed;
    size_t next = 0;  // MSG_GETNEXT position in `listed`
    std::map<TW_UINT32, std::unique_ptr<OpenSource>> open;
    TW_UINT16 condition = TWCC_SUCCESS;
  };
  struct Call {
    Session* session;
    OpenSource* source;
    pTW_IDENTITY origin;
    TW_UINT16 msg;
    TW_MEMREF data;
    TW_UINT16 cc;
  };
  typedef TW_UINT16 (SourceManager::*Handler)(Call&);
  struct Triplet;
  static const Triplet kTriplets[];

  TW_UINT32 IdOf(const std::string& deviceName);
  void Describe(const DeviceInfo& d, TW_IDENTITY* out);
  void EndBatch(OpenSource& s);

  TW_UINT16 OpenDsm(Call& c);
  TW_UINT16 CloseDsm(Call& c);
  TW_UINT16 GetFirst(Call& c);
  TW_UINT16 GetNext(Call& c);
  TW_UINT16 GetDefault(Call& c);
  TW_UINT16 OpenDs(Call& c);
  TW_UINT16 CloseDs(Call& c);
  TW_UINT16 Status(Call& c);
  TW_UINT16 EnableDs(Call& c);
  TW_UINT16 DisableDs(Call& c);
  TW_UINT16 ProcessEvent(Call& c);
  TW_UINT16 Capability(Call& c);
  TW_UINT16 PendingXfers(Call& c);
  TW_UINT16 SetupMemXfer(Call& c);
  TW_UINT16 SetupFileXfer(Call& c);
  TW_UINT16 ImageInfo(Call& c);
  TW_UINT16 NativeXfer(Call& c);
  TW_UINT16 MemXfer(Call& c);
  TW_UINT16 FileXfer(Call& c);
  TW_UINT16 Palette8(Call& c);

  std::unique_ptr<Backend> backend_;
  std::map<TW_UINT32, Session> sessions_;  // by application Id
  std::map<std::string, TW_UINT32> ids_;   // source Ids, stable for each device
  TW_UINT32 nextId_ = 1;
  TW_UINT16 condition_ = TWCC_SUCCESS;  // of calls from no session
};

}  // namespace twain_dsm
