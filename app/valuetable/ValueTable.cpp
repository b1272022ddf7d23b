#include "ValueTable.h"

#include "IniFile.h"

#include <cstring>

namespace orvane {

namespace {

// Length of the UTF-8 sequence a lead byte starts; 0 for a byte that
// cannot start one.
std::size_t SequenceLength(unsigned char lead) {
    if (lead < 0x80) return 1;
    if (lead >= 0xC2 && lead <= 0xDF) return 2;
    if (lead >= 0xE0 && lead <= 0xEF) return 3;
    if (lead >= 0xF0 && lead <= 0xF4) return 4;
    return 0;
}

bool IsContinuation(unsigned char c) { return (c & 0xC0) == 0x80; }

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

std::string_view CutUtf8(std::string_view text, std::size_t maxBytes) {
    if (text.size() <= maxBytes) return text;
    // Walk back from the cut to the lead byte of the sequence it falls into.
    std::size_t lead = maxBytes;
    while (lead > 0 && maxBytes - lead < 3 && IsContinuation(static_cast<unsigned char>(text[lead])))
        --lead;
    if (lead == maxBytes) return text.substr(0, maxBytes);
    const std::size_t len = SequenceLength(static_cast<unsigned char>(text[lead]));
    // Only a well-formed sequence that runs past the cut is dropped whole.
    if (len > 1 && lead + len > maxBytes) {
        for (std::size_t i = lead + 1; i < lead + len && i < text.size(); ++i)
            if (!IsContinuation(static_cast<unsigned char>(text[i]))) return text.substr(0, maxBytes);
        return text.substr(0, lead);
    }
    return text.substr(0, maxBytes);
}

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

void SaveValuesToIni(const TValueTable& table, const std::string& fileName) {
    TIniFile ini(fileName);
    const int count = ValueCount(table);
    for (int i = 0; i < count; ++i) {
        const std::string_view key = KeyAt(table, i);
        if (!key.empty()) ini.WriteString("DecoderData", key, ValueAt(table, i));
    }
    ini.UpdateFile();
}

} // namespace orvane
