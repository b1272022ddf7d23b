#include "AlsaCapturePcm.h"

#include "TestFiles.h"

#include <QDir>
#include <QTemporaryDir>

#include <cstdlib>
#include <fstream>
#include <stdexcept>

namespace orvane::test {

AlsaCapturePcm& AlsaCapturePcm::Instance() {
    static AlsaCapturePcm pcm;
    return pcm;
}

AlsaCapturePcm::AlsaCapturePcm() {
    static QTemporaryDir dir;
    if (!dir.isValid()) throw std::runtime_error("no temporary folder for the ALSA configuration");
    folder_ = dir.path().toStdString() + "/";
    input_ = folder_ + "capture.raw";
    otherInput_ = folder_ + "capture2.raw";
    SetInputBytes({});
    SetOtherInput({});
    const std::string config = folder_ + "asound.conf";
    std::ofstream out(config);
    out << "pcm.null { type null }\n"
           "pcm." << kName << " {\n"
           "  type file\n"
           "  slave.pcm \"null\"\n"
           "  file \"/dev/null\"\n"
           "  infile \"" << input_ << "\"\n"
           "  format \"raw\"\n"
           "  hint { show on description \"Orvane test capture\" }\n"
           "}\n"
           "pcm." << kOtherName << " {\n"
           "  type file\n"
           "  slave.pcm \"null\"\n"
           "  file \"/dev/null\"\n"
           "  infile \"" << otherInput_ << "\"\n"
           "  format \"raw\"\n"
           "  hint { show on description \"Orvane second test capture\" }\n"
           "}\n"
           "pcm.!default \"" << kName << "\"\n";
    out.close();
    if (!out) throw std::runtime_error("cannot write " + config);
    setenv("ALSA_CONFIG_PATH", config.c_str(), 1);
}

void AlsaCapturePcm::SetInput(const std::vector<int16_t>& samples) {
    SetInputBytes(std::string(reinterpret_cast<const char*>(samples.data()), samples.size() * sizeof(int16_t)));
}

void AlsaCapturePcm::SetInputBytes(const std::string& bytes) { WriteFileBytes(input_, bytes); }

void AlsaCapturePcm::SetOtherInput(const std::vector<int16_t>& samples) {
    WriteFileBytes(otherInput_,
                   std::string(reinterpret_cast<const char*>(samples.data()), samples.size() * sizeof(int16_t)));
}

} // namespace orvane::test
