// SPDX-License-Identifier: MIT
// The gateway in this process, in front of emulated instruments on each
// transport, reached by our VISA library over HiSLIP and VXI-11: what the
// instrument receives, what each client gets back, and how clients sharing
// an instrument stay apart.
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "hislip_codec.h"
#include "hislip_service.h"
#include "instrument_pool.h"
#include "support/qdx_emulator.h"
#include "support/scripted_emulator.h"
#include "support/visa_session.h"
#include "visa.h"
#include "vxi11_service.h"

namespace {

using namespace std::chrono_literals;
using testsupport::QdxEmulator;
using testsupport::ScriptedEmulator;
using testsupport::VisaSession;
using testsupport::Wire;
using Lines = std::vector<std::string>;

enum class Front { Hislip, Vxi11 };

// A gateway serving `names` (NAME -> VISA resource) on both protocols, on loopback.
class Gateway {
 public:
  explicit Gateway(std::map<std::string, std::string> names, gateway::ServiceSettings settings = {})
      : pool_(std::move(names), settings.most_message_bytes),
        hislip_(pool_, admit_, settings),
        vxi11_(pool_, admit_, settings) {
    // On every address, so that clients in this process can tell themselves
    // apart by the loopback address they use (our library keeps locks
    // between a process's sessions by resource name).
    error_ = hislip_.start("0.0.0.0", 0);
    if (error_.empty()) error_ = vxi11_.start("0.0.0.0", 0);
    if (error_.empty()) setenv("ZEVRA_VXI11_PORTMAPPER_PORT", std::to_string(vxi11_.portmapper_port()).c_str(), 1);
  }
  ~Gateway() { unsetenv("ZEVRA_VXI11_PORTMAPPER_PORT"); }
  const std::string& error() const { return error_; }
  unsigned hislip_port() const { return hislip_.port(); }
  // What a client on another host would open to reach `name`.
  std::string resource(Front front, const std::string& name, const std::string& host = "127.0.0.1") const {
    if (front == Front::Hislip) return "TCPIP::" + host + "::" + name + "," + std::to_string(hislip_.port()) + "::INSTR";
    return "TCPIP::" + host + "::" + name + "::INSTR";
  }

 private:
  const emulator::TcpListener::Admit admit_ = [](const sockaddr_storage&) { return true; };
  gateway::InstrumentPool pool_;
  gateway::HislipService hislip_;
  gateway::Vxi11Service vxi11_;
  std::string error_;
};

// The name each protocol's clients know an instrument by.
std::string ServedName(Front front) { return front == Front::Hislip ? "hislip0" : "inst0"; }

std::string Query(ViSession vi, const std::string& line) {
  char reply[512] = "";
  EXPECT_EQ(viQueryf(vi, "%s\n", "%511[^\n]", line.c_str(), reply), VI_SUCCESS) << line;
  return reply;
}

// A raw HiSLIP client, for what our VISA library would never do (vanish while holding a lock).
class RawHislipClient {
 public:
  explicit RawHislipClient(unsigned port) {
    sync_ = Connect(port);
    Send(sync_, hislip::kInitialize, 0, 0x01000000, "hislip0");
    hislip::Header h;
    std::string payload;
    if (Receive(sync_, h, payload) && h.type == hislip::kInitializeResponse) {
      async_ = Connect(port);
      Send(async_, hislip::kAsyncInitialize, 0, h.parameter & 0xFFFF);
      ok_ = Receive(async_, h, payload) && h.type == hislip::kAsyncInitializeResponse;
    }
  }
  ~RawHislipClient() { Close(); }
  bool ok() const { return ok_; }
  // AsyncLock's answer for the exclusive lock.
  int Lock() {
    Send(async_, hislip::kAsyncLock, hislip::kLockRequest, 1000);
    hislip::Header h;
    std::string payload;
    return Receive(async_, h, payload) ? h.control : -1;
  }
  void SendQuery(const std::string& line) { Send(sync_, hislip::kDataEnd, 0, hislip::kFirstMessageId, line); }
  // The first bytes of a message header, and then nothing.
  void StallInAHeader() { EXPECT_EQ(::send(sync_, "HS\x07", 3, MSG_NOSIGNAL), 3); }
  void Close() {
    if (sync_ >= 0) ::close(sync_);
    if (async_ >= 0) ::close(async_);
    sync_ = async_ = -1;
  }

 private:
  static int Connect(unsigned port) {
    int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(static_cast<std::uint16_t>(port));
    to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    // A small receive buffer, so that a client that does not read is felt at once.
    int small = 4096;
    ::setsockopt(fd, SOL_SOCKET, SO_RCVBUF, &small, sizeof small);
    timeval timeout{5, 0};
    ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
    EXPECT_EQ(::connect(fd, reinterpret_cast<sockaddr*>(&to), sizeof to), 0);
    return fd;
  }
  static void Send(int fd, std::uint8_t type, std::uint8_t control, std::uint32_t parameter,
                   const std::string& payload = {}) {
    std::string message = hislip::Encode(type, control, parameter, payload);
    EXPECT_EQ(::send(fd, message.data(), message.size(), MSG_NOSIGNAL), static_cast<ssize_t>(message.size()));
  }
  static bool Receive(int fd, hislip::Header& h, std::string& payload) {
    unsigned char header[hislip::kHeaderSize];
    if (::recv(fd, header, sizeof header, MSG_WAITALL) != static_cast<ssize_t>(sizeof header)) return false;
    if (!hislip::Decode(header, h)) return false;
    payload.assign(static_cast<std::size_t>(h.length), '\0');
    return h.length == 0 || ::recv(fd, payload.data(), payload.size(), MSG_WAITALL) == static_cast<ssize_t>(h.length);
  }
  int sync_ = -1, async_ = -1;
  bool ok_ = false;
};

// Every transport an instrument may be on, behind each protocol the gateway serves.
class GatewayForwarding : public ::testing::TestWithParam<std::tuple<Wire, Front>> {
 protected:
  void SetUp() override {
    ASSERT_TRUE(emu.started()) << emu.error();
    ASSERT_EQ(gateway.error(), "");
  }
  Wire wire() const { return std::get<0>(GetParam()); }
  Front front() const { return std::get<1>(GetParam()); }
  std::string resource() const { return gateway.resource(front(), ServedName(front())); }
  // How the instrument sees a device trigger and a status byte read on this transport.
  std::string trigger_line() const { return wire() == Wire::Socket || wire() == Wire::Serial ? "*TRG" : "<trigger>"; }

  ScriptedEmulator emu{wire()};
  Gateway gateway{{{"hislip0", emu.resource()}, {"inst0", emu.resource()}}};
};

TEST_P(GatewayForwarding, MessagesQueriesAndControlArriveExactly) {
  emu.instrument().on("MEAS:ALL?", "5.00000,0.500000,2.50000");
  emu.instrument().set_identity("Halmeric,Test,1,0.1");
  VisaSession s(resource());
  ASSERT_EQ(s.open_status(), VI_SUCCESS);
  ASSERT_EQ(viPrintf(s, "VOLT %0.15lg\n", 1.5), VI_SUCCESS);
  double v[3] = {};
  ASSERT_EQ(viQueryf(s, "MEAS:ALL?\n", "%lf,%lf,%lf", &v[0], &v[1], &v[2]), VI_SUCCESS);
  EXPECT_DOUBLE_EQ(v[2], 2.5);
  ASSERT_EQ(viAssertTrigger(s, VI_TRIG_PROT_DEFAULT), VI_SUCCESS);
  // A string holding '?' is not a query: no response is waited for.
  ASSERT_EQ(viPrintf(s, "DISP:TEXT \"Ready?\"\n"), VI_SUCCESS);
  EXPECT_EQ(Query(s, "*IDN?"), "Halmeric,Test,1,0.1");
  EXPECT_EQ(emu.lines(5), (Lines{"VOLT 1.5", "MEAS:ALL?", trigger_line(), "DISP:TEXT \"Ready?\"", "*IDN?"}));
}

// Most of a megabyte one way (as long a line as the emulated instrument
// takes) and 16 MiB the other, larger than a HiSLIP message, a VXI-11 record
// or a serial read: whole, in order, and the session in step afterwards.
TEST_P(GatewayForwarding, LargeTransfersPassWhole) {
  std::string message;
  for (int i = 0; message.size() < 1000000; ++i) message += std::to_string(i) + ",";
  message.pop_back();
  std::string block(16 << 20, 'x');
  for (std::size_t i = 0; i < block.size(); i += 4093) block[i] = static_cast<char>('a' + i % 26);
  emu.instrument().on("BIG?", block);
  VisaSession s(resource());
  s.set_timeout(60000);
  ASSERT_EQ(viPrintf(s, "DATA %s\n", message.c_str()), VI_SUCCESS);
  ASSERT_EQ(viPrintf(s, "BIG?\n"), VI_SUCCESS);
  std::vector<char> reply(block.size() + 16);
  ViUInt32 got = 0;
  ASSERT_EQ(viRead(s, reinterpret_cast<ViBuf>(reply.data()), static_cast<ViUInt32>(reply.size()), &got), VI_SUCCESS);
  ASSERT_EQ(got, block.size() + 1);
  EXPECT_TRUE(std::string_view(reply.data(), got - 1) == block);
  ASSERT_EQ(viPrintf(s, "DATA?\n"), VI_SUCCESS);
  ASSERT_EQ(viRead(s, reinterpret_cast<ViBuf>(reply.data()), static_cast<ViUInt32>(reply.size()), &got), VI_SUCCESS);
  EXPECT_TRUE(std::string_view(reply.data(), got) == message + "\n");
}

// Two clients of one instrument, asking at once: each gets its own answers.
TEST_P(GatewayForwarding, ClientsSharingAnInstrumentGetTheirOwnAnswers) {
  emu.instrument().on("A?", "a", emulator::ScriptedInstrument::kForever);
  emu.instrument().on("B?", "b", emulator::ScriptedInstrument::kForever);
  std::atomic<int> wrong{0};
  auto ask = [&](const char* line, const char* answer) {
    VisaSession s(resource());
    for (int i = 0; i < 40; ++i) {
      if (Query(s, line) != answer) ++wrong;
    }
  };
  std::thread a(ask, "A?", "a"), b(ask, "B?", "b");
  a.join();
  b.join();
  EXPECT_EQ(wrong, 0);
}

TEST_P(GatewayForwarding, ClearDropsAnUnreadResponseAndTheSessionGoesOn) {
  emu.instrument().on("A?", "a");
  VisaSession s(resource());
  ASSERT_EQ(viPrintf(s, "A?\n"), VI_SUCCESS);
  ASSERT_EQ(viClear(s), VI_SUCCESS);
  emu.instrument().set_identity("Halmeric,Test,1,0.1");
  EXPECT_EQ(Query(s, "*IDN?"), "Halmeric,Test,1,0.1");
}

// Remote and local control, where the instrument's bus has it: go to local
// by either protocol, local lockout by HiSLIP (VXI-11 has no message for it);
// a raw socket has neither, and says so.
TEST_P(GatewayForwarding, RemoteAndLocalReachTheInstrument) {
  VisaSession s(resource());
  ASSERT_EQ(s.open_status(), VI_SUCCESS);
  if (wire() == Wire::Socket || wire() == Wire::Serial) {
    EXPECT_LT(viGpibControlREN(s, VI_GPIB_REN_ADDRESS_GTL), 0);
    return;
  }
  ASSERT_EQ(viGpibControlREN(s, VI_GPIB_REN_ADDRESS_GTL), VI_SUCCESS);
  Lines expected{"<go to local>"};
  if (front() == Front::Hislip) {
    ASSERT_EQ(viGpibControlREN(s, VI_GPIB_REN_ASSERT_LLO), VI_SUCCESS);
    // USB488 asserts remote enable as its own request before the lockout.
    if (wire() == Wire::Usb) expected.push_back("<remote enable>");
    expected.push_back("<local lockout>");
  } else {
    EXPECT_EQ(viGpibControlREN(s, VI_GPIB_REN_ASSERT_LLO), VI_ERROR_NSUP_OPER);
  }
  EXPECT_EQ(emu.lines(expected.size()), expected);
}

std::string ParamName(const ::testing::TestParamInfo<std::tuple<Wire, Front>>& info) {
  return std::string(testsupport::WireName(std::get<0>(info.param))) + "Via" +
         (std::get<1>(info.param) == Front::Hislip ? "Hislip" : "Vxi11");
}

INSTANTIATE_TEST_SUITE_P(Transports, GatewayForwarding,
                         ::testing::Combine(::testing::Values(Wire::Socket, Wire::Serial, Wire::Usb, Wire::Gpib,
                                                              Wire::Hislip),
                                            ::testing::Values(Front::Hislip, Front::Vxi11)),
                         ParamName);

class GatewayClients : public ::testing::TestWithParam<Front> {
 protected:
  void SetUp() override {
    ASSERT_TRUE(emu.started()) << emu.error();
    ASSERT_EQ(gateway.error(), "");
  }
  // Another client's name for the same instrument.
  std::string resource(const char* host = "127.0.0.1") const {
    return gateway.resource(GetParam(), ServedName(GetParam()), host);
  }
  ScriptedEmulator emu{Wire::Socket};
  Gateway gateway{{{"hislip0", emu.resource()}, {"inst0", emu.resource()}}};
};

TEST_P(GatewayClients, AnExclusiveLockKeepsOtherClientsOut) {
  VisaSession holder(resource()), other(resource("127.0.0.2"));
  ASSERT_EQ(viLock(holder, VI_EXCLUSIVE_LOCK, 2000, VI_NULL, VI_NULL), VI_SUCCESS);
  ASSERT_EQ(viPrintf(holder, "A 1\n"), VI_SUCCESS);
  other.set_timeout(300);
  if (GetParam() == Front::Vxi11) {
    // VXI-11 refuses the other link's write once its lock timeout runs out.
    EXPECT_EQ(viPrintf(other, "B 1\n"), VI_ERROR_RSRC_LOCKED);
    ASSERT_EQ(viUnlock(holder), VI_SUCCESS);
    EXPECT_EQ(viPrintf(other, "B 1\n"), VI_SUCCESS);
  } else {
    // HiSLIP holds the other client's message until the lock goes.
    EXPECT_EQ(viPrintf(other, "B 1\n"), VI_SUCCESS);
    std::this_thread::sleep_for(300ms);
    EXPECT_EQ(emu.transcript().lines(), (Lines{"A 1"}));
    ASSERT_EQ(viUnlock(holder), VI_SUCCESS);
  }
  EXPECT_EQ(emu.lines(2), (Lines{"A 1", "B 1"}));
  // Released, the lock is free for the other client at once.
  EXPECT_EQ(viLock(other, VI_EXCLUSIVE_LOCK, 0, VI_NULL, VI_NULL), VI_SUCCESS);
  EXPECT_EQ(viUnlock(other), VI_SUCCESS);
}

INSTANTIATE_TEST_SUITE_P(Protocols, GatewayClients, ::testing::Values(Front::Hislip, Front::Vxi11),
                         [](const auto& info) { return info.param == Front::Hislip ? "Hislip" : "Vxi11"; });

TEST(GatewayLocks, AClientThatVanishesGivesUpItsLock) {
  ScriptedEmulator emu{Wire::Socket};
  Gateway gateway{{{"hislip0", emu.resource()}}};
  RawHislipClient vanishing(gateway.hislip_port());
  ASSERT_TRUE(vanishing.ok());
  ASSERT_EQ(vanishing.Lock(), hislip::kLockSuccess);
  VisaSession s(gateway.resource(Front::Hislip, "hislip0"));
  ASSERT_EQ(s.open_status(), VI_SUCCESS);
  EXPECT_EQ(viLock(s, VI_EXCLUSIVE_LOCK, 100, VI_NULL, VI_NULL), VI_ERROR_TMO);
  vanishing.Close();
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(viLock(s, VI_EXCLUSIVE_LOCK, 2000, VI_NULL, VI_NULL), VI_SUCCESS);
  EXPECT_LT(std::chrono::steady_clock::now() - start, 1500ms);
}

TEST(GatewayLocks, SharedLocksAdmitTheirHoldersOnly) {
  ScriptedEmulator emu{Wire::Socket};
  Gateway gateway{{{"hislip0", emu.resource()}}};
  VisaSession first(gateway.resource(Front::Hislip, "hislip0", "127.0.0.1")),
      second(gateway.resource(Front::Hislip, "hislip0", "127.0.0.2")),
      outsider(gateway.resource(Front::Hislip, "hislip0", "127.0.0.3"));
  char key[256] = "";
  ASSERT_EQ(viLock(first, VI_SHARED_LOCK, 1000, "bench", key), VI_SUCCESS);
  ASSERT_EQ(viLock(second, VI_SHARED_LOCK, 1000, "bench", key), VI_SUCCESS);
  ASSERT_EQ(viPrintf(first, "A 1\n"), VI_SUCCESS);
  ASSERT_EQ(viPrintf(second, "B 1\n"), VI_SUCCESS);
  EXPECT_EQ(viLock(outsider, VI_EXCLUSIVE_LOCK, 100, VI_NULL, VI_NULL), VI_ERROR_TMO);
  ASSERT_EQ(viPrintf(outsider, "C 1\n"), VI_SUCCESS);
  std::this_thread::sleep_for(200ms);
  // The holders' lines, in whichever order their two connections delivered them; the outsider's waits.
  Lines seen = emu.lines(2);
  std::sort(seen.begin(), seen.end());
  EXPECT_EQ(seen, (Lines{"A 1", "B 1"}));
  ASSERT_EQ(viUnlock(first), VI_SUCCESS);
  ASSERT_EQ(viUnlock(second), VI_SUCCESS);
  seen = emu.lines(3);
  ASSERT_EQ(seen.size(), 3u);
  EXPECT_EQ(seen.back(), "C 1");
}

// Service requests from an instrument that can ask for them (on HiSLIP or
// behind a GPIB adapter) reach every client that enabled them, each with the
// status byte read when the instrument asked.
class GatewayServiceRequests : public ::testing::TestWithParam<std::tuple<Wire, Front>> {};

TEST_P(GatewayServiceRequests, ReachEveryClientThatAsked) {
  const auto [wire, front] = GetParam();
  QdxEmulator emu{QdxEmulator::Defaults(), wire};
  ASSERT_TRUE(emu.started()) << emu.error();
  Gateway gateway{{{ServedName(front), emu.resource()}}};
  const std::string name = gateway.resource(front, ServedName(front));
  VisaSession first(name), second(gateway.resource(front, ServedName(front), "127.0.0.2"));
  for (ViSession s : {first.vi(), second.vi()})
    ASSERT_EQ(viEnableEvent(s, VI_EVENT_SERVICE_REQ, VI_QUEUE, VI_NULL), VI_SUCCESS);
  ASSERT_EQ(viPrintf(first, "*CLS;*ESE 1;*SRE 32\n"), VI_SUCCESS);
  ASSERT_EQ(viPrintf(first, "*OPC\n"), VI_SUCCESS);
  for (ViSession s : {first.vi(), second.vi()}) {
    EXPECT_EQ(viWaitOnEvent(s, VI_EVENT_SERVICE_REQ, 5000, VI_NULL, VI_NULL), VI_SUCCESS);
    ViUInt16 stb = 0;
    ASSERT_EQ(viReadSTB(s, &stb), VI_SUCCESS);
    EXPECT_EQ(stb & 0x60, 0x60) << "event summary and the request for service";
  }
}

INSTANTIATE_TEST_SUITE_P(Transports, GatewayServiceRequests,
                         ::testing::Combine(::testing::Values(Wire::Hislip, Wire::Gpib),
                                            ::testing::Values(Front::Hislip, Front::Vxi11)),
                         ParamName);

// A client that never reads its asynchronous channel holds up no one else's
// service requests: once its socket is full, the notices for it wait, and
// every other client still gets each of its own at once.
class GatewayFanOut : public ::testing::TestWithParam<Front> {};

TEST_P(GatewayFanOut, AClientThatNeverReadsHoldsUpNoOneElse) {
  const Front front = GetParam();
  QdxEmulator emu{QdxEmulator::Defaults(), Wire::Hislip};
  ASSERT_TRUE(emu.started()) << emu.error();
  Gateway gateway{{{"hislip0", emu.resource()}, {"inst0", emu.resource()}}};
  // Every HiSLIP client is told of service requests; this one reads nothing.
  RawHislipClient deaf(gateway.hislip_port());
  ASSERT_TRUE(deaf.ok());
  VisaSession heard(gateway.resource(front, ServedName(front), "127.0.0.2"));
  ASSERT_EQ(heard.open_status(), VI_SUCCESS);
  ASSERT_EQ(viEnableEvent(heard, VI_EVENT_SERVICE_REQ, VI_QUEUE, VI_NULL), VI_SUCCESS);
  ASSERT_EQ(viPrintf(heard, "*ESE 1;*SRE 32\n"), VI_SUCCESS);
  // Far more notices than the deaf client's channel holds (16 bytes each; the
  // gateway gives that channel a 16 KiB send buffer).
  const int kRequests = 4000;
  // Each request is raised and answered before the next (the instrument's
  // reply to "*OPC?" comes after it asked for service).
  int answered = 0;
  for (int i = 0; i < kRequests; ++i) {
    ASSERT_EQ(viQueryf(heard, "*CLS;*OPC;*OPC?\n", "%d", &answered), VI_SUCCESS) << i;
    if (i % 40 == 0) {
      ASSERT_GE(viDiscardEvents(heard, VI_EVENT_SERVICE_REQ, VI_ALL_MECH), VI_SUCCESS);
    }
  }
  for (int round = 0; round < 3; ++round) {
    ASSERT_GE(viDiscardEvents(heard, VI_EVENT_SERVICE_REQ, VI_ALL_MECH), VI_SUCCESS);
    ASSERT_EQ(viPrintf(heard, "*CLS;*OPC\n"), VI_SUCCESS);
    ASSERT_GE(viWaitOnEvent(heard, VI_EVENT_SERVICE_REQ, 5000, VI_NULL, VI_NULL), VI_SUCCESS) << "round " << round;
  }
}

INSTANTIATE_TEST_SUITE_P(Protocols, GatewayFanOut, ::testing::Values(Front::Hislip, Front::Vxi11),
                         [](const auto& info) { return info.param == Front::Hislip ? "Hislip" : "Vxi11"; });

TEST(GatewayNames, AnInstrumentNotServedIsNotFound) {
  ScriptedEmulator emu{Wire::Socket};
  Gateway gateway{{{"hislip0", emu.resource()}, {"inst0", emu.resource()}}};
  for (Front front : {Front::Hislip, Front::Vxi11}) {
    VisaSession s(gateway.resource(front, front == Front::Hislip ? "hislip7" : "inst7"));
    EXPECT_LT(s.open_status(), 0);
  }
  // A served name whose instrument cannot be opened is refused too, and the gateway goes on.
  Gateway broken{{{"hislip0", "TCPIP::127.0.0.1::1::SOCKET"}}};
  VisaSession s(broken.resource(Front::Hislip, "hislip0"));
  EXPECT_LT(s.open_status(), 0);
}

// 64 clients on 16 instruments, while one client stalls halfway through a
// message and another never reads the 16 MiB it asked for: everyone else is
// answered, each by its own instrument.
TEST(GatewayScale, SixtyFourClientsOnSixteenInstruments) {
  constexpr int kInstruments = 16, kClients = 64, kQueries = 20;
  std::vector<std::unique_ptr<ScriptedEmulator>> instruments;
  std::map<std::string, std::string> names;
  for (int i = 0; i < kInstruments; ++i) {
    instruments.push_back(std::make_unique<ScriptedEmulator>(Wire::Socket));
    instruments.back()->instrument().set_identity("Halmeric,Unit," + std::to_string(i) + ",1");
    names["hislip" + std::to_string(i)] = instruments.back()->resource();
  }
  instruments[0]->instrument().on("BIG?", std::string(16 << 20, 'x'));
  Gateway gateway(names);
  ASSERT_EQ(gateway.error(), "");
  RawHislipClient stalled(gateway.hislip_port()), not_reading(gateway.hislip_port());
  ASSERT_TRUE(stalled.ok() && not_reading.ok());
  stalled.StallInAHeader();
  // Ended by END alone: the gateway adds the line feed a raw socket needs.
  not_reading.SendQuery("BIG?");
  std::atomic<int> answered{0}, wrong{0};
  std::vector<std::thread> clients;
  const auto start = std::chrono::steady_clock::now();
  for (int c = 0; c < kClients; ++c) {
    clients.emplace_back([&, c] {
      const int i = c % kInstruments;
      VisaSession s(gateway.resource(Front::Hislip, "hislip" + std::to_string(i)));
      if (s.open_status() < 0) return;
      // Instrument 0 is busy for a while sending its 16 MiB (longer under the sanitizers).
      s.set_timeout(20000);
      for (int q = 0; q < kQueries; ++q) {
        if (Query(s, "*IDN?") == "Halmeric,Unit," + std::to_string(i) + ",1")
          ++answered;
        else
          ++wrong;
      }
    });
  }
  for (auto& t : clients) t.join();
  EXPECT_EQ(answered, kClients * kQueries);
  EXPECT_EQ(wrong, 0);
  EXPECT_LT(std::chrono::steady_clock::now() - start, 60s);  // a bound on a hang, not a timing
}

}  // namespace
