#pragma once
// A small host for the built plugins/kelmira.so: it loads the library with
// dlopen, owns a value table and a main window, and sends commands and
// groups through the four exports. Windows are reached by their object names.
#include <orvane/plugin.h>
#include <orvane/selvat.h>

#include "GroupRecords.h"
#include "ValueTable.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QColor>
#include <QComboBox>
#include <QFont>
#include <QPointer>
#include <QTemporaryDir>
#include <QWidget>

#include <gtest/gtest.h>

#include <dlfcn.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

namespace kelmira_host {

inline std::string PluginPath() {
    const char* dir = std::getenv("ORVANE_PROGRAM_DIR");
    return std::string(dir && *dir ? dir : ORVANE_DEFAULT_PROGRAM_DIR) + "/plugins/kelmira.so";
}

// True while the plug-in's library is mapped in the process.
inline bool Mapped() {
    void* h = dlopen(PluginPath().c_str(), RTLD_NOW | RTLD_NOLOAD);
    if (h) dlclose(h);
    return h != nullptr;
}

struct Library {
    Library() {
        handle = dlopen(PluginPath().c_str(), RTLD_NOW | RTLD_LOCAL);
        if (!handle) return;
        PluginName = reinterpret_cast<TPluginNameProc>(dlsym(handle, "PluginName"));
        Initialize = reinterpret_cast<TInitializeProc>(dlsym(handle, "Initialize"));
        Command = reinterpret_cast<TCommandProc>(dlsym(handle, "Command"));
        RDSGroup = reinterpret_cast<TRDSGroupProc>(dlsym(handle, "RDSGroup"));
    }
    ~Library() {
        if (handle) dlclose(handle);
    }
    void* handle = nullptr;
    TPluginNameProc PluginName = nullptr;
    TInitializeProc Initialize = nullptr;
    TCommandProc Command = nullptr;
    TRDSGroupProc RDSGroup = nullptr;
};

using kelmira_test::Rec;

// A group of a given type index (0 = 0A ... 31 = 15B), stamped n seconds
// after midnight so every header line differs.
inline TRDSGroupRec OfType(int type, int n = 0) {
    return Rec(n / 3600 % 24, n / 60 % 60, n % 60, 0xD3C2, type << 11, 0xE0CD, n & 0xFFFF);
}
inline TRDSGroupRec MissingB(int n = 0) { return Rec(n / 3600 % 24, n / 60 % 60, n % 60, 0xD3C2, -1, 0xE0CD, 0x4E44); }

inline std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class KelmiraTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        host_ = std::make_unique<QWidget>();
        table_ = std::make_unique<TValueTable>();
        Load(reinterpret_cast<intptr_t>(host_.get()));
    }
    void TearDown() override {
        lib_.reset();
        host_.reset();
    }

    void Load(intptr_t appWindow) {
        lib_ = std::make_unique<Library>();
        ASSERT_NE(lib_->handle, nullptr) << dlerror();
        ASSERT_TRUE(lib_->PluginName && lib_->Initialize && lib_->Command && lib_->RDSGroup);
        form_ = reinterpret_cast<QWidget*>(lib_->Initialize(appWindow, table_.get()));
        ASSERT_FALSE(form_.isNull());
    }
    void Reload() {
        lib_.reset();
        ASSERT_FALSE(Mapped());
        Load(reinterpret_cast<intptr_t>(host_.get()));
    }

    void Cmd(const std::string& command, const std::string& parameter = "") {
        lib_->Command(command.c_str(), parameter.c_str());
    }
    void Send(const TRDSGroupRec& g) { lib_->RDSGroup(&g); }
    void SendTypes(const std::vector<int>& types) {
        for (int t : types) Send(t == 32 ? MissingB() : OfType(t));
    }

    template <class T>
    T* Child(const char* name) const {
        T* w = form_ ? form_->findChild<T*>(name) : nullptr;
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    // The text windows show their content through properties and invokable
    // accessors; their class is the plug-in's own.
    QString Text(const char* window) const { return Child<QAbstractScrollArea>(window)->property("plainText").toString(); }
    std::vector<std::string> Lines(const char* window) const {
        const QString text = Text(window);
        std::vector<std::string> out;
        for (const QString& l : text.split('\n')) out.push_back(l.toStdString());
        if (!out.empty() && out.back().empty()) out.pop_back();
        return out;
    }
    struct Look {
        QColor color;
        QFont font;
        QString fontName;
    };
    // How the first run of a line is drawn.
    Look LineLook(const char* window, int line) const {
        auto* w = Child<QAbstractScrollArea>(window);
        Look look;
        EXPECT_TRUE(QMetaObject::invokeMethod(w, "RunColor", Qt::DirectConnection, Q_RETURN_ARG(QColor, look.color),
                                              Q_ARG(int, line), Q_ARG(int, 0)));
        EXPECT_TRUE(QMetaObject::invokeMethod(w, "RunFont", Qt::DirectConnection, Q_RETURN_ARG(QFont, look.font),
                                              Q_ARG(int, line), Q_ARG(int, 0)));
        EXPECT_TRUE(QMetaObject::invokeMethod(w, "RunFontName", Qt::DirectConnection,
                                              Q_RETURN_ARG(QString, look.fontName), Q_ARG(int, line), Q_ARG(int, 0)));
        return look;
    }
    // Picks a colour in a colour box the way the user does.
    void ChooseColor(const char* box, const QString& name) {
        auto* cb = Child<QComboBox>(box);
        const int i = cb->findText(name);
        ASSERT_GE(i, 0) << name.toStdString();
        cb->setCurrentIndex(i);
        QMetaObject::invokeMethod(cb, "activated", Qt::DirectConnection, Q_ARG(int, i));
    }
    std::string Path(const std::string& name) const { return dir_.path().toStdString() + "/" + name; }
    std::string Value(const char* key) const { return orvane::ReadValue(*table_, key); }

    QTemporaryDir dir_;
    std::unique_ptr<QWidget> host_;
    std::unique_ptr<TValueTable> table_;
    std::unique_ptr<Library> lib_;
    QPointer<QWidget> form_;
};

inline constexpr const char* kSection = "kelmira";

} // namespace kelmira_host
