// SPDX-License-Identifier: MIT
#include "hislip_server.h"

#include "bus_actions.h"
#include "line_assembler.h"

#include <poll.h>

#include <algorithm>
#include <string_view>

#include "hislip_codec.h"
#include "hislip_messages.h"

namespace emulator {
namespace {

constexpr std::uint64_t kMaximumMessageSize = 1 << 20;
constexpr std::uint16_t kVendorId = ('Z' << 8) | 'V';
using hislip_messages::kInvalidInitialization;
using hislip_messages::kUnrecognizedControlCode;
using hislip_messages::kUnrecognizedMessageType;
using hislip_messages::Send;

bool Receive(int fd, int stop_fd, hislip::Header& h, std::string& payload) {
  return hislip_messages::Receive(fd, stop_fd, h, payload, kMaximumMessageSize);
}

// What the instrument sends back goes out carrying the ID of the message that
// asked: DataEnd for each whole line, Data for the start of one whose rest is
// still to come.
class SyncClient final : public Client {
 public:
  SyncClient(int fd, int stop_fd, Transcript* transcript, std::atomic<std::uint32_t>& last_answered,
             std::atomic<bool>& answered, const std::atomic<std::uint64_t>& client_maximum)
      : fd_(fd),
        stop_fd_(stop_fd),
        transcript_(transcript),
        last_answered_(last_answered),
        answered_(answered),
        client_maximum_(client_maximum) {}
  void send(std::string_view bytes) override {
    // Pieces within the client's maximum message size; DataEnd ends each whole line.
    const std::uint64_t most = client_maximum_ > hislip::kHeaderSize ? client_maximum_ - hislip::kHeaderSize : 1;
    while (!bytes.empty() && !closed_) {
      std::size_t nl = bytes.find('\n');
      std::size_t take = nl == std::string_view::npos ? bytes.size() : nl + 1;
      bool ends = nl != std::string_view::npos;
      if (take > most) {
        take = static_cast<std::size_t>(most);
        ends = false;
      }
      std::uint8_t type = ends ? hislip::kDataEnd : hislip::kData;
      if (transcript_ != nullptr) transcript_->record_reply(bytes.substr(0, take));
      if (!Send(fd_, type, 0, message_id, bytes.substr(0, take))) closed_ = true;
      if (type == hislip::kDataEnd) {
        last_answered_ = message_id;
        answered_ = true;
      }
      bytes.remove_prefix(take);
    }
  }
  void close() override { closed_ = true; }
  bool pause(std::chrono::milliseconds duration) override {
    pollfd p{stop_fd_, POLLIN, 0};
    return ::poll(&p, 1, static_cast<int>(duration.count())) == 0;
  }
  bool closed() const { return closed_; }
  std::uint32_t message_id = 0;

 private:
  int fd_, stop_fd_;
  Transcript* transcript_;
  std::atomic<std::uint32_t>& last_answered_;
  std::atomic<bool>& answered_;
  const std::atomic<std::uint64_t>& client_maximum_;
  bool closed_ = false;
};

}  // namespace

HislipServer::HislipServer(Instrument& instrument, Transcript* transcript)
    : instrument_(instrument), transcript_(transcript), listener_([this](int fd, int stop) { Serve(fd, stop); }) {}

HislipServer::~HislipServer() { stop(); }

std::string HislipServer::start(const std::string& address, unsigned port) { return listener_.start(address, port); }

void HislipServer::stop() {
  locks_.stop();
  listener_.stop();
}

void HislipServer::Serve(int fd, int stop_fd) {
  hislip::Header h;
  std::string payload;
  if (!Receive(fd, stop_fd, h, payload)) return;
  if (h.type == hislip::kInitialize) {
    // Only the first HiSLIP device of an instrument exists.
    if (payload != "hislip0" && !payload.empty()) {
      Send(fd, hislip::kFatalError, kInvalidInitialization, 0, "no such HiSLIP device: " + payload);
      return;
    }
    std::uint16_t session;
    auto state = std::make_shared<SessionState>();
    {
      std::lock_guard lock(sessions_mutex_);
      do session = next_session_++;
      while (session == 0 || sessions_.count(session) != 0);
      sessions_[session] = state;
    }
    // Control bit 0 is the mode the session starts in: overlapped when set.
    if (Send(fd, hislip::kInitializeResponse, prefers_overlapped_ ? hislip::kOverlapped : 0,
             (std::uint32_t{hislip::kProtocolVersion} << 16) | session))
      ServeSync(fd, stop_fd, *state);
    locks_.release_all(session);
    std::lock_guard lock(sessions_mutex_);
    sessions_.erase(session);
  } else if (h.type == hislip::kAsyncInitialize) {
    std::shared_ptr<SessionState> state;
    const auto session = static_cast<std::uint16_t>(h.parameter);
    {
      std::lock_guard lock(sessions_mutex_);
      auto it = sessions_.find(session);
      if (it != sessions_.end()) state = it->second;
    }
    if (!state) {
      Send(fd, hislip::kFatalError, kInvalidInitialization, 0, "no synchronous channel has that session ID");
      return;
    }
    if (Send(fd, hislip::kAsyncInitializeResponse, 0, kVendorId)) ServeAsync(fd, stop_fd, session, *state);
    locks_.release_all(session);
  } else {
    Send(fd, hislip::kFatalError, kInvalidInitialization, 0, "a connection starts with Initialize or AsyncInitialize");
  }
}

void HislipServer::ServeSync(int fd, int stop_fd, SessionState& state) {
  std::unique_ptr<Connection> connection = instrument_.connect();
  SyncClient client(fd, stop_fd, transcript_, state.last_answered, state.answered, state.client_maximum);
  LineAssembler input;  // the message being received
  hislip::Header h;
  std::string payload;
  auto deliver = [&](std::string_view line) {
    if (transcript_ != nullptr) transcript_->record(line);
    connection->on_line(line, client);
    return !client.closed();
  };
  auto overlong = [&] { connection->on_overlong_line(client); };
  while (!client.closed() && Receive(fd, stop_fd, h, payload)) {
    switch (h.type) {
      case hislip::kData:
      case hislip::kDataEnd: {
        client.message_id = h.parameter;
        if (connection->takes_bytes()) {
          connection->on_bytes(payload, h.type == hislip::kDataEnd, client);
          break;
        }
        input.feed(payload, deliver, overlong);
        // END without a line feed still ends the message.
        if (h.type == hislip::kDataEnd && !client.closed()) input.end(deliver);
        break;
      }
      case hislip::kDeviceClearComplete: {
        // The client asks for a mode (control bit 0); both are served, so it gets it.
        input.clear();
        const bool overlapped = (h.control & hislip::kOverlapped) != 0;
        if (!Send(fd, hislip::kDeviceClearAcknowledge, overlapped ? hislip::kOverlapped : 0, 0)) return;
        break;
      }
      case hislip::kTrigger:
        client.message_id = h.parameter;
        DeviceTrigger(*connection, transcript_);
        break;
      default:
        if (!Send(fd, hislip::kError, kUnrecognizedMessageType, 0, "unexpected message on the synchronous channel"))
          return;
    }
  }
}

void HislipServer::ServeAsync(int fd, int stop_fd, std::uint16_t session, SessionState& state) {
  hislip::Header h;
  std::string payload;
  // Service requests arrive from whichever thread ran the line that asked for
  // service, so every message on this channel is sent whole under one mutex.
  std::mutex write_mutex;
  auto reply = [&](std::uint8_t type, std::uint8_t control, std::uint32_t parameter, std::string_view body = {}) {
    std::lock_guard lock(write_mutex);
    return Send(fd, type, control, parameter, body);
  };
  ServiceRequests::Subscription service_requests(instrument_.service_requests(), [&](int status_byte) {
    reply(hislip::kAsyncServiceRequest, static_cast<std::uint8_t>(status_byte), 0);
  });
  // Status queries go through a connection of their own, made at the first one:
  // the status byte is the instrument's, and the synchronous channel's connection is its thread's.
  std::unique_ptr<Connection> status;
  while (Receive(fd, stop_fd, h, payload)) {
    bool sent = true;
    switch (h.type) {
      case hislip::kAsyncStatusQuery: {
        // A reply is available (MAV) when the message the client names was
        // answered and the client says it has not read that answer ("RMT delivered" clear).
        bool waiting = (h.control & 1) == 0 && state.answered && state.last_answered == h.parameter;
        if (!status) status = instrument_.connect();
        sent = reply(hislip::kAsyncStatusResponse, static_cast<std::uint8_t>(ReadStatusByte(*status, waiting)), 0);
        break;
      }
      case hislip::kAsyncMaximumMessageSize:
        if (payload.size() == 8) state.client_maximum = std::max<std::uint64_t>(hislip::DecodeU64(payload), 17);
        sent = reply(hislip::kAsyncMaximumMessageSizeResponse, 0, 0, hislip::EncodeU64(kMaximumMessageSize));
        break;
      case hislip::kAsyncDeviceClear:
        // The feature preference: the mode sessions start in, no encryption.
        sent = reply(hislip::kAsyncDeviceClearAcknowledge, prefers_overlapped_ ? hislip::kOverlapped : 0, 0);
        break;
      case hislip::kAsyncLock: {
        // A request waits up to the timeout it carries; a release names the last message sent.
        std::uint8_t answer = hislip::kLockError;
        if (h.control == hislip::kLockRequest)
          answer = locks_.request(session, payload, std::chrono::milliseconds(h.parameter));
        else if (h.control == hislip::kLockRelease)
          answer = locks_.release(session);
        sent = reply(hislip::kAsyncLockResponse, answer, 0);
        break;
      }
      case hislip::kAsyncRemoteLocalControl: {
        // The model has no front panel to give back or lock out: the request is only shown.
        static constexpr const char* kShown[] = {"<remote disable>", "<remote enable>", "<remote disable, go to local>",
                                                 "<remote>", "<local lockout>", "<remote, local lockout>",
                                                 "<go to local>"};
        if (h.control > hislip::kMostRemoteLocalRequest) {
          sent = reply(hislip::kError, kUnrecognizedControlCode, 0, "no such remote/local request");
          break;
        }
        if (transcript_ != nullptr) transcript_->record(kShown[h.control]);
        sent = reply(hislip::kAsyncRemoteLocalResponse, 0, 0);
        break;
      }
      case hislip::kAsyncLockInfo: {
        auto [exclusive, holders] = locks_.info();
        sent = reply(hislip::kAsyncLockInfoResponse, exclusive ? 1 : 0, holders);
        break;
      }
      default:
        sent = reply(hislip::kError, kUnrecognizedMessageType, 0, "unsupported message on the asynchronous channel");
    }
    if (!sent) return;
  }
}

}  // namespace emulator
