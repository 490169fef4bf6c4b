// SPDX-License-Identifier: MIT
// The instruments a gateway serves, by the name clients ask for: each opened
// when its first client arrives and closed when its last one leaves.
#pragma once

#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "forwarded_instrument.h"

namespace gateway {

class InstrumentPool {
 public:
  InstrumentPool(std::map<std::string, std::string> names_to_resources, std::size_t most_message_bytes);
  bool serves(const std::string& name) const { return resources_.count(name) != 0; }
  // The instrument behind `name`, opened if no client has it open; VI_ERROR_RSRC_NFOUND for a name not served.
  ViStatus acquire(const std::string& name, std::shared_ptr<ForwardedInstrument>& out);

 private:
  struct Entry {
    std::mutex opening;  // one open at a time per instrument; others wait for it, not for every instrument
    std::weak_ptr<ForwardedInstrument> open;
  };
  const std::map<std::string, std::string> resources_;
  const std::size_t most_message_bytes_;
  std::map<std::string, Entry> entries_;  // one per name, made at construction: never changes shape
};

}  // namespace gateway
