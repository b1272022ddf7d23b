#include "Workspace.h"

#include "IniFile.h"
#include "Options.h"
#include "SettingsFile.h"

#include <QString>

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace orvane {

namespace {

constexpr const char* kGeneral = "General";
constexpr const char* kRecord = "Record";
constexpr int kFileNameMaxLength = 1023; // EDEFFN, EREPFN, EOTP
constexpr int kNameMaxLength = 20, kNotesMaxLength = 64;

// Cut to what an edit of that many characters holds, never inside a character.
std::string Cut(const std::string& text, int maxLength) {
    QString s = QString::fromStdString(text);
    if (s.size() <= maxLength) return text;
    s.truncate(maxLength);
    if (!s.isEmpty() && s.back().isHighSurrogate()) s.chop(1);
    return s.toStdString();
}

// Hosts and ports are names, not free text: blanks and tabs around them come
// from lining values up by hand and would only make the connection fail.
std::string ReadName(const TIniFile& ini, const char* key, const std::string& def) {
    const std::string text = ini.ReadString(kGeneral, key, def);
    const size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

int ReadClamped(const TIniFile& ini, const char* key, int def, int lo, int hi) {
    return std::clamp(ini.ReadInteger(kGeneral, key, def), lo, hi);
}

std::string GroupKey(int n) { return "GroupIndex" + std::to_string(n); }

// The options' keys in the order they are written, each with its member and
// the limits a hand-edited value is brought into when read.
struct OptionKey {
    const char* key;
    bool OptionSettings::*flag = nullptr;
    int OptionSettings::*number = nullptr;
    int lo = 0, hi = 0;
    std::string OptionSettings::*text = nullptr;
    int maxLength = 0; // 0: kept whole
};
OptionKey Flag(const char* key, bool OptionSettings::*m) { return {key, m}; }
OptionKey Number(const char* key, int OptionSettings::*m, int lo, int hi) { return {key, nullptr, m, lo, hi}; }
OptionKey Text(const char* key, std::string OptionSettings::*m, int maxLength = 0) {
    return {key, nullptr, nullptr, 0, 0, m, maxLength};
}
const OptionKey kOptionKeys[] = {
    Flag("AutoSave", &OptionSettings::autoSave),
    Flag("PIReset", &OptionSettings::piReset),
    Flag("TimeoutReset", &OptionSettings::timeoutReset),
    Flag("BadAsCorrect", &OptionSettings::badAsCorrect),
    Flag("PIStop", &OptionSettings::piStop),
    Number("StartNew", &OptionSettings::startNew, 0, 1),
    Flag("ShowTotal", &OptionSettings::showTotal),
    Flag("SocketSync", &OptionSettings::socketSync),
    Flag("FileTypeOrv", &OptionSettings::fileTypeOrv),
    Flag("FileTypeSmp", &OptionSettings::fileTypeSmp),
    Flag("TimeoutStop", &OptionSettings::timeoutStop),
    Flag("AddDateTime", &OptionSettings::addDateTime),
    Flag("TimeMachine", &OptionSettings::timeMachine),
    Flag("ConfirmFrequency", &OptionSettings::confirmFrequency),
    Flag("AutosaveReports", &OptionSettings::autosaveReports),
    Number("SignalTimeout", &OptionSettings::signalTimeout, kSignalTimeoutMin, kSignalTimeoutMax),
    Text("DefaultFilename", &OptionSettings::defaultFilename, kFileNameMaxLength),
    Text("ReportFilename", &OptionSettings::reportFilename, kFileNameMaxLength),
    Text("ReportTemplate", &OptionSettings::reportTemplate, kFileNameMaxLength),
    Text("TemplateDialogDir", &OptionSettings::templateDialogDir),
    Text("Name", &OptionSettings::name, kNameMaxLength),
    Text("Location", &OptionSettings::location, kNameMaxLength),
    Text("Notes", &OptionSettings::notes, kNotesMaxLength),
};

} // namespace

int ThresholdPercent(float threshold) { return static_cast<int>(std::nearbyint(threshold * 100.0f)); }

WorkspaceState Workspace::Defaults(const std::string& documentsFolder, const std::string& programFolder) {
    WorkspaceState s;
    s.playDialogDir = s.recDialogDir = s.reportDir = documentsFolder;
    s.options.defaultFilename = documentsFolder + kDefaultRecordingName;
    s.options.reportFilename = documentsFolder + kDefaultReportName;
    s.options.templateDialogDir = programFolder;
    return s;
}

WorkspaceState Workspace::Read(const std::string& file, const WorkspaceState& d,
                               const std::vector<std::string>& audioDevices) {
    const TIniFile ini(file);
    WorkspaceState s = d;
    s.top = ini.ReadInteger(kGeneral, "Top", d.top);
    s.left = ini.ReadInteger(kGeneral, "Left", d.left);
    s.visible = ini.ReadBool(kGeneral, "Visible", d.visible);

    SourceSettings& src = s.source;
    const SourceSettings& ds = d.source;
    src.srcNum = ReadClamped(ini, "SrcNum", ds.srcNum, 0, 3);
    src.edge = ini.ReadBool(kGeneral, "Edge", ds.edge);
    src.rdsEnc = ini.ReadBool(kGeneral, "RDSEnc", ds.rdsEnc);
    src.invert = ini.ReadBool(kGeneral, "Invert", ds.invert);
    // Without a device list there is nothing to clamp the index to; it is
    // kept as stored rather than lost.
    const int lastDevice = audioDevices.empty() ? INT32_MAX : static_cast<int>(audioDevices.size()) - 1;
    src.audioInDevice = std::clamp(ini.ReadInteger(kGeneral, "AudioInDevice", ds.audioInDevice), -1, lastDevice);
    src.audioInDeviceName = ini.ReadString(kGeneral, "AudioInDeviceName", ds.audioInDeviceName);
    const QString wanted = QString::fromStdString(src.audioInDeviceName);
    for (size_t i = 0; i < audioDevices.size(); ++i) {
        if (QString::fromStdString(audioDevices[i]).compare(wanted, Qt::CaseInsensitive) == 0) {
            src.audioInDevice = static_cast<int>(i);
            break;
        }
    }
    src.threshold1 = static_cast<float>(ReadClamped(ini, "Threshold1", ThresholdPercent(ds.threshold1), kThreshold1Min,
                                                    kThreshold1Max)) / 100.0f;
    src.threshold2 = static_cast<float>(ReadClamped(ini, "Threshold2", ThresholdPercent(ds.threshold2), kThreshold2Min,
                                                    kThreshold2Max)) / 100.0f;
    src.host = Cut(ReadName(ini, "Host", ds.host), kHostMaxLength);
    src.port = Cut(ReadName(ini, "Port", ds.port), kPortMaxLength);
    src.comPort1 = ReadClamped(ini, "COMPort1", ds.comPort1, 1, kCom1Max);
    src.comPort2 = ReadClamped(ini, "COMPort2", ds.comPort2, 1, kCom2Max);
    src.connectionType = ReadClamped(ini, "ConnectionType", ds.connectionType, 0, 1);
    src.deviceType = ReadClamped(ini, "DeviceType", ds.deviceType, 0, 1);

    s.playbackSpeed = ReadClamped(ini, "PlaybackSpeed", d.playbackSpeed, kSpeedMin, kSpeedMax);
    s.tuneTo = ReadClamped(ini, "TuneTo", d.tuneTo, -1, kTuneToMax);
    s.playDialogFilterIndex = ReadClamped(ini, "PlayDialogFilterIndex", d.playDialogFilterIndex, 1, 4);
    s.recDialogFilterIndex = ReadClamped(ini, "RecDialogFilterIndex", d.recDialogFilterIndex, 1, 2);
    s.playDialogDir = ini.ReadString(kGeneral, "PlayDialogDir", d.playDialogDir);
    s.recDialogDir = ini.ReadString(kGeneral, "RecDialogDir", d.recDialogDir);
    s.reportDir = ini.ReadString(kGeneral, "ReportDir", d.reportDir);
    s.streamHost = ReadName(ini, "StreamHost", d.streamHost);
    s.streamPort = ReadName(ini, "StreamPort", d.streamPort);

    OptionSettings& o = s.options;
    const OptionSettings& od = d.options;
    for (const OptionKey& k : kOptionKeys) {
        if (k.flag) {
            o.*k.flag = ini.ReadBool(kGeneral, k.key, od.*k.flag);
        } else if (k.number) {
            o.*k.number = ReadClamped(ini, k.key, od.*k.number, k.lo, k.hi);
        } else {
            const std::string text = ini.ReadString(kGeneral, k.key, od.*k.text);
            o.*k.text = k.maxLength ? Cut(text, k.maxLength) : text;
        }
    }
    for (int n = 0; n < kRecordGroupItems; ++n)
        o.recordGroups[static_cast<size_t>(n)] =
            ini.ReadBool(kRecord, GroupKey(n), od.recordGroups[static_cast<size_t>(n)]);
    return s;
}

void Workspace::Write(const std::string& file, const WorkspaceState& s, bool keepStoredSource,
                      const std::vector<std::string>& audioDevices) {
    if (IsWriteProtected(file)) throw EIniFileError("The workspace file is write-protected");
    // It may have been replaced by other data since it was opened.
    if (HoldsOtherData(file)) throw EWorkspaceHoldsOtherData("The workspace file holds other data");
    TIniFile ini(file);
    const SourceSettings& src = s.source;
    ini.WriteInteger(kGeneral, "Top", s.top);
    ini.WriteInteger(kGeneral, "Left", s.left);
    if (!keepStoredSource) ini.WriteInteger(kGeneral, "SrcNum", src.srcNum);
    ini.WriteBool(kGeneral, "Edge", src.edge);
    ini.WriteBool(kGeneral, "RDSEnc", src.rdsEnc);
    ini.WriteInteger(kGeneral, "Threshold1", ThresholdPercent(src.threshold1));
    ini.WriteInteger(kGeneral, "Threshold2", ThresholdPercent(src.threshold2));
    ini.WriteBool(kGeneral, "Invert", src.invert);
    ini.WriteInteger(kGeneral, "AudioInDevice", src.audioInDevice);
    const bool listed = src.audioInDevice >= 0 && src.audioInDevice < static_cast<int>(audioDevices.size());
    ini.WriteString(kGeneral, "AudioInDeviceName",
                    listed                      ? audioDevices[static_cast<size_t>(src.audioInDevice)]
                    : src.audioInDevice < 0     ? std::string("(Default)")
                                                : src.audioInDeviceName);
    if (!keepStoredSource) ini.WriteString(kGeneral, "Port", src.port);
    ini.WriteInteger(kGeneral, "COMPort1", src.comPort1);
    ini.WriteInteger(kGeneral, "COMPort2", src.comPort2);
    if (!keepStoredSource) {
        ini.WriteInteger(kGeneral, "ConnectionType", src.connectionType);
        ini.WriteInteger(kGeneral, "DeviceType", src.deviceType);
        ini.WriteString(kGeneral, "Host", src.host);
    }
    ini.WriteInteger(kGeneral, "PlaybackSpeed", s.playbackSpeed);
    ini.WriteInteger(kGeneral, "TuneTo", s.tuneTo);
    ini.WriteInteger(kGeneral, "RecDialogFilterIndex", s.recDialogFilterIndex);
    ini.WriteInteger(kGeneral, "PlayDialogFilterIndex", s.playDialogFilterIndex);
    ini.WriteString(kGeneral, "PlayDialogDir", s.playDialogDir);
    ini.WriteString(kGeneral, "RecDialogDir", s.recDialogDir);
    ini.WriteString(kGeneral, "ReportDir", s.reportDir);
    ini.WriteString(kGeneral, "StreamHost", s.streamHost);
    ini.WriteString(kGeneral, "StreamPort", s.streamPort);

    const OptionSettings& o = s.options;
    for (const OptionKey& k : kOptionKeys) {
        if (k.flag)
            ini.WriteBool(kGeneral, k.key, o.*k.flag);
        else if (k.number)
            ini.WriteInteger(kGeneral, k.key, o.*k.number);
        else
            ini.WriteString(kGeneral, k.key, o.*k.text);
    }
    for (int n = 0; n < kRecordGroupItems; ++n)
        ini.WriteBool(kRecord, GroupKey(n), o.recordGroups[static_cast<size_t>(n)]);
    ini.UpdateFile();
}

std::optional<SourceSwitch> FindSourceSwitch(const std::vector<std::string>& args) {
    std::optional<SourceSwitch> found;
    for (const auto& arg : args) {
        QString a = QString::fromStdString(arg).toUpper();
        a.remove(QLatin1Char('"'));
        if (!a.startsWith(QLatin1String("-C:SOC:")) && !a.startsWith(QLatin1String("/C:SOC:"))) continue;
        const QString rest = a.mid(7);
        const qsizetype colon = rest.indexOf(QLatin1Char(':'));
        if (colon < 0) continue;
        found = SourceSwitch{rest.left(colon).toStdString(), rest.mid(colon + 1).toStdString()};
    }
    return found;
}

int TcpPortNumber(const std::string& text) {
    if (text.empty() || text.size() > 5) return 23;
    int value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return 23;
        value = value * 10 + (c - '0');
    }
    return value >= 1 && value <= 65535 ? value : 23;
}

// In integers: 11.42 has no exact binary form, and a product just below a
// whole number would lose an entry when truncated.
int PreBufferEntries(int seconds) { return seconds * 1142 / 100 + 1; }

} // namespace orvane
