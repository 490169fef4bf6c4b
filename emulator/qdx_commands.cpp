#include "qdx_commands.h"

#include <cmath>
#include <cstdio>

namespace emulator {

void Call::AnswerNumber(double value, int digits) {
  char text[64];
  std::snprintf(text, sizeof text, "%.*g", digits, value);
  Answer(text);
}

bool Call::Error(int code, const char* message) {
  m.PushError(code, message);
  return false;
}

bool Call::Count(std::size_t n) {
  if (unit_.params.size() < n) return Error(-109, "Missing parameter");
  if (unit_.params.size() > n) return Error(-108, "Parameter not allowed");
  return true;
}

std::optional<double> Call::Number(std::size_t i, double min, double max, double def) {
  auto value = scpi::Number(unit_.params.at(i), min, max, def);
  if (!value) {
    Error(-104, "Data type error");
    return std::nullopt;
  }
  if (*value < min - 1e-12 || *value > max + 1e-12) {
    Error(-222, "Data out of range");
    return std::nullopt;
  }
  return value;
}

std::optional<long long> Call::Integer(std::size_t i, long long min, long long max) {
  auto value = scpi::Integer(unit_.params.at(i));
  if (!value) {
    Error(-104, "Data type error");
    return std::nullopt;
  }
  if (*value < min || *value > max) {
    Error(-222, "Data out of range");
    return std::nullopt;
  }
  return value;
}

std::optional<bool> Call::Bool(std::size_t i) {
  auto value = scpi::Boolean(unit_.params.at(i));
  if (!value) Error(-224, "Illegal parameter value");
  return value;
}

std::optional<std::size_t> Call::Choice(std::size_t i, const std::vector<const char*>& choices) {
  for (std::size_t k = 0; k < choices.size(); ++k) {
    if (scpi::IsMnemonic(unit_.params.at(i), choices[k])) return k;
  }
  Error(-224, "Illegal parameter value");
  return std::nullopt;
}

QdxModel::Channel* Call::Channel() {
  QdxModel::Channel& c = m.channel(m.selected());
  if (c.module == nullptr) {
    Error(-241, "Hardware missing");
    return nullptr;
  }
  return &c;
}

namespace {

using Settings = ChannelSettings;
using Limit = double (*)(const ModuleModel&);

std::vector<CommandRow> Build() {
  std::vector<CommandRow> rows;
  auto add = [&](const char* pattern, bool query, std::function<void(Call&)> handler) {
    rows.push_back({scpi::Pattern(pattern), query, std::move(handler)});
  };
  // A real setting of the selected channel, limited by its module.
  auto channel_number = [&](const char* pattern, double Settings::*field, Limit max, bool check_protection) {
    add(pattern, true, [field](Call& c) {
      if (auto* ch = c.Count(0) ? c.Channel() : nullptr) c.AnswerNumber(ch->settings.*field);
    });
    add(pattern, false, [field, max, check_protection](Call& c) {
      auto* ch = c.Count(1) ? c.Channel() : nullptr;
      if (ch == nullptr) return;
      double limit = max(*ch->module);
      if (auto v = c.Number(0, 0, limit, 0)) {
        ch->settings.*field = *v;
        if (check_protection) c.m.ApplyProtection(c.m.selected());
      }
    });
  };
  auto channel_bool = [&](const char* pattern, bool Settings::*field) {
    add(pattern, true, [field](Call& c) {
      if (auto* ch = c.Count(0) ? c.Channel() : nullptr) c.AnswerBool(ch->settings.*field);
    });
    add(pattern, false, [field](Call& c) {
      auto* ch = c.Count(1) ? c.Channel() : nullptr;
      if (ch == nullptr) return;
      if (auto v = c.Bool(0)) {
        ch->settings.*field = *v;
        c.m.ApplyProtection(c.m.selected());
      }
    });
  };
  // An instrument-wide boolean.
  auto global_bool = [&](const char* pattern, bool QdxModel::*field) {
    add(pattern, true, [field](Call& c) {
      if (c.Count(0)) c.AnswerBool(c.m.*field);
    });
    add(pattern, false, [field](Call& c) {
      if (!c.Count(1)) return;
      if (auto v = c.Bool(0)) c.m.*field = *v;
    });
  };
  // A choice among mnemonics, answered in short form.
  auto global_choice = [&](const char* pattern, std::string QdxModel::*field, std::vector<const char*> choices,
                           std::vector<const char*> answers) {
    add(pattern, true, [field](Call& c) {
      if (c.Count(0)) c.Answer(c.m.*field);
    });
    add(pattern, false, [field, choices, answers](Call& c) {
      if (!c.Count(1)) return;
      if (auto k = c.Choice(0, choices)) c.m.*field = answers[*k];
    });
  };
  // An integer register setting.
  auto register_enable = [&](const char* pattern, StatusRegister QdxModel::*reg) {
    add(pattern, true, [reg](Call& c) {
      if (c.Count(0)) c.Answer(std::to_string((c.m.*reg).enable));
    });
    add(pattern, false, [reg](Call& c) {
      if (!c.Count(1)) return;
      if (auto v = c.Integer(0, -2147483648LL, 2147483647LL)) (c.m.*reg).enable = static_cast<int>(*v);
    });
  };
  auto register_read = [&](const char* pattern, bool event, StatusRegister QdxModel::*reg) {
    add(pattern, true, [event, reg](Call& c) {
      if (!c.Count(0)) return;
      c.m.Refresh();
      c.Answer(std::to_string(event ? (c.m.*reg).ReadEvent() : (c.m.*reg).condition));
    });
  };
  auto list_number = [&](const char* pattern, long long OutputList::*field, long long min) {
    add(pattern, true, [field](Call& c) {
      if (c.Count(0)) c.Answer(std::to_string(c.m.list(c.m.selected_list).*field));
    });
    add(pattern, false, [field, min](Call& c) {
      if (!c.Count(1)) return;
      if (auto v = c.Integer(0, min, 1000000)) c.m.list(c.m.selected_list).*field = *v;
    });
  };
  auto list_bool = [&](const char* pattern, bool OutputList::*field) {
    add(pattern, true, [field](Call& c) {
      if (c.Count(0)) c.AnswerBool(c.m.list(c.m.selected_list).*field);
    });
    add(pattern, false, [field](Call& c) {
      if (!c.Count(1)) return;
      if (auto v = c.Bool(0)) c.m.list(c.m.selected_list).*field = *v;
    });
  };
  auto step_value = [&](const char* pattern, auto ListStep::*field, bool integer) {
    add(pattern, true, [field](Call& c) {
      auto& steps = c.m.list(c.m.selected_list).steps;
      auto k = static_cast<std::size_t>(c.m.selected_step);
      if (c.Count(0)) c.AnswerNumber(k < steps.size() ? static_cast<double>(steps[k].*field) : 0.0);
    });
    add(pattern, false, [field, integer](Call& c) {
      if (!c.Count(1)) return;
      auto& steps = c.m.list(c.m.selected_list).steps;
      auto k = static_cast<std::size_t>(c.m.selected_step);
      if (steps.size() <= k) steps.resize(k + 1);
      if (integer) {
        if (auto v = c.Integer(0, 0, 86400000)) steps[k].*field = static_cast<std::remove_reference_t<decltype(steps[k].*field)>>(*v);
      } else if (auto v = c.Number(0, 0, 1000, 0)) {
        steps[k].*field = static_cast<std::remove_reference_t<decltype(steps[k].*field)>>(*v);
      }
    });
  };

  // --- IEEE 488.2 common commands ---
  add("*IDN", true, [](Call& c) {
    if (c.Count(0))
      c.Answer("Halmeric," + c.m.options().mainframe + "," + c.m.options().serial + "," + c.m.options().firmware);
  });
  add("*RST", false, [](Call& c) {
    if (c.Count(0)) c.m.Reset();
  });
  add("*CLS", false, [](Call& c) {
    if (c.Count(0)) c.m.ClearStatus();
  });
  add("*ESR", true, [](Call& c) {
    if (c.Count(0)) c.Answer(std::to_string(std::exchange(c.m.event_status, 0)));
  });
  add("*ESE", true, [](Call& c) {
    if (c.Count(0)) c.Answer(std::to_string(c.m.event_status_enable));
  });
  add("*ESE", false, [](Call& c) {
    if (!c.Count(1)) return;
    if (auto v = c.Integer(0, -2147483648LL, 2147483647LL)) c.m.event_status_enable = static_cast<int>(*v) & 0xFF;
  });
  add("*SRE", true, [](Call& c) {
    if (c.Count(0)) c.Answer(std::to_string(c.m.service_request_enable));
  });
  add("*SRE", false, [](Call& c) {
    if (!c.Count(1)) return;
    if (auto v = c.Integer(0, -2147483648LL, 2147483647LL)) c.m.service_request_enable = static_cast<int>(*v) & 0xBF;
  });
  add("*STB", true, [](Call& c) {
    if (!c.Count(0)) return;
    c.m.Refresh();
    c.Answer(std::to_string(c.m.StatusByte()));
  });
  add("*OPC", true, [](Call& c) {
    if (c.Count(0)) c.Answer("1");
  });
  add("*OPC", false, [](Call& c) {
    if (c.Count(0)) c.m.event_status |= 0x01;
  });
  add("*WAI", false, [](Call& c) { c.Count(0); });
  add("*TST", true, [](Call& c) {
    if (c.Count(0)) c.Answer("0");
  });
  add("*TRG", false, [](Call& c) {
    if (!c.Count(0)) return;
    if (c.m.trigger_source == "BUS") c.m.Trigger();
  });
  add("*PSC", true, [](Call& c) {
    if (c.Count(0)) c.AnswerBool(c.m.power_on_status_clear);
  });
  add("*PSC", false, [](Call& c) {
    if (!c.Count(1)) return;
    if (auto v = c.Bool(0)) c.m.power_on_status_clear = *v;
  });
  add("*SAV", false, [](Call& c) {
    if (!c.Count(1)) return;
    if (auto v = c.Integer(0, 0, 9)) c.m.Save(static_cast<int>(*v));
  });
  add("*RCL", false, [](Call& c) {
    if (!c.Count(1)) return;
    if (auto v = c.Integer(0, 0, 9); v && !c.m.Recall(static_cast<int>(*v))) c.Error(-221, "Settings conflict");
  });

  // --- channel selection, levels and protection ---
  add("INSTrument[:SELect]", true, [](Call& c) {
    if (c.Count(0)) c.Answer(std::to_string(c.m.selected()));
  });
  add("INSTrument[:SELect]", false, [](Call& c) {
    if (!c.Count(1)) return;
    if (auto v = c.Integer(0, 0, 3)) c.m.select(static_cast<int>(*v));
  });
  channel_number("[SOURce:]VOLTage[:LEVel][:IMMediate][:AMPLitude]", &Settings::voltage,
                 [](const ModuleModel& m) { return m.max_voltage; }, true);
  channel_number("[SOURce:]CURRent[:LEVel][:IMMediate][:AMPLitude]", &Settings::current,
                 [](const ModuleModel& m) { return m.max_current; }, true);
  channel_number("[SOURce:]VOLTage:PROTection[:LEVel]", &Settings::voltage_protection,
                 [](const ModuleModel& m) { return m.max_voltage * 1.2; }, true);
  channel_number("[SOURce:]CURRent:PROTection[:LEVel]", &Settings::current_protection,
                 [](const ModuleModel& m) { return m.max_current * 1.2; }, true);
  channel_number("[SOURce:]VOLTage:SLOPe", &Settings::voltage_slope, [](const ModuleModel&) { return 1e6; }, false);
  channel_number("[SOURce:]CURRent:SLOPe", &Settings::current_slope, [](const ModuleModel&) { return 1e6; }, false);
  channel_number("[SOURce:]VOLTage:MAXimum", &Settings::voltage_max, [](const ModuleModel& m) { return m.max_voltage; }, false);
  channel_number("[SOURce:]VOLTage:MINimum", &Settings::voltage_min, [](const ModuleModel& m) { return m.max_voltage; }, false);
  channel_bool("[SOURce:]CURRent:PROTection:STATe", &Settings::ocp_enabled);
  channel_bool("[SOURce:]VOLTage:SENSe[:STATe]", &Settings::sense);
  add("[SOURce:]VOLTage:PROTection:TRIPped", true, [](Call& c) {
    if (auto* ch = c.Count(0) ? c.Channel() : nullptr) c.AnswerBool(ch->ov_tripped);
  });
  add("[SOURce:]CURRent:PROTection:TRIPped", true, [](Call& c) {
    if (auto* ch = c.Count(0) ? c.Channel() : nullptr) c.AnswerBool(ch->oc_tripped);
  });
  add("[SOURce:]VOLTage:PROTection:CLEar", false, [](Call& c) {
    if (auto* ch = c.Count(0) ? c.Channel() : nullptr) ch->ov_tripped = false;
  });
  add("[SOURce:]CURRent:PROTection:CLEar", false, [](Call& c) {
    if (auto* ch = c.Count(0) ? c.Channel() : nullptr) ch->oc_tripped = false;
  });
  add("OUTPut:PROTection:CLEar", false, [](Call& c) {
    if (auto* ch = c.Count(0) ? c.Channel() : nullptr) ch->ov_tripped = ch->oc_tripped = false;
  });

  // --- outputs ---
  add("OUTPut[:STATe]", true, [](Call& c) {
    if (auto* ch = c.Count(0) ? c.Channel() : nullptr) c.AnswerBool(ch->settings.output);
  });
  add("OUTPut[:STATe]", false, [](Call& c) {
    auto* ch = c.Count(1) ? c.Channel() : nullptr;
    if (ch == nullptr) return;
    if (auto v = c.Bool(0)) {
      if (*v && (ch->ov_tripped || ch->oc_tripped)) {
        c.Error(-221, "Settings conflict");  // a tripped output stays off until cleared
        return;
      }
      ch->settings.output = *v;
      c.m.ApplyProtection(c.m.selected());
    }
  });
  add("OUTPut:ALL[:STATe]", false, [](Call& c) {
    if (!c.Count(1)) return;
    if (auto v = c.Bool(0)) {
      for (int i = 0; i < 4; ++i) {
        QdxModel::Channel& ch = c.m.channel(i);
        if (ch.module != nullptr && !(*v && (ch.ov_tripped || ch.oc_tripped))) ch.settings.output = *v;
        c.m.ApplyProtection(i);
      }
    }
  });
  global_choice("OUTPut:PAIR", &QdxModel::output_pair,
                {"OFF", "PARAllel2", "PARAllel3", "PARAllel4", "SERies2", "SERies3", "SERies4", "TRACk2", "TRACk3", "TRACk4"},
                {"OFF", "PARA2", "PARA3", "PARA4", "SERI2", "SERI3", "SERI4", "TRAC2", "TRAC3", "TRAC4"});
  channel_bool("OUTPut:TIMer[:STATe]", &Settings::timer);
  add("OUTPut:TIMer:COUNt", true, [](Call& c) {
    if (auto* ch = c.Count(0) ? c.Channel() : nullptr) c.Answer(ch->settings.timer_count);
  });
  add("OUTPut:TIMer:COUNt", false, [](Call& c) {
    auto* ch = c.Count(1) ? c.Channel() : nullptr;
    if (ch == nullptr) return;
    if (auto v = c.Number(0, 0, 1e6, 0)) ch->settings.timer_count = scpi::Unquote(c.params()[0]);
  });
  for (const auto& entry : {std::pair{"OUTPut:DELay:RISE", &Settings::delay_rise},
                            std::pair{"OUTPut:DELay:FALL", &Settings::delay_fall}}) {
    // Named copies, not structured bindings: lambdas capture them on every compiler.
    const char* pattern = entry.first;
    auto field = entry.second;
    add(pattern, true, [field](Call& c) {
      if (auto* ch = c.Count(0) ? c.Channel() : nullptr) c.Answer(std::to_string(ch->settings.*field));
    });
    add(pattern, false, [field](Call& c) {
      auto* ch = c.Count(1) ? c.Channel() : nullptr;
      if (ch == nullptr) return;
      if (auto v = c.Integer(0, 0, 99999)) ch->settings.*field = *v;
    });
  }
  add("OUTPut:PON:STATe", true, [](Call& c) {
    if (!c.Count(0)) return;
    c.Answer(c.m.power_on_state == "USER" ? "USER," + std::to_string(c.m.power_on_location) : c.m.power_on_state);
  });
  add("OUTPut:PON:STATe", false, [](Call& c) {
    if (c.params().empty()) {
      c.Error(-109, "Missing parameter");
      return;
    }
    auto k = c.Choice(0, {"OFF", "LAST", "USER"});
    if (!k) return;
    if (*k == 2) {
      if (!c.Count(2)) return;
      auto location = c.Integer(1, 0, 9);
      if (!location) return;
      c.m.power_on_location = static_cast<int>(*location);
    } else if (!c.Count(1)) {
      return;
    }
    c.m.power_on_state = *k == 0 ? "OFF" : *k == 1 ? "LAST" : "USER";
  });
  global_choice("OUTPut:INHibit:MODE", &QdxModel::inhibit_mode, {"LATChing", "LIVE", "OFF"}, {"LATC", "LIVE", "OFF"});
  add("OUTPut:MODE", true, [](Call& c) {
    if (auto* ch = c.Count(0) ? c.Channel() : nullptr)
      c.Answer(ch->settings.list < 0 ? "FIX" : "LIST," + std::to_string(ch->settings.list));
  });
  add("OUTPut:MODE", false, [](Call& c) {
    auto* ch = c.Channel();
    if (ch == nullptr || c.params().empty()) {
      if (ch != nullptr) c.Error(-109, "Missing parameter");
      return;
    }
    auto k = c.Choice(0, {"FIXed", "LIST"});
    if (!k) return;
    if (*k == 0) {
      if (c.Count(1)) ch->settings.list = -1;
    } else if (c.Count(2)) {
      if (auto n = c.Integer(1, -2147483648LL, 2147483647LL)) ch->settings.list = static_cast<int>(*n);
    }
  });

  // --- measurement ---
  auto measure = [&](const char* pattern, int what) {
    add(pattern, true, [what](Call& c) {
      if (!c.Count(0) || c.Channel() == nullptr) return;
      c.m.Refresh();
      QdxModel::Measurement m = c.m.Measure(c.m.selected());
      double values[] = {m.voltage, m.current, m.power};
      if (what < 3) {
        c.AnswerNumber(values[what], 6);
      } else {
        char text[96];
        std::snprintf(text, sizeof text, "%.6g,%.6g,%.6g", m.voltage, m.current, m.power);
        c.Answer(text);
      }
    });
  };
  measure("MEASure[:SCALar]:VOLTage[:DC]", 0);
  measure("MEASure[:SCALar]:CURRent[:DC]", 1);
  measure("MEASure[:SCALar]:POWer[:DC]", 2);
  measure("MEASure[:SCALar]:ALL[:DC]", 3);
  add("MEASure[:SCALar]:ALLCHannels[:DC]", true, [](Call& c) {
    if (!c.Count(0)) return;
    c.m.Refresh();
    std::string text;
    for (int i = 0; i < 4; ++i) {
      QdxModel::Measurement m = c.m.Measure(i);
      char group[96];
      std::snprintf(group, sizeof group, "%s%.6g,%.6g,%.6g", i == 0 ? "" : ",", m.voltage, m.current, m.power);
      text += group;
    }
    c.Answer(text);
  });

  // --- list mode ---
  add("LIST:NUMBer", true, [](Call& c) {
    if (c.Count(0)) c.Answer(std::to_string(c.m.selected_list));
  });
  add("LIST:NUMBer", false, [](Call& c) {
    if (!c.Count(1)) return;
    if (auto v = c.Integer(0, 0, 99)) c.m.selected_list = static_cast<int>(*v);
  });
  add("LIST:STEP:NUMBer", true, [](Call& c) {
    if (c.Count(0)) c.Answer(std::to_string(c.m.selected_step));
  });
  add("LIST:STEP:NUMBer", false, [](Call& c) {
    if (!c.Count(1)) return;
    if (auto v = c.Integer(0, 0, 511)) c.m.selected_step = static_cast<int>(*v);
  });
  step_value("LIST:VOLTage[:LEVel]", &ListStep::voltage, false);
  step_value("LIST:CURRent[:LEVel]", &ListStep::current, false);
  step_value("LIST:DWELl", &ListStep::dwell_ms, true);
  list_number("LIST:COUNt", &OutputList::count, 0);
  list_number("LIST:NEXT", &OutputList::next, -1);
  list_bool("LIST:STEP", &OutputList::pace_trigger);
  list_bool("LIST:TERMinate:LAST", &OutputList::terminate_last);
  list_bool("LIST:TOUTput:BOSTep[:DATA]", &OutputList::bost);
  list_bool("LIST:TOUTput:EOSTep[:DATA]", &OutputList::eost);
  add("LIST:STATe", true, [](Call& c) {
    if (!c.Count(0)) return;
    c.m.Refresh();
    c.AnswerBool(c.m.channel(c.m.selected()).running);
  });
  add("LIST:CLEar", false, [](Call& c) {
    if (c.Count(0)) c.m.list(c.m.selected_list) = OutputList{};
  });
  add("LIST:DELete", false, [](Call& c) {
    if (!c.Count(1)) return;
    if (auto v = c.Integer(0, 0, 99)) c.m.list(static_cast<int>(*v)) = OutputList{};
  });
  add("LIST:SAVE", false, [](Call& c) { c.Count(0); });
  global_choice("TRIGger[:SEQuence]:SOURce", &QdxModel::trigger_source, {"IMMediate", "BUS", "EXTernal"},
                {"IMM", "BUS", "EXT"});
  auto start = [](Call& c, bool continuous) {
    auto channel = c.Integer(0, 0, 3);
    if (!channel) return;
    int index = static_cast<int>(*channel);
    QdxModel::Channel& ch = c.m.channel(index);
    if (ch.module == nullptr) {
      c.Error(-241, "Hardware missing");
    } else if (ch.settings.list < 0 || !c.m.HasList(ch.settings.list) || c.m.list(ch.settings.list).steps.empty()) {
      c.Error(-221, "Settings conflict");  // no list assigned to this output
    } else {
      c.m.StartList(index, continuous);
    }
  };
  add("INITiate[:IMMediate]", false, [start](Call& c) {
    if (c.Count(1)) start(c, false);
  });
  add("INITiate:CONTinuous", false, [start](Call& c) {
    if (!c.Count(2)) return;
    if (auto on = c.Bool(1)) {
      if (*on) {
        start(c, true);
      } else if (auto channel = c.Integer(0, 0, 3)) {
        c.m.channel(static_cast<int>(*channel)).continuous = false;
      }
    }
  });
  add("ABORt", false, [](Call& c) {
    if (!c.Count(1)) return;
    if (auto channel = c.Integer(0, 0, 3)) c.m.AbortList(static_cast<int>(*channel));
  });

  // --- digital I/O ---
  add("DIGital:PIN#:FUNCtion", true, [](Call& c) {
    if (!c.Count(0)) return;
    auto it = c.m.pin_functions.find(c.suffix(0));
    c.Answer(it == c.m.pin_functions.end() ? "NONE" : it->second);
  });
  add("DIGital:PIN#:FUNCtion", false, [](Call& c) {
    static const std::vector<const char*> kFunctions = {"NONE", "DINPut", "DOUTput", "FAULt", "INHibit",
                                                        "TINPut", "TOUTput", "SINPut", "SOUTput"};
    if (!c.Count(1)) return;
    if (c.suffix(0) < 0 || c.suffix(0) > 7) {
      c.Error(-114, "Header suffix out of range");
      return;
    }
    if (auto k = c.Choice(0, kFunctions)) {
      static const char* kShort[] = {"NONE", "DINP", "DOUT", "FAUL", "INH", "TINP", "TOUT", "SINP", "SOUT"};
      c.m.pin_functions[c.suffix(0)] = kShort[*k];
    }
  });
  add("DIGital:PIN#:POLarity", true, [](Call& c) {
    if (!c.Count(0)) return;
    auto it = c.m.pin_polarities.find(c.suffix(0));
    c.Answer(it == c.m.pin_polarities.end() ? "POS" : it->second);
  });
  add("DIGital:PIN#:POLarity", false, [](Call& c) {
    if (!c.Count(1)) return;
    if (c.suffix(0) < 0 || c.suffix(0) > 7) {
      c.Error(-114, "Header suffix out of range");
      return;
    }
    if (auto k = c.Choice(0, {"POSitive", "NEGative"})) c.m.pin_polarities[c.suffix(0)] = *k == 0 ? "POS" : "NEG";
  });
  add("DIGital:INPut[:DATA]", true, [](Call& c) {
    if (c.Count(0)) c.Answer(std::to_string(c.m.digital_input));
  });
  add("DIGital:OUTPut[:DATA]", true, [](Call& c) {
    if (c.Count(0)) c.Answer(std::to_string(c.m.digital_output));
  });
  add("DIGital:OUTPut[:DATA]", false, [](Call& c) {
    if (!c.Count(1)) return;
    if (auto v = c.Integer(0, -2147483648LL, 2147483647LL)) c.m.digital_output = *v;
  });

  // --- status structure ---
  register_read("STATus:OPERation[:EVENt]", true, &QdxModel::operation);
  register_read("STATus:OPERation:CONDition", false, &QdxModel::operation);
  register_enable("STATus:OPERation:ENABle", &QdxModel::operation);
  register_read("STATus:QUEStionable[:EVENt]", true, &QdxModel::questionable);
  register_read("STATus:QUEStionable:CONDition", false, &QdxModel::questionable);
  register_enable("STATus:QUEStionable:ENABle", &QdxModel::questionable);
  register_read("STATus:QUEStionable:INSTrument[:EVENt]", true, &QdxModel::questionable_instrument);
  register_read("STATus:QUEStionable:INSTrument:CONDition", false, &QdxModel::questionable_instrument);
  register_enable("STATus:QUEStionable:INSTrument:ENABle", &QdxModel::questionable_instrument);
  auto summary = [](Call& c) -> StatusRegister* {
    if (c.suffix(0) < 1 || c.suffix(0) > 4) {
      c.Error(-114, "Header suffix out of range");
      return nullptr;
    }
    return &c.m.channel(c.suffix(0) - 1).summary;
  };
  add("STATus:QUEStionable[:INSTrument]:ISUMmary#[:EVENt]", true, [summary](Call& c) {
    if (!c.Count(0)) return;
    c.m.Refresh();
    if (auto* r = summary(c)) c.Answer(std::to_string(r->ReadEvent()));
  });
  add("STATus:QUEStionable[:INSTrument]:ISUMmary#:CONDition", true, [summary](Call& c) {
    if (!c.Count(0)) return;
    c.m.Refresh();
    if (auto* r = summary(c)) c.Answer(std::to_string(r->condition));
  });
  add("STATus:QUEStionable[:INSTrument]:ISUMmary#:ENABle", true, [summary](Call& c) {
    if (!c.Count(0)) return;
    if (auto* r = summary(c)) c.Answer(std::to_string(r->enable));
  });
  add("STATus:QUEStionable[:INSTrument]:ISUMmary#:ENABle", false, [summary](Call& c) {
    if (!c.Count(1)) return;
    auto* r = summary(c);
    if (r == nullptr) return;
    if (auto v = c.Integer(0, -2147483648LL, 2147483647LL)) r->enable = static_cast<int>(*v);
  });
  add("STATus:PRESet", false, [](Call& c) {
    if (!c.Count(0)) return;
    c.m.operation.enable = c.m.questionable.enable = c.m.questionable_instrument.enable = 0;
    for (int i = 0; i < 4; ++i) c.m.channel(i).summary.enable = 0;
  });

  // --- system ---
  add("SYSTem:ERRor[:NEXT]", true, [](Call& c) {
    if (c.Count(0)) c.Answer(c.m.PopError());
  });
  add("SYSTem:VERSion", true, [](Call& c) {
    if (c.Count(0)) c.Answer("1999.0");
  });
  global_bool("SYSTem:BEEPer:STATe", &QdxModel::beeper);
  add("SYSTem:BEEPer[:IMMediate]", false, [](Call& c) { c.Count(0); });
  global_bool("DISPlay[:WINDow]:STATe", &QdxModel::display);
  global_bool("LXI:IDENtify[:STATe]", &QdxModel::lxi_identify);
  for (auto field : {&QdxModel::date, &QdxModel::time}) {
    const char* pattern = field == &QdxModel::date ? "SYSTem:DATE" : "SYSTem:TIME";
    add(pattern, true, [field](Call& c) {
      if (c.Count(0)) c.Answer(c.m.*field);
    });
    // The date and time are taken as the text they were given: "2026,12,06".
    add(pattern, false, [field](Call& c) {
      std::string text;
      for (const std::string& p : c.params()) text += (text.empty() ? "" : ",") + scpi::Unquote(p);
      c.m.*field = text;
    });
  }
  global_choice("SYSTem:COMMunicate:RLSTate", &QdxModel::remote_state, {"REMote", "LOCal", "RWLock"},
                {"REM", "LOC", "RWL"});
  add("SYSTem:RWLock", false, [](Call& c) {
    if (c.Count(0)) c.m.remote_state = "RWL";
  });
  add("SYSTem:COMMunicate:TCPip:CONTrol", true, [](Call& c) {
    if (c.Count(0)) c.Answer(std::to_string(c.m.options().control_port));
  });
  // Module identity of the selected channel; an empty slot answers an empty line.
  auto module_text = [&](const char* pattern, int what) {
    add(pattern, true, [what](Call& c) {
      if (!c.Count(0)) return;
      const QdxModel::Channel& ch = c.m.channel(c.m.selected());
      if (ch.module == nullptr) {
        c.Answer("");
        return;
      }
      c.Answer(what == 0 ? std::string(ch.module->model) : what == 1 ? ch.serial : ch.firmware);
    });
  };
  module_text("SYSTem:CHANnel:MODel", 0);
  module_text("SYSTem:CHANnel:SERIal", 1);
  module_text("SYSTem:CHANnel:VERSion", 2);
  add("SYSTem:SECure:IMMediate", false, [](Call& c) {
    if (!c.Count(0)) return;
    c.m.ClearStoredStates();
    c.m.Reset();
  });

  // --- back door for tests and demos; the driver never sends these ---
  add("EMULator:LOAD", false, [](Call& c) {
    if (!c.Count(2)) return;
    auto channel = c.Integer(0, 1, 4);
    auto ohms = channel ? c.Number(1, 1e-6, 1e12, 1000) : std::nullopt;
    if (ohms) {
      c.m.channel(static_cast<int>(*channel) - 1).load_ohms = *ohms;
      c.m.ApplyProtection(static_cast<int>(*channel) - 1);
    }
  });
  add("EMULator:LOAD", true, [](Call& c) {
    if (!c.Count(1)) return;
    if (auto channel = c.Integer(0, 1, 4)) c.AnswerNumber(c.m.channel(static_cast<int>(*channel) - 1).load_ohms);
  });
  add("EMULator:TRIP", false, [](Call& c) {
    if (!c.Count(2)) return;
    auto channel = c.Integer(0, 1, 4);
    auto kind = channel ? c.Choice(1, {"OV", "OC"}) : std::nullopt;
    if (!kind) return;
    QdxModel::Channel& ch = c.m.channel(static_cast<int>(*channel) - 1);
    (*kind == 0 ? ch.ov_tripped : ch.oc_tripped) = true;
    ch.settings.output = false;
  });
  add("EMULator:ERRor", false, [](Call& c) {
    if (!c.Count(2)) return;
    if (auto code = c.Integer(0, -32768, 32767)) c.m.PushError(static_cast<int>(*code), scpi::Unquote(c.params()[1]));
  });
  add("EMULator:TIME:ADVance", false, [](Call& c) {
    if (!c.Count(1)) return;
    if (!c.m.clock().is_virtual()) {
      c.Error(-221, "Settings conflict");
      return;
    }
    if (auto s = c.Number(0, 0, 1e9, 0)) {
      c.m.clock().advance(*s);
      c.m.Refresh();
    }
  });
  add("EMULator:TIME", true, [](Call& c) {
    if (c.Count(0)) c.AnswerNumber(c.m.clock().now());
  });
  add("EMULator:DIGital:INPut", false, [](Call& c) {
    if (!c.Count(1)) return;
    if (auto v = c.Integer(0, 0, 255)) c.m.digital_input = *v;
  });
  add("EMULator:TRIGger", false, [](Call& c) {
    if (c.Count(0) && c.m.trigger_source == "EXT") c.m.Trigger();
  });
  return rows;
}

}  // namespace

const std::vector<CommandRow>& CommandTable() {
  static const std::vector<CommandRow> table = Build();
  return table;
}

}  // namespace emulator
