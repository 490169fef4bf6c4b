// SPDX-License-Identifier: MIT
#include "frame.h"

#include <mutex>
#include <vector>

namespace vexo {
namespace {

struct CloseHooks {
  std::mutex mutex;
  std::vector<std::function<void(ViSession)>> hooks;
};

// Never destroyed: a program may close a session from an exit handler or a
// static destructor, after this file's statics would be gone.
CloseHooks& Hooks() {
  static CloseHooks* hooks = new CloseHooks;
  return *hooks;
}

}  // namespace

std::vector<ActiveCall>& ActiveCalls() {
  // initial-exec: every frame reads it without a call into the dynamic linker.
  [[gnu::tls_model("initial-exec")]] thread_local std::vector<ActiveCall> calls;
  return calls;
}

void RegisterCloseHook(std::function<void(ViSession)> hook) {
  std::lock_guard lock(Hooks().mutex);
  Hooks().hooks.push_back(std::move(hook));
}

void RunCloseHooks(ViSession vi) {
  std::vector<std::function<void(ViSession)>> hooks;
  {
    std::lock_guard lock(Hooks().mutex);
    hooks = Hooks().hooks;
  }
  for (auto& hook : hooks) hook(vi);
}

}  // namespace vexo
