#pragma once
// What a test plug-in records; the plug-in exports TestState() to reach it.
#include <orvane/plugin.h>
#include <orvane/valuetable.h>

#include <string>
#include <vector>

struct TestPluginState {
    std::vector<std::string> commands; // "COMMAND parameter"
    std::vector<TRDSGroupRec> groups;
    intptr_t appWindow = 0;
    TValueTable* table = nullptr;
};
