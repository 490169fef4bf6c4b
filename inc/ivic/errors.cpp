// SPDX-License-Identifier: MIT
#include "errors.h"

#include <cstring>
#include <vector>

#include "instrument.h"
#include "IviSession.h"
#include "text.h"
#include "vexo_assert.h"

namespace vexo {
namespace {

constexpr std::size_t kMaxDescription = 1023;

ViStatus Record(ViSession vi, ViStatus code, std::string text) {
  if (text.size() > kMaxDescription) text.resize(kMaxDescription);
  ViStatus st = IviSession_SetError(vi, code, text.c_str());
  return st < 0 ? st : code;
}

}  // namespace

std::string FormatMessage(std::string_view format, std::initializer_list<std::string_view> args) {
  std::string out;
  auto next = args.begin();
  for (std::size_t i = 0; i < format.size(); ++i) {
    char c = format[i];
    if (c == '%' && i + 1 < format.size()) {
      char spec = format[i + 1];
      if (spec == '%') {
        out.push_back('%');
        ++i;
        continue;
      }
      if (spec == 's' || spec == 'd') {
        if (next != args.end()) out.append(*next++);
        ++i;
        continue;
      }
    }
    out.push_back(c);
  }
  return out;
}

ViStatus ReportError(ViSession vi, ViStatus code, std::initializer_list<std::string_view> args) {
  return ReportErrorWithElaboration(vi, code, {}, args);
}

ViStatus ReportErrorWithElaboration(ViSession vi, ViStatus code, std::string_view elaboration,
                                    std::initializer_list<std::string_view> args) {
  const char* templ = ErrorTemplate(code);
  std::string format = templ != nullptr ? templ : "";
  if (!elaboration.empty()) {
    format += "  ";
    format += elaboration;
  }
  return Record(vi, code, FormatMessage(format, args));
}

ViStatus ReportNullPointer(ViSession vi, std::string_view function, std::string_view parameters, int index) {
  std::vector<std::string_view> names = SplitTrimmed(parameters, ',');
  bool known = index >= 0 && index < static_cast<int>(names.size());
  VEXO_ASSERT(known && "nIndex < (int)vecNames.size()");
  std::string_view parameter = known ? names[static_cast<std::size_t>(index)] : "<unknown parameter>";
  return ReportError(vi, IVI_ERROR_NULL_POINTER, {Trim(function), parameter});
}

ViStatus CheckPointers(ViSession vi, std::string_view function, std::string_view parameters,
                       std::initializer_list<const void*> pointers) {
  int index = 0;
  for (const void* p : pointers) {
    if (p == nullptr) return ReportNullPointer(vi, function, parameters, index);
    ++index;
  }
  return VI_SUCCESS;
}

void CopyToBuffer(std::string_view text, char* buffer, std::size_t size) {
  if (buffer == nullptr || size == 0) return;
  std::size_t n = text.size() < size - 1 ? text.size() : size - 1;
  std::memcpy(buffer, text.data(), n);
  buffer[n] = '\0';
}

}  // namespace vexo
