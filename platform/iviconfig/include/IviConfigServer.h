/* SPDX-License-Identifier: MIT */
/*
 * IviConfigServer.h - the IVI configuration server C interface (the names,
 * signatures, property IDs, defined values and status codes IVI-3.5
 * publishes), over an XML configuration store.
 *
 * A program starts with IviConfig_Initialize, reads a store with
 * IviConfig_Deserialize (usually the process-default location, property 5 of
 * the store, which is IVICONFIGSERVERDEFAULT unless set, else the master
 * location, property 3), walks it through collections (indexes are 1-based)
 * and references, may edit it with the Create, Destroy and Set functions, and
 * writes it with IviConfig_Serialize. Every handle is released by
 * IviConfig_DisposeHandle, or with its store by IviConfig_Close. A handle of
 * an item destroyed is no longer valid.
 *
 * Every function returns a ViStatus. On failure the calling thread's last
 * error text (naming the file, and the line for a parse error) is kept until
 * IviConfig_ClearError or the next failure and read with IviConfig_GetError.
 * Text is returned with the IVI buffer rules: a BufferSize of 0 returns the
 * size needed; a short buffer gets the text cut short and terminated, and the
 * size needed as the (positive) status. A null pointer argument gives
 * 0xBFFA0058, the IVI null-pointer status.
 */
#ifndef IVICONFIGSERVER_HEADER
#define IVICONFIGSERVER_HEADER

#include "visatype.h"

#if defined(__GNUC__) && !defined(_WIN32)
#define IVICONFIG_EXPORT __attribute__((visibility("default")))
#else
#define IVICONFIG_EXPORT
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Handles: one opaque type, named after what each one holds. */
typedef void *IviConfigHandle;
typedef IviConfigHandle IviConfigStoreHandle;
typedef IviConfigHandle IviConfigComponentHandle;
typedef IviConfigHandle IviLogicalNameHandle;
typedef IviConfigHandle IviLogicalNameCollectionHandle;
typedef IviConfigHandle IviSessionHandle;
typedef IviConfigHandle IviSessionCollectionHandle;
typedef IviConfigHandle IviDriverSessionHandle;
typedef IviConfigHandle IviDriverSessionCollectionHandle;
typedef IviConfigHandle IviHardwareAssetHandle;
typedef IviConfigHandle IviHardwareAssetCollectionHandle;
typedef IviConfigHandle IviSoftwareModuleHandle;
typedef IviConfigHandle IviSoftwareModuleCollectionHandle;
typedef IviConfigHandle IviPublishedAPIHandle;
typedef IviConfigHandle IviPublishedAPICollectionHandle;
typedef IviConfigHandle IviVirtualNameHandle;
typedef IviConfigHandle IviVirtualNameCollectionHandle;
typedef IviConfigHandle IviVirtualRangeHandle;
typedef IviConfigHandle IviVirtualRangeCollectionHandle;
typedef IviConfigHandle IviPhysicalNameHandle;
typedef IviConfigHandle IviPhysicalNameCollectionHandle;
typedef IviConfigHandle IviPhysicalRangeHandle;
typedef IviConfigHandle IviPhysicalRangeCollectionHandle;
typedef IviConfigHandle IviDataComponentHandle;
typedef IviConfigHandle IviDataComponentCollectionHandle;

/* Status codes */
#define IVI_CONFIG_SERVER_ERROR_BASE 0xBFFA1200L
#define IVICONFIG_ERROR_DESERIALIZE_FAILED ((ViStatus)(IVI_CONFIG_SERVER_ERROR_BASE + 0))
#define IVICONFIG_ERROR_ALREADY_DESERIALIZED ((ViStatus)(IVI_CONFIG_SERVER_ERROR_BASE + 1))
#define IVICONFIG_ERROR_SERIALIZE_FAILED ((ViStatus)(IVI_CONFIG_SERVER_ERROR_BASE + 2))
#define IVICONFIG_ERROR_SESSION_NOT_FOUND ((ViStatus)(IVI_CONFIG_SERVER_ERROR_BASE + 3))
#define IVICONFIG_ERROR_NOT_IN_GLOBAL ((ViStatus)(IVI_CONFIG_SERVER_ERROR_BASE + 4))
#define IVICONFIG_ERROR_ALREADY_EXIST ((ViStatus)(IVI_CONFIG_SERVER_ERROR_BASE + 5))
#define IVICONFIG_ERROR_MASTER_NOT_FOUND ((ViStatus)(IVI_CONFIG_SERVER_ERROR_BASE + 6))
#define IVICONFIG_ERROR_NOT_EXIST ((ViStatus)(IVI_CONFIG_SERVER_ERROR_BASE + 7))
#define IVICONFIG_ERROR_INVALID_DATA_COMPONENT ((ViStatus)(IVI_CONFIG_SERVER_ERROR_BASE + 8))
#define IVICONFIG_ERROR_LOCAL_REFERENCE_EXIST ((ViStatus)(IVI_CONFIG_SERVER_ERROR_BASE + 9))
#define IVICONFIG_ERROR_INVALID_HANDLE ((ViStatus)(IVI_CONFIG_SERVER_ERROR_BASE + 32))
#define IVICONFIG_ERROR_INVALID_PROPERTY_ID ((ViStatus)(IVI_CONFIG_SERVER_ERROR_BASE + 33))
#define IVICONFIG_ERROR_NOT_SUPPORTED ((ViStatus)(IVI_CONFIG_SERVER_ERROR_BASE + 34))
#define IVICONFIG_ERROR_MASTER_REGISTRY_CONFLICT ((ViStatus)(IVI_CONFIG_SERVER_ERROR_BASE + 35))
#define IVICONFIG_ERROR_DATA_DIR_REGISTRY_CONFLICT ((ViStatus)(IVI_CONFIG_SERVER_ERROR_BASE + 36))

/* Configuration store properties */
#define IVICONFIG_VAL_CONFIG_STORE_NAME 1L
#define IVICONFIG_VAL_CONFIG_STORE_DESCRIPTION 2L
#define IVICONFIG_VAL_CONFIG_STORE_MASTER_LOCATION 3L
#define IVICONFIG_VAL_CONFIG_STORE_ACTUAL_LOCATION 4L
#define IVICONFIG_VAL_CONFIG_STORE_PROC_DEFAULT_LOCATION 5L
#define IVICONFIG_VAL_CONFIG_STORE_REVISION 6L
#define IVICONFIG_VAL_CONFIG_STORE_VENDOR 7L
#define IVICONFIG_VAL_CONFIG_STORE_SPEC_MAJOR_VERSION 8L
#define IVICONFIG_VAL_CONFIG_STORE_SPEC_MINOR_VERSION 9L

/* Properties of every configuration component: hardware assets, sessions,
 * driver sessions and software modules */
#define IVICONFIG_VAL_CONFIG_COMPONENT_NAME 1L
#define IVICONFIG_VAL_CONFIG_COMPONENT_DESCRIPTION 2L

#define IVICONFIG_VAL_LOGICAL_NAME_NAME 1L
#define IVICONFIG_VAL_LOGICAL_NAME_DESCRIPTION 2L

#define IVICONFIG_VAL_HARDWARE_ASSET_IO_DESCRIPTOR 3L

/* Sessions; driver sessions have these and the ones after */
#define IVICONFIG_VAL_SESSION_SOFTWARE_MODULE_NAME 3L
#define IVICONFIG_VAL_DRIVER_SESSION_CACHE 4L
#define IVICONFIG_VAL_DRIVER_SESSION_INTERCHANGE_CHECK 5L
#define IVICONFIG_VAL_DRIVER_SESSION_QUERY_INSTR_STATUS 6L
#define IVICONFIG_VAL_DRIVER_SESSION_RANGE_CHECK 7L
#define IVICONFIG_VAL_DRIVER_SESSION_RECORD_COERCIONS 8L
#define IVICONFIG_VAL_DRIVER_SESSION_SIMULATE 9L
#define IVICONFIG_VAL_DRIVER_SESSION_DRIVER_SETUP 10L

#define IVICONFIG_VAL_SW_MODULE_PATH 3L
#define IVICONFIG_VAL_SW_MODULE_PREFIX 4L
#define IVICONFIG_VAL_SW_MODULE_PROGID 5L
#define IVICONFIG_VAL_SW_MODULE_SUPPORTED_INSTR_MODELS 6L
#define IVICONFIG_VAL_SW_MODULE_PATH_32 7L
#define IVICONFIG_VAL_SW_MODULE_PATH_64 8L
#define IVICONFIG_VAL_SW_MODULE_ASMBLY_QLFD_CLASS_NAME 9L

#define IVICONFIG_VAL_VIRTUAL_NAME_NAME 1L
#define IVICONFIG_VAL_VIRTUAL_NAME_MAPTO 2L

#define IVICONFIG_VAL_VIRTUAL_RANGE_NAME 1L
#define IVICONFIG_VAL_VIRTUAL_RANGE_MIN 2L
#define IVICONFIG_VAL_VIRTUAL_RANGE_MAX 3L
#define IVICONFIG_VAL_VIRTUAL_RANGE_START_PHYSICAL_INDEX 4L

#define IVICONFIG_VAL_PHYSICAL_NAME_NAME 1L
#define IVICONFIG_VAL_PHYSICAL_NAME_RCNAME 2L

#define IVICONFIG_VAL_PHYSICAL_RANGE_NAME 1L
#define IVICONFIG_VAL_PHYSICAL_RANGE_MIN 2L
#define IVICONFIG_VAL_PHYSICAL_RANGE_MAX 3L

#define IVICONFIG_VAL_PUBLISHED_API_NAME 1L
#define IVICONFIG_VAL_PUBLISHED_API_TYPE 2L
#define IVICONFIG_VAL_PUBLISHED_API_MAJOR_VERSION 3L
#define IVICONFIG_VAL_PUBLISHED_API_MINOR_VERSION 4L

#define IVICONFIG_VAL_DATA_COMPONENT_NAME 1L
#define IVICONFIG_VAL_DATA_COMPONENT_DESCRIPTION 2L
#define IVICONFIG_VAL_DATA_COMPONENT_HELP_CONTEXT_ID 3L
#define IVICONFIG_VAL_DATA_COMPONENT_HELP_FILE_PATH 4L
#define IVICONFIG_VAL_DATA_COMPONENT_READ_ONLY 5L
#define IVICONFIG_VAL_DATA_COMPONENT_SW_MODULE_KEY 6L
#define IVICONFIG_VAL_DATA_COMPONENT_TYPE 7L
#define IVICONFIG_VAL_DATA_COMPONENT_USED_IN_SESSION 8L
#define IVICONFIG_VAL_DATA_COMPONENT_VALUE 9L
#define IVICONFIG_VAL_DATA_COMPONENT_UNITS 10L

/* Data component types (property 7, and IviConfig_CreateDataComponent) */
#define IVICONFIG_VAL_TYPE_BOOLEAN 1L
#define IVICONFIG_VAL_TYPE_INTEGER 2L
#define IVICONFIG_VAL_TYPE_REAL 3L
#define IVICONFIG_VAL_TYPE_STRING 4L
/* The types this server gives the two data components without a value of
 * their own; not values the standard defines. */
#define ZEVRA_IVICONFIG_VAL_TYPE_STRUCTURE 1001L
#define ZEVRA_IVICONFIG_VAL_TYPE_API_REFERENCE 1002L

/* The server, its errors and handles */
IVICONFIG_EXPORT ViStatus _VI_FUNC IviConfig_Initialize(IviConfigStoreHandle *ConfigStoreHandle);
IVICONFIG_EXPORT ViStatus _VI_FUNC IviConfig_ClearError(void);
IVICONFIG_EXPORT ViStatus _VI_FUNC IviConfig_GetError(ViInt32 BufferSize, ViChar ErrorDescription[]);
IVICONFIG_EXPORT ViStatus _VI_FUNC IviConfig_DisposeHandle(IviConfigHandle Handle);
IVICONFIG_EXPORT ViStatus _VI_FUNC IviConfig_Close(IviConfigStoreHandle ConfigStoreHandle);

/* The store */
IVICONFIG_EXPORT ViStatus _VI_FUNC IviConfig_Deserialize(IviConfigStoreHandle ConfigStoreHandle,
                                                         ViConstString Location);
/* Writes the store to Location, replacing the file whole (a failure leaves it as it was). */
IVICONFIG_EXPORT ViStatus _VI_FUNC IviConfig_Serialize(IviConfigStoreHandle ConfigStoreHandle, ViConstString Location);
/* Name is a logical name, else a session name (ASCII case ignored). */
IVICONFIG_EXPORT ViStatus _VI_FUNC IviConfig_GetSession(IviConfigStoreHandle ConfigStoreHandle, ViConstString Name,
                                                        IviSessionHandle *SessionHandle);
IVICONFIG_EXPORT ViStatus _VI_FUNC IviConfig_GetDriverSession(IviConfigStoreHandle ConfigStoreHandle,
                                                              ViConstString Name,
                                                              IviDriverSessionHandle *DriverSessionHandle);
IVICONFIG_EXPORT ViStatus _VI_FUNC IviConfig_GetConfigStorePropertyViString(IviConfigStoreHandle ConfigStoreHandle,
                                                                            ViInt32 PropertyID, ViInt32 BufferSize,
                                                                            ViChar Value[]);
IVICONFIG_EXPORT ViStatus _VI_FUNC IviConfig_SetConfigStorePropertyViString(IviConfigStoreHandle ConfigStoreHandle,
                                                                            ViInt32 PropertyID, ViConstString Value);
IVICONFIG_EXPORT ViStatus _VI_FUNC IviConfig_GetConfigStorePropertyViInt32(IviConfigStoreHandle ConfigStoreHandle,
                                                                           ViInt32 PropertyID, ViInt32 *Value);
IVICONFIG_EXPORT ViStatus _VI_FUNC IviConfig_GetConfigStoreLogicalNameCollection(
    IviConfigStoreHandle ConfigStoreHandle, IviLogicalNameCollectionHandle *LogicalNameCollectionHandle);
IVICONFIG_EXPORT ViStatus _VI_FUNC IviConfig_GetConfigStoreSessionCollection(
    IviConfigStoreHandle ConfigStoreHandle, IviSessionCollectionHandle *SessionCollectionHandle);
IVICONFIG_EXPORT ViStatus _VI_FUNC IviConfig_GetConfigStoreDriverSessionCollection(
    IviConfigStoreHandle ConfigStoreHandle, IviDriverSessionCollectionHandle *DriverSessionCollectionHandle);
IVICONFIG_EXPORT ViStatus _VI_FUNC IviConfig_GetConfigStoreHardwareAssetCollection(
    IviConfigStoreHandle ConfigStoreHandle, IviHardwareAssetCollectionHandle *HardwareAssetCollection);
IVICONFIG_EXPORT ViStatus _VI_FUNC IviConfig_GetConfigStoreSoftwareModuleCollection(
    IviConfigStoreHandle ConfigStoreHandle, IviSoftwareModuleCollectionHandle *SoftwareModuleCollection);
IVICONFIG_EXPORT ViStatus _VI_FUNC IviConfig_GetConfigStorePublishedAPICollection(
    IviConfigStoreHandle ConfigStoreHandle, IviPublishedAPICollectionHandle *PublishedAPICollection);

/* Configuration components (hardware assets, sessions, driver sessions, software modules) */
IVICONFIG_EXPORT ViStatus _VI_FUNC IviConfig_GetConfigComponentDataComponentCollection(
    IviConfigComponentHandle ConfigComponentHandle, IviDataComponentCollectionHandle *DataComponentCollectionHandle);

/*
 * Collections: for each kind of item Get<Item>Count, Get<Item>ItemByIndex,
 * Get<Item>ItemByName (where published), Create<Item>, Destroy<Item> and the
 * item's property accessors.
 */

/* Logical names */
IVICONFIG_EXPORT ViStatus _VI_FUNC IviConfig_GetLogicalNameCount(IviLogicalNameCollectionHandle Collection,
                                                                 ViInt32 *ItemCount);
IVICONFIG_EXPORT ViStatus _VI_FUNC IviConfig_GetLogicalNameItemByIndex(IviLogicalNameCollectionHandle Collection,
                                                                       ViInt32 ItemIndex,
                                                                       IviLogicalNameHandle *LogicalNameHandle);
IVICONFIG_EXPORT ViStatus _VI_FUNC IviConfig_GetLogicalNameItemByName(IviLogicalNameCollectionHandle Collection,
                                                                      ViConstString ItemName,
                                                                      IviLogicalNameHandle *LogicalNameHandle);
IVICONFIG_EXPORT ViStatus _VI_FUNC IviConfig_CreateLogicalName(IviLogicalNameCollectionHandle Collection,
                                                               ViConstString ItemName,
                                                               IviLogicalNameHandle *LogicalNameHandle);
IVICONFIG_EXPORT ViStatus _VI_FUNC IviConfig_DestroyLogicalName(IviLogicalNameCollectionHandle Collection,
                                                                IviLogicalNameHandle LogicalNameHandle);
IVICONFIG_EXPORT ViStatus _VI_FUNC IviConfig_GetLogicalNamePropertyViString(IviLogicalNameHandle LogicalNameHandle,
                                                                            ViInt32 PropertyID, ViInt32 BufferSize,
                                                                            ViChar Value[]);
IVICONFIG_EXPORT ViStatus _VI_FUNC IviConfig_SetLogicalNamePropertyViString(IviLogicalNameHandle LogicalNameHandle,
                                                                            ViInt32 PropertyID, ViConstString Value);
IVICONFIG_EXPORT ViStatus _VI_FUNC IviConfig_GetLogicalNameSessionReference(IviLogicalNameHandle LogicalNameHandle,
                                                                            IviSessionHandle *SessionHandle);
IVICONFIG_EXPORT ViStatus _VI_FUNC IviConfig_SetLogicalNameSessionReference(IviLogicalNameHandle LogicalNameHandle,
                                                                            IviSessionHandle SessionHandle);

/* Sessions (driver sessions are sessions too) */
IVICONFIG_EXPORT ViStatus _VI_FUNC IviConfig_GetSessionCount(IviSessionCollectionHandle Collection, ViInt32 *ItemCount);
IVICONFIG_EXPORT ViStatus _VI_FUNC IviConfig_GetSessionItemByIndex(IviSessionCollectionHandle Collection,
                                                                   ViInt32 ItemIndex, IviSessionHandle *SessionHandle);
IVICONFIG_EXPORT ViStatus _VI_FUNC IviConfig_GetSessionItemByName(IviSessionCollectionHandle Collection,
                                                                  ViConstString ItemName,
                                                                  IviSessionHandle *SessionHandle);
IVICONFIG_EXPORT ViStatus _VI_FUNC IviConfig_CreateSession(IviSessionCollectionHandle Collection,
                                                           ViConstString ItemName, IviSessionHandle *SessionHandle);
IVICONFIG_EXPORT ViStatus _VI_FUNC IviConfig_DestroySession(IviSessionCollectionHandle Collection,
                                                            IviSessionHandle SessionHandle);
IVICONFIG_EXPORT ViStatus _VI_FUNC IviConfig_GetSessionPropertyViString(IviSessionHandle SessionHandle,
                                                                        ViInt32 PropertyID, ViInt32 BufferSize,
                                                                        ViChar Value[]);
IVICONFIG_EXPORT ViStatus _VI_FUNC IviConfig_SetSessionPropertyViString(IviSessionHandle SessionHandle,
                                                                        ViInt32 PropertyID, ViConstString Value);
/* A session without a hardware asset gives a null handle and success. */
IVICONFIG_EXPORT ViStatus _VI_FUNC
IviConfig_GetSessionHardwareAssetReference(IviSessionHandle SessionHandle, IviHardwareAssetHandle *HardwareAssetHandle);
IVICONFIG_EXPORT ViStatus _VI_FUNC
IviConfig_SetSessionHardwareAssetReference(IviSessionHandle SessionHandle, IviHardwareAssetHandle HardwareAssetHandle);
IVICONFIG_EXPORT ViStatus _VI_FUNC IviConfig_GetSessionSoftwareModuleReference(
    IviSessionHandle SessionHandle, IviSoftwareModuleHandle *SoftwareModuleHandle);
IVICONFIG_EXPORT ViStatus _VI_FUNC IviConfig_SetSessionSoftwareModuleReference(
    IviSessionHandle SessionHandle, IviSoftwareModuleHandle SoftwareModuleHandle);
IVICONFIG_EXPORT ViStatus _VI_FUNC IviConfig_GetSessionVirtualNameCollection(
    IviSessionHandle SessionHandle, IviVirtualNameCollectionHandle *VirtualNameCollectionHandle);

/* Driver sessions */
IVICONFIG_EXPORT ViStatus _VI_FUNC IviConfig_GetDriverSessionCount(IviDriverSessionCollectionHandle Collection,
                                                                   ViInt32 *ItemCount);
IVICONFIG_EXPORT ViStatus _VI_FUNC IviConfig_GetDriverSessionItemByIndex(IviDriverSessionCollectionHandle Collection,
                                                                         ViInt32 ItemIndex,
                                                                         IviDriverSessionHandle *DriverSessionHandle);
IVICONFIG_EXPORT ViStatus _VI_FUNC IviConfig_GetDriverSessionItemByName(IviDriverSessionCollectionHandle Collection,
                                                                        ViConstString ItemName,
                                                                        IviDriverSessionHandle *DriverSessionHandle);
IVICONFIG_EXPORT ViStatus _VI_FUNC IviConfig_CreateDriverSession(IviDriverSessionCollectionHandle Collection,
                                                                 ViConstString ItemName,
                                                                 IviDriverSessionHandle *DriverSessionHandle);
IVICONFIG_EXPORT ViStatus _VI_FUNC IviConfig_DestroyDriverSession(IviDriverSessionCollectionHandle Collection,
                                                                  IviDriverSessionHandle DriverSessionHandle);
IVICONFIG_EXPORT ViStatus _VI_FUNC IviConfig_GetDriverSessionPropertyViString(
    IviDriverSessionHandle DriverSessionHandle, ViInt32 PropertyID, ViInt32 BufferSize, ViChar Value[]);
IVICONFIG_EXPORT ViStatus _VI_FUNC IviConfig_SetDriverSessionPropertyViString(
    IviDriverSessionHandle DriverSessionHandle, ViInt32 PropertyID, ViConstString Value);
IVICONFIG_EXPORT ViStatus _VI_FUNC IviConfig_GetDriverSessionPropertyViBoolean(
    IviDriverSessionHandle DriverSessionHandle, ViInt32 PropertyID, ViBoolean *Value);
IVICONFIG_EXPORT ViStatus _VI_FUNC IviConfig_SetDriverSessionPropertyViBoolean(
    IviDriverSessionHandle DriverSessionHandle, ViInt32 PropertyID, ViBoolean Value);

/* Hardware assets */
IVICONFIG_EXPORT ViStatus _VI_FUNC IviConfig_GetHardwareAssetCount(IviHardwareAssetCollectionHandle Collection,
                                                                   ViInt32 *ItemCount);
IVICONFIG_EXPORT ViStatus _VI_FUNC IviConfig_GetHardwareAssetItemByIndex(IviHardwareAssetCollectionHandle Collection,
                                                                         ViInt32 ItemIndex,
                                                                         IviHardwareAssetHandle *HardwareAssetHandle);
IVICONFIG_EXPORT ViStatus _VI_FUNC IviConfig_GetHardwareAssetItemByName(IviHardwareAssetCollectionHandle Collection,
                                                                        ViConstString ItemName,
                                                                        IviHardwareAssetHandle *HardwareAssetHandle);
IVICONFIG_EXPORT ViStatus _VI_FUNC IviConfig_CreateHardwareAsset(IviHardwareAssetCollectionHandle Collection,
                                                                 ViConstString ItemName,
                                                                 IviHardwareAssetHandle *HardwareAssetHandle);
IVICONFIG_EXPORT ViStatus _VI_FUNC IviConfig_DestroyHardwareAsset(IviHardwareAssetCollectionHandle Collection,
                                                                  IviHardwareAssetHandle HardwareAssetHandle);
IVICONFIG_EXPORT ViStatus _VI_FUNC IviConfig_GetHardwareAssetPropertyViString(
    IviHardwareAssetHandle HardwareAssetHandle, ViInt32 PropertyID, ViInt32 BufferSize, ViChar Value[]);
IVICONFIG_EXPORT ViStatus _VI_FUNC IviConfig_SetHardwareAssetPropertyViString(
    IviHardwareAssetHandle HardwareAssetHandle, ViInt32 PropertyID, ViConstString Value);

/* Software modules */
IVICONFIG_EXPORT ViStatus _VI_FUNC IviConfig_GetSoftwareModuleCount(IviSoftwareModuleCollectionHandle Collection,
                                                                    ViInt32 *ItemCount);
IVICONFIG_EXPORT ViStatus _VI_FUNC IviConfig_GetSoftwareModuleItemByIndex(
    IviSoftwareModuleCollectionHandle Collection, ViInt32 ItemIndex, IviSoftwareModuleHandle *SoftwareModuleHandle);
IVICONFIG_EXPORT ViStatus _VI_FUNC IviConfig_GetSoftwareModuleItemByName(IviSoftwareModuleCollectionHandle Collection,
                                                                         ViConstString ItemName,
                                                                         IviSoftwareModuleHandle *SoftwareModuleHandle);
IVICONFIG_EXPORT ViStatus _VI_FUNC IviConfig_CreateSoftwareModule(IviSoftwareModuleCollectionHandle Collection,
                                                                  ViConstString ItemName,
                                                                  IviSoftwareModuleHandle *SoftwareModuleHandle);
IVICONFIG_EXPORT ViStatus _VI_FUNC IviConfig_DestroySoftwareModule(IviSoftwareModuleCollectionHandle Collection,
                                                                   IviSoftwareModuleHandle SoftwareModuleHandle);
IVICONFIG_EXPORT ViStatus _VI_FUNC IviConfig_GetSoftwareModulePropertyViString(
    IviSoftwareModuleHandle SoftwareModuleHandle, ViInt32 PropertyID, ViInt32 BufferSize, ViChar Value[]);
IVICONFIG_EXPORT ViStatus _VI_FUNC IviConfig_SetSoftwareModulePropertyViString(
    IviSoftwareModuleHandle SoftwareModuleHandle, ViInt32 PropertyID, ViConstString Value);
IVICONFIG_EXPORT ViStatus _VI_FUNC IviConfig_GetSoftwareModulePhysicalNameCollection(
    IviSoftwareModuleHandle SoftwareModuleHandle, IviPhysicalNameCollectionHandle *PhysicalNameCollectionHandle);
IVICONFIG_EXPORT ViStatus _VI_FUNC IviConfig_GetSoftwareModulePublishedAPICollection(
    IviSoftwareModuleHandle SoftwareModuleHandle, IviPublishedAPICollectionHandle *PublishedAPICollectionHandle);

/* Virtual names and their ranges */
IVICONFIG_EXPORT ViStatus _VI_FUNC IviConfig_GetVirtualNameCount(IviVirtualNameCollectionHandle Collection,
                                                                 ViInt32 *ItemCount);
IVICONFIG_EXPORT ViStatus _VI_FUNC IviConfig_GetVirtualNameItemByIndex(IviVirtualNameCollectionHandle Collection,
                                                                       ViInt32 ItemIndex,
                                                                       IviVirtualNameHandle *VirtualNameHandle);
IVICONFIG_EXPORT ViStatus _VI_FUNC IviConfig_GetVirtualNameItemByName(IviVirtualNameCollectionHandle Collection,
                                                                      ViConstString ItemName,
                                                                      IviVirtualNameHandle *VirtualNameHandle);
IVICONFIG_EXPORT ViStatus _VI_FUNC IviConfig_CreateVirtualName(IviVirtualNameCollectionHandle Collection,
                                                               ViConstString ItemName, ViConstString MapToName,
                                                               IviVirtualNameHandle *VirtualNameHandle);
IVICONFIG_EXPORT ViStatus _VI_FUNC IviConfig_DestroyVirtualName(IviVirtualNameCollectionHandle Collection,
                                                                IviVirtualNameHandle VirtualNameHandle);
IVICONFIG_EXPORT ViStatus _VI_FUNC IviConfig_GetVirtualNamePropertyViString(IviVirtualNameHandle VirtualNameHandle,
                                                                            ViInt32 PropertyID, ViInt32 BufferSize,
                                                                            ViChar Value[]);
IVICONFIG_EXPORT ViStatus _VI_FUNC IviConfig_SetVirtualNamePropertyViString(IviVirtualNameHandle VirtualNameHandle,
                                                                            ViInt32 PropertyID, ViConstString Value);
IVICONFIG_EXPORT ViStatus _VI_FUNC IviConfig_GetVirtualNameVirtualRangeCollection(
    IviVirtualNameHandle VirtualNameHandle, IviVirtualRangeCollectionHandle *VirtualRangeCollectionHandle);

IVICONFIG_EXPORT ViStatus _VI_FUNC IviConfig_GetVirtualRangeCount(IviVirtualRangeCollectionHandle Collection,
                                                                  ViInt32 *ItemCount);
IVICONFIG_EXPORT ViStatus _VI_FUNC IviConfig_GetVirtualRangeItemByIndex(IviVirtualRangeCollectionHandle Collection,
                                                                        ViInt32 ItemIndex,
                                                                        IviVirtualRangeHandle *VirtualRangeHandle);
IVICONFIG_EXPORT ViStatus _VI_FUNC IviConfig_CreateVirtualRange(IviVirtualRangeCollectionHandle Collection,
                                                                ViConstString ItemName,
                                                                IviVirtualRangeHandle *VirtualRangeHandle);
IVICONFIG_EXPORT ViStatus _VI_FUNC IviConfig_DestroyVirtualRange(IviVirtualRangeCollectionHandle Collection,
                                                                 IviVirtualRangeHandle VirtualRangeHandle);
IVICONFIG_EXPORT ViStatus _VI_FUNC IviConfig_GetVirtualRangePropertyViString(IviVirtualRangeHandle VirtualRangeHandle,
                                                                             ViInt32 PropertyID, ViInt32 BufferSize,
                                                                             ViChar Value[]);
IVICONFIG_EXPORT ViStatus _VI_FUNC IviConfig_SetVirtualRangePropertyViString(IviVirtualRangeHandle VirtualRangeHandle,
                                                                             ViInt32 PropertyID, ViConstString Value);
IVICONFIG_EXPORT ViStatus _VI_FUNC IviConfig_GetVirtualRangePropertyViInt32(IviVirtualRangeHandle VirtualRangeHandle,
                                                                            ViInt32 PropertyID, ViInt32 *Value);
IVICONFIG_EXPORT ViStatus _VI_FUNC IviConfig_SetVirtualRangePropertyViInt32(IviVirtualRangeHandle VirtualRangeHandle,
                                                                            ViInt32 PropertyID, ViInt32 Value);

/* Physical names (which may hold physical names of their own) and their ranges */
IVICONFIG_EXPORT ViStatus _VI_FUNC IviConfig_GetPhysicalNameCount(IviPhysicalNameCollectionHandle Collection,
                                                                  ViInt32 *ItemCount);
IVICONFIG_EXPORT ViStatus _VI_FUNC IviConfig_GetPhysicalNameItemByIndex(IviPhysicalNameCollectionHandle Collection,
                                                                        ViInt32 ItemIndex,
                                                                        IviPhysicalNameHandle *PhysicalNameHandle);
IVICONFIG_EXPORT ViStatus _VI_FUNC IviConfig_GetPhysicalNameItemByName(IviPhysicalNameCollectionHandle Collection,
                                                                       ViConstString ItemName,
                                                                       IviPhysicalNameHandle *PhysicalNameHandle);
IVICONFIG_EXPORT ViStatus _VI_FUNC IviConfig_CreatePhysicalName(IviPhysicalNameCollectionHandle Collection,
                                                                ViConstString ItemName, ViConstString RCName,
                                                                IviPhysicalNameHandle *PhysicalNameHandle);
IVICONFIG_EXPORT ViStatus _VI_FUNC IviConfig_DestroyPhysicalName(IviPhysicalNameCollectionHandle Collection,
                                                                 IviPhysicalNameHandle PhysicalNameHandle);
IVICONFIG_EXPORT ViStatus _VI_FUNC IviConfig_GetPhysicalNamePropertyViString(IviPhysicalNameHandle PhysicalNameHandle,
                                                                             ViInt32 PropertyID, ViInt32 BufferSize,
                                                                             ViChar Value[]);
IVICONFIG_EXPORT ViStatus _VI_FUNC IviConfig_SetPhysicalNamePropertyViString(IviPhysicalNameHandle PhysicalNameHandle,
                                                                             ViInt32 PropertyID, ViConstString Value);
IVICONFIG_EXPORT ViStatus _VI_FUNC IviConfig_GetPhysicalNamePhysicalRangeCollection(
    IviPhysicalNameHandle PhysicalNameHandle, IviPhysicalRangeCollectionHandle *PhysicalRangeCollectionHandle);
IVICONFIG_EXPORT ViStatus _VI_FUNC IviConfig_GetPhysicalNameChildPhysicalNameCollection(
    IviPhysicalNameHandle PhysicalNameHandle, IviPhysicalNameCollectionHandle *ChildPhysicalNameCollectionHandle);

IVICONFIG_EXPORT ViStatus _VI_FUNC IviConfig_GetPhysicalRangeCount(IviPhysicalRangeCollectionHandle Collection,
                                                                   ViInt32 *ItemCount);
IVICONFIG_EXPORT ViStatus _VI_FUNC IviConfig_GetPhysicalRangeItemByIndex(IviPhysicalRangeCollectionHandle Collection,
                                                                         ViInt32 ItemIndex,
                                                                         IviPhysicalRangeHandle *PhysicalRangeHandle);
IVICONFIG_EXPORT ViStatus _VI_FUNC IviConfig_CreatePhysicalRange(IviPhysicalRangeCollectionHandle Collection,
                                                                 ViConstString ItemName,
                                                                 IviPhysicalRangeHandle *PhysicalRangeHandle);
IVICONFIG_EXPORT ViStatus _VI_FUNC IviConfig_DestroyPhysicalRange(IviPhysicalRangeCollectionHandle Collection,
                                                                  IviPhysicalRangeHandle PhysicalRangeHandle);
IVICONFIG_EXPORT ViStatus _VI_FUNC IviConfig_GetPhysicalRangePropertyViString(
    IviPhysicalRangeHandle PhysicalRangeHandle, ViInt32 PropertyID, ViInt32 BufferSize, ViChar Value[]);
IVICONFIG_EXPORT ViStatus _VI_FUNC IviConfig_SetPhysicalRangePropertyViString(
    IviPhysicalRangeHandle PhysicalRangeHandle, ViInt32 PropertyID, ViConstString Value);
IVICONFIG_EXPORT ViStatus _VI_FUNC IviConfig_GetPhysicalRangePropertyViInt32(IviPhysicalRangeHandle PhysicalRangeHandle,
                                                                             ViInt32 PropertyID, ViInt32 *Value);
IVICONFIG_EXPORT ViStatus _VI_FUNC IviConfig_SetPhysicalRangePropertyViInt32(IviPhysicalRangeHandle PhysicalRangeHandle,
                                                                             ViInt32 PropertyID, ViInt32 Value);

/* Published APIs: created in the store's collection; a software module's
 * collection holds references to them (Add/RemovePublishedAPIReference). */
IVICONFIG_EXPORT ViStatus _VI_FUNC IviConfig_GetPublishedAPICount(IviPublishedAPICollectionHandle Collection,
                                                                  ViInt32 *ItemCount);
IVICONFIG_EXPORT ViStatus _VI_FUNC IviConfig_GetPublishedAPIItemByIndex(IviPublishedAPICollectionHandle Collection,
                                                                        ViInt32 ItemIndex,
                                                                        IviPublishedAPIHandle *PublishedAPIHandle);
IVICONFIG_EXPORT ViStatus _VI_FUNC IviConfig_CreatePublishedAPI(IviPublishedAPICollectionHandle Collection,
                                                                ViConstString ItemName, ViConstString PublishedAPIType,
                                                                IviPublishedAPIHandle *PublishedAPIHandle);
IVICONFIG_EXPORT ViStatus _VI_FUNC IviConfig_DestroyPublishedAPI(IviPublishedAPICollectionHandle Collection,
                                                                 IviPublishedAPIHandle PublishedAPIHandle);
IVICONFIG_EXPORT ViStatus _VI_FUNC IviConfig_GetPublishedAPIPropertyViString(IviPublishedAPIHandle PublishedAPIHandle,
                                                                             ViInt32 PropertyID, ViInt32 BufferSize,
                                                                             ViChar Value[]);
IVICONFIG_EXPORT ViStatus _VI_FUNC IviConfig_SetPublishedAPIPropertyViString(IviPublishedAPIHandle PublishedAPIHandle,
                                                                             ViInt32 PropertyID, ViConstString Value);
IVICONFIG_EXPORT ViStatus _VI_FUNC IviConfig_GetPublishedAPIPropertyViInt32(IviPublishedAPIHandle PublishedAPIHandle,
                                                                            ViInt32 PropertyID, ViInt32 *Value);
IVICONFIG_EXPORT ViStatus _VI_FUNC IviConfig_SetPublishedAPIPropertyViInt32(IviPublishedAPIHandle PublishedAPIHandle,
                                                                            ViInt32 PropertyID, ViInt32 Value);
IVICONFIG_EXPORT ViStatus _VI_FUNC IviConfig_AddPublishedAPIReference(IviPublishedAPICollectionHandle Collection,
                                                                      IviPublishedAPIHandle PublishedAPIHandle);
IVICONFIG_EXPORT ViStatus _VI_FUNC IviConfig_RemovePublishedAPIReference(IviPublishedAPICollectionHandle Collection,
                                                                         IviPublishedAPIHandle PublishedAPIHandle);

/* Data components: values, structures of data components, and references to published APIs */
IVICONFIG_EXPORT ViStatus _VI_FUNC IviConfig_GetDataComponentCount(IviDataComponentCollectionHandle Collection,
                                                                   ViInt32 *ItemCount);
IVICONFIG_EXPORT ViStatus _VI_FUNC IviConfig_GetDataComponentItemByIndex(IviDataComponentCollectionHandle Collection,
                                                                         ViInt32 ItemIndex,
                                                                         IviDataComponentHandle *DataComponentHandle);
IVICONFIG_EXPORT ViStatus _VI_FUNC IviConfig_GetDataComponentItemByName(IviDataComponentCollectionHandle Collection,
                                                                        ViConstString ItemName,
                                                                        IviDataComponentHandle *DataComponentHandle);
IVICONFIG_EXPORT ViStatus _VI_FUNC IviConfig_CreateDataComponent(IviDataComponentCollectionHandle Collection,
                                                                 ViInt32 DataComponentType, ViConstString ItemName,
                                                                 IviDataComponentHandle *DataComponentHandle);
IVICONFIG_EXPORT ViStatus _VI_FUNC IviConfig_DestroyDataComponent(IviDataComponentCollectionHandle Collection,
                                                                  IviDataComponentHandle DataComponentHandle);
IVICONFIG_EXPORT ViStatus _VI_FUNC IviConfig_GetDataComponentPropertyViString(
    IviDataComponentHandle DataComponentHandle, ViInt32 PropertyID, ViInt32 BufferSize, ViChar Value[]);
IVICONFIG_EXPORT ViStatus _VI_FUNC IviConfig_SetDataComponentPropertyViString(
    IviDataComponentHandle DataComponentHandle, ViInt32 PropertyID, ViConstString Value);
IVICONFIG_EXPORT ViStatus _VI_FUNC IviConfig_GetDataComponentPropertyViBoolean(
    IviDataComponentHandle DataComponentHandle, ViInt32 PropertyID, ViBoolean *Value);
IVICONFIG_EXPORT ViStatus _VI_FUNC IviConfig_SetDataComponentPropertyViBoolean(
    IviDataComponentHandle DataComponentHandle, ViInt32 PropertyID, ViBoolean Value);
IVICONFIG_EXPORT ViStatus _VI_FUNC IviConfig_GetDataComponentPropertyViInt32(IviDataComponentHandle DataComponentHandle,
                                                                             ViInt32 PropertyID, ViInt32 *Value);
IVICONFIG_EXPORT ViStatus _VI_FUNC IviConfig_SetDataComponentPropertyViInt32(IviDataComponentHandle DataComponentHandle,
                                                                             ViInt32 PropertyID, ViInt32 Value);
IVICONFIG_EXPORT ViStatus _VI_FUNC IviConfig_GetDataComponentPropertyViReal64(
    IviDataComponentHandle DataComponentHandle, ViInt32 PropertyID, ViReal64 *Value);
IVICONFIG_EXPORT ViStatus _VI_FUNC IviConfig_SetDataComponentPropertyViReal64(
    IviDataComponentHandle DataComponentHandle, ViInt32 PropertyID, ViReal64 Value);

/* Creates the structure StructureName in the collection, holding a first data
 * component of NewDataComponentType named NewDataComponentName (none when that
 * name is empty or null). */
IVICONFIG_EXPORT ViStatus _VI_FUNC IviConfig_CreateStructure(IviDataComponentCollectionHandle Collection,
                                                             ViConstString StructureName, ViInt32 NewDataComponentType,
                                                             ViConstString NewDataComponentName,
                                                             IviDataComponentHandle *StructureHandle);
IVICONFIG_EXPORT ViStatus _VI_FUNC IviConfig_GetStructureDataComponentCollection(
    IviDataComponentHandle StructureHandle, IviDataComponentCollectionHandle *DataComponentCollectionHandle);
IVICONFIG_EXPORT ViStatus _VI_FUNC IviConfig_CreateAPIReference(IviDataComponentCollectionHandle Collection,
                                                                ViConstString ItemName,
                                                                IviPublishedAPIHandle PublishedAPIHandle,
                                                                IviDataComponentHandle *APIReferenceHandle);
IVICONFIG_EXPORT ViStatus _VI_FUNC IviConfig_GetAPIReferencePublishedAPIReference(
    IviDataComponentHandle APIReferenceHandle, IviPublishedAPIHandle *PublishedAPIHandle);
IVICONFIG_EXPORT ViStatus _VI_FUNC IviConfig_SetAPIReferencePublishedAPIReference(
    IviDataComponentHandle APIReferenceHandle, IviPublishedAPIHandle PublishedAPIHandle);

#ifdef __cplusplus
}
#endif

#endif
