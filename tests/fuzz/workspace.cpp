// Workspace values: any bytes as a workspace file. Every value read lies in
// its control's range, and what is read, written and read again is the same.
// A file of other data is never written into.
#include "FuzzInput.h"
#include "Workspace.h"

#include <QCoreApplication>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace orvane;
    using fuzz::Check;
    static const std::string path = fuzz::ScratchPath("fuzz.owk");
    static const std::string copy = fuzz::ScratchPath("fuzz-copy.owk");
    static const std::vector<std::string> devices{"default", "hw:Loopback"};
    fuzz::WriteScratch(path, std::string_view(reinterpret_cast<const char*>(data), size));

    const WorkspaceState defaults = Workspace::Defaults("/docs/", "/opt/orvane/");
    const WorkspaceState s = Workspace::Read(path, defaults, devices);
    const SourceSettings& src = s.source;
    Check(src.srcNum >= 0 && src.srcNum <= 3, "SrcNum in range");
    Check(src.audioInDevice >= -1 && src.audioInDevice < static_cast<int>(devices.size()), "AudioInDevice in range");
    Check(src.comPort1 >= 1 && src.comPort1 <= kCom1Max && src.comPort2 >= 1 && src.comPort2 <= kCom2Max,
          "COM ports in range");
    const int th1 = ThresholdPercent(src.threshold1), th2 = ThresholdPercent(src.threshold2);
    Check(th1 >= kThreshold1Min && th1 <= kThreshold1Max && th2 >= kThreshold2Min && th2 <= kThreshold2Max,
          "thresholds in range");
    Check(src.connectionType >= 0 && src.connectionType <= 1 && src.deviceType >= 0 && src.deviceType <= 1,
          "connection and device types in range");
    Check(s.playbackSpeed >= kSpeedMin && s.playbackSpeed <= kSpeedMax, "PlaybackSpeed in range");
    Check(s.tuneTo >= -1 && s.tuneTo <= kTuneToMax, "TuneTo in range");
    Check(s.options.signalTimeout >= kSignalTimeoutMin && s.options.signalTimeout <= kSignalTimeoutMax,
          "SignalTimeout in range");
    const int port = TcpPortNumber(src.port);
    Check(port >= 1 && port <= 65535, "TCP port in range");

    if (HoldsOtherData(path)) {
        // The program never opens it; a save into it is refused and leaves it whole.
        bool refused = false;
        try {
            Workspace::Write(path, s, false, devices);
        } catch (const EWorkspaceHoldsOtherData&) {
            refused = true;
        }
        Check(refused, "a save into other data is refused");
        Check(fuzz::ReadScratch(path) == std::string_view(reinterpret_cast<const char*>(data), size),
              "other data is left as it is");
        return 0;
    }

    // A second round trip starts from what the first wrote; it must be a
    // fixed point.
    fuzz::WriteScratch(copy, "");
    Workspace::Write(copy, s, false, devices);
    const WorkspaceState again = Workspace::Read(copy, defaults, devices);
    Workspace::Write(copy, again, false, devices);
    const WorkspaceState third = Workspace::Read(copy, defaults, devices);
    Check(third.source.srcNum == again.source.srcNum && third.source.host == again.source.host &&
              third.source.port == again.source.port && third.source.comPort1 == again.source.comPort1 &&
              third.source.audioInDevice == again.source.audioInDevice &&
              third.source.audioInDeviceName == again.source.audioInDeviceName &&
              ThresholdPercent(third.source.threshold1) == ThresholdPercent(again.source.threshold1) &&
              third.options.notes == again.options.notes && third.options.name == again.options.name &&
              third.options.recordGroups == again.options.recordGroups && third.top == again.top &&
              third.left == again.left && third.playbackSpeed == again.playbackSpeed &&
              third.options.signalTimeout == again.options.signalTimeout,
          "a written workspace reads back unchanged");
    return 0;
}
