// SPDX-License-Identifier: MIT
// The serial port under ASRL sessions, against the emulator's serial line
// named by ZEVRA_TEST_SERIAL_PORT (on Windows a COM port the test script maps
// to the emulator's pseudo-terminal): exact replies, many queries in one
// write, a read with nothing to read ending at its deadline, discarding,
// settings a port cannot take, the refusals, and the ports resource names reach. Written for any system; the
// Windows build runs it under Wine against the Linux emulator.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <string>

#include "discovery.h"
#include "resource_name.h"
#include "serial_line.h"
#include "visa.h"

namespace {

using visa::Deadline;
using visa::SerialLine;
using visa::SerialSettings;
using Clock = std::chrono::steady_clock;

const char kIdentity[] = "Halmeric,QDX7001,QDX7001-000001,1.00\n";

class SerialLineTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* port = std::getenv("ZEVRA_TEST_SERIAL_PORT");
    if (port == nullptr) GTEST_SKIP() << "ZEVRA_TEST_SERIAL_PORT (the emulator's serial line) is not set";
    device = port;
    std::string why;
    ASSERT_EQ(SerialLine::open(device, line, why), VI_SUCCESS) << why;
    ASSERT_EQ(line.apply(SerialSettings{}), VI_SUCCESS);
    line.discard(true, true);
  }

  std::string ReadLine(Deadline deadline) {
    std::string text;
    char c = 0;
    std::size_t got = 0;
    while (text.empty() || text.back() != '\n') {
      if (line.read_some(&c, 1, deadline, got) != VI_SUCCESS) break;
      text += c;
    }
    return text;
  }

  ViStatus Send(const std::string& text) { return line.write_all(text.data(), text.size(), Deadline::after_ms(2000)); }

  std::string device;
  SerialLine line;
};

TEST_F(SerialLineTest, AnswersAQueryExactly) {
  ASSERT_EQ(Send("*IDN?\n"), VI_SUCCESS);
  EXPECT_EQ(ReadLine(Deadline::after_ms(2000)), kIdentity);
}

TEST_F(SerialLineTest, ManyQueriesInOneWriteAreAnsweredInOrder) {
  std::string queries;
  for (int i = 0; i < 200; ++i) queries += i % 2 == 0 ? "*OPC?\n" : "*ESR?\n";
  ASSERT_EQ(Send(queries), VI_SUCCESS);
  for (int i = 0; i < 200; ++i) {
    ASSERT_EQ(ReadLine(Deadline::after_ms(2000)), i % 2 == 0 ? "1\n" : "0\n") << "reply " << i;
  }
}

TEST_F(SerialLineTest, AReadWithNothingToReadEndsAtItsDeadline) {
  char c = 0;
  std::size_t got = 0;
  const auto start = Clock::now();
  EXPECT_EQ(line.read_some(&c, 1, Deadline::after_ms(300), got), VI_ERROR_TMO);
  const auto waited = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
  EXPECT_EQ(got, 0u);
  EXPECT_GE(waited, 290);
  EXPECT_LT(waited, 450);
}

TEST_F(SerialLineTest, DiscardingDropsWhatArrived) {
  ASSERT_EQ(Send("*IDN?\n"), VI_SUCCESS);
  const auto until = Clock::now() + std::chrono::seconds(2);
  while (line.bytes_waiting() < sizeof kIdentity - 1 && Clock::now() < until) {
  }
  EXPECT_EQ(line.bytes_waiting(), sizeof kIdentity - 1);
  line.discard(true, false);
  EXPECT_EQ(line.bytes_waiting(), 0u);
  char c = 0;
  std::size_t got = 0;
  EXPECT_EQ(line.read_some(&c, 1, Deadline::after_ms(100), got), VI_ERROR_TMO);
  // The port still works afterwards.
  ASSERT_EQ(Send("*OPC?\n"), VI_SUCCESS);
  EXPECT_EQ(ReadLine(Deadline::after_ms(2000)), "1\n");
}

TEST_F(SerialLineTest, SettingsThePortCannotTakeAreRefused) {
  struct Case {
    const char* what;
    SerialSettings settings;
  };
  SerialSettings nine_bits;
  nine_bits.data_bits = 9;
  SerialSettings one_and_a_half_with_eight;
  one_and_a_half_with_eight.stop_bits = VI_ASRL_STOP_ONE5;
  SerialSettings unknown_parity;
  unknown_parity.parity = 7;
  for (const Case& c : {Case{"nine data bits", nine_bits}, Case{"1.5 stop bits with 8 data bits", one_and_a_half_with_eight},
                        Case{"an unknown parity", unknown_parity}}) {
    EXPECT_EQ(line.apply(c.settings), VI_ERROR_NSUP_ATTR_STATE) << c.what;
  }
  // A refused setting changed nothing: the line still answers.
  ASSERT_EQ(Send("*IDN?\n"), VI_SUCCESS);
  EXPECT_EQ(ReadLine(Deadline::after_ms(2000)), kIdentity);
}

TEST_F(SerialLineTest, APortHeldIsBusyAndOthersAreNotFound) {
  SerialLine second;
  std::string why;
  EXPECT_EQ(SerialLine::open(device, second, why), VI_ERROR_RSRC_BUSY);
  EXPECT_EQ(why, "another session or program holds the port");
#ifdef _WIN32
  const std::string missing = "COM250", not_serial = "NUL";
#else
  const std::string missing = "/dev/ttyS-none", not_serial = "/dev/null";
#endif
  EXPECT_EQ(SerialLine::open(missing, second, why), VI_ERROR_RSRC_NFOUND);
  EXPECT_EQ(SerialLine::open(not_serial, second, why), VI_ERROR_RSRC_NFOUND);
  EXPECT_EQ(why, "not a serial port");
  // Closing the first frees the port.
  line = SerialLine();
  EXPECT_EQ(SerialLine::open(device, second, why), VI_SUCCESS) << why;
}

#ifdef _WIN32
// The script registers the emulator's port as the system's serial drivers
// register theirs; viFindRsrc lists it by its ASRL number.
TEST_F(SerialLineTest, TheRegisteredPortIsFound) {
  if (device.rfind("COM", 0) != 0) GTEST_SKIP() << "the port is not a COM port";
  const std::string wanted = "ASRL" + device.substr(3) + "::INSTR";
  bool found = false;
  for (const visa::ResourceName& port : visa::find_serial_ports()) found |= port.canonical == wanted;
  EXPECT_TRUE(found) << wanted;
}
#endif

// The serial ports resource names reach: ASRL<n> and a "++" adapter's line.
TEST(SerialPortDevice, ResourceNamesReachTheSystemsPorts) {
#ifdef _WIN32
  const char* third = "COM3";
  const char* eighth = "COM8";
#else
  const char* third = "/dev/ttyS2";
  const char* eighth = "/dev/ttyS7";
#endif
  EXPECT_EQ(visa::serial_port_device(3), third);
  struct Case {
    const char* resource;
    const char* device;  // nullptr: refused
  };
  const Case cases[] = {
      {"ASRL3::INSTR", third},
      {"PRLGX-ASRL1::8::INTFC", eighth},
#ifdef _WIN32
      {"PRLGX-ASRL1::COM8::INTFC", eighth},
      {"PRLGX-ASRL1::com8::INTFC", eighth},
#else
      {"PRLGX-ASRL1::COM8::INTFC", nullptr},
#endif
      {"PRLGX-ASRL1::COM0::INTFC", nullptr},
      {"PRLGX-ASRL1::COMX::INTFC", nullptr},
  };
  for (const Case& c : cases) {
    visa::ResourceName parsed;
    const ViStatus st = visa::parse_resource_name(c.resource, parsed);
    if (c.device == nullptr) {
      EXPECT_LT(st, VI_SUCCESS) << c.resource;
    } else {
      ASSERT_GE(st, VI_SUCCESS) << c.resource;
      EXPECT_EQ(parsed.device_path, c.device) << c.resource;
    }
  }
}

}  // namespace
