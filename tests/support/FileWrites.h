#pragma once
// Counts how often a file is written, as the kernel reports it: each rename
// onto its name (a write through a temporary file) and each close after
// writing it in place. Not by timing, so a slow disk counts the same.
#include <string>

namespace orvane::test {

class FileWrites {
public:
    // Watches the file's folder, which must exist; the file need not.
    explicit FileWrites(const std::string& path);
    ~FileWrites();
    FileWrites(const FileWrites&) = delete;
    FileWrites& operator=(const FileWrites&) = delete;

    // The writes since the watch began (or since Reset).
    int Count();
    void Reset();

private:
    void Drain();

    int fd_ = -1;
    std::string name_;
    int count_ = 0;
};

} // namespace orvane::test
