// SPDX-License-Identifier: MIT
#include "instrument_pool.h"

namespace gateway {

InstrumentPool::InstrumentPool(std::map<std::string, std::string> names_to_resources, std::size_t most_message_bytes)
    : resources_(std::move(names_to_resources)), most_message_bytes_(most_message_bytes) {
  for (const auto& [name, resource] : resources_) entries_[name];
}

ViStatus InstrumentPool::acquire(const std::string& name, std::shared_ptr<ForwardedInstrument>& out) {
  auto it = entries_.find(name);
  if (it == entries_.end()) return VI_ERROR_RSRC_NFOUND;
  Entry& entry = it->second;
  out.reset();
  std::lock_guard guard(entry.opening);
  if ((out = entry.open.lock())) return VI_SUCCESS;
  std::unique_ptr<ForwardedInstrument> opened;
  ViStatus st = ForwardedInstrument::Open(resources_.at(name), most_message_bytes_, opened);
  if (st < 0) return st;
  // Closing takes the entry's mutex too, so that the next client's open waits
  // until the instrument is free again (a serial port is opened once at a time).
  out = std::shared_ptr<ForwardedInstrument>(opened.release(), [&entry](ForwardedInstrument* instrument) {
    std::lock_guard closing(entry.opening);
    delete instrument;
  });
  entry.open = out;
  return VI_SUCCESS;
}

}  // namespace gateway
