#include "RadioGroup.h"

#include <QButtonGroup>
#include <QRadioButton>
#include <QVBoxLayout>

namespace orvane {

TRadioGroup::TRadioGroup(const QString& caption, const QStringList& items, int itemIndex, QWidget* parent)
    : QGroupBox(caption, parent), group_(new QButtonGroup(this)) {
    auto* layout = new QVBoxLayout(this);
    for (int i = 0; i < items.size(); ++i) {
        auto* b = new QRadioButton(items[i], this);
        group_->addButton(b, i);
        layout->addWidget(b);
        buttons_.push_back(b);
    }
    SetItemIndex(itemIndex);
    connect(group_, &QButtonGroup::idClicked, this, &TRadioGroup::Click);
}

int TRadioGroup::ItemIndex() const { return group_->checkedId(); }

void TRadioGroup::SetItemIndex(int index) {
    if (index >= 0 && index < Count()) {
        buttons_[static_cast<size_t>(index)]->setChecked(true);
        return;
    }
    // A button group never unchecks its last button by itself.
    group_->setExclusive(false);
    for (auto* b : buttons_) b->setChecked(false);
    group_->setExclusive(true);
}

} // namespace orvane
