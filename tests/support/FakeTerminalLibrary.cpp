#include "support/FakeTerminalLibrary.h"

#include "platform/Text.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace kvl::test {

std::vector<std::string> FakeTerminalLibrary::entryPoints() const {
    std::vector<std::string> names;
    for (const LibraryCall& c : calls_)
        names.push_back(c.entryPoint);
    return names;
}

std::size_t FakeTerminalLibrary::count(const std::string& entryPoint) const {
    return static_cast<std::size_t>(
        std::count_if(calls_.begin(), calls_.end(),
                      [&](const LibraryCall& c) { return c.entryPoint == entryPoint; }));
}

std::vector<std::string> FakeTerminalLibrary::amounts(const std::string& entryPoint) const {
    std::vector<std::string> amounts;
    for (const LibraryCall& c : calls_)
        if (c.entryPoint == entryPoint)
            amounts.push_back(text::trimRight(c.request.Amount.text()));
    return amounts;
}

const LibraryCall& FakeTerminalLibrary::last(const std::string& entryPoint) const {
    for (auto it = calls_.rbegin(); it != calls_.rend(); ++it)
        if (it->entryPoint == entryPoint)
            return *it;
    ADD_FAILURE() << entryPoint << " was never called";
    static const LibraryCall none{};
    return none;
}

LibraryReply FakeTerminalLibrary::receive(LibraryCall call) {
    calls_.push_back(std::move(call));
    const std::string& entryPoint = calls_.back().entryPoint;
    for (const std::string& failing : {std::string(), entryPoint})
        if (auto error = errors_.find(failing); error != errors_.end())
            throw error->second;
    std::deque<LibraryReply>& queue = replies_[entryPoint];
    if (queue.empty())
        return {};
    LibraryReply reply = std::move(queue.front());
    queue.pop_front();
    return reply;
}

void FakeTerminalLibrary::IAE17AX_GetVersion(VersionBuffer& version) {
    receive({"IAE17AX_GetVersion", {}, {}, {}, {}});
    version.fill('\0');
    std::copy_n(version_.begin(), std::min(version_.size(), version.size()), version.begin());
}

void FakeTerminalLibrary::IAE17AX_Free() {
    receive({"IAE17AX_Free", {}, {}, {}, {}});
}

short FakeTerminalLibrary::IAE17AX_InitEth(EthInitRecord& record) {
    return receive({"IAE17AX_InitEth", record, {}, {}, {}}).result;
}

short FakeTerminalLibrary::IAE17AX_InitRS232(Rs232InitRecord& record) {
    return receive({"IAE17AX_InitRS232", {}, record, {}, {}}).result;
}

short FakeTerminalLibrary::call(Operation operation, PosRequest& request, POSDATA& answer) {
    const LibraryReply reply = receive({entryPointName(operation), {}, {}, request, answer});
    for (const auto& written : reply.answerFields) {
        bool found = false;
        answer.visit([&](const char* name, auto& value) {
            if (written.first == name) {
                value.store(written.second);
                found = true;
            }
        });
        EXPECT_TRUE(found) << "no POSDATA field " << written.first;
    }
    if (reply.action)
        reply.action(request, answer);
    return reply.result;
}

} // namespace kvl::test
