#pragma once
// A read-only text window for line-by-line logs: lines are added at the end
// and dropped from the top at constant cost, each run of text keeps its own
// colour and font, and only the lines in view are ever laid out.
#include "RichText.h"

#include <QAbstractScrollArea>
#include <QColor>
#include <QFont>
#include <QStaticText>
#include <QString>
#include <QTimer>

#include <deque>
#include <memory>
#include <vector>

namespace kelmira {

// How a run of text is drawn; shared by every run added with it.
struct TLineFormat {
    QColor color;
    QFont font;       // what is drawn
    QString fontName; // what the user chose; the drawn family may stand in for it
    qreal ascent = 0;
    qreal height = 0;
    qreal charWidth = 0;
};
using TFormatRef = std::shared_ptr<const TLineFormat>;
TFormatRef MakeLineFormat(const QColor& color, const QFont& font, const QString& fontName);

class TLineView : public QAbstractScrollArea {
    Q_OBJECT
    Q_PROPERTY(QString plainText READ toPlainText)
    Q_PROPERTY(int lineCount READ LineCount)
    Q_PROPERTY(int selStart READ SelStart)
    Q_PROPERTY(int selLength READ SelLength)
    Q_PROPERTY(QString selectedText READ SelectedText)
public:
    explicit TLineView(QWidget* parent = nullptr);
    ~TLineView() override;

    // Lines as an edit box counts them: a last line that is still open
    // counts, nothing after a final line break does.
    int LineCount() const { return static_cast<int>(lines_.size()); }

    // A new line of its own, ended by a line break. Like every addition it
    // moves the caret to the end: a selection goes, so a search starts
    // again from the top.
    void AppendLine(const QString& text, const TFormatRef& format);
    // Text at the end of the last line, which stays open.
    void InsertText(const QString& text, const TFormatRef& format);
    // Ends the open line.
    void BreakLine();
    void DropFirstLines(int n);
    void Clear();

    // Brings the view to the end and redraws what changed; the refresh
    // timer calls it.
    void Refresh();

    // Lines joined by "\n", with "\n" after a line that was ended.
    QString toPlainText() const;
    TTextDocument Document() const;

    Q_INVOKABLE QString LineText(int line) const;
    Q_INVOKABLE int RunCount(int line) const;
    Q_INVOKABLE QColor RunColor(int line, int run) const;
    Q_INVOKABLE QFont RunFont(int line, int run) const;
    Q_INVOKABLE QString RunFontName(int line, int run) const;

    // Selection as character offsets into toPlainText().
    int SelStart() const { return selStart_; }
    int SelLength() const { return selLength_; }
    Q_INVOKABLE void SetSelection(int start, int length);
    QString SelectedText() const;
    // Scrolls the line holding this character offset into view.
    void ShowOffset(int offset);

    // The widget width at which a line of this advance shows whole, with
    // room for a vertical scroll bar.
    int WidthForLine(qreal advance) const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    struct TRunCache {
        QStaticText text;
        qreal advance = 0;
    };
    struct TRun {
        QString text;
        TFormatRef format;
        mutable std::unique_ptr<TRunCache> cache;
    };
    struct TLine {
        std::vector<TRun> runs;
        qreal ascent = 0, height = 0;
        int length = 0; // characters
    };

    void AddRun(TLine& line, const QString& text, const TFormatRef& format);
    void CaretToEnd();
    // Length of toPlainText(), kept as lines come and go.
    int EndOffset() const { return chars_ + LineCount() - (open_ ? 1 : 0); }
    void Changed(long long fromLine);
    void Invalidate() { shownFirst_ = -1; }
    void UpdateShown(long long first);
    void UpdateScrollBars();
    int LastFirstLine() const;
    int OffsetOfLine(int line) const;
    int OffsetAt(const QPoint& viewportPos) const;
    void Evict(long long from, long long to) const;

    std::deque<TLine> lines_;
    bool open_ = false;         // the last line has no line break yet
    long long dropped_ = 0;     // lines removed from the top since the last clearing
    int chars_ = 0;             // characters of all lines, line breaks not counted
    qreal widest_ = 0;          // estimate from the character widths
    qreal lineHeight_ = 0;      // for an empty window
    int selStart_ = 0, selLength_ = 0, anchor_ = 0;
    // Groups may come every 10 ms; the window is redrawn at most every
    // 40 ms, whatever arrived in between at once.
    QTimer refresh_;
    // Lines whose text is laid out, by absolute number (dropped_ + index).
    mutable long long cachedFrom_ = 0, cachedTo_ = 0;
    // What the viewport's pixels show once pending paints are done: the
    // lines from shownFirst_ (absolute) on, of these heights; -1 when that
    // is not known. A refresh then moves those pixels and draws only the
    // lines that are new or changed from dirtyFrom_ on.
    long long shownFirst_ = -1;
    std::vector<qreal> shownHeights_;
    long long dirtyFrom_ = -1; // -1: nothing changed
    bool inRefresh_ = false;
};

} // namespace kelmira
