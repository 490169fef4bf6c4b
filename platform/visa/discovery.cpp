// SPDX-License-Identifier: MIT
#include "discovery.h"

#include <algorithm>
#include <cctype>
#include <thread>

#include "onc_rpc_messages.h"
#include "trace.h"
#include "usb_device.h"

namespace visa {
namespace {

bool SameName(const std::string& a, const std::string& b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::toupper(static_cast<unsigned char>(x)) == std::toupper(static_cast<unsigned char>(y));
         });
}

std::vector<ResourceName> UsbResources() {
  std::vector<ResourceName> found;
  for (const auto& addresses : {emulated_usb_instruments(), libusb_instruments()})
    for (const UsbAddress& a : addresses) found.push_back(usb_resource(0, a, false));
  return found;
}

void AddNew(std::vector<ResourceName>& all, const std::vector<ResourceName>& more) {
  for (const ResourceName& r : more) {
    bool known = std::any_of(all.begin(), all.end(), [&](const ResourceName& k) { return SameName(k.canonical, r.canonical); });
    if (!known) all.push_back(r);
  }
}

}  // namespace

std::vector<ResourceName> discover_resources(const VisaConfig& config) {
  std::vector<ResourceName> all;
  AddNew(all, config.resources);
  // The GPIB boards the file declares, as their interfaces; the instruments on
  // them are listed only as `resource` lines name them (finding them would mean
  // polling every address).
  std::vector<ResourceName> boards;
  for (const GpibBoardEntry& board : config.gpib_boards) {
    ResourceName intfc;
    if (parse_resource_name("GPIB" + std::to_string(board.number) + "::INTFC", intfc) >= 0) boards.push_back(intfc);
  }
  AddNew(all, boards);
  AddNew(all, find_serial_ports());
  AddNew(all, UsbResources());
  if (config.discovery_window_ms == 0) return all;
  // The two LAN searches wait out the same window side by side.
  std::vector<ResourceName> advertised;
  std::string mdns_note;
  std::thread mdns([&] { advertised = find_mdns_instruments(config.discovery_window_ms, mdns_note); });
  std::vector<ResourceName> answered =
      find_vxi11_instruments(config.discovery_window_ms, onc_rpc_messages::PortmapperPort());
  mdns.join();
  trace_note(mdns_note);
  AddNew(all, answered);
  AddNew(all, advertised);
  return all;
}

}  // namespace visa
