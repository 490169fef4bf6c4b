// SPDX-License-Identifier: MIT
#include "serial_server.h"

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "line_assembler.h"

namespace emulator {
namespace {

bool SpeedOf(unsigned baud, speed_t& speed) {
  static constexpr struct {
    unsigned baud;
    speed_t speed;
  } kBauds[] = {{1200, B1200},   {2400, B2400},     {4800, B4800},     {9600, B9600},
                {19200, B19200}, {38400, B38400},   {57600, B57600},   {115200, B115200},
                {230400, B230400}, {460800, B460800}, {921600, B921600}};
  for (const auto& row : kBauds) {
    if (row.baud == baud) {
      speed = row.speed;
      return true;
    }
  }
  return false;
}

// Waits for `events` on fd, or for the stop pipe; false when stopping.
bool WaitFor(int fd, short events, int stop_fd) {
  for (;;) {
    pollfd fds[2] = {{fd, events, 0}, {stop_fd, POLLIN, 0}};
    int n = ::poll(fds, 2, -1);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 || (fds[1].revents & POLLIN) != 0) return false;
    return true;
  }
}

class SerialClient final : public Client {
 public:
  SerialClient(int fd, int stop_fd, Transcript* transcript) : fd_(fd), stop_fd_(stop_fd), transcript_(transcript) {}

  void send(std::string_view bytes) override {
    if (transcript_ != nullptr) transcript_->record_reply(bytes);
    // A client that reads nothing holds replies up, as on a real line; stopping still ends the wait.
    while (!bytes.empty()) {
      ssize_t n = ::write(fd_, bytes.data(), bytes.size());
      if (n > 0) {
        bytes.remove_prefix(static_cast<std::size_t>(n));
        continue;
      }
      if (n < 0 && errno == EINTR) continue;
      if (n < 0 && errno == EAGAIN && WaitFor(fd_, POLLOUT, stop_fd_)) continue;
      return;
    }
  }

  // A serial line cannot be dropped: the instrument just stops listening to this line.
  void close() override {}

  bool pause(std::chrono::milliseconds duration) override {
    pollfd p{stop_fd_, POLLIN, 0};
    return ::poll(&p, 1, static_cast<int>(duration.count())) == 0;
  }

 private:
  int fd_;
  int stop_fd_;
  Transcript* transcript_;
};

}  // namespace

SerialServer::SerialServer(Instrument& instrument, Transcript* transcript)
    : instrument_(instrument), transcript_(transcript) {}

SerialServer::~SerialServer() { stop(); }

std::string SerialServer::start(unsigned baud) {
  speed_t speed;
  if (!SpeedOf(baud, speed)) return "unsupported baud rate " + std::to_string(baud);
  master_.reset(::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC));
  if (!master_ || ::grantpt(master_.get()) != 0 || ::unlockpt(master_.get()) != 0)
    return std::string("cannot create a pseudo-terminal: ") + std::strerror(errno);
  char name[128];
  if (::ptsname_r(master_.get(), name, sizeof name) != 0) return "cannot name the pseudo-terminal";
  path_ = name;
  slave_.reset(::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC));
  if (!slave_) return "cannot open " + path_ + ": " + std::strerror(errno);
  // Raw bytes both ways, as an instrument's UART sees them, until a client sets the line up.
  termios t{};
  ::tcgetattr(slave_.get(), &t);
  ::cfmakeraw(&t);
  ::cfsetispeed(&t, speed);
  ::cfsetospeed(&t, speed);
  ::tcsetattr(slave_.get(), TCSANOW, &t);
  ::fcntl(master_.get(), F_SETFL, ::fcntl(master_.get(), F_GETFL) | O_NONBLOCK);
  int pipe_fds[2];
  if (::pipe2(pipe_fds, O_CLOEXEC) != 0) return "cannot create a pipe";
  wake_read_.reset(pipe_fds[0]);
  wake_write_.reset(pipe_fds[1]);
  baud_ = baud;
  thread_ = std::thread([this] { Serve(); });
  return {};
}

void SerialServer::stop() {
  if (!thread_.joinable()) return;
  char byte = 0;
  (void)!::write(wake_write_.get(), &byte, 1);
  thread_.join();
  // The line goes away, as when the instrument is switched off: its clients hear a hang-up.
  master_.reset();
  slave_.reset();
}

void SerialServer::Serve() {
  std::unique_ptr<Connection> connection = instrument_.connect();
  SerialClient client(master_.get(), wake_read_.get(), transcript_);
  LineAssembler lines;
  char buffer[4096];
  while (WaitFor(master_.get(), POLLIN, wake_read_.get())) {
    ssize_t got = ::read(master_.get(), buffer, sizeof buffer);
    if (got < 0 && (errno == EINTR || errno == EAGAIN)) continue;
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
          return true;
        },
        [&] { connection->on_overlong_line(client); });
  }
}

}  // namespace emulator
