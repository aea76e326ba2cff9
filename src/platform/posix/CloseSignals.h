#pragma once

#include "platform/posix/UniqueFd.h"

#include <signal.h>

namespace kvl {

// SIGTERM and SIGINT turned into bytes on a pipe, so that an event loop sees
// the system's request to close on its own thread (the self-pipe trick).
// Until install() the signals keep their usual effect; restore() gives them
// back their earlier handlers and the earlier owner its pipe.
class CloseSignals {
public:
    CloseSignals();
    ~CloseSignals();
    CloseSignals(const CloseSignals&) = delete;
    CloseSignals& operator=(const CloseSignals&) = delete;

    void install();
    void restore();
    // Readable when a signal came; non-blocking.
    int readEnd() const { return read_.get(); }
    // Empties the pipe; true when a signal had come. Several signals waiting
    // together are one request.
    bool drain();

private:
    UniqueFd read_;
    UniqueFd write_;
    bool installed_ = false;
    int previousWrite_ = -1;
    struct sigaction previousTerm_ {};
    struct sigaction previousInt_ {};
};

} // namespace kvl
