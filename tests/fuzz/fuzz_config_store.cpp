// Configuration store files: loading, the configuration server's reading of
// a driver session from them, and ivi-config's check.
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
  IviConfigHandle server = 0, session = 0;
  if (IviConfig_Initialize(&server) >= 0) {
    if (IviConfig_Deserialize(server, path.c_str()) >= 0 && IviConfig_GetDriverSession(server, "Bench", &session) >= 0) {
      IviConfigHandle names = 0;
      ViInt32 count = 0;
      if (IviConfig_GetSessionVirtualNameCollection(session, &names) >= 0) IviConfig_GetVirtualNameCount(names, &count);
    }
    IviConfig_Close(server);
  }
  return 0;
}
