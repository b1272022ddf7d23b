#include "PluginHost.h"

#include "ValueTable.h"

#include <orvane/selvat.h>

#include <QString>

#include <algorithm>
#include <cstring>
#include <dlfcn.h>
#include <filesystem>
#include <stdexcept>

namespace orvane {
namespace {

// Texts reach plug-ins in 1,024-byte buffers; longer ones are cut on a
// character boundary.
struct CommandBuffer {
    char text[1024];
    explicit CommandBuffer(const std::string& s) {
        const std::string_view cut = CutUtf8(s, sizeof text - 1);
        std::memcpy(text, cut.data(), cut.size());
        text[cut.size()] = '\0';
    }
};

std::string Lower(const std::string& s) {
    return QString::fromStdString(s).toLower().toStdString();
}

bool EndsWithSo(const std::string& name) {
    return name.size() > 3 && Lower(name.substr(name.size() - 3)) == ".so";
}

// While plug-ins answer "SAVEWORKSPACE" (in any case, as they compare it),
// the data-exchange library holds their saves into the named file and
// writes it once when the command has returned, not once per value. Closed
// on every way out of the call.
class WorkspaceSaveBatch {
public:
    WorkspaceSaveBatch(const std::string& command, const std::string& parameter) {
        if (parameter.empty() || QString::fromStdString(command).toUpper() != "SAVEWORKSPACE") return;
        // The name exactly as the plug-ins receive it.
        file_ = CommandBuffer(parameter).text;
        BeginSaveBatch(file_.c_str());
    }
    ~WorkspaceSaveBatch() {
        if (!file_.empty()) EndSaveBatch(file_.c_str());
    }
    WorkspaceSaveBatch(const WorkspaceSaveBatch&) = delete;
    WorkspaceSaveBatch& operator=(const WorkspaceSaveBatch&) = delete;

private:
    std::string file_;
};

} // namespace

// Loader ----------------------------------------------------------------------------

std::vector<std::string> DlopenPluginLoader::List(const std::string& folder) {
    std::vector<std::string> files;
    std::error_code ec;
    for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        std::error_code fec;
        if (EndsWithSo(name) && it->is_regular_file(fec)) files.push_back(name);
    }
    std::sort(files.begin(), files.end(), [](const std::string& a, const std::string& b) {
        const int c = QString::fromStdString(a).compare(QString::fromStdString(b), Qt::CaseInsensitive);
        return c != 0 ? c < 0 : a < b;
    });
    return files;
}

void* DlopenPluginLoader::Open(const std::string& path, std::string& error) {
    // Closing never unmaps the code: objects a plug-in left behind (a timer on
    // the application, a widget on the main window) run it until they go,
    // and they go with the application, after the plug-ins were freed.
    void* module = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
    if (!module) {
        const char* e = dlerror();
        error = e ? e : "dlopen failed";
    }
    return module;
}

void* DlopenPluginLoader::Symbol(void* module, const char* name) { return dlsym(module, name); }

void DlopenPluginLoader::Close(void* module) {
    if (module) dlclose(module);
}

// Host ------------------------------------------------------------------------------

PluginHost::PluginHost(std::unique_ptr<IPluginLoader> loader)
    : loader_(loader ? std::move(loader) : std::make_unique<DlopenPluginLoader>()) {}

PluginHost::~PluginHost() { FreeDLL(); }

std::string PluginHost::DisplayNameOf(const std::string& fileName) {
    std::string out;
    for (size_t i = 0; i < fileName.size();) {
        if (i + 3 <= fileName.size() && Lower(fileName.substr(i, 3)) == ".so") {
            i += 3;
            continue;
        }
        out += fileName[i++];
    }
    return out;
}

bool PluginHost::IsExcluded(const std::string& fileName) {
    const std::string l = Lower(fileName);
    return l == "selvat.so" || l == "libselvat.so";
}

bool PluginHost::NameTaken(const std::string& name, size_t except) const {
    for (size_t i = 0; i < plugins_.size(); ++i)
        if (i != except && plugins_[i].displayName == name) return true;
    return false;
}

void PluginHost::FindPlugins(const std::string& pluginFolder, intptr_t appWindow, TValueTable* table,
                             const std::function<void(const std::string&)>& report) {
    FreeDLL();
    plugins_.clear();
    state_.clear(); // no command passes while plug-ins initialise
    for (const std::string& file : loader_->List(pluginFolder)) {
        if (IsExcluded(file)) continue;
        try {
            LoadOne(pluginFolder, file, appWindow, table);
        } catch (...) {
            if (report) report(kLoadError);
        }
    }
    state_ = "justcreated";
}

void PluginHost::LoadOne(const std::string& folder, const std::string& file, intptr_t appWindow,
                         TValueTable* table) {
    std::string error;
    void* module = loader_->Open(folder + file, error);
    if (!module) throw std::runtime_error(error);

    TPlugins p;
    p.fileName = file;
    p.displayName = DisplayNameOf(file);
    p.module = module;
    p.RDSGroup = reinterpret_cast<TRDSGroupProc>(loader_->Symbol(module, "RDSGroup"));
    p.Command = reinterpret_cast<TCommandProc>(loader_->Symbol(module, "Command"));
    p.PluginName = reinterpret_cast<TPluginNameProc>(loader_->Symbol(module, "PluginName"));
    p.hasRDSGroup = p.RDSGroup != nullptr;
    p.hasCommand = p.Command != nullptr;
    p.hasPluginName = p.PluginName != nullptr;
    plugins_.push_back(p);
    const size_t index = plugins_.size() - 1;

    if (p.PluginName) {
        const char* name = p.PluginName();
        const std::string text = name ? std::string(CutUtf8(name, 1023)) : std::string();
        if (!text.empty()) {
            std::string chosen = text;
            for (int n = 2; NameTaken(chosen, index) && n <= 32; ++n)
                chosen = text + " (" + std::to_string(n) + ")";
            plugins_[index].displayName = chosen;
        }
    }
    if (auto init = reinterpret_cast<TInitializeProc>(loader_->Symbol(module, "Initialize")))
        plugins_[index].initializeResult = init(appWindow, table);
    plugins_[index].initialised = true;
}

void PluginHost::SendCommandToAll(const std::string& command, const std::string& parameter) {
    if (state_ != "justcreated") return;
    const WorkspaceSaveBatch batch(command, parameter);
    // A plug-in may answer a command by sending another; index, not iterator.
    for (size_t i = 0; i < plugins_.size(); ++i) {
        const TPlugins& p = plugins_[i];
        if (!p.hasCommand || !p.Command || !p.initialised) continue;
        CommandBuffer par(parameter), cmd(command);
        p.Command(cmd.text, par.text);
    }
}

void PluginHost::SendGroupToAll(const TRDSGroupRec& group) {
    for (size_t i = 0; i < plugins_.size(); ++i) {
        const TPlugins& p = plugins_[i];
        if (!p.hasRDSGroup || !p.RDSGroup || !p.initialised) continue;
        const TRDSGroupRec copy = group; // nothing downstream may change what another sees
        p.RDSGroup(&copy);
    }
}

void PluginHost::RelayCommand(TValueTable& table) {
    try {
        const std::string value = ReadValue(table, "COMMAND");
        if (value.empty()) return;
        const size_t cr = value.find('\r');
        const std::string command = value.substr(0, cr);
        const std::string parameter = cr == std::string::npos ? std::string() : value.substr(cr + 1);
        AddValue(table, "COMMAND", "");
        if (!command.empty()) SendCommandToAll(command, parameter);
    } catch (...) {
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
    const WorkspaceSaveBatch batch(command, parameter);
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
        if (!p.module) continue;
        try {
            loader_->Close(p.module);
        } catch (...) {
        }
        p.module = nullptr;
    }
}

} // namespace orvane
