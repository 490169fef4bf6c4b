// zevra's commands: one table of names, usage, help and handlers.
#pragma once

#include <string>
#include <vector>

#include "report.h"
#include "session.h"

namespace zevra_tool {

struct Context {
  Session& session;
  bool json = false;
};

struct Command {
  const char* name;
  const char* usage;
  const char* help;
  // Fills the report; throws Failure on error.
  void (*run)(Context&, const std::vector<std::string>& args, Report& report);
};

const std::vector<Command>& Commands();
const Command* FindCommand(const std::string& name);

// Runs one command line and prints its report; returns the exit status.
int RunCommand(Context& context, const std::vector<std::string>& words);

// Splits a line into words, keeping quoted text together.
std::vector<std::string> SplitWords(const std::string& line);

}  // namespace zevra_tool
