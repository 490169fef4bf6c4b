// SPDX-License-Identifier: MIT
// Finding instruments advertised over mDNS (HiSLIP, raw SCPI sockets, LXI and VXI-11),
// through the Avahi daemon. The Avahi client libraries are loaded when first
// needed: a machine without them, or without a running daemon, just has no
// such source, and the note says why.
#include <avahi-client/client.h>
#include <avahi-client/lookup.h>
#include <avahi-common/address.h>
#include <avahi-common/error.h>
#include <avahi-common/simple-watch.h>

#include <algorithm>
#include <chrono>
#include <mutex>
#include <string>

#include "discovery.h"
#include "runtime_library.h"

namespace visa {
namespace {

// The Avahi functions used, resolved by name from the two libraries.
struct AvahiApi {
  decltype(&avahi_simple_poll_new) simple_poll_new = nullptr;
  decltype(&avahi_simple_poll_get) simple_poll_get = nullptr;
  decltype(&avahi_simple_poll_iterate) simple_poll_iterate = nullptr;
  decltype(&avahi_simple_poll_free) simple_poll_free = nullptr;
  decltype(&avahi_address_snprint) address_snprint = nullptr;
  decltype(&avahi_strerror) strerror = nullptr;
  decltype(&avahi_client_new) client_new = nullptr;
  decltype(&avahi_client_free) client_free = nullptr;
  decltype(&avahi_service_browser_new) browser_new = nullptr;
  decltype(&avahi_service_browser_free) browser_free = nullptr;
  decltype(&avahi_service_resolver_new) resolver_new = nullptr;
  decltype(&avahi_service_resolver_free) resolver_free = nullptr;
  std::string missing;  // empty once everything loaded
};

const AvahiApi& Avahi() {
  static AvahiApi api;
  static std::once_flag loaded;
  std::call_once(loaded, [] {
    void* common = OpenRuntimeLibrary("libavahi-common.so.3");
    void* client = OpenRuntimeLibrary("libavahi-client.so.3");
    if (common == nullptr || client == nullptr) {
      api.missing = "the Avahi client library is not installed";
      return;
    }
    bool ok = Bind(common, "avahi_simple_poll_new", api.simple_poll_new) &&
              Bind(common, "avahi_simple_poll_get", api.simple_poll_get) &&
              Bind(common, "avahi_simple_poll_iterate", api.simple_poll_iterate) &&
              Bind(common, "avahi_simple_poll_free", api.simple_poll_free) &&
              Bind(common, "avahi_address_snprint", api.address_snprint) &&
              Bind(common, "avahi_strerror", api.strerror) && Bind(client, "avahi_client_new", api.client_new) &&
              Bind(client, "avahi_client_free", api.client_free) &&
              Bind(client, "avahi_service_browser_new", api.browser_new) &&
              Bind(client, "avahi_service_browser_free", api.browser_free) &&
              Bind(client, "avahi_service_resolver_new", api.resolver_new) &&
              Bind(client, "avahi_service_resolver_free", api.resolver_free);
    if (!ok) api.missing = "the Avahi client library lacks a function this library needs";
  });
  return api;
}

// How each advertised service type becomes a resource name.
struct ServiceRow {
  const char* type;
  std::string (*resource)(const std::string& host, std::uint16_t port);
};

const ServiceRow kServices[] = {
    {"_hislip._tcp",
     [](const std::string& host, std::uint16_t port) {
       return "TCPIP0::" + host + "::hislip0" + (port == 4880 ? std::string() : "," + std::to_string(port)) + "::INSTR";
     }},
    {"_scpi-raw._tcp",
     [](const std::string& host, std::uint16_t port) { return "TCPIP0::" + host + "::" + std::to_string(port) + "::SOCKET"; }},
    // An LXI instrument speaks VXI-11; some advertise that service by its own name.
    {"_lxi._tcp", [](const std::string& host, std::uint16_t) { return "TCPIP0::" + host + "::inst0::INSTR"; }},
    {"_vxi-11._tcp", [](const std::string& host, std::uint16_t) { return "TCPIP0::" + host + "::inst0::INSTR"; }},
};

struct Search {
  const AvahiApi* api;
  AvahiClient* client = nullptr;
  std::vector<ResourceName> found;
  int pending = 0;  // resolvers not yet answered
};

void OnResolved(AvahiServiceResolver* resolver, AvahiIfIndex, AvahiProtocol, AvahiResolverEvent event, const char*,
                const char* type, const char*, const char*, const AvahiAddress* address, uint16_t port,
                AvahiStringList*, AvahiLookupResultFlags, void* userdata) {
  auto* search = static_cast<Search*>(userdata);
  --search->pending;
  if (event == AVAHI_RESOLVER_FOUND && address != nullptr) {
    char host[AVAHI_ADDRESS_STR_MAX] = "";
    search->api->address_snprint(host, sizeof host, address);
    for (const ServiceRow& row : kServices) {
      if (std::string(type) != row.type) continue;
      ResourceName resource;
      if (parse_resource_name(row.resource(host, port), resource) < 0) break;
      bool known = std::any_of(search->found.begin(), search->found.end(),
                               [&](const ResourceName& r) { return r.canonical == resource.canonical; });
      if (!known) search->found.push_back(resource);
    }
  }
  search->api->resolver_free(resolver);
}

void OnBrowsed(AvahiServiceBrowser*, AvahiIfIndex interface, AvahiProtocol protocol, AvahiBrowserEvent event,
               const char* name, const char* type, const char* domain, AvahiLookupResultFlags, void* userdata) {
  auto* search = static_cast<Search*>(userdata);
  if (event != AVAHI_BROWSER_NEW) return;
  if (search->api->resolver_new(search->client, interface, protocol, name, type, domain, AVAHI_PROTO_INET,
                                static_cast<AvahiLookupFlags>(0), &OnResolved, search) != nullptr)
    ++search->pending;
}

}  // namespace

std::vector<ResourceName> find_mdns_instruments(std::uint32_t window_ms, std::string& note) {
  // The window counts from here: connecting to the daemon is part of it.
  const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(window_ms);
  const AvahiApi& api = Avahi();
  if (!api.missing.empty()) {
    note = "mDNS discovery skipped: " + api.missing;
    return {};
  }
  AvahiSimplePoll* poll = api.simple_poll_new();
  if (poll == nullptr) return {};
  Search search;
  search.api = &api;
  int error = 0;
  search.client = api.client_new(api.simple_poll_get(poll), static_cast<AvahiClientFlags>(0), nullptr, nullptr, &error);
  if (search.client == nullptr) {
    note = std::string("mDNS discovery skipped: ") + api.strerror(error);
    api.simple_poll_free(poll);
    return {};
  }
  std::vector<AvahiServiceBrowser*> browsers;
  for (const ServiceRow& row : kServices) {
    AvahiServiceBrowser* b = api.browser_new(search.client, AVAHI_IF_UNSPEC, AVAHI_PROTO_INET, row.type, nullptr,
                                             static_cast<AvahiLookupFlags>(0), &OnBrowsed, &search);
    if (b != nullptr) browsers.push_back(b);
  }
  for (;;) {
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(until - std::chrono::steady_clock::now());
    if (left.count() <= 0 || api.simple_poll_iterate(poll, static_cast<int>(left.count())) != 0) break;
  }
  for (AvahiServiceBrowser* b : browsers) api.browser_free(b);
  api.client_free(search.client);  // frees resolvers still waiting too
  api.simple_poll_free(poll);
  note = "mDNS discovery: " + std::to_string(search.found.size()) + " advertised";
  return search.found;
}

}  // namespace visa
