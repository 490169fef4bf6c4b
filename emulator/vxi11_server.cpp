#include "vxi11_server.h"

#include "bus_actions.h"
#include "line_assembler.h"

#include <arpa/inet.h>
#include <poll.h>
#include <rpc/rpc.h>
// after rpc.h, which it needs
#include <rpc/pmap_prot.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <map>
#include <memory>
#include <vector>

#include "vxi11.h"

namespace emulator {
namespace {

constexpr u_int kCall = 0, kReply = 1, kAccepted = 0;
constexpr u_int kSuccess = 0, kProgramUnavailable = 1, kProcedureUnavailable = 3, kGarbageArguments = 4;
constexpr unsigned long kMaxRecvSize = 1024;
constexpr std::size_t kMostPerRead = 1 << 20;
constexpr long kEndFlag = 8, kTermCharSet = 0x80;
constexpr long kReasonRequestCount = 1, kReasonTermChar = 2, kReasonEnd = 4;
constexpr long kErrorInvalidLink = 4, kErrorIoTimeout = 15, kErrorLocked = 11, kErrorNoLockHeld = 12;
constexpr long kWaitLock = 1;

// One RPC record (all its fragments), or false when the connection ends.
bool ReadRecord(int fd, int stop_fd, std::vector<char>& record) {
  record.clear();
  for (;;) {
    std::uint32_t marker = 0;
    if (!ReadFully(fd, stop_fd, &marker, sizeof marker)) return false;
    marker = ntohl(marker);
    std::size_t length = marker & 0x7FFFFFFFu;
    if (length > (1u << 24)) return false;
    std::size_t offset = record.size();
    record.resize(offset + length);
    if (length > 0 && !ReadFully(fd, stop_fd, record.data() + offset, length)) return false;
    if ((marker & 0x80000000u) != 0) return true;
  }
}

bool WriteRecord(int fd, const char* data, std::size_t size) {
  std::uint32_t marker = htonl(static_cast<std::uint32_t>(size) | 0x80000000u);
  return WriteFully(fd, &marker, sizeof marker) && WriteFully(fd, data, size);
}

struct CallHeader {
  u_int xid = 0, program = 0, version = 0, procedure = 0;
};

bool DecodeHeader(XDR* in, CallHeader& h) {
  u_int type = 0, rpc_version = 0, flavor = 0;
  if (!xdr_u_int(in, &h.xid) || !xdr_u_int(in, &type) || type != kCall || !xdr_u_int(in, &rpc_version) ||
      rpc_version != 2 || !xdr_u_int(in, &h.program) || !xdr_u_int(in, &h.version) || !xdr_u_int(in, &h.procedure))
    return false;
  for (int i = 0; i < 2; ++i) {  // credential and verifier: skipped
    char body[400];
    char* p = body;
    u_int length = 0;
    if (!xdr_u_int(in, &flavor) || !xdr_bytes(in, &p, &length, sizeof body)) return false;
  }
  return true;
}

// Encodes and sends a reply: the accepted-reply header, then `encode(result)`.
bool Reply(int fd, const CallHeader& h, u_int status, xdrproc_t encode, void* result) {
  // The accepted-reply header, then the result at its encoded size.
  std::size_t result_size = status == kSuccess && encode != nullptr ? xdr_sizeof(encode, result) : 0;
  std::vector<char> buffer(result_size + 64);
  XDR out;
  xdrmem_create(&out, buffer.data(), static_cast<u_int>(buffer.size()), XDR_ENCODE);
  u_int xid = h.xid, type = kReply, accepted = kAccepted, flavor = 0, length = 0;
  bool ok = xdr_u_int(&out, &xid) && xdr_u_int(&out, &type) && xdr_u_int(&out, &accepted) &&
            xdr_u_int(&out, &flavor) && xdr_u_int(&out, &length) && xdr_u_int(&out, &status);
  if (ok && status == kSuccess && encode != nullptr) ok = encode(&out, result) != 0;
  std::size_t size = xdr_getpos(&out);
  xdr_destroy(&out);
  return ok && WriteRecord(fd, buffer.data(), size);
}

// What an instrument sends back on a link, held until device_read takes it.
// An instrument that takes its time does so while the client reads, as a real
// one would, not while device_write holds the link: a pause only moves the
// moment its reply becomes readable.
class LinkClient final : public Client {
 public:
  using Clock = std::chrono::steady_clock;
  void send(std::string_view bytes) override { output.append(bytes); }
  void close() override { closed = true; }
  bool pause(std::chrono::milliseconds duration) override {
    readable_at = std::max(readable_at, Clock::now()) + duration;
    return true;
  }
  void discard() {
    output.clear();
    readable_at = {};
  }
  std::string output;
  Clock::time_point readable_at{};
  bool closed = false;
};

struct Link {
  std::unique_ptr<Connection> connection;
  LinkClient client;
  LineAssembler input;  // the message being written
};

}  // namespace

Vxi11Server::Vxi11Server(Instrument& instrument, Transcript* transcript)
    : instrument_(instrument),
      transcript_(transcript),
      portmapper_([this](int fd, int stop) { ServePortmapper(fd, stop); }),
      core_([this](int fd, int stop) { ServeCore(fd, stop); }) {}

Vxi11Server::~Vxi11Server() { stop(); }

std::string Vxi11Server::start(const std::string& address, unsigned portmapper_port, unsigned core_port) {
  std::string error = core_.start(address, core_port);
  if (error.empty()) error = portmapper_.start(address, portmapper_port);
  return error;
}

void Vxi11Server::stop() {
  portmapper_.stop();
  core_.stop();
}

void Vxi11Server::ServePortmapper(int fd, int stop_fd) {
  std::vector<char> record;
  while (ReadRecord(fd, stop_fd, record)) {
    XDR in;
    xdrmem_create(&in, record.data(), static_cast<u_int>(record.size()), XDR_DECODE);
    CallHeader h;
    bool ok = DecodeHeader(&in, h);
    if (ok && h.program == PMAPPROG && h.procedure == PMAPPROC_GETPORT) {
      pmap query{};
      u_long port = 0;
      if (xdr_pmap(&in, &query) && query.pm_prog == DEVICE_CORE && query.pm_prot == IPPROTO_TCP) port = core_.port();
      ok = Reply(fd, h, kSuccess, reinterpret_cast<xdrproc_t>(xdr_u_long), &port);
    } else if (ok && h.program == PMAPPROG && h.procedure == PMAPPROC_NULL) {
      ok = Reply(fd, h, kSuccess, nullptr, nullptr);
    } else if (ok) {
      ok = Reply(fd, h, h.program == PMAPPROG ? kProcedureUnavailable : kProgramUnavailable, nullptr, nullptr);
    }
    xdr_destroy(&in);
    if (!ok) return;
  }
}

namespace {

// The core channel's state on one connection: its links, and the instrument's lock they share.
struct CoreChannel {
  Instrument& instrument;
  Transcript* transcript;
  Vxi11Server::DeviceLock& instrument_lock;
  std::map<long, Link> links;
  int stop_fd;

  ~CoreChannel() {
    for (const auto& [lid, link] : links) Release(lid);
  }

  // Whether `lid` may use the instrument now, or after waiting for the lock when it asks to.
  long Access(long lid, long flags, u_long lock_timeout_ms) {
    std::unique_lock guard(instrument_lock.mutex);
    auto free = [&] { return instrument_lock.owner == 0 || instrument_lock.owner == lid; };
    if (free()) return 0;
    if ((flags & kWaitLock) == 0) return kErrorLocked;
    auto wait = std::chrono::milliseconds(std::min<u_long>(lock_timeout_ms, 60000));
    return instrument_lock.released.wait_for(guard, wait, free) ? 0 : kErrorLocked;
  }
  // The link a call names, once it may use the instrument; null with `error` set otherwise.
  Link* Usable(long lid, long flags, u_long lock_timeout_ms, long& error) {
    auto it = links.find(lid);
    if (it == links.end()) {
      error = kErrorInvalidLink;
      return nullptr;
    }
    error = Access(lid, flags, lock_timeout_ms);
    return error == 0 ? &it->second : nullptr;
  }

  void Release(long lid) {
    std::lock_guard guard(instrument_lock.mutex);
    if (instrument_lock.owner != lid) return;
    instrument_lock.owner = 0;
    instrument_lock.released.notify_all();
  }

  void CreateLink(Create_LinkParms& parms, Create_LinkResp& resp) {
    long lid = instrument_lock.next_lid++;
    if (parms.lockDevice) {
      if (long error = Access(lid, kWaitLock, parms.lock_timeout); error != 0) {
        resp.error = error;
        return;
      }
      std::lock_guard guard(instrument_lock.mutex);
      instrument_lock.owner = lid;
    }
    links[lid].connection = instrument.connect();
    resp.lid = lid;
    resp.maxRecvSize = kMaxRecvSize;
  }

  void Lock(Device_LockParms& parms, Device_Error& resp) {
    if (links.count(parms.lid) == 0) {
      resp.error = kErrorInvalidLink;
      return;
    }
    resp.error = Access(parms.lid, parms.flags, parms.lock_timeout);
    if (resp.error != 0) return;
    std::lock_guard guard(instrument_lock.mutex);
    instrument_lock.owner = parms.lid;
  }

  void Unlock(Device_Link& lid, Device_Error& resp) {
    if (links.count(lid) == 0) {
      resp.error = kErrorInvalidLink;
      return;
    }
    std::lock_guard guard(instrument_lock.mutex);
    if (instrument_lock.owner != lid) {
      resp.error = kErrorNoLockHeld;
      return;
    }
    instrument_lock.owner = 0;
    instrument_lock.released.notify_all();
  }

  void Write(Device_WriteParms& parms, Device_WriteResp& resp) {
    Link* usable = Usable(parms.lid, parms.flags, parms.lock_timeout, resp.error);
    if (usable == nullptr) return;
    Link& link = *usable;
    // A new message drops a reply nobody read (as an instrument's query-interrupted rule does).
    if (link.input.empty()) link.client.discard();
    resp.size = parms.data.data_len;
    bool end = (parms.flags & kEndFlag) != 0;
    auto deliver = [&](std::string_view line) {
      if (transcript != nullptr) transcript->record(line);
      link.connection->on_line(line, link.client);
      return true;
    };
    link.input.feed(std::string_view(parms.data.data_val, parms.data.data_len), deliver,
                    [&] { link.connection->on_overlong_line(link.client); });
    if (end) link.input.end(deliver);  // END without a line feed still ends the message
    // An instrument that drops its client destroys the link: this write
    // was taken, every later call on the link is refused.
    if (link.client.closed) {
      Release(parms.lid);
      links.erase(parms.lid);
    }
  }

  // `data` holds the bytes resp.data points at until the reply is sent.
  void Read(Device_ReadParms& parms, Device_ReadResp& resp, std::string& data) {
    Link* link = Usable(parms.lid, parms.flags, parms.lock_timeout, resp.error);
    if (link == nullptr) return;
    LinkClient& client = link->client;
    std::string& output = client.output;
    auto limit = LinkClient::Clock::now() + std::chrono::milliseconds(std::min<u_long>(parms.io_timeout, 60000));
    // Nothing to read (yet): wait for the reply or the read's own timeout, whichever comes first.
    auto wake = output.empty() ? limit : std::min(limit, client.readable_at);
    if (wake > LinkClient::Clock::now()) {
      pollfd p{stop_fd, POLLIN, 0};
      auto wait = std::chrono::ceil<std::chrono::milliseconds>(wake - LinkClient::Clock::now());
      ::poll(&p, 1, static_cast<int>(wait.count()));
    }
    if (output.empty() || client.readable_at > LinkClient::Clock::now()) {
      resp.error = kErrorIoTimeout;
      return;
    }
    // At most a bounded piece per reply, however much the client asks for.
    std::size_t most = std::min<std::size_t>({output.size(), parms.requestSize, kMostPerRead});
    std::size_t message_end = output.find('\n');
    std::size_t take = std::min(most, message_end == std::string::npos ? output.size() : message_end + 1);
    if ((parms.flags & kTermCharSet) != 0) {
      std::size_t term = output.find(parms.termChar);
      if (term != std::string::npos && term < take) take = term + 1;
    }
    data = output.substr(0, take);
    output.erase(0, take);
    if (transcript != nullptr) transcript->record_reply(data);
    if (message_end != std::string::npos && take == message_end + 1) resp.reason |= kReasonEnd;
    if ((parms.flags & kTermCharSet) != 0 && !data.empty() && data.back() == parms.termChar)
      resp.reason |= kReasonTermChar;
    if (resp.reason == 0) {
      if (take == parms.requestSize) {
        resp.reason = kReasonRequestCount;
      } else if (take == kMostPerRead) {
        // More of the message follows in the next read.
      } else {
        // Part of a message and no more coming: the rest never arrives in time.
        resp.error = kErrorIoTimeout;
        output.insert(0, data);
        data.clear();
      }
    }
    resp.data.data_len = static_cast<u_int>(data.size());
    resp.data.data_val = data.data();
  }

  void Clear(Device_GenericParms& parms, Device_Error& resp) {
    Link* link = Usable(parms.lid, parms.flags, parms.lock_timeout, resp.error);
    if (link == nullptr) return;
    link->input.clear();
    link->client.discard();
  }

  void ReadStb(Device_GenericParms& parms, Device_ReadStbResp& resp) {
    Link* link = Usable(parms.lid, parms.flags, parms.lock_timeout, resp.error);
    if (link == nullptr) return;
    resp.stb = static_cast<u_char>(ReadStatusByte(*link->connection, !link->client.output.empty()));
  }

  void Trigger(Device_GenericParms& parms, Device_Error& resp) {
    Link* link = Usable(parms.lid, parms.flags, parms.lock_timeout, resp.error);
    if (link == nullptr) return;
    DeviceTrigger(*link->connection, transcript);
  }

  void DestroyLink(Device_Link& lid, Device_Error& resp) {
    if (links.erase(lid) == 0) {
      resp.error = kErrorInvalidLink;
      return;
    }
    Release(lid);
  }
};

// One procedure: decode the arguments, handle them, encode the result; arguments
// that do not decode are answered GARBAGE_ARGS.
template <typename Params, typename Result, typename Handle>
bool Serve(int fd, const CallHeader& h, XDR* in, bool_t (*decode)(XDR*, Params*), bool_t (*encode)(XDR*, Result*),
           Handle&& handle) {
  Params parms{};
  Result resp{};
  bool ok = decode(in, &parms) ? (handle(parms, resp), Reply(fd, h, kSuccess, reinterpret_cast<xdrproc_t>(encode), &resp))
                               : Reply(fd, h, kGarbageArguments, nullptr, nullptr);
  xdr_free(reinterpret_cast<xdrproc_t>(decode), reinterpret_cast<char*>(&parms));
  return ok;
}

using Procedure = bool (*)(CoreChannel&, int fd, const CallHeader&, XDR*);

struct ProcedureRow {
  u_int number;
  Procedure serve;
};

constexpr ProcedureRow kProcedures[] = {
    {10, [](CoreChannel& c, int fd, const CallHeader& h, XDR* in) {  // create_link
       return Serve(fd, h, in, xdr_Create_LinkParms, xdr_Create_LinkResp,
                    [&](Create_LinkParms& p, Create_LinkResp& r) { c.CreateLink(p, r); });
     }},
    {11, [](CoreChannel& c, int fd, const CallHeader& h, XDR* in) {  // device_write
       return Serve(fd, h, in, xdr_Device_WriteParms, xdr_Device_WriteResp,
                    [&](Device_WriteParms& p, Device_WriteResp& r) { c.Write(p, r); });
     }},
    {12, [](CoreChannel& c, int fd, const CallHeader& h, XDR* in) {  // device_read
       std::string data;
       return Serve(fd, h, in, xdr_Device_ReadParms, xdr_Device_ReadResp,
                    [&](Device_ReadParms& p, Device_ReadResp& r) { c.Read(p, r, data); });
     }},
    {13, [](CoreChannel& c, int fd, const CallHeader& h, XDR* in) {  // device_readstb
       return Serve(fd, h, in, xdr_Device_GenericParms, xdr_Device_ReadStbResp,
                    [&](Device_GenericParms& p, Device_ReadStbResp& r) { c.ReadStb(p, r); });
     }},
    {14, [](CoreChannel& c, int fd, const CallHeader& h, XDR* in) {  // device_trigger
       return Serve(fd, h, in, xdr_Device_GenericParms, xdr_Device_Error,
                    [&](Device_GenericParms& p, Device_Error& r) { c.Trigger(p, r); });
     }},
    {15, [](CoreChannel& c, int fd, const CallHeader& h, XDR* in) {  // device_clear
       return Serve(fd, h, in, xdr_Device_GenericParms, xdr_Device_Error,
                    [&](Device_GenericParms& p, Device_Error& r) { c.Clear(p, r); });
     }},
    {18, [](CoreChannel& c, int fd, const CallHeader& h, XDR* in) {  // device_lock
       return Serve(fd, h, in, xdr_Device_LockParms, xdr_Device_Error,
                    [&](Device_LockParms& p, Device_Error& r) { c.Lock(p, r); });
     }},
    {19, [](CoreChannel& c, int fd, const CallHeader& h, XDR* in) {  // device_unlock
       return Serve(fd, h, in, xdr_Device_Link, xdr_Device_Error,
                    [&](Device_Link& p, Device_Error& r) { c.Unlock(p, r); });
     }},
    {23, [](CoreChannel& c, int fd, const CallHeader& h, XDR* in) {  // destroy_link
       return Serve(fd, h, in, xdr_Device_Link, xdr_Device_Error,
                    [&](Device_Link& p, Device_Error& r) { c.DestroyLink(p, r); });
     }},
};

}  // namespace

void Vxi11Server::ServeCore(int fd, int stop_fd) {
  CoreChannel channel{instrument_, transcript_, lock_, {}, stop_fd};
  std::vector<char> record;
  while (ReadRecord(fd, stop_fd, record)) {
    XDR in;
    xdrmem_create(&in, record.data(), static_cast<u_int>(record.size()), XDR_DECODE);
    CallHeader h;
    bool ok = DecodeHeader(&in, h);
    if (!ok) {
      xdr_destroy(&in);
      return;
    }
    const ProcedureRow* row = nullptr;
    for (const ProcedureRow& r : kProcedures) {
      if (r.number == h.procedure) row = &r;
    }
    if (h.program != DEVICE_CORE) {
      ok = Reply(fd, h, kProgramUnavailable, nullptr, nullptr);
    } else if (row == nullptr) {
      ok = Reply(fd, h, kProcedureUnavailable, nullptr, nullptr);
    } else {
      ok = row->serve(channel, fd, h, &in);
    }
    xdr_destroy(&in);
    if (!ok) return;
  }
}

}  // namespace emulator
