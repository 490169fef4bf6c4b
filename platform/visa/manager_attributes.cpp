// SPDX-License-Identifier: MIT
// The attributes of a resource manager session, as one table: who made the
// library and its versions (what pyvisa-info shows), and the two a program
// may set on any session.
#include <mutex>
#include <span>
#include <string>

#include "attribute_value.h"
#include "library_identity.h"
#include "registry.h"

namespace visa {

struct ManagerAttributeAccess {
  using M = Registry::Manager;
  struct Row {
    ViAttr id;
    AttributeType type;
    ViAttrState (*number)(const M&);
    const char* text;                  // a string attribute's fixed value
    ViStatus (*set)(M&, ViAttrState);  // null: read-only
  };

  static std::span<const Row> table() {
    static const Row rows[] = {
        {VI_ATTR_RSRC_MANF_NAME, AttributeType::String, nullptr, kManufacturerName, nullptr},
        {VI_ATTR_RSRC_MANF_ID, AttributeType::UInt16, [](const M&) { return kManufacturerId; }, nullptr, nullptr},
        {VI_ATTR_RSRC_IMPL_VERSION, AttributeType::UInt32, [](const M&) { return kImplementationVersion; }, nullptr,
         nullptr},
        {VI_ATTR_RSRC_SPEC_VERSION, AttributeType::UInt32,
         [](const M&) -> ViAttrState { return VI_SPEC_VERSION; }, nullptr, nullptr},
        // The resource manager is no resource of a bus: its name is empty.
        {VI_ATTR_RSRC_NAME, AttributeType::String, nullptr, "", nullptr},
        {VI_ATTR_RSRC_LOCK_STATE, AttributeType::UInt32, [](const M&) -> ViAttrState { return VI_NO_LOCK; }, nullptr,
         nullptr},
        {VI_ATTR_MAX_QUEUE_LENGTH, AttributeType::UInt32, [](const M& m) -> ViAttrState { return m.max_queue_length; },
         nullptr,
         [](M& m, ViAttrState v) -> ViStatus {
           if (v == 0 || v > 0xFFFFFFFFull) return VI_ERROR_NSUP_ATTR_STATE;
           m.max_queue_length = static_cast<std::uint32_t>(v);
           return VI_SUCCESS;
         }},
        {VI_ATTR_USER_DATA_64, AttributeType::UInt64, [](const M& m) -> ViAttrState { return m.user_data; }, nullptr,
         [](M& m, ViAttrState v) -> ViStatus {
           m.user_data = v;
           return VI_SUCCESS;
         }},
        {VI_ATTR_USER_DATA_32, AttributeType::UInt32,
         [](const M& m) -> ViAttrState { return m.user_data & 0xFFFFFFFFu; }, nullptr,
         [](M& m, ViAttrState v) -> ViStatus {
           if (v > 0xFFFFFFFFull) return VI_ERROR_NSUP_ATTR_STATE;
           m.user_data = v;
           return VI_SUCCESS;
         }},
    };
    return rows;
  }

  static const Row* find(ViAttr id) {
    for (const Row& row : table())
      if (row.id == id) return &row;
    return nullptr;
  }
};

ViStatus Registry::manager_attribute(ViSession handle, ViAttr attribute, void* value) {
  std::lock_guard lock(mutex_);
  auto manager = managers_.find(handle);
  if (manager == managers_.end()) return VI_ERROR_INV_OBJECT;
  const ManagerAttributeAccess::Row* row = ManagerAttributeAccess::find(attribute);
  if (row == nullptr) return VI_ERROR_NSUP_ATTR;
  if (value == nullptr) return VI_ERROR_USER_BUF;
  AttributeValue v;
  v.type = row->type;
  if (row->type == AttributeType::String) {
    v.text = row->text;
  } else {
    v.number = row->number(manager->second);
  }
  store_attribute(v, value);
  return VI_SUCCESS;
}

ViStatus Registry::set_manager_attribute(ViSession handle, ViAttr attribute, ViAttrState value) {
  std::lock_guard lock(mutex_);
  auto manager = managers_.find(handle);
  if (manager == managers_.end()) return VI_ERROR_INV_OBJECT;
  const ManagerAttributeAccess::Row* row = ManagerAttributeAccess::find(attribute);
  if (row == nullptr) return VI_ERROR_NSUP_ATTR;
  if (row->set == nullptr) return VI_ERROR_ATTR_READONLY;
  return row->set(manager->second, value);
}

}  // namespace visa
