/* The data-exchange library (libselvat.so) that the main program and the
 * plug-ins link. Texts are zero-terminated UTF-8; the library neither keeps
 * nor frees what it is given. No function throws; a failure leaves things
 * as they were (a save that cannot write the file writes nothing). */
#ifndef ORVANE_SELVAT_H
#define ORVANE_SELVAT_H

#include <stdint.h>

#include "valuetable.h"

#if defined(__GNUC__)
#define SELVAT_API __attribute__((visibility("default")))
#else
#define SELVAT_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* The Unicode code point to display for an RDS character code; only the low
 * byte of code counts. selector 1 is the display conversion, the only one
 * defined; other selectors give the same result. Codes 128..255 follow the
 * RDS basic character set (code table G0); codes below 128 are returned
 * unchanged. */
SELVAT_API uint32_t CharConv(int32_t code, int32_t selector);

/* Sets key to value in the host's table the way the host itself does:
 * replace, else append, else drop when all 256 entries are in use; both
 * texts cut to 255 bytes. A null key or table does nothing; a null value is
 * the empty text. */
SELVAT_API void AddValue(const char* key, const char* value, TValueTable* hostRef);

/* Store a value under key in section of the ini-format workspace file,
 * keeping everything else in the file. A null file, section or key does
 * nothing; a null text is the empty text. */
SELVAT_API void SaveInteger(const char* file, const char* section, const char* key, int32_t value);
SELVAT_API void SavePChar(const char* file, const char* section, const char* key, const char* text);

/* The host's own pair, around one command to the plug-ins; plug-ins never
 * call them. Between BeginSaveBatch and EndSaveBatch the SaveInteger and
 * SavePChar calls of the calling thread for exactly that file name are held
 * in memory, and LoadInteger and LoadPChar of that thread read the file with
 * them in place; EndSaveBatch writes them in one write onto the file as it
 * is then, unless it holds other data by then, which stays as it is. Saves
 * from other threads and to other files are written at once. Pairs may
 * nest; the outermost EndSaveBatch writes. A null file does nothing. */
SELVAT_API void BeginSaveBatch(const char* file);
SELVAT_API void EndSaveBatch(const char* file);

/* The stored integer (optional "-" and decimal digits, blanks around them
 * aside), or def when the file, section or key is missing or the text is no
 * such integer. */
SELVAT_API int32_t LoadInteger(const char* file, const char* section, const char* key, int32_t def);

/* The stored text in UTF-8 (bytes of the file that are not UTF-8 read as
 * Windows-1252), or def as given (null: the empty text) when it is missing.
 * The result is a copy owned by the library, valid in the calling thread
 * until its next LoadPChar call. */
SELVAT_API const char* LoadPChar(const char* file, const char* section, const char* key,
                                 const char* def);

#ifdef __cplusplus
}
#endif
#endif
