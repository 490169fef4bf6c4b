// SPDX-License-Identifier: MIT
// The configuration server behind the C interface: a table of handles (a
// store, an item in it or a collection of items) and the few generic
// operations every IviConfig_* function is one of. Each operation takes the
// server's mutex and returns a ViStatus, recording the thread's error text on
// failure; nothing throws.
#pragma once

#include <cstddef>
#include <string>

#include "IviConfigServer.h"
#include "config_model.h"

namespace iviconfig::server {

// The calling thread's last error text.
const std::string& LastErrorText();
void ClearLastError();
void RestoreLastError(std::string text);
// Copies text with the IVI buffer rules (see IviConfigServer.h).
ViStatus CopyText(const std::string& text, ViInt32 size, ViChar* out);

ViStatus Initialize(IviConfigHandle* out);
ViStatus Close(IviConfigHandle store);
ViStatus Dispose(IviConfigHandle handle);
ViStatus Deserialize(IviConfigHandle store, ViConstString location);
ViStatus Serialize(IviConfigHandle store, ViConstString location);
// A logical name's session, else the session of that name.
ViStatus FindSession(IviConfigHandle store, ViConstString name, Kind wanted, IviConfigHandle* out);

// Properties. `kind` is what the function's name promises the handle is.
ViStatus GetString(IviConfigHandle item, Kind kind, ViInt32 id, ViInt32 size, ViChar* out);
ViStatus SetString(IviConfigHandle item, Kind kind, ViInt32 id, ViConstString value);
ViStatus GetInt32(IviConfigHandle item, Kind kind, ViInt32 id, ViInt32* out);
ViStatus SetInt32(IviConfigHandle item, Kind kind, ViInt32 id, ViInt32 value);
ViStatus GetBoolean(IviConfigHandle item, Kind kind, ViInt32 id, ViBoolean* out);
ViStatus SetBoolean(IviConfigHandle item, Kind kind, ViInt32 id, ViBoolean value);
ViStatus GetReal64(IviConfigHandle item, Kind kind, ViInt32 id, ViReal64* out);
ViStatus SetReal64(IviConfigHandle item, Kind kind, ViInt32 id, ViReal64 value);

// Collections.
ViStatus OpenCollection(IviConfigHandle owner, CollectionId id, IviConfigHandle* out);
ViStatus Count(IviConfigHandle collection, Kind item, ViInt32* out);
ViStatus ItemByIndex(IviConfigHandle collection, Kind item, ViInt32 index, IviConfigHandle* out);
ViStatus ItemByName(IviConfigHandle collection, Kind item, ViConstString name, IviConfigHandle* out);

// What a new item is made with besides its name.
struct NewItem {
  ViConstString name = nullptr;
  ViConstString map_to = nullptr;           // virtual names
  ViConstString rc_name = nullptr;          // physical names
  ViConstString api_type = nullptr;         // published APIs
  ViInt32 data_type = 0;                    // data components
  bool value_type_only = false;  // data_type must be Boolean, Integer, Real or String
  IviConfigHandle published_api = nullptr;  // API references
};
ViStatus Create(IviConfigHandle collection, Kind item, const NewItem& what, IviConfigHandle* out);
ViStatus Destroy(IviConfigHandle collection, Kind item, IviConfigHandle target);
// A module's published APIs are references to the store's.
ViStatus AddReference(IviConfigHandle collection, IviConfigHandle api);
ViStatus RemoveReference(IviConfigHandle collection, IviConfigHandle api);

ViStatus GetReference(IviConfigHandle item, ReferenceId id, IviConfigHandle* out);
ViStatus SetReference(IviConfigHandle item, ReferenceId id, IviConfigHandle target);

}  // namespace iviconfig::server
