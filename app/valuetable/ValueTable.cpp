#include "ValueTable.h"

#include "IniFile.h"
#include "Utf8.h"

#include <cstring>

namespace orvane {

namespace {

std::string_view TextOf(const TValueText& t) { return {t.Text, t.Length}; }

void Store(TValueText& t, std::string_view s) {
    s = CutUtf8(s, ORVANE_VALUE_TEXT_MAX);
    std::memmove(t.Text, s.data(), s.size());  // s may view the record itself
    t.Length = static_cast<uint8_t>(s.size());
}

// The count the record holds, brought into 0..256 in place.
int ClampCount(TValueTable& table) {
    if (table.Count > ORVANE_VALUE_TABLE_SIZE) table.Count = ORVANE_VALUE_TABLE_SIZE;
    if (table.Count < 0) table.Count = 0;
    return table.Count;
}

} // namespace

std::string_view CutUtf8(std::string_view text, std::size_t maxBytes) { return utf8::Cut(text, maxBytes); }

int ValueCount(const TValueTable& table) {
    if (table.Count < 0) return 0;
    if (table.Count > ORVANE_VALUE_TABLE_SIZE) return ORVANE_VALUE_TABLE_SIZE;
    return table.Count;
}

std::string_view KeyAt(const TValueTable& table, int i) { return TextOf(table.Entries[i].Key); }
std::string_view ValueAt(const TValueTable& table, int i) { return TextOf(table.Entries[i].Value); }

void AddValue(TValueTable& table, std::string_view key, std::string_view value) {
    const int count = ClampCount(table);
    key = CutUtf8(key, ORVANE_VALUE_TEXT_MAX);
    for (int i = 0; i < count; ++i) {
        if (TextOf(table.Entries[i].Key) == key) {
            Store(table.Entries[i].Value, value);
            return;
        }
    }
    if (count == ORVANE_VALUE_TABLE_SIZE) return;
    Store(table.Entries[count].Key, key);
    Store(table.Entries[count].Value, value);
    table.Count = count + 1;
}

std::string ReadValue(const TValueTable& table, std::string_view key) {
    key = CutUtf8(key, ORVANE_VALUE_TEXT_MAX);
    const int count = ValueCount(table);
    for (int i = 0; i < count; ++i)
        if (KeyAt(table, i) == key) return std::string(ValueAt(table, i));
    return {};
}

void ClearValueTable(TValueTable& table) {
    table.Count = 0;
    AddValue(table, "COMMAND", "");
}

namespace {

// The export is a listing: a line break in a value (or "=" in a key) would
// end the key there, so it is shown as a blank.
std::string Listed(std::string_view text, bool isKey) {
    std::string out(text);
    for (char& c : out)
        if (c == '\r' || c == '\n' || (isKey && c == '=')) c = ' ';
    return out;
}

} // namespace

void SaveValuesToIni(const TValueTable& table, const std::string& fileName) {
    TIniFile ini(fileName);
    const int count = ValueCount(table);
    for (int i = 0; i < count; ++i) {
        const std::string_view key = KeyAt(table, i);
        if (key.empty()) continue;
        try {
            ini.WriteString("DecoderData", Listed(key, true), Listed(ValueAt(table, i), false));
        } catch (const EIniFileError&) {
            // A key beginning with "[" whose value ends with "]" would read
            // back as a section header; the other entries are still written.
        }
    }
    ini.UpdateFile();
}

} // namespace orvane
