// SPDX-License-Identifier: MIT
// Advertises the emulator's transports over mDNS through the Avahi daemon, as
// an LXI instrument does, so that discovery finds it without configuration.
#pragma once

#include <string>
#include <vector>

struct AvahiThreadedPoll;
struct AvahiClient;
struct AvahiEntryGroup;

namespace emulator {

class MdnsAdvertiser {
 public:
  struct Service {
    std::string type;  // "_hislip._tcp"
    unsigned port;
  };
  MdnsAdvertiser() = default;
  ~MdnsAdvertiser();
  MdnsAdvertiser(const MdnsAdvertiser&) = delete;
  MdnsAdvertiser& operator=(const MdnsAdvertiser&) = delete;

  // Starts advertising under `name`; an error text (no daemon, say), empty on success.
  std::string start(const std::string& name, std::vector<Service> services);

 private:
  static void OnClientState(AvahiClient* client, int state, void* self);
  void Publish(AvahiClient* client);

  AvahiThreadedPoll* poll_ = nullptr;
  AvahiClient* client_ = nullptr;
  AvahiEntryGroup* group_ = nullptr;
  std::string name_;
  std::vector<Service> services_;
};

}  // namespace emulator
