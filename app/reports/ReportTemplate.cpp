#include "ReportTemplate.h"

#include <QString>
#include <QStringView>

namespace orvane {
namespace {

std::string Upper(std::string_view text) {
    std::string s(text);
    for (char& c : s)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return s;
}

// What the scan found: template text, a field's value, or a percent sign
// that began no field.
struct Piece {
    enum Kind { Text, Value, Stray } kind;
    QString text;
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
    const QString text = QString::fromUtf8(line.data(), static_cast<qsizetype>(line.size()));
    std::vector<QString> names;
    names.reserve(fields.size());
    for (const auto& f : fields) names.push_back(QString::fromStdString(f.name));

    std::vector<Piece> pieces;
    QString literal;
    auto flush = [&] {
        if (!literal.isEmpty()) pieces.push_back({Piece::Text, literal});
        literal.clear();
    };
    const qsizetype n = text.size();
    qsizetype i = 0;
    while (i < n) {
        if (text[i] != u'%') {
            literal += text[i++];
            continue;
        }
        flush();
        const QStringView rest = QStringView(text).mid(i + 1);
        size_t match = fields.size();
        for (size_t k = 0; k < fields.size() && match == fields.size(); ++k) {
            const QString& name = names[k];
            if (!name.isEmpty() && rest.size() > name.size() && rest.startsWith(name, Qt::CaseInsensitive) &&
                rest[name.size()] == u'%')
                match = k;
        }
        if (match < fields.size()) {
            pieces.push_back({Piece::Value, QString::fromStdString(fields[match].value)});
            i += names[match].size() + 2;
        } else {
            pieces.push_back({Piece::Stray, QStringLiteral("%")});
            ++i;
        }
    }
    flush();

    QString out;
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
    return out.toStdString();
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
