// SPDX-License-Identifier: MIT
// HiSLIP instrument resources (TCPIP::host::hislipN[,port]::INSTR): a
// synchronous channel for data and an asynchronous one for control, locks
// and service requests. Replies carry the message ID of the request they
// answer. In synchronized mode only the reply to the last message is read, so
// a late reply to an earlier one is recognised and dropped; in overlapped
// mode every reply is read in turn, up to a discard, which drops the replies
// to the messages sent before it.
#include <algorithm>
#include <cstring>
#include <memory>
#include <string>

#include "hislip_async_channel.h"
#include "hislip_stream.h"
#include "protocols/hislip_codec.h"
#include "tcp_connection.h"
#include "transport.h"
#include "visa.h"

namespace visa {
namespace {

constexpr std::uint64_t kOurMaximumMessageSize = kHislipOurMaximumMessageSize;
// The server answers a lock request when its own wait ends; ours lasts this much longer.
constexpr std::uint32_t kLockAnswerMarginMs = 1000;

class HislipTransport final : public Transport {
 public:
  HislipTransport() : input_(sync_) {}

  // The opening handshake in as few round trips as the protocol allows: the
  // asynchronous channel connects while the server answers Initialize, and
  // AsyncInitialize goes with AsyncMaximumMessageSize (answered in order).
  ViStatus Open(const ResourceName& r, const OpenRequest& request) {
    const Deadline deadline = request.deadline;
    ViStatus st = TcpConnection::connect(r.host, r.port, deadline, sync_);
    if (st < 0) return st;
    std::uint32_t parameter = (static_cast<std::uint32_t>(hislip::kProtocolVersion) << 16) | ('Z' << 8) | 'V';
    std::string sub_address = r.device_name;
    st = Send(sync_, hislip::Encode(hislip::kInitialize, 0, parameter, sub_address), deadline);
    if (st < 0) return VI_ERROR_RSRC_NFOUND;
    TcpConnection& async = async_.connection();
    st = TcpConnection::connect(r.host, r.port, deadline, async);
    if (st < 0) return st;
    hislip::Header h;
    std::string payload;
    st = ReceiveWhole(deadline, h, payload);
    if (st < 0 || h.type != hislip::kInitializeResponse) return VI_ERROR_RSRC_NFOUND;
    std::uint16_t session = static_cast<std::uint16_t>(h.parameter & 0xFFFF);
    overlapped_ = (h.control & hislip::kOverlapped) != 0;  // the mode the server starts the session in
    const std::uint32_t version = h.parameter >> 16;  // major byte, minor byte
    version_ = ((version >> 8) << 20) | ((version & 0xFF) << 8);  // as VISA writes a version

    st = Send(async,
              hislip::Encode(hislip::kAsyncInitialize, 0, session) +
                  hislip::Encode(hislip::kAsyncMaximumMessageSize, 0, 0, hislip::EncodeU64(kOurMaximumMessageSize)),
              deadline);
    if (st >= 0) st = ReceiveAsync(hislip::kAsyncInitializeResponse, deadline, h, payload);
    if (st >= 0) st = ReceiveAsync(hislip::kAsyncMaximumMessageSizeResponse, deadline, h, payload);
    if (st < 0) return VI_ERROR_RSRC_NFOUND;
    max_message_size_ = std::max<std::uint64_t>(hislip::DecodeU64(payload), hislip::kHeaderSize + 1);
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

  // The payload of the awaited reply goes to the caller as it arrives; other
  // messages, and data answering an earlier request, are passed over.
  ViStatus read(char* data, std::size_t capacity, const ReadSettings&, Deadline deadline, std::size_t& got,
                bool& end) override {
    got = 0;
    end = false;
    if (lost_) return VI_ERROR_CONN_LOST;
    for (;;) {
      if (!in_reply_) {
        hislip::Header h;
        ViStatus st = Track(input_.header(deadline, h));
        if (st < 0) return st;
        if (h.type == hislip::kFatalError) return Lost();
        if (h.type == hislip::kError) return VI_ERROR_IO;
        if (h.type != hislip::kData && h.type != hislip::kDataEnd) continue;
        if (!Wanted(h.parameter)) continue;
        in_reply_ = true;
        reply_ends_ = h.type == hislip::kDataEnd;
      }
      ViStatus st = Track(input_.take(data, capacity, deadline, got));
      if (st < 0) return st;
      if (input_.payload_left() > 0) return VI_SUCCESS;
      in_reply_ = false;
      if (reply_ends_) {
        end = true;
        delivered_id_ = awaited_id_;
        return VI_SUCCESS;
      }
      if (got > 0) return VI_SUCCESS;
    }
  }

  // Late replies are told apart by their message ID; the rest of a reply
  // being read is stale, and so in overlapped mode is every reply to a
  // message already sent.
  ViStatus discard_arrived() override {
    in_reply_ = false;
    oldest_wanted_id_ = message_id_;
    return lost_ ? VI_ERROR_CONN_LOST : VI_SUCCESS;
  }

  // Asks for the mode the session is in, so that it stays as it was.
  ViStatus clear(Deadline deadline) override { return Clear(overlapped_, deadline); }

  // The status byte comes back on the asynchronous channel. "RMT delivered"
  // tells the server whether the reply to our last message has been read, so
  // that it reports MAV only for a reply still waiting.
  ViStatus read_stb(Deadline deadline, ViUInt16& stb) override {
    if (lost_) return VI_ERROR_CONN_LOST;
    const bool reply_read = delivered_id_ == awaited_id_;
    hislip::Header h;
    std::string payload;
    ViStatus st = Async(hislip::Encode(hislip::kAsyncStatusQuery, reply_read ? 1 : 0, awaited_id_),
                        hislip::kAsyncStatusResponse, deadline, h, payload);
    if (st >= 0) stb = h.control;
    return st;
  }

  // Remote and local control: the request is the mode; it names the last message sent.
  ViStatus control_ren(ViUInt16 mode, Deadline deadline) override {
    if (lost_) return VI_ERROR_CONN_LOST;
    if (mode > hislip::kMostRemoteLocalRequest) return VI_ERROR_INV_MODE;
    hislip::Header h;
    std::string payload;
    ViStatus st = Async(hislip::Encode(hislip::kAsyncRemoteLocalControl, static_cast<std::uint8_t>(mode), message_id_ - 2),
                        hislip::kAsyncRemoteLocalResponse, deadline, h, payload);
    // A server that does not know the message (error code 1) has no remote/local control.
    return st == VI_ERROR_IO && h.type == hislip::kError && h.control == 1 ? VI_ERROR_NSUP_OPER : st;
  }

  // Locks are the server's: it waits up to the timeout the request carries.
  // An empty lock string asks for the exclusive lock.
  ViStatus lock_device(std::uint32_t timeout_ms, Deadline) override { return Lock(timeout_ms, ""); }
  ViStatus lock_device_shared(std::uint32_t timeout_ms, const std::string& key, Deadline) override {
    return Lock(timeout_ms, key);
  }
  // A release names the last message sent, so the server can order it after that message.
  ViStatus unlock_device(bool, Deadline deadline) override {
    if (lost_) return VI_SUCCESS;
    hislip::Header h;
    std::string payload;
    ViStatus st = Async(hislip::Encode(hislip::kAsyncLock, hislip::kLockRelease, message_id_ - 2),
                        hislip::kAsyncLockResponse, deadline, h, payload);
    // An error answer means the server holds nothing for us: released either way.
    return st < 0 ? st : VI_SUCCESS;
  }

  bool carries_service_requests() const override { return true; }
  ViStatus start_service_requests(std::function<void()> notify, Deadline) override {
    if (lost_) return VI_ERROR_CONN_LOST;
    return async_.start_service_requests(std::move(notify));
  }
  void stop_service_requests(Deadline) override { async_.stop_service_requests(); }

  // A trigger takes a message ID of its own, as a message would.
  ViStatus assert_trigger(Deadline deadline) override {
    if (lost_) return VI_ERROR_CONN_LOST;
    ViStatus st = Send(sync_, hislip::Encode(hislip::kTrigger, 0, message_id_), deadline);
    if (st >= 0) message_id_ += 2;
    return st;
  }

  TcpConnection* tcp_connection() override { return &sync_; }
  std::string peer_address() const override { return sync_.peer_address(); }

  ViStatus get_attribute(ViAttr attribute, AttributeValue& v) const override {
    switch (attribute) {
      case VI_ATTR_TCPIP_HISLIP_VERSION: v = {AttributeType::UInt32, version_, {}}; return VI_SUCCESS;
      case VI_ATTR_TCPIP_HISLIP_OVERLAP_EN:
        v = {AttributeType::Boolean, overlapped_ ? ViAttrState{VI_TRUE} : ViAttrState{VI_FALSE}, {}};
        return VI_SUCCESS;
      case VI_ATTR_TCPIP_HISLIP_MAX_MESSAGE_KB: v = {AttributeType::UInt32, announced_kb_, {}}; return VI_SUCCESS;
      default: return VI_ERROR_NSUP_ATTR;
    }
  }

  ViStatus set_attribute(ViAttr attribute, ViAttrState value) override {
    switch (attribute) {
      // The mode is agreed at a device clear, which setting it performs; a
      // server that keeps the other mode leaves the session in that one.
      case VI_ATTR_TCPIP_HISLIP_OVERLAP_EN: {
        if (value != VI_TRUE && value != VI_FALSE) return VI_ERROR_NSUP_ATTR_STATE;
        ViStatus st = Clear(value == VI_TRUE, Deadline::after_ms(kAnnounceAnswerMs));
        if (st < 0) return st;
        return overlapped_ == (value == VI_TRUE) ? VI_SUCCESS : VI_ERROR_NSUP_ATTR_STATE;
      }
      case VI_ATTR_TCPIP_HISLIP_VERSION: return VI_ERROR_ATTR_READONLY;
      case VI_ATTR_TCPIP_HISLIP_MAX_MESSAGE_KB: return AnnounceMaximumMessageSize(value);
      default: return VI_ERROR_NSUP_ATTR;
    }
  }

 private:
  ViStatus Lost() {
    lost_ = true;
    return VI_ERROR_CONN_LOST;
  }
  ViStatus Send(TcpConnection& c, const std::string& message, Deadline deadline) {
    ViStatus st = c.write_all(message.data(), message.size(), deadline);
    return st == VI_ERROR_CONN_LOST ? Lost() : st;
  }
  ViStatus Track(ViStatus st) { return st == VI_ERROR_CONN_LOST ? Lost() : st; }

  // Whether data carrying this message ID answers what is being read: the
  // last message in synchronized mode, any not discarded in overlapped mode
  // (IDs step by 2 and wrap, so "older" is a signed difference).
  bool Wanted(std::uint32_t id) const {
    if (!overlapped_) return id == awaited_id_;
    return static_cast<std::int32_t>(id - oldest_wanted_id_) >= 0;
  }

  // A device clear: the asynchronous request, then the synchronous handshake,
  // whose last step asks for a mode and answers with the one agreed.
  ViStatus Clear(bool overlapped, Deadline deadline) {
    hislip::Header h;
    std::string payload;
    ViStatus st = Async(hislip::Encode(hislip::kAsyncDeviceClear, 0, 0), hislip::kAsyncDeviceClearAcknowledge, deadline,
                        h, payload);
    if (st < 0) return st;
    st = Send(sync_, hislip::Encode(hislip::kDeviceClearComplete, overlapped ? hislip::kOverlapped : 0, 0), deadline);
    while (st >= 0) {
      st = Track(input_.header(deadline, h));
      if (st >= 0 && h.type == hislip::kDeviceClearAcknowledge) break;
    }
    if (st < 0) return st;
    overlapped_ = (h.control & hislip::kOverlapped) != 0;
    message_id_ = hislip::kFirstMessageId;
    oldest_wanted_id_ = message_id_;
    awaited_id_ = 0;
    delivered_id_ = 0;
    in_reply_ = false;
    return VI_SUCCESS;
  }
  // The asynchronous channel's next message of type `type`, for the opening
  // handshake (before any reader runs); anything sent unasked on the way is passed over.
  ViStatus ReceiveAsync(std::uint8_t type, Deadline deadline, hislip::Header& h, std::string& payload) {
    for (;;) {
      ViStatus st = ReceiveHislipMessage(async_.connection(), deadline, h, payload);
      if (st < 0) return st;
      if (h.type == type) return VI_SUCCESS;
      if (h.type == hislip::kError || h.type == hislip::kFatalError) return VI_ERROR_RSRC_NFOUND;
    }
  }
  // A whole message from the synchronous channel, for the opening handshake.
  ViStatus ReceiveWhole(Deadline deadline, hislip::Header& h, std::string& payload) {
    ViStatus st = Track(input_.header(deadline, h));
    return st < 0 ? st : Track(input_.payload(deadline, payload, kOurMaximumMessageSize));
  }
  ViStatus Async(const std::string& message, std::uint8_t response, Deadline deadline, hislip::Header& h,
                 std::string& payload) {
    if (lost_) return VI_ERROR_CONN_LOST;
    ViStatus st = async_.transaction(message, response, deadline, h, payload);
    return st == VI_ERROR_CONN_LOST ? Lost() : st;
  }
  ViStatus Lock(std::uint32_t timeout_ms, const std::string& key) {
    hislip::Header h;
    std::string payload;
    const std::uint64_t wait = std::uint64_t{timeout_ms} + kLockAnswerMarginMs;
    Deadline answer = Deadline::after_ms(wait >= VI_TMO_INFINITE ? VI_TMO_INFINITE : static_cast<std::uint32_t>(wait));
    ViStatus st = Async(hislip::Encode(hislip::kAsyncLock, hislip::kLockRequest, timeout_ms, key),
                        hislip::kAsyncLockResponse, answer, h, payload);
    if (st < 0) return st;
    if (h.control == hislip::kLockSuccess) return VI_SUCCESS;
    return h.control == hislip::kLockFailure ? VI_ERROR_TMO : VI_ERROR_RSRC_LOCKED;
  }

  // The largest message the server may send us, told to it again: it splits
  // longer replies to fit.
  ViStatus AnnounceMaximumMessageSize(ViAttrState kb) {
    if (kb == 0 || kb > kMostMessageKb) return VI_ERROR_NSUP_ATTR_STATE;
    hislip::Header h;
    std::string payload;
    ViStatus st = Async(hislip::Encode(hislip::kAsyncMaximumMessageSize, 0, 0, hislip::EncodeU64(kb * 1024)),
                        hislip::kAsyncMaximumMessageSizeResponse, Deadline::after_ms(kAnnounceAnswerMs), h, payload);
    if (st < 0) return st;
    announced_kb_ = static_cast<std::uint32_t>(kb);
    max_message_size_ = std::max<std::uint64_t>(hislip::DecodeU64(payload), hislip::kHeaderSize + 1);
    return VI_SUCCESS;
  }

  static constexpr ViAttrState kMostMessageKb = 0xFFFFFFFFull / 1024;
  static constexpr std::uint32_t kAnnounceAnswerMs = 5000;
  TcpConnection sync_;
  HislipStream input_;
  HislipAsyncChannel async_;
  std::uint64_t max_message_size_ = 1 << 20;  // the server's: our messages are cut to fit
  std::uint32_t announced_kb_ = kOurMaximumMessageSize / 1024;  // ours, as told to the server
  std::uint32_t version_ = 0;                                    // the protocol version agreed
  std::uint32_t message_id_ = hislip::kFirstMessageId;
  std::uint32_t awaited_id_ = 0;      // of the last message sent with END
  std::uint32_t oldest_wanted_id_ = hislip::kFirstMessageId;  // overlapped mode: replies from here on are read
  std::uint32_t delivered_id_ = 0;  // the last message whose whole reply was read
  bool in_reply_ = false;    // the payload being read answers our request
  bool reply_ends_ = false;  // and comes in a DataEnd
  bool lost_ = false;
  bool overlapped_ = false;  // the mode agreed with the server
};

}  // namespace

ViStatus open_hislip_transport(const ResourceName& resource, const OpenRequest& request,
                               std::unique_ptr<Transport>& out) {
  return open_transport_of_type<HislipTransport>(resource, request, out);
}

}  // namespace visa
