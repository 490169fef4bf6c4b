// SPDX-License-Identifier: MIT
#include "store_reading.h"

namespace vexo {

void ConfigHandle::Release() {
  if (handle_ != nullptr) {
    // A handle this class was given cannot fail to dispose.
    IviConfig_DisposeHandle(handle_);
    handle_ = nullptr;
  }
}

ViStatus ConfigServer::Open() {
  ViStatus st = IviConfig_Initialize(&handle_);
  if (st < 0) return st;
  std::string location;
  st = GetText(IviConfig_GetConfigStorePropertyViString, handle_, IVICONFIG_VAL_CONFIG_STORE_PROC_DEFAULT_LOCATION,
               260, location);
  if (st >= 0 && location.empty())
    st = GetText(IviConfig_GetConfigStorePropertyViString, handle_, IVICONFIG_VAL_CONFIG_STORE_MASTER_LOCATION, 260,
                 location);
  if (st < 0) return st;
  return IviConfig_Deserialize(handle_, location.c_str());
}

ViStatus ConfigServer::Close() {
  ViStatus st = handle_ != nullptr ? IviConfig_Close(handle_) : VI_SUCCESS;
  handle_ = nullptr;
  return st;
}

ViStatus GetText(StringGetter getter, IviConfigHandle h, ViInt32 id, std::size_t size, std::string& out) {
  std::string buffer(size, '\0');
  ViStatus st = getter(h, id, static_cast<ViInt32>(size), buffer.data());
  if (st < 0) return st;
  out.assign(buffer.c_str());
  return st;
}

ViStatus ReadVirtualNames(IviConfigHandle config_session, VirtualNameTable& table) {
  table.clear();
  ConfigHandle names;
  ViStatus st = IviConfig_GetSessionVirtualNameCollection(config_session, names.Out());
  ViInt32 count = 0;
  if (st >= 0) st = IviConfig_GetVirtualNameCount(names.get(), &count);
  if (st < 0) return st;
  for (ViInt32 index = 1; index <= count; ++index) {
    ConfigHandle item, ranges;
    std::string name, maps_to;
    st = IviConfig_GetVirtualNameItemByIndex(names.get(), index, item.Out());
    if (st >= 0) st = GetText(IviConfig_GetVirtualNamePropertyViString, item.get(), IVICONFIG_VAL_VIRTUAL_NAME_NAME, 1024, name);
    if (st >= 0)
      st = GetText(IviConfig_GetVirtualNamePropertyViString, item.get(), IVICONFIG_VAL_VIRTUAL_NAME_MAPTO, 1024,
                   maps_to);
    if (st >= 0) st = IviConfig_GetVirtualNameVirtualRangeCollection(item.get(), ranges.Out());
    ViInt32 range_count = 0;
    if (st >= 0) st = IviConfig_GetVirtualRangeCount(ranges.get(), &range_count);
    if (st < 0) return st;
    if (range_count == 0) {
      table.add_name(name, maps_to);
      continue;
    }
    for (ViInt32 r = 1; r <= range_count; ++r) {
      ConfigHandle range;
      ViInt32 min = 0, max = 0, start = 0;
      st = IviConfig_GetVirtualRangeItemByIndex(ranges.get(), r, range.Out());
      if (st >= 0) st = IviConfig_GetVirtualRangePropertyViInt32(range.get(), IVICONFIG_VAL_VIRTUAL_RANGE_MIN, &min);
      if (st >= 0) st = IviConfig_GetVirtualRangePropertyViInt32(range.get(), IVICONFIG_VAL_VIRTUAL_RANGE_MAX, &max);
      if (st >= 0)
        st = IviConfig_GetVirtualRangePropertyViInt32(range.get(),
                                                      IVICONFIG_VAL_VIRTUAL_RANGE_START_PHYSICAL_INDEX, &start);
      if (st < 0) return st;
      table.add_range(name, maps_to, min, max, start);
    }
  }
  return VI_SUCCESS;
}

ViStatus ReadLogicalNameVirtualNames(const std::string& logical_name, VirtualNameTable& table) {
  table.clear();
  ConfigServer server;
  ConfigHandle session;
  ViStatus st = server.Open();
  if (st >= 0) st = IviConfig_GetDriverSession(server.get(), logical_name.c_str(), session.Out());
  if (st >= 0) st = ReadVirtualNames(session.get(), table);
  session.Release();
  ViStatus closed = server.Close();
  return st < 0 ? st : closed;
}

}  // namespace vexo
