// SPDX-License-Identifier: MIT
// zevra shell: the commands at an interactive prompt with history, or read
// line by line from a script on standard input.
#include <readline/history.h>
#include <readline/readline.h>
#include <unistd.h>

#include <cstdlib>
#include <iostream>
#include <memory>
#include <string>

#include "commands.h"
#include "regular_file.h"

namespace zevra_tool {

void Shell(Context& context, const std::vector<std::string>&, Report&) {
  // --echo prints each command of a script before its output, as a transcript.
  const bool echo = context.Has("--echo");
  bool interactive = isatty(STDIN_FILENO) != 0;
  std::string history_file;
  if (interactive) {
    if (const char* home = std::getenv("HOME")) history_file = std::string(home) + "/.zevra_history";
    if (!history_file.empty()) read_history(history_file.c_str());
    std::cout << "zevra shell on " << context.session.resource() << " ('help' lists commands, 'quit' leaves)\n";
  }
  int failures = 0;
  for (bool first = true;; first = false) {
    std::string line;
    if (interactive) {
      std::unique_ptr<char, decltype(&std::free)> text(readline("zevra> "), &std::free);
      if (!text) break;
      line = text.get();
      if (!line.empty()) add_history(line.c_str());
    } else if (!std::getline(std::cin, line)) {
      break;
    } else if (first) {
      regular_file::DropByteOrderMark(line);
    }
    std::vector<std::string> words = SplitWords(line);
    if (words.empty() || words[0][0] == '#') continue;
    if (echo && !interactive) std::cout << "\nzevra> " << line << "\n" << std::flush;
    if (words[0] == "quit" || words[0] == "exit") break;
    if (words[0] == "help") {
      for (const Command& c : Commands()) std::cout << "  " << c.usage << "\n      " << c.help << "\n";
      continue;
    }
    if (words[0] == "shell") {
      std::cerr << "zevra: already in the shell\n";
      continue;
    }
    if (RunLine(context, words) != 0) ++failures;
  }
  if (interactive && !history_file.empty()) write_history(history_file.c_str());
  // A script that had failures ends the run with a failure.
  if (!interactive && failures > 0) throw Failure(std::to_string(failures) + " command(s) of the script failed");
}

}  // namespace zevra_tool
