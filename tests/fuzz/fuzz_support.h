// SPDX-License-Identifier: MIT
// Shared pieces of the fuzz harnesses: the input as text, a configuration
// store made once for the process, and a bounded set of argument buffers for
// the formatted-I/O harnesses.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <unistd.h>

namespace fuzzing {

inline std::string_view Text(const std::uint8_t* data, std::size_t size) {
  return {reinterpret_cast<const char*>(data), size};
}

// A store with the driver and a session "Bench" whose virtual names are a
// range and a single name, made the process default.
inline void UseStore() {
  static bool made = [] {
    std::string dir = (std::filesystem::temp_directory_path() / "zevra-fuzz-XXXXXX").string();
    if (mkdtemp(dir.data()) == nullptr) std::abort();
    std::string path = dir + "/store.xml";
    std::string names;
    for (int i = 1; i <= 4; ++i)
      names += "<IviPhysicalName><Name>CH" + std::to_string(i) + "</Name><RCName>OutputChannel</RCName></IviPhysicalName>";
    std::ofstream(path)
        << "<?xml version=\"1.0\"?><IviConfigStore><SoftwareModules><IviSoftwareModule id=\"ZEVRA\"><Name>ZEVRA</Name>"
           "<Prefix>ZEVRA</Prefix><ModulePath>libZEVRA_64.so</ModulePath><DataComponents/><PhysicalNames>"
        << names
        << "</PhysicalNames></IviSoftwareModule></SoftwareModules><DriverSessions><IviDriverSession id=\"s\">"
           "<Name>Bench</Name><IviSoftwareModuleRef idref=\"ZEVRA\"/><VirtualNames><IviVirtualName><Name>Out</Name>"
           "<MapTo>CH</MapTo><VirtualRanges><IviVirtualRange><Min>1</Min><Max>2147483647</Max>"
           "<StartingPhysicalIndex>1</StartingPhysicalIndex></IviVirtualRange></VirtualRanges></IviVirtualName>"
           "<IviVirtualName><Name>Load</Name><MapTo>CH4</MapTo></IviVirtualName></VirtualNames></IviDriverSession>"
           "</DriverSessions></IviConfigStore>\n";
    setenv("IVICONFIGSERVERDEFAULT", path.c_str(), 1);
    return true;
  }();
  (void)made;
}

// The longest input the formatted-I/O harnesses take, and the argument
// buffers each conversion gets its own of (zeroed before every run).
constexpr std::size_t kMaxText = 4096;
struct Arguments {
  static constexpr int kCount = 16;
  std::array<std::array<char, 4 * kMaxText>, kCount> buffers{};
  void clear() {
    for (auto& b : buffers) b.fill(0);
  }
  void* at(int i) { return buffers[static_cast<std::size_t>(i)].data(); }
};

// A format the harness can give arguments for: few conversions, and no
// width or precision taken from the argument list.
inline bool UsableFormat(std::string_view format) {
  int conversions = 0;
  for (char c : format) {
    if (c == '%') ++conversions;
    if (c == '*' && conversions > 0) return false;
  }
  return conversions <= Arguments::kCount / 2;
}

}  // namespace fuzzing
