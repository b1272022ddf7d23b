// The plug-in through its exports: window, commands, workspace settings,
// dump windows, group sequence, saving and life cycle.
#include "KelmiraHost.h"
#include "RdsEncoder.h"

#include <QApplication>
#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFontDatabase>
#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QAbstractScrollArea>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpression>
#include <QRadioButton>
#include <QScreen>
#include <QScrollBar>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <dlfcn.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

using namespace kelmira_host;

// The sequence text the window shows for these type names; and what the
// value table receives for it, written independently of the plug-in.
std::string Entries(const std::vector<std::string>& names) {
    std::string s;
    for (const std::string& n : names) s += (n.size() == 2 ? " " : "") + n + " ";
    return s;
}
std::string Collapsed(const std::string& s) {
    return QString::fromStdString(s).replace("  ", " ").toStdString();
}

QColor Rgb(uint32_t colorRef) {
    return QColor(static_cast<int>(colorRef & 0xFF), static_cast<int>((colorRef >> 8) & 0xFF),
                  static_cast<int>((colorRef >> 16) & 0xFF));
}

// Minimal RTF reading: the colour table and, per paragraph, the text of
// each run with the colour selected by \cf, the character background that
// \highlight, \cb or \chcbpat select (until \plain) and the paragraph
// shading of \cbpat (until \pard).
struct RtfRun {
    std::string text;
    QColor color;
    QColor background;
    QColor shading;
};
using RtfParagraph = std::vector<RtfRun>;

std::vector<RtfParagraph> ParseRtf(const std::string& rtf, std::vector<QColor>* table = nullptr) {
    std::vector<QColor> colors{QColor()};
    const size_t ct = rtf.find("{\\colortbl ;");
    if (ct != std::string::npos) {
        size_t p = ct + 12;
        const size_t end = rtf.find('}', p);
        while (p < end) {
            int r = 0, g = 0, b = 0;
            if (std::sscanf(rtf.c_str() + p, "\\red%d\\green%d\\blue%d;", &r, &g, &b) != 3) break;
            colors.emplace_back(r, g, b);
            p = rtf.find(';', p) + 1;
        }
    }
    if (table) *table = colors;
    std::vector<RtfParagraph> paras(1);
    const size_t body = rtf.find("\\pard");
    if (body == std::string::npos) return {};
    QColor current, background, shading;
    auto colorAt = [&colors](int index) {
        return index >= 0 && index < static_cast<int>(colors.size()) ? colors[static_cast<size_t>(index)] : QColor();
    };
    auto newRun = [&] { paras.back().push_back({"", current, background, shading}); };
    for (size_t i = body; i < rtf.size();) {
        const char c = rtf[i];
        if (c == '}') break;
        if (c == '\r' || c == '\n') {
            ++i;
            continue;
        }
        if (c == '\\') {
            const char n = rtf[i + 1];
            if (n == '\\' || n == '{' || n == '}') {
                if (paras.back().empty()) newRun();
                paras.back().back().text += n;
                i += 2;
                continue;
            }
            size_t j = i + 1;
            while (j < rtf.size() && std::isalpha(static_cast<unsigned char>(rtf[j]))) ++j;
            const std::string word = rtf.substr(i + 1, j - i - 1);
            size_t k = j;
            if (k < rtf.size() && (rtf[k] == '-' || std::isdigit(static_cast<unsigned char>(rtf[k])))) ++k;
            while (k < rtf.size() && std::isdigit(static_cast<unsigned char>(rtf[k]))) ++k;
            const int arg = k > j ? std::atoi(rtf.substr(j, k - j).c_str()) : 0;
            if (k < rtf.size() && rtf[k] == ' ') ++k;
            if (word == "par") paras.emplace_back();
            if (word == "pard") shading = QColor();
            if (word == "plain") background = QColor();
            if (word == "cbpat") shading = colorAt(arg);
            if (word == "highlight" || word == "cb" || word == "chcbpat") {
                background = colorAt(arg);
                if (!paras.back().empty() && paras.back().back().text.empty()) paras.back().back().background = background;
            }
            if (word == "cf") {
                current = colorAt(arg);
                newRun();
            }
            i = k;
            continue;
        }
        if (paras.back().empty()) newRun();
        paras.back().back().text += c;
        ++i;
    }
    return paras;
}

std::string ParagraphText(const RtfParagraph& p) {
    std::string s;
    for (const RtfRun& r : p) s += r.text;
    return s;
}


TEST_F(KelmiraTest, NameWindowAndPages) {
    EXPECT_STREQ(lib_->PluginName(), "Group Analyzer");
    EXPECT_TRUE(form_->isWindow());
    EXPECT_EQ(form_->parentWidget(), host_.get());
    EXPECT_EQ(form_->windowTitle(), "Group Analyzer");
    EXPECT_FALSE(form_->isVisible());

    auto* pages = Child<QTabWidget>("PageControl1");
    const char* const names[] = {"Group Statistics", "Group Content HEX", "Group Content Full", "ODA AID", "Setup"};
    ASSERT_EQ(pages->count(), 5);
    for (int i = 0; i < 5; ++i) EXPECT_EQ(pages->tabText(i), names[i]);
    EXPECT_EQ(Child<QPushButton>("Button9")->text(), "Reset All");
    EXPECT_EQ(Child<QPushButton>("Button10")->text(), "Save...");

    // Selectors as stored: 1A, 4A, 8A, 14A; 36 items ending in the masks.
    const int stored[] = {2, 8, 16, 28};
    const char* const cbs[] = {"CB1", "CB2", "CB3", "CB4"};
    for (int k = 0; k < 4; ++k) {
        auto* cb = Child<QComboBox>(cbs[k]);
        EXPECT_EQ(cb->currentIndex(), stored[k]);
        ASSERT_EQ(cb->count(), 36);
        EXPECT_EQ(cb->itemText(32), "Unknown");
        EXPECT_EQ(cb->itemText(35), "Mask 3");
    }
    auto* sgb = Child<QTableWidget>("SGB");
    EXPECT_EQ(sgb->item(0, 2)->text(), "Rate per sec.");
    EXPECT_EQ(sgb->item(16, 0)->text(), "15B");
    EXPECT_EQ(Child<QTableWidget>("SGAID")->item(0, 3)->text(), "App. group type");
    EXPECT_EQ(Child<QTableWidget>("SGMASK")->item(0, 3)->text(), "Block 4");
    EXPECT_EQ(Child<QTableWidget>("SGMASK")->item(2, 0)->text(), "Mask 2");
    EXPECT_EQ(Child<QListWidget>("CLBSHOW")->count(), 36);
    EXPECT_EQ(Child<QListWidget>("CLBGD")->item(16)->text(), "0B");
    EXPECT_EQ(Child<QListWidget>("ListBox1")->count(), 33);
    EXPECT_EQ(Child<QSpinBox>("SELINES")->value(), 80000);
    EXPECT_TRUE(Child<QRadioButton>("RBLIMIT")->isChecked());
    EXPECT_EQ(Child<QLabel>("STTS")->text(), "Text sample 0123 ABCD");
}

TEST_F(KelmiraTest, CommandsIgnoreCaseButNothingElse) {
    struct Case {
        const char* command;
        bool visibleBefore;
        bool visibleAfter;
        int pageAfter;
    } cases[] = {
        {"show", false, true, 0},      {"Show", false, true, 0},           {"SHOW", false, true, 0},
        {"SHOW", true, true, 0},       {"SHOW ", false, false, 0},         {"showhide", false, true, 0},
        {"ShowHide", true, false, 0},  {"configure", false, true, 4},      {"CONFIGURE", true, true, 4},
        {"TUNE", false, false, 0},     {"MINIMIZE", true, true, 0},        {"REQUEST", false, false, 0},
        {"", true, true, 0},           {"LEFT", false, false, 0},
    };
    auto* pages = Child<QTabWidget>("PageControl1");
    for (const Case& c : cases) {
        form_->setVisible(c.visibleBefore);
        pages->setCurrentIndex(0);
        Cmd(c.command, "087600");
        EXPECT_EQ(form_->isVisible(), c.visibleAfter) << '"' << c.command << '"';
        EXPECT_EQ(pages->currentIndex(), c.pageAfter) << '"' << c.command << '"';
    }
    // A null parameter or command does no harm.
    lib_->Command("SAVEWORKSPACE", nullptr);
    lib_->Command(nullptr, nullptr);
}

TEST_F(KelmiraTest, WorkspaceRoundTripOfEveryKey) {
    const std::string file = Path("ws.owk");
    form_->show();
    form_->move(25, 77); // the whole window on the 1280-wide screen
    const char* const cbs[] = {"CB1", "CB2", "CB3", "CB4"};
    const int selectors[] = {5, 33, 0, 35};
    for (int k = 0; k < 4; ++k) Child<QComboBox>(cbs[k])->setCurrentIndex(selectors[k]);

    auto* fonts = Child<QComboBox>("ComboBox1");
    const int serif = fonts->findText("DejaVu Serif");
    ASSERT_GE(serif, 0);
    fonts->setCurrentIndex(serif);
    Child<QSpinBox>("SpinEdit1")->setValue(8); // smaller: the window keeps its size and place
    Child<QCheckBox>("CheckBox1")->setChecked(false);
    Child<QPushButton>("Button15")->click();

    auto* masks = Child<QTableWidget>("SGMASK");
    for (int m = 1; m <= 3; ++m)
        for (int b = 2; b <= 4; ++b) masks->item(m, b - 1)->setText(QString("%1%2-10?").arg(m).arg(b));

    auto* list = Child<QListWidget>("ListBox1");
    list->setCurrentRow(3);
    ChooseColor("ColorBox1", "Red");
    list->setCurrentRow(5);
    ChooseColor("ColorBox1", "Custom...");
    auto* dialog = form_->findChild<QColorDialog*>("ColorDialog1");
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(dialog->isVisible()); // opened without blocking
    dialog->setCurrentColor(QColor(1, 2, 3));
    static_cast<QDialog*>(dialog)->accept();

    auto* show = Child<QListWidget>("CLBSHOW");
    for (int n : {0, 7, 35}) show->item(n)->setCheckState(Qt::Checked);
    ChooseColor("CBBG", "Navy");
    Child<QSpinBox>("SELINES")->setValue(12345);
    Child<QRadioButton>("RBNOLIMIT")->click();
    Child<QTabWidget>("PageControl1")->setCurrentIndex(2);

    Cmd("SAVEWORKSPACE", file);

    // Every key, in order.
    std::vector<std::string> expectedKeys = {"Top", "Left", "Visible", "GroupContent1", "GroupContent2",
                                             "GroupContent3", "GroupContent4", "FontSize", "FontStyle", "FontName"};
    for (int m = 1; m <= 3; ++m)
        for (int b = 2; b <= 4; ++b) expectedKeys.push_back("Mask" + std::to_string(m) + std::to_string(b));
    for (int n = 0; n <= 32; ++n) expectedKeys.push_back("Color" + std::to_string(n));
    for (int n = 0; n <= 35; ++n) expectedKeys.push_back("ShowGroup" + std::to_string(n));
    for (const char* k : {"BackgroudColor", "MaxLines", "Limit", "Page"}) expectedKeys.push_back(k);
    std::vector<std::string> keys;
    bool inSection = false;
    for (const QString& line : QString::fromStdString(ReadFile(file)).split(QRegularExpression("\r?\n"))) {
        if (line.startsWith('[')) inSection = line == QString("[%1]").arg(kSection);
        else if (inSection && line.contains('=')) keys.push_back(line.section('=', 0, 0).toStdString());
    }
    EXPECT_EQ(keys, expectedKeys);

    auto integer = [&](const char* key) { return LoadInteger(file.c_str(), kSection, key, -999); };
    auto text = [&](const std::string& key) { return std::string(LoadPChar(file.c_str(), kSection, key.c_str(), "?")); };
    EXPECT_EQ(integer("Top"), 77);
    EXPECT_EQ(integer("Left"), 25);
    EXPECT_EQ(integer("Visible"), 1);
    EXPECT_EQ(integer("GroupContent1"), 5);
    EXPECT_EQ(integer("GroupContent2"), 33);
    EXPECT_EQ(integer("GroupContent3"), 0);
    EXPECT_EQ(integer("GroupContent4"), 35);
    EXPECT_EQ(integer("FontSize"), 8);
    EXPECT_EQ(integer("FontStyle"), 0);
    EXPECT_EQ(text("FontName"), "DejaVu Serif");
    EXPECT_EQ(text("Mask12"), "12-10?");
    EXPECT_EQ(text("Mask34"), "34-10?");
    EXPECT_EQ(integer("Color0"), 0xFFFFFF); // the default until a workspace brings colours
    EXPECT_EQ(integer("Color3"), 0x0000FF);
    EXPECT_EQ(integer("Color5"), 0x030201);
    for (int n = 0; n <= 35; ++n)
        EXPECT_EQ(integer(("ShowGroup" + std::to_string(n)).c_str()), n == 0 || n == 7 || n == 35 ? 1 : 0) << n;
    EXPECT_EQ(integer("BackgroudColor"), 4);
    EXPECT_EQ(integer("MaxLines"), 12345);
    EXPECT_EQ(integer("Limit"), 0);
    EXPECT_EQ(integer("Page"), 2);

    // A fresh library takes all of it back.
    Reload();
    EXPECT_EQ(Child<QComboBox>("CB1")->currentIndex(), 2);
    Cmd("openworkspace", file);
    EXPECT_TRUE(form_->isVisible());
    EXPECT_EQ(form_->pos(), QPoint(25, 77));
    for (int k = 0; k < 4; ++k) EXPECT_EQ(Child<QComboBox>(cbs[k])->currentIndex(), selectors[k]);
    EXPECT_EQ(Child<QSpinBox>("SpinEdit1")->value(), 8);
    EXPECT_FALSE(Child<QCheckBox>("CheckBox1")->isChecked());
    EXPECT_EQ(Child<QComboBox>("ComboBox1")->currentText(), "DejaVu Serif");
    EXPECT_EQ(Child<QTableWidget>("SGMASK")->item(2, 3)->text(), "24-10?");
    Child<QListWidget>("ListBox1")->setCurrentRow(3);
    EXPECT_EQ(Child<QComboBox>("ColorBox1")->currentText(), "Red");
    Child<QListWidget>("ListBox1")->setCurrentRow(5);
    EXPECT_EQ(Child<QComboBox>("ColorBox1")->currentIndex(), 0);
    EXPECT_EQ(Child<QComboBox>("ColorBox1")->currentData().toUInt(), 0x030201u);
    EXPECT_EQ(Child<QListWidget>("CLBSHOW")->item(7)->checkState(), Qt::Checked);
    EXPECT_EQ(Child<QListWidget>("CLBSHOW")->item(8)->checkState(), Qt::Unchecked);
    EXPECT_EQ(Child<QComboBox>("CBBG")->currentIndex(), 4);
    for (const char* w : {"Memo1", "Memo4", "RichEdit1", "RichEdit2", "RichEdit3"}) {
        EXPECT_EQ(Child<QAbstractScrollArea>(w)->palette().color(QPalette::Base), QColor(0, 0, 128)) << w;
        EXPECT_EQ(Child<QAbstractScrollArea>(w)->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn) << w;
    }
    EXPECT_EQ(Child<QSpinBox>("SELINES")->value(), 12345);
    EXPECT_TRUE(Child<QRadioButton>("RBNOLIMIT")->isChecked());
    EXPECT_EQ(Child<QTabWidget>("PageControl1")->currentIndex(), 2);

    // Lines now carry the workspace's font and colours.
    Send(OfType(3)); // 1B, shown by no selector but in the sequence
    EXPECT_EQ(LineLook("RichEdit1", 0).color, QColor(255, 0, 0));
    EXPECT_EQ(LineLook("RichEdit1", 0).font.family(), "DejaVu Serif");
    EXPECT_EQ(LineLook("RichEdit1", 0).font.pointSize(), 8);
    EXPECT_FALSE(LineLook("RichEdit1", 0).font.bold());

    const std::string again = Path("again.owk");
    Cmd("SAVEWORKSPACE", again);
    EXPECT_EQ(ReadFile(again), ReadFile(file));
}

TEST_F(KelmiraTest, LinesHaveTheirTypeColoursBeforeAnyWorkspace) {
    // 1A and 4A land in the first two dump windows, in their default colours.
    Send(OfType(2));
    Send(OfType(8));
    QColor first, second;
    QMetaObject::invokeMethod(Child<QAbstractScrollArea>("Memo1"), "RunColor", Q_RETURN_ARG(QColor, first),
                              Q_ARG(int, 0), Q_ARG(int, 0));
    QMetaObject::invokeMethod(Child<QAbstractScrollArea>("Memo2"), "RunColor", Q_RETURN_ARG(QColor, second),
                              Q_ARG(int, 0), Q_ARG(int, 0));
    EXPECT_EQ(first, QColor(0x80, 0x80, 0x00)); // olive
    EXPECT_EQ(second, QColor(0xFF, 0x00, 0xFF)); // fuchsia
}

TEST_F(KelmiraTest, MissingSectionAppliesTheDefaults) {
    const std::string file = Path("other.owk");
    {
        std::ofstream out(file, std::ios::binary);
        out << "[Other]\r\nKey=1\r\n";
    }
    Child<QTabWidget>("PageControl1")->setCurrentIndex(3);
    Child<QComboBox>("CB1")->setCurrentIndex(7);
    Cmd("OPENWORKSPACE", file);

    EXPECT_TRUE(form_->isVisible());
    EXPECT_EQ(form_->pos(), QPoint(20, 230)); // below the main window, which opens at 20, 20
    EXPECT_EQ(Child<QComboBox>("CB1")->currentIndex(), 7); // selectors unchanged
    EXPECT_EQ(Child<QComboBox>("CB2")->currentIndex(), 8);
    auto* masks = Child<QTableWidget>("SGMASK");
    for (int m = 1; m <= 3; ++m)
        for (int c = 1; c <= 3; ++c) EXPECT_EQ(masks->item(m, c)->text(), "????????????????");
    auto* show = Child<QListWidget>("CLBSHOW");
    for (int n = 0; n < 36; ++n) EXPECT_EQ(show->item(n)->checkState(), Qt::Unchecked) << n;
    EXPECT_EQ(Child<QComboBox>("CBBG")->currentIndex(), 0);
    EXPECT_EQ(Child<QAbstractScrollArea>("Memo2")->palette().color(QPalette::Base), QColor(Qt::black));
    EXPECT_EQ(Child<QSpinBox>("SELINES")->value(), 80000);
    EXPECT_TRUE(Child<QRadioButton>("RBLIMIT")->isChecked());
    EXPECT_EQ(Child<QAbstractScrollArea>("Memo2")->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    EXPECT_EQ(Child<QTabWidget>("PageControl1")->currentIndex(), 3);
    EXPECT_EQ(Child<QSpinBox>("SpinEdit1")->value(), 9);
    EXPECT_TRUE(Child<QCheckBox>("CheckBox1")->isChecked());
    if (!QFontDatabase::hasFamily("Terminal")) { // the list shows the family drawn in its place
        EXPECT_EQ(Child<QComboBox>("ComboBox1")->currentText(),
                  QFontInfo(QFontDatabase::systemFont(QFontDatabase::FixedFont)).family());
    }

    auto* list = Child<QListWidget>("ListBox1");
    const std::pair<int, const char*> colours[] = {{0, "White"}, {4, "Sky Blue"}, {16, "Red"}, {29, "Cream"}, {31, "Teal"}};
    for (const auto& [row, name] : colours) {
        list->setCurrentRow(row);
        EXPECT_EQ(Child<QComboBox>("ColorBox1")->currentText(), name) << row;
    }

    // "Terminal" stays the stored name; the lines are drawn in the system's
    // fixed-pitch font, in the 8A colour.
    Send(OfType(16, 5)); // CB3 shows 8A
    const Look f = LineLook("Memo3", 0);
    EXPECT_EQ(f.color, QColor(255, 0, 0));
    EXPECT_EQ(f.fontName, "Terminal");
    if (!QFontDatabase::hasFamily("Terminal")) {
        EXPECT_EQ(f.font.family(), QFontDatabase::systemFont(QFontDatabase::FixedFont).family());
    }
    EXPECT_TRUE(f.font.bold());
    EXPECT_EQ(f.font.pointSize(), 9);

    Cmd("SAVEWORKSPACE", file);
    EXPECT_STREQ(LoadPChar(file.c_str(), kSection, "FontName", ""), "Terminal");
    EXPECT_EQ(LoadInteger(file.c_str(), kSection, "FontSize", 0), 9);
    EXPECT_EQ(LoadInteger(file.c_str(), kSection, "FontStyle", 0), 1);
    EXPECT_EQ(LoadInteger(file.c_str(), "Other", "Key", 0), 1);
}

TEST_F(KelmiraTest, StoredInvisibleNeverHides) {
    const std::string file = Path("hidden.owk");
    SaveInteger(file.c_str(), kSection, "Visible", 0);
    Cmd("OPENWORKSPACE", file);
    EXPECT_FALSE(form_->isVisible());
    form_->show();
    Cmd("OPENWORKSPACE", file);
    EXPECT_TRUE(form_->isVisible());
}

TEST_F(KelmiraTest, OutOfRangeWorkspaceValuesAreClamped) {
    struct Case {
        int top, left, content, fontSize, background, maxLines, page, color3;
        int wantContent, wantFontSize, wantBackground, wantMaxLines, wantPage;
    } cases[] = {
        {-5000, -100000, -3, 1, -1, 5, -2, -1, 0, 5, 0, 32, 0},
        {100000, 100000, 50, 99, 99, 5000000, 9, 0x1000000, 35, 20, 15, 999999, 4},
    };
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    int n = 0;
    for (const Case& c : cases) {
        const std::string file = Path("range" + std::to_string(n++) + ".owk");
        const char* f = file.c_str();
        SaveInteger(f, kSection, "Top", c.top);
        SaveInteger(f, kSection, "Left", c.left);
        SaveInteger(f, kSection, "GroupContent1", c.content);
        SaveInteger(f, kSection, "FontSize", c.fontSize);
        SaveInteger(f, kSection, "BackgroudColor", c.background);
        SaveInteger(f, kSection, "MaxLines", c.maxLines);
        SaveInteger(f, kSection, "Page", c.page);
        SaveInteger(f, kSection, "Color3", c.color3);
        SavePChar(f, kSection, "Mask12", std::string(40, '1').c_str());
        SavePChar(f, kSection, "FontName", std::string(3000, 'x').c_str());
        Cmd("OPENWORKSPACE", file);

        EXPECT_EQ(Child<QComboBox>("CB1")->currentIndex(), c.wantContent);
        EXPECT_EQ(Child<QSpinBox>("SpinEdit1")->value(), c.wantFontSize);
        EXPECT_EQ(Child<QComboBox>("CBBG")->currentIndex(), c.wantBackground);
        EXPECT_EQ(Child<QSpinBox>("SELINES")->value(), c.wantMaxLines);
        EXPECT_EQ(Child<QTabWidget>("PageControl1")->currentIndex(), c.wantPage);
        EXPECT_EQ(Child<QTableWidget>("SGMASK")->item(1, 1)->text(), QString(16, '1'));
        // The whole window lies on the screen's available area.
        form_->show();
        EXPECT_TRUE(screen.contains(form_->frameGeometry())) << form_->frameGeometry().x() << ","
                                                              << form_->frameGeometry().y();
        // A colour that is no RGB value falls back to the default (1B olive).
        Child<QListWidget>("ListBox1")->setCurrentRow(-1);
        Child<QListWidget>("ListBox1")->setCurrentRow(3);
        EXPECT_EQ(Child<QComboBox>("ColorBox1")->currentText(), "Olive");

        Cmd("SAVEWORKSPACE", file);
        EXPECT_EQ(LoadInteger(f, kSection, "FontSize", 0), c.wantFontSize);
        EXPECT_EQ(std::string(LoadPChar(f, kSection, "FontName", "")).size(), 1023u);
    }
}

TEST_F(KelmiraTest, HeaderAndSequenceLinesByteForByte) {
    Child<QComboBox>("CB1")->setCurrentIndex(0);  // 0A
    Child<QComboBox>("CB2")->setCurrentIndex(32); // Unknown
    Send(Rec(9, 5, 33, 0xD3C2, 0x0410, 0xE0CD, 0x4E44));
    Send(Rec(9, 5, 33, 0xD3C2, -1, 0xE0CD, 0x4E44));
    Send(Rec(12, 0, 1, 0x1234, 21 << 11, -1, 0xFFFF)); // 10B

    EXPECT_EQ(Lines("Memo1"), std::vector<std::string>{"09:05:33 D3C2 0410 E0CD 4E44"});
    EXPECT_EQ(Lines("Memo2"), std::vector<std::string>{"09:05:33 D3C2 ---- E0CD 4E44"});
    EXPECT_TRUE(Lines("Memo3").empty());
    EXPECT_TRUE(Lines("Memo4").empty());
    EXPECT_EQ(Child<QLabel>("LCNT1")->text(), "1");
    EXPECT_EQ(Child<QLabel>("LCNT2")->text(), "1");
    EXPECT_EQ(Child<QLabel>("LCNT3")->text(), "0");
    EXPECT_EQ(Text("RichEdit1").toStdString(), " 0A  -- 10B ");
    EXPECT_EQ(Value("GroupSequence"), ""); // no line is complete yet

    // The host's record is copied, not kept.
    TRDSGroupRec g = Rec(1, 2, 3, 1, 0x0410, 3, 4);
    Send(g);
    g.BlockA = 0x7777;
    EXPECT_EQ(Lines("Memo1").back(), "01:02:03 0001 0410 0003 0004");
}

TEST_F(KelmiraTest, GroupSequenceKeepsTheBestLineInTheHostsTable) {
    const char ps[8] = {'O', 'R', 'V', 'A', 'N', 'E', ' ', ' '};
    const auto station = orvane::test::StationGroups(0xD3C2, ps, 23);
    const char* const names[] = {"0A", "0A", "0A", "0A", "2A", "4A"};
    // One line of the station's groups with block B missing at the given places.
    auto line = [&](std::vector<int> missing) {
        std::vector<std::string> entries;
        for (int i = 0; i < 23; ++i) {
            const auto& s = station[static_cast<size_t>(i)];
            const bool gone = std::find(missing.begin(), missing.end(), i) != missing.end();
            Send(Rec(10, 0, i, s.a, gone ? -1 : s.b, s.c, s.d));
            entries.push_back(gone ? "--" : names[i % 6]);
        }
        return Entries(entries);
    };

    const std::string first = line({1, 2});
    EXPECT_EQ(Lines("RichEdit1"), std::vector<std::string>{first});
    ASSERT_EQ(first.size(), 92u);
    EXPECT_EQ(Value("GroupSequence"), Collapsed(first));
    bool inTable = false; // through the host reference
    for (int i = 0; i < orvane::ValueCount(*table_); ++i) inTable = inTable || orvane::KeyAt(*table_, i) == "GroupSequence";
    EXPECT_TRUE(inTable);

    line({3, 4, 5}); // more missing blocks: not better
    EXPECT_EQ(Value("GroupSequence"), Collapsed(first));
    const std::string tie = line({7, 8});
    EXPECT_NE(tie, first);
    EXPECT_EQ(Value("GroupSequence"), Collapsed(tie)); // ties go to the newer line
    const std::string clean = line({});
    EXPECT_EQ(Value("GroupSequence"), Collapsed(clean));

    // "Clear" of the sequence window restarts the line but keeps the best.
    for (int i = 0; i < 10; ++i) Send(OfType(0, i));
    Child<QPushButton>("Button5")->click();
    EXPECT_TRUE(Lines("RichEdit1").empty());
    const std::string worse = line({0});
    EXPECT_EQ(Lines("RichEdit1"), std::vector<std::string>{worse});
    EXPECT_EQ(Value("GroupSequence"), Collapsed(clean));

    // A reset forgets it: the next complete line wins whatever it holds.
    Cmd("RESETDATA");
    const std::string afterReset = line({0, 1, 2, 3});
    EXPECT_EQ(Value("GroupSequence"), Collapsed(afterReset));
}

TEST_F(KelmiraTest, SequenceLineStaysWholeWhenTheWindowIsEmptiedMidLine) {
    // With a limit of 32 lines the window is emptied just after the first
    // entry of line 33; the line that completes must still hold 23 groups.
    Child<QRadioButton>("RBNOLIMIT")->click();
    Child<QSpinBox>("SELINES")->setValue(32);
    std::vector<std::string> names{"--"};
    names.insert(names.end(), 22, "0A");
    const std::string expected = Collapsed(Entries(names));
    bool emptied = false;
    for (int l = 0; l < 34; ++l) {
        Send(MissingB());
        for (int i = 0; i < 22; ++i) Send(OfType(0, i));
        emptied = emptied || Lines("RichEdit1").size() < static_cast<size_t>(l + 1);
        ASSERT_EQ(Value("GroupSequence"), expected) << "line " << l + 1;
    }
    EXPECT_TRUE(emptied);
}

TEST_F(KelmiraTest, LineLimitToTheWindow) {
    Child<QComboBox>("CB1")->setCurrentIndex(0);
    for (int n = 0; n < 100; ++n) Send(OfType(0, n));
    // Trimmed to 34 before each line, so 35 are shown.
    const auto memo = Lines("Memo1");
    ASSERT_EQ(memo.size(), 35u);
    EXPECT_EQ(memo.front().substr(0, 8), "00:01:05"); // group 65: the oldest go first
    EXPECT_EQ(memo.back().substr(0, 8), "00:01:39");
    EXPECT_EQ(Child<QLabel>("LCNT1")->text(), "100"); // counts every line added

    for (int n = 0; n < 23 * 30; ++n) Send(OfType(2, n));
    EXPECT_LE(Lines("RichEdit1").size(), 15u);
    EXPECT_GE(Lines("RichEdit1").size(), 14u);

    // More than 200 lines (left from scrolling mode): emptied at the next line.
    Child<QRadioButton>("RBNOLIMIT")->click();
    for (int n = 0; n < 250; ++n) Send(OfType(0, n));
    EXPECT_EQ(Lines("Memo1").size(), 285u);
    Child<QRadioButton>("RBLIMIT")->click();
    Send(OfType(0, 7));
    EXPECT_EQ(Lines("Memo1"), std::vector<std::string>{"00:00:07 D3C2 0000 E0CD 0007"});
    EXPECT_EQ(Child<QLabel>("LCNT1")->text(), "351");
}

TEST_F(KelmiraTest, LineLimitWhileScrolling) {
    Child<QComboBox>("CB4")->setCurrentIndex(32);
    Child<QRadioButton>("RBNOLIMIT")->click();
    auto* lines = Child<QSpinBox>("SELINES");
    lines->setValue(32);
    for (int n = 0; n < 33; ++n) Send(MissingB(n));
    EXPECT_EQ(Lines("Memo4").size(), 33u);
    Send(MissingB(33));
    EXPECT_EQ(Lines("Memo4").size(), 1u);
    EXPECT_EQ(Child<QLabel>("LCNT4")->text(), "34");

    // An emptied field comes back as the minimum when it loses the focus.
    lines->setValue(500);
    lines->findChild<QLineEdit*>()->clear();
    QMetaObject::invokeMethod(lines, "editingFinished", Qt::DirectConnection);
    EXPECT_EQ(lines->value(), 32);
}

TEST_F(KelmiraTest, SavesRichOrPlainTextByExtensionOrTheChosenFilter) {
    Cmd("OPENWORKSPACE", Path("none.owk")); // default colours
    const char ps[8] = {'O', 'R', 'V', 'A', 'N', 'E', ' ', ' '};
    int n = 0;
    for (const auto& s : orvane::test::StationGroups(0xD3C2, ps, 30)) Send(Rec(8, 0, n++ % 60, s.a, s.b, s.c, s.d));
    Send(MissingB());
    const auto shown = Lines("RichEdit1");
    ASSERT_EQ(shown.size(), 2u);

    auto save = [&](const char* button, const std::string& name) {
        Child<QPushButton>(button)->click();
        auto* dialog = form_->findChild<QFileDialog*>("SaveDialog1");
        ASSERT_NE(dialog, nullptr);
        ASSERT_TRUE(dialog->isVisible()); // opened without blocking
        dialog->selectFile(QString::fromStdString(Path(name)));
        static_cast<QDialog*>(dialog)->accept();
        EXPECT_FALSE(dialog->isVisible());
    };

    save("Button10", "seq.RTF");
    std::vector<QColor> table;
    const std::string rtf = ReadFile(Path("seq.RTF"));
    EXPECT_EQ(rtf.rfind("{\\rtf1", 0), 0u);
    const auto paras = ParseRtf(rtf, &table);
    ASSERT_EQ(paras.size(), 2u);
    EXPECT_EQ(ParagraphText(paras[0]), shown[0]);
    EXPECT_EQ(ParagraphText(paras[1]), shown[1]);
    const std::map<std::string, QColor> colourOf = {
        {"0A", Rgb(0xFFFFFF)}, {"2A", Rgb(0xF0CAA6)}, {"4A", Rgb(0xFF00FF)}, {"--", Rgb(0x808080)}};
    for (const auto& para : paras)
        for (const RtfRun& run : para)
            for (size_t i = 0; i + 4 <= run.text.size(); i += 4) {
                const QString entry = QString::fromStdString(run.text.substr(i, 4)).trimmed();
                ASSERT_TRUE(colourOf.count(entry.toStdString())) << entry.toStdString();
                EXPECT_EQ(run.color, colourOf.at(entry.toStdString())) << entry.toStdString();
            }
    EXPECT_NE(rtf.find("Terminal;"), std::string::npos); // the stored font name, not its stand-in

    save("Button10", "seq.txt");
    EXPECT_EQ(ReadFile(Path("seq.txt")), shown[0] + "\r\n" + shown[1]);

    // A name without an extension gets the chosen filter's, and its format;
    // a name with one keeps it, and its extension decides.
    auto* dialog = form_->findChild<QFileDialog*>("SaveDialog1");
    struct Typed {
        const char* filter;
        const char* name;
        const char* written;
        bool rich;
    };
    const Typed typed[] = {{"RTF (*.rtf)", "seq2", "seq2.rtf", true},
                           {"Plain Text (*.txt)", "seq3", "seq3.txt", false},
                           {"RTF (*.rtf)", "seq4.log", "seq4.log", false},
                           {"Plain Text (*.txt)", "seq5.Rtf", "seq5.Rtf", true}};
    // The filter picked the way the user does, in the dialog's own list.
    auto chooseFilter = [&](const char* filter) {
        auto* types = dialog->findChild<QComboBox*>("fileTypeCombo");
        ASSERT_NE(types, nullptr);
        const int i = types->findText(filter);
        ASSERT_GE(i, 0) << filter;
        while (types->currentIndex() != i) QTest::keyClick(types, types->currentIndex() < i ? Qt::Key_Down : Qt::Key_Up);
        ASSERT_EQ(dialog->selectedNameFilter(), filter);
    };
    for (const Typed& t : typed) {
        SCOPED_TRACE(t.name);
        Child<QPushButton>("Button10")->click();
        chooseFilter(t.filter);
        dialog->selectFile(QString::fromStdString(Path(t.name)));
        static_cast<QDialog*>(dialog)->accept();
        const std::string written = ReadFile(Path(t.written));
        if (t.rich) {
            EXPECT_EQ(written.rfind("{\\rtf1", 0), 0u);
        } else {
            EXPECT_EQ(written, shown[0] + "\r\n" + shown[1]);
        }
        if (std::string(t.name) != t.written) {
            EXPECT_FALSE(QFile::exists(QString::fromStdString(Path(t.name))));
        }
    }
    // Also when the dialog hands back the name as typed.
    Child<QPushButton>("Button10")->click();
    chooseFilter("RTF (*.rtf)");
    QMetaObject::invokeMethod(dialog, "fileSelected", Qt::DirectConnection,
                              Q_ARG(QString, QString::fromStdString(Path("typed"))));
    dialog->reject();
    EXPECT_EQ(ReadFile(Path("typed.rtf")).rfind("{\\rtf1", 0), 0u);
    EXPECT_FALSE(QFile::exists(QString::fromStdString(Path("typed"))));

    // An empty window saves as an empty document.
    save("Button12", "aid.Rtf");
    const auto empty = ParseRtf(ReadFile(Path("aid.Rtf")));
    ASSERT_EQ(empty.size(), 1u);
    EXPECT_EQ(ParagraphText(empty[0]), "");

    // A file that cannot be written is passed over without a word.
    Child<QPushButton>("Button13")->click();
    QMetaObject::invokeMethod(dialog, "fileSelected", Qt::DirectConnection,
                              Q_ARG(QString, QString::fromStdString(Path("seq.txt/inside.txt"))));
    EXPECT_FALSE(QFile::exists(QString::fromStdString(Path("seq.txt/inside.txt"))));
    dialog->reject();
    Send(OfType(0));
    EXPECT_EQ(Lines("RichEdit1").size(), 2u);
}

// White 0A lines on a white page cannot be read: the document carries the
// window's background, behind each line and each run.
TEST_F(KelmiraTest, TheRtfSaveCarriesTheWindowsBackground) {
    Cmd("OPENWORKSPACE", Path("none.owk")); // default colours: 0A white
    for (int n = 0; n < 30; ++n) Send(OfType(0, n));
    auto* window = Child<QAbstractScrollArea>("RichEdit1");
    for (const char* background : {"", "Navy"}) {
        SCOPED_TRACE(background);
        if (*background) ChooseColor("CBBG", background);
        const QColor shown = window->palette().color(QPalette::Base);
        Child<QPushButton>("Button10")->click();
        auto* dialog = form_->findChild<QFileDialog*>("SaveDialog1");
        ASSERT_NE(dialog, nullptr);
        const std::string name = Path(std::string("bg") + background + ".rtf");
        dialog->selectFile(QString::fromStdString(name));
        static_cast<QDialog*>(dialog)->accept();
        const auto paras = ParseRtf(ReadFile(name));
        ASSERT_EQ(paras.size(), 2u);
        int runs = 0;
        for (const auto& para : paras)
            for (const RtfRun& run : para) {
                if (run.text.empty()) continue;
                ++runs;
                EXPECT_EQ(run.color, QColor(Qt::white)) << run.text;
                EXPECT_EQ(run.shading, shown) << run.text;
                EXPECT_EQ(run.background, shown) << run.text;
            }
        EXPECT_GE(runs, 1);
    }
}

// Save... opens where it last saved, for each of the three windows; at
// first in the documents folder, not wherever the program was started.
TEST_F(KelmiraTest, SaveOpensInTheFolderItLastSavedTo) {
    const QString docs = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    ASSERT_NE(QDir(docs).absolutePath(), QDir::currentPath()) << "the test needs another working folder";
    Send(OfType(0));
    Child<QPushButton>("Button10")->click();
    auto* dialog = form_->findChild<QFileDialog*>("SaveDialog1");
    ASSERT_NE(dialog, nullptr);
    auto folder = [dialog] { return dialog->directory().absolutePath().toStdString(); };
    EXPECT_EQ(folder(), QDir(docs).absolutePath().toStdString());
    const QString saved = QString::fromStdString(Path("saved"));
    ASSERT_TRUE(QDir().mkpath(saved));
    dialog->selectFile(saved + "/seq.txt");
    static_cast<QDialog*>(dialog)->accept();
    ASSERT_TRUE(QFile::exists(saved + "/seq.txt"));

    // Looking elsewhere and cancelling, or a save that fails, keeps it.
    for (const char* button : {"Button13", "Button12", "Button10"}) {
        SCOPED_TRACE(button);
        Child<QPushButton>(button)->click();
        EXPECT_EQ(folder(), saved.toStdString());
        dialog->setDirectory(dir_.path());
        dialog->reject();
    }
    Child<QPushButton>("Button10")->click();
    QMetaObject::invokeMethod(dialog, "fileSelected", Qt::DirectConnection,
                              Q_ARG(QString, saved + "/seq.txt/inside.txt"));
    dialog->reject();
    Child<QPushButton>("Button10")->click();
    EXPECT_EQ(folder(), saved.toStdString());
    dialog->reject();
}

TEST_F(KelmiraTest, ResetKeepsSettingsAndEmptiesWindows) {
    Cmd("OPENWORKSPACE", Path("none.owk"));
    const char* const windows[] = {"Memo1", "Memo2", "Memo3", "Memo4", "RichEdit1", "RichEdit2", "RichEdit3"};
    for (const char* trigger : {"RESETDATA", "Button9"}) {
        for (const char* cb : {"CB1", "CB2", "CB3", "CB4"}) Child<QComboBox>(cb)->setCurrentIndex(0);
        for (int n = 0; n < 40; ++n) Send(OfType(0, n));
        Child<QTableWidget>("SGA")->item(1, 1)->setText("50.0 %");
        Child<QTableWidget>("SGAID")->item(1, 0)->setText("CD46");
        EXPECT_EQ(Child<QLabel>("LCNT1")->text(), "40");
        EXPECT_FALSE(Lines("RichEdit1").empty());
        if (std::string(trigger) == "RESETDATA")
            Cmd("resetdata");
        else
            Child<QPushButton>(trigger)->click();
        for (const char* w : windows) EXPECT_TRUE(Text(w).isEmpty()) << w;
        for (const char* l : {"LCNT1", "LCNT2", "LCNT3", "LCNT4", "LCNT5"}) EXPECT_EQ(Child<QLabel>(l)->text(), "0");
        EXPECT_TRUE(Child<QTableWidget>("SGA")->item(1, 1)->text().isEmpty());
        EXPECT_EQ(Child<QTableWidget>("SGA")->item(1, 0)->text(), "0A"); // captions stay
        EXPECT_TRUE(Child<QTableWidget>("SGAID")->item(1, 0)->text().isEmpty());
        // Settings, masks and colours stay.
        EXPECT_EQ(Child<QComboBox>("CB1")->currentIndex(), 0);
        EXPECT_EQ(Child<QTableWidget>("SGMASK")->item(1, 1)->text(), "????????????????");
        Send(OfType(0));
        EXPECT_EQ(LineLook("Memo1", 0).color, QColor(Qt::white)) << trigger;
        Child<QPushButton>("Button1")->click();
    }
}

TEST_F(KelmiraTest, ColourChangeReachesOnlyLaterLines) {
    Cmd("OPENWORKSPACE", Path("none.owk"));
    Child<QComboBox>("CB1")->setCurrentIndex(0);
    Send(OfType(0, 1));
    Child<QListWidget>("ListBox1")->setCurrentRow(0);
    ChooseColor("ColorBox1", "Lime");
    Send(OfType(0, 2));
    EXPECT_EQ(LineLook("Memo1", 0).color, QColor(255, 255, 255));
    EXPECT_EQ(LineLook("Memo1", 1).color, QColor(0, 255, 0));

    // The font applies only on "Apply", and also only to later lines.
    Child<QSpinBox>("SpinEdit1")->setValue(17);
    Send(OfType(0, 3));
    EXPECT_EQ(LineLook("Memo1", 2).font.pointSize(), 9);
    EXPECT_EQ(Child<QLabel>("STTS")->font().pointSize(), 17); // the sample follows at once
    Child<QPushButton>("Button15")->click();
    Send(OfType(0, 4));
    EXPECT_EQ(LineLook("Memo1", 2).font.pointSize(), 9);
    EXPECT_EQ(LineLook("Memo1", 3).font.pointSize(), 17);
}

TEST_F(KelmiraTest, ClosingOnlyHides) {
    form_->show();
    form_->close();
    ASSERT_FALSE(form_.isNull());
    EXPECT_FALSE(form_->isVisible());
    Cmd("SHOW");
    EXPECT_TRUE(form_->isVisible());
}

// Life cycle ----------------------------------------------------------------------

TEST_F(KelmiraTest, ExitIsIgnoredAndTheWindowLivesUntilTheLibraryIsUnloaded) {
    // Also when another plug-in relays it: the analyser stays usable.
    Cmd("SHOW");
    Cmd("Exit");
    Cmd("EXIT");
    ASSERT_FALSE(form_.isNull());
    EXPECT_TRUE(form_->isVisible());
    form_->hide();
    Cmd("SHOW");
    EXPECT_TRUE(form_->isVisible());
    Send(OfType(2));
    EXPECT_EQ(Lines("Memo1").size(), 1u);
    lib_.reset();
    EXPECT_TRUE(form_.isNull());
    EXPECT_TRUE(host_->findChildren<QObject*>().isEmpty());
    EXPECT_FALSE(Mapped());
}

TEST_F(KelmiraTest, UnloadWithoutExitLeavesNothingBehind) {
    Cmd("CONFIGURE");
    Child<QPushButton>("Button10")->click(); // a save dialog left open
    lib_.reset();
    EXPECT_TRUE(form_.isNull());
    EXPECT_TRUE(host_->findChildren<QObject*>().isEmpty());
    EXPECT_FALSE(Mapped());
}

TEST_F(KelmiraTest, HostWindowDestroyedBeforeUnload) {
    Cmd("SHOW");
    host_.reset();
    EXPECT_TRUE(form_.isNull()); // went with its owner
    lib_.reset();
    EXPECT_FALSE(Mapped());
}

TEST_F(KelmiraTest, WithoutHostWindowTheWindowHasNoParent) {
    lib_.reset();
    Load(0);
    EXPECT_EQ(form_->parentWidget(), nullptr);
    Cmd("SHOW");
    EXPECT_TRUE(form_->isVisible());
    lib_.reset();
    EXPECT_TRUE(form_.isNull());
    EXPECT_FALSE(Mapped());
}

} // namespace
