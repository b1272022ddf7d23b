#pragma once
// Takes typed values from a fuzzer's bytes; past the end every value is 0
// or empty, so a target never reads outside its input.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace orvane::fuzz {

class FuzzInput {
public:
    FuzzInput(const uint8_t* data, size_t size) : data_(data), size_(size) {}

    bool Empty() const { return pos_ >= size_; }
    uint8_t Byte() { return pos_ < size_ ? data_[pos_++] : 0; }
    uint32_t U32() {
        uint32_t v = 0;
        for (int i = 0; i < 4; ++i) v |= static_cast<uint32_t>(Byte()) << (8 * i);
        return v;
    }
    int32_t I32() { return static_cast<int32_t>(U32()); }
    double Double() {
        uint64_t bits = static_cast<uint64_t>(U32()) | static_cast<uint64_t>(U32()) << 32;
        double d;
        std::memcpy(&d, &bits, sizeof d);
        return d;
    }
    // A length byte, then that many bytes.
    std::string Text() { return Bytes(Byte()); }
    std::string Bytes(size_t n) {
        n = std::min(n, size_ - std::min(pos_, size_));
        std::string s(reinterpret_cast<const char*>(data_ + pos_), n);
        pos_ += n;
        return s;
    }
    std::string Rest() { return Bytes(size_); }

private:
    const uint8_t* data_;
    size_t size_;
    size_t pos_ = 0;
};

// A file of this process for targets whose parser reads files.
std::string ScratchPath(const char* name);
void WriteScratch(const std::string& path, std::string_view bytes);
std::string ReadScratch(const std::string& path);

// Stops the run with a message when a property does not hold; the fuzzer
// (or the replay) reports it as a crash.
[[noreturn]] void Fail(const char* what);
inline void Check(bool ok, const char* what) {
    if (!ok) Fail(what);
}

} // namespace orvane::fuzz
