/* The table of named text values that the main program, the data-exchange
 * library and every plug-in share. Plug-ins receive its address and write
 * into it directly, so its layout is a binary interface: 131,076 bytes,
 * little-endian, no padding.
 *
 * Entries 0 .. Count-1 are in use, in the order their keys were first set;
 * entries beyond the count are never read. Texts are UTF-8, at most 255
 * bytes, cut on a character boundary; keys match exactly (case and length).
 * Count is written by foreign code, so every reader limits it to 0..256. */
#ifndef ORVANE_VALUETABLE_H
#define ORVANE_VALUETABLE_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#define ORVANE_VALUE_TABLE_SIZE 256 /* entries */
#define ORVANE_VALUE_TEXT_MAX 255   /* bytes per key or value */

#pragma pack(push, 1)
/* A length byte, then that many bytes of text (no terminating zero). */
typedef struct TValueText {
    uint8_t Length;
    char Text[ORVANE_VALUE_TEXT_MAX];
} TValueText;

typedef struct TValueEntry {
    TValueText Key;
    TValueText Value;
} TValueEntry;

typedef struct TValueTable {
    int32_t Count; /* entries in use, 0..256 */
    TValueEntry Entries[ORVANE_VALUE_TABLE_SIZE];
} TValueTable;
#pragma pack(pop)

#ifdef __cplusplus
}

#include <cstddef>
static_assert(sizeof(TValueText) == 256);
static_assert(sizeof(TValueEntry) == 512);
static_assert(sizeof(TValueTable) == 131076, "TValueTable is a 131,076-byte record");
static_assert(offsetof(TValueTable, Entries) == 4);
static_assert(offsetof(TValueEntry, Value) == 256);
#endif
#endif
