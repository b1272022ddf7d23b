#pragma once
// The sound card for tests: an ALSA capture PCM of type "file" over a "null"
// PCM, so captures return the bytes of a file we write. The configuration
// replaces the system's (ALSA_CONFIG_PATH), which lasts for the process, so
// there is one instance per process; "default" names the same PCM. A second
// PCM, kOtherName, stands for another input device with its own file, and
// kBrokenName for an input that is listed but cannot open while its file is
// missing, as a card that is busy or gone.
//
// The PCM returns the file at once, faster than real time, and repeats stale
// data after its end: keep signals shorter than the decoder ring holds and
// end them in silence.
#include <cstdint>
#include <string>
#include <vector>

namespace orvane::test {

class AlsaCapturePcm {
public:
    static constexpr const char* kName = "orvane_capture";
    static constexpr const char* kOtherName = "orvane_capture2";
    static constexpr const char* kBrokenName = "orvane_capture_broken";

    static AlsaCapturePcm& Instance();

    // What every later open of the PCM captures.
    void SetInput(const std::vector<int16_t>& samples);
    void SetInputBytes(const std::string& bytes);
    // What every later open of the other PCM captures.
    void SetOtherInput(const std::vector<int16_t>& samples);
    // Whether later opens of the broken PCM succeed (on silence); it starts
    // broken.
    void SetBrokenOpens(bool opens);
    const std::string& Folder() const { return folder_; }

private:
    AlsaCapturePcm();
    std::string folder_, input_, otherInput_, brokenInput_;
};

} // namespace orvane::test
