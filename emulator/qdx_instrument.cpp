// SPDX-License-Identifier: MIT
#include "qdx_instrument.h"

#include "qdx_commands.h"
#include "scpi_parser.h"

namespace emulator {
namespace {

class QdxConnection final : public Connection {
 public:
  explicit QdxConnection(QdxInstrument& instrument) : instrument_(instrument) {}
  void on_line(std::string_view line, Client& client) override {
    if (std::optional<std::string> reply = instrument_.Execute(line, path_)) client.send(*reply + "\n");
  }
  void on_overlong_line(Client&) override { instrument_.ReportOverlongLine(); }

 private:
  QdxInstrument& instrument_;
  std::vector<std::string> path_;  // this client's current header path
};

}  // namespace

QdxInstrument::QdxInstrument(QdxOptions options) : model_(std::move(options)) {}
QdxInstrument::~QdxInstrument() = default;

std::unique_ptr<Connection> QdxInstrument::connect() { return std::make_unique<QdxConnection>(*this); }

void QdxInstrument::ReportOverlongLine() {
  std::lock_guard lock(model_.mutex());
  model_.PushError(-223, "Too much data");
}

std::optional<std::string> QdxInstrument::Execute(std::string_view line, std::vector<std::string>& path) {
  std::optional<std::string> reply;
  int status_byte = 0;
  bool service_requested = false;
  {
    std::lock_guard lock(model_.mutex());
    reply = ExecuteLocked(line, path, service_requested);
    status_byte = model_.StatusByte();
  }
  if (service_requested) service_requests().raise(status_byte);
  return reply;
}

// A new reason for service: the summary bit rose since the last look.
bool QdxInstrument::SummaryRose() {
  const bool summary = (model_.StatusByte() & kMasterSummaryBit) != 0;
  const bool rose = summary && !summary_was_set_;
  summary_was_set_ = summary;
  return rose;
}

std::optional<std::string> QdxInstrument::ExecuteLocked(std::string_view line, std::vector<std::string>& path,
                                                        bool& service_requested) {
  model_.Refresh();
  service_requested = false;  // lists and protection catch up with the clock first
  std::vector<std::string> answers;
  bool queried = false;
  for (const scpi::MessageUnit& unit : scpi::SplitLine(line)) {
    // Each command may give a reason for service ("*CLS;*OPC" clears one and gives another).
    service_requested = SummaryRose() || service_requested;
    if (unit.syntax_error) {
      model_.PushError(-102, "Syntax error");
      continue;
    }
    std::vector<std::string> mnemonics = scpi::Mnemonics(unit.header);
    if (mnemonics.empty()) {
      model_.PushError(-102, "Syntax error");
      continue;
    }
    bool common = mnemonics.front().front() == '*';
    // A header without a leading colon continues the previous command's path.
    std::vector<std::vector<std::string>> candidates;
    if (!common && !unit.absolute && !path.empty()) {
      std::vector<std::string> relative = path;
      relative.insert(relative.end(), mnemonics.begin(), mnemonics.end());
      candidates.push_back(std::move(relative));
    }
    candidates.push_back(mnemonics);
    const CommandRow* row = nullptr;
    std::vector<int> suffixes;
    std::vector<std::string> matched;
    for (const auto& candidate : candidates) {
      for (const CommandRow& r : CommandTable()) {
        if (r.query == unit.query && r.pattern.Match(candidate, suffixes)) {
          row = &r;
          matched = candidate;
          break;
        }
      }
      if (row != nullptr) break;
    }
    if (row == nullptr) {
      model_.PushError(-113, "Undefined header");
      continue;
    }
    if (!common) path.assign(matched.begin(), matched.end() - 1);
    Call call(model_, unit, suffixes, answers);
    std::size_t before = answers.size();
    row->handler(call);
    // A query that failed answers nothing, as on the instrument.
    queried = queried || answers.size() > before;
  }
  service_requested = SummaryRose() || service_requested;
  if (!queried) return std::nullopt;
  std::string reply;
  for (std::size_t i = 0; i < answers.size(); ++i) reply += (i ? ";" : "") + answers[i];
  return reply;
}

}  // namespace emulator
