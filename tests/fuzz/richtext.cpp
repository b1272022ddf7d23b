// Saving a text window: plain text and rich text from runs of any bytes,
// and the UTF-8 cut the transfer of texts relies on.
//
// Input: runs, each a text, a font name, a size (4 bytes), a colour
// (4 bytes) and a byte whose bit 0 is bold and bit 1 ends the line.
#include "FuzzInput.h"
#include "RichText.h"
#include "Utf8.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace kelmira;
    using orvane::fuzz::Check;
    orvane::fuzz::FuzzInput in(data, size);
    TTextDocument doc;
    doc.lines.emplace_back();
    std::string all;
    while (!in.Empty()) {
        TTextRun run;
        run.text = in.Text();
        run.fontName = in.Text();
        run.pointSize = in.I32();
        run.color = in.U32();
        const uint8_t flags = in.Byte();
        run.bold = flags & 1;
        all += run.text;
        doc.lines.back().push_back(run);
        if (flags & 2) doc.lines.emplace_back();

        // The cut keeps a prefix, never splits a well-formed character, and
        // leaves out no more than the one character it would split.
        const size_t max = static_cast<uint8_t>(run.fontName.empty() ? 0 : run.fontName[0]) % 8;
        const std::string_view cut = orvane::utf8::Cut(run.text, max);
        Check(cut.size() <= max && run.text.compare(0, cut.size(), cut) == 0, "a cut is a prefix within the limit");
        if (cut.size() < std::min(max, run.text.size())) {
            const size_t len = orvane::utf8::SequenceAt(run.text, cut.size());
            Check(len > 1 && cut.size() + len > max, "only a character that crosses the limit is left out");
        }
    }

    const std::string plain = PlainText(doc);
    Check(plain.size() == all.size() + 2 * (doc.lines.size() - 1), "plain text holds every run");

    // Rich text is 7-bit, and its groups open and close in order.
    const std::string rtf = RichText(doc);
    int depth = 0;
    for (size_t i = 0; i < rtf.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(rtf[i]);
        Check(c < 0x80, "rich text is 7-bit");
        if (c == '\\') {
            ++i; // an escaped character or the first of a control word
            continue;
        }
        if (c == '{') ++depth;
        if (c == '}') Check(--depth >= 0, "no group closes that was not opened");
    }
    Check(depth == 0, "every group is closed");
    // Each font of the table ends at its own ";".
    const size_t table = rtf.find("{\\fonttbl"), colors = rtf.find("{\\colortbl");
    Check(table != std::string::npos && colors != std::string::npos, "font and colour tables");
    const std::string fonts = rtf.substr(table, colors - table);
    size_t entries = 0, separators = 0;
    for (size_t at = fonts.find("{\\f"); at != std::string::npos; at = fonts.find("{\\f", at + 1))
        entries += at + 3 < fonts.size() && fonts[at + 3] >= '0' && fonts[at + 3] <= '9';
    for (char c : fonts) separators += c == ';';
    Check(entries > 0 && separators == entries, "one separator per font");
    return 0;
}
