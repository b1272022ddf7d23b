#include "AppFakes.h"
#include "GradBand.h"
#include "GradButton.h"
#include "OrvaneApp.h"
#include "SeekTrackBar.h"
#include "Unit1.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QTest>
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

using namespace orvane;
using namespace orvane::controls;
using namespace orvane::test;

namespace {

class MainWindowLook : public ::testing::Test {
protected:
    MainWindowLook() {
        RecordingPlugins::Seen().clear();
        app = std::make_unique<OrvaneApp>(program.Env());
        app->CreateWindows();
    }
    TForm1& main() { return *app->Forms().form1; }

    FakeProgram program;
    std::unique_ptr<OrvaneApp> app;
};

} // namespace

TEST_F(MainWindowLook, EightGradientKeys) {
    struct Key {
        TGradButton* button;
        const char* name;
        const char* caption;
        int frame;
        bool bold;
    };
    TForm1& m = main();
    const Key keys[] = {
        {m.BBPLAY, "BBPLAY", "PLAY...", 2, true},    {m.BBPSTOP, "BBPSTOP", "STOP", 2, true},
        {m.BBREC, "BBREC", "REC", 2, true},          {m.BBSTOP, "BBSTOP", "STOP", 2, true},
        {m.BBRECFN, "BBRECFN", "...", 1, true},      {m.GradButton1, "GradButton1", "Reset", 2, true},
        {m.BBTUNE, "BBTUNE", "Tune", 1, false},      {m.GradButton2, "GradButton2", "", 1, true},
    };
    for (const Key& k : keys) {
        SCOPED_TRACE(k.name);
        ASSERT_NE(k.button, nullptr);
        EXPECT_EQ(m.findChild<TGradButton*>(k.name), k.button);
        EXPECT_EQ(k.button->Caption(), k.caption);
        EXPECT_EQ(k.button->BtnFrameSize(), k.frame);
        EXPECT_EQ(k.button->font().bold(), k.bold);
        EXPECT_EQ(k.button->font().pointSize(), 8);
        EXPECT_EQ(k.button->EndColor(), clWhite);
        EXPECT_EQ(k.button->TextStyle(), tsInset);
        EXPECT_EQ(k.button->gradstyle(), gsVertCenter);
        EXPECT_TRUE(k.button->SwapColors());
        const bool blank = k.button == m.GradButton2;
        EXPECT_EQ(k.button->BeginColor(), blank ? clSilver : 13160660u);
        EXPECT_EQ(k.button->isEnabled(), !blank);
    }
    // The reset key resets the decoded data, which the plug-ins hear of.
    const size_t before = RecordingPlugins::Seen().size();
    m.show();
    QTest::mouseClick(m.GradButton1, Qt::LeftButton);
    EXPECT_GT(RecordingPlugins::Seen().size(), before);
}

TEST_F(MainWindowLook, FlatLcdHidesTheBandsAndFillsTheLabels) {
    TForm1& m = main();
    m.show();
    ASSERT_TRUE(m.GradBand1->isVisible());
    EXPECT_EQ(m.GradBand1->height(), 25);
    EXPECT_EQ(m.GradBand2->height(), 32);
    EXPECT_EQ(m.GradBand1->FillDirection(), fdRightToLeft);
    EXPECT_EQ(m.GradBand2->FillDirection(), fdLeftToRight);
    EXPECT_FALSE(m.LPS->autoFillBackground());

    m.ApplyFlatLCD(false); // the option's default changes nothing
    EXPECT_TRUE(m.GradBand1->isVisible());
    EXPECT_FALSE(m.LPI->autoFillBackground());

    m.ApplyFlatLCD(true);
    EXPECT_FALSE(m.GradBand1->isVisible());
    EXPECT_FALSE(m.GradBand2->isVisible());
    for (QLabel* l : {m.LPS, m.LPI, m.LBER, m.LGR, m.LPLAY, m.LPAUSE, m.LEND}) EXPECT_TRUE(l->autoFillBackground());

    // One panel in the display's colour where the bands were: no gaps of
    // the window's grey between the labels, and room before the first text.
    QApplication::processEvents();
    const QImage shot = m.grab().toImage().convertToFormat(QImage::Format_RGB32);
    if (const char* out = std::getenv("ORVANE_WRITE_SCREENSHOTS")) shot.save(QDir(out).filePath("FlatLCD.png"));
    const QRect display(m.GradBand1->mapTo(&m, QPoint(0, 0)),
                        m.GradBand2->mapTo(&m, QPoint(m.GradBand2->width() - 1, m.GradBand2->height() - 1)));
    const QRgb panel = ToQColor(4333326).rgb();
    int gaps = 0, inked = 0;
    for (int y = display.top(); y <= display.bottom(); ++y)
        for (int x = display.left(); x <= display.right(); ++x) {
            bool onLabel = false;
            for (QLabel* l : m.centralWidget()->findChildren<QLabel*>())
                if (l->isVisible() && QRect(l->mapTo(&m, QPoint(0, 0)), l->size()).contains(x, y)) onLabel = true;
            if (!onLabel && shot.pixel(x, y) != panel) ++gaps;
            if (x < display.left() + 3 && shot.pixel(x, y) != panel) ++inked;
        }
    EXPECT_EQ(gaps, 0) << "pixels of another colour between the labels";
    EXPECT_EQ(inked, 0) << "text at the panel's left edge";
    // The labels' own backgrounds are the panel's colour.
    for (QLabel* l : {m.LPS, m.LBER, m.LGR})
        EXPECT_EQ(shot.pixel(l->mapTo(&m, QPoint(l->width() - 1, l->height() - 1))), panel) << l->objectName().toStdString();
}

// The whole window against a committed picture of it. Set
// ORVANE_WRITE_REFERENCE to a folder to write a new picture there.
TEST_F(MainWindowLook, WindowMatchesItsReferencePicture) {
    TForm1& m = main();
    m.show();
    QApplication::processEvents();
    const QImage shot = m.grab().toImage().convertToFormat(QImage::Format_RGB32);
    if (const char* out = std::getenv("ORVANE_WRITE_REFERENCE")) {
        ASSERT_TRUE(shot.save(QDir(out).filePath("MainWindow.png")));
    }
    const QImage reference(QStringLiteral(ORVANE_REFERENCE_DIR "/MainWindow.png"));
    ASSERT_FALSE(reference.isNull());
    ASSERT_EQ(shot.size(), reference.size());
    // Text may be rasterised a little differently; the drawing may not.
    int differ = 0;
    const QImage ref = reference.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < shot.height(); ++y)
        for (int x = 0; x < shot.width(); ++x) {
            const QRgb a = shot.pixel(x, y), b = ref.pixel(x, y);
            if (std::abs(qRed(a) - qRed(b)) > 40 || std::abs(qGreen(a) - qGreen(b)) > 40 ||
                std::abs(qBlue(a) - qBlue(b)) > 40) {
                ++differ;
            }
        }
    EXPECT_LE(differ, shot.width() * shot.height() / 100) << differ << " pixels differ";

    // The bands show through behind the labels.
    const QPoint corner = m.GradBand2->mapTo(&m, QPoint(287, 31));
    EXPECT_EQ(shot.pixel(corner), m.GradBand2->Render().pixel(287, 31));
}

// The seeking bar as its form entry builds it, against a committed picture.
TEST_F(MainWindowLook, SeekingBarMatchesItsReferencePicture) {
    TSeekTrackBar& atb = *main().ATB;
    EXPECT_TRUE(atb.isHidden()); // shown only while a counted file plays
    EXPECT_EQ(atb.Max(), 200);
    EXPECT_TRUE(atb.TrackHint());
    EXPECT_EQ(atb.TickMark()->Style(), tsNone);
    EXPECT_FALSE(atb.Buttons()->Visible());
    // The pictures' sizes, not the 10 and 20 written after them.
    EXPECT_EQ(atb.Thumb()->Width(), 20);
    EXPECT_EQ(atb.Thumb()->Size(), 10);
    EXPECT_EQ(atb.Buttons()->Size(), 24);

    atb.SetPosition(80);
    const QImage shot = atb.Render();
    if (const char* out = std::getenv("ORVANE_WRITE_REFERENCE")) {
        ASSERT_TRUE(shot.save(QDir(out).filePath("SeekBar.png")));
    }
    const QImage reference = QImage(QStringLiteral(ORVANE_REFERENCE_DIR "/SeekBar.png"))
                                 .convertToFormat(QImage::Format_ARGB32_Premultiplied);
    ASSERT_EQ(shot.size(), reference.size());
    int differ = 0;
    for (int y = 0; y < shot.height(); ++y)
        for (int x = 0; x < shot.width(); ++x) {
            const QRgb a = shot.pixel(x, y), b = reference.pixel(x, y);
            if (std::abs(qRed(a) - qRed(b)) > 24 || std::abs(qGreen(a) - qGreen(b)) > 24 ||
                std::abs(qBlue(a) - qBlue(b)) > 24 || std::abs(qAlpha(a) - qAlpha(b)) > 24)
                ++differ;
        }
    EXPECT_LE(differ, 4) << differ << " pixels differ";

    // The completed part lies left of the thumb and differs from the rest.
    const TRect s = atb.SliderRect(), t = atb.ThumbRect();
    const int y = s.Top + s.Height() / 2;
    EXPECT_NE(shot.pixel(s.Left + 20, y), shot.pixel(t.Right + 20, y));
}
