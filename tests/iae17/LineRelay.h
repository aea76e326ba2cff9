#pragma once

#include <atomic>
#include <string>
#include <thread>

namespace iae17::test {

// A serial line between two programs that both open a pseudo-terminal: the
// bytes written on either side come out on the other at the rate a real line
// of the given speed carries them (ten bits a byte), each direction on its own.
class LineRelay {
public:
    // Connects a new pseudo-terminal, whose device path() gives, to the
    // device of the far side (for example the one terminal-sim serves).
    LineRelay(const std::string& farDevice, unsigned baud);
    ~LineRelay();
    LineRelay(const LineRelay&) = delete;
    LineRelay& operator=(const LineRelay&) = delete;

    const std::string& path() const { return path_; }

private:
    void carry();

    unsigned baud_;
    int near_ = -1; // master side of our pseudo-terminal
    int far_ = -1;
    std::string path_;
    std::atomic<bool> stopping_{false};
    std::thread thread_;
};

} // namespace iae17::test
