// SPDX-License-Identifier: MIT
#include "prologix_adapter.h"

#include <charconv>
#include <sstream>
#include <vector>

namespace emulator {
namespace {

constexpr char kEsc = 27;

bool ParseNumber(const std::string& text, unsigned most, unsigned& out) {
  unsigned value = 0;
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || ec != std::errc{} || end != text.data() + text.size() || value > most) return false;
  out = value;
  return true;
}

std::string Line(unsigned value) { return std::to_string(value) + "\r\n"; }

}  // namespace

PrologixAdapter::PrologixAdapter(GpibBus& bus, AdapterFirmware firmware, Transcript* commands)
    : bus_(bus), firmware_(firmware), commands_(commands) {
  defaults();
}

const char* PrologixAdapter::version(AdapterFirmware firmware) {
  return firmware == AdapterFirmware::Prologix ? "Prologix GPIB-ETHERNET Controller version 01.06.06.00"
                                               : "AR488 GPIB controller, ver. 0.51.29, 18/03/2024";
}

// The two families power up differently: a client must set what it relies on.
void PrologixAdapter::defaults() {
  const bool prologix = firmware_ == AdapterFirmware::Prologix;
  mode_ = 1;
  pad_ = prologix ? 0 : 1;
  sad_ = 0;
  auto_ = !prologix;
  eoi_ = prologix;
  eos_ = prologix ? 0 : 2;
  eot_enable_ = !prologix;
  eot_char_ = prologix ? 0 : '\n';
  read_tmo_ms_ = prologix ? 500 : 1200;
  savecfg_ = prologix;
}

void PrologixAdapter::feed(std::string_view bytes, const Reply& reply, const Pause& pause) {
  for (char c : bytes) {
    if (escape_) {
      escape_ = false;
      escaped_data_ = true;
      line_ += c;
      continue;
    }
    if (c == kEsc) {
      escape_ = true;
      continue;
    }
    if (c == '\r' || c == '\n') {
      std::string line = std::move(line_);
      const bool is_command = plain_pluses_ >= 2;
      const bool has_content = !line.empty() || escaped_data_;
      line_.clear();
      plain_pluses_ = 0;
      escaped_data_ = false;
      if (is_command) {
        command(line, reply, pause);
      } else if (has_content) {
        data(line, reply, pause);
      }
      continue;
    }
    if (c == '+' && plain_pluses_ == line_.size()) ++plain_pluses_;
    line_ += c;
  }
}

void PrologixAdapter::data(const std::string& bytes, const Reply& reply, const Pause& pause) {
  if (mode_ != 1) return;  // a device-mode adapter does not address anyone
  static constexpr const char* kTerminators[] = {"\r\n", "\r", "\n", ""};
  bus_.write(pad_, bytes + kTerminators[eos_], eoi_);
  if (auto_) talk(GpibBus::kUntilEoi, reply, pause);
}

void PrologixAdapter::talk(int stop, const Reply& reply, const Pause& pause) {
  GpibBus::Talk talk = bus_.read(pad_, stop);
  if (talk.bytes.empty()) {
    // Nobody talks: the adapter gives up after its read timeout, sending nothing.
    pause(std::chrono::milliseconds(read_tmo_ms_));
    return;
  }
  if (stop == GpibBus::kEverything) pause(std::chrono::milliseconds(read_tmo_ms_));  // it reads until quiet
  if (talk.eoi && eot_enable_) talk.bytes += static_cast<char>(eot_char_);
  reply(talk.bytes);
}

void PrologixAdapter::command(const std::string& line, const Reply& reply, const Pause& pause) {
  if (commands_ != nullptr) commands_->record(line);
  std::istringstream words(line.substr(2));
  std::string name;
  words >> name;
  std::vector<std::string> args;
  for (std::string arg; words >> arg;) args.push_back(arg);
  auto setting = [&](unsigned& value, unsigned most) {
    if (args.empty()) return reply(Line(value));
    unsigned v = 0;
    if (ParseNumber(args[0], most, v)) value = v;
  };
  auto flag = [&](bool& value) {
    unsigned v = value ? 1 : 0;
    setting(v, 1);
    value = v != 0;
  };
  if (name == "addr") {
    if (args.empty()) return reply(Line(pad_));
    unsigned pad = 0, sad = 0;
    if (!ParseNumber(args[0], 30, pad)) return;
    if (args.size() > 1 && (!ParseNumber(args[1], 126, sad) || sad < 96)) return;
    pad_ = pad;
    sad_ = args.size() > 1 ? sad : 0;
  } else if (name == "auto") {
    flag(auto_);
  } else if (name == "eoi") {
    flag(eoi_);
  } else if (name == "eos") {
    setting(eos_, 3);
  } else if (name == "eot_enable") {
    flag(eot_enable_);
  } else if (name == "eot_char") {
    setting(eot_char_, 255);
  } else if (name == "mode") {
    setting(mode_, 1);
  } else if (name == "read_tmo_ms") {
    unsigned before = read_tmo_ms_;
    setting(read_tmo_ms_, 3000);
    if (read_tmo_ms_ == 0) read_tmo_ms_ = before;
  } else if (name == "savecfg") {
    flag(savecfg_);
  } else if (name == "read") {
    unsigned stop = 0;
    if (args.empty()) return talk(GpibBus::kEverything, reply, pause);
    if (args[0] == "eoi") return talk(GpibBus::kUntilEoi, reply, pause);
    if (ParseNumber(args[0], 255, stop)) return talk(static_cast<int>(stop), reply, pause);
  } else if (name == "spoll") {
    unsigned pad = pad_;
    if (!args.empty() && !ParseNumber(args[0], 30, pad)) return;
    int stb = bus_.serial_poll(pad);
    if (stb < 0) return (void)pause(std::chrono::milliseconds(read_tmo_ms_));  // no device answers
    reply(Line(static_cast<unsigned>(stb)));
  } else if (name == "srq") {
    reply(Line(bus_.service_requested() ? 1 : 0));
  } else if (name == "clr") {
    bus_.clear(pad_);
  } else if (name == "trg") {
    if (args.empty()) return bus_.trigger(pad_);
    for (const std::string& arg : args) {
      unsigned pad = 0;
      if (ParseNumber(arg, 30, pad)) bus_.trigger(pad);
    }
  } else if (name == "loc") {
    bus_.go_to_local(pad_);
  } else if (name == "llo") {
    bus_.local_lockout();
  } else if (name == "ifc") {
    bus_.interface_clear();
  } else if (name == "rst") {
    defaults();
  } else if (name == "ver") {
    reply(std::string(version(firmware_)) + "\r\n");
  }
  // Anything else is not a command these adapters know: ignored, as they do.
}

namespace {

class AdapterConnection final : public Connection {
 public:
  AdapterConnection(GpibBus& bus, AdapterFirmware firmware, Transcript* commands) : adapter_(bus, firmware, commands) {}
  void on_line(std::string_view, Client&) override {}
  bool takes_bytes() const override { return true; }
  void on_bytes(std::string_view bytes, bool, Client& client) override {
    adapter_.feed(
        bytes, [&](std::string_view reply) { client.send(reply); },
        [&](std::chrono::milliseconds duration) { return client.pause(duration); });
  }

 private:
  PrologixAdapter adapter_;
};

}  // namespace

std::unique_ptr<Connection> GpibAdapterInstrument::connect() {
  return std::make_unique<AdapterConnection>(bus_, firmware_, commands_);
}

}  // namespace emulator
