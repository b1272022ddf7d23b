#pragma once
// The component base and the persistent base whose changes reach their owner
// once per update bracket.
#include <QObject>

#include <functional>

namespace orvane {

// A component: no behaviour of its own. A QObject, so that what it refers to
// can tell it when it goes away.
class TScComponent : public QObject {
public:
    explicit TScComponent(QObject* owner = nullptr) : QObject(owner) {}
};

class TScPersistent {
public:
    using TChangeCallback = std::function<void(TScPersistent& sender)>;
    // Asked before a value is stored; it may refuse by raising.
    using TChangingCallback = std::function<void(TScPersistent& sender)>;
    virtual ~TScPersistent() = default;

    void BeginUpdate() { ++updateCount_; }
    void EndUpdate() {
        if (updateCount_ > 0) --updateCount_;
        Changed();
    }
    void SetOnChange(TChangeCallback cb) { onChange_ = std::move(cb); }
    void SetOnChanging(TChangingCallback cb) { onChanging_ = std::move(cb); }
    int UpdateCount() const { return updateCount_; }

protected:
    // Told to the owner only outside an update bracket.
    void Changed() {
        if (updateCount_ == 0 && onChange_) onChange_(*this);
    }
    // Stores a changed value and reports it.
    template <class T>
    void Store(T& field, const T& value) {
        if (field == value) return;
        if (onChanging_) onChanging_(*this);
        field = value;
        Changed();
    }

private:
    int updateCount_ = 0;
    TChangeCallback onChange_;
    TChangingCallback onChanging_;
};

} // namespace orvane
