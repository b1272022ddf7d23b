#include "RichText.h"

#include "Utf8.h"

#include <algorithm>
#include <cstdio>

namespace kelmira {
namespace {

// The code points of a UTF-8 text; a byte that forms no well-formed
// sequence (overlong forms, surrogates and code points beyond U+10FFFF
// included) stands for itself as Latin-1, so nothing is lost.
std::vector<char32_t> CodePoints(const std::string& s) {
    std::vector<char32_t> out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size();) {
        char32_t cp = 0;
        const std::size_t len = orvane::utf8::SequenceAt(s, i, &cp);
        out.push_back(len ? cp : static_cast<unsigned char>(s[i]));
        i += len ? len : 1;
    }
    return out;
}

// inFontTable: ";" ends a name in the font table, so it is written as a
// hexadecimal escape there.
void AppendEscaped(std::string& out, const std::string& text, bool inFontTable = false) {
    for (char32_t cp : CodePoints(text)) {
        if (inFontTable && cp == ';') {
            out += "\\'3b";
        } else if (cp == '\\' || cp == '{' || cp == '}') {
            out += '\\';
            out += static_cast<char>(cp);
        } else if (cp == '\t') {
            out += "\\tab ";
        } else if (cp >= 0x20 && cp < 0x80) {
            out += static_cast<char>(cp);
        } else if (cp < 0x20) {
            continue; // no control characters inside a line
        } else {
            // \u takes a signed 16-bit number; characters beyond the BMP
            // go as a surrogate pair. "?" is what readers without Unicode show.
            auto unit = [&out](unsigned u) { out += "\\u" + std::to_string(static_cast<int16_t>(u)) + '?'; };
            if (cp > 0xFFFF) {
                const char32_t v = cp - 0x10000;
                unit(0xD800 + static_cast<unsigned>(v >> 10));
                unit(0xDC00 + static_cast<unsigned>(v & 0x3FF));
            } else {
                unit(static_cast<unsigned>(cp));
            }
        }
    }
}

// \fs takes half points; sizes are held to what word processors accept.
int HalfPoints(int pointSize) { return 2 * std::clamp(pointSize, 1, 1638); }

template <class T>
int IndexOf(std::vector<T>& table, const T& value) {
    auto it = std::find(table.begin(), table.end(), value);
    if (it != table.end()) return static_cast<int>(it - table.begin());
    table.push_back(value);
    return static_cast<int>(table.size()) - 1;
}

} // namespace

std::string PlainText(const TTextDocument& doc) {
    std::string out;
    for (std::size_t i = 0; i < doc.lines.size(); ++i) {
        if (i) out += "\r\n";
        for (const TTextRun& run : doc.lines[i]) out += run.text;
    }
    return out;
}

std::string RichText(const TTextDocument& doc) {
    std::vector<std::string> fonts;
    std::vector<TColorRef> colors;
    // Light text such as white 0A lines is unreadable on a white page. The
    // paragraph shading fills whole lines as the window does; the highlight
    // is what readers without paragraph shading show.
    std::string shading, highlight;
    if (doc.background) {
        const std::string index = std::to_string(IndexOf(colors, *doc.background) + 1);
        shading = "\\cbpat" + index;
        highlight = "\\highlight" + index;
    }
    std::string body;
    for (std::size_t i = 0; i < doc.lines.size(); ++i) {
        if (i) body += "\\par\r\n";
        for (const TTextRun& run : doc.lines[i]) {
            if (run.text.empty()) continue;
            const int f = IndexOf(fonts, run.fontName);
            const int c = IndexOf(colors, run.color) + 1; // \cf0 is the automatic colour
            body += "\\plain\\f" + std::to_string(f) + "\\fs" + std::to_string(HalfPoints(run.pointSize));
            if (run.bold) body += "\\b";
            body += "\\cf" + std::to_string(c) + highlight + ' ';
            AppendEscaped(body, run.text);
        }
    }
    if (fonts.empty()) fonts.push_back(std::string());

    std::string out = "{\\rtf1\\ansi\\ansicpg1252\\deff0\\uc1{\\fonttbl";
    for (std::size_t i = 0; i < fonts.size(); ++i) {
        out += "{\\f" + std::to_string(i) + "\\fmodern\\fcharset0 ";
        AppendEscaped(out, fonts[i], true);
        out += ";}";
    }
    out += "}\r\n{\\colortbl ;";
    for (TColorRef c : colors) {
        char buf[48];
        std::snprintf(buf, sizeof buf, "\\red%u\\green%u\\blue%u;", c & 0xFFu, (c >> 8) & 0xFFu, (c >> 16) & 0xFFu);
        out += buf;
    }
    out += "}\r\n\\viewkind4\\pard" + shading + ' ';
    out += body;
    out += "}\r\n";
    return out;
}

bool IsRtfFileName(const std::string& fileName) {
    const std::size_t slash = fileName.find_last_of('/');
    const std::size_t dot = fileName.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return false;
    return UpperCase(fileName.substr(dot)) == ".RTF";
}

} // namespace kelmira
