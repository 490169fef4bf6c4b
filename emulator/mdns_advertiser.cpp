// SPDX-License-Identifier: MIT
#include "mdns_advertiser.h"

#include <avahi-client/client.h>
#include <avahi-client/publish.h>
#include <avahi-common/error.h>
#include <avahi-common/thread-watch.h>

#include <cstdio>

namespace emulator {

MdnsAdvertiser::~MdnsAdvertiser() {
  if (poll_ != nullptr) avahi_threaded_poll_stop(poll_);
  if (client_ != nullptr) avahi_client_free(client_);  // frees the group too
  if (poll_ != nullptr) avahi_threaded_poll_free(poll_);
}

std::string MdnsAdvertiser::start(const std::string& name, std::vector<Service> services) {
  name_ = name;
  services_ = std::move(services);
  poll_ = avahi_threaded_poll_new();
  if (poll_ == nullptr) return "cannot start an Avahi poll";
  int error = 0;
  client_ = avahi_client_new(
      avahi_threaded_poll_get(poll_), static_cast<AvahiClientFlags>(0),
      [](AvahiClient* c, AvahiClientState state, void* self) { OnClientState(c, state, self); }, this, &error);
  if (client_ == nullptr) return avahi_strerror(error);
  if (avahi_threaded_poll_start(poll_) < 0) return "cannot start the Avahi poll thread";
  return {};
}

void MdnsAdvertiser::OnClientState(AvahiClient* client, int state, void* self) {
  if (state == AVAHI_CLIENT_S_RUNNING) static_cast<MdnsAdvertiser*>(self)->Publish(client);
}

// Runs on Avahi's thread once the daemon is ready (or in avahi_client_new).
void MdnsAdvertiser::Publish(AvahiClient* client) {
  if (group_ != nullptr) return;
  group_ = avahi_entry_group_new(client, nullptr, nullptr);
  if (group_ == nullptr) return;
  for (const Service& s : services_) {
    int st = avahi_entry_group_add_service(group_, AVAHI_IF_UNSPEC, AVAHI_PROTO_UNSPEC, static_cast<AvahiPublishFlags>(0),
                                           name_.c_str(), s.type.c_str(), nullptr, nullptr,
                                           static_cast<uint16_t>(s.port), nullptr);
    if (st < 0) std::fprintf(stderr, "qdx-emulator: mDNS: %s: %s\n", s.type.c_str(), avahi_strerror(st));
  }
  avahi_entry_group_commit(group_);
}

}  // namespace emulator
