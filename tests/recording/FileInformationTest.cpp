#include "FileInformation.h"

#include <gtest/gtest.h>

namespace orvane {
namespace {

TEST(FileInformation, ListsTheHeadersFields) {
    struct Case {
        const char* what;
        std::string header, expected;
    } cases[] = {
        {"every field",
         "<recorder=\"Orvane\" date=\"2024-05-01\" time=\"13-05-09\" source=\"2\" name=\"Ann\" location=\"Ost\" "
         "notes=\"n\" frequency=\"101.3\">",
         "f.orv\n \nrecorder: Orvane \ndate: 2024-05-01 \ntime: 13-05-09 \nsource: 2 \nname: Ann \nlocation: Ost "
         "\nnotes: n \nfrequency: 101.3"},
        {"empty fields are left out",
         "<recorder=\"Orvane\" date=\"2024-05-01\" time=\"13-05-09\" source=\"1\" name=\"\" location=\"\" notes=\"\">",
         "f.orv\n \nrecorder: Orvane \ndate: 2024-05-01 \ntime: 13-05-09 \nsource: 1"},
        {"a quote in the notes ends the value; the rest reads as further fields",
         "<recorder=\"Orvane\" notes=\"say \"hi\" location=\"Ost\">",
         "f.orv\n \nrecorder: Orvane \nnotes: say  \nhi\" location: Ost"},
        {"a header in Windows-1252, as the original platform writes it",
         "<recorder=\"Orvane\" name=\"M\xFCnchen Stra\xDF" "e\" location=\"K\xF6ln\" notes=\"\x80 5\">",
         "f.orv\n \nrecorder: Orvane \nname: München Straße \nlocation: Köln \nnotes: € 5"},
        {"a stream", "<URL=\"radio.example:2323\">", "f.orv\n \nURL: radio.example:2323"},
        {"no header", "", "No information."},
        {"a sample file has none", "", "No information."},
        {"too short", "<a=\">", "No information."},
        {"not closed", "<recorder=\"Orvane\"", "No information."},
        {"another logger's text", "Logged by X", "No information."},
        {"a lone bracket", ">", "No information."},
    };
    for (const Case& c : cases) EXPECT_EQ(FileInformationText("f.orv", c.header), c.expected) << c.what;
}

} // namespace
} // namespace orvane
