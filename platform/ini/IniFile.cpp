#include "IniFile.h"

#include "Utf8.h"

#include <QByteArray>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QString>
#include <QStringDecoder>

#include <algorithm>
#include <charconv>

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view Trim(std::string_view s) {
    while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
    return s;
}

// A name or value as text (see the class comment): the file's bytes, or a
// caller's, read the one way every text of a file is read.
std::string Text(std::string_view s) { return orvane::utf8::FromFileBytes(s); }
std::string CleanName(std::string_view s) { return Text(Trim(s)); }

bool HasLineBreak(std::string_view s) { return s.find_first_of("\r\n") != std::string_view::npos; }
bool HasNul(std::string_view s) { return s.find('\0') != std::string_view::npos; }

void SkipByteOrderMarks(std::string_view& text) {
    while (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
}

// The next line of text from pos, without its line break; pos moves past it.
std::string_view NextLine(std::string_view text, size_t& pos) {
    size_t end = text.find_first_of("\r\n", pos);
    if (end == std::string_view::npos) end = text.size();
    const std::string_view line = text.substr(pos, end - pos);
    pos = end;
    return line;
}

// A section header: "[" first, the name running to the last "]" on the
// line; whatever follows that is a comment, as other ini readers take it.
bool IsHeader(std::string_view trimmed) {
    return !trimmed.empty() && trimmed.front() == '[' && trimmed.find(']', 1) != std::string_view::npos;
}

std::string_view HeaderName(std::string_view trimmed) {
    return Trim(trimmed.substr(1, trimmed.rfind(']') - 1));
}

// Refuses what a line of the file cannot carry, so that every value written
// reads back unchanged: a line break anywhere would start a new line, "=" in
// a key would end the key there, and a key beginning with "[" with a "]"
// anywhere after it, in the key or the value, would read back as a section
// header.
void CheckStorable(std::string_view section, std::string_view key, std::string_view value) {
    if (HasLineBreak(section)) throw EIniFileError("A section name cannot hold a line break");
    if (HasLineBreak(key)) throw EIniFileError("A key name cannot hold a line break");
    if (key.find('=') != std::string_view::npos) throw EIniFileError("A key name cannot hold \"=\"");
    if (HasLineBreak(value)) throw EIniFileError("A value cannot hold a line break");
    if (HasNul(section) || HasNul(key) || HasNul(value))
        throw EIniFileError("A section name, key name or value cannot hold a NUL byte");
    const std::string_view k = Trim(key);
    if (!k.empty() && k.front() == '[' &&
        (k.find(']') != std::string_view::npos || value.find(']') != std::string_view::npos))
        throw EIniFileError("A key beginning with \"[\" cannot hold \"]\" nor have it in its value");
}

std::string AsciiFold(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return out;
}

// The form in which two names compare equal when they differ only in case,
// taken from the name as text, so that a name in Windows-1252 meets its
// spelling in UTF-8.
std::string Fold(std::string_view raw) {
    const std::string name = CleanName(raw);
    const bool ascii = std::all_of(name.begin(), name.end(),
                                   [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    if (ascii) return AsciiFold(name);
    QStringDecoder decoder(QStringConverter::Utf8,
                           QStringConverter::Flag::ConvertInitialBom | QStringConverter::Flag::Stateless);
    const QString text = decoder.decode(QByteArrayView(name.data(), static_cast<qsizetype>(name.size())));
    return text.toCaseFolded().toUtf8().toStdString();
}

QString NativePath(const std::string& fileName) {
    return QFile::decodeName(QByteArray::fromStdString(fileName));
}

// Blanks and tabs around the digits do not count: people line values up by
// hand, and a number read as its default would be saved over their edit.
bool ParseInteger(std::string_view s, int32_t& out) {
    s = Trim(s);
    if (s.empty()) return false;
    int32_t v = 0;
    const auto [ptr, ec] = std::from_chars(s.data(), s.data() + s.size(), v, 10);
    if (ec != std::errc() || ptr != s.data() + s.size()) return false;
    out = v;
    return true;
}

} // namespace

bool IsIniText(std::string_view text) {
    if (HasNul(text)) return false;
    SkipByteOrderMarks(text);
    bool holdsText = false;
    for (size_t pos = 0; pos < text.size();) {
        const std::string_view line = Trim(NextLine(text, pos));
        if (pos < text.size()) ++pos; // CR LF leaves a blank line between, which counts for nothing
        if (line.empty() || line.front() == ';' || line.front() == '#') continue;
        if (IsHeader(line)) return true;
        holdsText = true;
    }
    return !holdsText;
}

bool HoldsOtherData(const std::string& fileName) {
    QFile file(NativePath(fileName));
    if (!file.exists() || !file.open(QIODevice::ReadOnly)) return false;
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) return false;
    return !IsIniText(std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())));
}

TIniFile::TIniFile(std::string fileName) : fileName_(std::move(fileName)) {
    if (fileName_.empty()) return;
    const QString path = NativePath(fileName_);
    const QFileInfo info(path);
    if (!info.exists()) return;
    if (info.isDir()) {
        readError_ = "it is a folder";
        return;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        readError_ = file.errorString().toStdString();
        return;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        readError_ = file.errorString().toStdString();
        return;
    }
    Parse(std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())));
}

void TIniFile::Parse(std::string_view text) {
    // Every byte-order mark at the start goes: the file is written without
    // one, and a second mark left in the first line would change how that
    // line reads once the file is saved.
    SkipByteOrderMarks(text);
    std::vector<Line>* target = &preamble_;
    size_t pos = 0;
    bool breakSeen = false;
    while (pos < text.size()) {
        const std::string_view raw = NextLine(text, pos);
        if (pos < text.size()) {
            // CR LF is one line break, a lone CR or LF too.
            const size_t len = (text[pos] == '\r' && pos + 1 < text.size() && text[pos + 1] == '\n') ? 2 : 1;
            if (!breakSeen) lineBreak_ = std::string(text.substr(pos, len));
            breakSeen = true;
            pos += len;
        }

        const std::string_view t = Trim(raw);
        if (IsHeader(t)) {
            Section s;
            s.raw = std::string(raw);
            s.name = Text(HeaderName(t));
            s.fold = Fold(s.name);
            sections_.push_back(std::move(s));
            target = &sections_.back().lines;
            continue;
        }
        Line line;
        line.raw = std::string(raw);
        const size_t eq = raw.find('=');
        if (eq != std::string_view::npos) {
            line.isKey = true;
            line.key = CleanName(raw.substr(0, eq));
            line.fold = Fold(line.key);
            line.value = Text(raw.substr(eq + 1));
        }
        target->push_back(std::move(line));
    }
}

std::string TIniFile::Serialise() const {
    std::string out;
    auto put = [this, &out](const Line& l) {
        if (l.rewrite) {
            out += l.key;
            out += '=';
            out += l.value;
        } else {
            out += l.raw;
        }
        out += lineBreak_;
    };
    for (const Line& l : preamble_) put(l);
    for (const Section& s : sections_) {
        if (s.rewrite)
            out += "[" + s.name + "]";
        else
            out += s.raw;
        out += lineBreak_;
        for (const Line& l : s.lines) put(l);
    }
    return out;
}

const TIniFile::Section* TIniFile::FindSection(std::string_view fold) const {
    for (const Section& s : sections_)
        if (s.fold == fold) return &s;
    return nullptr;
}

TIniFile::Section* TIniFile::FindSection(std::string_view fold) {
    for (Section& s : sections_)
        if (s.fold == fold) return &s;
    return nullptr;
}

const TIniFile::Line* TIniFile::FindKey(const Section& s, std::string_view fold) {
    for (const Line& l : s.lines)
        if (l.isKey && l.fold == fold) return &l;
    return nullptr;
}

std::string TIniFile::ReadString(std::string_view section, std::string_view key,
                                 std::string_view def) const {
    if (const Section* s = FindSection(Fold(section)))
        if (const Line* l = FindKey(*s, Fold(key))) return l->value;
    return std::string(def);
}

void TIniFile::WriteString(std::string_view section, std::string_view key, std::string_view value) {
    CheckStorable(section, key, value);
    const std::string secName = CleanName(section);
    const std::string keyName = CleanName(key);
    const std::string secFold = Fold(secName);
    const std::string keyFold = Fold(keyName);
    const std::string text = Text(value);

    Section* s = FindSection(secFold);
    if (!s) {
        // Keep a blank line between the last section and the new one.
        std::vector<Line>& last = sections_.empty() ? preamble_ : sections_.back().lines;
        const bool fileEmpty = sections_.empty() && preamble_.empty();
        const bool endsBlank = !last.empty() && !last.back().rewrite && Trim(last.back().raw).empty();
        if (!fileEmpty && !endsBlank) last.push_back(Line{});
        Section fresh;
        fresh.rewrite = true;
        fresh.name = secName;
        fresh.fold = secFold;
        sections_.push_back(std::move(fresh));
        s = &sections_.back();
    }

    for (Line& l : s->lines) {
        if (l.isKey && l.fold == keyFold) {
            l.value = text;
            l.rewrite = true;
            return;
        }
    }

    // A new key goes after the section's last non-blank line, so blank lines
    // that separate it from the next section stay where they are.
    size_t at = s->lines.size();
    while (at > 0 && !s->lines[at - 1].rewrite && Trim(s->lines[at - 1].raw).empty()) --at;
    Line fresh;
    fresh.rewrite = true;
    fresh.isKey = true;
    fresh.key = keyName;
    fresh.fold = keyFold;
    fresh.value = text;
    s->lines.insert(s->lines.begin() + static_cast<std::ptrdiff_t>(at), std::move(fresh));
}

int32_t TIniFile::ReadInteger(std::string_view section, std::string_view key, int32_t def) const {
    if (const Section* s = FindSection(Fold(section))) {
        if (const Line* l = FindKey(*s, Fold(key))) {
            int32_t v = 0;
            if (ParseInteger(l->value, v)) return v;
        }
    }
    return def;
}

void TIniFile::WriteInteger(std::string_view section, std::string_view key, int32_t value) {
    WriteString(section, key, std::to_string(value));
}

bool TIniFile::ReadBool(std::string_view section, std::string_view key, bool def) const {
    return ReadInteger(section, key, def ? 1 : 0) != 0;
}

void TIniFile::WriteBool(std::string_view section, std::string_view key, bool value) {
    WriteString(section, key, value ? "1" : "0");
}

bool TIniFile::SectionExists(std::string_view section) const {
    return FindSection(Fold(section)) != nullptr;
}

bool TIniFile::ValueExists(std::string_view section, std::string_view key) const {
    const Section* s = FindSection(Fold(section));
    return s && FindKey(*s, Fold(key));
}

std::vector<std::string> TIniFile::ReadSection(std::string_view section) const {
    std::vector<std::string> keys;
    for (const auto& kv : ReadSectionValues(section)) keys.push_back(kv.first);
    return keys;
}

std::vector<std::pair<std::string, std::string>> TIniFile::ReadSectionValues(
    std::string_view section) const {
    std::vector<std::pair<std::string, std::string>> out;
    const Section* s = FindSection(Fold(section));
    if (!s) return out;
    std::vector<const std::string*> seen;
    for (const Line& l : s->lines) {
        if (!l.isKey) continue;
        const bool dup = std::any_of(seen.begin(), seen.end(),
                                     [&l](const std::string* f) { return *f == l.fold; });
        if (dup) continue;
        seen.push_back(&l.fold);
        out.emplace_back(l.key, l.value);
    }
    return out;
}

void TIniFile::EraseSection(std::string_view section) {
    const std::string fold = Fold(section);
    std::erase_if(sections_, [&fold](const Section& s) { return s.fold == fold; });
}

void TIniFile::DeleteKey(std::string_view section, std::string_view key) {
    Section* s = FindSection(Fold(section));
    if (!s) return;
    const std::string fold = Fold(key);
    std::erase_if(s->lines, [&fold](const Line& l) { return l.isKey && l.fold == fold; });
}

void TIniFile::UpdateFile() {
    if (!readError_.empty())
        throw EIniFileError("The ini file \"" + fileName_ + "\" could not be read (" + readError_ +
                            "), so it is not overwritten");
    QSaveFile file(NativePath(fileName_));
    if (!file.open(QIODevice::WriteOnly))
        throw EIniFileError("Cannot write the ini file \"" + fileName_ +
                            "\": " + file.errorString().toStdString());
    const std::string text = Serialise();
    const qint64 written = file.write(text.data(), static_cast<qint64>(text.size()));
    if (written != static_cast<qint64>(text.size())) {
        const std::string why = file.errorString().toStdString();
        file.cancelWriting();
        throw EIniFileError("Cannot write the ini file \"" + fileName_ + "\": " + why);
    }
    if (!file.commit())
        throw EIniFileError("Cannot write the ini file \"" + fileName_ +
                            "\": " + file.errorString().toStdString());
}
