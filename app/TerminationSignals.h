#pragma once
// SIGTERM and SIGINT, turned into a byte on a socket pair that the event loop
// watches, so a desktop session's "please close" runs the ordinary close.
// One instance at a time; it puts the previous handlers back when it goes.
#include <csignal>

namespace orvane {

class TerminationSignals {
public:
    TerminationSignals();
    ~TerminationSignals();
    TerminationSignals(const TerminationSignals&) = delete;
    TerminationSignals& operator=(const TerminationSignals&) = delete;

    // False when no socket pair could be made: the signals keep their defaults.
    bool Caught() const { return caught_; }
    // Readable once a signal came; -1 when not caught.
    int ReadFd() const;
    // Reads every byte waiting; true when at least one signal came.
    bool Drain();
    // The end the handler writes to; for tests.
    int WriteFd() const;

private:
    bool caught_ = false;
    struct sigaction oldTerm_ {}, oldInt_ {};
};

} // namespace orvane
