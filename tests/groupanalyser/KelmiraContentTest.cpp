// The plug-in's full-content and ODA AID windows, binary masks and search,
// through its exports.
#include "KelmiraHost.h"
#include "StandInOpeners.h"
#include "WindowFit.h"

#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>

namespace {

using namespace kelmira_host;
using orvane::test::StandInOpeners;

QString Q(int n) { return QString(n, '?'); }

const char* const kLine0A =
    "09:05:33; D3C2 0410 E0CD 4E44   0A  1 00000 10000  11100000 11001101  01001110 01000100  224 205  78  68  '..' 'ND'";
const char* const kLineNoB =
    "09:05:33; D3C2 ---- E0CD 4E44   --  - ----- -----  11100000 11001101  01001110 01000100  224 205  78  68  '..' 'ND'";

class KelmiraContentTest : public KelmiraTest {
protected:
    void SetUp() override {
        KelmiraTest::SetUp();
        Cmd("OPENWORKSPACE", Path("none.owk")); // default colours and masks
    }
    QListWidget* Show() const { return Child<QListWidget>("CLBSHOW"); }
    QTableWidget* Masks() const { return Child<QTableWidget>("SGMASK"); }
    std::vector<QMessageBox*> Messages() const {
        std::vector<QMessageBox*> out;
        for (QMessageBox* b : form_->findChildren<QMessageBox*>())
            if (b->isVisible()) out.push_back(b);
        return out;
    }
    void Activate(int page) {
        form_->show();
        form_->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(form_));
        Child<QTabWidget>("PageControl1")->setCurrentIndex(page);
    }
    int SelStart() const { return Child<QAbstractScrollArea>("RichEdit2")->property("selStart").toInt(); }
    QString Selected() const { return Child<QAbstractScrollArea>("RichEdit2")->property("selectedText").toString(); }
};

TEST_F(KelmiraContentTest, FullContentLinesByteForByte) {
    auto* show = Show();
    Child<QPushButton>("Button7")->click();
    for (int n = 0; n < 36; ++n) ASSERT_EQ(show->item(n)->checkState(), Qt::Checked) << n;
    Child<QPushButton>("Button8")->click();
    for (int n = 0; n < 36; ++n) ASSERT_EQ(show->item(n)->checkState(), Qt::Unchecked) << n;

    show->item(0)->setCheckState(Qt::Checked);  // 0A
    show->item(32)->setCheckState(Qt::Checked); // Unknown
    Send(Rec(9, 5, 33, 0xD3C2, 0x0410, 0xE0CD, 0x4E44));
    Send(Rec(9, 5, 33, 0xD3C2, -1, 0xE0CD, 0x4E44));
    Send(OfType(2, 5)); // 1A is not ticked
    EXPECT_EQ(Lines("RichEdit2"), (std::vector<std::string>{kLine0A, kLineNoB}));
    EXPECT_EQ(Child<QLabel>("LCNT5")->text(), "2");
    // Each type in its colour, in the dump font.
    EXPECT_EQ(LineLook("RichEdit2", 0).color, QColor(255, 255, 255));
    EXPECT_EQ(LineLook("RichEdit2", 1).color, QColor(128, 128, 128));
    EXPECT_EQ(LineLook("RichEdit2", 0).fontName, "Terminal");
    EXPECT_EQ(LineLook("RichEdit2", 0).font.pointSize(), 9);
    EXPECT_TRUE(LineLook("RichEdit2", 0).font.bold());

    // Trimmed to 30 before each line while limited to the window.
    for (int n = 0; n < 40; ++n) Send(OfType(0, n));
    EXPECT_EQ(Lines("RichEdit2").size(), 31u);
    EXPECT_EQ(Lines("RichEdit2").back().substr(0, 10), "00:00:39; ");
    EXPECT_EQ(Child<QLabel>("LCNT5")->text(), "42");
    Child<QPushButton>("Button6")->click();
    EXPECT_TRUE(Lines("RichEdit2").empty());
    EXPECT_EQ(Child<QLabel>("LCNT5")->text(), "0");
}

TEST_F(KelmiraContentTest, AidContentLinesForEvery3AGroup) {
    Send(Rec(9, 5, 33, 0xD3C2, 0x3000 | 24, 0, 0xCD46)); // announces 12A
    Send(OfType(7));                                     // 3B: no line
    Send(Rec(9, 5, 34, 0xD3C2, 0x3000, -1, -1));         // counted nowhere, still shown
    EXPECT_EQ(Lines("RichEdit3"),
              (std::vector<std::string>{"09:05:33; CD46 12A 00000000 00000000", "09:05:34; ----  0A -------- --------"}));
    const Look look = LineLook("RichEdit3", 0);
    EXPECT_EQ(look.color, QColor(0, 255, 0)); // the 3A colour
    EXPECT_EQ(look.fontName, "Fixedsys");
    EXPECT_EQ(look.font.pointSize(), 9);

    for (int n = 0; n < 40; ++n) Send(Rec(0, 0, n, 0xD3C2, 0x3000 | 24, 0, 0xCD46));
    EXPECT_EQ(Lines("RichEdit3").size(), 29u);
    Child<QPushButton>("Button11")->click();
    EXPECT_TRUE(Lines("RichEdit3").empty());
}

TEST_F(KelmiraContentTest, MasksChooseLinesForDumpAndFullContent) {
    auto* masks = Masks();
    masks->item(1, 1)->setText("0000????????????"); // mask 1, block 2: types 0A and 0B
    masks->item(3, 2)->setText("-");                // mask 3, block 3: C missing
    Show()->item(33)->setCheckState(Qt::Checked);   // "Mask 1"
    Child<QComboBox>("CB1")->setCurrentIndex(34);   // "Mask 2", all "?"
    Child<QComboBox>("CB2")->setCurrentIndex(35);   // "Mask 3"

    const TRDSGroupRec groups[] = {
        Rec(1, 0, 0, 0xD3C2, 0x0410, 0xE0CD, 0x4E44), // 0A
        Rec(1, 0, 1, 0xD3C2, 0x0FFF, 0xE0CD, 0x4E44), // 0B
        Rec(1, 0, 2, 0xD3C2, 0x1000, 0xE0CD, 0x4E44), // 1A
        Rec(1, 0, 3, 0xD3C2, -1, 0xE0CD, 0x4E44),     // B missing
        Rec(1, 0, 4, 0xD3C2, 0x2000, -1, 0x4E44),     // 2A, C missing
    };
    for (const TRDSGroupRec& g : groups) Send(g);
    auto times = [&](const char* window) {
        std::vector<std::string> out;
        for (const std::string& l : Lines(window)) out.push_back(l.substr(0, 8));
        return out;
    };
    using V = std::vector<std::string>;
    EXPECT_EQ(times("RichEdit2"), (V{"01:00:00", "01:00:01"}));
    EXPECT_EQ(times("Memo1"), (V{"01:00:00", "01:00:01", "01:00:02", "01:00:03", "01:00:04"}));
    EXPECT_EQ(times("Memo2"), (V{"01:00:04"}));
    EXPECT_EQ(Child<QLabel>("LCNT1")->text(), "5");

    // A mask that passes counts for nothing while no selector or tick asks for it.
    Child<QComboBox>("CB1")->setCurrentIndex(0);
    Show()->item(33)->setCheckState(Qt::Unchecked);
    Send(groups[2]);
    EXPECT_EQ(Lines("Memo1").size(), 5u);
    EXPECT_EQ(Lines("RichEdit2").size(), 2u);
}

TEST_F(KelmiraContentTest, WorkspaceMasksAndTicksAreHeldToTheirRange) {
    const std::string file = Path("masks.owk");
    const char* f = file.c_str();
    SavePChar(f, kSection, "Mask12", "0000");
    SavePChar(f, kSection, "Mask13", "\xC3\xA9" "111111111111111xyz"); // é and 18 more
    SavePChar(f, kSection, "Mask14", "???????????????\xF0\x9F\x98\x80" "1"); // an emoji as the 16th character
    SaveInteger(f, kSection, "ShowGroup0", 2);
    SaveInteger(f, kSection, "ShowGroup1", 1);
    SaveInteger(f, kSection, "ShowGroup33", 1);
    Cmd("OPENWORKSPACE", file);

    auto* masks = Masks();
    EXPECT_EQ(masks->item(1, 1)->text(), "0000");
    EXPECT_EQ(masks->item(1, 2)->text(), QString::fromUtf8("\xC3\xA9" "111111111111111"));
    EXPECT_EQ(masks->item(1, 3)->text(), QString::fromUtf8("???????????????\xF0\x9F\x98\x80"));
    EXPECT_EQ(Show()->item(0)->checkState(), Qt::Unchecked); // only 1 ticks
    EXPECT_EQ(Show()->item(1)->checkState(), Qt::Checked);

    // Mask 1 now wants B 0000..., C with 15 one bits after its first bit.
    Send(Rec(2, 0, 0, 0, 0x0410, 0x7FFF, 0x4E44)); // passes: the é matches C's first bit
    Send(Rec(2, 0, 1, 0, 0x0410, 0x7FFE, 0x4E44)); // last C bit 0
    Send(Rec(2, 0, 2, 0, 0x1000, 0xFFFF, 0x4E44)); // 1A
    Send(Rec(2, 0, 3, 0, 0x0800, 0x0000, 0x4E44)); // 0B, ticked
    std::vector<std::string> times;
    for (const std::string& l : Lines("RichEdit2")) times.push_back(l.substr(0, 8));
    EXPECT_EQ(times, (std::vector<std::string>{"02:00:00", "02:00:03"}));

    Cmd("SAVEWORKSPACE", file);
    EXPECT_STREQ(LoadPChar(f, kSection, "Mask13", ""), "\xC3\xA9" "111111111111111");
    EXPECT_STREQ(LoadPChar(f, kSection, "Mask14", ""), "???????????????\xF0\x9F\x98\x80");
    EXPECT_EQ(LoadInteger(f, kSection, "ShowGroup0", -1), 0);
}

TEST_F(KelmiraContentTest, MaskGridTakesSixteenCharactersAndPadsOnExit) {
    Activate(4);
    auto* grid = Masks();
    grid->item(2, 2)->setText("01");
    grid->item(3, 3)->setText("");
    grid->setFocus();
    grid->setCurrentCell(1, 1);
    ASSERT_EQ(QApplication::focusWidget(), grid);
    QTest::keyClick(grid, Qt::Key_1); // the cell is full: no editing starts
    EXPECT_EQ(QApplication::focusWidget(), grid);
    EXPECT_EQ(grid->item(1, 1)->text(), Q(16));

    grid->editItem(grid->item(1, 1));
    auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    ASSERT_NE(editor, nullptr);
    QTest::keyClick(editor, Qt::Key_End);
    QTest::keyClick(editor, Qt::Key_0);
    EXPECT_EQ(editor->text(), Q(16));
    QTest::keyClick(editor, Qt::Key_Backspace);
    QTest::keyClick(editor, Qt::Key_Backspace);
    QTest::keyClick(editor, Qt::Key_1);
    QTest::keyClick(editor, Qt::Key_1);
    QTest::keyClick(editor, Qt::Key_0);
    EXPECT_EQ(editor->text(), Q(14) + "11");
    QTest::keyClick(editor, Qt::Key_Backspace); // always taken
    EXPECT_EQ(editor->text(), Q(14) + "1");

    // Leaving the grid keeps the edit and pads every short cell.
    Child<QPushButton>("Button9")->setFocus();
    EXPECT_EQ(grid->item(1, 1)->text(), Q(14) + "1?");
    EXPECT_EQ(grid->item(2, 2)->text(), "01" + Q(14));
    EXPECT_EQ(grid->item(3, 3)->text(), Q(16));
    EXPECT_EQ(grid->item(0, 1)->text(), "Block 2"); // captions stay

    // The edited mask is in force at once.
    Child<QComboBox>("CB1")->setCurrentIndex(33);
    Send(Rec(3, 0, 0, 0, 0x0412, 0, 0));
    Send(Rec(3, 0, 1, 0, 0x0411, 0, 0));
    ASSERT_EQ(Lines("Memo1").size(), 1u);
    EXPECT_EQ(Lines("Memo1")[0].substr(0, 8), "03:00:00");
}

TEST_F(KelmiraContentTest, FindNextWrapsOnceAndSaysNotFound) {
    Activate(2);
    Show()->item(0)->setCheckState(Qt::Checked);
    Send(Rec(1, 0, 0, 0xD3C2, 0x0410, 0xE0CD, 0x4E44));
    Send(Rec(1, 0, 1, 0xD3C2, 0x0410, 0xE0CD, 0x1111));
    Send(Rec(1, 0, 2, 0xD3C2, 0x0410, 0xE0CD, 0x4E44));
    constexpr int kLine = 116; // 115 characters and the line break
    auto* edit = Child<QLineEdit>("Edit1");
    auto* find = Child<QPushButton>("Button16");
    auto* window = Child<QAbstractScrollArea>("RichEdit2");

    edit->setText("4e44"); // case is ignored
    const int expected[] = {25, 2 * kLine + 25, 25}; // the third search starts again at the top
    for (int at : expected) {
        find->click();
        EXPECT_EQ(SelStart(), at);
        EXPECT_EQ(Selected(), "4E44");
        EXPECT_EQ(QApplication::focusWidget(), find);
        EXPECT_EQ(edit->selectedText(), "4e44");
    }
    EXPECT_TRUE(Messages().empty());

    // Only before the selection: found by the second pass.
    ASSERT_TRUE(QMetaObject::invokeMethod(window, "SetSelection", Qt::DirectConnection, Q_ARG(int, 2 * kLine + 25),
                                          Q_ARG(int, 4)));
    edit->setText("01:00:01");
    find->click();
    EXPECT_EQ(SelStart(), kLine);
    EXPECT_TRUE(Messages().empty());

    // Nowhere: one message, from the top or after a selection alike.
    for (const char* text : {"qqq", "ND'x"}) {
        edit->setText(text);
        find->click();
        const auto shown = Messages();
        ASSERT_EQ(shown.size(), 1u) << text;
        EXPECT_EQ(shown[0]->text(), "Not found.");
        EXPECT_EQ(shown[0]->windowModality(), Qt::WindowModal); // it does not block
        EXPECT_EQ(shown[0]->windowTitle(), "Group Analyzer");
        EXPECT_GE(shown[0]->width(), orvane::TitleBarWidth(shown[0])) << "the title is whole";
        shown[0]->accept();
        EXPECT_EQ(SelStart(), kLine); // the selection stays
    }
    ASSERT_TRUE(QMetaObject::invokeMethod(window, "SetSelection", Qt::DirectConnection, Q_ARG(int, 0), Q_ARG(int, 0)));
    edit->setText("zzz");
    find->click();
    ASSERT_EQ(Messages().size(), 1u);
    Messages()[0]->accept();

    // An empty search text does nothing.
    edit->clear();
    find->click();
    EXPECT_TRUE(Messages().empty());
    EXPECT_EQ(SelStart(), 0);

    // Enter in the field searches, and the field keeps the focus, selected.
    edit->setText("1111");
    edit->setFocus();
    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_EQ(SelStart(), kLine + 25);
    EXPECT_EQ(QApplication::focusWidget(), edit);
    EXPECT_EQ(edit->selectedText(), "1111");
}

TEST_F(KelmiraContentTest, FindNextAfterAnAppendedLineStartsFromTheTop) {
    Activate(2);
    Show()->item(0)->setCheckState(Qt::Checked);
    Send(Rec(1, 0, 0, 0xD3C2, 0x0410, 0xE0CD, 0x4E44));
    Send(Rec(1, 0, 1, 0xD3C2, 0x0410, 0xE0CD, 0x4E44));
    constexpr int kLine = 116;
    auto* edit = Child<QLineEdit>("Edit1");
    auto* find = Child<QPushButton>("Button16");
    edit->setText("4E44");
    find->click();
    find->click();
    ASSERT_EQ(SelStart(), kLine + 25);
    // The line append moves the caret to the end: the selection goes.
    Send(Rec(1, 0, 2, 0xD3C2, 0x0410, 0xE0CD, 0x1111));
    EXPECT_EQ(SelStart(), 3 * kLine);
    EXPECT_EQ(Selected(), "");
    find->click();
    EXPECT_EQ(SelStart(), 25);
    EXPECT_TRUE(Messages().empty());
}

TEST_F(KelmiraContentTest, AWebLinkThatNothingOpensSaysWhatToDo) {
    // xdg-open as on a system without a browser: it says so on its error
    // output, which nobody reads, and in its exit code.
    StandInOpeners openers;
    openers.Add("xdg-open", 3, "xdg-open: no method available for opening 'https://www.orvane.org'\n");
    form_->show();
    QTest::mouseClick(Child<QLabel>("LinkLabel1"), Qt::LeftButton, {}, QPoint(2, 2));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !Messages().empty(); }, 20000));
    const auto shown = Messages();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0]->text(),
              "Can't start a web browser for https://www.orvane.org. \nEnter the address in a browser of your choice.");
    shown[0]->accept();
    EXPECT_EQ(openers.Runs("xdg-open"), (std::vector<std::vector<std::string>>{{"https://www.orvane.org"}}));
}

TEST_F(KelmiraContentTest, ASaveThatCannotBeWrittenSaysSo) {
    Send(Rec(9, 5, 33, 0xD3C2, 0x0410, 0xE0CD, 0x4E44));
    form_->show();
    Child<QPushButton>("Button10")->click();
    auto* dialog = form_->findChild<QFileDialog*>("SaveDialog1");
    ASSERT_NE(dialog, nullptr);
    // No file can be made in /proc, whoever runs the test.
    dialog->selectFile("/proc/orvane-seq.txt");
    static_cast<QDialog*>(dialog)->accept();
    const auto shown = Messages();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0]->text(), "Can't write to the file /proc/orvane-seq.txt.\nChoose another folder or name.");
    shown[0]->accept();
}

} // namespace
