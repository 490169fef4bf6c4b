// SPDX-License-Identifier: MIT
// Configuration store files: loading, the configuration server's reading of
// a driver session from them, ivi-config's check, and an edit that keeps the
// file's layout, whose result must read back.
#include <fstream>

#include "IviConfigServer.h"
#include "config_store.h"
#include "fuzz_support.h"
#include "store_editor.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const std::string path = [] {
    std::string dir = (std::filesystem::temp_directory_path() / "zevra-fuzz-store-XXXXXX").string();
    if (mkdtemp(dir.data()) == nullptr) std::abort();
    return dir + "/store.xml";
  }();
  std::ofstream(path, std::ios::binary | std::ios::trunc).write(reinterpret_cast<const char*>(data),
                                                                 static_cast<std::streamsize>(size));
  iviconfig::Store store;
  if (!store.load(path)) {
    iviconfig::Check(store);
    iviconfig::Describe(store);
  }
  {
    // The editor's lock goes with it, before the configuration server reads the store below.
    iviconfig::Store edited;
    if (!edited.load_for_editing(path)) {
      iviconfig::AddHardwareAsset(edited, "fuzz-asset", "TCPIP0::192.0.2.1::5025::SOCKET");
      iviconfig::Remove(edited, "logical-name", "Bench", "");
      const std::string text = edited.serialize();
      pugi::xml_document again;
      if (!again.load_buffer(text.data(), text.size(), pugi::parse_full | pugi::parse_ws_pcdata)) std::abort();
    }
  }
  IviConfigHandle server = nullptr, session = nullptr;
  if (IviConfig_Initialize(&server) >= 0) {
    if (IviConfig_Deserialize(server, path.c_str()) >= 0 && IviConfig_GetDriverSession(server, "Bench", &session) >= 0) {
      IviConfigHandle names = nullptr;
      ViInt32 count = 0;
      if (IviConfig_GetSessionVirtualNameCollection(session, &names) >= 0) IviConfig_GetVirtualNameCount(names, &count);
    }
    IviConfig_Close(server);
  }
  return 0;
}
