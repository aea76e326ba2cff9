#include "terminal/GuardedTerminalLibrary.h"

#include "platform/RunTimeError.h"

#include <string>

namespace kvl {

template <class Call> auto GuardedTerminalLibrary::alone(const char* entryPoint, Call&& call) {
    if (calling_)
        throw RunTimeError(TerminalBusyError, std::string("Can't perform requested operation: ") +
                                                  entryPoint +
                                                  " while another call to the terminal runs");
    calling_ = true;
    struct Finished {
        bool& calling;
        ~Finished() { calling = false; }
    } finished{calling_};
    return call();
}

void GuardedTerminalLibrary::IAE17AX_GetVersion(VersionBuffer& version) {
    alone("IAE17AX_GetVersion", [&] { library_.IAE17AX_GetVersion(version); });
}

void GuardedTerminalLibrary::IAE17AX_Free() {
    alone("IAE17AX_Free", [&] { library_.IAE17AX_Free(); });
}

short GuardedTerminalLibrary::IAE17AX_InitEth(EthInitRecord& record) {
    return alone("IAE17AX_InitEth", [&] { return library_.IAE17AX_InitEth(record); });
}

short GuardedTerminalLibrary::IAE17AX_InitRS232(Rs232InitRecord& record) {
    return alone("IAE17AX_InitRS232", [&] { return library_.IAE17AX_InitRS232(record); });
}

short GuardedTerminalLibrary::call(Operation operation, PosRequest& request, POSDATA& answer) {
    return alone(entryPointName(operation),
                 [&] { return library_.call(operation, request, answer); });
}

} // namespace kvl
