#include "SpinEdit.h"

#include <QLineEdit>

namespace orvane {

TSpinEdit::TSpinEdit(int minValue, int maxValue, int value, QWidget* parent) : QSpinBox(parent) {
    setRange(minValue, maxValue);
    setValue(value);
}

bool TSpinEdit::TextEmpty() const { return lineEdit()->text().trimmed().isEmpty(); }

void TSpinEdit::focusOutEvent(QFocusEvent* e) {
    emit Exit(this);
    QSpinBox::focusOutEvent(e);
}

} // namespace orvane
