#include "ReportTemplate.h"

#include <QByteArray>
#include <QString>

#include <algorithm>

namespace orvane {
namespace {

std::string Upper(std::string_view text) {
    std::string s(text);
    for (char& c : s)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return s;
}

char FoldAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool IsAscii(std::string_view s) {
    return std::all_of(s.begin(), s.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// Equal in any letter case; beyond ASCII by Unicode's case rules when both
// are UTF-8, else byte for byte.
bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    if (IsAscii(a) || IsAscii(b)) {
        for (size_t i = 0; i < a.size(); ++i)
            if (FoldAscii(a[i]) != FoldAscii(b[i])) return false;
        return true;
    }
    if (a == b) return true;
    const QString qa = QString::fromUtf8(a.data(), static_cast<qsizetype>(a.size()));
    const QString qb = QString::fromUtf8(b.data(), static_cast<qsizetype>(b.size()));
    // Text that is no UTF-8 only matches itself.
    if (qa.toUtf8() != QByteArrayView(a) || qb.toUtf8() != QByteArrayView(b)) return false;
    return qa.compare(qb, Qt::CaseInsensitive) == 0;
}

// What the scan found: template text, a field's value, or a percent sign
// that began no field.
struct Piece {
    enum Kind { Text, Value, Stray } kind;
    std::string_view text;
};

} // namespace

bool IsHtmlTemplate(std::string_view templ) {
    const std::string upper = Upper(templ);
    const size_t open = upper.find("<HTML>");
    const size_t close = upper.find("</HTML>");
    return open != std::string::npos && close != std::string::npos && open < close;
}

std::vector<std::string> TemplateLines(std::string_view templ) {
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t i = 0; i < templ.size(); ++i) {
        if (templ[i] != '\r' && templ[i] != '\n') continue;
        lines.emplace_back(templ.substr(start, i - start));
        if (templ[i] == '\r' && i + 1 < templ.size() && templ[i + 1] == '\n') ++i;
        start = i + 1;
    }
    if (start < templ.size()) lines.emplace_back(templ.substr(start));
    return lines;
}

std::string FillTemplateLine(std::string_view line, const std::vector<ReportField>& fields) {
    std::vector<Piece> pieces;
    size_t literal = 0; // where the template text not yet taken begins
    size_t i = 0;
    while (i < line.size()) {
        if (line[i] != '%') {
            ++i;
            continue;
        }
        if (i > literal) pieces.push_back({Piece::Text, line.substr(literal, i - literal)});
        const std::string_view rest = line.substr(i + 1);
        const ReportField* match = nullptr;
        for (const auto& f : fields) {
            const size_t n = f.name.size();
            if (n > 0 && rest.size() > n && rest[n] == '%' && SameName(rest.substr(0, n), f.name)) {
                match = &f;
                break;
            }
        }
        if (match) {
            pieces.push_back({Piece::Value, match->value});
            i += match->name.size() + 2;
        } else {
            pieces.push_back({Piece::Stray, line.substr(i, 1)});
            ++i;
        }
        literal = i;
    }
    if (line.size() > literal) pieces.push_back({Piece::Text, line.substr(literal)});

    std::string out;
    for (size_t k = 0; k < pieces.size(); ++k) {
        if (pieces[k].kind == Piece::Stray) {
            size_t partner = k + 1;
            while (partner < pieces.size() && pieces[partner].kind != Piece::Stray) ++partner;
            if (partner < pieces.size()) {
                k = partner; // both signs go, with everything between them
                continue;
            }
        }
        out += pieces[k].text;
    }
    return out;
}

std::string FillTemplate(std::string_view templ, const std::vector<ReportField>& fields) {
    std::string out;
    for (const std::string& line : TemplateLines(templ)) {
        out += FillTemplateLine(line, fields);
        out += "\r\n";
    }
    return out;
}

} // namespace orvane
