#include <orvane/selvat.h>

#include "IniFile.h"
#include "ValueTable.h"

#include <map>
#include <string>
#include <vector>

namespace {

// Codes 0x80..0xFF of the RDS basic character set, code table G0 (IEC 62106,
// formerly EN 50067, Annex E), as Unicode code points. One row per column of
// the code table. 0xFF is unassigned and shown as a blank.
constexpr uint32_t kG0High[128] = {
    // 0x80: á à é è í ì ó ò ú ù Ñ Ç Ş ß ¡ Ĳ
    0x00E1, 0x00E0, 0x00E9, 0x00E8, 0x00ED, 0x00EC, 0x00F3, 0x00F2,
    0x00FA, 0x00F9, 0x00D1, 0x00C7, 0x015E, 0x00DF, 0x00A1, 0x0132,
    // 0x90: â ä ê ë î ï ô ö û ü ñ ç ş ğ ı ĳ
    0x00E2, 0x00E4, 0x00EA, 0x00EB, 0x00EE, 0x00EF, 0x00F4, 0x00F6,
    0x00FB, 0x00FC, 0x00F1, 0x00E7, 0x015F, 0x011F, 0x0131, 0x0133,
    // 0xA0: ª α © ‰ Ğ ě ň ő π € £ $ ← ↑ → ↓
    0x00AA, 0x03B1, 0x00A9, 0x2030, 0x011E, 0x011B, 0x0148, 0x0151,
    0x03C0, 0x20AC, 0x00A3, 0x0024, 0x2190, 0x2191, 0x2192, 0x2193,
    // 0xB0: º ¹ ² ³ ± İ ń ű µ ¿ ÷ ° ¼ ½ ¾ §
    0x00BA, 0x00B9, 0x00B2, 0x00B3, 0x00B1, 0x0130, 0x0144, 0x0171,
    0x00B5, 0x00BF, 0x00F7, 0x00B0, 0x00BC, 0x00BD, 0x00BE, 0x00A7,
    // 0xC0: Á À É È Í Ì Ó Ò Ú Ù Ř Č Š Ž Đ Ŀ
    0x00C1, 0x00C0, 0x00C9, 0x00C8, 0x00CD, 0x00CC, 0x00D3, 0x00D2,
    0x00DA, 0x00D9, 0x0158, 0x010C, 0x0160, 0x017D, 0x0110, 0x013F,
    // 0xD0: Â Ä Ê Ë Î Ï Ô Ö Û Ü ř č š ž đ ŀ
    0x00C2, 0x00C4, 0x00CA, 0x00CB, 0x00CE, 0x00CF, 0x00D4, 0x00D6,
    0x00DB, 0x00DC, 0x0159, 0x010D, 0x0161, 0x017E, 0x0111, 0x0140,
    // 0xE0: Ã Å Æ Œ ŷ Ý Õ Ø Þ Ŋ Ŕ Ć Ś Ź Ŧ ð
    0x00C3, 0x00C5, 0x00C6, 0x0152, 0x0177, 0x00DD, 0x00D5, 0x00D8,
    0x00DE, 0x014A, 0x0154, 0x0106, 0x015A, 0x0179, 0x0166, 0x00F0,
    // 0xF0: ã å æ œ ŵ ý õ ø þ ŋ ŕ ć ś ź ŧ (unassigned)
    0x00E3, 0x00E5, 0x00E6, 0x0153, 0x0175, 0x00FD, 0x00F5, 0x00F8,
    0x00FE, 0x014B, 0x0155, 0x0107, 0x015B, 0x017A, 0x0167, 0x0020,
};

// Keeps LoadPChar's result alive until the same thread calls again.
thread_local std::string loadBuffer;

struct PendingValue {
    std::string section, key, value;
};

// The saves held for one file between BeginSaveBatch and EndSaveBatch. Held
// as a list rather than a copy of the file: the one write then lands on the
// file as it is by then, so what others wrote meanwhile is kept.
struct SaveBatch {
    int depth = 0;
    std::vector<PendingValue> values;
};

// A batch belongs to the thread that opened it; another thread's saves are
// written at once.
thread_local std::map<std::string, SaveBatch> batches;

SaveBatch* BatchOf(const char* file) {
    const auto it = batches.find(file);
    return it == batches.end() ? nullptr : &it->second;
}

// Applies the held values in order. One the file cannot carry is refused
// alone, as it is when saved at once. False when none was taken.
bool Apply(TIniFile& ini, const std::vector<PendingValue>& values) {
    bool taken = false;
    for (const PendingValue& v : values) {
        try {
            ini.WriteString(v.section, v.key, v.value);
            taken = true;
        } catch (const EIniFileError&) {
        }
    }
    return taken;
}

// The file as it reads now, with the calling thread's held values on top.
TIniFile Current(const char* file) {
    TIniFile ini(file);
    if (const SaveBatch* b = BatchOf(file)) Apply(ini, b->values);
    return ini;
}

void Save(const char* file, const char* section, const char* key, std::string value) {
    if (SaveBatch* b = BatchOf(file)) {
        b->values.push_back({section, key, std::move(value)});
        return;
    }
    // A file of other data named as the workspace stays as it is.
    if (HoldsOtherData(file)) return;
    TIniFile ini(file);
    ini.WriteString(section, key, value);
    ini.UpdateFile();
}

} // namespace

extern "C" {

uint32_t CharConv(int32_t code, int32_t /*selector*/) {
    const uint32_t c = static_cast<uint32_t>(code) & 0xFFu;
    return c < 0x80 ? c : kG0High[c - 0x80];
}

void AddValue(const char* key, const char* value, TValueTable* hostRef) {
    if (!key || !hostRef) return;
    try {
        orvane::AddValue(*hostRef, key, value ? value : "");
    } catch (...) {
        // Nothing may cross the C boundary.
    }
}

void SaveInteger(const char* file, const char* section, const char* key, int32_t value) {
    if (!file || !section || !key) return;
    try {
        Save(file, section, key, std::to_string(value));
    } catch (...) {
        // The caller has no way to hear of it; the old file stays intact.
    }
}

void SavePChar(const char* file, const char* section, const char* key, const char* text) {
    if (!file || !section || !key) return;
    try {
        Save(file, section, key, text ? text : "");
    } catch (...) {
    }
}

void BeginSaveBatch(const char* file) {
    if (!file) return;
    try {
        ++batches[file].depth;
    } catch (...) {
        // Without a batch every save is written at once, as before.
    }
}

void EndSaveBatch(const char* file) {
    if (!file) return;
    try {
        const auto it = batches.find(file);
        if (it == batches.end() || --it->second.depth > 0) return;
        const std::vector<PendingValue> values = std::move(it->second.values);
        batches.erase(it);
        if (values.empty()) return;
        // Checked right before the one write: a file that became other data
        // while the values were held stays as it is.
        if (HoldsOtherData(file)) return;
        TIniFile ini(file);
        if (Apply(ini, values)) ini.UpdateFile();
    } catch (...) {
        // The old file stays intact.
    }
}

int32_t LoadInteger(const char* file, const char* section, const char* key, int32_t def) {
    if (!file || !section || !key) return def;
    try {
        return Current(file).ReadInteger(section, key, def);
    } catch (...) {
        return def;
    }
}

const char* LoadPChar(const char* file, const char* section, const char* key, const char* def) {
    try {
        // Copied before the buffer is replaced: def may be an earlier result.
        std::string result = def ? def : "";
        if (file && section && key) result = Current(file).ReadString(section, key, result);
        loadBuffer = std::move(result);
    } catch (...) {
        loadBuffer.clear();
    }
    return loadBuffer.c_str();
}

} // extern "C"
