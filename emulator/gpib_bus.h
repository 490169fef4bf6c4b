// SPDX-License-Identifier: MIT
// An emulated GPIB bus: instruments at primary addresses, each listening to
// the messages a controller sends (EOI with the last byte of each) and
// talking its replies (EOI with the last byte of each), with a status byte
// whose request for service (RQS) a serial poll clears, and the bus's
// controls: selected device clear, group execute trigger, go to local, local
// lockout and interface clear.
#pragma once

#include <atomic>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "instrument.h"
#include "transcript.h"

namespace emulator {

class GpibBus {
 public:
  static constexpr int kUntilEoi = -1;   // read(): up to the byte sent with EOI
  static constexpr int kEverything = -2;  // read(): all the talker has

  GpibBus();
  ~GpibBus();
  GpibBus(const GpibBus&) = delete;
  GpibBus& operator=(const GpibBus&) = delete;

  // Puts `instrument` (which must outlive the bus) at primary address `pad`
  // (0 to 30), before the bus is used; what it receives and the bus controls it sees go to `transcript`
  // (may be null). False when the address is taken or out of range.
  bool attach(unsigned pad, Instrument& instrument, Transcript* transcript);
  bool present(unsigned pad) const;

  // A listener at `pad` receives `bytes`, with EOI on the last one when
  // `eoi`. False when no device is there.
  bool write(unsigned pad, std::string_view bytes, bool eoi);

  struct Talk {
    std::string bytes;
    bool eoi = false;  // EOI came with the last byte
  };
  // What the talker at `pad` sends: up to its byte with EOI (kUntilEoi), up to
  // and including byte `stop` (0-255) or the EOI before it, or all it has
  // (kEverything). Empty when it has nothing to say.
  Talk read(unsigned pad, int stop);

  // The status byte, bit 6 the request for service, which the poll clears;
  // -1 when no device is at `pad`.
  int serial_poll(unsigned pad);
  // Whether any device asserts SRQ.
  bool service_requested() const;

  void clear(unsigned pad);
  void trigger(unsigned pad);
  void go_to_local(unsigned pad);
  void local_lockout();
  void interface_clear();

 private:
  struct Device;
  Device* find(unsigned pad) const;
  void record_all(const char* event);

  mutable std::mutex mutex_;
  std::map<unsigned, std::unique_ptr<Device>> devices_;
};

}  // namespace emulator
