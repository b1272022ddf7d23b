#pragma once
// A spin edit that may be left empty: leaving it reports the empty text
// before the box falls back to its last value, so a form can refill it.
#include <QSpinBox>

namespace orvane {

class TSpinEdit : public QSpinBox {
    Q_OBJECT
public:
    TSpinEdit(int minValue, int maxValue, int value, QWidget* parent = nullptr);
    bool TextEmpty() const;

signals:
    // The focus left the edit (OnExit); the text is still what the user left.
    void Exit(TSpinEdit* edit);

protected:
    void focusOutEvent(QFocusEvent* e) override;
};

} // namespace orvane
