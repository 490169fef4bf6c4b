// SPDX-License-Identifier: MIT
// USB instruments through the VISA C API, against the emulator's USBTMC device
// on this process's emulated bus: what a USB session is, how it is found, and
// the requests only USB488 carries.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "support/qdx_emulator.h"
#include "support/visa_session.h"
#include "visa.h"

namespace {

using namespace std::chrono_literals;
using testsupport::QdxEmulator;
using testsupport::VisaSession;
using testsupport::Wire;
using Lines = std::vector<std::string>;

class VisaUsb : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(emu.started()) << emu.error(); }
  QdxEmulator emu{QdxEmulator::Defaults(), Wire::Usb};
};

TEST_F(VisaUsb, ASessionKnowsItsDevice) {
  VisaSession s(emu.resource(), false);
  ASSERT_EQ(s.open_status(), VI_SUCCESS);
  const std::string serial = emu.resource().substr(std::string("USB0::0x1AB1::0x7001::").size(), 4);
  ViUInt16 type = 0, vendor = 0, product = 0;
  ViInt16 interface_number = -1, protocol = 0;
  ViBoolean compliant = VI_FALSE;
  char text[256] = "";
  ASSERT_EQ(viGetAttribute(s, VI_ATTR_INTF_TYPE, &type), VI_SUCCESS);
  EXPECT_EQ(type, VI_INTF_USB);
  ASSERT_EQ(viGetAttribute(s, VI_ATTR_MANF_ID, &vendor), VI_SUCCESS);
  ASSERT_EQ(viGetAttribute(s, VI_ATTR_MODEL_CODE, &product), VI_SUCCESS);
  EXPECT_EQ(vendor, 0x1AB1);
  EXPECT_EQ(product, 0x7001);
  ASSERT_EQ(viGetAttribute(s, VI_ATTR_USB_SERIAL_NUM, text), VI_SUCCESS);
  EXPECT_EQ(text, serial);
  ASSERT_EQ(viGetAttribute(s, VI_ATTR_USB_INTFC_NUM, &interface_number), VI_SUCCESS);
  ASSERT_EQ(viGetAttribute(s, VI_ATTR_USB_PROTOCOL, &protocol), VI_SUCCESS);
  ASSERT_EQ(viGetAttribute(s, VI_ATTR_4882_COMPLIANT, &compliant), VI_SUCCESS);
  EXPECT_EQ(interface_number, 0);
  EXPECT_EQ(protocol, 1);  // USB488
  EXPECT_EQ(compliant, VI_TRUE);
  ASSERT_EQ(viGetAttribute(s, VI_ATTR_RSRC_CLASS, text), VI_SUCCESS);
  EXPECT_STREQ(text, "INSTR");
  EXPECT_EQ(viGetAttribute(s, VI_ATTR_TCPIP_ADDR, text), VI_ERROR_NSUP_ATTR);
  EXPECT_EQ(viGetAttribute(s, VI_ATTR_ASRL_BAUD, text), VI_ERROR_NSUP_ATTR);
  // USBTMC carries END itself: a reply ends with its message, without a termination character.
  char reply[64] = "";
  ASSERT_EQ(viQueryf(s, "*IDN?\n", "%63t", reply), VI_SUCCESS);
  EXPECT_STREQ(reply, "Halmeric,QDX7001,QDX7001-000001,1.00\n");
}

TEST_F(VisaUsb, FoundOnTheBusAndHeldByOneSessionAtATime) {
  ViSession rm = VI_NULL;
  ASSERT_EQ(viOpenDefaultRM(&rm), VI_SUCCESS);
  ViUInt32 count = 0;
  char first[VI_FIND_BUFLEN] = "";
  ASSERT_EQ(viFindRsrc(rm, "USB?*{VI_ATTR_MANF_ID == 0x1AB1 && VI_ATTR_MODEL_CODE == 0x7001}", VI_NULL, &count, first),
            VI_SUCCESS);
  EXPECT_EQ(count, 1u);
  EXPECT_EQ(first, emu.resource());
  ViSession a = VI_NULL, b = VI_NULL;
  ASSERT_EQ(viOpen(rm, emu.resource().c_str(), VI_NULL, 0, &a), VI_SUCCESS);
  EXPECT_EQ(viOpen(rm, emu.resource().c_str(), VI_NULL, 0, &b), VI_ERROR_RSRC_BUSY);
  ASSERT_EQ(viClose(a), VI_SUCCESS);
  ASSERT_EQ(viOpen(rm, emu.resource().c_str(), VI_NULL, 0, &b), VI_SUCCESS) << "the interface was let go on close";
  // Only USBTMC instruments are opened; an unknown device is not found.
  std::string raw = emu.resource();
  raw.replace(raw.size() - 5, 5, "RAW");
  EXPECT_EQ(viOpen(rm, raw.c_str(), VI_NULL, 0, &a), VI_ERROR_LIBRARY_NFOUND);
  EXPECT_EQ(viOpen(rm, "USB0::0x1AB1::0x7001::NOSUCH::INSTR", VI_NULL, 0, &a), VI_ERROR_RSRC_NFOUND);
  viClose(rm);
}

TEST_F(VisaUsb, RemoteLocalClearAndTriggerAreRequestsOfTheirOwn) {
  VisaSession s(emu.resource(), false);
  ASSERT_EQ(s.open_status(), VI_SUCCESS);
  emu.transcript().clear();
  struct Row {
    ViUInt16 mode;
    Lines seen;
  };
  const Row rows[] = {
      {VI_GPIB_REN_ASSERT, {"<remote enable>"}},
      {VI_GPIB_REN_ASSERT_LLO, {"<remote enable>", "<local lockout>"}},
      {VI_GPIB_REN_ADDRESS_GTL, {"<go to local>"}},
      {VI_GPIB_REN_DEASSERT_GTL, {"<go to local>", "<remote disable>"}},
      {VI_GPIB_REN_DEASSERT, {"<remote disable>"}},
  };
  for (const Row& row : rows) {
    emu.transcript().clear();
    ASSERT_EQ(viGpibControlREN(s, row.mode), VI_SUCCESS) << row.mode;
    EXPECT_EQ(emu.transcript().lines(), row.seen) << row.mode;
  }
  EXPECT_EQ(viGpibControlREN(s, 7), VI_ERROR_INV_MODE);
  emu.transcript().clear();
  ASSERT_EQ(viPrintf(s, "VOLT 1\n"), VI_SUCCESS);
  ASSERT_EQ(viAssertTrigger(s, VI_TRIG_PROT_DEFAULT), VI_SUCCESS);
  ASSERT_EQ(viClear(s), VI_SUCCESS);
  EXPECT_EQ(emu.transcript().lines(), (Lines{"VOLT 1", "<trigger>", "<clear>"}));
}

// A reply that never ends times out; the aborted transfer leaves the pipes in
// step, and the instrument going off the bus is a lost connection at once.
TEST_F(VisaUsb, AnAbortedReadLeavesThePipesInStepAndUnpluggingIsLost) {
  VisaSession s(emu.resource(), false);
  ASSERT_EQ(s.open_status(), VI_SUCCESS);
  s.set_timeout(100);
  char buf[16];
  ViUInt32 got = 99;
  auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(viRead(s, reinterpret_cast<ViBuf>(buf), sizeof buf, &got), VI_ERROR_TMO);
  EXPECT_LT(std::chrono::steady_clock::now() - start, 100ms + 600ms);
  EXPECT_EQ(got, 0u);
  s.set_timeout(2000);
  ViInt32 opc = 0;
  ASSERT_EQ(viQueryf(s, "*OPC?\n", "%ld", &opc), VI_SUCCESS);
  EXPECT_EQ(opc, 1);
  emu.stop_wire();
  start = std::chrono::steady_clock::now();
  EXPECT_EQ(viQueryf(s, "*OPC?\n", "%ld", &opc), VI_ERROR_CONN_LOST);
  EXPECT_LT(std::chrono::steady_clock::now() - start, 500ms);
}

}  // namespace
