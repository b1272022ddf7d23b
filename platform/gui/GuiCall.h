#pragma once
// The one way a worker thread reaches the GUI thread: queue a call there and
// wait until it has run, in a form that a stop can always cancel.
//
//  - Run(fn) on a worker posts fn to the GUI thread (the thread of the
//    QCoreApplication) and blocks until fn has returned (Done) or until the
//    channel is cancelled (Cancelled). An exception thrown by fn is caught on
//    the GUI thread (nothing reaches the Qt event loop) and rethrown by Run in
//    the waiting thread.
//  - Run(fn) on the GUI thread calls fn directly.
//  - Cancel() drops every call that has not started yet (it will never run),
//    makes every waiting Run return Cancelled at once, also one whose call is
//    running at that moment, and makes every later Run return Cancelled
//    without posting anything, until Reset().
//    On the GUI thread Cancel never waits, so it cannot deadlock with a
//    worker that waits for the GUI thread, and it may be called from inside a
//    running call (that call goes on to its end; its caller just no longer
//    waits for it). On any other thread Cancel also waits until a call of
//    this channel that is running on the GUI thread has returned, so after it
//    no call of this channel runs.
//  - With no QCoreApplication, or when the application goes away with calls
//    still queued, those calls count as cancelled.
//
// A stop sequence for an object with a worker thread, on the GUI thread:
// set the worker's own stop flag, Cancel(), join the worker. The GuiCall must
// outlive every Run that is in progress (destroy it after the join).
#include <functional>
#include <memory>

namespace orvane {

enum class GuiCallResult { Done, Cancelled };

class GuiCall {
public:
    GuiCall();
    ~GuiCall(); // cancels
    GuiCall(const GuiCall&) = delete;
    GuiCall& operator=(const GuiCall&) = delete;

    GuiCallResult Run(std::function<void()> fn);
    void Cancel();
    void Reset();
    bool IsCancelled() const;

    // Whether the calling thread is the GUI thread (false without an application).
    static bool OnGuiThread();

    struct Core;    // implementation: the channel's shared state
    struct Request; // implementation: one queued call

private:
    std::shared_ptr<Core> core_;
};

} // namespace orvane
