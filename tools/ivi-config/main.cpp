// SPDX-License-Identifier: MIT
// ivi-config: creates, edits, prints and checks IVI configuration stores.
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "config_store.h"
#include "store_editor.h"
#include "terminal_safe.h"

namespace {

using iviconfig::Store;

constexpr const char* kUsage = R"(usage: ivi-config [--store FILE] COMMAND [ARGS]

The store is FILE, else $IVICONFIGSERVERDEFAULT, else the master store.
Exit status: 0 success, 1 failure, 2 bad usage. --version prints the version.

  create [--force]                        create an empty store
  register-driver [--module-path PATH] [--keep-existing]
                                          register the ZEVRA driver (physical names CH1..CH4);
                                          --keep-existing leaves a registration that exists
  unregister-driver [--delete-empty]      remove the ZEVRA driver's entry (sessions naming it
                                          stay); --delete-empty deletes a store left empty
  add-asset NAME DESCRIPTOR               add a hardware asset (a VISA resource descriptor)
  add-session NAME [--asset NAME] [--simulate 0|1] [--cache 0|1] [--query-instr-status 0|1]
              [--range-check 0|1] [--record-coercions 0|1] [--interchange-check 0|1]
              [--driver-setup TEXT]       add a driver session of the ZEVRA driver
  add-logical-name NAME SESSION           add a logical name for a driver session
  add-virtual-name SESSION NAME MAPTO [--range MIN MAX START]
                                          map a virtual channel name (or a range of them)
  add-setting OWNER NAME TYPE VALUE       add a configurable initial setting; OWNER is a
                                          session name or "ZEVRA"; TYPE string|integer|real|boolean
  remove asset|session|logical-name NAME
  remove virtual-name|setting NAME OWNER
  list                                    summarise the store
  print                                   print the store as XML
  check                                   report broken references and missing elements
)";

// What a store holds is quoted in messages and summaries: a shared store may
// hold anything, so it is shown terminal-safe.
int Fail(const std::string& message) {
  std::fprintf(stderr, "ivi-config: %s\n", visa::terminal_safe(message).c_str());
  return 1;
}

// A command line that does not say what to do: exit status 2, as every program here uses.
int Usage(const std::string& message) {
  Fail(message);
  return 2;
}

struct Arguments {
  std::vector<std::string> positional;
  std::map<std::string, std::vector<std::string>> options;
};

// Options take one value, except --range (three) and --force (none).
bool Parse(const std::vector<std::string>& args, Arguments& out, std::string& error) {
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a.rfind("--", 0) != 0) {
      out.positional.push_back(a);
      continue;
    }
    std::size_t count = a == "--range"                                                          ? 3
                        : (a == "--force" || a == "--delete-empty" || a == "--keep-existing") ? 0
                                                                                               : 1;
    if (i + count >= args.size() && count > 0) {
      error = a + " needs " + std::to_string(count) + " value(s)";
      return false;
    }
    out.options[a] = std::vector<std::string>(args.begin() + static_cast<long>(i) + 1,
                                              args.begin() + static_cast<long>(i + 1 + count));
    i += count;
  }
  return true;
}

int Flag(const Arguments& a, const char* name, std::string& error) {
  auto it = a.options.find(name);
  if (it == a.options.end()) return -1;
  if (it->second[0] == "1" || iviconfig::iequals(it->second[0], "true")) return 1;
  if (it->second[0] == "0" || iviconfig::iequals(it->second[0], "false")) return 0;
  error = std::string(name) + " takes 0 or 1";
  return -1;
}

std::string Option(const Arguments& a, const char* name, const std::string& fallback = {}) {
  auto it = a.options.find(name);
  return it == a.options.end() ? fallback : it->second[0];
}

std::string DefaultModulePath() {
  std::error_code ec;
  auto self = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (!ec) {
    auto candidate = self.parent_path().parent_path() / ZEVRA_INSTALL_LIBDIR / "libZEVRA_64.so";
    if (std::filesystem::exists(candidate)) return candidate.string();
  }
  return "libZEVRA_64.so";
}

}  // namespace

int Run(std::vector<std::string> args) {
  std::string path;
  if (args.size() >= 2 && args[0] == "--store") {
    path = args[1];
    args.erase(args.begin(), args.begin() + 2);
  }
  if (!args.empty() && args[0] == "--version") {
    std::printf("ivi-config %s\n", ZEVRA_VERSION);
    return 0;
  }
  if (args.empty() || args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
    std::fputs(kUsage, args.empty() ? stderr : stdout);
    return args.empty() ? 2 : 0;
  }
  if (path.empty()) path = iviconfig::process_default_location();
  if (path.empty()) path = iviconfig::master_location();

  std::string command = args[0];
  Arguments a;
  std::string error;
  if (!Parse({args.begin() + 1, args.end()}, a, error)) return Usage(error);
  const auto& p = a.positional;
  // Names, references and descriptors are never empty: an entry named "" could be
  // neither looked up nor removed. `may_be_empty` is the one that can (a setting's VALUE).
  auto need = [&](std::size_t n, std::size_t may_be_empty = SIZE_MAX) {
    if (p.size() != n) {
      error = command + " takes " + std::to_string(n) + " argument(s); see --help";
      return false;
    }
    for (std::size_t i = 0; i < n; ++i) {
      if (p[i].empty() && i != may_be_empty) {
        error = command + ": argument " + std::to_string(i + 1) + " is empty";
        return false;
      }
    }
    return true;
  };

  const bool reads_only = command == "list" || command == "print" || command == "check";
  Store store;
  if (command == "create") {
    if (!need(0)) return Usage(error);
    if (auto parent = std::filesystem::path(path).parent_path(); !parent.empty())
      std::filesystem::create_directories(parent);
    // Under the store's lock, so a concurrent edit is neither lost nor clobbered.
    auto e = store.load_for_editing(path, true);
    if (store.exists()) {
      if (a.options.count("--force") == 0) return Fail(path + " exists (use --force to replace it)");
    } else if (e) {
      return Fail(e->text);
    }
    store.create_empty();
    if (auto e = store.save(path)) return Fail(e->text);
    std::printf("created %s\n", path.c_str());
    return 0;
  }
  // An edit holds the store's lock from reading to writing, so two editors
  // never lose each other's changes.
  if (auto e = reads_only ? store.load(path) : store.load_for_editing(path)) return Fail(e->text);

  bool modified = true;
  if (command == "register-driver") {
    if (!need(0)) return Usage(error);
    if (a.options.count("--keep-existing") != 0 && iviconfig::IsRegistered(store)) {
      std::printf("the ZEVRA driver is already registered in %s; left as it is\n", path.c_str());
      return 0;
    }
    error = iviconfig::RegisterDriver(store, Option(a, "--module-path", DefaultModulePath()));
  } else if (command == "unregister-driver") {
    if (!need(0)) return Usage(error);
    error = iviconfig::UnregisterDriver(store);
    if (error.empty() && a.options.count("--delete-empty") != 0 && iviconfig::IsEmpty(store)) {
      const std::string lock_file = iviconfig::ResolvedTarget(path) + ".lock";
      if (!std::filesystem::remove(path)) return Fail("cannot delete " + path);
      std::error_code ignored;
      std::filesystem::remove(lock_file, ignored);
      std::printf("deleted %s (nothing left in it)\n", path.c_str());
      return 0;
    }
  } else if (command == "add-asset") {
    if (!need(2)) return Usage(error);
    error = iviconfig::AddHardwareAsset(store, p[0], p[1]);
  } else if (command == "add-session") {
    if (!need(1)) return Usage(error);
    iviconfig::SessionFlags flags;
    flags.cache = Flag(a, "--cache", error);
    flags.interchange_check = Flag(a, "--interchange-check", error);
    flags.query_instr_status = Flag(a, "--query-instr-status", error);
    flags.range_check = Flag(a, "--range-check", error);
    flags.record_coercions = Flag(a, "--record-coercions", error);
    flags.simulate = Flag(a, "--simulate", error);
    if (!error.empty()) return Usage(error);
    error = iviconfig::AddDriverSession(store, p[0], Option(a, "--asset"), "ZEVRA", flags, Option(a, "--driver-setup"));
  } else if (command == "add-logical-name") {
    if (!need(2)) return Usage(error);
    error = iviconfig::AddLogicalName(store, p[0], p[1]);
  } else if (command == "add-virtual-name") {
    if (!need(3)) return Usage(error);
    std::vector<int> range;
    if (auto it = a.options.find("--range"); it != a.options.end()) {
      for (const std::string& v : it->second) {
        int n = 0;
        const char* first = v.data() + (!v.empty() && v[0] == '+' ? 1 : 0);
        auto [end, ec] = std::from_chars(first, v.data() + v.size(), n);
        if (ec == std::errc::result_out_of_range)
          return Usage("--range value '" + v + "' is outside -2147483648..2147483647");
        if (v.empty() || ec != std::errc{} || end != v.data() + v.size())
          return Usage("--range takes three integers, not '" + v + "'");
        range.push_back(n);
      }
    }
    error = iviconfig::AddVirtualName(store, p[0], p[1], p[2], range);
  } else if (command == "add-setting") {
    if (!need(4, 3)) return Usage(error);
    error = iviconfig::AddInitialSetting(store, p[0] == "ZEVRA" ? "" : p[0], p[1], p[2], p[3]);
  } else if (command == "remove") {
    if (p.size() < 2 || p.size() > 3) return Usage("remove KIND NAME [OWNER]; see --help");
    std::string owner = p.size() == 3 ? p[2] : "";
    error = iviconfig::Remove(store, p[0], p[1], owner == "ZEVRA" && p[0] == "setting" ? "" : owner);
  } else if (command == "list") {
    modified = false;
    std::fputs(visa::terminal_safe(iviconfig::Describe(store), true).c_str(), stdout);
  } else if (command == "print") {
    modified = false;
    std::ostringstream xml;
    store.document().save(xml, "  ");
    std::fputs(xml.str().c_str(), stdout);
  } else if (command == "check") {
    modified = false;
    auto problems = iviconfig::Check(store);
    for (const auto& problem : problems) std::printf("%s\n", visa::terminal_safe(problem).c_str());
    if (!problems.empty()) return 1;
    std::printf("%s: no problems\n", path.c_str());
  } else {
    return Usage("unknown command '" + command + "'; see --help");
  }
  if (!error.empty()) return Fail(error);
  if (modified) {
    if (auto e = store.save(path)) return Fail(e->text);
  }
  return 0;
}

int main(int argc, char** argv) {
  // A store in a place the user cannot write (a directory to create, a file to
  // replace) is reported, never an abort.
  try {
    return Run({argv + 1, argv + argc});
  } catch (const std::exception& e) {
    return Fail(e.what());
  }
}
