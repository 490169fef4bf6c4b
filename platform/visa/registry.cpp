#include "registry.h"

#include <vector>

#include "resource_name.h"
#include "transport.h"
#include "visa.h"

namespace visa {

// Never destroyed: sessions may be closed from exit handlers and static
// destructors, after the statics of this library would be gone.
Registry& Registry::instance() {
  static Registry* registry = new Registry;
  return *registry;
}

ViSession Registry::open_resource_manager() {
  std::lock_guard lock(mutex_);
  ViSession handle = next_handle_++;
  managers_[handle];
  return handle;
}

ViStatus Registry::open(ViSession resource_manager, const char* name, ViUInt32 open_timeout_ms,
                        ViSession* out) {
  if (!is_resource_manager(resource_manager)) return VI_ERROR_INV_OBJECT;
  ResourceName resource;
  ViStatus st = parse_resource_name(name, resource);
  if (st < 0) return st;
  const TransportEntry& entry = transport_for(resource.kind);
  if (entry.open == nullptr) return VI_ERROR_LIBRARY_NFOUND;
  std::unique_ptr<Transport> transport;
  // Connecting may take up to the open timeout; no lock is held meanwhile.
  st = entry.open(resource, Deadline::after_ms(open_timeout_ms), transport);
  if (st < 0) return st;

  std::lock_guard lock(mutex_);
  auto manager = managers_.find(resource_manager);
  if (manager == managers_.end()) return VI_ERROR_INV_OBJECT;  // closed while connecting
  ViSession handle = next_handle_++;
  sessions_[handle] = std::make_shared<InstrumentSession>(handle, resource_manager,
                                                          std::move(resource), std::move(transport));
  manager->second.insert(handle);
  *out = handle;
  return VI_SUCCESS;
}

ViStatus Registry::close(ViSession handle) {
  // Sessions are destroyed outside the lock: closing a socket must not hold up other sessions.
  std::vector<std::shared_ptr<InstrumentSession>> closing;
  {
    std::lock_guard lock(mutex_);
    if (auto manager = managers_.find(handle); manager != managers_.end()) {
      for (ViSession s : manager->second) {
        if (auto it = sessions_.find(s); it != sessions_.end()) {
          closing.push_back(std::move(it->second));
          sessions_.erase(it);
        }
      }
      managers_.erase(manager);
    } else if (auto it = sessions_.find(handle); it != sessions_.end()) {
      if (auto owner = managers_.find(it->second->resource_manager()); owner != managers_.end())
        owner->second.erase(handle);
      closing.push_back(std::move(it->second));
      sessions_.erase(it);
    } else {
      return VI_ERROR_INV_OBJECT;
    }
  }
  return VI_SUCCESS;
}

std::shared_ptr<InstrumentSession> Registry::find(ViSession handle) {
  std::lock_guard lock(mutex_);
  auto it = sessions_.find(handle);
  return it == sessions_.end() ? nullptr : it->second;
}

bool Registry::is_resource_manager(ViSession handle) {
  std::lock_guard lock(mutex_);
  return managers_.count(handle) != 0;
}

}  // namespace visa
