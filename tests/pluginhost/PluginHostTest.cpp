#include "PluginHost.h"
#include "TestPluginState.h"
#include "ValueTable.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <dlfcn.h>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

using namespace orvane;
namespace fs = std::filesystem;

namespace {

class PluginHostTest : public ::testing::Test {
protected:
    // Copies the named variants into a fresh plugins folder under new names.
    std::string Folder(const std::vector<std::pair<std::string, std::string>>& files) {
        const std::string folder = dir.path().toStdString() + "/plugins/";
        fs::remove_all(folder);
        fs::create_directories(folder);
        for (const auto& [variant, name] : files) {
            if (variant.empty()) {
                std::ofstream(folder + name) << "not a library\n";
                continue;
            }
            fs::copy_file(std::string(TEST_PLUGIN_DIR) + "/" + variant + ".so", folder + name);
        }
        return folder;
    }
    void Load(const std::string& folder) {
        messages.clear();
        host.FindPlugins(folder, 0x1234, &table, [this](const std::string& m) { messages.push_back(m); });
    }
    TestPluginState& State(size_t index) {
        auto fn = reinterpret_cast<TestPluginState* (*)()>(dlsym(host.Plugins().at(index).module, "TestState"));
        EXPECT_NE(fn, nullptr);
        return *fn();
    }
    std::vector<std::string> Names() const {
        std::vector<std::string> out;
        for (const auto& p : host.Plugins()) out.push_back(p.displayName);
        return out;
    }

    QTemporaryDir dir;
    TValueTable table{};
    PluginHost host;
    std::vector<std::string> messages;
};

TRDSGroupRec Group(int32_t a) {
    TRDSGroupRec g{};
    g.BlockA = a;
    g.BlockB = 0x0400;
    return g;
}

} // namespace

TEST_F(PluginHostTest, NamesOrderAndTheLibrariesThatAreNeverLoaded) {
    Load(Folder({{"analyzer_a", "b_second.so"},
                 {"analyzer_b", "A_first.so"},
                 {"Test", "Test.so"},
                 {"selvat", "SELVAT.so"},
                 {"LibSelvat", "libselvat.SO"},
                 {"", "broken.so"},
                 {"nocmd", "zz.so"},
                 {"Test", "readme.txt"}}));
    // File-name order ignoring case; the data-exchange library is skipped in
    // any case; the broken file gives the message and the next one loads.
    EXPECT_EQ(Names(), (std::vector<std::string>{"Group Analyzer", "Group Analyzer (2)", "Test", "zz"}));
    EXPECT_EQ(host.Plugins()[0].fileName, "A_first.so");
    EXPECT_EQ(messages, std::vector<std::string>{PluginHost::kLoadError});
    EXPECT_EQ(host.State(), "justcreated");
    for (size_t i = 0; i < host.Plugins().size(); ++i) {
        EXPECT_TRUE(host.Plugins()[i].initialised);
        EXPECT_EQ(host.Plugins()[i].initializeResult, 42);
        EXPECT_EQ(State(i).appWindow, 0x1234);
        EXPECT_EQ(State(i).table, &table);
    }
    EXPECT_EQ(host.FindPlugin("Group &Analyzer (2)"), 1);
    EXPECT_EQ(host.FindPlugin("nothing"), -1);
}

TEST_F(PluginHostTest, NumbersStopAt32) {
    std::vector<std::pair<std::string, std::string>> files;
    for (int i = 0; i < 34; ++i) files.push_back({i % 2 ? "analyzer_a" : "analyzer_b", "p" + std::to_string(100 + i) + ".so"});
    Load(Folder(files));
    const auto names = Names();
    ASSERT_EQ(names.size(), 34u);
    EXPECT_EQ(names[0], "Group Analyzer");
    EXPECT_EQ(names[1], "Group Analyzer (2)");
    EXPECT_EQ(names[30], "Group Analyzer (31)");
    EXPECT_EQ(names[31], "Group Analyzer (32)");
    EXPECT_EQ(names[33], "Group Analyzer (32)");
}

TEST_F(PluginHostTest, CommandsAndGroupsReachOnlyWhatCanTakeThem) {
    Load(Folder({{"Test", "a.so"}, {"nocmd", "b.so"}, {"failinit", "c.so"}}));
    ASSERT_EQ(host.Plugins().size(), 3u);
    EXPECT_FALSE(host.Plugins()[1].hasCommand);
    EXPECT_FALSE(host.Plugins()[2].initialised);
    EXPECT_EQ(messages, std::vector<std::string>{PluginHost::kLoadError});

    host.SendCommandToAll("TUNE", "098500");
    host.SendGroupToAll(Group(0x1234));
    host.CommandTo(2, "SHOW", "");
    host.CommandTo(9, "SHOW", "");
    EXPECT_EQ(State(0).commands, std::vector<std::string>{"TUNE 098500"});
    ASSERT_EQ(State(0).groups.size(), 1u);
    EXPECT_EQ(State(1).groups.size(), 1u); // no Command, but groups
    EXPECT_TRUE(State(2).commands.empty()); // Initialize failed: nothing at all
    EXPECT_TRUE(State(2).groups.empty());
    EXPECT_EQ(State(0).groups[0].BlockA, 0x1234);
}

TEST_F(PluginHostTest, LongTextsAreCutAtTheBuffer) {
    Load(Folder({{"Test", "a.so"}}));
    host.SendCommandToAll("FILEWRITTEN", std::string(1500, 'x') + "tail");
    ASSERT_EQ(State(0).commands.size(), 1u);
    EXPECT_EQ(State(0).commands[0], "FILEWRITTEN " + std::string(1023, 'x'));
    // A cut never splits a character.
    host.SendCommandToAll("FILEWRITTEN", std::string(1022, 'y') + "\xC3\xA4");
    EXPECT_EQ(State(0).commands[1], "FILEWRITTEN " + std::string(1022, 'y'));
}

TEST_F(PluginHostTest, TheCommandRelayEmptiesTheKeyAndReachesEveryPlugin) {
    Load(Folder({{"Test", "a.so"}, {"analyzer_a", "b.so"}}));
    ClearValueTable(table);
    AddValue(table, "COMMAND", "SHOWHIDE\r");
    host.RelayCommand(table);
    EXPECT_EQ(ReadValue(table, "COMMAND"), "");
    EXPECT_EQ(State(0).commands, std::vector<std::string>{"SHOWHIDE "});
    EXPECT_EQ(State(1).commands, std::vector<std::string>{"SHOWHIDE "});
    AddValue(table, "COMMAND", "SAVE\rto\rfile");
    host.RelayCommand(table);
    EXPECT_EQ(State(0).commands.back(), "SAVE to\rfile");
    AddValue(table, "COMMAND", "\rjust a parameter");
    host.RelayCommand(table);
    EXPECT_EQ(State(0).commands.size(), 2u);
    EXPECT_EQ(ReadValue(table, "COMMAND"), "");
}

TEST_F(PluginHostTest, NothingPassesAfterFreeDLL) {
    Load(Folder({{"Test", "a.so"}}));
    TestPluginState* s = &State(0);
    host.SendCommandToAll("EXIT", "");
    EXPECT_EQ(s->commands.size(), 1u);
    void* keep = dlopen((dir.path().toStdString() + "/plugins/a.so").c_str(), RTLD_NOW | RTLD_NOLOAD);
    ASSERT_NE(keep, nullptr); // hold the library so its state stays readable
    host.FreeDLL();
    EXPECT_EQ(host.State(), "exit");
    host.SendCommandToAll("RESETDATA", "");
    host.SendGroupToAll(Group(1));
    host.CommandTo(0, "SHOW", "");
    EXPECT_EQ(s->commands.size(), 1u);
    EXPECT_TRUE(s->groups.empty());
    dlclose(keep);
}
