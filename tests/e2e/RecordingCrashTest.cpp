// A recording survives the program being killed. The parent starts this test
// binary again as a child that runs the real main window, plays a recording
// and records it; a plug-in in the child reports every group the fan-out
// passes through a pipe. The parent kills the child with SIGKILL and then
// finds every group passed more than a second earlier in the file, each line
// whole.
#include "GroupLineParser.h"
#include "OrvaneApp.h"
#include "RdsEncoder.h"
#include "TestFiles.h"
#include "Unit1.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <poll.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

using namespace orvane;
using namespace orvane::test;

namespace {

const char* const kFdVar = "ORVANE_CRASH_REPORT_FD";
const char* const kSourceVar = "ORVANE_CRASH_SOURCE";

int reportFd = -1;

void Report(const std::string& line) {
    const std::string l = line + "\n";
    [[maybe_unused]] const ssize_t n = ::write(reportFd, l.data(), l.size());
}

void ReportGroup(const TRDSGroupRec* g) { Report("G " + GroupToLine(*g, true)); }
const char* ReporterName() { return "Reporter"; }

// One plug-in that reports every group it is handed.
class ReporterPlugins final : public IPluginLoader {
public:
    std::vector<std::string> List(const std::string&) override { return {"reporter.so"}; }
    void* Open(const std::string&, std::string&) override { return this; }
    void* Symbol(void*, const char* name) override {
        const std::string n = name;
        if (n == "RDSGroup") return reinterpret_cast<void*>(&ReportGroup);
        if (n == "PluginName") return reinterpret_cast<void*>(&ReporterName);
        return nullptr;
    }
    void Close(void*) override {}
};

} // namespace

// The child's part, run only when the parent starts this binary for it;
// disabled, and left out of the test registration, so nothing else runs it.
TEST(RecordingCrash, DISABLED_ChildRecordsUntilKilled) {
    const char* fd = std::getenv(kFdVar);
    const char* source = std::getenv(kSourceVar);
    if (!fd || !source) GTEST_SKIP() << "run by RecordingCrash.KilledProgramKeepsEveryGroupOlderThanASecond";
    reportFd = std::atoi(fd);

    SystemEnv system;
    AppEnv env = system.Make(QCoreApplication::applicationFilePath().toStdString(), {source});
    env.pluginLoader = [] { return std::make_unique<ReporterPlugins>(); };
    OrvaneApp program(std::move(env));
    program.CreateWindows();
    TForm1& main = *program.Forms().form1;
    main.show();
    ASSERT_TRUE(main.Playing());
    main.Player().SetSpeedPosition(2); // a group every 10 ms
    main.BBRECClick();
    ASSERT_TRUE(main.Recording());
    Report("F " + main.RecorderUnit().FileName());
    // Runs until killed; the parent fails the test if it ever gets here.
    [[maybe_unused]] const bool never = QTest::qWaitFor([] { return false; }, 120000);
    Report("X");
}

TEST(RecordingCrash, KilledProgramKeepsEveryGroupOlderThanASecond) {
    if (std::getenv(kFdVar)) GTEST_SKIP();
    QTemporaryDir dir;
    const std::string source = dir.path().toStdString() + "/long.orv";
    const char ps[8] = {'C', 'R', 'A', 'S', 'H', ' ', ' ', ' '};
    WriteRecording(source, StationGroups(0x6A11, ps, 5000), true);

    int fds[2];
    ASSERT_EQ(::pipe(fds), 0);
    std::vector<std::string> envs;
    for (char** e = environ; *e; ++e) envs.emplace_back(*e);
    envs.push_back(std::string(kFdVar) + "=" + std::to_string(fds[1]));
    envs.push_back(std::string(kSourceVar) + "=" + source);
    std::vector<char*> envp;
    for (auto& s : envs) envp.push_back(s.data());
    envp.push_back(nullptr);
    std::string self = QCoreApplication::applicationFilePath().toStdString();
    std::string filter = "--gtest_filter=RecordingCrash.DISABLED_ChildRecordsUntilKilled";
    std::string disabled = "--gtest_also_run_disabled_tests";
    char* argv[] = {self.data(), filter.data(), disabled.data(), nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addclose(&actions, fds[0]);
    pid_t pid = -1;
    const int spawned = posix_spawn(&pid, self.c_str(), &actions, nullptr, argv, envp.data());
    posix_spawn_file_actions_destroy(&actions);
    ::close(fds[1]);
    ASSERT_EQ(spawned, 0);

    // What the fan-out passed, each with the moment the parent learnt of it.
    using Clock = std::chrono::steady_clock;
    std::vector<std::pair<std::string, Clock::time_point>> passed;
    std::string recording, pending;
    const auto deadline = Clock::now() + std::chrono::seconds(90);
    bool childEnded = false;
    while (passed.size() < 300 && Clock::now() < deadline && !childEnded) {
        pollfd p{fds[0], POLLIN, 0};
        if (::poll(&p, 1, 1000) <= 0) continue;
        char buf[4096];
        const ssize_t n = ::read(fds[0], buf, sizeof buf);
        if (n <= 0) {
            childEnded = true;
            break;
        }
        pending.append(buf, static_cast<size_t>(n));
        for (size_t eol; (eol = pending.find('\n')) != std::string::npos; pending.erase(0, eol + 1)) {
            const std::string line = pending.substr(0, eol);
            if (line.rfind("F ", 0) == 0) recording = line.substr(2);
            if (line.rfind("G ", 0) == 0) passed.emplace_back(line.substr(2), Clock::now());
        }
    }
    ::kill(pid, SIGKILL);
    const Clock::time_point killed = Clock::now();
    int status = 0;
    ::waitpid(pid, &status, 0);
    ::close(fds[0]);
    ASSERT_FALSE(childEnded) << "the child ended before it was killed";
    ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);
    ASSERT_FALSE(recording.empty());
    ASSERT_GE(passed.size(), 300u);

    const std::string bytes = ReadFileBytes(recording);
    // The child's home folder holds the recording; it is ours to remove.
    std::filesystem::remove_all(std::filesystem::path(recording).parent_path().parent_path());
    ASSERT_FALSE(bytes.empty());
    ASSERT_EQ(bytes.substr(bytes.size() - 2), "\r\n") << "the last line is whole";
    std::vector<std::string> lines;
    for (size_t from = 0, eol; (eol = bytes.find("\r\n", from)) != std::string::npos; from = eol + 2)
        lines.push_back(bytes.substr(from, eol - from));
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines[0].substr(0, 19), "<recorder=\"Orvane\" ");
    const size_t recorded = lines.size() - 1;
    ASSERT_LE(recorded, passed.size());
    for (size_t i = 0; i < recorded; ++i) ASSERT_EQ(lines[i + 1], passed[i].first) << i;
    size_t older = 0;
    while (older < passed.size() && killed - passed[older].second > std::chrono::seconds(1)) ++older;
    ASSERT_GT(older, 0u) << "300 groups at 10 ms each take at least three seconds";
    EXPECT_GE(recorded, older);
}
