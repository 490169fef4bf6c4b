// SPDX-License-Identifier: MIT
// Which board GPIB<n> is: one an open INTFC session declared, else the one
// the configuration file names, shared by the sessions that use it.
#include <map>
#include <mutex>

#include "gpib_board.h"
#include "registry.h"
#include "trace.h"

namespace visa {
namespace {

struct Boards {
  std::mutex mutex;
  std::map<unsigned, std::shared_ptr<GpibBoard>> declared;
  std::map<unsigned, std::weak_ptr<GpibBoard>> configured;  // open while a session holds one
};

// Never destroyed: sessions may close from exit handlers.
Boards& TheBoards() {
  static Boards* boards = new Boards;
  return *boards;
}

}  // namespace

ViStatus declare_gpib_board(unsigned number, const std::shared_ptr<GpibBoard>& board) {
  Boards& boards = TheBoards();
  std::lock_guard lock(boards.mutex);
  auto [it, fresh] = boards.declared.emplace(number, board);
  return fresh ? VI_SUCCESS : VI_ERROR_RSRC_BUSY;
}

void withdraw_gpib_board(unsigned number, const GpibBoard* board) {
  Boards& boards = TheBoards();
  std::lock_guard lock(boards.mutex);
  auto it = boards.declared.find(number);
  if (it != boards.declared.end() && it->second.get() == board) boards.declared.erase(it);
}

ViStatus gpib_board(unsigned number, Deadline deadline, std::shared_ptr<GpibBoard>& out, std::string& why) {
  Boards& boards = TheBoards();
  std::lock_guard lock(boards.mutex);
  if (auto it = boards.declared.find(number); it != boards.declared.end()) {
    out = it->second;
    return VI_SUCCESS;
  }
  if (auto open = boards.configured[number].lock()) {
    out = std::move(open);
    return VI_SUCCESS;
  }
  std::shared_ptr<const VisaConfig> config = Registry::instance().current_config();
  const GpibBoardEntry* entry = config->gpib_board(number);
  if (entry == nullptr) {
    why = "no GPIB board " + std::to_string(number) + ": open a PRLGX-TCPIP" + std::to_string(number) +
          "::HOST::INTFC or PRLGX-ASRL" + std::to_string(number) + "::DEVICE::INTFC session first, or declare it in " +
          visa_config_path() + " (gpib-board " + std::to_string(number) + " ...)";
    return VI_ERROR_RSRC_NFOUND;
  }
  std::shared_ptr<GpibBoard> board;
  if (entry->linux_gpib) {
    std::string missing;
    ViStatus st = open_linux_gpib_board(entry->minor, board, missing);
    if (st < 0) {
      why = "GPIB board " + std::to_string(number) + " is a linux-gpib board, but " + missing;
      return st;
    }
  } else {
    ViStatus st = open_prologix_board(entry->adapter, entry->baud, deadline, board);
    if (st < 0) {
      why = "GPIB board " + std::to_string(number) + " (" + entry->adapter.canonical + ") did not answer as an adapter";
      return st;
    }
  }
  boards.configured[number] = board;
  out = std::move(board);
  return VI_SUCCESS;
}

}  // namespace visa
