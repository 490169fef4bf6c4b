// SPDX-License-Identifier: MIT
// The public header and the driver's tables agree: every status code of the
// error table is defined in ZEVRA.h with the same value, and nothing else is.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <regex>
#include <sstream>
#include <string>

#include "error_messages.h"

namespace {

std::map<std::string, long long> HeaderStatusCodes() {
  std::ifstream in(ZEVRA_HEADER_PATH);
  std::stringstream text;
  text << in.rdbuf();
  std::map<std::string, long long> codes;
  std::regex define(R"(#define (\w+) \(\(ViStatus\)(0x[0-9A-Fa-f]+)L\))");
  std::string s = text.str();
  for (std::sregex_iterator it(s.begin(), s.end(), define), end; it != end; ++it)
    codes[(*it)[1]] = std::stoll((*it)[2], nullptr, 16);
  return codes;
}

TEST(Header, StatusCodesMatchTheErrorTable) {
  std::map<std::string, long long> header = HeaderStatusCodes();
  ASSERT_FALSE(header.empty()) << "could not read " << ZEVRA_HEADER_PATH;
  std::size_t rows = 0;
  for (const zevra::ErrorMessageRow& row : zevra::ErrorMessageTable()) {
    ++rows;
    if (std::string(row.constant) == "VI_SUCCESS") continue;  // from visatype.h
    auto it = header.find(row.constant);
    ASSERT_NE(it, header.end()) << row.constant << " is not in ZEVRA.h";
    EXPECT_EQ(static_cast<ViStatus>(static_cast<unsigned int>(it->second)), row.code) << row.constant;
    header.erase(it);
  }
  EXPECT_EQ(rows, 49u);
  EXPECT_TRUE(header.empty()) << header.begin()->first << " is in ZEVRA.h but not in the error table";
}

}  // namespace
