/* SPDX-License-Identifier: MIT */
/*
 * IviConfigServer.h - the IVI configuration server C interface, reading an XML
 * configuration store in the IVI configuration store format.
 *
 * The store read by IviConfig_Deserialize is the one named by the
 * IVICONFIGSERVERDEFAULT environment variable (property 5 of the store) or,
 * when that is unset, the master store (property 3).
 *
 * Every function returns a ViStatus; on failure the calling thread's last
 * error (code and a text naming the file, and the line for a parse error) is
 * kept until IviConfig_ClearError or the next failure, and read with
 * IviConfig_GetError. Collections are 1-based. Every handle obtained is
 * released with IviConfig_DisposeHandle, or with the store by IviConfig_Close.
 */
#ifndef IVICONFIGSERVER_HEADER
#define IVICONFIGSERVER_HEADER

#include "visatype.h"

#if defined(__GNUC__)
#define IVICONFIG_EXPORT __attribute__((visibility("default")))
#else
#define IVICONFIG_EXPORT
#endif

#ifdef __cplusplus
extern "C" {
#endif

typedef ViUInt32 IviConfigHandle;

/* Status codes */
#define IVICONFIG_ERROR_CANNOT_READ_STORE ((ViStatus)0xBFFA1200L)
#define IVICONFIG_ERROR_NOT_EXIST_SESSION ((ViStatus)0xBFFA1203L)
#define IVICONFIG_ERROR_MASTER_NOT_FOUND ((ViStatus)0xBFFA1206L)
#define IVICONFIG_ERROR_NOT_EXIST ((ViStatus)0xBFFA1207L)
#define IVICONFIG_ERROR_INVALID_PROPERTY ((ViStatus)0xBFFA1208L)
#define IVICONFIG_ERROR_INVALID_HANDLE ((ViStatus)0xBFFA1220L)
#define IVICONFIG_ERROR_NULL_POINTER ((ViStatus)0xBFFA0058L)

/* Configuration store properties */
#define IVICONFIG_VAL_CONFIG_STORE_NAME 1
#define IVICONFIG_VAL_CONFIG_STORE_ACTUAL_LOCATION 2
#define IVICONFIG_VAL_CONFIG_STORE_MASTER_LOCATION 3
#define IVICONFIG_VAL_CONFIG_STORE_PROCESS_DEFAULT_LOCATION 5

/* Properties shared by named items */
#define IVICONFIG_VAL_NAME 1

/* Hardware asset */
#define IVICONFIG_VAL_HARDWARE_ASSET_IO_RESOURCE_DESCRIPTOR 3

/* Driver session */
#define IVICONFIG_VAL_DRIVER_SESSION_CACHE 4
#define IVICONFIG_VAL_DRIVER_SESSION_INTERCHANGE_CHECK 5
#define IVICONFIG_VAL_DRIVER_SESSION_QUERY_INSTR_STATUS 6
#define IVICONFIG_VAL_DRIVER_SESSION_RANGE_CHECK 7
#define IVICONFIG_VAL_DRIVER_SESSION_RECORD_COERCIONS 8
#define IVICONFIG_VAL_DRIVER_SESSION_SIMULATE 9
#define IVICONFIG_VAL_DRIVER_SESSION_DRIVER_SETUP 10

/* Software module */
#define IVICONFIG_VAL_SOFTWARE_MODULE_PREFIX 3
#define IVICONFIG_VAL_SOFTWARE_MODULE_MODULE_PATH 4

/* Data component: name 1, type name 7 ("String", "Integer", "Real", "Boolean",
 * "Structure"), value 9 */
#define IVICONFIG_VAL_DATA_COMPONENT_TYPE 7
#define IVICONFIG_VAL_DATA_COMPONENT_VALUE 9

/* Virtual name: name 1, maps to 2. Virtual range: min 2, max 3, starting index 4 */
#define IVICONFIG_VAL_VIRTUAL_NAME_MAP_TO 2
#define IVICONFIG_VAL_VIRTUAL_RANGE_MIN 2
#define IVICONFIG_VAL_VIRTUAL_RANGE_MAX 3
#define IVICONFIG_VAL_VIRTUAL_RANGE_STARTING_PHYSICAL_INDEX 4

/* Physical name: name 1, repeated capability name 2 */
#define IVICONFIG_VAL_PHYSICAL_NAME_RC_NAME 2

IVICONFIG_EXPORT ViStatus IviConfig_Initialize(IviConfigHandle *Handle);
IVICONFIG_EXPORT ViStatus IviConfig_Close(IviConfigHandle Handle);
IVICONFIG_EXPORT ViStatus IviConfig_Deserialize(IviConfigHandle Handle, ViConstString StoreLocation);
IVICONFIG_EXPORT ViStatus IviConfig_DisposeHandle(IviConfigHandle Handle);
IVICONFIG_EXPORT ViStatus IviConfig_GetError(ViStatus *ErrorCode, ViInt32 BufferSize, ViChar Description[]);
IVICONFIG_EXPORT ViStatus IviConfig_ClearError(void);

IVICONFIG_EXPORT ViStatus IviConfig_GetConfigStorePropertyViString(IviConfigHandle Handle, ViInt32 PropertyID,
                                                                   ViInt32 BufferSize, ViChar Value[]);

/* Looks Name up as a logical name, then as a driver session name (ASCII case ignored). */
IVICONFIG_EXPORT ViStatus IviConfig_GetDriverSession(IviConfigHandle Handle, ViConstString Name,
                                                     IviConfigHandle *Session);
IVICONFIG_EXPORT ViStatus IviConfig_GetDriverSessionPropertyViBoolean(IviConfigHandle Session, ViInt32 PropertyID,
                                                                      ViBoolean *Value);
IVICONFIG_EXPORT ViStatus IviConfig_GetDriverSessionPropertyViString(IviConfigHandle Session, ViInt32 PropertyID,
                                                                     ViInt32 BufferSize, ViChar Value[]);
/* *Asset is 0 when the session has no hardware asset. */
IVICONFIG_EXPORT ViStatus IviConfig_GetSessionHardwareAssetReference(IviConfigHandle Session,
                                                                     IviConfigHandle *Asset);
IVICONFIG_EXPORT ViStatus IviConfig_GetSessionSoftwareModuleReference(IviConfigHandle Session,
                                                                      IviConfigHandle *Module);
IVICONFIG_EXPORT ViStatus IviConfig_GetHardwareAssetPropertyViString(IviConfigHandle Asset, ViInt32 PropertyID,
                                                                     ViInt32 BufferSize, ViChar Value[]);

IVICONFIG_EXPORT ViStatus IviConfig_GetConfigStoreSoftwareModuleCollection(IviConfigHandle Handle,
                                                                           IviConfigHandle *Collection);
IVICONFIG_EXPORT ViStatus IviConfig_GetSoftwareModuleItemByName(IviConfigHandle Collection, ViConstString Name,
                                                                IviConfigHandle *Module);
IVICONFIG_EXPORT ViStatus IviConfig_GetSoftwareModulePropertyViString(IviConfigHandle Module, ViInt32 PropertyID,
                                                                      ViInt32 BufferSize, ViChar Value[]);

/* Data components of a driver session or software module. */
IVICONFIG_EXPORT ViStatus IviConfig_GetConfigComponentDataComponentCollection(IviConfigHandle Component,
                                                                              IviConfigHandle *Collection);
IVICONFIG_EXPORT ViStatus IviConfig_GetStructureDataComponentCollection(IviConfigHandle Structure,
                                                                        IviConfigHandle *Collection);
IVICONFIG_EXPORT ViStatus IviConfig_GetDataComponentCount(IviConfigHandle Collection, ViInt32 *Count);
IVICONFIG_EXPORT ViStatus IviConfig_GetDataComponentItem(IviConfigHandle Collection, ViInt32 Index,
                                                         IviConfigHandle *Item);
IVICONFIG_EXPORT ViStatus IviConfig_GetDataComponentItemByName(IviConfigHandle Collection, ViConstString Name,
                                                               IviConfigHandle *Item);
IVICONFIG_EXPORT ViStatus IviConfig_GetDataComponentPropertyViString(IviConfigHandle Item, ViInt32 PropertyID,
                                                                     ViInt32 BufferSize, ViChar Value[]);
IVICONFIG_EXPORT ViStatus IviConfig_GetDataComponentPropertyViInt32(IviConfigHandle Item, ViInt32 PropertyID,
                                                                    ViInt32 *Value);
IVICONFIG_EXPORT ViStatus IviConfig_GetDataComponentPropertyViReal64(IviConfigHandle Item, ViInt32 PropertyID,
                                                                     ViReal64 *Value);
IVICONFIG_EXPORT ViStatus IviConfig_GetDataComponentPropertyViBoolean(IviConfigHandle Item, ViInt32 PropertyID,
                                                                      ViBoolean *Value);

IVICONFIG_EXPORT ViStatus IviConfig_GetSessionVirtualNameCollection(IviConfigHandle Session,
                                                                    IviConfigHandle *Collection);
IVICONFIG_EXPORT ViStatus IviConfig_GetVirtualNameCount(IviConfigHandle Collection, ViInt32 *Count);
IVICONFIG_EXPORT ViStatus IviConfig_GetVirtualNameItem(IviConfigHandle Collection, ViInt32 Index,
                                                       IviConfigHandle *Item);
IVICONFIG_EXPORT ViStatus IviConfig_GetVirtualNamePropertyViString(IviConfigHandle Item, ViInt32 PropertyID,
                                                                   ViInt32 BufferSize, ViChar Value[]);
IVICONFIG_EXPORT ViStatus IviConfig_GetVirtualNameVirtualRangeCollection(IviConfigHandle Item,
                                                                         IviConfigHandle *Collection);
IVICONFIG_EXPORT ViStatus IviConfig_GetVirtualRangeCount(IviConfigHandle Collection, ViInt32 *Count);
IVICONFIG_EXPORT ViStatus IviConfig_GetVirtualRangeItem(IviConfigHandle Collection, ViInt32 Index,
                                                        IviConfigHandle *Item);
IVICONFIG_EXPORT ViStatus IviConfig_GetVirtualRangePropertyViInt32(IviConfigHandle Item, ViInt32 PropertyID,
                                                                   ViInt32 *Value);

IVICONFIG_EXPORT ViStatus IviConfig_GetSoftwareModulePhysicalNameCollection(IviConfigHandle Module,
                                                                            IviConfigHandle *Collection);
IVICONFIG_EXPORT ViStatus IviConfig_GetPhysicalNameCount(IviConfigHandle Collection, ViInt32 *Count);
IVICONFIG_EXPORT ViStatus IviConfig_GetPhysicalNameItem(IviConfigHandle Collection, ViInt32 Index,
                                                        IviConfigHandle *Item);
IVICONFIG_EXPORT ViStatus IviConfig_GetPhysicalNamePropertyViString(IviConfigHandle Item, ViInt32 PropertyID,
                                                                    ViInt32 BufferSize, ViChar Value[]);

#ifdef __cplusplus
}
#endif

#endif
