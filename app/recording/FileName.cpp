#include "FileName.h"

#include "Utf8.h"

#include <cstdio>
#include <filesystem>

namespace orvane {
namespace {

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// Replaces every occurrence of the lower-case `tag`, in any case.
std::string ReplaceTag(const std::string& text, const std::string& tag, const std::string& value) {
    std::string out;
    out.reserve(text.size());
    size_t i = 0;
    while (i < text.size()) {
        bool match = i + tag.size() <= text.size();
        for (size_t k = 0; match && k < tag.size(); ++k) match = Lower(text[i + k]) == tag[k];
        if (match) {
            out += value;
            i += tag.size();
        } else {
            out += text[i++];
        }
    }
    return out;
}

std::string TwoDigits(char sep, int a, int b, int c) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%02d%c%02d%c%02d", a % 100, sep, b % 100, sep, c % 100);
    return buf;
}

std::string DateText(const LocalTime& t) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", t.year % 10000, t.month % 100, t.day % 100);
    return buf;
}

std::string TimeText(const LocalTime& t) { return TwoDigits('-', t.hour, t.minute, t.second); }

std::string FileNameSafe(std::string ps) {
    // PS is padded to eight characters; its blanks would end the name part
    // ("DEMO FM .txt").
    while (!ps.empty() && ps.back() == ' ') ps.pop_back();
    static constexpr char kBad[] = "\"*?/\\#.%:|<>^";
    for (char& c : ps) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 32 || std::string_view(kBad).find(c) != std::string_view::npos) c = '_';
    }
    return ps;
}

size_t NameStart(const std::string& name) {
    const size_t slash = name.rfind('/');
    return slash == std::string::npos ? 0 : slash + 1;
}

} // namespace

std::string EncodeFileName(const std::string& tmpl, const LocalTime& now, const std::string& pi,
                           const std::string& ps) {
    std::string s = ReplaceTag(tmpl, "%time", TimeText(now));
    s = ReplaceTag(s, "%date", DateText(now));
    s = ReplaceTag(s, "%pi", pi);
    return ReplaceTag(s, "%ps", FileNameSafe(ps));
}

std::string ResolveInFolder(const std::string& name, const std::string& folder) {
    if (!name.empty() && name[0] == '/') return name;
    return folder + name;
}

std::string FolderOf(const std::string& name) { return name.substr(0, NameStart(name)); }

void MakeDocumentsFolderFor(const std::string& name, const std::string& documentsFolder) {
    std::error_code ec;
    if (FolderOf(name) == documentsFolder) std::filesystem::create_directories(documentsFolder, ec);
}

std::string ExtensionOf(const std::string& name) {
    const size_t dot = name.rfind('.');
    if (dot == std::string::npos || dot < NameStart(name)) return {};
    return name.substr(dot);
}

std::string ChangeExtension(const std::string& name, const std::string& extension) {
    return name.substr(0, name.size() - ExtensionOf(name).size()) + extension;
}

std::string NumberedFreeName(const std::string& name) {
    const std::string ext = ExtensionOf(name);
    const std::string stem = name.substr(0, name.size() - ext.size());
    std::error_code ec;
    for (int n = 2;; ++n) {
        std::string candidate = stem + " (" + std::to_string(n) + ")" + ext;
        if (!std::filesystem::exists(candidate, ec)) return candidate;
    }
}

std::string HeaderLine(const RecordingHeader& h) {
    auto field = [](const char* name, std::string_view value) {
        return std::string(" ") + name + "=\"" + std::string(value) + "\"";
    };
    std::string line = "<recorder=\"Orvane\"";
    line += field("date", DateText(h.time));
    line += field("time", TimeText(h.time));
    line += field("source", std::to_string(h.source));
    line += field("name", utf8::CutCharacters(h.name, 20));
    line += field("location", utf8::CutCharacters(h.location, 20));
    line += field("notes", utf8::CutCharacters(h.notes, 64));
    if (!h.frequency.empty()) line += field("frequency", h.frequency);
    return line + ">";
}

} // namespace orvane
