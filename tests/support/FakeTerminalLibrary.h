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

// What the fake does at one call of an entry point that returns a result
// (IAE17AX_InitEth, IAE17AX_InitRS232 and the ten operations).
struct LibraryReply {
    // Returned to the program.
    short result = ResultCode::Ok;
    // POSDATA fields written by "the library", by field name ("TerminalId",
    // "KODescription", ...), each stored left-aligned, blank-padded and cut.
    std::vector<std::pair<std::string, std::string>> answerFields;
    // Raw bytes written over the start of the POSDATA image (after
    // answerFields), for answers a stored text cannot express, e.g. NULs.
    std::optional<std::string> answerImage;
    // Anything else the library should do to the records of an operation,
    // or to the record of an initialisation.
    std::function<void(PosRequest&, POSDATA&)> action;
    std::function<void(EthInitRecord&)> ethInitAction;
    std::function<void(Rs232InitRecord&)> rs232InitAction;
    // Thrown instead of answering; the records are left as they were.
    std::optional<RunTimeError> error;
};

// One call as the fake received it. Only the records the entry point takes
// are filled; the others stay as never written (NULs).
struct LibraryCall {
    std::string entryPoint; // e.g. "IAE17AX_Payment"
    std::optional<Operation> operation;
    EthInitRecord ethInit;     // IAE17AX_InitEth: the record as sent
    Rs232InitRecord rs232Init; // IAE17AX_InitRS232: the record as sent
    PosRequest request;        // operations: the request as sent
    POSDATA answer;            // operations: the answer record as sent
    short result = ResultCode::Ok;
    bool threw = false;
};

// A scripted terminal library. Every call is recorded in order. Replies are
// taken, in order, first from the queue of the entry point called, then from
// the common queue; with neither, the call answers 0 and writes nothing.
// IAE17AX_GetVersion writes the version text; IAE17AX_Free does nothing but
// can be made to throw.
class FakeTerminalLibrary : public TerminalLibrary {
public:
    // The version written into the 10-byte buffer: the text cut to 10 bytes,
    // the rest of the buffer NULs.
    void setVersion(std::string version) { version_ = std::move(version); }

    // Next reply of any result-returning entry point.
    void queueReply(LibraryReply reply);
    void queueResult(short result);
    // Next reply of the named entry point only (e.g. "IAE17AX_Status").
    void queueReply(const std::string& entryPoint, LibraryReply reply);
    void queueResult(const std::string& entryPoint, short result);

    // The next call of the named entry point (any of the fourteen) throws.
    void failNext(const std::string& entryPoint, RunTimeError error);
    // Every call of the named entry point throws, as when it is missing.
    void failAlways(const std::string& entryPoint, RunTimeError error);
    // Every call of every entry point throws, as when the library is missing.
    void failAlways(RunTimeError error);

    const std::vector<LibraryCall>& calls() const { return calls_; }
    // The entry point names of all calls, in order.
    std::vector<std::string> entryPoints() const;
    // How many times the named entry point was called.
    std::size_t count(const std::string& entryPoint) const;
    // The last call of the named entry point; fails the test when there was none.
    const LibraryCall& last(const std::string& entryPoint) const;
    void clearCalls() { calls_.clear(); }

    void IAE17AX_GetVersion(VersionBuffer& version) override;
    void IAE17AX_Free() override;
    short IAE17AX_InitEth(EthInitRecord& record) override;
    short IAE17AX_InitRS232(Rs232InitRecord& record) override;
    short call(Operation operation, PosRequest& request, POSDATA& answer) override;

private:
    void throwIfFailing(const std::string& entryPoint, LibraryCall& call);
    LibraryReply takeReply(const std::string& entryPoint);
    // Throws what is scripted for the call, else gives its reply.
    LibraryReply replyTo(LibraryCall& call);

    std::string version_ = "IAE17 1.00";
    std::deque<LibraryReply> common_;
    std::map<std::string, std::deque<LibraryReply>> byEntryPoint_;
    std::map<std::string, std::deque<RunTimeError>> nextErrors_;
    std::map<std::string, RunTimeError> alwaysErrors_;
    std::optional<RunTimeError> libraryError_;
    std::vector<LibraryCall> calls_;
};

// Stores text into the POSDATA field of that name; false for an unknown name.
bool storeAnswerField(POSDATA& answer, const std::string& field, const std::string& text);

} // namespace kvl::test
