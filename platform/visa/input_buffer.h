// SPDX-License-Identifier: MIT
// Buffered input of one VISA session: bytes as they arrived, with the message
// boundaries (END) a message-based transport reported. Raw reads (viRead) and
// formatted reads (viScanf) both take their bytes from here, so alternating
// them neither loses nor repeats a byte.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <string>

#include "deadline.h"
#include "transport.h"

namespace visa {

class InputBuffer {
 public:
  // The next thing in the input: a byte (possibly the last of a message), or a
  // message end that carries no byte.
  struct Item {
    bool has_byte = false;
    char byte = 0;
    bool ends_by_termchar = false;  // the byte is the enabled termination character
    bool ends_by_end = false;       // the transport's END follows the byte (or stands alone)
    bool ends_message() const { return ends_by_termchar || ends_by_end; }
  };

  // Waits for the next item. Returns a transport status on failure.
  ViStatus peek(Transport& transport, const ReadSettings& settings, Deadline deadline,
                Item& item);
  // Consumes what the last peek returned.
  void consume(const Item& item);
  // The bytes held that are plain data: up to, not including, the first byte
  // that ends a message (the termination character, or a byte END follows).
  std::string_view plain_run(const ReadSettings& settings) const;
  // Takes the first `n` bytes of the run; returns where they are (for the trace).
  const char* consume_plain(std::size_t n);

  // viRead: copies up to `count` bytes, stopping after the termination character
  // or END. Status VI_SUCCESS (END), VI_SUCCESS_TERM_CHAR or VI_SUCCESS_MAX_CNT.
  ViStatus read(Transport& transport, const ReadSettings& settings, Deadline deadline,
                char* out, std::size_t count, std::size_t& got);

  // True when a byte or END is held without asking the transport.
  bool has_buffered() const { return pos_ < data_.size() || lone_end_pending(); }
  // True when the last thing taken ended a message and nothing more is held:
  // the stream stands between messages.
  bool at_message_boundary() const { return last_ended_message_ && !has_buffered(); }
  void clear();
  // Puts bytes taken out of turn back in front of the unread input.
  void unread(std::string_view bytes);

 private:
  ViStatus fill(Transport& transport, const ReadSettings& settings, Deadline deadline);
  // Reads of at least this much, with nothing held, bypass the buffer.
  static constexpr std::size_t kDirectReadSize = 16384;
  static constexpr ViStatus kReadOn = 1;  // read_direct: the read goes on
  ViStatus read_direct(Transport& transport, const ReadSettings& settings, Deadline deadline, char* out,
                       std::size_t count, std::size_t& got);
  bool lone_end_pending() const { return !ends_.empty() && ends_.front() == consumed(); }
  std::uint64_t consumed() const { return base_ + pos_; }

  static constexpr std::size_t kChunkSize = 64 * 1024;  // the most one refill asks the transport for
  std::unique_ptr<char[]> chunk_;
  std::string data_;          // bytes not yet trimmed; data_[pos_] is the next unread one
  std::size_t pos_ = 0;
  std::uint64_t base_ = 0;    // stream offset of data_[0]
  std::deque<std::uint64_t> ends_;  // stream offsets at which a message ended
  bool last_ended_message_ = true;
};

}  // namespace visa
