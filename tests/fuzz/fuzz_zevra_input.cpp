// SPDX-License-Identifier: MIT
// zevra's input: a command line (words, command names, channels, numbers,
// values with units), an option string to turn status checking off in, and a
// list file.
#include <sstream>

#include "commands.h"
#include "fuzz_support.h"
#include "list_csv.h"
#include "session.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string text(fuzzing::Text(data, size));
  std::vector<std::string> words = zevra_tool::SplitWords(text);
  if (!words.empty()) zevra_tool::FindCommand(words[0]);
  for (const std::string& word : words) {
    try {
      zevra_tool::ChannelName(word);
    } catch (const zevra_tool::Failure&) {
    }
    try {
      zevra_tool::ParseNumber(word, "value");
    } catch (const zevra_tool::Failure&) {
    }
    try {
      zevra_tool::ParseQuantity(word, "V", "value");
    } catch (const zevra_tool::Failure&) {
    }
  }
  if (zevra_tool::WithoutStatusChecking(text).rfind("QueryInstrStatus=0", 0) != 0) __builtin_trap();
  std::istringstream in(text);
  try {
    zevra_tool::ParseListSteps(in, "fuzz.csv");
  } catch (const zevra_tool::Failure&) {
  }
  return 0;
}
