// SPDX-License-Identifier: MIT
#include "socket_server.h"

#include "line_assembler.h"

#include <poll.h>
#include <sys/socket.h>

#include <cerrno>
#include <memory>

namespace emulator {
namespace {

class SocketClient final : public Client {
 public:
  SocketClient(int fd, int stop_fd, Transcript* transcript) : fd_(fd), stop_fd_(stop_fd), transcript_(transcript) {}

  void send(std::string_view bytes) override {
    if (transcript_ != nullptr) transcript_->record_reply(bytes);
    if (!closed_ && !WriteFully(fd_, bytes.data(), bytes.size())) closed_ = true;
  }

  void close() override {
    ::shutdown(fd_, SHUT_RDWR);
    closed_ = true;
  }

  bool pause(std::chrono::milliseconds duration) override {
    pollfd p{stop_fd_, POLLIN, 0};
    return ::poll(&p, 1, static_cast<int>(duration.count())) == 0;
  }

  bool closed() const { return closed_; }

 private:
  int fd_;
  int stop_fd_;
  Transcript* transcript_;
  bool closed_ = false;
};

}  // namespace

SocketServer::SocketServer(Instrument& instrument, Transcript* transcript)
    : instrument_(instrument), transcript_(transcript), listener_([this](int fd, int stop) { Serve(fd, stop); }) {}

SocketServer::~SocketServer() { stop(); }

void SocketServer::Serve(int fd, int stop_fd) {
  std::unique_ptr<Connection> connection = instrument_.connect();
  SocketClient client(fd, stop_fd, transcript_);
  LineAssembler lines;
  char buffer[4096];
  while (!client.closed()) {
    pollfd fds[2] = {{fd, POLLIN, 0}, {stop_fd, POLLIN, 0}};
    int n = ::poll(fds, 2, -1);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 || (fds[1].revents & POLLIN) != 0) break;
    ssize_t got = ::recv(fd, buffer, sizeof buffer, 0);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) break;
    if (connection->takes_bytes()) {
      connection->on_bytes(std::string_view(buffer, static_cast<std::size_t>(got)), false, client);
      continue;
    }
    lines.feed(
        std::string_view(buffer, static_cast<std::size_t>(got)),
        [&](std::string_view line) {
          if (transcript_ != nullptr) transcript_->record(line);
          connection->on_line(line, client);
          return !client.closed();
        },
        [&] { connection->on_overlong_line(client); });
  }
}

}  // namespace emulator
