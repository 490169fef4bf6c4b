// SPDX-License-Identifier: MIT
// A GPIB controller that speaks the "++" command protocol of the inexpensive
// Ethernet and USB-serial adapters, in front of an emulated bus. Lines from
// the host end in CR or LF; ESC makes the next byte (CR, LF, ESC, '+') data.
// A line starting with an unescaped "++" is a command to the adapter; any
// other line is data for the addressed instrument, with the terminator ++eos
// chooses and EOI on the last byte when ++eoi is on. Two firmware families
// differ in their defaults and in their ++ver line.
#pragma once

#include <chrono>
#include <functional>
#include <string>
#include <string_view>

#include "gpib_bus.h"
#include "instrument.h"

namespace emulator {

enum class AdapterFirmware { Prologix, Ar488 };

class PrologixAdapter {
 public:
  using Reply = std::function<void(std::string_view)>;
  // Waits as the adapter's read timeout does; false when the server is stopping.
  using Pause = std::function<bool(std::chrono::milliseconds)>;

  PrologixAdapter(GpibBus& bus, AdapterFirmware firmware, Transcript* commands);

  // Bytes from the host, in any pieces.
  void feed(std::string_view bytes, const Reply& reply, const Pause& pause);

  static const char* version(AdapterFirmware firmware);

 private:
  void defaults();
  void command(const std::string& line, const Reply& reply, const Pause& pause);
  void data(const std::string& bytes, const Reply& reply, const Pause& pause);
  // The addressed instrument talks: up to EOI, up to byte `stop`, or all it has.
  void talk(int stop, const Reply& reply, const Pause& pause);

  GpibBus& bus_;
  AdapterFirmware firmware_;
  Transcript* commands_;  // the "++" lines, for tests; may be null
  // The line being received.
  std::string line_;
  bool escape_ = false;
  std::size_t plain_pluses_ = 0;  // unescaped '+' the line starts with
  bool escaped_data_ = false;      // an escaped byte is in the line
  // Settings.
  unsigned mode_ = 1, pad_ = 0, sad_ = 0, eos_ = 0, eot_char_ = 0, read_tmo_ms_ = 500;
  bool auto_ = false, eoi_ = true, eot_enable_ = false, savecfg_ = true;
};

// The adapter as the emulator's transports serve it (TCP as the Ethernet
// adapters, a pseudo-terminal as the USB-serial ones): each connection talks
// to an adapter of its own, all in front of one bus.
class GpibAdapterInstrument final : public Instrument {
 public:
  // `commands` (may be null) records the adapter commands received.
  GpibAdapterInstrument(GpibBus& bus, AdapterFirmware firmware, Transcript* commands = nullptr)
      : bus_(bus), firmware_(firmware), commands_(commands) {}
  std::unique_ptr<Connection> connect() override;

 private:
  GpibBus& bus_;
  AdapterFirmware firmware_;
  Transcript* commands_;
};

}  // namespace emulator
