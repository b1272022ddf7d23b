#include "ReportWriter.h"

#include "FileName.h"
#include "ReportTemplate.h"
#include "ValueTable.h"
#include "veltutil.h"

#include <QFile>

#include <cstdio>
#include <filesystem>
#include <vector>

namespace orvane {
namespace {

// The report's own formats: "yyyy'/'mm'/'dd" and "hh':'nn':'ss".
std::string DateText(const LocalTime& t) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%04d/%02d/%02d", t.year % 10000, t.month % 100, t.day % 100);
    return buf;
}

std::string TimeText(const LocalTime& t) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%02d:%02d:%02d", t.hour % 100, t.minute % 100, t.second % 100);
    return buf;
}

// Values of "<prefix>1", "<prefix>2" ... up to the first empty one, highest
// number first, joined by CR LF.
std::string History(const TValueTable& table, const std::string& prefix) {
    std::vector<std::string> values;
    for (int n = 1;; ++n) {
        std::string v = ReadValue(table, prefix + std::to_string(n));
        if (v.empty()) break;
        values.push_back(std::move(v));
    }
    std::string out;
    for (auto it = values.rbegin(); it != values.rend(); ++it) {
        if (!out.empty()) out += "\r\n";
        out += *it;
    }
    return out;
}

std::string AFList(const TValueTable& table) {
    std::string out;
    for (int n = 1;; ++n) {
        const std::string v = ReadValue(table, "AF.MethodB." + std::to_string(n));
        if (v.empty()) break;
        if (!out.empty()) out += "\r\n";
        out += "List " + IntToStrSpace(n, 2) + " = " + v;
    }
    return out;
}

bool ReadFile(const std::string& path, std::string& bytes) {
    QFile f(QString::fromStdString(path));
    if (!f.open(QIODevice::ReadOnly)) return false;
    bytes = f.readAll().toStdString();
    // A byte-order mark from an editor is no part of the first line.
    if (bytes.starts_with("\xEF\xBB\xBF")) bytes.erase(0, 3);
    return true;
}

bool WriteFile(const std::string& path, const std::string& bytes) {
    QFile f(QString::fromStdString(path));
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) return false;
    const bool written = f.write(bytes.data(), static_cast<qint64>(bytes.size())) == static_cast<qint64>(bytes.size());
    return f.flush() && written;
}

std::string FileNamePart(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

} // namespace

std::string ReportWriter::TemplatePath() const {
    const std::string name = host_.Options().ReportTemplate();
    // A name with a folder part is used as it stands; a bare one is shipped
    // beside the program.
    if (name.find('/') != std::string::npos) return name;
    return host_.ProgramFolder() + name;
}

std::string ReportWriter::FrequencyField() const {
    if (host_.Options().AlwaysConfirmFrequency()) return host_.ConfirmedFrequency();
    const std::string text = host_.FrequencyText() + " MHz";
    return text == " MHz" ? "not specified" : text;
}

void ReportWriter::SaveReport(const std::string& fileName, bool overwriteAsked) {
    written_ = true;
    host_.SendCommandToAll("REQUEST", "DECODERDATA");
    const LocalTime now = clock_.Now();

    std::string templ;
    const bool found = ReadFile(TemplatePath(), templ);
    if (!found) host_.Show("Cannot find the report template file (" + host_.Options().ReportTemplate() + ")!");
    const bool html = IsHtmlTemplate(templ);

    TValueTable& table = host_.ValueTable();
    if (table.Count > ORVANE_VALUE_TABLE_SIZE) table.Count = ORVANE_VALUE_TABLE_SIZE;
    std::vector<ReportField> fields;
    const int count = ValueCount(table);
    for (int i = 0; i < count; ++i) {
        const std::string_view key = KeyAt(table, i);
        if (!key.empty()) fields.push_back({std::string(key), XmlEscape(std::string(ValueAt(table, i)), html)});
    }
    const std::pair<const char*, std::string> fixed[] = {
        {"time", TimeText(now)},
        {"date", DateText(now)},
        {"rstime", TimeText(resetTime_)},
        {"rsdate", DateText(resetTime_)},
        {"af.methodb", AFList(table)},
        {"ps.history", History(table, "PS.History.")},
        {"rt.history", History(table, "RT.History.")},
        {"pty.history", History(table, "PTY.History.")},
        {"frequency", FrequencyField()},
    };
    for (const auto& [name, value] : fixed) fields.push_back({name, XmlEscape(value, html)});

    const std::string path = ResolveInFolder(fileName, host_.DocumentsFolder());
    // An empty report from a missing template replaces nothing the user did
    // not agree to lose.
    std::error_code ec;
    if (!found && !overwriteAsked && std::filesystem::exists(path, ec)) return;
    MakeDocumentsFolderFor(path, host_.DocumentsFolder());
    if (!WriteFile(path, FillTemplate(templ, fields))) {
        host_.Show(kCannotWrite);
        return;
    }
    host_.SendCommandToAll("FILEWRITTEN", path);
}

void ReportWriter::CreateReport1Click() {
    const std::string name =
        EncodeFileName(FileNamePart(host_.Options().ReportFileName()), clock_.Now(), host_.PIText(), host_.PSN());
    const std::string folder = folder_.empty() ? host_.DocumentsFolder() : folder_;
    const std::string file = host_.AskReportFile(folder + (folder.ends_with('/') ? "" : "/") + name);
    if (file.empty()) return;
    if (host_.Options().AlwaysConfirmFrequency()) host_.ConfirmFrequency();
    folder_ = FolderOf(file);
    SaveReport(file, true);
}

void ReportWriter::ChkReport() {
    if (written_ || host_.PIText() == "----" || !host_.Options().SaveReportsAutomatically() || host_.Playing() ||
        host_.PlaybackEndShown())
        return;
    SaveReport(EncodeFileName(host_.Options().ReportFileName(), clock_.Now(), host_.PIText(), host_.PSN()));
}

void ReportWriter::DataReset(const LocalTime& now) {
    resetTime_ = now;
    written_ = false;
}

} // namespace orvane
