// SPDX-License-Identifier: MIT
// Datagrams as VXI-11 discovery sends them: a portmapper GETPORT to the
// emulator's portmapper (ZEVRA_TEST_PORTMAPPER_PORT, on this machine) is
// answered with the instrument's port by a sender on loopback, and a window
// with nothing in it ends on time. Written for any system; the Windows build
// runs it under Wine against the Linux emulator.
#include "udp_datagrams.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <string>

#include "onc_rpc_messages.h"
#include "vxi11_messages.h"

namespace {

using Clock = std::chrono::steady_clock;
using visa::UdpDatagrams;

TEST(UdpDatagrams, LoopbackIsTheFirstTarget) {
  const std::vector<std::uint32_t> targets = UdpDatagrams::broadcast_targets();
  ASSERT_FALSE(targets.empty());
  EXPECT_EQ(targets.front(), 0x7F000001u);
  for (std::size_t i = 1; i < targets.size(); ++i) EXPECT_NE(targets[i] >> 24, 127u) << "only one loopback target";
}

TEST(UdpDatagrams, APortmapperAnswersAGetPort) {
  const char* port_text = std::getenv("ZEVRA_TEST_PORTMAPPER_PORT");
  if (port_text == nullptr)
    GTEST_SKIP() << "ZEVRA_TEST_PORTMAPPER_PORT (a VXI-11 portmapper on this machine) is not set";
  using namespace visa;
  using namespace visa::onc_rpc_messages;
  UdpDatagrams datagrams;
  ASSERT_TRUE(datagrams.ok());
  std::string call;
  xdr::Writer out(call);
  EncodeCallHeader(out, 0x1234, kPortmapper, kPortmapperVersion, kGetPort);
  out.u32(vxi11::kDeviceCore).u32(vxi11::kDeviceCoreVersion).u32(kIpProtocolTcp).u32(0);
  ASSERT_TRUE(datagrams.send_to(0x7F000001u, static_cast<std::uint16_t>(std::atoi(port_text)), call));
  std::string reply, from;
  ASSERT_TRUE(datagrams.receive(Clock::now() + std::chrono::seconds(2), reply, from));
  EXPECT_EQ(from, "127.0.0.1");
  xdr::Reader in(reply.data(), reply.size());
  ASSERT_EQ(DecodeReplyHeader(in, 0x1234), Reply::Accepted);
  const std::uint32_t core_port = in.u32();
  EXPECT_TRUE(in.ok());
  EXPECT_GT(core_port, 0u);
  EXPECT_LT(core_port, 65536u);
  // Nothing more comes: the window ends when it should.
  const auto start = Clock::now();
  EXPECT_FALSE(datagrams.receive(start + std::chrono::milliseconds(200), reply, from));
  EXPECT_GE(Clock::now() - start, std::chrono::milliseconds(190));
  EXPECT_LT(Clock::now() - start, std::chrono::milliseconds(200 + 500));
}

}  // namespace
