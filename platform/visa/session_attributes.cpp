// SPDX-License-Identifier: MIT
// The attributes of an instrument session, as one table: type, access, and how
// each is read and written.
#ifdef _WIN32
#include <winsock2.h>
#include <ws2tcpip.h>
#else
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#endif

#include <cstdio>
#include <cstring>
#include <span>
#include <string>
#include <utility>

#include "attribute_value.h"
#include "instrument_session.h"
#include "library_identity.h"
#include "lock_table.h"
#include "tcp_connection.h"
#include "visa.h"

namespace visa {

namespace {

// Which sessions have an attribute; all of them when a row names none.
bool OnTcpip(const ResourceName& r) { return r.interface_type() == VI_INTF_TCPIP; }
bool OnTcpipInstr(const ResourceName& r) { return r.kind == ResourceKind::Vxi11 || r.kind == ResourceKind::Hislip; }
bool OnGpibInstr(const ResourceName& r) { return r.kind == ResourceKind::GpibInstr; }
// Software triggers are the only kind these sessions have; a raw socket has none.
bool HasTrigger(const ResourceName& r) { return r.kind != ResourceKind::Socket && r.kind != ResourceKind::UsbRaw; }

struct AttributeRow {
  ViAttr id;
  AttributeType type;
  ViAttrState (*number)(const InstrumentSession&);
  std::string (*text)(const InstrumentSession&);
  ViStatus (*set)(InstrumentSession&, ViAttrState);  // null: read-only
  bool (*applies)(const ResourceName&) = nullptr;
};

// "TCPIP0 (LAN)": the interface the session goes through, as VISA names one.
std::string InterfaceInstanceName(const ResourceName& r) {
  static constexpr std::pair<ResourceKind, const char*> kWhat[] = {
      {ResourceKind::Socket, "TCPIP%u (LAN, raw socket)"}, {ResourceKind::Vxi11, "TCPIP%u (LAN, VXI-11)"},
      {ResourceKind::Hislip, "TCPIP%u (LAN, HiSLIP)"},     {ResourceKind::Serial, "ASRL%u (serial line)"},
      {ResourceKind::UsbInstr, "USB%u (USBTMC)"},          {ResourceKind::UsbRaw, "USB%u (USB raw)"},
      {ResourceKind::GpibInstr, "GPIB%u"},                 {ResourceKind::GpibIntfc, "GPIB%u"},
      {ResourceKind::PrologixIntfc, "GPIB%u (\"++\" adapter)"}};
  for (const auto& [kind, form] : kWhat) {
    if (kind != r.kind) continue;
    char text[64];
    std::snprintf(text, sizeof text, form, static_cast<unsigned>(r.board));
    return text;
  }
  return {};
}

// A TCP socket option of the connection the session's messages travel on.
ViAttrState TcpFlag(const InstrumentSession& s, int level, int option);
ViStatus SetTcpFlag(InstrumentSession& s, int level, int option, ViAttrState v);

// A ViInt16 as viSetAttribute carries it: sign-extended (or not) to 64 bits.
bool AsInt16(ViAttrState v, ViInt16& out) {
  const ViAttrState high = v >> 15;
  if (high != 0 && high != (~ViAttrState{0} >> 15) && high != 1) return false;
  out = static_cast<ViInt16>(v & 0xFFFF);
  return true;
}

}  // namespace

struct SessionAttributeAccess {
  using S = InstrumentSession;

  static ViStatus set_bool(bool& field, ViAttrState v) {
    if (v != VI_TRUE && v != VI_FALSE) return VI_ERROR_NSUP_ATTR_STATE;
    field = v == VI_TRUE;
    return VI_SUCCESS;
  }
  static ViStatus set_mode(ViUInt16& field, ViAttrState v, ViUInt16 other) {
    if (v != VI_FLUSH_ON_ACCESS && v != other) return VI_ERROR_NSUP_ATTR_STATE;
    field = static_cast<ViUInt16>(v);
    return VI_SUCCESS;
  }
  static TcpConnection* tcp(const S& s) { return s.transport_->tcp_connection(); }

  static std::span<const AttributeRow> table() {
    static const AttributeRow rows[] = {
        {VI_ATTR_RSRC_CLASS, AttributeType::String, nullptr,
         [](const S& s) { return s.resource_.resource_class; }, nullptr},
        {VI_ATTR_RSRC_NAME, AttributeType::String, nullptr,
         [](const S& s) { return s.resource_.canonical; }, nullptr},
        {VI_ATTR_INTF_TYPE, AttributeType::UInt16,
         [](const S& s) -> ViAttrState { return s.resource_.interface_type(); }, nullptr, nullptr},
        {VI_ATTR_INTF_NUM, AttributeType::UInt16,
         [](const S& s) -> ViAttrState { return s.resource_.board; }, nullptr, nullptr},
        {VI_ATTR_TMO_VALUE, AttributeType::UInt32,
         [](const S& s) -> ViAttrState { return s.settings_.timeout_ms; }, nullptr,
         [](S& s, ViAttrState v) -> ViStatus {
           if (v > 0xFFFFFFFFull) return VI_ERROR_NSUP_ATTR_STATE;
           s.settings_.timeout_ms = static_cast<std::uint32_t>(v);
           return VI_SUCCESS;
         }},
        {VI_ATTR_TERMCHAR, AttributeType::UInt8,
         [](const S& s) -> ViAttrState { return s.settings_.termchar; }, nullptr,
         [](S& s, ViAttrState v) -> ViStatus {
           if (v > 0xFF) return VI_ERROR_NSUP_ATTR_STATE;
           s.settings_.termchar = static_cast<unsigned char>(v);
           return VI_SUCCESS;
         }},
        {VI_ATTR_TERMCHAR_EN, AttributeType::Boolean,
         [](const S& s) -> ViAttrState { return s.settings_.termchar_enabled; }, nullptr,
         [](S& s, ViAttrState v) { return set_bool(s.settings_.termchar_enabled, v); }},
        {VI_ATTR_SEND_END_EN, AttributeType::Boolean,
         [](const S& s) -> ViAttrState { return s.settings_.send_end_enabled; }, nullptr,
         [](S& s, ViAttrState v) { return set_bool(s.settings_.send_end_enabled, v); }},
        {VI_ATTR_GPIB_PRIMARY_ADDR, AttributeType::UInt16,
         [](const S& s) -> ViAttrState { return s.resource_.gpib_primary; }, nullptr, nullptr, OnGpibInstr},
        {VI_ATTR_GPIB_SECONDARY_ADDR, AttributeType::UInt16,
         [](const S& s) -> ViAttrState {
           return s.resource_.gpib_secondary < 0 ? VI_NO_SEC_ADDR : static_cast<ViAttrState>(s.resource_.gpib_secondary);
         },
         nullptr, nullptr, OnGpibInstr},
        {VI_ATTR_TCPIP_ADDR, AttributeType::String, nullptr,
         [](const S& s) { return s.transport_->peer_address(); }, nullptr, OnTcpip},
        {VI_ATTR_TCPIP_HOSTNAME, AttributeType::String, nullptr,
         [](const S& s) { return s.resource_.host; }, nullptr, OnTcpip},
        {VI_ATTR_TCPIP_PORT, AttributeType::UInt16,
         [](const S& s) -> ViAttrState { return s.resource_.port; }, nullptr, nullptr, OnTcpip},
        // Keep-alive matters where a firewall or a container drops idle connections.
        {VI_ATTR_TCPIP_NODELAY, AttributeType::Boolean,
         [](const S& s) { return TcpFlag(s, IPPROTO_TCP, TCP_NODELAY); }, nullptr,
         [](S& s, ViAttrState v) { return SetTcpFlag(s, IPPROTO_TCP, TCP_NODELAY, v); }, OnTcpip},
        {VI_ATTR_TCPIP_KEEPALIVE, AttributeType::Boolean,
         [](const S& s) { return TcpFlag(s, SOL_SOCKET, SO_KEEPALIVE); }, nullptr,
         [](S& s, ViAttrState v) { return SetTcpFlag(s, SOL_SOCKET, SO_KEEPALIVE, v); }, OnTcpip},
        {VI_ATTR_TCPIP_DEVICE_NAME, AttributeType::String, nullptr,
         [](const S& s) { return s.resource_.device_name; }, nullptr, OnTcpipInstr},
        {VI_ATTR_TCPIP_IS_HISLIP, AttributeType::Boolean,
         [](const S& s) -> ViAttrState { return s.resource_.kind == ResourceKind::Hislip; }, nullptr, nullptr,
         OnTcpipInstr},
        {VI_ATTR_RM_SESSION, AttributeType::UInt32,
         [](const S& s) -> ViAttrState { return s.resource_manager_; }, nullptr, nullptr},
        {VI_ATTR_INTF_INST_NAME, AttributeType::String, nullptr,
         [](const S& s) { return InterfaceInstanceName(s.resource_); }, nullptr},
        // Data of the application's own, kept with the session and never used here.
        {VI_ATTR_USER_DATA_64, AttributeType::UInt64,
         [](const S& s) -> ViAttrState { return s.settings_.user_data; }, nullptr,
         [](S& s, ViAttrState v) -> ViStatus {
           s.settings_.user_data = v;
           return VI_SUCCESS;
         }},
        {VI_ATTR_USER_DATA_32, AttributeType::UInt32,
         [](const S& s) -> ViAttrState { return s.settings_.user_data & 0xFFFFFFFFu; }, nullptr,
         [](S& s, ViAttrState v) -> ViStatus {
           if (v > 0xFFFFFFFFull) return VI_ERROR_NSUP_ATTR_STATE;
           s.settings_.user_data = v;
           return VI_SUCCESS;
         }},
        // No bus reached here moves data by DMA; the choice is kept as asked.
        {VI_ATTR_DMA_ALLOW_EN, AttributeType::Boolean,
         [](const S& s) -> ViAttrState { return s.settings_.dma_allowed; }, nullptr,
         [](S& s, ViAttrState v) { return set_bool(s.settings_.dma_allowed, v); }},
        {VI_ATTR_SUPPRESS_END_EN, AttributeType::Boolean,
         [](const S& s) -> ViAttrState { return s.settings_.suppress_end; }, nullptr,
         [](S& s, ViAttrState v) { return set_bool(s.settings_.suppress_end, v); }},
        {VI_ATTR_FILE_APPEND_EN, AttributeType::Boolean,
         [](const S& s) -> ViAttrState { return s.settings_.file_append; }, nullptr,
         [](S& s, ViAttrState v) { return set_bool(s.settings_.file_append, v); }},
        {VI_ATTR_RD_BUF_OPER_MODE, AttributeType::UInt16,
         [](const S& s) -> ViAttrState { return s.settings_.read_buffer_mode; }, nullptr,
         [](S& s, ViAttrState v) { return set_mode(s.settings_.read_buffer_mode, v, VI_FLUSH_DISABLE); }},
        {VI_ATTR_WR_BUF_OPER_MODE, AttributeType::UInt16,
         [](const S& s) -> ViAttrState { return s.settings_.write_buffer_mode; }, nullptr,
         [](S& s, ViAttrState v) { return set_mode(s.settings_.write_buffer_mode, v, VI_FLUSH_WHEN_FULL); }},
        {VI_ATTR_RD_BUF_SIZE, AttributeType::UInt32,
         [](const S& s) -> ViAttrState { return s.settings_.read_buffer_size; }, nullptr, nullptr},
        {VI_ATTR_WR_BUF_SIZE, AttributeType::UInt32,
         [](const S& s) -> ViAttrState { return s.settings_.write_buffer_size; }, nullptr, nullptr},
        {VI_ATTR_TRIG_ID, AttributeType::Int16,
         [](const S&) -> ViAttrState { return static_cast<ViAttrState>(VI_TRIG_SW); }, nullptr,
         [](S&, ViAttrState v) -> ViStatus {
           ViInt16 id = 0;
           return AsInt16(v, id) && id == VI_TRIG_SW ? VI_SUCCESS : VI_ERROR_NSUP_ATTR_STATE;
         },
         HasTrigger},
        {VI_ATTR_RSRC_MANF_NAME, AttributeType::String, nullptr,
         [](const S&) { return std::string(kManufacturerName); }, nullptr},
        {VI_ATTR_RSRC_MANF_ID, AttributeType::UInt16, [](const S&) -> ViAttrState { return kManufacturerId; }, nullptr,
         nullptr},
        {VI_ATTR_RSRC_IMPL_VERSION, AttributeType::UInt32,
         [](const S&) -> ViAttrState { return kImplementationVersion; }, nullptr, nullptr},
        {VI_ATTR_RSRC_SPEC_VERSION, AttributeType::UInt32,
         [](const S&) -> ViAttrState { return VI_SPEC_VERSION; }, nullptr, nullptr},
        {VI_ATTR_RSRC_LOCK_STATE, AttributeType::UInt32,
         [](const S& s) -> ViAttrState { return LockTable::instance().state(s.resource_.canonical); }, nullptr,
         nullptr},
        {VI_ATTR_IO_PROT, AttributeType::UInt16,
         [](const S& s) -> ViAttrState { return s.settings_.io_protocol; }, nullptr,
         [](S& s, ViAttrState v) -> ViStatus {
           if (v != VI_PROT_NORMAL && v != VI_PROT_4882_STRS) return VI_ERROR_NSUP_ATTR_STATE;
           s.settings_.io_protocol = static_cast<ViUInt16>(v);
           return VI_SUCCESS;
         }},
        {VI_ATTR_MAX_QUEUE_LENGTH, AttributeType::UInt32,
         [](const S& s) -> ViAttrState { return s.settings_.max_queue_length; }, nullptr,
         [](S& s, ViAttrState v) -> ViStatus {
           if (v == 0 || v > 0xFFFFFFFFull) return VI_ERROR_NSUP_ATTR_STATE;
           s.settings_.max_queue_length = static_cast<std::uint32_t>(v);
           return VI_SUCCESS;
         }},
    };
    return rows;
  }

  static const AttributeRow* find(ViAttr id) {
    for (const AttributeRow& row : table()) {
      if (row.id == id) return &row;
    }
    return nullptr;
  }
};

namespace {

ViAttrState TcpFlag(const InstrumentSession& s, int level, int option) {
  const TcpConnection* connection = SessionAttributeAccess::tcp(s);
  return connection != nullptr && connection->flag(level, option) ? VI_TRUE : VI_FALSE;
}

ViStatus SetTcpFlag(InstrumentSession& s, int level, int option, ViAttrState v) {
  if (v != VI_TRUE && v != VI_FALSE) return VI_ERROR_NSUP_ATTR_STATE;
  TcpConnection* connection = SessionAttributeAccess::tcp(s);
  if (connection == nullptr) return VI_ERROR_NSUP_ATTR;
  return connection->set_flag(level, option, v == VI_TRUE) ? VI_SUCCESS : VI_ERROR_NSUP_ATTR_STATE;
}

}  // namespace

ViStatus InstrumentSession::get_attribute(ViAttr attribute, void* value) {
  const AttributeRow* row = SessionAttributeAccess::find(attribute);
  bool here = row != nullptr && (row->applies == nullptr || row->applies(resource_));
  std::lock_guard lock(io_mutex_);
  AttributeValue v;
  if (here) {
    v.type = row->type;
    if (row->type == AttributeType::String) {
      v.text = row->text(*this);
    } else {
      v.number = row->number(*this);
    }
  } else {
    ViStatus st = transport_->get_attribute(attribute, v);
    if (st < 0) return st;
  }
  if (value == nullptr) return VI_ERROR_USER_BUF;
  store_attribute(v, value);
  return VI_SUCCESS;
}

ViStatus InstrumentSession::set_attribute(ViAttr attribute, ViAttrState value) {
  const AttributeRow* row = SessionAttributeAccess::find(attribute);
  bool here = row != nullptr && (row->applies == nullptr || row->applies(resource_));
  std::lock_guard lock(io_mutex_);
  if (!here) {
    ViStatus st = transport_->set_attribute(attribute, value);
    // Choosing the HiSLIP mode clears the device (also when the server keeps
    // its own): what was read ahead is stale.
    const bool cleared = attribute == VI_ATTR_TCPIP_HISLIP_OVERLAP_EN && (value == VI_TRUE || value == VI_FALSE) &&
                         st != VI_ERROR_CONN_LOST;
    if (cleared) discard_input();
    return st;
  }
  if (row->set == nullptr) return VI_ERROR_ATTR_READONLY;
  return row->set(*this, value);
}

}  // namespace visa
