#include "CheckListBox.h"

namespace orvane {

TCheckListBox::TCheckListBox(const QStringList& items, bool ticked, QWidget* parent) : QListWidget(parent) {
    for (const QString& text : items) {
        auto* item = new QListWidgetItem(text, this);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
    }
    SetAll(ticked);
}

bool TCheckListBox::Checked(int index) const { return item(index)->checkState() == Qt::Checked; }

void TCheckListBox::SetChecked(int index, bool ticked) {
    item(index)->setCheckState(ticked ? Qt::Checked : Qt::Unchecked);
}

void TCheckListBox::SetAll(bool ticked) {
    for (int i = 0; i < count(); ++i) SetChecked(i, ticked);
}

} // namespace orvane
