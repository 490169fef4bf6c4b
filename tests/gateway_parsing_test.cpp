// SPDX-License-Identifier: MIT
// What the gateway reads itself: where a message asks for a response or a
// response ends, and which client addresses an allow list admits.
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>

#include <string>
#include <vector>

#include "allow_list.h"
#include "message_scanner.h"

namespace {

using gateway::AllowList;
using gateway::MessageScanner;

TEST(MessageScanner, FindsQueriesOutsideStringsAndBlocks) {
  struct Case {
    std::vector<std::string> pieces;
    bool asks, ended;
  };
  const Case cases[] = {
      {{"*IDN?\n"}, true, true},
      {{"VOLT 1.5;:OUTP ON\n"}, false, true},
      {{"VOLT 1;MEAS:VOLT?"}, true, false},
      {{"DISP:TEXT \"Ready?\"\n"}, false, true},
      {{"DISP:TEXT 'it''s?'\n"}, false, true},
      {{"DISP:TEXT \"a\"\"?\"\n"}, false, true},
      {{"DATA #15ab?\nc\n"}, false, true},         // a definite block holds '?' and a line feed as data
      {{"DATA #15ab", "?\nc;*OPC?\n"}, true, true},  // the same split across pieces, then a query
      {{"DATA #0ab?c\n"}, false, true},             // an indefinite block runs to the end
      {{"DATA #210", "0123456789", "\n"}, false, true},
      {{"VAL #H1F;*ESR?\n"}, true, true},           // '#' that starts no block
      {{"SYST:ERR?"}, true, false},
  };
  for (const Case& c : cases) {
    MessageScanner scanner;
    for (const std::string& piece : c.pieces) scanner.feed(piece);
    std::string all;
    for (const std::string& piece : c.pieces) all += piece;
    EXPECT_EQ(scanner.asks(), c.asks) << all;
    EXPECT_EQ(scanner.ended(), c.ended) << all;
  }
}

TEST(MessageScanner, AResponseEndsAtTheLineFeedAfterItsBlock) {
  MessageScanner scanner;
  scanner.feed("#14\n\n\n");
  EXPECT_FALSE(scanner.ended());
  scanner.feed("\n");
  EXPECT_FALSE(scanner.ended());  // the block's four bytes
  scanner.feed("\n");
  EXPECT_TRUE(scanner.ended());
}

sockaddr_storage V4(const char* text) {
  sockaddr_storage s{};
  auto& a = reinterpret_cast<sockaddr_in&>(s);
  a.sin_family = AF_INET;
  inet_pton(AF_INET, text, &a.sin_addr);
  return s;
}

sockaddr_storage V6(const char* text) {
  sockaddr_storage s{};
  auto& a = reinterpret_cast<sockaddr_in6&>(s);
  a.sin6_family = AF_INET6;
  inet_pton(AF_INET6, text, &a.sin6_addr);
  return s;
}

TEST(AllowList, AdmitsLoopbackAndItsRangesOnly) {
  AllowList list;
  std::string error;
  ASSERT_TRUE(list.add("192.168.10.0/23", error)) << error;
  ASSERT_TRUE(list.add("10.1.2.3", error)) << error;
  ASSERT_TRUE(list.add("fd00::/8", error)) << error;
  const struct {
    sockaddr_storage peer;
    bool admitted;
    const char* what;
  } cases[] = {
      {V4("127.0.0.1"), true, "loopback"},
      {V4("127.8.9.10"), true, "all of 127/8"},
      {V6("::1"), true, "IPv6 loopback"},
      {V4("192.168.11.255"), true, "inside /23"},
      {V4("192.168.12.0"), false, "past /23"},
      {V4("192.168.9.255"), false, "before /23"},
      {V4("10.1.2.3"), true, "a single address"},
      {V4("10.1.2.4"), false, "its neighbour"},
      {V6("::ffff:10.1.2.3"), true, "IPv4 on an IPv6 socket"},
      {V6("fdab::1"), true, "inside fd00::/8"},
      {V6("fe80::1"), false, "outside fd00::/8"},
  };
  for (const auto& c : cases) EXPECT_EQ(list.admits(c.peer), c.admitted) << c.what;
  AllowList none;
  EXPECT_TRUE(none.admits(V4("127.0.0.1")));
  EXPECT_FALSE(none.admits(V4("192.168.10.1")));
}

TEST(AllowList, RefusesWhatIsNoRange) {
  for (const char* bad : {"", "10.0.0.0/33", "10.0.0/8", "fd00::/129", "host.example", "10.0.0.0/", "10.0.0.0/x"}) {
    AllowList list;
    std::string error;
    EXPECT_FALSE(list.add(bad, error)) << bad;
    EXPECT_NE(error.find(bad), std::string::npos) << error;
  }
}

TEST(AllowList, KnowsLoopbackListenAddresses) {
  EXPECT_TRUE(gateway::IsLoopbackAddress("127.0.0.1"));
  EXPECT_TRUE(gateway::IsLoopbackAddress("::1"));
  EXPECT_FALSE(gateway::IsLoopbackAddress("0.0.0.0"));
  EXPECT_FALSE(gateway::IsLoopbackAddress("::"));
  EXPECT_FALSE(gateway::IsLoopbackAddress("192.168.1.5"));
}

}  // namespace
