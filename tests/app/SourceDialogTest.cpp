// The source dialog's own handlers: the port list, the mixer and pictures.
#include "AppFakes.h"
#include "OrvaneApp.h"
#include "ScriptedDeviceLibrary.h"
#include "Unit1.h"
#include "RadioGroup.h"
#include "src.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTabWidget>
#include <QPushButton>
#include <gtest/gtest.h>

using namespace orvane;
using namespace orvane::test;

namespace {

class SourceDialogTest : public ::testing::Test {
protected:
    TDSRC& Start() {
        AppEnv env = program.Env();
        env.deviceLibrary = &library;
        app = std::make_unique<OrvaneApp>(env);
        app->CreateWindows();
        return *app->Forms().dsrc;
    }
    // The user picks a page and presses OK, or cancels.
    void Answer(int page, bool ok) {
        program.modal.onRun = [this, page, ok](QDialog&) {
            TDSRC& d = *app->Forms().dsrc;
            d.PageControl1->setCurrentIndex(page);
            if (page == TForm1::kSourceDevice) {
                d.RGCONTYPE->SetItemIndex(1);
                d.EHOST->setText("fm.lan");
                d.EPORT->setText("7000");
                d.RGDEVTYPE->SetItemIndex(1);
            }
            return ok ? int(QDialog::Accepted) : int(QDialog::Rejected);
        };
    }
    FakeProgram program;
    ScriptedLibrary library;
    std::unique_ptr<OrvaneApp> app;
};

TEST_F(SourceDialogTest, MixerStartsTheFirstToolThatRunsOrNamesWhatIsMissing) {
    // The advice names what there is to run on this desktop.
    const std::string settings = "\rSet the recording level in the desktop's sound settings";
    const std::string advice = settings + ", or run alsamixer in a terminal.";
    struct Case {
        std::vector<std::string> missing;
        std::vector<std::string> started;
        std::string message; // empty: none
    };
    const Case cases[] = {
        {{}, {"pavucontrol"}, ""},
        {{"pavucontrol"}, {"pavucontrol", "x-terminal-emulator"}, ""},
        // alsamixer is there; only a terminal to run it in is not.
        {{"pavucontrol", "x-terminal-emulator"},
         {"pavucontrol", "x-terminal-emulator"},
         "Can't find pavucontrol, or a terminal (x-terminal-emulator) to run alsamixer in. " + advice},
        {{"pavucontrol", "x-terminal-emulator", "alsamixer"},
         {"pavucontrol", "x-terminal-emulator"},
         "Can't find pavucontrol or alsamixer. " + settings + "."},
    };
    TDSRC& dialog = Start();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.missing.size());
        program.shell.opened.clear();
        program.shell.missing = c.missing;
        program.modal.messages.clear();
        dialog.BMIX->click();
        EXPECT_EQ(program.shell.opened, c.started);
        if (c.message.empty())
            EXPECT_TRUE(program.modal.messages.empty());
        else
            EXPECT_EQ(program.modal.messages, std::vector<std::string>{c.message});
    }
}

TEST_F(SourceDialogTest, BothListButtonsShowThePortsFound) {
    TDSRC& dialog = Start();
    for (QPushButton* b : {dialog.BLIST1, dialog.BLIST2}) {
        program.modal.messages.clear();
        b->click();
        ASSERT_EQ(program.modal.messages.size(), 1u);
        const std::string& text = program.modal.messages[0];
        EXPECT_TRUE(text.rfind("Serial ports found:", 0) == 0 || text == "No serial ports found.") << text;
    }
    EXPECT_EQ(TDSRC::GetWindowsVersion(), 9);
}

TEST_F(SourceDialogTest, PicturesShowForTheChosenInput) {
    TDSRC& dialog = Start();
    for (QLabel* l : {dialog.ImageCircuit, dialog.Image1, dialog.Image3}) {
        ASSERT_FALSE(l->pixmap().isNull()) << l->objectName().toStdString();
        EXPECT_GE(l->pixmap().width(), 300);
    }
}

TEST_F(SourceDialogTest, TheDeviceLinkRoundTrip) {
    Start();
    TForm1& main = *app->Forms().form1;
    library.up = false; // a TCP link still connecting
    Answer(TForm1::kSourceDevice, true);
    main.SelectRDSInput1Click();
    EXPECT_EQ(library.setup, "1|1|fm.lan|7000");
    EXPECT_EQ(library.written, std::vector<std::string>{"\rSETORV=254\r"});
    ASSERT_TRUE(main.Device().TimerDravon().Enabled());
    // The encoder's keep-alive on the next command tick, then not for 4 s.
    program.time.Advance(200);
    EXPECT_EQ(library.written.back(), "SETORV=100\r");
    program.time.Advance(3800);
    EXPECT_EQ(library.written.size(), 2u);

    // Groups come in one per poll; the first three after the reset are dropped.
    library.up = true;
    for (int i = 0; i < 4; ++i) library.replies.push_back("G=5A5A 0000 0000 4142");
    library.replies.push_back("Frequency=100.10 MHz");
    program.time.Advance(88 * 4);
    EXPECT_EQ(main.LPI->text().toStdString(), "5A5A");
    program.time.Advance(88);
    EXPECT_EQ(main.CBFREQ->currentText().toStdString(), "100.1");
    // Every reply counts its characters for the status window.
    EXPECT_EQ(main.ReceivedCharacters(), 4 * 21 + 20);

    // Cancel leaves the link as it is; OK reconnects even without a change.
    Answer(TForm1::kSourceDevice, false);
    main.SelectRDSInput1Click();
    EXPECT_EQ(library.disconnects, 0);
    library.written.clear();
    Answer(TForm1::kSourceDevice, true);
    main.SelectRDSInput1Click();
    EXPECT_EQ(library.disconnects, 1);
    EXPECT_EQ(library.written, std::vector<std::string>{"\rSETORV=254\r"});
    EXPECT_EQ(main.LPI->text().toStdString(), "----");

    // No source: the link closes and the error rate says so.
    Answer(TForm1::kSourceNone, true);
    main.SelectRDSInput1Click();
    EXPECT_EQ(library.disconnects, 2);
    EXPECT_FALSE(main.Device().TimerDravon().Enabled());
    EXPECT_EQ(main.LBER->text().toStdString(), "no sync");
    library.written.clear();
    program.time.Advance(5000);
    EXPECT_TRUE(library.written.empty()); // no keep-alive without the link
}

TEST_F(SourceDialogTest, ADeviceThatDoesNotConnectSaysSo) {
    Start();
    TForm1& main = *app->Forms().form1;
    library.connectAnswer = false;
    Answer(TForm1::kSourceDevice, true);
    main.SelectRDSInput1Click();
    EXPECT_EQ(main.StatusText(), "Connection error!");
    EXPECT_FALSE(main.Device().TimerDravon().Enabled());
    EXPECT_EQ(main.SourceNumber(), TForm1::kSourceDevice);
}

} // namespace
