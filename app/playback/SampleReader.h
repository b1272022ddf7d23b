#pragma once
// Reads the group records of a raw sample file through one fixed buffer, so
// memory stays the same whatever the size of the file. The layout (trailer,
// number of groups) comes from the file's size and last bytes when it is
// opened.
#include "SampleFormat.h"

#include <cstdint>
#include <string>
#include <vector>

namespace orvane {

class SampleReader {
public:
    enum class Result { Record, End, Error };

    explicit SampleReader(size_t bufferSize = 64 * 1024);
    ~SampleReader();
    SampleReader(const SampleReader&) = delete;
    SampleReader& operator=(const SampleReader&) = delete;

    // Opens a regular file read-only and skips its 2-byte header.
    bool Open(const std::string& path);
    void Close();
    bool IsOpen() const { return fd_ >= 0; }

    const SampleLayout& Layout() const { return layout_; }
    // Whether the file begins with the 2-byte header, or with as much of it
    // as it holds.
    bool HasHeader() const { return hasHeader_; }
    int64_t TotalGroups() const { return layout_.groups; }
    // Continues with record `group` (0-based, clamped to the records that
    // play); false when the file cannot be repositioned.
    bool Seek(int64_t group);

    // The next 16-byte record; `record` stays valid until the next call. A
    // record that would reach into the trailer, or a partial one, is End.
    Result Next(const uint8_t*& record);

private:
    // Makes a whole record available: Record, or End or Error.
    Result Fill();

    int fd_ = -1;
    std::vector<uint8_t> buf_;
    size_t pos_ = 0, len_ = 0;
    int64_t next_ = 0; // file offset of the next record
    SampleLayout layout_;
    bool hasHeader_ = false;
};

} // namespace orvane
