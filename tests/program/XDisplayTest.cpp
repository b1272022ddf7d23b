// The virtual X display the window tests run on ends with the process that
// made it, however that process ends.
#include "XDisplay.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTest>
#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <filesystem>
#include <thread>

using orvane::test::XDisplay;

namespace {

struct Process {
    pid_t pid;
    std::string name;
};

// What /proc says of `pid`: its parent, name and state letter.
bool Stat(pid_t pid, pid_t& parent, std::string& name, char& state) {
    QFile file(QString("/proc/%1/stat").arg(pid));
    if (!file.open(QIODevice::ReadOnly)) return false;
    const QByteArray text = file.readAll();
    const qsizetype open = text.indexOf('('), close = text.lastIndexOf(')');
    if (open < 0 || close < open) return false;
    name = text.mid(open + 1, close - open - 1).toStdString();
    const QList<QByteArray> rest = text.mid(close + 2).split(' ');
    if (rest.size() < 2) return false;
    state = rest[0].isEmpty() ? '?' : rest[0][0];
    parent = static_cast<pid_t>(rest[1].toInt());
    return true;
}

std::vector<Process> ChildrenOf(pid_t parent) {
    std::vector<Process> children;
    for (const QString& entry : QDir("/proc").entryList(QDir::Dirs)) {
        bool number = false;
        const auto pid = static_cast<pid_t>(entry.toInt(&number));
        pid_t ppid = 0;
        std::string name;
        char state = 0;
        if (number && Stat(pid, ppid, name, state) && ppid == parent) children.push_back({pid, name});
    }
    return children;
}

// Gone, or a zombie that nobody reaps: either way it runs no more.
bool Ended(pid_t pid) {
    pid_t parent = 0;
    std::string name;
    char state = 0;
    return !Stat(pid, parent, name, state) || state == 'Z' || state == 'X';
}

// Run by the test below in a process of its own, which it then kills.
TEST(XDisplayHolder, DISABLED_HoldsADisplayUntilKilled) {
    XDisplay display;
    ASSERT_TRUE(display.Ready()) << display.Error();
    std::printf("folder=%s\n", display.Folder().c_str());
    std::fflush(stdout);
    std::this_thread::sleep_for(std::chrono::seconds(60));
}

TEST(XDisplay, EndsWithTheProcessThatMadeItWhenThatIsKilled) {
    if (!XDisplay::Available()) GTEST_SKIP() << "Xvfb or openbox is missing; tools/deps.sh installs them";
    QProcess holder;
    holder.start(QCoreApplication::applicationFilePath(),
                 {"--gtest_also_run_disabled_tests", "--gtest_filter=XDisplayHolder.DISABLED_HoldsADisplayUntilKilled"});
    ASSERT_TRUE(holder.waitForStarted(10000));
    QString output;
    std::string folder;
    const bool settled = QTest::qWaitFor(
        [&] {
            output += QString::fromUtf8(holder.readAllStandardOutput());
            const qsizetype at = output.indexOf("folder=");
            if (at >= 0 && output.indexOf('\n', at) > at)
                folder = output.mid(at + 7, output.indexOf('\n', at) - at - 7).toStdString();
            return !folder.empty() || holder.state() == QProcess::NotRunning;
        },
        30000);
    const auto pid = static_cast<pid_t>(holder.processId());
    const std::vector<Process> children = ChildrenOf(pid);
    ::kill(pid, SIGKILL);
    holder.waitForFinished(5000);
    ASSERT_FALSE(folder.empty()) << "the holder made no display" << (settled ? "" : " in 30 s") << ":\n"
                                 << output.toStdString();

    std::vector<std::string> names;
    for (const Process& p : children) names.push_back(p.name);
    EXPECT_NE(std::find(names.begin(), names.end(), "Xvfb"), names.end());
    EXPECT_NE(std::find(names.begin(), names.end(), "openbox"), names.end());

    const auto allEnded = [&] {
        return std::all_of(children.begin(), children.end(), [](const Process& p) { return Ended(p.pid); });
    };
    EXPECT_TRUE(QTest::qWaitFor([&] { return allEnded() && !std::filesystem::exists(folder); }, 15000));
    for (const Process& p : children)
        EXPECT_TRUE(Ended(p.pid)) << p.name << " (" << p.pid << ") still runs";
    EXPECT_FALSE(std::filesystem::exists(folder)) << folder << " is left behind";

    // What a failing build left is cleaned up here, so it leaks no further;
    // asked first, so that Xvfb removes its socket and lock.
    for (const Process& p : children)
        if (!Ended(p.pid)) ::kill(p.pid, SIGTERM);
    if (!QTest::qWaitFor(allEnded, 5000))
        for (const Process& p : children)
            if (!Ended(p.pid)) ::kill(p.pid, SIGKILL);
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
}

} // namespace
