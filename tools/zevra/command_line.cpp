// SPDX-License-Identifier: MIT
#include "command_line.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <memory>

namespace zevra_tool {
namespace {

constexpr const char* kTopUsage =
    "usage: zevra [-r RESOURCE] [-o OPTIONS] [--emulate] [--json] [--trace FILE] COMMAND [ARGS]";

// Help in zevra's words: each command's usage line from the table, then what
// CLI11 lists (arguments, options, and at the top the commands).
class HelpFormatter : public CLI::Formatter {
 public:
  HelpFormatter() {
    column_width(28);
  }
  std::string make_description(const CLI::App*) const override { return ""; }
  std::string make_usage(const CLI::App* app, std::string) const override {
    if (const Command* c = FindCommand(app->get_name()))
      return "usage: zevra " + std::string(c->usage) + "\n  " + c->help + "\n";
    return std::string(kTopUsage) + "\n  " + app->get_description() + "\n";
  }
  // The usage line already names the arguments.
  std::string make_positionals(const CLI::App*) const override { return ""; }
};

}  // namespace

// What CLI11 writes into while parsing: the line's global options, and each
// command's arguments and flags. Reset before each parse.
struct CommandLineParser::Parser {
  struct Parsed {
    const Command* command;
    CLI::App* app;
    std::vector<std::string> args;
    std::vector<std::pair<std::string, CLI::Option*>> flags;
  };
  bool top_level;
  CommandLine line;
  CLI::App app{"a terminal front panel for QDX power supplies (zevra COMMAND --help for each)", "zevra"};
  std::vector<std::unique_ptr<Parsed>> commands;

  explicit Parser(bool top) : top_level(top) {
    app.formatter(std::make_shared<HelpFormatter>());
    // Words no command takes are left for the messages below: an unknown command is named with a suggestion.
    app.allow_extras();
    app.require_subcommand(0, 1);
    if (top_level) {
      app.add_option("-r", line.session.resource, "a VISA resource (TCPIP0::host::5025::SOCKET, TCPIP0::host::hislip0::INSTR, ASRL/dev/ttyUSB0::INSTR, ...) or a logical name")
          ->type_name("RESOURCE");
      app.add_option("-o", line.session.options, "the option string, e.g. \"Simulate=1\" or \"QueryInstrStatus=1\"")
          ->type_name("OPTIONS");
      app.add_flag("--emulate", line.session.emulate, "an emulated instrument in this process");
      app.add_flag("--version", line.version, "print the versions of zevra, the driver and the VISA library");
      app.add_flag("--json", line.json, "print results as JSON");
      app.add_option("--trace", line.trace, "append a line per VISA call to FILE (- for standard error)")
          ->type_name("FILE");
    }
    for (const Command& c : Commands()) {
      auto parsed = std::make_unique<Parsed>(Parsed{&c, app.add_subcommand(c.name, c.help), {}, {}});
      CLI::App* sub = parsed->app;
      sub->fallthrough();  // global options may follow the command
      sub->group("Commands");
      // Counted below, so that too many arguments read like too few.
      if (c.max_args > 0) sub->add_option("arguments", parsed->args)->expected(0, CLI::detail::expected_max_vector_size);
      for (const Flag& flag : c.flags) {
        CLI::Option* option = flag.value_name != nullptr
                                  ? sub->add_option(flag.name, flag.help)->type_name(flag.value_name)->expected(1)
                                  : sub->add_flag(flag.name, flag.help);
        parsed->flags.emplace_back(flag.name, option);
      }
      commands.push_back(std::move(parsed));
    }
  }

  CommandLine Parse(const std::vector<std::string>& words) {
    line = CommandLine{};
    if (top_level) line.session.options = "QueryInstrStatus=1";  // so that a refused command shows the instrument's errors
    for (const auto& parsed : commands) parsed->args.clear();
    app.clear();
    std::vector<std::string> reversed(words.rbegin(), words.rend());  // CLI11 takes them last first
    try {
      app.parse(reversed);
    } catch (const CLI::CallForHelp&) {
      line.help = app.help();
      return line;
    } catch (const CLI::ParseError& e) {
      for (const auto& parsed : commands)
        if (parsed->app->parsed()) throw Failure(std::string(e.what()) + "\n" + UsageFailure(*parsed->command).what(), 2);
      throw Failure(std::string(e.what()) + " (see zevra --help)", 2);
    }
    if (line.version) return line;
    const std::vector<std::string> extra = app.remaining();
    for (const auto& parsed : commands) {
      if (!parsed->app->parsed()) continue;
      const Command& c = *parsed->command;
      if (!extra.empty() && extra.front().starts_with("-"))
        throw Failure("unknown or incomplete option '" + extra.front() + "'\n" + UsageFailure(c).what(), 2);
      const std::size_t max = static_cast<std::size_t>(std::max(c.max_args, 0));
      if (parsed->args.size() > max || !extra.empty()) {
        std::string first = parsed->args.size() > max ? parsed->args[max] : extra.front();
        throw Failure("too many arguments for " + std::string(c.name) + ", from '" + first + "'\n" +
                          UsageFailure(c).what(), 2);
      }
      if (parsed->args.size() < c.min_args) throw UsageFailure(c);
      line.command = &c;
      line.args = parsed->args;
      for (const auto& [name, option] : parsed->flags)
        if (option->count() > 0) line.options[name] = option->get_expected_min() > 0 ? option->results().back() : "";
      return line;
    }
    if (!extra.empty() && extra.front().starts_with("-"))
      throw Failure("unknown or incomplete option '" + extra.front() + "' (see zevra --help)", 2);
    if (!extra.empty()) throw UnknownCommand(extra.front());
    throw Failure(std::string(kTopUsage) + " (see zevra --help)", 2);
  }
};

CommandLineParser::CommandLineParser(bool top_level) : parser_(std::make_unique<Parser>(top_level)) {}
CommandLineParser::~CommandLineParser() = default;
CommandLine CommandLineParser::Parse(const std::vector<std::string>& words) { return parser_->Parse(words); }

CommandLine ParseCommandLine(const std::vector<std::string>& words, bool top_level) {
  return CommandLineParser(top_level).Parse(words);
}

}  // namespace zevra_tool
