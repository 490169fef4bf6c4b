// SPDX-License-Identifier: MIT
// Guards through which read and write callbacks use the attribute cache: the
// cache is written when the guard goes out of scope, whatever the outcome.
// Enabled while the session's Cache option is on or it is simulating.
#pragma once

#include <cstddef>
#include <cstring>
#include <string>
#include <vector>

#include "attribute_cache.h"
#include "driver_session.h"

namespace vexo {

class CacheManagerBase {
 public:
  CacheManagerBase(DriverSession& session, ViAttr id)
      : id_(id), session_(session), enabled_(session.GetCache() || session.GetSimulate()) {}
  virtual ~CacheManagerBase() = default;
  CacheManagerBase(const CacheManagerBase&) = delete;
  CacheManagerBase& operator=(const CacheManagerBase&) = delete;
  bool enabled() const { return enabled_; }

 protected:
  ViAttr id_;
  DriverSession& session_;
  bool enabled_;
};

template <typename T>
CacheStore<T>& StoreFor(AttributeCache& cache);
template <>
inline CacheStore<ViInt32>& StoreFor<ViInt32>(AttributeCache& c) { return c.int32_store; }
template <>
inline CacheStore<ViReal64>& StoreFor<ViReal64>(AttributeCache& c) { return c.real64_store; }
template <>
inline CacheStore<ViBoolean>& StoreFor<ViBoolean>(AttributeCache& c) { return c.boolean_store; }
template <>
inline CacheStore<std::string>& StoreFor<std::string>(AttributeCache& c) { return c.string_store; }

template <typename T>
class CacheManager : public CacheManagerBase {
 public:
  using CacheManagerBase::CacheManagerBase;

 protected:
  CacheEntry<T>& Entry(const std::string& key) { return StoreFor<T>(session_.Cache())[id_][key]; }
};

// Scalars: T is ViInt32, ViReal64 or ViBoolean. The key is "" for attributes
// without channels, else the physical channel name.
template <typename T>
class GetterCacheManager final : public CacheManager<T> {
 public:
  GetterCacheManager(DriverSession& session, ViAttr id, T* value, const std::string& key = {})
      : CacheManager<T>(session, id), value_(value) {
    if (this->enabled_) entry_ = &this->Entry(key);
  }
  ~GetterCacheManager() override {
    if (entry_ != nullptr) {
      entry_->value = *value_;
      entry_->valid = true;
    }
  }
  // The cached value, or `fallback` when none is stored.
  T CachedOr(T fallback) const { return entry_ != nullptr && entry_->valid ? entry_->value : fallback; }

 private:
  T* value_;
  CacheEntry<T>* entry_ = nullptr;
};

// Text: the whole value read, whatever part of it fits the caller's buffer,
// so a small buffer never cuts the cached value.
template <>
class GetterCacheManager<std::string> final : public CacheManager<std::string> {
 public:
  GetterCacheManager(DriverSession& session, ViAttr id, std::string* value, const std::string& key = {})
      : CacheManager<std::string>(session, id), value_(value) {
    if (enabled_) entry_ = &Entry(key);
  }
  ~GetterCacheManager() override {
    if (entry_ != nullptr) {
      entry_->value = *value_;
      entry_->valid = true;
    }
  }
  std::string CachedOr(const std::string& fallback) const {
    return entry_ != nullptr && entry_->valid ? entry_->value : fallback;
  }

 private:
  std::string* value_;
  CacheEntry<std::string>* entry_ = nullptr;
};

template <typename T>
class SetterCacheManager final : public CacheManager<T> {
 public:
  SetterCacheManager(DriverSession& session, ViAttr id, T value, const std::vector<std::string>& keys)
      : CacheManager<T>(session, id), value_(std::move(value)), keys_(keys) {}
  // The keys are kept by reference: they must outlive the guard.
  SetterCacheManager(DriverSession&, ViAttr, T, std::vector<std::string>&&) = delete;
  ~SetterCacheManager() override {
    if (!this->enabled_) return;
    for (const std::string& key : keys_) {
      CacheEntry<T>& entry = this->Entry(key);
      entry.value = value_;
      entry.valid = true;
    }
  }

 private:
  T value_;
  const std::vector<std::string>& keys_;
};

}  // namespace vexo
