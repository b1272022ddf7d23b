// Report templates as users write them, with values as plug-ins publish them.
//
// Input: a byte whose low three bits count the fields, each field a name and
// a value (texts); the rest is the template.
#include "FuzzInput.h"
#include "ReportTemplate.h"

#include <algorithm>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace orvane;
    using fuzz::Check;
    fuzz::FuzzInput in(data, size);
    std::vector<ReportField> fields(in.Byte() & 7);
    for (auto& f : fields) {
        f.name = in.Text();
        f.value = in.Text();
        // Line breaks in values would make the lines below uncountable.
        std::replace(f.value.begin(), f.value.end(), '\r', ' ');
        std::replace(f.value.begin(), f.value.end(), '\n', ' ');
    }
    const std::string templ = in.Rest();
    (void)IsHtmlTemplate(templ);

    const std::vector<std::string> lines = TemplateLines(templ);
    const std::string filled = FillTemplate(templ, fields);
    size_t breaks = 0;
    for (size_t at = filled.find("\r\n"); at != std::string::npos; at = filled.find("\r\n", at + 2)) ++breaks;
    Check(breaks == lines.size(), "one line of report per line of template");

    bool valuesHavePercent = false;
    for (const auto& f : fields) valuesHavePercent |= f.value.find('%') != std::string::npos;
    for (const std::string& line : lines) {
        const std::string out = FillTemplateLine(line, fields);
        if (line.find('%') == std::string::npos) Check(out == line, "a line without fields stays byte for byte");
        if (!valuesHavePercent)
            Check(std::count(out.begin(), out.end(), '%') <= 1, "at most one unpaired sign is left");
    }
    return 0;
}
