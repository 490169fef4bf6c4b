// SPDX-License-Identifier: MIT
#include "vxi11_server.h"

#include "bus_actions.h"
#include "line_assembler.h"
#include "unique_fd.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <rpc/rpc.h>
// after rpc.h, which it needs
#include <rpc/pmap_prot.h>

#include <algorithm>
#include <chrono>
#include <cerrno>
#include <cstring>
#include <map>
#include <optional>
#include <memory>
#include <vector>

#include "onc_rpc.h"
#include "vxi11.h"

namespace emulator {
namespace {

constexpr u_int kReply = onc_rpc::kReply, kAccepted = 0;
constexpr u_int kSuccess = 0, kProgramUnavailable = 1, kProcedureUnavailable = 3, kGarbageArguments = 4;
constexpr unsigned long kMaxRecvSize = 1024;
constexpr std::size_t kMostPerRead = 1 << 20;
constexpr long kEndFlag = 8, kTermCharSet = 0x80;
constexpr long kReasonRequestCount = 1, kReasonTermChar = 2, kReasonEnd = 4;
constexpr long kErrorInvalidLink = 4, kErrorIoTimeout = 15, kErrorLocked = 11, kErrorNoLockHeld = 12;
constexpr long kErrorChannelNotEstablished = 6, kErrorChannelEstablished = 29;
constexpr int kInterruptConnectMs = 2000;
constexpr long kWaitLock = 1;
constexpr std::size_t kMarker = 4;  // a TCP record's marker, in front of each reply

using onc_rpc::CallHeader;

// The records of one connection, read through a buffer: a call usually
// comes whole in one receive, marker and body together.
class RecordReader {
 public:
  RecordReader(int fd, int stop_fd) : fd_(fd), stop_fd_(stop_fd) {}
  // One RPC record (all its fragments), or false when the connection ends.
  bool next(std::vector<char>& record) {
    return onc_rpc::ReadRecord([this](void* data, std::size_t size) { return read(data, size); }, record);
  }

 private:
  bool read(void* data, std::size_t size) {
    char* p = static_cast<char*>(data);
    while (size > 0) {
      if (begin_ == end_) {
        // A large piece goes straight to its place.
        if (size >= sizeof buffer_) return ReadFully(fd_, stop_fd_, p, size);
        begin_ = 0;
        end_ = ReadSome(fd_, stop_fd_, buffer_, sizeof buffer_);
        if (end_ == 0) return false;
      }
      const std::size_t n = std::min(size, end_ - begin_);
      std::memcpy(p, buffer_ + begin_, n);
      begin_ += n;
      p += n;
      size -= n;
    }
    return true;
  }

  int fd_, stop_fd_;
  char buffer_[16384];
  std::size_t begin_ = 0, end_ = 0;
};

bool DecodeHeader(XDR* in, CallHeader& h) { return onc_rpc::DecodeCallHeader(in, h); }

// Encodes a reply, the accepted-reply header then `encode(result)`, behind
// four bytes left for a TCP record marker; `size` is the reply's own length.
bool EncodeReply(const CallHeader& h, u_int status, xdrproc_t encode, void* result, std::vector<char>& buffer,
                 std::size_t& size) {
  std::size_t result_size = status == kSuccess && encode != nullptr ? xdr_sizeof(encode, result) : 0;
  buffer.assign(kMarker + result_size + 64, '\0');
  XDR out;
  xdrmem_create(&out, buffer.data() + kMarker, static_cast<u_int>(buffer.size() - kMarker), XDR_ENCODE);
  u_int xid = h.xid, type = kReply, accepted = kAccepted, flavor = 0, length = 0;
  bool ok = xdr_u_int(&out, &xid) && xdr_u_int(&out, &type) && xdr_u_int(&out, &accepted) &&
            xdr_u_int(&out, &flavor) && xdr_u_int(&out, &length) && xdr_u_int(&out, &status);
  if (ok && status == kSuccess && encode != nullptr) ok = encode(&out, result) != 0;
  size = xdr_getpos(&out);
  xdr_destroy(&out);
  return ok;
}

// Sends a reply on a TCP connection, marker and all in one send.
bool Reply(int fd, const CallHeader& h, u_int status, xdrproc_t encode, void* result) {
  std::vector<char> buffer;
  std::size_t size = 0;
  if (!EncodeReply(h, status, encode, result, buffer, size)) return false;
  const std::uint32_t marker = onc_rpc::LastFragmentMarker(size);
  std::memcpy(buffer.data(), &marker, sizeof marker);
  return WriteFully(fd, buffer.data(), kMarker + size);
}

// What an instrument sends back on a link, held until device_read takes it.
// An instrument that takes its time does so while the client reads, as a real
// one would, not while device_write holds the link: a pause only moves the
// moment its reply becomes readable.
class LinkClient final : public Client {
 public:
  using Clock = std::chrono::steady_clock;
  void send(std::string_view bytes) override {
    if (taken == output.size()) discard_taken();
    output.append(bytes);
  }
  void close() override { closed = true; }
  bool pause(std::chrono::milliseconds duration) override {
    readable_at = std::max(readable_at, Clock::now()) + duration;
    return true;
  }
  void discard() {
    discard_taken();
    readable_at = {};
  }
  // What device_read has not taken yet; taking moves an offset, so a large
  // reply read in many pieces is never moved or searched whole.
  std::string_view unread() const { return std::string_view(output).substr(taken); }
  void take(std::size_t n) { taken += n; }
  void put_back(std::size_t n) { taken -= n; }
  std::string output;
  std::size_t taken = 0;
  Clock::time_point readable_at{};
  bool closed = false;

 private:
  void discard_taken() {
    output.clear();
    taken = 0;
  }
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
  if (error.empty()) error = start_datagrams(address);
  return error;
}

// The portmapper on UDP, at the port its TCP listener has.
std::string Vxi11Server::start_datagrams(const std::string& address) {
  udp_.reset(::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0));
  sockaddr_in at{};
  at.sin_family = AF_INET;
  at.sin_port = htons(static_cast<std::uint16_t>(portmapper_.port()));
  if (!udp_ || ::inet_pton(AF_INET, address.c_str(), &at.sin_addr) != 1 ||
      ::bind(udp_.get(), reinterpret_cast<sockaddr*>(&at), sizeof at) != 0)
    return "cannot serve the portmapper on UDP port " + std::to_string(portmapper_.port()) + ": " + std::strerror(errno);
  int pipe_fds[2];
  if (::pipe2(pipe_fds, O_CLOEXEC) != 0) return "cannot create a pipe";
  udp_wake_read_.reset(pipe_fds[0]);
  udp_wake_write_.reset(pipe_fds[1]);
  udp_thread_ = std::thread([this] { ServePortmapperDatagrams(); });
  return {};
}

void Vxi11Server::stop() {
  if (udp_thread_.joinable()) {
    char byte = 0;
    (void)!::write(udp_wake_write_.get(), &byte, 1);
    udp_thread_.join();
  }
  portmapper_.stop();
  core_.stop();
}

// The portmapper's answer to one call, or false for a call it cannot read.
bool Vxi11Server::AnswerPortmapper(const std::vector<char>& record, std::vector<char>& reply, std::size_t& size) {
  XDR in;
  xdrmem_create(&in, const_cast<char*>(record.data()), static_cast<u_int>(record.size()), XDR_DECODE);
  CallHeader h;
  bool ok = DecodeHeader(&in, h);
  if (ok && h.program == PMAPPROG && h.procedure == PMAPPROC_GETPORT) {
    pmap query{};
    u_long port = 0;
    if (xdr_pmap(&in, &query) && query.pm_prog == DEVICE_CORE && query.pm_prot == IPPROTO_TCP) port = core_.port();
    ok = EncodeReply(h, kSuccess, reinterpret_cast<xdrproc_t>(xdr_u_long), &port, reply, size);
  } else if (ok && h.program == PMAPPROG && h.procedure == PMAPPROC_NULL) {
    ok = EncodeReply(h, kSuccess, nullptr, nullptr, reply, size);
  } else if (ok) {
    ok = EncodeReply(h, h.program == PMAPPROG ? kProcedureUnavailable : kProgramUnavailable, nullptr, nullptr, reply,
                     size);
  }
  xdr_destroy(&in);
  return ok;
}

void Vxi11Server::ServePortmapper(int fd, int stop_fd) {
  std::vector<char> record, reply;
  RecordReader reader(fd, stop_fd);
  while (reader.next(record)) {
    std::size_t size = 0;
    if (!AnswerPortmapper(record, reply, size)) return;
    const std::uint32_t marker = onc_rpc::LastFragmentMarker(size);
    std::memcpy(reply.data(), &marker, sizeof marker);
    if (!WriteFully(fd, reply.data(), kMarker + size)) return;
  }
}

// Over UDP each datagram is one call and its answer one datagram back, as
// broadcast discovery (ours, lxi-tools', PyVISA-py's) sends them.
void Vxi11Server::ServePortmapperDatagrams() {
  std::vector<char> record(65536), reply;
  for (;;) {
    pollfd fds[2] = {{udp_.get(), POLLIN, 0}, {udp_wake_read_.get(), POLLIN, 0}};
    int n = ::poll(fds, 2, -1);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 || (fds[1].revents & POLLIN) != 0) return;
    sockaddr_storage from{};
    socklen_t from_size = sizeof from;
    record.resize(65536);
    ssize_t got = ::recvfrom(udp_.get(), record.data(), record.size(), 0, reinterpret_cast<sockaddr*>(&from), &from_size);
    if (got <= 0) continue;
    record.resize(static_cast<std::size_t>(got));
    std::size_t size = 0;
    if (!AnswerPortmapper(record, reply, size)) continue;
    ::sendto(udp_.get(), reply.data() + kMarker, size, 0, reinterpret_cast<sockaddr*>(&from), from_size);
  }
}

namespace {

// A TCP connection to `address:port` within a bounded time, or an invalid fd.
UniqueFd ConnectWithin(std::uint32_t address, std::uint16_t port, int timeout_ms) {
  UniqueFd fd(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0));
  if (!fd) return fd;
  sockaddr_in to{};
  to.sin_family = AF_INET;
  to.sin_addr.s_addr = htonl(address);
  to.sin_port = htons(port);
  if (::connect(fd.get(), reinterpret_cast<sockaddr*>(&to), sizeof to) != 0) {
    pollfd p{fd.get(), POLLOUT, 0};
    int error = 0;
    socklen_t length = sizeof error;
    if (errno != EINPROGRESS || ::poll(&p, 1, timeout_ms) != 1 ||
        ::getsockopt(fd.get(), SOL_SOCKET, SO_ERROR, &error, &length) != 0 || error != 0)
      return UniqueFd();
  }
  int blocking = ::fcntl(fd.get(), F_GETFL) & ~O_NONBLOCK;
  ::fcntl(fd.get(), F_SETFL, blocking);
  return fd;
}

// The interrupt channel a client asked for with create_intr_chan, and the
// links that asked for service requests with device_enable_srq. Service
// requests are sent from whichever thread raised them, so all of it is
// guarded by `mutex`.
struct InterruptChannel {
  std::mutex mutex;
  UniqueFd fd;
  u_int program = 0, version = 0, next_xid = 1;
  std::map<long, std::string> handles;  // link ID -> the handle its client gave

  void Send() {
    std::lock_guard lock(mutex);
    if (!fd || handles.empty()) return;
    char ignored[256];  // a client that answers the one-way call: its replies are dropped
    while (::recv(fd.get(), ignored, sizeof ignored, MSG_DONTWAIT) > 0) {
    }
    for (auto& [lid, handle] : handles) {
      Device_SrqParms parms{};
      parms.handle.handle_len = static_cast<u_int>(handle.size());
      parms.handle.handle_val = handle.data();
      std::string call = onc_rpc::EncodeCall({next_xid++, program, version, 30},
                                             reinterpret_cast<xdrproc_t>(xdr_Device_SrqParms), &parms);
      if (!WriteFully(fd.get(), call.data(), call.size())) {
        fd.reset();
        return;
      }
    }
  }
};

// The core channel's state on one connection: its links, and the instrument's lock they share.
struct CoreChannel {
  Instrument& instrument;
  Transcript* transcript;
  Vxi11Server::DeviceLock& instrument_lock;
  std::map<long, Link> links;
  int stop_fd;
  InterruptChannel interrupts;
  // Last, so that it stops before what it sends through goes.
  std::optional<ServiceRequests::Subscription> service_requests;

  ~CoreChannel() {
    service_requests.reset();
    for (const auto& [lid, link] : links) Release(lid);
  }

  void CreateInterruptChannel(Device_RemoteFunc& parms, Device_Error& resp) {
    std::lock_guard lock(interrupts.mutex);
    if (interrupts.fd) {
      resp.error = kErrorChannelEstablished;
      return;
    }
    if (parms.progFamily != DEVICE_TCP || parms.hostPort == 0) {
      resp.error = kErrorChannelNotEstablished;
      return;
    }
    interrupts.fd = ConnectWithin(static_cast<std::uint32_t>(parms.hostAddr), parms.hostPort, kInterruptConnectMs);
    interrupts.program = static_cast<u_int>(parms.progNum);
    interrupts.version = static_cast<u_int>(parms.progVers);
    if (!interrupts.fd) resp.error = kErrorChannelNotEstablished;
  }

  void DestroyInterruptChannel(Device_Error& resp) {
    std::lock_guard lock(interrupts.mutex);
    if (!interrupts.fd) resp.error = kErrorChannelNotEstablished;
    interrupts.fd.reset();
  }

  void EnableServiceRequests(Device_EnableSrqParms& parms, Device_Error& resp) {
    if (links.count(parms.lid) == 0) {
      resp.error = kErrorInvalidLink;
      return;
    }
    std::lock_guard lock(interrupts.mutex);
    if (parms.enable)
      interrupts.handles[parms.lid] = std::string(parms.handle.handle_val, parms.handle.handle_len);
    else
      interrupts.handles.erase(parms.lid);
  }

  void ForgetLink(long lid) {
    std::lock_guard lock(interrupts.mutex);
    interrupts.handles.erase(lid);
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
    const std::string_view bytes(parms.data.data_val, parms.data.data_len);
    if (link.connection->takes_bytes()) {
      link.connection->on_bytes(bytes, end, link.client);
    } else {
      link.input.feed(bytes, deliver, [&] { link.connection->on_overlong_line(link.client); });
      if (end) link.input.end(deliver);  // END without a line feed still ends the message
    }
    // An instrument that drops its client destroys the link: this write
    // was taken, every later call on the link is refused.
    if (link.client.closed) {
      Release(parms.lid);
      ForgetLink(parms.lid);
      links.erase(parms.lid);
    }
  }

  // `data` holds the bytes resp.data points at until the reply is sent.
  void Read(Device_ReadParms& parms, Device_ReadResp& resp, std::string& data) {
    Link* link = Usable(parms.lid, parms.flags, parms.lock_timeout, resp.error);
    if (link == nullptr) return;
    LinkClient& client = link->client;
    const std::string_view output = client.unread();
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
    // Only the piece that can go is searched.
    const std::string_view window = output.substr(0, most);
    std::size_t message_end = window.find('\n');
    std::size_t take = message_end == std::string_view::npos ? most : message_end + 1;
    if ((parms.flags & kTermCharSet) != 0) {
      std::size_t term = window.find(static_cast<char>(parms.termChar));
      if (term != std::string_view::npos && term < take) take = term + 1;
    }
    data.assign(output.substr(0, take));
    client.take(take);
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
        client.put_back(data.size());
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
    resp.stb = static_cast<u_char>(ReadStatusByte(*link->connection, !link->client.unread().empty()));
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
    ForgetLink(lid);
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

// The arguments of a procedure that takes none.
bool_t DecodeNothing(XDR*, char*) { return TRUE; }

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
    {20, [](CoreChannel& c, int fd, const CallHeader& h, XDR* in) {  // device_enable_srq
       return Serve(fd, h, in, xdr_Device_EnableSrqParms, xdr_Device_Error,
                    [&](Device_EnableSrqParms& p, Device_Error& r) { c.EnableServiceRequests(p, r); });
     }},
    {25, [](CoreChannel& c, int fd, const CallHeader& h, XDR* in) {  // create_intr_chan
       return Serve(fd, h, in, xdr_Device_RemoteFunc, xdr_Device_Error,
                    [&](Device_RemoteFunc& p, Device_Error& r) { c.CreateInterruptChannel(p, r); });
     }},
    {26, [](CoreChannel& c, int fd, const CallHeader& h, XDR* in) {  // destroy_intr_chan
       return Serve(fd, h, in, DecodeNothing, xdr_Device_Error,
                    [&](char&, Device_Error& r) { c.DestroyInterruptChannel(r); });
     }},
    {23, [](CoreChannel& c, int fd, const CallHeader& h, XDR* in) {  // destroy_link
       return Serve(fd, h, in, xdr_Device_Link, xdr_Device_Error,
                    [&](Device_Link& p, Device_Error& r) { c.DestroyLink(p, r); });
     }},
};

}  // namespace

void Vxi11Server::ServeCore(int fd, int stop_fd) {
  CoreChannel channel{instrument_, transcript_, lock_, {}, stop_fd, {}, {}};
  channel.service_requests.emplace(instrument_.service_requests(),
                                   [&channel](int) { channel.interrupts.Send(); });
  std::vector<char> record;
  RecordReader reader(fd, stop_fd);
  while (reader.next(record)) {
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
