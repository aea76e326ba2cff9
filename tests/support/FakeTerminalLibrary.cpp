#include "support/FakeTerminalLibrary.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace kvl::test {

namespace {

const char* const GetVersion = "IAE17AX_GetVersion";
const char* const Free = "IAE17AX_Free";
const char* const InitEth = "IAE17AX_InitEth";
const char* const InitRS232 = "IAE17AX_InitRS232";

LibraryReply resultOnly(short result) {
    LibraryReply reply;
    reply.result = result;
    return reply;
}

} // namespace

bool storeAnswerField(POSDATA& answer, const std::string& field, const std::string& text) {
    bool found = false;
    answer.visit([&](const char* name, auto& value) {
        if (field == name) {
            value.store(text);
            found = true;
        }
    });
    return found;
}

void FakeTerminalLibrary::queueReply(LibraryReply reply) {
    common_.push_back(std::move(reply));
}

void FakeTerminalLibrary::queueResult(short result) {
    queueReply(resultOnly(result));
}

void FakeTerminalLibrary::queueReply(const std::string& entryPoint, LibraryReply reply) {
    byEntryPoint_[entryPoint].push_back(std::move(reply));
}

void FakeTerminalLibrary::queueResult(const std::string& entryPoint, short result) {
    queueReply(entryPoint, resultOnly(result));
}

void FakeTerminalLibrary::failNext(const std::string& entryPoint, RunTimeError error) {
    nextErrors_[entryPoint].push_back(std::move(error));
}

void FakeTerminalLibrary::failAlways(const std::string& entryPoint, RunTimeError error) {
    alwaysErrors_.insert_or_assign(entryPoint, std::move(error));
}

void FakeTerminalLibrary::failAlways(RunTimeError error) {
    libraryError_ = std::move(error);
}

std::vector<std::string> FakeTerminalLibrary::entryPoints() const {
    std::vector<std::string> names;
    for (const LibraryCall& c : calls_) {
        names.push_back(c.entryPoint);
    }
    return names;
}

std::size_t FakeTerminalLibrary::count(const std::string& entryPoint) const {
    return static_cast<std::size_t>(
        std::count_if(calls_.begin(), calls_.end(),
                      [&](const LibraryCall& c) { return c.entryPoint == entryPoint; }));
}

const LibraryCall& FakeTerminalLibrary::last(const std::string& entryPoint) const {
    for (auto it = calls_.rbegin(); it != calls_.rend(); ++it) {
        if (it->entryPoint == entryPoint) {
            return *it;
        }
    }
    ADD_FAILURE() << entryPoint << " was never called";
    static const LibraryCall none{};
    return none;
}

void FakeTerminalLibrary::throwIfFailing(const std::string& entryPoint, LibraryCall& call) {
    std::optional<RunTimeError> error;
    if (libraryError_) {
        error = libraryError_;
    } else if (auto always = alwaysErrors_.find(entryPoint); always != alwaysErrors_.end()) {
        error = always->second;
    } else if (auto next = nextErrors_.find(entryPoint);
               next != nextErrors_.end() && !next->second.empty()) {
        error = next->second.front();
        next->second.pop_front();
    }
    if (error) {
        call.threw = true;
        calls_.push_back(call);
        throw *error;
    }
}

LibraryReply FakeTerminalLibrary::replyTo(LibraryCall& call) {
    throwIfFailing(call.entryPoint, call);
    LibraryReply reply = takeReply(call.entryPoint);
    if (reply.error) {
        call.threw = true;
        calls_.push_back(call);
        throw *reply.error;
    }
    return reply;
}

LibraryReply FakeTerminalLibrary::takeReply(const std::string& entryPoint) {
    auto own = byEntryPoint_.find(entryPoint);
    std::deque<LibraryReply>* queue = nullptr;
    if (own != byEntryPoint_.end() && !own->second.empty()) {
        queue = &own->second;
    } else if (!common_.empty()) {
        queue = &common_;
    }
    if (queue == nullptr) {
        return LibraryReply{};
    }
    LibraryReply reply = std::move(queue->front());
    queue->pop_front();
    return reply;
}

void FakeTerminalLibrary::IAE17AX_GetVersion(VersionBuffer& version) {
    LibraryCall call;
    call.entryPoint = GetVersion;
    throwIfFailing(call.entryPoint, call);
    version.fill('\0');
    std::copy_n(version_.begin(), std::min(version_.size(), version.size()), version.begin());
    calls_.push_back(call);
}

void FakeTerminalLibrary::IAE17AX_Free() {
    LibraryCall call;
    call.entryPoint = Free;
    throwIfFailing(call.entryPoint, call);
    calls_.push_back(call);
}

short FakeTerminalLibrary::IAE17AX_InitEth(EthInitRecord& record) {
    LibraryCall call;
    call.entryPoint = InitEth;
    call.ethInit = record;
    LibraryReply reply = replyTo(call);
    if (reply.ethInitAction) {
        reply.ethInitAction(record);
    }
    call.result = reply.result;
    calls_.push_back(call);
    return reply.result;
}

short FakeTerminalLibrary::IAE17AX_InitRS232(Rs232InitRecord& record) {
    LibraryCall call;
    call.entryPoint = InitRS232;
    call.rs232Init = record;
    LibraryReply reply = replyTo(call);
    if (reply.rs232InitAction) {
        reply.rs232InitAction(record);
    }
    call.result = reply.result;
    calls_.push_back(call);
    return reply.result;
}

short FakeTerminalLibrary::call(Operation operation, PosRequest& request, POSDATA& answer) {
    LibraryCall call;
    call.entryPoint = entryPointName(operation);
    call.operation = operation;
    call.request = request;
    call.answer = answer;
    LibraryReply reply = replyTo(call);
    for (const auto& [field, text] : reply.answerFields) {
        EXPECT_TRUE(storeAnswerField(answer, field, text)) << "no POSDATA field " << field;
    }
    if (reply.answerImage) {
        auto image = packImage(answer);
        std::copy_n(reply.answerImage->begin(), std::min(reply.answerImage->size(), image.size()),
                    image.begin());
        unpackImage(answer, image);
    }
    if (reply.action) {
        reply.action(request, answer);
    }
    call.result = reply.result;
    calls_.push_back(call);
    return reply.result;
}

} // namespace kvl::test
