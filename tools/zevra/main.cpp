// SPDX-License-Identifier: MIT
// zevra: a terminal front panel for QDX power supplies, through the driver's
// public API.
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string>
#include <vector>

#include "command_line.h"
#include "commands.h"
#include "report.h"
#include "session.h"

int main(int argc, char** argv) {
  zevra_tool::CommandLine line;
  bool json = false;
  for (int i = 1; i < argc; ++i) json = json || std::string(argv[i]) == "--json";
  try {
    line = zevra_tool::ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc), true);
  } catch (const zevra_tool::Failure& f) {
    if (json) std::cout << zevra_tool::FailureJson(f) << std::flush;
    std::cerr << "zevra: " << visa::terminal_safe(f.what(), true) << "\n";
    return f.code;
  }
  if (!line.help.empty()) {
    std::cout << line.help;
    return 0;
  }
  if (line.version) {
    std::cout << zevra_tool::Versions();
    return 0;
  }
  const zevra_tool::Command& command = *line.command;
  // Completion needs no instrument.
  if (std::string(command.name) == "completion") {
    if (line.args.size() != 1 || line.args[0] != "bash") {
      std::cerr << "zevra: usage: zevra completion bash\n";
      return 2;
    }
    std::cout << zevra_tool::BashCompletion();
    return 0;
  }
  // The VISA library decides whether to trace once, as it loads (before this
  // program has read its options): run again with the trace named for it.
  if (!line.trace.empty()) {
    const char* current = std::getenv("ZEVRA_VISA_TRACE");
    if (current == nullptr || line.trace != current) {
      setenv("ZEVRA_VISA_TRACE", line.trace.c_str(), 1);
      execv("/proc/self/exe", argv);
      std::cerr << "zevra: cannot trace (" << std::strerror(errno) << "); running without a trace\n";
    }
  }
  // Opening with status checking clears the instrument's queue: the errors command must not.
  if (std::string(command.name) == "errors") line.session.options = zevra_tool::WithoutStatusChecking(line.session.options);
  line.session.no_instrument = !command.needs_instrument;
  try {
    zevra_tool::Session session(line.session);
    zevra_tool::Context context{session, line.json, &command, line.options};
    return zevra_tool::RunCommand(context, command, line.args);
  } catch (const zevra_tool::Failure& f) {
    if (line.json) std::cout << zevra_tool::FailureJson(f) << std::flush;
    std::cerr << "zevra: " << visa::terminal_safe(f.what(), true) << "\n";
    return f.code;
  }
}
