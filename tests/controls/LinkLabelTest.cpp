#include "LinkLabel.h"

#include "Shell.h"

#include <QApplication>
#include <QEnterEvent>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <string>
#include <vector>

using orvane::controls::TLinkLabel;

namespace {

struct FakeShell : orvane::IShell {
    std::vector<std::string> opened;
    bool opens = false;
    void Open(const std::string& target, const std::string&, QObject*, Failed failed) override {
        opened.push_back(target);
        if (!opens) failed();
    }
    bool StartDetached(const std::string&, const std::vector<std::string>&) override { return false; }
};

void Enter(QWidget& w) {
    QEnterEvent e(QPointF(2, 2), QPointF(2, 2), QPointF(2, 2));
    QApplication::sendEvent(&w, &e);
}

void Leave(QWidget& w) {
    QEvent e(QEvent::Leave);
    QApplication::sendEvent(&w, &e);
}

class LinkLabelTest : public ::testing::Test {
protected:
    LinkLabelTest() {
        parent_.resize(200, 100);
        QFont focus("DejaVu Sans", 15);
        focus.setUnderline(true);
        label_ = new TLinkLabel(&parent_, [this](QObject* sender) { clicks_.push_back(sender); });
        label_->setText("link");
        label_->resize(100, 30);
        label_->SetFocusFont(focus);
        label_->SetShell(&shell_);
    }
    QWidget parent_;
    TLinkLabel* label_ = nullptr;
    FakeShell shell_;
    std::vector<QObject*> clicks_;
};

TEST_F(LinkLabelTest, FontSwapsOnEnterAndComesBackExactly) {
    QFont own("DejaVu Serif", 11);
    own.setItalic(true);
    label_->setFont(own);
    const QFont before = label_->font();

    Enter(*label_);
    EXPECT_EQ(label_->font().pointSize(), 15);
    EXPECT_TRUE(label_->font().underline());
    Leave(*label_);
    EXPECT_EQ(label_->font(), before);

    // Changed while the mouse is outside: that font is the one restored.
    QFont changed = before;
    changed.setBold(true);
    changed.setPointSize(13);
    label_->setFont(changed);
    Enter(*label_);
    EXPECT_EQ(label_->font().pointSize(), 15);
    Leave(*label_);
    EXPECT_EQ(label_->font(), changed);
}

TEST_F(LinkLabelTest, InheritedFontStaysInheritedAndColourComesBack) {
    QFont parentFont("DejaVu Sans Mono", 10);
    parent_.setFont(parentFont);
    ASSERT_FALSE(label_->testAttribute(Qt::WA_SetFont));
    const QColor text = label_->palette().color(QPalette::WindowText);
    label_->SetFocusColor(Qt::white);

    Enter(*label_);
    EXPECT_EQ(label_->palette().color(QPalette::WindowText), QColor(Qt::white));
    Leave(*label_);
    EXPECT_FALSE(label_->testAttribute(Qt::WA_SetFont));
    EXPECT_EQ(label_->palette().color(QPalette::WindowText), text);
    // Still inheriting: a later change of the parent's font reaches it.
    parent_.setFont(QFont("DejaVu Serif", 17));
    EXPECT_EQ(label_->font().pointSize(), 17);
}

TEST_F(LinkLabelTest, LeaveWithoutEnterKeepsTheCurrentFont) {
    QFont changed("DejaVu Serif", 19);
    label_->setFont(changed);
    Leave(*label_);
    EXPECT_EQ(label_->font().pointSize(), 19);
}

TEST_F(LinkLabelTest, EnterAndLeaveHandlersFire) {
    std::vector<std::string> events;
    label_->OnMouseEnter = [&](QObject* s) { events.push_back(s == label_ ? "enter" : "?"); };
    label_->OnMouseLeave = [&](QObject* s) { events.push_back(s == label_ ? "leave" : "?"); };
    Enter(*label_);
    Leave(*label_);
    EXPECT_EQ(events, (std::vector<std::string>{"enter", "leave"}));
}

TEST(LinkLabelFocusFont, StartsAsANewDefaultFontNotTheLabelsOwn) {
    QWidget parent;
    QFont inherited("DejaVu Serif", 21);
    inherited.setBold(true);
    inherited.setItalic(true);
    parent.setFont(inherited);
    TLinkLabel label(&parent);
    ASSERT_TRUE(label.font().bold());
    EXPECT_EQ(label.FocusFont(), QFont());
    EXPECT_FALSE(label.FocusFont().bold());
    EXPECT_NE(label.FocusFont().pointSize(), 21);
}

TEST_F(LinkLabelTest, FocusFontIsACopy) {
    QFont f("DejaVu Sans", 12);
    label_->SetFocusFont(f);
    f.setPointSize(30);
    f.setStrikeOut(true);
    EXPECT_EQ(label_->FocusFont().pointSize(), 12);
    EXPECT_FALSE(label_->FocusFont().strikeOut());
    Enter(*label_);
    EXPECT_EQ(label_->font().pointSize(), 12);
}

TEST_F(LinkLabelTest, EmptyLinkOnlyRunsTheRememberedHandler) {
    QTest::mouseClick(label_, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_TRUE(shell_.opened.empty());
    ASSERT_EQ(clicks_.size(), 1u);
    EXPECT_EQ(clicks_[0], label_);
}

TEST_F(LinkLabelTest, FolderLinkReachesTheShellThenTheHandler) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    label_->SetLink(dir.path().toStdString());
    QTest::mouseClick(label_, Qt::LeftButton, {}, QPoint(5, 5));
    ASSERT_EQ(shell_.opened.size(), 1u);
    EXPECT_EQ(shell_.opened[0], dir.path().toStdString());
    EXPECT_EQ(clicks_.size(), 1u);

    // A right click or a release outside the label is no click.
    QTest::mouseClick(label_, Qt::RightButton, {}, QPoint(5, 5));
    QTest::mousePress(label_, Qt::LeftButton, {}, QPoint(5, 5));
    QTest::mouseRelease(label_, Qt::LeftButton, {}, QPoint(150, 5));
    EXPECT_EQ(shell_.opened.size(), 1u);
    EXPECT_EQ(clicks_.size(), 1u);
}

TEST_F(LinkLabelTest, ALinkTheDesktopDoesNotOpenIsReportedBeforeTheHandler) {
    std::vector<std::string> events;
    label_->OnOpenFailed = [&](QObject* sender) {
        EXPECT_EQ(sender, label_);
        events.push_back("failed");
    };
    label_->SetLink("https://example.org/");
    for (const bool opens : {false, true}) {
        SCOPED_TRACE(opens);
        shell_.opens = opens;
        clicks_.clear();
        events.clear();
        label_->Click();
        EXPECT_EQ(events.size(), opens ? 0u : 1u);
        EXPECT_EQ(clicks_.size(), 1u);
    }
    // An empty link asks the desktop nothing, so nothing failed.
    shell_.opens = false;
    events.clear();
    label_->SetLink("");
    label_->Click();
    EXPECT_TRUE(events.empty());
}

TEST_F(LinkLabelTest, ReplacedClickHandlerNoLongerOpensTheLink) {
    int own = 0;
    label_->SetLink("https://example.org/");
    label_->OnClick = [&](QObject*) { ++own; };
    label_->Click();
    EXPECT_EQ(own, 1);
    EXPECT_TRUE(shell_.opened.empty());
    EXPECT_TRUE(clicks_.empty());
}

} // namespace

TEST_F(LinkLabelTest, LinkLookIsAHandUnderlinedTextAndWhiteUnderTheMouse) {
    const QColor windowText = parent_.palette().color(QPalette::WindowText);
    for (const QColor& given : {QColor(Qt::blue), QColor()}) {
        SCOPED_TRACE(given.isValid() ? "blue" : "window text");
        TLinkLabel label(&parent_);
        label.setText("https://www.orvane.org");
        label.SetLinkLook(given);
        const QColor shown = given.isValid() ? given : windowText;
        EXPECT_EQ(label.cursor().shape(), Qt::PointingHandCursor);
        EXPECT_TRUE(label.font().underline());
        EXPECT_EQ(label.palette().color(QPalette::WindowText), shown);
        Enter(label);
        EXPECT_TRUE(label.font().underline());
        EXPECT_EQ(label.palette().color(QPalette::WindowText), QColor(Qt::white));
        Leave(label);
        EXPECT_TRUE(label.font().underline());
        EXPECT_EQ(label.palette().color(QPalette::WindowText), shown);
    }
}
