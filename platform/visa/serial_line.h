// SPDX-License-Identifier: MIT
// A serial port opened for a session: the port, the line settings (termios
// on Linux, the communications API on Windows), the modem lines, and bounded
// reads and writes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "deadline.h"
#include "visatype.h"

namespace visa {

// A line's settings in VISA's terms (VI_ASRL_PAR_*, VI_ASRL_STOP_*, VI_ASRL_FLOW_* bits).
struct SerialSettings {
  std::uint32_t baud = 9600;
  std::uint16_t data_bits = 8;
  std::uint16_t parity = 0;
  std::uint16_t stop_bits = 10;
  std::uint16_t flow_control = 0;
  unsigned char xon = 0x11;
  unsigned char xoff = 0x13;
};

// A modem line a session may read (and for RTS and DTR, set).
enum class ModemLine { Rts, Dtr, Cts, Dsr, Dcd, Ri };

// The device of the machine's serial port `number` as VISA counts them from 1
// (ASRL1): /dev/ttyS0 on Linux, COM1 on Windows.
std::string serial_port_device(unsigned number);

class SerialLine {
 public:
  SerialLine();
  ~SerialLine();
  SerialLine(SerialLine&& other) noexcept;
  SerialLine& operator=(SerialLine&& other) noexcept;
  SerialLine(const SerialLine&) = delete;
  SerialLine& operator=(const SerialLine&) = delete;

  // Opens `path`, which must be a serial device, for this process alone:
  // VI_ERROR_RSRC_BUSY while another session or program holds it,
  // VI_ERROR_RSRC_NFOUND when there is no such port. `why` says what failed.
  static ViStatus open(const std::string& path, SerialLine& out, std::string& why);

  // VI_ERROR_NSUP_ATTR_STATE for settings the port cannot take; nothing changes then.
  ViStatus apply(const SerialSettings& settings);

  // At least one byte, or VI_ERROR_TMO; VI_ERROR_CONN_LOST once the port went away.
  ViStatus read_some(char* data, std::size_t size, Deadline deadline, std::size_t& got);
  ViStatus write_all(const char* data, std::size_t size, Deadline deadline);
  // Waits until what was written has left, within the deadline.
  ViStatus drain(Deadline deadline);
  void discard(bool input, bool output);
  std::size_t bytes_waiting() const;

  // VI_STATE_ASSERTED, VI_STATE_UNASSERTED, or VI_STATE_UNKNOWN where the port has no such line.
  int modem_line(ModemLine line) const;
  bool set_modem_line(ModemLine line, bool asserted);
  // A break held (or released); false where the port cannot send one.
  bool set_break(bool on);
  // Suspends or resumes transmission, as XOFF from the far end would.
  bool allow_transmit(bool allowed);

 private:
#ifdef _WIN32
  using Port = void*;  // a HANDLE opened for overlapped I/O
  static constexpr Port kNoPort = nullptr;
#else
  using Port = int;
  static constexpr Port kNoPort = -1;
#endif
  // The port's settings as the session found them, put back on close so that
  // a console or another program's port is left as it was.
  struct SavedSettings;
  // What a system keeps beside the port (Windows: the events overlapped reads
  // and writes wait on, the output lines as last set).
  struct PortState;

  void close();
  Port port_ = kNoPort;
  std::unique_ptr<SavedSettings> saved_;
  std::unique_ptr<PortState> state_;
};

}  // namespace visa
