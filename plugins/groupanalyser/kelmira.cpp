// The plug-in's four exports. The host calls them on its GUI thread; no
// exception leaves them.
#include "kelmira1.h"

#include <orvane/plugin.h>

#include <QApplication>
#include <QPointer>

#include <cstring>

#define KELMIRA_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

struct TModule {
    QPointer<kelmira::TForm1> form;

    void Destroy() {
        delete form.data();
        form.clear();
    }

    // Unloading the library ends the window: nothing the library made may
    // outlive its code. A window is only deleted while the application it
    // belongs to still exists.
    ~TModule() {
        if (form && QCoreApplication::instance()) Destroy();
    }
};

TModule gModule;

} // namespace

KELMIRA_EXPORT const char* PluginName() { return "Group Analyzer"; }

KELMIRA_EXPORT intptr_t Initialize(intptr_t appWindow, TValueTable* hostRef) {
    try {
        // Widgets need a QApplication; a host without one gets no window.
        if (!qobject_cast<QApplication*>(QCoreApplication::instance())) return 0;
        gModule.Destroy();
        auto* form = new kelmira::TForm1(reinterpret_cast<QWidget*>(appWindow));
        form->HostRef = hostRef;
        gModule.form = form;
        return reinterpret_cast<intptr_t>(form);
    } catch (...) {
        return 0;
    }
}

KELMIRA_EXPORT void Command(const char* command, const char* parameter) {
    try {
        // "EXIT" is one of the commands the window ignores: a plug-in may
        // relay it at any time, and the window lives until the host unloads
        // the library.
        if (!gModule.form) return;
        gModule.form->ProcessCommand(command, parameter);
    } catch (...) {
    }
}

KELMIRA_EXPORT void RDSGroup(const TRDSGroupRec* group) {
    try {
        if (!group || !gModule.form) return;
        TRDSGroupRec copy;
        std::memcpy(&copy, group, sizeof copy);
        gModule.form->ProcessGroup(copy);
    } catch (...) {
    }
}
