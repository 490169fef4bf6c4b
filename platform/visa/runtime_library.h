// SPDX-License-Identifier: MIT
// Functions of a shared library loaded when first needed rather than when
// this library loads: a program that never asks for the feature neither pays
// for loading it nor needs it installed.
#pragma once

#include <dlfcn.h>

namespace visa {

// Kept for the life of the process: unloading under a running program gains nothing.
inline void* OpenRuntimeLibrary(const char* soname) { return ::dlopen(soname, RTLD_NOW | RTLD_LOCAL); }

// Resolves `name` in `library` into `out`; false when it is not there.
template <typename F>
bool Bind(void* library, const char* name, F& out) {
  out = reinterpret_cast<F>(::dlsym(library, name));
  return out != nullptr;
}

}  // namespace visa
