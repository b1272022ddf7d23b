#include "PluginHost.h"

#include <algorithm>
#include <cstring>

namespace orvane {
namespace {

// Texts reach plug-ins in 1,024-byte buffers; longer ones are cut.
struct CommandBuffer {
    char text[1024];
    explicit CommandBuffer(const std::string& s) {
        const size_t n = std::min(s.size(), sizeof text - 1);
        std::memcpy(text, s.data(), n);
        text[n] = '\0';
    }
};

} // namespace

PluginHost::PluginHost(std::unique_ptr<IPluginLoader> loader) : loader_(std::move(loader)) {}

PluginHost::~PluginHost() { FreeDLL(); }

void PluginHost::FindPlugins(const std::string& pluginFolder) {
    plugins_.clear();
    if (loader_) loader_->Load(*this, pluginFolder);
    state_ = "justcreated";
}

void PluginHost::SendCommandToAll(const std::string& command, const std::string& parameter) {
    if (state_ != "justcreated") return;
    for (size_t i = 0; i < plugins_.size(); ++i) {
        const TPlugins& p = plugins_[i];
        if (!p.hasCommand || !p.Command || !p.initialised) continue;
        CommandBuffer par(parameter), cmd(command);
        p.Command(cmd.text, par.text);
    }
}

void PluginHost::SendGroupToAll(const TRDSGroupRec& group) {
    for (const TPlugins& p : plugins_) {
        if (!p.hasRDSGroup || !p.RDSGroup || !p.initialised) continue;
        const TRDSGroupRec copy = group; // nothing downstream may change what another sees
        p.RDSGroup(&copy);
    }
}

int PluginHost::FindPlugin(const std::string& name) const {
    std::string n = name;
    n.erase(std::remove(n.begin(), n.end(), '&'), n.end());
    for (size_t i = 0; i < plugins_.size(); ++i)
        if (plugins_[i].displayName == n) return static_cast<int>(i);
    return -1;
}

void PluginHost::CommandTo(int index, const std::string& command, const std::string& parameter) {
    if (index < 0 || index >= static_cast<int>(plugins_.size())) return;
    const TPlugins& p = plugins_[static_cast<size_t>(index)];
    if (!p.hasCommand || !p.Command || !p.initialised) return;
    CommandBuffer par(parameter), cmd(command);
    p.Command(cmd.text, par.text);
}

void PluginHost::FreeDLL() {
    if (state_.empty() && plugins_.empty()) return;
    state_ = "exit";
    for (TPlugins& p : plugins_) {
        p.hasRDSGroup = false;
        p.hasCommand = false;
        p.initialised = false;
        if (loader_) {
            try {
                loader_->Unload(p);
            } catch (...) {
            }
        }
    }
}

} // namespace orvane
