// SPDX-License-Identifier: MIT
// The VISA configuration file: aliases and the resources viFindRsrc lists.
// Its path is ZEVRA_VISA_CONF, or /etc/zevra/visa.conf (on Windows
// %ProgramData%\zevra\visa.conf); a missing file is an empty configuration.
// One entry a line, '#' to the end of a line a comment:
//   alias NAME RESOURCE     viOpen("NAME") opens RESOURCE
//   resource RESOURCE       an instrument viFindRsrc lists (found or not)
//   discovery-window MS     how long viFindRsrc waits for LAN instruments to
//                           answer (default 300; 0 looks for none)
//   gpib-board N prologix tcp HOST[:PORT]      GPIB board N is a "++" adapter
//   gpib-board N prologix serial DEVICE [BAUD]  on the network (port 1234) or
//                                               a serial line (115200 baud)
//   gpib-board N linux-gpib [MINOR]             a linux-gpib board
//   gpib-srq-interval MS    how often a GPIB board looks at SRQ while a
//                           session waits for service requests (default 50)
// A line that does not read is skipped, with its file, line and why on
// standard error.
#pragma once

#include <cstdint>
#include <istream>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

#include "resource_name.h"

namespace visa {

constexpr std::uint32_t kDefaultDiscoveryWindowMs = 300, kMostDiscoveryWindowMs = 10000;
constexpr std::uint32_t kDefaultGpibSrqIntervalMs = 50, kMostGpibSrqIntervalMs = 10000;

// A GPIB board the file declares.
struct GpibBoardEntry {
  unsigned number = 0;
  bool linux_gpib = false;
  ResourceName adapter;  // a "++" adapter: PRLGX-TCPIP or PRLGX-ASRL, board `number`
  unsigned baud = 115200;
  unsigned minor = 0;  // linux-gpib
};

struct VisaConfig {
  std::vector<std::pair<std::string, ResourceName>> aliases;  // alias -> resource
  std::vector<ResourceName> resources;                        // listed, in file order, aliased ones too
  std::vector<std::string> problems;                          // "FILE line N: ..."
  std::uint32_t discovery_window_ms = kDefaultDiscoveryWindowMs;
  std::vector<GpibBoardEntry> gpib_boards;                    // in file order, one per number
  std::uint32_t gpib_srq_interval_ms = kDefaultGpibSrqIntervalMs;

  const GpibBoardEntry* gpib_board(unsigned number) const;

  // The resource an alias names (case-insensitive), if it is one.
  const ResourceName* resolve(std::string_view alias) const;
  // The first alias of a resource, empty when it has none.
  std::string alias_of(const ResourceName& resource) const;
  // Adds an alias (false when the name is taken) or a listed resource (once).
  bool add_alias(const std::string& name, const ResourceName& resource);
  void add_resource(const ResourceName& resource);

 private:
  // Lower-case keys, so a file of thousands of entries reads in linear time.
  std::unordered_map<std::string, std::size_t> alias_index_;       // alias -> index in aliases
  std::unordered_map<std::string, std::size_t> first_alias_of_;    // canonical resource -> index in aliases
  std::unordered_set<std::string> listed_;                         // canonical resources in resources
};

// The largest configuration read; anything bigger is refused as not one.
constexpr std::size_t kMostVisaConfigBytes = 16u << 20;

std::string visa_config_path();
// Reads the file at `path`, a regular file of at most kMostVisaConfigBytes (a
// FIFO or a device is refused without waiting); problems are collected, not
// printed.
VisaConfig read_visa_config(const std::string& path);
// The same from a stream; `path` names it in the problems.
VisaConfig parse_visa_config(std::istream& in, const std::string& path);

}  // namespace visa
