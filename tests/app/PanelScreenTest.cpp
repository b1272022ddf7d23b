// The program on a desktop whose panels take the top 40 and the left 60
// pixels of a 1280 x 1024 screen: the windows open inside the area the
// panels leave, never under them.
#include "AppFakes.h"
#include "OrvaneApp.h"
#include "TestFiles.h"
#include "TestScreen.h"
#include "Unit1.h"
#include "veltutil.h"

#include <QApplication>
#include <QScreen>
#include <QTest>
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

namespace orvane::test {
QRect TestScreen() { return QRect(60, 40, 1220, 984); }
} // namespace orvane::test

using namespace orvane;
using namespace orvane::test;

namespace {

QString Describe(const QRect& r) { return QString("%1,%2 %3x%4").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height()); }

class PanelScreen : public ::testing::Test {
protected:
    void SetUp() override {
        const std::string plugins = program.ProgramFolder() + "plugins/";
        std::filesystem::create_directories(plugins);
        std::filesystem::copy_file(std::string(BUILT_PLUGIN_DIR) + "/kelmira.so", plugins + "kelmira.so");
    }
    void TearDown() override {
        for (QWidget* w : QApplication::topLevelWidgets()) w->hide();
        app.reset();
    }
    // Starts the program on a workspace that puts the main window at
    // (left, top) and the group analyser at (aLeft, aTop), both shown.
    TForm1& Start(int left, int top, int aLeft, int aTop) {
        const std::string data = GetDataFolder(false, true, program.ProgramFolder() + "orvane");
        WriteFileBytes(data + "default.owk", "[General]\nLeft=" + std::to_string(left) + "\nTop=" +
                                                 std::to_string(top) + "\n[kelmira]\nLeft=" + std::to_string(aLeft) +
                                                 "\nTop=" + std::to_string(aTop) + "\nVisible=1\n");
        app = std::make_unique<OrvaneApp>(program.Env({}, false));
        app->CreateWindows();
        TForm1& main = *app->Forms().form1;
        main.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&main));
        return main;
    }
    QWidget* Analyser() const {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->isVisible() && w->windowTitle() == "Group Analyzer") return w;
        return nullptr;
    }

    FakeProgram program;
    std::unique_ptr<OrvaneApp> app;
};

TEST_F(PanelScreen, TheAreaStartsBesideAndBelowThePanels) {
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    ASSERT_EQ(area, QRect(60, 40, 1220, 984));
}

TEST_F(PanelScreen, WindowsStoredUnderThePanelsOpenAtTheAreasCorner) {
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    TForm1& main = Start(0, 0, 0, 0);
    EXPECT_EQ(main.frameGeometry().topLeft(), area.topLeft()) << Describe(main.frameGeometry()).toStdString();
    QWidget* analyser = Analyser();
    ASSERT_NE(analyser, nullptr);
    EXPECT_EQ(analyser->frameGeometry().topLeft(), area.topLeft()) << Describe(analyser->frameGeometry()).toStdString();
}

TEST_F(PanelScreen, WindowsStoredPastTheFarEdgesEndAtThem) {
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    TForm1& main = Start(5000, 5000, 5000, 5000);
    for (QWidget* w : {static_cast<QWidget*>(&main), Analyser()}) {
        ASSERT_NE(w, nullptr);
        const QRect frame = w->frameGeometry();
        SCOPED_TRACE(Describe(frame).toStdString());
        EXPECT_EQ(frame.right(), area.right());
        EXPECT_EQ(frame.bottom(), area.bottom());
    }
}

TEST_F(PanelScreen, AWindowPartlyUnderAPanelMovesOnlyOutFromUnderIt) {
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    TForm1& main = Start(200, 10, 0, 300);
    const QRect frame = main.frameGeometry();
    EXPECT_EQ(frame.top(), area.top()) << Describe(frame).toStdString();
    // The left edge stays where it was stored, to the pixel: the frame the
    // platform adds round a window placed while hidden must not shift it.
    EXPECT_EQ(frame.left(), 200) << Describe(frame).toStdString();
    QWidget* analyser = Analyser();
    ASSERT_NE(analyser, nullptr);
    EXPECT_EQ(analyser->frameGeometry().topLeft(), QPoint(area.left(), 300))
        << Describe(analyser->frameGeometry()).toStdString();
}

} // namespace
