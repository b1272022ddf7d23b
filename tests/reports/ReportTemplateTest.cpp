// Filling template lines: fields, the removal of stray percent pairs, and
// values that are never searched again.
#include "ReportTemplate.h"

#include <gtest/gtest.h>

using namespace orvane;

namespace {

const std::vector<ReportField> kFields = {
    {"PI", "D3C2"},        {"PS", "RADIO 1"},   {"BER", "12 %"},     {"BERC", "7 %"},
    {"Ünïcode", "ok"},     {"time", "13:05:09"}, {"frequency", "87.5 MHz"},
    {"Tricky", "%PI%"},
};

struct LineCase {
    const char* name;
    const char* line;
    const char* filled;
};

class FillLine : public ::testing::TestWithParam<LineCase> {};

TEST_P(FillLine, Fills) {
    EXPECT_EQ(FillTemplateLine(GetParam().line, kFields), GetParam().filled);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FillLine,
    ::testing::Values(
        LineCase{"PlainField", "PI: %PI%", "PI: D3C2"},
        LineCase{"AnyLetterCase", "%pi% %Ps% %ÜNÏCODE%", "D3C2 RADIO 1 ok"},
        LineCase{"EveryOccurrence", "%PI%/%PI%", "D3C2/D3C2"},
        // Two values ending in " %" stay whole, with the text between them.
        LineCase{"PercentValuesSideBySide", "%BER% and %BERC% here", "12 % and 7 % here"},
        LineCase{"PercentValueThenStray", "%BER% up to 60 % of", "12 % up to 60 % of"},
        // A pair of signs that names no field goes with its contents.
        LineCase{"StrayPair", "50 % of 60 % done", "50  done"},
        LineCase{"UnknownField", "x%nothing%y", "xy"},
        LineCase{"LoneSignStays", "100 % sure", "100 % sure"},
        LineCase{"StrayBeforeField", "100% sure, %PI%", "100% sure, D3C2"},
        LineCase{"ThreeStraysLastStays", "a%b%c%d", "ac%d"},
        // A value holding a field name is put in as it stands.
        LineCase{"ValueIsNotSearched", "<%Tricky%>", "<%PI%>"},
        LineCase{"FieldsTouching", "%PI%%PS%", "D3C2RADIO 1"},
        LineCase{"EmptyPair", "a%%b", "ab"},
        LineCase{"NoFields", "nothing here", "nothing here"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(FillTemplate, BytesThatAreNoUtf8PassUnchanged) {
    // A template saved as Latin-1 keeps its accents as the user wrote them.
    EXPECT_EQ(FillTemplateLine("Fr\xE9quence %frequency% \xB0", kFields), "Fr\xE9quence 87.5 MHz \xB0");
    EXPECT_EQ(FillTemplateLine("%\xDCN\xCF" "CODE%", kFields), "") << "no field of that name";
}

TEST(FillTemplate, FirstFieldOfANameWins) {
    const std::vector<ReportField> fields = {{"time", "from the table"}, {"TIME", "the report's"}};
    EXPECT_EQ(FillTemplateLine("%Time%", fields), "from the table");
}

TEST(FillTemplate, LinesEndInCrLfWhateverTheTemplateUsed) {
    EXPECT_EQ(FillTemplate("a %PI%\r\nb\nc\rd", kFields), "a D3C2\r\nb\r\nc\r\nd\r\n");
    EXPECT_EQ(FillTemplate("one\r\n\r\n", kFields), "one\r\n\r\n");
    EXPECT_EQ(FillTemplate("", kFields), "");
}

TEST(FillTemplate, PairsDoNotSpanLines) {
    EXPECT_EQ(FillTemplate("50 % of\n60 % of", {}), "50 % of\r\n60 % of\r\n");
}

TEST(IsHtmlTemplate, NeedsBothTagsInOrderInAnyCase) {
    const std::pair<const char*, bool> cases[] = {
        {"<html><body>x</body></html>", true},
        {"<HTML>\n</Html>", true},
        {"text <Html> more </hTmL>", true},
        {"plain text", false},
        {"<html> never closed", false},
        {"</html> before <html>", false},
        {"<htm></html>", false},
    };
    for (const auto& [text, html] : cases) EXPECT_EQ(IsHtmlTemplate(text), html) << text;
}

} // namespace
