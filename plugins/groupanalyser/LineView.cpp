#include "LineView.h"

#include <QApplication>
#include <QClipboard>
#include <QFontMetricsF>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>

#include <algorithm>
#include <cmath>

namespace kelmira {
namespace {

constexpr qreal kMargin = 2;
constexpr int kRefreshMs = 40;

TColorRef ToColorRef(const QColor& c) {
    return static_cast<TColorRef>(c.red()) | static_cast<TColorRef>(c.green()) << 8 |
           static_cast<TColorRef>(c.blue()) << 16;
}

} // namespace

TFormatRef MakeLineFormat(const QColor& color, const QFont& font, const QString& fontName) {
    auto f = std::make_shared<TLineFormat>();
    f->color = color;
    f->font = font;
    f->fontName = fontName;
    const QFontMetricsF fm(font);
    f->ascent = fm.ascent();
    // Whole pixels, so lines start on pixel rows and can be moved as pixels.
    f->height = std::ceil(fm.lineSpacing());
    f->charWidth = fm.horizontalAdvance(QLatin1Char('M'));
    return f;
}

TLineView::TLineView(QWidget* parent) : QAbstractScrollArea(parent) {
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setCursor(Qt::IBeamCursor);
    verticalScrollBar()->setSingleStep(1);
    lineHeight_ = std::ceil(QFontMetricsF(font()).lineSpacing());
    refresh_.setSingleShot(true);
    refresh_.setTimerType(Qt::PreciseTimer);
    refresh_.setInterval(kRefreshMs);
    connect(&refresh_, &QTimer::timeout, this, [this] { Refresh(); });
}

TLineView::~TLineView() = default;

void TLineView::AddRun(TLine& line, const QString& text, const TFormatRef& format) {
    if (!line.runs.empty() && line.runs.back().format == format) {
        line.runs.back().text += text;
        line.runs.back().cache.reset();
    } else {
        line.runs.push_back(TRun{text, format, nullptr});
    }
    line.ascent = std::max(line.ascent, format->ascent);
    line.height = std::max(line.height, format->height);
    line.length += static_cast<int>(text.size());
    chars_ += static_cast<int>(text.size());
    qreal width = 0;
    for (const TRun& r : line.runs) width += static_cast<qreal>(r.text.size()) * r.format->charWidth;
    widest_ = std::max(widest_, width);
}

void TLineView::CaretToEnd() {
    // A highlighted selection elsewhere must be drawn away too.
    if (selLength_ > 0) Invalidate();
    selStart_ = anchor_ = EndOffset();
    selLength_ = 0;
}

void TLineView::AppendLine(const QString& text, const TFormatRef& format) {
    lines_.emplace_back();
    AddRun(lines_.back(), text, format);
    open_ = false;
    CaretToEnd();
    Changed(dropped_ + LineCount() - 1);
}

void TLineView::InsertText(const QString& text, const TFormatRef& format) {
    if (!open_) {
        lines_.emplace_back();
        open_ = true;
    }
    AddRun(lines_.back(), text, format);
    CaretToEnd();
    Changed(dropped_ + LineCount() - 1);
}

void TLineView::BreakLine() {
    if (open_) {
        open_ = false;
    } else {
        lines_.emplace_back();
        lines_.back().height = lineHeight_;
        lines_.back().ascent = QFontMetricsF(font()).ascent();
    }
    CaretToEnd();
    Changed(dropped_ + LineCount() - 1);
}

void TLineView::DropFirstLines(int n) {
    n = std::min(n, LineCount());
    if (n <= 0) return;
    int removed = 0;
    for (int i = 0; i < n; ++i) removed += lines_[static_cast<std::size_t>(i)].length + 1;
    for (int i = 0; i < n; ++i) chars_ -= lines_[static_cast<std::size_t>(i)].length;
    lines_.erase(lines_.begin(), lines_.begin() + n);
    dropped_ += n;
    if (lines_.empty()) open_ = false;
    // The selection stays on the same characters.
    int start = selStart_ - removed, length = selLength_;
    if (start < 0) {
        length += start;
        start = 0;
    }
    selStart_ = start;
    selLength_ = std::max(0, length);
    Changed(-1); // the lines left keep their pixels
}

void TLineView::Clear() {
    lines_.clear();
    open_ = false;
    dropped_ = 0;
    chars_ = 0;
    cachedFrom_ = cachedTo_ = 0;
    widest_ = 0;
    selStart_ = selLength_ = anchor_ = 0;
    Invalidate();
    Changed(-1);
}

void TLineView::Changed(long long fromLine) {
    if (fromLine >= 0 && (dirtyFrom_ < 0 || fromLine < dirtyFrom_)) dirtyFrom_ = fromLine;
    // A hidden window catches up when it is shown.
    if (isVisible() && !refresh_.isActive()) refresh_.start();
}

void TLineView::Refresh() {
    refresh_.stop();
    inRefresh_ = true;
    UpdateScrollBars();
    // The view follows the end, as a caret moved there would.
    verticalScrollBar()->setValue(verticalScrollBar()->maximum());
    inRefresh_ = false;
    UpdateShown(dropped_ + std::clamp(verticalScrollBar()->value(), 0, std::max(0, LineCount() - 1)));
}

void TLineView::UpdateShown(long long first) {
    // Drawing text is the dear part: lines that only moved up are moved as
    // pixels, when they moved by whole pixels.
    const long long delta = first - shownFirst_;
    qreal shift = 0;
    bool moved = shownFirst_ >= 0 && delta >= 0 && delta < static_cast<long long>(shownHeights_.size());
    for (long long i = 0; moved && i < delta; ++i) shift += shownHeights_[static_cast<std::size_t>(i)];
    moved = moved && shift == std::floor(shift) && shift < viewport()->height();
    if (!moved) {
        viewport()->update();
    } else {
        if (shift > 0) {
            viewport()->scroll(0, -static_cast<int>(shift));
            // The top margin now holds the foot of the line that went.
            viewport()->update(0, 0, viewport()->width(), static_cast<int>(std::ceil(kMargin)));
        }
        if (dirtyFrom_ >= 0) {
            qreal y = kMargin;
            for (long long a = first; a < dirtyFrom_ && a - dropped_ < LineCount(); ++a)
                y += lines_[static_cast<std::size_t>(a - dropped_)].height;
            // From a little above the line: glyphs may reach past its top.
            const int top = std::max(0, static_cast<int>(std::floor(y)) - 2);
            if (top < viewport()->height()) viewport()->update(0, top, viewport()->width(), viewport()->height() - top);
        }
    }
    shownFirst_ = first;
    shownHeights_.clear();
    qreal used = kMargin;
    for (long long i = first - dropped_; i < LineCount() && used < viewport()->height(); ++i) {
        const qreal h = lines_[static_cast<std::size_t>(i)].height;
        shownHeights_.push_back(h);
        used += h;
    }
    dirtyFrom_ = -1;
}

int TLineView::LastFirstLine() const {
    const qreal room = viewport()->height() - 2 * kMargin;
    qreal used = 0;
    for (int i = LineCount() - 1; i >= 0; --i) {
        used += lines_[static_cast<std::size_t>(i)].height;
        if (used > room) return std::min(i + 1, LineCount() - 1);
    }
    return 0;
}

void TLineView::UpdateScrollBars() {
    QScrollBar* v = verticalScrollBar();
    v->setRange(0, LastFirstLine());
    v->setPageStep(std::max(1, static_cast<int>(viewport()->height() / std::max<qreal>(1, lineHeight_))));
    QScrollBar* h = horizontalScrollBar();
    h->setRange(0, std::max(0, static_cast<int>(std::ceil(widest_ + 2 * kMargin)) - viewport()->width()));
    h->setPageStep(std::max(1, viewport()->width()));
}

void TLineView::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    Invalidate();
    Refresh();
}

void TLineView::showEvent(QShowEvent* event) {
    QAbstractScrollArea::showEvent(event);
    // A scroll-bar policy set while hidden (a page not shown) is only laid
    // out on request.
    QEvent layout(QEvent::LayoutRequest);
    QAbstractScrollArea::event(&layout);
    Invalidate();
    Refresh();
}

void TLineView::scrollContentsBy(int dx, int dy) {
    // A refresh moves the pixels itself; any other scrolling redraws all.
    if (inRefresh_ && dx == 0 && dy != 0) return;
    Invalidate();
    viewport()->update();
}

void TLineView::Evict(long long from, long long to) const {
    for (long long a = from; a < to; ++a) {
        const long long i = a - dropped_;
        if (i < 0 || i >= LineCount()) continue;
        for (const TRun& r : lines_[static_cast<std::size_t>(i)].runs) r.cache.reset();
    }
}

void TLineView::paintEvent(QPaintEvent* event) {
    QPainter p(viewport());
    p.fillRect(event->rect(), palette().color(QPalette::Base));
    const int first = std::clamp(verticalScrollBar()->value(), 0, std::max(0, LineCount() - 1));
    const qreal x0 = kMargin - horizontalScrollBar()->value();
    const qreal bottom = viewport()->height();
    int offset = selLength_ > 0 ? OffsetOfLine(first) : 0;
    const QColor highlight = palette().color(QPalette::Highlight);
    qreal y = kMargin;
    int last = first;
    const QRegion& area = event->region();
    const int width = viewport()->width();
    for (int i = first; i < LineCount() && y < bottom; ++i) {
        const TLine& line = lines_[static_cast<std::size_t>(i)];
        // A line wholly outside the area to draw is passed over; a pixel or
        // two of slack keeps glyphs that reach past their line.
        const int top = static_cast<int>(std::floor(y)) - 2;
        if (!area.intersects(QRect(0, top, width, static_cast<int>(std::ceil(line.height)) + 4))) {
            y += line.height;
            offset += line.length + 1;
            last = i + 1;
            continue;
        }
        qreal x = x0;
        int col = 0;
        for (const TRun& run : line.runs) {
            if (!run.cache) {
                run.cache = std::make_unique<TRunCache>();
                run.cache->text.setTextFormat(Qt::PlainText);
                run.cache->text.setText(run.text);
                run.cache->text.prepare(QTransform(), run.format->font);
                run.cache->advance = QFontMetricsF(run.format->font).horizontalAdvance(run.text);
            }
            const int len = static_cast<int>(run.text.size());
            const int a = std::max(selStart_, offset + col), b = std::min(selStart_ + selLength_, offset + col + len);
            if (selLength_ > 0 && a < b) {
                const QFontMetricsF fm(run.format->font);
                const qreal xa = x + fm.horizontalAdvance(run.text.left(a - offset - col));
                const qreal xb = x + fm.horizontalAdvance(run.text.left(b - offset - col));
                p.fillRect(QRectF(xa, y, xb - xa, line.height), highlight);
            }
            p.setFont(run.format->font);
            p.setPen(run.format->color);
            p.drawStaticText(QPointF(x, y + line.ascent - run.format->ascent), run.cache->text);
            x += run.cache->advance;
            col += len;
        }
        y += line.height;
        offset += line.length + 1;
        last = i + 1;
    }
    // Laid-out text is kept only for the lines in view.
    const long long from = dropped_ + first, to = dropped_ + last;
    Evict(cachedFrom_, std::min(cachedTo_, from));
    Evict(std::max(cachedFrom_, to), cachedTo_);
    cachedFrom_ = from;
    cachedTo_ = to;
}

QString TLineView::toPlainText() const {
    QString out;
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        for (const TRun& r : lines_[i].runs) out += r.text;
        if (i + 1 < lines_.size() || !open_) out += '\n';
    }
    return out;
}

TTextDocument TLineView::Document() const {
    TTextDocument doc;
    doc.background = ToColorRef(palette().color(QPalette::Base));
    for (const TLine& line : lines_) {
        TTextLine out;
        for (const TRun& r : line.runs)
            out.push_back(TTextRun{r.text.toStdString(), ToColorRef(r.format->color), r.format->fontName.toStdString(),
                                   r.format->font.pointSize(), r.format->font.bold()});
        doc.lines.push_back(std::move(out));
    }
    if (!lines_.empty() && !open_) doc.lines.emplace_back(); // the final line break
    return doc;
}

QString TLineView::LineText(int line) const {
    if (line < 0 || line >= LineCount()) return QString();
    QString s;
    for (const TRun& r : lines_[static_cast<std::size_t>(line)].runs) s += r.text;
    return s;
}

int TLineView::RunCount(int line) const {
    return line < 0 || line >= LineCount() ? 0 : static_cast<int>(lines_[static_cast<std::size_t>(line)].runs.size());
}

QColor TLineView::RunColor(int line, int run) const {
    return run >= 0 && run < RunCount(line)
               ? lines_[static_cast<std::size_t>(line)].runs[static_cast<std::size_t>(run)].format->color
               : QColor();
}

QFont TLineView::RunFont(int line, int run) const {
    return run >= 0 && run < RunCount(line)
               ? lines_[static_cast<std::size_t>(line)].runs[static_cast<std::size_t>(run)].format->font
               : QFont();
}

QString TLineView::RunFontName(int line, int run) const {
    return run >= 0 && run < RunCount(line)
               ? lines_[static_cast<std::size_t>(line)].runs[static_cast<std::size_t>(run)].format->fontName
               : QString();
}

int TLineView::OffsetOfLine(int line) const {
    int offset = 0;
    for (int i = 0; i < line && i < LineCount(); ++i) offset += lines_[static_cast<std::size_t>(i)].length + 1;
    return offset;
}

int TLineView::OffsetAt(const QPoint& pos) const {
    const int first = verticalScrollBar()->value();
    qreal y = kMargin;
    for (int i = first; i < LineCount(); ++i) {
        const TLine& line = lines_[static_cast<std::size_t>(i)];
        if (pos.y() < y + line.height) {
            qreal x = kMargin - horizontalScrollBar()->value();
            int col = 0;
            for (const TRun& run : line.runs) {
                const QFontMetricsF fm(run.format->font);
                for (const QChar c : run.text) {
                    const qreal w = fm.horizontalAdvance(c);
                    if (pos.x() < x + w / 2) return OffsetOfLine(i) + col;
                    x += w;
                    ++col;
                }
            }
            return OffsetOfLine(i) + col;
        }
        y += line.height;
    }
    return static_cast<int>(toPlainText().size());
}

void TLineView::SetSelection(int start, int length) {
    const int total = static_cast<int>(toPlainText().size());
    selStart_ = std::clamp(start, 0, total);
    selLength_ = std::clamp(length, 0, total - selStart_);
    viewport()->update();
}

QString TLineView::SelectedText() const { return toPlainText().mid(selStart_, selLength_); }

void TLineView::ShowOffset(int offset) {
    int line = 0;
    for (int at = 0; line + 1 < LineCount(); ++line) {
        at += lines_[static_cast<std::size_t>(line)].length + 1;
        if (at > offset) break;
    }
    UpdateScrollBars();
    QScrollBar* v = verticalScrollBar();
    const int first = v->value();
    const qreal room = viewport()->height() - 2 * kMargin;
    qreal used = 0;
    int end = first; // one past the last line wholly in view
    while (end < LineCount() && used + lines_[static_cast<std::size_t>(end)].height <= room)
        used += lines_[static_cast<std::size_t>(end++)].height;
    if (line < first || line >= std::max(end, first + 1)) v->setValue(std::min(line, v->maximum()));
}

int TLineView::WidthForLine(qreal advance) const {
    const int bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
    return static_cast<int>(std::ceil(advance + 2 * kMargin)) + 2 * frameWidth() + bar + 1;
}

void TLineView::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return QAbstractScrollArea::mousePressEvent(event);
    setFocus(Qt::MouseFocusReason);
    anchor_ = OffsetAt(event->position().toPoint());
    SetSelection(anchor_, 0);
}

void TLineView::mouseMoveEvent(QMouseEvent* event) {
    if (!(event->buttons() & Qt::LeftButton)) return QAbstractScrollArea::mouseMoveEvent(event);
    const int at = OffsetAt(event->position().toPoint());
    SetSelection(std::min(anchor_, at), std::abs(at - anchor_));
}

void TLineView::keyPressEvent(QKeyEvent* event) {
    if (event->matches(QKeySequence::Copy)) {
        if (selLength_ > 0) QApplication::clipboard()->setText(SelectedText());
        return;
    }
    if (event->matches(QKeySequence::SelectAll)) {
        SetSelection(0, static_cast<int>(toPlainText().size()));
        return;
    }
    QAbstractScrollArea::keyPressEvent(event);
}

} // namespace kelmira
