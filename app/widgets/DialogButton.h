#pragma once
// The coloured bitmap buttons the options and source dialogs close with:
// one face colour, a two-cell glyph, a black 8-point font, and the dialog's
// result: the OK kind (result 1, QDialog::Accepted) is the default button,
// the Cancel kind (result 2, anything but accepted) answers Escape.
#include "ColorBitBtn.h"
#include "Named.h"

namespace orvane {

inline controls::TColorBitBtn* DialogButton(const char* name, const QString& caption,
                                            controls::TColorBitBtnKind glyph, bool ok, QWidget* parent) {
    auto* b = Named<controls::TColorBitBtn>(name, parent);
    b->setText(caption);
    b->SetGlyph(controls::TColorBitBtn::KindGlyph(glyph));
    b->SetNumGlyphs(2);
    b->SetColor(14278368);
    b->SetFontColor(clBlack);
    QFont f = b->font();
    f.setFamily("MS Sans Serif");
    f.setPointSize(8);
    b->setFont(f);
    b->SetModalResult(ok ? 1 : 2);
    if (ok) b->SetDefault(true);
    else b->SetCancel(true);
    return b;
}

} // namespace orvane
