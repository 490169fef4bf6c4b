// SPDX-License-Identifier: MIT
// One open VISA instrument session: its transport, buffers and attributes.
#pragma once

#include <atomic>
#include <cstdarg>
#include <memory>
#include <mutex>
#include <string>

#include "async_jobs.h"
#include "input_buffer.h"
#include "resource_name.h"
#include "session_events.h"
#include "transport.h"
#include "visatype.h"

namespace visa {

class InstrumentSession {
 public:
  InstrumentSession(ViSession handle, ViSession resource_manager, ResourceName resource,
                    std::unique_ptr<Transport> transport);

  ViSession handle() const { return handle_; }
  // Set by the registry as the session leaves it: look-ups no longer find it.
  void mark_closed() { closed_.store(true, std::memory_order_release); }
  bool closed() const { return closed_.load(std::memory_order_acquire); }
  ViSession resource_manager() const { return resource_manager_; }
  const ResourceName& resource() const { return resource_; }

  ViStatus get_attribute(ViAttr attribute, void* value);
  ViStatus set_attribute(ViAttr attribute, ViAttrState value);

  ViStatus read(char* buffer, std::size_t count, std::size_t& got);
  // An asynchronous read: within the session's timeout as read() is, taken in
  // short slices where the transport allows, so that `abort` (viTerminate,
  // or the session closing) stops it within a slice: VI_ERROR_ABORT.
  ViStatus read_job(char* buffer, std::size_t count, std::size_t& got, const std::atomic<bool>& abort);
  AsyncJobs& jobs() { return jobs_; }
  ViStatus write(const char* buffer, std::size_t count, std::size_t& written);
  ViStatus printf(const char* format, va_list* args);
  ViStatus scanf(const char* format, va_list* args);
  ViStatus queryf(const char* write_format, const char* read_format, va_list* args);
  ViStatus flush(unsigned mask);
  ViStatus clear();
  // viBufWrite: into the formatted write buffer, sent when it fills or is flushed.
  ViStatus buffer_write(const char* buffer, std::size_t count, std::size_t& written);
  // viSetBuf: the formatted write buffer's size, and the size the read buffer
  // reports (it grows as a reply needs).
  ViStatus set_buffer_size(unsigned mask, std::uint32_t size);
  // The status byte and a device trigger: by the protocol's own messages, or on
  // a raw socket as "*STB?" and "*TRG" when the I/O protocol is 488.2 strings.
  ViStatus read_stb(ViUInt16& stb);
  ViStatus assert_trigger(ViUInt16 protocol);
  // viGpibControlREN's modes, where the protocol carries remote and local control.
  ViStatus control_ren(ViUInt16 mode);
  ViStatus interface_clear();
  // The instrument's own lock where the protocol has one: exclusive, or
  // shared under `shared_key` when one is given.
  ViStatus lock_device(std::uint32_t timeout_ms, const std::string* shared_key = nullptr);
  ViStatus unlock_device(bool shared);
  bool holds_device_lock() const { return transport_->holds_device_lock(); }

  // Events. Enabling service requests for a first mechanism starts their
  // delivery by the transport; disabling the last mechanism stops it.
  ViStatus enable_event(ViEventType type, ViUInt16 mechanism, ViEventFilter filter);
  ViStatus disable_event(ViEventType type, ViUInt16 mechanism);
  SessionEvents& events() { return events_; }

  // Attribute values, read by the attribute table.
  struct Settings {
    std::uint32_t timeout_ms = 2000;
    unsigned char termchar = '\n';
    bool termchar_enabled = false;
    bool send_end_enabled = true;
    ViUInt16 io_protocol = 1;  // VI_PROT_NORMAL
    std::uint32_t max_queue_length = 50;
    std::size_t write_buffer_size = 4096;  // formatted output is sent in pieces of this size
    std::uint32_t read_buffer_size = 4096;  // as viSetBuf asked; the read buffer grows as a reply needs
    ViUInt16 read_buffer_mode = 3;          // VI_FLUSH_DISABLE, or VI_FLUSH_ON_ACCESS: dropped after each viScanf
    ViUInt16 write_buffer_mode = 2;         // VI_FLUSH_WHEN_FULL, or VI_FLUSH_ON_ACCESS: sent after each viPrintf
    bool suppress_end = false;              // END does not end a read
    bool file_append = false;               // viReadToFile appends
    bool dma_allowed = false;
    std::uint64_t user_data = 0;
  };
  // viReadToFile's choice between appending and replacing.
  bool appends_to_files() {
    std::lock_guard lock(io_mutex_);
    return settings_.file_append;
  }

 private:
  friend struct SessionAttributeAccess;
  class WriteBuffer;
  class Reader;

  Deadline deadline() const { return Deadline::after_ms(settings_.timeout_ms); }
  // How long an asynchronous read waits at a time before it looks whether it was stopped.
  static constexpr std::uint32_t kJobSliceMs = 50;
  // A serial line's END is its termination character (VI_ASRL_END_TERMCHAR):
  // suppressed, only VI_ATTR_TERMCHAR_EN still ends a read there.
  ReadSettings read_settings() const {
    const bool end_at_termchar = transport_->ends_reads_at_termchar() && !settings_.suppress_end;
    return {settings_.termchar_enabled || end_at_termchar, settings_.termchar, !settings_.suppress_end};
  }
  // Every write reaches the transport here: a serial line may add the termination character.
  ViStatus transport_write(const char* data, std::size_t size, bool end);
  // Remembers a lost connection: every later I/O call answers VI_ERROR_CONN_LOST.
  ViStatus track(ViStatus status);
  ViStatus send_pending(bool end);
  ViStatus send_bytes(const char* data, std::size_t size, bool end);
  ViStatus discard_input();
  // A query's discard step is needed only when a reply may be waiting unread:
  // a query was sent and not answered by a whole message read, or a read
  // failed or stopped inside a message.
  bool input_may_be_stale() const { return sends_unanswered_ > 0 || read_cut_short_ || !input_.at_message_boundary(); }
  // Records what a send may bring back, and how a read operation ended.
  void note_sent(std::string_view bytes);
  ViStatus note_read(ViStatus status);
  ViStatus printf_locked(const char* format, va_list* args);
  ViStatus flush_on_access(ViStatus st);
  ViStatus scanf_locked(const char* format, va_list* args);
  // A 488.2 string on a raw socket: `command` sent and, with `reply`, the status
  // byte line answering it (replies still unread are kept for the next read).
  ViStatus socket_exchange(const char* command, std::string* reply);

  const ViSession handle_;
  const ViSession resource_manager_;
  const ResourceName resource_;
  std::mutex io_mutex_;  // one I/O operation at a time on this session
  SessionEvents events_;  // before the transport, whose threads deliver to it and stop first
  std::unique_ptr<Transport> transport_;
  InputBuffer input_;
  std::string pending_output_;
  Settings settings_;
  bool connection_lost_ = false;
  std::atomic<bool> closed_{false};
  unsigned sends_unanswered_ = 0;
  bool read_cut_short_ = false;
  AsyncJobs jobs_{*this};  // last: its worker stops before anything it uses goes
};

}  // namespace visa
