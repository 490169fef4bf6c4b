/* SPDX-License-Identifier: MIT */
/*
 * A C99 program using the configuration server only through the published
 * names: it builds a store from nothing, writes it, reads it back, edits it,
 * and has the driver open a session through it (where the driver is built:
 * ZEVRA_TEST_DRIVER). Usage: iviconfig_api_test DIR (a scratch directory).
 * Exit status 0 when every check holds.
 */
#define _POSIX_C_SOURCE 200809L /* setenv */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "IviConfigServer.h"
#ifdef ZEVRA_TEST_DRIVER
#include "ZEVRA.h"
#endif

static int failures = 0;

#define CHECK(condition)                                                  \
  do {                                                                    \
    if (!(condition)) {                                                   \
      fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition); \
      ++failures;                                                         \
    }                                                                     \
  } while (0)

/* A call that must succeed; on failure the server's error text is shown. */
#define OK(call)                                                                       \
  do {                                                                                 \
    ViStatus ok_status_ = (call);                                                      \
    if (ok_status_ != VI_SUCCESS) {                                                    \
      char ok_text_[512] = "";                                                         \
      IviConfig_GetError(sizeof ok_text_, ok_text_);                                   \
      fprintf(stderr, "%s:%d: %s gave 0x%08lX: %s\n", __FILE__, __LINE__, #call,       \
              (unsigned long)(ViUInt32)ok_status_, ok_text_);                          \
      ++failures;                                                                      \
    }                                                                                  \
  } while (0)

/* A call that must fail with `code` and an error text containing `words`. */
static void expect_error(const char *what, ViStatus got, ViStatus code, const char *words) {
  char text[512] = "";
  IviConfig_GetError(sizeof text, text);
  if (got != code || strstr(text, words) == NULL) {
    fprintf(stderr, "%s: got 0x%08lX \"%s\", wanted 0x%08lX with \"%s\"\n", what, (unsigned long)(ViUInt32)got, text,
            (unsigned long)(ViUInt32)code, words);
    ++failures;
  }
  IviConfig_ClearError();
}

static void expect_text(const char *what, const char *got, const char *wanted) {
  if (strcmp(got, wanted) != 0) {
    fprintf(stderr, "%s: got \"%s\", wanted \"%s\"\n", what, got, wanted);
    ++failures;
  }
}

static char *read_file(const char *path) {
  FILE *f = fopen(path, "rb");
  long size;
  char *text;
  if (f == NULL) return NULL;
  fseek(f, 0, SEEK_END);
  size = ftell(f);
  fseek(f, 0, SEEK_SET);
  text = (char *)calloc((size_t)size + 1, 1);
  if (text != NULL && fread(text, 1, (size_t)size, f) != (size_t)size) text[0] = '\0';
  fclose(f);
  return text;
}

static void write_file(const char *path, const char *text) {
  FILE *f = fopen(path, "wb");
  if (f == NULL) return;
  fputs(text, f);
  fclose(f);
}

/* Builds a store with every kind of item and writes it to `path`. */
static void build_store(const char *path) {
  IviConfigStoreHandle store = VI_NULL;
  IviSoftwareModuleCollectionHandle modules = VI_NULL;
  IviSoftwareModuleHandle module = VI_NULL;
  IviPhysicalNameCollectionHandle physical = VI_NULL, children = VI_NULL;
  IviPhysicalNameHandle channel = VI_NULL, bank = VI_NULL, sense = VI_NULL;
  IviPhysicalRangeCollectionHandle physical_ranges = VI_NULL;
  IviPhysicalRangeHandle physical_range = VI_NULL;
  IviHardwareAssetCollectionHandle assets = VI_NULL;
  IviHardwareAssetHandle asset = VI_NULL, spare = VI_NULL;
  IviDriverSessionCollectionHandle sessions = VI_NULL;
  IviDriverSessionHandle session = VI_NULL;
  IviVirtualNameCollectionHandle virtual_names = VI_NULL;
  IviVirtualNameHandle virtual_name = VI_NULL, ranged = VI_NULL;
  IviVirtualRangeCollectionHandle virtual_ranges = VI_NULL;
  IviVirtualRangeHandle virtual_range = VI_NULL;
  IviLogicalNameCollectionHandle logical_names = VI_NULL;
  IviLogicalNameHandle logical = VI_NULL, duplicate = VI_NULL;
  IviPublishedAPICollectionHandle apis = VI_NULL, module_apis = VI_NULL;
  IviPublishedAPIHandle api = VI_NULL;
  IviDataComponentCollectionHandle components = VI_NULL, members = VI_NULL;
  IviDataComponentHandle settings = VI_NULL, model = VI_NULL, reference = VI_NULL, member = VI_NULL;
  ViInt32 count = -1;
  char actual[256] = "x";

  OK(IviConfig_Initialize(&store));
  OK(IviConfig_GetConfigStorePropertyViString(store, IVICONFIG_VAL_CONFIG_STORE_ACTUAL_LOCATION, sizeof actual, actual));
  expect_text("actual location before reading", actual, "");
  OK(IviConfig_SetConfigStorePropertyViString(store, IVICONFIG_VAL_CONFIG_STORE_DESCRIPTION, "Bench store"));

  OK(IviConfig_GetConfigStoreSoftwareModuleCollection(store, &modules));
  OK(IviConfig_CreateSoftwareModule(modules, "ZEVRA", &module));
  OK(IviConfig_SetSoftwareModulePropertyViString(module, IVICONFIG_VAL_SW_MODULE_PREFIX, "ZEVRA"));
  OK(IviConfig_SetSoftwareModulePropertyViString(module, IVICONFIG_VAL_SW_MODULE_PATH, "libZEVRA_64.so"));
  OK(IviConfig_SetSoftwareModulePropertyViString(module, IVICONFIG_VAL_SW_MODULE_SUPPORTED_INSTR_MODELS,
                                                 "QDX7000,QDX7001"));
  OK(IviConfig_GetSoftwareModulePhysicalNameCollection(module, &physical));
  OK(IviConfig_CreatePhysicalName(physical, "CH1", "OutputChannel", &channel));
  OK(IviConfig_CreatePhysicalName(physical, "Bank", "Bank", &bank));
  OK(IviConfig_GetPhysicalNameChildPhysicalNameCollection(bank, &children));
  OK(IviConfig_CreatePhysicalName(children, "Sense", "SenseChannel", &sense));
  OK(IviConfig_GetPhysicalNamePhysicalRangeCollection(bank, &physical_ranges));
  OK(IviConfig_CreatePhysicalRange(physical_ranges, "Cells", &physical_range));
  OK(IviConfig_SetPhysicalRangePropertyViInt32(physical_range, IVICONFIG_VAL_PHYSICAL_RANGE_MIN, 1));
  OK(IviConfig_SetPhysicalRangePropertyViInt32(physical_range, IVICONFIG_VAL_PHYSICAL_RANGE_MAX, 4));

  OK(IviConfig_GetConfigStorePublishedAPICollection(store, &apis));
  OK(IviConfig_CreatePublishedAPI(apis, "IviDCPwr", "IVI-C", &api));
  OK(IviConfig_SetPublishedAPIPropertyViInt32(api, IVICONFIG_VAL_PUBLISHED_API_MAJOR_VERSION, 3));
  OK(IviConfig_GetSoftwareModulePublishedAPICollection(module, &module_apis));
  OK(IviConfig_AddPublishedAPIReference(module_apis, api));
  expect_error("a reference added twice", IviConfig_AddPublishedAPIReference(module_apis, api),
               IVICONFIG_ERROR_ALREADY_EXIST, "IviDCPwr");
  expect_error("destroying an API a module refers to", IviConfig_DestroyPublishedAPI(apis, api),
               IVICONFIG_ERROR_LOCAL_REFERENCE_EXIST, "IviSoftwareModule 'ZEVRA'");
  OK(IviConfig_RemovePublishedAPIReference(module_apis, api));
  OK(IviConfig_GetPublishedAPICount(module_apis, &count));
  CHECK(count == 0);
  expect_error("a reference removed twice", IviConfig_RemovePublishedAPIReference(module_apis, api),
               IVICONFIG_ERROR_NOT_EXIST, "does not refer");
  OK(IviConfig_AddPublishedAPIReference(module_apis, api));

  OK(IviConfig_GetConfigStoreHardwareAssetCollection(store, &assets));
  OK(IviConfig_CreateHardwareAsset(assets, "Supply1", &asset));
  OK(IviConfig_SetHardwareAssetPropertyViString(asset, IVICONFIG_VAL_HARDWARE_ASSET_IO_DESCRIPTOR,
                                                "TCPIP0::192.0.2.10::5025::SOCKET"));
  OK(IviConfig_CreateHardwareAsset(assets, "Spare", &spare));
  expect_error("an asset created twice", IviConfig_CreateHardwareAsset(assets, "supply1", &spare),
               IVICONFIG_ERROR_ALREADY_EXIST, "supply1");

  OK(IviConfig_GetConfigStoreDriverSessionCollection(store, &sessions));
  OK(IviConfig_CreateDriverSession(sessions, "BenchSession", &session));
  OK(IviConfig_SetSessionHardwareAssetReference(session, spare));
  OK(IviConfig_SetSessionHardwareAssetReference(session, VI_NULL)); /* no asset: allowed */
  OK(IviConfig_SetSessionHardwareAssetReference(session, asset));
  OK(IviConfig_SetSessionSoftwareModuleReference(session, module));
  OK(IviConfig_SetDriverSessionPropertyViBoolean(session, IVICONFIG_VAL_DRIVER_SESSION_SIMULATE, VI_TRUE));
  OK(IviConfig_SetDriverSessionPropertyViBoolean(session, IVICONFIG_VAL_DRIVER_SESSION_RANGE_CHECK, VI_FALSE));
  OK(IviConfig_SetDriverSessionPropertyViString(session, IVICONFIG_VAL_DRIVER_SESSION_DRIVER_SETUP, "Model=QDX7001"));
  OK(IviConfig_GetSessionVirtualNameCollection(session, &virtual_names));
  OK(IviConfig_CreateVirtualName(virtual_names, "Main", "CH1", &virtual_name));
  OK(IviConfig_CreateVirtualName(virtual_names, "Out", "CH", &ranged));
  OK(IviConfig_GetVirtualNameVirtualRangeCollection(ranged, &virtual_ranges));
  OK(IviConfig_CreateVirtualRange(virtual_ranges, "", &virtual_range));
  OK(IviConfig_SetVirtualRangePropertyViInt32(virtual_range, IVICONFIG_VAL_VIRTUAL_RANGE_MIN, 1));
  OK(IviConfig_SetVirtualRangePropertyViInt32(virtual_range, IVICONFIG_VAL_VIRTUAL_RANGE_MAX, 2));
  OK(IviConfig_SetVirtualRangePropertyViInt32(virtual_range, IVICONFIG_VAL_VIRTUAL_RANGE_START_PHYSICAL_INDEX, 1));

  OK(IviConfig_GetConfigComponentDataComponentCollection(session, &components));
  OK(IviConfig_CreateStructure(components, "Configurable Initial Settings", IVICONFIG_VAL_TYPE_STRING, "model",
                               &settings));
  OK(IviConfig_GetStructureDataComponentCollection(settings, &members));
  OK(IviConfig_GetDataComponentItemByName(members, "MODEL", &model));
  OK(IviConfig_SetDataComponentPropertyViString(model, IVICONFIG_VAL_DATA_COMPONENT_VALUE, "QDX7001"));
  OK(IviConfig_CreateDataComponent(members, IVICONFIG_VAL_TYPE_REAL, "settle", &member));
  OK(IviConfig_SetDataComponentPropertyViReal64(member, IVICONFIG_VAL_DATA_COMPONENT_VALUE, 0.25));
  OK(IviConfig_SetDataComponentPropertyViString(member, IVICONFIG_VAL_DATA_COMPONENT_UNITS, "s"));
  OK(IviConfig_CreateAPIReference(components, "Class", api, &reference));
  expect_error("a sixth data component type", IviConfig_CreateDataComponent(members, 6, "x", &member),
               IVICONFIG_ERROR_INVALID_DATA_COMPONENT, "6");

  OK(IviConfig_GetConfigStoreLogicalNameCollection(store, &logical_names));
  OK(IviConfig_CreateLogicalName(logical_names, "Bench", &logical));
  OK(IviConfig_SetLogicalNameSessionReference(logical, session));
  OK(IviConfig_CreateLogicalName(logical_names, "Other", &duplicate));
  expect_error("renaming onto a taken name",
               IviConfig_SetLogicalNamePropertyViString(duplicate, IVICONFIG_VAL_LOGICAL_NAME_NAME, "bench"),
               IVICONFIG_ERROR_ALREADY_EXIST, "bench");

  /* Destroying what is referred to is refused; what is not goes, with its handle. */
  expect_error("destroying a referenced asset", IviConfig_DestroyHardwareAsset(assets, asset),
               IVICONFIG_ERROR_LOCAL_REFERENCE_EXIST, "BenchSession");
  OK(IviConfig_DestroyHardwareAsset(assets, spare));
  expect_error("a destroyed item's handle", IviConfig_DisposeHandle(spare), IVICONFIG_ERROR_INVALID_HANDLE, "");
  OK(IviConfig_DestroyLogicalName(logical_names, duplicate));
  OK(IviConfig_GetHardwareAssetCount(assets, &count));
  CHECK(count == 1);

  OK(IviConfig_Serialize(store, path));
  OK(IviConfig_Close(store));
  expect_error("a closed store's items", IviConfig_DisposeHandle(module), IVICONFIG_ERROR_INVALID_HANDLE, "");
}

/* Reads the store back through a new handle, checking every value written. */
static void read_store(const char *path) {
  IviConfigStoreHandle store = VI_NULL;
  IviDriverSessionHandle session = VI_NULL;
  IviSessionHandle plain = VI_NULL;
  IviHardwareAssetHandle asset = VI_NULL;
  IviSoftwareModuleHandle module = VI_NULL;
  IviPhysicalNameCollectionHandle physical = VI_NULL, children = VI_NULL;
  IviPhysicalNameHandle bank = VI_NULL, sense = VI_NULL;
  IviPhysicalRangeCollectionHandle physical_ranges = VI_NULL;
  IviPhysicalRangeHandle physical_range = VI_NULL;
  IviVirtualNameCollectionHandle virtual_names = VI_NULL;
  IviVirtualNameHandle ranged = VI_NULL;
  IviVirtualRangeCollectionHandle virtual_ranges = VI_NULL;
  IviVirtualRangeHandle virtual_range = VI_NULL;
  IviPublishedAPICollectionHandle module_apis = VI_NULL;
  IviPublishedAPIHandle api = VI_NULL, referenced = VI_NULL;
  IviDataComponentCollectionHandle components = VI_NULL, members = VI_NULL;
  IviDataComponentHandle settings = VI_NULL, member = VI_NULL, reference = VI_NULL;
  ViBoolean flag = VI_FALSE;
  ViInt32 number = -1;
  ViReal64 real = 0;
  char text[256] = "";
  char tiny[4] = "";

  OK(IviConfig_Initialize(&store));
  OK(IviConfig_Deserialize(store, path));
  expect_error("reading twice into one handle", IviConfig_Deserialize(store, path),
               IVICONFIG_ERROR_ALREADY_DESERIALIZED, path);
  OK(IviConfig_GetConfigStorePropertyViString(store, IVICONFIG_VAL_CONFIG_STORE_ACTUAL_LOCATION, sizeof text, text));
  expect_text("actual location", text, path);
  OK(IviConfig_GetConfigStorePropertyViString(store, IVICONFIG_VAL_CONFIG_STORE_DESCRIPTION, sizeof text, text));
  expect_text("store description", text, "Bench store");
  expect_error("a read-only store property",
               IviConfig_SetConfigStorePropertyViString(store, IVICONFIG_VAL_CONFIG_STORE_MASTER_LOCATION, "/x"),
               IVICONFIG_ERROR_NOT_SUPPORTED, "cannot be set");

  /* The logical name leads to the driver session, case ignored. */
  OK(IviConfig_GetDriverSession(store, "BENCH", &session));
  OK(IviConfig_GetSession(store, "BenchSession", &plain));
  OK(IviConfig_GetSessionPropertyViString(plain, IVICONFIG_VAL_SESSION_SOFTWARE_MODULE_NAME, sizeof text, text));
  expect_text("session's software module", text, "ZEVRA");
  expect_error("no such session", IviConfig_GetDriverSession(store, "Nowhere", &plain),
               IVICONFIG_ERROR_SESSION_NOT_FOUND, "Nowhere");
  OK(IviConfig_GetDriverSessionPropertyViBoolean(session, IVICONFIG_VAL_DRIVER_SESSION_SIMULATE, &flag));
  CHECK(flag == VI_TRUE);
  OK(IviConfig_GetDriverSessionPropertyViBoolean(session, IVICONFIG_VAL_DRIVER_SESSION_RANGE_CHECK, &flag));
  CHECK(flag == VI_FALSE);
  OK(IviConfig_GetDriverSessionPropertyViBoolean(session, IVICONFIG_VAL_DRIVER_SESSION_CACHE, &flag));
  CHECK(flag == VI_TRUE); /* never written: the IVI default */
  OK(IviConfig_GetDriverSessionPropertyViString(session, IVICONFIG_VAL_DRIVER_SESSION_DRIVER_SETUP, sizeof text,
                                                text));
  expect_text("driver setup", text, "Model=QDX7001");
  expect_error("a property of another type",
               IviConfig_GetDriverSessionPropertyViString(session, IVICONFIG_VAL_DRIVER_SESSION_CACHE, sizeof text,
                                                          text),
               IVICONFIG_ERROR_INVALID_PROPERTY_ID, "ViBoolean");
  expect_error("an unknown property", IviConfig_GetDriverSessionPropertyViBoolean(session, 99, &flag),
               IVICONFIG_ERROR_INVALID_PROPERTY_ID, "99");
  expect_error("a handle of the wrong kind",
               IviConfig_GetHardwareAssetPropertyViString(session, IVICONFIG_VAL_HARDWARE_ASSET_IO_DESCRIPTOR,
                                                          sizeof text, text),
               IVICONFIG_ERROR_INVALID_HANDLE, "hardware asset");

  OK(IviConfig_GetSessionHardwareAssetReference(session, &asset));
  OK(IviConfig_GetHardwareAssetPropertyViString(asset, IVICONFIG_VAL_HARDWARE_ASSET_IO_DESCRIPTOR, sizeof text, text));
  expect_text("IO descriptor", text, "TCPIP0::192.0.2.10::5025::SOCKET");
  /* The IVI buffer rules: size 0 asks the size, a short buffer is cut and terminated. */
  CHECK(IviConfig_GetHardwareAssetPropertyViString(asset, IVICONFIG_VAL_HARDWARE_ASSET_IO_DESCRIPTOR, 0, VI_NULL) ==
        33);
  CHECK(IviConfig_GetHardwareAssetPropertyViString(asset, IVICONFIG_VAL_HARDWARE_ASSET_IO_DESCRIPTOR, sizeof tiny,
                                                   tiny) == 33);
  expect_text("short buffer", tiny, "TCP");

  OK(IviConfig_GetSessionSoftwareModuleReference(session, &module));
  OK(IviConfig_GetSoftwareModulePropertyViString(module, IVICONFIG_VAL_SW_MODULE_PATH, sizeof text, text));
  expect_text("module path (property 3)", text, "libZEVRA_64.so");
  OK(IviConfig_GetSoftwareModulePropertyViString(module, IVICONFIG_VAL_SW_MODULE_PREFIX, sizeof text, text));
  expect_text("module prefix (property 4)", text, "ZEVRA");
  OK(IviConfig_GetSoftwareModulePhysicalNameCollection(module, &physical));
  OK(IviConfig_GetPhysicalNameCount(physical, &number));
  CHECK(number == 2);
  OK(IviConfig_GetPhysicalNameItemByIndex(physical, 2, &bank));
  OK(IviConfig_GetPhysicalNamePropertyViString(bank, IVICONFIG_VAL_PHYSICAL_NAME_RCNAME, sizeof text, text));
  expect_text("physical name's repeated capability", text, "Bank");
  expect_error("index 0", IviConfig_GetPhysicalNameItemByIndex(physical, 0, &bank), IVICONFIG_ERROR_NOT_EXIST,
               "index 0");
  OK(IviConfig_GetPhysicalNameChildPhysicalNameCollection(bank, &children));
  OK(IviConfig_GetPhysicalNameItemByName(children, "sense", &sense));
  OK(IviConfig_GetPhysicalNamePhysicalRangeCollection(bank, &physical_ranges));
  OK(IviConfig_GetPhysicalRangeItemByIndex(physical_ranges, 1, &physical_range));
  OK(IviConfig_GetPhysicalRangePropertyViInt32(physical_range, IVICONFIG_VAL_PHYSICAL_RANGE_MAX, &number));
  CHECK(number == 4);

  OK(IviConfig_GetSoftwareModulePublishedAPICollection(module, &module_apis));
  OK(IviConfig_GetPublishedAPICount(module_apis, &number));
  CHECK(number == 1);
  OK(IviConfig_GetPublishedAPIItemByIndex(module_apis, 1, &api));
  OK(IviConfig_GetPublishedAPIPropertyViString(api, IVICONFIG_VAL_PUBLISHED_API_TYPE, sizeof text, text));
  expect_text("published API type", text, "IVI-C");
  OK(IviConfig_GetPublishedAPIPropertyViInt32(api, IVICONFIG_VAL_PUBLISHED_API_MAJOR_VERSION, &number));
  CHECK(number == 3);

  OK(IviConfig_GetSessionVirtualNameCollection(session, &virtual_names));
  OK(IviConfig_GetVirtualNameItemByName(virtual_names, "Out", &ranged));
  OK(IviConfig_GetVirtualNamePropertyViString(ranged, IVICONFIG_VAL_VIRTUAL_NAME_MAPTO, sizeof text, text));
  expect_text("virtual name maps to", text, "CH");
  OK(IviConfig_GetVirtualNameVirtualRangeCollection(ranged, &virtual_ranges));
  OK(IviConfig_GetVirtualRangeItemByIndex(virtual_ranges, 1, &virtual_range));
  OK(IviConfig_GetVirtualRangePropertyViInt32(virtual_range, IVICONFIG_VAL_VIRTUAL_RANGE_MAX, &number));
  CHECK(number == 2);

  OK(IviConfig_GetConfigComponentDataComponentCollection(session, &components));
  OK(IviConfig_GetDataComponentItemByName(components, "Configurable Initial Settings", &settings));
  OK(IviConfig_GetDataComponentPropertyViInt32(settings, IVICONFIG_VAL_DATA_COMPONENT_TYPE, &number));
  CHECK(number == ZEVRA_IVICONFIG_VAL_TYPE_STRUCTURE);
  OK(IviConfig_GetStructureDataComponentCollection(settings, &members));
  OK(IviConfig_GetDataComponentItemByIndex(members, 2, &member));
  OK(IviConfig_GetDataComponentPropertyViInt32(member, IVICONFIG_VAL_DATA_COMPONENT_TYPE, &number));
  CHECK(number == IVICONFIG_VAL_TYPE_REAL);
  OK(IviConfig_GetDataComponentPropertyViReal64(member, IVICONFIG_VAL_DATA_COMPONENT_VALUE, &real));
  CHECK(real == 0.25);
  OK(IviConfig_GetDataComponentPropertyViString(member, IVICONFIG_VAL_DATA_COMPONENT_UNITS, sizeof text, text));
  expect_text("units", text, "s");
  expect_error("a real read as text",
               IviConfig_GetDataComponentPropertyViString(member, IVICONFIG_VAL_DATA_COMPONENT_VALUE, sizeof text, text),
               IVICONFIG_ERROR_INVALID_PROPERTY_ID, "ViReal64");
  OK(IviConfig_GetDataComponentItemByName(components, "Class", &reference));
  OK(IviConfig_GetAPIReferencePublishedAPIReference(reference, &referenced));
  OK(IviConfig_GetPublishedAPIPropertyViString(referenced, IVICONFIG_VAL_PUBLISHED_API_NAME, sizeof text, text));
  expect_text("API reference", text, "IviDCPwr");

  OK(IviConfig_Close(store));
}

int main(int argc, char **argv) {
  char store_path[1024], copy_path[1024], edited_path[1024];
  char *original, *copy, *edited;
  IviConfigStoreHandle store = VI_NULL;
  IviLogicalNameCollectionHandle logical_names = VI_NULL;
  IviLogicalNameHandle logical = VI_NULL;
  if (argc != 2) {
    fprintf(stderr, "usage: iviconfig_api_test DIR\n");
    return 2;
  }
  snprintf(store_path, sizeof store_path, "%s/built.xml", argv[1]);
  snprintf(copy_path, sizeof copy_path, "%s/copy.xml", argv[1]);
  snprintf(edited_path, sizeof edited_path, "%s/edited.xml", argv[1]);

  build_store(store_path);
  read_store(store_path);

  /* A store read and written unchanged is the same file; an edit changes its
   * own line only, comments and layout kept. */
  write_file(store_path,
             "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
             "<IviConfigStore>\n"
             "    <!-- the bench in room 2 -->\n"
             "    <LogicalNames>\n"
             "        <IviLogicalName><Name>Bench</Name><Description>old</Description></IviLogicalName>\n"
             "    </LogicalNames>\n"
             "</IviConfigStore>\n");
  OK(IviConfig_Initialize(&store));
  OK(IviConfig_Deserialize(store, store_path));
  OK(IviConfig_Serialize(store, copy_path));
  OK(IviConfig_GetConfigStoreLogicalNameCollection(store, &logical_names));
  OK(IviConfig_GetLogicalNameItemByIndex(logical_names, 1, &logical));
  OK(IviConfig_SetLogicalNamePropertyViString(logical, IVICONFIG_VAL_LOGICAL_NAME_DESCRIPTION, "new"));
  OK(IviConfig_Serialize(store, edited_path));
  expect_error("writing where no file can be",
               IviConfig_Serialize(store, "/nonexistent-dir/zevra/store.xml"), IVICONFIG_ERROR_SERIALIZE_FAILED,
               "/nonexistent-dir/zevra");
  OK(IviConfig_Close(store));
  original = read_file(store_path);
  copy = read_file(copy_path);
  edited = read_file(edited_path);
  CHECK(original != NULL && copy != NULL && edited != NULL);
  if (original != NULL && copy != NULL && edited != NULL) {
    expect_text("unchanged store written", copy, original);
    expect_text("edited store written", edited,
                "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                "<IviConfigStore>\n"
                "    <!-- the bench in room 2 -->\n"
                "    <LogicalNames>\n"
                "        <IviLogicalName><Name>Bench</Name><Description>new</Description></IviLogicalName>\n"
                "    </LogicalNames>\n"
                "</IviConfigStore>\n");
  }
  free(original);
  free(copy);
  free(edited);

  {
    /* The master store is where this machine's IVI installation keeps it; the
     * test script arranges each case and names the place it must be. */
    const char *expected = getenv("ZEVRA_TEST_MASTER_LOCATION");
    char location[1024] = "";
    if (expected != NULL) {
      OK(IviConfig_Initialize(&store));
      OK(IviConfig_GetConfigStorePropertyViString(store, IVICONFIG_VAL_CONFIG_STORE_MASTER_LOCATION, sizeof location,
                                                  location));
      expect_text("master location", location, expected);
      OK(IviConfig_Close(store));
    }
  }

#ifdef ZEVRA_TEST_DRIVER
  {
    /* The driver opens a logical name of a store this program built. */
    ViSession vi = VI_NULL;
    ViChar model[64] = "";
    ViStatus status;
    build_store(store_path);
    setenv("IVICONFIGSERVERDEFAULT", store_path, 1);
    status = ZEVRA_InitWithOptions((ViRsrc) "Bench", VI_FALSE, VI_FALSE, "", &vi);
    CHECK(status == VI_SUCCESS);
    if (status == VI_SUCCESS) {
      OK(ZEVRA_GetAttributeViString(vi, "", ZEVRA_ATTR_INSTRUMENT_MODEL, sizeof model, model));
      expect_text("model from the store's initial settings", model, "QDX7001");
      ZEVRA_close(vi);
    }
  }
#endif

  if (failures != 0) fprintf(stderr, "%d check(s) failed\n", failures);
  return failures == 0 ? 0 : 1;
}
