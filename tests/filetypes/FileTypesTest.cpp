#include "FileTypes.h"
#include "IniFile.h"
#include "TestFiles.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <map>

#include <sys/stat.h>

using namespace orvane;
using namespace orvane::test;

namespace {

struct FileTypesTest : ::testing::Test {
    QTemporaryDir home;
    std::vector<std::string> toolsRun;
    std::map<std::string, int> toolExit; // a tool's exit code, 0 when not given
    std::string Data() const { return home.path().toStdString() + "/data"; }
    std::string Config() const { return home.path().toStdString() + "/config"; }
    XdgFileTypes Make(const std::string& program = "/opt/orvane/orvane") {
        return XdgFileTypes(Data(), Config(), program, [this](const std::string& tool, const std::vector<std::string>& args) {
            toolsRun.push_back(tool + " " + args.at(0));
            return toolExit[tool];
        });
    }
    static bool Exists(const std::string& path) { return QFile::exists(QString::fromStdString(path)); }
};

// desktop-file-validate's verdict on an entry; empty when it is valid or not installed.
std::string Validate(const std::string& entry) {
    const QString tool = QStandardPaths::findExecutable("desktop-file-validate");
    if (tool.isEmpty()) return {};
    QProcess p;
    p.start(tool, {QString::fromStdString(entry)});
    p.waitForFinished();
    return p.exitCode() == 0 ? std::string() : p.readAllStandardOutput().toStdString() + " (exit " +
                                                   std::to_string(p.exitCode()) + ")";
}

} // namespace

TEST_F(FileTypesTest, AssociatingBothThenUntickingOneReadsBackEachTime) {
    XdgFileTypes types = Make();
    EXPECT_FALSE(types.Registered(0));
    EXPECT_FALSE(types.Registered(1));

    ASSERT_TRUE(types.Associate({true, true}).Done());
    EXPECT_TRUE(types.Registered(0));
    EXPECT_TRUE(types.Registered(1));
    const std::string entry = ReadFileBytes(types.DesktopEntry(0));
    EXPECT_NE(entry.find("Name=Orvane file\n"), std::string::npos) << entry;
    EXPECT_NE(entry.find("Exec=/opt/orvane/orvane %f\n"), std::string::npos) << entry;
    EXPECT_NE(entry.find("Icon=/opt/orvane/orvane.png\n"), std::string::npos) << entry;
    EXPECT_NE(entry.find("MimeType=application/x-orvane-orv;\n"), std::string::npos) << entry;
    EXPECT_NE(ReadFileBytes(types.DesktopEntry(1)).find("Name=Kivo file\n"), std::string::npos);
    EXPECT_EQ(types.DesktopEntry(0), Data() + "/applications/orv_auto_file.desktop");
    EXPECT_EQ(types.DesktopEntry(1), Data() + "/applications/smp_auto_file.desktop");
    EXPECT_EQ(Validate(types.DesktopEntry(0)), "");
    EXPECT_EQ(Validate(types.DesktopEntry(1)), "");
    const TIniFile defaults(Config() + "/mimeapps.list");
    EXPECT_EQ(defaults.ReadString("Default Applications", "application/x-orvane-orv", ""), "orv_auto_file.desktop");
    EXPECT_EQ(defaults.ReadString("Default Applications", "application/x-orvane-smp", ""), "smp_auto_file.desktop");
    const std::string package = ReadFileBytes(types.PackageFile());
    EXPECT_NE(package.find("pattern=\"*.orv\""), std::string::npos) << package;
    EXPECT_NE(package.find("pattern=\"*.smp\""), std::string::npos) << package;
    EXPECT_EQ(toolsRun, (std::vector<std::string>{"update-mime-database " + Data() + "/mime",
                                                  "update-desktop-database " + Data() + "/applications"}));

    ASSERT_TRUE(types.Associate({false, true}).Done());
    EXPECT_FALSE(types.Registered(0));
    EXPECT_TRUE(types.Registered(1));
    // The class's entry stays; only the extension lost its association.
    EXPECT_TRUE(Exists(types.DesktopEntry(0)));
    EXPECT_EQ(ReadFileBytes(types.PackageFile()).find("*.orv"), std::string::npos);
    EXPECT_EQ(TIniFile(Config() + "/mimeapps.list").ValueExists("Default Applications", "application/x-orvane-orv"),
              false);

    ASSERT_TRUE(types.Associate({false, false}).Done());
    EXPECT_FALSE(types.Registered(1));
    EXPECT_FALSE(Exists(types.PackageFile()));
    EXPECT_TRUE(Exists(types.DesktopEntry(1)));
}

TEST_F(FileTypesTest, OtherApplicationsDefaultsStay) {
    QDir().mkpath(QString::fromStdString(Config()));
    WriteFileBytes(Config() + "/mimeapps.list", "[Default Applications]\ntext/plain=editor.desktop\n\n"
                                                "[Added Associations]\nimage/png=viewer.desktop;\n");
    ASSERT_TRUE(Make().Associate({true, false}).Done());
    const TIniFile list(Config() + "/mimeapps.list");
    EXPECT_EQ(list.ReadString("Default Applications", "text/plain", ""), "editor.desktop");
    EXPECT_EQ(list.ReadString("Added Associations", "image/png", ""), "viewer.desktop;");
}

TEST_F(FileTypesTest, AnotherProgramsEntryDoesNotCountAsRegistered) {
    ASSERT_TRUE(Make("/opt/old/orvane").Associate({true, true}).Done());
    EXPECT_FALSE(Make("/opt/orvane/orvane").Registered(0));
    // A half-hand-edited state: the entry is ours but the default was changed.
    XdgFileTypes ours = Make();
    ASSERT_TRUE(ours.Associate({true, true}).Done());
    TIniFile list(Config() + "/mimeapps.list");
    list.WriteString("Default Applications", "application/x-orvane-smp", "other.desktop");
    list.UpdateFile();
    EXPECT_TRUE(ours.Registered(0));
    EXPECT_FALSE(ours.Registered(1));
}

TEST_F(FileTypesTest, OnlyAProgramPathWithReservedCharactersIsQuoted) {
    const std::pair<std::string, std::string> cases[] = {
        {"/opt/orvane/orvane", "/opt/orvane/orvane %f"},
        {"/opt/Orvane-1.0_x+y,z=ä/orvane", "/opt/Orvane-1.0_x+y,z=ä/orvane %f"},
        {"/opt/100%/orvane", "/opt/100%%/orvane %f"},
        {"/opt/my radio/orvane", "\"/opt/my radio/orvane\" %f"},
        {"/opt/(x86)/orvane", "\"/opt/(x86)/orvane\" %f"},
        {"/opt/~me/orvane", "\"/opt/~me/orvane\" %f"},
        {"/opt/it's/orvane", "\"/opt/it's/orvane\" %f"},
        {"/home/me/my \"radio\" $tools\\100%/orvane", "\"/home/me/my \\\\\"radio\\\\\" \\\\$tools\\\\\\\\100%%/orvane\" %f"},
    };
    for (const auto& [path, exec] : cases) {
        SCOPED_TRACE(path);
        XdgFileTypes types = Make(path);
        EXPECT_EQ(types.ExecLine(), exec);
        ASSERT_TRUE(types.Associate({true, false}).Done());
        EXPECT_EQ(Validate(types.DesktopEntry(0)), "");
    }
    EXPECT_NE(ReadFileBytes(Make().DesktopEntry(0)).find("Icon=/home/me/my \"radio\" $tools\\\\100%/orvane.png\n"),
              std::string::npos);
}

// An ordinary user's desktop without an environment of its own: the real
// openers find the association and start the program with the file.
// xdg-open's own search splits the entry's command at its first blank
// whatever the quotes, so a program path with a blank is opened through an
// opener that follows the entry's rules, as desktop environments do.
TEST_F(FileTypesTest, TheRealOpenersStartTheAssociatedProgram) {
    for (const char* tool : {"xdg-open", "mimetype", "gio", "update-mime-database", "update-desktop-database"})
        if (QStandardPaths::findExecutable(tool).isEmpty()) GTEST_SKIP() << tool << " is missing; tools/deps.sh installs it";
    const struct {
        std::string folder;
        QStringList opener;
    } cases[] = {
        {"/opt/orvane", {"xdg-open"}},
        {"/opt/orvane", {"gio", "open"}},
        {"/opt/my radio", {"gio", "open"}},
    };
    const std::string root = home.path().toStdString();
    const std::string file = root + "/take.orv";
    WriteFileBytes(file, "C201 0140 E0CD 4F52\r\n");
    QProcessEnvironment env; // no desktop environment named
    env.insert("PATH", qEnvironmentVariable("PATH"));
    env.insert("HOME", home.path());
    env.insert("XDG_DATA_HOME", QString::fromStdString(Data()));
    env.insert("XDG_CONFIG_HOME", QString::fromStdString(Config()));
    env.insert("DISPLAY", ":99"); // xdg-open looks for applications only with a display
    int run = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.folder + " " + c.opener.join(' ').toStdString());
        // The program, standing in for ours: it notes the file it was given.
        const std::string ran = root + "/ran" + std::to_string(++run);
        const std::string program = root + c.folder + "/orvane";
        ASSERT_TRUE(QDir().mkpath(QString::fromStdString(root + c.folder)));
        WriteFileBytes(program, "#!/bin/sh\nprintf '%s' \"$1\" > '" + ran + "'\n");
        ASSERT_EQ(::chmod(program.c_str(), 0755), 0);
        XdgFileTypes types(Data(), Config(), program);
        ASSERT_TRUE(types.Associate({true, false}).Done()) << types.Associate({true, false}).Message();

        QProcess opener;
        opener.setProcessEnvironment(env);
        opener.setProcessChannelMode(QProcess::MergedChannels);
        opener.start(c.opener.first(), c.opener.mid(1) << QString::fromStdString(file));
        ASSERT_TRUE(opener.waitForFinished(30000));
        EXPECT_EQ(opener.exitCode(), 0) << opener.readAll().toStdString();
        // gio starts the program without waiting for it.
        EXPECT_TRUE(QTest::qWaitFor([&] { return QFile::exists(QString::fromStdString(ran)); }, 10000));
        EXPECT_EQ(ReadFileBytes(ran), file);
    }
}

TEST_F(FileTypesTest, AFolderThatCannotBeWrittenIsReported) {
    // A file where the applications folder should be: nothing can go in it.
    QDir().mkpath(QString::fromStdString(Data()));
    WriteFileBytes(Data() + "/applications", "");
    toolExit = {{"update-mime-database", kToolMissing}};
    XdgFileTypes types = Make();
    const AssociationResult result = types.Associate({true, true});
    EXPECT_FALSE(result.written);
    // The file that cannot be written is the first thing to mend.
    EXPECT_EQ(result.Message(),
              "Can't register the file types, please check the write permissions of your home folder!");
    EXPECT_FALSE(types.Registered(0));
}

TEST_F(FileTypesTest, TheRealToolsAcceptThePackage) {
    if (QStandardPaths::findExecutable("update-mime-database").isEmpty()) GTEST_SKIP() << "no shared-mime-info";
    XdgFileTypes types(Data(), Config(), "/opt/orvane/orvane");
    const AssociationResult result = types.Associate({true, true});
    ASSERT_TRUE(result.written);
    ASSERT_EQ(result.tools.at(0).tool, "update-mime-database");
    EXPECT_EQ(result.tools.at(0).exitCode, 0);
    // update-mime-database compiled the package into the user's database.
    const std::string types_ = ReadFileBytes(Data() + "/mime/types");
    EXPECT_NE(types_.find("application/x-orvane-orv"), std::string::npos);
    EXPECT_NE(types_.find("application/x-orvane-smp"), std::string::npos);
}

TEST_F(FileTypesTest, DesktopToolsThatAreMissingOrFailSayWhatToDo) {
    const std::string mime = "update-mime-database " + Data() + "/mime";
    const struct {
        int mimeExit, desktopExit;
        std::string message;
    } cases[] = {
        {0, 0, ""},
        {kToolMissing, 0,
         "The file types are saved, but the desktop will not know them until update-mime-database has run: "
         "install shared-mime-info, then press \"Associate\" again."},
        {kToolMissing, kToolMissing,
         "The file types are saved, but the desktop will not know them until update-mime-database and "
         "update-desktop-database have run: install shared-mime-info and desktop-file-utils, then press "
         "\"Associate\" again."},
        {1, 0,
         "The file types are saved, but update-mime-database failed with exit code 1: run \"" + mime +
             "\" in a terminal to see why, then press \"Associate\" again."},
        {kToolCrashed, 0,
         "The file types are saved, but update-mime-database crashed: run \"" + mime +
             "\" in a terminal to see why, then press \"Associate\" again."},
        {kToolNotStarted, kToolMissing,
         "The file types are saved, but the desktop will not know them until update-desktop-database has run: "
         "install desktop-file-utils, then press \"Associate\" again. The file types are saved, but "
         "update-mime-database could not be started: run \"" + mime +
             "\" in a terminal to see why, then press \"Associate\" again."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        toolExit = {{"update-mime-database", c.mimeExit}, {"update-desktop-database", c.desktopExit}};
        XdgFileTypes types = Make();
        const AssociationResult result = types.Associate({true, false});
        EXPECT_TRUE(result.written);
        EXPECT_EQ(result.Done(), c.message.empty());
        EXPECT_EQ(result.Message(), c.message);
        // The files are written all the same, and read back as registered.
        EXPECT_TRUE(types.Registered(0));
    }
}
