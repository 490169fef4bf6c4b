// SPDX-License-Identifier: MIT
#include "vxi11_server.h"

#include "bus_actions.h"
#include "line_assembler.h"

#include <poll.h>

#include <algorithm>
#include <chrono>
#include <map>
#include <memory>
#include <optional>

#include "vxi11_core.h"

namespace emulator {
namespace {

using namespace vxi11;
constexpr unsigned long kMaxRecvSize = 1024;
constexpr std::size_t kMostPerRead = 1 << 20;

// What an instrument sends back on a link, held until device_read takes it.
// An instrument that takes its time does so while the client reads, as a real
// one would, not while device_write holds the link: a pause only moves the
// moment its reply becomes readable.
class LinkClient final : public Client {
 public:
  using Clock = std::chrono::steady_clock;
  void send(std::string_view bytes) override {
    if (taken == output.size()) discard_taken();
    output.append(bytes);
  }
  void close() override { closed = true; }
  bool pause(std::chrono::milliseconds duration) override {
    readable_at = std::max(readable_at, Clock::now()) + duration;
    return true;
  }
  void discard() {
    discard_taken();
    readable_at = {};
  }
  // What device_read has not taken yet; taking moves an offset, so a large
  // reply read in many pieces is never moved or searched whole.
  std::string_view unread() const { return std::string_view(output).substr(taken); }
  void take(std::size_t n) { taken += n; }
  void put_back(std::size_t n) { taken -= n; }
  std::string output;
  std::size_t taken = 0;
  Clock::time_point readable_at{};
  bool closed = false;

 private:
  void discard_taken() {
    output.clear();
    taken = 0;
  }
};

struct Link {
  std::unique_ptr<Connection> connection;
  LinkClient client;
  LineAssembler input;  // the message being written
};

// The core channel's state on one connection: its links, and the instrument's lock they share.
struct CoreChannel {
  Instrument& instrument;
  Transcript* transcript;
  Vxi11Server::DeviceLock& instrument_lock;
  std::map<long, Link> links;
  int stop_fd;
  InterruptChannel interrupts;
  // Last, so that it stops before what it sends through goes.
  std::optional<ServiceRequests::Subscription> service_requests;

  ~CoreChannel() {
    service_requests.reset();
    for (const auto& [lid, link] : links) Release(lid);
  }

  void EnableServiceRequests(Device_EnableSrqParms& parms, Device_Error& resp) {
    if (links.count(parms.lid) == 0) {
      resp.error = kErrorInvalidLink;
      return;
    }
    interrupts.Enable(parms.lid, parms.enable, std::string(parms.handle.handle_val, parms.handle.handle_len));
  }

  // Whether `lid` may use the instrument now, or after waiting for the lock when it asks to.
  long Access(long lid, long flags, u_long lock_timeout_ms) {
    std::unique_lock guard(instrument_lock.mutex);
    auto free = [&] { return instrument_lock.owner == 0 || instrument_lock.owner == lid; };
    if (free()) return 0;
    if ((flags & kWaitLock) == 0) return kErrorLocked;
    auto wait = std::chrono::milliseconds(std::min<u_long>(lock_timeout_ms, 60000));
    return instrument_lock.released.wait_for(guard, wait, free) ? 0 : kErrorLocked;
  }
  // The link a call names, once it may use the instrument; null with `error` set otherwise.
  Link* Usable(long lid, long flags, u_long lock_timeout_ms, long& error) {
    auto it = links.find(lid);
    if (it == links.end()) {
      error = kErrorInvalidLink;
      return nullptr;
    }
    error = Access(lid, flags, lock_timeout_ms);
    return error == 0 ? &it->second : nullptr;
  }

  void Release(long lid) {
    std::lock_guard guard(instrument_lock.mutex);
    if (instrument_lock.owner != lid) return;
    instrument_lock.owner = 0;
    instrument_lock.released.notify_all();
  }

  void CreateLink(Create_LinkParms& parms, Create_LinkResp& resp) {
    long lid = instrument_lock.next_lid++;
    if (parms.lockDevice) {
      if (long error = Access(lid, kWaitLock, parms.lock_timeout); error != 0) {
        resp.error = error;
        return;
      }
      std::lock_guard guard(instrument_lock.mutex);
      instrument_lock.owner = lid;
    }
    links[lid].connection = instrument.connect();
    resp.lid = lid;
    resp.maxRecvSize = kMaxRecvSize;
  }

  void Lock(Device_LockParms& parms, Device_Error& resp) {
    if (links.count(parms.lid) == 0) {
      resp.error = kErrorInvalidLink;
      return;
    }
    resp.error = Access(parms.lid, parms.flags, parms.lock_timeout);
    if (resp.error != 0) return;
    std::lock_guard guard(instrument_lock.mutex);
    instrument_lock.owner = parms.lid;
  }

  void Unlock(Device_Link& lid, Device_Error& resp) {
    if (links.count(lid) == 0) {
      resp.error = kErrorInvalidLink;
      return;
    }
    std::lock_guard guard(instrument_lock.mutex);
    if (instrument_lock.owner != lid) {
      resp.error = kErrorNoLockHeld;
      return;
    }
    instrument_lock.owner = 0;
    instrument_lock.released.notify_all();
  }

  void Write(Device_WriteParms& parms, Device_WriteResp& resp) {
    Link* usable = Usable(parms.lid, parms.flags, parms.lock_timeout, resp.error);
    if (usable == nullptr) return;
    Link& link = *usable;
    // A new message drops a reply nobody read (as an instrument's query-interrupted rule does).
    if (link.input.empty()) link.client.discard();
    resp.size = parms.data.data_len;
    bool end = (parms.flags & kEndFlag) != 0;
    auto deliver = [&](std::string_view line) {
      if (transcript != nullptr) transcript->record(line);
      link.connection->on_line(line, link.client);
      return true;
    };
    const std::string_view bytes(parms.data.data_val, parms.data.data_len);
    if (link.connection->takes_bytes()) {
      link.connection->on_bytes(bytes, end, link.client);
    } else {
      link.input.feed(bytes, deliver, [&] { link.connection->on_overlong_line(link.client); });
      if (end) link.input.end(deliver);  // END without a line feed still ends the message
    }
    // An instrument that drops its client destroys the link: this write
    // was taken, every later call on the link is refused.
    if (link.client.closed) {
      Release(parms.lid);
      interrupts.Forget(parms.lid);
      links.erase(parms.lid);
    }
  }

  // `data` holds the bytes resp.data points at until the reply is sent.
  void Read(Device_ReadParms& parms, Device_ReadResp& resp, std::string& data) {
    Link* link = Usable(parms.lid, parms.flags, parms.lock_timeout, resp.error);
    if (link == nullptr) return;
    LinkClient& client = link->client;
    const std::string_view output = client.unread();
    auto limit = LinkClient::Clock::now() + std::chrono::milliseconds(std::min<u_long>(parms.io_timeout, 60000));
    // Nothing to read (yet): wait for the reply or the read's own timeout, whichever comes first.
    auto wake = output.empty() ? limit : std::min(limit, client.readable_at);
    if (wake > LinkClient::Clock::now()) {
      pollfd p{stop_fd, POLLIN, 0};
      auto wait = std::chrono::ceil<std::chrono::milliseconds>(wake - LinkClient::Clock::now());
      ::poll(&p, 1, static_cast<int>(wait.count()));
    }
    if (output.empty() || client.readable_at > LinkClient::Clock::now()) {
      resp.error = kErrorIoTimeout;
      return;
    }
    // At most a bounded piece per reply, however much the client asks for.
    std::size_t most = std::min<std::size_t>({output.size(), parms.requestSize, kMostPerRead});
    // Only the piece that can go is searched.
    const std::string_view window = output.substr(0, most);
    std::size_t message_end = window.find('\n');
    std::size_t take = message_end == std::string_view::npos ? most : message_end + 1;
    if ((parms.flags & kTermCharSet) != 0) {
      std::size_t term = window.find(static_cast<char>(parms.termChar));
      if (term != std::string_view::npos && term < take) take = term + 1;
    }
    data.assign(output.substr(0, take));
    client.take(take);
    if (transcript != nullptr) transcript->record_reply(data);
    if (message_end != std::string::npos && take == message_end + 1) resp.reason |= kReasonEnd;
    if ((parms.flags & kTermCharSet) != 0 && !data.empty() && data.back() == parms.termChar)
      resp.reason |= kReasonTermChar;
    if (resp.reason == 0) {
      if (take == parms.requestSize) {
        resp.reason = kReasonRequestCount;
      } else if (take == kMostPerRead) {
        // More of the message follows in the next read.
      } else {
        // Part of a message and no more coming: the rest never arrives in time.
        resp.error = kErrorIoTimeout;
        client.put_back(data.size());
        data.clear();
      }
    }
    resp.data.data_len = static_cast<u_int>(data.size());
    resp.data.data_val = data.data();
  }

  void Clear(Device_GenericParms& parms, Device_Error& resp) {
    Link* link = Usable(parms.lid, parms.flags, parms.lock_timeout, resp.error);
    if (link == nullptr) return;
    link->input.clear();
    link->client.discard();
  }

  void ReadStb(Device_GenericParms& parms, Device_ReadStbResp& resp) {
    Link* link = Usable(parms.lid, parms.flags, parms.lock_timeout, resp.error);
    if (link == nullptr) return;
    resp.stb = static_cast<u_char>(ReadStatusByte(*link->connection, !link->client.unread().empty()));
  }

  void Trigger(Device_GenericParms& parms, Device_Error& resp) {
    Link* link = Usable(parms.lid, parms.flags, parms.lock_timeout, resp.error);
    if (link == nullptr) return;
    DeviceTrigger(*link->connection, transcript);
  }

  // Remote and local control: the instrument model has no front panel to lock out.
  void Remote(Device_GenericParms& parms, Device_Error& resp) { RemoteLocal(parms, resp, "<remote>"); }
  void Local(Device_GenericParms& parms, Device_Error& resp) { RemoteLocal(parms, resp, "<local>"); }
  void RemoteLocal(Device_GenericParms& parms, Device_Error& resp, const char* shown) {
    if (Usable(parms.lid, parms.flags, parms.lock_timeout, resp.error) != nullptr && transcript != nullptr)
      transcript->record(shown);
  }

  void DestroyLink(Device_Link& lid, Device_Error& resp) {
    if (links.erase(lid) == 0) {
      resp.error = kErrorInvalidLink;
      return;
    }
    Release(lid);
    interrupts.Forget(lid);
  }
};

}  // namespace

Vxi11Server::Vxi11Server(Instrument& instrument, Transcript* transcript)
    : instrument_(instrument), transcript_(transcript), core_([this](int fd, int stop) { ServeCore(fd, stop); }) {}

Vxi11Server::~Vxi11Server() { stop(); }

std::string Vxi11Server::start(const std::string& address, unsigned portmapper_port, unsigned core_port) {
  std::string error = core_.start(address, core_port);
  if (error.empty()) error = portmapper_.start(address, portmapper_port, core_.port());
  return error;
}

void Vxi11Server::stop() {
  portmapper_.stop();
  core_.stop();
}

void Vxi11Server::ServeCore(int fd, int stop_fd) {
  CoreChannel channel{instrument_, transcript_, lock_, {}, stop_fd, {}, {}};
  channel.service_requests.emplace(instrument_.service_requests(), [&channel](int) { channel.interrupts.Send(); });
  ServeCoreCalls(fd, stop_fd, channel);
}

}  // namespace emulator
