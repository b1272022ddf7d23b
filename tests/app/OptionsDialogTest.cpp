// The options and source dialogs' own handlers.
#include "AppFakes.h"
#include "CheckListBox.h"
#include "ColorBitBtn.h"
#include "FileTypes.h"
#include "OrvaneApp.h"
#include "RadioGroup.h"
#include "SpinEdit.h"
#include "Unit1.h"
#include "opt.h"
#include "src.h"

#include <QCheckBox>
#include <QFontMetrics>
#include <QComboBox>
#include <QPushButton>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QTabWidget>
#include <QTest>
#include <gtest/gtest.h>

#include <cstdlib>

using namespace orvane;
using namespace orvane::test;

namespace {

class OptionsDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        QDir(QString::fromStdString(std::string(qgetenv("XDG_DATA_HOME")) + "/orvane")).removeRecursively();
        AppEnv env = program.Env();
        env.fileTypes = &fileTypes;
        app = std::make_unique<OrvaneApp>(env);
        app->CreateWindows();
    }
    TForm1& Main() { return *app->Forms().form1; }
    TDOPT& Opt() { return *app->Forms().dopt; }
    TDSRC& Src() { return *app->Forms().dsrc; }
    static void Clear(TSpinEdit* edit) { edit->findChild<QLineEdit*>()->clear(); }
    static std::string Docs() { return std::string(qgetenv("XDG_DOCUMENTS_DIR")) + "/"; }

    QTemporaryDir xdg;
    std::vector<std::string> tools;
    int mimeExit = 0; // what update-mime-database answers
    XdgFileTypes fileTypes{xdg.path().toStdString() + "/data", xdg.path().toStdString() + "/config",
                           "/opt/orvane/orvane", [this](const std::string& tool, const std::vector<std::string>&) {
                               tools.push_back(tool);
                               return tool == "update-mime-database" ? mimeExit : 0;
                           }};
    FakeProgram program;
    std::unique_ptr<OrvaneApp> app;
};

} // namespace

TEST_F(OptionsDialogTest, EscapeClosesLikeClose) {
    for (bool escape : {true, false}) {
        Opt().show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&Opt()));
        Opt().setResult(QDialog::Rejected);
        if (escape) QTest::keyClick(&Opt(), Qt::Key_Escape);
        else Opt().ColorBitBtn1->click();
        EXPECT_FALSE(Opt().isVisible()) << escape;
        EXPECT_EQ(Opt().result(), QDialog::Accepted) << escape;
    }
}

TEST_F(OptionsDialogTest, DialogButtonsAreColouredAndCloseWithTheirResult) {
    using controls::TColorBitBtn;
    struct Case {
        QDialog* dialog;
        TColorBitBtn* button;
        int result; // Accepted, or 2 for the Cancel kind
    };
    for (const Case& c : {Case{&Opt(), Opt().ColorBitBtn1, QDialog::Accepted}, Case{&Src(), Src().BBOK, QDialog::Accepted},
                          Case{&Src(), Src().ColorBitBtn2, 2}}) {
        const QString name = c.button->objectName();
        EXPECT_EQ(c.button->Color(), 14278368u) << name.toStdString();
        EXPECT_EQ(c.button->NumGlyphs(), 2) << name.toStdString();
        EXPECT_FALSE(c.button->Glyph().isNull()) << name.toStdString();
        EXPECT_EQ(c.button->font().pointSize(), 8) << name.toStdString();
        EXPECT_EQ(c.button->Default(), c.result == QDialog::Accepted) << name.toStdString();
        EXPECT_EQ(c.button->Cancel(), c.result != QDialog::Accepted) << name.toStdString();
        c.dialog->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(c.dialog));
        c.dialog->setResult(-1);
        c.button->click();
        EXPECT_FALSE(c.dialog->isVisible()) << name.toStdString();
        EXPECT_EQ(c.dialog->result(), c.result) << name.toStdString();
    }
}

TEST_F(OptionsDialogTest, DialogButtonsAreTallEnoughForFrameGlyphAndCaption) {
    using controls::TColorBitBtn;
    for (auto [dialog, button] : {std::pair<QDialog*, TColorBitBtn*>{&Opt(), Opt().ColorBitBtn1},
                                  {&Src(), Src().BBOK}, {&Src(), Src().ColorBitBtn2}}) {
        SCOPED_TRACE(button->objectName().toStdString());
        dialog->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog));
        const QFontMetrics fm(button->font());
        const int glyphHeight = button->Glyph().height();
        ASSERT_GE(glyphHeight, 18);
        const int frame = 2 * TColorBitBtn::kFrameWidth;
        EXPECT_GE(button->height(), frame + glyphHeight);
        EXPECT_GE(button->height(), frame + fm.height());
        EXPECT_GE(button->width(), frame + button->Glyph().width() / 2 + button->Spacing() +
                                       fm.horizontalAdvance(button->text()));
        EXPECT_GE(button->height(), button->sizeHint().height());
        EXPECT_GE(button->width(), button->sizeHint().width());
        const char* out = std::getenv("ORVANE_WRITE_SCREENSHOTS");
        if (out && button == Src().BBOK) {
            EXPECT_TRUE(button->grab().save(QDir(out).filePath("source-ok-button.png")));
        }
        dialog->hide();
    }
}

TEST_F(OptionsDialogTest, BadBlocksAndSuperPIAreLockedWhileTheDeviceLinkIsTheSource) {
    for (int source : {0, 1, 2, 3}) {
        Main().SetSourceNumber(source);
        Opt().FormShow();
        EXPECT_EQ(Opt().CBBBAC->isEnabled(), source != 2) << source;
        EXPECT_EQ(Opt().CBSPI->isEnabled(), source != 2) << source;
    }
}

TEST_F(OptionsDialogTest, EmptyFieldsAreRefilledWhenLeft) {
    Opt().EDEFFN->clear();
    Opt().EDEFFNExit();
    EXPECT_EQ(Opt().EDEFFN->text().toStdString(), Docs() + "%pi - %date %time.orv");
    Opt().EREPFN->clear();
    Opt().EREPFNExit();
    EXPECT_EQ(Opt().EREPFN->text().toStdString(), Docs() + "%date %time %pi %ps.txt");
    // A field with text is left as it is.
    Opt().EDEFFN->setText("/x/%pi.orv");
    Opt().EDEFFNExit();
    EXPECT_EQ(Opt().EDEFFN->text(), "/x/%pi.orv");

    for (TSpinEdit* edit : {Opt().SETMOUT, Opt().SEBUFLEN}) {
        edit->setValue(25);
        Clear(edit);
        Opt().SETMOUTExit(edit);
        EXPECT_EQ(edit->value(), 10) << edit->objectName().toStdString();
    }
    // The source dialog's edits become 1, as far as their ranges allow: the
    // threshold edit bound to the same handler takes its minimum.
    struct Case {
        TSpinEdit* edit;
        int expected;
    };
    for (const Case& c : {Case{Src().SECOM1, 1}, Case{Src().SECOM2, 1}, Case{Src().SETH2, 1}, Case{Src().SETH1, 100}}) {
        c.edit->setValue(c.edit->maximum());
        Clear(c.edit);
        Src().SECOM1Exit(c.edit);
        EXPECT_EQ(c.edit->value(), c.expected) << c.edit->objectName().toStdString();
        EXPECT_GE(c.edit->value(), c.edit->minimum());
    }
}

TEST_F(OptionsDialogTest, LeavingAnEmptySpinEditRunsItsExitHandler) {
    Opt().show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&Opt()));
    Opt().activateWindow();
    Opt().PageControl1->setCurrentIndex(0);
    Opt().SETMOUT->setFocus();
    ASSERT_TRUE(QTest::qWaitFor([&] { return Opt().SETMOUT->hasFocus(); }, 2000));
    Clear(Opt().SETMOUT);
    Opt().CBREPI->setFocus();
    ASSERT_TRUE(QTest::qWaitFor([&] { return Opt().CBREPI->hasFocus(); }, 2000));
    EXPECT_EQ(Opt().SETMOUT->value(), 10);
    EXPECT_EQ(Opt().SETMOUT->text(), "10");
    Opt().hide();
}

TEST_F(OptionsDialogTest, OnPIChangeFollowsDetectPIChange) {
    Opt().CBSTPI->setChecked(false);
    Opt().TabSheet3Show();
    EXPECT_FALSE(Opt().RGRECEV->isEnabled());
    Opt().CBSTPI->click();
    EXPECT_TRUE(Opt().RGRECEV->isEnabled());
    Opt().CBSTPI->click();
    EXPECT_FALSE(Opt().RGRECEV->isEnabled());
}

TEST_F(OptionsDialogTest, SelectAllAndNoneTickEveryGroup) {
    Opt().Button5->click();
    for (int i = 0; i < 33; ++i) EXPECT_FALSE(Opt().CLBGREC->Checked(i));
    EXPECT_EQ(Opt().CLBGREC->item(32)->text(), "----");
    EXPECT_EQ(Opt().CLBGREC->item(31)->text(), "15B");
    Opt().Button4->click();
    for (int i = 0; i < 33; ++i) EXPECT_TRUE(Opt().CLBGREC->Checked(i));
}

TEST_F(OptionsDialogTest, FindAndEditTheReportTemplate) {
    const std::string templates = QDir::homePath().toStdString() + "/templates/";
    program.modal.fileToOpen = templates + "long.otp";
    Opt().Button2Click();
    EXPECT_EQ(Opt().EOTP->text().toStdString(), templates + "long.otp");
    // The next search starts where the last template was found, and the
    // workspace keeps that folder.
    program.modal.fileToOpen.clear();
    Opt().Button2Click();
    EXPECT_EQ(program.modal.openFolder, templates);
    EXPECT_EQ(Opt().EOTP->text().toStdString(), templates + "long.otp"); // cancelled
    EXPECT_EQ(Opt().WorkspaceOptions().templateDialogDir, templates);

    const std::string prog = Main().ProgramFolder();
    for (const auto& [text, file] : std::vector<std::pair<std::string, std::string>>{
             {"orvane.otp", prog + "orvane.otp"},
             {"/orvane.otp", prog + "orvane.otp"},
             {"/home/me/t.otp", "/home/me/t.otp"},
             {"sub/t.otp", "sub/t.otp"}}) {
        Opt().EOTP->setText(QString::fromStdString(text));
        program.shell.opened.clear();
        Opt().Button3->click();
        EXPECT_EQ(program.shell.opened, std::vector<std::string>{file}) << text;
    }
}

TEST_F(OptionsDialogTest, EditSaysSoWhenNoEditorStarts) {
    Opt().EOTP->setText("/home/me/t.otp");
    Opt().Button3->click();
    EXPECT_TRUE(program.modal.messages.empty());

    program.shell.editorMissing = true;
    Opt().Button3->click();
    ASSERT_EQ(program.modal.messages.size(), 1u);
    EXPECT_EQ(program.modal.messages[0],
              "Can't start a text editor for /home/me/t.otp. \rOpen the template with an editor of your choice.");
}

TEST_F(OptionsDialogTest, AssociateRoundTripShowsTheStateReadBack) {
    Opt().PageControl1->setCurrentIndex(1);
    EXPECT_FALSE(Opt().CLBFT->Checked(0) || Opt().CLBFT->Checked(1));
    Opt().CLBFT->SetChecked(0, true);
    Opt().CLBFT->SetChecked(1, true);
    Opt().Button1->click();
    Opt().PageControl1->setCurrentIndex(0);
    Opt().CLBFT->SetAll(false);
    Opt().PageControl1->setCurrentIndex(1); // showing the page reads the state back
    EXPECT_TRUE(Opt().CLBFT->Checked(0));
    EXPECT_TRUE(Opt().CLBFT->Checked(1));
    EXPECT_TRUE(fileTypes.Registered(0) && fileTypes.Registered(1));

    Opt().CLBFT->SetChecked(0, false);
    Opt().Button1->click();
    Opt().PageControl1->setCurrentIndex(0);
    Opt().CLBFT->SetAll(true);
    Opt().PageControl1->setCurrentIndex(1);
    EXPECT_FALSE(Opt().CLBFT->Checked(0));
    EXPECT_TRUE(Opt().CLBFT->Checked(1));
    EXPECT_TRUE(QFile::exists(QString::fromStdString(fileTypes.DesktopEntry(0))));
    EXPECT_EQ(Main().StatusText(), "");

    // Opening the dialog on that page reads the state as well.
    Opt().CLBFT->SetAll(true);
    Opt().show();
    EXPECT_FALSE(Opt().CLBFT->Checked(0));
    EXPECT_TRUE(Opt().CLBFT->Checked(1));
    Opt().hide();
}

TEST_F(OptionsDialogTest, AnAssociationThatCannotBeWrittenIsReported) {
    QTemporaryDir blocked;
    // A file where the data folder should be: nothing can be written below it.
    QFile block(blocked.path() + "/data");
    ASSERT_TRUE(block.open(QIODevice::WriteOnly));
    block.close();
    fileTypes = XdgFileTypes(blocked.path().toStdString() + "/data", blocked.path().toStdString() + "/data/config",
                             "/opt/orvane/orvane", nullptr);
    Opt().CLBFT->SetChecked(0, true);
    Opt().Button1Click();
    EXPECT_EQ(Main().StatusText(),
              "Can't register the file types, please check the write permissions of your home folder!");
    EXPECT_FALSE(Opt().CLBFT->Checked(0)); // the state read back
}

TEST_F(OptionsDialogTest, AnAssociationTheDesktopCannotTakeUpSaysWhatToDo) {
    mimeExit = kToolMissing;
    Opt().CLBFT->SetChecked(1, true);
    Opt().Button1Click();
    EXPECT_EQ(program.modal.messages, std::vector<std::string>{
                                          "The file types are saved, but the desktop will not know them until "
                                          "update-mime-database has run: install shared-mime-info, then press "
                                          "\"Associate\" again."});
    EXPECT_TRUE(Opt().CLBFT->Checked(1)); // written all the same
}

TEST_F(OptionsDialogTest, TheOptionsAccessorReadsTheControls) {
    const IOptions& o = Main().Options();
    Opt().CBREPI->setChecked(false);
    Opt().SETMOUT->setValue(99);
    Opt().CBBUFLEN->setCurrentIndex(2);
    Opt().RGRECEV->SetItemIndex(1);
    Opt().CBTC->setChecked(false);
    Opt().CBBBAC->setChecked(true);
    EXPECT_FALSE(o.ResetOnPIChange());
    EXPECT_EQ(o.SignalTimeoutSeconds(), 99);
    EXPECT_EQ(o.SoundCardBufferItem(), 2);
    EXPECT_EQ(o.OnPIChangeItem(), 1);
    EXPECT_FALSE(o.SeekingEnabled());
    EXPECT_TRUE(o.ConsiderBadBlocksAsCorrect());

    Opt().SEBUFLEN->setValue(42);
    Opt().CBTMEN->setChecked(false);
    Opt().CLBGREC->SetChecked(32, false);
    Opt().EDEFFN->setText("/rec/%pi.orv");
    Opt().ENAME->setText("Ana");
    Opt().ELOC->setText("Porto");
    Opt().ENOTES->setText("mast");
    EXPECT_EQ(o.RecBufferSeconds(), 42);
    EXPECT_FALSE(o.TimeMachineEnabled());
    EXPECT_TRUE(o.RecordGroupType(0));
    EXPECT_FALSE(o.RecordGroupType(32));
    EXPECT_FALSE(o.RecordGroupType(33)); // no such item
    EXPECT_FALSE(o.RecordGroupType(-1));
    EXPECT_EQ(o.DefaultFileName(), "/rec/%pi.orv");
    EXPECT_EQ(o.RecorderName(), "Ana");
    EXPECT_EQ(o.RecorderLocation(), "Porto");
    EXPECT_EQ(o.RecorderNotes(), "mast");
}

TEST_F(OptionsDialogTest, TheSourceDialogShowsThresholdsOnlyForAnEncoderInput) {
    for (int item : {2, 0, 1, 2}) {
        Src().RGEDGE->SetItemIndex(item);
        Src().RGEDGEClick();
        EXPECT_EQ(!Src().GBTL->isHidden(), item == 2) << item;
        EXPECT_EQ(!Src().Image3->isHidden(), item == 2) << item;
        EXPECT_EQ(!Src().Image1->isHidden(), item != 2) << item;
    }
    Src().SETH1->setValue(190);
    Src().SETH2->setValue(5);
    Src().Button1->click();
    EXPECT_EQ(Src().SETH1->value(), 165);
    EXPECT_EQ(Src().SETH2->value(), 70);
}

TEST_F(OptionsDialogTest, TheSourceDialogTakesBackWhatItWasGiven) {
    SourceSettings s;
    s.srcNum = 1;
    s.rdsEnc = true;
    s.invert = true;
    s.threshold1 = 1.31f;
    s.threshold2 = 0.07f;
    s.host = "h";
    s.port = "8";
    s.comPort1 = 255;
    s.comPort2 = 17;
    s.connectionType = 1;
    s.deviceType = 1;
    s.audioInDevice = 1;
    Src().SetInputDevices({"default", "hw:1"});
    Src().FillFrom(s);
    EXPECT_EQ(Src().RGEDGE->ItemIndex(), 2);
    const SourceSettings t = Src().Taken();
    EXPECT_EQ(t.srcNum, 1);
    EXPECT_TRUE(t.rdsEnc && t.invert);
    EXPECT_FALSE(t.edge);
    EXPECT_FLOAT_EQ(t.threshold1, 1.31f);
    EXPECT_FLOAT_EQ(t.threshold2, 0.07f);
    EXPECT_EQ(t.host, "h");
    EXPECT_EQ(t.port, "8");
    EXPECT_EQ(t.comPort1, 255);
    EXPECT_EQ(t.comPort2, 17);
    EXPECT_EQ(t.connectionType, 1);
    EXPECT_EQ(t.deviceType, 1);
    EXPECT_EQ(t.audioInDevice, 1);
    EXPECT_EQ(Src().InputDevices(), (std::vector<std::string>{"default", "hw:1"}));
}
