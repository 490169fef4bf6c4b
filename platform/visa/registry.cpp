// SPDX-License-Identifier: MIT
#include "registry.h"

#include <cstdio>
#include <vector>

#include "discovery.h"
#include "lock_table.h"
#include "regular_file.h"
#include "resource_expression.h"
#include "resource_name.h"
#include "trace.h"
#include "transport.h"
#include "visa.h"

namespace visa {

constexpr ViUInt32 kDefaultConnectTimeoutMs = 2000;

// Never destroyed: sessions may be closed from exit handlers and static
// destructors, after the statics of this library would be gone.
Registry& Registry::instance() {
  static Registry* registry = new Registry;
  return *registry;
}

std::shared_ptr<const VisaConfig> Registry::current_config() {
  ConfigFile file;
  file.path = visa_config_path();
  regular_file::Identity identity;
  if (regular_file::IdentityOf(file.path, identity)) {
    const auto ns = [](const timespec& t) { return static_cast<long long>(t.tv_sec) * 1000000000LL + t.tv_nsec; };
    file = {file.path, true, identity.device, identity.inode, identity.size, ns(identity.modified), ns(identity.changed)};
  }
  std::lock_guard lock(config_mutex_);
  if (config_ && file == config_file_) return config_;
  auto config = std::make_shared<VisaConfig>(read_visa_config(file.path));
  // Said once per version of the file, not at every resource manager.
  for (const std::string& problem : config->problems) std::fprintf(stderr, "visa: %s\n", problem.c_str());
  config_file_ = file;
  config_ = std::move(config);
  return config_;
}

ViSession Registry::open_resource_manager() {
  std::shared_ptr<const VisaConfig> config = current_config();
  std::lock_guard lock(mutex_);
  ViSession handle = next_handle_++;
  managers_[handle].config = std::move(config);
  return handle;
}

std::shared_ptr<const VisaConfig> Registry::config_of(ViSession resource_manager) {
  std::lock_guard lock(mutex_);
  auto it = managers_.find(resource_manager);
  return it == managers_.end() ? nullptr : it->second.config;
}

ViStatus Registry::resolve(ViSession resource_manager, const char* name, ResourceName& out, std::string* alias) {
  std::shared_ptr<const VisaConfig> config = config_of(resource_manager);
  if (!config) return VI_ERROR_INV_OBJECT;
  if (name == nullptr) return VI_ERROR_INV_RSRC_NAME;
  if (const ResourceName* aliased = config->resolve(name)) {
    out = *aliased;
    if (alias != nullptr) *alias = name;
    return VI_SUCCESS;
  }
  ViStatus st = parse_resource_name(name, out);
  if (st >= 0 && alias != nullptr) *alias = config->alias_of(out);
  return st;
}

ViStatus Registry::open(ViSession resource_manager, const char* name, ViAccessMode mode, ViUInt32 open_timeout_ms,
                        ViSession* out) {
  ResourceName resource;
  ViStatus st = resolve(resource_manager, name, resource, nullptr);
  if (st < 0) return st;
  const TransportEntry& entry = transport_for(resource.kind);
  if (entry.open == nullptr) {
    trace_note(entry.unavailable_reason);
    return VI_ERROR_LIBRARY_NFOUND;
  }
  std::unique_ptr<Transport> transport;
  // Connecting may take up to the open timeout; no lock is held meanwhile. An
  // open timeout of 0 (VI_TMO_IMMEDIATE: take a lock only if it is free, as
  // PyVISA asks by default) leaves connecting the default I/O timeout.
  const ViUInt32 connect_ms = open_timeout_ms == VI_TMO_IMMEDIATE ? kDefaultConnectTimeoutMs : open_timeout_ms;
  OpenRequest request{Deadline::after_ms(connect_ms), mode == VI_EXCLUSIVE_LOCK, open_timeout_ms};
  st = entry.open(resource, request, transport);
  if (st < 0) return st;

  ViSession handle;
  std::string lock_key = resource.canonical;
  {
    std::lock_guard lock(mutex_);
    auto manager = managers_.find(resource_manager);
    if (manager == managers_.end()) return VI_ERROR_INV_OBJECT;  // closed while connecting
    handle = next_handle_++;
    sessions_[handle] = std::make_shared<InstrumentSession>(handle, resource_manager, std::move(resource),
                                                            std::move(transport));
    manager->second.sessions.insert(handle);
  }
  // An access mode that asks for a lock gets it within the open timeout, or the open fails.
  if (mode == VI_EXCLUSIVE_LOCK || mode == VI_SHARED_LOCK) {
    std::string key;
    st = LockTable::instance().lock(lock_key, handle, mode, open_timeout_ms, nullptr, key);
    // The instrument's own lock, unless the transport took it while opening.
    std::shared_ptr<InstrumentSession> session = find(handle);
    if (st >= 0 && session && !session->holds_device_lock())
      st = session->lock_device(open_timeout_ms, mode == VI_SHARED_LOCK ? &key : nullptr);
    if (st < 0) {
      close(handle);
      return st == VI_ERROR_TMO ? VI_ERROR_RSRC_LOCKED : st;
    }
  }
  *out = handle;
  return VI_SUCCESS;
}

ViEvent Registry::open_event(ViSession session, const EventData& event) {
  std::lock_guard lock(mutex_);
  ViEvent handle = next_handle_++;
  events_[handle] = {session, event};
  return handle;
}

bool Registry::event_type(ViEvent event, ViEventType& type) {
  EventData data;
  if (!event_data(event, data)) return false;
  type = data.type;
  return true;
}

bool Registry::event_data(ViEvent event, EventData& data) {
  std::lock_guard lock(mutex_);
  auto it = events_.find(event);
  if (it == events_.end()) return false;
  data = it->second.data;
  return true;
}

void Registry::forget_events_of(ViSession session) {
  std::erase_if(events_, [&](const auto& entry) { return entry.second.session == session; });
}

ViStatus Registry::close(ViObject handle) {
  // Sessions are destroyed outside the lock: closing a socket must not hold up other sessions.
  std::vector<std::shared_ptr<InstrumentSession>> closing;
  {
    std::lock_guard lock(mutex_);
    if (auto manager = managers_.find(handle); manager != managers_.end()) {
      for (ViSession s : manager->second.sessions) {
        if (auto it = sessions_.find(s); it != sessions_.end()) {
          it->second->mark_closed();
          closing.push_back(std::move(it->second));
          sessions_.erase(it);
        }
        forget_events_of(s);
      }
      for (ViFindList f : manager->second.find_lists) find_lists_.erase(f);
      managers_.erase(manager);
    } else if (auto it = sessions_.find(handle); it != sessions_.end()) {
      if (auto owner = managers_.find(it->second->resource_manager()); owner != managers_.end())
        owner->second.sessions.erase(handle);
      it->second->mark_closed();
      closing.push_back(std::move(it->second));
      sessions_.erase(it);
      forget_events_of(handle);
    } else if (events_.erase(handle) != 0) {
      // an event context: nothing more to it
    } else if (auto list = find_lists_.find(handle); list != find_lists_.end()) {
      if (auto owner = managers_.find(list->second.manager); owner != managers_.end())
        owner->second.find_lists.erase(handle);
      find_lists_.erase(list);
    } else {
      return VI_ERROR_INV_OBJECT;
    }
  }
  for (const auto& session : closing) LockTable::instance().release(session->resource().canonical, session->handle());
  return VI_SUCCESS;
}

ViStatus Registry::find_resources(ViSession resource_manager, const char* expression, ViFindList* list,
                                  ViUInt32* count, std::string& first) {
  if (list != nullptr) *list = VI_NULL;
  if (count != nullptr) *count = 0;
  std::shared_ptr<const VisaConfig> config = config_of(resource_manager);
  if (!config) return VI_ERROR_INV_OBJECT;
  if (expression == nullptr) return VI_ERROR_INV_EXPR;
  ResourceExpression parsed;
  ViStatus st = parsed.parse(expression);
  if (st < 0) return st;
  std::vector<std::string> names;
  for (const ResourceName& resource : discover_resources(*config))
    if (parsed.matches(resource)) names.push_back(resource.canonical);
  if (names.empty()) return VI_ERROR_RSRC_NFOUND;
  if (count != nullptr) *count = static_cast<ViUInt32>(names.size());
  first = names.front();
  if (list == nullptr) return VI_SUCCESS;
  std::lock_guard lock(mutex_);
  auto manager = managers_.find(resource_manager);
  if (manager == managers_.end()) return VI_ERROR_INV_OBJECT;
  ViFindList handle = next_handle_++;
  find_lists_[handle] = FindList{resource_manager, std::move(names), 1};
  manager->second.find_lists.insert(handle);
  *list = handle;
  return VI_SUCCESS;
}

ViStatus Registry::find_next(ViFindList list, std::string& next) {
  std::lock_guard lock(mutex_);
  auto it = find_lists_.find(list);
  if (it == find_lists_.end()) return VI_ERROR_INV_OBJECT;
  FindList& f = it->second;
  if (f.next >= f.names.size()) return VI_ERROR_RSRC_NFOUND;
  next = f.names[f.next++];
  return VI_SUCCESS;
}

// Every I/O call looks its session up: each thread remembers its last hit
// (weakly, so a close still destroys the session at once), and threads on
// their own sessions do not meet on the registry's mutex. Handles are never
// reused; a session marked closed is not found.
std::shared_ptr<InstrumentSession> Registry::find(ViSession handle) {
  // initial-exec: the look-up reads it without a call into the dynamic linker.
  [[gnu::tls_model("initial-exec")]] thread_local struct {
    ViSession handle = VI_NULL;
    std::weak_ptr<InstrumentSession> session;
  } last;
  if (last.handle == handle) {
    std::shared_ptr<InstrumentSession> session = last.session.lock();
    if (session && !session->closed()) return session;
  }
  std::shared_ptr<InstrumentSession> found;
  {
    std::lock_guard lock(mutex_);
    auto it = sessions_.find(handle);
    if (it != sessions_.end()) found = it->second;
  }
  if (found) {
    last.handle = handle;
    last.session = found;
  }
  return found;
}

bool Registry::is_resource_manager(ViSession handle) {
  std::lock_guard lock(mutex_);
  return managers_.count(handle) != 0;
}

}  // namespace visa
