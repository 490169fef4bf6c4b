// SPDX-License-Identifier: MIT
#include "session.h"

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cmath>
#include <cstring>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <dlfcn.h>
#include <fcntl.h>
#include <climits>
#include <unistd.h>

#include "config_store.h"
#include "error_messages.h"
#include "status_text.h"
#include "store_reading.h"
#include "report.h"
#include "qdx_instrument.h"
#include "socket_server.h"
#include "visa.h"

namespace zevra_tool {
namespace {

bool EqualsIgnoringCaseAscii(const std::string& a, const char* b) {
  std::size_t n = std::strlen(b);
  if (a.size() != n) return false;
  for (std::size_t i = 0; i < n; ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) return false;
  return true;
}

}  // namespace


// Where a logical name was looked for, for the message when it is not there.
std::string StoresLookedIn() {
  std::string process = iviconfig::process_default_location();
  if (!process.empty()) return "looked in " + process + " (IVICONFIGSERVERDEFAULT)";
  std::string master = iviconfig::master_location();
  std::error_code ignored;
  if (std::filesystem::exists(master, ignored)) return "looked in " + master + " (the master store)";
  return "no store was found (IVICONFIGSERVERDEFAULT is not set and " + master + " does not exist)";
}

// The logical name a user gives the instrument zevra uses when -r is not given.
constexpr const char* kDefaultLogicalName = "zevra";

// Whether the configured store (the process default, else the master) names
// the default instrument.
bool StoreNamesDefaultInstrument() {
  std::string path = iviconfig::process_default_location();
  if (path.empty()) path = iviconfig::master_location();
  iviconfig::Store store;
  if (store.load(path)) return false;
  return static_cast<bool>(iviconfig::Store::find_named(
      iviconfig::Store::items(store.root(), "LogicalNames", "IviLogicalName"), kDefaultLogicalName));
}

// Which instrument a run without -r means, said on standard error; never an
// emulator the user did not ask for, which would fake a supply switching on.
std::string DefaultResource() {
  const char* env = std::getenv("ZEVRA_RESOURCE");
  if (env != nullptr && *env != '\0') {
    std::fprintf(stderr, "zevra: using %s (ZEVRA_RESOURCE)\n", visa::terminal_safe(env).c_str());
    return env;
  }
  if (StoreNamesDefaultInstrument()) {
    std::fprintf(stderr, "zevra: using the logical name '%s' of the configuration store\n", kDefaultLogicalName);
    return kDefaultLogicalName;
  }
  throw Failure(
      "no instrument named: give -r RESOURCE (a VISA resource or a logical name), --emulate for the built-in "
      "emulator, or name a default with ZEVRA_RESOURCE or a logical name 'zevra' in the configuration store",
      2);
}

Session::Session(const SessionOptions& options) {
  if (options.no_instrument) return;
  const std::string stores = StoresLookedIn();
  resource_ = options.resource;
  if (!options.emulate && resource_.empty()) resource_ = DefaultResource();
  EnsureConfigurationStore();
  if (options.emulate) {
    emulator::QdxOptions qdx;
    qdx.loads = {10, 10, 10, 10};
    instrument_ = std::make_unique<emulator::QdxInstrument>(qdx);
    server_ = std::make_unique<emulator::SocketServer>(*instrument_, nullptr);
    std::string error = server_->start("127.0.0.1", 0);
    if (!error.empty()) throw Failure("cannot start the emulator: " + error);
    resource_ = "TCPIP0::127.0.0.1::" + std::to_string(server_->port()) + "::SOCKET";
  }
  std::string name = resource_;
  // A logical name's virtual channel names come from the store, as the driver reads them.
  logical_name_ = vexo::ReadLogicalNameVirtualNames(resource_, virtual_names_) >= 0;
  if (!logical_name_) IviConfig_ClearError();
  ViStatus st = ZEVRA_InitWithOptions(name.data(), VI_TRUE, VI_FALSE, options.options.c_str(), &vi_);
  if (st < 0) {
    ViStatus code = 0;
    char text[1024] = "";
    ZEVRA_GetError(VI_NULL, &code, sizeof text, text);
    if (text[0] == '\0') viStatusDesc(VI_NULL, st, text);
    char hex[16];
    std::snprintf(hex, sizeof hex, "0x%08X", static_cast<unsigned>(st));
    std::string message = "cannot open " + resource_ + ": " + hex + " " + text;
    if (st == VI_ERROR_INV_RSRC_NAME && resource_.find("::") == std::string::npos)
      message += "\n  '" + resource_ + "' is not a VISA resource (like TCPIP0::host::5025::SOCKET) and not a logical "
                 "name in a configuration store; " + stores;
    Failure failure(message);
    failure.status = st;
    failure.description = text;
    throw failure;
  }
}

Session::~Session() {
  if (vi_ != VI_NULL) ZEVRA_close(vi_);
  if (server_) server_->stop();
}

PrivateStore::~PrivateStore() {
  if (directory.empty()) return;
  ::unlink((directory + "/store.xml").c_str());
  ::rmdir(directory.c_str());
}

// Every open reads a configuration store; with none configured, this process
// gets one of its own that registers the driver, in a directory only it can
// reach (mkdtemp), so no other user can place a file or a link there.
void Session::EnsureConfigurationStore() {
  if (!iviconfig::process_default_location().empty()) return;
  std::error_code ignored;  // a master store that cannot even be looked at is not one to use
  if (std::filesystem::exists(iviconfig::master_location(), ignored)) return;
  const char* tmpdir = std::getenv("TMPDIR");
  std::string base = tmpdir != nullptr && *tmpdir != '\0' ? tmpdir : "/tmp";
  std::string pattern = base + "/zevra-XXXXXX";
  if (::mkdtemp(pattern.data()) == nullptr) {
    throw Failure("cannot make a private directory for the configuration store in " + base + ": " +
                  std::strerror(errno) + " (set TMPDIR to a writable directory, or IVICONFIGSERVERDEFAULT to a store)");
  }
  temp_store_.directory = pattern;
  const std::string path = pattern + "/store.xml";
  static constexpr char kStore[] =
      "<IviConfigStore><SoftwareModules><IviSoftwareModule id=\"ZEVRA\"><Name>ZEVRA</Name><Prefix>ZEVRA</Prefix>"
      "</IviSoftwareModule></SoftwareModules></IviConfigStore>\n";
  int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
  bool written = fd >= 0 && ::write(fd, kStore, sizeof kStore - 1) == static_cast<ssize_t>(sizeof kStore - 1);
  int err = errno;
  if (fd >= 0) ::close(fd);
  if (!written) {
    throw Failure("cannot write the configuration store " + path + ": " + std::strerror(err));
  }
  setenv("IVICONFIGSERVERDEFAULT", path.c_str(), 1);
}

void Session::Check(ViStatus status, const std::string& what) const {
  if (status < 0) throw Failed(status, what);
}

Failure Session::Failed(ViStatus status, const std::string& what) const {
  ViStatus code = 0;
  char text[1024] = "";
  ZEVRA_GetError(vi_, &code, sizeof text, text);
  if (text[0] == '\0') viStatusDesc(vi_, status, text);  // VISA statuses are returned unrecorded
  char hex[16];
  std::snprintf(hex, sizeof hex, "0x%08X", static_cast<unsigned>(status));
  std::string message = what + " failed: " + hex + " " + text;
  std::vector<InstrumentError> errors;
  if (status == IVI_ERROR_INSTRUMENT_STATUS) {
    errors = InstrumentErrors();
    if (errors.empty()) message += "\n  the instrument's error queue is empty";
    for (const InstrumentError& e : errors)
      message += "\n  instrument error " + std::to_string(e.code) + ": " + e.message;
  }
  Failure failure(message);
  failure.status = status;
  failure.description = text;
  failure.instrument_errors = std::move(errors);
  return failure;
}

// A status's constant name ("IVI_ERROR_INSTRUMENT_STATUS", "VI_ERROR_RSRC_NFOUND"); empty when unknown.
std::string StatusName(ViStatus status) {
  for (const zevra::ErrorMessageRow& row : zevra::ErrorMessageTable())
    if (row.code == status) return row.constant;
  std::string text;
  if (visa::status_text(status, text)) return text.substr(0, text.find(':'));
  return {};
}

std::string FailureJson(const Failure& failure) {
  std::string json = "{\"error\":{\"message\":" + JsonString(failure.what()) + ",\"exit\":" + std::to_string(failure.code);
  if (failure.status != VI_SUCCESS) {
    char hex[16];
    std::snprintf(hex, sizeof hex, "0x%08X", static_cast<unsigned>(failure.status));
    json += ",\"status\":" + std::to_string(failure.status) + ",\"code\":" + JsonString(hex) +
            ",\"name\":" + JsonString(StatusName(failure.status)) + ",\"description\":" + JsonString(failure.description) + ",\"instrument_errors\":[";
    for (std::size_t k = 0; k < failure.instrument_errors.size(); ++k)
      json += std::string(k ? "," : "") + "{\"code\":" + std::to_string(failure.instrument_errors[k].code) +
              ",\"message\":" + JsonString(failure.instrument_errors[k].message) + "}";
    json += "]";
  }
  return json + "}}\n";
}

std::vector<InstrumentError> Session::InstrumentErrors() const {
  std::vector<InstrumentError> errors;
  for (int guard = 0; guard < 32; ++guard) {
    ViInt32 code = 0;
    char message[256] = "";
    ViStatus st = ZEVRA_error_query(vi_, &code, message);
    if (st < 0) {
      ZEVRA_ClearError(vi_);
      errors.push_back({0, "(the error queue could not be read)"});
      break;
    }
    if (code == 0) break;
    errors.push_back({code, message});
  }
  return errors;
}

double ParseQuantity(const std::string& text, const std::string& unit, const std::string& what) {
  const char* begin = text.c_str();
  char* end = nullptr;
  double value = std::strtod(begin, &end);
  std::string rest = end == begin ? text : std::string(end);
  while (!rest.empty() && rest.front() == ' ') rest.erase(0, 1);
  auto bad = [&] { return Failure("bad " + what + " '" + text + "': want a number of " + unit + " (5, 5" + unit +
                                      ", 500m" + unit + ")", 2); };
  if (end == begin || !std::isfinite(value)) throw bad();
  static constexpr std::pair<const char*, double> kPrefixes[] = {{"m", 1e-3}, {"u", 1e-6}, {"\xC2\xB5", 1e-6}, {"k", 1e3}};
  if (!rest.empty() && !EqualsIgnoringCaseAscii(rest, unit.c_str())) {
    bool matched = false;
    for (const auto& [prefix, scale] : kPrefixes) {
      std::string p = prefix;
      if (rest.compare(0, p.size(), p) != 0) continue;
      std::string after = rest.substr(p.size());
      if (after.empty() || EqualsIgnoringCaseAscii(after, unit.c_str())) {
        value *= scale;
        matched = true;
        break;
      }
    }
    if (!matched) throw bad();
  }
  return value + 0.0;  // "-0" sets 0, and says so
}

std::string FormatQuantity(double value, const std::string& unit) {
  char text[64];
  std::snprintf(text, sizeof text, "%.15g", value);
  return std::string(text) + " " + unit;
}

std::vector<std::string> Session::Channels(const std::string& text) const {
  if (EqualsIgnoringCaseAscii(text, "all")) return {"CH1", "CH2", "CH3", "CH4"};
  return {Channel(text)};
}

std::string Session::Channel(const std::string& text) const {
  try {
    return ChannelName(text);
  } catch (const Failure& failure) {
    if (std::optional<std::string> physical = virtual_names_.physical_for(text)) {
      try {
        return ChannelName(*physical);
      } catch (const Failure&) {
        throw Failure("bad channel '" + text + "': the store maps it to '" + *physical + "', which is not CH1-CH4", 2);
      }
    }
    if (!logical_name_) throw;
    throw Failure(std::string(failure.what()) + ", or a virtual name of " + resource_ + " in the store", 2);
  }
}

namespace {

// The file a function was loaded from, links resolved ("/usr/lib/libvisa.so.1.0.0").
std::string LoadedFrom(const void* function) {
  Dl_info info{};
  if (::dladdr(function, &info) == 0 || info.dli_fname == nullptr) return "(unknown)";
  char resolved[PATH_MAX];
  return ::realpath(info.dli_fname, resolved) != nullptr ? resolved : info.dli_fname;
}

}  // namespace

std::string Versions() {
  std::string driver = "unknown";
  try {
    SessionOptions simulated;
    simulated.resource = "TCPIP0::127.0.0.1::5025::SOCKET";  // never reached: nothing is opened while simulating
    simulated.options = "Simulate=1";
    Session session(simulated);
    char revision[256] = "";
    if (ZEVRA_GetAttributeViString(session.vi(), "", ZEVRA_ATTR_SPECIFIC_DRIVER_REVISION, sizeof revision, revision) >= 0)
      driver = revision;
  } catch (const Failure& f) {
    driver = std::string("unknown (") + f.what() + ")";
  }
  return std::string("zevra ") + ZEVRA_VERSION + "\ndriver ZEVRA " + driver + " (" +
         LoadedFrom(reinterpret_cast<const void*>(&ZEVRA_init)) + ")\nVISA library " +
         LoadedFrom(reinterpret_cast<const void*>(&viOpenDefaultRM)) + "\n";
}

std::string WithoutStatusChecking(const std::string& options) {
  // Items before a DriverSetup clause are "Name=Value"; DriverSetup runs to the end.
  std::string kept;
  std::size_t start = 0;
  while (start <= options.size()) {
    std::size_t comma = options.find(',', start);
    std::string item = options.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
    std::size_t first = item.find_first_not_of(" \t");
    std::string name = first == std::string::npos ? "" : item.substr(first, item.find('=') - first);
    while (!name.empty() && (name.back() == ' ' || name.back() == '\t')) name.pop_back();
    auto is = [&](const char* other) { return EqualsIgnoringCaseAscii(name, other); };
    if (is("DriverSetup")) {
      kept += (kept.empty() ? "" : ",") + options.substr(start);
      break;
    }
    if (!name.empty() && !is("QueryInstrStatus")) kept += (kept.empty() ? "" : ",") + item;
    if (comma == std::string::npos) break;
    start = comma + 1;
  }
  return "QueryInstrStatus=0" + (kept.empty() ? "" : "," + kept);
}

std::string ChannelName(const std::string& text) {
  std::string t = text;
  if (t.size() == 3 && (t[0] == 'C' || t[0] == 'c') && (t[1] == 'H' || t[1] == 'h')) t = t.substr(2);
  if (t.size() == 1 && t[0] >= '1' && t[0] <= '4') return "CH" + t;
  throw Failure("bad channel '" + text + "': use 1-4 or CH1-CH4", 2);
}

double ParseNumber(const std::string& text, const std::string& what) {
  char* end = nullptr;
  double v = std::strtod(text.c_str(), &end);
  // The whole text, a NUL inside it too, must be the number.
  if (text.empty() || end != text.c_str() + text.size())
    throw Failure("bad " + what + " '" + visa::terminal_safe(text) + "': not a number", 2);
  if (!std::isfinite(v)) throw Failure("bad " + what + " '" + text + "': not a finite number", 2);
  return v;
}

long long ParseWholeNumber(const std::string& text, const std::string& what, long long low, long long high) {
  const double v = ParseNumber(text, what);
  if (v != std::floor(v)) throw Failure("bad " + what + " '" + text + "': not a whole number", 2);
  if (v < static_cast<double>(low) || v > static_cast<double>(high))
    throw Failure("bad " + what + " '" + text + "': not in " + std::to_string(low) + ".." + std::to_string(high), 2);
  return static_cast<long long>(v);
}

}  // namespace zevra_tool
