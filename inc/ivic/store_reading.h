// SPDX-License-Identifier: MIT
// Reading the IVI configuration store through the configuration server: handles
// released by scope, the store a process uses, and a driver session's virtual
// names. The driver reads them at open; zevra reads them to name channels.
#pragma once

#include <cstddef>
#include <string>

#include "IviConfigServer.h"
#include "virtual_names.h"

namespace vexo {

// A configuration server handle, released when it goes out of scope.
class ConfigHandle {
 public:
  ConfigHandle() = default;
  ~ConfigHandle() { Release(); }
  ConfigHandle(const ConfigHandle&) = delete;
  ConfigHandle& operator=(const ConfigHandle&) = delete;
  IviConfigHandle* Out() {
    Release();
    return &handle_;
  }
  IviConfigHandle get() const { return handle_; }
  explicit operator bool() const { return handle_ != nullptr; }
  void Release();

 private:
  IviConfigHandle handle_ = nullptr;
};

// The server itself, closed when it goes out of scope unless closed explicitly.
class ConfigServer {
 public:
  ConfigServer() = default;
  ~ConfigServer() { Close(); }
  ConfigServer(const ConfigServer&) = delete;
  ConfigServer& operator=(const ConfigServer&) = delete;
  IviConfigHandle get() const { return handle_; }
  // Starts the server and reads the process-default store, or the master store
  // when the process has none.
  ViStatus Open();
  ViStatus Close();

 private:
  IviConfigHandle handle_ = nullptr;
};

using StringGetter = ViStatus (*)(IviConfigHandle, ViInt32, ViInt32, ViChar[]);
ViStatus GetText(StringGetter getter, IviConfigHandle h, ViInt32 id, std::size_t size, std::string& out);

// The virtual names of a driver session of the store; the server's status on failure.
ViStatus ReadVirtualNames(IviConfigHandle config_session, VirtualNameTable& table);
// The virtual names of `logical_name` in the store a process uses;
// IVICONFIG_ERROR_SESSION_NOT_FOUND when it names no driver session.
ViStatus ReadLogicalNameVirtualNames(const std::string& logical_name, VirtualNameTable& table);

}  // namespace vexo
