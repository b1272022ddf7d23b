#pragma once
// The host side of the plug-in contract: finds the libraries in the plugins
// folder, binds their four entry points and passes groups and commands.
#include <orvane/plugin.h>
#include <orvane/valuetable.h>

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

// How libraries are listed, opened and bound; the real one uses dlopen.
class IPluginLoader {
public:
    virtual ~IPluginLoader() = default;
    // The plug-in files of a folder (names without folder), in load order.
    virtual std::vector<std::string> List(const std::string& folder) = 0;
    // Null when the library does not load; error then says why.
    virtual void* Open(const std::string& path, std::string& error) = 0;
    virtual void* Symbol(void* module, const char* name) = 0;
    // The host is done with the library; the real loader keeps its code
    // mapped until the process ends.
    virtual void Close(void* module) = 0;
};

class DlopenPluginLoader final : public IPluginLoader {
public:
    std::vector<std::string> List(const std::string& folder) override;
    void* Open(const std::string& path, std::string& error) override;
    void* Symbol(void* module, const char* name) override;
    void Close(void* module) override;
};

class PluginHost {
public:
    static constexpr const char* kLoadError =
        "Initialization error: Invalid DLL library in the Plugins folder!";

    explicit PluginHost(std::unique_ptr<IPluginLoader> loader = nullptr);
    ~PluginHost();

    // Loads every plug-in of the folder; report receives the status-line
    // message of a plug-in that failed to load or initialise.
    void FindPlugins(const std::string& pluginFolder, intptr_t appWindow, TValueTable* table,
                     const std::function<void(const std::string&)>& report);
    void SendCommandToAll(const std::string& command, const std::string& parameter);
    void SendGroupToAll(const TRDSGroupRec& group);
    // Relays the value table's "COMMAND" to all plug-ins.
    void RelayCommand(TValueTable& table);
    void FreeDLL();
    int FindPlugin(const std::string& name) const;
    // Straight to one plug-in, not gated by the host state.
    void CommandTo(int index, const std::string& command, const std::string& parameter);

    const std::string& State() const { return state_; }
    const std::vector<TPlugins>& Plugins() const { return plugins_; }

    // Display name of a library file: every ".so" removed, in any case.
    static std::string DisplayNameOf(const std::string& fileName);
    // The data-exchange library is never loaded as a plug-in.
    static bool IsExcluded(const std::string& fileName);

private:
    void LoadOne(const std::string& folder, const std::string& file, intptr_t appWindow,
                 TValueTable* table);
    bool NameTaken(const std::string& name, size_t except) const;

    std::unique_ptr<IPluginLoader> loader_;
    std::vector<TPlugins> plugins_;
    std::string state_;
};

} // namespace orvane
