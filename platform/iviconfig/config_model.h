// SPDX-License-Identifier: MIT
// What the configuration server's C interface sees in a store, as data: the
// kinds of item, where each kind's items live in the XML, their properties
// (ID, element, type, default) and their references to other items.
#pragma once

#include <span>

#include "visatype.h"

namespace iviconfig {

enum class Kind {
  Store,
  LogicalName,
  Session,
  DriverSession,
  HardwareAsset,
  SoftwareModule,
  PublishedAPI,
  VirtualName,
  VirtualRange,
  PhysicalName,
  PhysicalRange,
  DataComponent,
  Collection,
  // Not a kind of handle: the hardware assets, sessions and software modules,
  // which share name, description and data components.
  ConfigComponent,
};

const char* KindName(Kind kind);
// Whether an item of kind `actual` may be used where `wanted` is asked for
// (a driver session is a session, every component a configuration component).
bool IsA(Kind actual, Kind wanted);

enum class ValueType { String, Int32, Boolean, Real64 };
const char* ValueTypeName(ValueType type);

struct PropertySpec {
  Kind kind;
  ViInt32 id;
  const char* element;  // child element holding the value; null when computed
  ValueType type;
  const char* fallback;  // the value when the element is absent; null: an error
  bool writable;
};

// The property `id` of an item of kind `kind`, or null.
const PropertySpec* FindProperty(Kind kind, ViInt32 id);

// Where a collection's items are: each (container, element) pair names a
// child element of the owner holding items of that element type. A null
// element accepts any element (data components). Items are created with the
// first pair. A collection of references holds elements whose idref names
// items elsewhere in the store.
struct Place {
  const char* container;
  const char* element;
};
struct CollectionSpec {
  Kind owner;
  Kind item;
  std::span<const Place> places;
  bool references = false;
};

enum class CollectionId {
  StoreLogicalNames,
  StoreSessions,
  StoreDriverSessions,
  StoreHardwareAssets,
  StoreSoftwareModules,
  StorePublishedAPIs,
  ComponentDataComponents,
  SessionVirtualNames,
  VirtualNameRanges,
  ModulePhysicalNames,
  ModulePublishedAPIs,
  PhysicalNameRanges,
  PhysicalNameChildren,
  StructureDataComponents,
};
const CollectionSpec& Collection(CollectionId id);

// A reference from an item to another: a child element carrying the idref of
// the target, named for the element the target is.
struct Link {
  const char* child;
  const char* target;
};
struct ReferenceSpec {
  Kind from;
  Kind to;
  std::span<const Link> links;
  bool optional;  // absent is allowed (no asset)
};
enum class ReferenceId { LogicalNameSession, SessionHardwareAsset, SessionSoftwareModule, APIReferencePublishedAPI };
const ReferenceSpec& Reference(ReferenceId id);
// Every reference, for the check made before an item is destroyed.
std::span<const ReferenceSpec> AllReferences();

// The kind of item an element is, and the element a kind is created as.
Kind KindOfElement(const char* element, Kind in_collection);

// Data components: the element of each type and back.
ViInt32 DataComponentType(const char* element);
const char* DataComponentElement(ViInt32 type);

}  // namespace iviconfig
