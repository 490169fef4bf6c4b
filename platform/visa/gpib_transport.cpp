// SPDX-License-Identifier: MIT
// GPIB resources: an instrument (GPIB<n>::pad[::sad]::INSTR) through its
// board, and the board itself (GPIB<n>::INTFC, or a PRLGX-...::INTFC that
// opens an adapter and makes it board n while the session is open).
#include "gpib_board.h"
#include "registry.h"
#include "trace.h"

namespace visa {
namespace {

class GpibInstrTransport final : public Transport {
 public:
  GpibInstrTransport(std::shared_ptr<GpibBoard> board, GpibAddress address, std::chrono::milliseconds poll_interval)
      : board_(std::move(board)), address_(address), poll_interval_(poll_interval) {}
  ~GpibInstrTransport() override { board_->unwatch(address_); }

  ViStatus write(const char* data, std::size_t size, bool end, Deadline deadline) override {
    return board_->write(address_, data, size, end, deadline);
  }
  ViStatus read(char* data, std::size_t capacity, const ReadSettings& settings, Deadline deadline, std::size_t& got,
                bool& end) override {
    return board_->read(address_, data, capacity, settings, deadline, got, end);
  }
  ViStatus discard_arrived() override { return board_->discard(address_); }
  ViStatus clear(Deadline deadline) override { return board_->clear(address_, deadline); }
  // A byte the service request poll took answers first: it is the device's news.
  ViStatus read_stb(Deadline deadline, ViUInt16& stb) override {
    if (board_->take_kept_status(address_, stb)) return VI_SUCCESS;
    return board_->serial_poll(address_, deadline, stb);
  }
  bool carries_service_requests() const override { return true; }
  ViStatus start_service_requests(std::function<void()> notify, Deadline) override {
    board_->watch(address_, std::move(notify), poll_interval_);
    return VI_SUCCESS;
  }
  void stop_service_requests(Deadline) override { board_->unwatch(address_); }
  ViStatus assert_trigger(Deadline deadline) override { return board_->trigger(address_, deadline); }
  ViStatus control_ren(ViUInt16 mode, Deadline deadline) override {
    return board_->control_ren(address_, mode, deadline);
  }
  std::string peer_address() const override { return board_->description(); }

 private:
  std::shared_ptr<GpibBoard> board_;
  GpibAddress address_;
  std::chrono::milliseconds poll_interval_;
};

// A board's own session: bus-wide operations only.
class GpibIntfcTransport final : public Transport {
 public:
  GpibIntfcTransport(std::shared_ptr<GpibBoard> board, unsigned number, bool declared)
      : board_(std::move(board)), number_(number), declared_(declared) {}
  ~GpibIntfcTransport() override {
    if (declared_) withdraw_gpib_board(number_, board_.get());
  }

  ViStatus write(const char*, std::size_t, bool, Deadline) override { return VI_ERROR_NSUP_OPER; }
  ViStatus read(char*, std::size_t, const ReadSettings&, Deadline, std::size_t&, bool&) override {
    return VI_ERROR_NSUP_OPER;
  }
  ViStatus discard_arrived() override { return VI_SUCCESS; }
  ViStatus interface_clear(Deadline deadline) override { return board_->interface_clear(deadline); }
  std::string peer_address() const override { return board_->description(); }

 private:
  std::shared_ptr<GpibBoard> board_;
  unsigned number_;
  bool declared_;
};

// The board a GPIB resource names; when there is none, the trace says why.
ViStatus BoardOf(const ResourceName& resource, const OpenRequest& request, std::shared_ptr<GpibBoard>& board) {
  std::string why;
  ViStatus st = gpib_board(resource.board, request.deadline, board, why);
  if (st < 0) trace_note(why);
  return st;
}

}  // namespace

ViStatus open_gpib_instr_transport(const ResourceName& resource, const OpenRequest& request,
                                   std::unique_ptr<Transport>& out) {
  std::shared_ptr<GpibBoard> board;
  ViStatus st = BoardOf(resource, request, board);
  if (st < 0) return st;
  const auto interval = std::chrono::milliseconds(Registry::instance().current_config()->gpib_srq_interval_ms);
  out = std::make_unique<GpibInstrTransport>(std::move(board),
                                             GpibAddress{resource.gpib_primary, resource.gpib_secondary}, interval);
  return VI_SUCCESS;
}

ViStatus open_gpib_intfc_transport(const ResourceName& resource, const OpenRequest& request,
                                   std::unique_ptr<Transport>& out) {
  std::shared_ptr<GpibBoard> board;
  ViStatus st = BoardOf(resource, request, board);
  if (st < 0) return st;
  out = std::make_unique<GpibIntfcTransport>(std::move(board), resource.board, false);
  return VI_SUCCESS;
}

ViStatus open_prologix_intfc_transport(const ResourceName& resource, const OpenRequest& request,
                                       std::unique_ptr<Transport>& out) {
  std::shared_ptr<GpibBoard> board;
  ViStatus st = open_prologix_board(resource, 115200, request.deadline, board);
  if (st < 0) return st;
  st = declare_gpib_board(resource.board, board);
  if (st < 0) {
    trace_note("GPIB board " + std::to_string(resource.board) + " is already an open session's adapter");
    return st;
  }
  out = std::make_unique<GpibIntfcTransport>(std::move(board), resource.board, true);
  return VI_SUCCESS;
}

}  // namespace visa
