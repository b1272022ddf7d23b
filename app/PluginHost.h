#pragma once
// The host side of the plug-in contract.
#include <orvane/plugin.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace orvane {

struct TPlugins {
    std::string fileName;
    std::string displayName;
    TRDSGroupProc RDSGroup = nullptr;
    TCommandProc Command = nullptr;
    TPluginNameProc PluginName = nullptr;
    bool initialised = false;
    void* module = nullptr;
    intptr_t initializeResult = 0;
    bool hasRDSGroup = false;
    bool hasCommand = false;
    bool hasPluginName = false;
};

class PluginHost;

// Finds and loads the plug-ins of a folder into the host's table.
class IPluginLoader {
public:
    virtual ~IPluginLoader() = default;
    virtual void Load(PluginHost& host, const std::string& pluginFolder) = 0;
    virtual void Unload(TPlugins& plugin) = 0;
};

class PluginHost {
public:
    explicit PluginHost(std::unique_ptr<IPluginLoader> loader = nullptr);
    ~PluginHost();

    void FindPlugins(const std::string& pluginFolder);
    void SendCommandToAll(const std::string& command, const std::string& parameter);
    void SendGroupToAll(const TRDSGroupRec& group);
    void FreeDLL();
    int FindPlugin(const std::string& name) const;
    // Straight to one plug-in, not gated by the host state.
    void CommandTo(int index, const std::string& command, const std::string& parameter);

    const std::string& State() const { return state_; }
    std::vector<TPlugins>& Plugins() { return plugins_; }
    const std::vector<TPlugins>& Plugins() const { return plugins_; }

private:
    std::unique_ptr<IPluginLoader> loader_;
    std::vector<TPlugins> plugins_;
    std::string state_;
};

} // namespace orvane
