// SPDX-License-Identifier: MIT
// The serial port on the Win32 communications API. The port is opened for
// overlapped I/O, so every read and write is bounded by the session's deadline
// (waited on the operation's event, then cancelled), never by the port's own
// timeouts alone.
#include "serial_line.h"

#include <windows.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <mutex>
#include <set>
#include <thread>
#include <utility>

#include "visa.h"

namespace visa {

struct SerialLine::SavedSettings {
  DCB dcb{};
  COMMTIMEOUTS timeouts{};
};

namespace {

// The ports this process holds. A COM port's driver refuses a second opener,
// but not every driver does (Wine's, over a Unix device, does not): sessions
// of one process are kept apart here whatever the driver.
class PortsHeld {
 public:
  static PortsHeld& instance() {
    static PortsHeld held;
    return held;
  }
  bool take(const std::string& device) {
    std::lock_guard guard(mutex_);
    return devices_.insert(device).second;
  }
  void give_back(const std::string& device) {
    std::lock_guard guard(mutex_);
    devices_.erase(device);
  }

 private:
  std::mutex mutex_;
  std::set<std::string> devices_;
};

// COM7, com7 and \\.\COM7 are one port.
std::string DeviceKey(const std::string& device) {
  std::string key = device;
  for (char& c : key) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return key;
}

}  // namespace

struct SerialLine::PortState {
  std::string held;  // the key in PortsHeld, once taken
  HANDLE read_event = nullptr;
  HANDLE write_event = nullptr;
  // The output lines cannot be read back from the port: they are as last set,
  // asserted from the open on.
  bool rts = true;
  bool dtr = true;
  ~PortState() {
    if (!held.empty()) PortsHeld::instance().give_back(held);
    if (read_event != nullptr) ::CloseHandle(read_event);
    if (write_event != nullptr) ::CloseHandle(write_event);
  }
};

namespace {

// The longest a wait for bytes goes without looking at the queue again.
constexpr std::uint32_t kReceiveSliceMs = 20;

std::string WindowsError(DWORD code) { return "Windows error " + std::to_string(code); }

// A port that was unplugged, or whose driver gave up, fails every operation
// with one of these.
ViStatus StatusFromError(DWORD code) {
  switch (code) {
    case ERROR_ACCESS_DENIED:
    case ERROR_BAD_COMMAND:
    case ERROR_DEVICE_REMOVED:
    case ERROR_DEVICE_NOT_CONNECTED:
    case ERROR_GEN_FAILURE:
    case ERROR_INVALID_HANDLE:
    case ERROR_NOT_READY: return VI_ERROR_CONN_LOST;
    default: return VI_ERROR_IO;
  }
}

// Runs one overlapped read or write started by `start`, waiting for it until
// the deadline; an operation still running then is cancelled, and what it
// moved until then is counted.
template <typename Start>
ViStatus Overlapped(HANDLE port, HANDLE event, Deadline deadline, DWORD& moved, Start&& start) {
  OVERLAPPED operation{};
  operation.hEvent = event;
  ::ResetEvent(event);
  moved = 0;
  if (start(&operation)) {
    return ::GetOverlappedResult(port, &operation, &moved, FALSE) ? VI_SUCCESS : StatusFromError(::GetLastError());
  }
  const DWORD error = ::GetLastError();
  if (error != ERROR_IO_PENDING) return StatusFromError(error);
  const int wait_ms = deadline.poll_timeout_ms();
  const DWORD waited = ::WaitForSingleObject(event, wait_ms < 0 ? INFINITE : static_cast<DWORD>(wait_ms));
  if (waited != WAIT_OBJECT_0) ::CancelIoEx(port, &operation);
  // Waits for the cancellation too: the operation's buffer must outlive it.
  if (!::GetOverlappedResult(port, &operation, &moved, TRUE)) {
    const DWORD result = ::GetLastError();
    if (result != ERROR_OPERATION_ABORTED) return StatusFromError(result);
  }
  return waited == WAIT_OBJECT_0 || moved > 0 ? VI_SUCCESS : VI_ERROR_TMO;
}

bool QueueSizes(HANDLE port, COMSTAT& status) {
  DWORD errors = 0;
  return ::ClearCommError(port, &errors, &status) != 0;
}

}  // namespace

std::string serial_port_device(unsigned number) { return "COM" + std::to_string(number); }

SerialLine::SerialLine() = default;
SerialLine::~SerialLine() { close(); }

SerialLine::SerialLine(SerialLine&& other) noexcept
    : port_(std::exchange(other.port_, kNoPort)), saved_(std::move(other.saved_)), state_(std::move(other.state_)) {}

SerialLine& SerialLine::operator=(SerialLine&& other) noexcept {
  if (this != &other) {
    close();
    port_ = std::exchange(other.port_, kNoPort);
    saved_ = std::move(other.saved_);
    state_ = std::move(other.state_);
  }
  return *this;
}

void SerialLine::close() {
  if (port_ != kNoPort) {
    if (saved_) {
      ::SetCommState(port_, &saved_->dcb);
      ::SetCommTimeouts(port_, &saved_->timeouts);
    }
    ::CloseHandle(port_);
  }
  port_ = kNoPort;
  saved_.reset();
  state_.reset();
}

ViStatus SerialLine::open(const std::string& path, SerialLine& out, std::string& why) {
  // COM10 and above are reached only through the device namespace.
  const std::string device = path.rfind("\\\\.\\", 0) == 0 ? path : "\\\\.\\" + path;
  const std::string key = DeviceKey(device);
  if (!PortsHeld::instance().take(key)) {
    why = "another session or program holds the port";
    return VI_ERROR_RSRC_BUSY;
  }
  auto state = std::make_unique<PortState>();
  state->held = key;  // given back when the state goes, however the open ends
  // No sharing: a second opener, in this process or another, is refused.
  HANDLE handle = ::CreateFileA(device.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                FILE_FLAG_OVERLAPPED, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    const DWORD error = ::GetLastError();
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) {
      why = "no such port";
      return VI_ERROR_RSRC_NFOUND;
    }
    if (error == ERROR_ACCESS_DENIED || error == ERROR_SHARING_VIOLATION) {
      why = "another session or program holds the port";
      return VI_ERROR_RSRC_BUSY;
    }
    why = WindowsError(error);
    return VI_ERROR_IO;
  }
  SerialLine line;
  line.port_ = handle;
  line.state_ = std::move(state);
  auto saved = std::make_unique<SavedSettings>();
  saved->dcb.DCBlength = sizeof saved->dcb;
  // Never write to a device that is not a serial port.
  if (::GetFileType(handle) != FILE_TYPE_CHAR || !::GetCommState(handle, &saved->dcb)) {
    why = "not a serial port";
    return VI_ERROR_RSRC_NFOUND;
  }
  if (::GetCommTimeouts(handle, &saved->timeouts)) line.saved_ = std::move(saved);
  line.state_->read_event = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
  line.state_->write_event = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
  if (line.state_->read_event == nullptr || line.state_->write_event == nullptr) {
    why = WindowsError(::GetLastError());
    return VI_ERROR_SYSTEM_ERROR;
  }
  // A read returns at once with what has arrived; a wait for bytes is a wait
  // for the port's "byte received" event, bounded by the deadline. Writes have
  // no timeout of their own.
  COMMTIMEOUTS timeouts{};
  timeouts.ReadIntervalTimeout = MAXDWORD;
  if (!::SetCommTimeouts(handle, &timeouts) || !::SetCommMask(handle, EV_RXCHAR)) {
    why = WindowsError(::GetLastError());
    return VI_ERROR_IO;
  }
  out = std::move(line);
  return VI_SUCCESS;
}

ViStatus SerialLine::apply(const SerialSettings& s) {
  DCB dcb{};
  dcb.DCBlength = sizeof dcb;
  if (!::GetCommState(port_, &dcb)) return VI_ERROR_IO;
  if (s.baud == 0) return VI_ERROR_NSUP_ATTR_STATE;
  dcb.BaudRate = s.baud;
  if (s.data_bits < 5 || s.data_bits > 8) return VI_ERROR_NSUP_ATTR_STATE;
  dcb.ByteSize = static_cast<BYTE>(s.data_bits);
  switch (s.parity) {
    case VI_ASRL_PAR_NONE: dcb.Parity = NOPARITY; break;
    case VI_ASRL_PAR_ODD: dcb.Parity = ODDPARITY; break;
    case VI_ASRL_PAR_EVEN: dcb.Parity = EVENPARITY; break;
    case VI_ASRL_PAR_MARK: dcb.Parity = MARKPARITY; break;
    case VI_ASRL_PAR_SPACE: dcb.Parity = SPACEPARITY; break;
    default: return VI_ERROR_NSUP_ATTR_STATE;
  }
  dcb.fParity = s.parity != VI_ASRL_PAR_NONE;
  // A UART sends one and a half stop bits only with five data bits.
  if (s.stop_bits == VI_ASRL_STOP_ONE) {
    dcb.StopBits = ONESTOPBIT;
  } else if (s.stop_bits == VI_ASRL_STOP_TWO) {
    dcb.StopBits = TWOSTOPBITS;
  } else if (s.stop_bits == VI_ASRL_STOP_ONE5 && s.data_bits == 5) {
    dcb.StopBits = ONE5STOPBITS;
  } else {
    return VI_ERROR_NSUP_ATTR_STATE;
  }
  // Raw bytes both ways: no character is dropped, replaced or acted on, and
  // an error on the line does not stop the port.
  dcb.fBinary = TRUE;
  dcb.fNull = FALSE;
  dcb.fErrorChar = FALSE;
  dcb.fAbortOnError = FALSE;
  dcb.fDsrSensitivity = FALSE;
  dcb.fOutxDsrFlow = FALSE;
  dcb.fDtrControl = state_->dtr ? DTR_CONTROL_ENABLE : DTR_CONTROL_DISABLE;
  const bool rts_cts = (s.flow_control & VI_ASRL_FLOW_RTS_CTS) != 0;
  dcb.fOutxCtsFlow = rts_cts;
  dcb.fRtsControl = rts_cts ? RTS_CONTROL_HANDSHAKE : state_->rts ? RTS_CONTROL_ENABLE : RTS_CONTROL_DISABLE;
  const bool xon_xoff = (s.flow_control & VI_ASRL_FLOW_XON_XOFF) != 0;
  dcb.fOutX = xon_xoff;
  dcb.fInX = xon_xoff;
  dcb.XonChar = static_cast<char>(s.xon);
  dcb.XoffChar = static_cast<char>(s.xoff);
  if (!::SetCommState(port_, &dcb)) return VI_ERROR_NSUP_ATTR_STATE;
  return VI_SUCCESS;
}

ViStatus SerialLine::read_some(char* data, std::size_t size, Deadline deadline, std::size_t& got) {
  got = 0;
  for (;;) {
    COMSTAT status{};
    if (!QueueSizes(port_, status)) return StatusFromError(::GetLastError());
    if (status.cbInQue > 0) {
      // Takes what has arrived; the port's timeouts make this return at once.
      const DWORD wanted = static_cast<DWORD>(std::min<std::size_t>(size, status.cbInQue));
      DWORD moved = 0;
      ViStatus st = Overlapped(port_, state_->read_event, deadline, moved, [&](OVERLAPPED* operation) {
        return ::ReadFile(port_, data, wanted, nullptr, operation) != 0;
      });
      if (st != VI_SUCCESS) return st;
      if (moved > 0) {
        got = moved;
        return VI_SUCCESS;
      }
    }
    if (deadline.exhausted()) return VI_ERROR_TMO;
    // Waits for a byte. One that came between the look at the queue and the
    // start of the wait may not end it, so the wait is cut into slices.
    const Deadline slice = Deadline::earliest(deadline, Deadline::after_ms(kReceiveSliceMs));
    DWORD events = 0;
    DWORD moved = 0;
    ViStatus st = Overlapped(port_, state_->read_event, slice, moved, [&](OVERLAPPED* operation) {
      return ::WaitCommEvent(port_, &events, operation) != 0;
    });
    if (st != VI_SUCCESS && st != VI_ERROR_TMO) return st;
  }
}

ViStatus SerialLine::write_all(const char* data, std::size_t size, Deadline deadline) {
  while (size > 0) {
    const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(size, MAXDWORD));
    DWORD moved = 0;
    ViStatus st = Overlapped(port_, state_->write_event, deadline, moved, [&](OVERLAPPED* operation) {
      return ::WriteFile(port_, data, chunk, nullptr, operation) != 0;
    });
    data += moved;
    size -= moved;
    if (st != VI_SUCCESS) return st;
    if (size > 0 && deadline.exhausted()) return VI_ERROR_TMO;
  }
  return VI_SUCCESS;
}

ViStatus SerialLine::drain(Deadline deadline) {
  // FlushFileBuffers has no timeout: watch the output queue instead.
  for (;;) {
    COMSTAT status{};
    if (!QueueSizes(port_, status) || status.cbOutQue == 0) return VI_SUCCESS;
    if (deadline.exhausted()) return VI_ERROR_TMO;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
}

void SerialLine::discard(bool input, bool output) {
  DWORD what = (input ? PURGE_RXCLEAR : 0) | (output ? PURGE_TXCLEAR : 0);
  if (what != 0) ::PurgeComm(port_, what);
}

std::size_t SerialLine::bytes_waiting() const {
  COMSTAT status{};
  return QueueSizes(port_, status) ? status.cbInQue : 0;
}

int SerialLine::modem_line(ModemLine line) const {
  auto state = [](bool on) { return on ? VI_STATE_ASSERTED : VI_STATE_UNASSERTED; };
  if (line == ModemLine::Rts) return state(state_->rts);
  if (line == ModemLine::Dtr) return state(state_->dtr);
  DWORD bits = 0;
  if (!::GetCommModemStatus(port_, &bits)) return VI_STATE_UNKNOWN;
  switch (line) {
    case ModemLine::Cts: return state((bits & MS_CTS_ON) != 0);
    case ModemLine::Dsr: return state((bits & MS_DSR_ON) != 0);
    case ModemLine::Dcd: return state((bits & MS_RLSD_ON) != 0);
    case ModemLine::Ri: return state((bits & MS_RING_ON) != 0);
    default: return VI_STATE_UNKNOWN;
  }
}

bool SerialLine::set_modem_line(ModemLine line, bool asserted) {
  DWORD function = 0;
  if (line == ModemLine::Rts) {
    function = asserted ? SETRTS : CLRRTS;
  } else if (line == ModemLine::Dtr) {
    function = asserted ? SETDTR : CLRDTR;
  } else {
    return false;
  }
  if (!::EscapeCommFunction(port_, function)) return false;
  (line == ModemLine::Rts ? state_->rts : state_->dtr) = asserted;
  return true;
}

bool SerialLine::set_break(bool on) { return (on ? ::SetCommBreak(port_) : ::ClearCommBreak(port_)) != 0; }

// SETXOFF makes the port act as if the far end had sent XOFF.
bool SerialLine::allow_transmit(bool allowed) { return ::EscapeCommFunction(port_, allowed ? SETXON : SETXOFF) != 0; }

}  // namespace visa
