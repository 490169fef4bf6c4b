// SPDX-License-Identifier: MIT
// The option string's grammar: the DriverSetup clause and the "name = value"
// pairs before it and inside it. Each scan is one linear pass without
// recursion, so an option string of any length is parsed in time and stack
// proportional to its length.
#pragma once

#include <string_view>
#include <vector>

namespace vexo::grammar {

struct DriverSetupClause {
  bool found = false;
  std::string_view before;  // the text before the clause (and the blanks leading up to it)
  std::string_view body;    // after "DriverSetup =", up to the end of its line
};

// The first "DriverSetup =" (any case, blanks around the name) that the text holds.
DriverSetupClause FindDriverSetupClause(std::string_view text);

struct OptionPair {
  std::string_view name;
  std::string_view value;
};

// The inherent options' "word = word" pairs, an optional comma after each;
// text between pairs that forms none is passed over.
std::vector<OptionPair> InherentOptionPairs(std::string_view text);

// DriverSetup's "name = value" or "name : value" pairs: a name of word
// characters and '+', a value running to the next comma.
std::vector<OptionPair> DriverSetupPairs(std::string_view text);

}  // namespace vexo::grammar
