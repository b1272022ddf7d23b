#pragma once
// A push button with a glyph and a caption whose face takes its own Color,
// so a dialog can give its buttons a face other than the system's; with the
// glyph classes that cut, recolour and cache the glyph's cells.
#include "Gdi.h"

#include <QImage>
#include <QPushButton>
#include <QString>

#include <array>
#include <functional>
#include <memory>
#include <vector>

class QShortcut;

namespace orvane {
class TCanvas;
struct TRect;
}

namespace orvane::controls {

enum TColorBitBtnKind { bkCustom, bkOK, bkCancel, bkHelp, bkYes, bkNo, bkClose, bkAbort, bkRetry, bkIgnore, bkAll };
enum TButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };
enum TButtonStyle { bsAutoDetect, bsWin31, bsNew };
// The states a glyph has a cell for.
enum TButtonState { bsUp = 0, bsDisabled = 1, bsDown = 2, bsExclusive = 3 };

// An image list whose slots are taken and given back one by one.
class TGlyphList {
public:
    TGlyphList(int width, int height) : width_(width), height_(height) {}
    int Width() const { return width_; }
    int Height() const { return height_; }
    int Add(const QImage& image);
    // The transparent colour's pixels are left out when drawn.
    int AddMasked(const QImage& image, TColor transparent);
    void Delete(int index);
    int Count() const { return count_; }
    const QImage& Image(int index) const { return images_.at(static_cast<size_t>(index)); }

private:
    int Allocate();

    int width_, height_;
    std::vector<QImage> images_;
    std::vector<bool> used_;
    int count_ = 0;
};

// The one pool of glyph lists of the process, a list per cell size.
class TGlyphCache {
public:
    TGlyphList* GetList(int width, int height);
    // Frees the list once none of its slots is in use.
    void ReturnList(TGlyphList* list);
    bool Empty() const { return lists_.empty(); }
    int ListCount() const { return static_cast<int>(lists_.size()); }

    // Null while no glyph object needs it.
    static TGlyphCache* Instance();

private:
    std::vector<std::unique_ptr<TGlyphList>> lists_;
};

class TButtonGlyph {
public:
    TButtonGlyph();
    ~TButtonGlyph();
    TButtonGlyph(const TButtonGlyph&) = delete;
    TButtonGlyph& operator=(const TButtonGlyph&) = delete;

    const QImage& Glyph() const { return original_; }
    void SetGlyph(const QImage& glyph);
    int NumGlyphs() const { return numGlyphs_; }
    void SetNumGlyphs(int count);
    TColor TransparentColor() const { return transparentColor_; }
    // Drops every cached cell image; they are rebuilt at the next draw.
    void Invalidate();
    // The glyph list slot of the state's image on BackColor, built when
    // missing; -1 without a glyph.
    int CreateButtonGlyph(TButtonState state, TColor backColor);
    const TGlyphList* List() const { return list_; }

    // Glyph and caption laid out in client; textBounds receives where the
    // caption went.
    void Draw(TCanvas& canvas, const TRect& client, TRect& textBounds, TColor backColor, TButtonState state,
              int spacing, int margin, TButtonLayout layout, const QString& caption, TColor fontColor);

    std::function<void()> OnChange;

private:
    QImage original_;
    TGlyphList* list_ = nullptr;
    std::array<int, 4> indexes_{-1, -1, -1, -1};
    TColor transparentColor_ = clOlive;
    int numGlyphs_ = 1;
};

class TColorBitBtn : public QPushButton {
    Q_OBJECT
public:
    explicit TColorBitBtn(QWidget* parent = nullptr);
    ~TColorBitBtn() override;

    TColor Color() const { return color_; }
    void SetColor(TColor color);
    const QImage& Glyph() const { return glyph_.Glyph(); }
    void SetGlyph(const QImage& glyph);
    // Reads as bkCustom once Default, Cancel, ModalResult or the glyph no
    // longer match the kind.
    TColorBitBtnKind Kind();
    void SetKind(TColorBitBtnKind kind);
    TButtonLayout Layout() const { return layout_; }
    void SetLayout(TButtonLayout layout);
    int Margin() const { return margin_; }
    void SetMargin(int margin);
    int NumGlyphs() const { return glyph_.NumGlyphs(); }
    void SetNumGlyphs(int count);
    TButtonStyle Style() const { return style_; }
    void SetStyle(TButtonStyle style);
    int Spacing() const { return spacing_; }
    void SetSpacing(int spacing);
    TColor FontColor() const { return fontColor_; }
    void SetFontColor(TColor color);

    // The framework's Default, kept apart from the dialog's moving default.
    bool Default() const { return default_; }
    void SetDefault(bool on);
    // The framework's Cancel: Escape in the button's window clicks it.
    bool Cancel() const { return cancel_; }
    void SetCancel(bool on);
    // Closes the button's dialog with this result when clicked (0: stays).
    int ModalResult() const { return modalResult_; }
    void SetModalResult(int result) { modalResult_ = result; }

    const TButtonGlyph& GlyphObject() const { return glyph_; }
    static QString StandardCaption(TColorBitBtnKind kind);
    static QImage KindGlyph(TColorBitBtnKind kind);

    // The button as it paints.
    QImage Render();

    // Room for the frame (default ring, raised edge, face border and the
    // focus rectangle inside them), the glyph cell and the caption in the
    // button's font, and the one-pixel shift of a press.
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }
    // Pixels of frame on each side that nothing drawn inside may cover.
    static constexpr int kFrameWidth = 5;

signals:
    void OnClick();
    void OnEnter();
    void OnExit();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void Clicked();

    TColor color_ = clBtnFace;
    TColorBitBtnKind kind_ = bkCustom;
    TButtonLayout layout_ = blGlyphLeft;
    int margin_ = -1;
    TButtonStyle style_ = bsAutoDetect;
    int spacing_ = 4;
    TColor fontColor_ = clWindowText;
    bool default_ = false;
    bool cancel_ = false;
    int modalResult_ = 0;
    bool userGlyph_ = false;
    TButtonGlyph glyph_;
    QShortcut* escape_ = nullptr;
};

} // namespace orvane::controls
