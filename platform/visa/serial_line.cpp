// SPDX-License-Identifier: MIT
#include "serial_line.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <thread>
#include <utility>

#include "visa.h"

namespace visa {
namespace {

struct BaudRow {
  std::uint32_t baud;
  speed_t speed;
};

constexpr BaudRow kBauds[] = {
    {50, B50},         {75, B75},         {110, B110},       {134, B134},       {150, B150},
    {200, B200},       {300, B300},       {600, B600},       {1200, B1200},     {1800, B1800},
    {2400, B2400},     {4800, B4800},     {9600, B9600},     {19200, B19200},   {38400, B38400},
    {57600, B57600},   {115200, B115200}, {230400, B230400}, {460800, B460800}, {500000, B500000},
    {576000, B576000}, {921600, B921600}, {1000000, B1000000}, {1152000, B1152000},
    {1500000, B1500000}, {2000000, B2000000}, {2500000, B2500000}, {3000000, B3000000},
    {3500000, B3500000}, {4000000, B4000000},
};

bool SpeedOf(std::uint32_t baud, speed_t& speed) {
  for (const BaudRow& row : kBauds) {
    if (row.baud == baud) {
      speed = row.speed;
      return true;
    }
  }
  return false;
}

int ModemBit(ModemLine line) {
  switch (line) {
    case ModemLine::Rts: return TIOCM_RTS;
    case ModemLine::Dtr: return TIOCM_DTR;
    case ModemLine::Cts: return TIOCM_CTS;
    case ModemLine::Dsr: return TIOCM_DSR;
    case ModemLine::Dcd: return TIOCM_CAR;
    case ModemLine::Ri: return TIOCM_RNG;
  }
  return 0;
}

ViStatus WaitReady(int fd, short events, Deadline deadline) {
  for (;;) {
    pollfd p{fd, events, 0};
    int n = ::poll(&p, 1, deadline.poll_timeout_ms());
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return VI_ERROR_IO;
    if (n == 0) return VI_ERROR_TMO;
    // A port that went away (a pseudo-terminal whose far end closed) hangs up.
    if ((p.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0 && (p.revents & events) == 0) return VI_ERROR_CONN_LOST;
    return VI_SUCCESS;
  }
}

ViStatus StatusFromErrno(int err) {
  switch (err) {
    case EIO:
    case ENXIO:
    case ENODEV: return VI_ERROR_CONN_LOST;
    default: return VI_ERROR_IO;
  }
}

}  // namespace

struct SerialLine::SavedSettings {
  termios attributes{};
};
struct SerialLine::PortState {};

std::string serial_port_device(unsigned number) { return "/dev/ttyS" + std::to_string(number - 1); }

SerialLine::SerialLine() = default;
SerialLine::~SerialLine() { close(); }

SerialLine::SerialLine(SerialLine&& other) noexcept
    : port_(std::exchange(other.port_, kNoPort)), saved_(std::move(other.saved_)) {}

SerialLine& SerialLine::operator=(SerialLine&& other) noexcept {
  if (this != &other) {
    close();
    port_ = std::exchange(other.port_, kNoPort);
    saved_ = std::move(other.saved_);
  }
  return *this;
}

void SerialLine::close() {
  if (port_ != kNoPort) {
    if (saved_) {
      ::tcsetattr(port_, TCSANOW, &saved_->attributes);
      ::ioctl(port_, TIOCNXCL);
    }
    ::close(port_);
  }
  port_ = kNoPort;
  saved_.reset();
}

ViStatus SerialLine::open(const std::string& path, SerialLine& out, std::string& why) {
  // Non-blocking, so a port waiting for carrier never holds the open up.
  int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    int err = errno;
    why = std::strerror(err);
    if (err == ENOENT || err == ENXIO || err == ENODEV || err == ENOTDIR) return VI_ERROR_RSRC_NFOUND;
    if (err == EBUSY) return VI_ERROR_RSRC_BUSY;
    return VI_ERROR_IO;
  }
  SerialLine line;
  line.port_ = fd;
  // Never write to a file that is not a serial port.
  if (!::isatty(fd)) {
    why = "not a serial port";
    return VI_ERROR_RSRC_NFOUND;
  }
  // One holder at a time: flock keeps out other sessions and programs that
  // also ask (pyserial's exclusive mode does), TIOCEXCL any other non-root opener.
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    why = "another session or program holds the port";
    return VI_ERROR_RSRC_BUSY;
  }
  auto saved = std::make_unique<SavedSettings>();
  if (::tcgetattr(fd, &saved->attributes) == 0) line.saved_ = std::move(saved);
  ::ioctl(fd, TIOCEXCL);
  out = std::move(line);
  return VI_SUCCESS;
}

ViStatus SerialLine::apply(const SerialSettings& s) {
  termios t{};
  if (::tcgetattr(port_, &t) != 0) return VI_ERROR_IO;
  ::cfmakeraw(&t);
  speed_t speed;
  if (!SpeedOf(s.baud, speed)) return VI_ERROR_NSUP_ATTR_STATE;
  ::cfsetispeed(&t, speed);
  ::cfsetospeed(&t, speed);
  t.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS);
  t.c_cflag |= CREAD | CLOCAL;
  switch (s.data_bits) {
    case 5: t.c_cflag |= CS5; break;
    case 6: t.c_cflag |= CS6; break;
    case 7: t.c_cflag |= CS7; break;
    case 8: t.c_cflag |= CS8; break;
    default: return VI_ERROR_NSUP_ATTR_STATE;
  }
  switch (s.parity) {
    case VI_ASRL_PAR_NONE: break;
    case VI_ASRL_PAR_ODD: t.c_cflag |= PARENB | PARODD; break;
    case VI_ASRL_PAR_EVEN: t.c_cflag |= PARENB; break;
    case VI_ASRL_PAR_MARK: t.c_cflag |= PARENB | CMSPAR | PARODD; break;
    case VI_ASRL_PAR_SPACE: t.c_cflag |= PARENB | CMSPAR; break;
    default: return VI_ERROR_NSUP_ATTR_STATE;
  }
  // A UART sends one and a half stop bits only with five data bits, where CSTOPB means that.
  if (s.stop_bits == VI_ASRL_STOP_TWO || (s.stop_bits == VI_ASRL_STOP_ONE5 && s.data_bits == 5)) {
    t.c_cflag |= CSTOPB;
  } else if (s.stop_bits != VI_ASRL_STOP_ONE) {
    return VI_ERROR_NSUP_ATTR_STATE;
  }
  if ((s.flow_control & VI_ASRL_FLOW_RTS_CTS) != 0) t.c_cflag |= CRTSCTS;
  if ((s.flow_control & VI_ASRL_FLOW_XON_XOFF) != 0) {
    t.c_iflag |= IXON | IXOFF;
    t.c_cc[VSTART] = static_cast<cc_t>(s.xon);
    t.c_cc[VSTOP] = static_cast<cc_t>(s.xoff);
  }
  // Reads never block in the driver: poll() bounds them by the session's timeout.
  t.c_cc[VMIN] = 0;
  t.c_cc[VTIME] = 0;
  if (::tcsetattr(port_, TCSANOW, &t) != 0) return VI_ERROR_NSUP_ATTR_STATE;
  return VI_SUCCESS;
}

ViStatus SerialLine::read_some(char* data, std::size_t size, Deadline deadline, std::size_t& got) {
  got = 0;
  for (;;) {
    ssize_t n = ::read(port_, data, size);
    if (n > 0) {
      got = static_cast<std::size_t>(n);
      return VI_SUCCESS;
    }
    if (n == 0) {
      // Nothing waiting (a raw port with VMIN 0 reads nothing rather than EAGAIN).
    } else if (errno == EINTR) {
      continue;
    } else if (errno != EAGAIN && errno != EWOULDBLOCK) {
      return StatusFromErrno(errno);
    }
    if (deadline.exhausted()) return VI_ERROR_TMO;
    ViStatus st = WaitReady(port_, POLLIN, deadline);
    if (st != VI_SUCCESS) return st;
  }
}

ViStatus SerialLine::write_all(const char* data, std::size_t size, Deadline deadline) {
  while (size > 0) {
    ssize_t n = ::write(port_, data, size);
    if (n > 0) {
      data += n;
      size -= static_cast<std::size_t>(n);
      if (size > 0 && deadline.exhausted()) return VI_ERROR_TMO;
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK) return StatusFromErrno(errno);
    ViStatus st = WaitReady(port_, POLLOUT, deadline);
    if (st != VI_SUCCESS) return st;
  }
  return VI_SUCCESS;
}

ViStatus SerialLine::drain(Deadline deadline) {
  // tcdrain() has no timeout: watch the output queue instead.
  for (;;) {
    int queued = 0;
    if (::ioctl(port_, TIOCOUTQ, &queued) != 0 || queued <= 0) return VI_SUCCESS;
    if (deadline.exhausted()) return VI_ERROR_TMO;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
}

void SerialLine::discard(bool input, bool output) {
  if (input && output) {
    ::tcflush(port_, TCIOFLUSH);
  } else if (input) {
    ::tcflush(port_, TCIFLUSH);
  } else if (output) {
    ::tcflush(port_, TCOFLUSH);
  }
}

std::size_t SerialLine::bytes_waiting() const {
  int n = 0;
  if (::ioctl(port_, FIONREAD, &n) != 0 || n < 0) return 0;
  return static_cast<std::size_t>(n);
}

int SerialLine::modem_line(ModemLine line) const {
  int bits = 0;
  if (::ioctl(port_, TIOCMGET, &bits) != 0) return VI_STATE_UNKNOWN;
  return (bits & ModemBit(line)) != 0 ? VI_STATE_ASSERTED : VI_STATE_UNASSERTED;
}

bool SerialLine::set_modem_line(ModemLine line, bool asserted) {
  int bit = ModemBit(line);
  return ::ioctl(port_, asserted ? TIOCMBIS : TIOCMBIC, &bit) == 0;
}

bool SerialLine::set_break(bool on) { return ::ioctl(port_, on ? TIOCSBRK : TIOCCBRK) == 0; }

bool SerialLine::allow_transmit(bool allowed) { return ::tcflow(port_, allowed ? TCOON : TCOOFF) == 0; }

}  // namespace visa
