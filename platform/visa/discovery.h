// SPDX-License-Identifier: MIT
// What viFindRsrc lists: the configured resources, and what can be found now
// (serial ports present, USBTMC instruments, VXI-11 instruments answering a
// portmapper broadcast, HiSLIP and raw-socket instruments advertised by mDNS),
// each once, by its canonical name.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "resource_name.h"
#include "visa_config.h"

namespace visa {

std::vector<ResourceName> discover_resources(const VisaConfig& config);

// The sources, each on its own.
#ifdef _WIN32
// The serial ports the system lists (HARDWARE\DEVICEMAP\SERIALCOMM), COM<n> as ASRL<n>.
std::vector<ResourceName> find_serial_ports();
#else
// Serial ports present under `dev`: ttyS ports the kernel found a UART behind
// (a `type` other than 0 under `sys_class_tty`), ttyUSB and ttyACM ports.
std::vector<ResourceName> find_serial_ports(const std::string& sys_class_tty = "/sys/class/tty",
                                            const std::string& dev = "/dev");
#endif
// VXI-11 instruments whose portmapper answers a GETPORT for the core channel,
// asked on each IPv4 interface's broadcast address and on loopback.
std::vector<ResourceName> find_vxi11_instruments(std::uint32_t window_ms, unsigned portmapper_port);
// Instruments advertised over mDNS, through the Avahi daemon when one runs;
// `note` says what was asked, or why nothing could be.
std::vector<ResourceName> find_mdns_instruments(std::uint32_t window_ms, std::string& note);

}  // namespace visa
