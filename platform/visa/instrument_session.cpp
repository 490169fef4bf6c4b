// SPDX-License-Identifier: MIT
#include "instrument_session.h"

#include <algorithm>
#include <utility>

#include "formatted_io.h"
#include "trace.h"
#include "visa.h"

namespace visa {

class InstrumentSession::WriteBuffer final : public WriteSink {
 public:
  explicit WriteBuffer(InstrumentSession& session) : session_(session) {}
  ViStatus append(const char* data, std::size_t size) override {
    session_.pending_output_.append(data, size);
    // Formatted output is sent in pieces of the buffer's size when no "\n" ends it first.
    if (session_.pending_output_.size() >= session_.settings_.write_buffer_size) return session_.send_pending(false);
    return VI_SUCCESS;
  }
  ViStatus end_message() override { return session_.send_pending(true); }
  ViStatus finish_message(const char* data, std::size_t size) override {
    // A whole message, nothing held before it and shorter than the buffer:
    // sent from where it was formatted, without a copy into the buffer.
    if (session_.pending_output_.empty() && size < session_.settings_.write_buffer_size)
      return session_.send_bytes(data, size, true);
    return WriteSink::finish_message(data, size);
  }

 private:
  InstrumentSession& session_;
};

class InstrumentSession::Reader final : public ReadSource {
 public:
  Reader(InstrumentSession& session, Deadline deadline)
      : session_(session), deadline_(deadline), settings_(session.read_settings()) {}
  ViStatus peek(InputBuffer::Item& item) override {
    return session_.track(
        session_.input_.peek(*session_.transport_, settings_, deadline_, item));
  }
  void consume(const InputBuffer::Item& item) override {
    if (item.has_byte) trace_read(&item.byte, 1);
    session_.input_.consume(item);
  }
  bool has_buffered() const override { return session_.input_.has_buffered(); }
  std::string_view plain_run() override { return session_.input_.plain_run(settings_); }
  void take_plain(std::size_t n) override {
    trace_read(session_.input_.consume_plain(n), n);
  }

 private:
  InstrumentSession& session_;
  Deadline deadline_;
  ReadSettings settings_;
};

InstrumentSession::InstrumentSession(ViSession handle, ViSession resource_manager,
                                     ResourceName resource, std::unique_ptr<Transport> transport)
    : handle_(handle),
      resource_manager_(resource_manager),
      resource_(std::move(resource)),
      events_(handle),
      transport_(std::move(transport)) {
  if (transport_->carries_service_requests()) events_.support(VI_EVENT_SERVICE_REQ);
  events_.support(VI_EVENT_EXCEPTION);
  events_.support(VI_EVENT_IO_COMPLETION);
}

ViStatus InstrumentSession::track(ViStatus status) {
  if (status == VI_ERROR_CONN_LOST) connection_lost_ = true;
  return status;
}

ViStatus InstrumentSession::send_pending(bool end) {
  if (pending_output_.empty() && !end) return VI_SUCCESS;
  ViStatus st = send_bytes(pending_output_.data(), pending_output_.size(), end);
  pending_output_.clear();  // its storage stays for the next command
  return st;
}

ViStatus InstrumentSession::send_bytes(const char* data, std::size_t size, bool end) {
  trace_written(data, size);
  note_sent(std::string_view(data, size));
  return track(transport_write(data, size, end && settings_.send_end_enabled));
}

ViStatus InstrumentSession::transport_write(const char* data, std::size_t size, bool end) {
  if (!end || !transport_->sends_termchar_at_end()) return transport_->write(data, size, end, deadline());
  std::string message;
  message.reserve(size + 1);
  message.append(data, size).push_back(static_cast<char>(settings_.termchar));
  trace_written(message.data() + size, 1);
  return transport_->write(message.data(), message.size(), true, deadline());
}

ViStatus InstrumentSession::discard_input() {
  input_.clear();
  sends_unanswered_ = 0;
  read_cut_short_ = false;
  return track(transport_->discard_arrived());
}

// Only a query is answered: an IEEE 488.2 instrument sends nothing for a
// command, so a message without "?" leaves no reply for a later query to
// take by mistake.
void InstrumentSession::note_sent(std::string_view bytes) {
  if (bytes.find('?') != std::string_view::npos) ++sends_unanswered_;
}

ViStatus InstrumentSession::note_read(ViStatus status) {
  if (status < 0 || !input_.at_message_boundary()) {
    read_cut_short_ = true;
  } else if (sends_unanswered_ > 0) {
    --sends_unanswered_;
  }
  return status;
}

ViStatus InstrumentSession::read(char* buffer, std::size_t count, std::size_t& got) {
  got = 0;
  std::lock_guard lock(io_mutex_);
  if (connection_lost_) return VI_ERROR_CONN_LOST;
  ViStatus st = track(input_.read(*transport_, read_settings(), deadline(), buffer, count, got));
  trace_read(buffer, got);
  return note_read(st);
}

ViStatus InstrumentSession::read_job(char* buffer, std::size_t count, std::size_t& got,
                                     const std::atomic<bool>& abort) {
  got = 0;
  const bool sliced = transport_->reads_resume_after_timeout();
  const Deadline overall = [&] {
    std::lock_guard lock(io_mutex_);  // the timeout is a setting another thread may change
    return deadline();
  }();
  for (;;) {
    if (abort) return VI_ERROR_ABORT;
    std::size_t part = 0;
    ViStatus st;
    {
      std::lock_guard lock(io_mutex_);
      if (connection_lost_) return VI_ERROR_CONN_LOST;
      const Deadline slice = sliced ? Deadline::earliest(overall, Deadline::after_ms(kJobSliceMs)) : overall;
      st = track(input_.read(*transport_, read_settings(), slice, buffer + got, count - got, part));
      trace_read(buffer + got, part);
      got += part;
      if (st != VI_ERROR_TMO || overall.exhausted() || !sliced) return note_read(st);
    }
  }
}

ViStatus InstrumentSession::write(const char* buffer, std::size_t count, std::size_t& written) {
  written = 0;
  std::lock_guard lock(io_mutex_);
  if (connection_lost_) return VI_ERROR_CONN_LOST;
  // Formatted output still buffered goes first, so the byte stream keeps its order.
  ViStatus st = send_pending(false);
  if (st < 0) return st;
  trace_written(buffer, count);
  note_sent(std::string_view(buffer, count));
  st = track(transport_write(buffer, count, settings_.send_end_enabled));
  if (st >= 0) written = count;
  return st;
}

ViStatus InstrumentSession::printf_locked(const char* format, va_list* args) {
  WriteBuffer sink(*this);
  ViStatus st = format_write(format, args, sink);
  if (st == VI_ERROR_INV_FMT || st == VI_ERROR_NSUP_FMT || st == VI_ERROR_USER_BUF)
    pending_output_.clear();  // never send half a command
  return st;
}

ViStatus InstrumentSession::scanf_locked(const char* format, va_list* args) {
  Reader source(*this, deadline());
  ViStatus st = note_read(format_read(format, args, source));
  // VI_FLUSH_ON_ACCESS: what the scan left in the read buffer goes, as viFlush(VI_READ_BUF) drops it.
  if (settings_.read_buffer_mode == VI_FLUSH_ON_ACCESS) input_.clear();
  return st;
}

ViStatus InstrumentSession::flush_on_access(ViStatus st) {
  // VI_FLUSH_ON_ACCESS: what a call left in the write buffer is sent, as viFlush(VI_WRITE_BUF) sends it.
  if (st < 0 || settings_.write_buffer_mode != VI_FLUSH_ON_ACCESS) return st;
  ViStatus sent = send_pending(false);
  return sent < 0 ? sent : st;
}

ViStatus InstrumentSession::printf(const char* format, va_list* args) {
  std::lock_guard lock(io_mutex_);
  if (connection_lost_) return VI_ERROR_CONN_LOST;
  return flush_on_access(printf_locked(format, args));
}

ViStatus InstrumentSession::scanf(const char* format, va_list* args) {
  std::lock_guard lock(io_mutex_);
  if (connection_lost_) return VI_ERROR_CONN_LOST;
  return scanf_locked(format, args);
}

ViStatus InstrumentSession::queryf(const char* write_format, const char* read_format,
                                   va_list* args) {
  std::lock_guard lock(io_mutex_);
  if (connection_lost_) return VI_ERROR_CONN_LOST;
  // A reply that arrived after an earlier timeout must not be taken as this one's.
  ViStatus st = input_may_be_stale() ? discard_input() : VI_SUCCESS;
  if (st < 0) return st;
  st = printf_locked(write_format, args);
  if (st < 0) return st;
  if (!pending_output_.empty()) {
    st = send_pending(true);
    if (st < 0) return st;
  }
  return scanf_locked(read_format, args);
}

ViStatus InstrumentSession::flush(unsigned mask) {
  constexpr unsigned kKnown = VI_READ_BUF | VI_WRITE_BUF | VI_READ_BUF_DISCARD |
                              VI_WRITE_BUF_DISCARD | VI_IO_IN_BUF | VI_IO_OUT_BUF |
                              VI_IO_IN_BUF_DISCARD | VI_IO_OUT_BUF_DISCARD;
  if (mask == 0 || (mask & ~kKnown) != 0) return VI_ERROR_INV_MASK;
  std::lock_guard lock(io_mutex_);
  if ((mask & (VI_READ_BUF | VI_READ_BUF_DISCARD | VI_IO_IN_BUF | VI_IO_IN_BUF_DISCARD)) != 0)
    input_.clear();
  if ((mask & (VI_WRITE_BUF_DISCARD | VI_IO_OUT_BUF_DISCARD)) != 0) pending_output_.clear();
  if ((mask & (VI_IO_IN_BUF_DISCARD | VI_IO_OUT_BUF_DISCARD)) != 0)
    transport_->discard_io_buffers((mask & VI_IO_IN_BUF_DISCARD) != 0, (mask & VI_IO_OUT_BUF_DISCARD) != 0);
  if ((mask & (VI_WRITE_BUF | VI_IO_OUT_BUF)) != 0) {
    if (connection_lost_) return VI_ERROR_CONN_LOST;
    return send_pending(false);
  }
  return VI_SUCCESS;
}

ViStatus InstrumentSession::buffer_write(const char* buffer, std::size_t count, std::size_t& written) {
  written = 0;
  std::lock_guard lock(io_mutex_);
  if (connection_lost_) return VI_ERROR_CONN_LOST;
  WriteBuffer sink(*this);
  ViStatus st = flush_on_access(sink.append(buffer, count));
  if (st >= 0) written = count;
  return st;
}

ViStatus InstrumentSession::set_buffer_size(unsigned mask, std::uint32_t size) {
  constexpr unsigned kBuffers = VI_READ_BUF | VI_WRITE_BUF | VI_IO_IN_BUF | VI_IO_OUT_BUF;
  if (mask == 0 || (mask & ~kBuffers) != 0) return VI_ERROR_INV_MASK;
  std::lock_guard lock(io_mutex_);
  if ((mask & VI_WRITE_BUF) != 0) settings_.write_buffer_size = std::max<std::size_t>(size, 1);
  if ((mask & VI_READ_BUF) != 0) settings_.read_buffer_size = size;
  return VI_SUCCESS;
}

ViStatus InstrumentSession::clear() {
  std::lock_guard lock(io_mutex_);
  if (connection_lost_) return VI_ERROR_CONN_LOST;
  pending_output_.clear();
  input_.clear();
  ViStatus st = track(transport_->discard_arrived());
  if (st < 0) return st;
  st = track(transport_->clear(deadline()));
  // A serial line has no clear message: a 488.2 instrument hears "*CLS" instead.
  if (st < 0 || resource_.kind != ResourceKind::Serial || settings_.io_protocol != VI_PROT_4882_STRS) return st;
  static constexpr char kClearStatus[] = "*CLS\n";
  trace_written(kClearStatus, sizeof kClearStatus - 1);
  return track(transport_write(kClearStatus, sizeof kClearStatus - 1, true));
}

}  // namespace visa
