// SPDX-License-Identifier: MIT
// The USB bus a process emulates for the VISA library: devices attached here
// are what the library lists and opens as USB instruments in this process
// (it finds the bus by the exported symbol zevra_usb_model_entry).
#pragma once

#include <cstddef>
#include <mutex>
#include <vector>

#include "usbtmc_device.h"

namespace emulator {

class EmulatedUsbBus {
 public:
  static EmulatedUsbBus& instance();
  // Listed and opened until detached; detach only once no host holds the device.
  void attach(UsbtmcDevice* device);
  void detach(UsbtmcDevice* device);

  std::size_t count();
  UsbtmcDevice* at(std::size_t index);

 private:
  std::mutex mutex_;
  std::vector<UsbtmcDevice*> devices_;
};

}  // namespace emulator
