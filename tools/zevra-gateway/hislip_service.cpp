// SPDX-License-Identifier: MIT
#include "hislip_service.h"

#include <poll.h>
#include <sys/socket.h>

#include <algorithm>
#include <condition_variable>

#include "hislip_messages.h"
#include "status_text_of.h"

namespace gateway {
namespace {

using emulator::hislip_messages::kInvalidInitialization;
using emulator::hislip_messages::kMessageTooLarge;
using emulator::hislip_messages::kUnidentifiedError;
using emulator::hislip_messages::kUnidentifiedFatal;
using emulator::hislip_messages::kUnrecognizedControlCode;
using emulator::hislip_messages::kUnrecognizedMessageType;
using emulator::hislip_messages::Send;

constexpr std::uint16_t kVendorId = ('Z' << 8) | 'V';
constexpr int kMessageAvailable = 0x10;  // MAV in the status byte
constexpr int kAsyncSendBufferBytes = 16 * 1024;

}  // namespace

// What a client's two channels share.
struct HislipService::Session {
  ClientId client = NewClientId();
  std::shared_ptr<ForwardedInstrument> instrument;
  // The ID of the last message answered, for MAV in status queries.
  std::atomic<std::uint32_t> last_answered{0};
  std::atomic<bool> answered{false};
  // The largest message the client takes, header included (1 MiB until it says).
  std::atomic<std::uint64_t> client_maximum{1 << 20};
  // The status byte read when the instrument asked for service, kept for the client's next status query.
  std::atomic<int> service_request_status{-1};
  // A device clear is under way: a response still awaited is given up.
  std::atomic<bool> clearing{false};

  // The ID of the last message the instrument has been given, so that a
  // status query (on the other channel, which may overtake) is answered after
  // the message it names.
  void Processed(std::uint32_t message_id) {
    std::lock_guard lock(progress_mutex);
    last_processed = message_id;
    progress.notify_all();
  }
  void Ended() {
    std::lock_guard lock(progress_mutex);
    sync_ended = true;
    progress.notify_all();
  }
  // IDs grow by two and wrap; 0 names no message (nothing sent yet).
  void AwaitProcessed(std::uint32_t message_id, std::chrono::milliseconds most) {
    if (message_id == 0) return;
    std::unique_lock lock(progress_mutex);
    progress.wait_for(lock, most, [&] {
      return sync_ended || static_cast<std::int32_t>(last_processed - message_id) >= 0;
    });
  }
  std::mutex progress_mutex;
  std::condition_variable progress;
  std::uint32_t last_processed = hislip::kFirstMessageId - 2;  // before the first
  bool sync_ended = false;
};

HislipService::HislipService(InstrumentPool& pool, const emulator::TcpListener::Admit& admit, ServiceSettings settings)
    : pool_(pool), settings_(settings), listener_([this](int fd, int stop) { Serve(fd, stop); }) {
  listener_.set_admit(admit);
}

HislipService::~HislipService() { stop(); }

std::string HislipService::start(const std::string& address, unsigned port) { return listener_.start(address, port); }

void HislipService::stop() { listener_.stop(); }

void HislipService::Serve(int fd, int stop_fd) {
  hislip::Header h;
  std::string payload;
  if (!emulator::hislip_messages::Receive(fd, stop_fd, h, payload, 256)) return;
  if (h.type == hislip::kInitialize) {
    const std::string name = payload.empty() ? "hislip0" : payload;
    auto session = std::make_shared<Session>();
    if (!pool_.serves(name)) {
      Send(fd, hislip::kFatalError, kInvalidInitialization, 0, "no such HiSLIP device: " + name);
      return;
    }
    if (ViStatus st = pool_.acquire(name, session->instrument); st < 0) {
      Send(fd, hislip::kFatalError, kUnidentifiedFatal, 0, "cannot open " + name + ": " + StatusTextOf(st));
      return;
    }
    std::uint16_t id;
    {
      std::lock_guard lock(sessions_mutex_);
      do id = next_session_++;
      while (id == 0 || sessions_.count(id) != 0);
      sessions_[id] = session;
    }
    // Synchronized mode: each message is answered before the next is taken.
    if (Send(fd, hislip::kInitializeResponse, 0, (std::uint32_t{hislip::kProtocolVersion} << 16) | id))
      ServeSync(fd, stop_fd, *session);
    session->Ended();
    session->instrument->ReleaseLocks(session->client);
    std::lock_guard lock(sessions_mutex_);
    sessions_.erase(id);
  } else if (h.type == hislip::kAsyncInitialize) {
    std::shared_ptr<Session> session;
    {
      std::lock_guard lock(sessions_mutex_);
      auto it = sessions_.find(static_cast<std::uint16_t>(h.parameter));
      if (it != sessions_.end()) session = it->second;
    }
    if (!session) {
      Send(fd, hislip::kFatalError, kInvalidInitialization, 0, "no synchronous channel has that session ID");
      return;
    }
    if (Send(fd, hislip::kAsyncInitializeResponse, 0, kVendorId)) ServeAsync(fd, stop_fd, *session);
    session->instrument->StopListening(session->client);
    session->instrument->ReleaseLocks(session->client);
  } else {
    Send(fd, hislip::kFatalError, kInvalidInitialization, 0, "a connection starts with Initialize or AsyncInitialize");
  }
}

void HislipService::ServeSync(int fd, int stop_fd, Session& session) {
  ForwardedInstrument& instrument = *session.instrument;
  const std::uint64_t most = settings_.most_message_bytes;
  std::string message, payload, reply;
  bool too_large = false;
  hislip::Header h;
  // Its response to a query, in pieces the client takes, each carrying the ID of the message that asked.
  auto send_reply = [&](std::uint32_t message_id) {
    const std::uint64_t limit = session.client_maximum.load();
    const std::size_t piece = limit > hislip::kHeaderSize ? static_cast<std::size_t>(limit - hislip::kHeaderSize) : 1;
    std::string_view rest(reply);
    do {
      const std::size_t take = std::min(piece, rest.size());
      const bool last = take == rest.size();
      if (!Send(fd, last ? hislip::kDataEnd : hislip::kData, 0, message_id, rest.substr(0, take))) return false;
      rest.remove_prefix(take);
    } while (!rest.empty());
    session.last_answered = message_id;
    session.answered = true;
    return true;
  };
  // The client stops waiting for a response when it sends something else, clears the device, or the gateway stops.
  auto moved_on = [&] {
    pollfd p[2] = {{fd, POLLIN, 0}, {stop_fd, POLLIN, 0}};
    return session.clearing || ::poll(p, 2, 0) > 0;
  };
  while (emulator::hislip_messages::Receive(fd, stop_fd, h, payload, most)) {
    bool sent = true;
    switch (h.type) {
      case hislip::kData:
      case hislip::kDataEnd: {
        if (message.size() + payload.size() > most) too_large = true;
        if (!too_large) message += payload;
        if (h.type == hislip::kData) break;
        if (too_large) {
          sent = Send(fd, hislip::kError, kMessageTooLarge, 0, "message larger than the gateway takes");
        } else {
          bool answered = false;
          ViStatus st = instrument.Send(session.client, message, settings_.io_timeout, answered, reply, moved_on);
          // A response that never came is the client's timeout to meet, one it
          // stopped waiting for is dropped; any other failure is told.
          if (st >= 0 && answered)
            sent = send_reply(h.parameter);
          else if (st < 0 && st != VI_ERROR_TMO && st != VI_ERROR_ABORT)
            sent = Send(fd, hislip::kError, kUnidentifiedError, 0, StatusTextOf(st));
        }
        message.clear();
        too_large = false;
        session.Processed(h.parameter);
        break;
      }
      case hislip::kDeviceClearComplete:
        // Message IDs start again after a device clear.
        session.Processed(hislip::kFirstMessageId - 2);
        session.clearing = false;
        message.clear();
        too_large = false;
        sent = Send(fd, hislip::kDeviceClearAcknowledge, 0, 0);
        break;
      case hislip::kTrigger:
        if (ViStatus st = instrument.Trigger(session.client, settings_.io_timeout); st < 0)
          sent = Send(fd, hislip::kError, kUnidentifiedError, 0, StatusTextOf(st));
        session.Processed(h.parameter);
        break;
      default:
        sent = Send(fd, hislip::kError, kUnrecognizedMessageType, 0, "unexpected message on the synchronous channel");
    }
    if (!sent) return;
  }
}

void HislipService::ServeAsync(int fd, int stop_fd, Session& session) {
  ForwardedInstrument& instrument = *session.instrument;
  // The asynchronous channel carries small control messages only: a bounded
  // send buffer bounds what a client that stops reading costs.
  const int send_buffer = kAsyncSendBufferBytes;
  ::setsockopt(fd, SOL_SOCKET, SO_SNDBUF, &send_buffer, sizeof send_buffer);
  // Service requests arrive on the instrument's thread, so every message on
  // this channel is sent whole under one mutex.
  std::mutex write_mutex;
  auto reply = [&](std::uint8_t type, std::uint8_t control, std::uint32_t parameter, std::string_view body = {}) {
    std::lock_guard lock(write_mutex);
    return Send(fd, type, control, parameter, body);
  };
  instrument.Listen(session.client, [&](int status_byte) {
    session.service_request_status = status_byte;
    reply(hislip::kAsyncServiceRequest, static_cast<std::uint8_t>(status_byte), 0);
  });
  hislip::Header h;
  std::string payload;
  while (emulator::hislip_messages::Receive(fd, stop_fd, h, payload, 256)) {
    bool sent = true;
    switch (h.type) {
      case hislip::kAsyncStatusQuery: {
        session.AwaitProcessed(h.parameter, settings_.io_timeout);
        int stb = session.service_request_status.exchange(-1);
        if (stb < 0 && instrument.ReadStatusByte(session.client, settings_.io_timeout, stb) < 0) stb = 0;
        // A reply is available (MAV) when the message the client names was
        // answered and the client says it has not read that answer ("RMT delivered" clear).
        if ((h.control & 1) == 0 && session.answered && session.last_answered == h.parameter) stb |= kMessageAvailable;
        sent = reply(hislip::kAsyncStatusResponse, static_cast<std::uint8_t>(stb), 0);
        break;
      }
      case hislip::kAsyncMaximumMessageSize:
        if (payload.size() == 8) session.client_maximum = std::max<std::uint64_t>(hislip::DecodeU64(payload), 17);
        sent = reply(hislip::kAsyncMaximumMessageSizeResponse, 0, 0,
                     hislip::EncodeU64(settings_.most_message_bytes + hislip::kHeaderSize));
        break;
      case hislip::kAsyncDeviceClear:
        session.clearing = true;
        instrument.Clear(session.client, settings_.io_timeout);
        sent = reply(hislip::kAsyncDeviceClearAcknowledge, 0, 0);
        break;
      case hislip::kAsyncLock: {
        // A request waits up to the timeout it carries; a release names the last message sent.
        std::uint8_t answer = hislip::kLockError;
        if (h.control == hislip::kLockRequest)
          answer = instrument.RequestLock(session.client, payload, std::chrono::milliseconds(h.parameter));
        else if (h.control == hislip::kLockRelease)
          answer = instrument.ReleaseLock(session.client);
        sent = reply(hislip::kAsyncLockResponse, answer, 0);
        break;
      }
      case hislip::kAsyncRemoteLocalControl: {
        // The request is viGpibControlREN's mode of the same number; it comes after the message it names.
        if (h.control > hislip::kMostRemoteLocalRequest) {
          sent = reply(hislip::kError, kUnrecognizedControlCode, 0, "no such remote/local request");
          break;
        }
        session.AwaitProcessed(h.parameter, settings_.io_timeout);
        if (ViStatus st = instrument.ControlRen(session.client, h.control, settings_.io_timeout); st < 0)
          sent = reply(hislip::kError, kUnidentifiedError, 0, StatusTextOf(st));
        else
          sent = reply(hislip::kAsyncRemoteLocalResponse, 0, 0);
        break;
      }
      case hislip::kAsyncLockInfo: {
        auto [exclusive, holders] = instrument.LockInfo();
        sent = reply(hislip::kAsyncLockInfoResponse, exclusive ? 1 : 0, holders);
        break;
      }
      default:
        sent = reply(hislip::kError, kUnrecognizedMessageType, 0, "unsupported message on the asynchronous channel");
    }
    if (!sent) break;
  }
  // A notice still waiting for this client's full socket gives up now.
  ::shutdown(fd, SHUT_RDWR);
  instrument.StopListening(session.client);
}

}  // namespace gateway
