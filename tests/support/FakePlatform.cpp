#include "support/FakePlatform.h"

#include "platform/Text.h"

#include <stdexcept>

namespace kvl::test {

namespace {

// A reader that gives a number of lines and then fails at every call.
class FailingLineReader : public LineReader {
public:
    FailingLineReader(std::unique_ptr<LineReader> reader, int lines, RunTimeError error)
        : reader_(std::move(reader)), lines_(lines), error_(std::move(error)) {}

    std::optional<std::string> readLine() override {
        if (lines_-- <= 0)
            throw error_;
        return reader_->readLine();
    }

private:
    std::unique_ptr<LineReader> reader_;
    int lines_;
    RunTimeError error_;
};

} // namespace

const std::string& FakeFileSystem::begin(Operation operation, const std::string& path) {
    if (beforeOperation)
        beforeOperation(operation, path);
    for (Failure& failure : failures_) {
        if (failure.operation == operation && failure.times > 0 &&
            text::equalsIgnoringCase(failure.path, path)) {
            --failure.times;
            throw RunTimeError(failure.errorNumber, "Simulated failure (" + path + ")");
        }
    }
    return path;
}

std::unique_ptr<LineReader> FakeFileSystem::openForReading(const std::string& path) {
    auto reader = files_.openForReading(begin(Operation::Open, path));
    for (const Failure& failure : readFailures_) {
        if (text::equalsIgnoringCase(failure.path, path))
            return std::make_unique<FailingLineReader>(
                std::move(reader), failure.times,
                RunTimeError(failure.errorNumber, "Read failed (" + path + ")"));
    }
    return reader;
}

std::vector<std::string> FakeMessageBoxes::texts() const {
    std::vector<std::string> result;
    for (const Shown& box : shown_)
        result.push_back(box.text);
    return result;
}

MessageAnswer FakeMessageBoxes::show(const std::string& text, const std::string& title,
                                     MessageButtons buttons, MessageIcon icon) {
    shown_.push_back({text, title, buttons, icon});
    if (whileOpen) {
        const auto during = whileOpen; // it may replace itself
        during(shown_.back());
    }
    if (answers_.empty())
        return MessageAnswer::Ok;
    MessageAnswer answer = answers_.front();
    answers_.pop_front();
    return answer;
}

std::vector<FakeEventLoop::Timer> FakeEventLoop::activeTimers() const {
    std::vector<Timer> result;
    for (const Timer& timer : timers_)
        if (timer.active)
            result.push_back(timer);
    return result;
}

void FakeEventLoop::fireActiveTimers() {
    // A handler may start timers, which moves timers_: index it afresh.
    for (const Timer& timer : activeTimers()) {
        if (quitStatus_)
            return;
        const auto index = static_cast<std::size_t>(timer.id) - 1;
        if (!timers_[index].active || timers_[index].running)
            continue;
        timers_[index].running = true;
        try {
            timer.handler();
        } catch (...) {
            timers_[index].running = false;
            throw;
        }
        timers_[index].running = false;
    }
}

} // namespace kvl::test
