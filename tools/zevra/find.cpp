// SPDX-License-Identifier: MIT
// zevra find: what the VISA library finds (configured resources, serial
// ports, USB and LAN instruments), each asked for its identity in parallel
// within a short timeout.
#include <unistd.h>

#include <cstdio>
#include <future>
#include <string>
#include <vector>

#include "commands.h"
#include "status_text.h"
#include "visa.h"

namespace zevra_tool {
namespace {

struct Found {
  std::string resource, alias, interface_name, resource_class;
  std::string identity;            // empty when it did not answer
  std::string status = "VI_SUCCESS";  // or why not
};

std::string InterfaceName(ViUInt16 type) {
  switch (type) {
    case VI_INTF_TCPIP: return "TCPIP";
    case VI_INTF_ASRL: return "ASRL";
    case VI_INTF_USB: return "USB";
    default: return std::to_string(type);
  }
}

std::string StatusName(ViStatus status) {
  std::string text;
  visa::status_text(status, text);
  return text.substr(0, text.find(':'));
}

// "*IDN?" on one resource; a byte stream (raw socket, serial line) ends its reply at the line feed.
void AskIdentity(ViSession rm, Found& f, ViUInt32 timeout_ms) {
  ViSession vi = VI_NULL;
  ViStatus st = viOpen(rm, f.resource.c_str(), VI_NULL, timeout_ms, &vi);
  if (st < 0) {
    f.status = StatusName(st);
    return;
  }
  viSetAttribute(vi, VI_ATTR_TMO_VALUE, timeout_ms);
  if (f.resource_class == "SOCKET" || f.interface_name == "ASRL") {
    viSetAttribute(vi, VI_ATTR_TERMCHAR, '\n');
    viSetAttribute(vi, VI_ATTR_TERMCHAR_EN, VI_TRUE);
  }
  char identity[256] = "";
  st = viQueryf(vi, "*IDN?\n", "%255[^\n]", identity);
  if (st < 0) {
    f.status = StatusName(st);
  } else {
    f.identity = identity;
  }
  viClose(vi);
}

}  // namespace

void Find(Context& c, const std::vector<std::string>& args, Report& r) {
  const std::string expression = args.empty() ? "?*" : args[0];
  const std::string timeout_text = c.Option("--timeout", "500");
  char* end = nullptr;
  unsigned long timeout_ms = std::strtoul(timeout_text.c_str(), &end, 10);
  if (timeout_text.empty() || *end != '\0' || timeout_ms > 60000) throw Failure("--timeout takes milliseconds, 0 to 60000", 2);

  // A person waiting at a terminal is told what takes the time; scripts are not.
  if (::isatty(STDERR_FILENO) != 0)
    std::fprintf(stderr, "zevra: looking for '%s' (the LAN discovery window, then up to %lu ms for each *IDN?) ...\n",
                 visa::terminal_safe(expression).c_str(), timeout_ms);
  ViSession rm = VI_NULL;
  ViStatus st = viOpenDefaultRM(&rm);
  if (st < 0) throw Failure("cannot open the VISA resource manager: " + StatusName(st));
  ViFindList list = VI_NULL;
  ViUInt32 count = 0;
  char name[VI_FIND_BUFLEN] = "";
  st = viFindRsrc(rm, expression.c_str(), &list, &count, name);
  if (st == VI_ERROR_INV_EXPR) {
    viClose(rm);
    throw Failure("'" + expression + "' is not a resource expression", 2);
  }
  std::vector<Found> found;
  for (ViUInt32 i = 0; st >= 0 && i < count; ++i) {
    if (i > 0 && viFindNext(list, name) < 0) break;
    Found f;
    f.resource = name;
    ViUInt16 type = 0, board = 0;
    char klass[VI_FIND_BUFLEN] = "", expanded[VI_FIND_BUFLEN] = "", alias[VI_FIND_BUFLEN] = "";
    if (viParseRsrcEx(rm, name, &type, &board, klass, expanded, alias) >= 0) {
      f.interface_name = InterfaceName(type);
      f.resource_class = klass;
      f.alias = alias;
    }
    found.push_back(f);
  }
  if (list != VI_NULL) viClose(list);
  // Every instrument is asked at once: the whole search takes one timeout, not one each.
  // A serial port may be a console or another device that a stray "*IDN?"
  // would disturb: it is asked only when the user says so.
  const bool probe_serial = c.Has("--probe-serial");
  std::vector<std::future<void>> asking;
  for (Found& f : found) {
    if (f.interface_name == "ASRL" && !probe_serial) {
      f.status = "not asked (--probe-serial asks serial ports)";
      continue;
    }
    asking.push_back(std::async(std::launch::async, AskIdentity, rm, std::ref(f), static_cast<ViUInt32>(timeout_ms)));
  }
  for (auto& a : asking) a.get();
  viClose(rm);

  if (found.empty() && !c.json) r.Field("instruments", "none found for '" + expression + "'");
  Table& t = r.AddTable("instruments", {"resource", "interface", "class", "alias", "identity", "status"});
  for (const Found& f : found) t.rows.push_back({f.resource, f.interface_name, f.resource_class, f.alias, f.identity, f.status});
}

}  // namespace zevra_tool
