/* The device I/O library (libdravon.so): FM analysers and RDS encoders over
 * a serial port or TCP, in up to 255 device slots of which one is active;
 * every function acts on the active slot. Call it only from the host's GUI
 * thread, after the host has created its QCoreApplication. Texts are
 * zero-terminated; a returned text stays valid until the next function that
 * returns text, and the caller never frees it. No function throws. */
#ifndef ORVANE_DRAVON_H
#define ORVANE_DRAVON_H

#include <stdint.h>

#if defined(__GNUC__)
#define DRAVON_API __attribute__((visibility("default")))
#else
#define DRAVON_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* The record GetArray fills: a count, then the values. */
typedef struct TDeviceArray {
    uint16_t count;
    uint8_t reserved[2];
    float values[1024];
} TDeviceArray;

#ifdef __cplusplus
static_assert(sizeof(TDeviceArray) == 4100, "TDeviceArray is 4100 bytes");
#else
_Static_assert(sizeof(TDeviceArray) == 4100, "TDeviceArray is 4100 bytes");
#endif

/* "1.3". */
DRAVON_API const char* Version(void);
/* Opens the active slot's link: serial at once (false when the port does not
 * open), TCP in the background (true; Connected tells when it is up). */
DRAVON_API bool Connect(void);
/* Closes the link; a TCP link is then not reopened until the next Connect. */
DRAVON_API void Disconnect(void);
/* kind 1 TCP (host, port), any other serial (COM port number); ignored while
 * connected. */
DRAVON_API void ConnectionSetup(uint8_t kind, int32_t comPort, const char* host, int32_t tcpPort);
DRAVON_API int32_t WriteBufferLength(void);
DRAVON_API int32_t ReadBufferLength(void);
/* Queues a command (at most 63 wait); it is sent, paced, by the slot's timer. */
DRAVON_API void WriteCommand(const char* command);
/* The oldest unread reply as key "=" value, or an empty text. */
DRAVON_API const char* ReadResponse(void);
DRAVON_API bool Connected(void);
/* The latest value of a key (exact case), or an empty text. */
DRAVON_API const char* ReadValue(const char* key);
/* Forgets the unread replies and every key. */
DRAVON_API void ClearValues(void);
/* Copies the capture array "MPXScope", "MPXFFT", "IFFFT", "LeftScope" or
 * "RightScope" of the active slot; another name gives count 0. */
DRAVON_API void GetArray(TDeviceArray* destination, const char* name);
/* A plain decimal number after leading blanks, up to the next blank; -1 when
 * it is none. */
DRAVON_API float PCharToFloat(const char* text);
/* A new slot, made active: its index, or -1 when 255 exist. */
DRAVON_API int32_t AddDevice(void);
/* The lowest slot with unread replies, or -1. */
DRAVON_API int32_t CheckDevices(void);
DRAVON_API bool SetDevice(int32_t index);
DRAVON_API int32_t ActiveDevice(void);
DRAVON_API int32_t DeviceCount(void);

#ifdef __cplusplus
}
#endif

#endif
