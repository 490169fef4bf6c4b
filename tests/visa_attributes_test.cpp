// SPDX-License-Identifier: MIT
// Every generic attribute of every session type, from one table: whether the
// session has it, its type (how many bytes viGetAttribute writes), its
// default, whether it may be written, a value it takes and one it refuses;
// then what the writable ones change, and the resource manager's own.
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <thread>

#include "support/scripted_emulator.h"
#include "support/visa_session.h"
#include "visa.h"

namespace {

using namespace std::chrono_literals;
using testsupport::ScriptedEmulator;
using testsupport::VisaSession;
using testsupport::Wire;

enum class Type { U8 = 1, U16 = 2, I16 = 2 | 0x10, U32 = 4, U64 = 8, Bool = 2 | 0x20, Str = 0x100 };
std::size_t Width(Type t) { return static_cast<std::size_t>(t) & 0xF; }

const std::set<Wire> kAll{Wire::Socket, Wire::Vxi11, Wire::Hislip, Wire::Serial, Wire::Usb};
const std::set<Wire> kTcpip{Wire::Socket, Wire::Vxi11, Wire::Hislip};
const std::set<Wire> kTcpipInstr{Wire::Vxi11, Wire::Hislip};

constexpr ViAttrState kMinusOne = static_cast<ViAttrState>(-1);

struct AttributeCase {
  const char* name;
  ViAttr id;
  Type type;
  std::set<Wire> on;                   // the session types that have it
  std::optional<ViAttrState> initial;  // its default, where one is fixed
  bool writable;
  ViAttrState good;        // a value it takes (read back as written)
  ViAttrState bad;         // one it refuses ...
  ViStatus bad_status;     // ... with this status
};

const AttributeCase kCases[] = {
    {"USER_DATA", VI_ATTR_USER_DATA, Type::U64, kAll, 0, true, 0x1234567890ABCDEFull, 0, VI_SUCCESS},
    // The same data as USER_DATA, seen through 32 bits.
    {"USER_DATA_32", VI_ATTR_USER_DATA_32, Type::U32, kAll, 0x90ABCDEF, true, 0x89ABCDEF, 0x100000000ull,
     VI_ERROR_NSUP_ATTR_STATE},
    {"RM_SESSION", VI_ATTR_RM_SESSION, Type::U32, kAll, std::nullopt, false, 0, 0, VI_SUCCESS},
    {"DMA_ALLOW_EN", VI_ATTR_DMA_ALLOW_EN, Type::Bool, kAll, VI_FALSE, true, VI_TRUE, 2, VI_ERROR_NSUP_ATTR_STATE},
    {"SUPPRESS_END_EN", VI_ATTR_SUPPRESS_END_EN, Type::Bool, kAll, VI_FALSE, true, VI_TRUE, 7,
     VI_ERROR_NSUP_ATTR_STATE},
    {"FILE_APPEND_EN", VI_ATTR_FILE_APPEND_EN, Type::Bool, kAll, VI_FALSE, true, VI_TRUE, 2,
     VI_ERROR_NSUP_ATTR_STATE},
    {"RD_BUF_OPER_MODE", VI_ATTR_RD_BUF_OPER_MODE, Type::U16, kAll, VI_FLUSH_DISABLE, true, VI_FLUSH_ON_ACCESS,
     VI_FLUSH_WHEN_FULL, VI_ERROR_NSUP_ATTR_STATE},
    {"WR_BUF_OPER_MODE", VI_ATTR_WR_BUF_OPER_MODE, Type::U16, kAll, VI_FLUSH_WHEN_FULL, true, VI_FLUSH_ON_ACCESS,
     VI_FLUSH_DISABLE, VI_ERROR_NSUP_ATTR_STATE},
    {"RD_BUF_SIZE", VI_ATTR_RD_BUF_SIZE, Type::U32, kAll, 4096, false, 0, 0, VI_SUCCESS},
    {"WR_BUF_SIZE", VI_ATTR_WR_BUF_SIZE, Type::U32, kAll, 4096, false, 0, 0, VI_SUCCESS},
    {"TRIG_ID", VI_ATTR_TRIG_ID, Type::I16, {Wire::Vxi11, Wire::Hislip, Wire::Serial, Wire::Usb}, kMinusOne, true,
     kMinusOne, 0 /* VI_TRIG_TTL0 */, VI_ERROR_NSUP_ATTR_STATE},
    {"INTF_INST_NAME", VI_ATTR_INTF_INST_NAME, Type::Str, kAll, std::nullopt, false, 0, 0, VI_SUCCESS},
    {"MAX_QUEUE_LENGTH", VI_ATTR_MAX_QUEUE_LENGTH, Type::U32, kAll, 50, true, 7, 0, VI_ERROR_NSUP_ATTR_STATE},
    {"TCPIP_NODELAY", VI_ATTR_TCPIP_NODELAY, Type::Bool, kTcpip, VI_TRUE, true, VI_FALSE, 3, VI_ERROR_NSUP_ATTR_STATE},
    {"TCPIP_KEEPALIVE", VI_ATTR_TCPIP_KEEPALIVE, Type::Bool, kTcpip, VI_FALSE, true, VI_TRUE, 3,
     VI_ERROR_NSUP_ATTR_STATE},
    {"TCPIP_IS_HISLIP", VI_ATTR_TCPIP_IS_HISLIP, Type::Bool, kTcpipInstr, std::nullopt, false, 0, 0, VI_SUCCESS},
    {"TCPIP_HISLIP_VERSION", VI_ATTR_TCPIP_HISLIP_VERSION, Type::U32, {Wire::Hislip}, 0x00100000, false, 0, 0,
     VI_SUCCESS},
    {"TCPIP_HISLIP_OVERLAP_EN", VI_ATTR_TCPIP_HISLIP_OVERLAP_EN, Type::Bool, {Wire::Hislip}, VI_FALSE, true, VI_TRUE,
     2, VI_ERROR_NSUP_ATTR_STATE},
    {"TCPIP_HISLIP_MAX_MESSAGE_KB", VI_ATTR_TCPIP_HISLIP_MAX_MESSAGE_KB, Type::U32, {Wire::Hislip}, 1024, true, 64, 0,
     VI_ERROR_NSUP_ATTR_STATE},
};

class VisaAttributes : public ::testing::TestWithParam<Wire> {
 protected:
  void SetUp() override { ASSERT_TRUE(emu.started()) << emu.error(); }

  // The attribute's value as read, and how many bytes of the buffer were written.
  struct Read {
    ViStatus status = VI_SUCCESS;
    ViAttrState value = 0;
    std::string text;
    std::size_t written = 0;
  };
  static Read Get(ViSession vi, ViAttr id, Type type) {
    unsigned char buffer[300];
    std::memset(buffer, 0xA5, sizeof buffer);
    Read r;
    r.status = viGetAttribute(vi, id, buffer);
    if (r.status < 0) return r;
    if (type == Type::Str) {
      r.text = reinterpret_cast<const char*>(buffer);
      return r;
    }
    while (r.written < 8 && buffer[r.written] != 0xA5) ++r.written;  // no value here has an 0xA5 byte
    switch (type) {
      case Type::U8: r.value = buffer[0]; break;
      case Type::U16:
      case Type::Bool: r.value = *reinterpret_cast<ViUInt16*>(buffer); break;
      case Type::I16: r.value = static_cast<ViAttrState>(static_cast<ViInt64>(*reinterpret_cast<ViInt16*>(buffer))); break;
      case Type::U32: r.value = *reinterpret_cast<ViUInt32*>(buffer); break;
      case Type::U64: r.value = *reinterpret_cast<ViUInt64*>(buffer); break;
      case Type::Str: break;
    }
    return r;
  }

  ScriptedEmulator emu{GetParam()};
};

TEST_P(VisaAttributes, EveryAttributeHasItsTypeDefaultAccessAndRefusals) {
  VisaSession s(emu.resource(), false);
  ASSERT_EQ(s.open_status(), VI_SUCCESS);
  for (const AttributeCase& c : kCases) {
    SCOPED_TRACE(c.name);
    if (c.on.count(GetParam()) == 0) {
      ViUInt64 ignored = 0;
      EXPECT_EQ(viGetAttribute(s, c.id, &ignored), VI_ERROR_NSUP_ATTR);
      EXPECT_EQ(viSetAttribute(s, c.id, c.good), VI_ERROR_NSUP_ATTR);
      continue;
    }
    Read first = Get(s, c.id, c.type);
    ASSERT_EQ(first.status, VI_SUCCESS);
    EXPECT_EQ(first.written, Width(c.type)) << "bytes viGetAttribute wrote";
    if (c.initial) {
      EXPECT_EQ(first.value, *c.initial);
    }
    if (!c.writable) {
      EXPECT_EQ(viSetAttribute(s, c.id, first.value), VI_ERROR_ATTR_READONLY);
      continue;
    }
    EXPECT_EQ(viSetAttribute(s, c.id, c.good), VI_SUCCESS);
    Read after = Get(s, c.id, c.type);
    EXPECT_EQ(after.value, c.good);
    EXPECT_EQ(after.written, Width(c.type));
    if (c.bad_status != VI_SUCCESS) {
      EXPECT_EQ(viSetAttribute(s, c.id, c.bad), c.bad_status);
      EXPECT_EQ(Get(s, c.id, c.type).value, c.good) << "a refused value changes nothing";
    }
  }
}

TEST_P(VisaAttributes, TheSessionNamesItsInterfaceAndResourceManager) {
  VisaSession s(emu.resource(), false);
  ASSERT_EQ(s.open_status(), VI_SUCCESS);
  static const std::pair<Wire, const char*> kNames[] = {
      {Wire::Socket, "TCPIP0 (LAN, raw socket)"}, {Wire::Vxi11, "TCPIP0 (LAN, VXI-11)"},
      {Wire::Hislip, "TCPIP0 (LAN, HiSLIP)"},     {Wire::Serial, "ASRL0 (serial line)"},
      {Wire::Usb, "USB0 (USBTMC)"}};
  for (const auto& [wire, name] : kNames) {
    if (wire == GetParam()) {
      EXPECT_EQ(Get(s, VI_ATTR_INTF_INST_NAME, Type::Str).text, name);
    }
  }
  EXPECT_EQ(Get(s, VI_ATTR_RM_SESSION, Type::U32).value, s.rm());
  if (kTcpipInstr.count(GetParam()) != 0) {
    EXPECT_EQ(Get(s, VI_ATTR_TCPIP_IS_HISLIP, Type::Bool).value, GetParam() == Wire::Hislip ? VI_TRUE : VI_FALSE);
  }
}

// With END suppressed a read goes on past the end of a message: to the
// termination character, the count or the timeout.
TEST_P(VisaAttributes, SuppressedEndDoesNotEndARead) {
  emu.instrument().on("ID?", "abc", 3);
  VisaSession s(emu.resource(), false);
  s.set_timeout(300);
  char buffer[64];
  ViUInt32 got = 0;
  const bool has_end = GetParam() == Wire::Vxi11 || GetParam() == Wire::Hislip || GetParam() == Wire::Usb;
  ASSERT_EQ(viPrintf(s, "ID?\n"), VI_SUCCESS);
  ViStatus ended = viRead(s, reinterpret_cast<ViBuf>(buffer), sizeof buffer, &got);
  if (has_end) {
    EXPECT_EQ(ended, VI_SUCCESS);
    EXPECT_EQ(std::string(buffer, got), "abc\n");
  }
  ASSERT_EQ(viSetAttribute(s, VI_ATTR_SUPPRESS_END_EN, VI_TRUE), VI_SUCCESS);
  ASSERT_EQ(viPrintf(s, "ID?\n"), VI_SUCCESS);
  auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(viRead(s, reinterpret_cast<ViBuf>(buffer), sizeof buffer, &got), VI_ERROR_TMO);
  EXPECT_LT(std::chrono::steady_clock::now() - start, 300ms + 200ms);
  EXPECT_EQ(std::string(buffer, got), "abc\n");
  ASSERT_EQ(viSetAttribute(s, VI_ATTR_TERMCHAR_EN, VI_TRUE), VI_SUCCESS);
  ASSERT_EQ(viPrintf(s, "ID?\n"), VI_SUCCESS);
  EXPECT_EQ(viRead(s, reinterpret_cast<ViBuf>(buffer), sizeof buffer, &got), VI_SUCCESS_TERM_CHAR);
  EXPECT_EQ(std::string(buffer, got), "abc\n");
}

// Flushed on access, the write buffer goes out at the end of each call; the
// read buffer's rest is dropped at the end of each scan.
TEST_P(VisaAttributes, BufferModesFlushOnAccess) {
  VisaSession s(emu.resource());
  ViUInt32 count = 0;
  ASSERT_EQ(viBufWrite(s, reinterpret_cast<ViConstBuf>("*CLS\n"), 5, &count), VI_SUCCESS);
  std::this_thread::sleep_for(100ms);
  EXPECT_TRUE(emu.transcript().lines().empty()) << "held until the buffer fills or is flushed";
  ASSERT_EQ(viFlush(s, VI_WRITE_BUF_DISCARD), VI_SUCCESS);
  ASSERT_EQ(viSetAttribute(s, VI_ATTR_WR_BUF_OPER_MODE, VI_FLUSH_ON_ACCESS), VI_SUCCESS);
  ASSERT_EQ(viBufWrite(s, reinterpret_cast<ViConstBuf>("*RST\n"), 5, &count), VI_SUCCESS);
  EXPECT_EQ(emu.lines(1), (std::vector<std::string>{"*RST"}));

  emu.instrument().on("PAIR?", "1,2", 2);
  int first = 0, second = 0;
  ASSERT_EQ(viQueryf(s, "PAIR?\n", "%d", &first), VI_SUCCESS);
  ASSERT_EQ(viScanf(s, "%*[,]%d", &second), VI_SUCCESS);
  EXPECT_EQ(second, 2) << "the rest of the reply waits in the read buffer";
  ASSERT_EQ(viSetAttribute(s, VI_ATTR_RD_BUF_OPER_MODE, VI_FLUSH_ON_ACCESS), VI_SUCCESS);
  s.set_timeout(200);
  ASSERT_EQ(viQueryf(s, "PAIR?\n", "%d", &first), VI_SUCCESS);
  EXPECT_EQ(viScanf(s, "%*[,]%d", &second), VI_ERROR_TMO) << "the rest was dropped with the scan";
}

TEST_P(VisaAttributes, SetBufSizesBothBuffers) {
  VisaSession s(emu.resource());
  ASSERT_EQ(viSetBuf(s, VI_READ_BUF | VI_WRITE_BUF, 100), VI_SUCCESS);
  EXPECT_EQ(Get(s, VI_ATTR_RD_BUF_SIZE, Type::U32).value, 100u);
  EXPECT_EQ(Get(s, VI_ATTR_WR_BUF_SIZE, Type::U32).value, 100u);
  ASSERT_EQ(viSetBuf(s, VI_WRITE_BUF, 16), VI_SUCCESS);
  EXPECT_EQ(Get(s, VI_ATTR_RD_BUF_SIZE, Type::U32).value, 100u);
  EXPECT_EQ(Get(s, VI_ATTR_WR_BUF_SIZE, Type::U32).value, 16u);
}

TEST_P(VisaAttributes, ReadToFileAppendsWhenAsked) {
  emu.instrument().on("ID?", "abc", 3);
  VisaSession s(emu.resource());
  char path[] = "/tmp/visa-append-XXXXXX";
  int fd = mkstemp(path);
  ASSERT_GE(fd, 0);
  close(fd);
  ViUInt32 got = 0;
  for (ViBoolean append : {VI_FALSE, VI_FALSE, VI_TRUE}) {
    ASSERT_EQ(viSetAttribute(s, VI_ATTR_FILE_APPEND_EN, append), VI_SUCCESS);
    ASSERT_EQ(viPrintf(s, "ID?\n"), VI_SUCCESS);
    ASSERT_EQ(viReadToFile(s, path, 100, &got), testsupport::LineEndStatus(GetParam()));
  }
  std::ifstream in(path);
  std::stringstream text;
  text << in.rdbuf();
  std::remove(path);
  EXPECT_EQ(text.str(), "abc\nabc\n") << "replaced, then appended to";
}

INSTANTIATE_TEST_SUITE_P(Wires, VisaAttributes,
                         ::testing::Values(Wire::Socket, Wire::Vxi11, Wire::Hislip, Wire::Serial, Wire::Usb),
                         [](const auto& info) { return testsupport::WireName(info.param); });

// The resource manager answers for the library: what pyvisa-info shows.
TEST(VisaResourceManager, AnswersItsOwnAttributes) {
  ViSession rm = VI_NULL;
  ASSERT_EQ(viOpenDefaultRM(&rm), VI_SUCCESS);
  char text[256] = "";
  ASSERT_EQ(viGetAttribute(rm, VI_ATTR_RSRC_MANF_NAME, text), VI_SUCCESS);
  EXPECT_STREQ(text, "ZEVRA open instrument stack");
  ASSERT_EQ(viGetAttribute(rm, VI_ATTR_RSRC_NAME, text), VI_SUCCESS);
  EXPECT_STREQ(text, "");
  ViUInt32 version = 0;
  ASSERT_EQ(viGetAttribute(rm, VI_ATTR_RSRC_SPEC_VERSION, &version), VI_SUCCESS);
  EXPECT_EQ(version, VI_SPEC_VERSION);
  ASSERT_EQ(viGetAttribute(rm, VI_ATTR_RSRC_IMPL_VERSION, &version), VI_SUCCESS);
  EXPECT_EQ(version, 0x00100000u);
  ViUInt16 manufacturer = 7;
  ASSERT_EQ(viGetAttribute(rm, VI_ATTR_RSRC_MANF_ID, &manufacturer), VI_SUCCESS);
  EXPECT_EQ(manufacturer, 0);
  EXPECT_EQ(viSetAttribute(rm, VI_ATTR_RSRC_MANF_NAME, 0), VI_ERROR_ATTR_READONLY);
  EXPECT_EQ(viGetAttribute(rm, VI_ATTR_TMO_VALUE, &version), VI_ERROR_NSUP_ATTR);
  EXPECT_EQ(viGetAttribute(rm, VI_ATTR_RSRC_MANF_NAME, nullptr), VI_ERROR_USER_BUF);

  ViUInt64 user = 0;
  ASSERT_EQ(viSetAttribute(rm, VI_ATTR_USER_DATA, 0xFEEDFACECAFEBEEFull), VI_SUCCESS);
  ASSERT_EQ(viGetAttribute(rm, VI_ATTR_USER_DATA, &user), VI_SUCCESS);
  EXPECT_EQ(user, 0xFEEDFACECAFEBEEFull);
  EXPECT_EQ(viSetAttribute(rm, VI_ATTR_MAX_QUEUE_LENGTH, 0), VI_ERROR_NSUP_ATTR_STATE);
  ASSERT_EQ(viSetAttribute(rm, VI_ATTR_MAX_QUEUE_LENGTH, 9), VI_SUCCESS);
  ViUInt32 length = 0;
  ASSERT_EQ(viGetAttribute(rm, VI_ATTR_MAX_QUEUE_LENGTH, &length), VI_SUCCESS);
  EXPECT_EQ(length, 9u);

  // Each resource manager session keeps its own.
  ViSession other = VI_NULL;
  ASSERT_EQ(viOpenDefaultRM(&other), VI_SUCCESS);
  ASSERT_EQ(viGetAttribute(other, VI_ATTR_USER_DATA, &user), VI_SUCCESS);
  EXPECT_EQ(user, 0u);
  viClose(other);
  viClose(rm);
  EXPECT_EQ(viGetAttribute(rm, VI_ATTR_RSRC_MANF_NAME, text), VI_ERROR_INV_OBJECT);
}

// Keep-alive and Nagle's algorithm are the connection's own socket options.
TEST(VisaTcpipAttributes, KeepAliveAndNoDelayReachTheSocket) {
  ScriptedEmulator emu;
  VisaSession s(emu.resource());
  ViBoolean on = VI_FALSE;
  ASSERT_EQ(viSetAttribute(s, VI_ATTR_TCPIP_KEEPALIVE, VI_TRUE), VI_SUCCESS);
  ASSERT_EQ(viGetAttribute(s, VI_ATTR_TCPIP_KEEPALIVE, &on), VI_SUCCESS);
  EXPECT_EQ(on, VI_TRUE);
  ASSERT_EQ(viSetAttribute(s, VI_ATTR_TCPIP_NODELAY, VI_FALSE), VI_SUCCESS);
  ASSERT_EQ(viGetAttribute(s, VI_ATTR_TCPIP_NODELAY, &on), VI_SUCCESS);
  EXPECT_EQ(on, VI_FALSE);
  // The session still talks after the change.
  emu.instrument().on("ID?", "abc");
  char reply[16] = "";
  EXPECT_EQ(viQueryf(s, "ID?\n", "%15[^\n]", reply), VI_SUCCESS);
  EXPECT_STREQ(reply, "abc");
}

// A smaller HiSLIP message size, told to the server again, still brings a
// long reply whole.
TEST(VisaHislipAttributes, ASmallerMaximumMessageSizeKeepsRepliesWhole) {
  ScriptedEmulator emu(Wire::Hislip);
  ASSERT_TRUE(emu.started()) << emu.error();
  std::string block(5000, 'q');
  emu.instrument().on("BLOCK?", block);
  VisaSession s(emu.resource());
  ASSERT_EQ(viSetAttribute(s, VI_ATTR_TCPIP_HISLIP_MAX_MESSAGE_KB, 1), VI_SUCCESS);
  ViUInt32 kb = 0;
  ASSERT_EQ(viGetAttribute(s, VI_ATTR_TCPIP_HISLIP_MAX_MESSAGE_KB, &kb), VI_SUCCESS);
  EXPECT_EQ(kb, 1u);
  std::string reply(6000, '\0');
  ViInt32 count = static_cast<ViInt32>(reply.size() - 1);
  ASSERT_EQ(viQueryf(s, "BLOCK?\n", "%#[^\n]", &count, reply.data()), VI_SUCCESS);
  EXPECT_EQ(reply.substr(0, static_cast<std::size_t>(count)), block);
}

}  // namespace
