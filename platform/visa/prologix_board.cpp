// SPDX-License-Identifier: MIT
// A GPIB board behind a "++" adapter (Prologix-style, AR488) on TCP or a
// serial line. Data goes to the addressed listener escaped (ESC before CR, LF,
// ESC and '+') on one line, EOI with its last byte when ++eoi is on. A reply is
// asked for with "++read eoi"; the adapter sends the talker's bytes as they
// come and, with ++eot_enable, an end marker after the byte that came with
// EOI. It gives up after ++read_tmo_ms without a byte, sending nothing more.
// A read that hears nothing for a while asks for the version: the adapter
// answers only once it has done everything asked before, so the answer tells
// an adapter that gave up (asked again) from one still busy (waited for);
// asking again blindly would queue requests that each cost a read timeout.
// The marker is 0xFF, a byte UTF-8 text never holds; in binary data, a 0xFF
// is the talker's when bytes follow it.
#include <algorithm>
#include <charconv>
#include <cstring>
#include <mutex>

#include "gpib_board.h"
#include "serial_line.h"
#include "tcp_connection.h"
#include "trace.h"

namespace visa {
namespace {

constexpr char kEsc = 27;
constexpr char kEndMarker = static_cast<char>(0xFF);
// The adapter's wait for a talker's next byte, and how long past it a quiet
// link means the adapter may have given up.
constexpr unsigned kAdapterReadTimeoutMs = 100;
constexpr unsigned kGiveUpAfterMs = kAdapterReadTimeoutMs + 100;
constexpr std::size_t kLongestReplyLine = 256;
// How long a 0xFF that ends what has arrived waits for a byte after it before
// it is taken for the end marker.
constexpr unsigned kMarkerGraceMs = 3;

// The byte link to the adapter.
class Link {
 public:
  virtual ~Link() = default;
  virtual ViStatus write_all(const char* data, std::size_t size, Deadline deadline) = 0;
  virtual ViStatus read_some(char* data, std::size_t size, Deadline deadline, std::size_t& got) = 0;
  virtual void discard_arrived() = 0;
};

class TcpLink final : public Link {
 public:
  explicit TcpLink(TcpConnection connection) : connection_(std::move(connection)) {}
  ViStatus write_all(const char* data, std::size_t size, Deadline deadline) override {
    return connection_.write_all(data, size, deadline);
  }
  ViStatus read_some(char* data, std::size_t size, Deadline deadline, std::size_t& got) override {
    return connection_.read_some(data, size, deadline, got);
  }
  void discard_arrived() override { (void)connection_.discard_arrived(); }

 private:
  TcpConnection connection_;
};

class SerialLink final : public Link {
 public:
  explicit SerialLink(SerialLine line) : line_(std::move(line)) {}
  ViStatus write_all(const char* data, std::size_t size, Deadline deadline) override {
    return line_.write_all(data, size, deadline);
  }
  ViStatus read_some(char* data, std::size_t size, Deadline deadline, std::size_t& got) override {
    return line_.read_some(data, size, deadline, got);
  }
  void discard_arrived() override { line_.discard(true, false); }

 private:
  SerialLine line_;
};

std::string Escaped(const char* data, std::size_t size) {
  std::string line;
  line.reserve(size + size / 8 + 1);
  for (std::size_t i = 0; i < size; ++i) {
    const char c = data[i];
    if (c == '\r' || c == '\n' || c == kEsc || c == '+') line += kEsc;
    line += c;
  }
  line += '\n';
  return line;
}

// "++addr 5" or "++addr 5 99": a secondary address goes on the wire as 96 + n.
std::string AddressText(const GpibAddress& a) {
  std::string text = std::to_string(a.primary);
  if (a.secondary >= 0) text += " " + std::to_string(96 + a.secondary);
  return text;
}

bool Same(const GpibAddress& a, const GpibAddress& b) { return a.primary == b.primary && a.secondary == b.secondary; }

// How many bytes at the end of `text` are the start of `whole` (fewer than all of it).
std::size_t PartialMatchAtEnd(const std::string& text, const std::string& whole) {
  if (whole.empty()) return 0;
  for (std::size_t n = std::min(text.size(), whole.size() - 1); n > 0; --n)
    if (text.compare(text.size() - n, n, whole, 0, n) == 0) return n;
  return 0;
}

class PrologixBoard final : public GpibBoard {
 public:
  PrologixBoard(std::unique_ptr<Link> link, std::string where) : link_(std::move(link)), where_(std::move(where)) {}
  ~PrologixBoard() override { stop_watching(); }

  // Asks the version (which tells the firmware families apart), then sets
  // every setting this board relies on, since the families' defaults differ.
  ViStatus Open(Deadline deadline) {
    std::lock_guard lock(mutex_);
    link_->discard_arrived();
    ViStatus st = command("ver", deadline);
    if (st >= 0) st = reply_line(deadline, version_, &version_reply_);
    if (st < 0) return st == VI_ERROR_TMO ? VI_ERROR_RSRC_NFOUND : st;  // nothing that answers as an adapter
    if (version_.empty()) return VI_ERROR_RSRC_NFOUND;
    std::string settings;
    // Prologix firmware saves settings to its EEPROM as they change unless told not to.
    if (version_.find("Prologix") != std::string::npos) settings += "++savecfg 0\n";
    settings += "++mode 1\n++auto 0\n++eoi 1\n++eos 3\n++eot_enable 1\n++eot_char 255\n++read_tmo_ms " +
                std::to_string(kAdapterReadTimeoutMs) + "\n";
    st = link_->write_all(settings.data(), settings.size(), deadline);
    trace_note("GPIB adapter " + where_ + ": " + version_);
    return st;
  }

  ViStatus write(const GpibAddress& to, const char* data, std::size_t size, bool end, Deadline deadline) override {
    std::lock_guard lock(mutex_);
    ViStatus st = begin(to, deadline);
    if (st >= 0 && eoi_ != end) {
      st = command(end ? "eoi 1" : "eoi 0", deadline);
      if (st >= 0) eoi_ = end;
    }
    if (st < 0) return st;
    const std::string line = Escaped(data, size);
    return link_->write_all(line.data(), line.size(), deadline);
  }

  // The adapter streams a reply's bytes as they come, so the session above
  // stops at the termination character itself.
  ViStatus read(const GpibAddress& from, char* data, std::size_t capacity, const ReadSettings&, Deadline deadline,
                std::size_t& got, bool& end) override {
    std::lock_guard lock(mutex_);
    got = 0;
    end = false;
    if (!reading_ || !Same(talker_, from)) {
      ViStatus st = begin(from, deadline);
      if (st >= 0) st = command("read eoi", deadline);
      if (st < 0) return st;
      reading_ = true;
      talker_ = from;
      heard_at_ = Deadline::Clock::now();
    }
    for (;;) {
      ViStatus st = take_version_answer(deadline);
      if (st < 0) return st;
      // A 0xFF with bytes after it is the talker's; only one that ends what
      // has arrived may be the marker. It is when the version answer came
      // after it, or, with none awaited, once nothing follows it for a moment
      // (the adapter sends a reply's bytes back to back). Bytes that may be
      // the start of an awaited version answer are held back.
      const std::size_t held = versions_owed_ > 0 ? PartialMatchAtEnd(arrived_, version_reply_) : 0;
      const std::size_t usable = arrived_.size() - held;
      const bool maybe_marker = usable > 0 && arrived_[usable - 1] == kEndMarker;
      const std::size_t talked = usable - (maybe_marker ? 1 : 0);
      if (capacity == 0 || (talked > 0 && (!maybe_marker || capacity < talked))) {
        got = std::min(capacity, talked);
        std::memcpy(data, arrived_.data(), got);
        arrived_.erase(0, got);
        return VI_SUCCESS;
      }
      if (maybe_marker && versions_owed_ == 0 && !marker_confirmed_) {
        st = hear(Deadline::earliest(deadline, Deadline::after_ms(kMarkerGraceMs)));
        if (st == VI_ERROR_TMO) marker_confirmed_ = true;
        if (st < 0 && st != VI_ERROR_TMO) return st;
        continue;
      }
      if (maybe_marker && marker_confirmed_) {
        got = talked;
        std::memcpy(data, arrived_.data(), got);
        end = true;
        arrived_.clear();
        reading_ = false;
        marker_confirmed_ = false;
        return VI_SUCCESS;
      }
      st = hear(deadline);
      if (st == VI_ERROR_TMO && !deadline.exhausted()) {
        // Quiet for a while: ask whether the adapter gave up, unless asked already.
        st = versions_owed_ > 0 ? VI_SUCCESS : ask_version(deadline);
        heard_at_ = Deadline::Clock::now();
      }
      if (st < 0) return st;
    }
  }

  ViStatus discard(const GpibAddress& from) override {
    std::lock_guard lock(mutex_);
    // What arrived of the reply is dropped; the rest, still on its way, is
    // dropped when the next transaction begins.
    if (reading_ && Same(talker_, from)) {
      arrived_.clear();
      marker_confirmed_ = false;
    }
    return VI_SUCCESS;
  }

  ViStatus serial_poll(const GpibAddress& device, Deadline deadline, ViUInt16& status_byte) override {
    std::lock_guard lock(mutex_);
    ViStatus st = settle(deadline);
    return st < 0 ? st : poll(device, deadline, status_byte);
  }

  ViStatus clear(const GpibAddress& device, Deadline deadline) override {
    std::lock_guard lock(mutex_);
    ViStatus st = begin(device, deadline);
    return st < 0 ? st : command("clr", deadline);
  }

  ViStatus trigger(const GpibAddress& device, Deadline deadline) override {
    std::lock_guard lock(mutex_);
    ViStatus st = begin(device, deadline);
    return st < 0 ? st : command("trg", deadline);
  }

  // The adapter keeps REN asserted while it is the controller: it can address
  // a device, send it to local, and lock the front panels out, but not let REN go.
  ViStatus control_ren(const GpibAddress& device, ViUInt16 mode, Deadline deadline) override {
    std::lock_guard lock(mutex_);
    const char* action = nullptr;
    switch (mode) {
      case VI_GPIB_REN_DEASSERT: return VI_ERROR_NSUP_OPER;
      case VI_GPIB_REN_ASSERT: return VI_SUCCESS;
      case VI_GPIB_REN_ASSERT_ADDRESS: break;
      case VI_GPIB_REN_DEASSERT_GTL:
      case VI_GPIB_REN_ADDRESS_GTL: action = "loc"; break;
      case VI_GPIB_REN_ASSERT_LLO:
      case VI_GPIB_REN_ASSERT_ADDRESS_LLO: action = "llo"; break;
      default: return VI_ERROR_INV_MODE;
    }
    ViStatus st = begin(device, deadline);
    return st < 0 || action == nullptr ? st : command(action, deadline);
  }

  ViStatus interface_clear(Deadline deadline) override {
    std::lock_guard lock(mutex_);
    ViStatus st = settle(deadline);
    return st < 0 ? st : command("ifc", deadline);
  }

  ViStatus poll_for_service(const std::vector<GpibAddress>& devices, Deadline deadline,
                            std::vector<std::pair<GpibAddress, ViUInt16>>& requesting) override {
    std::unique_lock lock(mutex_, std::try_to_lock);
    // A reply on its way belongs to a session's read: polling now would drop
    // it. Anything else still to come (a late poll answer) is settled first.
    if (!lock.owns_lock() || reading_) return VI_ERROR_RSRC_BUSY;
    std::string line;
    ViStatus st = settle(deadline);
    if (st >= 0) st = command("srq", deadline);
    if (st >= 0) st = reply_line(deadline, line);
    if (st < 0 || line != "1") return st < 0 ? st : line == "0" ? VI_SUCCESS : VI_ERROR_IO;
    for (const GpibAddress& device : devices) {
      ViUInt16 status_byte = 0;
      st = poll(device, deadline, status_byte);
      if (st < 0) return st;
      if ((status_byte & 0x40) != 0) requesting.emplace_back(device, status_byte);
    }
    return VI_SUCCESS;
  }

  std::string description() const override { return "a \"++\" GPIB adapter at " + where_ + " (" + version_ + ")"; }

 private:
  ViStatus poll(const GpibAddress& device, Deadline deadline, ViUInt16& status_byte) {
    std::string line;
    ViStatus st = command("spoll " + AddressText(device), deadline);
    if (st >= 0) st = reply_line(deadline, line);
    if (st < 0) return st;
    unsigned value = 0;
    auto [end, ec] = std::from_chars(line.data(), line.data() + line.size(), value);
    if (line.empty() || ec != std::errc{} || end != line.data() + line.size() || value > 255) return VI_ERROR_IO;
    status_byte = static_cast<ViUInt16>(value);
    return VI_SUCCESS;
  }

  ViStatus command(const std::string& text, Deadline deadline) {
    const std::string line = "++" + text + "\n";
    return link_->write_all(line.data(), line.size(), deadline);
  }

  // Starts a transaction with `device`: a read in progress is ended, what is
  // left of it dropped, and the device addressed if it is not already.
  ViStatus begin(const GpibAddress& device, Deadline deadline) {
    ViStatus st = settle(deadline);
    if (st < 0 || (addressed_ && Same(current_, device))) return st;
    st = command("addr " + AddressText(device), deadline);
    addressed_ = st >= 0;
    current_ = device;
    return st;
  }

  // Makes sure nothing asked earlier can still answer: when something may
  // (a read cut short, a reply line that did not come, a version asked),
  // asks for the version and drops everything up to the answers to all the
  // version requests sent, the last of which comes once the adapter has done
  // all that was asked before it. A stale reply never answers the next question.
  ViStatus settle(Deadline deadline) {
    if (!reading_ && !unsynced_ && versions_owed_ == 0) {
      arrived_.clear();
      link_->discard_arrived();
      return VI_SUCCESS;
    }
    ViStatus st = ask_version(deadline);
    std::string tail = std::move(arrived_);
    arrived_.clear();
    for (;;) {
      for (std::size_t at; versions_owed_ > 0 && (at = tail.find(version_reply_)) != std::string::npos;) {
        tail.erase(0, at + version_reply_.size());
        --versions_owed_;
      }
      if (st < 0 || versions_owed_ == 0) break;
      if (tail.size() > version_reply_.size()) tail.erase(0, tail.size() - version_reply_.size());
      char chunk[4096];
      std::size_t got = 0;
      st = link_->read_some(chunk, sizeof chunk, deadline, got);
      if (st >= 0) tail.append(chunk, got);
    }
    if (st < 0) return st;
    reading_ = false;
    unsynced_ = false;
    marker_confirmed_ = false;
    return VI_SUCCESS;
  }

  ViStatus ask_version(Deadline deadline) {
    ViStatus st = command("ver", deadline);
    // Even a request cut short may have reached the adapter; settle() then
    // waits on an answer that may not come until its deadline, never takes a stale one.
    ++versions_owed_;
    return st;
  }

  // During a read, the answer to a version request sent while it was quiet:
  // the adapter has finished what it was doing. The bytes before the answer
  // are the talker's; if they end in the marker the read is over, otherwise
  // the adapter gave up waiting for the talker and is asked to read again.
  ViStatus take_version_answer(Deadline deadline) {
    if (versions_owed_ == 0) return VI_SUCCESS;
    const std::size_t at = arrived_.find(version_reply_);
    if (at == std::string::npos) return VI_SUCCESS;
    arrived_.resize(at);  // nothing was asked after the version
    --versions_owed_;
    if (versions_owed_ > 0) return VI_SUCCESS;
    if (!arrived_.empty() && arrived_.back() == kEndMarker) {
      marker_confirmed_ = true;
      return VI_SUCCESS;
    }
    heard_at_ = Deadline::Clock::now();
    return command("read eoi", deadline);
  }

  // Receives what the adapter sends next into arrived_: VI_ERROR_TMO when the
  // link stayed quiet until the deadline or for kGiveUpAfterMs since last heard.
  ViStatus hear(Deadline deadline) {
    const auto quiet_for = Deadline::Clock::now() - heard_at_;
    const auto left = std::chrono::milliseconds(kGiveUpAfterMs) - quiet_for;
    const auto wait_ms = std::max<long long>(0, std::chrono::duration_cast<std::chrono::milliseconds>(left).count());
    const Deadline until = Deadline::earliest(deadline, Deadline::after_ms(static_cast<std::uint32_t>(wait_ms)));
    char chunk[4096];
    std::size_t got = 0;
    ViStatus st = link_->read_some(chunk, sizeof chunk, until, got);
    if (st < 0) return st;
    arrived_.append(chunk, got);
    heard_at_ = Deadline::Clock::now();
    return VI_SUCCESS;
  }

  // One line the adapter answers with, its CR LF removed (and in `raw`, as it came).
  ViStatus reply_line(Deadline deadline, std::string& line, std::string* raw = nullptr) {
    line.clear();
    if (raw != nullptr) raw->clear();
    char c = 0;
    while (line.size() < kLongestReplyLine) {
      std::size_t got = 0;
      ViStatus st = link_->read_some(&c, 1, deadline, got);
      if (st < 0) {
        unsynced_ = true;  // the rest of the line may still come
        return st;
      }
      if (raw != nullptr) *raw += c;
      if (c == '\n') break;
      if (c != '\r') line += c;
    }
    if (line.size() < kLongestReplyLine) return VI_SUCCESS;
    unsynced_ = true;
    return VI_ERROR_IO;
  }

  std::mutex mutex_;
  std::unique_ptr<Link> link_;
  std::string where_, version_;
  std::string version_reply_;  // the ++ver answer as it comes, which marks where a sync ends
  bool addressed_ = false;
  GpibAddress current_;
  bool eoi_ = true;
  // A "++read eoi" whose end has not come: whose reply, what of it arrived
  // and no read took, and when the adapter was last heard.
  bool reading_ = false;
  bool marker_confirmed_ = false;  // the 0xFF that ends arrived_ is the end marker
  bool unsynced_ = false;          // a reply line was cut short: its rest may still come
  std::size_t versions_owed_ = 0;  // "++ver" requests whose answer has not come
  GpibAddress talker_;
  std::string arrived_;
  Deadline::Clock::time_point heard_at_{};
};

}  // namespace

ViStatus open_prologix_board(const ResourceName& resource, unsigned baud, Deadline deadline,
                             std::shared_ptr<GpibBoard>& out) {
  std::unique_ptr<Link> link;
  std::string where;
  if (resource.device_path.empty()) {
    TcpConnection connection;
    ViStatus st = TcpConnection::connect(resource.host, resource.port, deadline, connection);
    if (st < 0) return st;
    link = std::make_unique<TcpLink>(std::move(connection));
    where = resource.host + ":" + std::to_string(resource.port);
  } else {
    SerialLine line;
    std::string why;
    ViStatus st = SerialLine::open(resource.device_path, line, why);
    if (st < 0) {
      trace_note(why);
      return st;
    }
    SerialSettings settings;
    settings.baud = baud;
    st = line.apply(settings);
    if (st < 0) return st;
    link = std::make_unique<SerialLink>(std::move(line));
    where = resource.device_path;
  }
  auto board = std::make_shared<PrologixBoard>(std::move(link), where);
  ViStatus st = board->Open(deadline);
  if (st < 0) return st;
  out = std::move(board);
  return VI_SUCCESS;
}

}  // namespace visa
