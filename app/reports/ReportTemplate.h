#pragma once
// Filling a report template: fields between percent signs are replaced by
// their values in one pass over the template's own text.
#include <string>
#include <string_view>
#include <vector>

namespace orvane {

struct ReportField {
    std::string name;  // without the percent signs; matched in any letter case
    std::string value; // put in as it stands
};

// True when the template, in upper case, holds "<HTML>" before its first
// "</HTML>".
bool IsHtmlTemplate(std::string_view templ);

// The template split into lines at CR LF, CR or LF; a line end after the last
// line adds no empty line.
std::vector<std::string> TemplateLines(std::string_view templ);

// Replaces every "%name%" of the line by the first field of that name, in the
// order given, scanning the line once from the left. Each remaining percent
// sign is paired with the next one and both are removed with everything
// between them; a last unpaired sign stays. Text that came from a value is
// never searched for percent signs.
std::string FillTemplateLine(std::string_view line, const std::vector<ReportField>& fields);

// Every line filled, each followed by CR LF.
std::string FillTemplate(std::string_view templ, const std::vector<ReportField>& fields);

} // namespace orvane
