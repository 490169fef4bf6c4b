// SPDX-License-Identifier: MIT
#include "gateway_settings.h"

#include <CLI/CLI.hpp>

#include <fstream>
#include <sstream>

#include "regular_file.h"
#include "visa.h"

namespace gateway {
namespace {

constexpr const char* kDefaultConfig = "/etc/zevra/gateway.conf";

// A configuration file's lines as command-line words ("allow 10.0.0.0/8" is
// "--allow 10.0.0.0/8"); false with `error` set for a line naming no setting.
bool ConfigWords(const std::string& path, const CLI::App& app, std::vector<std::string>& words, std::string& error) {
  std::ifstream in(path);
  if (!in) {
    error = "cannot read " + path;
    return false;
  }
  std::string line;
  for (int number = 1; std::getline(in, line); ++number) {
    if (number == 1) regular_file::DropByteOrderMark(line);
    if (const std::size_t hash = line.find('#'); hash != std::string::npos) line.erase(hash);
    std::istringstream fields(line);
    std::string name, value;
    if (!(fields >> name)) continue;
    std::getline(fields >> std::ws, value);
    while (!value.empty() && (value.back() == ' ' || value.back() == '\t' || value.back() == '\r')) value.pop_back();
    const CLI::Option* option = app.get_option_no_throw("--" + name);
    if (option == nullptr || name == "config" || name == "help" || name == "version") {
      error = path + ":" + std::to_string(number) + ": no such setting: " + name;
      return false;
    }
    words.push_back("--" + name);
    if (!value.empty()) words.push_back(value);
  }
  return true;
}

// NAME=RESOURCE, checked; the name is what clients ask for, as it stands.
bool AddInstrument(const std::string& mapping, GatewaySettings& settings, std::string& error) {
  const std::size_t equals = mapping.find('=');
  const std::string name = mapping.substr(0, equals);
  if (equals == std::string::npos || name.empty() || equals + 1 == mapping.size()) {
    error = "not NAME=RESOURCE: \"" + mapping + "\"";
    return false;
  }
  if (name.find_first_of(" \t:=") != std::string::npos) {
    error = "a served name has no spaces, colons or '=': \"" + name + "\"";
    return false;
  }
  const std::string resource = mapping.substr(equals + 1);
  ViSession rm = VI_NULL;
  ViUInt16 type = 0, board = 0;
  ViStatus parsed = viOpenDefaultRM(&rm);
  if (parsed >= 0) parsed = viParseRsrc(rm, resource.c_str(), &type, &board);
  if (rm != VI_NULL) viClose(rm);
  if (parsed < 0) {
    error = "not a VISA resource name: \"" + resource + "\"";
    return false;
  }
  if (!settings.instruments.emplace(name, resource).second) {
    error = "the name " + name + " is mapped twice";
    return false;
  }
  return true;
}

}  // namespace

SettingsOutcome ReadSettings(int argc, char** argv, GatewaySettings& settings, std::string& output) {
  CLI::App app("Serves local instruments (USB, serial, GPIB, LAN) to any VISA on the network over HiSLIP and "
               "VXI-11.",
               "zevra-gateway");
  std::vector<std::string> maps, allows;
  std::string config = kDefaultConfig;
  unsigned io_timeout_ms = 10000;
  app.add_option("--map", maps,
                 "NAME=RESOURCE: serve the VISA resource RESOURCE as NAME, the HiSLIP sub-address and VXI-11 "
                 "device name clients give (hislip0, inst1, gpib0,5)")
      ->type_name("NAME=RESOURCE");
  app.add_option("--listen", settings.listen, "the address to listen on (default 127.0.0.1, loopback only)")
      ->type_name("ADDR");
  app.add_option("--allow", allows,
                 "admit clients from this address range (CIDR, as 192.168.1.0/24); needed to listen beyond "
                 "loopback, whose clients are always admitted")
      ->type_name("CIDR");
  app.add_flag("--insecure", settings.insecure,
               "allow plain connections on an address other than loopback (TLS is not built yet)");
  // A port past 65535 would wrap to another one when narrowed for the socket.
  const CLI::Validator port_range = CLI::Range(0u, 65535u).description("");
  // No response could be waited for, or no message passed, with a bound of 0.
  const CLI::Validator at_least_one(
      [](std::string& text) {
        return text.find_first_not_of('0') == std::string::npos ? std::string("must be at least 1") : std::string();
      },
      "");
  app.add_option("--hislip-port", settings.hislip_port, "the HiSLIP port (default 4880)")
      ->type_name("N")
      ->check(port_range);
  app.add_flag("--vxi11", settings.vxi11, "serve VXI-11 too, with a portmapper");
  app.add_option("--portmapper-port", settings.portmapper_port, "the portmapper's port for VXI-11 (default 111)")
      ->type_name("N")
      ->check(port_range);
  app.add_option("--io-timeout", io_timeout_ms,
                 "how long a query's response may take, in milliseconds, where the protocol gives no timeout "
                 "(HiSLIP; default 10000)")
      ->type_name("MS")
      ->check(at_least_one);
  app.add_option("--max-message", settings.service.most_message_bytes,
                 "the largest message or response passed, in bytes (default 67108864)")
      ->type_name("BYTES")
      ->check(at_least_one);
  app.add_option("--config", config, std::string("a configuration file of the same settings, one per line (default ") +
                                          kDefaultConfig + ", read when it exists)")
      ->type_name("FILE");
  app.set_version_flag("--version", std::string("zevra-gateway ") + ZEVRA_VERSION);

  std::vector<std::string> words;
  for (int i = argc - 1; i >= 1; --i) words.emplace_back(argv[i]);
  try {
    // The configuration file named on the command line (or the default one) comes first, so the command line adds to it.
    CLI::App probe;
    probe.allow_extras();
    probe.add_option("--config", config);
    probe.set_help_flag();
    auto reversed = words;
    probe.parse(reversed);
    std::vector<std::string> from_file;
    std::string error;
    const bool named = probe.count("--config") != 0;
    if ((named || std::ifstream(config)) && !ConfigWords(config, app, from_file, error)) {
      output = error;
      return SettingsOutcome::kRefused;
    }
    words.insert(words.end(), from_file.rbegin(), from_file.rend());
    app.parse(words);
  } catch (const CLI::CallForHelp&) {
    output = app.help();
    return SettingsOutcome::kDone;
  } catch (const CLI::CallForVersion&) {
    output = app.version();
    return SettingsOutcome::kDone;
  } catch (const CLI::ParseError& e) {
    output = e.what();
    return SettingsOutcome::kRefused;
  }
  settings.service.io_timeout = std::chrono::milliseconds(io_timeout_ms);
  std::string error;
  for (const std::string& range : allows) {
    if (!settings.allowed.add(range, error)) {
      output = error;
      return SettingsOutcome::kRefused;
    }
  }
  for (const std::string& mapping : maps) {
    if (!AddInstrument(mapping, settings, error)) {
      output = error;
      return SettingsOutcome::kRefused;
    }
  }
  if (settings.instruments.empty()) {
    output = "nothing to serve: give --map NAME=RESOURCE";
    return SettingsOutcome::kRefused;
  }
  // A power supply on a network can hurt someone: beyond loopback, say who may connect and how.
  if (!IsLoopbackAddress(settings.listen)) {
    if (settings.allowed.empty()) {
      output = "listening on " + settings.listen + " needs --allow with the address ranges of the clients to admit";
      return SettingsOutcome::kRefused;
    }
    if (!settings.insecure) {
      output = "listening on " + settings.listen +
               " needs --insecure: TLS is not built yet, so its connections would be neither encrypted nor "
               "authenticated";
      return SettingsOutcome::kRefused;
    }
  }
  return SettingsOutcome::kRun;
}

}  // namespace gateway
