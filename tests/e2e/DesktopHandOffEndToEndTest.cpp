// The program's hand-offs to the desktop through the real start-up and the
// real desktop shell, with stand-ins for xdg-open, xdg-mime and gtk-launch:
// what they were given, and the program's own message when they fail.
#include "AppFakes.h"
#include "LinkLabel.h"
#include "OrvaneApp.h"
#include "StandInOpeners.h"
#include "TestFiles.h"
#include "Unit1.h"
#include "about.h"
#include "opt.h"

#include <QCoreApplication>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

using namespace orvane;
using namespace orvane::test;

TEST(DesktopHandOff, EachOpenerThatFailsGetsItsMessageAndOneThatOpensNone) {
    QTemporaryDir dir;
    // Nothing of the desktop's own runs while the program does.
    StandInOpeners none;
    ASSERT_TRUE(none.Valid());
    const std::string folder = dir.path().toStdString() + "/program/";
    std::filesystem::create_directories(folder);
    WriteFileBytes(folder + "orvane.pdf", "%PDF-1.4\n");

    SystemEnv system;
    FakeModal modal;
    AppEnv env = system.Make(folder + "orvane", {});
    env.modal = &modal;
    OrvaneApp app(std::move(env));
    app.CreateWindows();
    TForm1& main = *app.Forms().form1;
    main.show();
    // The first start's source dialog, answered by the fake, is out of the way.
    ASSERT_TRUE(QTest::qWaitFor([&] { return !modal.shown.empty(); }, 5000));
    modal.messages.clear();

    using Runs = std::vector<std::vector<std::string>>;
    const struct {
        const char* what;
        std::function<void()> click;
        const char* opener; // the stand-in that gets the file
        int failingExit;    // as the real one ends when nothing can open it
        Runs runs;
        std::string message;
    } cases[] = {
        {"Orvane Help...", [&] { main.OrvaneHelp1Click(); }, "xdg-open", 3, {{folder + "orvane.pdf"}},
         "Can't start a PDF viewer for " + folder + "orvane.pdf. \rOpen the manual with a PDF viewer of your choice."},
        {"a folder of the about box", [&] { app.Forms().about->URL4->Click(); }, "xdg-open", 4,
         {{folder + "plugins/"}},
         "Can't start a file manager for " + folder + "plugins/. \rOpen the folder with a file manager of your choice."},
        {"Edit... of the template", [&] { app.Forms().dopt->Button3->click(); }, "gtk-launch", 2,
         {{"vim", folder + "orvane.otp"}},
         "Can't start a text editor for " + folder + "orvane.otp. \rOpen the template with an editor of your choice."},
    };
    for (const auto& c : cases) {
        for (const bool fails : {true, false}) {
            SCOPED_TRACE(std::string(c.what) + (fails ? " failing" : " opening"));
            StandInOpeners fresh;
            fresh.Add("xdg-mime", 0, "vim.desktop\n");
            fresh.Add(c.opener, fails ? c.failingExit : 0, "Unable to find terminal required for application\n");
            modal.messages.clear();
            c.click();
            // Never a wait for the opener: the click has returned while it runs.
            ASSERT_TRUE(QTest::qWaitFor([&] { return system.shell.Running() == 0; }, 20000));
            QCoreApplication::processEvents();
            EXPECT_EQ(fresh.Runs(c.opener), c.runs);
            EXPECT_EQ(modal.messages, fails ? std::vector<std::string>{c.message} : std::vector<std::string>{});
        }
    }
    main.close();
}
