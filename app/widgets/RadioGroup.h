#pragma once
// A captioned group of radio buttons with one item index, as the dialogs
// store their choices.
#include <QGroupBox>

#include <vector>

class QButtonGroup;
class QRadioButton;

namespace orvane {

class TRadioGroup : public QGroupBox {
    Q_OBJECT
public:
    TRadioGroup(const QString& caption, const QStringList& items, int itemIndex, QWidget* parent = nullptr);
    int ItemIndex() const;
    // An index outside the items selects none.
    void SetItemIndex(int index);
    QRadioButton* Item(int index) const { return buttons_.at(static_cast<size_t>(index)); }
    int Count() const { return static_cast<int>(buttons_.size()); }

signals:
    void Click(int index); // the user picked an item

private:
    QButtonGroup* group_;
    std::vector<QRadioButton*> buttons_;
};

} // namespace orvane
