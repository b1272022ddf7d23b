// The data-exchange library's exports: workspace values through the C
// interface, the shared value table from a record of any bytes, and its
// export to an ini file.
//
// Input: a section, a key and a text (length byte and bytes each), an
// integer, then the bytes of a value-table record (the rest is zero).
#include "FuzzInput.h"
#include "IniFile.h"
#include "Utf8.h"
#include "ValueTable.h"

#include <orvane/selvat.h>

#include <cstring>
#include <memory>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace orvane;
    fuzz::FuzzInput in(data, size);
    // The C interface passes zero-terminated texts.
    const std::string section = in.Text().c_str(), key = in.Text().c_str(), text = in.Text().c_str();
    const int32_t number = in.I32();

    static const std::string path = fuzz::ScratchPath("workspace.owk");
    fuzz::WriteScratch(path, "[Other]\nkeep=1\n");
    SavePChar(path.c_str(), section.c_str(), key.c_str(), text.c_str());
    const std::string loaded = LoadPChar(path.c_str(), section.c_str(), key.c_str(), "\x01none");
    // Stored and read back as its text (unchanged when UTF-8), or refused and
    // not stored at all.
    fuzz::Check(loaded == utf8::FromFileBytes(text) || loaded == "\x01none", "a text reads back or not at all");
    const std::string intKey = key + "#";
    SaveInteger(path.c_str(), section.c_str(), intKey.c_str(), number);
    const int32_t n = LoadInteger(path.c_str(), section.c_str(), intKey.c_str(), number ^ 1);
    fuzz::Check(n == number || n == (number ^ 1), "an integer reads back unchanged or not at all");
    fuzz::Check(LoadInteger(path.c_str(), "Other", "keep", 0) == 1, "other sections stay");

    // The table arrives as the plug-ins may have left it.
    auto table = std::make_unique<TValueTable>();
    std::memset(table.get(), 0, sizeof *table);
    const std::string record = in.Bytes(sizeof *table);
    std::memcpy(table.get(), record.data(), record.size());
    AddValue(key.c_str(), text.c_str(), table.get());
    const int count = ValueCount(*table);
    fuzz::Check(count >= 0 && count <= ORVANE_VALUE_TABLE_SIZE, "the count stays in range");
    for (int i = 0; i < count; ++i) {
        fuzz::Check(KeyAt(*table, i).size() <= ORVANE_VALUE_TEXT_MAX, "keys within their field");
        fuzz::Check(ValueAt(*table, i).size() <= ORVANE_VALUE_TEXT_MAX, "values within their field");
    }
    (void)ReadValue(*table, key);
    (void)CharConv(number, 1);

    static const std::string exportPath = fuzz::ScratchPath("export.ini");
    fuzz::WriteScratch(exportPath, "");
    SaveValuesToIni(*table, exportPath);
    const TIniFile exported(exportPath);
    fuzz::Check(exported.ReadSectionValues("DecoderData").size() <= static_cast<size_t>(count),
                "the export holds at most the table's entries");
    return 0;
}
