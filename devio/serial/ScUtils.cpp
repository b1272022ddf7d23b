#include "ScUtils.h"

#include <cctype>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <mutex>

namespace orvane {

uint32_t ScTickCount() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    const uint64_t ms = static_cast<uint64_t>(ts.tv_sec) * 1000u + static_cast<uint64_t>(ts.tv_nsec) / 1000000u;
    return static_cast<uint32_t>(ms);
}

void TScDeadline::Start(uint32_t lengthMs) {
    start_ = Now();
    length_ = lengthMs;
}

// Unsigned subtraction is exact across the wrap; adding 0xFFFFFFFF - start
// instead would lose one millisecond there.
uint32_t TScDeadline::Elapsed() const { return Now() - start_; }

uint32_t TScDeadline::Remaining() const {
    const uint32_t e = Elapsed();
    return e >= length_ ? 0 : length_ - e;
}

std::string ScErrorText(int code) {
    char buf[256];
    // The GNU strerror_r returns its text, which need not be in buf.
    return std::string(strerror_r(code, buf, sizeof buf));
}

namespace {

// The number of "COMn" (any case), or 0.
int ComNumber(const std::string& name) {
    if (name.size() < 4) return 0;
    if (std::toupper(static_cast<unsigned char>(name[0])) != 'C' ||
        std::toupper(static_cast<unsigned char>(name[1])) != 'O' ||
        std::toupper(static_cast<unsigned char>(name[2])) != 'M')
        return 0;
    int n = 0;
    for (size_t i = 3; i < name.size(); ++i) {
        if (!std::isdigit(static_cast<unsigned char>(name[i])) || n > 100000) return 0;
        n = n * 10 + (name[i] - '0');
    }
    return n;
}

} // namespace

std::string ScResolvePortName(const std::string& name, const std::string& userDataFolder) {
    std::string n = name;
    if (n.rfind("\\\\.\\", 0) == 0) n.erase(0, 4);
    const int com = ComNumber(n);
    if (com <= 0) return n;
    std::string folder = userDataFolder;
    if (!folder.empty() && folder.back() != '/') folder += '/';
    const std::string linked = folder + "ports/" + n;
    std::error_code ec;
    if (!folder.empty() && (std::filesystem::exists(linked, ec) || std::filesystem::is_symlink(linked, ec)))
        return linked;
    return "/dev/ttyS" + std::to_string(com - 1);
}

namespace {

std::mutex folderLock;
std::string namedFolder;

} // namespace

void ScSetUserDataFolder(const std::string& folder) {
    std::lock_guard lk(folderLock);
    namedFolder = folder;
    if (!namedFolder.empty() && namedFolder.back() != '/') namedFolder += '/';
}

std::string ScUserDataFolder() {
    {
        std::lock_guard lk(folderLock);
        if (!namedFolder.empty()) return namedFolder;
    }
    std::string base;
    if (const char* x = std::getenv("XDG_DATA_HOME"); x && *x) base = x;
    else if (const char* h = std::getenv("HOME"); h && *h) base = std::string(h) + "/.local/share";
    std::error_code ec;
    const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    const std::string app = ec ? std::string() : exe.parent_path().filename().string();
    if (base.empty() || app.empty()) return {};
    return base + "/" + app + "/";
}

} // namespace orvane
