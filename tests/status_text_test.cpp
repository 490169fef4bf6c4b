// SPDX-License-Identifier: MIT
// Every status visa.h defines has a description that starts with its name.
#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <sstream>
#include <string>

#include "status_text.h"

namespace {

TEST(StatusText, EveryStatusInTheHeaderIsDescribed) {
  std::ifstream in(VISA_HEADER_PATH);
  ASSERT_TRUE(in) << VISA_HEADER_PATH;
  std::stringstream header;
  header << in.rdbuf();
  const std::string text = header.str();
  // "#define VI_ERROR_TMO ((ViStatus)(_VI_ERROR + 0x3FFF0015L))" or "((ViStatus)0x3FFF0002L)".
  const std::regex status(R"(#define (VI_(?:SUCCESS|WARN|ERROR)_\w+) \(\(ViStatus\)(\(_VI_ERROR \+ )?(0x[0-9A-Fa-f]+)L)");
  int seen = 0;
  for (std::sregex_iterator it(text.begin(), text.end(), status), end; it != end; ++it) {
    const std::string name = (*it)[1];
    std::uint32_t value = static_cast<std::uint32_t>(std::stoul((*it)[3], nullptr, 16));
    if ((*it)[2].matched) value += 0x80000000u;
    std::string description;
    EXPECT_TRUE(visa::status_text(static_cast<ViStatus>(value), description)) << name;
    EXPECT_EQ(description.rfind(name + ": ", 0), 0u) << name << " -> " << description;
    ++seen;
  }
  EXPECT_GT(seen, 40);
}

}  // namespace
