// SPDX-License-Identifier: MIT
#include "enum_map.h"

#include <algorithm>
#include <optional>

#include "ci_map.h"
#include "driver_session.h"
#include "errors.h"
#include "frame.h"
#include "ivi_status.h"
#include "text.h"
#include "vexo_assert.h"

namespace vexo {
namespace {

// A blank list has no items; otherwise every comma-separated item counts, empty or not.
std::vector<std::string> SplitList(std::string_view text) {
  if (Trim(text).empty()) return {};
  std::vector<std::string_view> items = SplitTrimmed(text, ',');
  return {items.begin(), items.end()};
}

// In order of preference: a row for the exact model beats one for its family.
enum class Applicability { ExactModel, Family, Generic, NotApplicable };

Applicability Classify(const std::vector<std::string>& models, const DriverSession* session) {
  if (models.empty()) return Applicability::Generic;
  if (session == nullptr) return Applicability::NotApplicable;
  const std::string& model = session->GetInstrumentModel();
  if (std::find(models.begin(), models.end(), model) != models.end()) return Applicability::ExactModel;
  for (const std::string& family : models) {
    if (session->ModelBelongsToFamily(model, family)) return Applicability::Family;
  }
  return Applicability::NotApplicable;
}

}  // namespace

EnumMap::EnumMap(std::initializer_list<EnumRow> rows) {
  for (const EnumRow& r : rows) rows_.push_back({r.name, r.value, SplitList(r.tokens), SplitList(r.models)});
}

ViStatus EnumMap::ValueToCommand(ViSession vi, ViInt32 value, std::string& command) const {
  command.clear();
  const DriverSession* session = ResolveSession(vi);
  // The first row of the value for this exact model, else for its family, else for any model.
  const Row* best = nullptr;
  Applicability best_kind = Applicability::NotApplicable;
  for (const Row& row : rows_) {
    if (row.value != value || row.tokens.empty()) continue;
    const Applicability kind = Classify(row.models, session);
    if (kind < best_kind) {
      best = &row;
      best_kind = kind;
      if (kind == Applicability::ExactModel) break;
    }
  }
  if (best != nullptr) {
    command = best->tokens.front();
    return VI_SUCCESS;
  }
  return ReportErrorWithElaboration(vi, IVI_ERROR_CANNOT_RECOVER,
                                    "Could not convert defined value '%d' to an instrument command.",
                                    {std::to_string(value)});
}

ViStatus EnumMap::ResponseToValue(ViSession vi, std::string_view response, ViInt32& value) const {
  value = -1;
  const DriverSession* session = ResolveSession(vi);
  std::string_view reply = Trim(response);
  std::vector<ViInt32> model_values;
  std::optional<ViInt32> best;
  std::optional<Applicability> best_kind;
  for (const Row& row : rows_) {
    Applicability kind = Classify(row.models, session);
    if (kind == Applicability::ExactModel || kind == Applicability::Family) model_values.push_back(row.value);
    bool accepted = std::any_of(row.tokens.begin(), row.tokens.end(),
                                [&](const std::string& t) { return EqualsIgnoringCase(Trim(t), reply); });
    if (!accepted || kind == Applicability::NotApplicable) continue;
    if (kind == Applicability::ExactModel) {
      value = row.value;
      return VI_SUCCESS;
    }
    if (kind == Applicability::Family || !best) {
      VEXO_ASSERT(!(best_kind == kind) && "Invalid enum command map.");
      best = row.value;
      best_kind = kind;
    }
  }
  bool shadowed = best_kind == Applicability::Generic &&
                  std::find(model_values.begin(), model_values.end(), *best) != model_values.end();
  if (best && !shadowed) {
    value = *best;
    return VI_SUCCESS;
  }
  return ReportErrorWithElaboration(vi, IVI_ERROR_UNEXPECTED_RESPONSE,
                                    "Could not convert instrument response (%s) to a defined value.",
                                    {std::string(response)});
}

std::string EnumMap::ValueToName(ViInt32 value) const {
  for (const Row& row : rows_) {
    if (row.value == value) return row.name;
  }
  return std::to_string(value);
}

}  // namespace vexo
