// SPDX-License-Identifier: MIT
#include "gpib_bus.h"

#include <algorithm>
#include <thread>

#include "bus_actions.h"
#include "line_assembler.h"

namespace emulator {

// A device on the bus is the client its instrument answers: what it sends is
// what it will talk when addressed, one message (EOI on its last byte) a send.
struct GpibBus::Device final : public Client {
  Device(Instrument& instrument, Transcript* transcript)
      : connection(instrument.connect()),
        transcript(transcript),
        subscription(instrument.service_requests(), [this](int) { requesting = true; }) {}

  void send(std::string_view bytes) override {
    if (bytes.empty()) return;
    if (transcript != nullptr) transcript->record_reply(bytes);
    output.append(bytes);
    ends.push_back(output.size());
  }
  void close() override {}
  // A slow instrument holds the bus as it thinks, as on a real one.
  bool pause(std::chrono::milliseconds duration) override {
    std::this_thread::sleep_for(duration);
    return true;
  }

  void receive(std::string_view bytes, bool eoi) {
    if (connection->takes_bytes()) {
      connection->on_bytes(bytes, eoi, *this);
      return;
    }
    lines.feed(
        bytes,
        [&](std::string_view line) {
          deliver(line);
          return true;
        },
        [&] { connection->on_overlong_line(*this); });
    // EOI ends a message that did not end in a line feed.
    if (eoi) lines.end([&](std::string_view line) { deliver(line); });
  }
  void deliver(std::string_view line) {
    if (transcript != nullptr) transcript->record(line);
    connection->on_line(line, *this);
  }
  void record(const char* event) {
    if (transcript != nullptr) transcript->record(event);
  }

  std::unique_ptr<Connection> connection;
  Transcript* transcript;
  LineAssembler lines;
  std::string output;
  std::vector<std::size_t> ends;  // offsets in `output` just after a byte sent with EOI
  std::atomic<bool> requesting{false};
  ServiceRequests::Subscription subscription;  // last: it refers to the members above
};

GpibBus::GpibBus() = default;
GpibBus::~GpibBus() = default;

bool GpibBus::attach(unsigned pad, Instrument& instrument, Transcript* transcript) {
  std::lock_guard lock(mutex_);
  if (pad > 30 || devices_.count(pad) != 0) return false;
  devices_[pad] = std::make_unique<Device>(instrument, transcript);
  return true;
}

GpibBus::Device* GpibBus::find(unsigned pad) const {
  auto it = devices_.find(pad);
  return it == devices_.end() ? nullptr : it->second.get();
}

bool GpibBus::present(unsigned pad) const {
  std::lock_guard lock(mutex_);
  return find(pad) != nullptr;
}

bool GpibBus::write(unsigned pad, std::string_view bytes, bool eoi) {
  std::lock_guard lock(mutex_);
  Device* device = find(pad);
  if (device == nullptr) return false;
  device->receive(bytes, eoi);
  return true;
}

GpibBus::Talk GpibBus::read(unsigned pad, int stop) {
  std::lock_guard lock(mutex_);
  Talk talk;
  Device* device = find(pad);
  if (device == nullptr || device->output.empty()) return talk;
  std::string& out = device->output;
  std::size_t length = stop == kEverything ? out.size() : device->ends.front();
  if (stop >= 0) {
    std::size_t at = out.find(static_cast<char>(stop));
    if (at != std::string::npos && at < length) length = at + 1;
  }
  talk.bytes = out.substr(0, length);
  talk.eoi = std::find(device->ends.begin(), device->ends.end(), length) != device->ends.end();
  out.erase(0, length);
  std::vector<std::size_t> rest;
  for (std::size_t end : device->ends)
    if (end > length) rest.push_back(end - length);
  device->ends = std::move(rest);
  return talk;
}

int GpibBus::serial_poll(unsigned pad) {
  std::lock_guard lock(mutex_);
  Device* device = find(pad);
  if (device == nullptr) return -1;
  const int stb = ReadStatusByte(*device->connection, !device->output.empty());
  return (stb & ~0x40) | (device->requesting.exchange(false) ? 0x40 : 0);
}

bool GpibBus::service_requested() const {
  std::lock_guard lock(mutex_);
  return std::any_of(devices_.begin(), devices_.end(), [](const auto& d) { return d.second->requesting.load(); });
}

void GpibBus::clear(unsigned pad) {
  std::lock_guard lock(mutex_);
  Device* device = find(pad);
  if (device == nullptr) return;
  device->record("<clear>");
  device->output.clear();
  device->ends.clear();
  device->lines.clear();  // a line half received is dropped
}

void GpibBus::trigger(unsigned pad) {
  std::lock_guard lock(mutex_);
  if (Device* device = find(pad)) DeviceTrigger(*device->connection, device->transcript);
}

void GpibBus::go_to_local(unsigned pad) {
  std::lock_guard lock(mutex_);
  if (Device* device = find(pad)) device->record("<go to local>");
}

void GpibBus::local_lockout() {
  std::lock_guard lock(mutex_);
  record_all("<local lockout>");
}

void GpibBus::interface_clear() {
  std::lock_guard lock(mutex_);
  record_all("<interface clear>");
}

void GpibBus::record_all(const char* event) {
  for (auto& [pad, device] : devices_) device->record(event);
}

}  // namespace emulator
