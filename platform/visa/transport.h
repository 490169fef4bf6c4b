// SPDX-License-Identifier: MIT
// The byte-transport layer: one implementation per way of reaching an
// instrument, chosen from an explicit table keyed by resource kind.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "attribute_value.h"
#include "deadline.h"
#include "resource_name.h"
#include "visa.h"

namespace visa {

class TcpConnection;

struct ReadSettings {
  bool termchar_enabled = false;
  unsigned char termchar = '\n';
  bool end_ends_read = true;  // false: VI_ATTR_SUPPRESS_END_EN, a read goes on past END
};

class Transport {
 public:
  virtual ~Transport() = default;

  // Sends bytes. `end` marks the last bytes of a message; a raw socket has no
  // in-band END, message-based transports send it.
  virtual ViStatus write(const char* data, std::size_t size, bool end, Deadline deadline) = 0;

  // Delivers at least one byte, or an END with no bytes. `end` is true when a
  // message ended right after the bytes delivered.
  virtual ViStatus read(char* data, std::size_t capacity, const ReadSettings& settings,
                        Deadline deadline, std::size_t& got, bool& end) = 0;

  // Drops whatever has already arrived without waiting.
  virtual ViStatus discard_arrived() = 0;

  // Device clear; a raw socket has nothing to send.
  virtual ViStatus clear(Deadline) { return VI_SUCCESS; }

  // The status byte and a device trigger, where the protocol carries them (a
  // raw socket does not: the session sends 488.2 strings when asked to).
  virtual ViStatus read_stb(Deadline, ViUInt16&) { return VI_ERROR_NSUP_OPER; }
  virtual ViStatus assert_trigger(Deadline) { return VI_ERROR_NSUP_OPER; }
  // Remote and local control (viGpibControlREN's modes), where the protocol has it.
  virtual ViStatus control_ren(ViUInt16 /*mode*/, Deadline) { return VI_ERROR_NSUP_OPER; }
  // Interface clear (viGpibSendIFC), on a GPIB board's own session.
  virtual ViStatus interface_clear(Deadline) { return VI_ERROR_NSUP_OPER; }

  // The instrument's own lock, where the protocol has one (VXI-11): taken
  // within `timeout_ms`, or VI_ERROR_TMO. Elsewhere locks hold between this
  // process's sessions only, and these do nothing.
  // A shared lock of the instrument's own (HiSLIP's lock string); where the
  // protocol has none, shared locks hold between this process's sessions only.
  virtual ViStatus lock_device(std::uint32_t, Deadline) { return VI_SUCCESS; }
  virtual ViStatus lock_device_shared(std::uint32_t, const std::string&, Deadline) { return VI_SUCCESS; }
  // Gives up the exclusive lock, or with `shared` the shared one.
  virtual ViStatus unlock_device(bool /*shared*/, Deadline) { return VI_SUCCESS; }

  // Service requests, where the protocol carries them: once started, `notify`
  // is called from a thread of the transport's for each one, until stopped.
  virtual bool carries_service_requests() const { return false; }
  virtual ViStatus start_service_requests(std::function<void()>, Deadline) { return VI_ERROR_NSUP_OPER; }
  virtual void stop_service_requests(Deadline) {}

  // The instrument's exclusive lock was taken while opening.
  virtual bool holds_device_lock() const { return false; }

  virtual std::string peer_address() const = 0;

  // Attributes of the interface itself (a serial line's settings) beyond the
  // session's own.
  virtual ViStatus get_attribute(ViAttr, AttributeValue&) const { return VI_ERROR_NSUP_ATTR; }
  virtual ViStatus set_attribute(ViAttr, ViAttrState) { return VI_ERROR_NSUP_ATTR; }
  // A serial line ends reads at the termination character unless told not to,
  // and may send it after each message.
  virtual bool ends_reads_at_termchar() const { return false; }
  virtual bool sends_termchar_at_end() const { return false; }
  // Discards what the operating system holds for the interface (viFlush's
  // VI_IO_IN_BUF_DISCARD and VI_IO_OUT_BUF_DISCARD).
  virtual void discard_io_buffers(bool /*input*/, bool /*output*/) {}
  // Whether a read that timed out may simply be asked for again, as an
  // asynchronous read does in short slices so that it can be stopped. Not so
  // on USB, where a transfer that times out is aborted on the device.
  virtual bool reads_resume_after_timeout() const { return true; }
  // The TCP connection the instrument's messages travel on, for its socket
  // options (VI_ATTR_TCPIP_NODELAY, VI_ATTR_TCPIP_KEEPALIVE); null elsewhere.
  virtual TcpConnection* tcp_connection() { return nullptr; }
};

// What opening asks of a transport: connecting within `deadline`, and, for an
// exclusive open, the instrument's lock at once where the protocol can take
// it while connecting (VXI-11's create_link); `holds_device_lock` then says so.
struct OpenRequest {
  Deadline deadline;
  bool exclusive_lock = false;
  std::uint32_t lock_timeout_ms = 0;
};

struct TransportEntry {
  ResourceKind kind;
  const char* name;
  // Null when the transport is not built; `unavailable_reason` then says why.
  ViStatus (*open)(const ResourceName& resource, const OpenRequest& request, std::unique_ptr<Transport>& out);
  const char* unavailable_reason;
};

// The transport for a resource kind; never null for a kind the parser yields.
const TransportEntry& transport_for(ResourceKind kind);

// Opens a transport of type T (which has ViStatus Open(resource, request))
// and hands it out only when it opened.
template <typename T>
ViStatus open_transport_of_type(const ResourceName& resource, const OpenRequest& request,
                                std::unique_ptr<Transport>& out) {
  auto transport = std::make_unique<T>();
  ViStatus st = transport->Open(resource, request);
  if (st < 0) return st;
  out = std::move(transport);
  return VI_SUCCESS;
}

// HiSLIP (TCPIP::host::hislipN[,port]::INSTR).
ViStatus open_hislip_transport(const ResourceName& resource, const OpenRequest& request, std::unique_ptr<Transport>& out);

// VXI-11 (TCPIP::host[::inst0]::INSTR).
ViStatus open_vxi11_transport(const ResourceName& resource, const OpenRequest& request, std::unique_ptr<Transport>& out);

// A serial port (ASRL<n>::INSTR, ASRL/dev/ttyUSB0::INSTR).
ViStatus open_serial_transport(const ResourceName& resource, const OpenRequest& request,
                               std::unique_ptr<Transport>& out);

// A USBTMC instrument (USB::vendor::product::serial::INSTR).
ViStatus open_usbtmc_transport(const ResourceName& resource, const OpenRequest& request,
                               std::unique_ptr<Transport>& out);

// Raw TCP/IP socket (TCPIP::host::port::SOCKET).
ViStatus open_socket_transport(const ResourceName& resource, const OpenRequest& request,
                               std::unique_ptr<Transport>& out);

}  // namespace visa
