// SPDX-License-Identifier: MIT
// Functions of a shared library loaded when first needed rather than when
// this library loads: a program that never asks for the feature neither pays
// for loading it nor needs it installed.
#pragma once

#ifdef _WIN32
#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace visa {

// Kept for the life of the process: unloading under a running program gains nothing.
#ifdef _WIN32
inline void* OpenRuntimeLibrary(const char* name) { return reinterpret_cast<void*>(::LoadLibraryA(name)); }
inline void* FindSymbol(void* library, const char* name) {
  return reinterpret_cast<void*>(::GetProcAddress(static_cast<HMODULE>(library), name));
}
// A symbol the program itself exports (a test's or a simulator's hook).
inline void* FindInProgram(const char* name) { return FindSymbol(::GetModuleHandleA(nullptr), name); }
#else
inline void* OpenRuntimeLibrary(const char* soname) { return ::dlopen(soname, RTLD_NOW | RTLD_LOCAL); }
inline void* FindSymbol(void* library, const char* name) { return ::dlsym(library, name); }
// A symbol the program, or a library it loaded, exports (a test's or a simulator's hook).
inline void* FindInProgram(const char* name) { return ::dlsym(RTLD_DEFAULT, name); }
#endif

// Resolves `name` in `library` into `out`; false when it is not there.
template <typename F>
bool Bind(void* library, const char* name, F& out) {
  out = reinterpret_cast<F>(FindSymbol(library, name));
  return out != nullptr;
}

}  // namespace visa
