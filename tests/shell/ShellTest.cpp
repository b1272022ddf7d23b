// The desktop shell with stand-ins for the desktop's openers on the search
// path: what it hands them, and that it tells of a failure only once the
// opener has ended, without waiting for it.
#include "Shell.h"
#include "StandInOpeners.h"
#include "TestFiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <csignal>
#include <memory>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace orvane;
using namespace orvane::test;

namespace {

using Runs = std::vector<std::vector<std::string>>;

class DesktopShellTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(openers.Valid()); }

    // Waits until every opener has ended and its failure, if any, was told.
    void Settle() {
        ASSERT_TRUE(QTest::qWaitFor([&] { return shell.Running() == 0; }, 20000));
        QCoreApplication::processEvents();
    }
    IShell::Failed Count() {
        return [this] { ++failures; };
    }

    StandInOpeners openers;
    DesktopShell shell;
    QObject context;
    int failures = 0;
};

TEST_F(DesktopShellTest, OpenTellsOfAFailureOnlyOnceTheOpenerEndsInOne) {
    const struct {
        int exitCode; // of the stand-in xdg-open; -1: none on the search path
        int failures;
    } cases[] = {{0, 0}, {3, 1}, {4, 1}, {-1, 1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.exitCode);
        failures = 0;
        openers.Remove("xdg-open");
        if (c.exitCode >= 0) openers.Add("xdg-open", c.exitCode, "xdg-open: no method available\n");
        shell.Open("/opt/orvane/orvane.pdf", "/opt/orvane/", &context, Count());
        EXPECT_EQ(failures, 0) << "told before the opener ended";
        Settle();
        EXPECT_EQ(failures, c.failures);
    }
    EXPECT_EQ(openers.Runs("xdg-open").size(), 3u);
}

TEST_F(DesktopShellTest, OpenHandsXdgOpenAPathOrTheAddress) {
    openers.Add("xdg-open", 0);
    const std::pair<std::string, std::string> cases[] = {
        {"orvane.pdf", "/opt/orvane/orvane.pdf"},
        {"/home/me/odd #1 100%/", "/home/me/odd #1 100%/"},
        {"file:///home/me/odd%20%231%20100%25/plugins/", "/home/me/odd #1 100%/plugins/"},
        {"https://www.orvane.org/a?b=1", "https://www.orvane.org/a?b=1"},
    };
    Runs expected;
    for (const auto& [target, given] : cases) {
        shell.Open(target, "/opt/orvane/", &context, Count());
        expected.push_back({given});
        // One at a time: stand-ins run side by side would note their runs in
        // any order, and line by line into each other.
        Settle();
    }
    EXPECT_EQ(openers.Runs("xdg-open"), expected);
    EXPECT_EQ(failures, 0);
}

TEST_F(DesktopShellTest, EditRunsTheTextEditorAndTellsWhenItCannotStart) {
    const std::string file = "/home/me/t.otp";
    const struct {
        std::string editor;  // what xdg-mime gives for plain text
        int gtkLaunch;       // its exit code; -1: not on the search path
        Runs gtkLaunchRuns, xdgOpenRuns;
        int failures;
    } cases[] = {
        {"mousepad.desktop\n", 0, {{"mousepad", file}}, {}, 0},
        // The editor needs a terminal and there is none.
        {"vim.desktop\n", 2, {{"vim", file}}, {}, 1},
        // No editor known, or no gtk-launch: the template's own application.
        {"", 0, {}, {{file}}, 0},
        {"mousepad.desktop\n", -1, {}, {{file}}, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.editor + std::to_string(c.gtkLaunch));
        StandInOpeners fresh;
        fresh.Add("xdg-mime", 0, c.editor);
        fresh.Add("xdg-open", 0);
        if (c.gtkLaunch >= 0) fresh.Add("gtk-launch", c.gtkLaunch, "gtk-launch: Unable to find terminal\n");
        failures = 0;
        shell.Edit(file, &context, Count());
        Settle();
        EXPECT_EQ(fresh.Runs("xdg-mime"), (Runs{{"query", "default", "text/plain"}}));
        EXPECT_EQ(fresh.Runs("gtk-launch"), c.gtkLaunchRuns);
        EXPECT_EQ(fresh.Runs("xdg-open"), c.xdgOpenRuns);
        EXPECT_EQ(failures, c.failures);
    }
}

// A window closed before its opener failed hears nothing of it.
TEST_F(DesktopShellTest, AFailureIsNotToldToAContextThatIsGone) {
    for (const bool installed : {true, false}) {
        SCOPED_TRACE(installed);
        openers.Remove("xdg-open");
        if (installed) openers.Add("xdg-open", 3);
        auto gone = std::make_unique<QObject>();
        shell.Open("/opt/orvane/orvane.pdf", {}, gone.get(), Count());
        gone.reset();
        Settle();
        QCoreApplication::processEvents();
        EXPECT_EQ(failures, 0);
    }
}

// xdg-open may run the viewer in the foreground until the user closes it:
// the opener runs on its own, outlives the shell, and holds none of our files.
TEST_F(DesktopShellTest, AnOpenerRunsOnItsOwnAndOutlivesTheShell) {
    const std::string pidFile = openers.Folder() + "/pid";
    openers.AddScript("xdg-open", "printf '%s' $$ > '" + pidFile + "'\nexec /bin/sleep 60");
    // A file of ours that a child would keep open unless the shell closes it.
    const int ours = ::open("/dev/null", O_RDONLY);
    ASSERT_GE(ours, 3);
    auto own = std::make_unique<DesktopShell>();
    own->Open("/opt/orvane/orvane.pdf", {}, &context, Count());
    EXPECT_EQ(own->Running(), 1u) << "the call waited for the opener";
    ASSERT_TRUE(QTest::qWaitFor([&] { return ReadFileBytes(pidFile).size() > 0; }, 20000));
    const pid_t pid = std::stoi(ReadFileBytes(pidFile));
    // Until the exec the script's shell still holds the script open.
    const std::string comm = "/proc/" + std::to_string(pid) + "/comm";
    ASSERT_TRUE(QTest::qWaitFor([&] { return ReadFileBytes(comm) == "sleep\n"; }, 20000));
    ::close(ours);
    own.reset();

    const std::string stat = ReadFileBytes("/proc/" + std::to_string(pid) + "/stat");
    const size_t state = stat.rfind(')') + 2;
    ASSERT_LT(state, stat.size());
    EXPECT_NE(stat[state], 'Z') << "the shell's end ended the opener";
    EXPECT_NE(::getsid(pid), ::getsid(0)) << "a Ctrl+C in the program's terminal would reach the viewer";
    std::vector<std::string> fds;
    const QDir fdDir(QString("/proc/%1/fd").arg(pid));
    for (const QString& fd : fdDir.entryList(QDir::NoDotAndDotDot | QDir::AllEntries, QDir::Name)) {
        fds.push_back(fd.toStdString() + " " + QFile::symLinkTarget(fdDir.filePath(fd)).toStdString());
    }
    EXPECT_EQ(fds, (std::vector<std::string>{"0 /dev/null", "1 /dev/null", "2 /dev/null"}));

    ::kill(pid, SIGKILL);
    ::waitpid(pid, nullptr, 0);
    EXPECT_EQ(failures, 0);
}

} // namespace
