// The built program on a virtual X display, asked to close by a desktop
// session's signal while one of its boxes is up, with its main window
// hidden, or with a plug-in's objects left behind; the window manager shows
// which windows the program has.
#include "RdsEncoder.h"
#include "TestFiles.h"
#include "XDisplay.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <csignal>

using namespace orvane::test;

namespace {

std::string ReadAll(const QString& file) { return ReadFileBytes(file.toStdString()); }

QString ProgramFile() {
    const QString dir = qEnvironmentVariable("ORVANE_PROGRAM_DIR");
    return (dir.isEmpty() ? QStringLiteral(ORVANE_DEFAULT_PROGRAM_DIR) : dir) + "/orvane";
}

QString Xprop(const std::string& display, const QStringList& args) {
    QProcess xprop;
    xprop.start("xprop", QStringList{"-display", QString::fromStdString(display)} + args);
    if (!xprop.waitForFinished(5000)) {
        xprop.kill();
        xprop.waitForFinished(1000);
        return {};
    }
    return QString::fromUtf8(xprop.readAllStandardOutput());
}

// The titles of the windows of process `pid` of one type ("DIALOG",
// "NORMAL") that the window manager shows.
QStringList WindowsOf(const std::string& display, qint64 pid, const QString& type) {
    QStringList titles;
    const QString list = Xprop(display, {"-root", "_NET_CLIENT_LIST"});
    static const QRegularExpression id("0x[0-9a-f]+");
    for (auto it = id.globalMatch(list); it.hasNext();) {
        const QString window = it.next().captured();
        const QString props = Xprop(display, {"-id", window, "_NET_WM_PID", "_NET_WM_WINDOW_TYPE", "_NET_WM_NAME"});
        if (!props.contains(QString("_NET_WM_PID(CARDINAL) = %1\n").arg(pid))) continue;
        if (!props.contains("_NET_WM_WINDOW_TYPE_" + type)) continue;
        const auto name = QRegularExpression("_NET_WM_NAME\\(UTF8_STRING\\) = \"(.*)\"").match(props);
        titles << (name.hasMatch() ? name.captured(1) : QString());
    }
    return titles;
}

QStringList DialogsOf(const std::string& display, qint64 pid) { return WindowsOf(display, pid, "DIALOG"); }

class SignalAtABox : public ::testing::TestWithParam<int> {
protected:
    void SetUp() override {
        if (!XDisplay::Available() || QStandardPaths::findExecutable("xprop").isEmpty())
            GTEST_SKIP() << "Xvfb, openbox or xprop is missing; tools/deps.sh installs them";
        display = std::make_unique<XDisplay>();
        ASSERT_TRUE(display->Ready()) << display->Error();
        ASSERT_TRUE(home.isValid());
        ASSERT_TRUE(QDir().mkpath(home.filePath("run")));
        QFile::setPermissions(home.filePath("run"), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                        QFileDevice::ExeOwner);
    }
    void TearDown() override {
        if (program.state() != QProcess::NotRunning) {
            program.kill();
            program.waitForFinished(5000);
        }
    }

    QString DataFolder() const { return home.filePath("data/orvane/"); }

    void Start(const QStringList& args, const QString& file = ProgramFile()) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("HOME", home.path());
        env.insert("XDG_DATA_HOME", home.filePath("data"));
        env.insert("XDG_CONFIG_HOME", home.filePath("config"));
        env.insert("XDG_RUNTIME_DIR", home.filePath("run"));
        env.insert("DISPLAY", QString::fromStdString(display->Name()));
        env.insert("QT_QPA_PLATFORM", "xcb");
        program.setProcessEnvironment(env);
        program.setProcessChannelMode(QProcess::MergedChannels);
        program.start(file, args);
        ASSERT_TRUE(program.waitForStarted(10000)) << file.toStdString();
    }

    // True once a dialog with this title is up.
    bool WaitForDialog(const QString& title) {
        return QTest::qWaitFor([&] { return DialogsOf(display->Name(), program.processId()).contains(title); },
                               30000);
    }

    // Sends the signal and expects the program to end by itself, normally.
    void SignalAndExpectAnOrdinaryEnd() {
        ::kill(static_cast<pid_t>(program.processId()), GetParam());
        if (!program.waitForFinished(20000)) {
            const QStringList up = DialogsOf(display->Name(), program.processId());
            program.kill();
            program.waitForFinished(5000);
            FAIL() << "the program did not end; dialogs up: " << up.join(", ").toStdString() << "\n"
                   << program.readAll().toStdString();
        }
        EXPECT_EQ(program.exitStatus(), QProcess::NormalExit) << program.readAll().toStdString();
        EXPECT_EQ(program.exitCode(), 0) << program.readAll().toStdString();
        // The close saved the settings and the workspace.
        const std::string ini = ReadAll(DataFolder() + "orvane.ini");
        EXPECT_NE(ini.find("WorkspaceFile=" + (DataFolder() + "default.owk").toStdString()), std::string::npos)
            << ini;
        EXPECT_NE(ReadAll(DataFolder() + "default.owk").find("GroupIndex32=1"), std::string::npos);
    }

    std::unique_ptr<XDisplay> display;
    QTemporaryDir home;
    QProcess program;
};

TEST_P(SignalAtABox, EndsTheRefusalOfAWorkspaceAtStartUp) {
    const QString refused = home.filePath("take.orv");
    const std::string recording =
        "<recorder=\"Orvane\" date=\"2024-05-01\" time=\"13-05-09\" source=\"1\" name=\"Demo\">\r\n" +
        RecordingLines(StationGroups(0xC201, "ORVANE  ", 40), true, "\r\n");
    WriteFileBytes(refused.toStdString(), recording);

    ASSERT_NO_FATAL_FAILURE(Start({"-WS:" + refused}));
    // The main window shows only once the start-up is complete: the one
    // dialog titled "Orvane" before then is the refusal.
    ASSERT_TRUE(WaitForDialog("Orvane")) << program.readAll().toStdString();
    SignalAndExpectAnOrdinaryEnd();
    EXPECT_EQ(ReadAll(refused), recording) << "the refused file was written";
}

TEST_P(SignalAtABox, EndsTheSourceDialogOfTheFirstStart) {
    ASSERT_NO_FATAL_FAILURE(Start({}));
    ASSERT_TRUE(WaitForDialog("Select RDS Source")) << program.readAll().toStdString();
    SignalAndExpectAnOrdinaryEnd();
}

// "Visible=0" keeps the main window hidden from the start, leaving the group
// analyser's window; the signal still ends the program, with nothing up and
// with the first start's source dialog up.
TEST_P(SignalAtABox, EndsAProgramWhoseMainWindowIsHidden) {
    for (const bool firstStart : {false, true}) {
        SCOPED_TRACE(firstStart ? "source dialog up" : "nothing up");
        ASSERT_TRUE(QDir().mkpath(DataFolder()));
        QFile::remove(DataFolder() + "orvane.ini");
        if (!firstStart) WriteFileBytes((DataFolder() + "orvane.ini").toStdString(), "[General]\n");
        WriteFileBytes((DataFolder() + "default.owk").toStdString(), "[General]\nVisible=0\n");

        ASSERT_NO_FATAL_FAILURE(Start({}));
        ASSERT_TRUE(QTest::qWaitFor(
            [&] {
                return WindowsOf(display->Name(), program.processId(), "NORMAL").contains("Group Analyzer");
            },
            30000))
            << program.readAll().toStdString();
        if (firstStart) {
            ASSERT_TRUE(WaitForDialog("Select RDS Source")) << program.readAll().toStdString();
        }
        const QStringList shown = WindowsOf(display->Name(), program.processId(), "NORMAL");
        EXPECT_TRUE(shown.filter(QRegularExpression("^Orvane")).isEmpty()) << shown.join(", ").toStdString();
        SignalAndExpectAnOrdinaryEnd();
        // The save keeps the line, so the next start hides the window too.
        EXPECT_NE(ReadAll(DataFolder() + "default.owk").find("Visible=0"), std::string::npos);
    }
}

// A plug-in whose timer and widget outlive its "EXIT" runs its code when the
// application and the main window go, after the host is done with it.
TEST_P(SignalAtABox, APluginsObjectsLeftBehindEndWithTheProgram) {
    // The built program folder with the plug-in beside the group analyser;
    // its name names the user data folder.
    const QString folder = home.filePath("opt/orvane/");
    const QString built = QFileInfo(ProgramFile()).path() + "/";
    ASSERT_TRUE(QDir().mkpath(folder + "plugins"));
    for (const char* file : {"orvane", "libdravon.so", "libselvat.so", "plugins/kelmira.so"})
        ASSERT_TRUE(QFile::copy(built + file, folder + file)) << file;
    ASSERT_TRUE(QFile::copy(LEFTOVER_PLUGIN, folder + "plugins/leftover.so"));
    ASSERT_TRUE(QDir().mkpath(DataFolder()));
    WriteFileBytes((DataFolder() + "orvane.ini").toStdString(), "[General]\n");

    ASSERT_NO_FATAL_FAILURE(Start({}, folder + "orvane"));
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            return WindowsOf(display->Name(), program.processId(), "NORMAL").contains("Orvane - default.owk");
        },
        30000))
        << program.readAll().toStdString();
    SignalAndExpectAnOrdinaryEnd();
}

INSTANTIATE_TEST_SUITE_P(Signals, SignalAtABox, ::testing::Values(SIGTERM, SIGINT),
                         [](const auto& info) { return std::string(info.param == SIGTERM ? "SIGTERM" : "SIGINT"); });

} // namespace
