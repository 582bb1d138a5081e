#include "platform/twain_dsm/source_manager.h"

#include "platform/text/gbk.h"
#include "platform/twain_dsm/capabilities.h"
#include "platform/twain_dsm/scan_dialog.h"
#include "platform/twain_dsm/transfers.h"

#include <QCoreApplication>

#include <cstring>

namespace twain_dsm {

namespace {

enum Target : uint8_t { kManager, kSource, kEither };  // kEither: the source when one is named

// TWAIN states a triplet is valid in, as bits 2..7.
constexpr uint8_t States(int from, int to) {
  uint8_t m = 0;
  for (int s = from; s <= to; ++s) m |= uint8_t(1u << s);
  return m;
}

// A text for a TW_STR32 field: GBK, cut to 32 bytes without splitting a
// character, NUL-padded.
void PutText(char (&field)[34], const std::string& utf8) {
  const std::string g = gbk::FromUtf8(utf8);
  size_t n = 0;
  while (n < g.size()) {
    size_t len = gbk::CharLength(std::string_view(g).substr(n));
    if (n + len > 32) break;
    n += len;
  }
  memset(field, 0, sizeof field);
  memcpy(field, g.data(), n);
}

bool SameText(const char (&a)[34], const char (&b)[34]) { return strncmp(a, b, sizeof a) == 0; }

}  // namespace

struct SourceManager::Triplet {
  TW_UINT32 dg;
  TW_UINT16 dat;
  TW_UINT16 msg;
  Target target;
  uint8_t states;
  bool needsData;
  Handler handler;
};

const SourceManager::Triplet SourceManager::kTriplets[] = {
    {DG_CONTROL, DAT_PARENT, MSG_OPENDSM, kManager, States(2, 2), true, &SourceManager::OpenDsm},
    {DG_CONTROL, DAT_PARENT, MSG_CLOSEDSM, kManager, States(3, 3), false, &SourceManager::CloseDsm},
    {DG_CONTROL, DAT_IDENTITY, MSG_GETFIRST, kManager, States(3, 3), true, &SourceManager::GetFirst},
    {DG_CONTROL, DAT_IDENTITY, MSG_GETNEXT, kManager, States(3, 3), true, &SourceManager::GetNext},
    {DG_CONTROL, DAT_IDENTITY, MSG_GETDEFAULT, kManager, States(3, 3), true, &SourceManager::GetDefault},
    {DG_CONTROL, DAT_IDENTITY, MSG_OPENDS, kManager, States(3, 3), true, &SourceManager::OpenDs},
    {DG_CONTROL, DAT_IDENTITY, MSG_CLOSEDS, kManager, States(3, 3), true, &SourceManager::CloseDs},
    {DG_CONTROL, DAT_STATUS, MSG_GET, kEither, States(2, 7), true, &SourceManager::Status},
    {DG_CONTROL, DAT_USERINTERFACE, MSG_ENABLEDS, kSource, States(4, 4), true, &SourceManager::EnableDs},
    {DG_CONTROL, DAT_USERINTERFACE, MSG_DISABLEDS, kSource, States(5, 5), false, &SourceManager::DisableDs},
    {DG_CONTROL, DAT_EVENT, MSG_PROCESSEVENT, kSource, States(5, 7), true, &SourceManager::ProcessEvent},
    {DG_CONTROL, DAT_CAPABILITY, MSG_GET, kSource, States(4, 7), true, &SourceManager::Capability},
    {DG_CONTROL, DAT_CAPABILITY, MSG_GETCURRENT, kSource, States(4, 7), true, &SourceManager::Capability},
    {DG_CONTROL, DAT_CAPABILITY, MSG_GETDEFAULT, kSource, States(4, 7), true, &SourceManager::Capability},
    {DG_CONTROL, DAT_CAPABILITY, MSG_RESET, kSource, States(4, 4), true, &SourceManager::Capability},
    {DG_CONTROL, DAT_CAPABILITY, MSG_SET, kSource, States(4, 4), true, &SourceManager::Capability},
    {DG_CONTROL, DAT_PENDINGXFERS, MSG_GET, kSource, States(4, 7), true, &SourceManager::PendingXfers},
    {DG_CONTROL, DAT_PENDINGXFERS, MSG_ENDXFER, kSource, States(6, 7), true, &SourceManager::PendingXfers},
    {DG_CONTROL, DAT_PENDINGXFERS, MSG_RESET, kSource, States(6, 6), true, &SourceManager::PendingXfers},
    {DG_CONTROL, DAT_SETUPMEMXFER, MSG_GET, kSource, States(4, 6), true, &SourceManager::SetupMemXfer},
    {DG_CONTROL, DAT_SETUPFILEXFER, MSG_GET, kSource, States(4, 6), true, &SourceManager::SetupFileXfer},
    {DG_CONTROL, DAT_SETUPFILEXFER, MSG_GETDEFAULT, kSource, States(4, 6), true, &SourceManager::SetupFileXfer},
    {DG_CONTROL, DAT_SETUPFILEXFER, MSG_SET, kSource, States(4, 6), true, &SourceManager::SetupFileXfer},
    {DG_CONTROL, DAT_SETUPFILEXFER, MSG_RESET, kSource, States(4, 6), true, &SourceManager::SetupFileXfer},
    {DG_IMAGE, DAT_IMAGEINFO, MSG_GET, kSource, States(6, 7), true, &SourceManager::ImageInfo},
    {DG_IMAGE, DAT_IMAGENATIVEXFER, MSG_GET, kSource, States(6, 6), true, &SourceManager::NativeXfer},
    {DG_IMAGE, DAT_IMAGEMEMXFER, MSG_GET, kSource, States(6, 7), true, &SourceManager::MemXfer},
    {DG_IMAGE, DAT_IMAGEFILEXFER, MSG_GET, kSource, States(6, 6), false, &SourceManager::FileXfer},
    {DG_IMAGE, DAT_PALETTE8, MSG_GET, kSource, States(4, 7), true, &SourceManager::Palette8},
};

SourceManager::SourceManager(std::unique_ptr<Backend> backend) : backend_(std::move(backend)) {}

SourceManager::~SourceManager() { CloseAll(); }

void SourceManager::CloseAll() {
  if (sessions_.empty()) return;
  sessions_.clear();  // each open source stops its worker and closes its device
  backend_->Stop();
}

TW_UINT16 SourceManager::Entry(pTW_IDENTITY origin, pTW_IDENTITY dest, TW_UINT32 dg, TW_UINT16 dat,
                               TW_UINT16 msg, TW_MEMREF data) {
  const Triplet* t = nullptr;
  for (const Triplet& c : kTriplets)
    if (c.dg == dg && c.dat == dat && c.msg == msg) t = &c;
  Session* session = nullptr;
  if (origin && origin->Id) {
    auto it = sessions_.find(origin->Id);
    if (it != sessions_.end()) session = &it->second;
  }
  const Target target = !t ? kManager : t->target == kEither ? (dest ? kSource : kManager) : t->target;
  auto fail = [&](TW_UINT16 cc) {
    SetCondition(origin, target == kSource ? dest : nullptr, cc);
    return TW_UINT16(TWRC_FAILURE);
  };
  if (!origin || !t) return fail(TWCC_BADPROTOCOL);

  OpenSource* source = nullptr;
  if (target == kManager) {
    if (!(t->states & States(session ? 3 : 2, session ? 3 : 2))) return fail(TWCC_SEQERROR);
  } else {
    if (!session) return fail(TWCC_SEQERROR);
    auto it = dest ? session->open.find(dest->Id) : session->open.end();
    if (it == session->open.end()) {
      SetCondition(origin, nullptr, TWCC_BADDEST);
      return TWRC_FAILURE;
    }
    source = it->second.get();
    if (!(t->states & States(source->state, source->state))) return fail(TWCC_SEQERROR);
  }
  if (t->needsData && !data) return fail(TWCC_BADVALUE);

  Call call{session, source, origin, msg, data, TWCC_SUCCESS};
  const TW_UINT16 rc = (this->*t->handler)(call);
  if (dat != DAT_STATUS) {
    TW_UINT16 cc = rc != TWRC_FAILURE ? TW_UINT16(TWCC_SUCCESS) : call.cc ? call.cc : TW_UINT16(TWCC_BUMMER);
    SetCondition(origin, target == kSource ? dest : nullptr, cc);
  }
  return rc;
}

void SourceManager::SetCondition(const TW_IDENTITY* origin, const TW_IDENTITY* dest, TW_UINT16 cc) {
  auto it = origin && origin->Id ? sessions_.find(origin->Id) : sessions_.end();
  if (it == sessions_.end()) {
    condition_ = cc;
    return;
  }
  auto src = dest ? it->second.open.find(dest->Id) : it->second.open.end();
  (src != it->second.open.end() ? src->second->condition : it->second.condition) = cc;
}

OpenSource* SourceManager::FindOpen(const std::string& deviceName) {
  for (auto& [id, session] : sessions_)
    for (auto& [sid, source] : session.open)
      if (source->info.name == deviceName) return source.get();
  return nullptr;
}

TW_UINT32 SourceManager::IdOf(const std::string& deviceName) {
  auto [it, added] = ids_.emplace(deviceName, nextId_);
  if (added) ++nextId_;
  return it->second;
}

void SourceManager::Describe(const DeviceInfo& d, TW_IDENTITY* out) {
  *out = TW_IDENTITY{};
  out->Id = IdOf(d.name);
  out->Version.MajorNum = 1;
  out->Version.MinorNum = 0;
  out->Version.Language = TW_UINT16(TWLG_USA);
  out->Version.Country = TWCY_USA;
  PutText(out->Version.Info, d.name);
  out->ProtocolMajor = TWON_PROTOCOLMAJOR;
  out->ProtocolMinor = TWON_PROTOCOLMINOR;
  out->SupportedGroups = DG_CONTROL | DG_IMAGE;
  PutText(out->Manufacturer, d.vendor);
  PutText(out->ProductFamily, d.type);
  PutText(out->ProductName, d.model.empty() ? d.name : d.model);
}

// ---- the manager: sessions and the source list

TW_UINT16 SourceManager::OpenDsm(Call& c) {
  const HWND parent = *static_cast<const HWND*>(c.data);
  if (!parent) {
    c.cc = TWCC_BADVALUE;  // events need a window to go to
    return TWRC_FAILURE;
  }
  if (sessions_.empty() && !backend_->Start()) {
    c.cc = TWCC_BUMMER;
    return TWRC_FAILURE;
  }
  Session s;
  s.app = *c.origin;
  s.app.Id = nextId_++;
  s.parent = parent;
  c.origin->Id = s.app.Id;
  sessions_.emplace(s.app.Id, std::move(s));
  return TWRC_SUCCESS;
}

TW_UINT16 SourceManager::CloseDsm(Call& c) {
  if (!c.session->open.empty()) {
    c.cc = TWCC_SEQERROR;  // its sources are to be closed first
    return TWRC_FAILURE;
  }
  sessions_.erase(c.session->app.Id);
  if (sessions_.empty()) backend_->Stop();
  return TWRC_SUCCESS;
}

TW_UINT16 SourceManager::GetFirst(Call& c) {
  c.session->listed = backend_->Devices();
  c.session->next = 0;
  return GetNext(c);
}

TW_UINT16 SourceManager::GetNext(Call& c) {
  Session& s = *c.session;
  if (s.next >= s.listed.size()) return TWRC_ENDOFLIST;
  Describe(s.listed[s.next++], static_cast<pTW_IDENTITY>(c.data));
  return TWRC_SUCCESS;
}

TW_UINT16 SourceManager::GetDefault(Call& c) {
  Session& s = *c.session;
  if (s.listed.empty()) s.listed = backend_->Devices();
  const int i = backend_->DefaultDevice(s.listed);
  if (i < 0 || size_t(i) >= s.listed.size()) {
    c.cc = TWCC_NODS;
    return TWRC_FAILURE;
  }
  Describe(s.listed[size_t(i)], static_cast<pTW_IDENTITY>(c.data));
  return TWRC_SUCCESS;
}

// The source named by Id when the application knows it, else by product
// name; an empty name stands for the default source.
TW_UINT16 SourceManager::OpenDs(Call& c) {
  Session& s = *c.session;
  auto* wanted = static_cast<pTW_IDENTITY>(c.data);
  if (s.listed.empty()) s.listed = backend_->Devices();
  const DeviceInfo* found = nullptr;
  for (const DeviceInfo& d : s.listed)
    if (!found && wanted->Id && IdOf(d.name) == wanted->Id) found = &d;
  if (!found && !wanted->ProductName[0]) {
    const int i = backend_->DefaultDevice(s.listed);
    if (i >= 0 && size_t(i) < s.listed.size()) found = &s.listed[size_t(i)];
  }
  for (const DeviceInfo& d : s.listed) {
    TW_IDENTITY described;
    Describe(d, &described);
    if (!found && SameText(described.ProductName, wanted->ProductName)) found = &d;
  }
  if (!found) {
    c.cc = TWCC_NODS;
    return TWRC_FAILURE;
  }
  if (FindOpen(found->name)) {
    c.cc = TWCC_MAXCONNECTIONS;
    return TWRC_FAILURE;
  }
  auto source = std::make_unique<OpenSource>();
  source->device = backend_->Open(*found, &c.cc);
  if (!source->device) return TWRC_FAILURE;
  source->info = *found;
  Describe(*found, &source->identity);
  source->parent = s.parent;
  source->defaultResolution[0] = source->device->Resolution(Axis::kX);
  source->defaultResolution[1] = source->device->Resolution(Axis::kY);
  source->defaultPixelType = source->device->PixelType();
  *wanted = source->identity;
  s.open.emplace(source->identity.Id, std::move(source));
  return TWRC_SUCCESS;
}

TW_UINT16 SourceManager::CloseDs(Call& c) {
  auto it = c.session->open.find(static_cast<pTW_IDENTITY>(c.data)->Id);
  if (it == c.session->open.end()) {
    c.cc = TWCC_NODS;
    return TWRC_FAILURE;
  }
  if (it->second->state != 4) {
    c.cc = TWCC_SEQERROR;  // still enabled
    return TWRC_FAILURE;
  }
  c.session->open.erase(it);
  return TWRC_SUCCESS;
}

TW_UINT16 SourceManager::Status(Call& c) {
  auto* status = static_cast<TW_STATUS*>(c.data);
  status->ConditionCode = c.source ? c.source->condition : c.session ? c.session->condition : condition_;
  status->Reserved = 0;
  return TWRC_SUCCESS;
}

// ---- a source: enabling, events, negotiation, the batch of transfers

TW_UINT16 SourceManager::EnableDs(Call& c) {
  OpenSource& s = *c.source;
  const auto* ui = static_cast<const TW_USERINTERFACE*>(c.data);
  if (ui->ShowUI && !QCoreApplication::instance()) {
    c.cc = TWCC_OPERATIONERROR;  // no display to show a dialog on
    return TWRC_FAILURE;
  }
  s.showUI = ui->ShowUI != 0;
  if (ui->hParent) s.parent = HWND(reinterpret_cast<uintptr_t>(ui->hParent));
  ++s.round;
  s.state = 5;
  if (!s.showUI) {
    if (s.device->ScansWhenEnabled()) s.StartScan(true);
    return TWRC_SUCCESS;
  }
  OpenSource* src = &s;
  s.dialog = new ScanDialog(
      s.identity.ProductName, s.device.get(), ui->ModalUI != 0,
      [src] {
        src->dialog->SetBusy(true);
        src->StartScan(true);
      },
      [src] {
        src->StopScan();
        src->dialog->SetBusy(false);
        src->Post(MSG_CLOSEDSREQ);
      });
  s.dialog->Show();
  return TWRC_SUCCESS;
}

TW_UINT16 SourceManager::DisableDs(Call& c) {
  OpenSource& s = *c.source;
  s.StopScan();
  s.CloseDialog();
  s.showUI = false;
  ++s.round;
  s.state = 4;
  return TWRC_SUCCESS;
}

TW_UINT16 SourceManager::ProcessEvent(Call& c) {
  OpenSource& s = *c.source;
  auto* event = static_cast<TW_EVENT*>(c.data);
  const auto* m = static_cast<const MSG*>(event->pEvent);
  event->TWMessage = MSG_NULL;
  if (!m) {
    c.cc = TWCC_BADVALUE;
    return TWRC_FAILURE;
  }
  if (m->message != kSourceEventMessage || m->hwnd != s.parent || m->wParam != s.identity.Id)
    return TWRC_NOTDSEVENT;
  if (uint32_t(uint64_t(m->lParam) >> 16) != s.round) return TWRC_DSEVENT;  // from an earlier round
  const TW_UINT16 what = TW_UINT16(m->lParam & 0xFFFF);
  if (what == MSG_XFERREADY) {
    if (s.state != 5) return TWRC_DSEVENT;
    s.state = 6;
    s.pending = TW_UINT16(s.xferCount > 0 ? s.xferCount : 1);
    if (s.dialog) s.dialog->Hide();
  }
  // The device cancelled its read: the dialog is the person's again.
  if (what == MSG_CLOSEDSREQ && s.dialog) s.dialog->SetBusy(false);
  event->TWMessage = what;
  return TWRC_DSEVENT;
}

TW_UINT16 SourceManager::Capability(Call& c) {
  return CapabilityCall(*c.source, c.msg, static_cast<TW_CAPABILITY*>(c.data), &c.cc);
}

void SourceManager::EndBatch(OpenSource& s) {
  s.StopScan();
  s.pending = 0;
  s.state = 5;
  if (s.dialog) {
    s.dialog->SetBusy(false);
    s.dialog->Show();
  }
}

TW_UINT16 SourceManager::PendingXfers(Call& c) {
  OpenSource& s = *c.source;
  auto* p = static_cast<TW_PENDINGXFERS*>(c.data);
  p->EOJ = 0;
  switch (c.msg) {
    case MSG_ENDXFER:
      if (s.pending > 0) --s.pending;
      if (s.pending > 0) {
        s.state = 6;
        s.StartScan(false);  // the next picture; the application asks for it at once
      } else {
        EndBatch(s);
      }
      break;
    case MSG_RESET:
      EndBatch(s);
      break;
    default:
      break;
  }
  p->Count = s.state >= 6 ? s.pending : 0;
  return TWRC_SUCCESS;
}

TW_UINT16 SourceManager::SetupMemXfer(Call& c) {
  return SetupMemory(*c.source, static_cast<TW_SETUPMEMXFER*>(c.data), &c.cc);
}

TW_UINT16 SourceManager::SetupFileXfer(Call& c) {
  return SetupFile(*c.source, c.msg, static_cast<TW_SETUPFILEXFER*>(c.data), &c.cc);
}

TW_UINT16 SourceManager::ImageInfo(Call& c) {
  return twain_dsm::ImageInfo(*c.source, static_cast<TW_IMAGEINFO*>(c.data), &c.cc);
}

TW_UINT16 SourceManager::NativeXfer(Call& c) {
  return NativeTransfer(*c.source, static_cast<TW_HANDLE*>(c.data), &c.cc);
}

TW_UINT16 SourceManager::MemXfer(Call& c) {
  return MemoryTransfer(*c.source, static_cast<TW_IMAGEMEMXFER*>(c.data), &c.cc);
}

TW_UINT16 SourceManager::FileXfer(Call& c) { return FileTransfer(*c.source, &c.cc); }

TW_UINT16 SourceManager::Palette8(Call& c) {
  return Palette(*c.source, static_cast<TW_PALETTE8*>(c.data), &c.cc);
}

}  // namespace twain_dsm
