// SPDX-License-Identifier: MIT
// What an event context answers to viGetAttribute, as one table: its type,
// and for an exception or a finished asynchronous job what happened.
#include "event_attributes.h"

#include <cstdint>
#include <string>

#include "attribute_value.h"

namespace visa {
namespace {

// Which events' contexts have an attribute.
enum class Events { kAll, kExceptionAndCompletion, kCompletion };

bool Has(Events events, ViEventType type) {
  switch (events) {
    case Events::kAll: return true;
    case Events::kExceptionAndCompletion: return type == VI_EVENT_EXCEPTION || type == VI_EVENT_IO_COMPLETION;
    case Events::kCompletion: return type == VI_EVENT_IO_COMPLETION;
  }
  return false;
}

struct EventAttributeRow {
  ViAttr id;
  AttributeType type;
  Events events;
  ViAttrState (*number)(const EventData&);  // null: the operation's name (VI_ATTR_OPER_NAME)
};

constexpr EventAttributeRow kRows[] = {
    {VI_ATTR_EVENT_TYPE, AttributeType::UInt32, Events::kAll, [](const EventData& e) -> ViAttrState { return e.type; }},
    {VI_ATTR_STATUS, AttributeType::UInt32, Events::kExceptionAndCompletion,
     [](const EventData& e) -> ViAttrState { return static_cast<ViUInt32>(e.status); }},
    {VI_ATTR_OPER_NAME, AttributeType::String, Events::kExceptionAndCompletion, nullptr},
    {VI_ATTR_JOB_ID, AttributeType::UInt32, Events::kCompletion, [](const EventData& e) -> ViAttrState { return e.job; }},
    {VI_ATTR_BUFFER, AttributeType::UInt64, Events::kCompletion,
     [](const EventData& e) -> ViAttrState { return reinterpret_cast<std::uintptr_t>(e.buffer); }},
    {VI_ATTR_RET_COUNT_64, AttributeType::UInt64, Events::kCompletion,
     [](const EventData& e) -> ViAttrState { return e.count; }},
    {VI_ATTR_RET_COUNT_32, AttributeType::UInt32, Events::kCompletion,
     [](const EventData& e) -> ViAttrState { return e.count & 0xFFFFFFFFu; }},
};

}  // namespace

ViStatus event_attribute(const EventData& event, ViAttr attribute, void* value) {
  for (const EventAttributeRow& row : kRows) {
    if (row.id != attribute) continue;
    if (!Has(row.events, event.type)) return VI_ERROR_NSUP_ATTR;
    if (value == nullptr) return VI_ERROR_USER_BUF;
    AttributeValue v;
    v.type = row.type;
    if (row.number == nullptr) {
      v.text = event.operation;
    } else {
      v.number = row.number(event);
    }
    store_attribute(v, value);
    return VI_SUCCESS;
  }
  return VI_ERROR_NSUP_ATTR;
}

}  // namespace visa
