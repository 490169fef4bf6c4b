// SPDX-License-Identifier: MIT
// A configuration store, in a temporary directory for the life of the
// object, that registers the driver, named by IVICONFIGSERVERDEFAULT: what a
// benchmark needs to open driver sessions.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace bench {

class TempDriverStore {
 public:
  TempDriverStore() {
    std::string dir = (std::filesystem::temp_directory_path() / "zevra-bench-XXXXXX").string();
    if (mkdtemp(dir.data()) == nullptr) return;
    dir_ = dir;
    std::ofstream(dir_ + "/store.xml")
        << "<?xml version=\"1.0\"?><IviConfigStore><SoftwareModules><IviSoftwareModule id=\"ZEVRA\">"
           "<Name>ZEVRA</Name><Prefix>ZEVRA</Prefix><ModulePath>libZEVRA_64.so</ModulePath>"
           "<DataComponents/><PhysicalNames/></IviSoftwareModule></SoftwareModules></IviConfigStore>\n";
    setenv("IVICONFIGSERVERDEFAULT", (dir_ + "/store.xml").c_str(), 1);
  }
  ~TempDriverStore() {
    if (!dir_.empty()) std::filesystem::remove_all(dir_);
  }
  TempDriverStore(const TempDriverStore&) = delete;
  TempDriverStore& operator=(const TempDriverStore&) = delete;
  bool ok() const { return !dir_.empty(); }

 private:
  std::string dir_;
};

}  // namespace bench
