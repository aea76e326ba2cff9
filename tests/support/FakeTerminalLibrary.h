#pragma once

#include "platform/RunTimeError.h"
#include "terminal/TerminalLibrary.h"

#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace kvl::test {

// What the fake does at one call of an entry point that returns a result.
struct LibraryReply {
    short result = ResultCode::Ok;
    // POSDATA fields written by "the library", by field name ("TerminalId",
    // "KODescription", ...), each stored left-aligned, blank-padded and cut.
    std::vector<std::pair<std::string, std::string>> answerFields;
    // Anything else an operation should do to its records.
    std::function<void(PosRequest&, POSDATA&)> action;
};

// One call as the fake received it. Only the records the entry point takes
// are filled; the others stay as never written (NULs).
struct LibraryCall {
    std::string entryPoint; // e.g. "IAE17AX_Payment"
    EthInitRecord ethInit;
    Rs232InitRecord rs232Init;
    PosRequest request; // operations: the request as sent
    POSDATA answer;     // operations: the answer record as sent
};

// A scripted terminal library. Every call is recorded in order; a call with
// no reply queued for its entry point answers 0 and writes nothing.
class FakeTerminalLibrary : public TerminalLibrary {
public:
    // Written into the 10-byte version buffer, cut, the rest NULs.

    void queueReply(const std::string& entryPoint, LibraryReply reply) {
        replies_[entryPoint].push_back(std::move(reply));
    }
    void queueResult(const std::string& entryPoint, short result) {
        queueReply(entryPoint, LibraryReply{result, {}, {}});
    }
    // Every later call of the entry point throws, as when it is missing; with
    // no entry point, every call of every one, as when the library is missing.
    void failAlways(const std::string& entryPoint, RunTimeError error) {
        errors_.insert_or_assign(entryPoint, std::move(error));
    }
    void failAlways(RunTimeError error) { failAlways({}, std::move(error)); }

    const std::vector<LibraryCall>& calls() const { return calls_; }
    std::vector<std::string> entryPoints() const;
    std::size_t count(const std::string& entryPoint) const;
    // The Amount of each call of the entry point, in order, without its padding.
    std::vector<std::string> amounts(const std::string& entryPoint) const;
    // The last call of the entry point; fails the test when there was none.
    const LibraryCall& last(const std::string& entryPoint) const;
    void clearCalls() { calls_.clear(); }

    void IAE17AX_GetVersion(VersionBuffer& version) override;
    void IAE17AX_Free() override;
    short IAE17AX_InitEth(EthInitRecord& record) override;
    short IAE17AX_InitRS232(Rs232InitRecord& record) override;
    short call(Operation operation, PosRequest& request, POSDATA& answer) override;

private:
    // Records the call, then throws what is scripted for it or gives its reply.
    LibraryReply receive(LibraryCall call);

    const std::string version_ = "IAE17 1.00";
    std::map<std::string, std::deque<LibraryReply>> replies_;
    std::map<std::string, RunTimeError> errors_;
    std::vector<LibraryCall> calls_;
};

} // namespace kvl::test
