// SPDX-License-Identifier: MIT
// Edits of an IVI configuration store, and its consistency check.
#pragma once

#include <string>
#include <vector>

#include "config_store.h"

namespace iviconfig {

struct SessionFlags {
  // -1: leave the element out (the IVI default applies).
  int cache = -1, interchange_check = -1, query_instr_status = -1, range_check = -1, record_coercions = -1,
      simulate = -1;
};

// Each returns an empty text on success, else what went wrong.
std::string RegisterDriver(Store& store, const std::string& module_path);
bool IsRegistered(Store& store);
// Removes the ZEVRA software module only; sessions that name it are the user's and stay.
std::string UnregisterDriver(Store& store);
// True when the store holds no software module, asset, session or logical name.
bool IsEmpty(const Store& store);
std::string AddHardwareAsset(Store& store, const std::string& name, const std::string& descriptor);
std::string AddDriverSession(Store& store, const std::string& name, const std::string& asset,
                             const std::string& module, const SessionFlags& flags, const std::string& driver_setup);
std::string AddLogicalName(Store& store, const std::string& name, const std::string& session);
std::string AddVirtualName(Store& store, const std::string& session, const std::string& name,
                           const std::string& map_to, const std::vector<int>& range);
// owner: a driver session name, or "" for the ZEVRA software module.
std::string AddInitialSetting(Store& store, const std::string& owner, const std::string& name,
                              const std::string& type, const std::string& value);
// kind: "asset", "session", "logical-name", "virtual-name" (owner = session), "setting" (owner as above).
std::string Remove(Store& store, const std::string& kind, const std::string& name, const std::string& owner);

// Broken references and missing or malformed elements, one "FILE line N: text" each.
std::vector<std::string> Check(const Store& store);
// A readable summary of the store.
std::string Describe(const Store& store);

}  // namespace iviconfig
