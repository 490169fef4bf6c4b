// VXI-11 instrument resources (TCPIP::host[::inst0]::INSTR): ONC RPC (our
// own client, libtirpc's XDR routines), the portmapper first, then the core
// channel. Messages end with the END reason of device_read.
#include <rpc/rpc.h>
// after rpc.h, which it needs
#include <rpc/pmap_prot.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <utility>

#include "onc_rpc_client.h"
#include "tcp_connection.h"
#include "vxi11_interrupts.h"
#include "transport.h"
#include "visa.h"
#include "vxi11.h"

namespace visa {
namespace {

constexpr long kEndFlag = 8;
constexpr long kTermCharSet = 0x80;
constexpr long kReasonEnd = 4;
constexpr long kWaitLock = 1;
constexpr long kErrorLocked = 11, kErrorNoLockHeld = 12, kErrorChannelEstablished = 29;
constexpr unsigned kDefaultPortmapperPort = 111;

// The portmapper's port: 111, or where ZEVRA_VXI11_PORTMAPPER_PORT says (an
// emulator on loopback answers on a port of its own).
unsigned PortmapperPort() {
  if (const char* env = std::getenv("ZEVRA_VXI11_PORTMAPPER_PORT")) {
    long port = std::strtol(env, nullptr, 10);
    if (port > 0 && port < 65536) return static_cast<unsigned>(port);
  }
  return kDefaultPortmapperPort;
}

// The arguments of a procedure that takes none.
bool_t EncodeNothing(XDR*, void*) { return TRUE; }

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
    default: return VI_ERROR_IO;
  }
}

// An RPC client on a connection we opened (with its timeout and TCP_NODELAY).
ViStatus RpcClient(const std::string& host, unsigned port, u_int program, u_int version, Deadline deadline,
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
    ViStatus st = RpcClient(r.host, PortmapperPort(), PMAPPROG, PMAPVERS, deadline, pmap_connection, portmapper);
    if (st < 0) return VI_ERROR_RSRC_NFOUND;
    struct pmap parms {
      DEVICE_CORE, DEVICE_CORE_VERSION, IPPROTO_TCP, 0
    };
    u_long port = 0;
    st = portmapper->call(PMAPPROC_GETPORT, reinterpret_cast<xdrproc_t>(xdr_pmap), &parms,
                          reinterpret_cast<xdrproc_t>(xdr_u_long), &port, deadline);
    if (st < 0 || port == 0 || port > 65535) return VI_ERROR_RSRC_NFOUND;
    st = RpcClient(r.host, static_cast<unsigned>(port), DEVICE_CORE, DEVICE_CORE_VERSION, deadline, connection_, core_);
    if (st < 0) return VI_ERROR_RSRC_NFOUND;

    Create_LinkParms link{};
    link.clientId = 0;
    // An exclusive open takes the instrument's lock with the link, waiting up to the open timeout.
    link.lockDevice = request.exclusive_lock;
    link.lock_timeout = request.exclusive_lock ? request.lock_timeout_ms : 0;
    std::string device = r.device_name;
    link.device = device.data();
    Create_LinkResp resp{};
    const std::uint32_t wait = std::max(RemainingMs(deadline), static_cast<std::uint32_t>(link.lock_timeout));
    st = Call(10, reinterpret_cast<xdrproc_t>(xdr_Create_LinkParms), &link, reinterpret_cast<xdrproc_t>(xdr_Create_LinkResp),
              &resp, wait + kRpcMargin);
    if (st < 0) return VI_ERROR_RSRC_NFOUND;
    if (resp.error == kErrorLocked) return VI_ERROR_RSRC_LOCKED;  // another link kept the lock
    if (resp.error != 0) return VI_ERROR_RSRC_NFOUND;
    holds_device_lock_ = request.exclusive_lock;
    lid_ = resp.lid;
    max_recv_size_ = std::max<unsigned long>(resp.maxRecvSize, 1);
    linked_ = true;
    peer_ = connection_.peer_address();
    return VI_SUCCESS;
  }

  ~Vxi11Transport() override {
    stop_service_requests(Deadline::after_ms(1000));
    if (linked_ && !lost_) {
      Device_Link lid = lid_;
      Device_Error error{};
      Call(23, reinterpret_cast<xdrproc_t>(xdr_Device_Link), &lid, reinterpret_cast<xdrproc_t>(xdr_Device_Error), &error,
           1000);
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
      Device_WriteParms parms{};
      parms.lid = lid_;
      parms.io_timeout = RemainingMs(deadline);
      parms.lock_timeout = 0;
      parms.flags = last && end ? kEndFlag : 0;
      parms.data.data_len = static_cast<u_int>(chunk);
      parms.data.data_val = const_cast<char*>(data + offset);
      if (offset > 0 && deadline.exhausted()) return VI_ERROR_TMO;
      Device_WriteResp resp{};
      ViStatus st = Call(11, reinterpret_cast<xdrproc_t>(xdr_Device_WriteParms), &parms,
                         reinterpret_cast<xdrproc_t>(xdr_Device_WriteResp), &resp, RemainingMs(deadline) + kRpcMargin);
      if (st < 0) return st;
      if (resp.error != 0) return Track(FromDeviceError(resp.error));
      offset += std::min<std::size_t>(resp.size, chunk);
      if (resp.size == 0 && chunk > 0) return VI_ERROR_IO;
    } while (offset < size);
    return VI_SUCCESS;
  }

  ViStatus read(char* data, std::size_t capacity, const ReadSettings& settings, Deadline deadline, std::size_t& got,
                bool& end) override {
    got = 0;
    end = false;
    if (lost_) return VI_ERROR_CONN_LOST;
    Device_ReadParms parms{};
    parms.lid = lid_;
    parms.requestSize = static_cast<u_long>(std::min<std::size_t>(capacity, 0x7FFFFFFF));
    parms.io_timeout = RemainingMs(deadline);
    parms.lock_timeout = 0;
    parms.flags = settings.termchar_enabled ? kTermCharSet : 0;
    parms.termChar = static_cast<char>(settings.termchar);
    // The reply's data is copied once, from the received record to the caller.
    long error = 0, reason = 0;
    std::size_t size = 0;
    auto head = [&](XDR* in) { return xdr_long(in, &error) && xdr_long(in, &reason); };
    auto take = [&](const char* bytes, std::size_t n) {
      size = std::min(n, capacity);
      std::memcpy(data, bytes, size);
    };
    ViStatus st = Track(core_ ? core_->call_for_bytes(12, reinterpret_cast<xdrproc_t>(xdr_Device_ReadParms), &parms,
                                                      head, take, Deadline::after_ms(RemainingMs(deadline) + kRpcMargin))
                              : VI_ERROR_CONN_LOST);
    if (st < 0) return st;
    if (error != 0) return Track(FromDeviceError(error));
    got = size;
    end = (reason & kReasonEnd) != 0;
    return VI_SUCCESS;
  }

  // Requests and replies: nothing arrives unasked.
  ViStatus discard_arrived() override { return lost_ ? VI_ERROR_CONN_LOST : VI_SUCCESS; }

  ViStatus clear(Deadline deadline) override {
    Device_GenericParms parms{lid_, 0, 0, static_cast<u_long>(RemainingMs(deadline))};
    Device_Error error{};
    ViStatus st = Call(15, reinterpret_cast<xdrproc_t>(xdr_Device_GenericParms), &parms,
                       reinterpret_cast<xdrproc_t>(xdr_Device_Error), &error, RemainingMs(deadline) + kRpcMargin);
    return st < 0 ? st : Track(FromDeviceError(error.error));
  }

  ViStatus read_stb(Deadline deadline, ViUInt16& stb) override {
    Device_GenericParms parms{lid_, 0, 0, static_cast<u_long>(RemainingMs(deadline))};
    Device_ReadStbResp resp{};
    ViStatus st = Call(13, reinterpret_cast<xdrproc_t>(xdr_Device_GenericParms), &parms,
                       reinterpret_cast<xdrproc_t>(xdr_Device_ReadStbResp), &resp, RemainingMs(deadline) + kRpcMargin);
    if (st < 0) return st;
    if (resp.error != 0) return Track(FromDeviceError(resp.error));
    stb = resp.stb;
    return VI_SUCCESS;
  }

  ViStatus assert_trigger(Deadline deadline) override {
    Device_GenericParms parms{lid_, 0, 0, static_cast<u_long>(RemainingMs(deadline))};
    Device_Error error{};
    ViStatus st = Call(14, reinterpret_cast<xdrproc_t>(xdr_Device_GenericParms), &parms,
                       reinterpret_cast<xdrproc_t>(xdr_Device_Error), &error, RemainingMs(deadline) + kRpcMargin);
    return st < 0 ? st : Track(FromDeviceError(error.error));
  }

  ViStatus lock_device(std::uint32_t timeout_ms, Deadline deadline) override {
    Device_LockParms parms{lid_, kWaitLock, static_cast<u_long>(timeout_ms)};
    Device_Error error{};
    ViStatus st = Call(18, reinterpret_cast<xdrproc_t>(xdr_Device_LockParms), &parms,
                       reinterpret_cast<xdrproc_t>(xdr_Device_Error), &error,
                       std::max(timeout_ms, RemainingMs(deadline)) + kRpcMargin);
    if (st < 0) return st;
    // Still held by another link when the wait ran out.
    if (error.error == kErrorLocked) return VI_ERROR_TMO;
    return Track(FromDeviceError(error.error));
  }

  // Shared locks are not on the wire: VXI-11 has only the exclusive one.
  ViStatus unlock_device(bool shared, Deadline deadline) override {
    if (shared) return VI_SUCCESS;
    Device_Link lid = lid_;
    Device_Error error{};
    ViStatus st = Call(19, reinterpret_cast<xdrproc_t>(xdr_Device_Link), &lid,
                       reinterpret_cast<xdrproc_t>(xdr_Device_Error), &error, RemainingMs(deadline) + kRpcMargin);
    if (st < 0) return st;
    return error.error == 0 || error.error == kErrorNoLockHeld ? VI_SUCCESS : Track(FromDeviceError(error.error));
  }

  // Service requests come over an interrupt channel we serve: the instrument
  // connects to it after create_intr_chan and calls device_intr_srq with the
  // handle device_enable_srq gave it.
  bool carries_service_requests() const override { return true; }

  ViStatus start_service_requests(std::function<void()> notify, Deadline deadline) override {
    if (lost_) return VI_ERROR_CONN_LOST;
    std::uint32_t local = 0;
    if (!LocalIpv4(local)) return VI_ERROR_NSUP_OPER;  // the channel names an IPv4 address only
    auto interrupts = std::make_unique<Vxi11Interrupts>();
    std::string handle = "zevra-" + std::to_string(lid_);
    ViStatus st = interrupts->start(local, handle, std::move(notify));
    if (st < 0) return st;
    Device_RemoteFunc where{local, interrupts->port(), DEVICE_INTR, DEVICE_INTR_VERSION, DEVICE_TCP};
    Device_Error error{};
    st = Call(25, reinterpret_cast<xdrproc_t>(xdr_Device_RemoteFunc), &where,
              reinterpret_cast<xdrproc_t>(xdr_Device_Error), &error, RemainingMs(deadline) + kRpcMargin);
    if (st < 0) return st;
    if (error.error != 0 && error.error != kErrorChannelEstablished) return Track(FromDeviceError(error.error));
    st = EnableSrq(true, handle, deadline);
    if (st < 0) return st;
    interrupts_ = std::move(interrupts);
    return VI_SUCCESS;
  }

  void stop_service_requests(Deadline deadline) override {
    if (!interrupts_) return;
    if (!lost_) {
      EnableSrq(false, "", deadline);
      Device_Error error{};
      Call(26, reinterpret_cast<xdrproc_t>(EncodeNothing), nullptr, reinterpret_cast<xdrproc_t>(xdr_Device_Error), &error,
           RemainingMs(deadline) + kRpcMargin);
    }
    interrupts_.reset();
  }

  bool holds_device_lock() const override { return holds_device_lock_; }
  std::string peer_address() const override { return peer_; }

 private:
  ViStatus EnableSrq(bool enable, std::string handle, Deadline deadline) {
    Device_EnableSrqParms parms{};
    parms.lid = lid_;
    parms.enable = enable;
    parms.handle.handle_len = static_cast<u_int>(handle.size());
    parms.handle.handle_val = handle.data();
    Device_Error error{};
    ViStatus st = Call(20, reinterpret_cast<xdrproc_t>(xdr_Device_EnableSrqParms), &parms,
                       reinterpret_cast<xdrproc_t>(xdr_Device_Error), &error, RemainingMs(deadline) + kRpcMargin);
    return st < 0 ? st : Track(FromDeviceError(error.error));
  }

  // The address the instrument reached us on, which it can reach back.
  bool LocalIpv4(std::uint32_t& address) const {
    sockaddr_storage local{};
    socklen_t length = sizeof local;
    if (::getsockname(connection_.fd(), reinterpret_cast<sockaddr*>(&local), &length) != 0) return false;
    if (local.ss_family == AF_INET) {
      address = ntohl(reinterpret_cast<const sockaddr_in&>(local).sin_addr.s_addr);
      return true;
    }
    const auto& v6 = reinterpret_cast<const sockaddr_in6&>(local);
    if (local.ss_family != AF_INET6 || !IN6_IS_ADDR_V4MAPPED(&v6.sin6_addr)) return false;
    std::memcpy(&address, &v6.sin6_addr.s6_addr[12], 4);
    address = ntohl(address);
    return true;
  }

  // The device answers its own io_timeout first; a late answer after ours is
  // told apart by its transaction ID and dropped.
  static constexpr std::uint32_t kRpcMargin = 50;

  ViStatus Track(ViStatus st) {
    if (st == VI_ERROR_CONN_LOST) lost_ = true;
    return st;
  }

  ViStatus Call(u_int procedure, xdrproc_t encode, void* args, xdrproc_t decode, void* result, std::uint32_t ms) {
    if (!core_) return VI_ERROR_CONN_LOST;
    return Track(core_->call(procedure, encode, args, decode, result, Deadline::after_ms(ms)));
  }

  TcpConnection connection_;
  std::unique_ptr<OncRpcClient> core_;
  Device_Link lid_ = 0;
  unsigned long max_recv_size_ = 1024;
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
