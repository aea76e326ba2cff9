#pragma once

#include "library/Clock.h"
#include "library/Trace.h"
#include "library/Transport.h"
#include "protocol/Frame.h"

#include <string>

namespace iae17 {

// Frames over one open connection: encodes and writes them, decodes what
// arrives, and keeps count of the time the line needs to carry both, so that
// no deadline runs out while a frame is still on its way.
class Link {
public:
    enum class Wait { Frame, Bad, Garbage, Timeout, Closed, Failed };
    struct Incoming {
        Wait what = Wait::Timeout;
        protocol::Decoder::Event event;
        // Which read brought the bytes: one refusal per arrival is enough.
        unsigned arrival = 0;
    };

    Link(Transport& transport, const Clock& clock, Milliseconds writeSlack, Trace& trace);

    bool send(const protocol::Frame& frame);

    // The next frame, damaged frame or run of garbage, or why there is none
    // by the deadline. A frame that has begun to arrive gets the time the
    // line needs for the rest of it beyond the deadline, up to the time of
    // a frame of the largest size.
    Incoming receive(TimePoint deadline);

    // When a reply of this many bytes can have arrived, waiting `slack` for
    // the other side: after what was sent has left and the reply has come.
    TimePoint replyDeadline(std::size_t replyBytes, Milliseconds slack) const;

private:
    Transport& transport_;
    const Clock& clock_;
    Milliseconds writeSlack_;
    Trace& trace_;
    protocol::Decoder decoder_;
    TimePoint lineFree_{};
    unsigned arrivals_ = 0;
    std::string bytes_;
};

} // namespace iae17
