// SPDX-License-Identifier: MIT
#include "hislip_stream.h"

#include <algorithm>
#include <cstring>

#include "visa.h"

namespace visa {

HislipStream::HislipStream(TcpConnection& connection)
    : connection_(connection), buffer_(new char[kCapacity]) {}

ViStatus HislipStream::fill(Deadline deadline) {
  if (begin_ == end_) begin_ = end_ = 0;
  if (end_ == kCapacity) {  // only a partial header can be left at the end
    std::memmove(buffer_.get(), buffer_.get() + begin_, end_ - begin_);
    end_ -= begin_;
    begin_ = 0;
  }
  std::size_t got = 0;
  ViStatus st = connection_.read_some(buffer_.get() + end_, kCapacity - end_, deadline, got);
  end_ += got;
  return st;
}

ViStatus HislipStream::header(Deadline deadline, hislip::Header& h) {
  if (payload_left_ > 0) {
    ViStatus st = skip(deadline);
    if (st < 0) return st;
  }
  while (end_ - begin_ < hislip::kHeaderSize) {
    ViStatus st = fill(deadline);
    if (st < 0) return st;
  }
  if (!hislip::Decode(reinterpret_cast<const unsigned char*>(buffer_.get() + begin_), h)) return VI_ERROR_CONN_LOST;
  begin_ += hislip::kHeaderSize;
  payload_left_ = h.length;
  return VI_SUCCESS;
}

ViStatus HislipStream::take(char* out, std::size_t size, Deadline deadline, std::size_t& got) {
  got = 0;
  const std::size_t wanted = static_cast<std::size_t>(std::min<std::uint64_t>(size, payload_left_));
  if (wanted == 0) return VI_SUCCESS;
  if (begin_ < end_) {
    got = std::min(wanted, end_ - begin_);
    std::memcpy(out, buffer_.get() + begin_, got);
    begin_ += got;
  } else if (wanted >= kCapacity / 4) {
    // Large pieces go straight to the caller; the next header is read apart.
    ViStatus st = connection_.read_some(out, wanted, deadline, got);
    if (st < 0) return st;
  } else {
    ViStatus st = fill(deadline);
    if (st < 0) return st;
    got = std::min(wanted, end_ - begin_);
    std::memcpy(out, buffer_.get() + begin_, got);
    begin_ += got;
  }
  payload_left_ -= got;
  return VI_SUCCESS;
}

ViStatus HislipStream::skip(Deadline deadline) {
  while (payload_left_ > 0) {
    if (begin_ == end_) {
      ViStatus st = fill(deadline);
      if (st < 0) return st;
    }
    const std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(payload_left_, end_ - begin_));
    begin_ += n;
    payload_left_ -= n;
  }
  return VI_SUCCESS;
}

ViStatus HislipStream::payload(Deadline deadline, std::string& out, std::size_t limit) {
  out.clear();
  if (payload_left_ > limit) return VI_ERROR_CONN_LOST;
  out.resize(static_cast<std::size_t>(payload_left_));
  std::size_t at = 0;
  while (payload_left_ > 0) {
    std::size_t got = 0;
    ViStatus st = take(out.data() + at, out.size() - at, deadline, got);
    if (st < 0) return st;
    at += got;
  }
  return VI_SUCCESS;
}

}  // namespace visa
