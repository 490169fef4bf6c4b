// SPDX-License-Identifier: MIT
// The formatted-I/O engine over a fake transport, so that both stream
// (termination character) and message-based (END) input can be fed exactly.
#include <gtest/gtest.h>

#include <initializer_list>

#include <algorithm>
#include <climits>

#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <deque>
#include <string>
#include <utility>
#include <vector>

#include "formatted_io.h"
#include "input_buffer.h"
#include "visa.h"

namespace {

using visa::Deadline;
using visa::InputBuffer;
using visa::ReadSettings;

// Delivers scripted chunks; a chunk may carry END. Runs dry with a timeout.
class FakeTransport final : public visa::Transport {
 public:
  void feed(std::string bytes, bool end = false) { chunks_.emplace_back(std::move(bytes), end); }
  int reads_after_dry = 0;

  ViStatus write(const char*, std::size_t, bool, Deadline) override { return VI_SUCCESS; }
  ViStatus read(char* data, std::size_t capacity, const ReadSettings&, Deadline, std::size_t& got,
                bool& end) override {
    got = 0;
    end = false;
    if (chunks_.empty()) {
      ++reads_after_dry;
      return VI_ERROR_TMO;
    }
    auto& [bytes, chunk_end] = chunks_.front();
    got = std::min(capacity, bytes.size());
    std::memcpy(data, bytes.data(), got);
    bytes.erase(0, got);
    if (bytes.empty()) {
      end = chunk_end;
      chunks_.pop_front();
    }
    return VI_SUCCESS;
  }
  ViStatus discard_arrived() override { return VI_SUCCESS; }
  std::string peer_address() const override { return {}; }

 private:
  std::deque<std::pair<std::string, bool>> chunks_;
};

class Input final : public visa::ReadSource {
 public:
  explicit Input(bool termchar_enabled) : settings_{termchar_enabled, '\n'} {}
  FakeTransport transport;
  InputBuffer buffer;

  ViStatus peek(InputBuffer::Item& item) override {
    return buffer.peek(transport, settings_, Deadline::immediate(), item);
  }
  void consume(const InputBuffer::Item& item) override { buffer.consume(item); }
  bool has_buffered() const override { return buffer.has_buffered(); }
  std::string_view plain_run() override { return buffer.plain_run(settings_); }
  void take_plain(std::size_t n) override { buffer.consume_plain(n); }
  ViStatus read(char* out, std::size_t count, std::size_t& got) {
    return buffer.read(transport, settings_, Deadline::immediate(), out, count, got);
  }

 private:
  ReadSettings settings_;
};

ViStatus scan(Input& in, const char* format, ...) {
  va_list args;
  va_start(args, format);
  ViStatus st = visa::format_read(format, &args, in);
  va_end(args);
  return st;
}

class Output final : public visa::WriteSink {
 public:
  std::string pending;
  std::vector<std::string> messages;
  ViStatus append(const char* data, std::size_t size) override {
    pending.append(data, size);
    return VI_SUCCESS;
  }
  ViStatus end_message() override {
    messages.push_back(std::exchange(pending, {}));
    return VI_SUCCESS;
  }
};

std::string print(const char* format, ...) {
  Output out;
  va_list args;
  va_start(args, format);
  ViStatus st = visa::format_write(format, &args, out);
  va_end(args);
  EXPECT_GE(st, VI_SUCCESS) << format;
  std::string all;
  for (const auto& m : out.messages) all += m;
  return all + out.pending;
}

// --- writes ---------------------------------------------------------------

TEST(FormattedWrite, ConversionsTheDriverUses) {
  EXPECT_EQ(print("VOLT %0.15lg\n", 1.5), "VOLT 1.5\n");
  EXPECT_EQ(print("%0.15lg", 0.1), "0.1");
  EXPECT_EQ(print("%0.15lg", 1e-20), "1e-20");
  EXPECT_EQ(print("%0.15lg", 123456789012345678.0), "1.23456789012346e+17");
  EXPECT_EQ(print("%0.15lg", -0.000123), "-0.000123");
  EXPECT_EQ(print("LIST:NUMB %ld\n", ViInt32{-7}), "LIST:NUMB -7\n");
  EXPECT_EQ(print("%d,%hd,%lld", ViInt32{2147483647}, ViInt16{-32768}, ViInt64{1} << 40),
            "2147483647,-32768,1099511627776");
  EXPECT_EQ(print("OUTP:STAT %s\n", "ON"), "OUTP:STAT ON\n");
  EXPECT_EQ(print("%5.2f|%-4d|%04X|%%|%c", 3.14159, ViInt32{7}, ViUInt32{255}, 'z'),
            " 3.14|7   |00FF|%|z");
  EXPECT_EQ(print("%*d", 4, 42), "  42");
}

// Every conversion prints what the C library prints in the C locale, whichever
// way the engine takes to it.
TEST(FormattedWrite, NumbersMatchTheCLibrary) {
  const double reals[] = {0.0, -0.0, 1.5, 0.1, 2.5, 1e-320, 1e300, -123456.789, 99999.95, HUGE_VAL, -HUGE_VAL};
  const char* real_specs[] = {"%f", "%lf", "%e", "%g", "%.0f", "%.0g", "%.3e", "%0.15lg", "%.17g", "%E", "%G", "%+g", "%#g", "%8.2f",
                              "%- +#010.3e", "%0-8.1f", "%++g"};
  for (const char* spec : real_specs) {
    for (double v : reals) {
      char expected[512];
      std::snprintf(expected, sizeof expected, spec, v);
      EXPECT_EQ(print(spec, v), expected) << spec << " " << v;
    }
  }
  // VISA's "l" is 32 bits: the C library is asked without it.
  auto c_library = [](std::string spec, auto v) {
    spec.erase(std::remove(spec.begin(), spec.end(), 'l'), spec.end());
    char text[64];
    std::snprintf(text, sizeof text, spec.c_str(), v);
    return std::string(text);
  };
  const ViInt32 ints[] = {0, 7, -7, INT_MIN, INT_MAX};
  for (const char* spec : {"%d", "%ld", "%0d", "%i", "%5d", "%.3d", "%+d", "% -6d", "%--+5d", "%0+6d"}) {
    for (ViInt32 v : ints) EXPECT_EQ(print(spec, v), c_library(spec, v)) << spec << " " << v;
  }
  for (const char* spec : {"%u", "%lu", "%0u", "%x", "%o"}) {
    for (ViUInt32 v : {0u, 4294967295u}) EXPECT_EQ(print(spec, v), c_library(spec, v)) << spec << " " << v;
  }
  EXPECT_EQ(print("%s|%5s|%.2s|%-3s|", "ON", "ON", "OFF", "A"), "ON|   ON|OF|A  |");
}

TEST(FormattedWrite, LineFeedInTheFormatEndsAMessage) {
  Output out;
  auto run = [&](const char* format, ...) {
    va_list args;
    va_start(args, format);
    ViStatus st = visa::format_write(format, &args, out);
    va_end(args);
    return st;
  };
  ASSERT_EQ(run("A %s\nB", "x\ny"), VI_SUCCESS);
  // The line feed inside the %s argument is data; the one in the format ends the message.
  ASSERT_EQ(out.messages.size(), 1u);
  EXPECT_EQ(out.messages[0], "A x\ny\n");
  EXPECT_EQ(out.pending, "B");
}

TEST(FormattedWrite, BadFormatsAreRefused) {
  Output out;
  auto run = [&](const char* format, ...) {
    va_list args;
    va_start(args, format);
    ViStatus st = visa::format_write(format, &args, out);
    va_end(args);
    return st;
  };
  EXPECT_EQ(run("%"), VI_ERROR_INV_FMT);
  EXPECT_EQ(run("%b", 1), VI_ERROR_NSUP_FMT);
  EXPECT_EQ(run("%s", static_cast<const char*>(nullptr)), VI_ERROR_USER_BUF);
  // Widths past a mebibyte would build that much output (found by fuzzing).
  EXPECT_EQ(run("%999999999d", 1), VI_ERROR_INV_FMT);
  EXPECT_EQ(run("%.2000000f", 1.0), VI_ERROR_INV_FMT);
  EXPECT_EQ(run("%*d", INT_MIN, 1), VI_ERROR_INV_FMT);  // and its negation never overflows
  EXPECT_EQ(run("%*d", -(1 << 20), 1), VI_SUCCESS);
  EXPECT_EQ(out.pending.size(), std::size_t{1} << 20);
  EXPECT_EQ(out.pending.substr(0, 2), "1 ");
}

// --- reads ----------------------------------------------------------------

// Both ways a message can end: the termination character on a stream, and a
// line feed carried with END on a message-based transport.
class BothEndings : public ::testing::TestWithParam<bool> {
 protected:
  bool message_based() const { return GetParam(); }
  Input make() { return Input(!message_based()); }
  void feed(Input& in, const std::string& message) { in.transport.feed(message, message_based()); }
};

TEST_P(BothEndings, IdentityFieldsNeverKeepTheLineFeed) {
  Input in = make();
  feed(in, "Halmeric,QDX7001,SN42,1.04\n");
  char f[4][257];
  ASSERT_EQ(scan(in, "%256[^,],%256[^,],%256[^,],%256[^,]%*T", f[0], f[1], f[2], f[3]),
            VI_SUCCESS);
  EXPECT_STREQ(f[0], "Halmeric");
  EXPECT_STREQ(f[1], "QDX7001");
  EXPECT_STREQ(f[2], "SN42");
  EXPECT_STREQ(f[3], "1.04");
  EXPECT_FALSE(in.has_buffered());
}

TEST_P(BothEndings, NumbersWithTheRestDiscarded) {
  Input in = make();
  feed(in, "+1.50000E+00,2,3\n");
  feed(in, "42\n");
  ViReal64 real = 0;
  ASSERT_EQ(scan(in, "%lf%*t", &real), VI_SUCCESS);
  EXPECT_DOUBLE_EQ(real, 1.5);
  ViInt32 value = 0;
  ASSERT_EQ(scan(in, "%ld%*t", &value), VI_SUCCESS);
  EXPECT_EQ(value, 42);
  EXPECT_EQ(in.transport.reads_after_dry, 0) << "a discard after the end must not wait";
}

TEST_P(BothEndings, TheWholeResponseWithPercentT) {
  Input in = make();
  feed(in, "-113,\"Undefined header\"\n");
  char text[256];
  ASSERT_EQ(scan(in, "%T", text), VI_SUCCESS);
  EXPECT_STREQ(text, "-113,\"Undefined header\"\n");
}

TEST_P(BothEndings, CountedTextFillsExactlyAndTruncates) {
  struct Case {
    const char* reply;
    ViInt32 size;
    const char* stored;
    ViInt32 count_out;
  };
  const Case cases[] = {
      {"0123456789\n", 11, "0123456789", 10},  // exact fit
      {"0123456789\n", 8, "0123456", 7},       // truncated to size - 1
      {"0123456789\n", 1, "", 0},
      {"\n", 256, "", 0},                      // empty reply: empty text, no error
  };
  for (const Case& c : cases) {
    Input in = make();
    feed(in, c.reply);
    feed(in, "next\n");
    char buffer[300];
    std::memset(buffer, '#', sizeof buffer);
    ViInt32 count = c.size;
    ASSERT_EQ(scan(in, "%#[^\n]%*t", &count, buffer), VI_SUCCESS) << c.reply << " " << c.size;
    EXPECT_STREQ(buffer, c.stored);
    EXPECT_EQ(count, c.count_out);
    EXPECT_EQ(buffer[c.size], '#') << "wrote past the stated size";
    // "%*t" dropped the rest: the next read sees the next message.
    char next[16];
    ViInt32 next_size = sizeof next;
    ASSERT_EQ(scan(in, "%#[^\n]%*t", &next_size, next), VI_SUCCESS);
    EXPECT_STREQ(next, "next");
  }
}

TEST_P(BothEndings, WidthLimitedSetStopsAtWidthAndLeavesTheRest) {
  Input in = make();
  std::string long_field(300, 'a');
  feed(in, long_field + ",b\n");
  char buffer[300];
  std::memset(buffer, '#', sizeof buffer);
  ASSERT_EQ(scan(in, "%256[^,]", buffer), VI_SUCCESS);
  EXPECT_EQ(std::string(buffer), std::string(256, 'a'));
  EXPECT_EQ(buffer[257], '#');
  char rest[64];
  ASSERT_EQ(scan(in, "%T", rest), VI_SUCCESS);
  EXPECT_EQ(std::string(rest), std::string(44, 'a') + ",b\n");
}

TEST_P(BothEndings, SetOnAReplyWithoutCommasStopsAtTheEnd) {
  Input in = make();
  feed(in, "NOCOMMA\n");
  feed(in, "1\n");
  char a[257] = "untouched", b[257] = "untouched";
  EXPECT_EQ(scan(in, "%256[^,],%256[^,]", a, b), VI_ERROR_INV_FMT);
  EXPECT_STREQ(a, "NOCOMMA");
  EXPECT_STREQ(b, "untouched");
  ViInt32 v = 0;
  ASSERT_EQ(scan(in, "%ld", &v), VI_SUCCESS);
  EXPECT_EQ(v, 1);
}

TEST_P(BothEndings, UnparsableRepliesFailAndAreDropped) {
  struct Case {
    const char* format;
    const char* reply;
  };
  const Case cases[] = {
      {"%ld", "abc\n"},         {"%ld", "\n"},          {"%ld", "3000000000\n"},
      {"%hd", "40000\n"},       {"%lf", "volts\n"},     {"%s", "\n"},
      {"%ld,%ld", "1;2\n"},     {"%f", "1e300\n"},      {"%ld", "+\n"},
  };
  for (const Case& c : cases) {
    Input in = make();
    feed(in, c.reply);
    feed(in, "7\n");
    ViInt32 first = -1, second = -1;
    EXPECT_EQ(scan(in, c.format, &first, &second), VI_ERROR_INV_FMT) << c.format << " " << c.reply;
    EXPECT_EQ(second, -1) << "an argument not converted must keep its value";
    ViInt32 next = 0;
    ASSERT_EQ(scan(in, "%ld", &next), VI_SUCCESS) << c.reply;
    EXPECT_EQ(next, 7);
  }
}

// Replies larger than the buffer's refill, cut at every kind of place: the
// bulk scans must give exactly what byte-at-a-time scanning gives.
TEST_P(BothEndings, FieldsSpanningRefillsComeOutWhole) {
  const std::string first(40000, 'a'), second(30000, 'b');
  const std::string reply = first + "," + second + "\n";
  for (std::size_t piece : std::initializer_list<std::size_t>{1, 7, 4096, 16383, 16384, 16385, reply.size()}) {
    SCOPED_TRACE(piece);
    for (const char* rest : {"%#t", "%#T"}) {
      Input in = make();
      // Cut every `piece` bytes; pieces of one byte only around the comma and the end.
      std::vector<std::size_t> cuts;
      for (std::size_t at = 0; at < reply.size(); at += piece)
        if (piece > 1 || (at > 39990 && at < 40010) || at + 5 > reply.size() || at == 0 || at == 40010) cuts.push_back(at);
      cuts.push_back(reply.size());
      for (std::size_t i = 0; i + 1 < cuts.size(); ++i)
        in.transport.feed(reply.substr(cuts[i], cuts[i + 1] - cuts[i]), message_based() && i + 2 == cuts.size());
      std::vector<char> a(50001), b(50001);
      ViInt32 a_count = 50000, b_count = 50000;
      const std::string format = std::string("%#[^,],") + rest;
      ASSERT_EQ(scan(in, format.c_str(), &a_count, a.data(), &b_count, b.data()), VI_SUCCESS);
      EXPECT_EQ(std::string(a.data(), a_count), first);
      EXPECT_EQ(std::string(b.data(), b_count), second + "\n");
      EXPECT_FALSE(in.has_buffered());
    }
  }
}

TEST_P(BothEndings, AWidthStopsABulkRunAndTheRestStays) {
  Input in = make();
  feed(in, std::string(20000, 'x') + "yz\n");
  std::vector<char> field(20001);
  ASSERT_EQ(scan(in, "%19999[x]", field.data()), VI_SUCCESS);
  EXPECT_EQ(std::strlen(field.data()), 19999u);
  char rest[8];
  ASSERT_EQ(scan(in, "%s", rest), VI_SUCCESS);
  EXPECT_STREQ(rest, "xyz");
}

INSTANTIATE_TEST_SUITE_P(Endings, BothEndings, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "END" : "TermChar"; });

TEST(FormattedRead, IntegersRoundRealRepliesHalfAwayFromZero) {
  struct Case {
    const char* reply;
    ViInt32 expected;
  };
  const Case cases[] = {{"42\n", 42},  {"+7\n", 7},   {"-2.5\n", -3}, {"2.5\n", 3},
                        {"4.4E+00\n", 4}, {"1e3\n", 1000}, {"  12 \n", 12}, {"-0\n", 0}};
  for (const Case& c : cases) {
    Input in(true);
    in.transport.feed(c.reply);
    ViInt32 v = -99;
    ASSERT_EQ(scan(in, "%ld", &v), VI_SUCCESS) << c.reply;
    EXPECT_EQ(v, c.expected) << c.reply;
  }
}

// A number reads the same whether its characters are held together or arrive
// one by one, and what follows it stays for the next conversion.
TEST(FormattedRead, NumbersInAnyPiecesAndWhatFollowsThem) {
  struct Case {
    const char* reply;
    double value;
    const char* after;
  };
  const Case cases[] = {{"-1.25e-3V\n", -1.25e-3, "V\n"}, {"+12.5,3\n", 12.5, ",3\n"},
                        {"1e\n", 1, "e\n"},               {"-INF;\n", -HUGE_VAL, ";\n"},
                        {"7.E+2x\n", 700, "x\n"},          {"42e+\n", 42, "e+\n"}};
  for (const Case& c : cases) {
    const std::string reply = c.reply;
    for (std::size_t piece : {std::size_t{1}, std::size_t{2}, std::size_t{3}, reply.size()}) {
      SCOPED_TRACE(std::string(c.reply) + " in pieces of " + std::to_string(piece));
      Input in(true);
      for (std::size_t at = 0; at < reply.size(); at += piece) in.transport.feed(reply.substr(at, piece));
      ViReal64 v = 0;
      char rest[16] = "";
      if (std::string_view(c.reply).substr(0, 2) == "1e" || std::string_view(c.reply).substr(0, 3) == "42e") {
        // An exponent without digits is not part of the number: the number parses without it.
        ASSERT_EQ(scan(in, "%lf%t", &v, rest), VI_ERROR_INV_FMT);
        continue;
      }
      ASSERT_EQ(scan(in, "%lf%t", &v, rest), VI_SUCCESS);
      EXPECT_EQ(v, c.value);
      EXPECT_STREQ(rest, c.after);
    }
  }
  Input in(true);
  in.transport.feed("12345\n");
  ViInt32 head = 0, tail = 0;
  ASSERT_EQ(scan(in, "%3ld%ld", &head, &tail), VI_SUCCESS);
  EXPECT_EQ(head, 123);
  EXPECT_EQ(tail, 45);
}

TEST(FormattedRead, SizesFollowTheVisaTypes) {
  Input in(true);
  in.transport.feed("-32768,2147483647,-9000000000,65535\n");
  ViInt16 h = 0;
  ViInt32 l = 0;
  ViInt64 ll = 0;
  ViUInt16 hu = 0;
  ASSERT_EQ(scan(in, "%hd,%ld,%lld,%hu", &h, &l, &ll, &hu), VI_SUCCESS);
  EXPECT_EQ(h, -32768);
  EXPECT_EQ(l, 2147483647);
  EXPECT_EQ(ll, -9000000000LL);
  EXPECT_EQ(hu, 65535);
}

TEST(FormattedRead, RealSpellingsTheInstrumentMaySend) {
  struct Case {
    const char* reply;
    double expected;
  };
  const Case cases[] = {{"9.91E+37\n", 9.91e37}, {"-1.25e-3V\n", -1.25e-3}, {".5\n", 0.5},
                        {"+INF\n", HUGE_VAL},   {"-inf\n", -HUGE_VAL}};
  for (const Case& c : cases) {
    Input in(true);
    in.transport.feed(c.reply);
    ViReal64 v = 0;
    ASSERT_EQ(scan(in, "%lf%*t", &v), VI_SUCCESS) << c.reply;
    EXPECT_EQ(v, c.expected) << c.reply;
  }
  Input in(true);
  in.transport.feed("NAN\n");
  ViReal64 v = 0;
  ASSERT_EQ(scan(in, "%lf", &v), VI_SUCCESS);
  EXPECT_TRUE(std::isnan(v));
}

// Every shape of scan set takes what the C library's takes, whether the reply
// is held whole or arrives a byte at a time; the line feed always ends the field.
TEST(FormattedRead, ScanSetsOfEveryShapeTakeWhatTheCLibraryTakes) {
  struct Case {
    const char* format;
    const char* reply;  // without its closing line feed
  };
  const Case cases[] = {{"%[^,]", "CH1,CH2"},       {"%[^]]", "ab]cd"},        {"%[^-]", "5-7"},
                        {"%[a-z]", "volt2"},        {"%[]a]", "]a]ab"},        {"%[-x]", "x-x-y"},
                        {"%[^a-c]", "xyzbq"},       {"%[0-9.]", "12.5V"},      {"%[^ ]", "no space"},
                        {"%[^\t]", "tab\there"},    {"%3[^,]", "abcdef,g"},    {"%[^;]", "whole reply"}};
  for (const Case& c : cases) {
    char expected[64] = "";
    ASSERT_EQ(std::sscanf(c.reply, c.format, expected), 1) << c.format;
    const std::string reply = std::string(c.reply) + "\n";
    for (std::size_t piece : {std::size_t{1}, reply.size()}) {
      SCOPED_TRACE(std::string(c.format) + " on \"" + c.reply + "\" in pieces of " + std::to_string(piece));
      Input in(true);
      for (std::size_t at = 0; at < reply.size(); at += piece) in.transport.feed(reply.substr(at, piece));
      char got[64] = "";
      ASSERT_EQ(scan(in, c.format, got), VI_SUCCESS);
      EXPECT_STREQ(got, expected);
    }
  }
}

TEST(FormattedRead, StringsAndCharacters) {
  Input in(true);
  in.transport.feed("  hello world\n");
  char word[16], second[16];
  ASSERT_EQ(scan(in, "%s%s", word, second), VI_SUCCESS);
  EXPECT_STREQ(word, "hello");
  EXPECT_STREQ(second, "world");
  in.transport.feed("abcdef\n");
  char three[3];
  char w[4];
  ASSERT_EQ(scan(in, "%3c%3s", three, w), VI_SUCCESS);
  EXPECT_EQ(std::string(three, 3), "abc");
  EXPECT_STREQ(w, "def");
}

TEST(FormattedRead, PercentTWithACountDropsWhatDoesNotFit) {
  Input in(true);
  in.transport.feed("abcdefgh\n");
  in.transport.feed("next\n");
  char buffer[8];
  std::memset(buffer, '#', sizeof buffer);
  ViInt32 count = 6;
  ASSERT_EQ(scan(in, "%#t", &count, buffer), VI_SUCCESS);
  EXPECT_STREQ(buffer, "abcde");
  EXPECT_EQ(count, 5);
  EXPECT_EQ(buffer[6], '#');
  char next[8];
  ASSERT_EQ(scan(in, "%7t", next), VI_SUCCESS);
  EXPECT_STREQ(next, "next\n");
}

TEST(FormattedRead, MessageBasedDataWithoutLineFeedEndsAtEnd) {
  Input in(false);
  in.transport.feed("12", false);
  in.transport.feed("34", true);  // END on the last fragment
  in.transport.feed("5\n", true);
  ViInt32 v = 0;
  ASSERT_EQ(scan(in, "%ld%*t", &v), VI_SUCCESS);
  EXPECT_EQ(v, 1234);
  char rest[8];
  ASSERT_EQ(scan(in, "%t", rest), VI_SUCCESS);
  EXPECT_STREQ(rest, "5\n");
  EXPECT_EQ(in.transport.reads_after_dry, 0);
}

TEST(FormattedRead, AReplyWithoutTerminatorTimesOut) {
  Input in(true);
  in.transport.feed("42");
  ViInt32 v = 0;
  EXPECT_EQ(scan(in, "%ld%*t", &v), VI_ERROR_TMO);
}

TEST(FormattedRead, UnsupportedConversion) {
  Input in(true);
  in.transport.feed("1\n");
  int x = 0;
  EXPECT_EQ(scan(in, "%b", &x), VI_ERROR_NSUP_FMT);
}

// --- raw reads through the same buffer ------------------------------------

TEST(InputBuffer, RawReadStatusesAndSharingWithFormattedReads) {
  Input in(true);
  in.transport.feed("hello world\nsecond\n");
  char buf[8];
  std::size_t got = 0;
  EXPECT_EQ(in.read(buf, 5, got), VI_SUCCESS_MAX_CNT);
  EXPECT_EQ(std::string(buf, got), "hello");
  EXPECT_EQ(in.read(buf, 8, got), VI_SUCCESS_TERM_CHAR);
  EXPECT_EQ(std::string(buf, got), " world\n");
  // What raw reads left is what formatted reads get.
  char word[8];
  ASSERT_EQ(scan(in, "%s", word), VI_SUCCESS);
  EXPECT_STREQ(word, "second");
  EXPECT_FALSE(in.has_buffered());
}

TEST(InputBuffer, RawReadEndsAtEndOnMessageBasedInput) {
  Input in(false);
  in.transport.feed("abc", true);
  in.transport.feed("", true);  // an empty message
  char buf[8];
  std::size_t got = 0;
  EXPECT_EQ(in.read(buf, 8, got), VI_SUCCESS);
  EXPECT_EQ(std::string(buf, got), "abc");
  EXPECT_EQ(in.read(buf, 8, got), VI_SUCCESS);
  EXPECT_EQ(got, 0u);
  EXPECT_EQ(in.read(buf, 8, got), VI_ERROR_TMO);
}

TEST(InputBuffer, WithoutTerminationOnlyTheCountEndsARead) {
  Input in(false);
  in.transport.feed("abc\n");
  char buf[8];
  std::size_t got = 0;
  EXPECT_EQ(in.read(buf, 8, got), VI_ERROR_TMO);
  EXPECT_EQ(got, 4u);
  in.transport.feed("abc\n");
  EXPECT_EQ(in.read(buf, 4, got), VI_SUCCESS_MAX_CNT);
}

// Large raw reads go straight from the transport into the caller's buffer:
// what follows a termination character, and where END falls, are kept.
TEST(InputBuffer, LargeReadsKeepWhatFollowsTheTerminationCharacter) {
  Input in(true);
  in.transport.feed("line one\nline two\n" + std::string(100, 'z'));
  std::vector<char> buf(65536);
  std::size_t got = 0;
  EXPECT_EQ(in.read(buf.data(), buf.size(), got), VI_SUCCESS_TERM_CHAR);
  EXPECT_EQ(std::string(buf.data(), got), "line one\n");
  EXPECT_EQ(in.read(buf.data(), buf.size(), got), VI_SUCCESS_TERM_CHAR);
  EXPECT_EQ(std::string(buf.data(), got), "line two\n");
  EXPECT_EQ(in.read(buf.data(), buf.size(), got), VI_ERROR_TMO);
  EXPECT_EQ(std::string(buf.data(), got), std::string(100, 'z'));
}

TEST(InputBuffer, LargeReadsOfAMessageInPiecesEndOnlyAtItsEnd) {
  Input in(false);
  const std::string message = std::string(50000, 'm') + "\n";
  in.transport.feed(message.substr(0, 20000));
  in.transport.feed(message.substr(20000, 20000));
  in.transport.feed(message.substr(40000), true);
  in.transport.feed("next", true);
  std::vector<char> buf(1 << 20);
  std::size_t got = 0;
  EXPECT_EQ(in.read(buf.data(), buf.size(), got), VI_SUCCESS);
  EXPECT_EQ(std::string(buf.data(), got), message);
  EXPECT_EQ(in.read(buf.data(), buf.size(), got), VI_SUCCESS);
  EXPECT_EQ(std::string(buf.data(), got), "next");
  // A termination character inside a message read with END keeps the END for the rest.
  Input term(true);
  term.transport.feed("ab\ncd", true);
  EXPECT_EQ(term.read(buf.data(), buf.size(), got), VI_SUCCESS_TERM_CHAR);
  EXPECT_EQ(std::string(buf.data(), got), "ab\n");
  EXPECT_EQ(term.read(buf.data(), buf.size(), got), VI_SUCCESS);
  EXPECT_EQ(std::string(buf.data(), got), "cd");
}

}  // namespace
