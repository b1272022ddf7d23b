#pragma once
// Events and critical sections on POSIX: an event is an eventfd, so threads
// can wait for it together with a port in one poll.
#include <mutex>

namespace orvane {

enum TScWaitResult { wrSignaled = 0, wrTimeout = 1, wrAbandoned = 2, wrError = 3 };

// A handle that is closed with the object; a failed wait keeps its error code.
class TScHandleObject {
public:
    TScHandleObject() = default;
    virtual ~TScHandleObject();
    TScHandleObject(const TScHandleObject&) = delete;
    TScHandleObject& operator=(const TScHandleObject&) = delete;

    int Handle() const { return handle_; }
    int LastError() const { return lastError_; }
    // Waits until the handle is readable; ms < 0 waits without limit.
    TScWaitResult WaitFor(int ms);
    // Closes the handle early (later waits fail).
    void CloseHandle();

protected:
    int handle_ = -1;
    int lastError_ = 0;
};

// A manual-reset event: stays signalled until reset.
class TScEvent : public TScHandleObject {
public:
    TScEvent();
    void SetEvent();
    void ResetEvent();
};

// The event the component and its threads wait for: unnamed, manual reset,
// not signalled.
class TScWaitEvent : public TScEvent {};

// A recursive lock, as a critical section is.
class TScCriticalSection {
public:
    void Enter() { m_.lock(); }
    void Leave() { m_.unlock(); }
    // BasicLockable, for guards and condition variables.
    void lock() { m_.lock(); }
    void unlock() { m_.unlock(); }

private:
    std::recursive_mutex m_;
};

} // namespace orvane
