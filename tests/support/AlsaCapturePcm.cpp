#include "AlsaCapturePcm.h"

#include "TestFiles.h"

#include <QDir>
#include <QTemporaryDir>

#include <cstdio>
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
    brokenInput_ = folder_ + "capture3.raw";
    SetInputBytes({});
    SetOtherInput({});
    const std::string config = folder_ + "asound.conf";
    std::ofstream out(config);
    const auto filePcm = [&out](const char* name, const std::string& infile, const char* description) {
        out << "pcm." << name << " {\n"
               "  type file\n"
               "  slave.pcm \"null\"\n"
               "  file \"/dev/null\"\n"
               "  infile \"" << infile << "\"\n"
               "  format \"raw\"\n"
               "  hint { show on description \"" << description << "\" }\n"
               "}\n";
    };
    out << "pcm.null { type null }\n";
    filePcm(kName, input_, "Orvane test capture");
    filePcm(kOtherName, otherInput_, "Orvane second test capture");
    filePcm(kBrokenName, brokenInput_, "Orvane test capture that cannot open");
    out << "pcm.!default \"" << kName << "\"\n";
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

void AlsaCapturePcm::SetBrokenOpens(bool opens) {
    if (opens) WriteFileBytes(brokenInput_, std::string(8192, '\0'));
    else std::remove(brokenInput_.c_str());
}

} // namespace orvane::test
