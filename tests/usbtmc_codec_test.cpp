// SPDX-License-Identifier: MIT
// The USBTMC/USB488 bulk headers byte by byte, as the class specifications lay them out.
#include <gtest/gtest.h>

#include <string>

#include "protocols/usbtmc_codec.h"

namespace {

std::string Bytes(std::initializer_list<int> b) {
  std::string s;
  for (int c : b) s.push_back(static_cast<char>(c));
  return s;
}

TEST(UsbtmcCodec, BulkOutTransfersAsTheSpecificationLaysThemOut) {
  // DEV_DEP_MSG_OUT: MsgID 1, bTag, its inverse, reserved, TransferSize LSB first, EOM in bit 0, three reserved, the data padded to four.
  EXPECT_EQ(usbtmc::DevDepMsgOut(0x05, "*IDN?\n", true),
            Bytes({1, 0x05, 0xFA, 0, 6, 0, 0, 0, 0x01, 0, 0, 0}) + "*IDN?\n" + Bytes({0, 0}));
  EXPECT_EQ(usbtmc::DevDepMsgOut(0xFF, "abcd", false), Bytes({1, 0xFF, 0x00, 0, 4, 0, 0, 0, 0, 0, 0, 0}) + "abcd");
  EXPECT_EQ(usbtmc::DevDepMsgOut(1, "", true), Bytes({1, 1, 0xFE, 0, 0, 0, 0, 0, 1, 0, 0, 0}));
  // REQUEST_DEV_DEP_MSG_IN: MsgID 2, TransferSize the most the device may send, TermCharEnabled in bit 1, the TermChar.
  const auto request = usbtmc::RequestDevDepMsgIn(0x10, 0x01020304, '\n');
  EXPECT_EQ(std::string(request.begin(), request.end()), Bytes({2, 0x10, 0xEF, 0, 4, 3, 2, 1, 0x02, '\n', 0, 0}));
  const auto plain = usbtmc::RequestDevDepMsgIn(0x10, 64, std::nullopt);
  EXPECT_EQ(std::string(plain.begin(), plain.end()), Bytes({2, 0x10, 0xEF, 0, 64, 0, 0, 0, 0, 0, 0, 0}));
  // USB488 TRIGGER: MsgID 128 and the tag, nothing else.
  const auto trigger = usbtmc::Trigger(7);
  EXPECT_EQ(std::string(trigger.begin(), trigger.end()), Bytes({128, 7, 0xF8, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
}

TEST(UsbtmcCodec, BulkInHeadersParseAndBadOnesDoNot) {
  const std::string in = usbtmc::DevDepMsgIn(9, "1.5\n", true, true);
  EXPECT_EQ(in, Bytes({2, 9, 0xF6, 0, 4, 0, 0, 0, 0x03, 0, 0, 0}) + "1.5\n");
  usbtmc::ParsedHeader h;
  ASSERT_TRUE(usbtmc::ParseHeader(reinterpret_cast<const std::uint8_t*>(in.data()), in.size(), h));
  EXPECT_EQ(h.id, usbtmc::kDevDepMsgIn);
  EXPECT_EQ(h.tag, 9);
  EXPECT_EQ(h.size, 4u);
  EXPECT_TRUE(h.end_of_message());
  EXPECT_TRUE(h.ended_by_term_char());
  struct Bad {
    std::string bytes;
    const char* why;
  };
  const Bad bad[] = {
      {Bytes({2, 9, 0xF7, 0, 4, 0, 0, 0, 1, 0, 0, 0}), "the inverse does not match the tag"},
      {Bytes({2, 0, 0xFF, 0, 4, 0, 0, 0, 1, 0, 0, 0}), "tag 0 is never used"},
      {Bytes({2, 9, 0xF6, 1, 4, 0, 0, 0, 1, 0, 0, 0}), "the reserved byte is set"},
      {Bytes({2, 9, 0xF6, 0, 4, 0, 0, 0, 1, 0, 0}), "one byte short of a header"},
  };
  for (const Bad& b : bad)
    EXPECT_FALSE(usbtmc::ParseHeader(reinterpret_cast<const std::uint8_t*>(b.bytes.data()), b.bytes.size(), h)) << b.why;
}

TEST(UsbtmcCodec, TagsRunFromOneTo255AndTransfersAreAligned) {
  EXPECT_EQ(usbtmc::NextTag(0), 1);
  EXPECT_EQ(usbtmc::NextTag(254), 255);
  EXPECT_EQ(usbtmc::NextTag(255), 1);
  for (std::size_t n : {0u, 1u, 3u, 4u, 5u, 1023u}) EXPECT_EQ(usbtmc::Aligned(n) % 4, 0u) << n;
  EXPECT_EQ(usbtmc::Aligned(5), 8u);
  EXPECT_EQ(usbtmc::Aligned(8), 8u);
}

}  // namespace
