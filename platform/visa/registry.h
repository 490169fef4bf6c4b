// SPDX-License-Identifier: MIT
// Handles of resource managers, instrument sessions and find lists. Handles
// are never reused in a process; the maps are locked only to look up, insert
// or erase.
#pragma once

#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "event_data.h"
#include "instrument_session.h"
#include "visa_config.h"
#include "visatype.h"

namespace visa {

class Registry {
 public:
  static Registry& instance();

  // A new resource manager, with the configuration file as it reads now.
  ViSession open_resource_manager();
  ViStatus open(ViSession resource_manager, const char* name, ViAccessMode mode, ViUInt32 open_timeout_ms,
                ViSession* out);
  // Event contexts, handed to a handler or out of viWaitOnEvent; closed with
  // viClose, or with the session they came from.
  ViEvent open_event(ViSession session, const EventData& event);
  bool event_type(ViEvent event, ViEventType& type);
  bool event_data(ViEvent event, EventData& data);
  // Closes a session, a find list, an event context, or a resource manager with all it opened.
  ViStatus close(ViObject handle);
  std::shared_ptr<InstrumentSession> find(ViSession handle);
  bool is_resource_manager(ViSession handle);

  // A resource name or alias of the manager's configuration; `alias` gets the alias, if any.
  ViStatus resolve(ViSession resource_manager, const char* name, ResourceName& out, std::string* alias);
  // viFindRsrc: the matches of `expression`; the first in `first`, the rest
  // kept in a find list when `list` is wanted.
  ViStatus find_resources(ViSession resource_manager, const char* expression, ViFindList* list, ViUInt32* count,
                          std::string& first);
  ViStatus find_next(ViFindList list, std::string& next);

  // The resource manager session's own attributes (manager_attributes.cpp):
  // VI_ERROR_INV_OBJECT when `handle` is no resource manager.
  ViStatus manager_attribute(ViSession handle, ViAttr attribute, void* value);
  ViStatus set_manager_attribute(ViSession handle, ViAttr attribute, ViAttrState value);

  // The configuration file as last read, reused while the file is unchanged
  // (same path, inode, size and modification time), so opening a resource
  // manager does not parse it again.
  std::shared_ptr<const VisaConfig> current_config();

 private:
  struct Manager {
    std::set<ViSession> sessions;
    std::set<ViFindList> find_lists;
    std::shared_ptr<const VisaConfig> config;
    std::uint64_t user_data = 0;         // VI_ATTR_USER_DATA
    std::uint32_t max_queue_length = 50;  // VI_ATTR_MAX_QUEUE_LENGTH
  };
  friend struct ManagerAttributeAccess;
  struct FindList {
    ViSession manager;
    std::vector<std::string> names;
    std::size_t next = 0;
  };
  std::shared_ptr<const VisaConfig> config_of(ViSession resource_manager);
  struct ConfigFile {
    std::string path;
    bool exists = false;
    unsigned long long device = 0, inode = 0;
    long long size = 0, modified_ns = 0, changed_ns = 0;
    bool operator==(const ConfigFile&) const = default;
  };
  std::mutex config_mutex_;
  ConfigFile config_file_;
  std::shared_ptr<const VisaConfig> config_;

  std::mutex mutex_;
  ViSession next_handle_ = 0x1000;
  std::map<ViSession, Manager> managers_;
  std::map<ViSession, std::shared_ptr<InstrumentSession>> sessions_;
  std::map<ViFindList, FindList> find_lists_;
  struct EventContext {
    ViSession session;
    EventData data;
  };
  std::map<ViEvent, EventContext> events_;
  // Drops the contexts of a session being closed; the mutex is held.
  void forget_events_of(ViSession session);
};

}  // namespace visa
