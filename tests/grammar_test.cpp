// SPDX-License-Identifier: MIT
// The option-string and selector scanners against the regular expressions
// they replaced: on every short string over the grammars' own alphabet the
// scanner accepts, rejects and captures exactly what the expression did. The
// expressions recurse per character, so they are only run on short strings.
#include <gtest/gtest.h>

#include <random>
#include <regex>
#include <string>
#include <vector>

#include "option_grammar.h"
#include "selector_grammar.h"

namespace {

using namespace vexo::grammar;

std::vector<std::string> RandomStrings(std::string_view alphabet, std::size_t count, std::size_t max_length,
                                       unsigned seed) {
  std::mt19937 random(seed);
  std::vector<std::string> out;
  for (std::size_t i = 0; i < count; ++i) {
    std::string s(random() % (max_length + 1), ' ');
    for (char& c : s) c = alphabet[random() % alphabet.size()];
    out.push_back(std::move(s));
  }
  return out;
}

TEST(Grammar, SelectorSyntaxAsTheExpression) {
  const std::string identifier = R"(\s*[\w_!]+)";
  const std::string range = R"((?:\s*[\w_!]*?[0-9]+\s*-\s*[\w_!]*?[0-9]+))";
  const std::string list = "(?:" + range + "|" + identifier + ")(?:\\s*,(?:" + range + "|" + identifier + "))*";
  const std::string level = "\\[?" + list + "\\s*\\]?";
  const std::regex reference("^(?:\\s*" + level + ")(?:\\s*:\\s*" + level + ")*$",
                             std::regex::ECMAScript | std::regex::icase);
  std::vector<std::string> inputs = RandomStrings("CH1 2-,:[]!\tx_", 60000, 14, 1);
  for (const char* s : {"CH1", " CH1 ", "[CH1]", "[CH1] ", "[CH1] :CH2", "CH1]", "[CH1", "CH1-CH4", "CH1 - CH4 ,CH2",
                        "1-2", "CH-CH2", "CH1-CH", "OutputChannel!!CH1", "[ CH1 , CH2 ]:[CH3]", "CH1,", ",CH1", "",
                        " ", "[]", "CH1\v", "\fCH1-\vCH2"})
    inputs.emplace_back(s);
  std::size_t accepted = 0;
  for (const std::string& s : inputs) {
    bool expected = std::regex_match(s, reference);
    accepted += expected;
    ASSERT_EQ(IsWellFormedSelector(s), expected) << '"' << s << '"';
  }
  EXPECT_GT(accepted, 1000u);  // the sample reaches both outcomes
}

TEST(Grammar, RangeSplitAsTheExpression) {
  const std::regex reference(R"(^\s*([\w_!]*?)([0-9]+)\s*-\s*\1([0-9]+)$)", std::regex::ECMAScript | std::regex::icase);
  std::vector<std::string> inputs = RandomStrings("Ch12 -x!", 30000, 12, 2);
  // And strings shaped like ranges, so that both outcomes are common.
  std::mt19937 random(5);
  const char* bases[] = {"", "C", "CH", "ch", "X!", "C1"};
  const char* digits[] = {"1", "2", "12", "007", "99999999999", ""};
  const char* blanks[] = {"", " ", "\t", "\v"};
  for (int i = 0; i < 30000; ++i) {
    auto pick = [&](const auto& table) { return std::string(table[random() % std::size(table)]); };
    inputs.push_back(pick(blanks) + pick(bases) + pick(digits) + pick(blanks) + (random() % 8 ? "-" : "+") +
                     pick(blanks) + pick(bases) + pick(digits) + (random() % 8 ? "" : pick(blanks)));
  }
  for (const char* s : {"CH1-CH4", "ch1-CH12", "CH1-3", "1-3", " CH1 - CH2", "CH1-CH2 ", "CH1-DH2", "AB12-AB123"})
    inputs.emplace_back(s);
  std::size_t matched = 0;
  for (const std::string& s : inputs) {
    std::smatch m;
    bool expected = std::regex_match(s, m, reference);
    RangeParts parts;
    ASSERT_EQ(SplitRange(s, parts), expected) << '"' << s << '"';
    if (!expected) continue;
    ++matched;
    EXPECT_EQ(parts.base, m[1].str()) << s;
    EXPECT_EQ(parts.first_digits, m[2].str()) << s;
    EXPECT_EQ(parts.last_digits, m[3].str()) << s;
  }
  EXPECT_GT(matched, 3000u);
}

TEST(Grammar, DriverSetupClauseAsTheExpression) {
  const std::regex reference(R"(\s*DriverSetup\s*=(.*))", std::regex::ECMAScript | std::regex::icase);
  std::vector<std::string> inputs;
  std::mt19937 random(3);
  const char* pieces[] = {"DriverSetup", "driversetup", "DRIVERSETUP=", "DriverSetu", " ", "=", "\n", "\r", "x", ",",
                          "Simulate=1", "\t"};
  for (int i = 0; i < 20000; ++i) {
    std::string s;
    for (int n = static_cast<int>(random() % 6); n > 0; --n) s += pieces[random() % std::size(pieces)];
    inputs.push_back(s);
  }
  for (const std::string& s : inputs) {
    std::smatch m;
    bool expected = std::regex_search(s, m, reference);
    DriverSetupClause clause = FindDriverSetupClause(s);
    ASSERT_EQ(clause.found, expected) << '"' << s << '"';
    if (!expected) continue;
    EXPECT_EQ(clause.before, m.prefix().str()) << s;
    EXPECT_EQ(clause.body, m[1].str()) << s;
  }
}

// Every match of `re` in `s`, as the pairs the scanner reports.
std::vector<std::pair<std::string, std::string>> ReferencePairs(const std::string& s, const std::regex& re) {
  std::vector<std::pair<std::string, std::string>> out;
  for (std::sregex_iterator it(s.begin(), s.end(), re), end; it != end; ++it) out.emplace_back((*it)[1], (*it)[2]);
  return out;
}

std::vector<std::pair<std::string, std::string>> Pairs(const std::vector<OptionPair>& pairs) {
  std::vector<std::pair<std::string, std::string>> out;
  for (const OptionPair& p : pairs) out.emplace_back(p.name, p.value);
  return out;
}

TEST(Grammar, OptionPairsAsTheExpressions) {
  const std::regex inherent(R"(\s*(\w+)\s*=\s*(\w+)\s*,?)", std::regex::ECMAScript);
  const std::regex driver_setup(R"(([\w+_]+)\s*(?:=|:)\s*([^,]+))", std::regex::ECMAScript);
  std::vector<std::string> inputs = RandomStrings("ab1 =,:+_\t;", 60000, 16, 4);
  for (const char* s : {"Simulate=1, Cache = 0", "a=bc=d", "Model= ,x", "Model=,x:y", "Model = QDX7000 , x",
                        "simulate = true,,cache=1", "=1", "a="})
    inputs.emplace_back(s);
  for (const std::string& s : inputs) {
    ASSERT_EQ(Pairs(InherentOptionPairs(s)), ReferencePairs(s, inherent)) << '"' << s << '"';
    ASSERT_EQ(Pairs(DriverSetupPairs(s)), ReferencePairs(s, driver_setup)) << '"' << s << '"';
  }
}

}  // namespace
