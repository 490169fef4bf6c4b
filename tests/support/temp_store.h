// SPDX-License-Identifier: MIT
// A configuration store written for one test, made the process default
// (IVICONFIGSERVERDEFAULT) for the test's duration.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace testsupport {

// The ZEVRA software module with physical names CH1..CH4.
inline std::string ZevraModule(const std::string& data_components = "") {
  std::string names;
  for (int i = 1; i <= 4; ++i)
    names += "<IviPhysicalName><Name>CH" + std::to_string(i) + "</Name><RCName>OutputChannel</RCName></IviPhysicalName>";
  return "<SoftwareModules><IviSoftwareModule id=\"ZEVRA\"><Name>ZEVRA</Name><Prefix>ZEVRA</Prefix>"
         "<ModulePath>libZEVRA_64.so</ModulePath><DataComponents>" + data_components +
         "</DataComponents><PhysicalNames>" + names + "</PhysicalNames></IviSoftwareModule></SoftwareModules>";
}

// A "Configurable Initial Settings" structure holding `items` (IviString etc.).
inline std::string InitialSettings(const std::string& items) {
  return "<IviStructure><Name>Configurable Initial Settings</Name><DataComponents>" + items +
         "</DataComponents></IviStructure>";
}

class TempStore {
 public:
  // `body` goes inside <IviConfigStore>; `raw` replaces the whole file when set.
  explicit TempStore(const std::string& body, bool raw = false) {
    std::string dir = (std::filesystem::temp_directory_path() / "zevra-test-XXXXXX").string();
    dir_ = mkdtemp(dir.data());
    path_ = dir_ + "/store.xml";
    std::ofstream(path_) << (raw ? body : "<?xml version=\"1.0\"?>\n<IviConfigStore>\n" + body + "\n</IviConfigStore>\n");
    const char* old = std::getenv("IVICONFIGSERVERDEFAULT");
    had_old_ = old != nullptr;
    if (had_old_) old_ = old;
    setenv("IVICONFIGSERVERDEFAULT", path_.c_str(), 1);
  }
  ~TempStore() {
    if (had_old_) setenv("IVICONFIGSERVERDEFAULT", old_.c_str(), 1);
    else unsetenv("IVICONFIGSERVERDEFAULT");
    std::error_code ec;
    std::filesystem::remove_all(dir_, ec);
  }
  TempStore(const TempStore&) = delete;
  TempStore& operator=(const TempStore&) = delete;
  const std::string& path() const { return path_; }

 private:
  std::string dir_, path_, old_;
  bool had_old_ = false;
};

}  // namespace testsupport
