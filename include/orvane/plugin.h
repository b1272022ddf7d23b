/* The plug-in contract: a plug-in is a shared library in the program's
 * "plugins" folder that exports any of these four functions by name. */
#ifndef ORVANE_PLUGIN_H
#define ORVANE_PLUGIN_H

#include <stdint.h>
#include <orvane/rdsgroup.h>

#ifdef __cplusplus
extern "C" {
#endif

struct TValueTable;

/* Every group that passes the fan-out; valid only during the call. */
typedef void (*TRDSGroupProc)(const TRDSGroupRec* group);
/* A host command and its parameter; both valid only during the call. */
typedef void (*TCommandProc)(const char* command, const char* parameter);
/* The display name; the host copies it at once. */
typedef const char* (*TPluginNameProc)(void);
/* Called once after loading with the host's main window and the address of
 * the shared value table; the result is kept and never used. */
typedef intptr_t (*TInitializeProc)(intptr_t appWindow, struct TValueTable* hostRef);

#ifdef __cplusplus
}
#endif
#endif
