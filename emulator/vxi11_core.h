// SPDX-License-Identifier: MIT
// The server's end of VXI-11 that does not depend on what stands behind it:
// the portmapper (TCP and UDP), record reading, replies, the interrupt channel
// and the table of core-channel procedures. The emulator's instrument and the
// gateway's forwarded instruments each supply a channel with the handlers.
#pragma once

#include <rpc/rpc.h>

#include <cstddef>
#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "onc_rpc.h"
#include "tcp_listener.h"
#include "unique_fd.h"
#include "vxi11.h"

namespace emulator::vxi11 {

constexpr u_int kSuccess = 0, kProgramUnavailable = 1, kProcedureUnavailable = 3, kGarbageArguments = 4;
constexpr long kWaitLock = 1, kEndFlag = 8, kTermCharSet = 0x80;
constexpr long kReasonRequestCount = 1, kReasonTermChar = 2, kReasonEnd = 4;
constexpr long kErrorSyntax = 1, kErrorNotAccessible = 3, kErrorInvalidLink = 4, kErrorParameter = 5,
               kErrorChannelNotEstablished = 6, kErrorNotSupported = 8, kErrorOutOfResources = 9,
               kErrorLocked = 11, kErrorNoLockHeld = 12, kErrorIoTimeout = 15, kErrorIo = 17,
               kErrorAbort = 23, kErrorChannelEstablished = 29;

// The records of one connection, read through a buffer: a call usually
// comes whole in one receive, marker and body together.
class RecordReader {
 public:
  RecordReader(int fd, int stop_fd) : fd_(fd), stop_fd_(stop_fd) {}
  // One RPC record (all its fragments), or false when the connection ends.
  bool next(std::vector<char>& record);

 private:
  bool read(void* data, std::size_t size);
  int fd_, stop_fd_;
  char buffer_[16384];
  std::size_t begin_ = 0, end_ = 0;
};

// Sends a reply on a TCP connection: the accepted-reply header, then
// `encode(result)` when the status is success.
bool Reply(int fd, const onc_rpc::CallHeader& h, u_int status, xdrproc_t encode, void* result);

// The portmapper, on TCP and on UDP at the same port, answering GETPORT for
// the core channel with `core_port` (broadcast discovery asks over UDP).
class Portmapper {
 public:
  Portmapper();
  ~Portmapper();
  std::string start(const std::string& address, unsigned port, unsigned core_port);
  void stop();
  unsigned port() const { return tcp_.port(); }
  // Callers it answers, on both protocols (all, unless told).
  void set_admit(TcpListener::Admit admit) {
    admit_ = admit;
    tcp_.set_admit(std::move(admit));
  }

 private:
  bool Answer(const std::vector<char>& record, std::vector<char>& reply, std::size_t& size);
  void ServeStream(int fd, int stop_fd);
  void ServeDatagrams();

  unsigned core_port_ = 0;
  TcpListener::Admit admit_;
  TcpListener tcp_;
  UniqueFd udp_, wake_read_, wake_write_;
  std::thread udp_thread_;
};

// The interrupt channel a client asked for with create_intr_chan, and the
// links that asked for service requests with device_enable_srq. Service
// requests are sent from whichever thread raised them, so all of it is
// guarded by one mutex.
class InterruptChannel {
 public:
  void Create(Device_RemoteFunc& parms, Device_Error& resp);
  void Destroy(Device_Error& resp);
  void Enable(long lid, bool enable, const std::string& handle);
  void Forget(long lid);
  // device_intr_srq to every link that enabled it; with `only` one link's alone.
  void Send(long only = 0);

 private:
  std::mutex mutex_;
  UniqueFd fd_;
  u_int program_ = 0, version_ = 0, next_xid_ = 1;
  std::map<long, std::string> handles_;  // link ID -> the handle its client gave
};

// The core channel's procedures, served to `channel` until the connection
// ends. Channel has a member `interrupts` (InterruptChannel) and the handlers
// CreateLink, Write, Read (with a string that holds the data until the reply
// is sent), ReadStb, Trigger, Clear, Remote, Local, Lock, Unlock,
// EnableServiceRequests and DestroyLink, named after the procedures.
template <typename Channel>
void ServeCoreCalls(int fd, int stop_fd, Channel& channel);

namespace detail {

// One procedure: decode the arguments, handle them, encode the result;
// arguments that do not decode are answered GARBAGE_ARGS.
template <typename Params, typename Result, typename Handle>
bool Serve(int fd, const onc_rpc::CallHeader& h, XDR* in, bool_t (*decode)(XDR*, Params*),
           bool_t (*encode)(XDR*, Result*), Handle&& handle) {
  Params parms{};
  Result resp{};
  bool ok = decode(in, &parms)
                ? (handle(parms, resp), Reply(fd, h, kSuccess, reinterpret_cast<xdrproc_t>(encode), &resp))
                : Reply(fd, h, kGarbageArguments, nullptr, nullptr);
  xdr_free(reinterpret_cast<xdrproc_t>(decode), reinterpret_cast<char*>(&parms));
  return ok;
}

// The arguments of a procedure that takes none.
inline bool_t DecodeNothing(XDR*, char*) { return TRUE; }

template <typename Channel>
struct ProcedureRow {
  u_int number;
  bool (*serve)(Channel&, int fd, const onc_rpc::CallHeader&, XDR*);
};

// A procedure taking Device_GenericParms and answering Device_Error.
template <typename Channel, void (Channel::*Handler)(Device_GenericParms&, Device_Error&)>
bool ServeGeneric(Channel& c, int fd, const onc_rpc::CallHeader& h, XDR* in) {
  return Serve(fd, h, in, xdr_Device_GenericParms, xdr_Device_Error,
               [&](Device_GenericParms& p, Device_Error& r) { (c.*Handler)(p, r); });
}

template <typename Channel>
constexpr ProcedureRow<Channel> kProcedures[] = {
    {10, [](Channel& c, int fd, const onc_rpc::CallHeader& h, XDR* in) {  // create_link
       return Serve(fd, h, in, xdr_Create_LinkParms, xdr_Create_LinkResp,
                    [&](Create_LinkParms& p, Create_LinkResp& r) { c.CreateLink(p, r); });
     }},
    {11, [](Channel& c, int fd, const onc_rpc::CallHeader& h, XDR* in) {  // device_write
       return Serve(fd, h, in, xdr_Device_WriteParms, xdr_Device_WriteResp,
                    [&](Device_WriteParms& p, Device_WriteResp& r) { c.Write(p, r); });
     }},
    {12, [](Channel& c, int fd, const onc_rpc::CallHeader& h, XDR* in) {  // device_read
       std::string data;
       return Serve(fd, h, in, xdr_Device_ReadParms, xdr_Device_ReadResp,
                    [&](Device_ReadParms& p, Device_ReadResp& r) { c.Read(p, r, data); });
     }},
    {13, [](Channel& c, int fd, const onc_rpc::CallHeader& h, XDR* in) {  // device_readstb
       return Serve(fd, h, in, xdr_Device_GenericParms, xdr_Device_ReadStbResp,
                    [&](Device_GenericParms& p, Device_ReadStbResp& r) { c.ReadStb(p, r); });
     }},
    {14, ServeGeneric<Channel, &Channel::Trigger>},  // device_trigger
    {15, ServeGeneric<Channel, &Channel::Clear>},    // device_clear
    {16, ServeGeneric<Channel, &Channel::Remote>},   // device_remote
    {17, ServeGeneric<Channel, &Channel::Local>},    // device_local
    {18, [](Channel& c, int fd, const onc_rpc::CallHeader& h, XDR* in) {  // device_lock
       return Serve(fd, h, in, xdr_Device_LockParms, xdr_Device_Error,
                    [&](Device_LockParms& p, Device_Error& r) { c.Lock(p, r); });
     }},
    {19, [](Channel& c, int fd, const onc_rpc::CallHeader& h, XDR* in) {  // device_unlock
       return Serve(fd, h, in, xdr_Device_Link, xdr_Device_Error,
                    [&](Device_Link& p, Device_Error& r) { c.Unlock(p, r); });
     }},
    {20, [](Channel& c, int fd, const onc_rpc::CallHeader& h, XDR* in) {  // device_enable_srq
       return Serve(fd, h, in, xdr_Device_EnableSrqParms, xdr_Device_Error,
                    [&](Device_EnableSrqParms& p, Device_Error& r) { c.EnableServiceRequests(p, r); });
     }},
    {23, [](Channel& c, int fd, const onc_rpc::CallHeader& h, XDR* in) {  // destroy_link
       return Serve(fd, h, in, xdr_Device_Link, xdr_Device_Error,
                    [&](Device_Link& p, Device_Error& r) { c.DestroyLink(p, r); });
     }},
    {25, [](Channel& c, int fd, const onc_rpc::CallHeader& h, XDR* in) {  // create_intr_chan
       return Serve(fd, h, in, xdr_Device_RemoteFunc, xdr_Device_Error,
                    [&](Device_RemoteFunc& p, Device_Error& r) { c.interrupts.Create(p, r); });
     }},
    {26, [](Channel& c, int fd, const onc_rpc::CallHeader& h, XDR* in) {  // destroy_intr_chan
       return Serve(fd, h, in, DecodeNothing, xdr_Device_Error,
                    [&](char&, Device_Error& r) { c.interrupts.Destroy(r); });
     }},
};

}  // namespace detail

template <typename Channel>
void ServeCoreCalls(int fd, int stop_fd, Channel& channel) {
  std::vector<char> record;
  RecordReader reader(fd, stop_fd);
  while (reader.next(record)) {
    XDR in;
    xdrmem_create(&in, record.data(), static_cast<u_int>(record.size()), XDR_DECODE);
    onc_rpc::CallHeader h;
    bool ok = onc_rpc::DecodeCallHeader(&in, h);
    if (ok) {
      const detail::ProcedureRow<Channel>* row = nullptr;
      for (const auto& r : detail::kProcedures<Channel>) {
        if (r.number == h.procedure) row = &r;
      }
      if (h.program != DEVICE_CORE)
        ok = Reply(fd, h, kProgramUnavailable, nullptr, nullptr);
      else if (row == nullptr)
        ok = Reply(fd, h, kProcedureUnavailable, nullptr, nullptr);
      else
        ok = row->serve(channel, fd, h, &in);
    }
    xdr_destroy(&in);
    if (!ok) return;
  }
}

}  // namespace emulator::vxi11
