// SPDX-License-Identifier: MIT
// zevra-gateway: local instruments served to any VISA on the network over
// HiSLIP and VXI-11, each opened while a client uses it.
#include <arpa/inet.h>
#include <pthread.h>

#include <csignal>
#include <cstdio>
#include <memory>

#include "gateway_settings.h"
#include "hislip_service.h"
#include "instrument_pool.h"
#include "terminal_safe.h"
#include "vxi11_service.h"

namespace {

std::string AddressText(const sockaddr_storage& peer) {
  char text[INET6_ADDRSTRLEN] = "?";
  if (peer.ss_family == AF_INET)
    ::inet_ntop(AF_INET, &reinterpret_cast<const sockaddr_in&>(peer).sin_addr, text, sizeof text);
  else if (peer.ss_family == AF_INET6)
    ::inet_ntop(AF_INET6, &reinterpret_cast<const sockaddr_in6&>(peer).sin6_addr, text, sizeof text);
  return text;
}

}  // namespace

int main(int argc, char** argv) {
  gateway::GatewaySettings settings;
  std::string output;
  switch (gateway::ReadSettings(argc, argv, settings, output)) {
    case gateway::SettingsOutcome::kDone:
      std::printf("%s\n", output.c_str());
      return 0;
    case gateway::SettingsOutcome::kRefused:
      std::fprintf(stderr, "zevra-gateway: %s\n", visa::terminal_safe(output).c_str());
      return 2;
    case gateway::SettingsOutcome::kRun:
      break;
  }
  // Signals are taken by sigwait below, never by a serving thread.
  sigset_t signals;
  sigemptyset(&signals);
  sigaddset(&signals, SIGINT);
  sigaddset(&signals, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &signals, nullptr);

  const emulator::TcpListener::Admit admit = [&settings](const sockaddr_storage& peer) {
    if (settings.allowed.admits(peer)) return true;
    std::fprintf(stderr, "zevra-gateway: refused %s: not in --allow\n", AddressText(peer).c_str());
    return false;
  };
  gateway::InstrumentPool pool(settings.instruments, settings.service.most_message_bytes);
  gateway::HislipService hislip(pool, admit, settings.service);
  if (std::string error = hislip.start(settings.listen, settings.hislip_port); !error.empty()) {
    std::fprintf(stderr, "zevra-gateway: HiSLIP: %s\n", error.c_str());
    return 1;
  }
  std::printf("listening HISLIP %s %u\n", hislip.address().c_str(), hislip.port());
  std::unique_ptr<gateway::Vxi11Service> vxi11;
  if (settings.vxi11) {
    vxi11 = std::make_unique<gateway::Vxi11Service>(pool, admit, settings.service);
    if (std::string error = vxi11->start(settings.listen, settings.portmapper_port); !error.empty()) {
      std::fprintf(stderr, "zevra-gateway: VXI-11: %s\n", error.c_str());
      return 1;
    }
    std::printf("listening VXI11 %s %u\n", vxi11->address().c_str(), vxi11->portmapper_port());
  }
  std::fflush(stdout);
  int received = 0;
  sigwait(&signals, &received);
  if (vxi11) vxi11->stop();
  hislip.stop();
  return 0;
}
