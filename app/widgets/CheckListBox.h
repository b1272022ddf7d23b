#pragma once
// A list whose items each carry a tick.
#include <QListWidget>

namespace orvane {

class TCheckListBox : public QListWidget {
    Q_OBJECT
public:
    TCheckListBox(const QStringList& items, bool ticked, QWidget* parent = nullptr);
    bool Checked(int index) const;
    void SetChecked(int index, bool ticked);
    void SetAll(bool ticked);
};

} // namespace orvane
