// SPDX-License-Identifier: MIT
// GPIB through a "++" adapter, by the VISA C API against the emulator's
// adapter and bus over loopback: the adapter's open sequence from either
// firmware family's defaults, the exact bytes on the bus, how reads end, two
// instruments on one board, stale replies, the status byte and its request
// for service, the bus controls, boards from the configuration file, and a
// lost adapter.
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "gpib_bus.h"
#include "prologix_adapter.h"
#include "serial_server.h"
#include "socket_server.h"
#include "qdx_instrument.h"
#include "scripted_instrument.h"
#include "support/visa_session.h"
#include "visa.h"

namespace {

using emulator::AdapterFirmware;
using testsupport::VisaSession;
using Lines = std::vector<std::string>;

// A device that keeps every byte it is sent, with where EOI came, and talks
// each message back as it was sent.
class EchoDevice final : public emulator::Instrument {
 public:
  std::string received;
  std::vector<std::size_t> eoi_after;  // offsets in `received` just past a byte sent with EOI

  std::unique_ptr<emulator::Connection> connect() override { return std::make_unique<Echo>(*this); }

 private:
  class Echo final : public emulator::Connection {
   public:
    explicit Echo(EchoDevice& device) : device_(device) {}
    void on_line(std::string_view, emulator::Client&) override {}
    bool takes_bytes() const override { return true; }
    void on_bytes(std::string_view bytes, bool end, emulator::Client& client) override {
      device_.received.append(bytes);
      message_.append(bytes);
      if (!end) return;
      device_.eoi_after.push_back(device_.received.size());
      client.send(message_);
      message_.clear();
    }

   private:
    EchoDevice& device_;
    std::string message_;
  };
};

// A bus with a QDX at 5, a scripted instrument at 7 and an echo device at 9,
// behind an adapter of the given firmware.
class GpibBench {
 public:
  explicit GpibBench(AdapterFirmware firmware) : adapter_(bus_, firmware, &commands) {
    bus_.attach(5, qdx_, &at5);
    bus_.attach(7, scripted, &at7);
    bus_.attach(9, echo, nullptr);
    scripted.on("*IDN?", "Scripted,Seven,0,1", emulator::ScriptedInstrument::kForever);
    error_ = server_.start("127.0.0.1", 0);
  }
  const std::string& error() const { return error_; }
  std::string intfc(unsigned board = 0) const {
    return "PRLGX-TCPIP" + std::to_string(board) + "::127.0.0.1::" + std::to_string(server_.port()) + "::INTFC";
  }
  unsigned port() const { return server_.port(); }
  void stop() { server_.stop(); }

  emulator::Transcript at5, at7, commands;
  emulator::ScriptedInstrument scripted;
  EchoDevice echo;

 private:
  emulator::QdxInstrument qdx_{emulator::QdxOptions{}};
  emulator::GpibBus bus_;  // after the instruments it holds connections to
  emulator::GpibAdapterInstrument adapter_;
  emulator::SocketServer server_{adapter_, nullptr};
  std::string error_;
};

std::string Query(ViSession vi, const char* command, ViStatus* status = nullptr) {
  char reply[256] = "";
  ViStatus st = viQueryf(vi, command, "%255[^\n]", reply);
  if (status != nullptr) *status = st;
  return reply;
}

class VisaGpib : public ::testing::TestWithParam<AdapterFirmware> {
 protected:
  void SetUp() override {
    ASSERT_TRUE(bench.error().empty()) << bench.error();
    ASSERT_EQ(board.open_status(), VI_SUCCESS);
  }
  GpibBench bench{GetParam()};
  VisaSession board{bench.intfc(), false};
};

TEST_P(VisaGpib, OpeningSetsEverySettingTheFamiliesDisagreeOn) {
  Lines expected = {"++ver", "++mode 1", "++auto 0", "++eoi 1", "++eos 3", "++eot_enable 1", "++eot_char 255",
                    "++read_tmo_ms 100"};
  // Only Prologix firmware takes "++savecfg 0" (to stop saving each setting to its EEPROM).
  if (GetParam() == AdapterFirmware::Prologix) expected.insert(expected.begin() + 1, "++savecfg 0");
  ASSERT_TRUE(bench.commands.wait_for(expected.size(), std::chrono::seconds(2)));
  EXPECT_EQ(bench.commands.lines(), expected);
  VisaSession psu("GPIB0::5::INSTR");
  ASSERT_EQ(psu.open_status(), VI_SUCCESS);
  EXPECT_EQ(Query(psu, "*IDN?\n"), "Halmeric,QDX7001,QDX7001-000001,1.00");
  EXPECT_EQ(bench.at5.lines(), Lines{"*IDN?"});
  char text[256] = "";
  ASSERT_EQ(viGetAttribute(board, VI_ATTR_INTF_INST_NAME, text), VI_SUCCESS);
  EXPECT_STREQ(text, "GPIB0 (\"++\" adapter)");
}

TEST_P(VisaGpib, TheBytesOnTheBusAreTheBytesWrittenAndTalkedBack) {
  VisaSession echo("GPIB0::9::INSTR", false);
  ASSERT_EQ(echo.open_status(), VI_SUCCESS);
  const std::string payloads[] = {
      "*IDN?\n", "a\r\nb\r", std::string("\x1b+\x1b++", 5), "++ver\n",  // looks like an adapter command
      std::string("#16\x00\xff\x01\xff\x0a\x2b", 10),                    // a binary block, 0xFF inside
  };
  std::size_t offset = 0;
  for (const std::string& payload : payloads) {
    ViUInt32 count = 0;
    ASSERT_EQ(viWrite(echo, reinterpret_cast<ViConstBuf>(payload.data()), static_cast<ViUInt32>(payload.size()), &count),
              VI_SUCCESS);
    EXPECT_EQ(count, payload.size());
    char back[64] = {};
    ASSERT_EQ(viRead(echo, reinterpret_cast<ViBuf>(back), sizeof back, &count), VI_SUCCESS);  // ended by EOI
    EXPECT_EQ(std::string(back, count), payload);
    offset += payload.size();
    EXPECT_EQ(bench.echo.received.size(), offset);
    EXPECT_EQ(bench.echo.eoi_after.back(), offset) << "EOI comes with the last byte";
  }
  EXPECT_EQ(bench.echo.received.substr(6, 6), "a\r\nb\r\x1b");
  // Without VI_ATTR_SEND_END_EN the bytes go without EOI, until a write with it ends the message.
  ASSERT_EQ(viSetAttribute(echo, VI_ATTR_SEND_END_EN, VI_FALSE), VI_SUCCESS);
  ViUInt32 count = 0;
  ASSERT_EQ(viWrite(echo, reinterpret_cast<ViConstBuf>("part "), 5, &count), VI_SUCCESS);
  EXPECT_EQ(bench.echo.eoi_after.size(), std::size(payloads));
  ASSERT_EQ(viSetAttribute(echo, VI_ATTR_SEND_END_EN, VI_TRUE), VI_SUCCESS);
  ASSERT_EQ(viWrite(echo, reinterpret_cast<ViConstBuf>("two"), 3, &count), VI_SUCCESS);
  char back[16] = {};
  ASSERT_EQ(viRead(echo, reinterpret_cast<ViBuf>(back), sizeof back, &count), VI_SUCCESS);
  EXPECT_EQ(std::string(back, count), "part two");
}

TEST_P(VisaGpib, ReadsEndAtEoiTheTerminationCharacterOrTheCount) {
  VisaSession echo("GPIB0::9::INSTR", false);
  ASSERT_EQ(echo.open_status(), VI_SUCCESS);
  ViUInt32 count = 0;
  ASSERT_EQ(viWrite(echo, reinterpret_cast<ViConstBuf>("ab\ncdefg"), 8, &count), VI_SUCCESS);
  ASSERT_EQ(viSetAttribute(echo, VI_ATTR_TERMCHAR_EN, VI_TRUE), VI_SUCCESS);
  char back[16] = {};
  ASSERT_EQ(viRead(echo, reinterpret_cast<ViBuf>(back), sizeof back, &count), VI_SUCCESS_TERM_CHAR);
  EXPECT_EQ(std::string(back, count), "ab\n");
  ASSERT_EQ(viRead(echo, reinterpret_cast<ViBuf>(back), 2, &count), VI_SUCCESS_MAX_CNT);
  EXPECT_EQ(std::string(back, count), "cd");
  ASSERT_EQ(viRead(echo, reinterpret_cast<ViBuf>(back), sizeof back, &count), VI_SUCCESS);
  EXPECT_EQ(std::string(back, count), "efg");
}

TEST_P(VisaGpib, TwoInstrumentsOnOneBoardFromTwoThreadsNeverCrossTalk) {
  VisaSession psu("GPIB0::5::INSTR"), other("GPIB0::7::INSTR");
  ASSERT_EQ(psu.open_status(), VI_SUCCESS);
  ASSERT_EQ(other.open_status(), VI_SUCCESS);
  constexpr int kRounds = 60;
  auto ask = [](ViSession vi, const std::string& expected, int& wrong) {
    for (int i = 0; i < kRounds; ++i) wrong += Query(vi, "*IDN?\n") != expected;
  };
  int wrong5 = 0, wrong7 = 0;
  std::thread a(ask, psu.vi(), "Halmeric,QDX7001,QDX7001-000001,1.00", std::ref(wrong5));
  std::thread b(ask, other.vi(), "Scripted,Seven,0,1", std::ref(wrong7));
  a.join();
  b.join();
  EXPECT_EQ(wrong5, 0);
  EXPECT_EQ(wrong7, 0);
  EXPECT_EQ(bench.at5.lines().size(), static_cast<std::size_t>(kRounds));
  EXPECT_EQ(bench.at7.lines().size(), static_cast<std::size_t>(kRounds));
}

TEST_P(VisaGpib, AReplyTooLateForItsReadNeverAnswersTheNextQuery) {
  VisaSession slow("GPIB0::7::INSTR");
  ASSERT_EQ(slow.open_status(), VI_SUCCESS);
  bench.scripted.on("SLOW?", "late", 1, emulator::Fault::delayed(std::chrono::milliseconds(400)));
  slow.set_timeout(150);
  const auto start = std::chrono::steady_clock::now();
  ViStatus st = VI_SUCCESS;
  Query(slow, "SLOW?\n", &st);
  EXPECT_EQ(st, VI_ERROR_TMO);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(150 + 100));
  slow.set_timeout(2000);
  EXPECT_EQ(Query(slow, "*IDN?\n"), "Scripted,Seven,0,1");
}

TEST_P(VisaGpib, ASerialPollReadsTheStatusByteAndClearsTheRequestForService) {
  VisaSession psu("GPIB0::5::INSTR");
  ASSERT_EQ(psu.open_status(), VI_SUCCESS);
  ViUInt16 stb = 0xFFFF;
  ASSERT_EQ(viReadSTB(psu, &stb), VI_SUCCESS);
  EXPECT_EQ(stb, 0);
  // An operation complete event, summarised in the status byte, requests service.
  ASSERT_EQ(viPrintf(psu, "*ESE 1;*SRE 32;*OPC\n"), VI_SUCCESS);
  ASSERT_EQ(viReadSTB(psu, &stb), VI_SUCCESS);
  EXPECT_EQ(stb, 0x20 | 0x40) << "ESB and RQS";
  ASSERT_EQ(viReadSTB(psu, &stb), VI_SUCCESS);
  EXPECT_EQ(stb, 0x20) << "the poll cleared RQS";
  // Only the polled device sees the poll.
  EXPECT_EQ(bench.at5.lines(), Lines{"*ESE 1;*SRE 32;*OPC"});
}

TEST_P(VisaGpib, AServiceRequestReachesTheSessionOfTheDeviceThatAsked) {
  VisaSession psu("GPIB0::5::INSTR"), other("GPIB0::7::INSTR");
  ASSERT_EQ(psu.open_status(), VI_SUCCESS);
  ASSERT_EQ(other.open_status(), VI_SUCCESS);
  for (ViSession vi : {psu.vi(), other.vi()})
    ASSERT_EQ(viEnableEvent(vi, VI_EVENT_SERVICE_REQ, VI_QUEUE, VI_NULL), VI_SUCCESS);
  ASSERT_EQ(viPrintf(psu, "*ESE 1;*SRE 32;*OPC\n"), VI_SUCCESS);
  ViEventType type = 0;
  ASSERT_EQ(viWaitOnEvent(psu, VI_EVENT_SERVICE_REQ, 2000, &type, VI_NULL), VI_SUCCESS);
  EXPECT_EQ(type, static_cast<ViEventType>(VI_EVENT_SERVICE_REQ));
  EXPECT_EQ(viWaitOnEvent(other, VI_EVENT_SERVICE_REQ, 200, &type, VI_NULL), VI_ERROR_TMO);
  // The poll that found the request keeps the byte for the device's next status read.
  ViUInt16 stb = 0;
  ASSERT_EQ(viReadSTB(psu, &stb), VI_SUCCESS);
  EXPECT_EQ(stb, 0x20 | 0x40);
  ASSERT_EQ(viReadSTB(psu, &stb), VI_SUCCESS);
  EXPECT_EQ(stb, 0x20);
  // Polling never takes a reply a session is reading: queries go on as before.
  EXPECT_EQ(Query(psu, "*IDN?\n"), "Halmeric,QDX7001,QDX7001-000001,1.00");
  EXPECT_EQ(Query(other, "*IDN?\n"), "Scripted,Seven,0,1");
  for (ViSession vi : {psu.vi(), other.vi()}) EXPECT_EQ(viDisableEvent(vi, VI_ALL_ENABLED_EVENTS, VI_ALL_MECH), VI_SUCCESS);
}

TEST_P(VisaGpib, BusControlsReachTheAddressedDevice) {
  VisaSession psu("GPIB0::5::INSTR"), other("GPIB0::7::INSTR");
  ASSERT_EQ(psu.open_status(), VI_SUCCESS);
  ASSERT_EQ(other.open_status(), VI_SUCCESS);
  EXPECT_EQ(viClear(psu), VI_SUCCESS);
  EXPECT_EQ(viAssertTrigger(other, VI_TRIG_PROT_DEFAULT), VI_SUCCESS);
  EXPECT_EQ(viGpibControlREN(psu, VI_GPIB_REN_ADDRESS_GTL), VI_SUCCESS);
  EXPECT_EQ(viGpibControlREN(other, VI_GPIB_REN_ASSERT_ADDRESS_LLO), VI_SUCCESS);
  EXPECT_EQ(viGpibControlREN(psu, VI_GPIB_REN_DEASSERT), VI_ERROR_NSUP_OPER) << "the adapter keeps REN asserted";
  EXPECT_EQ(viGpibSendIFC(psu), VI_ERROR_NSUP_OPER) << "interface clear is the board's";
  EXPECT_EQ(viGpibSendIFC(board), VI_SUCCESS);
  // The adapter carries them out in order, after the calls return.
  ASSERT_TRUE(bench.at5.wait_for(4, std::chrono::seconds(2)));
  ASSERT_TRUE(bench.at7.wait_for(3, std::chrono::seconds(2)));
  EXPECT_EQ(bench.at5.lines(), (Lines{"<clear>", "<go to local>", "<local lockout>", "<interface clear>"}));
  EXPECT_EQ(bench.at7.lines(), (Lines{"<trigger>", "<local lockout>", "<interface clear>"}));
  char byte = 0;
  ViUInt32 count = 0;
  EXPECT_EQ(viRead(board, reinterpret_cast<ViBuf>(&byte), 1, &count), VI_ERROR_NSUP_OPER);
}

TEST_P(VisaGpib, ABoardIsDeclaredByOneSessionAtATime) {
  VisaSession again(bench.intfc());
  EXPECT_EQ(again.open_status(), VI_ERROR_RSRC_BUSY);
  VisaSession other_board(bench.intfc(3));
  ASSERT_EQ(other_board.open_status(), VI_SUCCESS);
  VisaSession psu("GPIB3::5::INSTR");
  ASSERT_EQ(psu.open_status(), VI_SUCCESS);
  EXPECT_EQ(Query(psu, "*IDN?\n"), "Halmeric,QDX7001,QDX7001-000001,1.00");
}

INSTANTIATE_TEST_SUITE_P(Firmware, VisaGpib, ::testing::Values(AdapterFirmware::Prologix, AdapterFirmware::Ar488),
                         [](const auto& info) {
                           return info.param == AdapterFirmware::Prologix ? "Prologix" : "Ar488";
                         });

// An instrument that thinks for a second holds the adapter: the read waits
// for it rather than queue requests that would each cost the adapter its read
// timeout afterwards. A version request tells a busy adapter from one that
// gave up; one that gave up (nobody talks) is asked to read again, once per answer.
TEST_P(VisaGpib, ABusyAdapterIsWaitedForAndOneThatGaveUpIsAskedAgain) {
  VisaSession slow("GPIB0::7::INSTR");
  ASSERT_EQ(slow.open_status(), VI_SUCCESS);
  EXPECT_EQ(Query(slow, "*IDN?\n"), "Scripted,Seven,0,1");
  bench.scripted.on("SLOW?", "late", 1, emulator::Fault::delayed(std::chrono::milliseconds(1200)));
  slow.set_timeout(5000);
  const std::size_t before = bench.commands.lines().size();
  EXPECT_EQ(Query(slow, "SLOW?\n"), "late");
  EXPECT_EQ(Query(slow, "*IDN?\n"), "Scripted,Seven,0,1");
  Lines sent = bench.commands.lines();
  EXPECT_EQ(Lines(sent.begin() + static_cast<std::ptrdiff_t>(before), sent.end()),
            (Lines{"++read eoi", "++ver", "++read eoi"}));

  // Nobody talks: each request to read again follows the answer that showed the adapter idle.
  slow.set_timeout(900);
  char byte = 0;
  ViUInt32 count = 0;
  const std::size_t silent_from = bench.commands.lines().size();
  EXPECT_EQ(viRead(slow, reinterpret_cast<ViBuf>(&byte), 1, &count), VI_ERROR_TMO);
  slow.set_timeout(2000);
  EXPECT_EQ(Query(slow, "*IDN?\n"), "Scripted,Seven,0,1");
  sent = bench.commands.lines();
  const Lines silent(sent.begin() + static_cast<std::ptrdiff_t>(silent_from), sent.end());
  ASSERT_GE(silent.size(), 5u);
  for (std::size_t i = 1; i + 3 < silent.size(); ++i)
    EXPECT_EQ(silent[i], silent[i - 1] == "++read eoi" ? "++ver" : "++read eoi") << "at " << i;
  EXPECT_EQ(silent.front(), "++read eoi");
  EXPECT_EQ(silent.back(), "++read eoi") << "the query after the timeout";
}

// A status poll whose answer comes too late for it (the adapter held by a
// slow instrument) leaves that answer on its way: it never becomes part of
// the reply the next read asks for. Polls 300 ms apart: the first gives up
// after its second, and the read starts before the next.
TEST_P(VisaGpib, AServicePollAnsweredTooLateNeverJoinsAReply) {
  const std::string path = "/tmp/zevra-gpib-poll-" + std::to_string(getpid()) + ".conf";
  std::ofstream(path) << "gpib-srq-interval 300\n";
  setenv("ZEVRA_VISA_CONF", path.c_str(), 1);
  {
    VisaSession slow("GPIB0::7::INSTR"), psu("GPIB0::5::INSTR");
    ASSERT_EQ(slow.open_status(), VI_SUCCESS);
    ASSERT_EQ(psu.open_status(), VI_SUCCESS);
    bench.scripted.on("SLOW?", "late", 1, emulator::Fault::delayed(std::chrono::milliseconds(2500)));
    const std::size_t before = bench.commands.lines().size();
    ASSERT_EQ(viEnableEvent(psu, VI_EVENT_SERVICE_REQ, VI_QUEUE, VI_NULL), VI_SUCCESS);
    ASSERT_EQ(viPrintf(slow, "SLOW?\n"), VI_SUCCESS);
    std::this_thread::sleep_for(std::chrono::milliseconds(1400));
    slow.set_timeout(4000);
    char reply[64] = "";
    ASSERT_EQ(viScanf(slow, "%63[^\n]", reply), VI_SUCCESS);
    EXPECT_STREQ(reply, "late");
    EXPECT_EQ(Query(psu, "*IDN?\n"), "Halmeric,QDX7001,QDX7001-000001,1.00");
    EXPECT_EQ(viDisableEvent(psu, VI_ALL_ENABLED_EVENTS, VI_ALL_MECH), VI_SUCCESS);
    const Lines sent = bench.commands.lines();
    const auto read = std::find(sent.begin() + static_cast<std::ptrdiff_t>(before), sent.end(), "++read eoi");
    EXPECT_NE(std::find(sent.begin() + static_cast<std::ptrdiff_t>(before), read, "++srq"), read)
        << "a poll was asked while the instrument thought";
  }
  unsetenv("ZEVRA_VISA_CONF");
  std::remove(path.c_str());
}

TEST(VisaGpibBoards, TheConfigurationFileDeclaresBoards) {
  GpibBench bench(AdapterFirmware::Prologix);
  ASSERT_TRUE(bench.error().empty()) << bench.error();
  const std::string path = "/tmp/zevra-gpib-" + std::to_string(getpid()) + ".conf";
  std::ofstream(path) << "discovery-window 0\n"
                      << "gpib-board 1 prologix tcp 127.0.0.1:" << bench.port() << "\n"
                      << "gpib-board 2 linux-gpib 0\n"
                      << "resource GPIB1::7::INSTR\n";
  setenv("ZEVRA_VISA_CONF", path.c_str(), 1);
  {
    // The boards are listed as interfaces, instruments only as the file names them.
    ViSession rm = VI_NULL, list = VI_NULL;
    ViUInt32 count = 0;
    char name[VI_FIND_BUFLEN] = "";
    ASSERT_EQ(viOpenDefaultRM(&rm), VI_SUCCESS);
    ASSERT_EQ(viFindRsrc(rm, "GPIB?*", &list, &count, name), VI_SUCCESS);
    Lines found{name};
    while (viFindNext(list, name) == VI_SUCCESS) found.push_back(name);
    EXPECT_EQ(found, (Lines{"GPIB1::7::INSTR", "GPIB1::INTFC", "GPIB2::INTFC"}));
    viClose(rm);
  }
  {
    VisaSession psu("GPIB1::5::INSTR");
    ASSERT_EQ(psu.open_status(), VI_SUCCESS);
    EXPECT_EQ(Query(psu, "*IDN?\n"), "Halmeric,QDX7001,QDX7001-000001,1.00");
    VisaSession board("GPIB1::INTFC");
    ASSERT_EQ(board.open_status(), VI_SUCCESS);
    EXPECT_EQ(viGpibSendIFC(board), VI_SUCCESS);
    VisaSession linux_gpib("GPIB2::5::INSTR");
    EXPECT_EQ(linux_gpib.open_status(), VI_ERROR_RSRC_NFOUND);
    VisaSession undeclared("GPIB4::5::INSTR");
    EXPECT_EQ(undeclared.open_status(), VI_ERROR_RSRC_NFOUND);
  }
  unsetenv("ZEVRA_VISA_CONF");
  std::remove(path.c_str());
}

TEST(VisaGpibBoards, AnAdapterOnASerialLine) {
  emulator::QdxInstrument qdx{emulator::QdxOptions{}};
  emulator::Transcript lines;
  emulator::GpibBus bus;
  bus.attach(12, qdx, &lines);
  emulator::GpibAdapterInstrument adapter(bus, AdapterFirmware::Ar488);
  emulator::SerialServer line(adapter, nullptr);
  ASSERT_EQ(line.start(115200), "");
  VisaSession board("PRLGX-ASRL4::" + line.path() + "::INTFC", false);
  ASSERT_EQ(board.open_status(), VI_SUCCESS);
  VisaSession psu("GPIB4::12::INSTR");
  ASSERT_EQ(psu.open_status(), VI_SUCCESS);
  EXPECT_EQ(Query(psu, "*IDN?\n"), "Halmeric,QDX7001,QDX7001-000001,1.00");
  ViUInt16 stb = 0xFF;
  EXPECT_EQ(viReadSTB(psu, &stb), VI_SUCCESS);
  EXPECT_EQ(stb, 0);
  EXPECT_EQ(lines.lines(), Lines{"*IDN?"});
}

// A board the kernel drives, through linux-gpib's user library (a stand-in
// built in the test tree, which logs the calls it gets).
TEST(VisaGpibBoards, ALinuxGpibBoardThroughItsLibrary) {
  const std::string path = "/tmp/zevra-linux-gpib-" + std::to_string(getpid()) + ".conf";
  std::ofstream(path) << "gpib-board 6 linux-gpib 2\ngpib-board 8 linux-gpib 0\n";
  setenv("ZEVRA_VISA_CONF", path.c_str(), 1);
  setenv("ZEVRA_LINUX_GPIB_LIBRARY", "/nonexistent/libgpib.so.0", 1);
  {
    VisaSession absent("GPIB8::1::INSTR");
    EXPECT_EQ(absent.open_status(), VI_ERROR_RSRC_NFOUND) << "no library, no board";
  }
  setenv("ZEVRA_LINUX_GPIB_LIBRARY", FAKE_LIBGPIB_PATH, 1);
  {
    VisaSession dev("GPIB6::9::INSTR"), board("GPIB6::INTFC");
    ASSERT_EQ(dev.open_status(), VI_SUCCESS);
    ASSERT_EQ(board.open_status(), VI_SUCCESS);
    EXPECT_EQ(Query(dev, "*IDN?\n"), "FAKE,GPIB,9,1");
    ViUInt16 stb = 0xFF;
    ASSERT_EQ(viPrintf(dev, "SRQ\n"), VI_SUCCESS);
    ASSERT_EQ(viReadSTB(dev, &stb), VI_SUCCESS);
    EXPECT_EQ(stb, 0x40);
    EXPECT_EQ(viClear(dev), VI_SUCCESS);
    EXPECT_EQ(viAssertTrigger(dev, VI_TRIG_PROT_DEFAULT), VI_SUCCESS);
    EXPECT_EQ(viGpibControlREN(dev, VI_GPIB_REN_ASSERT_LLO), VI_SUCCESS);
    EXPECT_EQ(viGpibControlREN(dev, VI_GPIB_REN_ADDRESS_GTL), VI_SUCCESS);
    EXPECT_EQ(viGpibSendIFC(board), VI_SUCCESS);
    dev.set_timeout(100);
    char byte = 0;
    ViUInt32 count = 0;
    EXPECT_EQ(viRead(dev, reinterpret_cast<ViBuf>(&byte), 1, &count), VI_ERROR_TMO);
  }
  unsetenv("ZEVRA_LINUX_GPIB_LIBRARY");
  unsetenv("ZEVRA_VISA_CONF");
  std::remove(path.c_str());
  void* library = dlopen(FAKE_LIBGPIB_PATH, RTLD_NOW | RTLD_NOLOAD);
  ASSERT_NE(library, nullptr);
  auto log = reinterpret_cast<const char* (*)()>(dlsym(library, "fake_gpib_log"));
  ASSERT_NE(log, nullptr);
  EXPECT_EQ(std::string(log()),
            "ibdev 2 9 0\n"
            "ibwrt 9 *IDN?\\n EOI\n"
            "ibeos 9 0x40A\n"  // the session's termination character ends ibrd
            "ibrd 9 14\n"
            "ibwrt 9 SRQ\\n EOI\n"
            "ibrsp 9\n"
            "ibclr 9\n"
            "ibtrg 9\n"
            "ibsre 2 1\n"
            "ibcmd 2 17\n"
            "ibloc 9\n"
            "ibsic 2 0\n"
            "ibrd 9 0\n");
  dlclose(library);
}

TEST(VisaGpibBoards, ALostAdapterIsALostConnection) {
  GpibBench bench(AdapterFirmware::Prologix);
  ASSERT_TRUE(bench.error().empty()) << bench.error();
  VisaSession board(bench.intfc(), false);
  ASSERT_EQ(board.open_status(), VI_SUCCESS);
  VisaSession psu("GPIB0::5::INSTR");
  ASSERT_EQ(psu.open_status(), VI_SUCCESS);
  EXPECT_EQ(Query(psu, "*IDN?\n"), "Halmeric,QDX7001,QDX7001-000001,1.00");
  bench.stop();
  psu.set_timeout(500);
  ViStatus st = VI_SUCCESS;
  Query(psu, "*IDN?\n", &st);
  EXPECT_EQ(st, VI_ERROR_CONN_LOST);
}

}  // namespace
