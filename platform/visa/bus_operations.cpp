// SPDX-License-Identifier: MIT
// What a session does besides messages: the status byte, a device trigger,
// the instrument's lock and service requests. VXI-11 and HiSLIP carry them as
// messages of their own; a raw socket has no such messages, so the status
// byte and trigger are sent as IEEE 488.2 strings when the session's I/O
// protocol says so.
#include <charconv>
#include <string>

#include "instrument_session.h"
#include "trace.h"
#include "visa.h"

namespace visa {
namespace {

// How much unread reply a status byte read steps over before giving up.
constexpr std::size_t kMostSkipped = 1 << 20;
// Internal: the status byte came after replies that were waiting.
constexpr ViStatus kRepliesWaiting = 1;

// "0".."255", then the line feed (and a carriage return before it, if any).
bool IsStatusByteLine(std::string_view line) {
  while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.remove_suffix(1);
  unsigned value = 0;
  auto [end, ec] = std::from_chars(line.data(), line.data() + line.size(), value);
  return !line.empty() && ec == std::errc{} && end == line.data() + line.size() && value <= 255;
}

}  // namespace

ViStatus InstrumentSession::socket_exchange(const char* command, std::string* reply) {
  std::string line = std::string(command) + "\n";
  trace_written(line.data(), line.size());
  ViStatus st = track(transport_->write(line.data(), line.size(), true, deadline()));
  if (st < 0 || reply == nullptr) return st;
  // The answer is the first line that reads as a status byte; lines before it
  // are replies the caller has not read yet, and go back for its next read.
  const Deadline until = deadline();
  const ReadSettings settings{true, '\n'};
  std::string skipped, current;
  char chunk[64];
  while (skipped.size() < kMostSkipped) {
    std::size_t got = 0;
    st = track(input_.read(*transport_, settings, until, chunk, sizeof chunk, got));
    trace_read(chunk, got);
    if (st < 0) break;
    current.append(chunk, got);
    if (st == VI_SUCCESS_MAX_CNT) continue;
    if (IsStatusByteLine(current)) {
      *reply = current;
      input_.unread(skipped);
      return skipped.empty() ? VI_SUCCESS : kRepliesWaiting;
    }
    skipped += current;
    current.clear();
  }
  input_.unread(skipped + current);
  read_cut_short_ = true;  // a late status byte line may still come
  return st < 0 ? st : VI_ERROR_IO;
}

ViStatus InstrumentSession::read_stb(ViUInt16& stb) {
  std::lock_guard lock(io_mutex_);
  if (connection_lost_) return VI_ERROR_CONN_LOST;
  ViStatus st = send_pending(false);
  if (st < 0) return st;
  if (!resource_.byte_stream()) return track(transport_->read_stb(deadline(), stb));
  if (settings_.io_protocol != VI_PROT_4882_STRS) return VI_ERROR_NSUP_OPER;
  std::string reply;
  st = socket_exchange("*STB?", &reply);
  if (st < 0) return st;
  stb = static_cast<ViUInt16>(std::stoi(reply));
  // A reply that was waiting is a message available, whatever the instrument said.
  if (st == kRepliesWaiting) stb |= 0x10;
  return VI_SUCCESS;
}

ViStatus InstrumentSession::lock_device(std::uint32_t timeout_ms, const std::string* shared_key) {
  std::lock_guard lock(io_mutex_);
  if (connection_lost_) return VI_ERROR_CONN_LOST;
  if (shared_key != nullptr) return track(transport_->lock_device_shared(timeout_ms, *shared_key, deadline()));
  return track(transport_->lock_device(timeout_ms, deadline()));
}

ViStatus InstrumentSession::unlock_device(bool shared) {
  std::lock_guard lock(io_mutex_);
  if (connection_lost_) return VI_SUCCESS;  // a lost link holds no lock
  return track(transport_->unlock_device(shared, deadline()));
}

ViStatus InstrumentSession::assert_trigger(ViUInt16 protocol) {
  if (protocol != VI_TRIG_PROT_DEFAULT) return VI_ERROR_INV_PROT;
  std::lock_guard lock(io_mutex_);
  if (connection_lost_) return VI_ERROR_CONN_LOST;
  ViStatus st = send_pending(false);
  if (st < 0) return st;
  if (!resource_.byte_stream()) return track(transport_->assert_trigger(deadline()));
  if (settings_.io_protocol != VI_PROT_4882_STRS) return VI_ERROR_NSUP_OPER;
  return socket_exchange("*TRG", nullptr);
}

ViStatus InstrumentSession::control_ren(ViUInt16 mode) {
  if (mode > VI_GPIB_REN_ADDRESS_GTL) return VI_ERROR_INV_MODE;
  std::lock_guard lock(io_mutex_);
  if (connection_lost_) return VI_ERROR_CONN_LOST;
  ViStatus st = send_pending(false);
  if (st < 0) return st;
  return track(transport_->control_ren(mode, deadline()));
}

ViStatus InstrumentSession::interface_clear() {
  std::lock_guard lock(io_mutex_);
  if (connection_lost_) return VI_ERROR_CONN_LOST;
  return track(transport_->interface_clear(deadline()));
}

ViStatus InstrumentSession::enable_event(ViEventType type, ViUInt16 mechanism, ViEventFilter filter) {
  std::lock_guard lock(io_mutex_);
  const bool was_enabled = events_.enabled(type);
  ViStatus st = events_.enable(type, mechanism, filter, settings_.max_queue_length);
  if (st < 0 || was_enabled || type != VI_EVENT_SERVICE_REQ) return st;
  ViStatus started = connection_lost_ ? VI_ERROR_CONN_LOST
                                      : track(transport_->start_service_requests(
                                            [this] { events_.occurred(VI_EVENT_SERVICE_REQ); }, deadline()));
  if (started < 0) {
    events_.disable(type, VI_ALL_MECH);
    return started;
  }
  return st;
}

ViStatus InstrumentSession::disable_event(ViEventType type, ViUInt16 mechanism) {
  std::lock_guard lock(io_mutex_);
  const bool was_enabled = events_.enabled(VI_EVENT_SERVICE_REQ);
  ViStatus st = events_.disable(type, mechanism);
  if (st >= 0 && was_enabled && !events_.enabled(VI_EVENT_SERVICE_REQ)) transport_->stop_service_requests(deadline());
  return st;
}

}  // namespace visa
