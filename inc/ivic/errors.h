// SPDX-License-Identifier: MIT
// Recording errors on a session: a template from the error table, filled with
// text arguments, optionally followed by an elaboration.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

#include "visatype.h"

namespace vexo {

// Fills each "%s" (and "%d") of `format` with the next argument, "%%" with "%".
// Arguments are data: a "%" in them is printed as it is.
std::string FormatMessage(std::string_view format, std::initializer_list<std::string_view> args);

ViStatus ReportError(ViSession vi, ViStatus code, std::initializer_list<std::string_view> args = {});
ViStatus ReportErrorWithElaboration(ViSession vi, ViStatus code, std::string_view elaboration,
                                    std::initializer_list<std::string_view> args = {});

// 0xBFFA0058 naming the parameter at `index` of the comma-separated `parameters`.
ViStatus ReportNullPointer(ViSession vi, std::string_view function, std::string_view parameters, int index);

// Checks output pointers in order; the first null one is reported.
ViStatus CheckPointers(ViSession vi, std::string_view function, std::string_view parameters,
                       std::initializer_list<const void*> pointers);

// Copies text into a caller's buffer of `size` bytes, truncated and terminated.
void CopyToBuffer(std::string_view text, char* buffer, std::size_t size);

}  // namespace vexo
