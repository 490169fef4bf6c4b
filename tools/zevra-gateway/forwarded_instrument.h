// SPDX-License-Identifier: MIT
// One local instrument as the gateway's clients share it: a VISA session of
// its own, used by one client at a time, its locks between clients (held on
// the instrument too, against other programs), and its service requests
// handed to every client that listens. Each client is known by a number
// unique in the gateway.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>

#include "hislip_locks.h"
#include "service_request_mailbox.h"
#include "visa.h"

namespace gateway {

using ClientId = std::uint64_t;

// A client's new number; HiSLIP sessions and VXI-11 links draw from one count.
ClientId NewClientId();

class ForwardedInstrument {
 public:
  // Opens `resource`; the status is VISA's when it cannot.
  static ViStatus Open(const std::string& resource, std::size_t most_message_bytes,
                       std::unique_ptr<ForwardedInstrument>& out);
  ~ForwardedInstrument();
  ForwardedInstrument(const ForwardedInstrument&) = delete;
  ForwardedInstrument& operator=(const ForwardedInstrument&) = delete;

  const std::string& resource() const { return resource_; }

  // Whether `client` may use the instrument (no other client's lock is in
  // the way), waiting up to `wait` for that.
  bool WaitAccess(ClientId client, std::chrono::milliseconds wait) { return locks_.wait_access(client, wait); }

  // Sends one message (END after its last byte) and, when it holds a query,
  // reads the instrument's whole response into `reply`; `answered` says that
  // the message was sent and a response asked for (the status is then the
  // reading's). Waits up to `timeout` for locks of other clients to go.
  // While the response is awaited, `moved_on` is asked now and then whether
  // the client has stopped waiting (VI_ERROR_ABORT then).
  ViStatus Send(ClientId client, std::string_view message, std::chrono::milliseconds timeout, bool& answered,
                std::string& reply, const std::function<bool()>& moved_on = {});
  // Reads what the instrument has for a client that asked without a query
  // (at most `most` bytes, up to END or the termination character when enabled).
  ViStatus Read(ClientId client, std::size_t most, std::chrono::milliseconds timeout, int termchar, std::string& data,
                bool& end);
  ViStatus ReadStatusByte(ClientId client, std::chrono::milliseconds timeout, int& stb);
  ViStatus Clear(ClientId client, std::chrono::milliseconds timeout);
  ViStatus Trigger(ClientId client, std::chrono::milliseconds timeout);
  // viGpibControlREN's modes.
  ViStatus ControlRen(ClientId client, ViUInt16 mode, std::chrono::milliseconds timeout);

  // Locks between clients, answered with HiSLIP's AsyncLockResponse codes; an
  // empty key asks for the exclusive lock.
  std::uint8_t RequestLock(ClientId client, std::string_view key, std::chrono::milliseconds wait);
  std::uint8_t ReleaseLock(ClientId client);
  void ReleaseLocks(ClientId client);
  std::pair<bool, std::uint32_t> LockInfo() { return locks_.info(); }

  // Service requests: `listener` gets the status byte read when the instrument
  // asked, on a thread of its own (a client slow to take it delays no other).
  void Listen(ClientId client, std::function<void(int status_byte)> listener);
  // Waits for a delivery to `client` in progress.
  void StopListening(ClientId client);

 private:
  ForwardedInstrument() = default;
  static ViStatus _VI_FUNCH OnServiceRequest(ViSession, ViEventType, ViEvent, ViAddr self);
  void FanOutServiceRequest();  // reads the status byte and leaves it in every mailbox
  // Sets the session's timeout, unless it already is that (called under io_).
  ViStatus Timeout(std::chrono::milliseconds timeout);
  ViStatus ReadResponse(std::string& reply, std::chrono::milliseconds timeout, const std::function<bool()>& moved_on);
  // Drops what a response given up on left behind, before the next message.
  void DropStaleInput();
  // The instrument's own lock follows whether any client holds one; false
  // when it cannot (another program holds it).
  bool FollowLocks();

  std::string resource_;
  ViSession rm_ = VI_NULL, vi_ = VI_NULL;
  bool line_framed_ = false;  // a raw socket or serial line: messages end at a line feed, not END
  bool events_ = false;
  bool resumable_reads_ = true;  // a read that timed out can go on (not so on USB)
  bool stale_input_ = false;     // a response was given up on: its rest may still come
  std::size_t most_message_bytes_ = 0;
  std::mutex io_;  // one exchange at a time
  std::chrono::milliseconds timeout_set_{-1};  // the session's VI_ATTR_TMO_VALUE, under io_
  emulator::HislipLocks locks_;
  std::mutex instrument_lock_mutex_;
  bool instrument_locked_ = false;
  std::mutex listeners_mutex_;
  std::map<ClientId, std::unique_ptr<ServiceRequestMailbox>> listeners_;
  // A service request handler may still run when the instrument is closed (the
  // library's dispatcher lets go of a session closed during a handler, without
  // waiting): the destructor waits for the one running, and none starts after.
  std::mutex handlers_mutex_;
  std::condition_variable handler_done_;
  int handlers_running_ = 0;
  bool closing_ = false;
};

}  // namespace gateway
