#pragma once
// Reads a file line by line through one fixed buffer, so memory stays the
// same whatever the size of the file or of its lines. CR, LF and CR LF all
// end a line; lines are bytes.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace orvane {

class LineReader {
public:
    // Longest line handed out; longer ones are skipped unread.
    static constexpr size_t kMaxLine = 1024;

    enum class Result {
        Line,    // a line of at most kMaxLine bytes, without its line end
        TooLong, // a line longer than kMaxLine; its bytes were not kept
        End,     // no more lines
        Error,   // the file could not be read; stays so until reopened
    };

    explicit LineReader(size_t bufferSize = 64 * 1024);
    virtual ~LineReader();
    LineReader(const LineReader&) = delete;
    LineReader& operator=(const LineReader&) = delete;

    // Opens a regular file read-only; folders, devices and pipes are refused.
    bool Open(const std::string& path);
    // Back to the first line; false when the file cannot be repositioned.
    // Virtual so that a test can change the file between two passes.
    virtual bool Rewind();
    void Close();
    bool IsOpen() const { return fd_ >= 0; }

    // True when no byte is left. A read failure answers false and makes the
    // next Next() report Error.
    bool AtEnd();
    // The next line; `line` stays valid until the next call.
    Result Next(std::string_view& line);

private:
    // Makes at least one unread byte available, after dropping the LF of a
    // CR LF pair. False at the end of the file or on a read failure.
    bool Prime();
    bool Fill();

    int fd_ = -1;
    std::vector<char> buf_;
    size_t pos_ = 0, len_ = 0;
    bool eof_ = false;
    bool error_ = false;
    bool skipLf_ = false; // the last line ended in CR; an LF right after belongs to it
    std::string line_;    // a line that crosses the end of the buffer
};

} // namespace orvane
