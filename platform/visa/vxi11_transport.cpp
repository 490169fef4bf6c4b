// SPDX-License-Identifier: MIT
// VXI-11 instrument resources (TCPIP::host[::inst0]::INSTR): ONC RPC through
// our own client and XDR codec, the portmapper first, then the core channel.
// Messages end with the END reason of device_read.
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <utility>

#include "onc_rpc_client.h"
#include "onc_rpc_messages.h"
#include "tcp_connection.h"
#include "vxi11_interrupts.h"
#include "vxi11_messages.h"
#include "transport.h"
#include "visa.h"

namespace visa {
namespace {

using namespace vxi11;
using namespace onc_rpc_messages;
constexpr long kEndFlag = 8;
constexpr long kTermCharSet = 0x80;
constexpr long kReasonEnd = 4;
constexpr long kWaitLock = 1;
constexpr long kErrorLocked = 11, kErrorNoLockHeld = 12, kErrorChannelEstablished = 29;

std::uint32_t RemainingMs(Deadline d, std::uint32_t infinite = 24u * 3600 * 1000) {
  int ms = d.poll_timeout_ms();
  return ms < 0 ? infinite : static_cast<std::uint32_t>(ms);
}

ViStatus FromDeviceError(long error) {
  switch (error) {
    case 0: return VI_SUCCESS;
    case 15: return VI_ERROR_TMO;
    case 4: return VI_ERROR_CONN_LOST;  // the link is gone
    case 11: return VI_ERROR_RSRC_LOCKED;
    case 8: return VI_ERROR_NSUP_OPER;
    default: return VI_ERROR_IO;
  }
}

// An RPC client on a connection we opened (with its timeout and TCP_NODELAY).
ViStatus RpcClient(const std::string& host, unsigned port, std::uint32_t program, std::uint32_t version, Deadline deadline,
                   TcpConnection& connection, std::unique_ptr<OncRpcClient>& client) {
  ViStatus st = TcpConnection::connect(host, port, deadline, connection);
  if (st < 0) return st;
  client = std::make_unique<OncRpcClient>(connection, program, version);
  return VI_SUCCESS;
}

class Vxi11Transport final : public Transport {
 public:
  ViStatus Open(const ResourceName& r, const OpenRequest& request) {
    const Deadline deadline = request.deadline;
    // Where does the core channel listen?
    TcpConnection pmap_connection;
    std::unique_ptr<OncRpcClient> portmapper;
    ViStatus st = RpcClient(r.host, PortmapperPort(), kPortmapper, kPortmapperVersion, deadline, pmap_connection,
                            portmapper);
    if (st < 0) return VI_ERROR_RSRC_NFOUND;
    std::uint32_t port = 0;
    st = portmapper->call(
        kGetPort, [](xdr::Writer& w) { w.u32(kDeviceCore).u32(kDeviceCoreVersion).u32(kIpProtocolTcp).u32(0); },
        [&](xdr::Reader& in) { return (port = in.u32(), true); }, deadline);
    if (st < 0 || port == 0 || port > 65535) return VI_ERROR_RSRC_NFOUND;
    st = RpcClient(r.host, port, kDeviceCore, kDeviceCoreVersion, deadline, connection_, core_);
    if (st < 0) return VI_ERROR_RSRC_NFOUND;

    // An exclusive open takes the instrument's lock with the link, waiting up to the open timeout.
    const std::uint32_t lock_timeout = request.exclusive_lock ? request.lock_timeout_ms : 0;
    CreateLinkReply link;
    const std::uint32_t wait = std::max(RemainingMs(deadline), lock_timeout);
    st = Call(
        kCreateLink,
        [&](xdr::Writer& w) {
          w.i32(0).u32(request.exclusive_lock ? 1 : 0).u32(lock_timeout).opaque(r.device_name);
        },
        [&](xdr::Reader& in) { return (link = DecodeCreateLink(in), true); }, wait + kRpcMargin);
    if (st < 0) return VI_ERROR_RSRC_NFOUND;
    if (link.error == kErrorLocked) return VI_ERROR_RSRC_LOCKED;  // another link kept the lock
    if (link.error != 0) return VI_ERROR_RSRC_NFOUND;
    holds_device_lock_ = request.exclusive_lock;
    lid_ = link.lid;  // the abort channel's port is not used
    max_recv_size_ = std::max<std::uint32_t>(link.max_recv_size, 1);
    linked_ = true;
    peer_ = connection_.peer_address();
    return VI_SUCCESS;
  }

  ~Vxi11Transport() override {
    stop_service_requests(Deadline::after_ms(1000));
    if (linked_ && !lost_) {
      std::int32_t error = 0;
      CallForError(kDestroyLink, [&](xdr::Writer& w) { w.i32(lid_); }, 1000, error);
    }
    core_.reset();  // before the connection it uses is closed
  }

  ViStatus write(const char* data, std::size_t size, bool end, Deadline deadline) override {
    if (lost_) return VI_ERROR_CONN_LOST;
    // Chunks of at most maxRecvSize; END goes with the last one.
    std::size_t offset = 0;
    do {
      std::size_t chunk = std::min<std::size_t>(size - offset, max_recv_size_);
      bool last = offset + chunk == size;
      if (offset > 0 && deadline.exhausted()) return VI_ERROR_TMO;
      WriteReply written;
      ViStatus st = Call(
          kDeviceWrite,
          [&](xdr::Writer& w) {
            w.i32(lid_).u32(RemainingMs(deadline)).u32(0).i32(last && end ? kEndFlag : 0);
            w.opaque(std::string_view(data + offset, chunk));
          },
          [&](xdr::Reader& in) { return (written = DecodeWrite(in), true); }, RemainingMs(deadline) + kRpcMargin);
      if (st < 0) return st;
      if (written.error != 0) return Track(FromDeviceError(written.error));
      offset += std::min<std::size_t>(written.size, chunk);
      if (written.size == 0 && chunk > 0) return VI_ERROR_IO;
    } while (offset < size);
    return VI_SUCCESS;
  }

  ViStatus read(char* data, std::size_t capacity, const ReadSettings& settings, Deadline deadline, std::size_t& got,
                bool& end) override {
    got = 0;
    end = false;
    if (lost_) return VI_ERROR_CONN_LOST;
    // The reply's data is copied once, from the received record to the caller.
    ReadReply reply;
    std::size_t size = 0;
    const std::uint32_t request = static_cast<std::uint32_t>(std::min<std::size_t>(capacity, 0x7FFFFFFF));
    ViStatus st = Call(
        kDeviceRead,
        [&](xdr::Writer& w) {
          w.i32(lid_).u32(request).u32(RemainingMs(deadline)).u32(0);
          w.i32(settings.termchar_enabled ? kTermCharSet : 0).u32(settings.termchar);
        },
        [&](xdr::Reader& in) {
          reply = DecodeRead(in);
          // A reply claiming more data than it carries decodes to nothing: an I/O error.
          if (!in.ok()) return false;
          size = std::min(reply.data.size(), capacity);
          if (size > 0) std::memcpy(data, reply.data.data(), size);
          return true;
        },
        RemainingMs(deadline) + kRpcMargin);
    if (st < 0) return st;
    if (reply.error != 0) return Track(FromDeviceError(reply.error));
    got = size;
    end = (reply.reason & kReasonEnd) != 0;
    return VI_SUCCESS;
  }

  // Requests and replies: nothing arrives unasked.
  ViStatus discard_arrived() override { return lost_ ? VI_ERROR_CONN_LOST : VI_SUCCESS; }

  ViStatus clear(Deadline deadline) override { return Generic(kDeviceClear, deadline); }

  ViStatus read_stb(Deadline deadline, ViUInt16& stb) override {
    ReadStbReply reply;
    ViStatus st = Call(
        kDeviceReadStb, [&](xdr::Writer& w) { GenericParms(w, deadline); },
        [&](xdr::Reader& in) { return (reply = DecodeReadStb(in), true); }, RemainingMs(deadline) + kRpcMargin);
    if (st < 0) return st;
    if (reply.error != 0) return Track(FromDeviceError(reply.error));
    stb = reply.stb;
    return VI_SUCCESS;
  }

  ViStatus assert_trigger(Deadline deadline) override { return Generic(kDeviceTrigger, deadline); }
  // VXI-11 has a place in remote and a return to local; what else REN does is the bus's, not the link's.
  ViStatus control_ren(ViUInt16 mode, Deadline deadline) override {
    if (mode == VI_GPIB_REN_ASSERT_ADDRESS) return Generic(kDeviceRemote, deadline);
    if (mode == VI_GPIB_REN_ADDRESS_GTL || mode == VI_GPIB_REN_DEASSERT_GTL) return Generic(kDeviceLocal, deadline);
    return VI_ERROR_NSUP_OPER;
  }

  ViStatus lock_device(std::uint32_t timeout_ms, Deadline deadline) override {
    std::int32_t error = 0;
    ViStatus st = CallForError(
        kDeviceLock, [&](xdr::Writer& w) { w.i32(lid_).i32(kWaitLock).u32(timeout_ms); },
        std::max(timeout_ms, RemainingMs(deadline)) + kRpcMargin, error);
    if (st < 0) return st;
    // Still held by another link when the wait ran out.
    if (error == kErrorLocked) return VI_ERROR_TMO;
    return Track(FromDeviceError(error));
  }

  // Shared locks are not on the wire: VXI-11 has only the exclusive one.
  ViStatus unlock_device(bool shared, Deadline deadline) override {
    if (shared) return VI_SUCCESS;
    std::int32_t error = 0;
    ViStatus st = CallForError(kDeviceUnlock, [&](xdr::Writer& w) { w.i32(lid_); }, RemainingMs(deadline) + kRpcMargin, error);
    if (st < 0) return st;
    return error == 0 || error == kErrorNoLockHeld ? VI_SUCCESS : Track(FromDeviceError(error));
  }

  // Service requests come over an interrupt channel we serve: the instrument
  // connects to it after create_intr_chan and calls device_intr_srq with the
  // handle device_enable_srq gave it.
  bool carries_service_requests() const override { return true; }

  ViStatus start_service_requests(std::function<void()> notify, Deadline deadline) override {
    if (lost_) return VI_ERROR_CONN_LOST;
    std::uint32_t local = 0;
    if (!connection_.local_ipv4(local)) return VI_ERROR_NSUP_OPER;  // the channel names an IPv4 address only
    auto interrupts = std::make_unique<Vxi11Interrupts>();
    std::string handle = "zevra-" + std::to_string(lid_);
    ViStatus st = interrupts->start(local, handle, std::move(notify));
    if (st < 0) return st;
    std::int32_t error = 0;
    st = CallForError(
        kCreateIntrChan,
        [&](xdr::Writer& w) {
          w.u32(local).u32(interrupts->port()).u32(kDeviceIntr).u32(kDeviceIntrVersion).u32(kDeviceTcp);
        },
        RemainingMs(deadline) + kRpcMargin, error);
    if (st < 0) return st;
    if (error != 0 && error != kErrorChannelEstablished) return Track(FromDeviceError(error));
    st = EnableSrq(true, handle, deadline);
    if (st < 0) return st;
    interrupts_ = std::move(interrupts);
    return VI_SUCCESS;
  }

  void stop_service_requests(Deadline deadline) override {
    if (!interrupts_) return;
    if (!lost_) {
      EnableSrq(false, "", deadline);
      std::int32_t error = 0;
      CallForError(kDestroyIntrChan, [](xdr::Writer&) {}, RemainingMs(deadline) + kRpcMargin, error);
    }
    interrupts_.reset();
  }

  bool holds_device_lock() const override { return holds_device_lock_; }
  TcpConnection* tcp_connection() override { return &connection_; }
  std::string peer_address() const override { return peer_; }

 private:
  ViStatus EnableSrq(bool enable, const std::string& handle, Deadline deadline) {
    std::int32_t error = 0;
    ViStatus st = CallForError(
        kDeviceEnableSrq, [&](xdr::Writer& w) { w.i32(lid_).u32(enable ? 1 : 0).opaque(handle); },
        RemainingMs(deadline) + kRpcMargin, error);
    return st < 0 ? st : Track(FromDeviceError(error));
  }

  // Device_GenericParms: the link, no flags, no lock wait, the I/O timeout.
  void GenericParms(xdr::Writer& w, Deadline deadline) const { w.i32(lid_).i32(0).u32(0).u32(RemainingMs(deadline)); }
  // A procedure taking Device_GenericParms and answering a Device_Error.
  ViStatus Generic(Procedure procedure, Deadline deadline) {
    std::int32_t error = 0;
    ViStatus st = CallForError(
        procedure, [&](xdr::Writer& w) { GenericParms(w, deadline); }, RemainingMs(deadline) + kRpcMargin, error);
    return st < 0 ? st : Track(FromDeviceError(error));
  }

  // The device answers its own io_timeout first; a late answer after ours is
  // told apart by its transaction ID and dropped.
  static constexpr std::uint32_t kRpcMargin = 50;

  ViStatus Track(ViStatus st) {
    if (st == VI_ERROR_CONN_LOST) lost_ = true;
    return st;
  }

  template <typename Encode, typename Decode>
  ViStatus Call(Procedure procedure, Encode&& encode, Decode&& decode, std::uint32_t ms) {
    if (!core_) return VI_ERROR_CONN_LOST;
    return Track(core_->call(procedure, encode, decode, Deadline::after_ms(ms)));
  }
  // Most procedures answer a Device_Error alone.
  template <typename Encode>
  ViStatus CallForError(Procedure procedure, Encode&& encode, std::uint32_t ms, std::int32_t& error) {
    return Call(procedure, encode, [&](xdr::Reader& in) { return (error = DecodeError(in), true); }, ms);
  }

  TcpConnection connection_;
  std::unique_ptr<OncRpcClient> core_;
  std::int32_t lid_ = 0;
  std::uint32_t max_recv_size_ = 1024;
  bool linked_ = false;
  bool lost_ = false;
  std::string peer_;
  std::unique_ptr<Vxi11Interrupts> interrupts_;
  bool holds_device_lock_ = false;
};

}  // namespace

ViStatus open_vxi11_transport(const ResourceName& resource, const OpenRequest& request,
                              std::unique_ptr<Transport>& out) {
  return open_transport_of_type<Vxi11Transport>(resource, request, out);
}

}  // namespace visa
