#include "terminal/GuardedTerminalLibrary.h"

#include "platform/RunTimeError.h"
#include "support/ErrorNumber.h"
#include "support/FakeTerminalLibrary.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kvl {
namespace {

// Events that run while the library waits for the terminal may call any entry
// point: none of those calls reaches the library, and the running one is
// unharmed. A hold only shows others the terminal busy: the holder's calls go
// through, one after the other, also after a failed one.
TEST(GuardedTerminalLibrary, RefusesACallWhileAnotherRunsAndOnlyThen) {
    test::FakeTerminalLibrary library;
    GuardedTerminalLibrary guarded(library);
    PosRequest request;
    POSDATA answer;
    EthInitRecord eth;
    std::string refused;
    test::LibraryReply reply{ResultCode::TimeoutError, {{"STAN", "0000042"}}, {}};
    reply.action = [&](PosRequest&, POSDATA&) {
        const auto refusal = [&](const std::function<void()>& call) {
            refused += std::to_string(test::errorNumberOf(call)) + (guarded.busy() ? " " : "? ");
        };
        refusal([&] { guarded.IAE17AX_Status(request, answer); });
        refusal([&] { guarded.IAE17AX_InitEth(eth); });
        refusal([&] { guarded.IAE17AX_Free(); });
    };
    library.queueReply("IAE17AX_Payment", reply);
    library.failAlways("IAE17AX_Void", RunTimeError(ErrorNumber::EntryPointNotFound, "no Void"));

    {
        const auto operation = guarded.hold();
        EXPECT_EQ(guarded.IAE17AX_Payment(request, answer), ResultCode::TimeoutError);
        EXPECT_EQ(refused, "17 17 17 ");
        EXPECT_EQ(answer.STAN.text(), "0000042");
        EXPECT_THROW(guarded.IAE17AX_Void(request, answer), RunTimeError);
        EXPECT_EQ(guarded.IAE17AX_InitEth(eth), ResultCode::Ok);
        EXPECT_TRUE(guarded.busy());
    }
    EXPECT_FALSE(guarded.busy());
    EXPECT_EQ(library.entryPoints(),
              (std::vector<std::string>{"IAE17AX_Payment", "IAE17AX_Void", "IAE17AX_InitEth"}));
}

} // namespace
} // namespace kvl
