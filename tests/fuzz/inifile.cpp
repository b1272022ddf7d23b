// The ini class: any bytes as a file, then writes of any names and values.
//
// Input: a length byte and that much of the file, then writes, each three
// texts (section, key, value; a length byte and the bytes each).
#include "FuzzInput.h"
#include "IniFile.h"
#include "Utf8.h"

#include <vector>

namespace {

std::string_view Trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return s;
}

// The section names the file holds, taken the way a reader of the format
// sees header lines: "[" first, the name up to the last "]", a comment after.
std::vector<std::string> SectionNames(std::string_view text) {
    std::vector<std::string> names;
    size_t pos = 0;
    while (pos <= text.size()) {
        size_t end = text.find_first_of("\r\n", pos);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = Trim(text.substr(pos, end - pos));
        while (line.substr(0, 3) == "\xEF\xBB\xBF") line = Trim(line.substr(3));
        if (!line.empty() && line.front() == '[' && line.find(']', 1) != std::string_view::npos)
            names.emplace_back(Trim(line.substr(1, line.rfind(']') - 1)));
        pos = end + 1;
    }
    return names;
}

// Everything the class reads out is text, whatever bytes the file held.
bool AllText(const std::vector<std::pair<std::string, std::string>>& values) {
    for (const auto& [key, value] : values)
        if (!orvane::utf8::IsValid(key) || !orvane::utf8::IsValid(value)) return false;
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace orvane;
    fuzz::FuzzInput in(data, size);
    const std::string file = in.Text();
    struct Write {
        std::string section, key, value;
    };
    std::vector<Write> writes;
    while (!in.Empty() && writes.size() < 32) writes.push_back({in.Text(), in.Text(), in.Text()});

    static const std::string path = fuzz::ScratchPath("fuzz.ini");
    fuzz::WriteScratch(path, file);
    TIniFile ini(path);
    std::vector<std::string> sections = SectionNames(file);
    std::vector<std::vector<std::pair<std::string, std::string>>> before;
    for (const std::string& s : sections) {
        before.push_back(ini.ReadSectionValues(s));
        fuzz::Check(AllText(before.back()), "names and values read are UTF-8");
    }

    // A write that is taken reads back at once; one that is refused changes nothing.
    std::vector<Write> taken;
    for (const Write& w : writes) {
        const std::string old = ini.ReadString(w.section, w.key, "\x01missing");
        try {
            ini.WriteString(w.section, w.key, w.value);
        } catch (const EIniFileError&) {
            fuzz::Check(ini.ReadString(w.section, w.key, "\x01missing") == old, "a refused write changes nothing");
            continue;
        }
        fuzz::Check(ini.ReadString(w.section, w.key, "") == utf8::FromFileBytes(w.value),
                    "a written value reads back at once, as text");
        taken.push_back(w);
        sections.push_back(w.section);
    }
    std::vector<std::string> expected;
    for (const Write& w : taken) expected.push_back(ini.ReadString(w.section, w.key, ""));
    std::vector<std::vector<std::pair<std::string, std::string>>> inMemory;
    for (const std::string& s : sections) inMemory.push_back(ini.ReadSectionValues(s));

    try {
        ini.UpdateFile();
    } catch (const EIniFileError&) {
        return 0;
    }
    // Whatever the class writes into ini text stays ini text.
    fuzz::Check(!IsIniText(file) || IsIniText(fuzz::ReadScratch(path)), "a saved ini file is still ini text");
    // Saved and read again, the file holds exactly what was in memory.
    TIniFile back(path);
    for (size_t i = 0; i < taken.size(); ++i)
        fuzz::Check(back.ReadString(taken[i].section, taken[i].key, "\x01missing") == expected[i],
                    "every value written reads back unchanged after a save");
    for (size_t i = 0; i < sections.size(); ++i)
        fuzz::Check(back.ReadSectionValues(sections[i]) == inMemory[i], "every section reads the same after a save");
    if (writes.empty())
        for (size_t i = 0; i < before.size(); ++i)
            fuzz::Check(inMemory[i] == before[i], "reading changes nothing");
    return 0;
}
