// SPDX-License-Identifier: MIT
// Serial ports (ASRL resources): a byte stream like a raw socket, with the
// line's settings as attributes. A message ends at the termination character
// unless VI_ATTR_ASRL_END_IN says otherwise.
#include <chrono>
#include <span>
#include <thread>
#include <utility>

#include "serial_line.h"
#include "trace.h"
#include "transport.h"
#include "visa.h"

namespace visa {
namespace {

class SerialTransport;

// One row per attribute of the line: its type, how it reads, how it is set.
struct SerialAttributeRow {
  ViAttr id;
  AttributeType type;
  ViAttrState (*get)(const SerialTransport&);
  ViStatus (*set)(SerialTransport&, ViAttrState);  // null: read-only
};

class SerialTransport final : public Transport {
 public:
  SerialTransport(SerialLine line, std::string path) : line_(std::move(line)), path_(std::move(path)) {}

  ViStatus configure() { return line_.apply(settings_); }

  ViStatus write(const char* data, std::size_t size, bool end, Deadline deadline) override {
    if ((settings_.flow_control & VI_ASRL_FLOW_DTR_DSR) != 0) {
      ViStatus st = wait_for_dsr(deadline);
      if (st < 0) return st;
    }
    if (end && end_out_ == VI_ASRL_END_LAST_BIT && size > 0) {
      // The top data bit marks the last byte of a message, and only it.
      const unsigned char bit = static_cast<unsigned char>(1u << (settings_.data_bits - 1));
      std::string marked(data, size);
      for (char& c : marked) c = static_cast<char>(static_cast<unsigned char>(c) & ~bit);
      marked.back() = static_cast<char>(static_cast<unsigned char>(marked.back()) | bit);
      return line_.write_all(marked.data(), marked.size(), deadline);
    }
    ViStatus st = line_.write_all(data, size, deadline);
    if (st < 0 || !end || end_out_ != VI_ASRL_END_BREAK) return st;
    return send_break(deadline);
  }

  ViStatus read(char* data, std::size_t capacity, const ReadSettings&, Deadline deadline, std::size_t& got,
                bool& end) override {
    end = false;
    got = 0;
    while (got == 0) {
      if (!held_.empty()) {
        got = std::min(capacity, held_.size());
        held_.copy(data, got);
        held_.erase(0, got);
      } else {
        ViStatus st = line_.read_some(data, capacity, deadline, got);
        if (st < 0) return st;
      }
      if (discard_null_) got = static_cast<std::size_t>(std::remove(data, data + got, '\0') - data);
    }
    if (end_in_ == VI_ASRL_END_LAST_BIT) {
      const unsigned char bit = static_cast<unsigned char>(1u << (settings_.data_bits - 1));
      for (std::size_t i = 0; i < got; ++i) {
        if ((static_cast<unsigned char>(data[i]) & bit) == 0) continue;
        // The message ends here; what followed belongs to the next one.
        held_.insert(0, data + i + 1, got - i - 1);
        got = i + 1;
        end = true;
        break;
      }
    }
    return VI_SUCCESS;
  }

  ViStatus discard_arrived() override {
    held_.clear();
    line_.discard(true, false);
    return VI_SUCCESS;
  }

  ViStatus clear(Deadline) override {
    held_.clear();
    line_.discard(true, true);
    return VI_SUCCESS;
  }

  void discard_io_buffers(bool input, bool output) override {
    if (input) held_.clear();
    line_.discard(input, output);
  }

  bool ends_reads_at_termchar() const override { return end_in_ == VI_ASRL_END_TERMCHAR; }
  bool sends_termchar_at_end() const override { return end_out_ == VI_ASRL_END_TERMCHAR; }

  std::string peer_address() const override { return path_; }

  ViStatus get_attribute(ViAttr id, AttributeValue& value) const override {
    const SerialAttributeRow* row = find(id);
    if (row == nullptr) return VI_ERROR_NSUP_ATTR;
    value.type = row->type;
    value.number = row->get(*this);
    return VI_SUCCESS;
  }

  ViStatus set_attribute(ViAttr id, ViAttrState value) override {
    const SerialAttributeRow* row = find(id);
    if (row == nullptr) return VI_ERROR_NSUP_ATTR;
    if (row->set == nullptr) return VI_ERROR_ATTR_READONLY;
    return row->set(*this, value);
  }

 private:
  friend struct SerialAttributes;

  static const SerialAttributeRow* find(ViAttr id);

  // A line setting changes only when the port takes it.
  template <typename Field>
  ViStatus change_setting(Field SerialSettings::*field, ViAttrState value) {
    SerialSettings wanted = settings_;
    wanted.*field = static_cast<Field>(value);
    ViStatus st = line_.apply(wanted);
    if (st < 0) {
      line_.apply(settings_);
      return st;
    }
    settings_ = wanted;
    return VI_SUCCESS;
  }

  ViStatus wait_for_dsr(Deadline deadline) {
    // A port without modem lines (a pseudo-terminal) has no DSR to wait for.
    while (line_.modem_line(ModemLine::Dsr) == VI_STATE_UNASSERTED) {
      if (deadline.exhausted()) return VI_ERROR_TMO;
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return VI_SUCCESS;
  }

  ViStatus send_break(Deadline deadline) {
    ViStatus st = line_.drain(deadline);
    if (st < 0) return st;
    if (!line_.set_break(true)) return VI_ERROR_IO;
    std::this_thread::sleep_for(std::chrono::milliseconds(break_length_ms_));
    return line_.set_break(false) ? VI_SUCCESS : VI_ERROR_IO;
  }

  SerialLine line_;
  const std::string path_;
  SerialSettings settings_;
  ViUInt16 end_in_ = VI_ASRL_END_TERMCHAR;
  ViUInt16 end_out_ = VI_ASRL_END_NONE;
  bool discard_null_ = false;
  bool transmit_allowed_ = true;
  bool break_held_ = false;
  ViInt16 break_length_ms_ = 250;
  std::string held_;  // bytes read past the end of a message (END_IN last bit)
};

ViStatus SetFlag(bool& field, ViAttrState v) {
  if (v != VI_TRUE && v != VI_FALSE) return VI_ERROR_NSUP_ATTR_STATE;
  field = v == VI_TRUE;
  return VI_SUCCESS;
}

// A state attribute's value as the caller gave it: VI_STATE_ASSERTED or
// VI_STATE_UNASSERTED, a ViInt16 widened to the attribute state.
int StateOf(ViAttrState v) { return static_cast<ViInt16>(static_cast<long long>(v)); }

struct SerialAttributes {
  using T = SerialTransport;

  static std::span<const SerialAttributeRow> rows() {
    static const SerialAttributeRow table[] = {
        {VI_ATTR_ASRL_BAUD, AttributeType::UInt32, [](const T& t) -> ViAttrState { return t.settings_.baud; },
         [](T& t, ViAttrState v) -> ViStatus {
           if (v == 0 || v > 0xFFFFFFFFull) return VI_ERROR_NSUP_ATTR_STATE;
           return t.change_setting(&SerialSettings::baud, v);
         }},
        {VI_ATTR_ASRL_DATA_BITS, AttributeType::UInt16,
         [](const T& t) -> ViAttrState { return t.settings_.data_bits; },
         [](T& t, ViAttrState v) -> ViStatus {
           if (v < 5 || v > 8) return VI_ERROR_NSUP_ATTR_STATE;
           return t.change_setting(&SerialSettings::data_bits, v);
         }},
        {VI_ATTR_ASRL_PARITY, AttributeType::UInt16, [](const T& t) -> ViAttrState { return t.settings_.parity; },
         [](T& t, ViAttrState v) -> ViStatus {
           if (v > VI_ASRL_PAR_SPACE) return VI_ERROR_NSUP_ATTR_STATE;
           return t.change_setting(&SerialSettings::parity, v);
         }},
        {VI_ATTR_ASRL_STOP_BITS, AttributeType::UInt16,
         [](const T& t) -> ViAttrState { return t.settings_.stop_bits; },
         [](T& t, ViAttrState v) -> ViStatus {
           if (v != VI_ASRL_STOP_ONE && v != VI_ASRL_STOP_ONE5 && v != VI_ASRL_STOP_TWO)
             return VI_ERROR_NSUP_ATTR_STATE;
           return t.change_setting(&SerialSettings::stop_bits, v);
         }},
        {VI_ATTR_ASRL_FLOW_CNTRL, AttributeType::UInt16,
         [](const T& t) -> ViAttrState { return t.settings_.flow_control; },
         [](T& t, ViAttrState v) -> ViStatus {
           constexpr ViAttrState kKnown = VI_ASRL_FLOW_XON_XOFF | VI_ASRL_FLOW_RTS_CTS | VI_ASRL_FLOW_DTR_DSR;
           // One hardware handshake at a time; XON/XOFF goes with either.
           constexpr ViAttrState kBothHardware = VI_ASRL_FLOW_RTS_CTS | VI_ASRL_FLOW_DTR_DSR;
           if ((v & ~kKnown) != 0 || (v & kBothHardware) == kBothHardware) return VI_ERROR_NSUP_ATTR_STATE;
           ViStatus st = t.change_setting(&SerialSettings::flow_control, v);
           // Under DTR/DSR handshaking DTR says this end is ready to receive.
           if (st >= 0 && (v & VI_ASRL_FLOW_DTR_DSR) != 0) t.line_.set_modem_line(ModemLine::Dtr, true);
           return st;
         }},
        {VI_ATTR_ASRL_XON_CHAR, AttributeType::UInt8, [](const T& t) -> ViAttrState { return t.settings_.xon; },
         [](T& t, ViAttrState v) -> ViStatus {
           if (v > 0xFF) return VI_ERROR_NSUP_ATTR_STATE;
           return t.change_setting(&SerialSettings::xon, v);
         }},
        {VI_ATTR_ASRL_XOFF_CHAR, AttributeType::UInt8, [](const T& t) -> ViAttrState { return t.settings_.xoff; },
         [](T& t, ViAttrState v) -> ViStatus {
           if (v > 0xFF) return VI_ERROR_NSUP_ATTR_STATE;
           return t.change_setting(&SerialSettings::xoff, v);
         }},
        {VI_ATTR_ASRL_END_IN, AttributeType::UInt16, [](const T& t) -> ViAttrState { return t.end_in_; },
         [](T& t, ViAttrState v) -> ViStatus {
           if (v != VI_ASRL_END_NONE && v != VI_ASRL_END_LAST_BIT && v != VI_ASRL_END_TERMCHAR)
             return VI_ERROR_NSUP_ATTR_STATE;
           t.end_in_ = static_cast<ViUInt16>(v);
           return VI_SUCCESS;
         }},
        {VI_ATTR_ASRL_END_OUT, AttributeType::UInt16, [](const T& t) -> ViAttrState { return t.end_out_; },
         [](T& t, ViAttrState v) -> ViStatus {
           if (v > VI_ASRL_END_BREAK) return VI_ERROR_NSUP_ATTR_STATE;
           // Only a port that can send a break ends messages with one.
           if (v == VI_ASRL_END_BREAK && !t.line_.set_break(false)) return VI_ERROR_NSUP_ATTR_STATE;
           t.end_out_ = static_cast<ViUInt16>(v);
           return VI_SUCCESS;
         }},
        {VI_ATTR_ASRL_AVAIL_NUM, AttributeType::UInt32,
         [](const T& t) -> ViAttrState { return t.held_.size() + t.line_.bytes_waiting(); }, nullptr},
        {VI_ATTR_ASRL_DISCARD_NULL, AttributeType::Boolean,
         [](const T& t) -> ViAttrState { return t.discard_null_; },
         [](T& t, ViAttrState v) { return SetFlag(t.discard_null_, v); }},
        {VI_ATTR_ASRL_ALLOW_TRANSMIT, AttributeType::Boolean,
         [](const T& t) -> ViAttrState { return t.transmit_allowed_; },
         [](T& t, ViAttrState v) -> ViStatus {
           bool allowed = false;
           ViStatus st = SetFlag(allowed, v);
           if (st < 0) return st;
           if (!t.line_.allow_transmit(allowed)) return VI_ERROR_NSUP_ATTR_STATE;
           t.transmit_allowed_ = allowed;
           return VI_SUCCESS;
         }},
        {VI_ATTR_ASRL_BREAK_STATE, AttributeType::Int16,
         [](const T& t) -> ViAttrState {
           return static_cast<ViAttrState>(t.break_held_ ? VI_STATE_ASSERTED : VI_STATE_UNASSERTED);
         },
         [](T& t, ViAttrState v) -> ViStatus {
           int state = StateOf(v);
           if (state != VI_STATE_ASSERTED && state != VI_STATE_UNASSERTED) return VI_ERROR_NSUP_ATTR_STATE;
           if (!t.line_.set_break(state == VI_STATE_ASSERTED)) return VI_ERROR_NSUP_ATTR_STATE;
           t.break_held_ = state == VI_STATE_ASSERTED;
           return VI_SUCCESS;
         }},
        {VI_ATTR_ASRL_BREAK_LEN, AttributeType::Int16,
         [](const T& t) -> ViAttrState { return static_cast<ViAttrState>(t.break_length_ms_); },
         [](T& t, ViAttrState v) -> ViStatus {
           int ms = StateOf(v);
           if (ms < 1 || ms > 500) return VI_ERROR_NSUP_ATTR_STATE;
           t.break_length_ms_ = static_cast<ViInt16>(ms);
           return VI_SUCCESS;
         }},
        {VI_ATTR_ASRL_RTS_STATE, AttributeType::Int16, &line_state<ModemLine::Rts>,
         &set_line_state<ModemLine::Rts, VI_ASRL_FLOW_RTS_CTS>},
        {VI_ATTR_ASRL_DTR_STATE, AttributeType::Int16, &line_state<ModemLine::Dtr>,
         &set_line_state<ModemLine::Dtr, VI_ASRL_FLOW_DTR_DSR>},
        {VI_ATTR_ASRL_CTS_STATE, AttributeType::Int16, &line_state<ModemLine::Cts>, nullptr},
        {VI_ATTR_ASRL_DSR_STATE, AttributeType::Int16, &line_state<ModemLine::Dsr>, nullptr},
        {VI_ATTR_ASRL_DCD_STATE, AttributeType::Int16, &line_state<ModemLine::Dcd>, nullptr},
        {VI_ATTR_ASRL_RI_STATE, AttributeType::Int16, &line_state<ModemLine::Ri>, nullptr},
    };
    return table;
  }

  template <ModemLine line>
  static ViAttrState line_state(const T& t) {
    return static_cast<ViAttrState>(static_cast<long long>(t.line_.modem_line(line)));
  }

  // RTS and DTR are the caller's to set unless their handshake drives them.
  template <ModemLine line, ViUInt16 handshake>
  static ViStatus set_line_state(T& t, ViAttrState v) {
    int state = StateOf(v);
    if (state != VI_STATE_ASSERTED && state != VI_STATE_UNASSERTED) return VI_ERROR_NSUP_ATTR_STATE;
    if ((t.settings_.flow_control & handshake) != 0) return VI_ERROR_NSUP_ATTR_STATE;
    return t.line_.set_modem_line(line, state == VI_STATE_ASSERTED) ? VI_SUCCESS : VI_ERROR_NSUP_ATTR_STATE;
  }
};

const SerialAttributeRow* SerialTransport::find(ViAttr id) {
  for (const SerialAttributeRow& row : SerialAttributes::rows()) {
    if (row.id == id) return &row;
  }
  return nullptr;
}

}  // namespace

ViStatus open_serial_transport(const ResourceName& resource, const OpenRequest&, std::unique_ptr<Transport>& out) {
  SerialLine line;
  std::string why;
  ViStatus st = SerialLine::open(resource.device_path, line, why);
  if (st < 0) {
    trace_note(resource.device_path + ": " + why);
    return st;
  }
  auto transport = std::make_unique<SerialTransport>(std::move(line), resource.device_path);
  // Every session starts from VISA's defaults: 9600 baud, 8 data bits, no parity, one stop bit.
  st = transport->configure();
  if (st < 0) {
    trace_note(resource.device_path + ": the port does not take 9600 8N1");
    return VI_ERROR_IO;
  }
  out = std::move(transport);
  return VI_SUCCESS;
}

}  // namespace visa
