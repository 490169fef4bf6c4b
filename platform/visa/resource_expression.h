// SPDX-License-Identifier: MIT
// The expressions viFindRsrc takes: a VISA regular expression over resource
// names ("?*::INSTR", "TCPIP[0-9]*::?*", "(ASRL|TCPIP)?*"), optionally followed
// by an attribute clause in braces ({VI_ATTR_TCPIP_PORT == 5025 && VI_ATTR_INTF_NUM != 1}).
// Matching never backtracks: its time is linear in the name for any pattern.
#pragma once

#include <bitset>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "resource_name.h"
#include "visatype.h"

namespace visa {

// The regular expression alone, for names and for string values in clauses;
// letters match in either case.
class ResourcePattern {
 public:
  // VI_SUCCESS, or VI_ERROR_INV_EXPR for a pattern that does not parse.
  ViStatus parse(std::string_view text);
  bool matches(std::string_view text) const;

  // An automaton state: one character from a set, a fork, a pass-through, or the end.
  struct State {
    enum class Kind { Set, Split, Pass, Match } kind = Kind::Pass;
    std::bitset<256> set;
    int out = -1, alt = -1;
  };

 private:
  std::vector<State> states_;
  int start_ = -1;
};

class AttributeClause;

class ResourceExpression {
 public:
  ResourceExpression();
  ~ResourceExpression();
  ResourceExpression(ResourceExpression&&) noexcept;
  ResourceExpression& operator=(ResourceExpression&&) noexcept;

  // VI_SUCCESS, or VI_ERROR_INV_EXPR for an expression that does not parse.
  ViStatus parse(std::string_view text);
  // Whether a resource (its canonical name and parts) matches.
  bool matches(const ResourceName& resource) const;

 private:
  ResourcePattern pattern_;
  std::unique_ptr<AttributeClause> clause_;  // null without braces
};

}  // namespace visa
