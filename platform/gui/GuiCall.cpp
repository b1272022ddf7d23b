#include "GuiCall.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QThread>

#include <algorithm>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <utility>
#include <vector>

namespace orvane {

// One lock and one condition guard the channel and all of its requests.
struct GuiCall::Core {
    std::mutex m;
    std::condition_variable cv;
    bool cancelled = false;
    int running = 0;                                // calls running on the GUI thread
    std::vector<std::shared_ptr<Request>> waiting;  // requests whose caller still waits
};

struct GuiCall::Request {
    enum class State { Pending, Running, Done, Cancelled };
    explicit Request(std::function<void()> f) : fn(std::move(f)) {}
    std::function<void()> fn;
    State state = State::Pending;
    std::exception_ptr error;
};

namespace {

using Core = GuiCall::Core;
using Request = GuiCall::Request;
using State = Request::State;

// Dropped together with the last copy of the queued functor. When that
// happens before the call started (the application discarded the queued
// event), the waiting caller is told the call was cancelled.
struct DropGuard {
    DropGuard(std::shared_ptr<Core> c, std::shared_ptr<Request> r) : core(std::move(c)), req(std::move(r)) {}
    DropGuard(const DropGuard&) = delete;
    DropGuard& operator=(const DropGuard&) = delete;
    std::shared_ptr<Core> core;
    std::shared_ptr<Request> req;
    ~DropGuard() {
        std::lock_guard lk(core->m);
        if (req->state == State::Pending) {
            req->state = State::Cancelled;
            core->cv.notify_all();
        }
    }
};

// Runs on the GUI thread: the queued part of a request.
void Deliver(const std::shared_ptr<Core>& core, const std::shared_ptr<Request>& req) {
    {
        std::lock_guard lk(core->m);
        if (req->state != State::Pending) return; // cancelled before it started
        req->state = State::Running;
        ++core->running;
    }
    std::exception_ptr error;
    try {
        req->fn();
    } catch (...) {
        error = std::current_exception();
    }
    std::lock_guard lk(core->m);
    --core->running;
    if (req->state == State::Running) {
        req->state = State::Done;
        req->error = std::move(error); // the waiting thread alone holds the exception now
    }
    req->fn = nullptr; // release what the call holds while still on the GUI thread
    core->cv.notify_all();
}

} // namespace

GuiCall::GuiCall() : core_(std::make_shared<Core>()) {}

GuiCall::~GuiCall() { Cancel(); }

bool GuiCall::OnGuiThread() {
    const QCoreApplication* app = QCoreApplication::instance();
    return app && QThread::currentThread() == app->thread();
}

GuiCallResult GuiCall::Run(std::function<void()> fn) {
    const std::shared_ptr<Core> core = core_; // the caller may be released before we return
    if (OnGuiThread()) {
        {
            std::lock_guard lk(core->m);
            if (core->cancelled) return GuiCallResult::Cancelled;
            ++core->running;
        }
        struct Done {
            Core& c;
            ~Done() {
                std::lock_guard lk(c.m);
                --c.running;
                c.cv.notify_all();
            }
        } done{*core};
        fn();
        return GuiCallResult::Done;
    }

    QCoreApplication* app = QCoreApplication::instance();
    if (!app) return GuiCallResult::Cancelled;
    auto req = std::make_shared<Request>(std::move(fn));
    {
        std::lock_guard lk(core->m);
        if (core->cancelled) return GuiCallResult::Cancelled;
        core->waiting.push_back(req);
    }
    auto guard = std::make_shared<DropGuard>(core, req);
    const bool posted = QMetaObject::invokeMethod(
        app, [guard] { Deliver(guard->core, guard->req); }, Qt::QueuedConnection);
    guard.reset(); // from here the queued functor alone keeps the guard

    std::unique_lock lk(core->m);
    if (!posted && req->state == State::Pending) req->state = State::Cancelled;
    core->cv.wait(lk, [&] { return req->state == State::Done || req->state == State::Cancelled; });
    auto& w = core->waiting;
    w.erase(std::remove(w.begin(), w.end(), req), w.end());
    if (req->state == State::Cancelled) return GuiCallResult::Cancelled;
    if (std::exception_ptr error = std::exchange(req->error, nullptr)) {
        lk.unlock();
        std::rethrow_exception(error);
    }
    return GuiCallResult::Done;
}

void GuiCall::Cancel() {
    std::unique_lock lk(core_->m);
    core_->cancelled = true;
    for (const auto& req : core_->waiting)
        if (req->state == State::Pending || req->state == State::Running) req->state = State::Cancelled;
    core_->cv.notify_all();
    if (!OnGuiThread()) core_->cv.wait(lk, [&] { return core_->running == 0; });
}

void GuiCall::Reset() {
    std::lock_guard lk(core_->m);
    core_->cancelled = false;
}

bool GuiCall::IsCancelled() const {
    std::lock_guard lk(core_->m);
    return core_->cancelled;
}

} // namespace orvane
