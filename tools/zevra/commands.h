// SPDX-License-Identifier: MIT
// zevra's commands: one table of names, usage, help and handlers.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "report.h"
#include "session.h"

namespace zevra_tool {

struct Command;

struct Context {
  Session& session;
  bool json = false;
  const Command* command = nullptr;  // the one running
  std::map<std::string, std::string> options;  // its flags that were given
  // A given flag's value, else `fallback`.
  std::string Option(const std::string& name, const std::string& fallback = "") const {
    auto it = options.find(name);
    return it == options.end() ? fallback : it->second;
  }
  bool Has(const std::string& name) const { return options.count(name) != 0; }
};

// A command's flag: "--interval" with a value named "MS", or "--echo" without one.
struct Flag {
  const char* name;
  const char* value_name;  // nullptr: the flag takes no value
  const char* help;
};

struct Command {
  const char* name;
  const char* usage;  // its forms, " | " between them
  const char* help;
  // How many positional arguments it takes, checked before it runs.
  std::size_t min_args;
  int max_args;
  // Fills the report; throws Failure on error.
  void (*run)(Context&, const std::vector<std::string>& args, Report& report);
  std::vector<Flag> flags = {};
  bool needs_instrument = true;  // false: runs without opening a driver session
};

// "usage: zevra <usage>" as a failure with exit status 2; with `form` ("list load"), only the usage
// form that starts with it.
Failure UsageFailure(const Command& command, std::string_view form = {});

const std::vector<Command>& Commands();
const Command* FindCommand(const std::string& name);
// "unknown command" (exit 2), suggesting the nearest command name when one is close.
Failure UnknownCommand(const std::string& name);
// A bash completion script for the command table.
std::string BashCompletion();

// Runs one command on a session and prints its report; returns the exit status.
int RunCommand(Context& context, const Command& command, const std::vector<std::string>& args);
// Parses and runs one shell line (a command, no global options); returns the exit status.
int RunLine(Context& context, const std::vector<std::string>& words);

// Splits a line into words, keeping quoted text together.
std::vector<std::string> SplitWords(const std::string& line);

}  // namespace zevra_tool
