// SPDX-License-Identifier: MIT
#include "selector.h"

#include <charconv>
#include <map>
#include <memory>
#include <mutex>
#include <string_view>

#include "attribute.h"
#include "ci_map.h"
#include "driver_session.h"
#include "errors.h"
#include "frame.h"
#include "selector_grammar.h"
#include "text.h"

namespace vexo {
namespace {

const char* RepCapName() { return Capability().name; }

ViStatus Record(ViSession vi, ViStatus code, std::string_view elaboration = {},
                std::initializer_list<std::string_view> args = {}) {
  return vi == VI_NULL ? code : ReportErrorWithElaboration(vi, code, elaboration, args);
}

bool IsBlank(const char* s) {
  for (; *s != '\0'; ++s) {
    if (std::string_view(" \t\f\v\n\r").find(*s) == std::string_view::npos) return false;
  }
  return true;
}

ViStatus UnknownIdentifier(ViSession vi, std::string_view name) {
  return Record(vi, IVI_ERROR_UNKNOWN_PHYSICAL_IDENTIFIER,
                "The identifier '%s' is not defined for repeated capability '%s'.", {name, RepCapName()});
}

// Expands "CH1-CH3" into CH1, CH2, CH3. With `validate`, a range longer than
// the list of physical names cannot consist of them: it fails at once, naming
// its first unknown name, rather than being expanded without bound.
ViStatus ExpandRange(ViSession vi, std::string_view item, bool validate, std::vector<std::string>& names) {
  std::string text(item);
  grammar::RangeParts parts;
  if (!grammar::SplitRange(text, parts))
    return Record(vi, IVI_ERROR_INVALID_RANGE_IN_SELECTOR, "The base names do not match.", {text, RepCapName()});
  auto number = [](std::string_view digits, long long& out) {
    auto [p, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), out);
    return ec == std::errc{} && p == digits.data() + digits.size() && out <= 0x7FFFFFFF;
  };
  long long first = 0, last = 0;
  if (!number(parts.first_digits, first) || !number(parts.last_digits, last))
    return Record(vi, IVI_ERROR_INVALID_RANGE_IN_SELECTOR, "The index is out of range.", {text, RepCapName()});
  if (first >= last)
    return Record(vi, IVI_ERROR_INVALID_RANGE_IN_SELECTOR, "The start index must be less than the end index.",
                  {text, RepCapName()});
  std::string base(parts.base);
  if (validate) {
    const std::vector<std::string>& physical = PhysicalNames(vi);
    if (static_cast<unsigned long long>(last - first) >= physical.size()) {
      for (long long k = first;; ++k) {
        std::string name = base + std::to_string(k);
        if (std::find(physical.begin(), physical.end(), name) == physical.end()) return UnknownIdentifier(vi, name);
      }
    }
  }
  for (long long k = first; k <= last; ++k) names.push_back(base + std::to_string(k));
  return VI_SUCCESS;
}

ViStatus ResolveUncached(ViSession vi, std::string text, bool validate, std::vector<std::string>& out) {
  if (!grammar::IsWellFormedSelector(text)) return Record(vi, IVI_ERROR_BADLY_FORMED_SELECTOR);
  if (const DriverSession* session = ResolveSession(vi); session != nullptr) {
    std::string replaced;
    std::size_t last = 0;
    grammar::ForEachNameRun(text, [&](std::size_t at, std::string_view run) {
      replaced.append(text, last, at - last);
      replaced += session->GetPhysicalName(run);
      last = at + run.size();
    });
    replaced.append(text, last);
    if (replaced != text) {
      text = std::move(replaced);
      if (!grammar::IsWellFormedSelector(text)) return Record(vi, IVI_ERROR_BADLY_FORMED_SELECTOR);
    }
  }

  std::vector<std::vector<std::string>> levels;
  for (std::string_view level : Split(text, ':')) {
    level = Trim(level);
    if (!level.empty() && level.front() == '[') level = level.substr(1, level.size() >= 2 ? level.size() - 2 : 0);
    std::vector<std::string> names;
    std::map<std::string, bool> seen;  // name -> came from a range
    for (std::string_view raw : Split(level, ',')) {
      std::string_view item = Trim(raw);
      bool is_range = item.find('-') != std::string_view::npos;
      std::vector<std::string> item_names;
      if (is_range) {
        ViStatus st = ExpandRange(vi, item, validate, item_names);
        if (st < 0) return st;
      } else {
        item_names.emplace_back(item);
      }
      for (const std::string& name : item_names) {
        if (auto it = seen.find(name); it != seen.end()) {
          if (is_range || it->second)
            return Record(vi, IVI_ERROR_INVALID_RANGE_IN_SELECTOR,
                          "An identifier in the range overlaps with another range.", {item, RepCapName()});
          return Record(vi, IVI_ERROR_BADLY_FORMED_SELECTOR);
        }
        seen.emplace(name, is_range);
        names.push_back(name);
      }
    }
    levels.push_back(std::move(names));
  }

  // The repeated capability has one level: names of two or more levels combined
  // ("CH1:CH2") never name it, so the combinations are not built.
  if (levels.size() > 1) return Record(vi, IVI_ERROR_INVALID_NUMBER_OF_LEVELS_IN_SELECTOR, {}, {RepCapName()});
  std::vector<std::string>& combined = levels.front();
  if (validate) {
    const std::vector<std::string>& physical = PhysicalNames(vi);
    for (const std::string& name : combined) {
      if (std::find(physical.begin(), physical.end(), name) == physical.end()) return UnknownIdentifier(vi, name);
    }
  }
  out = std::move(combined);
  return VI_SUCCESS;
}

// Per-handle physical-name lists, dropped by a close hook.
struct PhysicalNameTables {
  std::mutex mutex;
  std::map<ViSession, std::shared_ptr<const std::vector<std::string>>> tables;
};

// Never destroyed, like the close hooks: sessions may close during exit.
PhysicalNameTables& Tables() {
  static PhysicalNameTables* tables = new PhysicalNameTables;
  static std::once_flag hook_registered;
  std::call_once(hook_registered, [] {
    RegisterCloseHook([](ViSession vi) {
      std::lock_guard lock(tables->mutex);
      tables->tables.erase(vi);
    });
  });
  return *tables;
}

}  // namespace

const std::vector<std::string>& PhysicalNames(ViSession vi) {
  // Each thread keeps its last table, so that threads on their own sessions
  // do not meet on the tables' mutex; the table stays alive while held here.
  thread_local struct {
    ViSession vi = VI_NULL;
    std::shared_ptr<const std::vector<std::string>> table;
  } last;
  if (last.table && last.vi == vi) return *last.table;
  PhysicalNameTables& t = Tables();
  std::shared_ptr<const std::vector<std::string>> table;
  {
    std::lock_guard lock(t.mutex);
    if (auto it = t.tables.find(vi); it != t.tables.end()) table = it->second;
  }
  if (!table) {
    std::vector<std::string> names;
    ResolveUncached(VI_NULL, Capability().physical_names, false, names);
    auto made = std::make_shared<const std::vector<std::string>>(std::move(names));
    std::lock_guard lock(t.mutex);
    table = t.tables.emplace(vi, std::move(made)).first->second;
  }
  last.vi = vi;
  last.table = table;
  return *table;
}

namespace {

// No selector names the one physical name, when there is exactly one.
ViStatus ResolveBlank(ViSession vi, std::vector<std::string>& channels) {
  const std::vector<std::string>& physical = PhysicalNames(vi);
  if (physical.size() == 1) {
    channels = physical;
    return VI_SUCCESS;
  }
  return Record(vi, IVI_ERROR_CHANNEL_NAME_REQUIRED,
                "No selector was specified for repeated capability '%s'.  The repeated capability identifier can "
                "be null or empty only when there is exactly one physical name defined.  Repeated capability '%s' "
                "has %d physical names defined.",
                {RepCapName(), RepCapName(), std::to_string(physical.size())});
}

}  // namespace

ViStatus ResolveChannels(ViSession vi, ViConstString selector, std::vector<std::string>& scratch,
                         const std::vector<std::string>*& channels) {
  channels = &scratch;
  scratch.clear();
  if (selector == nullptr || IsBlank(selector)) return ResolveBlank(vi, scratch);
  // Resolutions depend only on the text and the session's names, fixed at open.
  DriverSession* session = ResolveSession(vi);
  if (session != nullptr) {
    if (const std::vector<std::string>* known = session->ResolvedSelector(selector)) {
      channels = known;
      return VI_SUCCESS;
    }
  }
  ViStatus st = ResolveUncached(vi, selector, true, scratch);
  if (st >= 0 && session != nullptr) session->RememberResolvedSelector(selector, scratch);
  return st;
}

ViStatus ResolveSelector(ViSession vi, ViConstString selector, bool validate, std::vector<std::string>& channels) {
  if (!validate) {
    channels.clear();
    if (selector == nullptr || IsBlank(selector)) return ResolveBlank(vi, channels);
    return ResolveUncached(vi, selector, false, channels);
  }
  const std::vector<std::string>* resolved = nullptr;
  ViStatus st = ResolveChannels(vi, selector, channels, resolved);
  if (st >= 0 && resolved != &channels) channels = *resolved;
  return st;
}

ViStatus RequireSingleChannel(ViSession vi, const std::vector<std::string>& channels) {
  if (channels.size() == 1) return VI_SUCCESS;
  return Record(vi, IVI_ERROR_BADLY_FORMED_SELECTOR,
                "Only a single repeated capability identifier can be specified for the current operation.");
}

ViStatus ResolveSingleSelector(ViSession vi, ViConstString selector, std::string& channel) {
  std::vector<std::string> scratch;
  const std::vector<std::string>* channels = nullptr;
  ViStatus st = ResolveChannels(vi, selector, scratch, channels);
  if (st < 0) return st;
  if (ViStatus single = RequireSingleChannel(vi, *channels); single < 0) return single;
  channel = channels->front();
  return st;
}

ViStatus SelectChannel(DriverSession& session, ViSession vi, const std::string& channel) {
  // The capability's own names, not the session's: a name selects by its leading physical name.
  static const std::vector<std::string_view> kNames = SplitTrimmed(Capability().physical_names, ',');
  const RepeatedCapability& capability = Capability();
  for (std::size_t index = 0; index < kNames.size(); ++index) {
    std::string_view name = kNames[index];
    if (channel.size() >= name.size() && EqualsIgnoringCase(std::string_view(channel).substr(0, name.size()), name)) {
      WriteValue selection;
      selection.int32 = capability.first_selection_value + static_cast<ViInt32>(index);
      return WriteRow(session, vi, capability.selection_attribute, WithoutChannels(), selection);
    }
  }
  return ReportError(vi, IVI_ERROR_UNKNOWN_CHANNEL_NAME);
}

ViStatus SelectChannel(ViSession vi, const std::string& channel) {
  return Frame(vi, [&](DriverSession& session) { return SelectChannel(session, vi, channel); });
}

ViStatus GetRepCapName(ViSession vi, long long index, ViInt32 size, ViChar name[]) {
  const std::vector<std::string>& physical = PhysicalNames(vi);
  if (index < 0 || static_cast<unsigned long long>(index) >= physical.size())
    return ReportError(vi, IVI_ERROR_INVALID_VALUE,
                       {std::to_string(index), std::string("Get") + RepCapName() + "Name", "Index"});
  CopyToBuffer(physical[static_cast<std::size_t>(index)], name, size > 0 ? static_cast<std::size_t>(size) : 0);
  return VI_SUCCESS;
}

}  // namespace vexo
