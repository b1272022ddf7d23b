// A graph drawn in saving mode, written as a placeable metafile and parsed back.
#include "Metafile.h"
#include "PlotFixture.h"

#include <QFile>
#include <QTemporaryDir>

namespace orvane::test {
namespace {

using namespace orvane::plot;

struct Record {
    uint32_t size;
    uint16_t function;
    std::vector<uint16_t> params;
};

struct ParsedMetafile {
    std::vector<uint16_t> placeable, header;
    std::vector<Record> records;
};

ParsedMetafile Parse(const QByteArray& bytes) {
    ParsedMetafile m;
    std::vector<uint16_t> w;
    for (int i = 0; i + 1 < bytes.size(); i += 2)
        w.push_back(static_cast<uint16_t>(static_cast<uint8_t>(bytes[i]) | (static_cast<uint8_t>(bytes[i + 1]) << 8)));
    if (w.size() < 20) return m;
    m.placeable.assign(w.begin(), w.begin() + 11);
    m.header.assign(w.begin() + 11, w.begin() + 20);
    size_t at = 20;
    while (at + 3 <= w.size()) {
        Record r;
        r.size = w[at] | (static_cast<uint32_t>(w[at + 1]) << 16);
        r.function = w[at + 2];
        if (r.size < 3 || at + r.size > w.size()) break;
        r.params.assign(w.begin() + at + 3, w.begin() + at + r.size);
        m.records.push_back(r);
        at += r.size;
        if (r.function == wmf::Eof) break;
    }
    return m;
}

class MetafileTest : public PlotTest {
protected:
    void TearDown() override { SetSavingMode(false); }
    QTemporaryDir dir;
};

TEST_F(MetafileTest, SavedGraphParsesBack) {
    const std::string path = dir.filePath("graph.wmf").toStdString();
    Metafile().Open(path);
    SetSavingMode(true);
    plot::StartGraph(canvas, 301, 200, clNavy, clBtnShadow, 1.0f);
    // The paint box shows the banner only; the drawing goes to the file.
    ASSERT_EQ(canvas.Of(CanvasOp::Text).size(), 1u);
    EXPECT_EQ(canvas.Of(CanvasOp::Text)[0].text, "SAVING ...");
    EXPECT_EQ(canvas.Of(CanvasOp::Text)[0].font.size, 16);
    EXPECT_FALSE(Canvas()->font.bold);
    canvas.Clear();
    SetFrame(0, 100, 0, 100, 5, 10, 3, 19, false);
    DrawXAxis(clGray, "", 1, 0, 300, 0, 0, false, true);
    DrawYAxis(clWhite, "", 2, -10, 10, 0, 0, false, false, true);
    SetPenWidth(1);
    Canvas()->pen.color = clRed;
    Tdatatype d = Series({{0, 0}, {100, 5}, {200, -5}, {300, 0}});
    PlotData(d, 1, 2);
    const std::vector<CanvasPoint> expected = {{MapX(0), MapY(0)}, {MapX(100), MapY(5)}, {MapX(200), MapY(-5)},
                                               {MapX(300), MapY(0)}};
    EndGraph();
    ASSERT_TRUE(Metafile().Close());
    EXPECT_TRUE(canvas.ops.empty());

    QFile f(QString::fromStdString(path));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray bytes = f.readAll();
    const ParsedMetafile m = Parse(bytes);
    ASSERT_EQ(m.placeable.size(), 11u);
    EXPECT_EQ(m.placeable[0] | (static_cast<uint32_t>(m.placeable[1]) << 16), wmf::PlaceableKey);
    EXPECT_EQ(m.placeable[5], 301);
    EXPECT_EQ(m.placeable[6], 200);
    uint16_t sum = 0;
    for (int i = 0; i < 10; ++i) sum ^= m.placeable[i];
    EXPECT_EQ(m.placeable[10], sum);
    EXPECT_EQ(m.header[1], 9);
    EXPECT_EQ(m.header[2], 0x0300);
    const uint32_t size = m.header[3] | (static_cast<uint32_t>(m.header[4]) << 16);
    EXPECT_EQ(size * 2 + 22, static_cast<uint32_t>(bytes.size()));
    uint32_t total = 9, largest = 0;
    for (const auto& r : m.records) {
        total += r.size;
        largest = std::max(largest, r.size);
        EXPECT_LE(r.size, 64u);
    }
    EXPECT_EQ(total, size);
    EXPECT_EQ(m.header[6] | (static_cast<uint32_t>(m.header[7]) << 16), largest);
    ASSERT_FALSE(m.records.empty());
    EXPECT_EQ(m.records.back().function, wmf::Eof);
    // The start: two comments, then the mapping with the extent (height, width).
    ASSERT_GE(m.records.size(), 5u);
    EXPECT_EQ(m.records[0].function, wmf::Escape);
    EXPECT_EQ(m.records[2].function, wmf::SetMapMode);
    EXPECT_EQ(m.records[2].params, (std::vector<uint16_t>{8}));
    EXPECT_EQ(m.records[4].params, (std::vector<uint16_t>{200, 301}));
    // Tick labels as text records: "300" centred at (291, 187).
    bool found300 = false;
    for (const auto& r : m.records)
        if (r.function == wmf::TextOut && r.params[0] == 3 && r.params[1] == ('3' | ('0' << 8)))
            found300 = r.params[3] == 187 && r.params[4] == 291;
    EXPECT_TRUE(found300);
    // Dotted grid lines for the X axis.
    bool dottedPen = false;
    for (const auto& r : m.records)
        if (r.function == wmf::CreatePen && r.params[0] == static_cast<int>(PenStyle::Dot)) dottedPen = true;
    EXPECT_TRUE(dottedPen);
    // The data set's polyline: a red pen, one move, then a line to each point.
    size_t at = 0;
    for (size_t i = 0; i < m.records.size(); ++i)
        if (m.records[i].function == wmf::CreatePen && m.records[i].params[3] == 0x00FF && m.records[i].params[4] == 512)
            at = i;
    ASSERT_GT(at, 0u);
    std::vector<CanvasPoint> polyline;
    for (size_t i = at; i < m.records.size(); ++i) {
        const auto& r = m.records[i];
        if (r.function == wmf::MoveTo || r.function == wmf::LineTo) polyline.push_back({r.params[1], r.params[0]});
    }
    EXPECT_EQ(polyline, expected);
    EXPECT_EQ(m.records[at + 1].function, wmf::SelectObject);
    // The last point's pixel closes the pass.
    const auto& pixel = m.records[m.records.size() - 2];
    EXPECT_EQ(pixel.function, wmf::SetPixel);
    EXPECT_EQ(pixel.params[2], MapY(0));
    EXPECT_EQ(pixel.params[3], MapX(300));
}

TEST_F(MetafileTest, RecordsStayInRange) {
    Metafile().Open(dir.filePath("range.wmf").toStdString());
    EXPECT_THROW(Metafile().Record(wmf::MoveTo, {-1, 0}), PlotRangeError);
    EXPECT_THROW(Metafile().Record(wmf::MoveTo, {0, 65536}), PlotRangeError);
    EXPECT_THROW(Metafile().Record(wmf::Polygon, std::vector<int>(62, 0)), PlotRangeError);
    std::vector<CanvasPoint> many(31);
    EXPECT_THROW(Metafile().Polygon(many), PlotRangeError);
    EXPECT_NO_THROW(Metafile().Polygon(std::vector<CanvasPoint>(30)));
    // A move to the last pen position is not written again.
    const uint32_t before = Metafile().TotalWords();
    Metafile().MoveTo(4, 5);
    Metafile().MoveTo(4, 5);
    Metafile().LineTo(4, 5);
    EXPECT_EQ(Metafile().TotalWords(), before + 5);
    EXPECT_TRUE(Metafile().Close());
    EXPECT_FALSE(Metafile().Close());
    // A file that cannot be written is reported.
    Metafile().Open(dir.filePath("missing/folder/x.wmf").toStdString());
    EXPECT_FALSE(Metafile().Close());
}

} // namespace
} // namespace orvane::test
