#pragma once

#include "TerminalEndpoint.h"

#include <array>
#include <asio.hpp>
#include <functional>
#include <memory>
#include <string>

namespace sim {

// Carries bytes between one stream (a TCP connection, a serial line, a
// pseudo-terminal) and a terminal endpoint, and wakes the endpoint when its
// deadlines fall due.
//
// A connection (Mode::Connection) ends when the peer closes it, on an I/O
// error, or when a fault drops it. A line (Mode::Line) cannot be dropped: a
// fault that drops it starts the endpoint over, and a read error (nobody holds
// the other end) is waited out.
template <class Stream>
class LinkSession : public std::enable_shared_from_this<LinkSession<Stream>> {
public:
    enum class Mode { Connection, Line };

    LinkSession(Stream stream, std::unique_ptr<TerminalEndpoint> endpoint, Mode mode,
                std::function<void()> onEnd, std::function<void()> onPeerGone = {})
        : stream_(std::move(stream)), endpoint_(std::move(endpoint)), mode_(mode),
          timer_(stream_.get_executor()), retry_(stream_.get_executor()), onEnd_(std::move(onEnd)),
          onPeerGone_(std::move(onPeerGone)) {}

    void start() { read(); }

private:
    // A peer that does not read its answers is not worth more memory.
    static constexpr std::size_t MostQueued = 1 << 20;
    static constexpr auto LineRetry = std::chrono::milliseconds(10);

    void read() {
        if (reading_ || ended_)
            return;
        reading_ = true;
        auto self = this->shared_from_this();
        stream_.async_read_some(asio::buffer(buffer_),
                                [this, self](asio::error_code error, std::size_t size) {
                                    reading_ = false;
                                    if (ended_)
                                        return;
                                    if (error) {
                                        lost();
                                        return;
                                    }
                                    endpoint_->received(std::string_view(buffer_.data(), size),
                                                        std::chrono::steady_clock::now());
                                    pump();
                                    if (!ended_)
                                        read();
                                });
    }

    // Takes what the endpoint has to say, writes it, honours a drop and sets
    // the timer for the endpoint's next deadline.
    void pump() {
        queued_ += endpoint_->takeOutput();
        if (queued_.size() > MostQueued) {
            lost();
            return;
        }
        dropping_ = dropping_ || endpoint_->closeRequested();
        write();
        if (dropping_ && !writing_)
            drop();
        if (!ended_)
            arm();
    }

    void write() {
        if (writing_ || queued_.empty() || ended_)
            return;
        writing_ = true;
        inFlight_.swap(queued_);
        queued_.clear();
        auto self = this->shared_from_this();
        asio::async_write(stream_, asio::buffer(inFlight_),
                          [this, self](asio::error_code error, std::size_t) {
                              writing_ = false;
                              inFlight_.clear();
                              if (ended_)
                                  return;
                              if (error) {
                                  lost();
                                  return;
                              }
                              write();
                              if (dropping_ && !writing_)
                                  drop();
                          });
    }

    void arm() {
        const std::optional<SteadyTime> deadline = endpoint_->deadline();
        if (!deadline) {
            timer_.cancel();
            return;
        }
        timer_.expires_at(*deadline);
        auto self = this->shared_from_this();
        timer_.async_wait([this, self](asio::error_code error) {
            if (error || ended_)
                return;
            endpoint_->advance(std::chrono::steady_clock::now());
            pump();
        });
    }

    void drop() {
        dropping_ = false;
        if (mode_ == Mode::Connection) {
            end();
            return;
        }
        endpoint_->restart();
    }

    // The peer is gone, or the stream failed.
    void lost() {
        endpoint_->disconnected();
        if (mode_ == Mode::Connection) {
            end();
            return;
        }
        endpoint_->restart();
        queued_.clear();
        dropping_ = false;
        timer_.cancel();
        if (onPeerGone_)
            onPeerGone_();
        if (retrying_)
            return;
        retrying_ = true;
        auto self = this->shared_from_this();
        retry_.expires_after(LineRetry);
        retry_.async_wait([this, self](asio::error_code error) {
            retrying_ = false;
            if (!error && !ended_)
                read();
        });
    }

    void end() {
        if (ended_)
            return;
        ended_ = true;
        timer_.cancel();
        retry_.cancel();
        asio::error_code ignored;
        stream_.close(ignored);
        if (onEnd_)
            onEnd_();
    }

    Stream stream_;
    std::unique_ptr<TerminalEndpoint> endpoint_;
    Mode mode_;
    asio::steady_timer timer_;
    asio::steady_timer retry_;
    std::function<void()> onEnd_;
    std::function<void()> onPeerGone_;
    std::array<char, 4096> buffer_{};
    std::string queued_;
    std::string inFlight_;
    bool writing_ = false;
    bool dropping_ = false;
    bool reading_ = false;
    bool retrying_ = false;
    bool ended_ = false;
};

} // namespace sim
