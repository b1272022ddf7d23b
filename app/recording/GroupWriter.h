#pragma once
// The two kinds of recording behind one interface. Each group is handed to
// the operating system as it is written, with no user-space buffer holding it
// back, so a killed program loses at most a sample file's trailer.
#include "SampleFormat.h"

#include <orvane/rdsgroup.h>

#include <memory>
#include <string>

namespace orvane {

class IGroupWriter {
public:
    virtual ~IGroupWriter() = default;
    // False on a write failure.
    virtual bool Write(const TRDSGroupRec& group) = 0;
    // Ends the file (a sample file gets its trailer) and closes it; errors
    // are ignored.
    virtual void Finish() = 0;
};

// A file descriptor written with write(2) in whole pieces.
class FileSink {
public:
    FileSink() = default;
    ~FileSink();
    FileSink(const FileSink&) = delete;
    FileSink& operator=(const FileSink&) = delete;

    // Opens for appending (else truncating) and creates when missing.
    bool Open(const std::string& path, bool append);
    bool Write(const void* data, size_t size);
    void Close();

private:
    int fd_ = -1;
};

// Group text lines after one header line; appends to an existing file.
class TextGroupWriter final : public IGroupWriter {
public:
    // Null when the file cannot be opened. The header is written as it
    // stands, write errors ignored.
    static std::unique_ptr<TextGroupWriter> Open(const std::string& path, const std::string& header,
                                                 bool addDateTime);
    bool Write(const TRDSGroupRec& group) override;
    void Finish() override { sink_.Close(); }

private:
    explicit TextGroupWriter(bool addDateTime) : addDateTime_(addDateTime) {}
    FileSink sink_;
    bool addDateTime_;
};

// The raw sample file; its check words for block C follow the encoder's
// memory of the last block B, which outlives one file.
class SampleGroupWriter final : public IGroupWriter {
public:
    static std::unique_ptr<SampleGroupWriter> Open(const std::string& path, SampleEncoder& encoder,
                                                   std::string location, std::string name);
    bool Write(const TRDSGroupRec& group) override;
    void Finish() override;

private:
    SampleGroupWriter(SampleEncoder& encoder, std::string location, std::string name)
        : encoder_(encoder), location_(std::move(location)), name_(std::move(name)) {}
    FileSink sink_;
    SampleEncoder& encoder_;
    std::string location_, name_;
};

} // namespace orvane
