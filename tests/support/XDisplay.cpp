#include "XDisplay.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <poll.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace orvane::test {

namespace {

using Clock = std::chrono::steady_clock;
constexpr auto kStartTimeout = std::chrono::seconds(10);
constexpr auto kStopTimeout = std::chrono::seconds(5);

bool OnPath(const std::string& program) {
    const char* path = std::getenv("PATH");
    std::string dirs = path ? path : "/usr/bin:/bin";
    std::size_t start = 0;
    while (start <= dirs.size()) {
        const std::size_t end = std::min(dirs.find(':', start), dirs.size());
        const std::string candidate = dirs.substr(start, end - start) + "/" + program;
        if (end > start && ::access(candidate.c_str(), X_OK) == 0) return true;
        start = end + 1;
    }
    return false;
}

// The parent's environment, with `extra` ("NAME=value") in place of that name.
std::vector<std::string> EnvironmentWith(const std::string& extra) {
    const std::string name = extra.substr(0, extra.find('=') + 1);
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e)
        if (name.empty() || std::strncmp(*e, name.c_str(), name.size()) != 0) env.emplace_back(*e);
    if (!extra.empty()) env.push_back(extra);
    return env;
}

std::vector<char*> Pointers(std::vector<std::string>& strings) {
    std::vector<char*> p;
    for (std::string& s : strings) p.push_back(s.data());
    p.push_back(nullptr);
    return p;
}

// Starts `args` with its output in `log`, without the parent's `closeFd`,
// reading `inFd` or else nothing.
pid_t Spawn(std::vector<std::string> args, std::vector<std::string> env, const std::string& log, int closeFd = -1,
            int inFd = -1) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (inFd >= 0) posix_spawn_file_actions_adddup2(&actions, inFd, 0);
    else posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, log.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0600);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
    if (closeFd >= 0) posix_spawn_file_actions_addclose(&actions, closeFd);
    pid_t pid = -1;
    std::vector<char*> argv = Pointers(args);
    std::vector<char*> envp = Pointers(env);
    if (posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), envp.data()) != 0) pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    return pid;
}

bool Exited(pid_t pid) {
    int status = 0;
    return ::waitpid(pid, &status, WNOHANG) == pid;
}

// Asks the process to end, and makes it when it does not in time.
void Stop(pid_t& pid) {
    if (pid <= 0) return;
    ::kill(pid, SIGTERM);
    const auto deadline = Clock::now() + kStopTimeout;
    bool gone = false;
    while (!(gone = Exited(pid)) && Clock::now() < deadline) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    if (!gone) {
        ::kill(pid, SIGKILL);
        int status = 0;
        ::waitpid(pid, &status, 0);
    }
    pid = -1;
}

std::string Log(const std::string& file) {
    std::string text;
    if (FILE* f = std::fopen(file.c_str(), "r")) {
        char buf[512];
        std::size_t n;
        while ((n = std::fread(buf, 1, sizeof buf, f)) > 0 && text.size() < 4000) text.append(buf, n);
        std::fclose(f);
    }
    return text;
}

// Reads the pids of the programs to reap, one a line, until "done" (the
// display was stopped the ordinary way) or the end of its input (the process
// that made the display is gone): then it stops them and removes the folder.
// A Ctrl+C in the terminal reaches the whole process group; the reaper
// outlives it to clean up.
constexpr const char* kReaper = R"(trap '' INT HUP
pids=
while read -r line; do
  [ "$line" = done ] && exit 0
  pids="$pids $line"
done
[ -n "$pids" ] && kill -TERM $pids 2>/dev/null
n=0
while [ $n -lt 50 ]; do
  alive=
  for p in $pids; do
    state=$(sed -n 's/^State:[[:space:]]*\([A-Z]\).*/\1/p' /proc/$p/status 2>/dev/null)
    [ -n "$state" ] && [ "$state" != Z ] && alive=1
  done
  [ -z "$alive" ] && break
  sleep 0.1
  n=$((n + 1))
done
[ -n "$pids" ] && kill -KILL $pids 2>/dev/null
rm -rf "$1"
)";

} // namespace

bool XDisplay::Available() { return OnPath("Xvfb") && OnPath("openbox"); }

XDisplay::XDisplay(int width, int height) {
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/orvane-x-XXXXXX";
    if (!::mkdtemp(pattern.data())) {
        error_ = "no temporary folder: " + std::string(std::strerror(errno));
        return;
    }
    dir_ = pattern;
    ready_ = StartReaper() && StartServer(width, height) && StartWindowManager();
}

XDisplay::~XDisplay() {
    if (reaperFd_ >= 0) {
        // Told first, so it never signals a pid that was reused meanwhile.
        [[maybe_unused]] const ssize_t n = ::send(reaperFd_, "done\n", 5, MSG_NOSIGNAL);
        ::close(reaperFd_);
    }
    Stop(reaper_);
    Stop(manager_);
    Stop(server_);
    if (!dir_.empty()) {
        std::error_code ignored;
        std::filesystem::remove_all(dir_, ignored);
    }
}

bool XDisplay::StartReaper() {
    // Only this process holds the writing end: close-on-exec keeps it from
    // Xvfb, openbox and whatever else the tests start. A socket, so that
    // writing to a reaper that is gone fails instead of raising SIGPIPE.
    int fds[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, fds) != 0) {
        error_ = "no socket pair";
        return false;
    }
    reaper_ = Spawn({"/bin/sh", "-c", kReaper, "reaper", dir_}, EnvironmentWith(""), "/dev/null", -1, fds[0]);
    ::close(fds[0]);
    if (reaper_ < 0) {
        ::close(fds[1]);
        error_ = "the reaper did not start";
        return false;
    }
    reaperFd_ = fds[1];
    return true;
}

void XDisplay::ReapWithUs(pid_t pid) {
    const std::string line = std::to_string(pid) + "\n";
    [[maybe_unused]] const ssize_t n = ::send(reaperFd_, line.data(), line.size(), MSG_NOSIGNAL);
}

bool XDisplay::StartServer(int width, int height) {
    // The server picks a free display number and writes it to this pipe once
    // it accepts clients.
    int fds[2];
    if (::pipe(fds) != 0) {
        error_ = "no pipe";
        return false;
    }
    ::fcntl(fds[0], F_SETFD, FD_CLOEXEC);
    const std::string log = dir_ + "/xvfb.log";
    server_ = Spawn({"Xvfb", "-displayfd", std::to_string(fds[1]), "-screen", "0",
                     std::to_string(width) + "x" + std::to_string(height) + "x24", "-nolisten", "tcp", "-noreset"},
                    EnvironmentWith(""), log, fds[0]);
    ::close(fds[1]);
    if (server_ < 0) {
        ::close(fds[0]);
        error_ = "Xvfb did not start";
        return false;
    }
    ReapWithUs(server_);
    std::string number;
    const auto deadline = Clock::now() + kStartTimeout;
    while (number.find('\n') == std::string::npos) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        pollfd p{fds[0], POLLIN, 0};
        char c[16];
        ssize_t n = 0;
        if (left <= 0 || ::poll(&p, 1, static_cast<int>(left)) <= 0 || (n = ::read(fds[0], c, sizeof c)) <= 0) break;
        number.append(c, static_cast<std::size_t>(n));
    }
    ::close(fds[0]);
    if (number.find('\n') == std::string::npos) {
        error_ = "Xvfb gave no display number: " + Log(log);
        return false;
    }
    name_ = ":" + number.substr(0, number.find('\n'));
    return true;
}

bool XDisplay::StartWindowManager() {
    // openbox runs its start-up command once it manages the screen.
    const std::string ready = dir_ + "/managed";
    const std::string log = dir_ + "/openbox.log";
    manager_ = Spawn({"openbox", "--sm-disable", "--startup", "touch " + ready}, EnvironmentWith("DISPLAY=" + name_),
                     log);
    if (manager_ < 0) {
        error_ = "openbox did not start";
        return false;
    }
    ReapWithUs(manager_);
    const auto deadline = Clock::now() + kStartTimeout;
    struct stat st;
    while (::stat(ready.c_str(), &st) != 0) {
        const bool exited = Exited(manager_);
        if (exited || Clock::now() > deadline) {
            if (exited) manager_ = -1;
            error_ = "openbox did not manage " + name_ + ": " + Log(log);
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

} // namespace orvane::test
