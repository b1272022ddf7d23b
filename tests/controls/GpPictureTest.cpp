#include "GpPicture.h"

#include "Canvas.h"
#include "SeekTrackBar.h"

#include <QBuffer>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

using namespace orvane;
using namespace orvane::controls;

namespace {

// A 24 x 10 PNG: opaque red left half, half-transparent blue right half and a
// fully transparent last column.
QByteArray AlphaPng() {
    QImage image(24, 10, QImage::Format_ARGB32);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 24; ++x)
            image.setPixel(x, y, x == 23 ? qRgba(0, 0, 0, 0) : x < 12 ? qRgba(255, 0, 0, 255) : qRgba(0, 0, 255, 128));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

struct Events {
    std::vector<std::string> seen;
    explicit Events(TGpPicture& p) {
        QObject::connect(&p, &TGpPicture::OnChange, [this] { seen.push_back("change"); });
        QObject::connect(&p, &TGpPicture::OnClear, [this] { seen.push_back("clear"); });
    }
};

QImage DrawOnWhite(const TGpPicture& p, int w, int h) {
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(Qt::white);
    TCanvas canvas(image);
    p.Draw(canvas, {0, 0, w, h});
    return image;
}

} // namespace

TEST(GpPicture, NewPictureIsEmptyAndDrawsNothing) {
    TGpPicture p;
    EXPECT_TRUE(p.Empty());
    EXPECT_EQ(p.Width(), 0);
    EXPECT_EQ(p.Height(), 0);
    EXPECT_FALSE(p.UpdateSize());
    QImage white(8, 8, QImage::Format_RGB32);
    white.fill(Qt::white);
    EXPECT_EQ(DrawOnWhite(p, 8, 8), white);
}

TEST(GpPicture, PngWithAlphaRoundTripsThroughStreamAndAssign) {
    const QByteArray png = AlphaPng();
    TGpPicture p;
    Events events(p);
    QBuffer in(const_cast<QByteArray*>(&png));
    in.open(QIODevice::ReadOnly);
    p.LoadFromStream(&in);
    EXPECT_FALSE(p.Empty());
    EXPECT_EQ(p.Width(), 24);
    EXPECT_EQ(p.Height(), 10);
    EXPECT_EQ(events.seen, std::vector<std::string>{"change"});

    QByteArray saved;
    QBuffer out(&saved);
    out.open(QIODevice::WriteOnly);
    p.SaveToStream(&out);
    EXPECT_EQ(saved, png) << "the file's bytes exactly";

    TGpPicture copy;
    copy.Assign(&p);
    EXPECT_EQ(copy.Data(), png);
    EXPECT_EQ(copy.Width(), 24);

    const QImage drawn = DrawOnWhite(copy, 24, 10);
    EXPECT_EQ(drawn.pixel(3, 5), qRgb(255, 0, 0));
    const QRgb blended = drawn.pixel(16, 5);
    EXPECT_NEAR(qRed(blended), 127, 3) << "half-transparent blue over white";
    EXPECT_EQ(qBlue(blended), 255);
    EXPECT_EQ(drawn.pixel(23, 5), qRgb(255, 255, 255)) << "transparent column";
}

TEST(GpPicture, FormResourceMeasuresOnlyOnUpdateSize) {
    QByteArray png = AlphaPng();
    QBuffer in(&png);
    in.open(QIODevice::ReadOnly);
    TGpPicture p;
    p.ReadData(&in);
    EXPECT_FALSE(p.Empty());
    EXPECT_EQ(p.Width(), 0);
    EXPECT_TRUE(p.UpdateSize());
    EXPECT_EQ(p.Width(), 24);
    EXPECT_EQ(p.Height(), 10);
}

TEST(GpPicture, EventOrderOfAssignAndLoad) {
    TGpPicture p;
    Events events(p);
    p.Assign(nullptr);
    EXPECT_EQ(events.seen, (std::vector<std::string>{"change", "clear"}));
    EXPECT_TRUE(p.Empty());

    QTemporaryDir dir;
    const QString file = dir.filePath("thumb.png");
    {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(AlphaPng());
    }
    events.seen.clear();
    p.LoadFromFile(file);
    EXPECT_EQ(events.seen, (std::vector<std::string>{"clear", "change"}));
    EXPECT_EQ(p.Width(), 24);

    TGpPicture none;
    p.Assign(&none);
    EXPECT_TRUE(p.Empty());
    EXPECT_EQ(p.Width(), 0); // an empty picture keeps no old size
    EXPECT_EQ(p.Height(), 0);
    p.LoadFromFile(file);
    ASSERT_EQ(p.Width(), 24);
    p.Assign(nullptr);
    EXPECT_EQ(p.Width(), 0);
    EXPECT_EQ(p.Height(), 0);

    events.seen.clear();
    p.LoadFromFile(dir.filePath("missing.png"));
    EXPECT_TRUE(p.Empty());
    EXPECT_TRUE(events.seen.empty());
}

TEST(GpPicture, BitmapLeavesOutItsBottomLeftColour) {
    QImage bitmap(4, 4, QImage::Format_RGB32);
    bitmap.fill(qRgb(0, 255, 0));
    bitmap.setPixel(1, 1, qRgb(0, 0, 255));
    TGpPicture p;
    p.Assign(bitmap);
    EXPECT_FALSE(p.Empty());
    EXPECT_TRUE(p.Data().startsWith("BM"));
    EXPECT_EQ(p.Width(), 4);
    const QImage drawn = DrawOnWhite(p, 4, 4);
    EXPECT_EQ(drawn.pixel(0, 0), qRgb(255, 255, 255));
    EXPECT_EQ(drawn.pixel(1, 1), qRgb(0, 0, 255));
}

TEST(GpPicture, UndecodableFormBytesMeasureZeroAndDrawNothing) {
    // A form resource's bytes are taken as they stand; only measuring and
    // drawing find that no decoder reads them.
    QByteArray junk("\x89PNG but broken");
    QBuffer in(&junk);
    in.open(QIODevice::ReadOnly);
    TGpPicture p;
    p.ReadData(&in);
    EXPECT_FALSE(p.Empty());
    EXPECT_TRUE(p.UpdateSize());
    EXPECT_EQ(p.Width(), 0);
    EXPECT_EQ(p.Height(), 0);
    QImage white(6, 6, QImage::Format_RGB32);
    white.fill(Qt::white);
    EXPECT_EQ(DrawOnWhite(p, 6, 6), white);
}

TEST(GpPicture, AFailedLoadLeavesNoBytesBehind) {
    QByteArray png = AlphaPng();
    QBuffer in(&png);
    in.open(QIODevice::ReadOnly);
    TGpPicture p;
    p.LoadFromStream(&in);
    ASSERT_FALSE(p.Empty());
    QTemporaryDir dir;
    p.LoadFromFile(dir.filePath("missing.png"));
    EXPECT_TRUE(p.Empty());
    EXPECT_TRUE(p.Data().isEmpty());

    // A copy of it is as empty: no bytes, and the old image is not drawn.
    TGpPicture copy;
    copy.Assign(&p);
    EXPECT_TRUE(copy.Empty());
    EXPECT_TRUE(copy.Data().isEmpty());
    QImage white(24, 10, QImage::Format_RGB32);
    white.fill(Qt::white);
    EXPECT_EQ(DrawOnWhite(copy, 24, 10), white);
    QByteArray saved;
    QBuffer out(&saved);
    out.open(QIODevice::WriteOnly);
    p.SaveToStream(&out);
    EXPECT_TRUE(saved.isEmpty());
}

TEST(GpPicture, ALoadThatYieldsNoPictureIsAFailedLoad) {
    // After a good load, a file or stream of no bytes or of bytes no decoder
    // reads must not leave a "picture" of the old size behind.
    QTemporaryDir dir;
    const QString good = dir.filePath("good.png");
    {
        QFile f(good);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(AlphaPng());
    }
    auto fromFile = [&](TGpPicture& p, const QByteArray& bytes) {
        const QString bad = dir.filePath("bad.png");
        QFile f(bad);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
        f.close();
        p.LoadFromFile(bad);
    };
    auto fromStream = [](TGpPicture& p, QByteArray bytes) {
        QBuffer in(&bytes);
        in.open(QIODevice::ReadOnly);
        p.LoadFromStream(&in);
    };
    struct Case {
        const char* name;
        std::function<void(TGpPicture&, const QByteArray&)> load;
        QByteArray bytes;
    };
    const Case cases[] = {
        {"file of no bytes", fromFile, QByteArray()},
        {"file of junk", fromFile, QByteArray("\x89PNG but broken")},
        {"stream of no bytes", fromStream, QByteArray()},
        {"stream of junk", fromStream, QByteArray("\x89PNG but broken")},
        {"stream of text", fromStream, QByteArray("not a picture at all\r\n")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TGpPicture p;
        p.LoadFromFile(good);
        ASSERT_FALSE(p.Empty());
        ASSERT_EQ(p.Width(), 24);
        ASSERT_EQ(p.Height(), 10);
        Events events(p);
        c.load(p, c.bytes);
        EXPECT_TRUE(p.Empty());
        EXPECT_TRUE(p.Data().isEmpty());
        EXPECT_EQ(p.Width(), 0);
        EXPECT_EQ(p.Height(), 0);
        // The picture did change: its owner repaints without it.
        EXPECT_EQ(events.seen, (std::vector<std::string>{"change"}));
        // A copy of it is as empty.
        TGpPicture copy;
        copy.Assign(&p);
        EXPECT_TRUE(copy.Empty());
    }
}

TEST(GpPicture, ARatingBarLeavesRatingModeWhenAPictureFileIsEmpty) {
    QTemporaryDir dir;
    const QString good = dir.filePath("good.png"), empty = dir.filePath("empty.png");
    {
        QFile f(good);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(AlphaPng());
        QFile e(empty);
        ASSERT_TRUE(e.open(QIODevice::WriteOnly));
    }
    TSeekTrackBar bar;
    bar.RateActive()->LoadFromFile(good);
    bar.RateInActive()->LoadFromFile(good);
    ASSERT_TRUE(bar.RatingMode());
    bar.RateActive()->LoadFromFile(empty);
    EXPECT_FALSE(bar.RatingMode());
}
