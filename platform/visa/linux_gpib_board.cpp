// SPDX-License-Identifier: MIT
// A GPIB board driven by the kernel's linux-gpib drivers, through their user
// library libgpib.so.0 (the NI-488.2-style ib* functions), loaded when first
// asked for; ZEVRA_LINUX_GPIB_LIBRARY names another file to load instead.
// Each device gets its own descriptor (ibdev), kept while the board is open.
#include <cstdlib>
#include <map>
#include <mutex>
#include <type_traits>

#include "gpib_board.h"
#include "runtime_library.h"

namespace visa {
namespace {

// ibsta bits and iberr codes of the published API.
constexpr int kErr = 0x8000, kEnd = 0x2000, kSrqi = 0x1000;
constexpr int kTimeoutAbort = 6;  // EABO: the I/O timed out
constexpr int kNoListener = 2;    // ENOL
constexpr char kLocalLockout = 0x11;  // the LLO command byte
constexpr int kReadEndsAtEos = 0x400;  // REOS, in ibeos's argument with the character

// The ib* functions this board calls (declared here from the published API).
#define ZEVRA_LIBGPIB_FUNCTIONS(X)                                                                      \
  X(ibdev, int(int, int, int, int, int, int)) X(ibonl, int(int, int)) X(ibwrt, int(int, const void*, long)) \
  X(ibrd, int(int, void*, long)) X(ibrsp, int(int, char*)) X(ibclr, int(int)) X(ibtrg, int(int))           \
  X(ibloc, int(int)) X(ibeos, int(int, int)) X(ibeot, int(int, int)) X(ibtmo, int(int, int)) X(ibsic, int(int))                    \
  X(ibsre, int(int, int)) X(ibcmd, int(int, const void*, long)) X(ibwait, int(int, int))                   \
  X(ThreadIberr, int()) X(ThreadIbcntl, long())

struct LibgpibApi {
#define ZEVRA_LIBGPIB_POINTER(name, type) std::add_pointer_t<type> name = nullptr;
  ZEVRA_LIBGPIB_FUNCTIONS(ZEVRA_LIBGPIB_POINTER)
#undef ZEVRA_LIBGPIB_POINTER
  std::string missing;  // why linux-gpib is unavailable, empty once every function is bound
};

std::string LibraryName() {
  const char* chosen = std::getenv("ZEVRA_LINUX_GPIB_LIBRARY");
  return chosen != nullptr && *chosen != '\0' ? chosen : "libgpib.so.0";
}

// Bound once per library file; kept for the life of the process.
const LibgpibApi& Libgpib() {
  static std::mutex mutex;
  static std::map<std::string, LibgpibApi> bound;
  std::lock_guard lock(mutex);
  const std::string name = LibraryName();
  auto it = bound.find(name);
  if (it != bound.end()) return it->second;
  LibgpibApi& a = bound[name];
  void* library = OpenRuntimeLibrary(name.c_str());
  if (library == nullptr) {
    a.missing = "linux-gpib's user library (" + name + ") is not installed";
    return a;
  }
#define ZEVRA_LIBGPIB_BIND(name, type) &&Bind(library, #name, a.name)
  const bool all = true ZEVRA_LIBGPIB_FUNCTIONS(ZEVRA_LIBGPIB_BIND);
#undef ZEVRA_LIBGPIB_BIND
  if (!all) a.missing = name + " lacks a function of the ib* API this library calls";
  return a;
}

// The smallest ib timeout code (T10us = 1 ... T1000s = 17) at least `ms` long; 0 waits forever.
int TimeoutCode(Deadline deadline) {
  if (deadline.infinite()) return 0;
  static constexpr double kSeconds[] = {10e-6, 30e-6, 100e-6, 300e-6, 1e-3, 3e-3, 10e-3, 30e-3, 100e-3,
                                        300e-3, 1,     3,      10,     30,     100,  300,  1000};
  const double wanted = std::max(deadline.poll_timeout_ms(), 1) / 1000.0;
  for (int code = 1; code <= 17; ++code)
    if (kSeconds[code - 1] >= wanted) return code;
  return 17;
}

class LinuxGpibBoard final : public GpibBoard {
 public:
  LinuxGpibBoard(const LibgpibApi& api, unsigned minor) : api_(api), minor_(static_cast<int>(minor)) {}
  ~LinuxGpibBoard() override {
    stop_watching();
    for (const auto& [key, descriptor] : devices_) api_.ibonl(descriptor, 0);
  }

  ViStatus write(const GpibAddress& to, const char* data, std::size_t size, bool end, Deadline deadline) override {
    std::lock_guard lock(mutex_);
    int ud = -1;
    ViStatus st = device(to, deadline, ud);
    if (st < 0) return st;
    api_.ibeot(ud, end ? 1 : 0);
    return Checked(api_.ibwrt(ud, data, static_cast<long>(size)));
  }

  ViStatus read(const GpibAddress& from, char* data, std::size_t capacity, const ReadSettings& settings,
                Deadline deadline, std::size_t& got, bool& end) override {
    std::lock_guard lock(mutex_);
    got = 0;
    end = false;
    int ud = -1;
    ViStatus st = device(from, deadline, ud);
    if (st < 0) return st;
    // ibrd hands bytes over only when it ends, so it must end at the termination character.
    const int eos = settings.termchar_enabled ? kReadEndsAtEos | settings.termchar : 0;
    if (eos_[ud] != eos) {
      api_.ibeos(ud, eos);
      eos_[ud] = eos;
    }
    const int status = api_.ibrd(ud, data, static_cast<long>(capacity));
    const long count = api_.ThreadIbcntl();
    got = count > 0 ? static_cast<std::size_t>(count) : 0;
    end = (status & kEnd) != 0;
    // Bytes that came before a timeout are delivered; the next read times out again if nothing follows.
    return got > 0 ? VI_SUCCESS : Checked(status);
  }

  ViStatus discard(const GpibAddress&) override { return VI_SUCCESS; }  // nothing is held here

  ViStatus serial_poll(const GpibAddress& device_address, Deadline deadline, ViUInt16& status_byte) override {
    std::lock_guard lock(mutex_);
    return poll(device_address, deadline, status_byte);
  }

  ViStatus clear(const GpibAddress& device_address, Deadline deadline) override {
    return Simple(device_address, deadline, api_.ibclr);
  }
  ViStatus trigger(const GpibAddress& device_address, Deadline deadline) override {
    return Simple(device_address, deadline, api_.ibtrg);
  }

  ViStatus control_ren(const GpibAddress& device_address, ViUInt16 mode, Deadline deadline) override {
    switch (mode) {
      case VI_GPIB_REN_DEASSERT:
      case VI_GPIB_REN_ASSERT: {
        std::lock_guard lock(mutex_);
        return Checked(api_.ibsre(minor_, mode == VI_GPIB_REN_ASSERT ? 1 : 0));
      }
      case VI_GPIB_REN_DEASSERT_GTL: {
        ViStatus st = Simple(device_address, deadline, api_.ibloc);
        std::lock_guard lock(mutex_);
        return st < 0 ? st : Checked(api_.ibsre(minor_, 0));
      }
      case VI_GPIB_REN_ADDRESS_GTL: return Simple(device_address, deadline, api_.ibloc);
      case VI_GPIB_REN_ASSERT_ADDRESS: {
        std::lock_guard lock(mutex_);
        int ud = -1;
        return device(device_address, deadline, ud);
      }
      case VI_GPIB_REN_ASSERT_LLO:
      case VI_GPIB_REN_ASSERT_ADDRESS_LLO: {
        std::lock_guard lock(mutex_);
        ViStatus st = Checked(api_.ibsre(minor_, 1));
        return st < 0 ? st : Checked(api_.ibcmd(minor_, &kLocalLockout, 1));
      }
      default: return VI_ERROR_INV_MODE;
    }
  }

  ViStatus interface_clear(Deadline) override {
    std::lock_guard lock(mutex_);
    return Checked(api_.ibsic(minor_));
  }

  ViStatus poll_for_service(const std::vector<GpibAddress>& devices, Deadline deadline,
                            std::vector<std::pair<GpibAddress, ViUInt16>>& requesting) override {
    std::unique_lock lock(mutex_, std::try_to_lock);
    if (!lock.owns_lock()) return VI_ERROR_RSRC_BUSY;
    // A wait for nothing reports the board's status now, SRQI among it.
    if ((api_.ibwait(minor_, 0) & kSrqi) == 0) return VI_SUCCESS;
    for (const GpibAddress& device_address : devices) {
      ViUInt16 status_byte = 0;
      ViStatus st = poll(device_address, deadline, status_byte);
      if (st < 0) return st;
      if ((status_byte & 0x40) != 0) requesting.emplace_back(device_address, status_byte);
    }
    return VI_SUCCESS;
  }

  std::string description() const override { return "linux-gpib board " + std::to_string(minor_); }

 private:
  // The device's descriptor, opened on first use, with the deadline as its I/O timeout.
  ViStatus device(const GpibAddress& a, Deadline deadline, int& ud) {
    const unsigned key = a.primary * 32 + static_cast<unsigned>(a.secondary + 1);
    auto it = devices_.find(key);
    if (it == devices_.end()) {
      const int secondary = a.secondary < 0 ? 0 : 0x60 + a.secondary;
      const int descriptor = api_.ibdev(minor_, static_cast<int>(a.primary), secondary, TimeoutCode(deadline), 1, 0);
      if (descriptor < 0) return VI_ERROR_RSRC_NFOUND;
      it = devices_.emplace(key, descriptor).first;
    }
    ud = it->second;
    api_.ibtmo(ud, TimeoutCode(deadline));
    return VI_SUCCESS;
  }

  ViStatus poll(const GpibAddress& a, Deadline deadline, ViUInt16& status_byte) {
    int ud = -1;
    ViStatus st = device(a, deadline, ud);
    if (st < 0) return st;
    char value = 0;
    st = Checked(api_.ibrsp(ud, &value));
    if (st >= 0) status_byte = static_cast<unsigned char>(value);
    return st;
  }

  ViStatus Simple(const GpibAddress& a, Deadline deadline, int (*operation)(int)) {
    std::lock_guard lock(mutex_);
    int ud = -1;
    ViStatus st = device(a, deadline, ud);
    return st < 0 ? st : Checked(operation(ud));
  }

  // A VISA status for what an ib* call returned (its ibsta).
  ViStatus Checked(int status) const {
    if ((status & kErr) == 0) return VI_SUCCESS;
    const int error = api_.ThreadIberr();
    if (error == kTimeoutAbort) return VI_ERROR_TMO;
    if (error == kNoListener) return VI_ERROR_NLISTENERS;
    return VI_ERROR_IO;
  }

  const LibgpibApi& api_;
  int minor_;
  std::mutex mutex_;
  std::map<unsigned, int> devices_;
  std::map<int, int> eos_;  // each descriptor's ibeos setting (0 at ibdev)
};

}  // namespace

ViStatus open_linux_gpib_board(unsigned minor, std::shared_ptr<GpibBoard>& out, std::string& why) {
  const LibgpibApi& api = Libgpib();
  if (!api.missing.empty()) {
    why = api.missing;
    return VI_ERROR_RSRC_NFOUND;
  }
  out = std::make_shared<LinuxGpibBoard>(api, minor);
  return VI_SUCCESS;
}

}  // namespace visa
