#include "PdfText.h"

#include <QRegularExpression>

#include <zlib.h>

namespace {

int RefAfter(const QByteArray& dict, const char* key) {
    const QRegularExpression re(QString("/%1\\s+(\\d+)\\s+\\d+\\s+R").arg(key));
    const auto m = re.match(QString::fromLatin1(dict));
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

QByteArray Inflate(const QByteArray& in, bool* ok) {
    z_stream z{};
    *ok = inflateInit(&z) == Z_OK;
    if (!*ok) return {};
    QByteArray out;
    char buf[65536];
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(in.constData()));
    z.avail_in = static_cast<uInt>(in.size());
    int rc = Z_OK;
    while (rc == Z_OK) {
        z.next_out = reinterpret_cast<Bytef*>(buf);
        z.avail_out = sizeof buf;
        rc = inflate(&z, Z_NO_FLUSH);
        out.append(buf, static_cast<qsizetype>(sizeof buf - z.avail_out));
    }
    inflateEnd(&z);
    *ok = rc == Z_STREAM_END;
    return out;
}

QString Utf16Hex(const QByteArray& hex) {
    const QByteArray bytes = QByteArray::fromHex(hex);
    QString s;
    for (qsizetype i = 0; i + 1 < bytes.size(); i += 2)
        s += QChar(static_cast<char16_t>((uchar(bytes[i]) << 8) | uchar(bytes[i + 1])));
    return s;
}

// The PDF string syntax: "(literal)" with backslash escapes, or "<hex>".
QByteArray LiteralString(const QByteArray& s, qsizetype& i) {
    QByteArray out;
    int depth = 1;
    for (++i; i < s.size(); ++i) {
        char c = s[i];
        if (c == '\\' && i + 1 < s.size()) {
            c = s[++i];
            if (c >= '0' && c <= '7') {
                int v = 0;
                for (int k = 0; k < 3 && i < s.size() && s[i] >= '0' && s[i] <= '7'; ++k, ++i) v = v * 8 + (s[i] - '0');
                --i;
                out += char(v);
            } else {
                out += c == 'n' ? '\n' : c == 'r' ? '\r' : c == 't' ? '\t' : c;
            }
        } else if (c == '(') {
            ++depth;
            out += c;
        } else if (c == ')') {
            if (--depth == 0) {
                ++i;
                break;
            }
            out += c;
        } else {
            out += c;
        }
    }
    return out;
}

struct Token {
    enum Kind { Number, Name, String, Hex, ArrayStart, ArrayEnd, Operator, Other } kind;
    QByteArray text;
};

// Splits a content stream into tokens; dictionaries are skipped whole.
QList<Token> Tokens(const QByteArray& s) {
    QList<Token> out;
    qsizetype i = 0;
    auto delim = [](char c) { return QByteArray(" \t\r\n\f/[]()<>{}%").contains(c) || c == 0; };
    while (i < s.size()) {
        const char c = s[i];
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == 0) {
            ++i;
        } else if (c == '%') {
            while (i < s.size() && s[i] != '\n' && s[i] != '\r') ++i;
        } else if (c == '/') {
            qsizetype j = i + 1;
            while (j < s.size() && !delim(s[j])) ++j;
            out.append(Token{Token::Name, s.mid(i + 1, j - i - 1)});
            i = j;
        } else if (c == '(') {
            out.append(Token{Token::String, LiteralString(s, i)});
        } else if (c == '<' && i + 1 < s.size() && s[i + 1] == '<') {
            int depth = 0;
            for (; i + 1 < s.size(); ++i) {
                if (s[i] == '<' && s[i + 1] == '<') ++depth, ++i;
                else if (s[i] == '>' && s[i + 1] == '>' && --depth == 0) break;
            }
            i += 2;
            out.append(Token{Token::Other, {}});
        } else if (c == '<') {
            const qsizetype j = s.indexOf('>', i);
            if (j < 0) break;
            out.append(Token{Token::Hex, s.mid(i + 1, j - i - 1).simplified().replace(" ", "")});
            i = j + 1;
        } else if (c == '[' || c == ']') {
            out.append(Token{c == '[' ? Token::ArrayStart : Token::ArrayEnd, {}});
            ++i;
        } else {
            qsizetype j = i + 1;
            while (j < s.size() && !delim(s[j])) ++j;
            const QByteArray word = s.mid(i, j - i);
            bool number = false;
            word.toDouble(&number);
            out.append({number ? Token::Number : Token::Operator, word});
            i = j;
        }
    }
    return out;
}

} // namespace

PdfText::PdfText(QByteArray pdf) : pdf_(std::move(pdf)) {
    if (!pdf_.startsWith("%PDF-")) {
        error_ = "no PDF header";
        return;
    }
    if (!ReadXref()) return;
    const int info = RefAfter(pdf_.mid(pdf_.lastIndexOf("trailer")), "Info");
    if (const Object* o = info >= 0 ? Get(info) : nullptr) {
        for (const char* key : {"Title", "Creator", "Producer"}) {
            const qsizetype at = o->dict.indexOf(QByteArray("/") + key);
            if (at < 0) continue;
            qsizetype i = o->dict.indexOf('(', at);
            if (i < 0) continue;
            const QByteArray t = LiteralString(o->dict, i);
            info_.insert(key, t.startsWith("\xfe\xff") ? Utf16Hex(t.mid(2).toHex()) : QString::fromLatin1(t));
        }
    }
    const int root = RefAfter(pdf_.mid(pdf_.lastIndexOf("trailer")), "Root");
    const Object* catalog = root >= 0 ? Get(root) : nullptr;
    if (!catalog) {
        if (error_.isEmpty()) error_ = "no catalog";
        return;
    }
    ReadPages(RefAfter(catalog->dict, "Pages"), 0);
    if (pages_.isEmpty() && error_.isEmpty()) error_ = "no pages";
}

bool PdfText::ReadXref() {
    const qsizetype sx = pdf_.lastIndexOf("startxref");
    if (sx < 0) {
        error_ = "no startxref";
        return false;
    }
    qsizetype at = pdf_.mid(sx + 9, 24).trimmed().split('\n').value(0).trimmed().toLongLong();
    if (at <= 0 || at >= pdf_.size() || pdf_.mid(at, 4) != "xref") {
        error_ = "no cross-reference table at startxref";
        return false;
    }
    const QList<QByteArray> lines = pdf_.mid(at, pdf_.indexOf("trailer", at) - at).split('\n');
    int next = 0;
    for (qsizetype k = 1; k < lines.size(); ++k) {
        const QList<QByteArray> f = lines[k].simplified().split(' ');
        if (f.size() == 2) {
            next = f[0].toInt();
        } else if (f.size() == 3) {
            if (f[2] == "n") offsets_.insert(next, f[0].toLongLong());
            ++next;
        }
    }
    if (offsets_.isEmpty()) error_ = "empty cross-reference table";
    return !offsets_.isEmpty();
}

const PdfText::Object* PdfText::Get(int number) {
    if (!objects_.contains(number) && !LoadObject(number)) return nullptr;
    return &objects_[number];
}

bool PdfText::LoadObject(int number) {
    const qsizetype at = offsets_.value(number, -1);
    const QByteArray head = QByteArray::number(number) + " 0 obj";
    if (at < 0 || pdf_.mid(at, head.size()) != head) {
        error_ = QString("object %1 is not where the table says").arg(number);
        return false;
    }
    const qsizetype begin = at + head.size();
    const qsizetype end = pdf_.indexOf("endobj", begin);
    const qsizetype streamAt = pdf_.indexOf("stream", begin);
    Object o;
    if (streamAt >= 0 && (end < 0 || streamAt < end)) {
        o.dict = pdf_.mid(begin, streamAt - begin);
        qsizetype data = streamAt + 6;
        if (pdf_.mid(data, 2) == "\r\n") data += 2;
        else if (pdf_[data] == '\n') data += 1;
        // The length is often a later object of its own.
        qsizetype length = -1;
        const int lengthRef = RefAfter(o.dict, "Length");
        if (lengthRef >= 0) {
            const qsizetype lat = offsets_.value(lengthRef, -1);
            if (lat >= 0) {
                const qsizetype lend = pdf_.indexOf("endobj", lat);
                length = pdf_.mid(lat, lend - lat).simplified().split(' ').value(3).toLongLong();
            }
        } else {
            const auto m = QRegularExpression("/Length\\s+(\\d+)").match(QString::fromLatin1(o.dict));
            if (m.hasMatch()) length = m.captured(1).toLongLong();
        }
        if (length < 0 || data + length > pdf_.size()) {
            error_ = QString("stream of object %1 has no usable length").arg(number);
            return false;
        }
        o.stream = pdf_.mid(data, length);
        if (o.dict.contains("/FlateDecode")) {
            bool ok = false;
            o.stream = Inflate(o.stream, &ok);
            if (!ok) {
                error_ = QString("stream of object %1 does not inflate").arg(number);
                return false;
            }
        }
    } else {
        o.dict = pdf_.mid(begin, end - begin);
    }
    objects_.insert(number, o);
    return true;
}

void PdfText::ReadPages(int number, int depth) {
    const Object* node = number >= 0 && depth < 32 ? Get(number) : nullptr;
    if (!node) return;
    const Object n = *node;
    if (n.dict.contains("/Type /Pages")) {
        const qsizetype kids = n.dict.indexOf("/Kids");
        const qsizetype open = n.dict.indexOf('[', kids);
        const qsizetype close = n.dict.indexOf(']', open);
        if (kids < 0 || open < 0 || close < 0) return;
        const QString list = QString::fromLatin1(n.dict.mid(open + 1, close - open - 1));
        for (const auto& m : QRegularExpression("(\\d+)\\s+\\d+\\s+R").globalMatch(list)) ReadPages(m.captured(1).toInt(), depth + 1);
        return;
    }
    QList<double> box;
    const auto m = QRegularExpression("/MediaBox\\s*\\[([^\\]]*)\\]").match(QString::fromLatin1(n.dict));
    for (const QString& v : m.captured(1).simplified().split(' ', Qt::SkipEmptyParts)) box.append(v.toDouble());
    mediaBoxes_.append(box);
    pages_.append(PageText(n));
}

QHash<uint, QString> PdfText::ParseCMap(const QByteArray& cmap) {
    QHash<uint, QString> map;
    const QString text = QString::fromLatin1(cmap);
    for (const auto& block : QRegularExpression("beginbfchar(.*?)endbfchar", QRegularExpression::DotMatchesEverythingOption).globalMatch(text)) {
        for (const auto& e : QRegularExpression("<([0-9A-Fa-f]+)>\\s*<([0-9A-Fa-f]+)>").globalMatch(block.captured(1)))
            map.insert(e.captured(1).toUInt(nullptr, 16), Utf16Hex(e.captured(2).toLatin1()));
    }
    for (const auto& block : QRegularExpression("beginbfrange(.*?)endbfrange", QRegularExpression::DotMatchesEverythingOption).globalMatch(text)) {
        const QRegularExpression entry("<([0-9A-Fa-f]+)>\\s*<([0-9A-Fa-f]+)>\\s*(<[0-9A-Fa-f]+>|\\[[^\\]]*\\])");
        for (const auto& e : entry.globalMatch(block.captured(1))) {
            const uint lo = e.captured(1).toUInt(nullptr, 16), hi = e.captured(2).toUInt(nullptr, 16);
            const QString dst = e.captured(3);
            if (dst.startsWith('[')) {
                uint code = lo;
                for (const auto& d : QRegularExpression("<([0-9A-Fa-f]+)>").globalMatch(dst)) {
                    if (code > hi) break;
                    map.insert(code++, Utf16Hex(d.captured(1).toLatin1()));
                }
            } else {
                const QString first = Utf16Hex(dst.mid(1, dst.size() - 2).toLatin1());
                for (uint code = lo; code <= hi && !first.isEmpty(); ++code) {
                    QString s = first;
                    s[s.size() - 1] = QChar(char16_t(first.back().unicode() + (code - lo)));
                    map.insert(code, s);
                }
            }
        }
    }
    return map;
}

QHash<QByteArray, QHash<uint, QString>> PdfText::FontMaps(const QByteArray& resources) {
    QHash<QByteArray, QHash<uint, QString>> fonts;
    const qsizetype at = resources.indexOf("/Font");
    if (at < 0) return fonts;
    const qsizetype open = resources.indexOf("<<", at);
    const qsizetype close = resources.indexOf(">>", open);
    const QString list = QString::fromLatin1(resources.mid(open + 2, close - open - 2));
    for (const auto& m : QRegularExpression("/(\\S+)\\s+(\\d+)\\s+\\d+\\s+R").globalMatch(list)) {
        const Object* font = Get(m.captured(2).toInt());
        if (!font) continue;
        const QByteArray fontDict = font->dict;
        const int toUnicode = RefAfter(fontDict, "ToUnicode");
        const Object* cmap = toUnicode >= 0 ? Get(toUnicode) : nullptr;
        QHash<uint, QString> map = cmap ? ParseCMap(cmap->stream) : QHash<uint, QString>{};
        // Two-byte codes are marked by a key no glyph map can hold.
        if (fontDict.contains("/Identity-H")) map.insert(0x10000, {});
        fonts.insert(m.captured(1).toLatin1(), map);
    }
    return fonts;
}

QString PdfText::PageText(const Object& page) {
    QByteArray resources = page.dict;
    const int resRef = RefAfter(page.dict, "Resources");
    if (resRef >= 0) {
        if (const Object* r = Get(resRef)) resources = r->dict;
    }
    const auto fonts = FontMaps(resources);
    QByteArray content;
    const qsizetype c = page.dict.indexOf("/Contents");
    const qsizetype lineEnd = page.dict.indexOf('/', c + 9);
    const QString refs = QString::fromLatin1(page.dict.mid(c + 9, lineEnd < 0 ? -1 : lineEnd - c - 9));
    for (const auto& m : QRegularExpression("(\\d+)\\s+\\d+\\s+R").globalMatch(refs)) {
        if (const Object* o = Get(m.captured(1).toInt())) content += o->stream + '\n';
    }

    QString text;
    QHash<uint, QString> map;
    bool twoByte = false;
    QList<Token> operands;
    auto show = [&](const QByteArray& bytes) {
        const int step = twoByte ? 2 : 1;
        for (qsizetype i = 0; i + step - 1 < bytes.size(); i += step) {
            const uint code = twoByte ? (uint(uchar(bytes[i])) << 8) | uchar(bytes[i + 1]) : uchar(bytes[i]);
            QString s = map.value(code, map.isEmpty() ? QString(QChar(code)) : QString(QChar(0xFFFD)));
            // Qt maps the space glyph to a tab.
            text += s == "\t" ? QString(" ") : s;
        }
    };
    auto newline = [&] {
        if (!text.isEmpty() && !text.endsWith('\n')) text += '\n';
    };
    for (const Token& t : Tokens(content)) {
        if (t.kind != Token::Operator) {
            operands.append(t);
            continue;
        }
        const QByteArray& op = t.text;
        if (op == "Tf" && operands.size() >= 2 && operands[operands.size() - 2].kind == Token::Name) {
            const QByteArray name = operands[operands.size() - 2].text;
            map = fonts.value(name);
            twoByte = map.remove(0x10000) > 0;
        } else if (op == "Tj" || op == "'" || op == "\"") {
            if (op != "Tj") newline();
            if (!operands.isEmpty()) {
                const Token& s = operands.back();
                show(s.kind == Token::Hex ? QByteArray::fromHex(s.text) : s.text);
            }
        } else if (op == "TJ") {
            for (const Token& s : operands) {
                if (s.kind == Token::Hex) show(QByteArray::fromHex(s.text));
                else if (s.kind == Token::String) show(s.text);
                else if (s.kind == Token::Number && s.text.toDouble() < -250) text += ' ';
            }
        } else if ((op == "Td" || op == "TD") && operands.size() >= 2 && operands.back().text.toDouble() != 0) {
            newline();
        } else if (op == "T*" || op == "ET") {
            newline();
        }
        operands.clear();
    }
    return text;
}
