// Handles of resource managers and instrument sessions. Handles are never
// reused in a process; the map is locked only to look up, insert or erase.
#pragma once

#include <map>
#include <memory>
#include <mutex>
#include <set>

#include "instrument_session.h"
#include "visatype.h"

namespace visa {

class Registry {
 public:
  static Registry& instance();

  ViSession open_resource_manager();
  ViStatus open(ViSession resource_manager, const char* name, ViUInt32 open_timeout_ms,
                ViSession* out);
  ViStatus close(ViSession handle);
  std::shared_ptr<InstrumentSession> find(ViSession handle);
  bool is_resource_manager(ViSession handle);

 private:
  std::mutex mutex_;
  ViSession next_handle_ = 0x1000;
  std::map<ViSession, std::set<ViSession>> managers_;  // manager -> its sessions
  std::map<ViSession, std::shared_ptr<InstrumentSession>> sessions_;
};

}  // namespace visa
