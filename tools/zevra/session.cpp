#include "session.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <unistd.h>

#include "config_store.h"
#include "qdx_instrument.h"
#include "socket_server.h"
#include "visa.h"

namespace zevra_tool {

Session::Session(const SessionOptions& options) {
  EnsureConfigurationStore();
  resource_ = options.resource;
  if (options.emulate || resource_.empty()) {
    emulator::QdxOptions qdx;
    qdx.loads = {10, 10, 10, 10};
    instrument_ = std::make_unique<emulator::QdxInstrument>(qdx);
    server_ = std::make_unique<emulator::SocketServer>(*instrument_, nullptr);
    std::string error = server_->start("127.0.0.1", 0);
    if (!error.empty()) throw Failure("cannot start the emulator: " + error);
    resource_ = "TCPIP0::127.0.0.1::" + std::to_string(server_->port()) + "::SOCKET";
  }
  std::string name = resource_;
  ViStatus st = ZEVRA_InitWithOptions(name.data(), VI_TRUE, VI_FALSE, options.options.c_str(), &vi_);
  if (st < 0) {
    ViStatus code = 0;
    char text[1024] = "";
    ZEVRA_GetError(VI_NULL, &code, sizeof text, text);
    if (text[0] == '\0') viStatusDesc(VI_NULL, st, text);
    char hex[16];
    std::snprintf(hex, sizeof hex, "0x%08X", static_cast<unsigned>(st));
    throw Failure("cannot open " + resource_ + ": " + hex + " " + text);
  }
}

Session::~Session() {
  if (vi_ != VI_NULL) ZEVRA_close(vi_);
  if (server_) server_->stop();
  if (!temp_store_dir_.empty()) {
    std::error_code ec;
    std::filesystem::remove_all(temp_store_dir_, ec);
  }
}

// Every open reads a configuration store; with none configured, this process
// gets one of its own that registers the driver.
void Session::EnsureConfigurationStore() {
  if (!iviconfig::process_default_location().empty()) return;
  if (std::filesystem::exists(iviconfig::master_location())) return;
  auto dir = std::filesystem::temp_directory_path() / ("zevra-" + std::to_string(getpid()));
  std::filesystem::create_directories(dir);
  temp_store_dir_ = dir.string();
  std::ofstream(dir / "store.xml") << "<IviConfigStore><SoftwareModules><IviSoftwareModule id=\"ZEVRA\">"
                                      "<Name>ZEVRA</Name><Prefix>ZEVRA</Prefix></IviSoftwareModule>"
                                      "</SoftwareModules></IviConfigStore>\n";
  setenv("IVICONFIGSERVERDEFAULT", (dir / "store.xml").c_str(), 1);
}

void Session::Check(ViStatus status, const std::string& what) const {
  if (status >= 0) return;
  ViStatus code = 0;
  char text[1024] = "";
  ZEVRA_GetError(vi_, &code, sizeof text, text);
  if (text[0] == '\0') viStatusDesc(vi_, status, text);  // VISA statuses are returned unrecorded
  char hex[16];
  std::snprintf(hex, sizeof hex, "0x%08X", static_cast<unsigned>(status));
  throw Failure(what + " failed: " + hex + " " + text);
}

std::string ChannelName(const std::string& text) {
  std::string t = text;
  if (t.size() == 3 && (t[0] == 'C' || t[0] == 'c') && (t[1] == 'H' || t[1] == 'h')) t = t.substr(2);
  if (t.size() == 1 && t[0] >= '1' && t[0] <= '4') return "CH" + t;
  throw Failure("bad channel '" + text + "': use 1-4 or CH1-CH4", 2);
}

double ParseNumber(const std::string& text, const std::string& what) {
  char* end = nullptr;
  double v = std::strtod(text.c_str(), &end);
  if (text.empty() || *end != '\0') throw Failure("bad " + what + " '" + text + "': not a number", 2);
  return v;
}

}  // namespace zevra_tool
