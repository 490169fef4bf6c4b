// zevra: a terminal front panel for QDX power supplies, through the driver's
// public API.
#include <cstring>
#include <iostream>
#include <string>
#include <vector>

#include "commands.h"
#include "session.h"

namespace {

void Usage(std::ostream& out) {
  out << "usage: zevra [-r RESOURCE] [-o OPTIONS] [--emulate] [--json] COMMAND [ARGS]\n"
         "  -r RESOURCE  a VISA resource (TCPIP0::host::5025::SOCKET) or a logical name\n"
         "  -o OPTIONS   the option string, e.g. \"Simulate=1\" or \"QueryInstrStatus=1\"\n"
         "  --emulate    an emulated instrument in this process (the default without -r)\n"
         "  --json       print results as JSON\n"
         "commands (zevra COMMAND --help for each):\n";
  for (const zevra_tool::Command& c : zevra_tool::Commands()) out << "  " << c.usage << "\n      " << c.help << "\n";
}

}  // namespace

int main(int argc, char** argv) {
  zevra_tool::SessionOptions options;
  options.options = "QueryInstrStatus=1";
  bool json = false;
  int i = 1;
  for (; i < argc && argv[i][0] == '-'; ++i) {
    std::string arg = argv[i];
    if (arg == "--help" || arg == "-h") {
      Usage(std::cout);
      return 0;
    } else if (arg == "-r" && i + 1 < argc) {
      options.resource = argv[++i];
    } else if (arg == "-o" && i + 1 < argc) {
      options.options = argv[++i];
    } else if (arg == "--emulate") {
      options.emulate = true;
    } else if (arg == "--json") {
      json = true;
    } else {
      std::cerr << "zevra: unknown or incomplete option '" << arg << "'\n";
      Usage(std::cerr);
      return 2;
    }
  }
  if (i >= argc) {
    Usage(std::cerr);
    return 2;
  }
  std::vector<std::string> words(argv + i, argv + argc);
  const zevra_tool::Command* command = zevra_tool::FindCommand(words[0]);
  if (command == nullptr) {
    std::cerr << "zevra: " << zevra_tool::UnknownCommand(words[0]).what() << "\n";
    return 2;
  }
  // Completion needs no instrument.
  if (std::string(command->name) == "completion") {
    if (words.size() != 2 || words[1] != "bash") {
      std::cerr << "zevra: usage: zevra completion bash\n";
      return 2;
    }
    std::cout << zevra_tool::BashCompletion();
    return 0;
  }
  if (words.size() > 1 && (words[1] == "--help" || words[1] == "-h")) {
    std::cout << "usage: zevra " << command->usage << "\n  " << command->help << "\n";
    return 0;
  }
  // Opening with status checking clears the instrument's queue: the errors command must not.
  if (std::string(command->name) == "errors") options.options = zevra_tool::WithoutStatusChecking(options.options);
  try {
    zevra_tool::Session session(options);
    zevra_tool::Context context{session, json};
    return zevra_tool::RunCommand(context, words);
  } catch (const zevra_tool::Failure& f) {
    if (json) std::cout << zevra_tool::FailureJson(f) << std::flush;
    std::cerr << "zevra: " << f.what() << "\n";
    return f.code;
  }
}
