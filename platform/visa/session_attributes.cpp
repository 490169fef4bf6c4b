// SPDX-License-Identifier: MIT
// The attributes of an instrument session, as one table: type, access, and how
// each is read and written.
#include <cstring>
#include <span>
#include <string>

#include "attribute_value.h"
#include "instrument_session.h"
#include "lock_table.h"
#include "visa.h"

namespace visa {

// Who made this VISA library, and its version as VISA encodes one (1.0.0).
constexpr const char* kManufacturerName = "ZEVRA open instrument stack";
constexpr ViAttrState kImplementationVersion = 0x00100000;

struct AttributeRow {
  ViAttr id;
  AttributeType type;
  ViAttrState (*number)(const InstrumentSession&);
  std::string (*text)(const InstrumentSession&);
  ViStatus (*set)(InstrumentSession&, ViAttrState);  // null: read-only
  bool tcpip_only = false;  // a LAN resource's attribute: not there on a serial line or USB
};

struct SessionAttributeAccess {
  using S = InstrumentSession;

  static ViStatus set_bool(bool& field, ViAttrState v) {
    if (v != VI_TRUE && v != VI_FALSE) return VI_ERROR_NSUP_ATTR_STATE;
    field = v == VI_TRUE;
    return VI_SUCCESS;
  }

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
        {VI_ATTR_TCPIP_ADDR, AttributeType::String, nullptr,
         [](const S& s) { return s.transport_->peer_address(); }, nullptr, true},
        {VI_ATTR_TCPIP_HOSTNAME, AttributeType::String, nullptr,
         [](const S& s) { return s.resource_.host; }, nullptr, true},
        {VI_ATTR_TCPIP_PORT, AttributeType::UInt16,
         [](const S& s) -> ViAttrState { return s.resource_.port; }, nullptr, nullptr, true},
        {VI_ATTR_TCPIP_NODELAY, AttributeType::Boolean,
         [](const S&) -> ViAttrState { return VI_TRUE; }, nullptr, nullptr, true},
        {VI_ATTR_TCPIP_KEEPALIVE, AttributeType::Boolean,
         [](const S&) -> ViAttrState { return VI_FALSE; }, nullptr, nullptr, true},
        {VI_ATTR_TCPIP_DEVICE_NAME, AttributeType::String, nullptr,
         [](const S& s) { return s.resource_.device_name; }, nullptr, true},
        {VI_ATTR_RSRC_MANF_NAME, AttributeType::String, nullptr,
         [](const S&) { return std::string(kManufacturerName); }, nullptr},
        // No registered VXIplug&play vendor ID belongs to this library.
        {VI_ATTR_RSRC_MANF_ID, AttributeType::UInt16, [](const S&) -> ViAttrState { return 0; }, nullptr, nullptr},
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

ViStatus InstrumentSession::get_attribute(ViAttr attribute, void* value) {
  const AttributeRow* row = SessionAttributeAccess::find(attribute);
  bool here = row != nullptr && (!row->tcpip_only || resource_.interface_type() == VI_INTF_TCPIP);
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
  bool here = row != nullptr && (!row->tcpip_only || resource_.interface_type() == VI_INTF_TCPIP);
  std::lock_guard lock(io_mutex_);
  if (!here) return transport_->set_attribute(attribute, value);
  if (row->set == nullptr) return VI_ERROR_ATTR_READONLY;
  return row->set(*this, value);
}

}  // namespace visa
