// SPDX-License-Identifier: MIT
#include "scripted_instrument.h"

#include <algorithm>
#include <cctype>

namespace emulator {
namespace {

constexpr int kCommandErrorBit = 0x20;
constexpr std::size_t kErrorQueueSize = 10;

std::string_view trim(std::string_view s) {
  while (!s.empty() && std::isspace(static_cast<unsigned char>(s.front()))) s.remove_prefix(1);
  while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back()))) s.remove_suffix(1);
  return s;
}

// Splits at ';' outside quoted strings.
std::vector<std::string_view> split_commands(std::string_view line) {
  std::vector<std::string_view> parts;
  char quote = 0;
  std::size_t start = 0;
  for (std::size_t i = 0; i < line.size(); ++i) {
    char c = line[i];
    if (quote != 0) {
      if (c == quote) quote = 0;
    } else if (c == '"' || c == '\'') {
      quote = c;
    } else if (c == ';') {
      parts.push_back(line.substr(start, i - start));
      start = i + 1;
    }
  }
  parts.push_back(line.substr(start));
  return parts;
}

class ScriptedConnection final : public Connection {
 public:
  explicit ScriptedConnection(ScriptedInstrument& instrument) : instrument_(instrument) {}
  void on_line(std::string_view line, Client& client) override { instrument_.handle(line, client); }

 private:
  ScriptedInstrument& instrument_;
};

bool is_error_query(const std::string& header) {
  return header == "SYST:ERR?" || header == "SYST:ERR:NEXT?" || header == "SYSTEM:ERROR?" ||
         header == "SYSTEM:ERROR:NEXT?";
}

}  // namespace

std::string normalise_header(std::string_view header) {
  if (!header.empty() && header.front() == ':') header.remove_prefix(1);
  std::string out(header);
  for (char& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return out;
}

ScriptedInstrument::ScriptedInstrument() : identity_("Halmeric,QDX7001,QDX7001-000001,1.00") {}

void ScriptedInstrument::on(const std::string& line, const std::string& reply, int times,
                            Fault fault) {
  std::lock_guard lock(mutex_);
  script_.push_back({line, reply, true, times, fault});
}

void ScriptedInstrument::fault(const std::string& line, Fault fault, int times) {
  std::lock_guard lock(mutex_);
  script_.push_back({line, {}, false, times, fault});
}

void ScriptedInstrument::set_identity(const std::string& idn) {
  std::lock_guard lock(mutex_);
  identity_ = idn;
}

void ScriptedInstrument::set_event_status(int value) {
  std::lock_guard lock(mutex_);
  event_status_ = value;
}

void ScriptedInstrument::push_error(int code, const std::string& message) {
  std::lock_guard lock(mutex_);
  if (errors_.size() >= kErrorQueueSize) return;
  errors_.push_back(std::to_string(code) + ",\"" + message + "\"");
}

void ScriptedInstrument::clear_script() {
  std::lock_guard lock(mutex_);
  script_.clear();
}

std::unique_ptr<Connection> ScriptedInstrument::connect() {
  return std::make_unique<ScriptedConnection>(*this);
}

void ScriptedInstrument::handle_generic(std::string_view part, std::vector<std::string>& answers) {
  part = trim(part);
  if (part.empty()) return;
  std::size_t space = part.find_first_of(" \t");
  std::string header = normalise_header(part.substr(0, space));
  std::string_view value = space == std::string_view::npos ? std::string_view{}
                                                           : trim(part.substr(space));
  if (header == "*IDN?") {
    answers.push_back(identity_);
  } else if (header == "*ESR?") {
    answers.push_back(std::to_string(event_status_));
    event_status_ = 0;
  } else if (header == "*OPC?") {
    answers.push_back("1");
  } else if (header == "*TST?") {
    answers.push_back("0");
  } else if (header == "*CLS") {
    event_status_ = 0;
    errors_.clear();
  } else if (header == "*RST") {
    stored_.clear();
  } else if (is_error_query(header)) {
    if (errors_.empty()) {
      answers.push_back("0,\"No error\"");
    } else {
      answers.push_back(errors_.front());
      errors_.pop_front();
    }
  } else if (!header.empty() && header.back() == '?') {
    auto it = stored_.find(header.substr(0, header.size() - 1));
    if (it != stored_.end()) {
      answers.push_back(it->second);
    } else {
      if (errors_.size() < kErrorQueueSize) errors_.push_back("-113,\"Undefined header\"");
      event_status_ |= kCommandErrorBit;
    }
  } else {
    stored_[header] = std::string(value);
  }
}

void ScriptedInstrument::handle(std::string_view line, Client& client) {
  Fault fault;
  std::string reply;
  bool has_reply = false;
  {
    std::lock_guard lock(mutex_);
    auto entry = std::find_if(script_.begin(), script_.end(),
                              [&](const Entry& e) { return e.line == line && e.remaining != 0; });
    if (entry != script_.end()) {
      fault = entry->fault;
      if (entry->has_reply) {
        reply = entry->reply + "\n";
        has_reply = true;
      }
      if (entry->remaining > 0 && --entry->remaining == 0) script_.erase(entry);
    }
    if (!has_reply) {
      std::vector<std::string> answers;
      for (std::string_view part : split_commands(line)) handle_generic(part, answers);
      if (!answers.empty()) {
        for (std::size_t i = 0; i < answers.size(); ++i) reply += (i ? ";" : "") + answers[i];
        reply += "\n";
        has_reply = true;
      }
    }
  }
  switch (fault.kind) {
    case Fault::Kind::Close:
      client.close();
      return;
    case Fault::Kind::NoReply:
      return;
    case Fault::Kind::Partial:
      client.send(std::string_view(reply).substr(0, std::min(fault.partial_bytes, reply.size())));
      if (fault.close_after) client.close();
      return;
    case Fault::Kind::Delay:
      if (!client.pause(fault.delay)) return;
      break;
    case Fault::Kind::None:
      break;
  }
  if (has_reply) client.send(reply);
}

}  // namespace emulator
