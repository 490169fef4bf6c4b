// SPDX-License-Identifier: MIT
// Serial (ASRL) sessions through the VISA C API, against a pseudo-terminal
// whose far end the test holds: the exact bytes each setting puts on the
// line, the settings the port takes, and how reads end.
#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <thread>
#include <fstream>
#include <string>

#include "support/visa_session.h"
#include "visa.h"

namespace {

using namespace std::chrono_literals;
using testsupport::VisaSession;

// The instrument's end of a serial line: the test reads and writes its bytes.
class FarEnd {
 public:
  FarEnd() {
    master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    EXPECT_GE(master_, 0);
    ::grantpt(master_);
    ::unlockpt(master_);
    char name[128] = "";
    ::ptsname_r(master_, name, sizeof name);
    path_ = name;
    // Held open, so the line never hangs up and its settings can be read back.
    slave_ = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
    EXPECT_GE(slave_, 0);
  }
  ~FarEnd() {
    ::close(slave_);
    ::close(master_);
  }
  std::string resource() const { return "ASRL" + path_ + "::INSTR"; }

  // What arrives within `wait`, up to `count` bytes.
  std::string take(std::size_t count, std::chrono::milliseconds wait = 1000ms) {
    std::string got;
    auto until = std::chrono::steady_clock::now() + wait;
    while (got.size() < count) {
      auto left = std::chrono::duration_cast<std::chrono::milliseconds>(until - std::chrono::steady_clock::now());
      pollfd p{master_, POLLIN, 0};
      if (left.count() <= 0 || ::poll(&p, 1, static_cast<int>(left.count())) <= 0) break;
      char buf[256];
      ssize_t n = ::read(master_, buf, std::min(sizeof buf, count - got.size()));
      if (n <= 0) break;
      got.append(buf, static_cast<std::size_t>(n));
    }
    return got;
  }
  void give(const std::string& bytes) { ASSERT_EQ(::write(master_, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size())); }
  termios line() const {
    termios t{};
    ::tcgetattr(slave_, &t);
    return t;
  }
  void hang_up() {
    ::close(slave_);
    ::close(master_);
    slave_ = master_ = -1;
  }

 private:
  int master_ = -1;
  int slave_ = -1;
  std::string path_;
};

class VisaSerial : public ::testing::Test {
 protected:
  FarEnd far;
  VisaSession s{far.resource(), false};
};

TEST_F(VisaSerial, ASessionStartsAtNineThousandSixHundredEightNoneOne) {
  ASSERT_EQ(s.open_status(), VI_SUCCESS);
  struct Row {
    ViAttr id;
    long long expected;
    int size;  // bytes of the attribute's type
  };
  const Row rows[] = {
      {VI_ATTR_INTF_TYPE, VI_INTF_ASRL, 2},          {VI_ATTR_ASRL_BAUD, 9600, 4},
      {VI_ATTR_ASRL_DATA_BITS, 8, 2},                {VI_ATTR_ASRL_PARITY, VI_ASRL_PAR_NONE, 2},
      {VI_ATTR_ASRL_STOP_BITS, VI_ASRL_STOP_ONE, 2}, {VI_ATTR_ASRL_FLOW_CNTRL, VI_ASRL_FLOW_NONE, 2},
      {VI_ATTR_ASRL_END_IN, VI_ASRL_END_TERMCHAR, 2}, {VI_ATTR_ASRL_END_OUT, VI_ASRL_END_NONE, 2},
      {VI_ATTR_ASRL_XON_CHAR, 0x11, 1},              {VI_ATTR_ASRL_XOFF_CHAR, 0x13, 1},
      {VI_ATTR_ASRL_BREAK_LEN, 250, 2},              {VI_ATTR_ASRL_DISCARD_NULL, VI_FALSE, 2},
      {VI_ATTR_ASRL_AVAIL_NUM, 0, 4},
      // A pseudo-terminal has no modem lines to report.
      {VI_ATTR_ASRL_CTS_STATE, VI_STATE_UNKNOWN, 2},  {VI_ATTR_ASRL_RTS_STATE, VI_STATE_UNKNOWN, 2},
  };
  for (const Row& row : rows) {
    unsigned char raw[8];
    std::memset(raw, 0xAA, sizeof raw);
    ASSERT_EQ(viGetAttribute(s, row.id, raw), VI_SUCCESS) << std::hex << row.id;
    long long value = 0;
    if (row.size == 1) {
      value = raw[0];
    } else if (row.size == 2) {
      value = row.expected < 0 ? static_cast<long long>(*reinterpret_cast<ViInt16*>(raw)) : *reinterpret_cast<ViUInt16*>(raw);
    } else {
      value = *reinterpret_cast<ViUInt32*>(raw);
    }
    EXPECT_EQ(value, row.expected) << std::hex << row.id;
    EXPECT_EQ(raw[row.size], 0xAA) << "wrote past a " << row.size << "-byte attribute " << std::hex << row.id;
  }
  termios t = far.line();
  EXPECT_EQ(cfgetospeed(&t), B9600);
  EXPECT_EQ(t.c_cflag & (CSIZE | PARENB | CSTOPB | CRTSCTS), static_cast<tcflag_t>(CS8));
  EXPECT_EQ(t.c_lflag & (ICANON | ECHO), 0u) << "the line must be raw";
  // A LAN resource's attributes are not a serial line's.
  char text[256];
  EXPECT_EQ(viGetAttribute(s, VI_ATTR_TCPIP_ADDR, text), VI_ERROR_NSUP_ATTR);
  EXPECT_EQ(viSetAttribute(s, VI_ATTR_ASRL_AVAIL_NUM, 1), VI_ERROR_ATTR_READONLY);
}

TEST_F(VisaSerial, LineSettingsReachThePortOrAreRefusedWholesale) {
  ASSERT_EQ(s.open_status(), VI_SUCCESS);
  struct Row {
    ViAttr id;
    ViAttrState value;
    ViStatus status;
  };
  const Row rows[] = {
      {VI_ATTR_ASRL_BAUD, 115200, VI_SUCCESS},
      {VI_ATTR_ASRL_BAUD, 12345, VI_ERROR_NSUP_ATTR_STATE},
      {VI_ATTR_ASRL_DATA_BITS, 9, VI_ERROR_NSUP_ATTR_STATE},
      {VI_ATTR_ASRL_PARITY, 5, VI_ERROR_NSUP_ATTR_STATE},
      {VI_ATTR_ASRL_STOP_BITS, VI_ASRL_STOP_TWO, VI_SUCCESS},
      {VI_ATTR_ASRL_STOP_BITS, VI_ASRL_STOP_ONE5, VI_ERROR_NSUP_ATTR_STATE},  // only with 5 data bits
      {VI_ATTR_ASRL_STOP_BITS, 11, VI_ERROR_NSUP_ATTR_STATE},
      {VI_ATTR_ASRL_FLOW_CNTRL, VI_ASRL_FLOW_RTS_CTS | VI_ASRL_FLOW_XON_XOFF, VI_SUCCESS},
      {VI_ATTR_ASRL_FLOW_CNTRL, VI_ASRL_FLOW_RTS_CTS | VI_ASRL_FLOW_DTR_DSR, VI_ERROR_NSUP_ATTR_STATE},
      {VI_ATTR_ASRL_FLOW_CNTRL, 8, VI_ERROR_NSUP_ATTR_STATE},
      {VI_ATTR_ASRL_XON_CHAR, 0x21, VI_SUCCESS},
      {VI_ATTR_ASRL_XON_CHAR, 0x100, VI_ERROR_NSUP_ATTR_STATE},
      {VI_ATTR_ASRL_END_IN, VI_ASRL_END_BREAK, VI_ERROR_NSUP_ATTR_STATE},
      {VI_ATTR_ASRL_END_OUT, 4, VI_ERROR_NSUP_ATTR_STATE},
      {VI_ATTR_ASRL_BREAK_LEN, 0, VI_ERROR_NSUP_ATTR_STATE},
      {VI_ATTR_ASRL_BREAK_LEN, 501, VI_ERROR_NSUP_ATTR_STATE},
      {VI_ATTR_ASRL_DTR_STATE, 5, VI_ERROR_NSUP_ATTR_STATE},
      // RTS belongs to the handshake while RTS/CTS is on.
      {VI_ATTR_ASRL_RTS_STATE, VI_STATE_ASSERTED, VI_ERROR_NSUP_ATTR_STATE},
      {VI_ATTR_ASRL_DISCARD_NULL, 2, VI_ERROR_NSUP_ATTR_STATE},
  };
  for (const Row& row : rows) EXPECT_EQ(viSetAttribute(s, row.id, row.value), row.status) << std::hex << row.id << " " << row.value;
  termios t = far.line();
  EXPECT_EQ(cfgetospeed(&t), B115200) << "a refused baud rate left the line alone";
  EXPECT_EQ(t.c_cflag & (CSIZE | PARENB | PARODD | CSTOPB | CRTSCTS), static_cast<tcflag_t>(CS8 | CSTOPB | CRTSCTS));
  // Seven data bits with even parity: a pseudo-terminal may carry only eight
  // bits, so the port either takes both or keeps what it had.
  ViStatus seven = viSetAttribute(s, VI_ATTR_ASRL_DATA_BITS, 7);
  ViStatus even = viSetAttribute(s, VI_ATTR_ASRL_PARITY, VI_ASRL_PAR_EVEN);
  ViUInt16 bits = 0;
  ASSERT_EQ(viGetAttribute(s, VI_ATTR_ASRL_DATA_BITS, &bits), VI_SUCCESS);
  t = far.line();
  if (seven == VI_SUCCESS) {
    EXPECT_EQ(bits, 7);
    EXPECT_EQ(t.c_cflag & CSIZE, static_cast<tcflag_t>(CS7));
  } else {
    EXPECT_EQ(seven, VI_ERROR_NSUP_ATTR_STATE);
    EXPECT_EQ(bits, 8);
    EXPECT_EQ(t.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
  }
  EXPECT_EQ((t.c_cflag & PARENB) != 0, even == VI_SUCCESS);
  EXPECT_NE(t.c_iflag & IXON, 0u);
  EXPECT_EQ(t.c_cc[VSTART], 0x21);
  ViUInt32 baud = 0;
  ASSERT_EQ(viGetAttribute(s, VI_ATTR_ASRL_BAUD, &baud), VI_SUCCESS);
  EXPECT_EQ(baud, 115200u);
}

TEST_F(VisaSerial, HowAMessageEndsOnTheWayOut) {
  ASSERT_EQ(s.open_status(), VI_SUCCESS);
  ViUInt32 written = 0;
  // No END marking by default: the bytes as they are.
  ASSERT_EQ(viWrite(s, reinterpret_cast<ViConstBuf>("ab"), 2, &written), VI_SUCCESS);
  EXPECT_EQ(far.take(2), "ab");
  ASSERT_EQ(viSetAttribute(s, VI_ATTR_ASRL_END_OUT, VI_ASRL_END_TERMCHAR), VI_SUCCESS);
  ASSERT_EQ(viSetAttribute(s, VI_ATTR_TERMCHAR, '\r'), VI_SUCCESS);
  ASSERT_EQ(viPrintf(s, "VOLT %d\n", 3), VI_SUCCESS);
  EXPECT_EQ(far.take(8), "VOLT 3\n\r");
  // Without END on the write, no termination character either.
  ASSERT_EQ(viSetAttribute(s, VI_ATTR_SEND_END_EN, VI_FALSE), VI_SUCCESS);
  ASSERT_EQ(viWrite(s, reinterpret_cast<ViConstBuf>("cd"), 2, &written), VI_SUCCESS);
  EXPECT_EQ(far.take(3, 100ms), "cd");
  ASSERT_EQ(viSetAttribute(s, VI_ATTR_SEND_END_EN, VI_TRUE), VI_SUCCESS);
  // The last bit marks the last byte only, and is cleared on the others.
  ASSERT_EQ(viSetAttribute(s, VI_ATTR_ASRL_END_OUT, VI_ASRL_END_LAST_BIT), VI_SUCCESS);
  ASSERT_EQ(viWrite(s, reinterpret_cast<ViConstBuf>("\xC1" "BC"), 3, &written), VI_SUCCESS);
  EXPECT_EQ(far.take(3), "AB\xC3");
  EXPECT_EQ(written, 3u);
}

TEST_F(VisaSerial, HowAMessageEndsOnTheWayIn) {
  ASSERT_EQ(s.open_status(), VI_SUCCESS);
  char buf[32] = "";
  ViUInt32 got = 0;
  // The termination character ends reads by default, TERMCHAR_EN or not.
  far.give("1.5\n2.5\n");
  ASSERT_EQ(viRead(s, reinterpret_cast<ViBuf>(buf), sizeof buf, &got), VI_SUCCESS_TERM_CHAR);
  EXPECT_EQ(std::string(buf, got), "1.5\n");
  double value = 0;
  ASSERT_EQ(viScanf(s, "%lf", &value), VI_SUCCESS);
  EXPECT_EQ(value, 2.5);
  // With no end marking a read ends only when the count is met.
  ASSERT_EQ(viSetAttribute(s, VI_ATTR_ASRL_END_IN, VI_ASRL_END_NONE), VI_SUCCESS);
  far.give("ab\ncd");
  ASSERT_EQ(viRead(s, reinterpret_cast<ViBuf>(buf), 5, &got), VI_SUCCESS_MAX_CNT);
  EXPECT_EQ(std::string(buf, got), "ab\ncd");
  // The last bit (of the data bits in use) ends a message; the byte keeps it.
  ASSERT_EQ(viSetAttribute(s, VI_ATTR_ASRL_END_IN, VI_ASRL_END_LAST_BIT), VI_SUCCESS);
  far.give("xy\xFAz\xE1");
  ASSERT_EQ(viRead(s, reinterpret_cast<ViBuf>(buf), sizeof buf, &got), VI_SUCCESS);
  EXPECT_EQ(std::string(buf, got), "xy\xFA");
  ASSERT_EQ(viRead(s, reinterpret_cast<ViBuf>(buf), sizeof buf, &got), VI_SUCCESS);
  EXPECT_EQ(std::string(buf, got), "z\xE1");
  // NUL bytes are dropped when asked.
  ASSERT_EQ(viSetAttribute(s, VI_ATTR_ASRL_END_IN, VI_ASRL_END_TERMCHAR), VI_SUCCESS);
  ASSERT_EQ(viSetAttribute(s, VI_ATTR_ASRL_DISCARD_NULL, VI_TRUE), VI_SUCCESS);
  far.give(std::string("o\0k\n", 4));
  ASSERT_EQ(viRead(s, reinterpret_cast<ViBuf>(buf), sizeof buf, &got), VI_SUCCESS_TERM_CHAR);
  EXPECT_EQ(std::string(buf, got), "ok\n");
}

TEST_F(VisaSerial, WaitingBytesAreCountedFlushedAndCleared) {
  ASSERT_EQ(s.open_status(), VI_SUCCESS);
  far.give("stale\n");
  std::this_thread::sleep_for(20ms);
  ViUInt32 waiting = 0;
  ASSERT_EQ(viGetAttribute(s, VI_ATTR_ASRL_AVAIL_NUM, &waiting), VI_SUCCESS);
  EXPECT_EQ(waiting, 6u);
  ASSERT_EQ(viFlush(s, VI_ASRL_IN_BUF_DISCARD), VI_SUCCESS);
  ASSERT_EQ(viGetAttribute(s, VI_ATTR_ASRL_AVAIL_NUM, &waiting), VI_SUCCESS);
  EXPECT_EQ(waiting, 0u);
  // A clear drops what waits and, for a 488.2 instrument, clears its status.
  far.give("late\n");
  std::this_thread::sleep_for(20ms);
  ASSERT_EQ(viSetAttribute(s, VI_ATTR_IO_PROT, VI_PROT_4882_STRS), VI_SUCCESS);
  ASSERT_EQ(viClear(s), VI_SUCCESS);
  EXPECT_EQ(far.take(5), "*CLS\n");
  s.set_timeout(100);
  char buf[16];
  ViUInt32 got = 0;
  EXPECT_EQ(viRead(s, reinterpret_cast<ViBuf>(buf), sizeof buf, &got), VI_ERROR_TMO);
  EXPECT_EQ(got, 0u);
}

TEST_F(VisaSerial, ASilentLineTimesOutAndAVanishedOneIsLost) {
  ASSERT_EQ(s.open_status(), VI_SUCCESS);
  s.set_timeout(200);
  char text[16];
  auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(viQueryf(s, "*IDN?\n", "%15s", text), VI_ERROR_TMO);
  auto waited = std::chrono::steady_clock::now() - start;
  EXPECT_GE(waited, 190ms);
  EXPECT_LT(waited, 300ms);
  far.hang_up();
  s.set_timeout(2000);
  start = std::chrono::steady_clock::now();
  EXPECT_EQ(viQueryf(s, "*IDN?\n", "%15s", text), VI_ERROR_CONN_LOST);
  EXPECT_LT(std::chrono::steady_clock::now() - start, 1000ms);
}

TEST(VisaSerialPorts, OnlySerialPortsOpenAndOneSessionHoldsEach) {
  FarEnd far;
  VisaSession first(far.resource());
  ASSERT_EQ(first.open_status(), VI_SUCCESS);
  {
    VisaSession second(far.resource());
    EXPECT_EQ(second.open_status(), VI_ERROR_RSRC_BUSY);
  }
  ViSession rm = first.rm(), vi = VI_NULL;
  ASSERT_EQ(viClose(first.vi()), VI_SUCCESS);
  ASSERT_EQ(viOpen(rm, far.resource().c_str(), VI_NULL, 0, &vi), VI_SUCCESS) << "the port was let go on close";
  // A file that is not a serial port is never opened for writing.
  char path[] = "/tmp/zevra-not-a-port-XXXXXX";
  int fd = ::mkstemp(path);
  ASSERT_GE(fd, 0);
  ::close(fd);
  ViSession other = VI_NULL;
  EXPECT_EQ(viOpen(rm, ("ASRL" + std::string(path) + "::INSTR").c_str(), VI_NULL, 0, &other), VI_ERROR_RSRC_NFOUND);
  EXPECT_EQ(viOpen(rm, "ASRL/dev/zevra-no-such-port::INSTR", VI_NULL, 0, &other), VI_ERROR_RSRC_NFOUND);
  std::ifstream file(path);
  EXPECT_EQ(file.peek(), std::ifstream::traits_type::eof());
  ::unlink(path);
}

}  // namespace
