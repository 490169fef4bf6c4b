// SPDX-License-Identifier: MIT
// zevra's command line, parsed by CLI11 from the command table: the global
// options, and a subcommand per command with its arguments and flags.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "commands.h"
#include "session.h"

namespace zevra_tool {

struct CommandLine {
  SessionOptions session;
  bool json = false;
  std::string trace;  // --trace FILE: the VISA library's I/O trace for this run
  const Command* command = nullptr;
  std::vector<std::string> args;
  // The command's flags that were given: "--interval" -> "50"; a flag without a value -> "".
  std::map<std::string, std::string> options;
  // Set when help was asked for: print it, run nothing.
  std::string help;
  // --version: print the versions, run nothing.
  bool version = false;
};

// The parser, made once from the command table and used for any number of
// lines (the shell keeps one for its whole run). At the top level the global
// options are taken too, before or after the command; in the shell only a
// command. Bad input is a Failure with exit status 2.
class CommandLineParser {
 public:
  explicit CommandLineParser(bool top_level);
  ~CommandLineParser();
  CommandLineParser(const CommandLineParser&) = delete;
  CommandLineParser& operator=(const CommandLineParser&) = delete;
  // `words` after the program name.
  CommandLine Parse(const std::vector<std::string>& words);

 private:
  struct Parser;
  std::unique_ptr<Parser> parser_;
};

// One line, with a parser made for it.
CommandLine ParseCommandLine(const std::vector<std::string>& words, bool top_level);

}  // namespace zevra_tool
