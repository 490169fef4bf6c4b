// SPDX-License-Identifier: MIT
// Which device nodes are serial ports, against a made-up /dev and /sys.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "discovery.h"

namespace {

namespace fs = std::filesystem;

TEST(SerialPorts, RealUartsAndUsbPortsInOrder) {
  const fs::path root = fs::temp_directory_path() / ("zevra-ports-" + std::to_string(::getpid()));
  const fs::path dev = root / "dev", sys = root / "sys";
  fs::create_directories(dev);
  for (const char* node : {"ttyS1", "ttyS0", "ttyS10", "ttyUSB1", "ttyUSB0", "ttyACM0", "tty0", "ttySX", "ttyS"})
    std::ofstream(dev / node);
  // ttyS0 and ttyS10 have a UART behind them, ttyS1 none; ttySX has no sysfs entry.
  for (auto [port, type] : {std::pair{"ttyS0", "4"}, {"ttyS1", "0"}, {"ttyS10", "4"}}) {
    fs::create_directories(sys / port);
    std::ofstream(sys / port / "type") << type << "\n";
  }
  std::vector<std::string> names;
  for (const visa::ResourceName& r : visa::find_serial_ports(sys.string(), dev.string())) names.push_back(r.canonical);
  const std::string d = dev.string();
  EXPECT_EQ(names, (std::vector<std::string>{"ASRL" + d + "/ttyS0::INSTR", "ASRL" + d + "/ttyS10::INSTR",
                                             "ASRL" + d + "/ttyUSB0::INSTR", "ASRL" + d + "/ttyUSB1::INSTR",
                                             "ASRL" + d + "/ttyACM0::INSTR"}));
  EXPECT_TRUE(visa::find_serial_ports(sys.string(), (root / "nowhere").string()).empty());
  fs::remove_all(root);
}

}  // namespace
