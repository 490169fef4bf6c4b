// SPDX-License-Identifier: MIT
// The VISA library's HiSLIP client byte for byte, against a hand-driven
// server: the opening handshake, message IDs, chunking to the server's
// maximum message size, late replies, device clear, locks and service
// requests; and the emulator's lock between two clients.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <future>
#include <string>
#include <thread>

#include "hislip_codec.h"
#include "hislip_server.h"
#include "scripted_instrument.h"
#include "support/loopback_server.h"
#include "support/visa_session.h"
#include "unique_fd.h"
#include "visa.h"

namespace {

using emulator::UniqueFd;

struct Message {
  hislip::Header header;
  std::string payload;
};

class FakeServer {
 public:
  FakeServer() : listener_(testsupport::ListenOnLoopback(port_)) {}
  std::string resource() const { return "TCPIP0::127.0.0.1::hislip0," + std::to_string(port_) + "::INSTR"; }
  UniqueFd Accept() { return UniqueFd(::accept4(listener_.get(), nullptr, nullptr, SOCK_CLOEXEC)); }

  static Message Read(const UniqueFd& fd) {
    Message m;
    unsigned char header[hislip::kHeaderSize];
    if (!testsupport::ReadAll(fd.get(), header, sizeof header) || !hislip::Decode(header, m.header)) {
      m.header.type = 0xFF;
      return m;
    }
    m.payload.resize(static_cast<std::size_t>(m.header.length));
    if (!testsupport::ReadAll(fd.get(), m.payload.data(), m.payload.size())) m.header.type = 0xFF;
    return m;
  }
  static void Write(const UniqueFd& fd, std::uint8_t type, std::uint8_t control, std::uint32_t parameter,
                    const std::string& payload = {}) {
    std::string bytes = hislip::Encode(type, control, parameter, payload);
    ASSERT_EQ(::send(fd.get(), bytes.data(), bytes.size(), MSG_NOSIGNAL), static_cast<ssize_t>(bytes.size()));
  }

 private:
  unsigned port_ = 0;
  UniqueFd listener_;
};

constexpr std::uint64_t kServerMaximum = 256;  // small, so that writes are chunked

TEST(HislipWire, TheClientSpeaksTheProtocolExactly) {
  FakeServer server;
  std::string written(600, 'x');
  std::thread instrument([&] {
    UniqueFd sync = server.Accept();
    Message init = FakeServer::Read(sync);
    EXPECT_EQ(init.header.type, hislip::kInitialize);
    EXPECT_EQ(init.header.parameter >> 16, 0x0100u) << "protocol version 1.0";
    EXPECT_EQ(init.payload, "hislip0");
    FakeServer::Write(sync, hislip::kInitializeResponse, 0, (0x0100u << 16) | 0x1234u);

    UniqueFd async = server.Accept();
    Message async_init = FakeServer::Read(async);
    EXPECT_EQ(async_init.header.type, hislip::kAsyncInitialize);
    EXPECT_EQ(async_init.header.parameter, 0x1234u) << "the session ID from InitializeResponse";
    FakeServer::Write(async, hislip::kAsyncInitializeResponse, 0, 0x5A56);
    Message size = FakeServer::Read(async);
    EXPECT_EQ(size.header.type, hislip::kAsyncMaximumMessageSize);
    EXPECT_EQ(size.payload.size(), 8u);
    FakeServer::Write(async, hislip::kAsyncMaximumMessageSizeResponse, 0, 0, hislip::EncodeU64(kServerMaximum));

    // A long write arrives in pieces no larger than the server allows, all
    // with the first message ID, the last one marked as the end.
    std::string received;
    Message m;
    do {
      m = FakeServer::Read(sync);
      EXPECT_TRUE(m.header.type == hislip::kData || m.header.type == hislip::kDataEnd) << int(m.header.type);
      EXPECT_EQ(m.header.parameter, 0xFFFFFF00u);
      EXPECT_LE(m.payload.size() + hislip::kHeaderSize, kServerMaximum);
      received += m.payload;
    } while (m.header.type == hislip::kData);
    EXPECT_EQ(received, written + "\n");

    // The next message has the next ID; a reply carrying an older one is stale.
    m = FakeServer::Read(sync);
    EXPECT_EQ(m.header.type, hislip::kDataEnd);
    EXPECT_EQ(m.header.parameter, 0xFFFFFF02u);
    EXPECT_EQ(m.payload, "*IDN?\n");
    FakeServer::Write(sync, hislip::kDataEnd, 0, 0xFFFFFF00u, "stale\n");
    FakeServer::Write(sync, hislip::kData, 0, 0xFFFFFF02u, "Halmeric,");
    FakeServer::Write(sync, hislip::kDataEnd, 0, 0xFFFFFF02u, "QDX7001\n");

    // Device clear: the asynchronous request, then the synchronous handshake.
    m = FakeServer::Read(async);
    EXPECT_EQ(m.header.type, hislip::kAsyncDeviceClear);
    FakeServer::Write(async, hislip::kAsyncDeviceClearAcknowledge, 0, 0);
    m = FakeServer::Read(sync);
    EXPECT_EQ(m.header.type, hislip::kDeviceClearComplete);
    FakeServer::Write(sync, hislip::kDeviceClearAcknowledge, 0, 0);

    // Message IDs start again after a clear.
    m = FakeServer::Read(sync);
    EXPECT_EQ(m.header.type, hislip::kDataEnd);
    EXPECT_EQ(m.header.parameter, 0xFFFFFF00u);
    EXPECT_EQ(m.payload, "*CLS\n");
    // The server gives up on the client: every later call says the connection is lost.
    FakeServer::Write(sync, hislip::kFatalError, 1, 0, "test");
  });

  {
    testsupport::VisaSession s(server.resource());
    ASSERT_EQ(s.open_status(), VI_SUCCESS);
    ASSERT_EQ(viPrintf(s, "%s\n", written.c_str()), VI_SUCCESS);
    char idn[64] = "";
    ASSERT_EQ(viQueryf(s, "*IDN?\n", "%[^\n]", idn), VI_SUCCESS);
    EXPECT_STREQ(idn, "Halmeric,QDX7001");
    EXPECT_EQ(viClear(s), VI_SUCCESS);
    ASSERT_EQ(viPrintf(s, "*CLS\n"), VI_SUCCESS);
    ViByte b[8];
    ViUInt32 got = 0;
    EXPECT_EQ(viRead(s, b, sizeof b, &got), VI_ERROR_CONN_LOST);
    EXPECT_EQ(viPrintf(s, "*CLS\n"), VI_ERROR_CONN_LOST);
  }
  instrument.join();
}

TEST(HislipWire, AServerThatRefusesTheSubAddressIsNotFound) {
  FakeServer server;
  std::thread instrument([&] {
    UniqueFd sync = server.Accept();
    Message init = FakeServer::Read(sync);
    FakeServer::Write(sync, hislip::kFatalError, 3, 0, "no such device");
  });
  testsupport::VisaSession s(server.resource());
  EXPECT_EQ(s.open_status(), VI_ERROR_RSRC_NFOUND);
  instrument.join();
}

// The opening handshake as a server answers it; the channels are handed back.
void AcceptSession(FakeServer& server, UniqueFd& sync, UniqueFd& async) {
  sync = server.Accept();
  FakeServer::Read(sync);
  FakeServer::Write(sync, hislip::kInitializeResponse, 0, (0x0100u << 16) | 7u);
  async = server.Accept();
  FakeServer::Read(async);
  FakeServer::Write(async, hislip::kAsyncInitializeResponse, 0, 0x5A56);
  FakeServer::Read(async);
  FakeServer::Write(async, hislip::kAsyncMaximumMessageSizeResponse, 0, 0, hislip::EncodeU64(1 << 20));
}

// Overlapped mode, as a server starts a session in it: every reply is read in
// turn; a query drops the replies still owed to earlier messages; a device
// clear asks for a mode in its last step and the session takes the one the
// server agrees to.
TEST(HislipWire, OverlappedRepliesAreReadInTurnAndTheModeIsAgreedAtAClear) {
  FakeServer server;
  std::thread instrument([&] {
    UniqueFd sync = server.Accept();
    FakeServer::Read(sync);
    FakeServer::Write(sync, hislip::kInitializeResponse, hislip::kOverlapped, (0x0100u << 16) | 7u);
    UniqueFd async = server.Accept();
    FakeServer::Read(async);
    FakeServer::Write(async, hislip::kAsyncInitializeResponse, 0, 0x5A56);
    FakeServer::Read(async);
    FakeServer::Write(async, hislip::kAsyncMaximumMessageSizeResponse, 0, 0, hislip::EncodeU64(1 << 20));
    // Four messages, each answered with its own ID.
    for (const char* reply : {"a\n", "b\n", "c\n", "d\n"}) {
      Message m = FakeServer::Read(sync);
      EXPECT_EQ(m.header.type, hislip::kDataEnd);
      FakeServer::Write(sync, hislip::kDataEnd, 0, m.header.parameter, reply);
    }
    // The client asks for each mode in turn; the second time the server keeps its own.
    for (std::uint8_t asked : {std::uint8_t{0}, hislip::kOverlapped, std::uint8_t{0}}) {
      Message m = FakeServer::Read(async);
      EXPECT_EQ(m.header.type, hislip::kAsyncDeviceClear);
      FakeServer::Write(async, hislip::kAsyncDeviceClearAcknowledge, hislip::kOverlapped, 0);
      m = FakeServer::Read(sync);
      EXPECT_EQ(m.header.type, hislip::kDeviceClearComplete);
      EXPECT_EQ(m.header.control, asked) << "the mode the client asks for";
      FakeServer::Write(sync, hislip::kDeviceClearAcknowledge, 0, 0);
    }
  });
  {
    testsupport::VisaSession s(server.resource(), false);  // replies end with END alone
    ASSERT_EQ(s.open_status(), VI_SUCCESS);
    ViBoolean overlapped = VI_FALSE;
    ASSERT_EQ(viGetAttribute(s, VI_ATTR_TCPIP_HISLIP_OVERLAP_EN, &overlapped), VI_SUCCESS);
    EXPECT_EQ(overlapped, VI_TRUE) << "the mode the server started the session in";
    ViUInt32 count = 0;
    ASSERT_EQ(viWrite(s, reinterpret_cast<ViConstBuf>("A?\n"), 3, &count), VI_SUCCESS);
    ASSERT_EQ(viWrite(s, reinterpret_cast<ViConstBuf>("B?\n"), 3, &count), VI_SUCCESS);
    for (const char* expected : {"a\n", "b\n"}) {
      char reply[16] = "";
      ASSERT_EQ(viRead(s, reinterpret_cast<ViBuf>(reply), sizeof reply - 1, &count), VI_SUCCESS);
      EXPECT_EQ(std::string(reply, count), expected);
    }
    ASSERT_EQ(viWrite(s, reinterpret_cast<ViConstBuf>("C?\n"), 3, &count), VI_SUCCESS);
    char reply[16] = "";
    ASSERT_EQ(viQueryf(s, "D?\n", "%15[^\n]", reply), VI_SUCCESS);
    EXPECT_STREQ(reply, "d") << "a query reads its own reply, not one owed to an earlier message";

    EXPECT_EQ(viSetAttribute(s, VI_ATTR_TCPIP_HISLIP_OVERLAP_EN, VI_FALSE), VI_SUCCESS);
    ASSERT_EQ(viGetAttribute(s, VI_ATTR_TCPIP_HISLIP_OVERLAP_EN, &overlapped), VI_SUCCESS);
    EXPECT_EQ(overlapped, VI_FALSE);
    EXPECT_EQ(viSetAttribute(s, VI_ATTR_TCPIP_HISLIP_OVERLAP_EN, VI_TRUE), VI_ERROR_NSUP_ATTR_STATE)
        << "the server kept synchronized mode";
    ASSERT_EQ(viGetAttribute(s, VI_ATTR_TCPIP_HISLIP_OVERLAP_EN, &overlapped), VI_SUCCESS);
    EXPECT_EQ(overlapped, VI_FALSE);
    EXPECT_EQ(viClear(s), VI_SUCCESS) << "a clear asks for the mode the session is in";
  }
  instrument.join();
}

// The emulator starts sessions in the mode it is told to and gives a client
// the mode it asks for; several queries in flight are answered in order in
// overlapped mode, and only the last in synchronized mode.
class HislipModes : public ::testing::TestWithParam<bool> {};

TEST_P(HislipModes, TheEmulatorServesBothModes) {
  emulator::ScriptedInstrument instrument;
  for (const char* line : {"A?", "B?", "C?"}) instrument.on(line, std::string(1, static_cast<char>(line[0] + 32)), 2);
  emulator::HislipServer server(instrument, nullptr);
  server.prefer_overlapped(GetParam());
  ASSERT_EQ(server.start("127.0.0.1", 0), "");
  testsupport::VisaSession s("TCPIP0::127.0.0.1::hislip0," + std::to_string(server.port()) + "::INSTR", false);
  ASSERT_EQ(s.open_status(), VI_SUCCESS);
  ViBoolean overlapped = 2;
  ASSERT_EQ(viGetAttribute(s, VI_ATTR_TCPIP_HISLIP_OVERLAP_EN, &overlapped), VI_SUCCESS);
  EXPECT_EQ(overlapped, GetParam() ? VI_TRUE : VI_FALSE);
  auto send_three = [&] {
    ViUInt32 count = 0;
    for (const char* query : {"A?\n", "B?\n", "C?\n"})
      ASSERT_EQ(viWrite(s, reinterpret_cast<ViConstBuf>(query), 3, &count), VI_SUCCESS);
  };
  auto next_reply = [&] {
    char reply[16] = "";
    ViUInt32 count = 0;
    EXPECT_EQ(viRead(s, reinterpret_cast<ViBuf>(reply), sizeof reply - 1, &count), VI_SUCCESS);
    return std::string(reply, count);
  };

  ASSERT_EQ(viSetAttribute(s, VI_ATTR_TCPIP_HISLIP_OVERLAP_EN, VI_TRUE), VI_SUCCESS);
  send_three();
  EXPECT_EQ(next_reply(), "a\n");
  EXPECT_EQ(next_reply(), "b\n");
  EXPECT_EQ(next_reply(), "c\n");

  ASSERT_EQ(viSetAttribute(s, VI_ATTR_TCPIP_HISLIP_OVERLAP_EN, VI_FALSE), VI_SUCCESS);
  send_three();
  EXPECT_EQ(next_reply(), "c\n") << "synchronized: the last message's reply only";
  ASSERT_EQ(viSetAttribute(s, VI_ATTR_TMO_VALUE, 200), VI_SUCCESS);
  char rest[4];
  ViUInt32 count = 0;
  EXPECT_EQ(viRead(s, reinterpret_cast<ViBuf>(rest), sizeof rest, &count), VI_ERROR_TMO);
}

INSTANTIATE_TEST_SUITE_P(StartingMode, HislipModes, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "Overlapped" : "Synchronized"; });

// Locks and service requests share the asynchronous channel: requests carry
// the lock's timeout and string, and a service request arriving unasked,
// even just ahead of a status response, is told apart from it.
TEST(HislipWire, LocksAndServiceRequestsOnTheAsynchronousChannel) {
  FakeServer server;
  std::promise<void> enabled;
  std::thread instrument([&] {
    UniqueFd sync, async;
    AcceptSession(server, sync, async);
    Message m = FakeServer::Read(async);
    EXPECT_EQ(m.header.type, hislip::kAsyncLock);
    EXPECT_EQ(m.header.control, hislip::kLockRequest);
    EXPECT_EQ(m.header.parameter, 300u) << "the lock's timeout in milliseconds";
    EXPECT_EQ(m.payload, "") << "exclusive: no lock string";
    FakeServer::Write(async, hislip::kAsyncLockResponse, hislip::kLockSuccess, 0);
    m = FakeServer::Read(async);
    EXPECT_EQ(m.header.type, hislip::kAsyncLock);
    EXPECT_EQ(m.header.control, hislip::kLockRelease);
    EXPECT_EQ(m.header.parameter, 0xFFFFFEFEu) << "no message sent yet";
    FakeServer::Write(async, hislip::kAsyncLockResponse, hislip::kLockSuccess, 0);
    m = FakeServer::Read(async);
    EXPECT_EQ(m.header.control, hislip::kLockRequest);
    EXPECT_EQ(m.payload, "bench");
    FakeServer::Write(async, hislip::kAsyncLockResponse, hislip::kLockFailure, 0);  // still held elsewhere

    enabled.get_future().wait();
    FakeServer::Write(async, hislip::kAsyncServiceRequest, 0x60, 0);
    m = FakeServer::Read(async);
    EXPECT_EQ(m.header.type, hislip::kAsyncStatusQuery);
    FakeServer::Write(async, hislip::kAsyncServiceRequest, 0x60, 0);
    FakeServer::Write(async, hislip::kAsyncStatusResponse, 0x42, 0);
    FakeServer::Read(async);  // the client goes
  });
  {
    testsupport::VisaSession s(server.resource());
    ASSERT_EQ(s.open_status(), VI_SUCCESS);
    EXPECT_EQ(viLock(s, VI_EXCLUSIVE_LOCK, 300, VI_NULL, VI_NULL), VI_SUCCESS);
    EXPECT_EQ(viUnlock(s), VI_SUCCESS);
    ViChar key[256] = "";
    EXPECT_EQ(viLock(s, VI_SHARED_LOCK, 300, "bench", key), VI_ERROR_TMO);
    ASSERT_EQ(viEnableEvent(s, VI_EVENT_SERVICE_REQ, VI_QUEUE, VI_NULL), VI_SUCCESS);
    enabled.set_value();
    EXPECT_EQ(viWaitOnEvent(s, VI_EVENT_SERVICE_REQ, 5000, VI_NULL, VI_NULL), VI_SUCCESS);
    ViUInt16 stb = 0;
    EXPECT_EQ(viReadSTB(s, &stb), VI_SUCCESS);
    EXPECT_EQ(stb, 0x42);
    EXPECT_EQ(viWaitOnEvent(s, VI_EVENT_SERVICE_REQ, 5000, VI_NULL, VI_NULL), VI_SUCCESS);
  }
  instrument.join();
}

// A lock answer that comes after the client gave up belongs to that request:
// a later request that the server refuses is refused, with or without the
// reader that service requests start.
class HislipLateAnswers : public ::testing::TestWithParam<bool> {};

TEST_P(HislipLateAnswers, ALateLockAnswerNeverAnswersTheNextRequest) {
  const bool with_reader = GetParam();
  FakeServer server;
  std::promise<void> gave_up;
  std::thread instrument([&] {
    UniqueFd sync, async;
    AcceptSession(server, sync, async);
    Message m = FakeServer::Read(async);
    EXPECT_EQ(m.header.type, hislip::kAsyncLock);
    gave_up.get_future().wait();
    FakeServer::Write(async, hislip::kAsyncLockResponse, hislip::kLockSuccess, 0);  // too late
    m = FakeServer::Read(async);
    EXPECT_EQ(m.header.type, hislip::kAsyncLock);
    FakeServer::Write(async, hislip::kAsyncLockResponse, hislip::kLockFailure, 0);
    FakeServer::Read(async);  // the client goes
  });
  {
    testsupport::VisaSession s(server.resource());
    ASSERT_EQ(s.open_status(), VI_SUCCESS);
    if (with_reader) {
      ASSERT_EQ(viEnableEvent(s, VI_EVENT_SERVICE_REQ, VI_QUEUE, VI_NULL), VI_SUCCESS);
    }
    EXPECT_EQ(viLock(s, VI_EXCLUSIVE_LOCK, 1, VI_NULL, VI_NULL), VI_ERROR_TMO);  // no answer within 1 ms + margin
    gave_up.set_value();
    std::this_thread::sleep_for(std::chrono::milliseconds(100));  // the late answer is there first
    EXPECT_EQ(viLock(s, VI_EXCLUSIVE_LOCK, 300, VI_NULL, VI_NULL), VI_ERROR_TMO) << "the refusal is the answer";
  }
  instrument.join();
}

INSTANTIATE_TEST_SUITE_P(Reader, HislipLateAnswers, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "WithServiceRequests" : "Plain"; });

// A server that floods the asynchronous channel with messages no request
// asked for (here 1 MiB each, 1 GiB in all) costs the client no memory: what
// nobody waits for is dropped. The channel still answers the next request.
TEST(HislipWire, UnaskedMessagesAreDroppedNotQueued) {
  FakeServer server;
  std::promise<void> enabled, flooded;
  std::thread instrument([&] {
    UniqueFd sync, async;
    AcceptSession(server, sync, async);
    enabled.get_future().wait();
    const std::string big(1 << 20, 'x');
    const std::string flood = hislip::Encode(hislip::kAsyncDeviceClearAcknowledge, 0, 0, big);
    for (int i = 0; i < 1024; ++i) {
      if (::send(async.get(), flood.data(), flood.size(), MSG_NOSIGNAL) != static_cast<ssize_t>(flood.size())) break;
    }
    flooded.set_value();
    Message m = FakeServer::Read(async);
    EXPECT_EQ(m.header.type, hislip::kAsyncStatusQuery);
    FakeServer::Write(async, hislip::kAsyncStatusResponse, 0x42, 0);
    FakeServer::Read(async);
  });
  auto peak_kb = [] {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
      if (line.rfind("VmHWM:", 0) == 0) return std::stol(line.substr(6));
    return 0L;
  };
  {
    testsupport::VisaSession s(server.resource());
    ASSERT_EQ(s.open_status(), VI_SUCCESS);
    ASSERT_EQ(viEnableEvent(s, VI_EVENT_SERVICE_REQ, VI_QUEUE, VI_NULL), VI_SUCCESS);
    const long before = peak_kb();
    enabled.set_value();
    flooded.get_future().wait();
    std::this_thread::sleep_for(std::chrono::milliseconds(300));  // the reader takes in the last of it
    // Kept, the flood would be 1 GiB; AddressSanitizer alone holds up to 256 MiB of freed memory.
    EXPECT_LT(peak_kb() - before, 512 * 1024) << "the flood was kept";
    ViUInt16 stb = 0;
    EXPECT_EQ(viReadSTB(s, &stb), VI_SUCCESS);
    EXPECT_EQ(stb, 0x42);
  }
  instrument.join();
}

// A server that stalls in the middle of a message on the asynchronous channel
// does not hold viClose up: it returns within the session's timeout.
TEST(HislipWire, AStalledAsynchronousMessageDoesNotHoldClose) {
  FakeServer server;
  std::promise<void> closed;
  std::thread instrument([&] {
    UniqueFd sync, async;
    AcceptSession(server, sync, async);
    std::string half = hislip::Encode(hislip::kAsyncStatusResponse, 0, 0, std::string(100, 'x')).substr(0, 30);
    ::send(async.get(), half.data(), half.size(), MSG_NOSIGNAL);
    closed.get_future().wait();
  });
  {
    testsupport::VisaSession s(server.resource());
    ASSERT_EQ(s.open_status(), VI_SUCCESS);
    ASSERT_EQ(viSetAttribute(s, VI_ATTR_TMO_VALUE, 500), VI_SUCCESS);
    ASSERT_EQ(viEnableEvent(s, VI_EVENT_SERVICE_REQ, VI_QUEUE, VI_NULL), VI_SUCCESS);
    std::this_thread::sleep_for(std::chrono::milliseconds(100));  // the reader is inside the message
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(viClose(s.vi()), VI_SUCCESS);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(600));
  }
  closed.set_value();
  instrument.join();
}

UniqueFd Connect(unsigned port) {
  UniqueFd fd(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  a.sin_port = htons(static_cast<std::uint16_t>(port));
  EXPECT_EQ(::connect(fd.get(), reinterpret_cast<sockaddr*>(&a), sizeof a), 0);
  return fd;
}

// The emulator's server turns away what is not HiSLIP, or out of order, with
// a fatal error naming the reason, and then closes the connection.
TEST(HislipWire, TheEmulatorRejectsBadOpeningsWithAFatalError) {
  emulator::ScriptedInstrument instrument;
  emulator::HislipServer server(instrument, nullptr);
  ASSERT_EQ(server.start("127.0.0.1", 0), "");
  struct Case {
    std::string opening;
    std::uint8_t code;
  } cases[] = {
      {"GET / HTTP/1.1\r\n\r\n", 1},                                   // not a HiSLIP header
      {hislip::Encode(hislip::kAsyncInitialize, 0, 0x7777), 3},          // no such session
      {hislip::Encode(hislip::kDataEnd, 0, 0xFFFFFF00u, "*IDN?\n"), 3},  // data before Initialize
      {hislip::Encode(hislip::kInitialize, 0, 0x01000000, "hislip3"), 3},  // no such device
  };
  for (const Case& c : cases) {
    UniqueFd fd = Connect(server.port());
    ASSERT_EQ(::send(fd.get(), c.opening.data(), c.opening.size(), MSG_NOSIGNAL),
              static_cast<ssize_t>(c.opening.size()));
    Message m = FakeServer::Read(fd);
    EXPECT_EQ(m.header.type, hislip::kFatalError) << c.opening;
    EXPECT_EQ(m.header.control, c.code) << c.opening;
    EXPECT_FALSE(m.payload.empty());
    char byte;
    // An orderly close, or a reset when the server left bytes unread.
    EXPECT_LE(::recv(fd.get(), &byte, 1, 0), 0) << "still open after a fatal error";
  }
}

// A raw client holding the emulator's lock keeps our library's sessions out
// until it lets go; a shared lock admits only the same lock string.
TEST(HislipWire, TheEmulatorsLockHoldsBetweenClients) {
  emulator::ScriptedInstrument instrument;
  emulator::HislipServer server(instrument, nullptr);
  ASSERT_EQ(server.start("127.0.0.1", 0), "");
  UniqueFd sync = Connect(server.port());
  FakeServer::Write(sync, hislip::kInitialize, 0, 0x01000000, "hislip0");
  Message m = FakeServer::Read(sync);
  ASSERT_EQ(m.header.type, hislip::kInitializeResponse);
  UniqueFd async = Connect(server.port());
  FakeServer::Write(async, hislip::kAsyncInitialize, 0, m.header.parameter & 0xFFFF);
  ASSERT_EQ(FakeServer::Read(async).header.type, hislip::kAsyncInitializeResponse);
  auto lock = [&](std::uint8_t control, std::uint32_t parameter, const std::string& key) {
    FakeServer::Write(async, hislip::kAsyncLock, control, parameter, key);
    Message answer = FakeServer::Read(async);
    EXPECT_EQ(answer.header.type, hislip::kAsyncLockResponse);
    return answer.header.control;
  };
  ASSERT_EQ(lock(hislip::kLockRequest, 0, ""), hislip::kLockSuccess);
  EXPECT_EQ(lock(hislip::kLockRequest, 0, ""), hislip::kLockError) << "already held";

  const std::string resource = "TCPIP0::127.0.0.1::hislip0," + std::to_string(server.port()) + "::INSTR";
  testsupport::VisaSession s(resource);
  ASSERT_EQ(s.open_status(), VI_SUCCESS);
  auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(viLock(s, VI_EXCLUSIVE_LOCK, 200, VI_NULL, VI_NULL), VI_ERROR_TMO);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(200 + 1000));
  FakeServer::Write(async, hislip::kAsyncLockInfo, 0, 0);
  m = FakeServer::Read(async);
  EXPECT_EQ(m.header.type, hislip::kAsyncLockInfoResponse);
  EXPECT_EQ(m.header.control, 1) << "the exclusive lock is held";
  EXPECT_EQ(m.header.parameter, 1u) << "by one client";

  // Released while our request waits: it is granted.
  std::thread release([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_EQ(lock(hislip::kLockRelease, 0, ""), hislip::kLockSuccess);
  });
  EXPECT_EQ(viLock(s, VI_EXCLUSIVE_LOCK, 5000, VI_NULL, VI_NULL), VI_SUCCESS);
  release.join();
  EXPECT_EQ(lock(hislip::kLockRequest, 50, "k"), hislip::kLockFailure) << "exclusive beats shared";
  EXPECT_EQ(viUnlock(s), VI_SUCCESS);

  ASSERT_EQ(lock(hislip::kLockRequest, 0, "k"), hislip::kLockSuccess);
  ViChar key[256] = "";
  EXPECT_EQ(viLock(s, VI_SHARED_LOCK, 100, "other", key), VI_ERROR_TMO);
  EXPECT_EQ(viLock(s, VI_SHARED_LOCK, 100, "k", key), VI_SUCCESS);
  EXPECT_EQ(viUnlock(s), VI_SUCCESS);
  EXPECT_EQ(lock(hislip::kLockRelease, 0, ""), hislip::kLockSharedReleased);
  EXPECT_EQ(lock(hislip::kLockRelease, 0, ""), hislip::kLockError) << "nothing left to release";
}

}  // namespace
