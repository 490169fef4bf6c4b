// HiSLIP instrument resources (TCPIP::host::hislipN[,port]::INSTR): a
// synchronous channel for data and an asynchronous one for control. Replies
// carry the message ID of the request they answer, so a late reply to an
// earlier request is recognised and dropped.
#include <algorithm>
#include <cstring>
#include <memory>
#include <string>

#include "protocols/hislip_codec.h"
#include "tcp_connection.h"
#include "transport.h"
#include "visa.h"

namespace visa {
namespace {

constexpr std::uint64_t kOurMaximumMessageSize = 1 << 20;

class HislipTransport final : public Transport {
 public:
  ViStatus Open(const ResourceName& r, Deadline deadline) {
    ViStatus st = TcpConnection::connect(r.host, r.port, deadline, sync_);
    if (st < 0) return st;
    std::uint32_t parameter = (static_cast<std::uint32_t>(hislip::kProtocolVersion) << 16) | ('Z' << 8) | 'V';
    std::string sub_address = r.device_name;
    st = Send(sync_, hislip::Encode(hislip::kInitialize, 0, parameter, sub_address), deadline);
    hislip::Header h;
    std::string payload;
    if (st >= 0) st = Receive(sync_, deadline, h, payload);
    if (st < 0 || h.type != hislip::kInitializeResponse) return VI_ERROR_RSRC_NFOUND;
    std::uint16_t session = static_cast<std::uint16_t>(h.parameter & 0xFFFF);

    st = TcpConnection::connect(r.host, r.port, deadline, async_);
    if (st < 0) return st;
    st = Send(async_, hislip::Encode(hislip::kAsyncInitialize, 0, session), deadline);
    if (st >= 0) st = Receive(async_, deadline, h, payload);
    if (st < 0 || h.type != hislip::kAsyncInitializeResponse) return VI_ERROR_RSRC_NFOUND;
    st = Send(async_, hislip::Encode(hislip::kAsyncMaximumMessageSize, 0, 0, hislip::EncodeU64(kOurMaximumMessageSize)),
              deadline);
    if (st >= 0) st = Receive(async_, deadline, h, payload);
    if (st < 0 || h.type != hislip::kAsyncMaximumMessageSizeResponse) return VI_ERROR_RSRC_NFOUND;
    max_message_size_ = std::max<std::uint64_t>(hislip::DecodeU64(payload), hislip::kHeaderSize + 1);
    peer_ = sync_.peer_address();
    return VI_SUCCESS;
  }

  ViStatus write(const char* data, std::size_t size, bool end, Deadline deadline) override {
    if (lost_) return VI_ERROR_CONN_LOST;
    std::size_t chunk_limit = static_cast<std::size_t>(std::min<std::uint64_t>(max_message_size_ - hislip::kHeaderSize, 1 << 20));
    std::size_t offset = 0;
    do {
      std::size_t chunk = std::min(size - offset, chunk_limit);
      bool last = offset + chunk == size;
      std::uint8_t type = last && end ? hislip::kDataEnd : hislip::kData;
      ViStatus st = Send(sync_, hislip::Encode(type, 0, message_id_, std::string_view(data + offset, chunk)), deadline);
      if (st < 0) return st;
      offset += chunk;
    } while (offset < size);
    if (end) {
      awaited_id_ = message_id_;
      message_id_ += 2;
    }
    return VI_SUCCESS;
  }

  ViStatus read(char* data, std::size_t capacity, const ReadSettings&, Deadline deadline, std::size_t& got,
                bool& end) override {
    got = 0;
    end = false;
    if (lost_) return VI_ERROR_CONN_LOST;
    while (pending_.empty() && !pending_end_) {
      hislip::Header h;
      std::string payload;
      ViStatus st = Receive(sync_, deadline, h, payload);
      if (st < 0) return st;
      if (h.type == hislip::kFatalError) return Lost();
      if (h.type == hislip::kError) return VI_ERROR_IO;
      if (h.type != hislip::kData && h.type != hislip::kDataEnd) continue;
      if (h.parameter != awaited_id_) continue;  // a late reply to an earlier request
      pending_ = std::move(payload);
      pending_end_ = h.type == hislip::kDataEnd;
    }
    got = std::min(capacity, pending_.size());
    std::memcpy(data, pending_.data(), got);
    pending_.erase(0, got);
    if (pending_.empty() && pending_end_) {
      end = true;
      pending_end_ = false;
      delivered_id_ = awaited_id_;
    }
    return VI_SUCCESS;
  }

  // Late replies are told apart by their message ID; what is held is stale.
  ViStatus discard_arrived() override {
    pending_.clear();
    pending_end_ = false;
    return lost_ ? VI_ERROR_CONN_LOST : VI_SUCCESS;
  }

  ViStatus clear(Deadline deadline) override {
    hislip::Header h;
    std::string payload;
    ViStatus st = Send(async_, hislip::Encode(hislip::kAsyncDeviceClear, 0, 0), deadline);
    if (st >= 0) st = Receive(async_, deadline, h, payload);
    if (st < 0) return st;
    st = Send(sync_, hislip::Encode(hislip::kDeviceClearComplete, h.control, 0), deadline);
    while (st >= 0) {
      st = Receive(sync_, deadline, h, payload);
      if (st >= 0 && h.type == hislip::kDeviceClearAcknowledge) break;
    }
    message_id_ = hislip::kFirstMessageId;
    awaited_id_ = 0;
    delivered_id_ = 0;
    pending_.clear();
    pending_end_ = false;
    return st < 0 ? st : VI_SUCCESS;
  }

  // The status byte comes back on the asynchronous channel. "RMT delivered"
  // tells the server whether the reply to our last message has been read, so
  // that it reports MAV only for a reply still waiting.
  ViStatus read_stb(Deadline deadline, ViUInt16& stb) override {
    if (lost_) return VI_ERROR_CONN_LOST;
    const bool reply_read = delivered_id_ == awaited_id_;
    ViStatus st = Send(async_, hislip::Encode(hislip::kAsyncStatusQuery, reply_read ? 1 : 0, awaited_id_), deadline);
    hislip::Header h;
    std::string payload;
    while (st >= 0) {
      st = Receive(async_, deadline, h, payload);
      if (st < 0) break;
      if (h.type == hislip::kFatalError) return Lost();
      if (h.type == hislip::kError) return VI_ERROR_IO;
      if (h.type == hislip::kAsyncStatusResponse) {
        stb = h.control;
        return VI_SUCCESS;
      }
    }
    return st;
  }

  // A trigger takes a message ID of its own, as a message would.
  ViStatus assert_trigger(Deadline deadline) override {
    if (lost_) return VI_ERROR_CONN_LOST;
    ViStatus st = Send(sync_, hislip::Encode(hislip::kTrigger, 0, message_id_), deadline);
    if (st >= 0) message_id_ += 2;
    return st;
  }

  std::string peer_address() const override { return peer_; }

 private:
  ViStatus Lost() {
    lost_ = true;
    return VI_ERROR_CONN_LOST;
  }
  ViStatus Send(TcpConnection& c, const std::string& message, Deadline deadline) {
    ViStatus st = c.write_all(message.data(), message.size(), deadline);
    return st == VI_ERROR_CONN_LOST ? Lost() : st;
  }
  ViStatus Receive(TcpConnection& c, Deadline deadline, hislip::Header& h, std::string& payload) {
    unsigned char header[hislip::kHeaderSize];
    ViStatus st = c.read_exact(header, sizeof header, deadline);
    if (st == VI_SUCCESS && !hislip::Decode(header, h)) return Lost();  // out of step: unusable
    if (st == VI_SUCCESS && h.length > kOurMaximumMessageSize) return Lost();
    if (st == VI_SUCCESS) {
      payload.assign(static_cast<std::size_t>(h.length), '\0');
      if (h.length > 0) st = c.read_exact(payload.data(), payload.size(), deadline);
    }
    // A header read without its payload leaves the stream out of step.
    return st == VI_ERROR_CONN_LOST ? Lost() : st;
  }

  TcpConnection sync_, async_;
  std::uint64_t max_message_size_ = 1 << 20;
  std::uint32_t message_id_ = hislip::kFirstMessageId;
  std::uint32_t awaited_id_ = 0;
  std::uint32_t delivered_id_ = 0;  // the last message whose whole reply was read
  std::string pending_;
  bool pending_end_ = false;
  bool lost_ = false;
  std::string peer_;
};

}  // namespace

ViStatus open_hislip_transport(const ResourceName& resource, Deadline deadline, std::unique_ptr<Transport>& out) {
  return open_transport_of_type<HislipTransport>(resource, deadline, out);
}

}  // namespace visa
