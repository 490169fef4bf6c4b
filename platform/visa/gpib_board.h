// SPDX-License-Identifier: MIT
// GPIB boards: the controllers GPIB<n>::... resources go through. A board is
// shared by every session on it; each of its operations is one whole
// transaction (address, send, receive) under the board's own lock, so that
// sessions on different instruments never cross-talk. Board n is the adapter
// an open PRLGX-...<n>::INTFC session declared, else the one the VISA
// configuration file names with "gpib-board n ...", opened when first used and
// closed when its last session closes.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "deadline.h"
#include "transport.h"
#include "visa.h"

namespace visa {

struct GpibAddress {
  unsigned primary = 0;  // 0 to 30
  int secondary = -1;    // 0 to 30, or -1 for none
};

class GpibBoard {
 public:
  virtual ~GpibBoard() = default;

  // Service requests. While any device is watched, the board looks at SRQ
  // every `interval` between transactions; when it is asserted it serial-polls
  // the watched devices and calls the watcher of each whose status byte has
  // RQS, keeping that byte for the device's next status byte read. `notify`
  // is never called once unwatch() has returned.
  void watch(const GpibAddress& device, std::function<void()> notify, std::chrono::milliseconds interval);
  void unwatch(const GpibAddress& device);
  // The status byte a service request poll took and no status read has yet.
  bool take_kept_status(const GpibAddress& device, ViUInt16& status_byte);

  // Sends bytes to the listener at `to`, EOI with the last one when `end`.
  virtual ViStatus write(const GpibAddress& to, const char* data, std::size_t size, bool end, Deadline deadline) = 0;
  // Delivers at least one byte the talker at `from` sends, `end` when EOI came
  // with the last one delivered; asks the talker again until the deadline.
  // `settings` say whether the termination character ends a read too (a board
  // that hands bytes over only at the end of a read must stop there).
  virtual ViStatus read(const GpibAddress& from, char* data, std::size_t capacity, const ReadSettings& settings,
                        Deadline deadline, std::size_t& got, bool& end) = 0;
  // Drops what `from` has sent and no read took, without waiting.
  virtual ViStatus discard(const GpibAddress& from) = 0;
  virtual ViStatus serial_poll(const GpibAddress& device, Deadline deadline, ViUInt16& status_byte) = 0;
  virtual ViStatus clear(const GpibAddress& device, Deadline deadline) = 0;
  virtual ViStatus trigger(const GpibAddress& device, Deadline deadline) = 0;
  // viGpibControlREN's modes for one device.
  virtual ViStatus control_ren(const GpibAddress& device, ViUInt16 mode, Deadline deadline) = 0;
  virtual ViStatus interface_clear(Deadline deadline) = 0;
  // When no transaction is under way (else VI_ERROR_RSRC_BUSY, and nothing
  // is done): whether SRQ is asserted, and if so the status bytes of `devices`
  // that request service, each taken by a serial poll.
  virtual ViStatus poll_for_service(const std::vector<GpibAddress>& devices, Deadline deadline,
                                    std::vector<std::pair<GpibAddress, ViUInt16>>& requesting) = 0;
  // What the board is, for the trace: "a Prologix adapter at host:1234 (...)".
  virtual std::string description() const = 0;

 protected:
  // Ends the polling thread; a derived board's destructor calls it first,
  // before what poll_for_service uses is gone.
  void stop_watching();

 private:
  static unsigned Key(const GpibAddress& a) { return a.primary * 32 + static_cast<unsigned>(a.secondary + 1); }
  void PollForServiceRequests();

  std::mutex watch_mutex_;  // the watchers, the kept bytes; held while a watcher is called
  std::condition_variable wake_;
  std::map<unsigned, std::pair<GpibAddress, std::function<void()>>> watchers_;
  std::map<unsigned, ViUInt16> kept_;
  std::chrono::milliseconds interval_{50};
  bool stopping_ = false;
  std::thread poller_;
};

// Opens the "++" adapter a PRLGX-TCPIP or PRLGX-ASRL resource names (a serial
// one at `baud`), reading its version and setting every one of its settings.
ViStatus open_prologix_board(const ResourceName& resource, unsigned baud, Deadline deadline,
                             std::shared_ptr<GpibBoard>& out);

// A linux-gpib board (its minor number) through libgpib.so.0, loaded now if it
// was not (ZEVRA_LINUX_GPIB_LIBRARY names another file); VI_ERROR_RSRC_NFOUND
// with `why` when the library is missing or incomplete.
ViStatus open_linux_gpib_board(unsigned minor, std::shared_ptr<GpibBoard>& out, std::string& why);

// Makes `board` board number `number` while the declaring session is open.
// VI_ERROR_RSRC_BUSY when another open session declared that number.
ViStatus declare_gpib_board(unsigned number, const std::shared_ptr<GpibBoard>& board);
void withdraw_gpib_board(unsigned number, const GpibBoard* board);
// Board `number`: a declared one, else the configured one (opened now if no
// session holds it). VI_ERROR_RSRC_NFOUND with `why` when there is none.
ViStatus gpib_board(unsigned number, Deadline deadline, std::shared_ptr<GpibBoard>& out, std::string& why);

// The transports of GPIB resources.
ViStatus open_gpib_instr_transport(const ResourceName& resource, const OpenRequest& request,
                                   std::unique_ptr<Transport>& out);
ViStatus open_gpib_intfc_transport(const ResourceName& resource, const OpenRequest& request,
                                   std::unique_ptr<Transport>& out);
ViStatus open_prologix_intfc_transport(const ResourceName& resource, const OpenRequest& request,
                                       std::unique_ptr<Transport>& out);

}  // namespace visa
