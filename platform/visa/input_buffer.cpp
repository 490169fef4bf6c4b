// SPDX-License-Identifier: MIT
#include "input_buffer.h"

#include <algorithm>
#include <cstring>

#include "visa.h"

namespace visa {

ViStatus InputBuffer::fill(Transport& transport, const ReadSettings& settings, Deadline deadline) {
  if (pos_ == data_.size()) {
    base_ += pos_;
    data_.clear();
    pos_ = 0;
  }
  // Bytes that keep arriving never stretch the timeout, on any transport.
  if (deadline.exhausted()) return VI_ERROR_TMO;
  // Not zero-filled: only the pages replies reach become resident.
  if (!chunk_) chunk_ = std::make_unique_for_overwrite<char[]>(kChunkSize);
  std::size_t got = 0;
  bool end = false;
  ViStatus st = transport.read(chunk_.get(), kChunkSize, settings, deadline, got, end);
  if (st < 0) return st;
  data_.append(chunk_.get(), got);
  if (end) ends_.push_back(base_ + data_.size());
  return VI_SUCCESS;
}

ViStatus InputBuffer::peek(Transport& transport, const ReadSettings& settings, Deadline deadline,
                           Item& item) {
  while (pos_ == data_.size() && !lone_end_pending()) {
    ViStatus st = fill(transport, settings, deadline);
    if (st < 0) return st;
  }
  item = Item{};
  if (lone_end_pending()) {
    item.ends_by_end = true;
    return VI_SUCCESS;
  }
  item.has_byte = true;
  item.byte = data_[pos_];
  item.ends_by_termchar =
      settings.termchar_enabled && static_cast<unsigned char>(item.byte) == settings.termchar;
  item.ends_by_end = !ends_.empty() && ends_.front() == consumed() + 1;
  return VI_SUCCESS;
}

void InputBuffer::consume(const Item& item) {
  last_ended_message_ = item.ends_message();
  if (item.has_byte) ++pos_;
  if (item.ends_by_end && !ends_.empty() && ends_.front() == consumed()) ends_.pop_front();
}

std::string_view InputBuffer::plain_run(const ReadSettings& settings) const {
  std::size_t size = data_.size() - pos_;
  if (!ends_.empty()) {
    const std::uint64_t to_end = ends_.front() - consumed();
    size = std::min<std::uint64_t>(size, to_end > 0 ? to_end - 1 : 0);
  }
  const char* start = data_.data() + pos_;
  if (settings.termchar_enabled && size > 0) {
    const void* hit = std::memchr(start, settings.termchar, size);
    if (hit != nullptr) size = static_cast<std::size_t>(static_cast<const char*>(hit) - start);
  }
  return {start, size};
}

const char* InputBuffer::consume_plain(std::size_t n) {
  const char* taken = data_.data() + pos_;
  if (n == 0) return taken;
  pos_ += n;
  last_ended_message_ = false;
  return taken;
}

// A large read with nothing held goes from the transport straight into the
// caller's buffer; bytes past a termination character are kept for later.
ViStatus InputBuffer::read_direct(Transport& transport, const ReadSettings& settings, Deadline deadline, char* out,
                                  std::size_t count, std::size_t& got) {
  base_ += data_.size();
  data_.clear();
  pos_ = 0;
  if (deadline.exhausted()) return VI_ERROR_TMO;
  std::size_t n = 0;
  bool end = false;
  ViStatus st = transport.read(out + got, count - got, settings, deadline, n, end);
  if (st < 0) return st;
  std::size_t keep = n;
  bool term = false;
  if (settings.termchar_enabled && n > 0) {
    const void* hit = std::memchr(out + got, settings.termchar, n);
    if (hit != nullptr) {
      keep = static_cast<std::size_t>(static_cast<const char*>(hit) - (out + got)) + 1;
      term = true;
    }
  }
  if (keep < n) {
    data_.assign(out + got + keep, n - keep);
    if (end) ends_.push_back(base_ + keep + data_.size());
    end = false;  // the END belongs to the bytes kept
  }
  base_ += keep;
  got += keep;
  if (keep > 0 || end) last_ended_message_ = term || end;
  // END says more than a termination character on the same byte: VI_SUCCESS.
  if (end && settings.end_ends_read) return VI_SUCCESS;
  if (term) return VI_SUCCESS_TERM_CHAR;
  return kReadOn;
}

ViStatus InputBuffer::read(Transport& transport, const ReadSettings& settings, Deadline deadline,
                           char* out, std::size_t count, std::size_t& got) {
  got = 0;
  while (got < count) {
    if (pos_ == data_.size() && !lone_end_pending() && count - got >= kDirectReadSize) {
      ViStatus st = read_direct(transport, settings, deadline, out, count, got);
      if (st != kReadOn) return st;
      continue;
    }
    while (pos_ == data_.size() && !lone_end_pending()) {
      ViStatus st = fill(transport, settings, deadline);
      if (st < 0) return st;
    }
    if (lone_end_pending()) {
      ends_.pop_front();
      last_ended_message_ = true;
      if (settings.end_ends_read) return VI_SUCCESS;
      continue;
    }
    std::size_t limit = std::min(count - got, data_.size() - pos_);
    if (!ends_.empty()) limit = std::min<std::uint64_t>(limit, ends_.front() - consumed());
    const char* start = data_.data() + pos_;
    bool term = false;
    if (settings.termchar_enabled) {
      const void* hit = std::memchr(start, settings.termchar, limit);
      if (hit != nullptr) {
        limit = static_cast<std::size_t>(static_cast<const char*>(hit) - start) + 1;
        term = true;
      }
    }
    std::memcpy(out + got, start, limit);
    got += limit;
    pos_ += limit;
    bool at_end = !ends_.empty() && ends_.front() == consumed();
    if (at_end) ends_.pop_front();
    last_ended_message_ = term || at_end;
    if (at_end && settings.end_ends_read) return VI_SUCCESS;
    if (term) return VI_SUCCESS_TERM_CHAR;
  }
  return VI_SUCCESS_MAX_CNT;
}

void InputBuffer::unread(std::string_view bytes) {
  if (bytes.empty()) return;
  // Stream offsets at or after the insertion move along with the bytes after it.
  for (std::uint64_t& end : ends_)
    if (end >= consumed()) end += bytes.size();
  data_.insert(pos_, bytes);
}

void InputBuffer::clear() {
  base_ += data_.size();
  data_.clear();
  pos_ = 0;
  ends_.clear();
  last_ended_message_ = true;
}

}  // namespace visa
