// SPDX-License-Identifier: MIT
#include "forwarded_instrument.h"

#include <algorithm>
#include <atomic>
#include <vector>

#include "message_scanner.h"

namespace gateway {
namespace {

constexpr ViUInt32 kOpenTimeoutMs = 2000;
constexpr std::size_t kMostPerRead = 1 << 20;
// How often a response's wait looks whether its client has moved on.
constexpr std::chrono::milliseconds kWaitSlice{100};

}  // namespace

ClientId NewClientId() {
  static std::atomic<ClientId> next{1};
  return next++;
}

ViStatus ForwardedInstrument::Open(const std::string& resource, std::size_t most_message_bytes,
                                   std::unique_ptr<ForwardedInstrument>& out) {
  std::unique_ptr<ForwardedInstrument> self(new ForwardedInstrument());
  self->resource_ = resource;
  self->most_message_bytes_ = most_message_bytes;
  ViStatus st = viOpenDefaultRM(&self->rm_);
  if (st >= 0) st = viOpen(self->rm_, resource.c_str(), VI_NULL, kOpenTimeoutMs, &self->vi_);
  if (st < 0) return st;
  ViUInt16 interface_type = 0;
  char resource_class[256] = {};
  viGetAttribute(self->vi_, VI_ATTR_INTF_TYPE, &interface_type);
  viGetAttribute(self->vi_, VI_ATTR_RSRC_CLASS, resource_class);
  const bool socket = std::string_view(resource_class) == "SOCKET";
  self->line_framed_ = interface_type == VI_INTF_ASRL || socket;
  self->resumable_reads_ = interface_type != VI_INTF_USB;
  // A raw socket or serial line carries the status byte, trigger and clear as IEEE 488.2 commands.
  if (self->line_framed_) viSetAttribute(self->vi_, VI_ATTR_IO_PROT, VI_PROT_4882_STRS);
  viSetAttribute(self->vi_, VI_ATTR_SEND_END_EN, VI_TRUE);  // every message goes whole, with END
  viSetAttribute(self->vi_, VI_ATTR_TERMCHAR, '\n');
  viSetAttribute(self->vi_, VI_ATTR_TERMCHAR_EN, self->line_framed_ ? VI_TRUE : VI_FALSE);
  // Where the instrument can ask for service, the gateway listens for every client.
  if (viInstallHandler(self->vi_, VI_EVENT_SERVICE_REQ, OnServiceRequest, self.get()) >= 0)
    self->events_ = viEnableEvent(self->vi_, VI_EVENT_SERVICE_REQ, VI_HNDLR, VI_NULL) >= 0;
  out = std::move(self);
  return VI_SUCCESS;
}

ForwardedInstrument::~ForwardedInstrument() {
  {
    std::unique_lock lock(handlers_mutex_);
    closing_ = true;
    handler_done_.wait(lock, [this] { return handlers_running_ == 0; });
  }
  if (events_) viDisableEvent(vi_, VI_EVENT_SERVICE_REQ, VI_HNDLR);
  locks_.stop();
  if (vi_ != VI_NULL) viClose(vi_);
  if (rm_ != VI_NULL) viClose(rm_);
}

ViStatus ForwardedInstrument::Timeout(std::chrono::milliseconds timeout) {
  timeout = std::max(timeout, std::chrono::milliseconds(0));
  if (timeout == timeout_set_) return VI_SUCCESS;
  timeout_set_ = timeout;
  return viSetAttribute(vi_, VI_ATTR_TMO_VALUE, static_cast<ViAttrState>(timeout.count()));
}

ViStatus ForwardedInstrument::Send(ClientId client, std::string_view message, std::chrono::milliseconds timeout,
                                   bool& answered, std::string& reply, const std::function<bool()>& moved_on) {
  answered = false;
  reply.clear();
  if (!locks_.wait_access(client, timeout)) return VI_ERROR_RSRC_LOCKED;
  std::lock_guard io(io_);
  DropStaleInput();
  Timeout(timeout);
  ViUInt32 sent = 0;
  ViStatus st = viWrite(vi_, reinterpret_cast<ViConstBuf>(message.data()), static_cast<ViUInt32>(message.size()), &sent);
  // A line-framed link has no END: its line feed stands for it, for a client that ended a message without one.
  if (st >= 0 && line_framed_ && (message.empty() || message.back() != '\n'))
    st = viWrite(vi_, reinterpret_cast<ViConstBuf>("\n"), 1, &sent);
  if (st < 0) return st;
  MessageScanner scanner;
  scanner.feed(message);
  if (!scanner.asks()) return st;
  answered = true;
  st = ReadResponse(reply, timeout, moved_on);
  if (st < 0) {
    stale_input_ = true;
    reply.clear();
  }
  return st;
}

void ForwardedInstrument::DropStaleInput() {
  if (!stale_input_) return;
  stale_input_ = false;
  viFlush(vi_, VI_READ_BUF_DISCARD);
  if (line_framed_) viFlush(vi_, VI_IO_IN_BUF_DISCARD);
}

// A whole response: up to END, or on a line-framed link up to the line feed
// that ends it (one inside a block or a string is data).
ViStatus ForwardedInstrument::ReadResponse(std::string& reply, std::chrono::milliseconds timeout,
                                           const std::function<bool()>& moved_on) {
  MessageScanner scanner;
  // In slices, where a read can go on after one runs out, so that a client that moved on is noticed.
  const bool sliced = moved_on && resumable_reads_;
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  for (;;) {
    const std::size_t old = reply.size();
    if (old >= most_message_bytes_) return VI_ERROR_ALLOC;  // larger than a client may be sent
    const std::size_t chunk = std::min(kMostPerRead, most_message_bytes_ - old);
    reply.resize(old + chunk);
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    if (sliced) Timeout(std::clamp(left, std::chrono::milliseconds(0), kWaitSlice));
    ViUInt32 got = 0;
    ViStatus st = viRead(vi_, reinterpret_cast<ViBuf>(reply.data() + old), static_cast<ViUInt32>(chunk), &got);
    reply.resize(old + got);
    if (st == VI_ERROR_TMO && sliced && left > kWaitSlice) {
      if (moved_on()) return VI_ERROR_ABORT;
      st = VI_SUCCESS_MAX_CNT;  // nothing ended: go on reading
    }
    if (st < 0) return st;
    if (line_framed_) {
      scanner.feed(std::string_view(reply).substr(old));
      if (scanner.ended()) return VI_SUCCESS;
    } else if (st == VI_SUCCESS) {
      return VI_SUCCESS;  // END
    }
  }
}

ViStatus ForwardedInstrument::Read(ClientId client, std::size_t most, std::chrono::milliseconds timeout, int termchar,
                                   std::string& data, bool& end) {
  end = false;
  data.clear();
  if (!locks_.wait_access(client, timeout)) return VI_ERROR_RSRC_LOCKED;
  std::lock_guard io(io_);
  Timeout(timeout);
  const bool by_termchar = termchar >= 0;
  if (by_termchar) {
    viSetAttribute(vi_, VI_ATTR_TERMCHAR, static_cast<ViAttrState>(termchar));
    viSetAttribute(vi_, VI_ATTR_TERMCHAR_EN, VI_TRUE);
  }
  data.resize(std::min(most, kMostPerRead));
  ViUInt32 got = 0;
  ViStatus st = viRead(vi_, reinterpret_cast<ViBuf>(data.data()), static_cast<ViUInt32>(data.size()), &got);
  data.resize(got);
  if (by_termchar) {
    viSetAttribute(vi_, VI_ATTR_TERMCHAR, '\n');
    viSetAttribute(vi_, VI_ATTR_TERMCHAR_EN, line_framed_ ? VI_TRUE : VI_FALSE);
  }
  // A line-framed link has no END: its line feed is the end of a message.
  end = st == VI_SUCCESS || (line_framed_ && !data.empty() && data.back() == '\n');
  return st;
}

ViStatus ForwardedInstrument::ReadStatusByte(ClientId client, std::chrono::milliseconds timeout, int& stb) {
  if (!locks_.wait_access(client, timeout)) return VI_ERROR_RSRC_LOCKED;
  std::lock_guard io(io_);
  Timeout(timeout);
  ViUInt16 value = 0;
  ViStatus st = viReadSTB(vi_, &value);
  stb = value & 0xFF;
  return st;
}

ViStatus ForwardedInstrument::Clear(ClientId client, std::chrono::milliseconds timeout) {
  if (!locks_.wait_access(client, timeout)) return VI_ERROR_RSRC_LOCKED;
  std::lock_guard io(io_);
  Timeout(timeout);
  return viClear(vi_);
}

ViStatus ForwardedInstrument::Trigger(ClientId client, std::chrono::milliseconds timeout) {
  if (!locks_.wait_access(client, timeout)) return VI_ERROR_RSRC_LOCKED;
  std::lock_guard io(io_);
  Timeout(timeout);
  return viAssertTrigger(vi_, VI_TRIG_PROT_DEFAULT);
}

ViStatus ForwardedInstrument::ControlRen(ClientId client, ViUInt16 mode, std::chrono::milliseconds timeout) {
  if (!locks_.wait_access(client, timeout)) return VI_ERROR_RSRC_LOCKED;
  std::lock_guard io(io_);
  Timeout(timeout);
  return viGpibControlREN(vi_, mode);
}

std::uint8_t ForwardedInstrument::RequestLock(ClientId client, std::string_view key, std::chrono::milliseconds wait) {
  std::uint8_t answer = locks_.request(client, key, wait);
  if (answer == hislip::kLockSuccess && !FollowLocks()) {
    // Another program holds the instrument: the client does not get it either.
    locks_.release(client);
    answer = hislip::kLockFailure;
  }
  return answer;
}

std::uint8_t ForwardedInstrument::ReleaseLock(ClientId client) {
  std::uint8_t answer = locks_.release(client);
  FollowLocks();
  return answer;
}

void ForwardedInstrument::ReleaseLocks(ClientId client) {
  locks_.release_all(client);
  FollowLocks();
}

bool ForwardedInstrument::FollowLocks() {
  std::lock_guard guard(instrument_lock_mutex_);
  const bool held = locks_.info().second > 0;
  if (held && !instrument_locked_)
    instrument_locked_ = viLock(vi_, VI_EXCLUSIVE_LOCK, 0, VI_NULL, VI_NULL) >= 0;
  else if (!held && instrument_locked_)
    instrument_locked_ = viUnlock(vi_) < 0;
  return instrument_locked_ == held;
}

void ForwardedInstrument::Listen(ClientId client, std::function<void(int)> listener) {
  auto mailbox = std::make_unique<ServiceRequestMailbox>(std::move(listener));
  {
    std::lock_guard guard(listeners_mutex_);
    std::swap(listeners_[client], mailbox);
  }
  // A mailbox replaced, if any, is closed here, outside the lock.
}

void ForwardedInstrument::StopListening(ClientId client) {
  std::unique_ptr<ServiceRequestMailbox> removed;  // closed after the lock is released
  std::lock_guard guard(listeners_mutex_);
  auto it = listeners_.find(client);
  if (it == listeners_.end()) return;
  removed = std::move(it->second);
  listeners_.erase(it);
}

ViStatus _VI_FUNCH ForwardedInstrument::OnServiceRequest(ViSession, ViEventType, ViEvent, ViAddr self_address) {
  auto* self = static_cast<ForwardedInstrument*>(self_address);
  {
    std::lock_guard lock(self->handlers_mutex_);
    if (self->closing_) return VI_SUCCESS;
    ++self->handlers_running_;
  }
  self->FanOutServiceRequest();
  // The last touch of `self`: once the lock is let go, the destructor may go on.
  std::lock_guard lock(self->handlers_mutex_);
  --self->handlers_running_;
  self->handler_done_.notify_all();
  return VI_SUCCESS;
}

void ForwardedInstrument::FanOutServiceRequest() {
  ViUInt16 stb = 0;
  {
    std::lock_guard io(io_);
    Timeout(std::chrono::milliseconds(2000));
    if (viReadSTB(vi_, &stb) < 0) return;
  }
  std::lock_guard guard(listeners_mutex_);
  for (auto& [client, mailbox] : listeners_) mailbox->Post(stb & 0xFF);
}

}  // namespace gateway
