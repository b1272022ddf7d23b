// A small plug-in built in several variants; each records what it receives
// so the host tests can read it back through TestState.
#include "TestPluginState.h"

#include <stdexcept>

#define EXPORT extern "C" __attribute__((visibility("default")))

static TestPluginState state;

EXPORT TestPluginState* TestState() { return &state; }

#ifdef TEST_PLUGIN_NAME
EXPORT const char* PluginName() { return TEST_PLUGIN_NAME; }
#endif

EXPORT intptr_t Initialize(intptr_t appWindow, TValueTable* table) {
#ifdef TEST_INIT_THROWS
    throw std::runtime_error("cannot initialise");
#endif
    state.appWindow = appWindow;
    state.table = table;
    return 42;
}

#ifndef TEST_NO_COMMAND
EXPORT void Command(const char* command, const char* parameter) {
    state.commands.push_back(std::string(command) + " " + parameter);
}
#endif

#ifndef TEST_NO_GROUP
EXPORT void RDSGroup(const TRDSGroupRec* group) { state.groups.push_back(*group); }
#endif
