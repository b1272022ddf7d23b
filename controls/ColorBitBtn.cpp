#include "ColorBitBtn.h"

#include "Canvas.h"
#include "Change.h"

#include <QDialog>
#include <QMouseEvent>
#include <QPainter>
#include <QShortcut>
#include <QStyleOptionButton>

#include <algorithm>

static void InitGlyphResources() { Q_INIT_RESOURCE(glyphs); }

namespace orvane::controls {

namespace {

TGlyphCache* glyphCache = nullptr;

// The bottom-left pixel, the colour a bitmap in automatic transparent mode
// leaves out.
TColor BottomLeft(const QImage& image) { return FromQColor(image.pixelColor(0, image.height() - 1)); }

QRgb Opaque(TColor color) { return ToQColor(color).rgb(); }

struct KindRow {
    const char* resource;
    const char* caption;
    int modalResult;
    bool isDefault, isCancel;
};

constexpr KindRow kKinds[] = {
    {nullptr, "", 0, false, false},
    {"GLYPH_OK", "OK", 1, true, false},
    {"GLYPH_CANCEL", "Cancel", 2, false, true},
    {"GLYPH_HELP", "&Help", 0, false, false},
    {"GLYPH_YES", "&Yes", 6, true, false},
    {"GLYPH_NO", "&No", 7, false, true},
    {"GLYPH_CLOSE", "&Close", 0, false, false},
    {"GLYPH_ABORT", "Abort", 3, false, false},
    {"GLYPH_RETRY", "&Retry", 4, false, false},
    {"GLYPH_IGNORE", "&Ignore", 5, false, false},
    {"GLYPH_ALL", "&All", 8, false, false},
};

} // namespace

// --- TGlyphList ---

int TGlyphList::Allocate() {
    auto free = std::find(used_.begin(), used_.end(), false);
    const int index = static_cast<int>(free - used_.begin());
    if (free == used_.end()) {
        images_.emplace_back();
        used_.push_back(false);
    }
    used_[static_cast<size_t>(index)] = true;
    ++count_;
    return index;
}

int TGlyphList::Add(const QImage& image) {
    const int index = Allocate();
    images_[static_cast<size_t>(index)] = image.convertToFormat(QImage::Format_ARGB32);
    return index;
}

int TGlyphList::AddMasked(const QImage& image, TColor transparent) {
    QImage masked = image.convertToFormat(QImage::Format_ARGB32);
    const QRgb key = Opaque(transparent) & 0xFFFFFF;
    for (int y = 0; y < masked.height(); ++y)
        for (int x = 0; x < masked.width(); ++x)
            if ((masked.pixel(x, y) & 0xFFFFFF) == key) masked.setPixel(x, y, 0);
    const int index = Allocate();
    images_[static_cast<size_t>(index)] = masked;
    return index;
}

void TGlyphList::Delete(int index) {
    if (index < 0 || index >= static_cast<int>(used_.size()) || !used_[static_cast<size_t>(index)]) return;
    used_[static_cast<size_t>(index)] = false;
    --count_;
}

// --- TGlyphCache ---

TGlyphList* TGlyphCache::GetList(int width, int height) {
    for (auto it = lists_.rbegin(); it != lists_.rend(); ++it)
        if ((*it)->Width() == width && (*it)->Height() == height) return it->get();
    lists_.push_back(std::make_unique<TGlyphList>(width, height));
    return lists_.back().get();
}

void TGlyphCache::ReturnList(TGlyphList* list) {
    if (!list || list->Count() != 0) return;
    std::erase_if(lists_, [list](const auto& l) { return l.get() == list; });
}

TGlyphCache* TGlyphCache::Instance() { return glyphCache; }

// --- TButtonGlyph ---

TButtonGlyph::TButtonGlyph() {
    if (!glyphCache) glyphCache = new TGlyphCache;
}

TButtonGlyph::~TButtonGlyph() {
    Invalidate();
    if (glyphCache && glyphCache->Empty()) {
        delete glyphCache;
        glyphCache = nullptr;
    }
}

void TButtonGlyph::Invalidate() {
    for (int& index : indexes_) {
        if (index != -1 && list_) list_->Delete(index);
        index = -1;
    }
    if (list_ && glyphCache) glyphCache->ReturnList(list_);
    list_ = nullptr;
}

void TButtonGlyph::SetGlyph(const QImage& glyph) {
    Invalidate();
    original_ = glyph;
    if (!glyph.isNull() && glyph.height() > 0) {
        transparentColor_ = BottomLeft(glyph);
        if (glyph.width() % glyph.height() == 0) {
            const int cells = glyph.width() / glyph.height();
            numGlyphs_ = cells >= 1 && cells <= 4 ? cells : 1;
        }
    }
    if (OnChange) OnChange();
}

void TButtonGlyph::SetNumGlyphs(int count) {
    if (count <= 0 || count == numGlyphs_) return;
    Invalidate();
    numGlyphs_ = count;
    if (OnChange) OnChange();
}

int TButtonGlyph::CreateButtonGlyph(TButtonState state, TColor backColor) {
    if (state == bsDown && numGlyphs_ < 3) state = bsUp;
    if (indexes_[state] != -1) return indexes_[state];
    const int cw = original_.width() / numGlyphs_, ch = original_.height();
    if (original_.isNull() || cw <= 0 || ch <= 0) return -1;
    if (!list_) {
        if (!glyphCache) glyphCache = new TGlyphCache;
        list_ = glyphCache->GetList(cw, ch);
    }
    const int cell = state < numGlyphs_ ? state : 0;
    const QImage source = original_.copy(cell * cw, 0, cw, ch).convertToFormat(QImage::Format_RGB32);
    const QRgb key = Opaque(transparentColor_) & 0xFFFFFF, back = Opaque(backColor);
    QImage work(cw, ch, QImage::Format_RGB32);
    work.fill(back);
    int index;
    switch (state) {
    case bsExclusive:
        index = list_->AddMasked(source, transparentColor_);
        break;
    case bsDisabled:
        if (numGlyphs_ == 1) {
            // The glyph's dark shape embossed: highlight one pixel down-right,
            // shadow on top.
            auto dark = [&](int x, int y) {
                const QRgb p = source.pixel(x, y) & 0xFFFFFF;
                return p != key && p != 0xFFFFFF;
            };
            for (const auto& [dx, color] : {std::pair{1, clBtnHighlight}, std::pair{0, clBtnShadow}})
                for (int y = 0; y < ch; ++y)
                    for (int x = 0; x < cw; ++x)
                        if (dark(x, y) && x + dx < cw && y + dx < ch) work.setPixel(x + dx, y + dx, Opaque(color));
        } else {
            for (int y = 0; y < ch; ++y)
                for (int x = 0; x < cw; ++x) {
                    const QRgb p = source.pixel(x, y) & 0xFFFFFF;
                    QRgb out = source.pixel(x, y);
                    if (p == 0xFFFFFF) out = Opaque(clBtnHighlight);
                    else if (p == 0x808080) out = Opaque(clBtnShadow);
                    else if (p == key) out = back;
                    work.setPixel(x, y, out);
                }
        }
        index = list_->Add(work);
        break;
    default:
        for (int y = 0; y < ch; ++y)
            for (int x = 0; x < cw; ++x) {
                const QRgb p = source.pixel(x, y);
                work.setPixel(x, y, (p & 0xFFFFFF) == key ? back : p);
            }
        index = list_->Add(work);
        break;
    }
    indexes_[state] = index;
    return index;
}

void TButtonGlyph::Draw(TCanvas& canvas, const TRect& client, TRect& textBounds, TColor backColor,
                        TButtonState state, int spacing, int margin, TButtonLayout layout, const QString& caption,
                        TColor fontColor) {
    const int cw = client.Width(), ch = client.Height();
    const bool hasGlyph = !original_.isNull() && original_.width() / numGlyphs_ > 0 && original_.height() > 0;
    const int gw = hasGlyph ? original_.width() / numGlyphs_ : 0, gh = hasGlyph ? original_.height() : 0;
    int tw = 0, th = 0;
    if (!caption.isEmpty()) {
        TRect r{0, 0, cw, 0};
        canvas.DrawText(caption, r, DT_CALCRECT | DT_SINGLELINE);
        tw = r.Width();
        th = r.Height();
    }
    // Placed along the layout's axis, centred across it.
    int gx = 0, gy = 0, tx = 0, ty = 0;
    const bool across = layout == blGlyphLeft || layout == blGlyphRight;
    int& gAlong = across ? gx : gy;
    int& tAlong = across ? tx : ty;
    int& gCross = across ? gy : gx;
    int& tCross = across ? ty : tx;
    const int c = across ? cw : ch, g = across ? gw : gh, t = across ? tw : th;
    const int cc = across ? ch : cw, gc = across ? gh : gw, tc = across ? th : tw;
    gCross = (cc - gc + 1) / 2;
    tCross = (cc - tc + 1) / 2;
    if (tw == 0 || gw == 0) spacing = 0;
    if (margin == -1) {
        if (spacing == -1) {
            margin = (c - (g + t)) / 3;
            spacing = margin;
        } else {
            margin = (c - (g + spacing + t) + 1) / 2;
        }
    } else if (spacing == -1) {
        spacing = (c - (margin + g) - t) / 2;
    }
    if (layout == blGlyphLeft || layout == blGlyphTop) {
        gAlong = margin;
        tAlong = margin + g + spacing;
    } else {
        gAlong = c - margin - g;
        tAlong = gAlong - spacing - t;
    }
    gx += client.Left;
    gy += client.Top;
    tx += client.Left;
    ty += client.Top;
    textBounds = {tx, ty, tx + tw, ty + th};

    if (hasGlyph) {
        const int index = CreateButtonGlyph(state, backColor);
        if (index >= 0) canvas.Draw(gx, gy, list_->Image(index));
    }

    canvas.BrushStyle = TBrushStyle::bsClear;
    if (state == bsDisabled) {
        TRect r = textBounds;
        r.Offset(1, 1);
        canvas.FontColor = clWhite;
        canvas.DrawText(caption, r, DT_LEFT | DT_SINGLELINE);
        r = textBounds;
        canvas.FontColor = clGray;
        canvas.DrawText(caption, r, DT_LEFT | DT_SINGLELINE);
    } else {
        TRect r = textBounds;
        canvas.FontColor = fontColor;
        canvas.DrawText(caption, r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    }
}

// --- TColorBitBtn ---

TColorBitBtn::TColorBitBtn(QWidget* parent) : QPushButton(parent) {
    glyph_.OnChange = [this] { update(); };
    connect(this, &QPushButton::clicked, this, &TColorBitBtn::Clicked);
}

TColorBitBtn::~TColorBitBtn() = default;

QString TColorBitBtn::StandardCaption(TColorBitBtnKind kind) { return QString::fromLatin1(kKinds[kind].caption); }

QImage TColorBitBtn::KindGlyph(TColorBitBtnKind kind) {
    static std::array<QImage, 11> loaded;
    if (kind == bkCustom) return {};
    if (loaded[kind].isNull()) {
        InitGlyphResources();
        loaded[kind].load(QStringLiteral(":/glyphs/%1.png").arg(QLatin1String(kKinds[kind].resource)));
    }
    return loaded[kind];
}

void TColorBitBtn::SetColor(TColor color) {
    if (color == color_) return;
    color_ = color;
    // The cached cells carry the old face as their background.
    glyph_.SetGlyph(glyph_.Glyph());
    userGlyph_ = true;
    update();
}

void TColorBitBtn::SetGlyph(const QImage& glyph) {
    glyph_.SetGlyph(glyph);
    userGlyph_ = true;
    updateGeometry();
    update();
}

QSize TColorBitBtn::sizeHint() const {
    const QImage& glyph = glyph_.Glyph();
    const int gw = glyph.isNull() ? 0 : glyph.width() / std::max(1, glyph_.NumGlyphs());
    const int gh = glyph.isNull() ? 0 : glyph.height();
    const QFontMetrics fm(font());
    const QString caption = text();
    const int tw = caption.isEmpty() ? 0 : fm.horizontalAdvance(caption);
    const int th = caption.isEmpty() ? 0 : fm.height();
    const int spacing = gw > 0 && tw > 0 ? std::max(0, spacing_) : 0;
    // Left and right of the content: a given margin, else a character's
    // width, so the caption never touches the focus rectangle.
    const int pad = margin_ >= 0 ? margin_ : fm.averageCharWidth();
    const bool across = layout_ == blGlyphLeft || layout_ == blGlyphRight;
    const int w = across ? gw + spacing + tw : std::max(gw, tw);
    const int h = across ? std::max(gh, th) : gh + spacing + th;
    // Two more rows: the press shift, and the centring that rounds down.
    const QSize needed(w + 2 * (kFrameWidth + pad) + 2, h + 2 * kFrameWidth + 2);
    return needed.expandedTo(QPushButton::sizeHint());
}

TColorBitBtnKind TColorBitBtn::Kind() {
    if (kind_ != bkCustom) {
        const KindRow& k = kKinds[kind_];
        if (default_ != k.isDefault || cancel_ != k.isCancel || modalResult_ != k.modalResult || userGlyph_)
            kind_ = bkCustom;
    }
    return kind_;
}

void TColorBitBtn::SetKind(TColorBitBtnKind kind) {
    if (kind == kind_) return;
    if (kind != bkCustom) {
        const KindRow& k = kKinds[kind];
        SetDefault(k.isDefault);
        SetCancel(k.isCancel);
        setText(StandardCaption(kind));
        modalResult_ = k.modalResult;
        glyph_.SetGlyph(KindGlyph(kind));
        glyph_.SetNumGlyphs(2);
        userGlyph_ = false;
        updateGeometry();
    }
    kind_ = kind;
    update();
}

void TColorBitBtn::SetLayout(TButtonLayout layout) {
    if (!Change(layout_, layout)) return;
    updateGeometry();
    update();
}

void TColorBitBtn::SetMargin(int margin) {
    if (margin < -1 || !Change(margin_, margin)) return;
    updateGeometry();
    update();
}

void TColorBitBtn::SetNumGlyphs(int count) {
    count = std::min(count, 4);
    if (count == glyph_.NumGlyphs()) return;
    glyph_.SetNumGlyphs(count);
    updateGeometry();
    update();
}

void TColorBitBtn::SetStyle(TButtonStyle style) {
    if (Change(style_, style)) update();
}

void TColorBitBtn::SetSpacing(int spacing) {
    if (!Change(spacing_, spacing)) return;
    updateGeometry();
    update();
}

void TColorBitBtn::SetFontColor(TColor color) {
    if (Change(fontColor_, color)) update();
}

void TColorBitBtn::SetDefault(bool on) {
    default_ = on;
    setDefault(on);
}

void TColorBitBtn::SetCancel(bool on) {
    cancel_ = on;
    if (on && !escape_) {
        escape_ = new QShortcut(QKeySequence(Qt::Key_Escape), this);
        escape_->setContext(Qt::WindowShortcut);
        connect(escape_, &QShortcut::activated, this, [this] {
            if (isEnabled() && isVisible()) click();
        });
    }
    if (escape_) escape_->setEnabled(on);
}

void TColorBitBtn::Clicked() {
    if (Kind() == bkClose && window() != this) {
        window()->close();
        return;
    }
    // The form takes the modal result first, as the framework's click does.
    if (modalResult_ != 0)
        if (auto* dialog = qobject_cast<QDialog*>(window())) dialog->done(modalResult_);
    emit OnClick();
}

QImage TColorBitBtn::Render() {
    const int w = std::max(width(), 1), h = std::max(height(), 1);
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(ToQColor(color_));
    TCanvas c(image);
    const bool down = isDown(), enabled = isEnabled(), activeDefault = isDefault();
    const TButtonState state = !enabled ? bsDisabled : down ? bsDown : bsUp;
    const TRect client{0, 0, w, h};
    TRect r = client;
    if (activeDefault || hasFocus()) {
        c.PenColor = clWindowFrame;
        c.BrushStyle = TBrushStyle::bsClear;
        c.Rectangle(r);
        r.Inflate(-1, -1);
    }
    c.BrushStyle = TBrushStyle::bsSolid;
    c.BrushColor = color_;
    if (!down) {
        c.DrawEdgeRaised(r);
        c.PenColor = color_;
    } else {
        c.PenColor = clBtnShadow;
    }
    c.Rectangle(r);
    r.Inflate(-1, -1);
    if (activeDefault) {
        r = client;
        r.Inflate(-1, -1);
    }
    c.Font = font();
    if (down) r.Offset(1, 1);
    TRect textBounds;
    glyph_.Draw(c, r, textBounds, color_, state, spacing_, margin_, layout_, text(), fontColor_);
    if (activeDefault) {
        TRect focus = client;
        focus.Inflate(-4, -4);
        c.DrawFocusRect(focus);
    }
    return image;
}

void TColorBitBtn::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.drawImage(0, 0, Render());
}

// A second press rather than a double click, so a quick pair clicks twice.
void TColorBitBtn::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) mousePressEvent(event);
    else QPushButton::mouseDoubleClickEvent(event);
}

void TColorBitBtn::focusInEvent(QFocusEvent* event) {
    QPushButton::focusInEvent(event);
    emit OnEnter();
}

void TColorBitBtn::focusOutEvent(QFocusEvent* event) {
    QPushButton::focusOutEvent(event);
    emit OnExit();
}

void TColorBitBtn::changeEvent(QEvent* event) {
    QPushButton::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::EnabledChange) update();
}

} // namespace orvane::controls
