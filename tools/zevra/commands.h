// zevra's commands: one table of names, usage, help and handlers.
#pragma once

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
};

struct Command {
  const char* name;
  const char* usage;  // its forms, " | " between them
  const char* help;
  // How many arguments it takes, checked before it runs; max_args -1: it reads its own options.
  std::size_t min_args;
  int max_args;
  // Fills the report; throws Failure on error.
  void (*run)(Context&, const std::vector<std::string>& args, Report& report);
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

// Runs one command line and prints its report; returns the exit status.
int RunCommand(Context& context, const std::vector<std::string>& words);

// Splits a line into words, keeping quoted text together.
std::vector<std::string> SplitWords(const std::string& line);

}  // namespace zevra_tool
