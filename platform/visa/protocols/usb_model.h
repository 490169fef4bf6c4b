// SPDX-License-Identifier: MIT
/* An emulated USB bus: devices a program provides in its own process, which
 * the VISA library lists and opens as it does devices on the real buses. A
 * program (a test, a simulator) provides them by defining and exporting
 *     const struct zevra_usb_model* zevra_usb_model_entry(void);
 * the library looks that symbol up in the process when it first needs USB.
 * Return codes are libusb's: 0, or LIBUSB_ERROR_TIMEOUT (-7), _PIPE (-9, a
 * stalled endpoint), _NO_DEVICE (-4), _IO (-1). A C interface, so the two
 * sides need share nothing but this header. */
#ifndef ZEVRA_USB_MODEL_H
#define ZEVRA_USB_MODEL_H

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#define ZEVRA_USB_MODEL_VERSION 1

struct zevra_usb_model_device_info {
  uint16_t vendor;
  uint16_t product;
  char serial[64];
  uint8_t interface_number;
  uint8_t protocol;          /* 1: USB488 */
  uint16_t max_packet_size;  /* of the bulk endpoints */
  int has_interrupt_in;
};

struct zevra_usb_model {
  int version; /* ZEVRA_USB_MODEL_VERSION */
  size_t (*count)(void);
  int (*info)(size_t index, struct zevra_usb_model_device_info* out);
  /* A handle for the device at `index`, or NULL when it is gone or in use. */
  void* (*open)(size_t index);
  void (*close)(void* device);
  int (*bulk_out)(void* device, const uint8_t* data, size_t size, unsigned timeout_ms);
  /* One transfer: up to `capacity` bytes; fewer end it (a short packet). */
  int (*bulk_in)(void* device, uint8_t* data, size_t capacity, size_t* got, unsigned timeout_ms);
  /* A class request to the interface or an endpoint, data from the device. */
  int (*control_in)(void* device, uint8_t request_type, uint8_t request, uint16_t value, uint16_t index,
                    uint8_t* data, size_t size, size_t* got, unsigned timeout_ms);
  int (*interrupt_in)(void* device, uint8_t* data, size_t capacity, size_t* got, unsigned timeout_ms);
  /* CLEAR_FEATURE(ENDPOINT_HALT) on the bulk-in (nonzero) or bulk-out endpoint. */
  int (*clear_halt)(void* device, int bulk_in);
};

typedef const struct zevra_usb_model* (*zevra_usb_model_entry_fn)(void);

#ifdef __cplusplus
}
#endif

#endif
