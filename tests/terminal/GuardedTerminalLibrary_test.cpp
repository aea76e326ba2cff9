#include "terminal/GuardedTerminalLibrary.h"

#include "platform/RunTimeError.h"
#include "support/FakeTerminalLibrary.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace kvl {
namespace {

// What a call made from inside a running call gets: the error number, or -1
// when it went through.
int nestedCall(const std::function<void()>& call) {
    try {
        call();
        return -1;
    } catch (const RunTimeError& refused) {
        return refused.number();
    }
}

// Events that run while the library waits for the terminal may try every
// entry point: none reaches the library, and the running call is unharmed.
TEST(GuardedTerminalLibrary, RefusesEveryCallWhileAnotherRunsAndLetsTheNextOneThrough) {
    test::FakeTerminalLibrary library;
    GuardedTerminalLibrary guarded(library);
    PosRequest request;
    POSDATA answer;
    EthInitRecord eth;
    Rs232InitRecord serial;
    VersionBuffer version{};

    std::vector<int> refusals;
    test::LibraryReply reply{ResultCode::TimeoutError, {{"STAN", "0000042"}}, {}};
    reply.action = [&](PosRequest&, POSDATA&) {
        EXPECT_TRUE(guarded.busy());
        for (const auto& call : std::vector<std::function<void()>>{
                 [&] { guarded.IAE17AX_Status(request, answer); },
                 [&] { guarded.IAE17AX_Payment(request, answer); },
                 [&] { guarded.IAE17AX_InitEth(eth); }, [&] { guarded.IAE17AX_InitRS232(serial); },
                 [&] { guarded.IAE17AX_GetVersion(version); }, [&] { guarded.IAE17AX_Free(); }})
            refusals.push_back(nestedCall(call));
    };
    library.queueReply("IAE17AX_Payment", reply);

    EXPECT_EQ(guarded.IAE17AX_Payment(request, answer), ResultCode::TimeoutError);
    EXPECT_EQ(refusals, std::vector<int>(6, TerminalBusyError));
    EXPECT_EQ(library.entryPoints(), std::vector<std::string>{"IAE17AX_Payment"});
    EXPECT_EQ(answer.STAN.text(), "0000042");
    EXPECT_FALSE(guarded.busy());

    // A call that failed leaves the line free as well.
    library.failAlways("IAE17AX_Void", RunTimeError(ErrorNumber::EntryPointNotFound, "no Void"));
    EXPECT_THROW(guarded.IAE17AX_Void(request, answer), RunTimeError);
    EXPECT_EQ(guarded.IAE17AX_Status(request, answer), ResultCode::Ok);
    EXPECT_EQ(library.count("IAE17AX_Status"), 1u);
}

// A hold marks the terminal busy for others to see; the holder's own calls,
// one after the other, go through.
TEST(GuardedTerminalLibrary, HoldsNestAndKeepItBusyWithoutRefusingTheHoldersCalls) {
    test::FakeTerminalLibrary library;
    GuardedTerminalLibrary guarded(library);
    EthInitRecord eth;
    {
        auto operation = guarded.hold();
        {
            const auto box = guarded.hold();
            EXPECT_TRUE(guarded.busy());
        }
        EXPECT_TRUE(guarded.busy());
        EXPECT_EQ(guarded.IAE17AX_InitEth(eth), ResultCode::Ok);
        const auto moved = std::move(operation);
        EXPECT_TRUE(guarded.busy());
    }
    EXPECT_FALSE(guarded.busy());
    EXPECT_EQ(library.count("IAE17AX_InitEth"), 1u);
}

} // namespace
} // namespace kvl
