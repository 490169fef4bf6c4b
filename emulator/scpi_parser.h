// SPDX-License-Identifier: MIT
// SCPI command parsing: headers matched against patterns in long and short
// form without regard to case ("SYSTem:BEEPer:STATe" takes "SYST:BEEP:STAT"
// and "system:beeper:state"), optional nodes in brackets, numeric suffixes
// ("ISUMmary#"), compound lines separated by ';' and their relative paths.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace emulator::scpi {

// One message unit of a line: its header, whether it is a query, its parameters.
struct MessageUnit {
  std::string header;               // as sent, without '?' and leading ':'
  bool absolute = false;            // began with ':'
  bool query = false;
  std::vector<std::string> params;  // split at commas outside quotes, trimmed
  bool syntax_error = false;
};

// Splits a line into message units at ';' outside quoted strings.
std::vector<MessageUnit> SplitLine(std::string_view line);

// A compiled header pattern.
class Pattern {
 public:
  explicit Pattern(std::string_view text);
  // Matches a header given as mnemonics; fills the numeric suffixes found
  // (nodes marked '#', 1 when omitted).
  bool Match(const std::vector<std::string>& mnemonics, std::vector<int>& suffixes) const;
  // The mnemonics of the matched path that a following relative header builds on.
  std::size_t size() const { return nodes_.size(); }

 private:
  struct Node {
    std::string short_form;  // upper case
    std::string long_form;   // upper case
    bool optional = false;
    bool suffix = false;
  };
  bool MatchFrom(std::size_t node, std::size_t input, const std::vector<std::string>& mnemonics,
                 std::vector<int>& suffixes) const;
  std::vector<Node> nodes_;
};

// "SYST:BEEP:STAT" -> {"SYST","BEEP","STAT"} (upper case). Empty on malformed input.
std::vector<std::string> Mnemonics(std::string_view header);

// Parameter values.
std::optional<double> Number(std::string_view text, double min, double max, double def);
std::optional<bool> Boolean(std::string_view text);
std::optional<long long> Integer(std::string_view text);
std::string Unquote(std::string_view text);
bool IsMnemonic(std::string_view text, std::string_view pattern_word);  // "LATChing" takes "LATC", "latching"

}  // namespace emulator::scpi
