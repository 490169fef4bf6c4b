// SPDX-License-Identifier: MIT
#include "vxi11_service.h"

#include <algorithm>
#include <atomic>
#include <map>
#include <memory>

namespace gateway {
namespace {

using namespace emulator::vxi11;
using std::chrono::milliseconds;

constexpr u_long kMaxRecvSize = 1 << 20;
constexpr std::size_t kMostPerRead = 1 << 20;
constexpr int kMessageAvailable = 0x10;  // MAV in the status byte

// VXI-11's error for a VISA status; I/O error for any not listed.
long ErrorFor(ViStatus status) {
  static constexpr struct {
    ViStatus status;
    long error;
  } kErrors[] = {
      {VI_ERROR_TMO, kErrorIoTimeout},       {VI_ERROR_RSRC_LOCKED, kErrorLocked},
      {VI_ERROR_NSUP_OPER, kErrorNotSupported}, {VI_ERROR_ALLOC, kErrorOutOfResources},
      {VI_ERROR_ABORT, kErrorAbort},
  };
  for (const auto& row : kErrors) {
    if (row.status == status) return row.error;
  }
  return status < 0 ? kErrorIo : 0;
}

// A lock wait as a call's flags ask: up to its lock timeout with "wait lock", else none.
milliseconds LockWait(long flags, u_long lock_timeout) {
  return milliseconds((flags & kWaitLock) != 0 ? std::min<u_long>(lock_timeout, 3600000) : 0);
}

milliseconds IoTimeout(u_long io_timeout) { return milliseconds(std::min<u_long>(io_timeout, 3600000)); }

struct Link {
  ClientId client = 0;
  std::shared_ptr<ForwardedInstrument> instrument;
  std::string message;  // what was written since the last END
  bool too_large = false;
  std::string reply;  // the response to the last query, and how much device_read took of it
  std::size_t taken = 0;
  long reply_error = 0;  // the response could not be read: told at the next device_read
  // The status byte read when the instrument asked for service, for the link's next device_readstb.
  std::shared_ptr<std::atomic<int>> service_request_status = std::make_shared<std::atomic<int>>(-1);
};

}  // namespace

// The core channel's state on one connection: its links to instruments.
struct GatewayChannel {
  InstrumentPool& pool;
  const ServiceSettings& settings;
  std::map<long, Link> links;
  InterruptChannel interrupts;

  ~GatewayChannel() {
    while (!links.empty()) Forget(links.begin()->first);
  }

  void Forget(long lid) {
    Link& link = links.at(lid);
    link.instrument->StopListening(link.client);
    link.instrument->ReleaseLocks(link.client);
    interrupts.Forget(lid);
    links.erase(lid);
  }

  // The link a call names, once no other client's lock is in its way; null with `error` set otherwise.
  Link* Usable(long lid, long flags, u_long lock_timeout, long& error) {
    auto it = links.find(lid);
    if (it == links.end()) {
      error = kErrorInvalidLink;
      return nullptr;
    }
    if (!it->second.instrument->WaitAccess(it->second.client, LockWait(flags, lock_timeout))) {
      error = kErrorLocked;
      return nullptr;
    }
    return &it->second;
  }

  void CreateLink(Create_LinkParms& parms, Create_LinkResp& resp) {
    Link link;
    link.client = NewClientId();
    const std::string name = parms.device != nullptr ? parms.device : "";
    if (pool.acquire(name, link.instrument) < 0) {
      resp.error = kErrorNotAccessible;
      return;
    }
    if (parms.lockDevice &&
        link.instrument->RequestLock(link.client, "", milliseconds(std::min<u_long>(parms.lock_timeout, 3600000))) !=
            hislip::kLockSuccess) {
      resp.error = kErrorLocked;
      return;
    }
    resp.lid = static_cast<long>(link.client);
    resp.maxRecvSize = kMaxRecvSize;
    links.emplace(resp.lid, std::move(link));
  }

  void Write(Device_WriteParms& parms, Device_WriteResp& resp) {
    Link* link = Usable(parms.lid, parms.flags, parms.lock_timeout, resp.error);
    if (link == nullptr) return;
    if (link->message.size() + parms.data.data_len > settings.most_message_bytes) link->too_large = true;
    if (!link->too_large) link->message.append(parms.data.data_val, parms.data.data_len);
    resp.size = parms.data.data_len;
    if ((parms.flags & kEndFlag) == 0) return;
    // A new message drops a response nobody read.
    link->reply.clear();
    link->taken = 0;
    link->reply_error = 0;
    if (link->too_large) {
      resp.error = kErrorOutOfResources;
    } else {
      bool answered = false;
      ViStatus st = link->instrument->Send(link->client, link->message, IoTimeout(parms.io_timeout), answered,
                                           link->reply);
      if (st < 0 && answered)
        link->reply_error = ErrorFor(st);
      else if (st < 0)
        resp.error = ErrorFor(st);
    }
    link->message.clear();
    link->too_large = false;
  }

  // `data` holds the bytes resp.data points at until the reply is sent.
  void Read(Device_ReadParms& parms, Device_ReadResp& resp, std::string& data) {
    Link* link = Usable(parms.lid, parms.flags, parms.lock_timeout, resp.error);
    if (link == nullptr) return;
    const bool by_termchar = (parms.flags & kTermCharSet) != 0;
    if (link->reply_error != 0) {
      resp.error = std::exchange(link->reply_error, 0);
    } else if (link->taken < link->reply.size()) {
      // The response already read: a piece of it, as large as the client takes.
      const std::string_view unread = std::string_view(link->reply).substr(link->taken);
      std::size_t take = std::min<std::size_t>({unread.size(), parms.requestSize, kMostPerRead});
      if (by_termchar) {
        const std::size_t term = unread.substr(0, take).find(static_cast<char>(parms.termChar));
        if (term != std::string_view::npos) take = term + 1;
      }
      data.assign(unread.substr(0, take));
      link->taken += take;
      if (link->taken == link->reply.size()) resp.reason |= kReasonEnd;
    } else {
      // Nothing asked for by a query: read from the instrument itself.
      bool end = false;
      ViStatus st = link->instrument->Read(link->client, std::min<std::size_t>(parms.requestSize, kMostPerRead),
                                           IoTimeout(parms.io_timeout), by_termchar ? parms.termChar : -1, data, end);
      if (st < 0) {
        resp.error = ErrorFor(st);
        data.clear();
      }
      if (end) resp.reason |= kReasonEnd;
    }
    if (by_termchar && !data.empty() && data.back() == static_cast<char>(parms.termChar)) resp.reason |= kReasonTermChar;
    if (resp.error == 0 && resp.reason == 0 && data.size() == parms.requestSize) resp.reason = kReasonRequestCount;
    resp.data.data_len = static_cast<u_int>(data.size());
    resp.data.data_val = data.data();
  }

  void ReadStb(Device_GenericParms& parms, Device_ReadStbResp& resp) {
    Link* link = Usable(parms.lid, parms.flags, parms.lock_timeout, resp.error);
    if (link == nullptr) return;
    int stb = link->service_request_status->exchange(-1);
    if (stb < 0) {
      if (ViStatus st = link->instrument->ReadStatusByte(link->client, IoTimeout(parms.io_timeout), stb); st < 0) {
        resp.error = ErrorFor(st);
        return;
      }
    }
    if (link->taken < link->reply.size()) stb |= kMessageAvailable;
    resp.stb = static_cast<u_char>(stb);
  }

  // The operations that only pass a status back.
  template <typename Operation>
  void Simple(Device_GenericParms& parms, Device_Error& resp, Operation&& operation) {
    Link* link = Usable(parms.lid, parms.flags, parms.lock_timeout, resp.error);
    if (link == nullptr) return;
    if (ViStatus st = operation(*link, IoTimeout(parms.io_timeout)); st < 0) resp.error = ErrorFor(st);
  }
  void Trigger(Device_GenericParms& parms, Device_Error& resp) {
    Simple(parms, resp, [](Link& l, milliseconds t) { return l.instrument->Trigger(l.client, t); });
  }
  void Clear(Device_GenericParms& parms, Device_Error& resp) {
    Simple(parms, resp, [](Link& l, milliseconds t) {
      l.message.clear();
      l.reply.clear();
      l.taken = 0;
      l.reply_error = 0;
      return l.instrument->Clear(l.client, t);
    });
  }
  void Remote(Device_GenericParms& parms, Device_Error& resp) {
    Simple(parms, resp,
           [](Link& l, milliseconds t) { return l.instrument->ControlRen(l.client, VI_GPIB_REN_ASSERT_ADDRESS, t); });
  }
  void Local(Device_GenericParms& parms, Device_Error& resp) {
    Simple(parms, resp,
           [](Link& l, milliseconds t) { return l.instrument->ControlRen(l.client, VI_GPIB_REN_ADDRESS_GTL, t); });
  }

  void Lock(Device_LockParms& parms, Device_Error& resp) {
    auto it = links.find(parms.lid);
    if (it == links.end()) {
      resp.error = kErrorInvalidLink;
      return;
    }
    Link& link = it->second;
    if (link.instrument->RequestLock(link.client, "", LockWait(parms.flags, parms.lock_timeout)) != hislip::kLockSuccess)
      resp.error = kErrorLocked;
  }

  void Unlock(Device_Link& lid, Device_Error& resp) {
    auto it = links.find(lid);
    if (it == links.end()) {
      resp.error = kErrorInvalidLink;
      return;
    }
    if (it->second.instrument->ReleaseLock(it->second.client) != hislip::kLockSuccess) resp.error = kErrorNoLockHeld;
  }

  void EnableServiceRequests(Device_EnableSrqParms& parms, Device_Error& resp) {
    auto it = links.find(parms.lid);
    if (it == links.end()) {
      resp.error = kErrorInvalidLink;
      return;
    }
    Link& link = it->second;
    const long lid = parms.lid;
    interrupts.Enable(lid, parms.enable, std::string(parms.handle.handle_val, parms.handle.handle_len));
    if (!parms.enable) {
      link.instrument->StopListening(link.client);
      return;
    }
    link.instrument->Listen(link.client, [this, lid, status = link.service_request_status](int status_byte) {
      status->store(status_byte);
      interrupts.Send(lid);
    });
  }

  void DestroyLink(Device_Link& lid, Device_Error& resp) {
    if (links.count(lid) == 0) {
      resp.error = kErrorInvalidLink;
      return;
    }
    Forget(lid);
  }
};

Vxi11Service::Vxi11Service(InstrumentPool& pool, const emulator::TcpListener::Admit& admit, ServiceSettings settings)
    : pool_(pool), settings_(settings), core_([this](int fd, int stop) { ServeCore(fd, stop); }) {
  portmapper_.set_admit(admit);
  core_.set_admit(admit);
}

Vxi11Service::~Vxi11Service() { stop(); }

std::string Vxi11Service::start(const std::string& address, unsigned portmapper_port) {
  std::string error = core_.start(address, 0);
  if (error.empty()) error = portmapper_.start(address, portmapper_port, core_.port());
  return error;
}

void Vxi11Service::stop() {
  portmapper_.stop();
  core_.stop();
}

void Vxi11Service::ServeCore(int fd, int stop_fd) {
  GatewayChannel channel{pool_, settings_, {}, {}};
  ServeCoreCalls(fd, stop_fd, channel);
}

}  // namespace gateway
